// The test engine that other tests lean on: its INI, texture and random rules must hold.
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

TEST(FakeEngine, IniNamesMatchWithoutCaseAndTheCurrentFileDecides)
{
    ScopedFakeEngine fake;
    IEngine* engine = engine2dCreate(kEngineVersion);
    ASSERT_EQ(engine, &fake.Get());
    engine->SetState(EState::IniFile, "Logic.ini");
    engine->IniSetInt("Interface", "Delay", 12);
    EXPECT_EQ(engine->IniGetInt("INTERFACE", "delay", -1), 12);
    EXPECT_EQ(engine->IniGetString("interface", "DELAY", "x"), "12");
    EXPECT_EQ(engine->IniGetInt("Interface", "missing", -1), -1);
    EXPECT_FLOAT_EQ(engine->IniGetFloat("Interface", "missing", 1.5f), 1.5f);
    engine->SetState(EState::IniFile, "LOGIC.INI");
    EXPECT_EQ(engine->IniGetInt("Interface", "Delay", -1), 12);
    engine->SetState(EState::IniFile, "other.ini");
    EXPECT_EQ(engine->IniGetInt("Interface", "Delay", -1), -1);
    fake->SetIni("other.ini", "s", "n", "42abc");
    EXPECT_EQ(engine->IniGetInt("S", "N", -1), 42);
}

TEST(FakeEngine, LockGivesThePixelAtTheCornerWithRowsOneTextureWidthApart)
{
    FakeEngine fake;
    const HTexture texture = fake.TextureCreate(8, 4);
    fake.SetPixel(texture, 3, 2, 0x11223344u);
    std::uint32_t* p = fake.TextureLock(texture, false, 2, 1, 3, 2);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[8 + 1], 0x11223344u);
    fake.TextureUnlock(texture);
    EXPECT_EQ(fake.FindTexture(texture)->lockCount, 0);

    struct Case {
        int x, y, w, h;
        bool ok;
    };
    const Case cases[] = {{0, 0, 0, 0, true}, {0, 0, 8, 4, true}, {7, 3, 1, 1, true}, {7, 3, 2, 1, false},
                          {-1, 0, 2, 2, false}, {0, 0, 0, 1, false}, {0, 4, 1, 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y) + " " + std::to_string(c.w) + "x" +
                     std::to_string(c.h));
        std::uint32_t* locked = fake.TextureLock(texture, true, c.x, c.y, c.w, c.h);
        EXPECT_EQ(locked != nullptr, c.ok);
        if (locked != nullptr)
            fake.TextureUnlock(texture);
    }
    EXPECT_EQ(fake.TextureLock(texture + 100), nullptr);
}

TEST(FakeEngine, RandomNumbersRepeatForTheSameSeedAndStayInBounds)
{
    FakeEngine a, b;
    a.RandomSeed(7);
    b.RandomSeed(7);
    for (int i = 0; i < 200; ++i) {
        const int n = a.RandomInt(-3, 3);
        EXPECT_EQ(n, b.RandomInt(-3, 3));
        EXPECT_GE(n, -3);
        EXPECT_LE(n, 3);
        const float f = a.RandomFloat(1.0f, 2.0f);
        EXPECT_EQ(f, b.RandomFloat(1.0f, 2.0f));
        EXPECT_GE(f, 1.0f);
        EXPECT_LT(f, 2.0f);
    }
}

TEST(FakeEngine, LogKeepsFormattedLinesAndLoadsFindRegisteredPathsInAnyCase)
{
    FakeEngine fake;
    fake.Log("[E] module %s not found", "cards");
    EXPECT_TRUE(fake.HasLogLine("[E] module cards not found"));
    fake.AddTextureFile("DATA\\gfx\\Cards.png", 64, 32);
    const HTexture texture = fake.TextureLoad("data/GFX/cards.PNG");
    EXPECT_EQ(fake.TextureGetWidth(texture), 64);
    EXPECT_EQ(fake.TextureGetHeight(texture), 32);
    EXPECT_EQ(fake.TextureLoad("data/gfx/other.png"), 0u);
    fake.AddResource("effects\\effects.as", "void LoadAnimations");
    std::vector<std::uint8_t> bytes;
    EXPECT_TRUE(fake.ResourceLoad("Effects/Effects.as", bytes));
    EXPECT_EQ(bytes.size(), 19u);
}
