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

// Closes a file descriptor when it goes.
class CFdCloser {
public:
    explicit CFdCloser(int fd) : m_fd(fd) {}
    ~CFdCloser()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CFdCloser(const CFdCloser&) = delete;
    CFdCloser& operator=(const CFdCloser&) = delete;

private:
    int m_fd;
};

std::string FolderOf(const std::string& path)
{
    const std::string parent = ParentFolder(path);
    return parent.empty() ? "." : parent;
}

bool IsOwnOrRoot(uid_t owner)
{
    return owner == ::geteuid() || owner == 0;
}

bool IsSharedByGroup(const struct stat& folder)
{
    return S_ISDIR(folder.st_mode) && (folder.st_mode & S_ISGID) != 0 && (folder.st_mode & S_IWGRP) != 0;
}

// What was just made at `path` (open as fd) is given the group's bits that `mode` asks for when
// its folder is shared by its group; the umask took them. Changed on the open file, so a name
// swapped meanwhile changes nothing else.
void ShareWithGroup(int fd, const std::string& path, unsigned mode)
{
    struct stat folder, made;
    if (::stat(FolderOf(path).c_str(), &folder) != 0 || !IsSharedByGroup(folder) || ::fstat(fd, &made) != 0)
        return;
    const mode_t wanted = (made.st_mode & 07777) | (mode & (S_IRGRP | S_IWGRP | S_IXGRP));
    if (wanted != (made.st_mode & 07777))
        (void)::fchmod(fd, wanted);
}

// A name beside the target that no writer uses: the process id keeps processes apart, the counter
// the threads of one process, and O_EXCL a leftover of an earlier process with the same id (or a
// link someone put at the name: O_EXCL never follows one).
int CreateTemporary(const std::string& path, unsigned mode, std::string& temporary)
{
    static std::atomic<unsigned> s_counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(s_counter++);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0)
            ShareWithGroup(fd, path, mode);
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

bool IsLink(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
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
    const bool filled = FillTemporary(fd, data, size, options);
    const bool link = filled && IsLink(path);  // not asked after a failure: errno holds its reason
    if (!filled || !(options.replace ? Rename(temporary, path) : RenameNoReplace(temporary, path))) {
        SetReason(why, errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (options.replacedLink != nullptr)
        *options.replacedLink = link;
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

int CreateExclusive(const std::string& path, unsigned mode)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0)
        ShareWithGroup(fd, path, mode);
    return fd;
}

int ReplaceWithNewFile(const std::string& path, unsigned mode, std::string* why, bool* replacedLink)
{
    std::string temporary;
    const int fd = CreateTemporary(path, mode, temporary);
    if (fd < 0) {
        SetReason(why, errno);
        return -1;
    }
    const bool link = IsLink(path);
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        SetReason(why, errno);
        ::close(fd);
        ::unlink(temporary.c_str());
        return -1;
    }
    if (replacedLink != nullptr)
        *replacedLink = link;
    return fd;
}

int OpenOwnFile(const std::string& path, int flags)
{
    // Truncated only once it is known to be ours: O_TRUNC at the open would empty anyone's file.
    const bool truncate = (flags & O_TRUNC) != 0;
    const int fd = ::open(path.c_str(), (flags & ~(O_TRUNC | O_CREAT)) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (!S_ISREG(st.st_mode))
        error = EINVAL;
    else if (st.st_uid != ::geteuid())
        error = EPERM;
    else if (truncate && ::ftruncate(fd, 0) != 0)
        error = errno;
    if (error == 0)
        return fd;
    ::close(fd);
    errno = error;
    return -1;
}

namespace {

void SetReasonText(std::string* why, const std::string& text)
{
    if (why != nullptr)
        *why = text;
}

// A device at the name (only root makes those) takes the bytes as they are; it is opened without
// following a link and only while it still is a device.
bool WriteToDevice(const std::string& path, const void* data, std::size_t size, std::string* why)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        SetReason(why, errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd);
        SetReasonText(why, "not a regular file");
        return false;
    }
    const bool written = WriteAll(fd, static_cast<const std::uint8_t*>(data), size);
    const int error = errno;
    if (::close(fd) != 0 || !written) {
        SetReason(why, written ? errno : error);
        return false;
    }
    return true;
}

}  // namespace

bool WriteOutputFile(const std::string& path, const void* data, std::size_t size, std::string* why)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            SetReason(why, errno);
            return false;
        }
        return WriteAtomically(path, data, size, WriteOptions(), why);
    }
    if (S_ISREG(st.st_mode))
        return WriteAtomically(path, data, size, WriteOptions(), why);
    if (S_ISCHR(st.st_mode))
        return WriteToDevice(path, data, size, why);
    SetReasonText(why, S_ISLNK(st.st_mode) ? "a link stands at its name" : "not a regular file");
    return false;
}

bool RemoveOwnFile(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return ::unlink(path.c_str()) == 0;
}

namespace {

// Whether someone else may add, replace or remove names in a folder (its stat): see OthersMayWriteIn.
bool OpenToOthers(const struct stat& folder, const std::string& name, std::string* why)
{
    if (!IsOwnOrRoot(folder.st_uid)) {
        SetReasonText(why, "folder " + name + " belongs to user " + std::to_string(folder.st_uid));
        return true;
    }
    if ((folder.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (folder.st_mode & S_ISVTX) == 0) {
        SetReasonText(why, "others may write folder " + name);
        return true;
    }
    return false;
}

// Why the open file (its stat) may hold what someone else wrote; empty when nobody else could have.
std::string WhyNotTrusted(const struct stat& file)
{
    if (!S_ISREG(file.st_mode))
        return "not a regular file";
    if (!IsOwnOrRoot(file.st_uid))
        return "it belongs to user " + std::to_string(file.st_uid);
    if ((file.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return "others may write it";
    return std::string();
}

bool ReadAll(int fd, std::uint8_t* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// The open regular file (its stat) read whole, within maxSize.
bool ReadOpened(int fd, const struct stat& st, std::vector<std::uint8_t>& out, std::size_t maxSize, std::string* why)
{
    if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > maxSize) {
        SetReasonText(why, "larger than " + std::to_string(maxSize) + " bytes");
        return false;
    }
    out.resize(static_cast<std::size_t>(st.st_size));
    errno = 0;
    if (!ReadAll(fd, out.data(), out.size())) {
        SetReason(why, errno != 0 ? errno : EIO);  // none: it grew shorter than it said
        out.clear();
        return false;
    }
    return true;
}

constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;  // a pipe must not hold the game
constexpr const char* kLinkAtName = "a link stands at its name";

int OpenFolderOf(const std::string& path)
{
    return ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// What the link `name` in the open folder leads to, opened where reading it reads nothing for the
// link's maker that they could not read themselves (see ELinks::kMakersOwn); -1 with errno, or
// with `distrust` saying why it is not followed.
int OpenThroughLink(int folder, const std::string& name, std::string& distrust)
{
    struct stat link, target;
    if (::fstatat(folder, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0)
        return -1;
    if (!S_ISLNK(link.st_mode)) {  // replaced meanwhile: left for the next read
        errno = ELOOP;
        return -1;
    }
    if (::fstatat(folder, name.c_str(), &target, 0) == 0 && !S_ISREG(target.st_mode)) {
        errno = EINVAL;  // not opened at all: opening a device may do something
        return -1;
    }
    const int fd = ::openat(folder, name.c_str(), kReadFlags);
    if (fd < 0 || IsOwnOrRoot(link.st_uid))
        return fd;
    if (::fstat(fd, &target) == 0 &&
        (target.st_uid == link.st_uid || (target.st_uid == 0 && (target.st_mode & S_IROTH) != 0)))
        return fd;
    ::close(fd);
    distrust = "a link of user " + std::to_string(link.st_uid) + " leads to a file that is not theirs";
    return -1;
}

}  // namespace

// The folder is opened first and the file within it, so a link at the name is seen for what it is.
ERead ReadFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize, ELinks links,
               std::string* why)
{
    out.clear();
    const int folder = OpenFolderOf(path);
    CFdCloser closeFolder(folder);
    const std::string name = FileName(path);
    int fd = folder < 0 ? -1 : ::openat(folder, name.c_str(), kReadFlags | O_NOFOLLOW);
    if (fd < 0 && folder >= 0 && errno == ELOOP) {
        std::string distrust = kLinkAtName;
        if (links == ELinks::kMakersOwn) {
            distrust.clear();
            fd = OpenThroughLink(folder, name, distrust);
        }
        if (!distrust.empty()) {
            SetReasonText(why, distrust);
            return ERead::kLink;
        }
    }
    if (fd < 0) {
        const int error = errno;
        SetReason(why, error);
        return error == ENOENT ? ERead::kMissing : error == EINVAL ? ERead::kNotAFile : ERead::kUnreadable;
    }
    CFdCloser closeFile(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        SetReason(why, errno);
        return ERead::kUnreadable;
    }
    if (!S_ISREG(st.st_mode)) {
        SetReasonText(why, "not a regular file");
        return ERead::kNotAFile;
    }
    return ReadOpened(fd, st, out, maxSize, why) ? ERead::kRead : ERead::kUnreadable;
}

bool OthersMayWriteIn(const std::string& folder, std::string* why)
{
    struct stat st;
    const std::string name = folder.empty() ? "." : folder;
    return ::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && OpenToOthers(st, name, why);
}

// The folder is opened first and the file within it, so both checks are of what is read.
ETrust ReadTrusted(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize,
                   FileTime* modified, std::string* why)
{
    out.clear();
    const std::string folderName = FolderOf(path);
    const int folder = OpenFolderOf(path);
    if (folder < 0) {
        const int error = errno;
        SetReason(why, error);
        return error == ENOENT ? ETrust::kMissing : ETrust::kUnreadable;
    }
    CFdCloser closeFolder(folder);
    const int fd = ::openat(folder, FileName(path).c_str(), kReadFlags | O_NOFOLLOW);
    if (fd < 0) {
        const int error = errno;
        SetReason(why, error);
        if (error == ELOOP)
            SetReasonText(why, kLinkAtName);
        return error == ENOENT ? ETrust::kMissing : error == ELOOP ? ETrust::kNotTrusted : ETrust::kUnreadable;
    }
    CFdCloser closeFile(fd);
    struct stat folderStat, st;
    if (::fstat(folder, &folderStat) != 0 || ::fstat(fd, &st) != 0) {
        SetReason(why, errno);
        return ETrust::kUnreadable;
    }
    std::string distrust = WhyNotTrusted(st);
    if (distrust.empty())
        (void)OpenToOthers(folderStat, folderName, &distrust);
    if (!distrust.empty()) {
        SetReasonText(why, distrust);
        return ETrust::kNotTrusted;
    }
    if (!ReadOpened(fd, st, out, maxSize, why))
        return ETrust::kUnreadable;
    if (modified != nullptr)
        *modified = static_cast<FileTime>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return ETrust::kTrusted;
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

// Each folder is made with its mode at once (no change by name afterwards, which would follow a
// link put in its place) and shared with the group as its parent is.
bool CreateFolders(const std::string& path, bool privateToUser)
{
    if (path.empty() || IsFolder(path))
        return true;
    const std::string parent = ParentFolder(path);
    if (!parent.empty() && parent != path && !CreateFolders(parent))
        return false;
    if (::mkdir(path.c_str(), privateToUser ? 0700 : 0777) != 0)
        return errno == EEXIST && IsFolder(path);
    const int fd = privateToUser ? -1 : ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
        ShareWithGroup(fd, path, 0777);
        ::close(fd);
    }
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
