// Where the screen picture lands in a drawable of another size, and pointer positions back.
#include "platform/ViewFit.h"

#include <gtest/gtest.h>

#include <string>

TEST(ViewFit, PictureIsScaledEvenlyAndCentredWithBarsOnTheSpareSides)
{
    struct Case {
        int pictureWidth, pictureHeight, drawableWidth, drawableHeight;
        ViewRect expected;
    };
    const Case cases[] = {
        {800, 600, 800, 600, {0, 0, 800, 600}},        // windowed: 1:1
        {800, 600, 1024, 768, {0, 0, 1024, 768}},      // same aspect: fills the display
        {1024, 768, 1024, 768, {0, 0, 1024, 768}},     // fitted to the desktop already
        {800, 600, 1920, 1080, {240, 0, 1440, 1080}},  // a wide display: bars left and right
        {800, 600, 1280, 1024, {0, 32, 1280, 960}},    // a tall one: bars above and below
        {1024, 768, 800, 600, {0, 0, 800, 600}},       // a window that stayed small: shrunk
        {800, 600, 1366, 768, {171, 0, 1024, 768}},    // odd spare width: the extra pixel right
        {800, 600, 0, 0, {0, 0, 0, 0}},                // a minimised window: nothing to draw
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.drawableWidth) + "x" + std::to_string(c.drawableHeight));
        const ViewRect rect = FitView(c.pictureWidth, c.pictureHeight, c.drawableWidth, c.drawableHeight);
        EXPECT_EQ(rect.x, c.expected.x);
        EXPECT_EQ(rect.y, c.expected.y);
        EXPECT_EQ(rect.width, c.expected.width);
        EXPECT_EQ(rect.height, c.expected.height);
    }
}

TEST(ViewFit, PointerMapsBackToPicturePixels)
{
    const ViewRect wide = FitView(800, 600, 1920, 1080);
    struct Case {
        float x, y, pictureX, pictureY;
    };
    const Case cases[] = {
        {240, 0, 0, 0},            // the picture's top-left corner
        {960, 540, 400, 300},      // the centre
        {1680, 1080, 800, 600},    // its bottom-right edge
        {60, 540, -100, 300},      // on the left bar: outside the picture
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        float x = c.x, y = c.y;
        DrawableToPicture(wide, 800, 600, x, y);
        EXPECT_FLOAT_EQ(x, c.pictureX);
        EXPECT_FLOAT_EQ(y, c.pictureY);
    }
}

TEST(ViewFit, ChangedPicturePixelsMapToTheDrawablePixelsThatShowThem)
{
    // Only these are copied again: every pixel the filtered copy blends from the box, never a bar.
    struct Case {
        const char* name;
        int pictureWidth, pictureHeight, drawableWidth, drawableHeight;
        int x, y, w, h;
        ViewRect expected;
    };
    const Case cases[] = {
        {"1:1, a sparkle's box", 800, 600, 800, 600, 100, 50, 90, 50, {98, 48, 94, 54}},
        {"scaled up 1.28", 800, 600, 1024, 768, 100, 50, 90, 50, {125, 61, 122, 70}},
        {"a wide display: not into the bar", 800, 600, 1920, 1080, 0, 0, 10, 10, {240, 0, 21, 21}},
        {"shrunk, at the bottom-right corner", 1024, 768, 800, 600, 1000, 700, 24, 68, {779, 544, 21, 56}},
        {"nothing changed", 800, 600, 1024, 768, 10, 10, 0, 5, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ViewRect rect = FitView(c.pictureWidth, c.pictureHeight, c.drawableWidth, c.drawableHeight);
        const ViewRect box = DrawablePixelsShowing(rect, c.pictureWidth, c.pictureHeight, c.x, c.y, c.w, c.h);
        EXPECT_EQ(box.x, c.expected.x);
        EXPECT_EQ(box.y, c.expected.y);
        EXPECT_EQ(box.width, c.expected.width);
        EXPECT_EQ(box.height, c.expected.height);
    }
}
