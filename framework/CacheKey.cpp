#include "framework/CacheKey.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <random>
#include <vector>

namespace cache_key {

const char* const kPath = "data\\cache.key";
const char* const kAsidePath = "data\\cache.key.bad";

// A key that someone else could have written proves nothing: whoever holds it could tag byte
// code of their own making. So only a key of this user's (or the system's) in a folder no one
// else may write counts.
std::optional<SipKey> Read()
{
    std::vector<std::uint8_t> bytes;
    SipKey key{};
    if (fs_layer::ReadTrustedFile(kPath, bytes, key.size() + 1) != host_files::ETrust::kTrusted ||
        bytes.size() != key.size())
        return std::nullopt;
    std::copy(bytes.begin(), bytes.end(), key.begin());
    return key;
}

void RemoveLeftovers()
{
    for (const char* pattern : {".tmp.*", ".*.tmp.*", ".\?\?\?\?\?\?\?\?"})
        fs_layer::RemoveLeftovers(std::string(kPath) + pattern);
}

// Two runs may make a key at once: each writes its own file and only the first takes the name,
// so both go on with the same key. Whatever else holds the name (a short, empty, unreadable or
// foreign file, a link, a folder) is no key: it is replaced once, so that later starts read the
// key made here instead of failing on it again. A folder is moved aside whole, as nothing in it
// is ours to delete. No key is made where others may write the folder: it would not count.
std::optional<SipKey> ReadOrMake(bool* replacedLink)
{
    if (std::optional<SipKey> key = Read())
        return key;
    if (fs_layer::OthersMayWriteBeside(kPath))
        return std::nullopt;
    std::random_device random;
    SipKey made{};
    for (std::uint8_t& b : made)
        b = static_cast<std::uint8_t>(random());
    host_files::WriteOptions options;
    options.mode = 0600;
    options.createFolders = true;
    options.replace = false;
    if (fs_layer::WriteWholeFile(kPath, made.data(), made.size(), options))
        return Read();
    if (std::optional<SipKey> key = Read())  // another run's, made a moment ago
        return key;
    options.replace = true;
    options.replacedLink = replacedLink;
    if (!fs_layer::WriteWholeFile(kPath, made.data(), made.size(), options) && fs_layer::RenameFile(kPath, kAsidePath)) {
        options.replace = false;
        (void)fs_layer::WriteWholeFile(kPath, made.data(), made.size(), options);
    }
    return Read();
}

}  // namespace cache_key
