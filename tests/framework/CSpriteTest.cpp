#include "framework/CSprite.h"

#include "framework/CRect.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

struct Point {
    float x, y;
};

void ExpectCorners(const EngineQuad& quad, const Point (&expected)[4], float tolerance = 1e-4f)
{
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        EXPECT_NEAR(quad.v[i].x, expected[i].x, tolerance);
        EXPECT_NEAR(quad.v[i].y, expected[i].y, tolerance);
    }
}

void ExpectTexCoords(const EngineQuad& quad, const Point (&expected)[4])
{
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE("vertex " + std::to_string(i));
        EXPECT_FLOAT_EQ(quad.v[i].tx, expected[i].x);
        EXPECT_FLOAT_EQ(quad.v[i].ty, expected[i].y);
    }
}

}  // namespace

class CSpriteTest : public ::testing::Test {
protected:
    ScopedFakeEngine m_fake;
    HTexture m_texture = m_fake->TextureCreate(256, 128);

    const EngineQuad& Last() { return m_fake->quads.back(); }
};

TEST_F(CSpriteTest, NewSpriteMapsItsRectangleIntoTheTexture)
{
    CSprite sprite(m_texture, 64, 32, 32, 64);
    sprite.Render(0, 0);
    ASSERT_EQ(m_fake->quads.size(), 1u);
    ExpectTexCoords(Last(), {{0.25f, 0.25f}, {0.375f, 0.25f}, {0.375f, 0.75f}, {0.25f, 0.75f}});
    EXPECT_EQ(Last().tex, m_texture);
    EXPECT_EQ(Last().blend, kBlendDefault);
    for (const EngineVertex& v : Last().v) {
        EXPECT_EQ(v.col, 0xFFFFFFFFu);
        EXPECT_FLOAT_EQ(v.z, 0.5f);
    }
}

TEST_F(CSpriteTest, SpriteWithoutTextureUsesPixelsAsCoordinates)
{
    for (HTexture texture : {HTexture(0), HTexture(4242)}) {  // none, and one the engine does not know
        SCOPED_TRACE(texture);
        CSprite sprite(texture, 3, 4, 10, 20);
        sprite.Render(0, 0);
        ExpectTexCoords(Last(), {{3, 4}, {13, 4}, {13, 24}, {3, 24}});
    }
}

TEST_F(CSpriteTest, HotSpotLandsOnTheDrawingPosition)
{
    CSprite sprite(m_texture, 0, 0, 40, 20);
    sprite.Render(100, 50);
    ExpectCorners(Last(), {{100, 50}, {140, 50}, {140, 70}, {100, 70}});
    sprite.SetHotSpot(20, 10);
    sprite.Render(100, 50);
    ExpectCorners(Last(), {{80, 40}, {120, 40}, {120, 60}, {80, 60}});
}

TEST_F(CSpriteTest, RenderExWithoutTurnOrScalePlacesTheSameCornersAsRender)
{
    CSprite sprite(m_texture, 0, 0, 40, 20);
    sprite.SetHotSpot(7, 3);
    sprite.Render(100, 50);
    const EngineQuad plain = Last();
    sprite.RenderEx(100, 50, 0, 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(Last().v[i].x, plain.v[i].x);
        EXPECT_FLOAT_EQ(Last().v[i].y, plain.v[i].y);
    }
}

TEST_F(CSpriteTest, RenderExScalesAndTurnsAboutTheHotSpot)
{
    struct Case {
        const char* name;
        float rotation, hscale, vscale;
        Point corners[4];
    };
    // A 40 x 20 sprite with its hot spot at its centre, drawn at (100, 50).
    const Case cases[] = {
        {"double size", 0, 2, 0, {{60, 30}, {140, 30}, {140, 70}, {60, 70}}},
        {"wide and flat", 0, 2, 0.5f, {{60, 45}, {140, 45}, {140, 55}, {60, 55}}},
        {"quarter turn", kPi / 2, 1, 0, {{110, 30}, {110, 70}, {90, 70}, {90, 30}}},
        {"half turn", kPi, 1, 0, {{120, 60}, {80, 60}, {80, 40}, {120, 40}}},
        {"quarter turn, half size", kPi / 2, 0.5f, 0, {{105, 40}, {105, 60}, {95, 60}, {95, 40}}},
    };
    CSprite sprite(m_texture, 0, 0, 40, 20);
    sprite.SetHotSpot(20, 10);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sprite.RenderEx(100, 50, c.rotation, c.hscale, c.vscale);
        ExpectCorners(Last(), c.corners);
    }
}

TEST_F(CSpriteTest, TurnAboutACornerHotSpotKeepsThatCornerInPlace)
{
    CSprite sprite(m_texture, 0, 0, 40, 20);
    sprite.SetHotSpot(0, 0);
    sprite.RenderEx(10, 10, kPi / 2, 1);
    // (a, b) -> (-b, a): the right edge swings down, the bottom edge swings left.
    ExpectCorners(Last(), {{10, 10}, {10, 50}, {-10, 50}, {-10, 10}});
}

TEST_F(CSpriteTest, StretchAndFourVerticesPlaceCornersExactly)
{
    CSprite sprite(m_texture, 0, 0, 40, 20);
    sprite.SetHotSpot(5, 5);  // ignored by both
    sprite.RenderStretch(1, 2, 301, 202);
    ExpectCorners(Last(), {{1, 2}, {301, 2}, {301, 202}, {1, 202}});
    sprite.Render4V(0, 0, 10, 1, 11, 12, -1, 9);
    ExpectCorners(Last(), {{0, 0}, {10, 1}, {11, 12}, {-1, 9}});
}

TEST_F(CSpriteTest, FlipsSwapTextureCoordinatesAndUndoThemselves)
{
    CSprite sprite(m_texture, 0, 0, 128, 64);
    const Point plain[4] = {{0, 0}, {0.5f, 0}, {0.5f, 0.5f}, {0, 0.5f}};
    const Point mirrored[4] = {{0.5f, 0}, {0, 0}, {0, 0.5f}, {0.5f, 0.5f}};
    const Point upsideDown[4] = {{0, 0.5f}, {0.5f, 0.5f}, {0.5f, 0}, {0, 0}};
    const Point both[4] = {{0.5f, 0.5f}, {0, 0.5f}, {0, 0}, {0.5f, 0}};

    sprite.SetFlip(true, false);
    sprite.Render(0, 0);
    ExpectTexCoords(Last(), mirrored);
    sprite.SetFlip(true, false);  // no change: nothing swaps again
    sprite.Render(0, 0);
    ExpectTexCoords(Last(), mirrored);
    sprite.SetFlip(false, false);
    sprite.Render(0, 0);
    ExpectTexCoords(Last(), plain);
    sprite.SetFlip(false, true);
    sprite.Render(0, 0);
    ExpectTexCoords(Last(), upsideDown);
    sprite.SetFlip(true, true);
    sprite.Render(0, 0);
    ExpectTexCoords(Last(), both);
    bool x = false, y = false;
    sprite.GetFlip(x, y);
    EXPECT_TRUE(x && y);
}

TEST_F(CSpriteTest, NewTextureRectKeepsTheFlips)
{
    CSprite sprite(m_texture, 0, 0, 128, 64);
    sprite.SetFlip(true, false);
    sprite.SetTextureRect(128, 64, 128, 64);
    sprite.Render(0, 0);
    ExpectTexCoords(Last(), {{1, 0.5f}, {0.5f, 0.5f}, {0.5f, 1}, {1, 1}});
    EXPECT_FLOAT_EQ(sprite.GetWidth(), 128);
    EXPECT_FLOAT_EQ(sprite.GetHeight(), 64);
}

TEST_F(CSpriteTest, NewTextureOfAnotherSizeKeepsTheSamePixels)
{
    CSprite sprite(m_texture, 64, 32, 32, 32);
    const HTexture bigger = m_fake->TextureCreate(512, 512);
    sprite.SetTexture(bigger);
    sprite.Render(0, 0);
    EXPECT_EQ(Last().tex, bigger);
    ExpectTexCoords(Last(), {{0.125f, 0.0625f}, {0.1875f, 0.0625f}, {0.1875f, 0.125f}, {0.125f, 0.125f}});
    sprite.SetTexture(0);
    sprite.Render(0, 0);
    ExpectTexCoords(Last(), {{64, 32}, {96, 32}, {96, 64}, {64, 64}});
}

TEST_F(CSpriteTest, ColourDepthAndBlendReachTheQuad)
{
    CSprite sprite(m_texture, 0, 0, 8, 8);
    sprite.SetColor(0x80FF0000u);
    sprite.SetColor(0x11223344u, 2);
    sprite.SetColor(0xDEADBEEFu, 4);  // no such vertex: ignored
    sprite.SetZ(0.25f);
    sprite.SetZ(0.75f, 0);
    sprite.SetBlendMode(kBlendAdd);
    sprite.Render(0, 0);
    const std::uint32_t colours[4] = {0x80FF0000u, 0x80FF0000u, 0x11223344u, 0x80FF0000u};
    const float depths[4] = {0.75f, 0.25f, 0.25f, 0.25f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Last().v[i].col, colours[i]);
        EXPECT_EQ(sprite.GetColor(i), colours[i]);
        EXPECT_FLOAT_EQ(Last().v[i].z, depths[i]);
    }
    EXPECT_EQ(sprite.GetColor(-1), 0u);
    EXPECT_EQ(Last().blend, kBlendAdd);
}

TEST_F(CSpriteTest, BoundingBoxHoldsTheTurnedCorners)
{
    CSprite sprite(m_texture, 0, 0, 40, 20);
    sprite.SetHotSpot(20, 10);
    CRect box;
    sprite.GetBoundingBoxEx(100, 50, kPi / 2, 1, 1, box);
    EXPECT_FALSE(box.m_bClean);
    EXPECT_NEAR(box.x1, 90, 1e-4);
    EXPECT_NEAR(box.y1, 30, 1e-4);
    EXPECT_NEAR(box.x2, 110, 1e-4);
    EXPECT_NEAR(box.y2, 70, 1e-4);
    sprite.GetBoundingBoxEx(100, 50, 0, 1, 0, box);  // vscale 0 flattens the box
    EXPECT_FLOAT_EQ(box.x1, 80);
    EXPECT_FLOAT_EQ(box.x2, 120);
    EXPECT_FLOAT_EQ(box.y1, 50);
    EXPECT_FLOAT_EQ(box.y2, 50);
    EXPECT_TRUE(m_fake->quads.empty());
}

TEST_F(CSpriteTest, CopiesDrawAlikeAndEveryReferenceIsGivenBack)
{
    {
        CSprite sprite(m_texture, 16, 16, 32, 32);
        sprite.SetHotSpot(4, 4);
        sprite.SetColor(0x12345678u);
        sprite.SetFlip(false, true);
        CSprite copy(sprite);
        CSprite assigned(0, 0, 0, 1, 1);
        assigned = sprite;
        sprite.Render(10, 10);
        copy.Render(10, 10);
        assigned.Render(10, 10);
        for (int q = 1; q < 3; ++q)
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(m_fake->quads[q].v[i].x, m_fake->quads[0].v[i].x);
                EXPECT_EQ(m_fake->quads[q].v[i].tx, m_fake->quads[0].v[i].tx);
                EXPECT_EQ(m_fake->quads[q].v[i].ty, m_fake->quads[0].v[i].ty);
                EXPECT_EQ(m_fake->quads[q].v[i].col, m_fake->quads[0].v[i].col);
            }
    }
    EXPECT_EQ(m_fake->releaseCount, 3);
}
