// Run-length coded GIFs (codec option 2) must read back exactly in our decoder and in
// independent ones: Pillow and giflib's giftext, when they are installed.
#include "ImageTestData.h"
#include "image/CPixImage.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

// Palette entries all differ and are not grey, so every reader reports indices, not colours.
CPixImage Indexed(int width, int height, int bpp, const std::function<int(int x, int top)>& index)
{
    CPixImage image(width, height, bpp, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < image.ColorCount(); ++i)
        image.SetPaletteEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7 + 1));
    for (int top = 0; top < height; ++top) {
        for (int x = 0; x < width; ++x)
            image.SetPixelIndex(x, height - 1 - top, static_cast<std::uint8_t>(index(x, top)));
    }
    return image;
}

std::vector<std::uint8_t> RunCoded(const CPixImage& source)
{
    CPixImage copy(source);
    copy.SetCodecOption(2, kPixTypeGif);
    std::uint8_t* buffer = nullptr;
    std::size_t size = 0;
    EXPECT_TRUE(copy.EncodeToMemory(&buffer, &size, kPixTypeGif)) << copy.LastError();
    std::vector<std::uint8_t> file(buffer, buffer + size);
    CPixImage::FreeMemory(buffer);
    return file;
}

// The image data sub-blocks of a one-image file as written by our encoder (global table, one
// graphic control block, no comment).
std::vector<int> DataBlockSizes(const std::vector<std::uint8_t>& file, std::uint32_t colors)
{
    std::vector<int> sizes;
    std::size_t pos = 13 + 3 * colors + 8 + 10 + 1;
    while (pos < file.size() && file[pos] != 0) {
        sizes.push_back(file[pos]);
        pos += file[pos] + 1u;
    }
    return sizes;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && ok;
}

bool HaveGiftext()
{
    return std::system("command -v giftext >/dev/null 2>&1") == 0;
}

struct Case {
    const char* name;
    int width, height, bpp;
    std::function<int(int x, int top)> index;
};

std::vector<Case> Cases()
{
    auto noise = [](unsigned seed, int colors) {
        auto rng = std::make_shared<std::vector<int>>();
        std::mt19937 gen(seed);
        for (int i = 0; i < 300 * 300; ++i)
            rng->push_back(static_cast<int>(gen() % static_cast<unsigned>(colors)));
        return [rng](int x, int top) { return (*rng)[static_cast<std::size_t>(top * 300 + x)]; };
    };
    // Runs of random length (1 to 400) of random indices, running on across line ends.
    auto runs = [](unsigned seed, int colors) {
        auto values = std::make_shared<std::vector<int>>();
        std::mt19937 gen(seed);
        while (values->size() < 300u * 300u) {
            const int value = static_cast<int>(gen() % static_cast<unsigned>(colors));
            values->insert(values->end(), 1 + gen() % 400, value);
        }
        return [values](int x, int top) { return (*values)[static_cast<std::size_t>(top * 300 + x)]; };
    };
    return {
        {"one pixel", 1, 1, 8, [](int, int) { return 3; }},
        {"one colour", 300, 200, 8, [](int, int) { return 9; }},
        {"one colour run longer than a whole table", 3000, 3000, 1, [](int, int) { return 1; }},
        {"noise with many clear codes", 300, 300, 8, noise(1, 256)},
        {"noise at 1 bit", 300, 300, 1, noise(2, 2)},
        {"noise at 4 bits", 300, 300, 4, noise(3, 16)},
        {"random runs", 300, 300, 8, runs(4, 256)},
        {"random runs of few indices", 300, 300, 4, runs(5, 3)},
        {"stripes that repeat their run lengths", 257, 120, 8, [](int x, int top) { return (top % 3) * 40 + (x < 100 ? 0 : 1); }},
        {"growing runs", 211, 97, 8, [](int x, int top) {
             const int n = top * 211 + x;
             int k = 1;
             while (k * (k + 1) / 2 <= n)
                 ++k;
             return k % 5;
         }},
    };
}

}  // namespace

TEST(GifRunCoding, FilesDecodeToTheSameIndicesHereInPillowAndInGiflib)
{
    const std::string python = PythonWithPillow();
    const bool giftext = HaveGiftext();
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const CPixImage source = Indexed(c.width, c.height, c.bpp, c.index);
        const std::vector<std::uint8_t> file = RunCoded(source);
        CPixImage back(kPixTypeUnknown);
        ASSERT_TRUE(back.DecodeFromMemory(file.data(), file.size(), kPixTypeGif));
        const std::vector<std::uint8_t> indices = TopDownIndices(source);
        ASSERT_EQ(TopDownIndices(back), indices);
        EXPECT_EQ(PaletteTriples(back), PaletteTriples(source));

        const std::string base = UniqueTempPath("run_coded");
        ASSERT_TRUE(WriteFile(base + ".gif", file));
        ASSERT_TRUE(WriteFile(base + ".idx", indices));
        if (!python.empty()) {
            const std::string command = python + " -c \"import sys; from PIL import Image; "
                                        "im = Image.open(sys.argv[1]); im.load(); "
                                        "sys.exit(0 if im.mode == 'P' and im.tobytes() == open(sys.argv[2], 'rb').read() else 1)\" " +
                                        base + ".gif " + base + ".idx";
            EXPECT_EQ(std::system(command.c_str()), 0) << "Pillow";
        }
        if (giftext) {
            const std::string command = "giftext -r " + base + ".gif 2>/dev/null | cmp -s - " + base + ".idx";
            EXPECT_EQ(std::system(command.c_str()), 0) << "giftext";
        }
    }
    if (python.empty() || !giftext)
        GTEST_SKIP() << "checked by our decoder only: Pillow or giftext is missing";
}

TEST(GifRunCoding, LongRunsTakeFewCodesInSubBlocksOf255Bytes)
{
    // 60000 pixels of one index: about 350 growing pieces instead of 60000 codes.
    const CPixImage source = Indexed(300, 200, 8, [](int, int) { return 9; });
    const std::vector<std::uint8_t> file = RunCoded(source);
    const std::vector<int> sizes = DataBlockSizes(file, 256);
    int total = 0;
    for (int size : sizes)
        total += size;
    EXPECT_LT(total, 600);
    EXPECT_GT(total, 300);

    // Noise: one code per pixel, so the blocks are full ones of 255 bytes up to the last.
    const CPixImage noisy = Indexed(100, 100, 8, [](int x, int top) { return (x * 31 + top * 17 + x * top) % 256; });
    const std::vector<int> noisySizes = DataBlockSizes(RunCoded(noisy), 256);
    ASSERT_GT(noisySizes.size(), 2u);
    for (std::size_t i = 0; i + 1 < noisySizes.size(); ++i)
        EXPECT_EQ(noisySizes[i], 255);
    EXPECT_LE(noisySizes.back(), 255);
}
