// ChildProcess.h: a child process of this one, known by a descriptor of its own (a pidfd) rather
// than by its pid.
//
// A library cannot tell what the host program does with SIGCHLD: ignored, it lets children vanish
// as they end; a handler that reaps every child takes their exit status. A pid that has been
// reaped may be another process's by the time a signal is sent to it. So the child opens a pidfd
// on itself and hands it over: through it this process waits for the child's end, signals it
// and no other process, and reaps it when nobody else has. The child's exit status may then be
// gone: what it has to say it writes where its parent can read it (SharedPages.h).
//
// Without pidfds (Linux before 5.3, or a filter that refuses them) the pid serves where it is
// safe: while SIGCHLD keeps its default disposition, a child that has ended stays a zombie until
// this process reaps it, so its pid stays its own. Otherwise the child is not signalled: it is
// left to end within its own limits, and the host reaps it.
#pragma once

#include <chrono>
#include <sys/types.h>

class CChildProcess {
public:
    enum class EWait { kEnded, kTimedOut, kInterrupted };

    CChildProcess() = default;
    ~CChildProcess();   // a child still running is killed, and reaped where that is this process's
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Makes the child (fork). True in both processes when there is one; InChild() tells which.
    // In the child the object has handed its pidfd over and does nothing more. False with errno
    // set: EAGAIN when a limit on processes stops the fork.
    [[nodiscard]] bool Fork();
    bool InChild() const { return m_bInChild; }

    // In the parent. Waits for the child's end until the deadline or a stop signal (StopSignals.h).
    EWait WaitForEnd(std::chrono::steady_clock::time_point deadline);
    // Kills the child and waits for its end; false when it cannot be signalled safely (no pidfd,
    // and the host may reap it): it is then left to its own limits.
    bool Kill();
    // After its end: reaps it and gives its processor time (user and system) and the signal
    // that ended it (0: it exited); false when the host reaped it first, and neither is known.
    bool Reap(std::chrono::microseconds& cpu, int& signal);

private:
    bool Ended();

    pid_t m_pid = -1;
    int m_pidfd = -1;
    bool m_bInChild = false;
    bool m_bPinned = false;     // SIGCHLD was in its default disposition: the pid stays ours until reaped
    bool m_bReaped = false;     // by this object, or known to be beyond its reach
};
