// CScoreKeeperTest.cpp: combos, base points, landing codes and the rolling score.
#include "PlayStateSupport.h"

#include "framework/StringUtils.h"

using namespace tabletest;

namespace {
void SetCombos(CCardTable& table, std::vector<PlaceRequirement> combos)
{
    EditValues(table, [&](TableValues& v) { v.level.vCombos = combos; });
}

// Places 0, 1 columns (type 3), 2 the pop place (type 2), 3 and 4 houses (types 0 and 6).
struct KeeperTable {
    explicit KeeperTable(FakeEngine& engine, unsigned mode = kModeStory) : table(kBare, mode, &host)
    {
        WriteBare(engine, 5);
        EXPECT_TRUE(table.LoadLevel());
        table.GetPlace(2)->SetType(kPlacePop);
        table.GetPlace(3)->SetType(kPlaceHouse);
        table.GetPlace(4)->SetType(kPlaceSecondHouse);
        EditValues(table, [](TableValues& v) {
            v.gauges.m_nBarResultTurn = 3;
            v.scores.m_nScorePlaceToHouse = 10;
            v.scores.m_nScorePopdeckToPlace = 4;
            v.scores.m_nScorePopdeckToHouse = 7;
            v.scores.m_nScoreCombo1 = 20;
            v.scores.m_nScoreCombo2 = 30;
            v.scores.m_nScoreCombo3 = 40;
            v.gauges.m_nBarCombo1 = 2;
            v.gauges.m_nBarCombo2 = 5;
            v.gauges.m_nBarCombo3 = 9;
        });
        keeper = table.GetScoreKeeper();
    }
    CCard* NewCard() { return deck.AddCard(static_cast<int>(deck.Size()) % 13, 0); }
    LandingScore Move(int from, int to, CCard* card = nullptr)
    {
        return keeper->ScoreMove(table.GetPlace(from), table.GetPlace(to), card != nullptr ? card : NewCard());
    }
    ControllerHost host;
    CDeck deck;
    CCardTable table;
    CScoreKeeper* keeper = nullptr;
};
}  // namespace

TEST(CScoreKeeper, BasePointsFollowTheKindOfMove)
{
    ScopedFakeEngine fake;
    struct Case { int from, to, points; };
    const Case cases[] = {
        {2, 0, 4},    // pop place to a column
        {2, 3, 7},    // pop place to a house
        {0, 4, 10},   // column to a house
        {3, 1, -10},  // a card taken back out of a house
        {3, 4, 0},    // house to house changes nothing
        {0, 1, 0},    // column to column
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        KeeperTable t(fake.Get());
        const int before = t.keeper->GetScore();
        t.Move(c.from, c.to);
        EXPECT_EQ(t.keeper->GetScore() - before, c.points);
        EXPECT_EQ(t.keeper->GetLevelPoints(), c.points);
    }
}

TEST(CScoreKeeper, TheLandingScoreNamesGaugeManaAndComboTier)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    SetCombos(t.table, {PlaceRequirement{5, 1, 0, 0}});
    CManaBar bar(100, nullptr, &t.host);
    t.host.bar = &bar;

    // The first move has no previous move: no combo, mana 3, gauge 0.
    const LandingScore first = t.Move(0, 3);
    EXPECT_EQ(first.gauge, 0);
    EXPECT_EQ(first.points, 3);
    EXPECT_EQ(first.comboTier, LandingScore::kNoCombo);
    EXPECT_TRUE(t.host.comboMessages.empty());
    // Column to house twice in a row: kind 5 matches, tier 1 pays 30 points and 5 mana.
    const int before = t.keeper->GetScore();
    const LandingScore second = t.Move(1, 4);
    EXPECT_EQ(second.gauge, 0);
    EXPECT_EQ(second.points, 30 + 3);
    EXPECT_EQ(second.comboTier, 1);
    EXPECT_EQ(t.keeper->GetScore() - before, 30 + 10);
    EXPECT_EQ(t.keeper->Combos().m_nComboRun, 1);
    EXPECT_EQ(t.keeper->Combos().m_nCombos, 1);
    ASSERT_EQ(t.host.comboMessages.size(), 1u);
    EXPECT_EQ(t.host.comboMessages[0], std::make_pair(1, 1));
    EXPECT_EQ(bar.GetMana(0), 3 + 5 + 3);
}

TEST(CScoreKeeper, ACardThatMovedBeforeEarnsNoManaButStillItsPoints)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    CCard* card = t.NewCard();
    EXPECT_NE(t.Move(0, 1, card), LandingScore{});
    const int before = t.keeper->GetScore();
    EXPECT_EQ(t.Move(1, 3, card), LandingScore{});
    EXPECT_EQ(t.keeper->GetScore() - before, 10);
    EXPECT_EQ(t.host.manaAdded, std::vector<int>({3}));
}

TEST(CScoreKeeper, AMarkedBonusCardAddsTwentyFiveManaOnce)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    CCard* card = t.NewCard();
    card->CardState = kCardBonus;
    t.Move(0, 1, card);
    EXPECT_EQ(card->CardState, kCardBonusScored);
    EXPECT_EQ(t.host.manaAdded, std::vector<int>({28}));
}

TEST(CScoreKeeper, CombosMatchTheirPatternsAndChainsEndOnAMiss)
{
    ScopedFakeEngine fake;
    struct Case { int kind; int a[2]; int b[2]; bool matches; int category; };
    const Case cases[] = {
        {0, {0, 1}, {0, 1}, true, 0},  {0, {0, 1}, {1, 0}, false, 0},
        {1, {1, 0}, {0, 0}, true, 0},  {2, {0, 3}, {0, 3}, true, 1},
        {3, {0, 4}, {0, 3}, true, 1},  {3, {1, 4}, {0, 3}, false, 1},
        {4, {1, 3}, {0, 3}, true, 1},  {5, {1, 4}, {0, 3}, true, 1},
        {6, {1, 3}, {0, 3}, true, 1},  {6, {1, 4}, {0, 3}, false, 1},
        {7, {1, 4}, {0, 4}, true, 1},  {8, {2, 3}, {2, 4}, true, 2},
        {9, {2, 0}, {2, 0}, true, 3},  {9, {2, 0}, {2, 1}, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("kind " + std::to_string(c.kind) + " A " + std::to_string(c.a[0]) + "->" + std::to_string(c.a[1]) +
                     " B " + std::to_string(c.b[0]) + "->" + std::to_string(c.b[1]));
        KeeperTable t(fake.Get());
        SetCombos(t.table, {PlaceRequirement{c.kind, 0, 0, 0}});
        t.keeper->RestoreCombos({0, 4, 0});
        t.Move(c.a[0], c.a[1]);  // the first move ends the old chain: nothing to compare with
        EXPECT_EQ(t.keeper->Combos().m_nComboRun, 0);
        EXPECT_EQ(t.keeper->Combos().m_nComboBest, 4);
        t.Move(c.b[0], c.b[1]);
        EXPECT_EQ(t.keeper->Combos().m_nComboRun, c.matches ? 1 : 0);
        if (c.matches) {
            ASSERT_EQ(t.host.comboMessages.size(), 1u);
            EXPECT_EQ(t.host.comboMessages[0].first, c.category);
        }
    }
}

TEST(CScoreKeeper, AComboOfAnUnknownTierMatchesButPaysNothing)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    SetCombos(t.table, {PlaceRequirement{1, 3, 0, 0}});
    t.Move(0, 1);
    const int before = t.keeper->GetScore();
    const LandingScore landing = t.Move(0, 1);
    EXPECT_EQ(t.keeper->GetScore(), before);
    EXPECT_EQ(t.keeper->Combos().m_nComboRun, 1);
    EXPECT_EQ(t.keeper->Combos().m_nCombos, 0);
    EXPECT_EQ(landing.comboTier, 3);
    EXPECT_EQ(landing.points, 3);  // only the move's mana
}

TEST(CScoreKeeper, WhileReplayingNothingIsScoredOrRecorded)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    t.host.replaying = true;
    t.Move(0, 3);
    t.keeper->AddScore(100, nullptr);
    EXPECT_EQ(t.keeper->GetScore(), 0);
    EXPECT_EQ(t.host.RecordedMoves(), 0);
}

TEST(CScoreKeeper, MovesAreRecordedWithTheCardsIndexInItsSource)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    CPlace* src = t.table.GetPlace(0);
    CCard* a = Lay(t.deck, src, 1, 0);
    Lay(t.deck, src, 2, 0);
    t.keeper->ScoreMove(src, t.table.GetPlace(1), a);
    src->pile.erase(src->pile.begin());
    t.keeper->ScoreMove(src, t.table.GetPlace(1), a);  // already gone: the source's count
    ASSERT_EQ(t.host.moves.size(), 2u);
    EXPECT_EQ(t.host.moves[0], std::vector<int>({0, 1, 0, 0, 0}));
    EXPECT_EQ(t.host.moves[1], std::vector<int>({0, 1, 1, 0, 0}));
}

TEST(CScoreKeeper, ACardPaysItsOwnPointsOnce)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    CCard* card = t.NewCard();
    t.keeper->AddScore(15, card);
    t.keeper->AddScore(15, card);
    EXPECT_EQ(t.keeper->GetScore(), 15);
}

TEST(CScoreKeeper, TheShownScoreRollsToTheScoreInAtMostTwentyFiveTicks)
{
    ScopedFakeEngine fake;
    struct Case { int change; int step; int ticks; };
    const Case cases[] = {{7, 1, 7}, {1000, 40, 25}, {-1000, 40, 25}, {60, 2, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE("change " + std::to_string(c.change));
        KeeperTable t(fake.Get());
        t.keeper->SetScore(0, false);
        t.keeper->SetScore(c.change, true);
        EXPECT_EQ(t.keeper->GetStep(), c.step);
        int ticks = 0;
        for (int frame = 0; frame < 1000 && t.keeper->GetShown() != c.change; ++frame) {
            const int before = t.keeper->GetShown();
            t.keeper->Update(0.021f);
            ticks += t.keeper->GetShown() != before ? 1 : 0;
        }
        EXPECT_EQ(t.keeper->GetShown(), c.change);
        EXPECT_EQ(ticks, c.ticks);
    }
}

TEST(CScoreKeeper, TheRollWaitsForItsDelay)
{
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    t.keeper->SetScore(50, true);
    t.keeper->SetDelay(0.5f);
    for (int i = 0; i < 20; ++i)
        t.keeper->Update(0.021f);
    EXPECT_EQ(t.keeper->GetShown(), 0);
    for (int i = 0; i < 200; ++i)
        t.keeper->Update(0.021f);
    EXPECT_EQ(t.keeper->GetShown(), 50);
}

TEST(CScoreKeeper, TheScoreIsTheRunningTotalOfTheGameMode)
{
    ScopedFakeEngine fake;
    KeeperTable story(fake.Get(), kModeStory);
    story.keeper->Player().m_nStoryScore = 500;  // another level added to the total
    story.keeper->SyncWithProfile();
    story.keeper->Reset();
    story.keeper->AddScore(25, nullptr);
    EXPECT_EQ(story.keeper->Player().m_nStoryScore, 525);
    EXPECT_EQ(story.keeper->GetLevelPoints(), 25);

    KeeperTable classic(fake.Get(), kModeClassic);
    classic.keeper->AddScore(40, nullptr);
    EXPECT_EQ(classic.keeper->Player().m_nClassicScore, 40);
    EXPECT_EQ(classic.keeper->Player().m_nStoryScore, 0);
}

TEST(CScoreKeeper, TheTotalStopsAtEitherEndOfItsThirtyTwoBitsAndStillRollsThere)
{
    ScopedFakeEngine fake;
    struct Case { int total, delta, times, expected; };
    const Case cases[] = {
        {0, 1000000000, 3, INT32_MAX},  // three cards of a billion points each
        {INT32_MAX - 5, 10, 1, INT32_MAX},
        {INT32_MAX, INT32_MAX, 2, INT32_MAX},
        {INT32_MIN + 5, -10, 1, INT32_MIN},
        {INT32_MIN, INT32_MIN, 1, INT32_MIN},
        {INT32_MAX, INT32_MIN, 1, -1},
        {-20, 30, 2, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.total) + " + " + std::to_string(c.times) + " x " + std::to_string(c.delta));
        KeeperTable t(fake.Get());
        t.keeper->Player().m_nStoryScore = c.total;
        t.keeper->SyncWithProfile();
        t.keeper->Reset();
        for (int i = 0; i < c.times; ++i)
            t.keeper->AddScore(c.delta, nullptr);
        EXPECT_EQ(t.keeper->Player().m_nStoryScore, c.expected);
        EXPECT_EQ(t.keeper->GetLevelPoints(), static_cast<long long>(c.expected) - c.total);
        for (int frame = 0; frame < 200 && t.keeper->GetShown() != c.expected; ++frame)
            t.keeper->Update(0.021f);
        EXPECT_EQ(t.keeper->GetShown(), c.expected);
    }
}

TEST(CScoreKeeper, ANegativeScoreIsShownWithItsSign)
{
    EXPECT_EQ(FormatNumber(-1234567, -1), "-1,234,567");
    EXPECT_EQ(FormatNumber(-12, -1), "-12");
    ScopedFakeEngine fake;
    KeeperTable t(fake.Get());
    t.Move(3, 0);
    t.keeper->SetScore(t.keeper->GetScore(), false);
    EXPECT_EQ(t.keeper->GetShown(), -10);
}
