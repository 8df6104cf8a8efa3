#include "ImageTestData.h"
#include "image/CPixColorSpace.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

PixQuad Rgb(int red, int green, int blue)
{
    PixQuad q;
    q.red = static_cast<std::uint8_t>(red);
    q.green = static_cast<std::uint8_t>(green);
    q.blue = static_cast<std::uint8_t>(blue);
    return q;
}

}  // namespace

TEST(ColorSpaces, ConversionsRoundTripWithinOneStepOverTheCube)
{
    struct Space {
        const char* name;
        PixQuad (*to)(PixQuad);
        PixQuad (*back)(PixQuad);
        int tolerance;
    };
    // The converters truncate both ways, so a round trip may lose two steps (YUV), three
    // (YIQ, where I and Q fit their byte), four (XYZ, its Z scaled into a byte) and, for
    // HSL, whose integer hue takes 42 steps per 60 degrees out of 255 for the circle, up to
    // twelve on saturated colours. Saturated YIQ colours whose I or Q leave the byte clamp.
    const Space spaces[] = {{"YUV", RgbToYuv, YuvToRgb, 2}, {"YIQ", RgbToYiq, YiqToRgb, 3},
                            {"XYZ", RgbToXyz, XyzToRgb, 4}, {"HSL", RgbToHsl, HslToRgb, 12}};
    for (const Space& s : spaces) {
        SCOPED_TRACE(s.name);
        int worst = 0;
        for (int r = 3; r < 256; r += 12) {
            for (int g = 5; g < 256; g += 12) {
                for (int b = 7; b < 256; b += 12) {
                    const PixQuad value = s.to(Rgb(r, g, b));
                    if (s.to == RgbToYiq && (value.green % 255 == 0 || value.blue % 255 == 0))
                        continue;
                    const PixQuad back = s.back(value);
                    worst = std::max({worst, std::abs(back.red - r), std::abs(back.green - g), std::abs(back.blue - b)});
                }
            }
        }
        EXPECT_LE(worst, s.tolerance);
    }
}

TEST(ColorSpaces, PublishedReferenceColours)
{
    // Grey, pure red and white as the formulas give them (hue 0..255, 255 = 360 degrees).
    EXPECT_EQ(RgbToHsl(Rgb(100, 100, 100)), Rgb(170, 0, 100));
    EXPECT_EQ(HslToRgb(Rgb(170, 0, 100)), Rgb(100, 100, 100));
    EXPECT_EQ(RgbToHsl(Rgb(255, 0, 0)), Rgb(0, 255, 128));
    EXPECT_EQ(RgbToHsl(Rgb(0, 255, 0)), Rgb(85, 255, 128));   // 120 degrees
    EXPECT_EQ(RgbToHsl(Rgb(0, 0, 255)), Rgb(170, 255, 128));  // 240 degrees
    EXPECT_NEAR(HslToRgb(Rgb(0, 255, 128)).red, 255, 1);
    EXPECT_EQ(RgbToYuv(Rgb(255, 255, 255)), Rgb(255, 128, 128));
    EXPECT_EQ(YuvToRgb(Rgb(255, 128, 128)), Rgb(255, 255, 255));
    EXPECT_EQ(RgbToYuv(Rgb(255, 0, 0)).red, 76);  // luma 0.299
    // sRGB primaries without gamma: D65 white is X 0.9505, Y 1, Z 1.089 (Z scaled to a byte).
    const PixQuad white = RgbToXyz(Rgb(255, 255, 255));
    EXPECT_NEAR(white.red, 242, 1);
    EXPECT_NEAR(white.green, 255, 1);
    EXPECT_NEAR(white.blue, 255, 1);
    EXPECT_EQ(RgbToYiq(Rgb(0, 0, 0)), Rgb(0, 128, 128));
    EXPECT_EQ(HslRefToRgb(0x7F00AA), HslToRgb(Rgb(0xAA, 0, 0x7F)));
}

TEST(ImageChannels, SplitsGiveGreyImagesAndCombineRebuildsThePicture)
{
    CPixImage image = PatternedImage(7, 5, 24);
    EXPECT_FALSE(image.SplitRgb(nullptr, nullptr, nullptr));
    CPixImage green(kPixTypeUnknown);
    ASSERT_TRUE(image.SplitRgb(nullptr, &green, nullptr));
    EXPECT_TRUE(green.IsGreyPalette());
    EXPECT_EQ(green.PixelIndex(3, 4), image.PixelColor(3, 4, false).green);

    CPixImage c(kPixTypeUnknown), m(kPixTypeUnknown), y(kPixTypeUnknown), k(kPixTypeUnknown);
    ASSERT_TRUE(image.SplitCmyk(&c, &m, &y, &k));
    EXPECT_EQ(c.PixelIndex(2, 1), 255 - image.PixelColor(2, 1, false).red);
    EXPECT_EQ(k.PixelIndex(2, 1), image.GreyLevelAt(2, 1));

    for (std::int32_t space : {kSpaceRgb, kSpaceHsl, kSpaceYuv, kSpaceYiq, kSpaceXyz}) {
        SCOPED_TRACE("space " + std::to_string(space));
        CPixImage a(kPixTypeUnknown), b(kPixTypeUnknown), d(kPixTypeUnknown), alpha(kPixTypeUnknown);
        bool split = false;
        switch (space) {
        case kSpaceHsl: split = image.SplitHsl(&a, &b, &d); break;
        case kSpaceYuv: split = image.SplitYuv(&a, &b, &d); break;
        case kSpaceYiq: split = image.SplitYiq(&a, &b, &d); break;
        case kSpaceXyz: split = image.SplitXyz(&a, &b, &d); break;
        default: split = image.SplitRgb(&a, &b, &d); break;
        }
        ASSERT_TRUE(split);
        ASSERT_TRUE(image.AlphaToImage(&alpha));
        CPixImage rebuilt(kPixTypeUnknown);
        ASSERT_TRUE(rebuilt.CombineChannels(&a, &b, &d, &alpha, space));
        for (int py = 0; py < 5; ++py) {
            for (int px = 0; px < 7; ++px) {
                const PixQuad want = image.PixelColor(px, py, false), got = rebuilt.PixelColor(px, py, false);
                EXPECT_NEAR(got.red, want.red, 4);
                EXPECT_NEAR(got.blue, want.blue, 4);
                EXPECT_EQ(rebuilt.AlphaAt(px, py), image.AlphaAt(px, py));
            }
        }
    }
    // A channel of another size is resized (nearest pixel) to the first's size.
    CPixImage r(kPixTypeUnknown), g(kPixTypeUnknown), b(kPixTypeUnknown);
    ASSERT_TRUE(image.SplitRgb(&r, &g, &b));
    ASSERT_TRUE(g.Resize(3, 2, 1));
    CPixImage rebuilt(kPixTypeUnknown);
    ASSERT_TRUE(rebuilt.CombineChannels(&r, &g, &b, nullptr, kSpaceRgb));
    EXPECT_EQ(g.Width(), 7);
    EXPECT_FALSE(rebuilt.CombineChannels(&rebuilt, &g, &b, nullptr, kSpaceRgb));
}

TEST(ImageChannels, TintInvertHuePaletteAndSmoothing)
{
    CPixImage image = PatternedImage(6, 4, 24, false);
    const CPixImage before(image);
    ASSERT_TRUE(image.Tint(0, 255, -1));  // blend 0: true colour unchanged
    EXPECT_EQ(TopDownRgba(image), TopDownRgba(before));
    CPixImage full(before), twice(before);
    ASSERT_TRUE(full.Tint(0, 255, 1));
    ASSERT_TRUE(twice.Tint(0, 255, 2));  // limited to a full tint
    EXPECT_EQ(TopDownRgba(full), TopDownRgba(twice));
    EXPECT_EQ(RgbToHsl(full.PixelColor(5, 3, false)).red, 0);  // red hue everywhere

    for (int bpp : {8, 24}) {
        CPixImage inverted = PatternedImage(6, 4, bpp, false);
        const CPixImage original(inverted);
        ASSERT_TRUE(inverted.InvertColors());
        EXPECT_EQ(inverted.PixelColor(2, 2, false).red, 255 - original.PixelColor(2, 2, false).red);
        ASSERT_TRUE(inverted.InvertColors());
        EXPECT_EQ(TopDownRgba(inverted), TopDownRgba(original));
    }
    CPixImage grey(4, 1, 8, kPixTypeUnknown);
    grey.SetGreyPalette();
    grey.SetPixelIndex(1, 0, 10);
    ASSERT_TRUE(grey.InvertColors());
    EXPECT_EQ(grey.PixelIndex(1, 0), 245);  // the ramp stays, the indexes turn
    EXPECT_TRUE(grey.IsGreyPalette());

    CPixImage rainbow(2, 2, 4, kPixTypeUnknown);
    rainbow.SetHuePalette(1);
    EXPECT_EQ(rainbow.PaletteEntry(0), HslToRgb(Rgb(0, 240, 120)));
    EXPECT_EQ(rainbow.PaletteEntry(15), HslToRgb(Rgb(255, 240, 120)));

    // Smoothing flattens a lone bright pixel and leaves a flat picture alone.
    CPixImage spot(5, 5, 24, kPixTypeUnknown);
    spot.FillBits(100);
    spot.SetPixelColor(2, 2, Rgb(200, 200, 200));
    ASSERT_TRUE(spot.SmoothByCurvature(0.2f, 3, kSpaceRgb));
    EXPECT_LT(spot.PixelColor(2, 2, false).red, 200);
    EXPECT_EQ(spot.PixelColor(0, 0, false).red, 100);
}
