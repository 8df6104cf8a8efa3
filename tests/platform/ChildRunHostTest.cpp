// test-labels: untrusted
// ChildRunHostTest.cpp: work in a child comes back the same whatever the host program does with
// SIGCHLD, only the library's own child is ever signalled, and nothing is left behind; under the
// sanitizers a memory error in the child is reported as one.
#include "platform/ChildRun.h"
#include "platform/SharedPages.h"
#include "support/BoundedRun.h"
#include "support/HostChildSignal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include <dirent.h>
#include <unistd.h>

namespace {

int OpenDescriptors()
{
    int n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            ++n;
        closedir(dir);
    }
    return n;
}

}  // namespace

TEST(ChildRunHost, EachWayTheWorkEndsComesBackWhateverTheHostDoesWithSigchld)
{
    SharedPages childPid(sizeof(pid_t));
    ASSERT_NE(childPid.Data(), nullptr);
    auto* pid = reinterpret_cast<volatile pid_t*>(childPid.Data());
    const auto spin = [] {
        for (volatile unsigned long i = 0;; i = i + 1) {
        }
        return true;
    };
    // How each ends, and the status the host's handler then reaps: a signal only where the work
    // had to be stopped, and only to that child.
    const struct {
        const char* what;
        std::function<bool()> work;
        std::chrono::milliseconds cpu;
        EChildRun expected;
        int signal;      // that ended the child, or 0
        int exitCode;
    } cases[] = {
        {"true", [] { return true; }, {}, EChildRun::kReturnedTrue, 0, 0},
        {"false", [] { return false; }, {}, EChildRun::kReturnedFalse, 0, 1},
        {"assertion", [] { std::abort(); return true; }, {}, EChildRun::kStopped, SIGABRT, 0},
        {"hang", [] { std::this_thread::sleep_for(std::chrono::seconds(30)); return true; }, {}, EChildRun::kTimedOut, SIGKILL, 0},
        {"spin", spin, std::chrono::milliseconds(150), EChildRun::kTimedOut, 0, 3},
    };
    for (EHostChildSignal host : {EHostChildSignal::kDefault, EHostChildSignal::kIgnored, EHostChildSignal::kReaped}) {
        const CHostChildSignal hostSignal(host);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(HostChildSignalName(host)) + ": " + c.what);
            ChildLimits limits;
            limits.wall = c.cpu.count() > 0 ? std::chrono::seconds(20) : std::chrono::milliseconds(400);
            limits.cpu = c.cpu;
            std::chrono::microseconds used{0};
            *pid = 0;
            const auto work = [&] {
                *pid = getpid();
                return c.work();
            };
            EXPECT_EQ(RunInChild(work, limits, &used), c.expected);
            if (c.cpu.count() > 0) {
                // The child's own account when the host took its status.
                EXPECT_GT(used, std::chrono::milliseconds(100));
                EXPECT_LT(used, std::chrono::milliseconds(1000));
            }
            if (host != EHostChildSignal::kReaped)
                continue;
            int status = 0;
            for (int i = 0; i < 200 && !CHostChildSignal::ReapedStatus(*pid, status); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            ASSERT_TRUE(CHostChildSignal::ReapedStatus(*pid, status));
            if (c.signal != 0) {
                ASSERT_TRUE(WIFSIGNALED(status));
                EXPECT_EQ(WTERMSIG(status), c.signal);
            } else {
                ASSERT_TRUE(WIFEXITED(status));
                EXPECT_EQ(WEXITSTATUS(status), c.exitCode);
            }
        }
    }
}

TEST(ChildRunHost, ManyRunsLeaveNoDescriptorChildOrZombie)
{
    const int before = OpenDescriptors();
    for (int i = 0; i < 500; ++i) {
        const bool stop = i % 100 == 99;   // now and then one that must be killed
        const EChildRun run = RunInChild(
            [stop] {
                if (stop)
                    std::this_thread::sleep_for(std::chrono::seconds(30));
                return true;
            },
            std::chrono::milliseconds(stop ? 50 : 5000));
        ASSERT_EQ(run, stop ? EChildRun::kTimedOut : EChildRun::kReturnedTrue) << i;
    }
    EXPECT_EQ(OpenDescriptors(), before);
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);   // no child left, running or ended
    EXPECT_EQ(errno, ECHILD);
}

TEST(ChildRunHost, UnderTheSanitizersAMemoryErrorInTheChildIsReported)
{
#ifndef SOL_TEST_SANITIZED
    GTEST_SKIP() << "only the sanitizers see memory errors";
#else
    testing::internal::CaptureStderr();
    const EChildRun run = RunInChild(
        [] {
            PlantHeapOverflow();
            return true;
        },
        std::chrono::seconds(20));
    const std::string report = testing::internal::GetCapturedStderr();
    EXPECT_EQ(run, EChildRun::kSanitizerReport);
    EXPECT_NE(report.find("heap-buffer-overflow"), std::string::npos) << report;
#endif
}
