// ProgressRulesTest.cpp: the progress rules on player record fixtures: slots and default choices
// on the story map, game starts, medals and ranks, trophies and the trophy room's counts. Tags,
// locations and selections out of range (as a damaged "save.dat" could hold) answer "none".
// test-labels: untrusted
#include "progress/ProgressRules.h"

#include "progress/CProfileStore.h"
#include "StoreTestRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using progress::StoryEntry;

PlayerRecord StartedPlayer()
{
    PlayerRecord r;
    r.m_bStoryLevelPlayed = 1;
    return r;
}

void SetLocation(PlayerRecord& r, int location, std::array<int, 5> story, int bonus, int hardcore)
{
    r.m_locationOpened[static_cast<std::size_t>(location)] = 1;
    for (int i = 0; i < 5; ++i)
        r.m_storyLevels[static_cast<std::size_t>(location * 5 + i)] = story[static_cast<std::size_t>(i)];
    r.m_bonusLevels[static_cast<std::size_t>(location)] = bonus;
    r.m_hardcoreLevels[static_cast<std::size_t>(location)] = hardcore;
}

void SetAll(PlayerRecord& r, int state)
{
    r.m_storyLevels.fill(state);
    r.m_bonusLevels.fill(state);
    r.m_hardcoreLevels.fill(state);
}

class StoreProgressTest : public StoreTestRoot {};

}  // namespace

TEST(ProgressRules, EntriesNumberTheirLevelsAndRejectEverythingOutOfRange)
{
    struct Case {
        StoryEntry entry;
        int number;
        int slot;
    };
    const Case cases[] = {
        {StoryEntry::Story(0), 0, 4},       {StoryEntry::Story(7), 7, 2},      {StoryEntry::Story(24), 24, 0},
        {StoryEntry::Bonus(0), 25, 5},      {StoryEntry::Bonus(4), 29, 5},     {StoryEntry::Hardcore(0), 30, 6},
        {StoryEntry::Hardcore(4), 34, 6},   {StoryEntry{}, -1, -1},            {StoryEntry::Story(25), -1, -1},
        {StoryEntry::Bonus(5), -1, -1},     {StoryEntry::Hardcore(-7), -1, -1}, {StoryEntry::Hardcore(9), -1, -1},
    };
    const std::vector<std::string> names = {"first", "second"};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.number) + " " + std::to_string(c.entry.story));
        EXPECT_EQ(c.entry.Number(), c.number);
        EXPECT_EQ(progress::SlotOfEntry(c.entry), c.slot);
        // A number that is -1 after a journey to a closed location reads an empty name.
        EXPECT_EQ(progress::EntryName(names, c.entry.Number()), c.number == 0 ? "first" : "");
    }
    for (int slot = 0; slot < 7; ++slot)
        EXPECT_EQ(progress::SlotOfEntry(progress::EntryOfTag(3, progress::SlotTag(slot))), slot) << slot;
    EXPECT_TRUE(progress::EntryOfTag(5, 0).IsNone());
    EXPECT_TRUE(progress::EntryOfTag(-1, 0).IsNone());
    EXPECT_TRUE(progress::EntryOfTag(0, 7).IsNone());
    EXPECT_EQ(progress::SlotTag(7), -1);
}

TEST(ProgressRules, SlotStatesFollowEveryLevelStateAndHideEverythingBeforeTheFirstPlay)
{
    PlayerRecord r;
    SetLocation(r, 1, {0, 1, 2, 3, 4}, 2, 3);
    r.m_storyLevels[0] = 1;
    // Before the first Play only the game's very first level shows its state.
    EXPECT_EQ(progress::GetSlotState(r, 0, 0), 1);
    for (int tag = 1; tag < 7; ++tag)
        EXPECT_EQ(progress::GetSlotState(r, 0, tag), 0) << tag;
    for (int tag = 0; tag < 7; ++tag)
        EXPECT_EQ(progress::GetSlotState(r, 1, tag), 0) << tag;

    r.m_bStoryLevelPlayed = 1;
    const int expected[7] = {0, 1, 2, 3, 4, 2, 3};
    for (int tag = 0; tag < 7; ++tag)
        EXPECT_EQ(progress::GetSlotState(r, 1, tag), expected[tag]) << tag;
    EXPECT_EQ(progress::GetSlotState(r, 5, 0), -1);
    EXPECT_EQ(progress::GetSlotState(r, 1, 7), -1);
    EXPECT_EQ(progress::GetSlotState(r, -1, 2), -1);

    const char* sections[] = {"closed", "opened", "bronze", "silver", "gold"};
    for (int state = 0; state < 5; ++state)
        EXPECT_STREQ(progress::LevelStateSection(state), sections[state]);
    EXPECT_STREQ(progress::LevelStateSection(-1), "closed");
}

TEST(ProgressRules, DefaultLevelIsTheLowestStoryLevelUnlessTheHardcoreOrBonusLevelIsLower)
{
    struct Case {
        const char* name;
        std::array<int, 5> story;
        int bonus;
        int hardcore;
        StoryEntry want;
    };
    const Case cases[] = {
        {"new location", {1, 1, 1, 1, 1}, 0, 0, StoryEntry::Story(10)},
        {"first of the lowest", {4, 2, 3, 2, 4}, 0, 0, StoryEntry::Story(11)},
        {"bonus lower", {3, 3, 4, 3, 3}, 1, 0, StoryEntry::Bonus(2)},
        {"hardcore wins over bonus", {4, 4, 4, 4, 4}, 2, 1, StoryEntry::Hardcore(2)},
        {"closed extras do not count", {2, 2, 2, 2, 2}, 0, 0, StoryEntry::Story(10)},
        {"equal is not lower", {3, 3, 3, 3, 3}, 3, 3, StoryEntry::Story(10)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlayerRecord r = StartedPlayer();
        SetLocation(r, 2, c.story, c.bonus, c.hardcore);
        EXPECT_EQ(progress::SelectDefaultLevel(r, 2), c.want);
    }
    PlayerRecord r = StartedPlayer();
    EXPECT_TRUE(progress::SelectDefaultLevel(r, 3).IsNone());  // not open: nothing is chosen
    EXPECT_TRUE(progress::SelectDefaultLevel(r, 5).IsNone());
    EXPECT_EQ(progress::SelectDefaultLevel(r, 0), StoryEntry::Story(0));
}

TEST(ProgressRules, OpeningALocationByCheatOpensOnlyClosedLevelsAndSelectsItsFirst)
{
    PlayerRecord r = StartedPlayer();
    r.m_storyLevels[16] = 4;
    r.m_bonusLevels[3] = 3;
    r.m_nSelectedBonus = 1;
    progress::OpenLocationCompletely(r, 3);
    EXPECT_EQ(r.m_locationOpened[3], 1);
    EXPECT_EQ(r.m_storyLevels[15], 1);
    EXPECT_EQ(r.m_storyLevels[16], 4);
    EXPECT_EQ(r.m_bonusLevels[3], 3);
    EXPECT_EQ(r.m_hardcoreLevels[3], 1);
    EXPECT_EQ(progress::GetSelection(r), StoryEntry::Story(15));
    progress::OpenLocationCompletely(r, 5);  // out of range: nothing
    EXPECT_EQ(progress::GetSelection(r), StoryEntry::Story(15));
}

TEST(ProgressRules, MapNamesAndPartPathsOfEverySlot)
{
    EXPECT_EQ(progress::MapEffect(-1, 0), "0-1");
    EXPECT_EQ(progress::MapEffect(-1, 4), "0-5");
    EXPECT_EQ(progress::MapEffect(2, 0), "3-1z");
    EXPECT_EQ(progress::MapEffect(0, 1), "1-2z");
    EXPECT_EQ(progress::LocationKey(0), std::string("bora-bora"));
    EXPECT_EQ(progress::LocationKey(4), std::string("monaco"));
    EXPECT_EQ(progress::LocationKey(5), nullptr);

    progress::SlotPaths p = progress::MapSlotPaths(0, 0, -1, 0);
    EXPECT_EQ(p.button, "bora-bora_b.#0.bora-bora.#2.enter_level.all");
    EXPECT_EQ(p.level, "bora-bora_b.#0.bora-bora.#2.enter_level.#0.level.all");
    p = progress::MapSlotPaths(4, 0, 2, 0);
    EXPECT_EQ(p.button, "3-1.#0.bora-bora_b.#0.bora-bora.#6.enter_level.all");
    p = progress::MapSlotPaths(5, 1, 1, 3);
    EXPECT_EQ(p.button, "2-4.#0.barbados_b.#0.barbados.#7.enter_bonus.all");
    EXPECT_EQ(p.level, "2-4.#0.barbados_b.#0.barbados.#7.enter_bonus.#0.bonus.all");
    p = progress::MapSlotPaths(6, 3, -1, 3);
    EXPECT_EQ(p.level, "dubai_b.#0.dubai.#8.enter_hardcore.#0.hardcore.all");
    EXPECT_TRUE(progress::MapSlotPaths(7, 0, -1, 0).button.empty());
    EXPECT_TRUE(progress::MapSlotPaths(0, -1, -1, 0).level.empty());
}

TEST(ProgressRules, HelmTurnsAsTheShipSails)
{
    const char* want[5][5] = {
        {"right", "right", "right", "right", "right"},
        {"left", "right", "right", "right", "right"},
        {"left", "left", "left", "left", "left"},
        {"left", "left", "right", "left", "left"},
        {"left", "left", "right", "right", "left"},
    };
    for (int from = 0; from < 5; ++from) {
        for (int to = 0; to < 5; ++to) {
            if (from != to) {
                EXPECT_STREQ(progress::HelmSection(from, to), want[from][to]) << from << "->" << to;
            }
        }
    }
}

TEST(ProgressRules, GameStartsOfEverySlotAndClassicEntry)
{
    struct Case {
        StoryEntry selection;
        bool ok;
        progress::GameStart want;
    };
    const Case story[] = {
        {StoryEntry::Story(0), true, {0, 0, -1}},      {StoryEntry::Story(24), true, {24, 0, -1}},
        {StoryEntry::Bonus(0), true, {0, 2, 1}},       {StoryEntry::Bonus(4), true, {4, 2, 5}},
        {StoryEntry::Hardcore(3), true, {3, 8, 3}},    {StoryEntry{}, false, {}},
        {StoryEntry::Story(25), false, {}},            {StoryEntry::Bonus(5), false, {}},
        {StoryEntry::Hardcore(-2), false, {}},
    };
    for (const Case& c : story) {
        SCOPED_TRACE(c.selection.story * 100 + c.selection.bonus * 10 + c.selection.hardcore);
        progress::GameStart start;
        ASSERT_EQ(progress::StoryGameStart(c.selection, start), c.ok);
        if (!c.ok)
            continue;
        EXPECT_EQ(start.level, c.want.level);
        EXPECT_EQ(start.mode, c.want.mode);
        EXPECT_EQ(start.extra, c.want.extra);
    }

    struct ClassicCase {
        int tag;
        int location;
        int number;
        progress::GameStart want;
    };
    const ClassicCase classic[] = {
        {0, 2, 0, {0, 1, 2}},   {24, 4, 24, {24, 1, 4}}, {25, 1, 30, {0, 9, 1}},
        {29, 0, 34, {4, 9, 0}}, {3, 9, 3, {3, 1, 0}},    {27, -3, 32, {2, 9, 0}},
    };
    for (const ClassicCase& c : classic) {
        SCOPED_TRACE(c.tag);
        EXPECT_EQ(progress::ClassicEntryNumber(c.tag), c.number);
        progress::GameStart start;
        ASSERT_TRUE(progress::ClassicGameStart(c.tag, c.location, start));
        EXPECT_EQ(start.level, c.want.level);
        EXPECT_EQ(start.mode, c.want.mode);
        EXPECT_EQ(start.extra, c.want.extra);
    }
    progress::GameStart start;
    EXPECT_FALSE(progress::ClassicGameStart(30, 0, start));
    EXPECT_FALSE(progress::ClassicGameStart(-1, 0, start));
    EXPECT_EQ(progress::ClassicEntryNumber(30), -1);
}

TEST(ProgressRules, MedalsFromHintsAreStoredOnlyWhenHigherAndCountTheRunOfGolds)
{
    const int hints[] = {-1, 0, 1, 3, 4, 20};
    const int medals[] = {4, 4, 3, 3, 2, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(progress::MedalFromHints(hints[i]), medals[i]) << hints[i];

    PlayerRecord r = StartedPlayer();
    progress::AwardLevelMedal(r, 3, false, 3);
    EXPECT_EQ(r.m_storyLevels[3], 3);
    EXPECT_EQ(r.m_nConsecutiveGolds, 0);
    progress::AwardLevelMedal(r, 3, false, 2);  // lower: kept silver
    EXPECT_EQ(r.m_storyLevels[3], 3);
    progress::AwardLevelMedal(r, 3, false, 4);
    progress::AwardLevelMedal(r, 2, true, 4);
    EXPECT_EQ(r.m_storyLevels[3], 4);
    EXPECT_EQ(r.m_hardcoreLevels[2], 4);
    EXPECT_EQ(r.m_nConsecutiveGolds, 2);
    progress::AwardLevelMedal(r, 3, false, 4);  // gold again on a gold level still counts
    EXPECT_EQ(r.m_nConsecutiveGolds, 3);
    progress::AwardLevelMedal(r, 40, false, 3);  // out of range: stored nowhere, the run ends
    EXPECT_EQ(r.m_nConsecutiveGolds, 0);
    EXPECT_TRUE(progress::StoreMedal(r, StoryEntry::Bonus(1), 2));
    EXPECT_FALSE(progress::StoreMedal(r, StoryEntry::Bonus(1), 2));
    EXPECT_FALSE(progress::StoreMedal(r, StoryEntry::Bonus(1), 7));
    EXPECT_EQ(progress::GetEntryState(r, StoryEntry::Bonus(1)), 2);
}

TEST(ProgressRules, RankStepsAtEveryThreshold)
{
    struct Case {
        int points;
        int rankBefore;
        int rank;
        int progress;
        int targetFrame;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0},       {3, 0, 0, 75, 75},      {4, 0, 1, 0, 101},     {8, 1, 1, 80, 80},
        {9, 0, 2, 0, 101},     {10, 1, 2, 0, 101},     {10, 2, 2, 14, 14},    {16, 2, 3, 0, 101},
        {25, 3, 4, 0, 101},    {34, 4, 5, 0, 101},     {43, 5, 6, 0, 101},    {52, 6, 7, 0, 101},
        {61, 7, 8, 0, 101},    {70, 8, 9, 0, 101},     {79, 9, 10, 0, 101},   {90, 10, 11, 0, 101},
        {104, 11, 11, 93, 94}, {105, 11, 12, 0, 101},  {105, 12, 12, 100, 101}, {2, 12, 12, 50, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.points) + " points at rank " + std::to_string(c.rankBefore));
        const progress::RankStep step = progress::ComputeRankStep(c.points, c.rankBefore);
        EXPECT_EQ(step.rank, c.rank);
        EXPECT_EQ(step.progress, c.progress);
        EXPECT_EQ(step.targetFrame, c.targetFrame);
        EXPECT_EQ(step.previousRank, c.rankBefore);
    }
    EXPECT_EQ(progress::RankThresholds.back(), -1);
}

TEST(ProgressRules, RankStepOnARecordRaisesNeverLowersAndMarksTheTopOnce)
{
    PlayerRecord r = StartedPlayer();
    r.m_storyLevels[0] = r.m_storyLevels[1] = r.m_storyLevels[2] = 2;
    EXPECT_EQ(progress::MedalPoints(r), 3);
    progress::RankStep step = progress::ApplyRankStep(r);
    EXPECT_EQ(r.m_nRank, 0);
    EXPECT_EQ(r.m_nRankProgress, 75);
    EXPECT_TRUE(step.moveBar);

    // Bronze to gold from 8 points reaches 10: rank 1 becomes 2 with progress 0.
    SetAll(r, 0);
    r.m_storyLevels[0] = r.m_storyLevels[1] = r.m_storyLevels[2] = 3;  // 6
    r.m_storyLevels[3] = r.m_storyLevels[4] = 2;                      // 8
    r.m_nRank = 1;
    r.m_storyLevels[4] = 4;
    step = progress::ApplyRankStep(r);
    EXPECT_EQ(progress::MedalPoints(r), 10);
    EXPECT_EQ(r.m_nRank, 2);
    EXPECT_EQ(r.m_nRankProgress, 0);
    EXPECT_EQ(step.previousRank, 1);

    SetAll(r, 4);
    EXPECT_EQ(progress::MedalPoints(r), 105);
    step = progress::ApplyRankStep(r);
    EXPECT_EQ(r.m_nRank, 12);
    EXPECT_FALSE(step.topRankNow);  // the step that raises to 12 does not find it at 12 yet
    step = progress::ApplyRankStep(r);
    EXPECT_TRUE(step.topRankNow);
    EXPECT_FALSE(step.moveBar);
    EXPECT_EQ(r.m_bTopRankReached, 1);
    EXPECT_FALSE(progress::ApplyRankStep(r).topRankNow);

    PlayerRecord master = StartedPlayer();
    master.m_bMasterMode = 1;
    master.m_storyLevels.fill(3);
    step = progress::ApplyRankStep(master);
    EXPECT_FALSE(step.moveBar);
    EXPECT_EQ(master.m_nRank, 6);  // 50 points: the rank still rises

    PlayerRecord bar;
    bar.m_nRankProgress = 50;
    EXPECT_EQ(progress::RankBarFrame(bar, 101), 50);
    EXPECT_EQ(progress::RankBarFrame(bar, 11), 5);
    bar.m_bTopRankReached = 1;
    EXPECT_EQ(progress::RankBarFrame(bar, 101), 100);
    EXPECT_EQ(progress::RankBarFrame(bar, 0), 0);
}

TEST(ProgressRules, EveryTrophyConditionTrueAndFalse)
{
    struct Case {
        const char* name;
        int trophy;
        void (*make)(PlayerRecord&);
        bool holds;
    };
    const Case cases[] = {
        {"50000 points", 0, [](PlayerRecord& r) { r.m_nStoryScore = 50000; }, true},
        {"49999 points", 0, [](PlayerRecord& r) { r.m_nStoryScore = 49999; }, false},
        {"max combo 4", 1, [](PlayerRecord& r) { r.m_nLastMaxCombo = 4; }, true},
        {"max combo 3", 1, [](PlayerRecord& r) { r.m_nLastMaxCombo = 3; }, false},
        {"20000 points", 2, [](PlayerRecord& r) { r.m_nStoryScore = 20000; }, true},
        {"49999 points", 2, [](PlayerRecord& r) { r.m_nStoryScore = 49999; }, true},
        {"19999 points", 2, [](PlayerRecord& r) { r.m_nStoryScore = 19999; }, false},
        {"51000 points", 2, [](PlayerRecord& r) { r.m_nStoryScore = 51000; }, false},
        {"six bonuses", 3, [](PlayerRecord& r) { r.m_nBonusesUsed = 6; }, true},
        {"five bonuses", 3, [](PlayerRecord& r) { r.m_nBonusesUsed = 5; }, false},
        {"three golds", 4, [](PlayerRecord& r) { r.m_nConsecutiveGolds = 3; }, true},
        {"four golds", 4, [](PlayerRecord& r) { r.m_nConsecutiveGolds = 4; }, false},
        {"four golds", 5, [](PlayerRecord& r) { r.m_nConsecutiveGolds = 4; }, false},
        {"five golds", 5, [](PlayerRecord& r) { r.m_nConsecutiveGolds = 5; }, true},
        {"story gold", 6, [](PlayerRecord& r) { r.m_storyLevels.fill(4); }, true},
        {"story gold but one", 6, [](PlayerRecord& r) { r.m_storyLevels.fill(4); r.m_storyLevels[24] = 3; }, false},
        {"golden card", 7, [](PlayerRecord& r) { r.m_bGoldenCard = 1; }, true},
        {"no golden card", 7, [](PlayerRecord& r) { r.m_bGoldenCard = 0; }, false},
        {"extras gold", 8, [](PlayerRecord& r) { r.m_bonusLevels.fill(4); r.m_hardcoreLevels.fill(4); }, true},
        {"bonus only", 8, [](PlayerRecord& r) { r.m_bonusLevels.fill(4); }, false},
        {"everything gold", 9, [](PlayerRecord& r) { SetAll(r, 4); }, true},
        {"one hardcore silver", 9, [](PlayerRecord& r) { SetAll(r, 4); r.m_hardcoreLevels[4] = 3; }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " trophy " + std::to_string(c.trophy + 1));
        PlayerRecord r = StartedPlayer();
        c.make(r);
        EXPECT_EQ(progress::TrophyConditionHolds(r, c.trophy), c.holds);
        EXPECT_EQ(progress::IsTrophyDue(r, c.trophy), c.holds);
        r.m_trophyShown[static_cast<std::size_t>(c.trophy)] = 1;  // presented once: never due again
        EXPECT_FALSE(progress::IsTrophyDue(r, c.trophy));
        r.m_trophyShown[static_cast<std::size_t>(c.trophy)] = 0;
        r.m_trophyEarned[static_cast<std::size_t>(c.trophy)] = 1;
        EXPECT_FALSE(progress::IsTrophyDue(r, c.trophy));
    }
    PlayerRecord r = StartedPlayer();
    EXPECT_FALSE(progress::TrophyConditionHolds(r, 10));
    EXPECT_FALSE(progress::IsTrophyDue(r, -1));
}

TEST(ProgressRules, DueTrophiesComeInOrderAndTheAwardPassEarnsAllThatHold)
{
    // 20000 points and a third gold in a row: trophies 3 and 5, in that order.
    PlayerRecord r = StartedPlayer();
    r.m_nStoryScore = 21000;
    r.m_nConsecutiveGolds = 3;
    EXPECT_EQ(progress::FirstDueTrophy(r), 2);
    r.m_trophyShown[2] = 1;
    EXPECT_EQ(progress::FirstDueTrophy(r), 4);
    r.m_trophyShown[4] = 1;
    EXPECT_EQ(progress::FirstDueTrophy(r), -1);

    // The award pass does not look at the shown bytes and leaves them as they are.
    r.m_bGoldenCard = 1;
    EXPECT_EQ(progress::AwardTrophies(r), 7);
    EXPECT_EQ(r.m_trophyEarned, (std::array<std::uint8_t, 10>{0, 0, 1, 0, 1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(r.m_trophyShown, (std::array<std::uint8_t, 10>{0, 0, 1, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(progress::AwardTrophies(r), -1);  // nothing new

    // From below 20000 straight to 51000: trophy 1 holds, trophy 3 does not.
    PlayerRecord jump = StartedPlayer();
    jump.m_nStoryScore = 51000;
    EXPECT_EQ(progress::FirstDueTrophy(jump), 0);
    EXPECT_EQ(progress::AwardTrophies(jump), 0);
    EXPECT_EQ(jump.m_trophyEarned[2], 0);
}

TEST(ProgressRules, MedalCountsAndCompletion)
{
    struct Case {
        const char* name;
        void (*make)(PlayerRecord&);
        int gold, silver, bronze, percent;
    };
    const Case cases[] = {
        {"nothing", [](PlayerRecord&) {}, 0, 0, 0, 0},
        {"all gold", [](PlayerRecord& r) { SetAll(r, 4); }, 35, 0, 0, 100},
        {"34 golds and a silver", [](PlayerRecord& r) { SetAll(r, 4); r.m_bonusLevels[2] = 3; }, 34, 1, 0, 99},
        {"all bronze", [](PlayerRecord& r) { SetAll(r, 2); }, 0, 0, 35, 33},
        {"one of each", [](PlayerRecord& r) {
             r.m_storyLevels[0] = 4; r.m_hardcoreLevels[0] = 3; r.m_bonusLevels[0] = 2; }, 1, 1, 1, 5},
        {"open levels count nothing", [](PlayerRecord& r) { SetAll(r, 1); }, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PlayerRecord r;
        c.make(r);
        const progress::MedalCounts counts = progress::CountMedals(r);
        EXPECT_EQ(counts.gold, c.gold);
        EXPECT_EQ(counts.silver, c.silver);
        EXPECT_EQ(counts.bronze, c.bronze);
        EXPECT_EQ(progress::CompletionPercent(counts), c.percent);
    }
}

// The store's unlocking walked through all five locations, with the map's choices on the way.
TEST_F(StoreProgressTest, UnlockingAcrossEveryLocation)
{
    CProfileStore store;
    PlayerRecord& r = store.m_current;
    r.m_bStoryLevelPlayed = 1;
    const int needed[4] = {3, 4, 5, 5};
    for (int location = 0; location < 4; ++location) {
        SCOPED_TRACE(location);
        for (int i = 0; i < needed[location] - 1; ++i)
            r.m_storyLevels[static_cast<std::size_t>(location * 5 + i)] = 2;
        EXPECT_EQ(store.UpdateUnlocks(), -1);
        EXPECT_EQ(progress::GetSlotState(r, location + 1, 0), 0);
        r.m_storyLevels[static_cast<std::size_t>(location * 5 + needed[location] - 1)] = 2;
        EXPECT_EQ(store.UpdateUnlocks(), location + 1);
        // The walk runs downwards, so the selection stands after the lowest location that qualifies.
        EXPECT_EQ(progress::GetSelection(r), StoryEntry::Story(5));
        EXPECT_EQ(progress::GetSlotState(r, location + 1, 0), 1);
        const StoryEntry arrival = progress::SelectDefaultLevel(r, location + 1);
        EXPECT_EQ(arrival, StoryEntry::Story((location + 1) * 5));
        progress::GameStart start;
        ASSERT_TRUE(progress::StoryGameStart(arrival, start));
        EXPECT_EQ(start.level, (location + 1) * 5);
    }
    EXPECT_EQ(r.m_locationOpened, (std::array<std::uint8_t, 5>{1, 1, 1, 1, 1}));
}
