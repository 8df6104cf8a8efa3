// FeedbackFileLock: an exclusive advisory lock on a lock file, held for the object's lifetime, so that two
// processes of the same user never interleave a read-modify-write of the client's settings file.
#pragma once
#include <string>

class FeedbackFileLock {
public:
    explicit FeedbackFileLock(const std::string& lockPath);  // waits for the lock; creates the file (mode 0600)
    ~FeedbackFileLock();
    FeedbackFileLock(const FeedbackFileLock&) = delete;
    FeedbackFileLock& operator=(const FeedbackFileLock&) = delete;

    bool Locked() const { return m_fd >= 0; }

    // Writes bytes to "<path>.tmp" (mode 0600), flushes them to disk and renames over path, so a reader sees
    // the old file or the new one, never a half-written one.
    [[nodiscard]] static bool ReplaceFile(const std::string& path, const std::string& bytes);

private:
    int m_fd = -1;
};
