#include "platform/feedback_sys/FeedbackFileLock.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
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
    const std::string temporary = path + ".tmp";
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    const bool complete = written == bytes.size() && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (!complete || !closed || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
