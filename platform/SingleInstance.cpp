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
#include <sys/stat.h>
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

// The existing lock file, read-write where this user may write it and read-only otherwise (flock
// needs no write access); -1 with errno ELOOP for a link, EISDIR or EINVAL for anything but a
// regular file, which is not opened at all.
int OpenExisting(const std::string& path)
{
    constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;  // nothing but a regular file is opened
    const int fd = host_files::OpenRegularAt(AT_FDCWD, path, O_RDWR | kFlags);
    if (fd >= 0 || !IsReadOnlyError(errno))
        return fd;
    return host_files::OpenRegularAt(AT_FDCWD, path, O_RDONLY | kFlags);
}

}  // namespace

CSingleInstance::CSingleInstance(const std::string& name)
{
    const std::string folder = fs_layer::UserRuntimeFolder(&m_sNoFolder);
    if (!folder.empty())
        m_sPath = host_files::Join(folder, name + ".lock");
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
    if (m_sPath.empty()) {
        m_sReason = m_sNoFolder;
        m_result = ELockResult::kNoFolder;
        return true;
    }
    m_result = OpenAndLock();
    return m_result == ELockResult::kHeld || m_result == ELockResult::kNotNeeded ||
           m_result == ELockResult::kNoLocking;
}

// The lock file is made exclusively or opened as it stands, never through a link: a link at its
// name (even one pointing nowhere) would have the lock made or opened wherever it points. Such a
// link is removed, and the lock file made in its place. A lock taken on a file that no longer
// holds the name (replaced meanwhile) guards nothing, so it is taken again on the one that does.
ELockResult CSingleInstance::OpenAndLock()
{
    m_bReplacedLink = false;
    for (int attempt = 0; attempt < 8; ++attempt) {
        // Readable by all: another user who may not write here opens it read-only and locks it so.
        int fd = host_files::CreateExclusive(m_sPath, 0644);
        const int createError = fd < 0 ? errno : 0;
        if (fd < 0 && (createError == EEXIST || IsReadOnlyError(createError)))
            fd = OpenExisting(m_sPath);
        if (fd >= 0) {
            const ELockResult result = Lock(fd);
            if (result != ELockResult::kHeld || HoldsTheName())
                return result;
            Release();
            continue;
        }
        const int error = errno;
        if (error == ENOENT && createError == EEXIST)
            continue;  // removed between the two opens
        if (error == host_files::kNotOpenedWithoutProc) {  // as where files can't be locked: said, not kept out
            m_sReason = host_files::kNotOpenedWithoutProcWhy;
            return ELockResult::kNoLocking;
        }
        if (error == ELOOP && ::unlink(m_sPath.c_str()) == 0) {
            m_bReplacedLink = true;
            continue;
        }
        // Nothing of this user's can be written where no lock file can be made or opened: no guard
        // is needed. A user who may write here but not open the lock is kept out.
        if (error == ENOENT && IsReadOnlyError(createError))
            return ELockResult::kNotNeeded;
        if ((error == ELOOP || IsReadOnlyError(error)) && !CanWriteFolderOf(m_sPath))
            return ELockResult::kNotNeeded;
        m_sReason = error == ELOOP                       ? "a link stands at its name"
                    : error == EINVAL || error == EISDIR ? "not a regular file"
                                                         : std::strerror(error);
        return ELockResult::kFailed;
    }
    m_sReason = "it keeps being replaced";
    return ELockResult::kFailed;
}

bool CSingleInstance::HoldsTheName() const
{
    struct stat held, named;
    return ::fstat(m_fd, &held) == 0 && ::lstat(m_sPath.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino;
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
