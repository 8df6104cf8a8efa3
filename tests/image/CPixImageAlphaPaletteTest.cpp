// test-labels: untrusted
#include "ImageTestData.h"
#include "image/CPixImage.h"
#include "image/CPixMemoryStream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <tuple>

namespace {

PixQuad Quad(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t reserved = 0)
{
    PixQuad q;
    q.red = red;
    q.green = green;
    q.blue = blue;
    q.reserved = reserved;
    return q;
}

std::tuple<int, int, int> Rgb(PixQuad q)
{
    return {q.red, q.green, q.blue};
}

}  // namespace

TEST(CPixImageFlattenAlpha, TrueColourBlendsOverTheTransparentColourAndDropsThePlane)
{
    struct Case {
        const char* name;
        std::uint8_t alpha, alphaMax;
        std::tuple<int, int, int> expected;
    };
    // Pixel (200, 100, 50) over (0, 0, 255).
    const Case cases[] = {
        {"opaque", 255, 255, {200, 100, 50}},
        {"clear", 0, 255, {0, 0, 255}},
        {"half", 128, 255, {200 * 128 / 255, 100 * 128 / 255, (50 * 128 + 255 * 127) / 255}},
        {"opaque under a lower alpha maximum", 255, 51, {200 * 51 / 255, 100 * 51 / 255, (50 * 51 + 255 * 204) / 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPixImage image(3, 2, 24, kPixTypeUnknown);
        image.SetTransparentColor(Quad(0, 0, 255));
        image.SetPixelColor(1, 1, Quad(200, 100, 50));
        image.MakeAlphaPlane();
        image.SetAlphaMax(c.alphaMax);
        image.SetAlphaAt(1, 1, c.alpha);
        ASSERT_TRUE(image.FlattenAlpha());
        EXPECT_FALSE(image.HasAlpha());
        EXPECT_EQ(image.Bpp(), 24);
        EXPECT_EQ(Rgb(image.PixelColor(1, 1, false)), c.expected);
    }
}

TEST(CPixImageFlattenAlpha, NothingToFlattenLeavesThePictureAlone)
{
    CPixImage image(2, 2, 8, kPixTypeUnknown);
    image.SetStandardPalette();
    image.SetPixelIndex(0, 0, 9);
    EXPECT_FALSE(image.FlattenAlpha());
    EXPECT_EQ(image.Bpp(), 8);
    EXPECT_EQ(image.PixelIndex(0, 0), 9);
    CPixImage empty(kPixTypeUnknown);
    EXPECT_FALSE(empty.FlattenAlpha());
}

TEST(CPixImageFlattenAlpha, IndexedPictureWithPaletteAlphaBecomesTrueColour)
{
    CPixImage image(3, 1, 8, kPixTypeGif);
    image.SetPaletteEntry(0, 10, 20, 30, 255);   // opaque
    image.SetPaletteEntry(1, 200, 0, 0, 0);      // fully transparent
    image.SetPaletteEntry(2, 0, 0, 0, 255);      // the transparent index: its colour is the back
    image.SetPaletteEntry(3, 255, 255, 255, 51); // a fifth opaque
    image.SetTransparentIndex(2);
    image.SetPixelIndex(0, 0, 0);
    image.SetPixelIndex(1, 0, 1);
    image.SetPixelIndex(2, 0, 3);
    image.SetXDpi(300);
    ASSERT_TRUE(image.FlattenAlpha());
    EXPECT_EQ(image.Bpp(), 24);
    EXPECT_EQ(image.Type(), kPixTypeGif);
    EXPECT_EQ(image.XDpi(), 300);
    EXPECT_EQ(image.Header().xPelsPerMeter, 11811);
    EXPECT_EQ(Rgb(image.PixelColor(0, 0, false)), std::make_tuple(10, 20, 30));
    EXPECT_EQ(Rgb(image.PixelColor(1, 0, false)), std::make_tuple(0, 0, 0));
    EXPECT_EQ(Rgb(image.PixelColor(2, 0, false)), std::make_tuple(51, 51, 51));
}

TEST(CPixImageFlattenAlpha, IndexedPictureWithAlphaPlaneUsesThePlane)
{
    CPixImage image(2, 1, 4, kPixTypeUnknown);
    image.SetStandardPalette();                  // 15 is white, 0 black
    image.SetTransparentColor(Quad(0, 0, 0));
    image.SetPixelIndex(0, 0, 15);
    image.SetPixelIndex(1, 0, 15);
    image.MakeAlphaPlane();
    image.SetAlphaAt(1, 0, 0);
    ASSERT_TRUE(image.FlattenAlpha());
    EXPECT_FALSE(image.HasAlpha());
    EXPECT_EQ(Rgb(image.PixelColor(0, 0, false)), std::make_tuple(255, 255, 255));
    EXPECT_EQ(Rgb(image.PixelColor(1, 0, false)), std::make_tuple(0, 0, 0));
}

TEST(CPixImagePaletteAlpha, ImageOfThePaletteAlphaHoldsEachPixelsReservedByte)
{
    CPixImage image(4, 3, 4, kPixTypeUnknown);
    CPixImage target(kPixTypeUnknown);
    EXPECT_FALSE(image.PaletteAlphaToImage(&target));      // no palette alpha yet
    EXPECT_FALSE(target.HasPixels());
    for (std::uint32_t i = 0; i < 16; ++i)
        image.SetPaletteEntry(i, 1, 2, 3, static_cast<std::uint8_t>(i * 16));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            image.SetPixelIndex(x, y, static_cast<std::uint8_t>(x + 4 * y));
    EXPECT_FALSE(image.PaletteAlphaToImage(nullptr));
    ASSERT_TRUE(image.PaletteAlphaToImage(&target));
    EXPECT_EQ(target.Width(), 4);
    EXPECT_EQ(target.Height(), 3);
    EXPECT_EQ(target.Bpp(), 8);
    EXPECT_TRUE(target.IsGreyPalette());
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(target.PixelIndex(x, y), (x + 4 * y) * 16);
    EXPECT_EQ(image.Bpp(), 4);                             // the source is untouched
}

TEST(CPixImageStandardPalette, FourAndEightBitsGetFixedDistinctColours)
{
    CPixImage four(2, 2, 4, kPixTypeUnknown);
    four.SetStandardPalette();
    EXPECT_EQ(Rgb(four.PaletteEntry(0)), std::make_tuple(0, 0, 0));
    EXPECT_EQ(Rgb(four.PaletteEntry(6)), std::make_tuple(170, 85, 0));
    EXPECT_EQ(Rgb(four.PaletteEntry(15)), std::make_tuple(255, 255, 255));

    CPixImage eight(2, 2, 8, kPixTypeUnknown);
    eight.SetStandardPalette();
    std::set<std::tuple<int, int, int>> colours;
    for (std::uint32_t i = 0; i < 256; ++i)
        colours.insert(Rgb(eight.PaletteEntry(i)));
    EXPECT_EQ(colours.size(), 256u);
    EXPECT_EQ(Rgb(eight.PaletteEntry(0)), std::make_tuple(0, 0, 0));
    EXPECT_EQ(Rgb(eight.PaletteEntry(215)), std::make_tuple(255, 255, 255));
    EXPECT_EQ(Rgb(eight.PaletteEntry(5 * 36 + 0 * 6 + 1)), std::make_tuple(255, 0, 51));
    // The nearest-colour cache must not answer from the old palette.
    EXPECT_EQ(eight.NearestIndex(Quad(255, 0, 51)), 181);

    for (int bpp : {1, 24}) {
        SCOPED_TRACE("bpp " + std::to_string(bpp));
        CPixImage other(2, 2, bpp, kPixTypeUnknown);
        other.SetGreyPalette();
        const std::vector<std::uint8_t> before(other.DibPointer(), other.DibPointer() + other.DibSize());
        other.SetStandardPalette();
        EXPECT_EQ(std::vector<std::uint8_t>(other.DibPointer(), other.DibPointer() + other.DibSize()), before);
    }
}

TEST(CPixImageLoading, ResourceHandleAndStreamReadTheSamePicture)
{
    const std::vector<std::uint8_t> bytes = ReadBytesOf(ImageDataPath("plain.gif"));
    ASSERT_FALSE(bytes.empty());
    const std::vector<std::uint8_t> expected = ReadBytesOf(ImageDataPath("plain.idx"));

    CPixImage fromResource(kPixTypeUnknown);
    ASSERT_TRUE(fromResource.ReadFromResource(bytes.data(), bytes.size(), kPixTypeGif));
    EXPECT_EQ(TopDownIndices(fromResource), expected);

    std::FILE* file = std::fopen(ImageDataPath("plain.gif").c_str(), "rb");
    ASSERT_NE(file, nullptr);
    const CPixImage fromHandle(file, kPixTypeUnknown);
    std::fclose(file);
    EXPECT_EQ(TopDownIndices(fromHandle), expected);

    CPixMemoryStream stream(const_cast<std::uint8_t*>(bytes.data()), bytes.size());
    const CPixImage fromStream(&stream, kPixTypeGif);
    EXPECT_EQ(TopDownIndices(fromStream), expected);
}

TEST(CPixImageLoading, MissingResourceFailsWithItsTextAndKeepsThePicture)
{
    CPixImage image(3, 3, 8, kPixTypeUnknown);
    const std::uint8_t one = 0;
    for (auto [data, size] : {std::pair<const std::uint8_t*, std::size_t>{nullptr, 10}, {&one, 0}}) {
        image.SetLastError("");
        EXPECT_FALSE(image.ReadFromResource(data, size, kPixTypeGif));
        EXPECT_STREQ(image.LastError(), "Unable to load resource!");
        EXPECT_EQ(image.Width(), 3);
    }
}

TEST(CPixImageBitfields, SixteenAndThirtyTwoBitPixelsUnpackToTheirChannels)
{
    struct Case {
        const char* name;
        std::uint32_t red, green, blue;
        std::uint16_t word;
        std::tuple<int, int, int> expected;
    };
    const Case cases[] = {
        {"565 white", 0xF800, 0x07E0, 0x001F, 0xFFFF, {0xF8, 0xFC, 0xF8}},
        {"565 pure green", 0xF800, 0x07E0, 0x001F, 0x07E0, {0, 0xFC, 0}},
        {"555 red and blue", 0x7C00, 0x03E0, 0x001F, 0x7C1F, {0xF8, 0, 0xF8}},
        {"555 ignores the top bit", 0x7C00, 0x03E0, 0x001F, 0x8000, {0, 0, 0}},
        {"wide blue mask shifts the other way", 0x8000, 0x0400, 0x03FF, 0x03FF, {0, 0, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPixImage image(3, 2, 24, kPixTypeUnknown);
        // Rows of ((3 + 1) / 2) x 4 = 8 bytes; the word sits at (x 2, row 1) only.
        std::uint8_t source[16] = {};
        source[8 + 4] = static_cast<std::uint8_t>(c.word);
        source[8 + 5] = static_cast<std::uint8_t>(c.word >> 8);
        image.UnpackBitfields(source, c.red, c.green, c.blue, 16);
        EXPECT_EQ(Rgb(image.PixelColor(2, 1, false)), c.expected);
        EXPECT_EQ(Rgb(image.PixelColor(0, 0, false)), std::make_tuple(0, 0, 0));
    }
    CPixImage image(2, 2, 24, kPixTypeUnknown);
    const std::uint8_t source[16] = {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99};
    image.UnpackBitfields(source, 0, 0, 0, 32);
    EXPECT_EQ(Rgb(image.PixelColor(1, 0, false)), std::make_tuple(6, 5, 4));
    EXPECT_EQ(Rgb(image.PixelColor(0, 1, false)), std::make_tuple(9, 8, 7));
    CPixImage indexed(2, 2, 8, kPixTypeUnknown);
    indexed.UnpackBitfields(source, 0, 0, 0, 32);          // only true-colour images are filled
    EXPECT_EQ(indexed.PixelIndex(0, 0), 0);
}
