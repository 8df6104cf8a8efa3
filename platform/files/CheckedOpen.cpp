// CheckedOpen.cpp: a path descriptor checked, then opened through /proc or, without it, by a name
// that no one else can give to another file.
#include "platform/files/CheckedOpen.h"

#include "platform/files/HostFiles.h"
#include "platform/files/OthersAccess.h"
#include "platform/files/UniqueFd.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace host_files {
namespace {

constexpr int kMostLinks = 40;  // as many as the kernel follows in one lookup

int UseFlags(int flags)
{
    return (flags & ~(O_NOFOLLOW | O_CREAT | O_EXCL | O_TRUNC | O_DIRECTORY)) | O_NOCTTY | O_CLOEXEC;
}

int TypeError(const struct stat& st)
{
    return S_ISLNK(st.st_mode) ? ELOOP : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
}

// The last part of the name opened in the folder that holds it, once it is known to be of `type`
// and its name is one only this user and root may give to another file, and kept only while it
// is the file checked. Links are followed as the kernel would, one by one, each from the folder
// that holds it.
int OpenByNameAgain(int folder, std::string name, int flags, mode_t type)
{
    CUniqueFd held(-1);
    int at = folder;
    for (int link = 0; link <= kMostLinks; ++link) {
        const std::size_t slash = name.find_last_of('/');
        if (slash != std::string::npos) {
            const std::string above = slash == 0 ? std::string("/") : name.substr(0, slash);
            const int opened = ::openat(at, above.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (opened < 0)
                return -1;
            held.Reset(opened);
            at = opened;
            name.erase(0, slash + 1);
            if (name.empty())
                name = ".";
        }
        struct stat entry;
        if (::fstatat(at, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
            return -1;
        if (S_ISLNK(entry.st_mode) && (flags & O_NOFOLLOW) == 0) {
            name = LinkTextAt(at, name.c_str());
            if (name.empty())
                return -1;
            continue;
        }
        if ((entry.st_mode & S_IFMT) != type) {
            errno = TypeError(entry);
            return -1;
        }
        if (OthersMayRename(at, entry)) {
            errno = kNotOpenedWithoutProc;
            return -1;
        }
        const int use = UseFlags(flags);
        const int fd = ::openat(at, name.c_str(), use | O_NOFOLLOW | O_NONBLOCK);
        struct stat opened;
        if (fd < 0 || (::fstat(fd, &opened) == 0 && opened.st_dev == entry.st_dev && opened.st_ino == entry.st_ino &&
                       ::fcntl(fd, F_SETFL, use & (O_NONBLOCK | O_APPEND)) == 0))
            return fd;
        ::close(fd);
        errno = EAGAIN;  // this user replaced it meanwhile
        return -1;
    }
    errno = ELOOP;
    return -1;
}

}  // namespace

int OpenOfTypeAt(int folder, const std::string& name, int flags, mode_t type)
{
    const int path = ::openat(folder, name.c_str(), O_PATH | O_CLOEXEC | (flags & O_NOFOLLOW));
    if (path < 0)
        return -1;
    CUniqueFd closePath(path);
    struct stat checked;
    if (::fstat(path, &checked) != 0)
        return -1;
    if ((checked.st_mode & S_IFMT) != type) {
        errno = TypeError(checked);
        return -1;
    }
    const int fd = ::open(("/proc/self/fd/" + std::to_string(path)).c_str(), UseFlags(flags));
    if (fd >= 0 || errno != ENOENT)
        return fd;
    return OpenByNameAgain(folder, name, flags, type);
}

std::string LinkTextAt(int folder, const char* name)
{
    char text[4096];
    const ssize_t length = ::readlinkat(folder, name, text, sizeof text);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) {
        errno = length < 0 ? errno : ENAMETOOLONG;
        return std::string();
    }
    return std::string(text, static_cast<std::size_t>(length));
}

bool ProcFdsUsable()
{
    const int root = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return false;
    CUniqueFd closeRoot(root);
    const int again = ::open(("/proc/self/fd/" + std::to_string(root)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (again < 0)
        return false;
    ::close(again);
    return true;
}

}  // namespace host_files
