// test-labels: untrusted
#include "ImageTestData.h"
#include "image/CPixImage.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::vector<std::uint8_t> Encoded(CPixImage& image)
{
    std::uint8_t* buffer = nullptr;
    std::size_t size = 0;
    EXPECT_TRUE(image.EncodeToMemory(&buffer, &size, kPixTypeTga)) << image.LastError();
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    CPixImage::FreeMemory(buffer);
    return bytes;
}

CPixImage TwoPixels()
{
    const std::uint8_t pixels[] = {10, 20, 30, 255, 40, 50, 60, 0};  // blue, green, red, alpha
    CPixImage image(kPixTypeUnknown);
    image.CopyFromPixelArray(pixels, 2, 1, 32, 8, true);
    return image;
}

std::vector<std::uint8_t> Header(int type, int depth, int width, int height, int descriptor)
{
    return {0, 0, static_cast<std::uint8_t>(type), 0, 0, 0, 0, 0, 0, 0, 0, 0,
            static_cast<std::uint8_t>(width), 0, static_cast<std::uint8_t>(height), 0,
            static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(descriptor)};
}

}  // namespace

TEST(TgaEncoder, PictureWithAlphaIsWrittenAs32BitsBottomUp)
{
    CPixImage image = TwoPixels();
    const std::vector<std::uint8_t> expected = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 32, 0,
                                                10, 20, 30, 255, 40, 50, 60, 0};
    EXPECT_EQ(Encoded(image), expected);
    image.SetAlphaMax(100);  // alpha x 100 / 255, rounded down
    std::vector<std::uint8_t> scaled = expected;
    scaled[21] = 100;
    EXPECT_EQ(Encoded(image), scaled);
    image.SetAlphaAt(0, 0, 128);
    scaled[21] = 50;
    EXPECT_EQ(Encoded(image), scaled);
    image.DeleteAlphaPlane();
    const std::vector<std::uint8_t> noAlpha = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0,
                                               10, 20, 30, 40, 50, 60};
    EXPECT_EQ(Encoded(image), noAlpha);
}

TEST(TgaEncoder, ConvertedEffectImageMatchesItsGoldenBytes)
{
    // 3 x 2 picture as the first-run conversion builds it: decoded top row first, alpha from a mask.
    const std::uint8_t pixels[] = {1, 2, 3, 9, 4, 5, 6, 9, 7, 8, 9, 9,         // top row
                                   11, 12, 13, 9, 14, 15, 16, 9, 17, 18, 19, 9};  // bottom row
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.CopyFromPixelArray(pixels, 3, 2, 32, 12, true));
    image.MakeAlphaPlane();
    const std::uint8_t mask[2][3] = {{0, 128, 255}, {64, 32, 16}};  // [row from bottom][x]
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.SetAlphaAt(x, y, mask[y][x]);
    const std::vector<std::uint8_t> golden = {
        0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x20, 0x00,
        11, 12, 13, 0, 14, 15, 16, 128, 17, 18, 19, 255,   // bottom row first
        1, 2, 3, 64, 4, 5, 6, 32, 7, 8, 9, 16};
    EXPECT_EQ(Encoded(image), golden);
}

TEST(TgaEncoder, IndexedPicturesBelow8BitsAreRefused)
{
    CPixImage image(4, 4, 4, kPixTypeUnknown);
    std::uint8_t* buffer = nullptr;
    std::size_t size = 0;
    EXPECT_FALSE(image.EncodeToMemory(&buffer, &size, kPixTypeTga));
    EXPECT_STREQ(image.LastError(), "Bit depth must be 8 or 24");
    EXPECT_EQ(buffer, nullptr);
}

TEST(TgaEncoder, OutputReadsBackInPillowWithTheSamePixels)
{
    const std::string python = PythonWithPillow();
    if (python.empty())
        GTEST_SKIP() << "no Python with Pillow";
    CPixImage rgb(9, 5, 24, kPixTypeUnknown);
    CPixImage pal(9, 5, 8, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < 256; ++i)
        pal.SetPaletteEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3), static_cast<std::uint8_t>(255 - i));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 9; ++x) {
            rgb.SetPixelColor(x, y, static_cast<std::uint32_t>(x * 20 + (y * 40 << 8) + ((x * y) << 16)));
            pal.SetPixelIndex(x, y, static_cast<std::uint8_t>(x * 9 + y));
        }
    }
    CPixImage rgba(rgb);
    rgba.MakeAlphaPlane();
    for (int x = 0; x < 9; ++x)
        rgba.SetAlphaAt(x, 1, static_cast<std::uint8_t>(x * 25));
    for (auto* image : {&rgb, &pal, &rgba}) {
        const std::string base = UniqueTempPath("pillow_check_") + std::to_string(image->Bpp()) + (image->HasAlpha() ? "a" : "");
        SCOPED_TRACE(base);
        ASSERT_TRUE(image->WriteToFile((base + ".tga").c_str(), kPixTypeTga));
        EXPECT_EQ(PillowReadsAs(base + ".tga", *image), 0);
    }
}

TEST(TgaDecoder, PillowFilesDecodeToTheSamePixels)
{
    for (const char* mode : {"rgb", "rgba", "grey", "pal"}) {
        for (const char* packing : {"raw", "rle"}) {
            for (const char* orientation : {"up", "down"}) {
                const std::string name = std::string(mode) + "_" + packing + "_" + orientation;
                SCOPED_TRACE(name);
                CPixImage image(kPixTypeUnknown);
                ASSERT_TRUE(image.ReadFromFile(ImageDataPath(name + ".tga").c_str(), kPixTypeTga)) << image.LastError();
                EXPECT_EQ(image.Type(), kPixTypeTga);
                EXPECT_EQ(TopDownRgba(image), ReadBytesOf(ImageDataPath(name + ".rgba")));
            }
        }
    }
}

TEST(TgaDecoder, MalformedHeadersFailWithTheirTexts)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* error;
    };
    std::vector<std::uint8_t> longMap = Header(1, 8, 1, 1, 0);
    longMap[1] = 1;
    longMap[5] = 1;
    longMap[6] = 1;  // 257 entries
    const Case cases[] = {
        {"short header", {0, 0, 2, 0}, "Not a TGA"},
        {"image type 4", Header(4, 24, 1, 1, 0), "Unknown TGA image type"},
        {"pixel depth 12", Header(2, 12, 1, 1, 0), "bad TGA header"},
        {"zero width", Header(2, 24, 0, 1, 0), "bad TGA header"},
        {"257 map entries", longMap, "bad TGA header"},
        {"no pixel rows", Header(2, 24, 2, 2, 0), "corrupted TGA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPixImage image(kPixTypeUnknown);
        EXPECT_FALSE(image.DecodeFromMemory(c.bytes.data(), c.bytes.size(), kPixTypeTga));
        EXPECT_STREQ(image.LastError(), c.error);
        EXPECT_FALSE(image.HasPixels());
    }
}

TEST(TgaDecoder, RunCrossingARowEndContinuesOnTheNextRow)
{
    std::vector<std::uint8_t> file = Header(10, 24, 2, 2, 0);
    file.insert(file.end(), {0x82, 1, 2, 3, 0x00, 7, 8, 9});  // run of 3, then 1 raw pixel
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.DecodeFromMemory(file.data(), file.size(), kPixTypeTga)) << image.LastError();
    const PixQuad run = image.PixelColor(0, 1, false);
    EXPECT_EQ(image.PixelColor(0, 0, false), image.PixelColor(1, 0, false));
    EXPECT_EQ(run, image.PixelColor(0, 0, false));
    EXPECT_EQ(run.blue, 1);
    EXPECT_EQ(image.PixelColor(1, 1, false).blue, 7);
}

TEST(TgaDecoder, ColourMapLandsAtItsFirstIndexAndEntrySize)
{
    std::vector<std::uint8_t> file = Header(1, 8, 2, 1, 0);
    file[1] = 1;
    file[3] = 254;  // first entry 254
    file[5] = 4;    // 4 entries: 254, 255 land, 256 and 257 are dropped
    file[7] = 32;
    for (int i = 0; i < 4; ++i)
        file.insert(file.end(), {static_cast<std::uint8_t>(10 + i), 20, 30, 99});
    file.insert(file.end(), {254, 255});
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.DecodeFromMemory(file.data(), file.size(), kPixTypeTga)) << image.LastError();
    EXPECT_EQ(image.PixelColor(0, 0, false).blue, 10);
    EXPECT_EQ(image.PixelColor(1, 0, false).blue, 11);
    EXPECT_EQ(image.PixelColor(1, 0, false).red, 30);
}

TEST(TgaDecoder, ColourMapEntriesWiderThan32BitsAreReadAtTheirSize)
{
    for (int entryBits : {40, 152, 255}) {
        SCOPED_TRACE(entryBits);
        const int entryBytes = (entryBits + 7) / 8;
        std::vector<std::uint8_t> file = Header(1, 8, 2, 1, 0);
        file[1] = 1;
        file[5] = 2;  // two entries
        file[7] = static_cast<std::uint8_t>(entryBits);
        for (int i = 0; i < 2; ++i) {
            file.insert(file.end(), {static_cast<std::uint8_t>(10 + i), 20, 30});
            file.insert(file.end(), static_cast<std::size_t>(entryBytes - 3), 0xEE);  // the rest is not colour
        }
        file.insert(file.end(), {1, 0});
        CPixImage image(kPixTypeUnknown);
        ASSERT_TRUE(image.DecodeFromMemory(file.data(), file.size(), kPixTypeTga)) << image.LastError();
        EXPECT_EQ(image.PixelColor(0, 0, false).blue, 11);
        EXPECT_EQ(image.PixelColor(0, 0, false).red, 30);
        EXPECT_EQ(image.PixelColor(1, 0, false).blue, 10);
    }
    // A mask of 23 bytes whose one wide entry is cut off: the GIF reader falls back to every
    // decoder, and the TGA one must only say no.
    std::vector<std::uint8_t> cut = Header(1, 8, 1, 1, 0);
    cut[1] = 1;
    cut[5] = 1;
    cut[7] = 255;
    cut.insert(cut.end(), {1, 2, 3, 4, 5});
    ASSERT_EQ(cut.size(), 23u);
    const std::string path = UniqueTempPath("tga_wide_entry_mask.gif");
    ASSERT_TRUE(WriteBytes(path, cut));
    CPixImage mask(kPixTypeUnknown);
    EXPECT_FALSE(mask.ReadFromFile(path.c_str(), kPixTypeGif));
    EXPECT_FALSE(mask.HasPixels());
    std::remove(path.c_str());
}

TEST(TgaDecoder, PixelDataThatStopsEarlyIsCorruptedInAFileAsInMemory)
{
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    auto with = [](std::vector<std::uint8_t> head, std::initializer_list<std::uint8_t> data) {
        head.insert(head.end(), data);
        return head;
    };
    const Case cases[] = {
        {"raw, one row of two", with(Header(2, 24, 2, 2, 0), {1, 2, 3, 4, 5, 6})},
        {"raw, half the last row", with(Header(2, 24, 2, 2, 0), {1, 2, 3, 4, 5, 6, 7, 8, 9})},
        {"run-length, one row of two", with(Header(10, 24, 2, 2, 0), {0x81, 1, 2, 3})},
        {"run-length, a packet without its pixel", with(Header(10, 24, 2, 2, 0), {0x81, 1, 2, 3, 0x81})},
    };
    const std::string path = UniqueTempPath("tga_cut_short.tga");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPixImage fromMemory(kPixTypeUnknown);
        EXPECT_FALSE(fromMemory.DecodeFromMemory(c.bytes.data(), c.bytes.size(), kPixTypeTga));
        EXPECT_STREQ(fromMemory.LastError(), "corrupted TGA");
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        CPixImage fromFile(kPixTypeUnknown);
        EXPECT_FALSE(fromFile.ReadFromFile(path.c_str(), kPixTypeTga));
        EXPECT_STREQ(fromFile.LastError(), "corrupted TGA");
        EXPECT_FALSE(fromFile.HasPixels());
    }
    std::remove(path.c_str());
}
