// test-labels: untrusted
// Files that ImageMagick and giflib wrote decode here to what independent readers report
// (fixtures and their expectations come from data/make_magick_fixtures.py).
#include "ImageTestData.h"
#include "image/CPixImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> FirstEntries(const std::vector<std::uint8_t>& palette, std::size_t bytes)
{
    return std::vector<std::uint8_t>(palette.begin(), palette.begin() + static_cast<std::ptrdiff_t>(std::min(bytes, palette.size())));
}

}  // namespace

TEST(IndependentFiles, ImageMagickTgaFilesDecodeToTheSamePixels)
{
    // RLE and raw, bottom-up and top-down, and right to left: colour-mapped (36 entries), grey,
    // 24 and 32 bits.
    const char* names[] = {"im_rgb_rle_bl",  "im_rgb_rle_tl",  "im_rgba_rle_bl", "im_rgba_rle_tl",
                           "im_grey_rle_bl", "im_grey_rle_tl", "im_pal_rle_bl",  "im_pal_rle_tl",
                           "im_rgb_rle_tr",  "im_rgb_rle_br",  "im_rgb_raw_bl",  "im_rgb_raw_tl"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        CPixImage image(kPixTypeUnknown);
        ASSERT_TRUE(image.ReadFromFile(ImageDataPath(std::string(name) + ".tga").c_str(), kPixTypeTga)) << image.LastError();
        EXPECT_EQ(TopDownRgba(image), ReadBytesOf(ImageDataPath(std::string(name) + ".rgba")));
    }
}

TEST(IndependentFiles, ImageMagickGifsGiveTheIndicesAndPaletteGiflibReports)
{
    for (const char* name : {"im_interlaced", "im_transparent"}) {
        SCOPED_TRACE(name);
        CPixImage image(kPixTypeUnknown);
        ASSERT_TRUE(image.ReadFromFile(ImageDataPath(std::string(name) + ".gif").c_str(), kPixTypeGif));
        EXPECT_EQ(TopDownIndices(image), ReadBytesOf(ImageDataPath(std::string(name) + ".idx")));
        const std::vector<std::uint8_t> table = ReadBytesOf(ImageDataPath(std::string(name) + ".pal"));
        ASSERT_FALSE(table.empty());
        EXPECT_EQ(FirstEntries(PaletteTriples(image), table.size()), table);
    }
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.ReadFromFile(ImageDataPath("im_transparent.gif").c_str(), kPixTypeGif));
    EXPECT_EQ(image.TransparentIndex(), ReadBytesOf(ImageDataPath("im_transparent.tix")).at(0));
}

TEST(IndependentFiles, AnimationFramesWithLocalTablesMatchGiflibAndPillow)
{
    // Frame 0 uses a global table of 32 entries, frames 1 and 2 local tables of 64 and 128.
    for (const char* name : {"im_frames", "gl_frames"}) {
        for (int frame = 0; frame < 3; ++frame) {
            const std::string base = std::string(name) + "_" + std::to_string(frame);
            SCOPED_TRACE(base);
            CPixImage image(kPixTypeUnknown);
            image.SetFrame(frame);
            ASSERT_TRUE(image.ReadFromFile(ImageDataPath(std::string(name) + ".gif").c_str(), kPixTypeGif));
            EXPECT_EQ(image.FrameCount(), 3);
            EXPECT_EQ(TopDownIndices(image), ReadBytesOf(ImageDataPath(base + ".idx")));
            const std::vector<std::uint8_t> table = ReadBytesOf(ImageDataPath(base + ".pal"));
            ASSERT_FALSE(table.empty());
            EXPECT_EQ(FirstEntries(PaletteTriples(image), table.size()), table);
            EXPECT_EQ(TopDownRgba(image), ReadBytesOf(ImageDataPath(base + ".rgba")));
        }
    }
}
