#include "platform/http/PrivateTempFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace http_layer {

namespace {

std::string TempFolder()
{
    const char* dir = std::getenv("TMPDIR");
    std::string folder = (dir && *dir) ? dir : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

// Owns one file descriptor.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() { if (m_fd >= 0) close(m_fd); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

PrivateTempFile::~PrivateTempFile()
{
    Remove();
}

bool PrivateTempFile::Create(const std::string& namePrefix)
{
    Remove();
    std::string pattern = TempFolder() + namePrefix + "XXXXXX";
    // mkstemp opens with O_EXCL and mode 0600: nobody else can have prepared or can read the file.
    Fd fd(mkstemp(pattern.data()));
    if (fd.Get() < 0) {
        m_nError = errno;
        return false;
    }
    m_path = pattern;
    m_nError = 0;
    return true;
}

PrivateTempFile::ReadResult PrivateTempFile::ReadAll(std::vector<std::uint8_t>& out, std::size_t maxBytes)
{
    out.clear();
    Fd fd(m_path.empty() ? -1 : open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fd.Get() < 0) {
        m_nError = m_path.empty() ? ENOENT : errno;
        return ReadResult::OpenFailed;
    }
    struct stat info {};
    if (fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        m_nError = EINVAL;
        return ReadResult::ReadFailed;
    }
    if (static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        m_nError = EFBIG;
        return ReadResult::TooLarge;
    }
    out.resize(static_cast<std::size_t>(info.st_size));
    std::size_t got = 0;
    while (got < out.size()) {
        const ssize_t n = read(fd.Get(), out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            m_nError = errno;
            out.clear();
            return ReadResult::ReadFailed;
        }
        if (n == 0) break;  // the file shrank since fstat: keep what is there
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return ReadResult::Ok;
}

void PrivateTempFile::Remove()
{
    if (m_path.empty()) return;
    unlink(m_path.c_str());
    m_path.clear();
}

}  // namespace http_layer
