// test-labels: untrusted
#include "ImageTestData.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// 0, step, 2 step ... below length, and length - 1.
std::vector<int> Positions(int length, int step)
{
    std::vector<int> at;
    for (int i = 0; i < length; i += step)
        at.push_back(i);
    if (!at.empty() && at.back() != length - 1)
        at.push_back(length - 1);
    return at;
}

struct Decoded {
    bool ok = false;
    int width = 0, height = 0;
};

// Decodes the bytes with the given type. A refusal leaves no picture; a success gives one of a
// positive size, each pixel and alpha value of which can be read. Every pixel is touched, so that
// under ASan a buffer smaller than the picture shows; of a picture over 1024 pixels a side (a
// damaged header declares up to hundreds of millions) a grid of about 1024 x 1024 that takes in the
// last row and column, the far ends of the pixel rows and of the alpha plane.
Decoded DecodeAndCheck(const std::vector<std::uint8_t>& bytes, std::uint32_t type)
{
    CPixImage image(kPixTypeUnknown);
    Decoded out;
    out.ok = image.DecodeFromMemory(bytes.data(), bytes.size(), type);
    out.width = image.Width();
    out.height = image.Height();
    if (!out.ok) {
        EXPECT_FALSE(image.HasPixels()) << "a refused decode left a picture";
        return out;
    }
    if (!image.HasPixels() || out.width <= 0 || out.height <= 0) {
        ADD_FAILURE() << "a decode said it succeeded with a picture of " << out.width << " x " << out.height;
        return out;
    }
    const std::vector<int> xs = Positions(out.width, (out.width + 1023) / 1024);
    volatile unsigned sink = 0;
    for (int y : Positions(out.height, (out.height + 1023) / 1024))
        for (int x : xs)
            sink = sink + image.GreyLevelAt(x, y) + image.AlphaAt(x, y);
    return out;
}

const char* const kGifs[] = {"plain.gif", "interlaced.gif", "transparent.gif", "frames.gif"};
const char* const kTgas[] = {"rgba_rle_down.tga", "rgb_rle_up.tga", "pal_raw_up.tga", "grey_rle_down.tga",
                             "rgba_raw_down.tga"};

const char* const kBmps[] = {"bmp_im3_rle8.bmp", "bmp_hand_rle4.bmp", "bmp_hand_565.bmp", "bmp_pil_1.bmp",
                             "bmp_im2_8.bmp",    "bmp_hand_topdown.bmp", "bmp_pil_32.bmp", "bmp_hand_os2.bmp"};

void ForEachFixture(const std::function<void(const std::string&, std::uint32_t)>& check)
{
    for (const char* name : kGifs)
        check(name, kPixTypeGif);
    for (const char* name : kTgas)
        check(name, kPixTypeTga);
    for (const char* name : kBmps)
        check(name, kPixTypeBmp);
}

}  // namespace

TEST(ImageReaders, EveryTruncationDecodesSafely)
{
    ForEachFixture([](const std::string& name, std::uint32_t type) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> whole = ReadBytesOf(ImageDataPath(name));
        ASSERT_FALSE(whole.empty());
        const Decoded full = DecodeAndCheck(whole, type);
        ASSERT_TRUE(full.ok);
        // What a short file does decode to is the picture its header declares, its missing part blank.
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const std::vector<std::uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(n));
            for (const Decoded& got : {DecodeAndCheck(part, type), DecodeAndCheck(part, kPixTypeUnknown)}) {
                if (got.ok) {
                    EXPECT_EQ(got.width, full.width) << n << " bytes";
                    EXPECT_EQ(got.height, full.height) << n << " bytes";
                }
            }
        }
    });
}

TEST(ImageReaders, RandomByteFlipsDecodeSafely)
{
    unsigned seed = 2024;
    ForEachFixture([&seed](const std::string& name, std::uint32_t type) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> whole = ReadBytesOf(ImageDataPath(name));
        for (int round = 0; round < 400; ++round) {
            std::vector<std::uint8_t> bytes = whole;
            const int flips = 1 + round % 4;
            for (int i = 0; i < flips; ++i) {
                seed = seed * 1664525u + 1013904223u;
                const std::size_t at = (seed >> 8) % bytes.size();
                bytes[at] = static_cast<std::uint8_t>(round % 3 == 0 ? seed >> 24 : bytes[at] ^ (1u << (seed % 8)));
            }
            DecodeAndCheck(bytes, type);
        }
    });
}

TEST(ImageReaders, HugeDeclaredSizesFailOrDecodeWithinTheLimit)
{
    struct Case {
        const char* file;
        std::uint32_t type;
        std::size_t widthAt, heightAt;
    };
    const Case cases[] = {{"plain.gif", kPixTypeGif, 6, 8}, {"plain.gif", kPixTypeGif, 13 + 768 + 8 + 5, 13 + 768 + 8 + 7},
                          {"rgba_raw_down.tga", kPixTypeTga, 12, 14}, {"rgb_rle_up.tga", kPixTypeTga, 12, 14}};
    const std::uint16_t sizes[][2] = {{0xFFFF, 0xFFFF}, {0xFFFF, 1}, {1, 0xFFFF}, {0, 0}, {0x8000, 0x8000}};
    for (const Case& c : cases) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::string(c.file) + " " + std::to_string(size[0]) + "x" + std::to_string(size[1]));
            std::vector<std::uint8_t> bytes = ReadBytesOf(ImageDataPath(c.file));
            bytes[c.widthAt] = static_cast<std::uint8_t>(size[0]);
            bytes[c.widthAt + 1] = static_cast<std::uint8_t>(size[0] >> 8);
            bytes[c.heightAt] = static_cast<std::uint8_t>(size[1]);
            bytes[c.heightAt + 1] = static_cast<std::uint8_t>(size[1] >> 8);
            DecodeAndCheck(bytes, c.type);
        }
    }
}

TEST(ImageReaders, ExtremeBmpSizesFailOrDecodeWithinTheLimit)
{
    const std::uint32_t sizes[][2] = {{0xFFFFFFFF, 0xFFFFFFFF}, {0x7FFFFFFF, 1},          {1, 0x7FFFFFFF},
                                      {0x80000000, 5},          {5, 0x80000000},          {5, 0xFFFFFFFB},
                                      {0x10000, 0x10000},       {0, 0},                   {40000, 0xFFFF9C40}};
    for (const char* file : {"bmp_pil_24.bmp", "bmp_im3_rle8.bmp", "bmp_hand_565.bmp", "bmp_hand_32bf.bmp"}) {
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::string(file) + " " + std::to_string(size[0]) + "x" + std::to_string(size[1]));
            std::vector<std::uint8_t> bytes = ReadBytesOf(ImageDataPath(file));
            for (int i = 0; i < 4; ++i) {
                bytes[18 + i] = static_cast<std::uint8_t>(size[0] >> (8 * i));
                bytes[22 + i] = static_cast<std::uint8_t>(size[1] >> (8 * i));
            }
            DecodeAndCheck(bytes, kPixTypeBmp);
        }
    }
}
