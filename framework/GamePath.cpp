#include "framework/GamePath.h"

GamePathParts SplitGamePath(const std::string& path)
{
    GamePathParts parts;
    std::string rest = path;
    if (rest.size() >= 2 && rest[1] == ':') {
        parts.drive = rest.substr(0, 2);
        rest.erase(0, 2);
    }
    const std::size_t slash = rest.find_last_of("/\\");
    if (slash != std::string::npos) {
        parts.dir = rest.substr(0, slash + 1);
        rest.erase(0, slash + 1);
    }
    const std::size_t dot = rest.find_last_of('.');
    if (dot != std::string::npos) {
        parts.ext = rest.substr(dot);
        rest.erase(dot);
    }
    parts.name = rest;
    return parts;
}
