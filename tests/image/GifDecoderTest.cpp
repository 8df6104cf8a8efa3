// test-labels: untrusted
#include "ImageTestData.h"
#include "image/CPixGifCodec.h"
#include "image/CPixImage.h"
#include "image/CPixMemoryStream.h"
#include "support/BoundedRun.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A minimal GIF: header, optional global table of `colors` entries, then the given blocks.
std::vector<std::uint8_t> GifBytes(int width, int height, int colors, const std::vector<std::uint8_t>& blocks)
{
    std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    out.insert(out.end(), {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(width >> 8),
                           static_cast<std::uint8_t>(height), static_cast<std::uint8_t>(height >> 8)});
    int bits = 0;
    while ((2 << bits) < colors)
        ++bits;
    out.push_back(static_cast<std::uint8_t>(colors > 0 ? 0x80 | bits : 0));
    out.insert(out.end(), {0, 0});
    for (int i = 0; colors > 0 && i < (2 << bits); ++i)
        out.insert(out.end(), {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 2), static_cast<std::uint8_t>(i * 3)});
    out.insert(out.end(), blocks.begin(), blocks.end());
    out.push_back(0x3B);
    return out;
}

CPixImage EncodedAndDecoded(const CPixImage& source, std::uint32_t option, std::vector<std::uint8_t>* fileOut = nullptr)
{
    CPixImage copy(source);
    copy.SetCodecOption(option, kPixTypeGif);
    std::uint8_t* buffer = nullptr;
    std::size_t size = 0;
    EXPECT_TRUE(copy.EncodeToMemory(&buffer, &size, kPixTypeGif)) << copy.LastError();
    CPixImage back(kPixTypeUnknown);
    EXPECT_TRUE(back.DecodeFromMemory(buffer, size, kPixTypeGif));
    if (fileOut != nullptr)
        fileOut->assign(buffer, buffer + size);
    CPixImage::FreeMemory(buffer);
    return back;
}

// Red, green, blue, alpha per pixel, top row first, as Pillow gives a frame: an indexed picture's
// transparent index is clear.
std::vector<std::uint8_t> FrameRgba(const CPixImage& image)
{
    std::vector<std::uint8_t> out = TopDownRgba(image);
    if (!image.IsIndexed() || !image.IsTransparent())
        return out;
    const std::vector<std::uint8_t> indices = TopDownIndices(image);
    for (std::size_t i = 0; i < indices.size(); ++i)
        out[4 * i + 3] = indices[i] == image.TransparentIndex() ? 0 : 255;
    return out;
}

CPixImage Pattern(int width, int height, int bpp)
{
    CPixImage image(width, height, bpp, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < image.ColorCount(); ++i)
        image.SetPaletteEntry(i, static_cast<std::uint8_t>(i * 7), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (bpp == 24) {
                PixQuad q;
                q.red = static_cast<std::uint8_t>(x * 5);
                q.green = static_cast<std::uint8_t>(y * 9);
                q.blue = static_cast<std::uint8_t>(x ^ y);
                image.SetPixelColor(x, y, q);
            } else {
                image.SetPixelIndex(x, y, static_cast<std::uint8_t>((x * 3 + y * 5 + (x * y) % 7) % image.ColorCount()));
            }
        }
    }
    return image;
}

}  // namespace

TEST(GifDecoder, PillowFilesDecodeToTheirExactIndicesAndPalette)
{
    for (const char* name : {"plain", "interlaced", "transparent"}) {
        SCOPED_TRACE(name);
        CPixImage image(kPixTypeUnknown);
        ASSERT_TRUE(image.ReadFromFile(ImageDataPath(std::string(name) + ".gif").c_str(), kPixTypeGif));
        EXPECT_EQ(image.Type(), kPixTypeGif);
        EXPECT_EQ(image.Width(), 40);
        EXPECT_EQ(image.Height(), 30);
        EXPECT_EQ(image.Bpp(), 8);
        EXPECT_EQ(TopDownIndices(image), ReadBytesOf(ImageDataPath(std::string(name) + ".idx")));
        EXPECT_EQ(PaletteTriples(image), ReadBytesOf(ImageDataPath(std::string(name) + ".pal")));
    }
}

TEST(GifDecoder, GraphicControlGivesTransparentIndexAndDelay)
{
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.ReadFromFile(ImageDataPath("transparent.gif").c_str(), kPixTypeGif));
    EXPECT_EQ(image.TransparentIndex(), 5);
    EXPECT_EQ(image.FrameDelay(), 7u);
}

TEST(GifDecoder, EveryFrameOfAnAnimationWithLocalTablesMatchesPillow)
{
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        CPixImage image(kPixTypeUnknown);
        image.SetFrame(frame);
        ASSERT_TRUE(image.ReadFromFile(ImageDataPath("frames.gif").c_str(), kPixTypeGif));
        EXPECT_EQ(image.FrameCount(), 3);
        EXPECT_EQ(TopDownRgba(image), ReadBytesOf(ImageDataPath("frames_" + std::to_string(frame) + ".rgba")));
    }
}

TEST(GifDecoder, EveryFrameOfPillowAndImageMagickAnimationsIsPillowsInOrderFromFileAndMemory)
{
    // Every disposal, local tables, transparency that changes from frame to frame, interlaced
    // frames, ImageMagick's optimised layers and a frame past the screen (make_animations.py).
    const std::string python = PythonWithPillow();
    if (python.empty())
        GTEST_SKIP() << "no Python with Pillow";
    const std::string dir = UniqueTempPath("animations");
    ASSERT_EQ(std::system((python + " '" + ImageDataPath("make_animations.py") + "' '" + dir + "'").c_str()), 0)
        << "make_animations.py needs Pillow and ImageMagick";
    std::ifstream list(dir + "/list");
    std::string name;
    int frames = 0, width = 0, height = 0, files = 0;
    while (list >> name >> frames >> width >> height) {
        ++files;
        const std::string path = dir + "/" + name + ".gif";
        const std::vector<std::uint8_t> bytes = ReadBytesOf(path), pillow = ReadBytesOf(dir + "/" + name + ".rgba");
        const std::size_t frameBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
        ASSERT_EQ(pillow.size(), frameBytes * static_cast<std::size_t>(frames)) << name;
        for (bool byFile : {true, false}) {
            CPixImage image(kPixTypeUnknown);
            for (int n = 0; n <= frames; ++n) {
                SCOPED_TRACE(name + " frame " + std::to_string(n) + (byFile ? " by file" : " from memory"));
                image.SetFrame(n);
                const bool read = byFile ? image.ReadFromFile(path.c_str(), kPixTypeGif)
                                         : image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif);
                EXPECT_EQ(image.FrameCount(), frames);
                ASSERT_EQ(read, n < frames);
                if (!read)
                    break;
                const auto from = pillow.begin() + static_cast<std::ptrdiff_t>(frameBytes * static_cast<std::size_t>(n));
                EXPECT_TRUE(FrameRgba(image) == std::vector<std::uint8_t>(from, from + static_cast<std::ptrdiff_t>(frameBytes)));
            }
        }
        // One table and one transparent index: the indices as drawn, with that table.
        if (name == "pil_single_table") {
            CPixImage image(kPixTypeUnknown);
            image.SetFrame(frames - 1);
            ASSERT_TRUE(image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif));
            EXPECT_EQ(image.Bpp(), 4);
            EXPECT_EQ(image.TransparentIndex(), 3);
            EXPECT_EQ(PaletteTriples(image), std::vector<std::uint8_t>(bytes.begin() + 13, bytes.begin() + 13 + 48));
        }
    }
    EXPECT_GE(files, 20);
    std::filesystem::remove_all(dir);
}

TEST(GifDecoder, FramePastTheLastFailsAndReportsTheCount)
{
    CPixImage image(kPixTypeUnknown);
    image.SetFrame(3);
    EXPECT_FALSE(image.ReadFromFile(ImageDataPath("frames.gif").c_str(), kPixTypeGif));
    EXPECT_EQ(image.FrameCount(), 3);
    EXPECT_FALSE(image.HasPixels());
}

TEST(GifDecoder, MissingSignatureFailsWithoutText)
{
    const std::uint8_t bytes[] = "GIX89a\x01\x00\x01\x00\x00\x00\x00";
    CPixImage image(kPixTypeUnknown);
    image.SetLastError("before");
    EXPECT_FALSE(image.DecodeFromMemory(bytes, sizeof(bytes), kPixTypeGif));
    EXPECT_STREQ(image.LastError(), "before");
}

TEST(GifDecoder, SizeOnlyRequestGivesDimensionsWithoutPixels)
{
    CPixImage image(kPixTypeUnknown);
    image.SetEscape(-1);
    ASSERT_TRUE(image.ReadFromFile(ImageDataPath("plain.gif").c_str(), kPixTypeGif));
    EXPECT_EQ(image.Width(), 40);
    EXPECT_EQ(image.Height(), 30);
    EXPECT_FALSE(image.HasPixels());
}

TEST(GifDecoder, InterlacedLinesLandInPassOrder)
{
    // The file lists picture lines 0, 8, 16, ...; then 4, 12, ...; then 2, 6, ...; then 1, 3, ...
    // One column of plain codes, and a wider picture whose LZW strings run across lines.
    struct Case {
        int width, height;
        std::uint32_t option;
    };
    for (const Case& c : {Case{1, 10, 1}, Case{37, 21, 0}}) {
        SCOPED_TRACE("width " + std::to_string(c.width));
        std::vector<int> order;
        for (const auto& pass : {std::pair<int, int>{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int row = pass.first; row < c.height; row += pass.second)
                order.push_back(row);
        const CPixImage picture = Pattern(c.width, c.height, 8);
        CPixImage fileOrder(picture);
        for (int n = 0; n < c.height; ++n)
            for (int x = 0; x < c.width; ++x)
                fileOrder.SetPixelIndex(x, c.height - 1 - n, picture.PixelIndex(x, c.height - 1 - order[static_cast<std::size_t>(n)]));
        std::vector<std::uint8_t> file;
        (void)EncodedAndDecoded(fileOrder, c.option, &file);
        // Turn the non-interlaced file into an interlaced one: flag bit 6 of the image descriptor.
        const std::size_t descriptor = 13 + 256 * 3 + 8 + 9;
        ASSERT_EQ(file[descriptor - 9], 0x2C);
        file[descriptor] |= 0x40;
        CPixImage image(kPixTypeUnknown);
        ASSERT_TRUE(image.DecodeFromMemory(file.data(), file.size(), kPixTypeGif));
        EXPECT_EQ(TopDownIndices(image), TopDownIndices(picture));
    }
}

TEST(GifDecoder, LaterFramesLandAtTheirOffsetsOverTheEarlierOnes)
{
    // On a 40 x 30 screen: a full frame, an opaque one inside it, a 16-colour one (narrower than
    // the canvas's indices) and full-width rows; all opaque, or all with index 3 transparent; each
    // left in place, or disposed of to the background (the first frame's transparent index, else 0)
    // before the next is drawn.
    struct Frame {
        int left, top, width, height, bpp;
    };
    const Frame frames[] = {{0, 0, 40, 30, 8}, {5, 7, 20, 10, 8}, {30, 2, 9, 9, 4}, {0, 20, 40, 6, 8}};
    std::vector<std::vector<std::uint8_t>> files, expectedFrames;
    std::size_t fourthFrameAt = 0;
    for (const auto& [transparent, disposal] : {std::pair{-1, 0}, {3, 0}, {-1, 2}, {3, 2}}) {
        SCOPED_TRACE("transparent index " + std::to_string(transparent) + ", disposal " + std::to_string(disposal));
        std::vector<CPixImage> images;
        for (const Frame& f : frames) {
            images.push_back(Pattern(f.width, f.height, f.bpp));
            CPixImage& image = images.back();
            for (int y = 0; y < f.height; y += 2)
                image.SetPixelIndex(y % f.width, y, 3);
            image.SetOffset(f.left, f.top);
            image.SetTransparentIndex(transparent);
        }
        CPixImage* pointers[] = {&images[0], &images[1], &images[2], &images[3]};
        CPixMemoryStream stream;
        ASSERT_TRUE(stream.Open());
        CPixGifCodec codec;
        codec.SetDisposal(disposal);
        ASSERT_TRUE(codec.EncodeFrames(&stream, pointers, 4, true)) << codec.LastError();
        if (files.empty()) {
            // Where the fourth frame begins: the trailer of the same file with three frames.
            CPixMemoryStream three;
            ASSERT_TRUE(three.Open());
            ASSERT_TRUE(codec.EncodeFrames(&three, pointers, 3, true));
            fourthFrameAt = static_cast<std::size_t>(three.Size()) - 1;
        }
        const std::vector<std::uint8_t> file(stream.Detach(false), stream.Detach(false) + stream.Size());

        std::vector<std::uint8_t> expected(40 * 30, 3);  // top-down; the first canvas is filled with the index
        for (int n = 0; n < 4; ++n) {
            SCOPED_TRACE("frame " + std::to_string(n));
            const Frame& f = frames[n];
            if (n > 0 && disposal == 2)
                std::fill(expected.begin(), expected.end(), static_cast<std::uint8_t>(transparent >= 0 ? transparent : 0));
            const std::vector<std::uint8_t> indices = TopDownIndices(images[static_cast<std::size_t>(n)]);
            for (int y = 0; y < f.height; ++y) {
                for (int x = 0; x < f.width; ++x) {
                    const std::uint8_t index = indices[static_cast<std::size_t>(y * f.width + x)];
                    if (index != transparent)
                        expected[static_cast<std::size_t>((f.top + y) * 40 + f.left + x)] = index;
                }
            }
            CPixImage image(kPixTypeUnknown);
            image.SetFrame(n);
            ASSERT_TRUE(image.DecodeFromMemory(file.data(), file.size(), kPixTypeGif));
            EXPECT_EQ(image.FrameCount(), 4);
            EXPECT_EQ(image.Bpp(), 8);
            EXPECT_EQ(TopDownIndices(image), expected);
            if (n == static_cast<int>(files.size()))
                expectedFrames.push_back(expected);
        }
        files.push_back(file);
    }
    // One block of memory holding each file in turn (they are as long), and one file rewritten so
    // through a shared map, which need not change the file's times once its pages are written:
    // a request for a later frame of the next file does not go on from what the one before left.
    const std::string path = UniqueTempPath("mapped.gif");
    ASSERT_TRUE(WriteBytes(path, files[0]));
    const int fd = open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    auto* mapped = static_cast<std::uint8_t*>(mmap(nullptr, files[0].size(), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    ASSERT_NE(mapped, MAP_FAILED);
    std::copy(files[0].begin(), files[0].end(), mapped);
    struct stat written {};
    ASSERT_EQ(fstat(fd, &written), 0);
    // Long enough for the file's times to be trusted: they would show a write through the file.
    std::this_thread::sleep_for(std::chrono::milliseconds(written.st_ctim.tv_nsec % 1000000 != 0 ? 100 : 2100));
    std::vector<std::uint8_t> shared = files[0];
    for (bool byFile : {false, true}) {
        for (int n = 0; n < 4; ++n) {
            SCOPED_TRACE("file " + std::to_string(n) + (byFile ? " in a mapped file" : " in shared memory"));
            const std::vector<std::uint8_t>& file = files[static_cast<std::size_t>(n)];
            ASSERT_EQ(file.size(), shared.size());
            std::copy(file.begin(), file.end(), byFile ? mapped : shared.data());
            CPixImage image(kPixTypeUnknown);
            image.SetFrame(n);
            ASSERT_TRUE(byFile ? image.ReadFromFile(path.c_str(), kPixTypeGif)
                               : image.DecodeFromMemory(shared.data(), shared.size(), kPixTypeGif));
            EXPECT_EQ(TopDownIndices(image), expectedFrames[static_cast<std::size_t>(n)]);
        }
    }
    // A trailer written where frame 3 began, after frames 0 to 2 were read: frame 3 is refused
    // and 3 frames are counted, as a decode of the rewritten bytes alone finds.
    std::copy(files[0].begin(), files[0].end(), shared.begin());
    CPixImage image(kPixTypeUnknown);
    for (int n = 0; n < 3; ++n) {
        image.SetFrame(n);
        ASSERT_TRUE(image.DecodeFromMemory(shared.data(), shared.size(), kPixTypeGif));
    }
    shared[fourthFrameAt] = 0x3B;
    image.SetFrame(3);
    EXPECT_FALSE(image.DecodeFromMemory(shared.data(), shared.size(), kPixTypeGif));
    EXPECT_EQ(image.FrameCount(), 3);
    munmap(mapped, files[0].size());
    close(fd);
    std::remove(path.c_str());
}

TEST(GifDecoder, EveryFrameInOrderTakesAtMostThreeTimesPillowsTimeHoweverTheBytesCome)
{
    // Pillow writes 300 frames of 320 x 240, each the first moved across the screen (so each is
    // a whole picture), and reads them in order, the least processor time of three walks.
    const std::string python = PythonWithPillow();
    if (python.empty())
        GTEST_SKIP() << "no Python with Pillow";
    constexpr int kFrames = 300;
    const std::string path = UniqueTempPath("in_order.gif");
    const std::string script =
        "import random, sys, time\n"
        "from PIL import Image, ImageChops\n"
        "frames = int(sys.argv[2])\n"
        "rnd = random.Random(5)\n"
        "small = Image.frombytes('RGB', (10, 8), bytes(rnd.randrange(256) for _ in range(240)))\n"
        "grain = Image.effect_noise((320, 240), 24).convert('RGB')\n"
        "first = Image.blend(small.resize((320, 240), Image.BICUBIC), grain, 0.12).quantize(256)\n"
        "more = [ImageChops.offset(first, 37 * i, 23 * i) for i in range(1, frames)]\n"
        "first.save(sys.argv[1], save_all=True, append_images=more, duration=40, loop=0)\n"
        "least = None\n"
        "for walk in range(3):\n"
        "    start = time.process_time()\n"
        "    im = Image.open(sys.argv[1])\n"
        "    for i in range(frames):\n"
        "        im.seek(i)\n"
        "        im.load()\n"
        "    spent = time.process_time() - start\n"
        "    least = spent if least is None else min(least, spent)\n"
        "print(least)\n";
    const std::string scriptPath = UniqueTempPath("in_order.py");
    ASSERT_TRUE(WriteBytes(scriptPath, std::vector<std::uint8_t>(script.begin(), script.end())));
    std::FILE* pillow = popen((python + " " + scriptPath + " " + path + " " + std::to_string(kFrames)).c_str(), "r");
    ASSERT_NE(pillow, nullptr);
    double pillowSeconds = -1;
    const int scanned = std::fscanf(pillow, "%lf", &pillowSeconds);
    ASSERT_EQ(pclose(pillow), 0);
    ASSERT_EQ(scanned, 1);

    // One image asks for each frame in turn, as a viewer would: by file, from a block of memory,
    // and by a file written a moment before the walk (whose times may not yet show a change).
    const std::vector<std::uint8_t> bytes = ReadBytesOf(path);
    const std::string fresh = UniqueTempPath("in_order_fresh.gif");
    enum class Walk { kFile, kMemory, kFreshFile };
    const auto walk = [&](Walk how) {
        double least = 1e9;
        for (int round = 0; round < 3; ++round) {
            if (how == Walk::kFreshFile) {
                EXPECT_TRUE(WriteBytes(fresh, bytes));
            }
            const std::clock_t start = std::clock();
            CPixImage image(kPixTypeUnknown);
            for (int n = 0; n < kFrames; ++n) {
                image.SetFrame(n);
                const bool done = how == Walk::kMemory ? image.DecodeFromMemory(bytes.data(), bytes.size(), kPixTypeGif)
                                                       : image.ReadFromFile((how == Walk::kFile ? path : fresh).c_str(), kPixTypeGif);
                EXPECT_TRUE(done) << n;
            }
            least = std::min(least, static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
        }
        return least;
    };
    const double byFile = walk(Walk::kFile);
    for (const auto& [how, seconds] : {std::pair{"by file", byFile}, {"from memory", walk(Walk::kMemory)},
                                        {"by a file written a moment before", walk(Walk::kFreshFile)}}) {
        SCOPED_TRACE(how);
        EXPECT_LT(seconds, 3 * pillowSeconds * kTestTimeScale) << "Pillow " << pillowSeconds << " s";
        // Each frame costs once however the bytes come: not a look at every byte per frame.
        EXPECT_LT(seconds, 2 * byFile + 0.05 * kTestTimeScale) << "by file " << byFile << " s";
        std::printf("%s: %.3f s, Pillow %.3f s\n", how, seconds, pillowSeconds);
    }

    // Every frame read after the one before is the frame a decode from the first frame gives
    // (asked for from the last down, each request starts again from the first frame).
    std::vector<std::vector<std::uint8_t>> inOrder;
    CPixImage image(kPixTypeUnknown);
    for (int n = 0; n < kFrames; ++n) {
        image.SetFrame(n);
        ASSERT_TRUE(image.ReadFromFile(path.c_str(), kPixTypeGif));
        inOrder.push_back(TopDownIndices(image));
        EXPECT_EQ(image.FrameCount(), kFrames);
    }
    for (int n : {kFrames - 1, 150, 1}) {
        SCOPED_TRACE("frame " + std::to_string(n));
        CPixImage alone(kPixTypeUnknown);
        alone.SetFrame(n);
        ASSERT_TRUE(alone.ReadFromFile(path.c_str(), kPixTypeGif));
        EXPECT_EQ(TopDownIndices(alone), inOrder[static_cast<std::size_t>(n)]);
    }
    std::remove(path.c_str());
    std::remove(fresh.c_str());
    std::remove(scriptPath.c_str());
}

TEST(GifEncoder, EveryCompressionRoundTripsAtEveryDepth)
{
    for (std::uint32_t option : {0u, 1u, 2u}) {
        for (int bpp : {1, 4, 8}) {
            for (int width : {1, 7, 64, 300}) {
                SCOPED_TRACE("option " + std::to_string(option) + " bpp " + std::to_string(bpp) + " width " + std::to_string(width));
                const CPixImage source = Pattern(width, 37, bpp);
                const CPixImage back = EncodedAndDecoded(source, option);
                ASSERT_TRUE(back.HasPixels());
                EXPECT_EQ(TopDownIndices(back), TopDownIndices(source));
                EXPECT_EQ(PaletteTriples(back), PaletteTriples(source));
            }
        }
    }
}

TEST(GifEncoder, LzwSubBlocksHoldAtMost254Bytes)
{
    std::vector<std::uint8_t> file;
    (void)EncodedAndDecoded(Pattern(200, 200, 8), 0, &file);
    std::size_t pos = 13 + 256 * 3 + 8 + 10 + 1;  // first data sub-block size
    int blocks = 0;
    while (pos < file.size() && file[pos] != 0) {
        EXPECT_LE(file[pos], 254);
        pos += file[pos] + 1u;
        ++blocks;
    }
    EXPECT_GT(blocks, 10);
}

TEST(GifEncoder, TrueColourPictureRoundTripsThroughTiles)
{
    const CPixImage source = Pattern(40, 33, 24);
    const CPixImage back = EncodedAndDecoded(source, 0);
    ASSERT_TRUE(back.HasPixels());
    EXPECT_EQ(back.Width(), 40);
    EXPECT_EQ(TopDownRgba(back), TopDownRgba(source));
}

TEST(GifEncoder, AnimationWritesEveryFrame)
{
    CPixImage a = Pattern(16, 12, 8), b = Pattern(16, 12, 8);
    b.SetPixelIndex(3, 3, 200);
    CPixImage* frames[] = {&a, &b};
    CPixMemoryStream stream;
    ASSERT_TRUE(stream.Open());
    ASSERT_TRUE(a.EncodeFramesToStream(&stream, frames, 2, kPixTypeGif)) << a.LastError();
    CPixImage back(kPixTypeUnknown);
    back.SetFrame(1);
    ASSERT_TRUE(back.DecodeFromMemory(stream.Detach(false), static_cast<std::size_t>(stream.Size()), kPixTypeGif));
    EXPECT_EQ(back.FrameCount(), 2);
    EXPECT_EQ(TopDownIndices(back), TopDownIndices(b));
    EXPECT_FALSE(a.EncodeFramesToStream(&stream, frames, 2, kPixTypeTga));
    EXPECT_STREQ(a.LastError(), "Multipage Encode, Unsupported operation for this format");
}

TEST(GifDecoder, OversizedCodeSizeAndBadBlocksEndDecodingSafely)
{
    // Image with minimum code size 12 (not allowed): nothing is written, the picture keeps the
    // transparent index the control block gives.
    const std::vector<std::uint8_t> blocks = {0x21, 0xF9, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0,  // long control block
                                              0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0, 12, 2, 0xFF, 0xFF, 0};
    const std::vector<std::uint8_t> file = GifBytes(4, 4, 4, blocks);
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.DecodeFromMemory(file.data(), file.size(), kPixTypeGif));
    EXPECT_EQ(image.Width(), 4);
    EXPECT_EQ(image.TransparentIndex(), 4);  // the long control block was read from its first bytes
    EXPECT_EQ(image.FrameDelay(), 0x302u);
    EXPECT_EQ(TopDownIndices(image), std::vector<std::uint8_t>(16, 4));
}

TEST(GifDecoder, StrayBytesAreSkippedUpToTheNextZero)
{
    // A 2 x 1 image of indices 1, 2 (codes clear, 1, 2, end at three bits).
    const std::vector<std::uint8_t> image = {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x8C, 0x0A, 0};
    struct Case {
        const char* name;
        std::vector<std::uint8_t> before;
        int frames;
    };
    const Case cases[] = {
        {"nothing", {}, 1},
        {"a trailer and a descriptor inside stray bytes", {0x55, 0x3B, 0x2C, 0x00}, 1},
        {"an image inside stray bytes", {0x07, 0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x8C, 0x0A, 0}, 1},
        {"an image before stray bytes", {0x2C, 0, 0, 0, 0, 2, 0, 1, 0, 0, 2, 2, 0x8C, 0x0A, 0, 0x09, 0}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> blocks = c.before;
        blocks.insert(blocks.end(), image.begin(), image.end());
        const std::vector<std::uint8_t> file = GifBytes(2, 1, 4, blocks);
        CPixImage decoded(kPixTypeUnknown);
        ASSERT_TRUE(decoded.DecodeFromMemory(file.data(), file.size(), kPixTypeGif));
        EXPECT_EQ(decoded.FrameCount(), c.frames);
        EXPECT_EQ(TopDownIndices(decoded), (std::vector<std::uint8_t>{1, 2}));
    }
}
