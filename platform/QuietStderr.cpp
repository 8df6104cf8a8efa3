#include "platform/QuietStderr.h"

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

QuietStderr::QuietStderr()
{
    std::fflush(stderr);
    m_saved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_saved >= 0 && null >= 0)
        ::dup2(null, STDERR_FILENO);
    if (null >= 0)
        ::close(null);
}

QuietStderr::~QuietStderr()
{
    if (m_saved < 0)
        return;
    std::fflush(stderr);
    ::dup2(m_saved, STDERR_FILENO);
    ::close(m_saved);
}
