// test-labels: untrusted
#include "ImageTestData.h"
#include "image/CPixBitmap.h"
#include "image/CPixDeviceContext.h"
#include "image/CPixImage.h"
#include "image/CPixMemoryBlock.h"
#include "image/CPixTrueTypeFont.h"
#include "image/TextInfo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

PixQuad Quad(int blue, int green, int red)
{
    return PixQuad{static_cast<std::uint8_t>(blue), static_cast<std::uint8_t>(green), static_cast<std::uint8_t>(red), 0};
}

// 3 x 2 picture, top row (red, green, blue), bottom row (white, grey, black).
CPixImage SixColours()
{
    CPixImage image(3, 2, 24, kPixTypeUnknown);
    const PixQuad top[3] = {Quad(0, 0, 255), Quad(0, 255, 0), Quad(255, 0, 0)};
    const PixQuad bottom[3] = {Quad(255, 255, 255), Quad(128, 128, 128), Quad(0, 0, 0)};
    for (int x = 0; x < 3; ++x) {
        image.SetPixelColor(x, 1, top[x]);
        image.SetPixelColor(x, 0, bottom[x]);
    }
    return image;
}

PixQuad Shown(const CPixDeviceContext& dc, int x, int y)
{
    PixQuad q = dc.Pixel(x, y);
    q.reserved = 0;
    return q;
}

std::string DejaVu()
{
    return std::string(CPixImage::FontFolder()) + "/DejaVuSans.ttf";
}

}  // namespace

TEST(DrawingBridge, PackedDibBlocksAndBitmapsRoundTrip)
{
    for (int bpp : {1, 4, 8, 24}) {
        SCOPED_TRACE(bpp);
        CPixImage image = PatternedImage(9, 5, bpp, false);
        std::unique_ptr<CPixMemoryBlock> block(image.CopyToHandle());
        ASSERT_TRUE(block);
        EXPECT_EQ(block->Size(), image.DibSize());
        CPixImage back(kPixTypeUnknown);
        ASSERT_TRUE(back.CreateFromHANDLE(block.get()));
        EXPECT_EQ(block->LockCount(), 0);
        EXPECT_EQ(TopDownRgba(back), TopDownRgba(image));
        for (CPixDeviceContext* dc : {static_cast<CPixDeviceContext*>(nullptr), new CPixDeviceContext(4, 4)}) {
            std::unique_ptr<CPixDeviceContext> owner(dc);
            std::unique_ptr<CPixBitmap> bitmap(image.MakeBitmap(dc));
            ASSERT_TRUE(bitmap);
            EXPECT_EQ(bitmap->BitCount(), dc != nullptr ? 32 : bpp);
            CPixImage read(kPixTypeUnknown);
            ASSERT_TRUE(read.CreateFromHBITMAP(bitmap.get()));
            EXPECT_EQ(TopDownRgba(read), TopDownRgba(image));
        }
    }
    // A packed DIB with a compression its depth cannot have.
    CPixImage image = PatternedImage(4, 4, 24, false);
    std::unique_ptr<CPixMemoryBlock> block(image.CopyToHandle());
    block->Lock()[16] = 4;  // JPEG
    block->Unlock();
    CPixImage back(kPixTypeUnknown);
    EXPECT_FALSE(back.CreateFromHANDLE(block.get()));
    EXPECT_STREQ(back.LastError(), "unknown compression");
    EXPECT_EQ(block->LockCount(), 0);
    CPixBitmap broken(0, 5, 24);
    EXPECT_FALSE(back.CreateFromHBITMAP(&broken));
    EXPECT_STREQ(back.LastError(), "GetDIBits failed");
}

TEST(DrawingBridge, IconMaskBecomesAlpha)
{
    CPixIcon icon;
    icon.color = std::make_unique<CPixBitmap>(2, 2, 24);
    icon.mask = std::make_unique<CPixBitmap>(2, 2, 1);
    icon.color->Row(0)[2] = 200;          // pixel (0, 0) red
    icon.mask->Row(1)[0] = 0x80;          // pixel (0, 1) transparent
    icon.mask->Palette()[1] = Quad(255, 255, 255);
    CPixImage image(kPixTypeUnknown);
    ASSERT_TRUE(image.CreateFromHICON(&icon));
    ASSERT_TRUE(image.HasAlpha());
    EXPECT_EQ(image.AlphaAt(0, 1), 0);
    EXPECT_EQ(image.AlphaAt(0, 0), 255);
    EXPECT_EQ(image.PixelColor(0, 0, false), Quad(0, 0, 200));
}

TEST(DrawingBridge, DrawStretchTileAndTransparencyPixelByPixel)
{
    const CPixImage six = SixColours();
    CPixImage image(six);
    CPixDeviceContext dc(8, 6);
    dc.Fill(Quad(9, 9, 9));
    ASSERT_EQ(image.Draw(&dc, 1, 1), 1);
    EXPECT_EQ(Shown(dc, 1, 1), Quad(0, 0, 255));     // the top row lands on top
    EXPECT_EQ(Shown(dc, 3, 2), Quad(0, 0, 0));
    EXPECT_EQ(Shown(dc, 0, 0), Quad(9, 9, 9));
    EXPECT_EQ(Shown(dc, 4, 1), Quad(9, 9, 9));

    // Clipped: only the part inside the clip rectangle changes, and the clip box comes back.
    dc.Fill(Quad(9, 9, 9));
    const PixRect clip{2, 0, 3, 6};
    ASSERT_EQ(image.Draw(&dc, 0, 0, 6, 4, &clip), 1);  // doubled in both directions
    EXPECT_EQ(Shown(dc, 2, 0), Quad(0, 255, 0));
    EXPECT_EQ(Shown(dc, 2, 3), Quad(128, 128, 128));
    EXPECT_EQ(Shown(dc, 1, 0), Quad(9, 9, 9));
    EXPECT_EQ(Shown(dc, 3, 0), Quad(9, 9, 9));
    EXPECT_EQ(dc.ClipBox().right, 8);
    EXPECT_EQ(image.Draw(&dc, 20, 20), 0);  // nothing visible
    EXPECT_EQ(image.Draw(nullptr, 0, 0), 0);

    // Alpha: a = alpha x (max + 1) / 256; between 0 and 255 the colours mix.
    CPixImage blended(six);
    blended.MakeAlphaPlane();
    blended.SetAlphaAt(0, 1, 0);
    blended.SetAlphaAt(1, 1, 128);
    dc.Fill(Quad(0, 0, 0));
    ASSERT_EQ(blended.Draw(&dc, 0, 0), 1);
    EXPECT_EQ(Shown(dc, 0, 0), Quad(0, 0, 0));
    EXPECT_EQ(Shown(dc, 1, 0), Quad(0, 255 * 128 / 256, 0));
    EXPECT_EQ(Shown(dc, 2, 0), Quad(255, 0, 0));

    // The transparent colour is skipped by Draw and kept out by DrawTransparent's mask.
    CPixImage keyed(six);
    keyed.SetTransparentColor(Quad(0, 255, 0));
    keyed.SetTransparentIndex(0);
    for (int pass = 0; pass < 2; ++pass) {
        dc.Fill(Quad(7, 7, 7));
        ASSERT_EQ(pass == 0 ? keyed.Draw(&dc, 0, 0) : keyed.DrawTransparent(&dc, 0, 0), 1);
        EXPECT_EQ(Shown(dc, 1, 0), Quad(7, 7, 7));
        EXPECT_EQ(Shown(dc, 0, 0), Quad(0, 0, 255));
        EXPECT_EQ(Shown(dc, 2, 1), Quad(0, 0, 0));
    }

    // A raster operation: xor onto white inverts.
    dc.Fill(Quad(255, 255, 255));
    ASSERT_EQ(image.Stretch(&dc, 0, 0, 3, 2, kRopSrcInvert), 1);
    EXPECT_EQ(Shown(dc, 0, 0), Quad(255, 255, 0));
    EXPECT_EQ(Shown(dc, 1, 1), Quad(127, 127, 127));

    // Tiles repeat over the area, the last ones cut at its edge.
    dc.Fill(Quad(1, 1, 1));
    ASSERT_EQ(image.Tile(&dc, PixRect{1, 1, 8, 4}), 1);
    EXPECT_EQ(Shown(dc, 4, 1), Quad(0, 0, 255));   // second tile, top row
    EXPECT_EQ(Shown(dc, 7, 3), Quad(0, 0, 255));   // third tile starts at x 7, second tile row at y 3
    EXPECT_EQ(Shown(dc, 1, 4), Quad(1, 1, 1));     // below the area
    EXPECT_EQ(Shown(dc, 0, 1), Quad(1, 1, 1));
}

TEST(DrawingBridge, TextIsDrawnWithTheDejaVuFacesAndReadsInASavedPicture)
{
    CPixTrueTypeFont font;
    if (!font.Load(DejaVu().c_str()))
        GTEST_SKIP() << "no DejaVu font in " << CPixImage::FontFolder();
    CPixImage page(320, 120, 24, kPixTypeUnknown);
    page.FillBits(255);
    CPixDeviceContext dc(1, 1);
    ASSERT_EQ(page.DrawString(&dc, 10, 40, "Hello, Solitaire!", 0x000000, "Arial", 28, 400, false, false, false), 1);
    TextInfo info;
    CPixImage::InitTextInfo(info);
    EXPECT_STREQ(info.text, "Sample Text 01234");
    info.backOpacity = 1;
    info.textColor = 0xFFFFFF;
    std::snprintf(info.text, sizeof(info.text), "%s", "Bold line\rsecond line");
    info.font.weight = 700;
    info.font.height = -22;
    ASSERT_EQ(page.DrawStringEx(nullptr, 10, 110, info, false), 1);
    const std::string path = UniqueTempPath("bridge_text.bmp");
    ASSERT_TRUE(page.WriteToFile(path.c_str(), kPixTypeBmp));

    // The ink of the first string sits in the box above row 40 (top-down), none below it.
    auto ink = [&](int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                count += page.PixelColor(x, page.Height() - 1 - y, false) == Quad(0, 0, 0) ? 1 : 0;
        return count;
    };
    EXPECT_GT(ink(10, 5, 260, 41), 400);
    EXPECT_EQ(ink(0, 41, 320, 60), 0);
    EXPECT_EQ(ink(0, 0, 9, 41), 0);
    // The background box is dark green behind white letters.
    EXPECT_EQ(page.PixelColor(100, page.Height() - 1 - 90, false), Quad(0x00, 0x60, 0x20));
}

TEST(DrawingBridge, BrokenFontFilesDrawNothingAndNeverReadOutside)
{
    const std::vector<std::uint8_t> whole = ReadBytesOf(DejaVu());
    if (whole.empty())
        GTEST_SKIP() << "no DejaVu font";
    unsigned seed = 99;
    for (int round = 0; round < 120; ++round) {
        std::vector<std::uint8_t> bytes = whole;
        seed = seed * 1664525u + 1013904223u;
        if (round % 3 == 0) {
            bytes.resize((seed >> 8) % bytes.size());
        } else {
            for (int i = 0; i < 40; ++i) {
                seed = seed * 1664525u + 1013904223u;
                // Mostly the table directory and the first glyphs, where offsets live.
                const std::size_t at = (seed >> 8) % (round % 2 == 0 ? std::size_t{4096} : bytes.size());
                bytes[at] = static_cast<std::uint8_t>(seed >> 24);
            }
        }
        CPixTrueTypeFont font;
        if (!font.LoadFromMemory(bytes.data(), bytes.size()))
            continue;
        std::vector<float> coverage(200 * 40, 0.0f);
        font.RenderLine("AgW&%@0", 2, 30, 24.0f / static_cast<float>(font.UnitsPerEm()), 0, coverage, 200, 40);
    }
}
