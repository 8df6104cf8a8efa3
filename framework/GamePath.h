// GamePath.h: splits a game path ("gfx\\a.png", "DATA/FONTS/f.fnt") into its parts, as the game's
// file names are built from them (byte-code cache, font pages, image variants).
#pragma once

#include <string>

struct GamePathParts {
    std::string drive;  // "C:" or empty
    std::string dir;    // up to and including the last "/" or "\", or empty
    std::string name;   // file name without its extension
    std::string ext;    // from the last "." of the file name on, or empty
};

GamePathParts SplitGamePath(const std::string& path);
