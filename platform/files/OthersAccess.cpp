// OthersAccess.cpp: owners, mode bits, group members and the folders on the way.
#include "platform/files/OthersAccess.h"

#include "platform/files/UniqueFd.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

namespace host_files {
namespace {

constexpr std::size_t kFirstBuffer = 16384;
constexpr std::size_t kLargestBuffer = 1u << 20;  // a group database entry larger than this is not expected
constexpr int kMostFoldersOnTheWay = 4096;

bool IsSomeoneElse(uid_t user)
{
    return !IsOwnOrRoot(user);
}

// A reentrant look-up of the user or group database (getpwnam_r and the like) in a buffer that
// grows while the entry does not fit; its result, 0 or an errno.
template <typename Lookup>
int LookUp(std::vector<char>& buffer, Lookup lookup)
{
    for (;;) {
        const int error = lookup(buffer.data(), buffer.size());
        if (error != ERANGE || buffer.size() >= kLargestBuffer)
            return error;
        buffer.resize(buffer.size() * 2);  // the same entry again, in more room
    }
}

// The user named in the group's member list, or nobody known by that name (someone else then).
bool NamesSomeoneElse(const char* name)
{
    std::vector<char> buffer(kFirstBuffer);
    struct passwd entry;
    struct passwd* found = nullptr;
    const int error = LookUp(buffer, [&](char* room, std::size_t size) {
        return ::getpwnam_r(name, &entry, room, size, &found);
    });
    return error != 0 || found == nullptr || IsSomeoneElse(found->pw_uid);
}

// A listed member besides this user (and root), or a group that can't be looked up.
bool ListsSomeoneElse(gid_t group)
{
    std::vector<char> buffer(kFirstBuffer);
    struct group entry;
    struct group* found = nullptr;
    const int error = LookUp(buffer, [&](char* room, std::size_t size) {
        return ::getgrgid_r(group, &entry, room, size, &found);
    });
    if (error != 0 || found == nullptr)
        return true;
    for (char** member = found->gr_mem; member != nullptr && *member != nullptr; ++member)
        if (NamesSomeoneElse(*member))
            return true;
    return false;
}

// A user besides this one (and root) whose primary group it is. The walk through the user
// database is one per process, so the callers hold a lock.
bool IsPrimaryOfSomeoneElse(gid_t group)
{
    std::vector<char> buffer(kFirstBuffer);
    bool found = false;
    ::setpwent();
    for (;;) {
        struct passwd entry;
        struct passwd* next = nullptr;
        const int error = LookUp(buffer, [&](char* room, std::size_t size) {
            return ::getpwent_r(&entry, room, size, &next);
        });
        if (error == ENOENT || (error == 0 && next == nullptr))
            break;  // the end of the database
        if (error != 0) {
            found = true;  // the rest can't be read: someone else may be there
            break;
        }
        if (next->pw_gid == group && IsSomeoneElse(next->pw_uid)) {
            found = true;
            break;
        }
    }
    ::endpwent();
    return found;
}

// Whether a folder from the open folder (with `itself`, else from the one above it) up to the
// root of the file system lets others change what it holds. Walked through "..", so no name on
// the way is looked up again; one that can't be opened counts as letting others in.
bool WayLetsOthersIn(int folder, bool itself)
{
    CUniqueFd held(-1);
    int at = folder;
    struct stat here;
    if (::fstatat(at, "", &here, AT_EMPTY_PATH) != 0)  // AT_FDCWD too
        return true;
    if (itself && LetsOthersChange(here))
        return true;
    for (int step = 0; step < kMostFoldersOnTheWay; ++step) {
        const int up = ::openat(at, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        struct stat above;
        if (up < 0 || ::fstat(up, &above) != 0) {
            if (up >= 0)
                ::close(up);
            return true;
        }
        held.Reset(up);
        at = up;
        if (above.st_dev == here.st_dev && above.st_ino == here.st_ino)
            return false;  // the root of the file system (or of a chroot)
        if (LetsOthersChange(above))
            return true;
        here = above;
    }
    return true;
}

}  // namespace

bool IsOwnOrRoot(uid_t owner)
{
    return owner == ::geteuid() || owner == 0;
}

bool GroupHasOtherMembers(gid_t group)
{
    static std::mutex s_lock;
    static std::map<gid_t, bool> s_known;
    const std::lock_guard<std::mutex> hold(s_lock);
    const auto known = s_known.find(group);
    if (known != s_known.end())
        return known->second;
    const bool others = ListsSomeoneElse(group) || IsPrimaryOfSomeoneElse(group);
    s_known.emplace(group, others);
    return others;
}

bool ModeLetsOthersWrite(const struct stat& st)
{
    return (st.st_mode & S_IWOTH) != 0 || ((st.st_mode & S_IWGRP) != 0 && GroupHasOtherMembers(st.st_gid));
}

bool LetsOthersChange(const struct stat& folder)
{
    return IsSomeoneElse(folder.st_uid) || (ModeLetsOthersWrite(folder) && (folder.st_mode & S_ISVTX) == 0);
}

bool OthersMayWrite(const struct stat& st, int fd)
{
    return ModeLetsOthersWrite(st) || ((st.st_mode & S_IWGRP) != 0 && WayLetsOthersIn(fd, !S_ISDIR(st.st_mode)));
}

bool OthersMayAddNames(const struct stat& folder, int fd)
{
    return IsSomeoneElse(folder.st_uid) || OthersMayWrite(folder, fd);
}

bool OthersMayRename(int folder, const struct stat& entry)
{
    // The folder is held open: only who may write it can give its names to other files.
    struct stat st;
    if (::fstatat(folder, "", &st, AT_EMPTY_PATH) != 0 || !S_ISDIR(st.st_mode) || LetsOthersChange(st))
        return true;
    return (st.st_mode & S_ISVTX) != 0 && ModeLetsOthersWrite(st) && IsSomeoneElse(entry.st_uid);
}

}  // namespace host_files
