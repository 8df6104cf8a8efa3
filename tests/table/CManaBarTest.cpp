// CManaBarTest.cpp: mana flows into the first gauge not full, carries its surplus, and fills visibly.
#include "PlayStateSupport.h"

#include "framework/CSprite.h"

using namespace tabletest;

namespace {
void Fill(CManaBar& bar, const std::vector<int>& amounts)
{
    for (int a : amounts)
        bar.AddMana(a);
}

std::vector<int> Mana(const CManaBar& bar)
{
    std::vector<int> m;
    for (int i = 0; i < CManaBar::kGauges; ++i)
        m.push_back(bar.GetMana(i));
    return m;
}

void RunSeconds(CManaBar& bar, float seconds)
{
    for (float t = 0; t < seconds; t += 0.05f)
        bar.Update(0.05f);
}
}  // namespace

TEST(CManaBar, ManaGoesToTheFirstGaugeNotFullAndCarriesItsSurplus)
{
    ScopedFakeEngine fake;
    struct Case { const char* name; std::vector<int> start; bool buttons[5]; int amount; std::vector<int> end; };
    const Case cases[] = {
        {"carry into the next gauge", {10, 4}, {false}, 9, {10, 10, 3, 0, 0}},
        {"an enabled button keeps the surplus", {10, 4}, {false, true}, 9, {10, 10, 0, 0, 0}},
        {"the surplus skips full gauges", {0, 0}, {false}, 25, {10, 10, 5, 0, 0}},
        {"a negative amount lowers only the first gauge not full", {10, 3}, {false}, -5, {10, 0, 0, 0, 0}},
        {"every gauge full takes nothing", {10, 10, 10, 10, 10}, {false}, 4, {10, 10, 10, 10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHost host;
        for (int i = 0; i < 5; ++i)
            host.buttons[i] = c.buttons[i];
        CManaBar bar(10, nullptr, &host);
        for (int g = 0; g < static_cast<int>(c.start.size()); ++g) {
            // Fill gauge g exactly without carrying: the gauges before it are already full.
            bar.AddMana(c.start[static_cast<std::size_t>(g)] == 0 ? 0 : c.start[static_cast<std::size_t>(g)]);
        }
        bar.AddMana(c.amount);
        EXPECT_EQ(Mana(bar), c.end);
    }
}

TEST(CManaBar, TheResultIsTheFirstGaugeThatLooksBelowFull)
{
    ScopedFakeEngine fake;
    ControllerHost host;
    CManaBar bar(10, nullptr, &host);
    EXPECT_EQ(bar.AddMana(25), 0);  // nothing has risen yet
    bar.SetFillDelay(0);
    RunSeconds(bar, 20);
    EXPECT_EQ(bar.GetLevel(0), 10.0f);
    EXPECT_EQ(bar.GetLevel(1), 10.0f);
    EXPECT_EQ(bar.AddMana(1), 2);
    Fill(bar, {100});
    bar.SetFillDelay(0);
    RunSeconds(bar, 40);
    EXPECT_EQ(bar.AddMana(1), -1);
}

TEST(CManaBar, NothingChangesForZeroAReplayOrSwitchedOffBonuses)
{
    ScopedFakeEngine fake;
    struct Case { const char* name; bool replaying, off; int amount; };
    const Case cases[] = {{"zero", false, false, 0}, {"replay", true, false, 5}, {"bonuses off", false, true, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControllerHost host;
        host.replaying = c.replaying;
        host.bonusesOff = c.off;
        CManaBar bar(10, nullptr, &host);
        EXPECT_EQ(bar.AddMana(c.amount), -1);
        EXPECT_EQ(Mana(bar), std::vector<int>(5, 0));
        EXPECT_EQ(bar.GetEarnedTotal(), 0);
        EXPECT_EQ(bar.GetFillDelay(), 0.0f);
    }
}

TEST(CManaBar, LevelsRiseAfterTheDelayOneGaugeAtATimeAndDrainFaster)
{
    ScopedFakeEngine fake;
    ControllerHost host;
    CManaBar bar(10, nullptr, &host);
    bar.AddMana(14);
    EXPECT_EQ(bar.GetFillDelay(), 10.0f);
    RunSeconds(bar, 1.0f);
    EXPECT_EQ(bar.GetLevel(0), 0.0f);  // the landing card shortens the delay; here it runs out
    bar.SetFillDelay(0);
    bar.Update(0.5f);
    EXPECT_FLOAT_EQ(bar.GetLevel(0), 2.0f);
    EXPECT_EQ(bar.GetLevel(1), 0.0f);  // only one gauge rises per frame
    RunSeconds(bar, 5.0f);
    EXPECT_EQ(bar.GetLevel(0), 10.0f);
    EXPECT_EQ(bar.GetLevel(1), 4.0f);
    EXPECT_TRUE(host.buttons[0]);
    EXPECT_EQ(bar.GetReadyCount(), 1);
    EXPECT_EQ(host.readyCalls, 1);

    bar.Clear(0);
    host.buttons[0] = false;
    bar.Update(0.25f);
    EXPECT_FLOAT_EQ(bar.GetLevel(0), 6.0f);
}

TEST(CManaBar, AFullGaugeBecomesReadyOnceUntilItsBonusIsUsed)
{
    ScopedFakeEngine fake;
    CManaBar bar(10, nullptr, nullptr);  // no controller: the bar keeps the buttons' state
    bar.AddMana(10);
    bar.SetFillDelay(0);
    RunSeconds(bar, 5);
    EXPECT_TRUE(bar.IsReady(0));
    EXPECT_EQ(bar.GetReadyCount(), 1);
    bar.Clear(0);
    RunSeconds(bar, 5);
    bar.AddMana(10);
    bar.SetFillDelay(0);
    RunSeconds(bar, 5);
    EXPECT_EQ(bar.GetReadyCount(), 2);
    bar.Clear(-1);
    EXPECT_EQ(bar.GetReadyCount(), 0);
}

TEST(CManaBar, EarnedManaRaisesTheUndoStepOncePerCall)
{
    ScopedFakeEngine fake;
    CManaBar bar(1000, nullptr, nullptr);
    bar.SetUndoLength(10);
    bar.AddMana(35);
    EXPECT_EQ(bar.GetEarnedStep(), 10);
    bar.AddMana(1);
    EXPECT_EQ(bar.GetEarnedStep(), 20);
    bar.AddMana(-30);
    EXPECT_EQ(bar.GetEarnedTotal(), 6);
    EXPECT_EQ(bar.GetEarnedStep(), 20);
}

TEST(CManaBar, ACopyCarriesTheValuesAnUndoNeeds)
{
    ScopedFakeEngine fake;
    CManaBar a(10, nullptr, nullptr), b(5, nullptr, nullptr);
    a.SetPositions(1, 2, 3, 4, 5, 6);
    a.AddMana(13);
    b.CopyFrom(&a);
    b.CopyFrom(nullptr);
    EXPECT_EQ(Mana(b), Mana(a));
    EXPECT_EQ(b.GetCapacity(), 10);
    int x = 0, y = 0;
    EXPECT_TRUE(b.GetGaugePos(4, x, y));
    EXPECT_EQ(x, 5);
    EXPECT_EQ(y, 6);
    EXPECT_FALSE(b.GetGaugePos(5, x, y));
    EXPECT_FALSE(b.GetGaugePos(-1, x, y));
}

TEST(CManaBar, APartlyFilledGaugeDrawsASweptSectorAndAnEmptyOneNothing)
{
    ScopedFakeEngine fake;
    const HTexture texture = fake->TextureCreate(16, 16);
    std::uint32_t* px = fake->TextureLock(texture, false);
    ASSERT_NE(px, nullptr);
    std::fill(px, px + 256, 0xFF808080u);
    fake->TextureUnlock(texture);
    CSprite image(texture, 0, 0, 16, 16);
    const std::size_t texturesBefore = fake->TextureCount();
    auto owned = std::make_unique<CManaBar>(8, &image, nullptr);
    CManaBar& bar = *owned;
    bar.SetPositions(100, 200, 300, 400, 500, 50);
    bar.Render();
    EXPECT_TRUE(fake->quads.empty());

    bar.AddMana(12);
    bar.SetFillDelay(0);
    for (int i = 0; i < 80; ++i)
        bar.Update(0.05f);
    ASSERT_EQ(bar.GetLevel(0), 8.0f);  // full: drawn as the image itself
    ASSERT_EQ(bar.GetLevel(1), 4.0f);
    EXPECT_TRUE(bar.HasPartSprite(1));
    const std::size_t before = fake->quads.size();
    bar.Render();
    EXPECT_EQ(fake->quads.size() - before, 2u);
    owned.reset();  // the sector textures it made go with it
    EXPECT_EQ(fake->TextureCount(), texturesBefore);
}
