// StoreFile.h: file handling shared by the player stores ("save.dat", "hiscores.dat").
//
// A save never destroys the previous file: the bytes go to a temporary file that then replaces
// the old one in one rename. A failed save is reported to the player (StoreNotices.h) and the
// store keeps its data in memory for the next try. A file that fails its checks is moved aside,
// not overwritten, as "<file>.bad.<n>" with a number above every earlier one, so a player can
// still recover it by hand; the newest ten are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace store_file {

enum class ReadResult { Missing, Damaged, Ok };

constexpr int kKeptAsideFiles = 10;

// Damaged when the file exists but cannot be read whole or is larger than maxSize. Missing also
// for a name the game does not take as the player's (a link, a hard link others may have made):
// that one is told (StoreNotices.h) and left as it is.
ReadResult Read(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize);

// Replaces the file whole; on failure logs "[E] Can't save file %s (%s)" with the reason and
// queues a notice for the player (once until a save of the file succeeds again). False, and
// nothing written, for a file left as it is in this run.
bool Write(const std::string& gamePath, const std::vector<std::uint8_t>& bytes);

// Moves the file aside and logs "[W] File %s is damaged, kept as %s; defaults used".
void KeepAside(const std::string& gamePath);
// The same for a file of another format version, logging
// "[W] File %s has version %u, kept as %s".
void KeepAsideOtherVersion(const std::string& gamePath, std::uint32_t version);

// Game path of "<folder>\<name>" as both stores build it: "data\save.dat".
std::string DataPath(const std::string& name);

// At start: makes the data folder when it is missing and tries a file in it. A folder that cannot
// be written is logged, said on stderr and queued for the player; the game then plays from memory.
bool CheckDataFolder();

}  // namespace store_file
