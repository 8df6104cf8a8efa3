// ChildRun.h: work tried in a child process first, for libraries that stop the whole program on
// input they were not made for (an assertion), may never return, or may take more time or memory
// than the input is worth.
//
// The child is a copy of this process made at the call: it runs `work` with the default fatal
// signal handlers and no stderr, and ends without running any destructor, so nothing it does
// reaches this process, its files or its log. Only the outcome comes back (and what the work
// writes to pages shared before the call: SharedPages.h), whatever the host program does with
// SIGCHLD: the child tells how it ended in pages of its own, and is waited for and signalled
// through a pidfd (ChildProcess.h). The child ends with the thread that called (killed with it),
// and holds none of the game's locks (SingleInstance.h).
// A stop signal ends the wait, so that the game ends when asked, not when the work does.
// Under the sanitizers their reports in the child come to this process's stderr, and the outcome
// says so: what was a quiet failure of the work is a memory error the caller may not pass over.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

enum class EChildRun {
    kReturnedTrue,   // work returned true
    kReturnedFalse,  // work returned false
    kStopped,        // the child died on a signal or exited abnormally (an assertion, a crash)
    kTimedOut,       // it ran past a time limit and was killed
    kInterrupted,    // a stop signal came meanwhile (StopSignals.h): the child was killed at once
    kUnavailable,    // no child could be made (memory, descriptors): the caller decides without the trial
    kNoProcess,      // the system starts no more processes for this user (RLIMIT_NPROC) or at all
    kSanitizerReport,  // under the sanitizers only: the child met a memory or undefined-behaviour error
};

struct ChildLimits {
    std::chrono::milliseconds wall{0};   // killed after this long, whatever it did
    // And after this much processor time in the work itself (user time); the kernel's time for
    // it (page faults, dearer on a loaded machine) may add as much again. 0: no such limit.
    std::chrono::milliseconds cpu{0};
    std::size_t memoryBytes = 0;         // address space it may take beyond this process's; 0: no limit
};

// How the child ended, beyond the outcome: what a caller needs to tell a user why the work
// did not come back.
struct ChildEnding {
    // Processor time (user and system); when the host reaped the child, the child's own account
    // of it, or twice the limit for a child that could give none.
    std::chrono::microseconds cpu{0};
    int signal = 0;              // that ended the child, where known (not when the host reaped it)
    bool outOfMemory = false;    // kStopped: an allocation failed within limits.memoryBytes
    bool pastWallLimit = false;  // kTimedOut by the clock, not by processor time
};

EChildRun RunInChild(const std::function<bool()>& work, std::chrono::milliseconds limit);
// With limits of processor time and memory too: work that runs out of memory sees its
// allocations fail, and a failed operator new ends the child as out of memory.
EChildRun RunInChild(const std::function<bool()>& work, const ChildLimits& limits, ChildEnding* ending = nullptr);

// For allocators of the work's libraries (malloc underneath): in a child with a memory limit,
// ends it as out of memory; anywhere else returns, and the allocation fails as it would.
void EndChildOutOfMemory();

// "signal 9, Killed": a signal's number and name, for a user.
std::string SignalName(int signal);
// True for a signal that the child's own fault raises (a crash, an assertion), not one sent to it.
bool IsFaultSignal(int signal);
