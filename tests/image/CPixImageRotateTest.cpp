#include "ImageTestData.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Pixel (x, y) holds index first + x + width * y; outside reads give the transparent index 0.
CPixImage Numbered(int width, int height, int first)
{
    CPixImage image(width, height, 8, kPixTypeUnknown);
    image.SetTransparentIndex(0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.SetPixelIndex(x, y, static_cast<std::uint8_t>(first + x + width * y));
    return image;
}

// Indexes, top row first.
std::vector<std::vector<int>> IndexRows(const CPixImage& image)
{
    std::vector<std::vector<int>> rows;
    for (int y = image.Height() - 1; y >= 0; --y) {
        rows.emplace_back();
        for (int x = 0; x < image.Width(); ++x)
            rows.back().push_back(image.PixelIndex(x, y));
    }
    return rows;
}

}  // namespace

TEST(ImageTurns, QuarterAndHalfTurnsAndFlipsMatchPillowTranspose)
{
    struct Case {
        const char* pillow;
        bool (*turn)(CPixImage&);
        bool quarter = false;
    };
    const Case cases[] = {
        {"im.transpose(Image.Transpose.ROTATE_90)", [](CPixImage& i) { return i.RotateQuarterLeft(); }, true},
        {"im.transpose(Image.Transpose.ROTATE_270)", [](CPixImage& i) { return i.RotateQuarterRight(); }, true},
        {"im.transpose(Image.Transpose.ROTATE_180)", [](CPixImage& i) { return i.RotateHalfTurn(); }},
        {"im.transpose(Image.Transpose.FLIP_TOP_BOTTOM)", [](CPixImage& i) { return i.FlipVertical(); }},
        {"im.transpose(Image.Transpose.FLIP_LEFT_RIGHT)", [](CPixImage& i) { return i.MirrorHorizontal(); }},
    };
    // 70 x 67 crosses the 64-pixel bands and the 8-pixel blocks of the quarter turns, with
    // padded rows; 72 x 64 has no row padding either way, so a pixel moved as 4 bytes past the
    // last row or column would show (and ASan would see it leave the buffer). 1 and 4 bits take
    // the index paths.
    const int sizes[][2] = {{70, 67}, {72, 64}};
    for (int bpp : {1, 4, 8, 24})
    for (const auto& size : sizes) {
        const CPixImage source = PatternedImage(size[0], size[1], bpp);
        for (const Case& c : cases) {
            if (&size != &sizes[0] && (!c.quarter || bpp < 8))
                continue;
            SCOPED_TRACE(std::to_string(size[0]) + " x " + std::to_string(size[1]) + ", " + std::to_string(bpp) + " bits: " + c.pillow);
            CPixImage turned(source);
            ASSERT_TRUE(c.turn(turned));
            // Rows are written pixel by pixel: the padding after them must still be zeros.
            const std::size_t used = (static_cast<std::size_t>(turned.Width()) * static_cast<std::size_t>(bpp) + 7) / 8;
            for (int y = 0; y < turned.Height(); ++y)
                for (std::size_t i = used; i < turned.RowBytes(); ++i)
                    ASSERT_EQ(turned.RowPointer(y)[i], 0) << "row " << y;
            const int agrees = PillowAgrees(source, c.pillow, turned);
            if (agrees < 0)
                GTEST_SKIP() << "no Python with Pillow";
            EXPECT_EQ(agrees, 0);
        }
    }
}

TEST(ImageTurns, TurnsIntoADestinationLeaveTheSourceAlone)
{
    const CPixImage source = PatternedImage(3, 2, 8, false);
    CPixImage copy(source);
    CPixImage left(kPixTypeUnknown);
    ASSERT_TRUE(copy.RotateQuarterLeft(&left));
    EXPECT_EQ(left.Width(), 2);
    EXPECT_EQ(left.Height(), 3);
    EXPECT_EQ(left.PixelIndex(0, 0), source.PixelIndex(0, 1));
    EXPECT_EQ(TopDownRgba(copy), TopDownRgba(source));
    CPixImage empty(kPixTypeUnknown);
    EXPECT_FALSE(empty.RotateHalfTurn());
    EXPECT_FALSE(empty.RotateNearest(10));
}

TEST(ImageRotation, NearestRotationByHandComputedAngles)
{
    CPixImage image = Numbered(3, 2, 10);
    CPixImage straight(kPixTypeUnknown);
    ASSERT_TRUE(image.RotateNearest(0, &straight));
    // Two wider and higher, every column and row shifted by the -0.5 rounding.
    EXPECT_EQ(IndexRows(straight), (std::vector<std::vector<int>>{{0, 0, 0, 0, 0},
                                                                  {13, 13, 14, 15, 0},
                                                                  {10, 10, 11, 12, 0},
                                                                  {10, 10, 11, 12, 0}}));
    ASSERT_TRUE(image.RotateNearest(45));
    EXPECT_EQ(IndexRows(image), (std::vector<std::vector<int>>{{0, 0, 0, 0},
                                                               {0, 10, 13, 0},
                                                               {10, 10, 10, 14},
                                                               {0, 10, 11, 12},
                                                               {0, 0, 12, 0},
                                                               {0, 0, 0, 0}}));
}

TEST(ImageRotation, InterpolatedRotation)
{
    const CPixImage source = PatternedImage(9, 6, 24);
    CPixImage quarter(source), viaAngle(source);
    ASSERT_TRUE(quarter.RotateQuarterRight());
    ASSERT_TRUE(viaAngle.RotateInterpolated(90, nullptr, kInterpBicubic, kOverflowColor, nullptr, true, false));
    EXPECT_EQ(TopDownRgba(viaAngle), TopDownRgba(quarter));

    // 45 degrees of a uniform picture: the middle keeps the colour, the corners get the
    // replacement, and the size is the rotated bounding box.
    CPixImage grey(8, 8, 24, kPixTypeUnknown);
    grey.FillBits(90);
    const PixQuad red{0, 0, 255, 0};
    ASSERT_TRUE(grey.RotateInterpolated(45, nullptr, kInterpBilinear, kOverflowColor, &red, true, false));
    EXPECT_EQ(grey.Width(), 11);  // floor(8 x sqrt 2 + 0.5)
    EXPECT_EQ(grey.Height(), 11);
    EXPECT_EQ(grey.PixelColor(5, 5, false), (PixQuad{90, 90, 90, 0}));
    EXPECT_EQ(grey.PixelColor(0, 0, false), red);
    EXPECT_EQ(grey.PixelColor(10, 10, false), red);

    // Keeping the size: a half turn about the centre equals the exact half turn.
    CPixImage kept(source), half(source);
    ASSERT_TRUE(kept.RotateInterpolated(180, nullptr, kInterpNearest, kOverflowRepeat, nullptr, false, true));
    ASSERT_TRUE(half.RotateHalfTurn());
    EXPECT_EQ(kept.Width(), 9);
    EXPECT_EQ(TopDownRgba(kept), TopDownRgba(half));
}

TEST(ImageRemapping, ShearAndRadialDistortion)
{
    const CPixImage image = Numbered(4, 3, 1);
    CPixImage sheared(image);
    ASSERT_TRUE(sheared.Shear(1, 0, 0, 0, false));  // row y reads x + y
    EXPECT_EQ(IndexRows(sheared), (std::vector<std::vector<int>>{{11, 12, 0, 0}, {6, 7, 8, 0}, {1, 2, 3, 4}}));
    // Only the selection moves.
    CPixImage part(image);
    ASSERT_TRUE(part.SelectRect(0, 2, 2, 3));
    ASSERT_TRUE(part.Shear(1, 0, 0, 0, false));
    EXPECT_EQ(IndexRows(part), (std::vector<std::vector<int>>{{11, 12, 11, 12}, {5, 6, 7, 8}, {1, 2, 3, 4}}));

    CPixImage still(PatternedImage(6, 5, 24));
    const CPixImage before(still);
    ASSERT_TRUE(still.Shear(0, 0, 3, 3, true));
    EXPECT_EQ(TopDownRgba(still), TopDownRgba(before));

    // Kind 0 pulls each point from r^2 / radius: the middle stays; beyond the radius the
    // source is (-1, -1), an outside read.
    CPixImage lens(image);
    ASSERT_TRUE(lens.RadialDistort(0, 2, 0));
    EXPECT_EQ(lens.PixelIndex(2, 1), image.PixelIndex(2, 1));
    EXPECT_EQ(lens.PixelIndex(0, 0), 0);
    EXPECT_EQ(lens.PixelIndex(0, 2), 0);
    EXPECT_EQ(lens.PixelIndex(1, 1), image.PixelIndex(2, 1));  // r = 1: r^2 / 2 = 0.5 truncates to the middle
}
