// HostFiles.cpp: POSIX file calls and path arithmetic over std::filesystem.
#include "platform/files/HostFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace host_files {
namespace {

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool SetModifiedTime(int fd, FileTime time)
{
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the access time stays
    times[1].tv_sec = static_cast<std::time_t>(time / 1000000000);
    times[1].tv_nsec = static_cast<long>(time % 1000000000);
    if (times[1].tv_nsec < 0) {
        times[1].tv_nsec += 1000000000;
        --times[1].tv_sec;
    }
    return ::futimens(fd, times) == 0;
}

void SetReason(std::string* why, int error)
{
    if (why != nullptr)
        *why = std::generic_category().message(error);
}

// A name beside the target that no writer uses: the process id keeps processes apart, the counter
// the threads of one process, and O_EXCL a leftover of an earlier process with the same id.
int CreateTemporary(const std::string& path, unsigned mode, std::string& temporary)
{
    static std::atomic<unsigned> s_counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(s_counter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// The temporary file, complete and on disk; false (errno set) leaves a file the caller removes.
bool FillTemporary(int fd, const void* data, std::size_t size, const WriteOptions& options)
{
    bool ok = WriteAll(fd, static_cast<const std::uint8_t*>(data), size) && ::fsync(fd) == 0;
    ok = ok && (!options.modified || SetModifiedTime(fd, *options.modified));
    const int error = errno;
    if (::close(fd) != 0)
        return false;
    errno = error;
    return ok;
}

// A rename is an entry of the folder: until the folder is on disk, a power cut may bring the old
// file back. File systems that cannot flush a folder say EINVAL; there is nothing more to do.
bool SyncFolder(const std::string& path)
{
    const std::string parent = ParentFolder(path);
    const int fd = ::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

}  // namespace

bool WriteAtomically(const std::string& path, const void* data, std::size_t size, const WriteOptions& options,
                     std::string* why)
{
    if (path.empty()) {
        SetReason(why, ENOENT);
        return false;
    }
    if (options.createFolders) {
        const std::string parent = ParentFolder(path);
        if (!parent.empty() && !CreateFolders(parent)) {
            SetReason(why, errno != 0 ? errno : ENOTDIR);
            return false;
        }
    }
    std::string temporary;
    const int fd = CreateTemporary(path, options.mode, temporary);
    if (fd < 0) {
        SetReason(why, errno);
        return false;
    }
    if (!FillTemporary(fd, data, size, options) || ::rename(temporary.c_str(), path.c_str()) != 0) {
        SetReason(why, errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (!SyncFolder(path)) {
        SetReason(why, errno);
        return false;
    }
    return true;
}

bool CanCreateFiles(const std::string& folder, std::string* why)
{
    std::string probe;
    const int fd = CreateTemporary(Join(folder.empty() ? "." : folder, kWriteTestName), 0600, probe);
    if (fd < 0) {
        SetReason(why, errno);
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::optional<bool> Exists(const std::string& path)
{
    std::error_code error;
    const bool exists = fs::exists(path, error);
    if (error)
        return std::nullopt;
    return exists;
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool IsRegularFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool CreateFolders(const std::string& path, bool privateToUser)
{
    std::error_code error;
    if (fs::is_directory(path, error))
        return true;
    if (!fs::create_directories(path, error))
        return false;
    if (privateToUser)
        fs::permissions(path, fs::perms::owner_all, error);
    return true;
}

bool GetModifiedTime(const std::string& path, FileTime& out)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out = static_cast<FileTime>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

bool OpenFileIdentity::operator==(const OpenFileIdentity& other) const
{
    return device == other.device && inode == other.inode && size == other.size && modified == other.modified &&
           changed == other.changed;
}

bool IdentityOf(std::FILE* file, OpenFileIdentity& out)
{
    struct stat st;
    if (file == nullptr || ::fstat(::fileno(file), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out.device = static_cast<std::uint64_t>(st.st_dev);
    out.inode = static_cast<std::uint64_t>(st.st_ino);
    out.size = static_cast<std::uint64_t>(st.st_size);
    out.modified = static_cast<FileTime>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    out.changed = static_cast<FileTime>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return true;
}

bool Rename(const std::string& from, const std::string& to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RenameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a hard link fails on an existing name just the same.
    if (::link(from.c_str(), to.c_str()) != 0)
        return false;
    ::unlink(from.c_str());
    return true;
}

bool RemoveFile(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

std::vector<std::string> ListFiles(const std::string& folder)
{
    std::vector<std::string> found;
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError))
            found.push_back(it->path().string());
    }
    return found;
}

std::string ParentFolder(const std::string& path)
{
    return fs::path(path).parent_path().string();
}

std::string FileName(const std::string& path)
{
    return fs::path(path).filename().string();
}

std::string Stem(const std::string& path)
{
    return fs::path(path).stem().string();
}

std::string ReplaceExtension(const std::string& path, const std::string& extension)
{
    return fs::path(path).replace_extension(extension).string();
}

std::string Join(const std::string& folder, const std::string& name)
{
    return (fs::path(folder) / name).string();
}

}  // namespace host_files
