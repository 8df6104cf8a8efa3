// test-labels: untrusted
// Hostile input to the image library: GIFs whose frames ask for the screen's canvas again and
// again, BMP header sizes past what a memory stream holds, and the processing operations with
// NaN, infinities and coordinates near the int range (run under UBSan, where undefined
// arithmetic aborts).
#include "ImageTestData.h"
#include "image/CPixImage.h"
#include "support/BoundedRun.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, int v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A GIF of a screenWidth x screenHeight screen without a global colour table whose `frames`
// frames of frameWidth x frameHeight carry no pixel data (two bytes: code size and the end).
Bytes EmptyFrames(int screenWidth, int screenHeight, int frameWidth, int frameHeight, int frames)
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Put16(b, screenWidth);
    Put16(b, screenHeight);
    b.insert(b.end(), {0, 0, 0});
    for (int i = 0; i < frames; ++i) {
        b.push_back(',');
        Put16(b, 0);
        Put16(b, 0);
        Put16(b, frameWidth);
        Put16(b, frameHeight);
        b.insert(b.end(), {0, 2, 0});
    }
    b.push_back(';');
    return b;
}

// Decodes like the game (a GIF mask) with the given frame to read: 0 decoded, 1 refused.
int DecodeGif(const Bytes& bytes, int frame)
{
    CPixImage image(kPixTypeUnknown);
    image.SetFrame(frame);
    return image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif) && image.HasPixels() ? 0 : 1;
}

struct GifCase {
    std::string what;
    Bytes bytes;
    int frame;
    bool decoded;
};

}  // namespace

TEST(HostileGif, FramesOverTheScreenCanvasAreBoundedAsAWhole)
{
    const std::vector<GifCase> cases = {
        // Compositing: frames smaller than the screen drawn in colour, one after the other.
        {"3 frames, 64 screen", EmptyFrames(64, 64, 63, 63, 3), 0, true},
        {"9 frames, 1000 screen", EmptyFrames(1000, 1000, 999, 999, 9), 0, true},
        {"9 frames, 2000 screen", EmptyFrames(2000, 2000, 1999, 1999, 9), 0, false},
        {"2 frames, 9000 screen", EmptyFrames(9000, 9000, 8999, 8999, 2), 0, false},
        {"15 frames, 9000 screen (194 bytes)", EmptyFrames(9000, 9000, 8999, 8999, 15), 0, false},
        {"150 frames, 4000 screen (1814 bytes)", EmptyFrames(4000, 4000, 3999, 3999, 150), 0, false},
        // Without compositing: every frame up to the one to read copies the screen's canvas.
        {"frame 0 of 40 full-width frames, 2000 screen", EmptyFrames(2000, 2000, 2000, 1999, 40), 0, true},
        {"frame 39 of 40 full-width frames, 2000 screen", EmptyFrames(2000, 2000, 2000, 1999, 40), 39, false},
        {"frame 5 of 6 full-width frames, 1000 screen", EmptyFrames(1000, 1000, 1000, 999, 6), 5, true},
        // One frame of the largest screen: a canvas and a frame over CPIX_MAX_MEMORY together.
        {"one frame, 65535 x 65535 screen", EmptyFrames(65535, 65535, 65535, 65535, 1), 0, false},
        {"one frame, 2500 x 2500 screen", EmptyFrames(2500, 2500, 2500, 2500, 1), 0, true},
        {"one frame, 4000 x 4000 screen", EmptyFrames(4000, 4000, 4000, 4000, 1), 0, false},
    };
    for (const GifCase& c : cases) {
        SCOPED_TRACE(c.what + " (" + std::to_string(c.bytes.size()) + " bytes)");
        const RunCost cost = RunBounded([&c] { return DecodeGif(c.bytes, c.frame); });
        ASSERT_TRUE(cost.exited) << "killed after " << cost.seconds << " s";
        EXPECT_EQ(cost.status, c.decoded ? 0 : 1);
        EXPECT_LT(cost.seconds, 1.0 * kTestTimeScale);
        EXPECT_LT(cost.peakMb, 256.0 * kTestMemoryScale);
    }
}

TEST(HostileGif, ARefusedDecodeSaysWhy)
{
    CPixImage image(kPixTypeUnknown);
    const Bytes bytes = EmptyFrames(9000, 9000, 8999, 8999, 15);
    EXPECT_FALSE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif));
    EXPECT_STREQ(image.LastError(), "GIF needs too much work to decode");
    EXPECT_EQ(image.FrameCount(), 15);
}

TEST(HostileGif, EveryFrameOfTheTestAnimationsStillDecodes)
{
    for (const char* name : {"frames.gif", "gl_frames.gif", "im_frames.gif"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = ReadBytesOf(ImageDataPath(name));
        for (int frame = 0; frame < 3; ++frame) {
            CPixImage image(kPixTypeUnknown);
            image.SetFrame(frame);
            EXPECT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif)) << frame;
        }
    }
}

namespace {

// A 2 x 2 24-bit BMP whose information header claims `headerSize` bytes (the pixels follow the
// 40 bytes that are there), with the file header's data offset.
Bytes BmpWithHeaderSize(std::uint32_t headerSize, std::uint32_t dataOffset)
{
    Bytes b = {'B', 'M'};
    auto put32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put32(14 + 40 + 16);
    put32(0);
    put32(dataOffset);
    put32(headerSize);
    put32(2);
    put32(2);
    b.insert(b.end(), {1, 0, 24, 0});
    put32(0);    // no compression
    put32(16);   // image size: two rows of 8 bytes
    put32(2835);
    put32(2835);
    put32(0);
    put32(0);
    for (int i = 0; i < 16; ++i)
        b.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return b;
}

}  // namespace

namespace {

// A short BMP that declares width x height (top-down when `topDown`) and holds `data`.
Bytes ShortBmp(int bits, int compression, std::uint32_t width, std::uint32_t height, bool topDown, const Bytes& data)
{
    Bytes b = {'B', 'M'};
    auto put32 = [&b](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const std::uint32_t palette = bits <= 8 ? 4u << bits : 0;
    put32(0);
    put32(0);
    put32(54 + palette);
    put32(40);
    put32(width);
    put32(topDown ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(height)) : height);
    b.insert(b.end(), {1, 0, static_cast<std::uint8_t>(bits), 0});
    put32(static_cast<std::uint32_t>(compression));
    for (int i = 0; i < 5; ++i)
        put32(0);
    for (std::uint32_t i = 0; i < palette; ++i)
        b.push_back(static_cast<std::uint8_t>(i * 13));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// A 16- or 32-bit one with `rowsHeld` rows of data.
Bytes ShortTrueColourBmp(int bits, std::uint32_t width, std::uint32_t height, int rowsHeld, bool topDown = false)
{
    const std::uint32_t row = bits == 16 ? ((width + 1) / 2) * 4 : width * 4;
    Bytes data;
    for (std::uint32_t i = 0; i < row * static_cast<std::uint32_t>(rowsHeld); ++i)
        data.push_back(static_cast<std::uint8_t>(i * 29 + 3));
    return ShortBmp(bits, 0, width, height, topDown, data);
}

}  // namespace

TEST(HostileBmp, AShortFileCostsWhatItHolds)
{
    struct Case {
        int bits;
        std::uint32_t width, height;
        int rows;
    };
    // About 200 MB of picture declared by files of at most a few kilobytes.
    std::vector<std::pair<std::string, Bytes>> files;
    for (const Case& c : {Case{16, 262157, 256, 0}, Case{16, 8000, 8000, 2}, Case{32, 9000, 7000, 0}, Case{32, 9000, 7000, 1},
                          Case{16, 20, 4, 4}, Case{32, 20, 4, 3}}) {
        for (bool topDown : {false, true})
            files.emplace_back(std::to_string(c.bits) + " bits, " + std::to_string(c.width) + " x " + std::to_string(c.height) +
                                   (topDown ? " top-down" : ""),
                               ShortTrueColourBmp(c.bits, c.width, c.height, c.rows, topDown));
    }
    // Top-down palette pictures of millions of rows: a few runs, or a few bytes of rows.
    files.emplace_back("RLE4 top-down, 13 x 16449529", ShortBmp(4, 2, 13, 16449529, true, {5, 0x12, 0, 0, 3, 0x34, 0, 1}));
    files.emplace_back("RLE8 top-down, 13 x 15000000", ShortBmp(8, 1, 13, 15000000, true, {5, 7, 0, 0, 3, 9, 0, 1}));
    files.emplace_back("8 bits top-down, 13 x 15000000", ShortBmp(8, 0, 13, 15000000, true, Bytes(40, 6)));
    for (const auto& [what, bytes] : files) {
        SCOPED_TRACE(what);
        ASSERT_LT(bytes.size(), 65536u);
        const RunCost cost = RunBounded([&bytes] {
            CPixImage image(kPixTypeUnknown);
            return image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp) ? 0 : 1;
        });
        ASSERT_TRUE(cost.exited);
        EXPECT_EQ(cost.status, 0);
        // The declared picture is allocated but never touched beyond the rows held.
        EXPECT_LT(cost.seconds, 0.25 * kTestTimeScale);
        EXPECT_LT(cost.peakMb, 32.0 * kTestMemoryScale);
    }
    // The rows held are unpacked, the rest stay black.
    const Bytes bytes = ShortTrueColourBmp(32, 20, 4, 3);
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
    EXPECT_EQ(image.PixelColor(1, 0, false).blue, static_cast<std::uint8_t>(4 * 29 + 3));
    EXPECT_EQ(image.PixelColor(19, 2, false).red, static_cast<std::uint8_t>((2 * 80 + 19 * 4 + 2) * 29 + 3));
    EXPECT_EQ(image.PixelColor(5, 3, false).red, 0);
    const Bytes bits16 = ShortTrueColourBmp(16, 20, 4, 4);
    CPixImage full(kPixTypeUnknown);
    ASSERT_TRUE(full.DecodeFromMemory(bits16.data(), bits16.size(), kPixTypeBmp));
    const std::uint32_t w = static_cast<std::uint32_t>(bits16[54 + 3 * 40 + 2 * 7] | bits16[54 + 3 * 40 + 2 * 7 + 1] << 8);
    EXPECT_EQ(full.PixelColor(7, 3, false).blue, static_cast<std::uint8_t>((w & 0x1F) << 3));
    // Top-down: the first rows of the file are the top rows of the picture.
    const Bytes topDown = ShortTrueColourBmp(32, 20, 4, 3, true);
    CPixImage flipped(kPixTypeUnknown);
    ASSERT_TRUE(flipped.DecodeFromMemory(topDown.data(), topDown.size(), kPixTypeBmp));
    EXPECT_EQ(flipped.PixelColor(1, 3, false).blue, static_cast<std::uint8_t>(4 * 29 + 3));
    EXPECT_EQ(flipped.PixelColor(19, 1, false).red, static_cast<std::uint8_t>((2 * 80 + 19 * 4 + 2) * 29 + 3));
    EXPECT_EQ(flipped.PixelColor(5, 0, false).red, 0);
    const Bytes runs = ShortBmp(8, 1, 13, 5, true, {5, 7, 0, 0, 3, 9, 0, 1});
    CPixImage rle(kPixTypeUnknown);
    ASSERT_TRUE(rle.DecodeFromMemory(runs.data(), runs.size(), kPixTypeBmp));
    EXPECT_EQ(rle.PixelIndex(4, 4), 7);
    EXPECT_EQ(rle.PixelIndex(5, 4), 0);
    EXPECT_EQ(rle.PixelIndex(2, 3), 9);
    EXPECT_EQ(rle.PixelIndex(0, 0), 0);
}

TEST(HostileBmp, AFileAndTheSameBytesInMemoryGiveTheSameAnswer)
{
    const std::string path = UniqueTempPath("header.bmp");
    for (std::uint32_t size : {41u, 124u, 4096u, 0x7FFFDFD0u, 0x7FFFE000u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFF0u,
                               0xFFFFFFFFu}) {
        for (std::uint32_t offset : {54u, 0u}) {
            SCOPED_TRACE(std::to_string(size) + " header bytes, data offset " + std::to_string(offset));
            const Bytes bytes = BmpWithHeaderSize(size, offset);
            CPixImage fromMemory(kPixTypeUnknown);
            const bool memoryOk = fromMemory.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp);
            ASSERT_TRUE(WriteBytes(path, bytes));
            std::FILE* file = std::fopen(path.c_str(), "rb");
            ASSERT_NE(file, nullptr);
            CPixImage fromFile(kPixTypeUnknown);
            const bool fileOk = fromFile.DecodeFromHandle(file, kPixTypeBmp);
            std::fclose(file);
            EXPECT_EQ(memoryOk, fileOk);
            EXPECT_STREQ(fromMemory.LastError(), fromFile.LastError());
            if (memoryOk && fileOk) {
                EXPECT_EQ(TopDownRgba(fromMemory), TopDownRgba(fromFile));
            }
            // Wherever the header's end lies, the pixels are read at the data offset.
            if (offset == 54) {
                EXPECT_TRUE(memoryOk);
                EXPECT_EQ(fromMemory.PixelColor(0, 0, false).blue, 11);
            }
        }
    }
    std::remove(path.c_str());
}

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const float kOddFloats[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3e9f, -3e9f, 2147483648.0f, -2147483904.0f};
const int kOddInts[] = {2000000000, -2000000000, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};

CPixImage Picture(int bpp)
{
    return PatternedImage(16, 16, bpp);
}

// The Part's Bresenham line, step by step over every pixel, for end points whose differences fit.
std::vector<std::pair<int, int>> ReferenceLine(int x1, int x2, int y1, int y2, int width, int height)
{
    std::vector<std::pair<int, int>> out;
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
    const int longer = dx > dy ? dx : dy, shorter = dx > dy ? dy : dx;
    int x = x1, y = y1, sum = longer / 2;
    for (int i = 0; i <= longer; ++i) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            out.emplace_back(x, y);
        sum += shorter;
        if (sum >= longer && longer > 0) {
            sum -= longer;
            if (dx > dy)
                y += sy;
            else
                x += sx;
        }
        if (dx > dy)
            x += sx;
        else
            y += sy;
    }
    return out;
}

std::vector<std::pair<int, int>> DrawnPixels(int x1, int x2, int y1, int y2)
{
    CPixImage image(16, 16, 24, kPixTypeUnknown);
    image.DrawLine(x1, x2, y1, y2, 0xFFFFFF);
    std::vector<std::pair<int, int>> out;
    for (int x = 0; x < 16; ++x) {
        for (int y = 0; y < 16; ++y) {
            if (image.PixelColor(x, y, false).red == 255)
                out.emplace_back(x, y);
        }
    }
    return out;
}

}  // namespace

TEST(HostileArguments, SamplingAtOddPointsIsDefined)
{
    const PixQuad fill{1, 2, 3, 4};
    for (int bpp : {8, 24}) {
        const CPixImage image = Picture(bpp);
        for (int method = 1; method <= 17; ++method) {
            for (int mode = 0; mode <= 6; ++mode) {
                for (float x : kOddFloats) {
                    SCOPED_TRACE(std::to_string(method) + " " + std::to_string(mode) + " " + std::to_string(x));
                    (void)image.SampleAt(x, 3.5f, static_cast<InterpolationMode>(method), static_cast<OverflowMode>(mode), &fill);
                    (void)image.SampleAt(3.5f, x, static_cast<InterpolationMode>(method), static_cast<OverflowMode>(mode), nullptr);
                }
            }
        }
        (void)image.SampleArea(kNaN, 2, 3, 3, kInterpBilinear, kOverflowRepeat, nullptr);
        (void)image.SampleArea(2, 2, kNaN, kNaN, kInterpBicubic, kOverflowWrap, nullptr);
    }
}

TEST(HostileArguments, TurnsShearsAndCropsAtOddAnglesAreDefined)
{
    for (int bpp : {8, 24}) {
        for (float angle : kOddFloats) {
            SCOPED_TRACE(std::to_string(bpp) + " " + std::to_string(angle));
            CPixImage image = Picture(bpp);
            CPixImage out(kPixTypeUnknown);
            (void)image.RotateInterpolated(angle, &out, kInterpBicubic, kOverflowColor, nullptr, true, false);
            (void)image.RotateInterpolated(angle, &out, kInterpBilinear, kOverflowWrap, nullptr, false, true);
            (void)image.RotateNearest(angle, &out);
            if (!std::isfinite(angle)) {
                EXPECT_FALSE(image.CropRotated(2, 2, 8, 8, angle, &out));
            }
            (void)image.CropRotated(2, 2, 8, 8, angle, &out);
            (void)image.Shear(angle, 0.5f, 3, 3, true);
            (void)image.Shear(0.5f, angle, 3, 3, false);
            (void)image.RadialDistort(1, 5, angle);
        }
        for (int v : kOddInts) {
            CPixImage image = Picture(bpp);
            CPixImage out(kPixTypeUnknown);
            EXPECT_FALSE(image.CropRotated(v, 2, 8, 8, 0.5f, &out));
            EXPECT_FALSE(image.CropRotated(2, 2, v, v, 0.5f, &out));
            (void)image.CropRotated(2, 2, v, 8, 0.0001f, &out);
            (void)image.CropRotated(v, v, v, v, 1.0f, &out);
            (void)image.Shear(0.5f, 0.5f, v, v, true);
        }
    }
    // A plain turn and crop still work.
    CPixImage image = Picture(24);
    CPixImage out(kPixTypeUnknown);
    EXPECT_TRUE(image.CropRotated(2, 2, 8, 8, 0.3f, &out));
    EXPECT_TRUE(image.RotateInterpolated(30, &out, kInterpBilinear, kOverflowColor, nullptr, false, false));
}

TEST(HostileArguments, ColourOperationsWithOddFactorsAreDefined)
{
    for (float v : kOddFloats) {
        SCOPED_TRACE(std::to_string(v));
        for (int bpp : {8, 24}) {
            CPixImage image = Picture(bpp);
            EXPECT_TRUE(image.Tint(20, 200, v));
            image.SetHuePalette(v);
            (void)image.GammaCorrect(v);
            (void)image.UnsharpMask(v, 1, 0);
            (void)image.UnsharpMask(2, v, 0);
            (void)image.SmoothByCurvature(v, 1, 0);
            image.BlendPixelColor(3, 3, PixQuad{9, 9, 9, 9}, v, true);
            CPixImage channel = PatternedImage(16, 16, 8, false);
            EXPECT_TRUE(image.SmoothChannel(&channel, v));
        }
    }
    // NaN changes nothing where a blend or a radius is asked for.
    CPixImage image = Picture(24);
    const CPixImage before = Picture(24);
    EXPECT_TRUE(image.Tint(20, 200, kNaN));
    image.BlendPixelColor(3, 3, PixQuad{9, 9, 9, 9}, kNaN);
    EXPECT_EQ(TopDownRgba(image), TopDownRgba(before));
    CPixImage channel = PatternedImage(16, 16, 8, false);
    const CPixImage channelBefore = PatternedImage(16, 16, 8, false);
    EXPECT_TRUE(image.SmoothChannel(&channel, kNaN));
    EXPECT_EQ(TopDownIndices(channel), TopDownIndices(channelBefore));
    // A finite hue correction keeps the Part's 8 low bits of the truncated product: with 256
    // entries, j x 257 and j x 1 agree in them.
    CPixImage palette = Picture(8);
    CPixImage large = Picture(8);
    palette.SetHuePalette(1.0f);
    large.SetHuePalette(257.0f);
    EXPECT_EQ(PaletteTriples(palette), PaletteTriples(large));
    CPixImage nan = Picture(8);
    CPixImage zero = Picture(8);
    nan.SetHuePalette(kNaN);
    zero.SetHuePalette(0.0f);
    EXPECT_EQ(PaletteTriples(nan), PaletteTriples(zero));
}

TEST(HostileArguments, LinesBetweenFarPointsAreDrawnAsTheirNearPart)
{
    // Against the Part's step-by-step line where its arithmetic fits.
    unsigned seed = 7;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(range)) - range / 3;
    };
    for (int i = 0; i < 3000; ++i) {
        const int range = i < 1500 ? 60 : 4000;
        const int x1 = next(range), x2 = next(range), y1 = next(range), y2 = next(range);
        SCOPED_TRACE(std::to_string(x1) + "," + std::to_string(y1) + " to " + std::to_string(x2) + "," + std::to_string(y2));
        auto expected = ReferenceLine(x1, x2, y1, y2, 16, 16);
        std::sort(expected.begin(), expected.end());
        ASSERT_EQ(DrawnPixels(x1, x2, y1, y2), expected);
    }
    // Far end points: no overflow, and a horizontal line through the picture crosses it whole.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DrawnPixels(-2000000000, 2000000000, 5, 5).size(), 16u);
    EXPECT_EQ(DrawnPixels(5, 5, 2000000000, -2000000000).size(), 16u);
    for (int a : kOddInts)
        for (int b : kOddInts)
            (void)DrawnPixels(a, b, b, a);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0 * kTestTimeScale);
}

TEST(HostilePolygon, FarVerticesAreWalkedOnlyWhereTheyMeetThePicture)
{
    const int far = 2000000000;
    struct Case {
        const char* what;
        std::vector<PixPoint> points;
        int selected;
    };
    // What the Part's flood from the picture's border leaves: edges, and what they close in
    // within the picture. A polygon around the whole picture closes nothing in.
    const std::vector<Case> cases = {
        {"square around the picture", {{-far, -far}, {far, -far}, {far, far}, {-far, far}}, 0},
        {"band across the picture", {{-far, 4}, {far, 4}, {far, 11}, {-far, 11}}, 32},
        {"the same band from near points", {{-5, 4}, {20, 4}, {20, 11}, {-5, 11}}, 32},
        {"triangle whose long edge is the diagonal", {{-far, -far}, {far, -far}, {-far, far}}, 1},
        {"square far to the right", {{far, -far}, {far + 100, -far}, {far + 100, far}, {far, far}}, 0},
        {"int extremes", {{INT_MIN, INT_MIN}, {INT_MAX, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}}, 0},
        {"int extremes across", {{INT_MIN, 7}, {INT_MAX, 7}, {INT_MAX, 8}, {INT_MIN, 8}}, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CPixImage image(16, 16, 24, kPixTypeUnknown);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(image.SelectPolygon(c.points.data(), static_cast<int>(c.points.size())));
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0 * kTestTimeScale);
        int selected = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                selected += image.IsSelected(x, y) ? 1 : 0;
        }
        EXPECT_EQ(selected, c.selected);
    }
    // A polygon inside the picture is as before: a 4 x 4 square with its edges.
    CPixImage image(16, 16, 24, kPixTypeUnknown);
    const PixPoint square[] = {{2, 2}, {5, 2}, {5, 5}, {2, 5}};
    ASSERT_TRUE(image.SelectPolygon(square, 4));
    EXPECT_TRUE(image.IsSelected(2, 2));
    EXPECT_TRUE(image.IsSelected(5, 5));
    EXPECT_FALSE(image.IsSelected(6, 5));
    EXPECT_FALSE(image.IsSelected(1, 2));
}
