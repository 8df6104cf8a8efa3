#include "image/CPixImage.h"
#include "image/CPixColorSpace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// 16 x 4 grey-ramp picture (8 bits, grey palette) with levels low + x * step.
CPixImage Ramp(int low, int step)
{
    CPixImage image(16, 4, 8, kPixTypeUnknown);
    image.SetGreyPalette();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 16; ++x)
            image.SetPixelIndex(x, y, static_cast<std::uint8_t>(low + x * step));
    return image;
}

// The same ramp as true colour, so the luminance path runs.
CPixImage ColourRamp(int low, int step)
{
    CPixImage image = Ramp(low, step);
    EXPECT_TRUE(image.IncreaseBitDepth(24));
    return image;
}

}  // namespace

TEST(ImageHistogram, CountsBySelectedPixelsAndReturnsTheLargest)
{
    CPixImage red(10, 10, 24, kPixTypeUnknown);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            red.SetPixelColor(x, y, PixQuad{0, 0, 255, 0});
    std::int32_t r[256], g[256], b[256], grey[256];
    EXPECT_EQ(red.Histogram(r, g, b, grey), 100);
    EXPECT_EQ(r[255], 100);
    EXPECT_EQ(g[0], 100);
    EXPECT_EQ(b[0], 100);
    EXPECT_EQ(grey[(255 * 306) >> 10], 100);
    EXPECT_EQ(red.Histogram(nullptr, nullptr, nullptr, nullptr), 0);
    ASSERT_TRUE(red.SelectRect(0, 0, 3, 2));
    EXPECT_EQ(red.Histogram(r, nullptr, nullptr, nullptr), 6);
    EXPECT_EQ(CPixImage(kPixTypeUnknown).Histogram(r, g, b, grey), 0);
}

TEST(ImageHistogram, StretchesOnAGreyRampFollowTheirFormulas)
{
    CPixImage grey = Ramp(40, 10);  // 40 .. 190
    ASSERT_TRUE(grey.StretchLevels(0));
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(grey.PixelIndex(x, 0), x * 10 * 255 / 150) << x;
    CPixImage full = Ramp(0, 17);  // already 0 .. 255
    const CPixImage before(full);
    ASSERT_TRUE(full.StretchLevels(3));
    EXPECT_EQ(full.PixelIndex(7, 2), before.PixelIndex(7, 2));

    CPixImage linked = ColourRamp(40, 10);
    ASSERT_TRUE(linked.StretchLevels(1));
    EXPECT_EQ(linked.PixelColor(15, 0, false).red, 255);
    EXPECT_EQ(linked.PixelColor(0, 0, false).green, 0);
    EXPECT_EQ(linked.PixelColor(3, 0, false).blue, 30 * 255 / 150);

    CPixImage luminance = ColourRamp(40, 10);
    ASSERT_TRUE(luminance.StretchLevels(0));
    EXPECT_LE(luminance.PixelColor(0, 0, false).red, 1);
    EXPECT_GE(luminance.PixelColor(15, 0, false).red, 253);
    CPixImage uniform = ColourRamp(90, 0);
    EXPECT_FALSE(uniform.StretchLevels(0));
}

TEST(ImageHistogram, EqualiseNormaliseLogAndRoot)
{
    // Sixteen levels used by 4 pixels each: the running count up to and with level x is
    // 4 (x + 1) of 64, so x goes to (x + 1) x 255 / 16.
    CPixImage even = ColourRamp(40, 10);
    ASSERT_TRUE(even.EqualizeLevels());
    for (int x = 0; x < 16; ++x)
        EXPECT_NEAR(even.PixelColor(x, 0, false).red, (x + 1) * 255 / 16, 2) << x;
    CPixImage black(4, 4, 24, kPixTypeUnknown);
    EXPECT_FALSE(black.EqualizeLevels());

    // 1 % of 64 pixels is 0: low and high are the first and last levels used; high maps
    // to 254, and only levels above high would reach 255.
    CPixImage normal = ColourRamp(40, 10);
    ASSERT_TRUE(normal.NormalizeLevels());
    EXPECT_LE(normal.PixelColor(0, 0, false).red, 1);
    EXPECT_NEAR(normal.PixelColor(15, 0, false).red, 254, 1);
    EXPECT_NEAR(normal.PixelColor(5, 0, false).red, 50 * 254 / 150, 2);

    CPixImage logged = ColourRamp(0, 10);  // 0 .. 150
    ASSERT_TRUE(logged.LogLevels());
    EXPECT_EQ(logged.PixelColor(0, 0, false).red, 0);
    EXPECT_GE(logged.PixelColor(15, 0, false).red, 250);
    const double k = 255.0 / std::log(151.0);
    EXPECT_NEAR(logged.PixelColor(4, 0, false).red, std::log(41.0) * k, 2);

    CPixImage rooted = ColourRamp(0, 10);
    ASSERT_TRUE(rooted.RootLevels());
    const double kr = 128.0 / std::log(151.0);
    EXPECT_NEAR(rooted.PixelColor(9, 0, false).red, kr * std::sqrt(90.0), 2);

    // Indexed pictures change their palette, not their pixels.
    CPixImage palette(4, 1, 8, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < 256; ++i)
        palette.SetPaletteEntry(i, static_cast<std::uint8_t>(i / 2), static_cast<std::uint8_t>(i / 2), static_cast<std::uint8_t>(i / 2), 9);
    palette.SetPixelIndex(1, 0, 200);
    ASSERT_TRUE(palette.LogLevels());
    EXPECT_EQ(palette.PixelIndex(1, 0), 200);
    EXPECT_EQ(palette.PaletteEntry(200).reserved, 0);
    EXPECT_GT(palette.PaletteEntry(200).red, 100);
}

TEST(ImageHistogram, LuminanceRemapMatchesTheColourConvertersOnEveryColour)
{
    // Each pixel of a true-colour picture goes through RgbToYuv, Y -> map[Y], YuvToRgb: the
    // whole-picture pass must give those bytes for every colour. A width of 4 n + 3 also runs
    // the pixels left after the last group of four.
    constexpr int kWidth = 4099, kHeight = (1 << 24) / kWidth + 1;
    auto colourOf = [](int x, int y) {
        const std::uint32_t n = (static_cast<std::uint32_t>(y) * kWidth + static_cast<std::uint32_t>(x)) & 0xFFFFFF;
        return PixQuad{static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n >> 16), 0};
    };
    CPixImage image(kWidth, kHeight, 24, kPixTypeUnknown);
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = image.RowPointer(y);
        for (int x = 0; x < kWidth; ++x) {
            const PixQuad c = colourOf(x, y);
            row[3 * x] = c.blue;
            row[3 * x + 1] = c.green;
            row[3 * x + 2] = c.red;
        }
    }
    ASSERT_TRUE(image.LogLevels());  // white is in the picture: the curve's top is level 255
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(std::min(255.0, std::log(i + 1.0) * (255.0 / std::log(256.0))));
    int mismatches = 0;
    for (int y = 0; y < kHeight; ++y) {
        const std::uint8_t* row = image.RowPointer(y);
        for (int x = 0; x < kWidth; ++x) {
            const PixQuad c = colourOf(x, y);
            PixQuad yuv = RgbToYuv(c);
            yuv.red = map[yuv.red];
            const PixQuad want = YuvToRgb(yuv);
            if (row[3 * x] == want.blue && row[3 * x + 1] == want.green && row[3 * x + 2] == want.red)
                continue;
            if (++mismatches <= 3)
                ADD_FAILURE() << "colour " << int(c.red) << "," << int(c.green) << "," << int(c.blue) << " gives " << int(row[3 * x + 2])
                              << "," << int(row[3 * x + 1]) << "," << int(row[3 * x]) << ", not " << int(want.red) << ","
                              << int(want.green) << "," << int(want.blue);
        }
    }
    EXPECT_EQ(mismatches, 0);
}
