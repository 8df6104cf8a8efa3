// TutorialFuzzer.cpp: one input is a learn file. The tracker loads it for a table of a few places
// and steps through the whole replay: the deal, every step and the window of every move.
#include "FuzzSupport.h"
#include "table/CTracker.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource choice(data, size);
    fuzz::WriteFile(fuzz::UseAsRoot("learn.dat"), data, size);
    ScopedFakeEngine fake;
    CTracker tracker;
    if (!tracker.Load("learn.dat", 1 + choice.Below(40)))
        return 0;
    (void)tracker.FirstDealValue();
    int a = 0, b = 0;
    while (tracker.NextDeal(a, b)) {
    }
    int from = 0, to = 0, card = 0;
    for (int guard = 0; guard < 5000 && !tracker.IsReplayDone(); ++guard) {
        if (!tracker.NextStep(from, to, card))
            break;
        (void)tracker.ShowMessage(-1);
        while (tracker.PendingCount() > 0)
            (void)tracker.ShowMessage(tracker.PopPending());
        tracker.CloseMessage();
        tracker.Update(0.1f);
    }
    (void)tracker.ShowMessage(-2);
    return 0;
}
