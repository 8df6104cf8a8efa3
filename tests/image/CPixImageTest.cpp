#include "ImageTestData.h"
#include "image/CPixImage.h"
#include "image/CPixMemoryStream.h"
#include "image/CPixStdioStream.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <cstdio>

TEST(CPixImage, CreateNormalisesDepthAndSizes)
{
    struct Case {
        int width, height, bpp;
        int bitCount;
        std::uint32_t rowBytes, colors, imageSize;
    };
    const Case cases[] = {{10, 10, 32, 24, 32, 0, 320}, {3, 2, 1, 1, 4, 2, 8}, {5, 3, 3, 4, 4, 16, 12},
                          {9, 1, 6, 8, 12, 256, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.bpp));
        CPixImage image(c.width, c.height, c.bpp, kPixTypeUnknown);
        ASSERT_TRUE(image.HasPixels());
        EXPECT_EQ(image.Bpp(), c.bitCount);
        EXPECT_EQ(image.RowBytes(), c.rowBytes);
        EXPECT_EQ(image.ColorCount(), c.colors);
        EXPECT_EQ(image.Header().imageSize, c.imageSize);
        EXPECT_EQ(image.RowPointer(c.height), nullptr);
        EXPECT_EQ(image.RowPointer(0), image.DibPointer() + 40 + 4 * c.colors);
    }
}

TEST(CPixImage, CreateRefusesEmptyAndOversizedPictures)
{
    struct Case {
        int width, height, bpp;
        const char* error;
    };
    const Case cases[] = {{0, 5, 8, "CPixImage::Create : width and height must be greater than zero"},
                          {5, -1, 8, "CPixImage::Create : width and height must be greater than zero"},
                          {65535, 65535, 24, "CPIX_MAX_MEMORY exceeded"},
                          {100000, 100000, 1, "CPIX_MAX_MEMORY exceeded"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        CPixImage image(4, 4, 8, kPixTypeUnknown);
        EXPECT_EQ(image.Create(c.width, c.height, c.bpp, kPixTypeUnknown), nullptr);
        EXPECT_STREQ(image.LastError(), c.error);
        EXPECT_FALSE(image.HasPixels());
    }
}

TEST(CPixImage, NewRowsStartZeroed)
{
    CPixImage image(7, 7, 24, kPixTypeUnknown);
    image.FillBits(0xAB);
    image.Create(7, 7, 24, kPixTypeUnknown);
    for (int y = 0; y < 7; ++y)
        for (std::uint32_t i = 0; i < image.RowBytes(); ++i)
            ASSERT_EQ(image.RowPointer(y)[i], 0);
}

TEST(CPixImage, CopyFromPixelArrayFlipsRowsAndKeepsAlpha)
{
    const std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8};  // 1 x 2: top, bottom
    CPixImage image(kPixTypeTga);
    ASSERT_TRUE(image.CopyFromPixelArray(pixels, 1, 2, 32, 4, true));
    EXPECT_EQ(image.Type(), kPixTypeUnknown);
    EXPECT_EQ(image.PixelColor(0, 1, false).blue, 1);  // top row of the array is the top line
    EXPECT_EQ(image.AlphaAt(0, 1), 4);
    EXPECT_EQ(image.PixelColor(0, 0, false).blue, 5);
    EXPECT_EQ(image.AlphaAt(0, 0), 8);
    EXPECT_FALSE(image.CopyFromPixelArray(pixels, 1, 2, 16, 4, true));
    EXPECT_TRUE(image.HasPixels());
}

TEST(CPixImage, GreyLevelWeighsTheChannels)
{
    CPixImage image(4, 1, 24, kPixTypeUnknown);
    const std::uint32_t colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};
    const int levels[] = {76, 149, 29, 255};
    for (int x = 0; x < 4; ++x) {
        SCOPED_TRACE(x);
        image.SetPixelColor(x, 0, colours[x]);
        EXPECT_EQ(image.GreyLevelAt(x, 0), levels[x]);
    }
    EXPECT_EQ(image.GreyLevelAt(9, 9), 76);  // outside reads pixel (0, 0)
}

TEST(CPixImage, AlphaWritesStayInsideThePlane)
{
    CPixImage image(3, 3, 24, kPixTypeUnknown);
    image.SetAlphaAt(1, 1, 7);  // no plane yet
    EXPECT_EQ(image.AlphaAt(1, 1), 0);
    image.MakeAlphaPlane();
    image.SetAlphaAt(1, 1, 7);
    image.SetAlphaAt(3, 0, 9);
    image.SetAlphaAt(-1, 0, 9);
    image.MakeAlphaPlane();  // keeps the values
    EXPECT_EQ(image.AlphaAt(1, 1), 7);
    EXPECT_EQ(image.AlphaAt(2, 0), 255);
    EXPECT_EQ(image.AlphaAt(3, 0), 0);
}

TEST(CPixImage, PaletteHelpersFollowTheirRules)
{
    CPixImage one(2, 2, 1, kPixTypeUnknown);
    one.SetGreyPalette();
    EXPECT_EQ(one.PaletteEntry(1).red, 255);
    CPixImage eight(2, 2, 8, kPixTypeUnknown);
    eight.SetGreyPalette();
    EXPECT_TRUE(eight.IsGreyPalette());
    eight.SetPaletteEntry(3, 10, 0, 0);
    eight.SetPaletteEntry(4, 10, 0, 0);
    PixQuad want;
    want.red = 10;
    EXPECT_EQ(eight.NearestIndex(want), 3);
    eight.SetPaletteEntry(300, 1, 1, 1);  // past the palette: ignored
    eight.SetTransparentIndex(7);
    EXPECT_EQ(eight.PixelIndex(-1, 0), 7);
    eight.SetImportantColors(300);
    EXPECT_EQ(eight.ImportantColors(), 0u);
    CPixImage four(2, 2, 4, kPixTypeUnknown);
    four.SetImportantColors(40);
    EXPECT_EQ(four.ImportantColors(), 16u);
}

TEST(CPixImage, FlipTwiceRestoresPixelsAndAlpha)
{
    CPixImage image(5, 3, 24, kPixTypeUnknown);
    image.MakeAlphaPlane();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            image.SetPixelColor(x, y, static_cast<std::uint32_t>(x * 40 + y));
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(x * 10 + y));
        }
    const std::vector<std::uint8_t> before = TopDownRgba(image);
    ASSERT_TRUE(image.FlipVertical());
    EXPECT_EQ(image.AlphaAt(0, 0), 2);
    ASSERT_TRUE(image.FlipVertical());
    EXPECT_EQ(TopDownRgba(image), before);
}

TEST(CPixImage, MirrorOfOddWidth4BitPictureKeepsTheMiddle)
{
    CPixImage image(5, 1, 4, kPixTypeUnknown);
    for (int x = 0; x < 5; ++x)
        image.SetPixelIndex(x, 0, static_cast<std::uint8_t>(x + 1));
    ASSERT_TRUE(image.MirrorHorizontal());
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(image.PixelIndex(x, 0), 5 - x);
}

TEST(CPixImage, GhostNeverFreesWhatItViews)
{
    CPixImage owner(4, 4, 8, kPixTypeUnknown);
    {
        CPixImage ghost(kPixTypeUnknown);
        ghost.ShareBuffers(owner);
        EXPECT_FALSE(ghost.FreeBuffers());
        EXPECT_EQ(ghost.DibPointer(), owner.DibPointer());
    }
    owner.SetPixelIndex(1, 1, 3);
    EXPECT_EQ(owner.PixelIndex(1, 1), 3);
}

TEST(CPixImage, WriteWithUnknownTypeLeavesAnExistingFileAlone)
{
    const std::string path = UniqueTempPath("keep_me.tga");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("precious", file);
    std::fclose(file);
    CPixImage image(2, 2, 24, kPixTypeUnknown);
    EXPECT_FALSE(image.WriteToFile(path.c_str(), 4));
    EXPECT_STREQ(image.LastError(), "Encode: Unknown format");
    EXPECT_EQ(ReadBytesOf(path).size(), 8u);
    std::remove(path.c_str());
}

TEST(CPixImage, ReadFromFileFallsBackToEveryFormat)
{
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.ReadFromFile(ImageDataPath("rgb_raw_up.tga").c_str(), kPixTypeGif));
    EXPECT_EQ(image.Type(), kPixTypeTga);
    CPixImage junk(kPixTypeUnknown);
    junk.SetLastError("old");
    EXPECT_FALSE(junk.ReadFromFile(ImageDataPath("make_fixtures.py").c_str(), kPixTypeGif));
    EXPECT_STREQ(junk.LastError(), "old");
    EXPECT_FALSE(junk.ReadFromFile(ImageDataPath("make_fixtures.py").c_str(), kPixTypeUnknown));
    EXPECT_STREQ(junk.LastError(), "Decode: Unknown or wrong format");
    std::uint8_t byte = 0;
    std::uint8_t* buffer = &byte;
    std::size_t size = 0;
    EXPECT_FALSE(image.EncodeToMemory(&buffer, &size, kPixTypeTga));
    EXPECT_STREQ(image.LastError(), "the buffer must be empty");
}

TEST(CPixMemoryStream, GrowsInSteps)
{
    CPixMemoryStream stream;
    ASSERT_TRUE(stream.Open());
    ASSERT_TRUE(stream.PutC(1));
    EXPECT_EQ(stream.Capacity(), 4096);
    for (int i = 1; i < 4096; ++i)
        ASSERT_TRUE(stream.PutC(static_cast<std::uint8_t>(i)));
    EXPECT_EQ(stream.Capacity(), 4096);
    ASSERT_TRUE(stream.PutC(0));
    EXPECT_EQ(stream.Capacity(), 8192);
    EXPECT_EQ(stream.Size(), 4097);
}

TEST(CPixMemoryStream, ReadsWholeElementsAndSeeksSafely)
{
    std::uint8_t data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    CPixMemoryStream stream(data, sizeof(data));
    std::uint8_t out[12] = {};
    EXPECT_EQ(stream.Read(out, 4, 3), 2u);
    EXPECT_EQ(stream.Tell(), 10);
    EXPECT_EQ(stream.GetC(), -1);
    EXPECT_TRUE(stream.Seek(-5, 0));
    EXPECT_EQ(stream.Tell(), 0);
    EXPECT_EQ(stream.GetC(), 1);
}

TEST(CPixMemoryStream, BytesSkippedBySeekReadBackAsZero)
{
    CPixMemoryStream stream;
    ASSERT_TRUE(stream.Open());
    ASSERT_TRUE(stream.PutC(7));
    ASSERT_TRUE(stream.Seek(100, 0));
    ASSERT_TRUE(stream.PutC(9));
    std::uint8_t* bytes = stream.Detach(false);
    EXPECT_EQ(stream.Size(), 101);
    for (int i = 1; i < 100; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(bytes[100], 9);
}

TEST(CPixStdioStream, CallersHandleStaysOpen)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        CPixStdioStream stream(file);
        EXPECT_TRUE(stream.PutC(5));
    }
    EXPECT_EQ(std::fputc(6, file), 6);
    std::fclose(file);
}
