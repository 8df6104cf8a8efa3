#include "platform/http/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

using http_layer::ChildProcess;
using Clock = std::chrono::steady_clock;

TEST(ChildProcess, ProgramsRunWithTheirArgumentsAndNoShell)
{
    ChildProcess p;
    // A shell would expand the variable; the program must see the text as given.
    ASSERT_TRUE(p.Start("test", {"$HOME", "=", "$HOME"}));
    EXPECT_EQ(p.Wait(5000), ChildProcess::WaitResult::Exited);
    EXPECT_EQ(p.ExitCode(), 0);
    ASSERT_TRUE(p.Start("false", {}));
    EXPECT_EQ(p.Wait(5000), ChildProcess::WaitResult::Exited);
    EXPECT_EQ(p.ExitCode(), 1);
    EXPECT_EQ(p.Wait(5000), ChildProcess::WaitResult::Exited);  // asking again is harmless
}

TEST(ChildProcess, AMissingProgramFailsToStart)
{
    for (const char* program : {"/nonexistent/program", "no-such-program-here", ""}) {
        SCOPED_TRACE(program);
        ChildProcess p;
        EXPECT_FALSE(p.Start(program, {}));
        EXPECT_NE(p.StartError(), 0);
        EXPECT_EQ(p.Wait(10), ChildProcess::WaitResult::NotStarted);
    }
    ChildProcess p;
    EXPECT_FALSE(p.Start("/nonexistent/program", {}));
    EXPECT_EQ(p.StartError(), ENOENT);
}

TEST(ChildProcess, WaitingEndsAtTheLimitOrOnCancelAndKillEndsTheProgram)
{
    for (bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "time-out");
        ChildProcess p;
        ASSERT_TRUE(p.Start("sleep", {"30"}));
        const auto start = Clock::now();
        const auto cancelled = [&] { return cancel && Clock::now() - start > std::chrono::milliseconds(100); };
        EXPECT_EQ(p.Wait(cancel ? 20000 : 200, cancelled),
                  cancel ? ChildProcess::WaitResult::Cancelled : ChildProcess::WaitResult::TimedOut);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
        EXPECT_TRUE(p.IsRunning());
        p.Kill();
        EXPECT_FALSE(p.IsRunning());
    }
}
