#include "platform/dialogs/ZenityProcess.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace dialogs_layer {

namespace {

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

bool FoundInPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    if (path == nullptr)
        return false;
    std::string list = path;
    for (std::size_t start = 0; start <= list.size();) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos)
            end = list.size();
        const std::string folder = list.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + program;
        struct stat info{};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Starts zenity with stdin and/or stdout connected to the given descriptors (-1: inherited).
int Spawn(const std::vector<std::string>& args, int stdinFd, int stdoutFd, int closeFd)
{
    std::vector<char*> argv;
    static char zenity[] = "zenity";
    argv.push_back(zenity);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return -1;
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdinFd, 0);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    if (closeFd >= 0)
        posix_spawn_file_actions_addclose(&actions, closeFd);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, "zenity", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int WaitExit(int pid, bool block)
{
    int status = 0;
    pid_t rc;
    do {
        rc = waitpid(pid, &status, block ? 0 : WNOHANG);
    } while (rc < 0 && errno == EINTR);
    if (rc == 0)
        return -2;  // still running
    return (rc > 0 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ZenityProcess::~ZenityProcess()
{
    Stop();
}

bool ZenityProcess::Available()
{
    return (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY")) && FoundInPath("zenity");
}

std::string ZenityProcess::EscapeMarkup(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

int ZenityProcess::RunModal(const std::vector<std::string>& args, std::string& output)
{
    output.clear();
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return -1;
    const int pid = Spawn(args, -1, pipeFds[1], pipeFds[0]);
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return -1;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        const std::size_t room = kMaxOutputBytes - output.size();
        output.append(buffer, std::min(room, static_cast<std::size_t>(got)));  // the rest is drained unread
    }
    close(pipeFds[0]);
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
        output.pop_back();
    return WaitExit(pid, true);
}

bool ZenityProcess::Start(const std::vector<std::string>& args)
{
    Stop();
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    const int pid = Spawn(args, pipeFds[0], -1, pipeFds[1]);
    close(pipeFds[0]);
    if (pid < 0) {
        close(pipeFds[1]);
        return false;
    }
    m_nPid = pid;
    m_nInput = pipeFds[1];
    return true;
}

bool ZenityProcess::Send(const std::string& line)
{
    if (m_nInput < 0 || !IsRunning())
        return false;
    // A window closed between the check and the write would raise SIGPIPE in the host: block it on this
    // thread, and take a pending one off again, so the write just fails.
    sigset_t pipeOnly, previous;
    sigemptyset(&pipeOnly);
    sigaddset(&pipeOnly, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeOnly, &previous);
    const std::string text = line + "\n";
    std::size_t sent = 0;
    bool ok = true;
    while (sent < text.size()) {
        const ssize_t put = write(m_nInput, text.data() + sent, text.size() - sent);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            ok = false;
            break;
        }
        sent += static_cast<std::size_t>(put);
    }
    if (!ok) {
        const timespec none{0, 0};
        sigtimedwait(&pipeOnly, nullptr, &none);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

bool ZenityProcess::IsRunning()
{
    if (m_nPid < 0)
        return false;
    if (WaitExit(m_nPid, false) == -2)
        return true;
    m_nPid = -1;
    return false;
}

void ZenityProcess::Stop()
{
    if (m_nInput >= 0) {
        close(m_nInput);
        m_nInput = -1;
    }
    if (m_nPid < 0)
        return;
    if (WaitExit(m_nPid, false) == -2) {
        kill(m_nPid, SIGTERM);
        WaitExit(m_nPid, true);
    }
    m_nPid = -1;
}

}  // namespace dialogs_layer
