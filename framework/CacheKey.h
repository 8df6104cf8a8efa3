// CacheKey.h: the secret of a data folder that tags what the game caches for itself.
//
// The byte-code cache is run as code, and the script library's loader trusts what it reads (it
// asserts, or worse, on made-up byte code). So a cache is loaded only when its tag was made with
// this key: a cache the game did not write here (copied in, damaged or made up) is compiled
// again from its script instead. The key is 16 random bytes in "data\cache.key", made on first use.
#pragma once

#include "platform/bytes/SipHash.h"

#include <optional>

namespace cache_key {

extern const char* const kPath;

std::optional<SipKey> Read();        // nullopt when there is none or it is not a whole key
std::optional<SipKey> ReadOrMake();  // nullopt when none can be made (a folder that cannot be written)

}  // namespace cache_key
