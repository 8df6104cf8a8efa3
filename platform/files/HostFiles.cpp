// HostFiles.cpp: POSIX file calls and path arithmetic over std::filesystem.
#include "platform/files/HostFiles.h"

#include "platform/files/CheckedOpen.h"
#include "platform/files/OthersAccess.h"
#include "platform/files/UniqueFd.h"

#include <dirent.h>
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


std::string FolderOf(const std::string& path)
{
    const std::string parent = ParentFolder(path);
    return parent.empty() ? "." : parent;
}

bool IsSharedByGroup(const struct stat& folder)
{
    return S_ISDIR(folder.st_mode) && (folder.st_mode & S_ISGID) != 0 && (folder.st_mode & S_IWGRP) != 0;
}

// A regular file of this user's (its stat) with another name, in a folder where someone else may
// have given it that name: where fs.protected_hardlinks is 0, anyone may link a file they can
// reach, read or not. Such a name is not this user's to rewrite, truncate, change or quote.
bool IsLinkedByOthers(const struct stat& file, int folder)
{
    if (!S_ISREG(file.st_mode) || file.st_nlink < 2 || file.st_uid != ::geteuid())
        return false;
    struct stat st;
    return ::fstatat(folder, "", &st, AT_EMPTY_PATH) != 0 || OthersMayAddNames(st, folder);  // unknown: not ours
}

constexpr const char* kLinkedByOthers = "another name of a file of this user's (a hard link), in a folder others may write";

// What was just made in `folder` (open as fd) is given the group's bits that `mode` asks for when
// the folder is shared by its group; the umask took them. Changed on the open file, so a name
// swapped meanwhile changes nothing else.
void ShareWithGroup(int fd, const struct stat& folder, unsigned mode)
{
    struct stat made;
    if (!IsSharedByGroup(folder) || ::fstat(fd, &made) != 0)
        return;
    const mode_t wanted = (made.st_mode & 07777) | (mode & (S_IRGRP | S_IWGRP | S_IXGRP));
    if (wanted != (made.st_mode & 07777))
        (void)::fchmod(fd, wanted);
}

void ShareWithGroupIn(int fd, int folder, unsigned mode)
{
    struct stat st;
    if (::fstat(folder, &st) == 0)
        ShareWithGroup(fd, st, mode);
}

// A name beside the target that no writer uses: the process id keeps processes apart, the counter
// the threads of one process, and O_EXCL a leftover of an earlier process with the same id (or a
// link someone put at the name: O_EXCL never follows one).
int CreateTemporary(int folder, const std::string& name, unsigned mode, std::string& temporary)
{
    static std::atomic<unsigned> s_counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = name + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(s_counter++);
        const int fd = ::openat(folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0)
            ShareWithGroupIn(fd, folder, mode);
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

bool IsLinkAt(int folder, const std::string& name)
{
    struct stat st;
    return ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode);
}

int OpenFolderOf(const std::string& path)
{
    return ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

bool WriteAtomically(const std::string& path, const void* data, std::size_t size, const WriteOptions& options,
                     std::string* why)
{
    if (options.createFolders) {
        const std::string parent = ParentFolder(path);
        if (!parent.empty() && !CreateFolders(parent)) {
            SetReason(why, errno != 0 ? errno : ENOTDIR);
            return false;
        }
    }
    const int folder = path.empty() ? -1 : OpenFolderOf(path);
    if (folder < 0) {
        SetReason(why, path.empty() ? ENOENT : errno);
        return false;
    }
    CUniqueFd closeFolder(folder);
    return WriteAtomicallyAt(folder, FileName(path), data, size, options, why);
}

bool WriteAtomicallyAt(int folder, const std::string& name, const void* data, std::size_t size,
                       const WriteOptions& options, std::string* why)
{
    std::string temporary;
    const int fd = name.empty() ? -1 : CreateTemporary(folder, name, options.mode, temporary);
    if (fd < 0) {
        SetReason(why, name.empty() ? ENOENT : errno);
        return false;
    }
    const bool filled = FillTemporary(fd, data, size, options);
    const bool link = filled && IsLinkAt(folder, name);  // not asked after a failure: errno holds its reason
    if (!filled || !(options.replace ? RenameAt(folder, temporary, folder, name)
                                     : RenameNoReplaceAt(folder, temporary, folder, name))) {
        SetReason(why, errno);
        ::unlinkat(folder, temporary.c_str(), 0);
        return false;
    }
    if (options.replacedLink != nullptr)
        *options.replacedLink = link;
    // A rename is an entry of the folder: until the folder is on disk, a power cut may bring the
    // old file back. File systems that cannot flush a folder say EINVAL; there is nothing more to do.
    if (::fsync(folder) != 0 && errno != EINVAL) {
        SetReason(why, errno);
        return false;
    }
    return true;
}

bool CanCreateFilesAt(int folder, std::string* why)
{
    std::string probe;
    const int fd = CreateTemporary(folder, kWriteTestName, 0600, probe);
    if (fd < 0) {
        SetReason(why, errno);
        return false;
    }
    ::close(fd);
    ::unlinkat(folder, probe.c_str(), 0);
    return true;
}

int CreateExclusive(const std::string& path, unsigned mode)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    struct stat folder;
    if (fd >= 0 && ::stat(FolderOf(path).c_str(), &folder) == 0)
        ShareWithGroup(fd, folder, mode);
    return fd;
}

int ReplaceWithNewFile(const std::string& path, unsigned mode, std::string* why, bool* replacedLink)
{
    const int folder = OpenFolderOf(path);
    CUniqueFd closeFolder(folder);
    const std::string name = FileName(path);
    std::string temporary;
    const int fd = folder < 0 ? -1 : CreateTemporary(folder, name, mode, temporary);
    if (fd < 0) {
        SetReason(why, errno);
        return -1;
    }
    const bool link = IsLinkAt(folder, name);
    if (!RenameAt(folder, temporary, folder, name)) {
        SetReason(why, errno);
        ::close(fd);
        ::unlinkat(folder, temporary.c_str(), 0);
        return -1;
    }
    if (replacedLink != nullptr)
        *replacedLink = link;
    return fd;
}

int OpenRegularAt(int folder, const std::string& name, int flags)
{
    return OpenOfTypeAt(folder, name, flags, S_IFREG);
}

int OpenOwnFile(const std::string& path, int flags)
{
    const int folder = OpenFolderOf(path);
    if (folder < 0)
        return -1;
    CUniqueFd closeFolder(folder);
    return OpenOwnFileAt(folder, FileName(path), flags);
}

int OpenOwnFileAt(int folder, const std::string& name, int flags)
{
    // Truncated only once it is known to be ours: O_TRUNC at the open would empty anyone's file.
    const bool truncate = (flags & O_TRUNC) != 0;
    const int fd = OpenRegularAt(folder, name, (flags & ~(O_TRUNC | O_CREAT)) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st;
    int error = 0;
    if (::fstat(fd, &st) != 0)
        error = errno;
    else if (st.st_uid != ::geteuid() || IsLinkedByOthers(st, folder))
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
    const int fd = OpenOfTypeAt(AT_FDCWD, path, O_WRONLY | O_NOFOLLOW | O_CLOEXEC, S_IFCHR);
    if (fd < 0) {
        if (errno == ELOOP || errno == EISDIR || errno == EINVAL)
            SetReasonText(why, errno == ELOOP ? "a link stands at its name" : "not a regular file");
        else
            SetReason(why, errno);
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

bool RemoveOwnFileAt(int folder, const std::string& name)
{
    struct stat st;
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
        return false;
    return ::unlinkat(folder, name.c_str(), 0) == 0;
}

namespace {

// Whether someone else may add, replace or remove names in a folder (its stat; open as `fd`): see
// OthersMayWriteIn.
bool OpenToOthers(const struct stat& folder, int fd, const std::string& name, std::string* why)
{
    if (!IsOwnOrRoot(folder.st_uid)) {
        SetReasonText(why, "folder " + name + " belongs to user " + std::to_string(folder.st_uid));
        return true;
    }
    if ((folder.st_mode & S_ISVTX) == 0 && OthersMayWrite(folder, fd)) {
        SetReasonText(why, "others may write folder " + name);
        return true;
    }
    return false;
}

// Why the open file (its stat; in the folder open as `folder`) may hold what someone else wrote;
// empty when nobody else could have.
std::string WhyNotTrusted(const struct stat& file, int folder)
{
    if (!S_ISREG(file.st_mode))
        return "not a regular file";
    if (!IsOwnOrRoot(file.st_uid))
        return "it belongs to user " + std::to_string(file.st_uid);
    if (OthersMayWrite(file, folder))
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
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
constexpr const char* kLinkAtName = "a link stands at its name";

// Whether the link's maker could use what it leads to (its stat) in the same way themselves: see
// OpenFolderAt, and ELinks::kMakersOwn for files (which are only read through a link).
bool FitsMaker(const struct stat& target, uid_t maker, EUse use)
{
    if (target.st_uid == maker)
        return true;
    if (use != EUse::kRead || target.st_uid != 0)
        return false;
    if (!S_ISDIR(target.st_mode))
        return (target.st_mode & S_IROTH) != 0;
    return (target.st_mode & (S_IROTH | S_IXOTH)) == (S_IROTH | S_IXOTH) && (target.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// What the link `name` in the open folder leads to, opened with `flags`: the link itself is
// opened, its owner taken (into `link`) and its text followed, so what is checked is the link that
// is followed even if another takes its name meanwhile. A link to anything but a regular file or a
// folder (as `flags` ask) is not opened at all, even if what it names is swapped meanwhile:
// opening a device may do something. -1 with errno; `link` is a link's only once it was one.
int OpenLinkTarget(int folder, const std::string& name, int flags, struct stat& link)
{
    link = {};
    const int at = ::openat(folder, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (at < 0)
        return -1;
    CUniqueFd closeLink(at);
    if (::fstat(at, &link) != 0)
        return -1;
    if (!S_ISLNK(link.st_mode)) {  // replaced meanwhile: left for the next use
        errno = (flags & O_DIRECTORY) != 0 ? ENOTDIR : ELOOP;
        link = {};
        return -1;
    }
    const std::string text = LinkTextAt(at, "");
    if (text.empty())
        return -1;
    // An absolute text leaves the folder aside, as the link would.
    if ((flags & O_DIRECTORY) != 0)
        return ::openat(folder, text.c_str(), flags);  // it opens nothing but a folder
    return OpenRegularAt(folder, text, flags);
}

// The link's target, opened where its maker could use it so (FitsMaker); -1 with errno, or with
// `distrust` saying why it is not followed.
int OpenThroughLink(int folder, const std::string& name, int flags, EUse use, std::string& distrust)
{
    struct stat link, target;
    const int fd = OpenLinkTarget(folder, name, flags, link);
    if (!S_ISLNK(link.st_mode) || IsOwnOrRoot(link.st_uid))
        return fd;
    if (fd >= 0 && ::fstat(fd, &target) == 0 && FitsMaker(target, link.st_uid, use))
        return fd;
    if (fd >= 0)
        ::close(fd);
    // The same words whether what it names exists or not: the log must not tell its maker which
    // names exist where only this user may look.
    distrust = "a link of user " + std::to_string(link.st_uid) + " leads to no " +
               ((flags & O_DIRECTORY) != 0 ? "folder" : "file") + " of theirs";
    errno = EACCES;
    return -1;
}

}  // namespace

int OpenFolderAt(int folder, const std::string& name, EUse use, bool create, std::string* distrust)
{
    int fd = ::openat(folder, name.c_str(), kFolderFlags | O_NOFOLLOW);
    if (fd < 0 && errno == ENOENT && create) {
        if (::mkdirat(folder, name.c_str(), 0777) == 0) {
            fd = ::openat(folder, name.c_str(), kFolderFlags | O_NOFOLLOW);
            if (fd >= 0)
                ShareWithGroupIn(fd, folder, 0777);
            return fd;
        }
        if (errno == EEXIST)  // made meanwhile, or a link that leads nowhere
            fd = ::openat(folder, name.c_str(), kFolderFlags | O_NOFOLLOW);
    }
    if (fd >= 0 || (errno != ENOTDIR && errno != ELOOP))  // a link says ENOTDIR (as a file) or ELOOP
        return fd;
    std::string why;
    fd = OpenThroughLink(folder, name, kFolderFlags, use, why);
    if (!why.empty())
        SetReasonText(distrust, why);
    return fd;
}

ERead ReadFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize, ELinks links,
               std::string* why)
{
    out.clear();
    const int folder = OpenFolderOf(path);
    if (folder < 0) {
        const int error = errno;
        SetReason(why, error);
        return error == ENOENT ? ERead::kMissing : ERead::kUnreadable;
    }
    CUniqueFd closeFolder(folder);
    return ReadFileAt(folder, FileName(path), out, maxSize, links, why);
}

// The file is opened within the folder without following a link, so a link is seen for what it is.
ERead ReadFileAt(int folder, const std::string& name, std::vector<std::uint8_t>& out, std::size_t maxSize,
                 ELinks links, std::string* why)
{
    out.clear();
    int fd = OpenRegularAt(folder, name, kReadFlags | O_NOFOLLOW);
    const bool throughLink = fd < 0 && errno == ELOOP;  // what it leads to is its maker's choice
    if (throughLink) {
        std::string distrust = kLinkAtName;
        if (links == ELinks::kMakersOwn) {
            distrust.clear();
            fd = OpenThroughLink(folder, name, kReadFlags, EUse::kRead, distrust);
        }
        if (!distrust.empty()) {
            SetReasonText(why, distrust);
            return ERead::kLink;
        }
    }
    if (fd < 0 && errno == kNotOpenedWithoutProc) {
        SetReasonText(why, kNotOpenedWithoutProcWhy);
        return ERead::kLink;
    }
    if (fd < 0) {
        const int error = errno;
        const bool notAFile = error == EINVAL || error == EISDIR;
        if (notAFile)
            SetReasonText(why, "not a regular file");
        else
            SetReason(why, error);
        return error == ENOENT ? ERead::kMissing : notAFile ? ERead::kNotAFile : ERead::kUnreadable;
    }
    CUniqueFd closeFile(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        SetReason(why, errno);
        return ERead::kUnreadable;
    }
    if (!throughLink && IsLinkedByOthers(st, folder)) {
        SetReasonText(why, kLinkedByOthers);
        return ERead::kLink;
    }
    return ReadOpened(fd, st, out, maxSize, why) ? ERead::kRead : ERead::kUnreadable;
}

bool OthersMayWriteIn(int folder, const std::string& folderName, std::string* why)
{
    struct stat st;
    return ::fstat(folder, &st) == 0 && S_ISDIR(st.st_mode) && OpenToOthers(st, folder, folderName, why);
}

// The file is opened within the open folder, so both checks are of what is read.
ETrust ReadTrustedAt(int folder, const std::string& folderName, const std::string& name, std::vector<std::uint8_t>& out,
                     std::size_t maxSize, FileTime* modified, std::string* why)
{
    out.clear();
    const int fd = OpenRegularAt(folder, name, kReadFlags | O_NOFOLLOW);
    if (fd < 0) {
        const int error = errno;
        const bool notAFile = error == EINVAL || error == EISDIR;
        const bool refused = error == ELOOP || error == kNotOpenedWithoutProc;
        SetReason(why, error);
        if (refused || notAFile)
            SetReasonText(why, error == ELOOP ? kLinkAtName : notAFile ? "not a regular file" : kNotOpenedWithoutProcWhy);
        if (error == ENOENT)
            return ETrust::kMissing;
        return refused || notAFile ? ETrust::kNotTrusted : ETrust::kUnreadable;
    }
    CUniqueFd closeFile(fd);
    struct stat folderStat, st;
    if (::fstat(folder, &folderStat) != 0 || ::fstat(fd, &st) != 0) {
        SetReason(why, errno);
        return ETrust::kUnreadable;
    }
    std::string distrust = WhyNotTrusted(st, folder);
    if (distrust.empty() && IsLinkedByOthers(st, folder))
        distrust = kLinkedByOthers;
    if (distrust.empty())
        (void)OpenToOthers(folderStat, folder, folderName, &distrust);
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
    struct stat folder;
    if (fd >= 0 && ::stat(FolderOf(path).c_str(), &folder) == 0)
        ShareWithGroup(fd, folder, 0777);
    if (fd >= 0)
        ::close(fd);
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

std::FILE* OpenRegularForReading(const char* path)
{
    const int fd = path == nullptr ? -1 : OpenRegularAt(AT_FDCWD, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    if (std::FILE* file = ::fdopen(fd, "rb"))
        return file;
    ::close(fd);
    return nullptr;
}

bool RenameAt(int fromFolder, const std::string& from, int toFolder, const std::string& to)
{
    return ::renameat(fromFolder, from.c_str(), toFolder, to.c_str()) == 0;
}

bool RenameNoReplaceAt(int fromFolder, const std::string& from, int toFolder, const std::string& to)
{
    if (::renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a hard link fails on an existing name just the same.
    if (::linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) != 0)
        return false;
    ::unlinkat(fromFolder, from.c_str(), 0);
    return true;
}

std::vector<std::string> ListNamesAt(int folder)
{
    std::vector<std::string> names;
    const int fd = ::openat(folder, ".", kFolderFlags);  // a reading position of its own
    DIR* listing = fd < 0 ? nullptr : ::fdopendir(fd);
    if (listing == nullptr) {
        if (fd >= 0)
            ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(listing);
    return names;
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
