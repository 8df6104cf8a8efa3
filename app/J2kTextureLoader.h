// J2kTextureLoader.h: engine textures from JPEG-2000 files, optionally with a GIF alpha mask.
#pragma once

#include "platform/Engine.h"

#include <string>

// "a/b.png" with "jp2" gives "a/b.jp2": drive, folder and name kept, extension replaced.
std::string ReplaceExtension(const char* file, const char* extension);

// Texture load modes 1 and 2 of the resource manager: decodes ReplaceExtension(file, "jp2") into
// a new texture; mode 2 takes texel (x, y)'s alpha from the grey level of ReplaceExtension(file,
// "gif") at (x, height - 1 - y), counted from the mask's bottom row. A failed decode logs
// "[I] Image {%s}, loaded with code {%s}" and returns 0.
HTexture LoadJ2kTexture(IEngine& engine, const char* file, int mode);
