#include "app/CFlyingEffects.h"

#include "app/CMotionPath.h"
#include "app/CPathEffects.h"
#include "framework/CParticleManager.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// A ".psi" record: 100 particles a second of 0.5 s each, emitted until stopped.
std::vector<std::uint8_t> SparkleDescription()
{
    std::vector<std::uint8_t> bytes(128, 0);
    const std::int32_t emission = 100;
    const float lifetime = -1.0f, lifeMin = 0.5f, lifeMax = 0.5f;
    std::memcpy(&bytes[4], &emission, 4);
    std::memcpy(&bytes[8], &lifetime, 4);
    std::memcpy(&bytes[12], &lifeMin, 4);
    std::memcpy(&bytes[16], &lifeMax, 4);
    return bytes;
}

class CFlyingEffectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_fake->AddResource("gfx\\sparkle.psi", SparkleDescription());
        m_fake->AddTextureFile("gfx\\particles.png", 64, 64);
    }

    template <typename T>
    std::unique_ptr<T> Make()
    {
        return std::make_unique<T>(&m_manager, "gfx\\sparkle.psi", "gfx\\particles.png", 32, 0, 16, 16);
    }

    // One frame as the game runs it: the effects, then their particle systems.
    template <typename T>
    void Frame(T& effects, float dt)
    {
        effects.Update(dt);
        m_manager.Update(dt);
    }

    ScopedFakeEngine m_fake;  // first: outlives everything that holds an engine reference
    CParticleManager m_manager{0.0f};  // one particle step per frame
};

}  // namespace

TEST_F(CFlyingEffectsTest, AtMostOneHundredEffectsExist)
{
    auto effects = Make<CFlyingEffects>();
    for (int i = 0; i < CFlyingEffects::kMaxEffects; ++i)
        ASSERT_TRUE(effects->Add(0, 0, -1, 0.1f, 0));
    EXPECT_FALSE(effects->Add(0, 0, -1, 0.1f, 0));
    EXPECT_EQ(effects->GetCount(), 100);
}

TEST_F(CFlyingEffectsTest, EffectWaitsForItsDelayAndThenForAFreeSystemSlot)
{
    CParticleDesc filler;
    std::vector<CParticleSystem*> others;
    for (int i = 0; i < CParticleManager::kMaxSystems; ++i)
        others.push_back(m_manager.SpawnPS(filler, 0, 0));
    auto effects = Make<CFlyingEffects>();
    ASSERT_TRUE(effects->Add(10, 20, 1.0f, 0.05f, 0));
    for (int frame = 0; frame < 3; ++frame) {
        effects->Update(0.1f);
        EXPECT_EQ(effects->GetEffect(0)->system, nullptr);
    }
    EXPECT_NEAR(effects->GetEffect(0)->lifetime, 0.7f, 1e-5f);  // counted while waiting for a slot
    m_manager.KillPS(others[0]);
    effects->Update(0.1f);
    ASSERT_NE(effects->GetEffect(0)->system, nullptr);
    EXPECT_FLOAT_EQ(effects->GetEffect(0)->system->GetLocation().x, 10.0f);
}

TEST_F(CFlyingEffectsTest, FlightWaitsItsHoldThenRunsStraightToTheEnd)
{
    auto effects = Make<CFlyingEffects>();
    ASSERT_TRUE(effects->Add(0, 0, -1, 0.01f, 0));
    effects->FlyLastTo(100, 50, 1.0f, 0.5f);
    std::vector<float> xs;
    for (int frame = 0; frame < 8; ++frame) {
        Frame(*effects, 0.25f);
        xs.push_back(effects->GetEffect(0)->x);
    }
    // Two frames of hold, then a quarter of the way per frame, then it stays at the end.
    EXPECT_EQ(xs, (std::vector<float>{0, 0, 25, 50, 75, 100, 100, 100}));
    EXPECT_FLOAT_EQ(effects->GetEffect(0)->y, 50.0f);
    EXPECT_TRUE(effects->IsFlightDone(0));
    EXPECT_TRUE(effects->IsFlightDone(7));
}

TEST_F(CFlyingEffectsTest, FlightOfNoTimeDoesNotMove)
{
    auto effects = Make<CFlyingEffects>();
    ASSERT_TRUE(effects->Add(5, 5, -1, 0.01f, 0));
    effects->FlyTo(0, 100, 100, 0.0f, 0.0f);
    Frame(*effects, 0.1f);
    Frame(*effects, 0.1f);
    EXPECT_FLOAT_EQ(effects->GetEffect(0)->x, 5.0f);
    EXPECT_TRUE(effects->IsFlightDone(0));
}

TEST_F(CFlyingEffectsTest, EffectWhoseLifetimeEndedStaysUntilItsLastParticleDied)
{
    auto effects = Make<CFlyingEffects>();
    ASSERT_TRUE(effects->Add(0, 0, 0.1f, 0.01f, 0));
    int framesListed = 0;
    for (int frame = 0; frame < 60 && effects->GetCount() == 1; ++frame, ++framesListed)
        Frame(*effects, 0.05f);
    EXPECT_EQ(effects->GetCount(), 0);
    // 0.1 s of emission and 0.5 s of particle life: gone after about 0.6 s, not before.
    EXPECT_GE(framesListed, 12);
    EXPECT_LE(framesListed, 16);
}

// The manager may hand a dead system's memory to the next spawn; an effect whose system died
// must not take the new system for its own (and stop it as its own lifetime ended).
TEST_F(CFlyingEffectsTest, EffectWhoseSystemDiedLeavesAnotherEffectsNewSystemAlone)
{
    auto effects = Make<CFlyingEffects>();
    ASSERT_TRUE(effects->Add(50, 50, -1, 10.0f, 0));  // spawns late, from the front of the list
    ASSERT_TRUE(effects->Add(0, 0, 0.1f, 0.01f, 0));  // spawns at once and ends soon
    CParticleSystem* first = nullptr;
    for (int frame = 0; frame < 100; ++frame) {
        Frame(*effects, 0.05f);
        if (first == nullptr)
            first = effects->GetEffect(1)->system;
        if (first != nullptr && !m_manager.IsPSAlive(first))
            break;
    }
    ASSERT_NE(first, nullptr);
    ASSERT_FALSE(m_manager.IsPSAlive(first));
    ASSERT_EQ(effects->GetCount(), 2);  // the ended effect is noticed in the next update

    effects->Update(effects->GetEffect(0)->delay + 0.001f);
    ASSERT_EQ(effects->GetCount(), 1);
    const FlyingEffect* late = effects->GetEffect(0);
    ASSERT_TRUE(m_manager.IsPSAlive(late->system));
    EXPECT_NE(late->system->GetAge(), CParticleSystem::kAgeStopped);
}

TEST_F(CFlyingEffectsTest, ShiftAndRotateMoveEveryPointOfTheTaggedEffects)
{
    auto effects = Make<CFlyingEffects>();
    ASSERT_TRUE(effects->Add(10, 0, -1, 0.01f, 7));
    ASSERT_TRUE(effects->Add(10, 0, -1, 0.01f, 8));
    effects->FlyTo(0, 20, 0, 1.0f, 0.0f);
    effects->Rotate(7, 1.5707963f, 0, 0);
    effects->Shift(7, 1, 2, 0.5f, true);
    const FlyingEffect* a = effects->GetEffect(0);
    EXPECT_NEAR(a->startX, 1.0f, 1e-4f);
    EXPECT_NEAR(a->startY, 12.0f, 1e-4f);
    EXPECT_NEAR(a->endX, 1.0f, 1e-4f);
    EXPECT_NEAR(a->endY, 22.0f, 1e-4f);
    EXPECT_FLOAT_EQ(a->flightTime, 1.5f);
    EXPECT_FLOAT_EQ(effects->GetEffect(1)->startX, 10.0f);  // another tag is untouched
    effects->Shift(1, 5, 0, 0, false);
    EXPECT_FLOAT_EQ(effects->GetEffect(1)->startX, 15.0f);
}

TEST_F(CFlyingEffectsTest, KillAllAndTheDestructorTakeTheirSystemsOutOfTheManager)
{
    auto effects = Make<CFlyingEffects>();
    ASSERT_TRUE(effects->Add(0, 0, -1, 0.01f, 0));
    ASSERT_TRUE(effects->Add(0, 0, -1, 0.01f, 0));
    Frame(*effects, 0.05f);
    EXPECT_EQ(m_manager.GetCount(), 2);
    effects->KillAll();
    EXPECT_EQ(m_manager.GetCount(), 0);
    EXPECT_EQ(effects->GetCount(), 0);

    ASSERT_TRUE(effects->Add(0, 0, -1, 0.01f, 0));
    Frame(*effects, 0.05f);
    effects.reset();  // its systems draw with its sprite: they must not outlive it
    EXPECT_EQ(m_manager.GetCount(), 0);
    m_manager.Render();
}

TEST_F(CFlyingEffectsTest, RectanglePathRunsClockwiseFromTheTopLeftCorner)
{
    auto effects = Make<CPathEffects>();
    ASSERT_TRUE(effects->AddRectangle(-1, 4.0f, 0, 0, 100, 100));
    struct Point {
        float x, y;
    };
    std::vector<Point> seen;
    for (int frame = 1; frame <= 10; ++frame) {
        Frame(*effects, 0.5f);
        if (frame % 2 == 0)  // positions are applied on every second frame
            seen.push_back({effects->GetEffect(0)->x, effects->GetEffect(0)->y});
    }
    const Point expected[] = {{100, 0}, {100, 100}, {0, 100}, {0, 0}, {100, 0}};
    ASSERT_EQ(seen.size(), 5u);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i));
        EXPECT_NEAR(seen[i].x, expected[i].x, 1e-3f);
        EXPECT_NEAR(seen[i].y, expected[i].y, 1e-3f);
    }
}

TEST_F(CFlyingEffectsTest, EllipsePathAndStoppedPaths)
{
    auto effects = Make<CPathEffects>();
    ASSERT_TRUE(effects->AddEllipse(-1, 1.0f, 100, 100, 50.9f, 20, 0));
    Frame(*effects, 0.25f);
    Frame(*effects, 0.25f);  // half a round: the left end (radius truncated to 50)
    EXPECT_NEAR(effects->GetEffect(0)->x, 50.0f, 1e-3f);
    EXPECT_NEAR(effects->GetEffect(0)->y, 100.0f, 1e-3f);
    effects->StopPaths();
    EXPECT_EQ(effects->GetEffect(0)->tag, -1);
    Frame(*effects, 0.25f);
    Frame(*effects, 0.25f);
    EXPECT_NEAR(effects->GetEffect(0)->x, 50.0f, 1e-3f);  // detached: it stays
}

TEST_F(CFlyingEffectsTest, PathOfNoLengthOrPeriodStaysAtItsCorner)
{
    auto effects = Make<CPathEffects>();
    ASSERT_TRUE(effects->AddRectangle(-1, 0.0f, 30, 40, 30, 40));
    ASSERT_TRUE(effects->AddEllipse(-1, 0.0f, 30, 40, 10, 10, 0));
    Frame(*effects, 0.5f);
    Frame(*effects, 0.5f);
    EXPECT_FLOAT_EQ(effects->GetEffect(0)->x, 30.0f);
    EXPECT_FLOAT_EQ(effects->GetEffect(0)->y, 40.0f);
    EXPECT_FLOAT_EQ(effects->GetEffect(1)->x, 40.0f);  // angle 0: the right end
}

TEST(CMotionPath, DriftsWithItsVelocityAndWavesOnlyWhileRunning)
{
    CMotionPath path(10, 20, 1, 2, 3, 0, true);
    path.SetVelocity(4, -2);
    MotionWave wave;
    wave.amplitude = 5;
    wave.frequency = 1.5707963f;  // a quarter turn per second
    path.SetWaveX(wave);
    path.Update(1.0f);
    EXPECT_FLOAT_EQ(path.GetX(), 10.0f);  // paused
    path.Start(true, -1.0f);
    path.Update(1.0f);
    EXPECT_NEAR(path.GetX(), 10 + 4 + 5, 1e-4f);
    EXPECT_NEAR(path.GetY(), 20 - 2, 1e-4f);
    EXPECT_FLOAT_EQ(path.GetValue(2), 3.0f);
    EXPECT_FLOAT_EQ(path.GetValue(3), 0.0f);
}

TEST(CMotionPath, RampRunsBackAndForthBetweenZeroAndOne)
{
    CMotionPath path(0, 0, 0, 0, 0, 0.25f, false);
    path.SetRampSpeed(0.5f);
    const float expected[] = {0.75f, 0.75f, 0.25f, 0.25f, 0.75f};  // t = 1..5
    for (float ramp : expected) {
        path.Update(1.0f);
        SCOPED_TRACE("t " + std::to_string(path.GetTime()));
        EXPECT_NEAR(path.GetRamp(), ramp, 1e-5f);
    }
}
