// CacheKey.h: the secret of a data folder that tags what the game caches for itself.
//
// The byte-code cache is run as code, and the script library's loader trusts what it reads (it
// asserts, or worse, on made-up byte code). So a cache is loaded as it stands only when its tag
// was made with this key: a cache the game did not write here (copied in, damaged or made up) is
// compiled again from its script instead, or, with no script beside it (a data set that ships
// its byte code), tried in a child process first. The key is 16 random bytes in "data\cache.key",
// made on first use in each data folder (a data set ships none), and it counts only as a file of
// this user's or root's in a folder no one else may write (see host_files::ReadTrustedAt).
#pragma once

#include "platform/bytes/SipHash.h"

#include <optional>

namespace cache_key {

extern const char* const kPath;
extern const char* const kAsidePath;  // where a folder in the key's place is moved

std::optional<SipKey> Read();        // nullopt when there is none or it is not a whole key
// Removes this user's temporary files that a run killed while it made a key left (see
// fs_layer::RemoveLeftovers); the data folder's lock keeps other runs out.
void RemoveLeftovers();
// Nullopt when none can be made (a folder that cannot be written, or that others may write);
// replaces what holds the name without being a key (`replacedLink` as in host_files::WriteOptions).
std::optional<SipKey> ReadOrMake(bool* replacedLink = nullptr);

}  // namespace cache_key
