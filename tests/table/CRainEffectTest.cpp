// CRainEffectTest.cpp: the win cascade runs, stops by itself, showers and bursts as set up.
#include "framework/CSprite.h"
#include "solvers/FakeEngine.h"
#include "table/CCard.h"
#include "table/CRainEffect.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {
class RainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_face = std::make_unique<CSprite>(m_fake->TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
        m_back = std::make_unique<CSprite>(m_fake->TextureCreate(70, 100), 0.0f, 0.0f, 70.0f, 100.0f);
        m_card.SetUpSprite(m_face.get());
        m_card.SetBackSprite(m_back.get());
        m_card.SetFaceUp(1.0f);
    }
    void Run(CRainEffect& rain, float seconds, float dt = 0.05f, bool forced = false)
    {
        for (float t = 0; t < seconds - 1e-4f; t += dt)
            rain.Update(dt, forced);
    }

    ScopedFakeEngine m_fake;
    CCard m_card{0, 0};
    std::unique_ptr<CSprite> m_face, m_back;
};
}  // namespace

TEST_F(RainTest, StopsByItselfAfterItsTimeAndKeepsItsCards)
{
    CRainEffect rain;
    rain.Setup(CRainEffect::kShower, 3, 0);
    rain.AddCard(&m_card, 100, 100, 0);
    rain.Start(2.0f);
    Run(rain, 1.9f);
    EXPECT_TRUE(rain.IsRunning());
    Run(rain, 0.2f);
    EXPECT_FALSE(rain.IsRunning());
    EXPECT_FALSE(rain.Cards().empty());
}

TEST_F(RainTest, StartWithNoTimeRunsUntilStopped)
{
    CRainEffect rain;
    rain.Setup(CRainEffect::kShower, 3, 0);
    rain.AddCard(&m_card, 100, 100, 0);
    rain.Start(0.0f);
    Run(rain, 60.0f, 0.1f);
    EXPECT_TRUE(rain.IsRunning());
    rain.Stop();
    EXPECT_FALSE(rain.IsRunning());
}

TEST_F(RainTest, AStoppedCascadeMovesOnlyWhenForced)
{
    CRainEffect rain;
    rain.Setup(CRainEffect::kShower, 1, 0);
    rain.AddCard(&m_card, 100, 100, 0);
    const float y0 = rain.Cards()[0].y;
    rain.Update(0.1f, false);
    EXPECT_EQ(rain.Cards()[0].y, y0);
    rain.Update(0.1f, true);
    EXPECT_NE(rain.Cards()[0].y, y0);
}

TEST_F(RainTest, TheShowerAddsCardsUpToItsLimitAndBringsFallenOnesBackFromTheTop)
{
    CRainEffect rain;
    rain.Setup(CRainEffect::kShower, 4, 0);
    rain.AddCard(&m_card, 400, 300, 0);
    rain.Start(0.0f);
    Run(rain, 30.0f);
    EXPECT_EQ(rain.Cards().size(), 4u);
    for (const RainCard& rc : rain.Cards()) {
        EXPECT_GE(rc.state, 0) << "a shower never lets a card go";
        EXPECT_LE(rc.y, 700.0f);
    }
}

TEST_F(RainTest, AFaceUpCardShowsItsFaceUntilItHasTurnedHalfway)
{
    CRainEffect rain;
    rain.Setup(CRainEffect::kShower, 1, 0);
    rain.AddCard(&m_card, 400, 300, 0);
    EXPECT_FLOAT_EQ(rain.Cards()[0].flip, 1.0f);
    m_fake->quads.clear();
    rain.Render();
    ASSERT_EQ(m_fake->quads.size(), 1u);
    EXPECT_EQ(m_fake->quads[0].tex, m_face->GetTexture());

    rain.Update(1.0f, true);  // cos(t v / 200) is below 0 for v of 400..500 after one second
    ASSERT_LE(rain.Cards()[0].flip, 0.5f);
    m_fake->quads.clear();
    rain.Render();
    ASSERT_EQ(m_fake->quads.size(), 1u);
    EXPECT_EQ(m_fake->quads[0].tex, m_back->GetTexture());
}

TEST_F(RainTest, ABurstWaitsUntilATenthOfItsLimitIsFree)
{
    CRainEffect rain;
    rain.Setup(CRainEffect::kBursts, 20, 0);
    for (int i = 0; i < 20; ++i)
        rain.AddCard(&m_card, 400, 300, 0);  // all thrown at once: none free, the list full
    rain.Start(0.0f);
    Run(rain, 1.05f);
    for (const RainCard& rc : rain.Cards())
        EXPECT_GT(rc.age, 0.9f) << "no card may be thrown anew while none is free";

    Run(rain, 30.0f);  // every card has fallen out by now, and later bursts threw some again
    int thrownAgain = 0;
    for (const RainCard& rc : rain.Cards())
        thrownAgain += rc.state >= 0 && rc.age < 1.0f ? 1 : 0;
    EXPECT_EQ(rain.Cards().size(), 20u);
    EXPECT_GE(thrownAgain, 2);
}

TEST_F(RainTest, ABurstOfAnEmptyCascadeAddsNothing)
{
    CRainEffect rain;
    rain.Setup(CRainEffect::kBursts, 150, 10);
    rain.Start(0.0f);
    Run(rain, 3.0f);
    EXPECT_TRUE(rain.Cards().empty());
}

TEST_F(RainTest, DragDisplacementFollowsItsFormula)
{
    EXPECT_FLOAT_EQ(CRainEffect::Drag(1.0f, 2.0f), (1.0f - std::exp(-2.0f)) / 2.0f);
    EXPECT_FLOAT_EQ(CRainEffect::Drag(0.0f, 1.0f), 0.0f);
    EXPECT_FLOAT_EQ(CRainEffect::Drag(3.0f, 0.0f), 3.0f);  // no drag: straight motion, not a division by zero
}
