#include "ImageTestData.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CPixImage Uniform(int width, int height, PixQuad colour)
{
    CPixImage image(width, height, 24, kPixTypeUnknown);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelColor(x, y, colour);
    return image;
}

void ExpectUniform(const CPixImage& image, PixQuad colour, int tolerance)
{
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const PixQuad c = image.PixelColor(x, y, false);
            ASSERT_NEAR(c.red, colour.red, tolerance) << x << "," << y;
            ASSERT_NEAR(c.green, colour.green, tolerance) << x << "," << y;
            ASSERT_NEAR(c.blue, colour.blue, tolerance) << x << "," << y;
        }
    }
}

void ExpectPillow(const CPixImage& source, const std::string& operation, const CPixImage& ours, int tolerance = 0)
{
    const int agrees = PillowAgrees(source, operation, ours, tolerance);
    if (agrees >= 0) {
        EXPECT_EQ(agrees, 0) << operation;
    }
}

}  // namespace

TEST(ImageResize, NearestEnlargementAndCropsMatchPillow)
{
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE(std::to_string(bpp) + " bits");
        const CPixImage source = PatternedImage(13, 7, bpp);
        for (int factor : {2, 3}) {
            CPixImage big(kPixTypeUnknown);
            ASSERT_TRUE(CPixImage(source).Resize(13 * factor, 7 * factor, 1, &big));
            ExpectPillow(source, "im.resize((" + std::to_string(13 * factor) + ", " + std::to_string(7 * factor) + "), Image.Resampling.NEAREST)", big);
        }
        const int rects[][4] = {{0, 0, 13, 7}, {2, 1, 9, 6}, {5, 0, 6, 7}, {12, 6, 13, 7}, {-4, -2, 30, 3}};
        for (const auto& r : rects) {
            CPixImage crop(kPixTypeUnknown);
            ASSERT_TRUE(CPixImage(source).CropRect(r[0], r[1], r[2], r[3], &crop));
            const std::string box = std::to_string(std::max(r[0], 0)) + ", " + std::to_string(std::max(r[1], 0)) + ", " +
                                    std::to_string(std::min(r[2], 13)) + ", " + std::to_string(std::min(r[3], 7));
            ExpectPillow(source, "im.crop((" + box + "))", crop);
        }
    }
}

TEST(ImageResize, InterpolatedResizeMatchesPillowWhereBothSampleTheSamePoints)
{
    const CPixImage source = PatternedImage(13, 7, 24, false);
    // Nearest at pixel centres, shrinking without averaging and enlarging (no sample point
    // falls on a pixel edge at these sizes).
    for (const auto& size : {std::pair<int, int>{5, 3}, std::pair<int, int>{29, 16}}) {
        CPixImage out(kPixTypeUnknown);
        ASSERT_TRUE(CPixImage(source).ResizeInterpolated(size.first, size.second, kInterpNearest, kOverflowRepeat, &out, true));
        ExpectPillow(source, "im.resize((" + std::to_string(size.first) + ", " + std::to_string(size.second) + "), Image.Resampling.NEAREST)", out);
    }
    // Bilinear enlargement: Pillow works in fixed point, so one level of rounding may differ.
    CPixImage big(kPixTypeUnknown);
    ASSERT_TRUE(CPixImage(source).ResizeInterpolated(29, 16, kInterpBilinear, kOverflowRepeat, &big));
    ExpectPillow(source, "im.resize((29, 16), Image.Resampling.BILINEAR)", big, 1);
}

TEST(ImageResize, ResizeModesByHand)
{
    CPixImage image = PatternedImage(6, 4, 24);
    CPixImage copy(kPixTypeUnknown);
    ASSERT_TRUE(image.Resize(6, 4, 0, &copy));  // the same size: a copy
    EXPECT_EQ(TopDownRgba(copy), TopDownRgba(image));
    EXPECT_FALSE(image.Resize(0, 10, 0));
    EXPECT_FALSE(image.ResizeInterpolated(3, 0, kInterpBilinear, kOverflowRepeat));

    // Bilinear enlargement of 0 | 100: the last source column repeats.
    CPixImage pair(2, 1, 24, kPixTypeUnknown);
    pair.SetPixelColor(1, 0, PixQuad{100, 100, 100, 0});
    ASSERT_TRUE(pair.Resize(4, 1, 0));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(pair.PixelColor(x, 0, false).red, (std::vector<int>{0, 50, 100, 100})[x]) << x;

    // The area shrink averages whole 2 x 2 blocks exactly.
    CPixImage blocks(4, 2, 24, kPixTypeUnknown);
    const int levels[2][4] = {{10, 30, 200, 100}, {50, 70, 0, 20}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            blocks.SetPixelColor(x, y, PixQuad{0, 0, static_cast<std::uint8_t>(levels[y][x]), 0});
    ASSERT_TRUE(blocks.Resize(2, 1, 0));
    EXPECT_NEAR(blocks.PixelColor(0, 0, false).red, 40, 1);
    EXPECT_NEAR(blocks.PixelColor(1, 0, false).red, 80, 1);

    // Alpha is resized by nearest pixel; the selection is dropped.
    CPixImage withAlpha = PatternedImage(6, 4, 24);
    ASSERT_TRUE(withAlpha.SelectRect(0, 0, 2, 2));
    ASSERT_TRUE(withAlpha.Resize(12, 8, 2));
    EXPECT_EQ(withAlpha.AlphaAt(11, 7), 5 * 5 + 3);
    EXPECT_FALSE(withAlpha.HasSelection());
}

TEST(ImageResize, EveryMethodKeepsAUniformPictureUniformAtAwkwardRatios)
{
    // Odd ratios let the running positions drift by a rounding: no write may leave the
    // picture (ASan watches) and no pixel may pick up a wrong colour.
    const PixQuad colour{37, 140, 201, 0};
    const int sizes[][4] = {{101, 67, 7, 5}, {1000, 3, 3, 2}, {3, 1000, 2, 7}, {97, 89, 96, 88}, {7, 5, 1, 1},
                            {64, 48, 21, 17}, {10, 10, 3, 3}, {5, 9, 11, 2}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(std::to_string(s[0]) + "x" + std::to_string(s[1]) + " to " + std::to_string(s[2]) + "x" + std::to_string(s[3]));
        for (int mode : {0, 1, 2}) {
            CPixImage image = Uniform(s[0], s[1], colour);
            ASSERT_TRUE(image.Resize(s[2], s[3], mode));
            ASSERT_EQ(image.Width(), s[2]);
            ExpectUniform(image, colour, 1);
        }
        for (int method : {1, 2, 3, 5, 6, 15}) {
            CPixImage image = Uniform(s[0], s[1], colour);
            ASSERT_TRUE(image.ResizeInterpolated(s[2], s[3], static_cast<InterpolationMode>(method), kOverflowRepeat));
            ExpectUniform(image, colour, 1);
        }
        if (s[2] <= s[0] && s[3] <= s[1]) {
            CPixImage image = Uniform(s[0], s[1], colour);
            ASSERT_TRUE(image.QIShrink(s[2], s[3]));
            ExpectUniform(image, colour, 0);
        }
    }
}

TEST(ImageResize, QuickShrinkAveragesEqualBlocks)
{
    CPixImage image(4, 4, 24, kPixTypeUnknown);
    image.MakeAlphaPlane();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            image.SetPixelColor(x, y, PixQuad{0, 0, static_cast<std::uint8_t>(x * 40 + y * 4), 0});
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(x * 10));
        }
    }
    CPixImage half(kPixTypeUnknown);
    ASSERT_TRUE(image.QIShrink(2, 2, &half));
    EXPECT_EQ(half.PixelColor(0, 0, false).red, 22);   // columns 0 and 1, rows 0 and 1
    EXPECT_EQ(half.PixelColor(1, 1, false).red, 110);  // columns 2 and 3, rows 2 and 3
    EXPECT_EQ(half.AlphaAt(1, 0), 25);
    CPixImage one(kPixTypeUnknown);
    ASSERT_TRUE(image.QIShrink(1, 1, &one));
    EXPECT_EQ(one.PixelColor(0, 0, false).red, 66);  // the mean of the whole picture
    EXPECT_FALSE(image.QIShrink(5, 4));
    EXPECT_STREQ(image.LastError(), "QIShrink can't enlarge image");
}

TEST(ImageCanvas, CropsBordersAndThumbnails)
{
    CPixImage image = PatternedImage(5, 4, 24);
    CPixImage whole(kPixTypeUnknown);
    ASSERT_TRUE(image.CropRect(0, 0, 5, 4, &whole));
    EXPECT_EQ(TopDownRgba(whole), TopDownRgba(image));
    EXPECT_FALSE(image.CropRect(2, 0, 2, 4));
    EXPECT_FALSE(image.CropRect(9, 0, 12, 4));  // clamped to nothing

    // A tiny angle is a plain crop; a crop leaving the picture fails.
    CPixImage rotated(kPixTypeUnknown), plain(kPixTypeUnknown);
    ASSERT_TRUE(image.CropRotated(1, 1, 3, 2, 0.0001f, &rotated));
    ASSERT_TRUE(image.CropRect(1, 1, 4, 3, &plain));
    EXPECT_EQ(TopDownRgba(rotated), TopDownRgba(plain));
    EXPECT_FALSE(image.CropRotated(3, 1, 9, 2, 0.3f, &rotated));

    const PixQuad canvas{1, 2, 3, 0};
    CPixImage wider(kPixTypeUnknown);
    ASSERT_TRUE(image.ExpandTo(8, 4, canvas, &wider));  // one column left, two right
    EXPECT_EQ(wider.PixelColor(0, 0, false), canvas);
    EXPECT_EQ(wider.PixelColor(1, 0, false), image.PixelColor(0, 0, false));
    EXPECT_EQ(wider.PixelColor(5, 3, false), image.PixelColor(4, 3, false));
    EXPECT_EQ(wider.PixelColor(6, 0, false), canvas);
    EXPECT_FALSE(wider.HasAlpha());
    EXPECT_FALSE(image.ExpandTo(4, 4, canvas));
    EXPECT_FALSE(image.ExpandBorders(-1, 0, 0, 0, canvas));

    // Indexed pictures take the nearest palette entry for the canvas.
    CPixImage indexed = PatternedImage(3, 2, 4, false);
    ASSERT_TRUE(indexed.ExpandBorders(1, 2, 0, 1, indexed.PaletteEntry(9)));
    EXPECT_EQ(indexed.Width(), 4);
    EXPECT_EQ(indexed.Height(), 5);
    EXPECT_EQ(indexed.PixelIndex(0, 0), 9);
    EXPECT_EQ(indexed.PixelIndex(1, 1), 0);   // source (0, 0) lands at column 1, row 1
    EXPECT_EQ(indexed.PixelIndex(3, 2), 13);  // source (2, 1)

    // 40 x 20 fits 10 x 10 as 10 x 5, centred on the canvas.
    CPixImage thumb = Uniform(40, 20, PixQuad{50, 60, 70, 0});
    ASSERT_TRUE(thumb.FitThumbnail(10, 10, canvas));
    EXPECT_EQ(thumb.Width(), 10);
    EXPECT_EQ(thumb.Height(), 10);
    EXPECT_EQ(thumb.PixelColor(5, 1, false), canvas);
    EXPECT_EQ(thumb.PixelColor(5, 3, false), (PixQuad{50, 60, 70, 0}));
    EXPECT_EQ(thumb.PixelColor(5, 8, false), canvas);
    CPixImage thin = Uniform(500, 1, PixQuad{5, 5, 5, 0});
    ASSERT_TRUE(thin.FitThumbnail(8, 8, canvas));  // keeps one row instead of failing on zero
    EXPECT_EQ(thin.PixelColor(0, 4, false), (PixQuad{5, 5, 5, 0}));
}
