// XScreenShot.h: the whole X screen as the display shows it (xwd's dump of the root window),
// for tests of real windows: what a window manager or the X server did is in the picture too.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "support/TempPath.h"

struct XScreenShot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;    // 0xRRGGBB, rows from the top

    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};

namespace xscreen_detail {

inline std::uint32_t Big32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return static_cast<std::uint32_t>(b[at]) << 24 | static_cast<std::uint32_t>(b[at + 1]) << 16 |
           static_cast<std::uint32_t>(b[at + 2]) << 8 | b[at + 3];
}

inline int MaskShift(std::uint32_t mask)
{
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace xscreen_detail

// Reads an XWD dump of a true-colour ZPixmap with 3 or 4 bytes per pixel (what xwd writes for a
// 24-bit Xvfb screen; it may call 4-byte pixels 24 bits). False for anything else.
inline bool ParseXwd(const std::vector<std::uint8_t>& b, XScreenShot& shot)
{
    using xscreen_detail::Big32;
    if (b.size() < 100)
        return false;
    const std::uint32_t headerSize = Big32(b, 0), format = Big32(b, 8), width = Big32(b, 16), height = Big32(b, 20);
    const std::uint32_t byteOrder = Big32(b, 28), bitsPerPixel = Big32(b, 44), bytesPerLine = Big32(b, 48);
    const std::uint32_t red = Big32(b, 56), green = Big32(b, 60), blue = Big32(b, 64), colours = Big32(b, 76);
    const std::size_t start = static_cast<std::size_t>(headerSize) + 12u * colours;
    if (format != 2 || (bitsPerPixel != 24 && bitsPerPixel != 32) || width == 0 || height == 0 || width > 16384 ||
        height > 16384 || bytesPerLine < width * 3 || start > b.size() || (b.size() - start) / bytesPerLine < height)
        return false;
    const std::uint32_t stride = bytesPerLine >= width * 4 ? 4 : 3;
    if (bitsPerPixel == 32 && stride != 4)
        return false;
    shot.width = static_cast<int>(width);
    shot.height = static_cast<int>(height);
    shot.rgb.assign(static_cast<std::size_t>(width) * height, 0);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = start + static_cast<std::size_t>(y) * bytesPerLine + stride * x;
            std::uint32_t pixel = 0;
            for (std::uint32_t i = 0; i < stride; ++i)  // the pixel's bytes, lowest first or highest first
                pixel |= static_cast<std::uint32_t>(b[at + (byteOrder == 0 ? i : stride - 1 - i)]) << (8 * i);
            auto channel = [pixel](std::uint32_t mask) {
                return (pixel & mask) >> xscreen_detail::MaskShift(mask) & 0xFFu;
            };
            shot.rgb[static_cast<std::size_t>(y) * width + x] = channel(red) << 16 | channel(green) << 8 | channel(blue);
        }
    }
    return true;
}

// Dumps the root window of $DISPLAY with xwd (Debian's x11-apps).
inline bool GrabXScreen(XScreenShot& shot)
{
    const std::string path =
        UniqueTempPath(std::string("xscreen-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".xwd");
    const std::string command = "xwd -root -silent -out '" + path + "'";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "xwd could not dump the screen (is x11-apps installed?)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    const bool ok = ParseXwd(bytes, shot);
    EXPECT_TRUE(ok) << "unexpected xwd dump of " << bytes.size() << " bytes";
    return ok;
}
