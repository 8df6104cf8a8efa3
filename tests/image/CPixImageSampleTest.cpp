#include "image/CPixImage.h"
#include "image/CPixKernels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// 4 x 4, 24 bits: red = 10 x + 20, green = 10 y + 20, blue 7; optionally an alpha plane.
CPixImage Ramp(bool alpha = false)
{
    CPixImage image(4, 4, 24, kPixTypeUnknown);
    if (alpha)
        image.MakeAlphaPlane();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            image.SetPixelColor(x, y, PixQuad{7, static_cast<std::uint8_t>(10 * y + 20), static_cast<std::uint8_t>(10 * x + 20), 0});
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(40 * x + 60));
        }
    }
    return image;
}

PixQuad Quad(int blue, int green, int red, int alpha)
{
    return PixQuad{static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(red),
                   static_cast<std::uint8_t>(alpha)};
}

}  // namespace

TEST(ImageSampler, EveryMethodBetweenFourPixelsOfARamp)
{
    // At (1.5, 1.5) every tap of a 4 x 4 kernel lies inside and pairs up around the point, so a
    // symmetric kernel whose weights add up to S per axis gives 35 x S x S; the sums are worked
    // out from the weight table (box and nearest are not symmetric there).
    struct Case {
        int method;
        float expected;
    };
    const Case cases[] = {{1, 40},   {2, 35},   {3, 35},   {4, 35},      {5, 35},   {7, 30},   {8, 35},  {9, 40.824f},
                          {10, 25.2f}, {11, 64.7f}, {12, 31.3f}, {13, 34.0f}, {14, 35},  {15, 35},  {16, 35}, {99, 35}};
    const CPixImage image = Ramp();
    for (const Case& c : cases) {
        SCOPED_TRACE("method " + std::to_string(c.method));
        const PixQuad q = image.SampleAt(1.5f, 1.5f, static_cast<InterpolationMode>(c.method), kOverflowRepeat);
        EXPECT_NEAR(q.red, c.expected, 1.0);
        EXPECT_NEAR(q.green, c.expected, 1.0);
        EXPECT_EQ(q.reserved, 0);  // no alpha plane
    }
}

TEST(ImageSampler, InterpolatingMethodsReturnThePixelAtWholeCoordinates)
{
    const CPixImage image = Ramp(true);
    for (int method : {1, 2, 4, 5, 6, 7, 8, 10, 16}) {
        SCOPED_TRACE("method " + std::to_string(method));
        const PixQuad q = image.SampleAt(2.0f, 3.0f, static_cast<InterpolationMode>(method), kOverflowRepeat);
        EXPECT_NEAR(q.red, 40, 1);
        EXPECT_NEAR(q.green, 50, 1);
        EXPECT_NEAR(q.reserved, 140, 1);
    }
    // The bilinear fast path is exact there, alpha included.
    EXPECT_EQ(image.SampleAt(2.0f, 3.0f, kInterpBilinear, kOverflowColor), Quad(7, 50, 40, 140));
    EXPECT_EQ(image.SampleAt(1.25f, 0.0f, kInterpBilinear, kOverflowColor), Quad(7, 20, 32, 110));
}

TEST(ImageSampler, PointsOutsideFollowTheOverflowMode)
{
    CPixImage image = Ramp(true);
    const PixQuad blue = Quad(200, 0, 0, 255);
    // The nearest method rounds -0.7 + 0.5 toward zero: pixel (0, 0).
    EXPECT_EQ(image.SampleAt(-0.7f, 0, kInterpNearest, kOverflowColor), Quad(7, 20, 20, 60));
    EXPECT_EQ(image.SampleAt(-50, 900, kInterpBicubic, kOverflowColor), Quad(255, 255, 255, 0));
    EXPECT_EQ(image.SampleAt(-50, 900, kInterpBicubic, kOverflowColor, &blue), blue);
    EXPECT_EQ(image.SampleAt(-50, 900, kInterpBilinear, kOverflowTransparent, &blue), Quad(200, 0, 0, 0));
    EXPECT_EQ(image.SampleAt(-50, 900, kInterpNearest, kOverflowRepeat), Quad(7, 50, 20, 60));
    EXPECT_EQ(image.SampleAt(1e30f, -1e30f, kInterpLanczos, kOverflowRepeat).red, 50);
    EXPECT_EQ(image.PixelColorBeyond(5, 1, kOverflowWrap, nullptr), image.PixelColorBeyond(1, 1, kOverflowColor, nullptr));
    image.SetTransparentColor(Quad(1, 2, 3, 0));
    image.SetTransparentIndex(0);
    EXPECT_EQ(image.PixelColorBeyond(-1, 0, kOverflowBackground, &blue), Quad(1, 2, 3, 0));

    struct Fold {
        int in, out;
        OverflowMode mode;
    };
    const Fold folds[] = {{-1, 1, kOverflowMirror}, {4, 3, kOverflowMirror}, {6, 1, kOverflowMirror},
                          {-1, 3, kOverflowWrap},   {9, 1, kOverflowWrap},   {-7, 0, kOverflowRepeat},
                          {9, 9, kOverflowColor}};
    for (const Fold& f : folds) {
        SCOPED_TRACE(std::to_string(f.in) + " mode " + std::to_string(f.mode));
        int x = f.in, y = 0;
        image.ApplyOverflow(x, y, f.mode);
        EXPECT_EQ(x, f.out);
        float fx = static_cast<float>(f.in), fy = 0;
        image.ApplyOverflow(fx, fy, f.mode);
        EXPECT_FLOAT_EQ(fx, static_cast<float>(f.out));
    }
}

TEST(ImageSampler, NegativeLobesClampToTheByteRange)
{
    CPixImage step(6, 1, 24, kPixTypeUnknown);
    for (int x = 3; x < 6; ++x)
        step.SetPixelColor(x, 0, Quad(255, 255, 255, 0));
    for (int method : {4, 5, 6, 10, 15, 16}) {
        SCOPED_TRACE("method " + std::to_string(method));
        // Just past the step the negative lobes overshoot; before it they undershoot.
        EXPECT_EQ(step.SampleAt(3.2f, 0, static_cast<InterpolationMode>(method), kOverflowRepeat).red, 255);
        EXPECT_EQ(step.SampleAt(1.8f, 0, static_cast<InterpolationMode>(method), kOverflowRepeat).red, 0);
    }
    CPixImage white(4, 4, 24, kPixTypeUnknown);
    white.FillBits(255);
    EXPECT_EQ(white.SampleAt(1.5f, 1.5f, kInterpBlackman, kOverflowRepeat).red, 255);  // weights add to 1.85
}

TEST(ImageSampler, AreaMeansWeighPartlyCoveredPixels)
{
    const CPixImage image = Ramp(true);
    EXPECT_EQ(image.SampleArea(1.3f, 2.2f, 1, 1, kInterpBilinear, kOverflowRepeat),
              image.SampleAt(1.3f, 2.2f, kInterpBilinear, kOverflowRepeat));
    // 0.5 .. 2.5 by 0.5 .. 2.5 covers pixels 1 and 2 on both axes.
    const PixQuad whole = image.SampleArea(1.5f, 1.5f, 2, 2, kInterpBilinear, kOverflowRepeat);
    EXPECT_EQ(whole.red, 35);
    EXPECT_EQ(whole.green, 35);
    EXPECT_EQ(whole.reserved, 120);
    // 0 .. 3 across: half of pixel 0, pixels 1 and 2, half of pixel 3: (10 + 30 + 40 + 25) / 3.
    EXPECT_NEAR(image.SampleArea(1.5f, 1.0f, 3, 2, kInterpBilinear, kOverflowRepeat).red, 35, 1);
    // A thin area samples the middle of each cut: 0.25 wide, from y 0.5 to 3.5.
    const PixQuad thin = image.SampleArea(2.0f, 2.0f, 0.25f, 3, kInterpBilinear, kOverflowRepeat);
    EXPECT_EQ(thin.red, 40);
    EXPECT_NEAR(thin.green, 40, 1);
}

TEST(ImageKernels, BesselFunctionMatchesPublishedValues)
{
    struct Case {
        double x, j1;
    };
    const Case cases[] = {{0, 0}, {1, 0.44005058574}, {5, -0.32757913759}, {10, 0.04347274617}, {-3, -0.33905895853},
                          {25, -0.12535025}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_NEAR(BesselFirstOrder(c.x), c.j1, 1e-7);
    }
    EXPECT_FLOAT_EQ(BesselWeight(0), 0.7853982f);
    EXPECT_FLOAT_EQ(TriangleWeight(-0.25f), 0.75f);
    EXPECT_FLOAT_EQ(LanczosWeight(7, 6), 0);
    EXPECT_FLOAT_EQ(CubicBSplineWeight(0), 4.0f / 6);
}
