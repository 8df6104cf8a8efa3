// FileSystem.cpp: game paths resolved case-insensitively under the root folder (POSIX).
#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace fs_layer {
namespace {

std::string& RootStorage()
{
    static std::string root;
    return root;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

bool Exists(const std::string& hostPath)
{
    struct stat st;
    return ::lstat(hostPath.c_str(), &st) == 0;
}

std::vector<std::string> SplitParts(const std::string& gamePath)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : gamePath) {
        if (c == '/' || c == '\\') {
            if (!part.empty() && part != ".")
                parts.push_back(part);
            part.clear();
            continue;
        }
        part += c;
    }
    if (!part.empty() && part != ".")
        parts.push_back(part);
    return parts;
}

// The entry of `dir` whose name equals `name` without regard to case, or `name` itself when the
// exact name exists or nothing matches (a file about to be created keeps the case given).
std::string MatchEntry(const std::string& dir, const std::string& name)
{
    if (name == ".." || Exists(dir + "/" + name))
        return name;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return name;
    std::string found = name;
    while (const dirent* entry = ::readdir(d)) {
        if (EqualNoCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
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

bool IsRegularFile(const std::string& hostPath)
{
    struct stat st;
    return ::stat(hostPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
    if (!gamePath.empty() && gamePath[0] == '/')
        return gamePath;
    std::string host = GetRootFolder();
    for (const std::string& part : SplitParts(gamePath))
        host += "/" + MatchEntry(host, part);
    return host;
}

bool ReadWholeFile(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize)
{
    return host_files::ReadFile(ResolvePath(gamePath), out, maxSize, host_files::ELinks::kMakersOwn) ==
           host_files::ERead::kRead;
}

host_files::ERead ReadWithoutLink(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize,
                                  std::string* why)
{
    return host_files::ReadFile(ResolvePath(gamePath), out, maxSize, host_files::ELinks::kNever, why);
}

bool WriteWholeFile(const std::string& gamePath, const std::uint8_t* data, std::size_t size,
                    const host_files::WriteOptions& options, std::string* why)
{
    return host_files::WriteAtomically(ResolvePath(gamePath), data, size, options, why);
}

host_files::ETrust ReadTrustedFile(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize,
                                   host_files::FileTime* modified, std::string* why)
{
    return host_files::ReadTrusted(ResolvePath(gamePath), out, maxSize, modified, why);
}

bool OthersMayWriteBeside(const std::string& gamePath, std::string* why)
{
    return host_files::OthersMayWriteIn(host_files::ParentFolder(ResolvePath(gamePath)), why);
}

bool FileExists(const std::string& gamePath)
{
    return IsRegularFile(ResolvePath(gamePath));
}

void RemoveLeftovers(const std::string& pattern)
{
    const std::size_t slash = pattern.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    for (const std::string& name : FindFiles(pattern))
        (void)host_files::RemoveOwnFile(ResolvePath(folder + name));
}

bool DeleteFile(const std::string& gamePath)
{
    return ::unlink(ResolvePath(gamePath).c_str()) == 0;
}

bool RemoveLink(const std::string& gamePath)
{
    const std::string host = ResolvePath(gamePath);
    struct stat st;
    return ::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::unlink(host.c_str()) == 0;
}

bool CreateDirectory(const std::string& gamePath)
{
    const std::string host = ResolvePath(gamePath);
    return host_files::CreateFolders(host) && host_files::IsFolder(host);
}

bool GetLastWriteTime(const std::string& gamePath, std::int64_t& out)
{
    struct stat st;
    if (::stat(ResolvePath(gamePath).c_str(), &st) != 0)
        return false;
    out = static_cast<std::int64_t>(st.st_mtime);
    return true;
}

bool GetModifiedTime(const std::string& gamePath, host_files::FileTime& out)
{
    return host_files::GetModifiedTime(ResolvePath(gamePath), out);
}

bool RenameFile(const std::string& fromGamePath, const std::string& toGamePath)
{
    return host_files::Rename(ResolvePath(fromGamePath), ResolvePath(toGamePath));
}

bool RenameFileNoReplace(const std::string& fromGamePath, const std::string& toGamePath)
{
    return host_files::RenameNoReplace(ResolvePath(fromGamePath), ResolvePath(toGamePath));
}

bool CanCreateFiles(const std::string& folderGamePath, std::string* why)
{
    return host_files::CanCreateFiles(ResolvePath(folderGamePath), why);
}

bool IsReadOnly(const std::string& gamePath)
{
    struct stat st;
    if (::lstat(ResolvePath(gamePath).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    return (st.st_mode & S_IWUSR) == 0;
}

bool SetWritable(const std::string& gamePath)
{
    const int fd = host_files::OpenOwnFile(ResolvePath(gamePath), O_RDONLY);
    if (fd < 0)
        return false;
    struct stat st;
    const bool ok = ::fstat(fd, &st) == 0 && ::fchmod(fd, (st.st_mode & 07777) | S_IWUSR) == 0;
    ::close(fd);
    return ok;
}

std::vector<std::string> FindFiles(const std::string& pattern)
{
    std::vector<std::string> names;
    std::vector<std::string> parts = SplitParts(pattern);
    if (parts.empty())
        return names;
    const std::string mask = parts.back();
    parts.pop_back();
    std::string dirGamePath = (!pattern.empty() && pattern[0] == '/') ? "/" : "";
    for (const std::string& part : parts)
        dirGamePath += part + "/";
    const std::string dir = dirGamePath.empty() ? GetRootFolder() : ResolvePath(dirGamePath);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr)
        return names;
    while (const dirent* entry = ::readdir(d)) {
        if (WildcardMatch(mask.c_str(), entry->d_name) && IsRegularFile(dir + "/" + entry->d_name))
            names.emplace_back(entry->d_name);
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::string UserRuntimeFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st;
    if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
        return runtime;
    const std::string dir = "/tmp/palmora-" + std::to_string(::getuid());
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return "/tmp";
    // Someone else may have made the folder first; a lock file in it would not be ours alone.
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid())
        return "/tmp";
    return dir;
}

}  // namespace fs_layer
