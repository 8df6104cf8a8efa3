// ChildProcess.h: starts one program with an argument list (never through a shell), waits for it
// within a time limit or until the caller cancels, and kills and reaps it if it is still running
// when the object goes away. The program runs in a process group of its own, and killing it ends
// the whole group, so nothing it started outlives it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace http_layer {

class ChildProcess {
public:
    enum class WaitResult { Exited, TimedOut, Cancelled, NotStarted };

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // A program without "/" is looked up in PATH. On failure StartError() holds the errno value
    // (ENOENT for a missing program, EACCES for one that may not run).
    bool Start(const std::string& program, const std::vector<std::string>& args);
    int StartError() const { return m_nStartError; }

    // Polls every few milliseconds; `cancelled` (may be empty) is asked on each round.
    WaitResult Wait(unsigned timeoutMs, const std::function<bool()>& cancelled = {});
    bool IsRunning();
    int ExitCode() const { return m_nExitCode; }  // -1 unless it exited normally
    void Kill();    // SIGKILL to its group and reap; nothing when not running
    void Detach();  // leave it running on its own

private:
    bool Reap(bool block);

    int m_nPid = -1;
    int m_nStartError = 0;
    int m_nExitCode = -1;
    bool m_bExited = false;
};

}  // namespace http_layer
