#include "platform/http/ChildProcess.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace http_layer {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);

}  // namespace

ChildProcess::~ChildProcess()
{
    Kill();
}

bool ChildProcess::Start(const std::string& program, const std::vector<std::string>& args)
{
    if (m_nPid > 0 || program.empty()) {
        m_nStartError = EINVAL;
        return false;
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // A process group of its own, so that Kill() also ends whatever the program started.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) {
        m_nStartError = ENOMEM;
        return false;
    }
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = -1;
    const bool searchPath = program.find('/') == std::string::npos;
    // glibc reports a failed exec here (it spawns with CLONE_VFORK), so a missing program fails now.
    const int rc = searchPath ? posix_spawnp(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ)
                              : posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0) {
        m_nStartError = rc;
        return false;
    }
    m_nPid = pid;
    m_nStartError = 0;
    m_nExitCode = -1;
    m_bExited = false;
    return true;
}

bool ChildProcess::Reap(bool block)
{
    if (m_nPid <= 0) return true;
    int status = 0;
    pid_t rc;
    do {
        rc = waitpid(m_nPid, &status, block ? 0 : WNOHANG);
    } while (rc < 0 && errno == EINTR);
    if (rc == 0) return false;  // still running
    // rc < 0 (ECHILD): someone else reaped it; count it as gone.
    m_nExitCode = (rc > 0 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
    m_nPid = -1;
    m_bExited = true;
    return true;
}

ChildProcess::WaitResult ChildProcess::Wait(unsigned timeoutMs, const std::function<bool()>& cancelled)
{
    if (m_nPid <= 0) return m_bExited ? WaitResult::Exited : WaitResult::NotStarted;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (Reap(false)) return WaitResult::Exited;
        if (cancelled && cancelled()) return WaitResult::Cancelled;
        if (std::chrono::steady_clock::now() >= deadline) return WaitResult::TimedOut;
        std::this_thread::sleep_for(kPollInterval);
    }
}

bool ChildProcess::IsRunning()
{
    return m_nPid > 0 && !Reap(false);
}

void ChildProcess::Kill()
{
    if (m_nPid <= 0) return;
    if (Reap(false)) return;  // once reaped, its id may belong to someone else: send nothing
    kill(-m_nPid, SIGKILL);
    Reap(true);
}

void ChildProcess::Detach()
{
    m_nPid = -1;
}

}  // namespace http_layer
