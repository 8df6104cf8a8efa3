// ChildRun.h: work tried in a child process first, for libraries that stop the whole program on
// input they were not made for (an assertion) or may never return.
//
// The child is a copy of this process made at the call: it runs `work` with the default fatal
// signal handlers and no stderr, and ends without running any destructor, so nothing it does
// reaches this process, its files or its log. Only the outcome comes back. The child ends with the
// thread that called (killed with it), and holds none of the game's locks (SingleInstance.h).
#pragma once

#include <chrono>
#include <functional>

enum class EChildRun {
    kReturnedTrue,   // work returned true
    kReturnedFalse,  // work returned false
    kStopped,        // the child died on a signal or exited abnormally (an assertion, a crash)
    kTimedOut,       // it ran past the limit and was killed
    kUnavailable,    // no child could be made: the caller decides without the trial
};

EChildRun RunInChild(const std::function<bool()>& work, std::chrono::milliseconds limit);
