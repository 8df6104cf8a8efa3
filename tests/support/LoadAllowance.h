// LoadAllowance.h: time bounds in tests that other work on the machine does not decide. Work is
// measured in the processor time of the thread that does it, which a busy machine does not
// stretch as it stretches the clock; a bound on the clock grows with the tasks each processor has.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>

#include <time.h>
#include <unistd.h>

// Processor time of the calling thread, in seconds.
inline double ThreadSeconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Tasks each processor has to run, by the load average or the tasks runnable now, whichever is
// more; at least 1.
inline double TasksPerProcessor()
{
    std::ifstream in("/proc/loadavg");
    double load = 0.0;
    std::string skip;
    int running = 0;
    in >> load >> skip >> skip;
    if (std::getline(in >> std::ws, skip, '/'))
        running = std::atoi(skip.c_str());
    const long cores = std::max(1L, ::sysconf(_SC_NPROCESSORS_ONLN));
    return std::max(1.0, std::max(load, static_cast<double>(running)) / static_cast<double>(cores));
}

// `idle` on an idle machine, more in proportion to the tasks each processor has.
inline std::chrono::milliseconds ClockAllowance(std::chrono::milliseconds idle)
{
    return std::chrono::milliseconds(static_cast<long long>(static_cast<double>(idle.count()) * TasksPerProcessor()));
}
