// test-labels: untrusted
// Hostile input to the image library: GIFs whose frames ask for the screen's canvas again and
// again, BMP header sizes past what a memory stream holds, and the processing operations with
// NaN, infinities and coordinates near the int range (run under UBSan, where undefined
// arithmetic aborts).
#include "ImageTestData.h"
#include "image/CPixImage.h"
#include "image/CPixRect2.h"
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
#include <tuple>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutLe(Bytes& b, std::uint32_t v, int size)
{
    for (int i = 0; i < size; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A GIF of a screen x screen screen without a global colour table whose `frames` frames of
// frameWidth x frameHeight carry no pixel data (two bytes: code size and the end), or with
// `dataBytes` bytes of zero codes each. With a `coveringAt` frame, that one covers the screen
// with a 2-colour table and the others have 4-colour tables that begin with it.
Bytes EmptyFrames(int screen, int frameWidth, int frameHeight, int frames, int dataBytes = 0, int coveringAt = -1)
{
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    PutLe(b, static_cast<std::uint32_t>(screen) * 0x10001u, 4);
    b.insert(b.end(), {0, 0, 0});
    for (int i = 0; i < frames; ++i) {
        const bool covering = i == coveringAt;
        const auto width = static_cast<std::uint32_t>(covering ? screen : frameWidth);
        const auto height = static_cast<std::uint32_t>(covering ? screen : frameHeight);
        b.insert(b.end(), {',', 0, 0, 0, 0});
        PutLe(b, width | height << 16, 4);
        b.push_back(static_cast<std::uint8_t>(coveringAt < 0 ? 0 : covering ? 0x80 : 0x81));
        for (int n = 0; coveringAt >= 0 && n < (covering ? 2 : 4); ++n)
            b.insert(b.end(), {static_cast<std::uint8_t>(60 * n), 0, 0});
        b.push_back(2);
        for (int left = dataBytes; left > 0; left -= 255) {
            b.push_back(static_cast<std::uint8_t>(std::min(left, 255)));
            b.insert(b.end(), static_cast<std::size_t>(std::min(left, 255)), 0);
        }
        b.push_back(0);
    }
    b.push_back(';');
    return b;
}

// A 2 x 2 24-bit BMP whose information header claims `headerSize` bytes (the pixels follow the
// 40 bytes that are there), with the file header's data offset.
Bytes BmpWithHeaderSize(std::uint32_t headerSize, std::uint32_t dataOffset)
{
    Bytes b = {'B', 'M'};
    for (std::uint32_t v : {14u + 40 + 16, 0u, dataOffset, headerSize, 2u, 2u, 0x180001u, 0u, 16u, 2835u, 2835u, 0u, 0u})
        PutLe(b, v, 4);
    for (int i = 0; i < 16; ++i)
        b.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return b;
}

// A short BMP that declares width x height (top-down when `topDown`) and holds `data`.
Bytes Bmp(int bits, int compression, std::uint32_t width, std::uint32_t height, bool topDown, const Bytes& data)
{
    const std::uint32_t palette = bits <= 8 ? 4u << bits : 0;
    Bytes b = {'B', 'M'};
    const std::uint32_t rows = topDown ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(height)) : height;
    for (std::uint32_t v : {0u, 0u, 54 + palette, 40u, width, rows, static_cast<std::uint32_t>(bits) << 16 | 1,
                            static_cast<std::uint32_t>(compression), 0u, 0u, 0u, 0u, 0u})
        PutLe(b, v, 4);
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
    return Bmp(bits, 0, width, height, topDown, data);
}

CPixImage DecodedBmp(const Bytes& bytes)
{
    CPixImage image(kPixTypeUnknown);
    EXPECT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeBmp));
    return image;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
const float kOddFloats[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3e9f, -3e9f, 2147483648.0f, -2147483904.0f};
const int kOddInts[] = {2000000000, -2000000000, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};

// A plain step-by-step Bresenham line over every pixel, for end points whose differences fit.
std::vector<std::pair<int, int>> ReferenceLine(int x1, int x2, int y1, int y2)
{
    std::vector<std::pair<int, int>> out;
    const int dx = std::abs(x2 - x1), dy = std::abs(y2 - y1);
    const int sx = x2 >= x1 ? 1 : -1, sy = y2 >= y1 ? 1 : -1;
    const int longer = std::max(dx, dy), shorter = std::min(dx, dy);
    int x = x1, y = y1, sum = longer / 2;
    for (int i = 0; i <= longer; ++i) {
        if (x >= 0 && y >= 0 && x < 16 && y < 16)
            out.emplace_back(x, y);
        sum += shorter;
        if (sum >= longer && longer > 0) {
            sum -= longer;
            (dx > dy ? y : x) += dx > dy ? sy : sx;
        }
        (dx > dy ? x : y) += dx > dy ? sx : sy;
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::pair<int, int>> DrawnPixels(int x1, int x2, int y1, int y2)
{
    CPixImage image(16, 16, 24, kPixTypeUnknown);
    image.DrawLine(x1, x2, y1, y2, 0xFFFFFF);
    std::vector<std::pair<int, int>> out;
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y)
            if (image.PixelColor(x, y, false).red == 255)
                out.emplace_back(x, y);
    return out;
}

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The area mean walked over every pixel square of the area, as the sampler once did: the
// reference for areas small enough to walk.
PixQuad WalkedAreaMean(const CPixImage& image, float x, float y, float w, float h, InterpolationMode method,
                       OverflowMode mode, const PixQuad* fill)
{
    if (w <= 1 && h <= 1)
        return image.SampleAt(x, y, method, mode, fill);
    const CPixRect2 area(x - w / 2, y - h / 2, x + w / 2, y + h / 2);
    const int xi1 = static_cast<int>(area.topLeft.x + 0.5f), yi1 = static_cast<int>(area.topLeft.y + 0.5f);
    const int xi2 = static_cast<int>(area.bottomRight.x + 0.5f), yi2 = static_cast<int>(area.bottomRight.y + 0.5f);
    auto square = [](int i, int j) {
        return CPixRect2(static_cast<float>(i) - 0.5f, static_cast<float>(j) - 0.5f, static_cast<float>(i) + 0.5f,
                         static_cast<float>(j) + 0.5f);
    };
    const CPixRect2 low = area.CrossSection(square(xi1, yi1)), high = area.CrossSection(square(xi2, yi2));
    float r = 0, g = 0, b = 0, a = 0;
    for (int j = yi1; j <= yi2; ++j) {
        for (int i = xi1; i <= xi2; ++i) {
            const CPixRect2 cut = area.CrossSection(square(i, j));
            const float wx = (i == xi1 ? low.Width() : 0) + (i == xi2 ? high.Width() : 0) + (xi1 < i && i < xi2 ? 1 : 0);
            const float wy = (j == yi1 ? low.Height() : 0) + (j == yi2 ? high.Height() : 0) + (yi1 < j && j < yi2 ? 1 : 0);
            const bool thin = w <= 1 || h <= 1;   // a thin area samples each cut at its middle
            CPixImage::AddWeightedColor(thin ? image.SampleAt(cut.Center().x, cut.Center().y, method, mode, fill)
                                             : image.PixelColorBeyond(i, j, mode, fill),
                                        thin ? cut.Surface() : wx * wy, r, g, b, a);
        }
    }
    auto byte = [&](float v) {
        v /= area.Surface();
        return static_cast<std::uint8_t>(v > 0 ? (v < 255 ? v : 255) : 0);
    };
    return PixQuad{byte(b), byte(g), byte(r), image.HasAlpha() ? byte(a) : std::uint8_t{0}};
}

bool WithinOne(PixQuad p, PixQuad q)
{
    return std::abs(p.blue - q.blue) <= 1 && std::abs(p.green - q.green) <= 1 && std::abs(p.red - q.red) <= 1 &&
           std::abs(p.reserved - q.reserved) <= 1;
}

}  // namespace

TEST(HostileGif, FramesOverTheScreenCanvasAreBoundedAsAWhole)
{
    struct Case {
        int screen, frameWidth, frameHeight, frames, frame;
        bool decoded;
        int dataBytes = 0;   // of each frame
        int coveringAt = -1;
    };
    const Case cases[] = {
        // Compositing: frames smaller than the screen drawn in colour, one after the other.
        {64, 63, 63, 3, 0, true}, {1000, 999, 999, 9, 0, true}, {2000, 1999, 1999, 9, 0, false},
        {9000, 8999, 8999, 2, 0, false}, {9000, 8999, 8999, 15, 0, false}, {4000, 3999, 3999, 150, 0, false},
        // Without compositing: every frame up to the one to read copies the screen's canvas.
        {2000, 2000, 1999, 40, 0, true}, {2000, 2000, 1999, 40, 39, false}, {1000, 1000, 999, 6, 5, true},
        // One frame: a canvas and a frame over CPIX_MAX_MEMORY together are refused.
        {65535, 65535, 65535, 1, 0, false}, {2500, 2500, 2500, 1, 0, true}, {4000, 4000, 4000, 1, 0, false},
        // Image data pays for more pixels, but no more than a file under 64 KiB can bring.
        {4096, 4096, 4096, 1, 0, true, 5000}, {4096, 4096, 4096, 2, 1, false, 4000},
        {2000, 2000, 1999, 40, 39, false, 1600}, {2000, 2000, 1999, 40, 9, true, 1600}, {2000, 2000, 1999, 40, 4, false},
        // A frame that covers the screen with a shorter table: the frame after it, with the longer
        // table again, turns the canvas to colour, which costs a screen more than a palette one.
        {2000, 2000, 1999, 3, 2, true, 0, 1}, {2400, 2400, 2399, 3, 2, false, 0, 1},
    };
    for (const Case& c : cases) {
        const Bytes bytes = EmptyFrames(c.screen, c.frameWidth, c.frameHeight, c.frames, c.dataBytes, c.coveringAt);
        ASSERT_LT(bytes.size(), 65536u);
        SCOPED_TRACE("frame " + std::to_string(c.frame) + " of " + std::to_string(c.frames) + ", " +
                     std::to_string(c.screen) + " screen (" + std::to_string(bytes.size()) + " bytes)");
        const RunCost cost = RunBoundedLeast([&] {
            CPixImage image(kPixTypeUnknown);
            image.SetFrame(c.frame);
            return image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif) && image.HasPixels() ? 0 : 1;
        }, ProcessorBound(1.0));
        ASSERT_TRUE(cost.exited) << "killed after " << cost.seconds << " s";
        EXPECT_EQ(cost.status, c.decoded ? 0 : 1);
        EXPECT_LT(cost.seconds, ProcessorBound(1.0));
        EXPECT_LT(cost.peakMb, 256.0 * kTestMemoryScale);
    }
}

TEST(HostileGif, ARefusedDecodeSaysWhy)
{
    CPixImage image(kPixTypeUnknown);
    const Bytes bytes = EmptyFrames(9000, 8999, 8999, 15);
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

TEST(HostileBmp, AShortFileCostsWhatItHolds)
{
    // About 200 MB of picture declared by files of at most a few kilobytes.
    std::vector<std::pair<std::string, Bytes>> files;
    for (const auto& [bits, width, height, rows] : {std::tuple{16, 262157u, 256u, 0}, {16, 8000u, 8000u, 2}, {32, 9000u, 7000u, 0},
                                                    {32, 9000u, 7000u, 1}, {16, 20u, 4u, 4}, {32, 20u, 4u, 3}}) {
        for (bool topDown : {false, true})
            files.emplace_back(std::to_string(bits) + " bits, " + std::to_string(width) + " x " + std::to_string(height) +
                                   (topDown ? " top-down" : ""),
                               ShortTrueColourBmp(bits, width, height, rows, topDown));
    }
    // Top-down palette pictures of millions of rows: a few runs, or a few bytes of rows.
    files.emplace_back("RLE4 top-down, 13 x 16449529", Bmp(4, 2, 13, 16449529, true, {5, 0x12, 0, 0, 3, 0x34, 0, 1}));
    files.emplace_back("RLE8 top-down, 13 x 15000000", Bmp(8, 1, 13, 15000000, true, {5, 7, 0, 0, 3, 9, 0, 1}));
    files.emplace_back("8 bits top-down, 13 x 15000000", Bmp(8, 0, 13, 15000000, true, Bytes(40, 6)));
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
        EXPECT_LT(cost.seconds, ProcessorBound(0.25));
        EXPECT_LT(cost.peakMb, 32.0 * kTestMemoryScale);
    }
    // The rows held are unpacked, the rest stay black; top-down, the file's first rows are the
    // picture's top rows.
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const CPixImage image = DecodedBmp(ShortTrueColourBmp(32, 20, 4, 3, topDown));
        auto row = [topDown](int y) { return topDown ? 3 - y : y; };
        EXPECT_EQ(image.PixelColor(1, row(0), false).blue, static_cast<std::uint8_t>(4 * 29 + 3));
        EXPECT_EQ(image.PixelColor(19, row(2), false).red, static_cast<std::uint8_t>((2 * 80 + 19 * 4 + 2) * 29 + 3));
        EXPECT_EQ(image.PixelColor(5, row(3), false).red, 0);
    }
    const Bytes bits16 = ShortTrueColourBmp(16, 20, 4, 4);
    const std::uint32_t w = static_cast<std::uint32_t>(bits16[54 + 3 * 40 + 2 * 7] | bits16[54 + 3 * 40 + 2 * 7 + 1] << 8);
    EXPECT_EQ(DecodedBmp(bits16).PixelColor(7, 3, false).blue, static_cast<std::uint8_t>((w & 0x1F) << 3));
    const CPixImage rle = DecodedBmp(Bmp(8, 1, 13, 5, true, {5, 7, 0, 0, 3, 9, 0, 1}));
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

TEST(HostileArguments, SamplingAtOddPointsIsDefined)
{
    const PixQuad fill{1, 2, 3, 4};
    const auto start = std::chrono::steady_clock::now();
    for (int bpp : {8, 24}) {
        const CPixImage image = PatternedImage(16, 16, bpp);
        for (int method = 1; method <= 17; ++method) {
            for (int mode = 0; mode <= 6; ++mode) {
                const auto interp = static_cast<InterpolationMode>(method);
                const auto overflow = static_cast<OverflowMode>(mode);
                for (float x : kOddFloats) {
                    SCOPED_TRACE(std::to_string(method) + " " + std::to_string(mode) + " " + std::to_string(x));
                    (void)image.SampleAt(x, 3.5f, interp, overflow, &fill);
                    (void)image.SampleAt(3.5f, x, interp, overflow, nullptr);
                    // Areas with any odd corner or side end at once.
                    (void)image.SampleArea(x, 2, 3, 3, interp, overflow, &fill);
                    (void)image.SampleArea(2, x, 0.5f, 40, interp, overflow, nullptr);
                    (void)image.SampleArea(2, 2, 0.25f, x, interp, overflow, nullptr);
                    (void)image.SampleArea(2, 2, x, 3, interp, overflow, &fill);
                    (void)image.SampleArea(x, -x, x, x, interp, overflow, nullptr);
                }
            }
        }
    }
    EXPECT_LT(SecondsSince(start), 2.0 * kTestTimeScale);
}

// An area is clipped to the picture: what lies beyond it is the overflow colour, or repeats the
// picture with the overflow mode's period, so a side of a billion costs what one of a hundred does.
TEST(HostileArguments, AnAreaCostsWhatItCoversOfThePicture)
{
    const PixQuad fill{200, 100, 50, 255};
    for (int bpp : {8, 24}) {
        const CPixImage image = PatternedImage(16, 16, bpp);
        // Areas that reach beyond the picture, thick and thin, agree with a walk over every pixel.
        const float corners[] = {-30.5f, -7.3f, -0.6f, 0.2f, 6.5f, 15.7f, 23.1f, 41.0f};
        const float sides[] = {0.5f, 1.0f, 1.5f, 3.0f, 12.25f, 47.0f};
        for (int method : {1, 2, 4, 6}) {
            for (int mode = 0; mode <= 6; ++mode) {
                for (float x : corners) {
                    for (float w : sides) {
                        const float y = corners[(static_cast<int>(x * 7) + method + mode) & 7];
                        const float h = sides[(static_cast<int>(w * 3) + mode) % 6];
                        SCOPED_TRACE(std::to_string(bpp) + " bits, method " + std::to_string(method) + ", mode " +
                                     std::to_string(mode) + ": " + std::to_string(w) + " x " + std::to_string(h) +
                                     " at " + std::to_string(x) + ", " + std::to_string(y));
                        const auto interp = static_cast<InterpolationMode>(method);
                        const auto overflow = static_cast<OverflowMode>(mode);
                        ASSERT_TRUE(WithinOne(image.SampleArea(x, y, w, h, interp, overflow, &fill),
                                              WalkedAreaMean(image, x, y, w, h, interp, overflow, &fill)));
                        ASSERT_TRUE(WithinOne(image.SampleArea(y, x, h, w, interp, overflow, nullptr),
                                              WalkedAreaMean(image, y, x, h, w, interp, overflow, nullptr)));
                    }
                }
            }
        }
        // Vast areas: the overflow colour outweighs the picture, or the picture repeats. The
        // walk would take minutes at 1e5 and never end at 1e9 or at an infinite side.
        const PixQuad tiled = WalkedAreaMean(image, 7.5f, 7.5f, 16, 16, kInterpBilinear, kOverflowColor, nullptr);
        const auto start = std::chrono::steady_clock::now();
        for (float side : {1e4f, 1e5f, 1e9f, kInf}) {
            SCOPED_TRACE(std::to_string(bpp) + " bits, side " + std::to_string(side));
            EXPECT_TRUE(WithinOne(image.SampleArea(7.5f, 7.5f, side, side, kInterpBilinear, kOverflowColor, &fill), fill));
            EXPECT_TRUE(WithinOne(image.SampleArea(-side, 3, side, 0.5f, kInterpBicubic, kOverflowColor, &fill), fill));
            EXPECT_TRUE(WithinOne(image.SampleArea(7.5f, 7.5f, side, side, kInterpBilinear, kOverflowWrap, nullptr), tiled));
            EXPECT_TRUE(WithinOne(image.SampleArea(1e6f, -1e6f, side, side, kInterpBilinear, kOverflowWrap, nullptr), tiled));
            (void)image.SampleArea(7.5f, 0, 0.5f, side, kInterpLanczos, kOverflowRepeat, nullptr);
        }
        EXPECT_LT(SecondsSince(start), 1.0 * kTestTimeScale);
    }
}

TEST(HostileArguments, TurnsShearsAndCropsAtOddAnglesAreDefined)
{
    for (int bpp : {8, 24}) {
        for (float angle : kOddFloats) {
            SCOPED_TRACE(std::to_string(bpp) + " " + std::to_string(angle));
            CPixImage image = PatternedImage(16, 16, bpp);
            CPixImage out(kPixTypeUnknown);
            (void)image.RotateInterpolated(angle, &out, kInterpBicubic, kOverflowColor, nullptr, true, false);
            (void)image.RotateInterpolated(angle, &out, kInterpBilinear, kOverflowWrap, nullptr, false, true);
            (void)image.RotateNearest(angle, &out);
            const bool cropped = image.CropRotated(2, 2, 8, 8, angle, &out);
            if (!std::isfinite(angle)) {
                EXPECT_FALSE(cropped);
            }
            (void)image.Shear(angle, 0.5f, 3, 3, true);
            (void)image.Shear(0.5f, angle, 3, 3, false);
            (void)image.RadialDistort(1, 5, angle);
        }
        for (int v : kOddInts) {
            CPixImage image = PatternedImage(16, 16, bpp);
            CPixImage out(kPixTypeUnknown);
            EXPECT_FALSE(image.CropRotated(v, 2, 8, 8, 0.5f, &out));
            EXPECT_FALSE(image.CropRotated(2, 2, v, v, 0.5f, &out));
            (void)image.CropRotated(2, 2, v, 8, 0.0001f, &out);
            (void)image.CropRotated(v, v, v, v, 1.0f, &out);
            (void)image.Shear(0.5f, 0.5f, v, v, true);
        }
    }
    // A plain turn and crop still work.
    CPixImage image = PatternedImage(16, 16, 24);
    CPixImage out(kPixTypeUnknown);
    EXPECT_TRUE(image.CropRotated(2, 2, 8, 8, 0.3f, &out));
    EXPECT_TRUE(image.RotateInterpolated(30, &out, kInterpBilinear, kOverflowColor, nullptr, false, false));
}

TEST(HostileArguments, ColourOperationsWithOddFactorsAreDefined)
{
    for (float v : kOddFloats) {
        SCOPED_TRACE(std::to_string(v));
        for (int bpp : {8, 24}) {
            CPixImage image = PatternedImage(16, 16, bpp);
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
    CPixImage image = PatternedImage(16, 16, 24);
    EXPECT_TRUE(image.Tint(20, 200, kNaN));
    image.BlendPixelColor(3, 3, PixQuad{9, 9, 9, 9}, kNaN);
    EXPECT_EQ(TopDownRgba(image), TopDownRgba(PatternedImage(16, 16, 24)));
    CPixImage channel = PatternedImage(16, 16, 8, false);
    EXPECT_TRUE(image.SmoothChannel(&channel, kNaN));
    EXPECT_EQ(TopDownIndices(channel), TopDownIndices(PatternedImage(16, 16, 8, false)));
    // A finite hue correction keeps the 8 low bits of the truncated product, so with 256 entries
    // j x 257 and j x 1 agree; NaN counts as 0.
    auto hued = [](float hue) {
        CPixImage palette = PatternedImage(16, 16, 8);
        palette.SetHuePalette(hue);
        return PaletteTriples(palette);
    };
    EXPECT_EQ(hued(1.0f), hued(257.0f));
    EXPECT_EQ(hued(kNaN), hued(0.0f));
}

// Offsets, corners, resolutions and percentages anywhere in the int range: nothing overflows,
// and each operation does what its nearest representable case does.
TEST(HostileArguments, IntArgumentsAtTheEndsOfTheRangeAreDefined)
{
    const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    auto selected = [](const CPixImage& image) {
        int count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                count += image.IsSelected(x, y) ? 1 : 0;
        return count;
    };
    for (int bpp : {8, 24}) {
        SCOPED_TRACE(std::to_string(bpp) + " bits");
        const CPixImage source = PatternedImage(16, 16, 24);
        const std::vector<std::uint8_t> before = TopDownRgba(PatternedImage(16, 16, bpp));
        // Offsets that leave the source wholly outside change nothing.
        for (int a : kOddInts) {
            for (int b : {a, 0, 3}) {
                SCOPED_TRACE(std::to_string(a) + ", " + std::to_string(b));
                CPixImage image = PatternedImage(16, 16, bpp);
                image.PasteOpaque(source, a, b);
                image.PasteOpaque(source, b, a);
                for (int op = 0; op <= 9; ++op) {
                    image.MixImage(source, op, a, b, true);
                    image.MixImage(source, op, b, a, false);
                }
                EXPECT_EQ(TopDownRgba(image), before);
            }
        }
        // A near offset still pastes: pixel (x, y) of the source lands at (x - 2, y + 3).
        CPixImage pasted = PatternedImage(16, 16, bpp);
        pasted.PasteOpaque(source, -2, 3);
        if (bpp == 24) {
            EXPECT_EQ(pasted.PixelColor(0, 3, false), source.PixelColor(2, 0, false));
            EXPECT_EQ(pasted.PixelColor(13, 15, false), source.PixelColor(15, 12, false));
        }

        // Ellipses whose corners lie near the ends of the range: around the picture, or beside it.
        struct Ellipse {
            int x1, y1, x2, y2;
            bool made;
            int selected;
        };
        const Ellipse ellipses[] = {{lo, lo, hi, hi, true, 256}, {hi, hi, hi - 8, hi - 8, true, 0},
                                    {lo, lo, lo + 8, lo + 8, true, 0},
                                    {lo, 0, hi, 16, true, 240},  // the bottom row touches the edge
                                    {-2000000000, 8, 2000000000, 9, false, 256}};  // no plane: all count
        for (const Ellipse& e : ellipses) {
            SCOPED_TRACE("ellipse " + std::to_string(e.x1) + "," + std::to_string(e.y1) + " " + std::to_string(e.x2) +
                         "," + std::to_string(e.y2));
            CPixImage image = PatternedImage(16, 16, bpp);
            EXPECT_EQ(image.SelectEllipse(e.x1, e.y1, e.x2, e.y2), e.made);
            EXPECT_EQ(selected(image), e.selected);
        }

        // A contrast of any size: the levels split at 128.
        CPixImage contrasted = PatternedImage(16, 16, bpp);
        EXPECT_TRUE(contrasted.BrightnessContrast(0, hi));
        const std::vector<std::uint8_t> levels = TopDownRgba(contrasted);
        for (std::size_t i = 0; i < levels.size(); ++i) {
            if (i % 4 != 3 && levels[i] != 0 && levels[i] != 128 && levels[i] != 255)
                ADD_FAILURE() << "level " << int(levels[i]) << " at " << i;
        }

        // Channel shifts of any size clamp; a jitter of any radius keeps every pixel's own
        // colour when the displaced point falls outside; a transform in any direction ends.
        CPixImage shifted = PatternedImage(16, 16, bpp);
        EXPECT_TRUE(shifted.ShiftChannels(hi, lo, 0));
        EXPECT_EQ(shifted.PixelColor(5, 9, false).red, 255);
        EXPECT_EQ(shifted.PixelColor(5, 9, false).green, 0);
        for (int radius : kOddInts) {
            CPixImage jittered = PatternedImage(16, 16, bpp);
            EXPECT_TRUE(jittered.JitterFilter(radius));
        }
        for (int dir : {lo, hi, -1, 0}) {
            CPixImage re = PatternedImage(6, 5, 8, false), im(kPixTypeUnknown);
            re.SetGreyPalette();
            EXPECT_TRUE(CPixImage::FourierTransform(&re, nullptr, &re, &im, dir, false, dir == 0));
        }
    }
    // Resolutions: the header's pixels per metre hold up to 54,546,084 dots per inch.
    for (int dpi : {54546084, 54546085, hi}) {
        CPixImage image(4, 4, 24, kPixTypeUnknown);
        image.SetXDpi(dpi);
        image.SetYDpi(dpi);
        EXPECT_EQ(image.XDpi(), 54546084) << dpi;
        EXPECT_EQ(image.YDpi(), 54546084) << dpi;
        EXPECT_EQ(image.Header().xPelsPerMeter, 2147483622) << dpi;
        EXPECT_EQ(image.Header().yPelsPerMeter, 2147483622) << dpi;
    }
}

TEST(HostileArguments, LinesBetweenFarPointsAreDrawnAsTheirNearPart)
{
    // Against a plain step-by-step line where its arithmetic fits.
    unsigned seed = 7;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(range)) - range / 3;
    };
    for (int i = 0; i < 3000; ++i) {
        const int range = i < 1500 ? 60 : 4000;
        const int x1 = next(range), x2 = next(range), y1 = next(range), y2 = next(range);
        SCOPED_TRACE(std::to_string(x1) + "," + std::to_string(y1) + " to " + std::to_string(x2) + "," + std::to_string(y2));
        ASSERT_EQ(DrawnPixels(x1, x2, y1, y2), ReferenceLine(x1, x2, y1, y2));
    }
    // Far end points: no overflow, and a horizontal line through the picture crosses it whole.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(DrawnPixels(-2000000000, 2000000000, 5, 5).size(), 16u);
    EXPECT_EQ(DrawnPixels(5, 5, 2000000000, -2000000000).size(), 16u);
    for (int a : kOddInts)
        for (int b : kOddInts)
            (void)DrawnPixels(a, b, b, a);
    EXPECT_LT(SecondsSince(start), 1.0 * kTestTimeScale);
}

TEST(HostilePolygon, FarVerticesAreWalkedOnlyWhereTheyMeetThePicture)
{
    const int far = 2000000000;
    struct Case {
        const char* what;
        std::vector<PixPoint> points;
        int selected;
    };
    // What a flood from the picture's border leaves: edges, and what they close in within the
    // picture. A polygon around the whole picture closes nothing in.
    const Case cases[] = {
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
        EXPECT_LT(SecondsSince(start), 1.0 * kTestTimeScale);
        int selected = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                selected += image.IsSelected(x, y) ? 1 : 0;
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
