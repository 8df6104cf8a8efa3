// test-labels: untrusted
#include "framework/CParticleDesc.h"

#include "framework/CParticleSystem.h"

#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

void PutF32(std::vector<std::uint8_t>& out, std::size_t at, float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Runs a description through a system: NaN, infinite and huge values must stay harmless.
void RunDescription(const CParticleDesc& desc)
{
    CParticleSystem system(desc, 50.0f);
    system.FireAt(10, 10);
    for (int i = 0; i < 5; ++i) {
        system.Update(0.02f);
        system.MoveTo(20.0f + i, 10, i % 2 == 0);
    }
    EXPECT_LE(system.GetParticlesAlive(), CParticleSystem::kMaxParticles);
    EXPECT_GE(system.GetParticlesAlive(), 0);
}

TEST(CParticleDesc, FieldsAreReadAtTheirOffsetsAndFirstWordIgnored)
{
    std::vector<std::uint8_t> bytes(128, 0);
    bytes[0] = bytes[1] = bytes[2] = bytes[3] = 0xAB;
    bytes[4] = 0x10;
    bytes[5] = 0x01;  // emission 272
    bytes[28] = 7;    // relative
    const std::size_t floatOffsets[] = {8, 12, 16, 20, 24, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72,
                                        76, 80, 84, 88, 92, 96, 100, 104, 108, 112, 116, 120, 124};
    for (std::size_t i = 0; i < std::size(floatOffsets); ++i)
        PutF32(bytes, floatOffsets[i], static_cast<float>(floatOffsets[i]));
    CParticleDesc d;
    ASSERT_TRUE(CParticleDesc::Parse(bytes.data(), bytes.size(), d));
    EXPECT_EQ(d.sprite, nullptr);
    EXPECT_EQ(d.emission, 272);
    EXPECT_TRUE(d.relative);
    const float read[] = {d.lifetime, d.particleLifeMin, d.particleLifeMax, d.direction, d.spread,
                          d.speedMin, d.speedMax, d.gravityMin, d.gravityMax, d.radialAccelMin,
                          d.radialAccelMax, d.tangentialAccelMin, d.tangentialAccelMax, d.sizeStart,
                          d.sizeEnd, d.sizeVar, d.spinStart, d.spinEnd, d.spinVar, d.colorStart.r,
                          d.colorStart.g, d.colorStart.b, d.colorStart.a, d.colorEnd.r, d.colorEnd.g,
                          d.colorEnd.b, d.colorEnd.a, d.colorVar, d.alphaVar};
    for (std::size_t i = 0; i < std::size(floatOffsets); ++i) {
        SCOPED_TRACE("offset " + std::to_string(floatOffsets[i]));
        EXPECT_FLOAT_EQ(read[i], static_cast<float>(floatOffsets[i]));
    }
}

TEST(CParticleDesc, ShortFilesAreRejectedAndLogged)
{
    ScopedFakeEngine fake;
    for (std::size_t size : {0u, 1u, 64u, 127u}) {
        SCOPED_TRACE("size " + std::to_string(size));
        std::vector<std::uint8_t> bytes(size, 0x5A);
        CParticleDesc d;
        d.emission = 3;
        EXPECT_FALSE(CParticleDesc::Parse(bytes.data(), bytes.size(), d));
        EXPECT_EQ(d.emission, 3);  // untouched
    }
    fake->AddResource("gfx/particles/cut.psi", std::string(100, '\0'));
    CParticleDesc d;
    EXPECT_FALSE(CParticleDesc::LoadFile("gfx/particles/cut.psi", d));
    EXPECT_TRUE(fake->HasLogLine("[E] Particles: File gfx/particles/cut.psi is too short"));
    EXPECT_FALSE(CParticleDesc::LoadFile("gfx/particles/none.psi", d));
    EXPECT_TRUE(fake->HasLogLine("[E] Particles: Can't load data from file gfx/particles/none.psi"));
    fake->AddResource("gfx/particles/long.psi", std::string(200, '\0'));
    EXPECT_TRUE(CParticleDesc::LoadFile("gfx/particles/long.psi", d));
}

TEST(CParticleDesc, RandomDescriptionsRunWithoutCrashing)
{
    ScopedFakeEngine fake;
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::uint8_t> bytes(128);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(random());
        CParticleDesc d;
        ASSERT_TRUE(CParticleDesc::Parse(bytes.data(), bytes.size(), d));
        RunDescription(d);
    }
}

}  // namespace
