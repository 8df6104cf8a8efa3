// LevelFileName.cpp: level-named files that stay in their folder.
#include "table/LevelFileName.h"

#include "platform/EngineRef.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::size_t kMaxNameLength = 64;

bool IsSafeName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxNameLength || name.find("..") != std::string::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const unsigned char u = static_cast<unsigned char>(c);
        return c == '/' || c == '\\' || c == ':' || u < 0x20 || u == 0x7F;
    });
}
}  // namespace

bool MakeLevelFileName(const char* pattern, const std::string& levelName, std::string& out)
{
    out.clear();
    const char* at = pattern != nullptr ? std::strstr(pattern, "%s") : nullptr;
    if (at == nullptr || !IsSafeName(levelName)) {
        CEngineRef engine;
        engine.Log("[E] Level name {%s} cannot name a file", levelName.c_str());
        return false;
    }
    out.assign(pattern, at);
    out += levelName;
    out += at + 2;
    return true;
}
