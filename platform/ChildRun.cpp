#include "platform/ChildRun.h"

#include "platform/ChildProcess.h"
#include "platform/SharedPages.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <new>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <unistd.h>

// The sanitizers' runtime, when the program has one: where its reports go and what it calls
// before it ends the process. Null without it.
extern "C" void __sanitizer_set_report_fd(void* fd) __attribute__((weak));
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

// How the child ended, as it tells it in pages shared with this process: the host program may
// reap the child (SIGCHLD ignored, or a handler that waits for every child) and its exit status
// with it.
enum EEnd : int { kRunning = 0, kEndTrue, kEndFalse, kEndOutOfTime, kEndOutOfMemory };
struct ChildEnd {
    volatile std::sig_atomic_t how;
    volatile std::int64_t cpuNs;   // the child's processor time then
};

ChildEnd* g_pEnd = nullptr;        // in the child, for its signal handler
bool g_bMemoryLimited = false;     // in the child: allocations fail at its limit

std::int64_t OwnProcessorNs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void RecordEnd(EEnd how)
{
    g_pEnd->cpuNs = OwnProcessorNs();
    g_pEnd->how = how;
}

extern "C" void OnOutOfTime(int)
{
    RecordEnd(kEndOutOfTime);
    _exit(3);
}

void OnOutOfMemory()
{
    RecordEnd(kEndOutOfMemory);
    _exit(4);
}

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

void Arm(int which, std::chrono::milliseconds after)
{
    itimerval timer{};
    timer.it_value.tv_sec = static_cast<time_t>(after.count() / 1000);
    timer.it_value.tv_usec = static_cast<suseconds_t>(after.count() % 1000 * 1000);
    setitimer(which, &timer, nullptr);
}

// Processor time is the work's own (user time): that is what the caller's limit measures. The
// kernel's work for the child, its page faults mostly, grows on a loaded machine whose memory is
// short; it may add as much again. Both end the child through a handler that says so. The child
// also ends itself a little after the wall limit, for a parent that cannot signal it
// (ChildProcess.h). Memory beyond the limit makes its allocations fail.
void ApplyLimits(const ChildLimits& limits)
{
    struct sigaction action {};
    action.sa_handler = OnOutOfTime;
    sigemptyset(&action.sa_mask);
    sigaction(SIGVTALRM, &action, nullptr);
    sigaction(SIGPROF, &action, nullptr);
    std::signal(SIGALRM, SIG_DFL);
    sigset_t timers;
    sigemptyset(&timers);
    for (int sig : {SIGVTALRM, SIGPROF, SIGALRM})
        sigaddset(&timers, sig);
    sigprocmask(SIG_UNBLOCK, &timers, nullptr);
    if (limits.cpu.count() > 0) {
        Arm(ITIMER_VIRTUAL, limits.cpu);
        Arm(ITIMER_PROF, limits.cpu * 2);
    }
    if (limits.wall.count() > 0)
        Arm(ITIMER_REAL, limits.wall + std::chrono::seconds(1));
    if (limits.memoryBytes > 0) {
        rlimit space{};
        space.rlim_cur = space.rlim_max = VirtualBytes() + limits.memoryBytes;
        g_bMemoryLimited = setrlimit(RLIMIT_AS, &space) == 0;
        if (g_bMemoryLimited)
            std::set_new_handler(OnOutOfMemory);
    }
}

// Under the sanitizers a memory error in the child is reported to a file this process reads,
// not to the child's stderr (which is closed), and ends the child without the callbacks the
// program set for its own end (a fuzzer's, which would report the child's death as its own).
class CSanitizerReport {
public:
    CSanitizerReport() : m_fd(__sanitizer_set_report_fd != nullptr ? memfd_create("child report", MFD_CLOEXEC) : -1) {}
    ~CSanitizerReport()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    CSanitizerReport(const CSanitizerReport&) = delete;
    CSanitizerReport& operator=(const CSanitizerReport&) = delete;

    void RouteHere() const   // in the child
    {
        if (m_fd < 0)
            return;
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(m_fd)));
        if (__sanitizer_set_death_callback != nullptr)
            __sanitizer_set_death_callback(nullptr);
    }
    // What the child reported, copied to this process's stderr; false when it reported nothing.
    bool Pass() const
    {
        char text[16384];
        const ssize_t n = m_fd >= 0 ? pread(m_fd, text, sizeof(text), 0) : 0;
        if (n <= 0)
            return false;
        static const char kHeading[] = "A child process met a sanitizer error:\n";
        ssize_t unused = write(STDERR_FILENO, kHeading, sizeof(kHeading) - 1);
        unused = write(STDERR_FILENO, text, static_cast<std::size_t>(n));
        static_cast<void>(unused);
        return true;
    }

private:
    int m_fd;
};

[[noreturn]] void RunAndExit(const std::function<bool()>& work, const ChildLimits& limits, pid_t parent,
                             const CSanitizerReport& report)
{
    EndWithParent(parent);
    // No crash report of the parent's for the child's fault; under the sanitizers their own
    // handlers stay, so that a memory error that faults is reported too.
    for (int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
        if (__sanitizer_set_report_fd == nullptr || sig == SIGABRT || sig == SIGILL)
            std::signal(sig, SIG_DFL);
    }
    report.RouteHere();
    ApplyLimits(limits);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0)
        dup2(null, STDERR_FILENO);  // the library's assertion text is the parent's to tell
    const bool result = work();
    sigset_t timers;
    sigemptyset(&timers);
    sigaddset(&timers, SIGVTALRM);
    sigaddset(&timers, SIGPROF);
    sigprocmask(SIG_BLOCK, &timers, nullptr);
    RecordEnd(result ? kEndTrue : kEndFalse);
    _exit(result ? 0 : 1);
}

EChildRun Outcome(CChildProcess::EWait wait, const ChildEnd& end, bool reported)
{
    if (reported)
        return EChildRun::kSanitizerReport;
    if (wait == CChildProcess::EWait::kInterrupted)
        return EChildRun::kInterrupted;
    if (wait == CChildProcess::EWait::kTimedOut || end.how == kEndOutOfTime)
        return EChildRun::kTimedOut;
    if (end.how == kRunning || end.how == kEndOutOfMemory)
        return EChildRun::kStopped;
    return end.how == kEndTrue ? EChildRun::kReturnedTrue : EChildRun::kReturnedFalse;
}

}  // namespace

void EndChildOutOfMemory()
{
    if (g_pEnd != nullptr && g_bMemoryLimited)
        OnOutOfMemory();
}

bool IsFaultSignal(int signal)
{
    for (int fault : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL, SIGTRAP, SIGSYS})
        if (signal == fault)
            return true;
    return false;
}

std::string SignalName(int signal)
{
    const char* name = strsignal(signal);
    return "signal " + std::to_string(signal) + (name != nullptr ? std::string(", ") + name : std::string());
}

EChildRun RunInChild(const std::function<bool()>& work, std::chrono::milliseconds limit)
{
    ChildLimits limits;
    limits.wall = limit;
    return RunInChild(work, limits);
}

EChildRun RunInChild(const std::function<bool()>& work, const ChildLimits& limits, ChildEnding* ending)
{
    SharedPages pages(sizeof(ChildEnd));
    if (pages.Data() == nullptr)
        return EChildRun::kUnavailable;
    ChildEnd* end = new (pages.Data()) ChildEnd{kRunning, 0};
    const CSanitizerReport report;
    const pid_t parent = getpid();
    CChildProcess child;
    if (!child.Fork())
        return errno == EAGAIN ? EChildRun::kNoProcess : EChildRun::kUnavailable;
    if (child.InChild()) {
        g_pEnd = end;
        RunAndExit(work, limits, parent, report);
    }
    const CChildProcess::EWait wait = child.WaitForEnd(std::chrono::steady_clock::now() + limits.wall);
    if (wait != CChildProcess::EWait::kEnded)
        child.Kill();
    ChildEnding known;
    if (!child.Reap(known.cpu, known.signal)) {
        // The host reaped it: its own account, or all it may have taken.
        known.cpu = end->how != kRunning ? std::chrono::microseconds(end->cpuNs / 1000) : limits.cpu * 2;
    }
    known.outOfMemory = end->how == kEndOutOfMemory;
    known.pastWallLimit = wait == CChildProcess::EWait::kTimedOut;
    if (ending != nullptr)
        *ending = known;
    return Outcome(wait, *end, report.Pass());
}
