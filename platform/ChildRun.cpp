#include "platform/ChildRun.h"

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// The parent enforces the time limit; a parent killed meanwhile enforces nothing, so the child
// goes with it. The signal is asked for after the fork: a parent that died before then has
// already handed the child to another, and nobody waits for its outcome.
void EndWithParent(pid_t parent)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(2);
}

[[noreturn]] void RunAndExit(const std::function<bool()>& work, pid_t parent)
{
    EndWithParent(parent);
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(sig, SIG_DFL);  // no crash report of the parent's for the child's fault
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0)
        dup2(null, STDERR_FILENO);  // the library's assertion text is the parent's to tell
    _exit(work() ? 0 : 1);
}

// Waits for the child until the limit; polls, since a child's end cannot be waited for with a
// time-out portably. The first checks come quickly, as most work is short.
bool WaitUntil(pid_t child, int& status, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    auto pause = std::chrono::microseconds(100);
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return true;
        if (done < 0 || std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
}

}  // namespace

EChildRun RunInChild(const std::function<bool()>& work, std::chrono::milliseconds limit)
{
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0)
        return EChildRun::kUnavailable;
    if (child == 0)
        RunAndExit(work, parent);
    int status = 0;
    if (!WaitUntil(child, status, limit)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return EChildRun::kTimedOut;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return EChildRun::kStopped;
    return WEXITSTATUS(status) == 0 ? EChildRun::kReturnedTrue : EChildRun::kReturnedFalse;
}
