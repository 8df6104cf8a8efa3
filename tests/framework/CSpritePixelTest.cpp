// CSpritePixelTest.cpp: sprites drawn by the real engine (headless) and read back from the GPU:
// where the hot spot lands, which way a turn goes, what the flips mirror, and a sub-rectangle.
#include "framework/CSprite.h"

#include "support/HeadlessEngine.h"
#include "support/RgbNear.h"

namespace {

constexpr float kHalfPi = 1.57079632679f;
constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kBackground = 0xFF000000;

struct Probe {
    int x, y;
    std::uint32_t colour;
};

class CSpritePixelTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        // 20x20: four 10x10 quadrants, red top-left, green top-right, blue bottom-left, white
        // bottom-right. Quadrant centres are far from any edge the filtering could blur.
        m_texture = m_pEngine->TextureCreate(20, 20);
        std::uint32_t* p = m_pEngine->TextureLock(m_texture, false);
        ASSERT_NE(p, nullptr);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x)
                p[y * 20 + x] = y < 10 ? (x < 10 ? kRed : kGreen) : (x < 10 ? kBlue : kWhite);
        m_pEngine->TextureUnlock(m_texture);
        m_target = m_pEngine->TargetCreate(100, 100, false);
        ASSERT_NE(m_target, 0u);
    }

    // Draws one frame into the target through `draw` and checks every probe.
    void ExpectDrawn(const std::function<void()>& draw, const std::vector<Probe>& probes)
    {
        ASSERT_TRUE(m_pEngine->BeginScene(m_target));
        m_pEngine->Clear(kBackground);
        draw();
        m_pEngine->EndScene();
        for (const Probe& probe : probes) {
            SCOPED_TRACE("at " + std::to_string(probe.x) + "," + std::to_string(probe.y));
            const std::vector<std::uint32_t> pixel =
                ReadTexturePixels(m_pEngine->TargetGetTexture(m_target), probe.x, probe.y, 1);
            ASSERT_EQ(pixel.size(), 1u);
            EXPECT_TRUE(RgbNear(pixel[0], probe.colour));
        }
    }

    HTexture m_texture = 0;
    HTarget m_target = 0;
};

}  // namespace

TEST_F(CSpritePixelTest, HotSpotRotationAndFlipsPlaceTheQuadrants)
{
    struct Case {
        const char* name;
        float hotX, hotY;
        bool flipX, flipY;
        float rotation, scale;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases = {
        {"top-left hot spot", 0, 0, false, false, 0, 1,
         {{55, 55, kRed}, {65, 55, kGreen}, {55, 65, kBlue}, {65, 65, kWhite}, {45, 45, kBackground},
          {75, 75, kBackground}}},
        {"centred hot spot", 10, 10, false, false, 0, 1,
         {{45, 45, kRed}, {55, 45, kGreen}, {45, 55, kBlue}, {55, 55, kWhite}, {65, 65, kBackground}}},
        {"x flip mirrors left and right", 10, 10, true, false, 0, 1,
         {{45, 45, kGreen}, {55, 45, kRed}, {45, 55, kWhite}, {55, 55, kBlue}}},
        {"y flip mirrors top and bottom", 10, 10, false, true, 0, 1,
         {{45, 45, kBlue}, {55, 45, kWhite}, {45, 55, kRed}, {55, 55, kGreen}}},
        // y grows downwards, so a positive angle turns clockwise on the screen.
        {"quarter turn about the hot spot", 10, 10, false, false, kHalfPi, 1,
         {{55, 45, kRed}, {55, 55, kGreen}, {45, 55, kWhite}, {45, 45, kBlue}}},
        {"turn about a corner hot spot", 0, 0, false, false, kHalfPi, 1,
         {{45, 55, kRed}, {45, 65, kGreen}, {35, 65, kWhite}, {35, 55, kBlue}, {55, 55, kBackground}}},
        {"double size about the hot spot", 10, 10, false, false, 0, 2,
         {{35, 35, kRed}, {65, 35, kGreen}, {35, 65, kBlue}, {65, 65, kWhite}, {25, 25, kBackground}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSprite sprite(m_texture, 0, 0, 20, 20);
        sprite.SetHotSpot(c.hotX, c.hotY);
        sprite.SetFlip(c.flipX, c.flipY);
        ExpectDrawn([&] { sprite.RenderEx(50, 50, c.rotation, c.scale); }, c.probes);
    }
}

TEST_F(CSpritePixelTest, TextureRectangleShowsOnlyItsPartStretchedOverTheQuad)
{
    // The green quadrant only; probes keep off its edges, where filtering reaches the neighbours.
    CSprite sprite(m_texture, 10, 0, 10, 10);
    ExpectDrawn([&] { sprite.RenderStretch(20, 20, 80, 80); },
                {{30, 30, kGreen}, {50, 50, kGreen}, {70, 70, kGreen}, {10, 10, kBackground}, {85, 50, kBackground}});
    sprite.SetTextureRect(0, 10, 20, 10);  // the bottom half: blue, then white
    sprite.SetColor(0xFF808080);          // vertex colour halves the texture's
    ExpectDrawn([&] { sprite.Render(30, 30); },
                {{35, 35, 0xFF000080}, {45, 35, 0xFF808080}, {35, 45, kBackground}});
}
