// RuleActionsTest.cpp: the rules four variants name on their places, the seeded random source,
// the extra deck pass and the medal grade of bonus levels.
#include "PlayStateSupport.h"

#include "app/Globals.h"
#include "table/CBonusClock.h"

using namespace tabletest;

namespace {
// A bare table of `types.size()` places of the given types, with one rule name on place 0.
struct RuleTable {
    RuleTable(FakeEngine& engine, const std::vector<int>& types, const std::string& rule, unsigned mode = kModeStory)
        : table((WriteBare(engine, static_cast<int>(types.size())), std::make_unique<CCardTable>(kBare, mode, &host)))
    {
        EXPECT_TRUE(table->LoadLevel());
        table->SetCardSize(70, 100);
        for (std::size_t i = 0; i < types.size(); ++i)
            table->GetPlace(static_cast<int>(i))->SetType(types[i]);
        table->GetPlace(0)->help_script = rule;
    }
    CPlace* P(int i) const { return table->GetPlace(i); }
    // Cards given as ranks, bottom first, all of one suit unless suits are given.
    void Put(int place, const std::vector<int>& ranks, const std::vector<int>& suits = {}, bool faceUp = true)
    {
        for (std::size_t i = 0; i < ranks.size(); ++i)
            Lay(deck, P(place), ranks[i], suits.empty() ? 0 : suits[i], faceUp);
    }
    int Size(int place) const { return P(place)->Size(); }
    ControllerHost host;
    CDeck deck;
    std::unique_ptr<CCardTable> table;
};

std::vector<int> KingToAce()
{
    std::vector<int> ranks;
    for (int r = 12; r >= 0; --r)
        ranks.push_back(r);
    return ranks;
}
}  // namespace

TEST(RuleActions, SpiderSendsAFinishedSuitToTheFirstDiscardThatIsNotFull)
{
    ScopedFakeEngine fake;
    struct Case { const char* name; std::vector<int> ranks; std::vector<int> suits; bool fires; };
    std::vector<int> withBase = {3, 7};
    for (int r : KingToAce())
        withBase.push_back(r);
    std::vector<int> mixed(13, 0);
    mixed[6] = 1;
    std::vector<int> withTop = KingToAce();
    withTop.push_back(5);
    const Case cases[] = {
        {"a run on top of other cards", withBase, {}, true},
        {"a fourteenth card on top", withTop, {}, false},
        {"the suit changes inside", KingToAce(), mixed, false},
        {"too short", {5, 4, 3}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RuleTable t(fake.Get(), {kPlaceColumn, kPlaceDiscard, kPlaceDiscard}, "Spider");
        t.P(1)->win_cond = {PlaceRequirement{WinCode::kHolds, 13, 0, 0}};
        t.P(2)->win_cond = {PlaceRequirement{WinCode::kHolds, 13, 0, 0}};
        t.Put(1, KingToAce(), std::vector<int>(13, 2));  // the first discard is full
        t.Put(0, c.ranks, c.suits);
        const int before = t.Size(0);
        EXPECT_EQ(t.table->ApplyRuleActions(), c.fires);
        Settle(*t.table);
        EXPECT_EQ(t.Size(0), c.fires ? before - 13 : before);
        EXPECT_EQ(t.Size(2), c.fires ? 13 : 0);
        if (c.fires) {
            EXPECT_EQ(t.P(2)->pile.front()->Rank, 12);
            EXPECT_EQ(t.P(2)->pile.back()->Rank, 0);  // the ace lands on top
            EXPECT_EQ(t.host.RecordedMoves(), 13);
            EXPECT_EQ(t.host.moves[0], std::vector<int>({0, 2, before - 13, 1, 0}));
        }
    }
}

TEST(RuleActions, PyramidRemovesTwoCardsAddingUpToThirteen)
{
    ScopedFakeEngine fake;
    struct Case { std::vector<int> ranks; bool discard; bool fires; };
    const Case cases[] = {
        {{0, 11}, true, true},     // ace and queen
        {{5, 6}, true, true},      // six and seven
        {{5, 5}, true, false},     // six and six
        {{12}, true, false},       // a lone king is not two cards
        {{0, 11, 4}, true, false}, // three cards
        {{0, 11}, false, false},   // nowhere to go
        {{3, 4}, true, false},     // four and five
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.ranks));
        RuleTable t(fake.Get(), {kPlaceSideColumn, c.discard ? kPlaceDiscard : kPlaceColumn}, "Pyramid");
        t.Put(0, c.ranks);
        EXPECT_EQ(t.table->ApplyRuleActions(), c.fires);
        Settle(*t.table);
        EXPECT_EQ(t.Size(0), c.fires ? 0 : static_cast<int>(c.ranks.size()));
        EXPECT_EQ(t.Size(1), c.fires ? 2 : 0);
    }
}

TEST(RuleActions, FifteensRemovesFifteenOrFourOfAKindAndRefillsEmptyColumns)
{
    ScopedFakeEngine fake;
    struct Case { const char* name; std::vector<int> ranks; bool fires; };
    const Case cases[] = {
        {"seven and eight", {6, 7}, true},
        {"three fives", {4, 4, 4}, true},
        {"four queens", {11, 11, 11, 11}, true},
        {"four nines", {8, 8, 8, 8}, false},
        {"ten to king", {9, 10, 11, 12}, false},
        {"fourteen", {6, 6}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // 0 the gathering place, 1 the discard, 2 and 3 stocks, 4 an empty column, 5 a full one.
        RuleTable t(fake.Get(), {kPlaceColumn, kPlaceDiscard, kPlaceDeck, kPlaceDeck, kPlaceColumn, kPlaceColumn},
                    "Fifteens");
        t.Put(0, c.ranks);
        t.Put(2, {1, 2});
        t.Put(3, {3});
        t.Put(5, {9});
        EXPECT_EQ(t.table->ApplyRuleActions(), c.fires);
        Settle(*t.table);
        EXPECT_EQ(t.Size(1), c.fires ? static_cast<int>(c.ranks.size()) : 0);
        EXPECT_EQ(t.Size(4), c.fires ? 2 : 0);  // one card from each stock
        EXPECT_EQ(t.Size(5), 1);
        if (c.fires) {
            EXPECT_EQ(t.Size(0), 0);
        }
    }
}

TEST(RuleActions, CruelDealsFourCardsToEachOtherColumnInTurn)
{
    ScopedFakeEngine fake;
    RuleTable t(fake.Get(), {kPlaceColumn, kPlaceColumn, kPlaceColumn, kPlaceDeck}, "Cruel");
    t.Put(0, {0, 1, 2, 3, 4, 5, 6}, {}, false);
    EXPECT_TRUE(t.table->ApplyRuleActions());
    Settle(*t.table);
    EXPECT_EQ(t.Size(0), 0);
    EXPECT_EQ(t.Size(1), 4);
    EXPECT_EQ(t.Size(2), 3);
    for (const CCard* c : t.P(1)->pile)
        EXPECT_TRUE(c->IsFaceUp());
    ASSERT_EQ(t.host.RecordedMoves(), 7);
    EXPECT_EQ(t.host.moves[0][3], 1);
    EXPECT_EQ(t.host.moves[0][4], 1);
    EXPECT_TRUE(EveryCardOnceOrInDeck(*t.table, t.deck));
}

TEST(RuleActions, NoRuleFiresWhileACardIsHeldOrFlying)
{
    ScopedFakeEngine fake;
    RuleTable t(fake.Get(), {kPlaceSideColumn, kPlaceDiscard, kPlaceColumn}, "Pyramid");
    t.Put(0, {0, 11});
    t.Put(2, {4, 5});
    t.P(2)->MoveCard(1, t.P(2), CardMove::Up(1.0f).After(kAtOnce));
    EXPECT_FALSE(t.table->ApplyRuleActions());
    Settle(*t.table);
    t.P(2)->MoveCard(1, t.table->HandPlace(), CardMove::Up(0.0f).JoiningAtOnce());
    Settle(*t.table);
    EXPECT_FALSE(t.table->ApplyRuleActions());
    EXPECT_EQ(t.Size(0), 2);
}

TEST(RuleActions, GatheringCruelCollectsEveryColumnFaceDown)
{
    ScopedFakeEngine fake;
    RuleTable t(fake.Get(), {kPlaceColumn, kPlaceColumn, kPlaceColumn, kPlaceDiscard}, "Cruel");
    t.Put(0, {1});
    t.Put(1, {2, 3});
    t.Put(2, {4, 5, 6});
    t.Put(3, {7});
    t.table->GetScoreKeeper()->lastFrom = t.P(1);
    t.table->GatherCruel(t.P(1));  // not the "Cruel" place: nothing
    EXPECT_EQ(t.Size(1), 2);
    t.table->GatherCruel(t.P(0));
    Settle(*t.table);
    EXPECT_EQ(t.Size(0), 6);
    EXPECT_EQ(t.Size(3), 1);
    for (const CCard* c : t.P(0)->pile)
        EXPECT_FALSE(c->IsFaceUp());
    EXPECT_EQ(t.table->GetScoreKeeper()->lastFrom, nullptr);
    EXPECT_EQ(t.host.snapshots, 1);
}

TEST(RuleActions, TheSeededRandomDependsOnlyOnTheCards)
{
    ScopedFakeEngine fake;
    RuleTable t(fake.Get(), {kPlaceColumn, kPlaceColumn}, "");
    t.Put(0, {0, 4, 9}, {1, 2, 3});
    t.Put(1, {2, 12}, {3, 0});
    EXPECT_EQ(t.table->SeededRandom(3, 3), 3);
    for (int i = 0; i < 5; ++i) {
        const int v = t.table->SeededRandom(5, 2);
        EXPECT_GE(v, 2);
        EXPECT_LE(v, 5);
    }
    const int first = t.table->SeededRandom(0, 1000);
    fake->RandomInt(0, 100);
    EXPECT_EQ(t.table->SeededRandom(0, 1000), first);
    // S = (1*1)/1 + (2*2)/5 + (3*3)/10 + (3*1)/3 + (0*2)/13 = 1 + 0 + 0 + 1 + 0 = 2: seed 2000.
    const unsigned state = 2000u * 214013u + 2531011u;
    const double f = ((state >> 16) & 0x7FFFu) / 32767.0;
    EXPECT_EQ(first, static_cast<int>(1001 * f));
}

TEST(RuleActions, TheExtraDeckPassKeepsAnUnlimitedDeckUnlimited)
{
    ScopedFakeEngine fake;
    struct Case { int limit; bool deckCards; bool popCards; bool acts; int after; };
    const Case cases[] = {
        {0, true, false, true, 1},
        {2, false, true, true, 3},
        {-1, true, false, true, -1},
        {-2, true, true, true, -2},
        {0, false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("limit " + std::to_string(c.limit));
        RuleTable t(fake.Get(), {kPlaceDeck, kPlacePop, kPlaceColumn}, "");
        t.P(0)->click_empty_limit = c.limit;
        if (c.deckCards)
            t.Put(0, {1});
        if (c.popCards)
            t.Put(1, {2});
        EXPECT_EQ(t.table->GetSpecialActions()->ApplyDeckAction(), c.acts);
        EXPECT_EQ(t.P(0)->click_empty_limit, c.after);
    }
    RuleTable none(fake.Get(), {2, 3}, "");
    none.Put(0, {4});
    EXPECT_FALSE(none.table->GetSpecialActions()->ApplyDeckAction());
}

TEST(BonusGrade, AttemptsAndTimesGiveTheirMedals)
{
    ScopedFakeEngine fake;
    struct Case { int level; int attempts[3]; int goal; int met; int grade; };
    const Case cases[] = {
        {0, {1, 0, 1}, -1, 2, 3},  {1, {1, 1, 1}, -1, 3, 4},  {0, {0, 1, -1}, -1, 1, 2},
        {1, {0, 0, -1}, -1, 0, 0}, {0, {-1, -1, -1}, -1, 0, 0},
        {2, {-1, -1, -1}, 60, 0, 4},  {2, {-1, -1, -1}, 61, 0, 3},  {2, {-1, -1, -1}, 120, 0, 3},
        {2, {-1, -1, -1}, 121, 0, 2}, {3, {-1, -1, -1}, 30, 0, 4},  {3, {-1, -1, -1}, 31, 0, 3},
        {3, {-1, -1, -1}, 61, 0, 2},  {4, {-1, -1, -1}, 120, 0, 4}, {4, {-1, -1, -1}, 180, 0, 3},
        {4, {-1, -1, -1}, 181, 0, 2}, {0, {1, 1, 1}, 0, 0, 0},      {1, {1, 1, 1}, 10, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + " goal " + std::to_string(c.goal));
        CBonusClock clock(c.level, true);
        for (int attempt = 1; attempt <= 3; ++attempt)  // a gold first: every grade is written anew
            clock.RecordAttempt(attempt, true);
        clock.GradeBonusLevel();
        clock.ResetGoals();
        for (int i = 0; i < 3; ++i) {
            if (c.attempts[i] >= 0)
                clock.RecordAttempt(i + 1, c.attempts[i] > 0);
        }
        if (c.goal >= 0)
            clock.RecordGoal(c.goal);
        clock.GradeBonusLevel();
        EXPECT_EQ(clock.GoalsMet(), c.met);
        EXPECT_EQ(clock.Grade(), c.grade);
    }
}

TEST(BonusGrade, TheWinOfABonusLevelGradesIt)
{
    ScopedFakeEngine fake;
    struct Case { unsigned mode; int grade; };
    // A hardcore or story win is not graded.
    const Case cases[] = {
        {kModeBonusLevel, kGradeSilver}, {kModeBonusLevel | kModeHardcore, kGradeNone}, {kModeStory, kGradeNone}};
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        CCardTable table(3, c.mode, nullptr);
        table.GetBonusClock()->RecordGoal(31);
        table.GetBonusClock()->SetPhase(kPhaseWon, 0.5f);
        table.CheckLevelComplete();
        EXPECT_TRUE(table.IsWon());
        EXPECT_EQ(table.GetBonusClock()->Grade(), c.grade);
    }
}
