// StoreFile.h: file handling shared by the player stores ("save.dat", "hiscores.dat").
//
// A save never destroys the previous file: the bytes go to a temporary file that then replaces
// the old one in one rename. A file that fails its checks is moved aside, not overwritten, so a
// player can still recover it by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace store_file {

enum class ReadResult { Missing, Damaged, Ok };

// Damaged when the file exists but cannot be read whole or is larger than maxSize.
ReadResult Read(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize);

// Writes through "<path>.tmp" and a rename; logs "[E] Can't save file %s" on failure.
bool Write(const std::string& gamePath, const std::vector<std::uint8_t>& bytes);

// Renames the file to "<path>.bad" (replacing an older one) and logs
// "[W] File %s is damaged, kept as %s; defaults used".
void KeepAside(const std::string& gamePath);
// The same for a file of another format version, logging
// "[W] File %s has version %u, kept as %s".
void KeepAsideOtherVersion(const std::string& gamePath, std::uint32_t version);

// Game path of "<folder>\<name>" as both stores build it: "data\save.dat".
std::string DataPath(const std::string& name);

}  // namespace store_file
