#include "platform/feedback_sys/FeedbackFileLock.h"

#include "platform/files/HostFiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FeedbackFileLock::FeedbackFileLock(const std::string& lockPath)
{
    m_fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return;
    int result = 0;
    do {
        result = flock(m_fd, LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(m_fd);
        m_fd = -1;
    }
}

FeedbackFileLock::~FeedbackFileLock()
{
    if (m_fd >= 0)
        close(m_fd);  // closing releases the lock
}

bool FeedbackFileLock::ReplaceFile(const std::string& path, const std::string& bytes)
{
    host_files::WriteOptions options;
    options.mode = 0600;
    return host_files::WriteAtomically(path, bytes.data(), bytes.size(), options);
}
