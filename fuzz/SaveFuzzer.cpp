// SaveFuzzer.cpp: one input is "save.dat". The store loads it as start-up does, the screens' queries
// and the unlocking rules run on the loaded player, and what the store writes back must load and
// save again to the same bytes. A file the store moves aside (damaged, or of another version, at
// the first save) must be kept as it was.
#include "FuzzSupport.h"
#include "progress/CProfileStore.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Exercise(CProfileStore& store, fuzz::ByteSource& choice)
{
    std::vector<std::string> names;
    store.GetPlayerNames(names);
    (void)store.FindPlayer(names.empty() ? std::string() : names.front());
    (void)store.GetCurrentLocation();
    (void)store.CheckAllGold(choice.Below(26) - 1, choice.Below(6) - 1, choice.Below(6) - 1);
    (void)store.UpdateUnlocks();
    (void)store.GetCurrentLocation();
    store.ApplyPendingDisplayChanges();
    (void)store.SelectPlayer(choice.Below(store.GetPlayerCount() + 1));
    if (choice.Below(2) == 0)
        store.NewPlayer("FUZZ", true);  // a first save
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource choice(data, size);
    fuzz::PutDataFile("save.dat", data, size);
    ScopedFakeEngine fake;
    {
        CProfileStore store;
        Exercise(store, choice);
    }
    const std::vector<std::uint8_t> keptAside = fuzz::DataFile("save.dat.bad.1");
    if (!keptAside.empty() && keptAside != std::vector<std::uint8_t>(data, data + size))
        std::abort();
    const std::vector<std::uint8_t> written = fuzz::DataFile("save.dat");
    if (written.empty())
        return 0;
    { CProfileStore again; }
    if (fuzz::DataFile("save.dat") != written)
        std::abort();  // our own file must load as it was written
    return 0;
}
