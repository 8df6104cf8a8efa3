// ImageCodec.h: decoding image files to 32-bit ARGB pixels and writing PNG files.
// PNG, JPEG and the other formats SDL_image knows by their magic bytes; anything else is tried
// as TGA, which has no magic (the game writes TGA files under ".png" names).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace image_codec {

// Largest side accepted, so a hostile header cannot ask for gigabytes.
constexpr int kMaxImageSide = 16384;

bool Decode(const std::uint8_t* data, std::size_t size, int& width, int& height,
            std::vector<std::uint32_t>& argb);
// Rows top to bottom, `width` pixels apart. The picture is encoded whole in memory and written as
// host_files::WriteOutputFile does: a file at the name is replaced only by a complete one, a link
// there is refused, and every write is checked; `why` takes the reason of a failure.
bool EncodePng(int width, int height, const std::uint32_t* argb, std::vector<std::uint8_t>& png);
bool WritePng(const std::string& hostPath, int width, int height, const std::uint32_t* argb,
              std::string* why = nullptr);

}  // namespace image_codec
