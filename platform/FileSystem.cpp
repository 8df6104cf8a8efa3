// FileSystem.cpp: game paths resolved case-insensitively under the root folder (POSIX).
#include "platform/FileSystem.h"

#include "platform/GamePath.h"
#include "platform/files/OthersAccess.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fs_layer {
namespace {

using host_files::EUse;
using EWhole = CGamePath::EWhole;

std::string& RootStorage()
{
    static std::string root;
    return root;
}

// '*' any run, '?' one character, compared without case.
bool WildcardMatch(const char* pattern, const char* text)
{
    const char* starPattern = nullptr;
    const char* starText = nullptr;
    while (*text != '\0') {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starText = text;
            continue;
        }
        if (*pattern != '\0' && (*pattern == '?' || LowerAscii(*pattern) == LowerAscii(*text))) {
            ++pattern;
            ++text;
            continue;
        }
        if (starPattern == nullptr)
            return false;
        pattern = starPattern;
        text = ++starText;
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}

// The stat of the last part of the path (following a link at it with `follow`).
bool StatOf(const CGamePath& path, struct stat& st, bool follow)
{
    return path.Folder() >= 0 &&
           ::fstatat(path.Folder(), path.Name().c_str(), &st, follow ? 0 : AT_SYMLINK_NOFOLLOW) == 0;
}

void SetWhy(std::string* why, const CGamePath& path)
{
    if (why != nullptr)
        *why = path.Refused() ? path.Why() : std::strerror(path.Error());
}

// The names in the folder held open that match the last part of `pattern`.
std::vector<std::string> MatchingNames(const CGamePath& folder, const std::string& pattern)
{
    const std::vector<std::string> parts = SplitParts(pattern);
    std::vector<std::string> names;
    if (folder.Folder() < 0 || parts.empty())
        return names;
    for (const std::string& name : host_files::ListNamesAt(folder.Folder()))
        if (WildcardMatch(parts.back().c_str(), name.c_str()))
            names.push_back(name);
    return names;
}

std::string FolderPart(const std::string& pattern)
{
    const std::size_t slash = pattern.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
}

}  // namespace

void SetRootFolder(const std::string& hostDir)
{
    // Made absolute now: host paths under the root are handed back in as paths, and a relative
    // root would be joined to them a second time.
    std::string dir = hostDir;
    while (dir.size() > 2 && dir.compare(0, 2, "./") == 0)
        dir.erase(0, 2);
    if (!dir.empty() && dir[0] != '/') {
        char cwd[4096];
        if (::getcwd(cwd, sizeof cwd) != nullptr)
            dir = std::string(cwd) + (dir == "." ? "" : "/" + dir);
    }
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    RootStorage() = dir;
}

const std::string& GetRootFolder()
{
    if (RootStorage().empty())
        RootStorage() = DefaultRootFolder();
    return RootStorage();
}

std::string DefaultRootFolder()
{
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0)
        return "data";
    std::string exe(buffer, static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    return (slash == std::string::npos ? std::string(".") : exe.substr(0, slash)) + "/data";
}

std::string ResolvePath(const std::string& gamePath)
{
    const CGamePath path(gamePath, EUse::kRead);
    return path.Refused() ? std::string() : path.HostPath();
}

// A link this read does not follow is told once, as the folder links are.
bool ReadWholeFile(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize)
{
    out.clear();
    const CGamePath path(gamePath, EUse::kRead);
    if (path.Folder() < 0)
        return false;
    std::string why;
    const host_files::ERead read =
        host_files::ReadFileAt(path.Folder(), path.Name(), out, maxSize, host_files::ELinks::kMakersOwn, &why);
    if (read == host_files::ERead::kLink)
        TellOnce(path.HostPath(), EUse::kRead, "[W] File " + gamePath + ": " + why + "; it is not read");
    return read == host_files::ERead::kRead;
}

// What the game writes itself is read with the rule for writing: it is written back where it is read.
host_files::ERead ReadWithoutLink(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize,
                                  std::string* why)
{
    out.clear();
    const CGamePath path(gamePath, EUse::kWrite);
    if (path.Folder() < 0) {
        SetWhy(why, path);
        return path.Refused() || path.Error() == ENOENT ? host_files::ERead::kMissing : host_files::ERead::kUnreadable;
    }
    return host_files::ReadFileAt(path.Folder(), path.Name(), out, maxSize, host_files::ELinks::kNever, why);
}

bool WriteWholeFile(const std::string& gamePath, const std::uint8_t* data, std::size_t size,
                    const host_files::WriteOptions& options, std::string* why)
{
    const CGamePath path(gamePath, EUse::kWrite, options.createFolders);
    if (path.Folder() < 0) {
        SetWhy(why, path);
        return false;
    }
    return host_files::WriteAtomicallyAt(path.Folder(), path.Name(), data, size, options, why);
}

host_files::ETrust ReadTrustedFile(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize,
                                   host_files::FileTime* modified, std::string* why)
{
    out.clear();
    const CGamePath path(gamePath, EUse::kRead);
    if (path.Folder() < 0) {
        SetWhy(why, path);
        return path.Refused() ? host_files::ETrust::kNotTrusted
                              : path.Error() == ENOENT ? host_files::ETrust::kMissing : host_files::ETrust::kUnreadable;
    }
    return host_files::ReadTrustedAt(path.Folder(), path.FolderPath(), path.Name(), out, maxSize, modified, why);
}

bool OthersMayWriteBeside(const std::string& gamePath, std::string* why)
{
    const CGamePath path(gamePath, EUse::kWrite);
    if (path.Refused())
        SetWhy(why, path);
    return path.Refused() ||
           (path.Folder() >= 0 && host_files::OthersMayWriteIn(path.Folder(), path.FolderPath(), why));
}

bool FileExists(const std::string& gamePath)
{
    struct stat st;
    return StatOf(CGamePath(gamePath, EUse::kRead), st, true) && S_ISREG(st.st_mode);
}

void RemoveLeftovers(const std::string& pattern)
{
    const CGamePath folder(FolderPart(pattern), EUse::kWrite, false, EWhole::kFolder);
    for (const std::string& name : MatchingNames(folder, pattern))
        (void)host_files::RemoveOwnFileAt(folder.Folder(), name);
}

bool DeleteFile(const std::string& gamePath)
{
    const CGamePath path(gamePath, EUse::kWrite);
    return path.Folder() >= 0 && ::unlinkat(path.Folder(), path.Name().c_str(), 0) == 0;
}

bool CreateDirectory(const std::string& gamePath, std::string* why)
{
    const CGamePath path(gamePath, EUse::kWrite, true, EWhole::kFolder);
    if (path.Folder() < 0)
        SetWhy(why, path);
    return path.Folder() >= 0;
}

bool GetLastWriteTime(const std::string& gamePath, std::int64_t& out)
{
    struct stat st;
    if (!StatOf(CGamePath(gamePath, EUse::kRead), st, true))
        return false;
    out = static_cast<std::int64_t>(st.st_mtime);
    return true;
}

bool GetModifiedTime(const std::string& gamePath, host_files::FileTime& out)
{
    struct stat st;
    if (!StatOf(CGamePath(gamePath, EUse::kRead), st, true) || !S_ISREG(st.st_mode))
        return false;
    out = static_cast<host_files::FileTime>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

bool RenameFile(const std::string& fromGamePath, const std::string& toGamePath)
{
    const CGamePath from(fromGamePath, EUse::kWrite);
    const CGamePath to(toGamePath, EUse::kWrite);
    return from.Folder() >= 0 && to.Folder() >= 0 &&
           host_files::RenameAt(from.Folder(), from.Name(), to.Folder(), to.Name());
}

bool RenameFileNoReplace(const std::string& fromGamePath, const std::string& toGamePath)
{
    const CGamePath from(fromGamePath, EUse::kWrite);
    const CGamePath to(toGamePath, EUse::kWrite);
    return from.Folder() >= 0 && to.Folder() >= 0 &&
           host_files::RenameNoReplaceAt(from.Folder(), from.Name(), to.Folder(), to.Name());
}

bool CanCreateFiles(const std::string& folderGamePath, std::string* why)
{
    const CGamePath folder(folderGamePath, EUse::kWrite, false, EWhole::kFolder);
    if (folder.Folder() < 0) {
        SetWhy(why, folder);
        return false;
    }
    return host_files::CanCreateFilesAt(folder.Folder(), why);
}

bool IsReadOnly(const std::string& gamePath)
{
    struct stat st;
    return StatOf(CGamePath(gamePath, EUse::kRead), st, false) && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

bool SetWritable(const std::string& gamePath)
{
    const CGamePath path(gamePath, EUse::kWrite);
    const int fd = path.Folder() < 0 ? -1 : host_files::OpenOwnFileAt(path.Folder(), path.Name(), O_RDONLY);
    if (fd < 0)
        return false;
    struct stat st;
    const bool ok = ::fstat(fd, &st) == 0 && ::fchmod(fd, (st.st_mode & 07777) | S_IWUSR) == 0;
    ::close(fd);
    return ok;
}

std::vector<std::string> FindFiles(const std::string& pattern)
{
    const CGamePath folder(FolderPart(pattern), EUse::kRead, false, EWhole::kFolder);
    std::vector<std::string> names;
    for (const std::string& name : MatchingNames(folder, pattern)) {
        struct stat st;
        if (::fstatat(folder.Folder(), name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// The folder's path without links, if it is this user's own: it and every folder above it could be
// made or changed by no one but this user and root, and no one else may write it. Each folder is
// opened within the one above without following a link, so what is checked is what the path names.
// Empty, with the reason in `why`, otherwise.
std::string PrivateFolder(const std::string& path, std::string& why)
{
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        why = path + ": " + std::strerror(errno);
        return std::string();
    }
    const std::string resolved = real;
    std::free(real);
    int folder = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const std::vector<std::string> parts = SplitParts(resolved);
    struct stat st;
    bool opened = folder >= 0 && ::fstat(folder, &st) == 0;
    bool guarded = opened && !host_files::LetsOthersChange(st);
    for (std::size_t i = 0; guarded && i < parts.size(); ++i) {
        const int next = ::openat(folder, parts[i].c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        ::close(folder);
        folder = next;
        opened = folder >= 0 && ::fstat(folder, &st) == 0;
        guarded = opened && !host_files::LetsOthersChange(st);
    }
    const int error = errno;
    if (folder >= 0)
        ::close(folder);
    if (guarded && st.st_uid == ::geteuid() && !host_files::ModeLetsOthersWrite(st))
        return resolved;
    why = path + ": " + (!opened    ? std::strerror(error)
                         : !guarded ? "others may change a folder on the way"
                                    : "not this user's alone");
    return std::string();
}

// This user's home as the account names it (not $HOME, which su and sudo may leave as another's).
std::string HomeFolder()
{
    const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr)
        return std::string();
    return found->pw_dir;
}

// "<home>/.cache/palmora", made where missing once the home is found to be this user's own.
std::string FolderInHome(std::string& why)
{
    const std::string home = HomeFolder();
    if (home.empty() || home[0] != '/') {
        why = "no home folder";
        return std::string();
    }
    if (PrivateFolder(home, why).empty())
        return std::string();
    const std::string cache = home + "/.cache", folder = cache + "/palmora";
    (void)::mkdir(cache.c_str(), 0700);
    (void)::mkdir(folder.c_str(), 0700);
    return PrivateFolder(folder, why);
}

}  // namespace

std::string UserRuntimeFolder(std::string* why)
{
    std::vector<std::string> reasons;
    std::string reason;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/') {
        const std::string folder = PrivateFolder(runtime, reason);
        if (!folder.empty())
            return folder;
        reasons.push_back("XDG_RUNTIME_DIR " + reason);
    } else {
        reasons.push_back("no XDG_RUNTIME_DIR");
    }
    // The session's runtime folder, where su, sudo or cron left the variable out.
    std::string folder = PrivateFolder("/run/user/" + std::to_string(::geteuid()), reason);
    if (!folder.empty())
        return folder;
    reasons.push_back(reason);
    folder = FolderInHome(reason);
    if (!folder.empty())
        return folder;
    reasons.push_back(reason);
    if (why != nullptr) {
        why->clear();
        for (const std::string& each : reasons)
            *why += (why->empty() ? "" : "; ") + each;
    }
    return std::string();
}

}  // namespace fs_layer
