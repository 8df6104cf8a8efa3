// ChildRunTest.cpp: work tried in a child process, whatever way it ends and whatever the host
// program does with SIGCHLD; only the library's own child is ever signalled, and nothing is left.
#include "platform/ChildRun.h"
#include "platform/SharedPages.h"
#include "platform/StopSignals.h"
#include "support/HostChildSignal.h"
#include "support/LoadAllowance.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include <dirent.h>
#include <unistd.h>

using std::chrono::milliseconds;

// Work that ends by itself has all the time it needs; the wait must still end when the child
// does, not at the limit. Where the host reaps every child, what it reaped shows that a signal
// went only to a child that had to be stopped. The bounds on the clock grow with the load.
TEST(ChildRunTest, EachWayTheWorkEndsComesBackWhateverTheHostDoesWithSigchld)
{
    SharedPages childPid(sizeof(pid_t));
    ASSERT_NE(childPid.Data(), nullptr);
    auto* pid = reinterpret_cast<volatile pid_t*>(childPid.Data());
    int touched = 0;
    const auto spin = [] {
        for (volatile unsigned long i = 0;; i = i + 1) {
        }
        return true;
    };
    const struct {
        const char* what;
        std::function<bool()> work;
        milliseconds wall, cpu;
        EChildRun expected;
        int signal;    // that ended the child, or 0
        int exitCode;  // otherwise
    } cases[] = {
        {"true", [&] { return ++touched > 0; }, milliseconds(60000), {}, EChildRun::kReturnedTrue, 0, 0},
        {"false", [&] { return ++touched < 0; }, milliseconds(60000), {}, EChildRun::kReturnedFalse, 0, 1},
        {"assertion", [] { std::abort(); return true; }, milliseconds(60000), {}, EChildRun::kStopped, SIGABRT, 0},
        {"exit", [] { std::_Exit(7); return true; }, milliseconds(60000), {}, EChildRun::kStopped, 0, 7},
        {"hang", [] { std::this_thread::sleep_for(std::chrono::seconds(60)); return true; }, milliseconds(300), {},
         EChildRun::kTimedOut, SIGKILL, 0},
        {"spin", spin, milliseconds(60000), milliseconds(150), EChildRun::kTimedOut, 0, 3},
    };
    for (EHostChildSignal host : {EHostChildSignal::kDefault, EHostChildSignal::kIgnored, EHostChildSignal::kReaped}) {
        const CHostChildSignal hostSignal(host);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(HostChildSignalName(host)) + ": " + c.what);
            ChildLimits limits;
            limits.wall = c.wall;
            limits.cpu = c.cpu;
            ChildEnding ending;
            *pid = 0;
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(RunInChild([&] { *pid = getpid(); return c.work(); }, limits, &ending), c.expected);
            EXPECT_LT(std::chrono::steady_clock::now() - start, ClockAllowance(milliseconds(5000)));
            if (c.cpu.count() > 0) {
                // The work's own time, and the kernel's for it as much again at most; the child's
                // own account of it where the host took its status.
                EXPECT_GT(ending.cpu, c.cpu - milliseconds(50));
                EXPECT_LT(ending.cpu, 2 * c.cpu + milliseconds(100));
            }
            // The signal that ended it is known unless the host took the child's status.
            EXPECT_EQ(ending.signal, host == EHostChildSignal::kDefault ? c.signal : 0);
            EXPECT_EQ(ending.pastWallLimit, std::string(c.what) == "hang");
            EXPECT_FALSE(ending.outOfMemory);
            int status = 0;
            for (int i = 0; i < 200 && host == EHostChildSignal::kReaped && !CHostChildSignal::ReapedStatus(*pid, status); ++i)
                std::this_thread::sleep_for(milliseconds(10));
            if (host != EHostChildSignal::kReaped)
                continue;
            ASSERT_TRUE(CHostChildSignal::ReapedStatus(*pid, status));
            EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, c.signal);
            EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : 0, c.exitCode);
        }
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
    EXPECT_EQ(RunInChild(cases[0].work, cases[0].wall), EChildRun::kReturnedTrue);
    CStopSignals again;
    EXPECT_FALSE(CStopSignals::Received());
}

// Memory beyond the limit makes the work's allocations fail, and a failed operator new (or an
// allocator that asks) ends the child as out of memory; many runs, some killed, leave no
// descriptor, child or zombie behind.
TEST(ChildRunTest, MemoryIsBoundedAndManyRunsLeaveNothingBehind)
{
    ChildLimits limits;
    limits.wall = std::chrono::seconds(60);
    limits.memoryBytes = std::size_t{64} << 20;
    constexpr std::size_t kTooMuch = std::size_t{512} << 20;
    EXPECT_NE(RunInChild([] { return std::malloc(kTooMuch) != nullptr; }, limits), EChildRun::kReturnedTrue);
    EXPECT_EQ(RunInChild([] { return std::malloc(std::size_t{16} << 20) != nullptr; }, limits), EChildRun::kReturnedTrue);
#if !defined(__SANITIZE_ADDRESS__)  // whose runtime reports a failed allocation itself and ends the child
    const struct {
        const char* what;
        std::function<bool()> work;
    } allocations[] = {
        {"operator new", [] {
             static char* volatile kept;  // an allocation nothing uses could be left out
             kept = new char[kTooMuch];
             return kept != nullptr;
         }},
        {"an allocator that asks", [] {
             void* block = std::malloc(kTooMuch);
             if (block == nullptr)
                 EndChildOutOfMemory();
             return block != nullptr;
         }},
    };
    for (const auto& a : allocations) {
        SCOPED_TRACE(a.what);
        ChildEnding ending;
        EXPECT_EQ(RunInChild(a.work, limits, &ending), EChildRun::kStopped);
        EXPECT_TRUE(ending.outOfMemory);
    }
#endif
    EndChildOutOfMemory();  // outside a child it returns

    const auto descriptors = [] {
        int n = 0;
        if (DIR* dir = opendir("/proc/self/fd")) {
            while (readdir(dir) != nullptr)
                ++n;
            closedir(dir);
        }
        return n;
    };
    const int before = descriptors();
    for (int i = 0; i < 300; ++i) {
        const bool hang = i % 100 == 99;  // now and then one that must be killed
        const auto work = [hang] {
            if (hang)
                std::this_thread::sleep_for(std::chrono::seconds(60));
            return true;
        };
        ASSERT_EQ(RunInChild(work, milliseconds(hang ? 50 : 60000)), hang ? EChildRun::kTimedOut : EChildRun::kReturnedTrue) << i;
    }
    EXPECT_EQ(descriptors(), before);
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);  // no child left, running or ended
    EXPECT_EQ(errno, ECHILD);
}
