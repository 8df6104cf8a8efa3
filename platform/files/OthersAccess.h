// OthersAccess.h: whether anyone but this user (and root) may write a file or change what a folder
// holds, from its owner and mode bits and from who is in its group.
//
// Debian gives each user a group of her own (user private groups), whose only member is she. With
// umask 002, the usual companion of that scheme, her folders are 0775 and her files 0664: bits
// that give nobody else anything. So a group's write bit counts only where someone besides this
// user can use it: the group has another member (listed in the group database, or a user whose
// primary group it is; one that can't be looked up counts as shared), or a folder on the way to
// the file lets others change what it holds. OpenSSH as Debian ships it makes the same exception.
#pragma once

#include <sys/types.h>

struct stat;

namespace host_files {

bool IsOwnOrRoot(uid_t owner);
// Anyone but this user and root in the group; asked of the user and group databases once per
// group and process.
bool GroupHasOtherMembers(gid_t group);
// Whether the mode bits of `st` let anyone but this user and root write it, judged by them and
// the group's members alone: everyone may, or the group may and has another member. For a walk of
// its own over the folders on the way.
bool ModeLetsOthersWrite(const struct stat& st);
// Whether a folder (its stat), judged by itself, lets someone else rename or replace what it
// holds: another user's, or one others may write that is not sticky (sticky keeps others from
// replacing what is ours).
bool LetsOthersChange(const struct stat& folder);
// Whether anyone but this user and root may write `st`: everyone may, or the group may and
// someone besides this user can use that. `st` is a folder open as `fd`, or a file in the folder
// open as `fd`.
bool OthersMayWrite(const struct stat& st, int fd);
// Whether someone but this user and root may add names to the folder (its stat; open as `fd`):
// another user's folder, or one others may write (a sticky folder too: it keeps others from
// replacing names, not from adding theirs).
bool OthersMayAddNames(const struct stat& folder, int fd);
// Whether someone but this user and root may give the name of `entry` (its stat, not following a
// link) in the open folder to another file: the folder lets others change what it holds, or it is
// sticky, others may write it and the entry is another user's.
bool OthersMayRename(int folder, const struct stat& entry);

}  // namespace host_files
