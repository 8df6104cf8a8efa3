// test-labels: untrusted
#include "ImageTestData.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    Put16(out, v);
    Put16(out, v >> 16);
}

struct Info {
    std::int32_t width = 2, height = 2;
    int bits = 24;
    std::uint32_t compression = 0, imageSize = 0, colors = 0;
    std::int32_t ppm = 3780;
};

// A 40-byte header, then palette and pixel bytes; with a file header when fileHeader is set.
std::vector<std::uint8_t> Bmp(const Info& info, const std::vector<std::uint8_t>& rest, bool fileHeader = true,
                              std::uint32_t paletteBytes = 0)
{
    std::vector<std::uint8_t> out;
    if (fileHeader) {
        Put16(out, 0x4D42);
        Put32(out, static_cast<std::uint32_t>(14 + 40 + rest.size()));
        Put32(out, 0);
        Put32(out, 14 + 40 + paletteBytes);
    }
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(info.width));
    Put32(out, static_cast<std::uint32_t>(info.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(info.bits));
    Put32(out, info.compression);
    Put32(out, info.imageSize);
    Put32(out, static_cast<std::uint32_t>(info.ppm));
    Put32(out, static_cast<std::uint32_t>(info.ppm));
    Put32(out, info.colors);
    Put32(out, 0);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

std::vector<std::uint8_t> GreyPalette(int entries)
{
    std::vector<std::uint8_t> pal;
    for (int i = 0; i < entries; ++i)
        pal.insert(pal.end(), {static_cast<std::uint8_t>(i * 10), static_cast<std::uint8_t>(i * 10), static_cast<std::uint8_t>(i * 10), 0});
    return pal;
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::uint8_t> EncodedAs(CPixImage& image, std::uint32_t type)
{
    std::uint8_t* buffer = nullptr;
    std::size_t size = 0;
    EXPECT_TRUE(image.EncodeToMemory(&buffer, &size, type)) << image.LastError();
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    CPixImage::FreeMemory(buffer);
    return bytes;
}

}  // namespace

TEST(BmpDecoder, FilesOfIndependentWritersDecodeToTheSamePixels)
{
    // Pillow at 1, 8 (palette and grey), 24 and 32 bits; ImageMagick's BMP3 at 4, 8, 24 and RLE8
    // and BMP2 (core header); hand-built RLE4, top-down, bit-field and OS/2 2.x files.
    const char* names[] = {"pil_1",    "pil_8",    "pil_grey", "pil_24",      "pil_32",      "im3_4",
                           "im3_8",    "im3_24",   "im3_rle8", "im2_8",       "im2_24",      "hand_rle4",
                           "hand_565", "hand_555", "hand_32bf", "hand_topdown", "hand_os2"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::string base = ImageDataPath(std::string("bmp_") + name);
        CPixImage image(kPixTypeUnknown);
        ASSERT_TRUE(image.ReadFromFile((base + ".bmp").c_str(), kPixTypeBmp)) << image.LastError();
        EXPECT_EQ(TopDownRgba(image), ReadBytesOf(base + ".rgba"));
        CPixImage guessed(kPixTypeUnknown);
        ASSERT_TRUE(guessed.ReadFromFile((base + ".bmp").c_str(), kPixTypeUnknown));
        EXPECT_EQ(guessed.Type(), kPixTypeBmp);
    }
}

TEST(BmpDecoder, HeaderVariantsAndTheirEdgeCases)
{
    const std::vector<std::uint8_t> rows24 = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    {
        SCOPED_TRACE("bare DIB: no file header, rows follow the header");
        CPixImage image(kPixTypeUnknown);
        const std::vector<std::uint8_t> bytes = Bmp(Info{}, rows24, false);
        ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp)) << image.LastError();
        EXPECT_EQ(image.PixelColor(1, 1, false), (PixQuad{10, 11, 12, 0}));
        EXPECT_EQ(image.XDpi(), 96);
    }
    {
        SCOPED_TRACE("height -3: the first stored row is the top line");
        Info info;
        info.width = 1;
        info.height = -3;
        CPixImage image(kPixTypeUnknown);
        const std::vector<std::uint8_t> bytes = Bmp(info, {1, 1, 1, 0, 2, 2, 2, 0, 3, 3, 3, 0});
        ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
        EXPECT_EQ(image.Height(), 3);
        EXPECT_EQ(image.PixelColor(0, 2, false).blue, 1);
        EXPECT_EQ(image.PixelColor(0, 0, false).blue, 3);
    }
    {
        SCOPED_TRACE("16 bits without masks are 5-5-5");
        Info info;
        info.width = 1;
        info.height = 1;
        info.bits = 16;
        CPixImage image(kPixTypeUnknown);
        const std::vector<std::uint8_t> bytes = Bmp(info, {0x1F, 0x7C, 0, 0});  // red 31, green 0, blue 31
        ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
        EXPECT_EQ(image.PixelColor(0, 0, false), (PixQuad{248, 0, 248, 0}));
    }
    {
        SCOPED_TRACE("a core header in a file shorter than a Windows header");
        std::vector<std::uint8_t> bytes = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0};
        const std::vector<std::uint8_t> core = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 255, 255, 255, 0x40, 0, 0, 0};
        bytes.insert(bytes.end(), core.begin(), core.end());
        CPixImage image(kPixTypeUnknown);
        ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp)) << image.LastError();
        EXPECT_EQ(image.PixelIndex(0, 0), 0);
        EXPECT_EQ(image.PixelIndex(1, 0), 1);
        EXPECT_EQ(image.PaletteEntry(1), (PixQuad{255, 255, 255, 0}));
    }
    {
        SCOPED_TRACE("more palette entries than the bit count allows are not read as entries");
        Info info;
        info.bits = 1;
        info.colors = 100000;
        CPixImage image(kPixTypeUnknown);
        const std::vector<std::uint8_t> bytes = Bmp(info, Concat(GreyPalette(2), {0x80, 0, 0, 0, 0x40, 0, 0, 0}), true, 8);
        ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
        EXPECT_EQ(image.ColorCount(), 2u);
        EXPECT_EQ(image.PixelIndex(0, 0), 1);
        EXPECT_EQ(image.PixelIndex(1, 1), 1);
    }
    {
        SCOPED_TRACE("a truncated file keeps zero rows");
        CPixImage image(kPixTypeUnknown);
        const std::vector<std::uint8_t> bytes = Bmp(Info{}, {9, 9, 9, 9, 9, 9, 0, 0});
        ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
        EXPECT_EQ(image.PixelColor(0, 0, false).blue, 9);
        EXPECT_EQ(image.PixelColor(1, 1, false), (PixQuad{0, 0, 0, 0}));
        // A file as long as its rows whose data offset leaves the upper half unread: the rows are
        // not zeroed before the read, so what it leaves must be, and the picture decoded just
        // before into the same memory must not show through.
        Info square;
        square.width = square.height = 64;
        const std::vector<std::uint8_t> whole = Bmp(square, std::vector<std::uint8_t>(64 * 64 * 3, 0xAB));
        std::vector<std::uint8_t> late = whole;
        late[10] = static_cast<std::uint8_t>(whole.size() - 64 * 32 * 3);
        late[11] = static_cast<std::uint8_t>((whole.size() - 64 * 32 * 3) >> 8);
        for (int round = 0; round < 2; ++round) {
            CPixImage before(kPixTypeUnknown);
            ASSERT_TRUE(before.DecodeFromMemory(whole.data(), whole.size(), kPixTypeBmp));
        }
        CPixImage half(kPixTypeUnknown);
        ASSERT_TRUE(half.DecodeFromMemory(late.data(), late.size(), kPixTypeBmp));
        EXPECT_EQ(half.PixelColor(5, 31, false).red, 0xAB);
        EXPECT_EQ(half.PixelColor(5, 32, false), (PixQuad{0, 0, 0, 0}));
        EXPECT_EQ(half.PixelColor(63, 63, false), (PixQuad{0, 0, 0, 0}));
    }
    {
        SCOPED_TRACE("escape -1 asks for the size only");
        CPixImage image(kPixTypeUnknown);
        image.SetEscape(-1);
        const std::vector<std::uint8_t> bytes = Bmp(Info{}, rows24);
        EXPECT_FALSE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
        EXPECT_STREQ(image.LastError(), "output dimensions returned");
    }
}

TEST(BmpDecoder, UnsupportedOrBrokenHeadersFailWithTheirText)
{
    struct Case {
        const char* what;
        Info info;
        const char* error;
    };
    Info rle24;
    rle24.compression = 1;
    Info bf8;
    bf8.bits = 8;
    bf8.compression = 3;
    Info jpeg32;
    jpeg32.bits = 32;
    jpeg32.compression = 4;
    Info two;
    two.bits = 2;
    Info zero;
    zero.bits = 0;
    Info negativeWidth;
    negativeWidth.width = -5;
    Info lowest;
    lowest.height = INT_MIN;
    Info huge;
    huge.width = 0x7FFFFFFF;
    huge.height = 0x7FFFFFFF;
    const Case cases[] = {{"24 bits with RLE", rle24, "unknown compression"},
                          {"8 bits with bit fields", bf8, "compression type not supported"},
                          {"32 bits with JPEG", jpeg32, "unknown compression"},
                          {"2 bits", two, "unsupported bit count"},
                          {"0 bits", zero, "unsupported bit count"},
                          {"negative width", negativeWidth, "Error reading BMP info"},
                          {"lowest height", lowest, "Error reading BMP info"},
                          {"huge", huge, "Can't allocate memory"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPixImage image(3, 3, 8, kPixTypeUnknown);
        const std::vector<std::uint8_t> bytes = Bmp(c.info, std::vector<std::uint8_t>(1024, 0x11));
        EXPECT_FALSE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
        EXPECT_STREQ(image.LastError(), c.error);
        EXPECT_EQ(image.Width(), 3);  // the caller's picture stays
    }
    CPixImage image(kPixTypeUnknown);
    const std::uint8_t shortFile[] = {'B', 'M', 1, 2};
    EXPECT_FALSE(image.DecodeFromMemory(shortFile, sizeof(shortFile), kPixTypeBmp));
    EXPECT_STREQ(image.LastError(), "Not a BMP");
    const std::uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(image.DecodeFromMemory(gif, sizeof(gif), kPixTypeBmp));
    EXPECT_STREQ(image.LastError(), "Error reading BMP info");
}

TEST(BmpDecoder, RunLengthStreamsStayInsideThePicture)
{
    struct Case {
        const char* what;
        int bits;
        std::uint32_t compression;
        std::vector<std::uint8_t> runs;
        std::vector<std::uint8_t> bottomRow, secondRow;  // indexes of rows 0 and 1
    };
    const Case cases[] = {
        {"end of bitmap first leaves the rows as created", 8, 1, {0, 1, 3, 7}, {0, 0, 0}, {0, 0, 0}},
        {"runs, a line end and an absolute run with its pad", 8, 1, {2, 5, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1}, {5, 5, 0}, {1, 2, 3}},
        {"a run past the padded row ends decoding", 8, 1, {5, 9, 2, 7}, {0, 0, 0}, {0, 0, 0}},
        {"a run filling the padded row is kept", 8, 1, {4, 9, 0, 0, 1, 8, 0, 1}, {9, 9, 9}, {8, 0, 0}},
        {"a delta past the last row ends decoding", 8, 1, {1, 4, 0, 2, 0, 200, 1, 9}, {4, 0, 0}, {0, 0, 0}},
        {"a delta within the picture moves right and up", 8, 1, {0, 2, 1, 1, 1, 6, 0, 1}, {0, 0, 0}, {0, 6, 0}},
        {"line ends past the last row end decoding", 8, 1, {0, 0, 0, 0, 0, 0, 0, 0, 3, 3}, {0, 0, 0}, {0, 0, 0}},
        {"an absolute run past the row ends decoding", 8, 1, {0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}, {0, 0, 0}, {0, 0, 0}},
        {"RLE4 runs alternate the nibbles", 4, 2, {3, 0x12, 0, 0, 0, 3, 0x45, 0x60, 0, 1}, {1, 2, 1}, {4, 5, 6}},
        {"a stream cut in the middle keeps what it drew", 8, 1, {2, 7, 0}, {7, 7, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Info info;
        info.width = 3;
        info.height = 2;
        info.bits = c.bits;
        info.compression = c.compression;
        const int entries = 1 << c.bits;
        CPixImage image(kPixTypeUnknown);
        const std::vector<std::uint8_t> bytes = Bmp(info, Concat(GreyPalette(entries), c.runs), true, 4u * entries);
        ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp)) << image.LastError();
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(image.PixelIndex(x, 0), c.bottomRow[x]) << "x " << x;
            EXPECT_EQ(image.PixelIndex(x, 1), c.secondRow[x]) << "x " << x;
        }
    }
}

TEST(BmpDecoder, ADataOffsetPastTheEndReadsNothingFromAFileAsFromMemory)
{
    Info info;
    info.width = 3;
    info.height = 2;
    info.bits = 8;
    const std::vector<std::uint8_t> rows = {1, 2, 3, 0, 4, 5, 6, 0};
    const std::string path = UniqueTempPath("bmp_far_offset.bmp");
    for (std::uint32_t offset : {2000u, 0x7FFFFFF0u, 0xFA000076u}) {
        SCOPED_TRACE(offset);
        std::vector<std::uint8_t> bytes = Bmp(info, Concat(GreyPalette(256), rows), true, 1024);
        for (int i = 0; i < 4; ++i)
            bytes[10 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
        CPixImage fromMemory(kPixTypeUnknown);
        ASSERT_TRUE(fromMemory.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp)) << fromMemory.LastError();
        ASSERT_TRUE(WriteBytes(path, bytes));
        CPixImage fromFile(kPixTypeUnknown);
        ASSERT_TRUE(fromFile.ReadFromFile(path.c_str(), kPixTypeBmp)) << fromFile.LastError();
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 3; ++x) {
                EXPECT_EQ(fromMemory.PixelIndex(x, y), 0) << x << "," << y;
                EXPECT_EQ(fromFile.PixelIndex(x, y), 0) << x << "," << y;
            }
        }
    }
    std::remove(path.c_str());
}

TEST(BmpEncoder, TwoByTwoPictureIsAFileHeaderAndItsBuffer)
{
    CPixImage image(2, 2, 24, kPixTypeUnknown);
    image.SetPixelColor(1, 1, static_cast<std::uint32_t>(0x030201));
    image.SetXDpi(72);
    const std::vector<std::uint8_t> bytes = EncodedAs(image, kPixTypeBmp);
    ASSERT_EQ(bytes.size(), 70u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2], 70);
    EXPECT_EQ(bytes[10], 54);
    EXPECT_EQ(bytes[14], 40);
    EXPECT_EQ(bytes[14 + 24] | bytes[14 + 25] << 8, 2835);  // 72 dpi
    const std::vector<std::uint8_t> rows(bytes.begin() + 54, bytes.end());
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 2, 1, 0, 0}));  // blue first
    CPixImage back(kPixTypeUnknown);
    ASSERT_TRUE(back.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeUnknown));
    EXPECT_EQ(back.XDpi(), 72);
}

TEST(BmpEncoder, EveryDepthRoundTripsAndReadsBackInPillow)
{
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE(bpp);
        CPixImage image = PatternedImage(11, 6, bpp, false);
        const std::vector<std::uint8_t> bytes = EncodedAs(image, kPixTypeBmp);
        CPixImage back(kPixTypeUnknown);
        ASSERT_TRUE(back.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
        EXPECT_EQ(back.Bpp(), bpp);
        EXPECT_EQ(TopDownRgba(back), TopDownRgba(image));
        const std::string path = UniqueTempPath("bmp_pillow_" + std::to_string(bpp) + ".bmp");
        ASSERT_TRUE(image.WriteToFile(path.c_str(), kPixTypeBmp));
        const int agrees = PillowReadsAs(path, image);
        if (agrees >= 0) {
            EXPECT_EQ(agrees, 0);
        }
    }
}

TEST(ImageCodecs, PicturesRoundTripThroughEveryCodecThatTakesTheirDepth)
{
    struct Case {
        int bpp;
        std::uint32_t type;
    };
    const Case cases[] = {{1, kPixTypeBmp}, {4, kPixTypeBmp}, {8, kPixTypeBmp}, {24, kPixTypeBmp}, {1, kPixTypeGif},
                          {4, kPixTypeGif}, {8, kPixTypeGif}, {8, kPixTypeTga}, {24, kPixTypeTga}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.bpp) + " bits, type " + std::to_string(c.type));
        CPixImage image = PatternedImage(11, 6, c.bpp, false);
        const std::vector<std::uint8_t> bytes = EncodedAs(image, c.type);
        CPixImage back(kPixTypeUnknown);
        ASSERT_TRUE(back.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeUnknown)) << back.LastError();
        EXPECT_EQ(back.Type(), c.type);
        EXPECT_EQ(TopDownRgba(back), TopDownRgba(image));
    }
}

TEST(ImageCodecs, BmpFileNamedAsGifFailsAsGifThenLoadsAsBmp)
{
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.ReadFromFile(ImageDataPath("bmp_pil_24.bmp").c_str(), kPixTypeGif));
    EXPECT_EQ(image.Type(), kPixTypeBmp);
}
