// SingleInstance.cpp: the lock file under flock.
#include "platform/SingleInstance.h"

#include "platform/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

bool IsReadOnlyError(int error)
{
    return error == EROFS || error == EACCES || error == EPERM;
}

bool IsNoLockingError(int error)
{
    return error == ENOLCK || error == ENOSYS || error == EOPNOTSUPP;
}

// An flock belongs to the open file, which fork shares with the child: a child still running
// after the game was killed (a compile in a child) would keep the folder locked. The held lock
// files are listed here, each as fd + 1 so that the zeroed list is empty, and every forked
// child closes them first. Closing the child's copy leaves the parent's lock as it is.
constexpr int kMaxHeldLocks = 8;
std::atomic<int> g_heldLocks[kMaxHeldLocks];

void CloseHeldLocksInChild()
{
    for (std::atomic<int>& slot : g_heldLocks) {
        const int entry = slot.exchange(0);
        if (entry > 0)
            ::close(entry - 1);
    }
}

void ListHeldLock(int fd)
{
    static std::once_flag s_registered;
    std::call_once(s_registered, [] { ::pthread_atfork(nullptr, nullptr, &CloseHeldLocksInChild); });
    for (std::atomic<int>& slot : g_heldLocks) {
        int empty = 0;
        if (slot.compare_exchange_strong(empty, fd + 1))
            return;
    }
}

void UnlistHeldLock(int fd)
{
    for (std::atomic<int>& slot : g_heldLocks) {
        int entry = fd + 1;
        if (slot.compare_exchange_strong(entry, 0))
            return;
    }
}

bool CanWriteFolderOf(const std::string& path)
{
    const std::string folder = host_files::ParentFolder(path);
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

}  // namespace

CSingleInstance::CSingleInstance(const std::string& name)
    : m_sPath(fs_layer::UserRuntimeFolder() + "/" + name + ".lock")
{
}

CSingleInstance::CSingleInstance(const std::string& name, const std::string& hostFolder)
    : m_sPath(host_files::Join(hostFolder, name + ".lock"))
{
}

CSingleInstance::~CSingleInstance()
{
    Release();
}

bool CSingleInstance::Acquire()
{
    if (IsHeld())
        return true;
    m_sReason.clear();
    m_result = OpenAndLock();
    return m_result == ELockResult::kHeld || m_result == ELockResult::kNotNeeded ||
           m_result == ELockResult::kNoLocking;
}

ELockResult CSingleInstance::OpenAndLock()
{
    // Readable by all: another user who may not write here opens it read-only and locks it so.
    int fd = ::open(m_sPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0 && IsReadOnlyError(errno)) {
        // flock needs no write access: a lock file that already exists guards a read-only folder.
        fd = ::open(m_sPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT)
            return ELockResult::kNotNeeded;
        // Another user's lock file that this one may not open: the folder is theirs to guard
        // unless this user can write it too.
        if (fd < 0 && IsReadOnlyError(errno) && !CanWriteFolderOf(m_sPath))
            return ELockResult::kNotNeeded;
    }
    if (fd < 0) {
        m_sReason = std::strerror(errno);
        return ELockResult::kFailed;
    }
    return Lock(fd);
}

ELockResult CSingleInstance::Lock(int fd)
{
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        m_sReason = std::strerror(error);
        if (error == EWOULDBLOCK)
            return ELockResult::kHeldElsewhere;
        return IsNoLockingError(error) ? ELockResult::kNoLocking : ELockResult::kFailed;
    }
    m_fd = fd;
    m_nOwner = static_cast<int>(::getpid());
    ListHeldLock(fd);
    return ELockResult::kHeld;
}

void CSingleInstance::Release()
{
    if (m_fd < 0)
        return;
    // In a forked child the number may name another file by now: the child closed its copy.
    if (m_nOwner == static_cast<int>(::getpid())) {
        UnlistHeldLock(m_fd);
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
    m_fd = -1;
}
