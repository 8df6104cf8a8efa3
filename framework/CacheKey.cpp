#include "framework/CacheKey.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace cache_key {

const char* const kPath = "data\\cache.key";
const char* const kAsidePath = "data\\cache.key.bad";

std::optional<SipKey> Read()
{
    std::vector<std::uint8_t> bytes;
    SipKey key{};
    if (!fs_layer::ReadWholeFile(kPath, bytes, key.size() + 1) || bytes.size() != key.size())
        return std::nullopt;
    std::copy(bytes.begin(), bytes.end(), key.begin());
    return key;
}

// Two runs may make a key at once: each writes its own file and only the first rename takes, so
// both go on with the same key. Whatever else holds the name (a short, empty or unreadable file,
// a folder) is no key: it is replaced once, so that later starts read the key made here instead
// of failing on it again. A folder is moved aside whole, as nothing in it is ours to delete.
std::optional<SipKey> ReadOrMake()
{
    if (std::optional<SipKey> key = Read())
        return key;
    std::random_device random;
    SipKey made{};
    for (std::uint8_t& b : made)
        b = static_cast<std::uint8_t>(random());
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%02x%02x%02x%02x", made[0], made[1], made[2], made[3]);
    const std::string temporary = std::string(kPath) + suffix;
    host_files::WriteOptions options;
    options.mode = 0600;
    options.createFolders = true;
    if (!fs_layer::WriteWholeFile(temporary, made.data(), made.size(), options))
        return std::nullopt;
    if (fs_layer::RenameFileNoReplace(temporary, kPath))
        return Read();
    if (std::optional<SipKey> key = Read()) {  // another run's, made a moment ago
        fs_layer::DeleteFile(temporary);
        return key;
    }
    const bool replaced = fs_layer::RenameFile(temporary, kPath) ||
                          (fs_layer::RenameFile(kPath, kAsidePath) && fs_layer::RenameFileNoReplace(temporary, kPath));
    if (!replaced)
        fs_layer::DeleteFile(temporary);
    return Read();
}

}  // namespace cache_key
