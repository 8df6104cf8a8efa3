// FileFaults.h: disks that fail under the code, for tests of what a failed write leaves behind.
//
// A small tmpfs mounted over a test folder gives a real full disk and a real read-only folder
// (permission bits do not stop root, a read-only mount does). Mounting needs the right to do so;
// where it is missing, a file size limit still makes every write past it fail ("File too large").
#pragma once

#include <gtest/gtest.h>

#include <string>

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>

// A tmpfs of `kilobytes` over `folder` (which must exist) for the object's life.
class ScopedTmpfs {
public:
    ScopedTmpfs(const std::string& folder, int kilobytes) : m_folder(folder)
    {
        const std::string options = "size=" + std::to_string(kilobytes) + "k";
        m_bMounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~ScopedTmpfs()
    {
        if (m_bMounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    ScopedTmpfs(const ScopedTmpfs&) = delete;
    ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

    bool IsMounted() const { return m_bMounted; }
    bool SetReadOnly(bool readOnly)
    {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", m_folder.c_str(), "tmpfs", flags, nullptr) == 0;
    }

private:
    std::string m_folder;
    bool m_bMounted = false;
};

// The folder, read-only for everyone (root too) while the object lives: a bind mount of itself.
class ScopedReadOnlyFolder {
public:
    explicit ScopedReadOnlyFolder(const std::string& folder) : m_folder(folder)
    {
        m_bMounted = ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0;
        if (m_bMounted && ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) {
            ::umount2(folder.c_str(), MNT_DETACH);
            m_bMounted = false;
        }
    }
    ~ScopedReadOnlyFolder()
    {
        if (m_bMounted)
            ::umount2(m_folder.c_str(), MNT_DETACH);
    }
    ScopedReadOnlyFolder(const ScopedReadOnlyFolder&) = delete;
    ScopedReadOnlyFolder& operator=(const ScopedReadOnlyFolder&) = delete;

    bool IsMounted() const { return m_bMounted; }

private:
    std::string m_folder;
    bool m_bMounted = false;
};

// Writes of this process past `bytes` in any one file fail with EFBIG while the object lives.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
        struct rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        ::signal(SIGXFSZ, m_oldHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    struct rlimit m_previous {};
    sighandler_t m_oldHandler = SIG_DFL;
};
