// FileSystem.h: files as the game names them, resolved against the game's root folder.
//
// The game writes paths as on Windows: "\" or "/" between parts and any letter case. Each part
// is matched case-insensitively against what exists under the root, so "DATA\Fonts\a.FNT" finds
// "data/fonts/a.fnt". Parts that do not exist yet keep the case given (so new files can be made).
// Absolute host paths (starting with "/") are taken as they are.
//
// The folders below the root are opened one within the other and each call acts in the last one
// it opened (see CGamePath): a folder that someone renames or replaces meanwhile changes nothing.
// A folder that is a link is followed when this user or root made it, or when it leads to a
// folder of its maker's own (for reading also to root's that everyone may read, as an installed
// data set's links do); another user's link elsewhere, say into a folder of this user's, is not:
// reads through it find nothing, writes, renames and removals fail, and one "[W]" line per link
// and use says so (see SetNoticeLog). The root itself is taken as it is named.
#pragma once

#include "platform/files/HostFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fs_layer {

void SetRootFolder(const std::string& hostDir);  // relative to the working folder; default: "data" beside the program
const std::string& GetRootFolder();
std::string DefaultRootFolder();                 // "<dir of the executable>/data"

std::string ResolvePath(const std::string& gamePath);  // host path for a game path; "" where refused

// Where the layer tells the folder links it does not follow, one line each ("[W] Folder data: a
// link of user 1002 leads to a folder that is not theirs; nothing is read through it"), once per
// link and use. Null (at first): nothing is told yet, so each is told once a log is set.
using NoticeLog = void (*)(const char* line);
void SetNoticeLog(NoticeLog log);

// Data the game reads: a link at the name is followed, but one that another user made only where
// it reads nothing they could not read themselves (see host_files::ELinks::kMakersOwn).
bool ReadWholeFile(const std::string& gamePath, std::vector<std::uint8_t>& out,
                   std::size_t maxSize = 256u << 20);
// A file the game writes itself (a store), or makes others from (a picture to convert): a link at
// its name is not read through (kLink), whoever made it.
host_files::ERead ReadWithoutLink(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize,
                                  std::string* why = nullptr);
// Replaces the file whole or not at all (see host_files::WriteAtomically); `why` takes the reason.
[[nodiscard]] bool WriteWholeFile(const std::string& gamePath, const std::uint8_t* data, std::size_t size,
                                  const host_files::WriteOptions& options = host_files::WriteOptions(),
                                  std::string* why = nullptr);
// Reads a file that vouches for code or is run as code (see host_files::ReadTrustedAt).
host_files::ETrust ReadTrustedFile(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize,
                                   host_files::FileTime* modified = nullptr, std::string* why = nullptr);
// Whether anyone but this user and root may replace what the folder of the file holds.
bool OthersMayWriteBeside(const std::string& gamePath, std::string* why = nullptr);
bool FileExists(const std::string& gamePath);
bool DeleteFile(const std::string& gamePath);            // a link at the name goes, not what it points to
// Removes this user's regular files that match the pattern (see FindFiles), such as the temporary
// files of a killed run ("data\save.dat.tmp.*"); another user's files and links stay.
void RemoveLeftovers(const std::string& pattern);
// Makes the folder and its parents (shared with the group as host_files::CreateFolders says).
bool CreateDirectory(const std::string& gamePath, std::string* why = nullptr);
bool GetLastWriteTime(const std::string& gamePath, std::int64_t& out);  // seconds since the epoch
bool GetModifiedTime(const std::string& gamePath, host_files::FileTime& out);  // a regular file's, exact
bool RenameFile(const std::string& fromGamePath, const std::string& toGamePath);  // replaces the target
bool RenameFileNoReplace(const std::string& fromGamePath, const std::string& toGamePath);  // false if it exists
bool CanCreateFiles(const std::string& folderGamePath, std::string* why = nullptr);  // see host_files
bool IsReadOnly(const std::string& gamePath);   // a regular file its owner may not write (a link is not)
bool SetWritable(const std::string& gamePath);  // this user's regular file, changed through the open file
// Names (not paths) of the files in the folder of `pattern` that match its last part, where
// "*" and "?" are wildcards compared without case, e.g. "gfx/effects/*.jp2". Sorted.
std::vector<std::string> FindFiles(const std::string& pattern);

// The per-user folder for runtime files such as the window's lock: one that only this user (and
// root) could have made, checked from the root of the file system down (each folder on the way
// root's or this user's and no one else's to change, the last one this user's alone). It is
// $XDG_RUNTIME_DIR, else the session's /run/user/<uid> (su, sudo and cron leave the variable out),
// else "<home>/.cache/palmora" (made where missing). Empty when none of them is such a folder,
// with the reasons in `why`.
std::string UserRuntimeFolder(std::string* why = nullptr);

}  // namespace fs_layer
