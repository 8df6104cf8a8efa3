// CrashHandler.cpp: the signal handler and what it may safely do.
//
// Only async-signal-safe calls run inside the handler: everything it needs (paths, the
// alternate stack, the backtrace library) is prepared when the handler is installed.
#include "platform/CrashHandler.h"

#include "platform/FileSystem.h"

#include <execinfo.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};
constexpr std::size_t kPathMax = 4096;
constexpr int kMaxFrames = 64;

char g_dumpFolder[kPathMax];
char g_dumpPath[kPathMax];
std::vector<char> g_altStack;

void WriteText(int fd, const char* text)
{
    std::size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= static_cast<std::size_t>(n);
    }
}

void WriteNumber(int fd, long value)
{
    char digits[24];
    int at = static_cast<int>(sizeof(digits)) - 1;
    digits[at] = 0;
    const bool negative = value < 0;
    unsigned long magnitude = negative ? 0UL - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
    do {
        digits[--at] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && at > 1);
    if (negative)
        digits[--at] = '-';
    WriteText(fd, digits + at);
}

void WriteDump(int fd, int signal)
{
    WriteText(fd, "Crash detected: signal ");
    WriteNumber(fd, signal);
    WriteText(fd, " (");
    WriteText(fd, signal == SIGSEGV ? "segmentation fault" : signal == SIGBUS ? "bus error" :
                  signal == SIGILL ? "illegal instruction" : signal == SIGFPE ? "floating-point error" : "abort");
    WriteText(fd, ")\nprocess ");
    WriteNumber(fd, static_cast<long>(::getpid()));
    WriteText(fd, "\nbacktrace:\n");
    void* frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, count, fd);
}

void OnCrash(int signal)
{
    const int savedErrno = errno;
    ::mkdir(g_dumpFolder, 0755);  // an existing folder is fine
    const int fd = ::open(g_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);  // never through a link
    if (fd < 0) {
        WriteText(STDERR_FILENO, "Failed to create dump file '");
        WriteText(STDERR_FILENO, g_dumpPath);
        WriteText(STDERR_FILENO, "' (error ");
        WriteNumber(STDERR_FILENO, errno);
        WriteText(STDERR_FILENO, ")\n");
    } else {
        WriteDump(fd, signal);
        ::close(fd);
        WriteText(STDERR_FILENO, "Saved dump file to '");
        WriteText(STDERR_FILENO, g_dumpPath);
        WriteText(STDERR_FILENO, "'\n");
    }
    errno = savedErrno;
    // End the process the way the signal would have without us.
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = SIG_DFL;
    ::sigaction(signal, &action, nullptr);
    ::raise(signal);
}

void CopyPath(char (&out)[kPathMax], const std::string& path)
{
    std::strncpy(out, path.c_str(), kPathMax - 1);
    out[kPathMax - 1] = 0;
}

}  // namespace

std::string CCrashHandler::DumpPath(const char* name)
{
    return fs_layer::ResolvePath(std::string("dump/") + (name != nullptr ? name : "Application") + ".dmp");
}

CCrashHandler::CCrashHandler(const char* name) : m_sName(name != nullptr ? name : "Application")
{
    CopyPath(g_dumpFolder, fs_layer::ResolvePath("dump"));
    CopyPath(g_dumpPath, DumpPath(m_sName.c_str()));

    // The first backtrace call may load a library; do it now, not inside the handler.
    void* warmUp[1];
    ::backtrace(warmUp, 1);

    if (g_altStack.empty()) {
        g_altStack.resize(static_cast<std::size_t>(SIGSTKSZ) + 64 * 1024);
        stack_t stack;
        std::memset(&stack, 0, sizeof(stack));
        stack.ss_sp = g_altStack.data();
        stack.ss_size = g_altStack.size();
        ::sigaltstack(&stack, nullptr);
    }
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_handler = OnCrash;
    action.sa_flags = SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

CCrashHandler::~CCrashHandler() = default;
