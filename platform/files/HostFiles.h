// HostFiles.h: files and folders by their real (host) paths, for the game's file layer and the
// feedback client alike; it needs neither the engine nor the game's root folder.
//
// Every replacement of a whole file goes through WriteAtomically, so a reader, a crash or a
// full disk never meets half a file: the old file stays until the new one is complete on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace host_files {

using FileTime = std::int64_t;  // last-write time in nanoseconds since the epoch

struct WriteOptions {
    unsigned mode = 0666;              // before the umask; 0600 keeps the file to its user
    bool createFolders = false;        // make the missing folders above the file first
    std::optional<FileTime> modified;  // the new file's last-write time, set before it takes over
};

// Writes a temporary file beside path under a name no other writer uses ("<path>.tmp.<pid>.<n>"),
// flushes it to disk, renames it over path and flushes the folder, so the new name survives a
// power cut. On any failure the temporary file is removed, the old file is left as it was, the
// result is false and `why` (when given) holds the system's reason, e.g. "No space left on device".
[[nodiscard]] bool WriteAtomically(const std::string& path, const void* data, std::size_t size,
                                   const WriteOptions& options = WriteOptions(), std::string* why = nullptr);
// Whether a new file can be made in the folder: one is made and removed again, as a temporary
// file of kWriteTestName ("<name>.tmp.<pid>.<n>"). False (with the reason) for a missing,
// read-only or full folder.
constexpr const char* kWriteTestName = ".write-test";
bool CanCreateFiles(const std::string& folder, std::string* why = nullptr);

std::optional<bool> Exists(const std::string& path);  // nullopt when it cannot be told
bool IsFolder(const std::string& path);
bool IsRegularFile(const std::string& path);          // follows links
// Makes the folder and its parents; `privateToUser` gives a newly made last folder mode 0700.
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
bool Rename(const std::string& from, const std::string& to);  // replaces an existing target
bool RenameNoReplace(const std::string& from, const std::string& to);  // false when `to` exists
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
