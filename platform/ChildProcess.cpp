#include "platform/ChildProcess.h"

#include "platform/StopSignals.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPidfdIdType = 3;   // waitid's P_PIDFD, which the C library's headers may not name
// The child hands its pidfd over first thing; a machine that stalls it longer than this is
// answered as a kernel without pidfds would be.
constexpr int kHandOverMs = 10000;

int OpenOwnPidfd()
{
#ifdef SYS_pidfd_open
    return static_cast<int>(syscall(SYS_pidfd_open, getpid(), 0));
#else
    return -1;
#endif
}

void SignalThrough(int pidfd, int sig)
{
#ifdef SYS_pidfd_send_signal
    syscall(SYS_pidfd_send_signal, pidfd, sig, nullptr, 0);   // ESRCH: it has ended, which is as well
#endif
}

// Waits for input on `fd` for up to `ms` (-1: for ever); true when there is some (or an end).
bool PollIn(int fd, int ms)
{
    pollfd entry{fd, POLLIN, 0};
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const int n = poll(&entry, 1, ms);
        if (n >= 0)
            return n > 0;
        if (errno != EINTR)
            return false;
        if (ms >= 0)
            ms = static_cast<int>(std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                             end - std::chrono::steady_clock::now()).count()));
    }
}

// One byte, with the descriptor as its passenger when there is one.
void SendDescriptor(int socket, int fd)
{
    char byte = fd >= 0 ? 1 : 0;
    iovec part{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    if (fd >= 0) {
        message.msg_control = control;
        message.msg_controllen = sizeof(control);
        cmsghdr* header = CMSG_FIRSTHDR(&message);
        header->cmsg_level = SOL_SOCKET;
        header->cmsg_type = SCM_RIGHTS;
        header->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(header), &fd, sizeof(fd));
    }
    while (sendmsg(socket, &message, MSG_NOSIGNAL) < 0 && errno == EINTR) {
    }
}

// The descriptor the child sent, or -1 (it sent none, or ended first).
int ReceiveDescriptor(int socket)
{
    if (!PollIn(socket, kHandOverMs))
        return -1;
    char byte = 0;
    iovec part{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message{};
    message.msg_iov = &part;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    ssize_t n = 0;
    while ((n = recvmsg(socket, &message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {
    }
    int fd = -1;
    for (cmsghdr* header = n > 0 ? CMSG_FIRSTHDR(&message) : nullptr; header != nullptr; header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS && header->cmsg_len == CMSG_LEN(sizeof(int)))
            std::memcpy(&fd, CMSG_DATA(header), sizeof(fd));
    }
    return fd;
}

// SIGCHLD as a process starts with it: no handler, and ended children kept until waited for.
bool DefaultChildSignal()
{
    struct sigaction current {};
    return sigaction(SIGCHLD, nullptr, &current) == 0 && (current.sa_flags & (SA_SIGINFO | SA_NOCLDWAIT)) == 0 &&
           current.sa_handler == SIG_DFL;
}

std::chrono::microseconds ProcessorTime(const rusage& usage)
{
    return std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

}  // namespace

CChildProcess::~CChildProcess()
{
    if (m_bInChild || m_pid <= 0)
        return;
    if (!m_bReaped && !Ended())
        Kill();
    std::chrono::microseconds unusedCpu{0};
    int unusedSignal = 0;
    Reap(unusedCpu, unusedSignal);
    if (m_pidfd >= 0)
        close(m_pidfd);
}

bool CChildProcess::Fork()
{
    int sockets[2];
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, sockets) != 0)
        return false;
    m_bPinned = DefaultChildSignal();
    m_pid = fork();
    if (m_pid == 0) {
        m_bInChild = true;
        close(sockets[0]);
        const int self = OpenOwnPidfd();
        SendDescriptor(sockets[1], self);
        close(sockets[1]);
        if (self >= 0)
            close(self);
        return true;
    }
    const int forkError = errno;
    close(sockets[1]);   // before the wait: the child's end of the pair is then the only one
    if (m_pid > 0)
        m_pidfd = ReceiveDescriptor(sockets[0]);
    close(sockets[0]);
    errno = forkError;   // for the caller, to tell a limit on processes (EAGAIN) from memory
    return m_pid > 0;
}

// Without waiting. A pid that no longer names a child of ours has ended as far as we can tell.
bool CChildProcess::Ended()
{
    if (m_pidfd >= 0)
        return PollIn(m_pidfd, 0);
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == m_pid;
}

// A pidfd wakes the wait when the child ends; the slices are for the stop signals (and, without
// one, for looking again: the first looks come quickly, as most children are short).
CChildProcess::EWait CChildProcess::WaitForEnd(std::chrono::steady_clock::time_point deadline)
{
    auto pause = std::chrono::microseconds(m_pidfd >= 0 ? 10000 : 100);
    for (;;) {
        if (Ended())
            return EWait::kEnded;
        if (CStopSignals::Received())
            return EWait::kInterrupted;
        if (std::chrono::steady_clock::now() >= deadline)
            return EWait::kTimedOut;
        if (m_pidfd >= 0)
            PollIn(m_pidfd, static_cast<int>(pause.count() / 1000));
        else
            std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(10000));
    }
}

bool CChildProcess::Kill()
{
    if (m_pidfd >= 0) {
        SignalThrough(m_pidfd, SIGKILL);
        PollIn(m_pidfd, -1);
        return true;
    }
    if (!m_bPinned) {
        m_bReaped = true;   // the host's to reap
        return false;
    }
    kill(m_pid, SIGKILL);
    siginfo_t info{};
    while (waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    return true;
}

bool CChildProcess::Reap(std::chrono::microseconds& cpu, int& signal)
{
    if (m_bReaped)
        return false;
    m_bReaped = true;
    rusage usage{};
    long done = -1;
    if (m_pidfd >= 0) {
        siginfo_t info{};
        while ((done = syscall(SYS_waitid, kPidfdIdType, m_pidfd, &info, WEXITED, &usage)) != 0 && errno == EINTR) {
        }
        if (done != 0 && errno != EINVAL)
            return false;   // ECHILD: the host reaped it
        signal = done == 0 && (info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED) ? info.si_status : 0;
    }
    if (done != 0) {
        // No pidfd, or a kernel (5.3) whose waitid does not take one: by pid, where it is ours.
        if (!m_bPinned)
            return false;
        int status = 0;
        while ((done = wait4(m_pid, &status, 0, &usage)) < 0 && errno == EINTR) {
        }
        if (done != m_pid)
            return false;
        signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    }
    cpu = ProcessorTime(usage);
    return true;
}
