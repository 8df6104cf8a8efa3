// ChildRunTest.cpp: work tried in a child process, whatever way it ends.
#include "platform/ChildRun.h"
#include "platform/StopSignals.h"
#include "support/LoadAllowance.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <thread>

#include <unistd.h>

// Work that ends by itself has all the time it needs; the wait must still end when the child
// does, not at the limit. The bounds on the clock grow with the machine's load.
TEST(ChildRunTest, EachWayTheWorkEndsComesBackAndNothingReachesThisProcess)
{
    using std::chrono::milliseconds;
    int touched = 0;
    const struct {
        const char* what;
        std::function<bool()> work;
        milliseconds limit;
        EChildRun expected;
    } cases[] = {
        {"true", [&] { return ++touched > 0; }, milliseconds(60000), EChildRun::kReturnedTrue},
        {"false", [&] { return ++touched < 0; }, milliseconds(60000), EChildRun::kReturnedFalse},
        {"assertion", [] { std::abort(); return true; }, milliseconds(60000), EChildRun::kStopped},
        {"exit", [] { std::_Exit(7); return true; }, milliseconds(60000), EChildRun::kStopped},
        {"hang", [] { std::this_thread::sleep_for(std::chrono::seconds(60)); return true; }, milliseconds(300),
         EChildRun::kTimedOut},
    };
    for (const auto& c : cases) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunInChild(c.work, c.limit), c.expected) << c.what;
        EXPECT_LT(std::chrono::steady_clock::now() - start, ClockAllowance(milliseconds(5000))) << c.what;
    }
    EXPECT_EQ(touched, 0);  // the child's changes stay in the child

    {
        // A stop signal ends the wait at once, long before the limit: the game ends when it is asked to.
        CStopSignals stopSignals;
        std::thread stop([] {
            std::this_thread::sleep_for(milliseconds(200));
            ::kill(::getpid(), SIGTERM);
        });
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(RunInChild(cases[4].work, std::chrono::seconds(60)), EChildRun::kInterrupted);
        EXPECT_LT(std::chrono::steady_clock::now() - start, ClockAllowance(milliseconds(5000)));
        stop.join();
        {
            CStopSignals inner;  // handlers put in place again (a nested run) keep the stop that came
            EXPECT_TRUE(CStopSignals::Received());
        }
        EXPECT_TRUE(CStopSignals::Received());
    }
    // The stop was for those handlers: once they are gone, work in a child runs to its end again.
    EXPECT_FALSE(CStopSignals::Received());
    EXPECT_EQ(RunInChild(cases[0].work, cases[0].limit), EChildRun::kReturnedTrue);
    CStopSignals again;
    EXPECT_FALSE(CStopSignals::Received());
}

TEST(ChildRunTest, ProcessorTimeAndMemoryBeyondTheLimitsEndTheWork)
{
    ChildLimits limits;
    limits.wall = std::chrono::seconds(20);   // a loaded machine stretches the processor time
    limits.cpu = std::chrono::milliseconds(200);
    limits.memoryBytes = std::size_t{64} << 20;
    std::chrono::microseconds used{0};
    const auto spin = [] {
        for (volatile unsigned long i = 0;; i = i + 1) {
        }
        return true;
    };
    EXPECT_EQ(RunInChild(spin, limits, &used), EChildRun::kTimedOut);
    EXPECT_GT(used, std::chrono::milliseconds(150));
    EXPECT_LT(used, std::chrono::milliseconds(400));
    const auto greedy = [] {
        void* p = std::malloc(std::size_t{512} << 20);
        return p != nullptr;
    };
    EXPECT_NE(RunInChild(greedy, limits), EChildRun::kReturnedTrue);
    EXPECT_EQ(RunInChild([] { return std::malloc(std::size_t{16} << 20) != nullptr; }, limits), EChildRun::kReturnedTrue);
}
