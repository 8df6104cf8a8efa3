#include "ImageTestData.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 8 x 4 grey levels (x * 29 + y * 41 + 13) % 256 in an 8-bit grey-ramp image.
CPixImage GreyRamp()
{
    CPixImage image(8, 4, 8, kPixTypeUnknown);
    image.SetGreyPalette();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            image.SetPixelIndex(x, y, static_cast<std::uint8_t>((x * 29 + y * 41 + 13) % 256));
    return image;
}

std::vector<std::string> BitRows(const CPixImage& image)
{
    std::vector<std::string> rows;
    for (int y = image.Height() - 1; y >= 0; --y) {
        std::string row;
        for (int x = 0; x < image.Width(); ++x)
            row += image.PixelIndex(x, y) != 0 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

}  // namespace

TEST(ImageDither, EveryMethodOnAGreyRampGivesTheWorkedOutPattern)
{
    // Worked out from the rules by a separate program: grey below 129 is black, the error
    // spreads with each method's weights (truncated toward zero); methods 1 and 7 compare
    // against their 4 x 4 tables. Rows from the top.
    struct Case {
        int method;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {0, {"#.###...", ".#.###..", ".#.##.#.", "...#.###"}}, {2, {"#.###...", ".#####..", "..##.##.", "....####"}},
        {3, {"##.##...", ".#####..", "..##.##.", "....####"}}, {4, {"#####...", ".##.##..", "..#####.", "....####"}},
        {5, {"#####...", ".##.##..", "..#####.", "....####"}}, {6, {"#####...", "..####..", "..#####.", "....####"}},
        {1, {".#.#....", "#.####..", ".#.#.#..", "..#.####"}}, {7, {".####..#", "#.#.##..", ".#.####.", "#.#.#.#."}},
        {9, {"#.###...", ".#.###..", ".#.##.#.", "...#.###"}},  // unknown methods are Floyd-Steinberg
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("method " + std::to_string(c.method));
        CPixImage image = GreyRamp();
        ASSERT_TRUE(image.DitherToMonochrome(c.method));
        EXPECT_EQ(image.Bpp(), 1);
        EXPECT_EQ(image.PaletteEntry(0), (PixQuad{0, 0, 0, 0}));
        EXPECT_EQ(image.PaletteEntry(1), (PixQuad{255, 255, 255, 0}));
        EXPECT_EQ(BitRows(image), c.rows);
    }
    CPixImage mono(3, 3, 1, kPixTypeUnknown);
    mono.SetPixelIndex(1, 1, 1);
    ASSERT_TRUE(mono.DitherToMonochrome(4));
    EXPECT_EQ(mono.PixelIndex(1, 1), 1);
}

TEST(ImageDither, ThresholdAndEscape)
{
    CPixImage image(2, 1, 24, kPixTypeUnknown);
    image.MakeAlphaPlane();
    image.SetPixelColor(0, 0, PixQuad{128, 128, 128, 0});
    image.SetPixelColor(1, 0, PixQuad{129, 129, 129, 0});
    image.SetXDpi(300);
    ASSERT_TRUE(image.ToMonochrome(128));
    EXPECT_EQ(image.PixelIndex(0, 0), 0);
    EXPECT_EQ(image.PixelIndex(1, 0), 1);
    EXPECT_FALSE(image.HasAlpha());  // a fresh image: no alpha, default resolution
    EXPECT_EQ(image.XDpi(), 96);

    // An escape before the call still hands over the new, unfilled picture.
    CPixImage stopped(4, 4, 24, kPixTypeUnknown);
    stopped.FillBits(255);
    stopped.SetEscape(1);
    ASSERT_TRUE(stopped.DitherToMonochrome(0));
    EXPECT_EQ(stopped.Bpp(), 1);
    EXPECT_EQ(stopped.PixelIndex(2, 2), 0);
}

TEST(ImageDepth, GreyScaleFromEveryDepth)
{
    CPixImage rgb(2, 1, 24, kPixTypeUnknown);
    rgb.SetPixelColor(0, 0, PixQuad{10, 200, 90, 0});
    ASSERT_TRUE(rgb.ToGreyScale());
    EXPECT_EQ(rgb.Bpp(), 8);
    EXPECT_TRUE(rgb.IsGreyPalette());
    EXPECT_EQ(rgb.PixelIndex(0, 0), (10 * 117 + 200 * 601 + 90 * 306) >> 10);

    CPixImage pal(3, 1, 8, kPixTypeUnknown);
    pal.SetPaletteEntry(5, 255, 0, 0);
    pal.SetPaletteEntry(6, 0, 0, 255);
    pal.SetPixelIndex(0, 0, 5);
    pal.SetPixelIndex(1, 0, 6);
    pal.SetTransparentIndex(6);
    ASSERT_TRUE(pal.ToGreyScale());
    EXPECT_TRUE(pal.IsGreyPalette());
    EXPECT_EQ(pal.PixelIndex(0, 0), 76);   // red: 255 x 306 >> 10
    EXPECT_EQ(pal.PixelIndex(1, 0), 29);   // blue: 255 x 117 >> 10
    EXPECT_EQ(pal.TransparentIndex(), 29);  // follows its colour

    CPixImage four(3, 1, 4, kPixTypeUnknown);
    four.SetPaletteEntry(3, 0, 255, 0);
    four.SetPixelIndex(2, 0, 3);
    ASSERT_TRUE(four.ToGreyScale());
    EXPECT_EQ(four.Bpp(), 8);
    EXPECT_EQ(four.PixelIndex(2, 0), 149);  // green: 255 x 601 >> 10
}

TEST(ImageDepth, RaisingTheDepthKeepsColoursAndTurnsPaletteAlphaIntoAPlane)
{
    CPixImage eight(2, 2, 8, kPixTypeUnknown);
    EXPECT_TRUE(eight.IncreaseBitDepth(8));
    EXPECT_FALSE(CPixImage(2, 2, 24, kPixTypeUnknown).IncreaseBitDepth(8));
    EXPECT_FALSE(eight.IncreaseBitDepth(16));

    CPixImage mono(5, 2, 1, kPixTypeUnknown);
    mono.SetPaletteEntry(1, 200, 100, 50);
    mono.SetPixelIndex(3, 1, 1);
    CPixImage four(mono);
    ASSERT_TRUE(four.IncreaseBitDepth(4));
    EXPECT_EQ(four.Bpp(), 4);
    EXPECT_EQ(TopDownRgba(four), TopDownRgba(mono));

    eight.SetPaletteEntry(1, 10, 20, 30, 77);
    eight.SetPixelIndex(1, 0, 1);
    eight.SetTransparentIndex(1);
    ASSERT_TRUE(eight.IncreaseBitDepth(24));
    EXPECT_EQ(eight.Bpp(), 24);
    ASSERT_TRUE(eight.HasAlpha());
    EXPECT_EQ(eight.AlphaAt(1, 0), 77);
    EXPECT_EQ(eight.AlphaAt(0, 0), 0);
    EXPECT_EQ(eight.PixelColor(1, 0, false), (PixQuad{30, 20, 10, 0}));
    EXPECT_EQ(eight.TransparentColor(), (PixQuad{30, 20, 10, 0}));
}

TEST(ImageDepth, LoweringTheDepth)
{
    CPixImage eight(4, 4, 8, kPixTypeUnknown);
    EXPECT_TRUE(eight.DecreaseBitDepth(8, false, nullptr, 0));  // nothing to do
    EXPECT_EQ(eight.ImportantColors(), 0u);
    ASSERT_TRUE(eight.DecreaseBitDepth(8, false, nullptr, 16));
    EXPECT_EQ(eight.ImportantColors(), 16u);
    EXPECT_EQ(eight.PaletteEntry(215), (PixQuad{255, 255, 255, 0}));  // the standard palette
    EXPECT_FALSE(eight.DecreaseBitDepth(24, false, nullptr, 0));

    // Two greys of 100: without diffusion both are black; with it, the first pixel's error
    // (100 x 7 / 16 = 43) lifts the second to 143, nearer white.
    for (bool diffuse : {false, true}) {
        SCOPED_TRACE(diffuse);
        CPixImage pair(2, 1, 24, kPixTypeUnknown);
        pair.SetPixelColor(0, 0, PixQuad{100, 100, 100, 0});
        pair.SetPixelColor(1, 0, PixQuad{100, 100, 100, 0});
        ASSERT_TRUE(pair.DecreaseBitDepth(1, diffuse, nullptr, 0));
        EXPECT_EQ(pair.Bpp(), 1);
        EXPECT_EQ(pair.PaletteEntry(1), (PixQuad{255, 255, 255, 0}));
        EXPECT_EQ(pair.PixelIndex(0, 0), 0);
        EXPECT_EQ(pair.PixelIndex(1, 0), diffuse ? 1 : 0);
    }
    // A given palette is used as it is.
    const PixQuad two[2] = {PixQuad{0, 0, 255, 0}, PixQuad{255, 0, 0, 0}};
    CPixImage colours(2, 1, 24, kPixTypeUnknown);
    colours.SetPixelColor(1, 0, PixQuad{250, 10, 10, 0});
    ASSERT_TRUE(colours.DecreaseBitDepth(1, false, two, 0));
    EXPECT_EQ(colours.PaletteEntry(0), two[0]);
    EXPECT_EQ(colours.PixelIndex(1, 0), 1);
    EXPECT_EQ(colours.PixelIndex(0, 0), 0);
}
