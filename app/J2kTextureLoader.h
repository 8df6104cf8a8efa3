// J2kTextureLoader.h: engine textures from JPEG-2000 files, optionally with a GIF alpha mask.
#pragma once

#include "platform/Engine.h"

#include <cstdint>
#include <string>
#include <vector>

class CPixImage;

// The resource manager's loader for texture modes 1 and 2 (installed at start-up with
// CFResource::SetJp2TextureLoader): decodes `jp2File` into a new texture. With a non-empty
// `gifFile`, texel (x, y)'s alpha is the grey level of the mask at (x, height - 1 - y), counted
// from the mask's bottom row; otherwise the decoded alpha is kept. Both files are read through the
// file layer, as all game data is. Returns 0 and the decoder's error text in `error` on failure
// (the caller logs it).
HTexture LoadJ2kTexture(IEngine& engine, const char* jp2File, const char* gifFile, std::string& error);

// An alpha mask's grey levels, from a GIF's bytes or, failing that, from any picture format's.
bool DecodeAlphaMask(CPixImage& mask, const std::vector<std::uint8_t>& bytes);
