// HostFiles.h: files and folders by their real (host) paths, for the game's file layer and the
// feedback client alike; it needs neither the engine nor the game's root folder.
//
// Every replacement of a whole file goes through WriteAtomically, so a reader, a crash or a
// full disk never meets half a file: the old file stays until the new one is complete on disk.
//
// Nothing here writes through a name that someone else may have pointed elsewhere: new files are
// made exclusively under a name of their own and renamed into place, so a link standing at the
// name is replaced, never followed; existing files are opened without following a link and
// changed through the open file. In a folder that its group shares (setgid and writable by the
// group, the usual way to share data between accounts) what is made here is the group's to use
// too: the umask does not take the group's bits. Byte code and other files that are run are read
// only where no one else could have written them (ReadTrustedAt).
//
// A regular file of this user's is taken as theirs only where no one else could have named it:
// where others may add names to its folder (another user's folder, or one everyone or a group
// with another member may write: see OthersAccess.h), a file with more than one name may be a hard
// link that someone else made to it, to read it through the game. Such a name is treated as
// another user's: it is not read, run, truncated or changed, and the calls below say so as they do
// for a link.
//
// What a name leads to is opened only once that very file was checked, through /proc/self/fd.
// Without /proc a name is opened again only where no one else could give it to another file
// meanwhile; elsewhere nothing is opened, and the calls fail with kNotOpenedWithoutProc.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace host_files {

// The errno of an open refused without /proc (open itself never gives it for a file), and its words.
constexpr int kNotOpenedWithoutProc = EXDEV;
constexpr const char* kNotOpenedWithoutProcWhy = "without /proc a file in a folder others may change is not opened";
// Whether an open file can be opened again through /proc/self/fd (false where /proc is not mounted).
bool ProcFdsUsable();

using FileTime = std::int64_t;  // last-write time in nanoseconds since the epoch

struct WriteOptions {
    unsigned mode = 0666;              // before the umask (which spares the group's bits in a shared folder);
                                       // 0600 keeps the file to its user
    bool createFolders = false;        // make the missing folders above the file first
    bool replace = true;               // false: fail with "File exists" when anything holds the name
    std::optional<FileTime> modified;  // the new file's last-write time, set before it takes over
    bool* replacedLink = nullptr;      // set after a write: whether a link stood at the name (it was
                                       // replaced, not followed), for the caller to tell
};

// Writes a temporary file beside path under a name no other writer uses ("<path>.tmp.<pid>.<n>"),
// flushes it to disk, renames it over path and flushes the folder, so the new name survives a
// power cut. On any failure the temporary file is removed, the old file is left as it was, the
// result is false and `why` (when given) holds the system's reason, e.g. "No space left on device".
[[nodiscard]] bool WriteAtomically(const std::string& path, const void* data, std::size_t size,
                                   const WriteOptions& options = WriteOptions(), std::string* why = nullptr);
constexpr const char* kWriteTestName = ".write-test";  // see CanCreateFilesAt

// A new empty file at the name, open for reading and writing; -1 with errno EEXIST when anything
// (a file, a link) holds the name already.
int CreateExclusive(const std::string& path, unsigned mode = 0666);
// A new empty file, open for writing, in place of whatever held the name (a file, a link, nothing):
// made as a temporary file and renamed over it. -1 with the reason in `why`. `replacedLink` as in
// WriteOptions.
int ReplaceWithNewFile(const std::string& path, unsigned mode = 0666, std::string* why = nullptr,
                       bool* replacedLink = nullptr);
// An existing regular file of this user's, opened with `flags` (O_WRONLY, O_TRUNC...) without
// following a link at its name; -1 with errno ELOOP for a link, EPERM for another user's file (or
// a hard link to this user's that someone else may have made), EINVAL for anything but a regular
// file and kNotOpenedWithoutProc.
int OpenOwnFile(const std::string& path, int flags);
// What the name in the open folder (or AT_FDCWD) leads to, opened with `flags` only once it is
// known to be a regular file: it is checked as it stands, without opening it (a device that is
// opened may act, a pipe may hold the caller), and then that very file is opened, whatever the
// name is swapped for meanwhile. -1 with errno ELOOP for a link (with O_NOFOLLOW), EISDIR for a
// folder, EINVAL for anything else and kNotOpenedWithoutProc.
int OpenRegularAt(int folder, const std::string& name, int flags);
// A file a user named as the output of a run: replaced whole (see WriteAtomically) where a file or
// nothing stands at the name, written in place where it is a device (/dev/null, /dev/full), and
// refused where it is a link or anything else; every write and the close are checked.
[[nodiscard]] bool WriteOutputFile(const std::string& path, const void* data, std::size_t size,
                                   std::string* why = nullptr);

// Reads a regular file whole. A link at its name is followed as `links` says; a link in a folder
// above it is followed. Where a link leads is what the file's content may tell others (the game's
// log, a picture made from it), so a link someone else made never reads for them what they could
// not read themselves.
enum class ELinks {
    kNever,      // not read through: files the game makes or writes itself are never links
    kMakersOwn,  // followed when this user or root made it; another user's only to a file of theirs,
                 // or of root's that everyone may read (as an installed data set's links lead to)
};
enum class ERead {
    kRead,        // read whole into `out`, within maxSize
    kMissing,     // nothing stands at the name (or a link leads nowhere)
    kLink,        // a link that is not followed (or a hard link someone else may have made, or a file
                  // not opened without /proc); `why` says which
    kNotAFile,    // a folder, a device or a pipe
    kUnreadable,  // it can't be opened or read, or is larger than maxSize
};
ERead ReadFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxSize, ELinks links,
               std::string* why = nullptr);

// ---- Names in a folder held open ------------------------------------------------------------
// The calls below take a folder that is open (`folder`, from open(O_DIRECTORY), or AT_FDCWD) and
// a name in it: they act in that very folder, whatever is renamed or replaced on the way to it
// meanwhile. The game's file layer opens each folder of a game path from the root, checking it on
// the way (OpenFolderAt), and then uses these; the calls above open the folder of a host path.

// What a link leads to is used for.
enum class EUse {
    kRead,   // read from
    kWrite,  // written, replaced or removed in
};
// The folder `name` within `folder`, open. A link there is followed where whoever made it could
// use what it leads to in the same way themselves: always when this user or root made it; another
// user's link only to a folder of theirs, or, for reading, to one of root's that everyone may
// read and only root may write (an installed data set's). Otherwise, and also where another
// user's link leads nowhere (so that its maker learns nothing of what exists), -1 with errno
// EACCES and `distrust` saying why. With `create` a missing folder is made first (shared with the
// group as CreateFolders says); a link that leads nowhere makes nothing. -1 with errno otherwise.
int OpenFolderAt(int folder, const std::string& name, EUse use, bool create, std::string* distrust = nullptr);
ERead ReadFileAt(int folder, const std::string& name, std::vector<std::uint8_t>& out, std::size_t maxSize,
                 ELinks links, std::string* why = nullptr);
// As WriteAtomically; `options.createFolders` is left to the caller.
[[nodiscard]] bool WriteAtomicallyAt(int folder, const std::string& name, const void* data, std::size_t size,
                                     const WriteOptions& options = WriteOptions(), std::string* why = nullptr);
// Whether a new file can be made in the folder: one is made and removed again, as a temporary
// file of kWriteTestName ("<name>.tmp.<pid>.<n>"). False (with the reason) for a read-only or
// full folder.
bool CanCreateFilesAt(int folder, std::string* why = nullptr);
int OpenOwnFileAt(int folder, const std::string& name, int flags);  // see OpenOwnFile
// Removes a regular file of this user's (a link or another user's file stays); false otherwise.
bool RemoveOwnFileAt(int folder, const std::string& name);
bool RenameAt(int fromFolder, const std::string& from, int toFolder, const std::string& to);  // replaces `to`
bool RenameNoReplaceAt(int fromFolder, const std::string& from, int toFolder, const std::string& to);
// Names of the entries of the folder, in the order it gives ("." and ".." left out).
std::vector<std::string> ListNamesAt(int folder);

// Whether anyone but this user and root may add, replace or remove names in the folder (open as
// `folder`, called `folderName` in `why`): it is another user's, or others may write it (see
// OthersAccess.h) and it is not sticky (a sticky folder of this user's or root's keeps others from
// replacing what is ours). `why` takes the reason for a true result, e.g. "others may write folder
// effects".
bool OthersMayWriteIn(int folder, const std::string& folderName, std::string* why = nullptr);
// Reads a file that is run as code (byte code, the key that vouches for it) only where no one
// but this user or root could have written it: the file, opened without following a link, is a
// regular file of this user's or root's that no one else may write, in a folder no one else may
// write (OthersMayWriteIn). Nothing is read otherwise.
enum class ETrust {
    kTrusted,        // read whole into `out`, within maxSize
    kMissing,        // nothing stands at the name
    kUnreadable,     // it can't be opened or read, or is larger than maxSize
    kNotTrusted,     // a link (a hard link too), not a regular file, another user's, writable by others or in an open folder
};
ETrust ReadTrustedAt(int folder, const std::string& folderName, const std::string& name, std::vector<std::uint8_t>& out,
                     std::size_t maxSize, FileTime* modified = nullptr, std::string* why = nullptr);

std::optional<bool> Exists(const std::string& path);  // nullopt when it cannot be told
bool IsFolder(const std::string& path);
bool IsRegularFile(const std::string& path);          // follows links
// Makes the folder and its parents; `privateToUser` gives a newly made last folder mode 0700.
// A folder made in a folder its group shares is shared the same way.
bool CreateFolders(const std::string& path, bool privateToUser = false);
bool GetModifiedTime(const std::string& path, FileTime& out);
// What tells an open regular file's bytes from any other's without reading them: its device,
// inode and size, and its last write and change times. Every write changes the change time, so
// equal values mean equal bytes unless the file was changed again within one tick of the file
// system's clock; a caller that relies on them leaves out files changed just before it looked.
struct OpenFileIdentity {
    std::uint64_t device = 0, inode = 0, size = 0;
    FileTime modified = 0, changed = 0;
    bool operator==(const OpenFileIdentity& other) const;
};
bool IdentityOf(std::FILE* file, OpenFileIdentity& out);  // false for no handle or no regular file
// A regular file opened for reading ("rb"), or nullptr: opened without waiting, so that a pipe or
// a device at the name is refused instead of holding the caller until someone writes to it.
std::FILE* OpenRegularForReading(const char* path);
bool RemoveFile(const std::string& path);
// Paths of the regular files in a folder ("" is the current one), in the order the folder gives.
std::vector<std::string> ListFiles(const std::string& folder);

// Path arithmetic, as on POSIX: "a/b.ini" has parent "a", name "b.ini" and stem "b".
std::string ParentFolder(const std::string& path);
std::string FileName(const std::string& path);
std::string Stem(const std::string& path);
std::string ReplaceExtension(const std::string& path, const std::string& extension);  // "log" or ".log"
std::string Join(const std::string& folder, const std::string& name);

}  // namespace host_files
