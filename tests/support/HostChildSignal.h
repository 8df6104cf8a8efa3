// HostChildSignal.h: SIGCHLD as a host program may set it around the library, for tests of work
// done in a child process (ChildRun.h): left alone, ignored (ended children vanish at once), or
// handled by a handler that reaps every child and keeps what it reaped.
#pragma once

#include <cerrno>
#include <csignal>

#include <sys/types.h>
#include <sys/wait.h>

enum class EHostChildSignal { kDefault, kIgnored, kReaped };

inline const char* HostChildSignalName(EHostChildSignal host)
{
    return host == EHostChildSignal::kDefault ? "SIGCHLD left alone"
           : host == EHostChildSignal::kIgnored ? "SIGCHLD ignored"
                                                 : "every child reaped by a handler";
}

// What the handler reaped, in a fixed table: a handler may not allocate.
struct ReapedChild {
    pid_t pid;
    int status;
};
inline ReapedChild g_reapedChildren[256];
inline volatile std::sig_atomic_t g_nReapedChildren = 0;

extern "C" inline void ReapEveryChild(int)
{
    const int saved = errno;
    int status = 0;
    pid_t pid = 0;
    while ((pid = waitpid(-1, &status, WNOHANG)) > 0) {
        if (g_nReapedChildren < 256) {
            g_reapedChildren[g_nReapedChildren] = {pid, status};
            g_nReapedChildren = g_nReapedChildren + 1;
        }
    }
    errno = saved;
}

// The host's SIGCHLD for the object's life; the one before comes back after.
class CHostChildSignal {
public:
    explicit CHostChildSignal(EHostChildSignal host)
    {
        g_nReapedChildren = 0;
        struct sigaction action = {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
        action.sa_handler = host == EHostChildSignal::kDefault ? SIG_DFL : host == EHostChildSignal::kIgnored ? SIG_IGN : ReapEveryChild;
        sigaction(SIGCHLD, &action, &m_previous);
    }
    ~CHostChildSignal() { sigaction(SIGCHLD, &m_previous, nullptr); }
    CHostChildSignal(const CHostChildSignal&) = delete;
    CHostChildSignal& operator=(const CHostChildSignal&) = delete;

    // The status the handler reaped for `pid`; false when it reaped none for it.
    static bool ReapedStatus(pid_t pid, int& status)
    {
        for (int i = 0; i < g_nReapedChildren; ++i) {
            if (g_reapedChildren[i].pid == pid) {
                status = g_reapedChildren[i].status;
                return true;
            }
        }
        return false;
    }

private:
    struct sigaction m_previous = {};
};
