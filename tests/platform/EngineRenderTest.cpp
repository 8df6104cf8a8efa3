// Pixel tests of the engine's drawing: blend modes, clipping, render targets, texture locks,
// image loading and screenshots, all read back from the GPU.
#include "support/HeadlessEngine.h"
#include "support/QuadBuilder.h"
#include "support/RgbNear.h"

#include <string>

namespace {

class EngineRender : public HeadlessEngineTest {
protected:
    HTexture SolidTexture(std::uint32_t argb, int size = 4)
    {
        const HTexture tex = m_pEngine->TextureCreate(size, size);
        std::uint32_t* p = m_pEngine->TextureLock(tex, false);
        for (int i = 0; p != nullptr && i < size * size; ++i)
            p[i] = argb;
        m_pEngine->TextureUnlock(tex);
        return tex;
    }
    std::uint32_t Pixel(HTarget target, int x, int y)
    {
        const std::vector<std::uint32_t> row = ReadTexturePixels(m_pEngine->TargetGetTexture(target), x, y, 1);
        return row.empty() ? 0xDEADBEEF : row[0];
    }
};

struct BlendCase {
    const char* name;
    int blend;
    std::uint32_t target, texel, vertex, expected;
};

TEST_F(EngineRender, EachBlendModeCombinesTextureVertexAndTargetByItsRule)
{
    const BlendCase cases[] = {
        {"2: texture x colour", kBlendDefault, 0xFF0000FF, 0xFFFFFFFF, 0xFF00FF00, 0xFF00FF00},
        {"2: modulated half grey", kBlendDefault, 0xFF0000FF, 0xFF808080, 0xFFFF0000, 0xFF800000},
        {"2: transparent texel keeps target", kBlendDefault, 0xFF0000FF, 0x00FFFFFF, 0xFFFFFFFF, 0xFF0000FF},
        {"2: half alpha mixes", kBlendDefault, 0xFF0000FF, 0x80FF0000, 0xFFFFFFFF, 0xFF80007F},
        {"2: vertex alpha mixes", kBlendDefault, 0xFF0000FF, 0xFFFF0000, 0x80FFFFFF, 0xFF80007F},
        {"0: adds to target", kBlendAdd, 0xFF202020, 0xFF404040, 0xFFFFFFFF, 0xFF606060},
        {"0: saturates", kBlendAdd, 0xFF808080, 0xFFC0C0C0, 0xFFFFFFFF, 0xFFFFFFFF},
        {"0: weighted by alpha", kBlendAdd, 0xFF000020, 0x80FF0000, 0xFFFFFFFF, 0xFF800020},
        {"3: black texel shows vertex colour", kBlendColorAdd, 0xFF0000FF, 0xFF000000, 0xFFFF0000, 0xFFFF0000},
        {"3: colours add", kBlendColorAdd, 0xFF0000FF, 0xFF400000, 0xFF004000, 0xFF404000},
        {"3: sum clamps", kBlendColorAdd, 0xFF000000, 0xFFC00000, 0xFF800000, 0xFFFF0000},
        {"3: alpha is texel x vertex", kBlendColorAdd, 0xFF0000FF, 0x80000000, 0xFF00FF00, 0xFF00807F},
    };
    HTarget target = m_pEngine->TargetCreate(8, 8, false);
    ASSERT_NE(target, 0u);
    auto expectDrawn = [&](const BlendCase& c) {
        SCOPED_TRACE(c.name);
        const HTexture tex = SolidTexture(c.texel);
        ASSERT_TRUE(m_pEngine->BeginScene(target));
        m_pEngine->Clear(c.target);
        m_pEngine->RenderQuad(MakeQuad(0, 0, 8, 8, c.vertex, tex, c.blend));
        m_pEngine->EndScene();
        EXPECT_TRUE(RgbNear(Pixel(target, 3, 3), c.expected));
        m_pEngine->TextureFree(tex);
    };
    for (const BlendCase& c : cases)
        expectDrawn(c);
    // Started again, the first draw has the old context's last blend, which the new context was never given.
    m_pEngine->Shutdown();
    ASSERT_TRUE(m_pEngine->Initiate());
    target = m_pEngine->TargetCreate(8, 8, false);
    expectDrawn(cases[sizeof(cases) / sizeof(cases[0]) - 1]);
}

TEST_F(EngineRender, ClippingKeepsDrawsInsideTheRectangleUntilReset)
{
    const HTarget target = m_pEngine->TargetCreate(8, 8, false);
    ASSERT_TRUE(m_pEngine->BeginScene(target));
    m_pEngine->Clear(0xFF000000);
    m_pEngine->SetClipping(2, 3, 3, 2);
    m_pEngine->RenderQuad(MakeQuad(0, 0, 8, 8, 0xFFFFFFFF, 0));
    m_pEngine->EndScene();
    const struct {
        int x, y;
        std::uint32_t expected;
    } probes[] = {{1, 3, 0xFF000000}, {2, 2, 0xFF000000}, {2, 3, 0xFFFFFFFF}, {4, 4, 0xFFFFFFFF},
                  {5, 4, 0xFF000000}, {4, 5, 0xFF000000}};
    for (const auto& probe : probes) {
        SCOPED_TRACE(std::to_string(probe.x) + "," + std::to_string(probe.y));
        EXPECT_TRUE(RgbNear(Pixel(target, probe.x, probe.y), probe.expected));
    }
    ASSERT_TRUE(m_pEngine->BeginScene(target));  // a new scene starts unclipped
    m_pEngine->RenderQuad(MakeQuad(0, 0, 8, 8, 0xFF00FF00, 0));
    m_pEngine->EndScene();
    EXPECT_TRUE(RgbNear(Pixel(target, 0, 0), 0xFF00FF00));
    EXPECT_TRUE(RgbNear(Pixel(target, 7, 7), 0xFF00FF00));
}

TEST_F(EngineRender, RenderTargetDrawnThroughTheScaleTransformKeepsItsOrientation)
{
    const HTarget small = m_pEngine->TargetCreate(4, 4, false);
    const HTarget big = m_pEngine->TargetCreate(16, 16, false);
    ASSERT_NE(small, 0u);
    ASSERT_NE(big, 0u);
    EXPECT_EQ(m_pEngine->TextureGetWidth(m_pEngine->TargetGetTexture(small)), 4);
    ASSERT_TRUE(m_pEngine->BeginScene(small));
    m_pEngine->RenderQuad(MakeQuad(0, 0, 2, 2, 0xFFFF0000, 0));
    m_pEngine->RenderQuad(MakeQuad(2, 0, 4, 2, 0xFF00FF00, 0));
    m_pEngine->RenderQuad(MakeQuad(0, 2, 2, 4, 0xFF0000FF, 0));
    m_pEngine->RenderQuad(MakeQuad(2, 2, 4, 4, 0xFFFFFFFF, 0));
    m_pEngine->EndScene();
    ASSERT_TRUE(m_pEngine->BeginScene(big));
    m_pEngine->Clear(0xFF000000);
    m_pEngine->SetTransform(0, 0, 0, 0, 0, 2.0f, 2.0f);
    m_pEngine->RenderQuad(MakeQuad(0, 0, 8, 8, 0xFFFFFFFF, m_pEngine->TargetGetTexture(small)));
    m_pEngine->SetTransform();
    m_pEngine->EndScene();
    EXPECT_TRUE(RgbNear(Pixel(big, 2, 2), 0xFFFF0000));
    EXPECT_TRUE(RgbNear(Pixel(big, 13, 2), 0xFF00FF00));
    EXPECT_TRUE(RgbNear(Pixel(big, 2, 13), 0xFF0000FF));
    EXPECT_TRUE(RgbNear(Pixel(big, 13, 13), 0xFFFFFFFF));
}

TEST_F(EngineRender, LockedRectangleWritesBackOnlyThereWithTheTexturePitch)
{
    const HTexture tex = m_pEngine->TextureCreate(8, 8);
    std::uint32_t* p = m_pEngine->TextureLock(tex, false, 2, 3, 4, 2);
    ASSERT_NE(p, nullptr);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col)
            p[row * 8 + col] = 0xFF000000u | static_cast<std::uint32_t>(row * 16 + col + 1);
    m_pEngine->TextureUnlock(tex);

    const std::uint32_t* all = m_pEngine->TextureLock(tex, true);
    ASSERT_NE(all, nullptr);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
            const std::uint32_t want = inside ? 0xFF000000u | static_cast<std::uint32_t>((y - 3) * 16 + x - 2 + 1) : 0u;
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(all[y * 8 + x], want);
        }
    m_pEngine->TextureUnlock(tex);
    // A read-only lock does not write back.
    std::uint32_t* readOnly = m_pEngine->TextureLock(tex, true);
    ASSERT_NE(readOnly, nullptr);
    readOnly[0] = 0xFFFFFFFF;
    m_pEngine->TextureUnlock(tex);
    EXPECT_EQ(ReadTexturePixels(tex, 0, 0, 1), std::vector<std::uint32_t>{0u});
}

TEST_F(EngineRender, BadLockRectanglesAndStaleHandlesGiveNull)
{
    const HTexture tex = m_pEngine->TextureCreate(8, 8);
    const struct {
        int x, y, w, h;
    } rects[] = {{-1, 0, 2, 2}, {0, 0, 9, 1}, {7, 7, 2, 1}, {0, 0, -1, 1}, {0, 8, 1, 1}};
    for (const auto& r : rects) {
        SCOPED_TRACE(std::to_string(r.x) + "," + std::to_string(r.y) + "," + std::to_string(r.w) + "," +
                     std::to_string(r.h));
        EXPECT_EQ(m_pEngine->TextureLock(tex, true, r.x, r.y, r.w, r.h), nullptr);
    }
    m_pEngine->TextureFree(tex);
    EXPECT_EQ(m_pEngine->TextureLock(tex, true), nullptr);
    EXPECT_EQ(m_pEngine->TextureGetWidth(tex), 0);
    EXPECT_NE(m_pEngine->TextureCreate(8, 8), tex);  // handles are not reused
}

std::string TgaBytes(bool topDown)
{
    // 2x2, 32-bit, uncompressed; pixels BGRA: red, green / blue, half-transparent white.
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = 2;
    bytes[14] = 2;
    bytes[16] = 32;
    bytes[17] = static_cast<char>(topDown ? 0x28 : 0x08);
    const std::string top = std::string("\x00\x00\xFF\xFF\x00\xFF\x00\xFF", 8);
    const std::string bottom = std::string("\xFF\x00\x00\xFF\xFF\xFF\xFF\x80", 8);
    return bytes + (topDown ? top + bottom : bottom + top);
}

TEST_F(EngineRender, TgaLoadsByContentWhateverTheNameAndOrigin)
{
    for (bool topDown : {true, false}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        WriteDataFile("gfx/Effects/glow.png", TgaBytes(topDown));
        const HTexture tex = m_pEngine->TextureLoad("GFX\\effects\\GLOW.PNG");
        ASSERT_NE(tex, 0u);
        EXPECT_EQ(m_pEngine->TextureGetWidth(tex), 2);
        EXPECT_EQ(m_pEngine->TextureGetHeight(tex), 2);
        EXPECT_EQ(ReadTexturePixels(tex, 0, 0, 2), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00}));
        EXPECT_EQ(ReadTexturePixels(tex, 0, 1, 2), (std::vector<std::uint32_t>{0xFF0000FF, 0x80FFFFFF}));
        m_pEngine->TextureFree(tex);
    }
}

// An 8x8 baseline JPEG of one colour, 0xC81E28.
const unsigned char kJpeg[] =
    "\xFF\xD8\xFF\xE0\x00\x10\x4A\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xFF\xDB\x00\x43"
    "\x00\x02\x01\x01\x01\x01\x01\x02\x01\x01\x01\x02\x02\x02\x02\x02\x04\x03\x02\x02\x02\x02\x05\x04"
    "\x04\x03\x04\x06\x05\x06\x06\x06\x05\x06\x06\x06\x07\x09\x08\x06\x07\x09\x07\x06\x06\x08\x0B\x08"
    "\x09\x0A\x0A\x0A\x0A\x0A\x06\x08\x0B\x0C\x0B\x0A\x0C\x09\x0A\x0A\x0A\xFF\xDB\x00\x43\x01\x02\x02"
    "\x02\x02\x02\x02\x05\x03\x03\x05\x0A\x07\x06\x07\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A"
    "\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A"
    "\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\x0A\xFF\xC0\x00\x11\x08\x00\x08\x00\x08\x03"
    "\x01\x22\x00\x02\x11\x01\x03\x11\x01\xFF\xC4\x00\x1F\x00\x00\x01\x05\x01\x01\x01\x01\x01\x01\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\xFF\xC4\x00\xB5\x10\x00"
    "\x02\x01\x03\x03\x02\x04\x03\x05\x05\x04\x04\x00\x00\x01\x7D\x01\x02\x03\x00\x04\x11\x05\x12\x21"
    "\x31\x41\x06\x13\x51\x61\x07\x22\x71\x14\x32\x81\x91\xA1\x08\x23\x42\xB1\xC1\x15\x52\xD1\xF0\x24"
    "\x33\x62\x72\x82\x09\x0A\x16\x17\x18\x19\x1A\x25\x26\x27\x28\x29\x2A\x34\x35\x36\x37\x38\x39\x3A"
    "\x43\x44\x45\x46\x47\x48\x49\x4A\x53\x54\x55\x56\x57\x58\x59\x5A\x63\x64\x65\x66\x67\x68\x69\x6A"
    "\x73\x74\x75\x76\x77\x78\x79\x7A\x83\x84\x85\x86\x87\x88\x89\x8A\x92\x93\x94\x95\x96\x97\x98\x99"
    "\x9A\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xC2\xC3\xC4\xC5\xC6"
    "\xC7\xC8\xC9\xCA\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xF1"
    "\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFF\xC4\x00\x1F\x01\x00\x03\x01\x01\x01\x01\x01\x01\x01\x01"
    "\x01\x00\x00\x00\x00\x00\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\xFF\xC4\x00\xB5\x11\x00"
    "\x02\x01\x02\x04\x04\x03\x04\x07\x05\x04\x04\x00\x01\x02\x77\x00\x01\x02\x03\x11\x04\x05\x21\x31"
    "\x06\x12\x41\x51\x07\x61\x71\x13\x22\x32\x81\x08\x14\x42\x91\xA1\xB1\xC1\x09\x23\x33\x52\xF0\x15"
    "\x62\x72\xD1\x0A\x16\x24\x34\xE1\x25\xF1\x17\x18\x19\x1A\x26\x27\x28\x29\x2A\x35\x36\x37\x38\x39"
    "\x3A\x43\x44\x45\x46\x47\x48\x49\x4A\x53\x54\x55\x56\x57\x58\x59\x5A\x63\x64\x65\x66\x67\x68\x69"
    "\x6A\x73\x74\x75\x76\x77\x78\x79\x7A\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x92\x93\x94\x95\x96\x97"
    "\x98\x99\x9A\xA2\xA3\xA4\xA5\xA6\xA7\xA8\xA9\xAA\xB2\xB3\xB4\xB5\xB6\xB7\xB8\xB9\xBA\xC2\xC3\xC4"
    "\xC5\xC6\xC7\xC8\xC9\xCA\xD2\xD3\xD4\xD5\xD6\xD7\xD8\xD9\xDA\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA"
    "\xF2\xF3\xF4\xF5\xF6\xF7\xF8\xF9\xFA\xFF\xDA\x00\x0C\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00\xF9"
    "\x1E\x8A\x28\xAF\xC7\xCF\xF5\x40\xFF\xD9";

TEST_F(EngineRender, JpegLoadsFromMemoryAsOpaquePixels)
{
    const HTexture tex = m_pEngine->TextureLoadFromMemory(kJpeg, sizeof(kJpeg) - 1);
    ASSERT_NE(tex, 0u);
    EXPECT_EQ(m_pEngine->TextureGetWidth(tex), 8);
    EXPECT_EQ(m_pEngine->TextureGetHeight(tex), 8);
    const std::vector<std::uint32_t> row = ReadTexturePixels(tex, 0, 4, 8);
    ASSERT_EQ(row.size(), 8u);
    for (std::uint32_t pixel : row) {
        EXPECT_EQ(pixel >> 24, 0xFFu);
        EXPECT_TRUE(RgbNear(pixel, 0xFFC81E28, 4));  // lossy
    }
}

TEST_F(EngineRender, UnreadableImagesFailWithOneLogLine)
{
    WriteDataFile("junk.png", std::string("\x89PNG\r\n\x1a\n-not-really", 19));
    EXPECT_EQ(m_pEngine->TextureLoad("junk.png"), 0u);
    EXPECT_TRUE(LogHasLine("[E] Engine: can't decode texture file junk.png"));
    EXPECT_EQ(m_pEngine->TextureLoad("missing.png"), 0u);
    EXPECT_TRUE(LogHasLine("[E] Engine: can't open texture file missing.png"));
    EXPECT_EQ(m_pEngine->TextureLoadFromMemory(nullptr, 0), 0u);
}

TEST_F(EngineRender, ScreenshotIsThePresentedFrameAsPng)
{
    ASSERT_TRUE(m_pEngine->BeginScene());
    m_pEngine->Clear(0xFF000000);
    m_pEngine->RenderQuad(MakeQuad(0, 0, 400, 300, 0xFFFF0000, 0));
    m_pEngine->EndScene();
    ASSERT_TRUE(m_pEngine->SaveScreenshot(HostPath("shot.png").c_str()));
    const HTexture shot = m_pEngine->TextureLoad("shot.png");
    ASSERT_NE(shot, 0u);
    EXPECT_EQ(m_pEngine->TextureGetWidth(shot), 800);
    EXPECT_EQ(m_pEngine->TextureGetHeight(shot), 600);
    EXPECT_EQ(ReadTexturePixels(shot, 399, 299, 2), (std::vector<std::uint32_t>{0xFFFF0000, 0xFF000000}));
    EXPECT_EQ(ReadTexturePixels(shot, 0, 300, 1), std::vector<std::uint32_t>{0xFF000000});
}

}  // namespace
