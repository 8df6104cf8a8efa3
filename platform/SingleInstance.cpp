// SingleInstance.cpp: the lock file under flock.
#include "platform/SingleInstance.h"

#include "platform/FileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

bool IsReadOnlyError(int error)
{
    return error == EROFS || error == EACCES || error == EPERM;
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
    if (m_fd >= 0)
        return true;
    m_bHeldElsewhere = false;
    int fd = ::open(m_sPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0 && IsReadOnlyError(errno)) {
        // flock needs no write access: a lock file that already exists guards a read-only folder.
        fd = ::open(m_sPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT)
            return true;
    }
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_bHeldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void CSingleInstance::Release()
{
    if (m_fd < 0)
        return;
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
