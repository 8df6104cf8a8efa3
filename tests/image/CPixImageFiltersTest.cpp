#include "ImageTestData.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

// An 8-bit grey-ramp picture from rows of levels given top row first.
CPixImage Grey(const std::vector<std::vector<int>>& rows)
{
    const int h = static_cast<int>(rows.size()), w = static_cast<int>(rows[0].size());
    CPixImage image(w, h, 8, kPixTypeUnknown);
    image.SetGreyPalette();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.SetPixelIndex(x, h - 1 - y, static_cast<std::uint8_t>(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]));
    return image;
}

std::vector<std::vector<int>> Levels(const CPixImage& image)
{
    std::vector<std::vector<int>> rows;
    for (int y = image.Height() - 1; y >= 0; --y) {
        rows.emplace_back();
        for (int x = 0; x < image.Width(); ++x)
            rows.back().push_back(image.IsIndexed() ? image.PixelIndex(x, y) : image.PixelColor(x, y, false).red);
    }
    return rows;
}

CPixImage Colour(const std::vector<std::vector<int>>& rows)
{
    const CPixImage grey = Grey(rows);
    CPixImage image(grey);
    EXPECT_TRUE(image.IncreaseBitDepth(24));
    return image;
}

PixQuad Quad(int blue, int green, int red, int alpha = 0)
{
    return PixQuad{static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(red),
                   static_cast<std::uint8_t>(alpha)};
}

}  // namespace

TEST(ImageFilters, NeighbourhoodFiltersOnSmallHandComputedPictures)
{
    const std::vector<std::vector<int>> rows = {{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 100, 110, 120}, {0, 0, 0, 9}};
    // 3 x 3 box blur on a grey picture: only whole windows count, so the first and last rows
    // and columns keep their levels and the four middle pixels take their window's mean.
    CPixImage blur = Grey(rows);
    const int ones[9] = {1, 1, 1, 1, 1, 1, 1, 1, 1};
    ASSERT_TRUE(blur.Convolve(ones, 3, 9, 0));
    EXPECT_EQ(Levels(blur), (std::vector<std::vector<int>>{{10, 20, 30, 40}, {50, 60, 70, 80}, {90, 53, 61, 120}, {0, 0, 0, 9}}));
    // The same blur on colours reaches the edges, reading outside as pixel (0, 0).
    CPixImage colour = Colour(rows);
    ASSERT_TRUE(colour.Convolve(ones, 3, 9, 0));
    EXPECT_EQ(Levels(colour)[1][1], 60);
    EXPECT_EQ(Levels(colour)[0][0], (0 * 5 + 10 + 20 + 50 + 60) / 9);
    // Offset and divisor 0 (the plain sum).
    CPixImage edge = Colour({{0, 0, 0}, {0, 10, 0}, {0, 0, 0}});
    const int laplace[9] = {0, -1, 0, -1, 4, -1, 0, -1, 0};
    ASSERT_TRUE(edge.Convolve(laplace, 3, 0, 5));
    EXPECT_EQ(Levels(edge), (std::vector<std::vector<int>>{{5, 0, 5}, {0, 45, 0}, {5, 0, 5}}));

    // Median of the 3 x 3 window by grey level; erosion and dilation take minimum and maximum.
    CPixImage median = Colour(rows);
    ASSERT_TRUE(median.MiddleRankFilter(3));
    EXPECT_EQ(Levels(median)[1][1], 60);   // 10 20 30 50 60 70 90 100 110
    EXPECT_EQ(Levels(median)[2][2], 70);   // 50 60 70 80 90 100 110 120 0 0 9 -> with 0s below
    CPixImage eroded = Colour(rows), dilated = Colour(rows);
    ASSERT_TRUE(eroded.ErodeFilter(3));
    ASSERT_TRUE(dilated.DilateFilter(3));
    EXPECT_EQ(Levels(eroded)[1][1], 10);
    EXPECT_EQ(Levels(dilated)[1][1], 110);
    EXPECT_EQ(Levels(eroded)[2][1], 0);
    // A window of one pixel changes nothing; sizes out of range are refused.
    for (auto filter : {&CPixImage::ErodeFilter, &CPixImage::DilateFilter, &CPixImage::MiddleRankFilter}) {
        CPixImage same = Colour(rows);
        ASSERT_TRUE((same.*filter)(1));
        EXPECT_EQ(Levels(same), rows);
        EXPECT_FALSE((same.*filter)(0));
        EXPECT_FALSE((same.*filter)(100000));
    }
    EXPECT_FALSE(colour.Convolve(nullptr, 3, 1, 0));
    EXPECT_FALSE(colour.Convolve(ones, -3, 1, 0));
    // The edge filter: 255 - (max - min) over the window.
    CPixImage edges = Colour(rows);
    ASSERT_TRUE(edges.EdgeFilter(3));
    EXPECT_EQ(Levels(edges)[1][1], 255 - (110 - 10));
}

TEST(ImageFilters, ToneTablesAndChannelShifts)
{
    const std::vector<std::vector<int>> rows = {{0, 64, 128, 255}};
    CPixImage image = Colour(rows);
    ASSERT_TRUE(image.BrightnessContrast(0, 0));
    EXPECT_EQ(Levels(image), rows);
    ASSERT_TRUE(image.GammaCorrect(1));
    for (int x = 0; x < 4; ++x)
        EXPECT_NEAR(Levels(image)[0][static_cast<std::size_t>(x)], rows[0][static_cast<std::size_t>(x)], 1);
    EXPECT_EQ(Levels(image)[0][3], 255);
    ASSERT_TRUE(image.BrightnessContrast(10, 100));  // (i - 128) x 2 + 138
    EXPECT_EQ(Levels(image), (std::vector<std::vector<int>>{{0, 10, 138, 255}}));
    EXPECT_FALSE(image.GammaCorrect(0));
    EXPECT_FALSE(image.ApplyLut(nullptr));

    CPixImage shifted = Colour(rows);
    ASSERT_TRUE(shifted.ShiftChannels(300, 0, -300));
    EXPECT_EQ(shifted.PixelColor(1, 0, false), Quad(0, 64, 255));
    CPixImage eye(1, 1, 24, kPixTypeUnknown);
    eye.SetPixelColor(0, 0, Quad(40, 90, 250));
    ASSERT_TRUE(eye.RemoveRedEye());
    EXPECT_EQ(eye.PixelColor(0, 0, false), Quad(40, 90, 40));

    // A grey-ramp picture with a selection maps only the selected indexes.
    CPixImage grey = Grey({{1, 2, 3}});
    ASSERT_TRUE(grey.SelectRect(1, 0, 3, 1));
    std::uint8_t invert[256];
    for (int i = 0; i < 256; ++i)
        invert[i] = static_cast<std::uint8_t>(255 - i);
    ASSERT_TRUE(grey.ApplyLut(invert));
    EXPECT_EQ(Levels(grey), (std::vector<std::vector<int>>{{1, 253, 252}}));

    CPixImage flat(6, 6, 8, kPixTypeUnknown);
    flat.SetGreyPalette();
    flat.FillBits(77);
    EXPECT_FLOAT_EQ(flat.MeanGreyLevel(), 77);
    CPixImage noisy = Colour({{100, 100, 100, 100}});
    ASSERT_TRUE(noisy.AddNoise(0));
    EXPECT_EQ(Levels(noisy)[0][2], 100);
}

TEST(ImageFilters, UnsharpMaskSteepensAStepEdge)
{
    std::vector<std::vector<int>> rows(3, std::vector<int>(16, 50));
    for (auto& row : rows)
        for (std::size_t x = 8; x < 16; ++x)
            row[x] = 200;
    CPixImage image = Colour(rows);
    ASSERT_TRUE(image.UnsharpMask(1, 1, 0));
    const std::vector<int> row = Levels(image)[1];
    EXPECT_EQ(row[0], 50);     // far from the edge the blur equals the picture
    EXPECT_EQ(row[15], 200);
    EXPECT_LT(row[7], 50);     // the dark side darkens, the bright side brightens
    EXPECT_GT(row[8], 200);
    EXPECT_LE(row[6], 50);
    CPixImage kept = Colour(rows);
    ASSERT_TRUE(kept.UnsharpMask(1, 1, 400));  // every difference under the threshold
    EXPECT_EQ(Levels(kept), rows);
    EXPECT_FALSE(kept.UnsharpMask(1e9f, 1, 0));
    CPixImage indexed(4, 4, 4, kPixTypeUnknown);
    EXPECT_FALSE(indexed.UnsharpMask(1, 1, 0));
}

TEST(ImageFilters, MixOperationsPasteAndJitter)
{
    struct Case {
        int op;
        PixQuad mine, theirs, result;
    };
    const PixQuad t = Quad(1, 2, 3);
    const Case cases[] = {
        {0, Quad(200, 10, 0), Quad(100, 20, 7), Quad(255, 30, 7)},
        {1, Quad(0xF0, 0x0F, 0xFF), Quad(0x3C, 0x3C, 0x3C), Quad(0x30, 0x0C, 0x3C)},
        {2, Quad(0xF0, 0x0F, 0xFF), Quad(0x3C, 0x3C, 0x3C), Quad(0xCC, 0x33, 0xC3)},
        {3, Quad(0xF0, 0x0F, 0x00), Quad(0x3C, 0x3C, 0x3C), Quad(0xFC, 0x3F, 0x3C)},
        {4, Quad(9, 9, 9), Quad(0, 0, 0), t},
        {5, t, Quad(7, 7, 7), Quad(7, 7, 7)},
        {5, Quad(9, 9, 9), Quad(7, 7, 7), Quad(9, 9, 9)},
        {6, Quad(9, 9, 9), t, Quad(9, 9, 9)},
        {6, Quad(9, 9, 9), Quad(7, 7, 7), Quad(7, 7, 7)},
        {7, Quad(10, 50, 0), Quad(20, 5, 0), Quad(0, 45, 0)},
        {8, Quad(1, 2, 6), Quad(160, 0, 0), Quad(1 * 1 / 16 + 160 * 15 / 16, 2 * 1 / 16 + 150, 6 * 1 / 16 + 150)},  // d = 1
        {9, Quad(0, 0, 0), Quad(200, 100, 50), Quad(200, 100, 50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("op " + std::to_string(c.op));
        CPixImage mine(1, 1, 24, kPixTypeUnknown), theirs(1, 1, 24, kPixTypeUnknown);
        mine.SetTransparentColor(t);
        mine.SetPixelColor(0, 0, c.mine);
        theirs.SetPixelColor(0, 0, c.theirs);
        mine.MixImage(theirs, c.op, 0, 0, false);
        EXPECT_EQ(mine.PixelColor(0, 0, false), c.result);
    }
    // Blending by the source's alpha, with the alpha mixed too.
    CPixImage back(1, 1, 24, kPixTypeUnknown), front(1, 1, 24, kPixTypeUnknown);
    back.SetPixelColor(0, 0, Quad(0, 0, 0));
    front.SetPixelColor(0, 0, Quad(200, 200, 200));
    front.MakeAlphaPlane();
    front.SetAlphaAt(0, 0, 128);
    back.MixImage(front, 9, 0, 0, true);
    EXPECT_EQ(back.PixelColor(0, 0, false).red, 200 * 128 >> 8);
    EXPECT_EQ(back.AlphaAt(0, 0), (256 * 128) >> 8);

    // Pasting skips the source's transparent colour and whatever falls outside.
    CPixImage canvas(3, 1, 24, kPixTypeUnknown), stamp(2, 1, 24, kPixTypeUnknown);
    stamp.SetPixelColor(0, 0, Quad(5, 5, 5));
    stamp.SetTransparentColor(Quad(0, 0, 0));
    stamp.SetTransparentIndex(0);
    canvas.PasteOpaque(stamp, 2, 0);
    EXPECT_EQ(canvas.PixelColor(2, 0, false), Quad(5, 5, 5));
    canvas.PasteOpaque(stamp, 0, 0);
    EXPECT_EQ(canvas.PixelColor(1, 0, false), Quad(0, 0, 0));

    // Jitter only moves pixels within its radius: a radius of 0 changes nothing.
    CPixImage still = PatternedImage(5, 5, 24);
    const CPixImage before(still);
    ASSERT_TRUE(still.JitterFilter(0));
    EXPECT_EQ(TopDownRgba(still), TopDownRgba(before));
    ASSERT_TRUE(still.ContourFilter());
}

TEST(ImageFourier, ForwardThenInverseGivesThePictureBack)
{
    // 128 + 64 cos(pi x / 2) + 32 cos(pi y): three spectral lines, each stored exactly.
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < 8; ++y) {
        rows.emplace_back();
        for (int x = 0; x < 8; ++x)
            rows.back().push_back(128 + (x % 4 == 0 ? 64 : x % 4 == 2 ? -64 : 0) + (y % 2 == 0 ? 32 : -32));
    }
    CPixImage re = Grey(rows), im(kPixTypeUnknown), spectrumRe(kPixTypeUnknown), spectrumIm(kPixTypeUnknown);
    ASSERT_TRUE(CPixImage::FourierTransform(&re, nullptr, &spectrumRe, &spectrumIm, 1, false, false));
    EXPECT_EQ(spectrumRe.PixelIndex(0, 0), 128);             // no constant part beyond 128
    EXPECT_EQ(spectrumRe.PixelIndex(2, 0), 128 + 32 / 2);   // 64 / 2 per line, times 0.5
    EXPECT_EQ(spectrumIm.PixelIndex(2, 0), 128);
    CPixImage backRe(kPixTypeUnknown), backIm(kPixTypeUnknown);
    ASSERT_TRUE(CPixImage::FourierTransform(&spectrumRe, &spectrumIm, &backRe, &backIm, -1, false, false));
    const std::vector<std::vector<int>> back = Levels(backRe);
    for (std::size_t y = 0; y < 8; ++y)
        for (std::size_t x = 0; x < 8; ++x)
            EXPECT_NEAR(back[y][x], rows[y][x], 1) << x << "," << y;
    // Other sizes take the direct transform; a constant picture has only the constant part.
    CPixImage flat(6, 5, 8, kPixTypeUnknown);
    flat.SetGreyPalette();
    flat.FillBits(160);
    CPixImage outRe(kPixTypeUnknown);
    ASSERT_TRUE(CPixImage::FourierTransform(&flat, nullptr, &outRe, nullptr, 1, false, false));
    EXPECT_GT(outRe.PixelIndex(0, 0), 128);
    EXPECT_NEAR(outRe.PixelIndex(1, 0), 128, 1);
    EXPECT_NEAR(outRe.PixelIndex(3, 2), 128, 1);
    EXPECT_FALSE(CPixImage::FourierTransform(nullptr, nullptr, &outRe, nullptr, 1, false, false));
    CPixImage forced(kPixTypeUnknown);
    ASSERT_TRUE(CPixImage::FourierTransform(&flat, nullptr, &forced, nullptr, 1, true, true));
    EXPECT_EQ(forced.Width(), 8);
    EXPECT_EQ(forced.Height(), 8);
}
