// FileReplaceWatch.h: the order in which the files of one folder are replaced by a rename, as the
// stores replace them, and so the order in which another run would find their new contents.
#pragma once

#include <string>
#include <vector>

#include <sys/inotify.h>
#include <unistd.h>

class FileReplaceWatch {
public:
    explicit FileReplaceWatch(const std::string& folder) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (m_fd >= 0 && ::inotify_add_watch(m_fd, folder.c_str(), IN_MOVED_TO) < 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~FileReplaceWatch()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileReplaceWatch(const FileReplaceWatch&) = delete;
    FileReplaceWatch& operator=(const FileReplaceWatch&) = delete;

    bool IsWatching() const { return m_fd >= 0; }

    // The names of the files replaced since the last call, oldest first.
    std::vector<std::string> Replaced()
    {
        std::vector<std::string> names;
        alignas(inotify_event) char buffer[4096];
        ssize_t got = 0;
        while (m_fd >= 0 && (got = ::read(m_fd, buffer, sizeof buffer)) > 0) {
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0)
                    names.emplace_back(event->name);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return names;
    }

private:
    int m_fd;
};
