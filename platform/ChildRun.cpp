#include "platform/ChildRun.h"

#include "platform/StopSignals.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/time.h>
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

// The address space this process holds now.
std::size_t VirtualBytes()
{
    unsigned long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lu", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    return static_cast<std::size_t>(pages) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// Processor time ends the child with SIGPROF (whose default is to end the process); memory
// beyond the limit makes its allocations fail.
void ApplyLimits(const ChildLimits& limits)
{
    if (limits.cpu.count() > 0) {
        std::signal(SIGPROF, SIG_DFL);
        sigset_t profile;
        sigemptyset(&profile);
        sigaddset(&profile, SIGPROF);
        sigprocmask(SIG_UNBLOCK, &profile, nullptr);
        itimerval timer{};
        timer.it_value.tv_sec = static_cast<time_t>(limits.cpu.count() / 1000);
        timer.it_value.tv_usec = static_cast<suseconds_t>(limits.cpu.count() % 1000 * 1000);
        setitimer(ITIMER_PROF, &timer, nullptr);
    }
    if (limits.memoryBytes > 0) {
        rlimit space{};
        space.rlim_cur = space.rlim_max = VirtualBytes() + limits.memoryBytes;
        setrlimit(RLIMIT_AS, &space);
    }
}

[[noreturn]] void RunAndExit(const std::function<bool()>& work, const ChildLimits& limits, pid_t parent)
{
    EndWithParent(parent);
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(sig, SIG_DFL);  // no crash report of the parent's for the child's fault
    ApplyLimits(limits);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0)
        dup2(null, STDERR_FILENO);  // the library's assertion text is the parent's to tell
    _exit(work() ? 0 : 1);
}

enum class EWait { kEnded, kTimedOut, kInterrupted };

// Waits for the child until the limit or a stop signal; polls, since a child's end cannot be
// waited for with a time-out portably. The first checks come quickly, as most work is short.
EWait WaitUntil(pid_t child, int& status, rusage& usage, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    auto pause = std::chrono::microseconds(100);
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done == child)
            return EWait::kEnded;
        if (CStopSignals::Received())
            return EWait::kInterrupted;
        if (done < 0 || std::chrono::steady_clock::now() >= end)
            return EWait::kTimedOut;
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
}

}  // namespace

EChildRun RunInChild(const std::function<bool()>& work, std::chrono::milliseconds limit)
{
    ChildLimits limits;
    limits.wall = limit;
    return RunInChild(work, limits);
}

EChildRun RunInChild(const std::function<bool()>& work, const ChildLimits& limits, std::chrono::microseconds* cpuUsed)
{
    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0)
        return EChildRun::kUnavailable;
    if (child == 0)
        RunAndExit(work, limits, parent);
    int status = 0;
    rusage usage{};
    const EWait wait = WaitUntil(child, status, usage, limits.wall);
    if (wait != EWait::kEnded) {
        kill(child, SIGKILL);
        wait4(child, &status, 0, &usage);
    }
    if (cpuUsed != nullptr) {
        *cpuUsed = std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    }
    if (wait != EWait::kEnded)
        return wait == EWait::kInterrupted ? EChildRun::kInterrupted : EChildRun::kTimedOut;
    if (limits.cpu.count() > 0 && WIFSIGNALED(status) && WTERMSIG(status) == SIGPROF)
        return EChildRun::kTimedOut;
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return EChildRun::kStopped;
    return WEXITSTATUS(status) == 0 ? EChildRun::kReturnedTrue : EChildRun::kReturnedFalse;
}
