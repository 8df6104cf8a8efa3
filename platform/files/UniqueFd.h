// UniqueFd.h: a file descriptor closed on every way out of its scope.
#pragma once

#include <unistd.h>

namespace host_files {

class CUniqueFd {
public:
    explicit CUniqueFd(int fd) : m_fd(fd) {}
    ~CUniqueFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    int Get() const { return m_fd; }
    void Reset(int fd)  // closes the one held after the new one is in place
    {
        if (m_fd >= 0 && m_fd != fd)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

}  // namespace host_files
