#include "framework/CParticleManager.h"
#include "framework/CParticleSystem.h"

#include "framework/CSprite.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr float kStep = 1.0f / 50.0f;

CParticleDesc Desc(int emission, float lifetime, float particleLife = 10.0f)
{
    CParticleDesc d;
    d.emission = emission;
    d.lifetime = lifetime;
    d.particleLifeMin = d.particleLifeMax = particleLife;
    d.sizeStart = d.sizeEnd = 1.0f;
    d.colorStart = d.colorEnd = CColor(1, 1, 1, 1);
    return d;
}

TEST(CParticleSystem, TenPerSecondAtFiftyStepsEmitsSingleParticlesTenTimesASecond)
{
    ScopedFakeEngine fake;
    CParticleSystem system(Desc(10, -1.0f), 50.0f);
    system.FireAt(100, 100);
    int previous = 0;
    int firstStep = -1;
    for (int step = 0; step < 50; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        system.Update(kStep);
        const int created = system.GetParticlesAlive() - previous;
        EXPECT_TRUE(created == 0 || created == 1);
        if (created == 1 && firstStep < 0)
            firstStep = step;
        previous = system.GetParticlesAlive();
    }
    EXPECT_EQ(firstStep, 2);  // needed 0.2, 0.4, then 0.6 rounds to 1
    EXPECT_NEAR(system.GetParticlesAlive(), 10, 1);
}

TEST(CParticleSystem, OneStepPerUpdateAndWholeStepsBeyondAreDropped)
{
    ScopedFakeEngine fake;
    CParticleSystem system(Desc(50, -1.0f), 50.0f);  // one particle per step
    system.FireAt(0, 0);
    system.Update(0.05f);   // 2.5 steps' worth: one step, 0.01 s kept
    EXPECT_EQ(system.GetParticlesAlive(), 1);
    system.Update(0.015f);  // with the 0.01 kept: a step
    EXPECT_EQ(system.GetParticlesAlive(), 2);
    system.Update(0.1f);    // five steps' worth: still one
    EXPECT_EQ(system.GetParticlesAlive(), 3);

    CParticleSystem unstepped(Desc(100, -1.0f), 0.0f);  // rate 0: every update is one step of dt
    unstepped.FireAt(0, 0);
    unstepped.Update(0.1f);
    EXPECT_EQ(unstepped.GetParticlesAlive(), 10);
}

TEST(CParticleSystem, PoolCapsAtFiveHundredAndDropsTheResidue)
{
    ScopedFakeEngine fake;
    CParticleSystem system(Desc(100000, -1.0f), 50.0f);
    system.FireAt(0, 0);
    system.Update(kStep);
    EXPECT_EQ(system.GetParticlesAlive(), CParticleSystem::kMaxParticles);
    system.Update(kStep);
    EXPECT_EQ(system.GetParticlesAlive(), CParticleSystem::kMaxParticles);
    system.Stop(true);
    EXPECT_EQ(system.GetParticlesAlive(), 0);
    EXPECT_FLOAT_EQ(system.GetAge(), CParticleSystem::kAgeStopped);
}

TEST(CParticleSystem, EmissionEndsWithLifetimeAndParticlesDieAtTheirAge)
{
    ScopedFakeEngine fake;
    CParticleDesc d = Desc(50, 0.03f, 0.05f);
    d.speedMin = d.speedMax = 2.0f;
    d.direction = 1.5707963f;  // to the right
    CParticleSystem system(d, 50.0f);
    system.FireAt(0, 0);
    system.Update(kStep);
    EXPECT_EQ(system.GetParticlesAlive(), 1);
    EXPECT_FLOAT_EQ(system.GetAge(), 0.02f);
    system.Update(kStep);  // age 0.04: emission over before this step's particle
    EXPECT_EQ(system.GetParticlesAlive(), 1);
    EXPECT_FLOAT_EQ(system.GetAge(), CParticleSystem::kAgeStopped);
    system.Update(kStep);
    EXPECT_EQ(system.GetParticlesAlive(), 1);
    system.Update(kStep);  // particle age 0.06 >= 0.05
    EXPECT_EQ(system.GetParticlesAlive(), 0);
}

TEST(CParticleSystem, RenderTintsSpriteAndRestoresItsColour)
{
    ScopedFakeEngine fake;
    CSprite sprite(0, 0, 0, 4, 4);
    sprite.SetColor(0x11223344);
    CParticleDesc d = Desc(50, -1.0f);
    d.colorStart = d.colorEnd = CColor(1.0f, 0.0f, 0.5f, 1.0f);
    d.sprite = &sprite;
    CParticleSystem system(d, 50.0f);
    system.FireAt(10, 20);
    system.Transpose(100, 0);
    system.Update(kStep);
    system.Render();
    ASSERT_EQ(fake->quads.size(), 1u);
    EXPECT_EQ(fake->quads[0].v[0].col, 0xFFFF0080u);
    EXPECT_NEAR(fake->quads[0].v[0].x, 110.0f, 2.01f);
    EXPECT_EQ(sprite.GetColor(0), 0x11223344u);
    EXPECT_EQ(sprite.GetColor(3), 0x11223344u);
}

TEST(CColor, ToARGBRoundsAndDoesNotClamp)
{
    EXPECT_EQ(CColor(1, 0.5f, 0, 1).ToARGB(), 0xFFFF8000u);
    EXPECT_EQ(CColor(0, 0, 1.2f, 0).ToARGB(), 306u);  // spills into green
}

TEST(CParticleManager, DeletesSystemsThatStoppedAndEmptied)
{
    ScopedFakeEngine fake;
    CParticleManager manager(50.0f);
    CParticleSystem* shortLived = manager.SpawnPS(Desc(50, 2.0f, 0.1f), 0, 0);
    CParticleSystem* endless = manager.SpawnPS(Desc(50, -1.0f, 0.1f), 0, 0);
    ASSERT_NE(shortLived, nullptr);
    for (int step = 0; step < 100; ++step)
        manager.Update(kStep);
    EXPECT_TRUE(manager.IsPSAlive(shortLived));  // 2 s: the last particles still live
    for (int step = 0; step < 10; ++step)
        manager.Update(kStep);
    EXPECT_FALSE(manager.IsPSAlive(shortLived));
    EXPECT_TRUE(manager.IsPSAlive(endless));
    endless->Stop(true);
    manager.Update(kStep);
    EXPECT_EQ(manager.GetCount(), 0);
}

TEST(CParticleManager, HundredSystemsAtMostAndKillMovesTheLast)
{
    ScopedFakeEngine fake;
    CParticleManager manager(50.0f);
    manager.Transpose(5, 6);
    CParticleSystem* systems[CParticleManager::kMaxSystems];
    for (auto& system : systems) {
        system = manager.SpawnPS(Desc(1, -1.0f), 0, 0);
        ASSERT_NE(system, nullptr);
    }
    EXPECT_EQ(manager.SpawnPS(Desc(1, -1.0f), 0, 0), nullptr);
    EXPECT_EQ(manager.GetCount(), 100);
    manager.KillPS(systems[0]);
    manager.KillPS(systems[0]);  // no longer there: nothing happens
    EXPECT_EQ(manager.GetCount(), 99);
    EXPECT_FALSE(manager.IsPSAlive(systems[0]));
    EXPECT_TRUE(manager.IsPSAlive(systems[99]));
    EXPECT_NE(manager.SpawnPS(Desc(1, -1.0f), 0, 0), nullptr);
    manager.KillAll();
    EXPECT_EQ(manager.GetCount(), 0);
    EXPECT_FALSE(manager.IsPSAlive(systems[99]));
}

}  // namespace
