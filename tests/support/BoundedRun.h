// BoundedRun.h: runs a piece of work in a child process and reports the processor time and peak
// memory it took, so that a test can hold a reader of hostile input to a time and memory bound
// whatever else the test program did before. The child has 60 seconds, and outside the
// sanitizers 2 GB of address space, so a regression fails the test rather than the machine.
#pragma once

#include <cstdio>
#include <functional>

#include "support/LoadAllowance.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#define SOL_TEST_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOL_TEST_SANITIZED 1
#endif
#endif

// The sanitizers multiply time and memory; bounds in tests are scaled by these.
#ifdef SOL_TEST_SANITIZED
constexpr double kTestTimeScale = 8;
constexpr double kTestMemoryScale = 3;
#else
constexpr double kTestTimeScale = 1;
constexpr double kTestMemoryScale = 1;
#endif

// A bound on processor time for work that takes `idleSeconds` at most on an idle machine. A busy
// machine stretches processor time too (its cores and caches are shared; a virtual machine's host
// may count its own waits), less than the clock but by as much as half again: the bound grows with
// the tasks each processor has, as a bound on the clock does.
inline double ProcessorBound(double idleSeconds)
{
    return idleSeconds * kTestTimeScale * TasksPerProcessor();
}

struct RunCost {
    bool exited = false;   // the child ran to its end (no signal, no time-out)
    int status = -1;       // what the work returned
    double seconds = 0;    // user and system time of the child
    double peakMb = 0;     // its largest resident size, the part it grew by beyond the parent's
};

// Resident KiB of this process now (the child starts with these pages).
inline long ResidentKb()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

inline RunCost RunBounded(const std::function<int()>& work)
{
    RunCost cost;
    const long before = ResidentKb();
    const pid_t pid = fork();
    if (pid < 0)
        return cost;
    if (pid == 0) {
        alarm(60);
#ifndef SOL_TEST_SANITIZED
        struct rlimit limit {};
        limit.rlim_cur = limit.rlim_max = rlim_t{2} << 30;
        setrlimit(RLIMIT_AS, &limit);
#endif
        _exit(work() & 255);
    }
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return cost;
    cost.exited = WIFEXITED(status);
    cost.status = cost.exited ? WEXITSTATUS(status) : -1;
    cost.seconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    // ru_maxrss is in KiB and counts the pages the child started with.
    const long grown = usage.ru_maxrss - before;
    cost.peakMb = static_cast<double>(grown > 0 ? grown : 0) / 1024.0;
    return cost;
}

// As RunBounded, but a run over the bound is tried twice more and the least time kept: a loaded
// machine only adds processor time, a regression costs too much every time.
inline RunCost RunBoundedLeast(const std::function<int()>& work, double boundSeconds)
{
    RunCost least = RunBounded(work);
    for (int retry = 0; retry < 2 && least.exited && least.seconds >= boundSeconds; ++retry) {
        const RunCost again = RunBounded(work);
        if (again.exited && again.seconds < least.seconds)
            least = again;
    }
    return least;
}
