// BonusLevelScriptTest.cpp: the phases of the five bonus levels, played through the table's frame.
#include "TableTestSupport.h"

#include "framework/CFMouse.h"
#include "table/CBonusClock.h"
#include "table/CBonusLevelScript.h"
#include "table/CTableMouse.h"
#include "table/CCardFlight.h"

using namespace tabletest;

namespace {

class BonusHost : public RecordingHost {
public:
    void SetStartPending() override { ++starts; }
    void GlowRulesButton(int kind, float) override { glows.push_back(kind); }

    int starts = 0;
    std::vector<int> glows;
};

struct PlaceSpec {
    int x, y, type;
    const char* set;  // help_script
};

class BonusTest : public ::testing::Test {
protected:
    // Writes bonus level `level` with these places plus one place whose win condition never
    // holds (so only the script ends the level), and loads it.
    void Make(int level, const std::vector<PlaceSpec>& places)
    {
        LevelWriter w(m_fake.Get(), 25 + level);
        WriteCommon(w, "Bonus", 1, static_cast<int>(places.size()) + 1);
        for (std::size_t i = 0; i < places.size(); ++i) {
            const PlaceSpec& p = places[i];
            w.Place(static_cast<int>(i), {{"x", std::to_string(p.x)}, {"y", std::to_string(p.y)},
                                          {"type", std::to_string(p.type)}, {"help_script", p.set}});
        }
        w.Place(static_cast<int>(places.size()), {{"x", "780"}, {"y", "590"}, {"type", "4"}, {"win_cond", "0:13"}});
        m_table = std::make_unique<CCardTable>(level, kModeBonusLevel, &m_host);
        ASSERT_TRUE(m_table->LoadLevel());
        m_table->SetCardSize(70, 100);
        for (int i = 0; i < m_table->PlaceCount(); ++i)
            m_table->GetPlace(i)->visible = true;
    }

    CPlace* Place(int p) { return m_table->GetPlace(p); }
    CCard* Put(int p, int rank, int suit, bool faceUp) { return Lay(m_deck, Place(p), rank, suit, faceUp); }
    const CBonusLevelScript& Script() { return *m_table->GetBonusScript(); }
    CBonusClock& Clock() { return *m_table->GetBonusClock(); }

    // Starts the level as the controller does: phase -1 run once, then phase 1 after the deal.
    void Begin()
    {
        m_table->RunBonusScript(0.0f);
        ASSERT_EQ(Clock().Phase(), kPhaseDeal);
        Clock().SetPhase(kPhaseSetUp, -1.0f);
    }

    void Frames(float seconds)
    {
        for (float t = 0; t < seconds; t += 0.05f)
            m_table->Update(0.05f);
    }

    // Runs frames until the phase is reached (bounded).
    bool RunTo(int phase, float limit = 30.0f)
    {
        for (float t = 0; t < limit; t += 0.05f) {
            if (Clock().Phase() == phase)
                return true;
            m_table->Update(0.05f);
        }
        return Clock().Phase() == phase;
    }

    void Press(int p, int i)
    {
        Settle(*m_table);
        const CCard* card = Place(p)->GetCard(i);
        ASSERT_NE(card, nullptr);
        m_table->GetMouse()->PointAt(card->RenderX_curr, card->RenderY_curr);
        m_table->GetMouse()->SetEvent(CFMouse::kEventPressed);
        m_table->RunBonusScript(0.0f);
        m_table->GetMouse()->SetEvent(CFMouse::kEventNone);
    }

    int FaceUpCount(const std::vector<int>& places)
    {
        int n = 0;
        for (int p : places)
            for (const CCard* card : Place(p)->pile)
                n += card->IsFaceUp() ? 1 : 0;
        return n;
    }

    ScopedFakeEngine m_fake;
    BonusHost m_host;
    CDeck m_deck;
    std::unique_ptr<CCardTable> m_table;
};

// Find the card: columns 0..2 with one card each, the house 3 holding their twins.
class FindTheCardTest : public BonusTest {
protected:
    void SetUp() override
    {
        Make(kBonusFindTheCard, {{200, 200, kPlaceColumn, "1"},
                                 {300, 200, kPlaceColumn, "1"},
                                 {400, 200, kPlaceColumn, "1"},
                                 {600, 420, kPlaceHouse, "0"}});
    }

    void Deal()
    {
        for (int p = 0; p < 4; ++p)
            Place(p)->pile.clear();
        for (int p = 0; p < 3; ++p) {
            Put(p, p, 0, false);
            Put(3, p, 0, false);
        }
    }

    // Plays one attempt up to its result; right picks the target column.
    void PlayAttempt(bool right, float expectedShowTime)
    {
        Deal();
        ASSERT_TRUE(RunTo(kPhaseShow));
        EXPECT_FLOAT_EQ(Clock().PhaseTimer(), expectedShowTime);
        ASSERT_TRUE(RunTo(kPhasePlay));
        Settle(*m_table);
        const int target = Script().TargetPlace();
        ASSERT_GE(target, 0);
        EXPECT_EQ(FaceUpCount({0, 1, 2}), 0);
        ASSERT_GT(Place(3)->Size(), 0);
        EXPECT_TRUE(Place(3)->pile.back()->IsFaceUp());  // the card to find, shown on the house
        EXPECT_EQ(Place(3)->pile.back()->Rank, Place(target)->GetCard(0)->Rank);
        Press(right ? target : (target + 1) % 3, 0);
        EXPECT_EQ(Clock().Phase(), right ? kPhaseAttemptWon : kPhaseAttemptLost);
        ASSERT_TRUE(RunTo(kPhaseSetUp));
    }
};

TEST_F(FindTheCardTest, ThreeAttemptsRecordTheirResultsAndShowFasterEachTime)
{
    Clock().RecordAttempt(1, true);
    Clock().RecordGoal(7);
    Begin();
    EXPECT_EQ(Clock().GoalCount(1), -1);
    EXPECT_EQ(Clock().Goal(), -1);
    EXPECT_FLOAT_EQ(Clock().PhaseTimer(), 1.0f);

    PlayAttempt(true, 4.0f);
    EXPECT_EQ(Clock().GoalCount(1), 1);
    EXPECT_EQ(m_host.starts, 1);
    PlayAttempt(false, 3.0f);
    EXPECT_EQ(Clock().GoalCount(2), 0);
    EXPECT_EQ(m_host.starts, 2);
    PlayAttempt(true, 2.0f);
    EXPECT_EQ(Clock().GoalCount(3), 1);
    EXPECT_EQ(m_host.starts, 2);  // no fourth deal

    // After the third attempt the columns go to the house and the level waits for its end test.
    ASSERT_TRUE(RunTo(kPhaseEnd));
    Settle(*m_table);
    EXPECT_EQ(Place(0)->Size() + Place(1)->Size() + Place(2)->Size(), 0);
    Frames(5.0f);
    EXPECT_EQ(Clock().Phase(), kPhaseEnd);
    Clock().GradeBonusLevel();
    EXPECT_EQ(Clock().Grade(), 3);
}

TEST_F(FindTheCardTest, LaterAttemptsTurnTheCardsFaster)
{
    Begin();
    PlayAttempt(true, 4.0f);
    Deal();
    // Phase 1 elapses and turns the columns: with a = 1 each turn takes 0.5 / 1.5 s.
    for (int i = 0; i < 100 && Clock().Phase() == kPhaseSetUp; ++i)
        m_table->Update(0.05f);
    ASSERT_EQ(Clock().Phase(), kPhaseShow);
    ASSERT_FALSE(m_table->Flights().empty());
    EXPECT_NEAR(m_table->Flights().front()->duration, 0.5f / 1.5f, 1e-4f);
}

// The three-card game: a deck (set 0), three cups (set 1) and the place that shows the card.
class ThreeCardsTest : public BonusTest {
protected:
    void SetUp() override
    {
        Make(kBonusThreeCards, {{100, 500, kPlaceDeck, "0"},
                                {250, 250, kPlaceColumn, "1"},
                                {400, 250, kPlaceColumn, "1"},
                                {550, 250, kPlaceColumn, "1"},
                                {400, 80, kPlaceFreeCell, "3"}});
        for (int copy = 0; copy < 2; ++copy)
            for (int r = 0; r < 4; ++r)
                Put(0, r, r, false);  // suits 0, 1 black; 2, 3 red
    }

    int CupOf(const CCard* card)
    {
        for (int p = 1; p <= 3; ++p)
            for (const CCard* c : Place(p)->pile)
                if (c == card)
                    return p;
        return -1;
    }
};

TEST_F(ThreeCardsTest, TheDealShowsOneRedCardAndFiveShufflesLeadToThePick)
{
    Begin();
    ASSERT_TRUE(RunTo(kPhaseShow));
    Settle(*m_table);
    int reds = 0;
    for (int p = 1; p <= 3; ++p) {
        ASSERT_EQ(Place(p)->Size(), 1);
        EXPECT_TRUE(Place(p)->GetCard(0)->IsFaceUp());
        reds += (Place(p)->GetCard(0)->Suit & 2) != 0 ? 1 : 0;
    }
    EXPECT_EQ(reds, 1);
    ASSERT_NE(Script().CardToFind(), nullptr);
    ASSERT_EQ(Place(4)->Size(), 1);  // the twin of the red card shows what to find
    EXPECT_EQ(Place(4)->GetCard(0)->Rank, Script().CardToFind()->Rank);
    EXPECT_EQ(Place(0)->Size(), 2);  // the black twins left the table without a flight

    ASSERT_TRUE(RunTo(kPhasePlay));
    Settle(*m_table);
    EXPECT_EQ(Script().Shuffles(), 5);
    int swaying = 0;
    for (int p = 1; p <= 3; ++p) {
        ASSERT_EQ(Place(p)->Size(), 1);
        EXPECT_FALSE(Place(p)->GetCard(0)->IsFaceUp());
        swaying += Place(p)->SwayMax > 0.08f ? 1 : 0;
    }
    EXPECT_EQ(swaying, 1);

    Press(CupOf(Script().CardToFind()), 0);
    EXPECT_EQ(Clock().Phase(), kPhaseAttemptWon);
    ASSERT_TRUE(RunTo(kPhaseSetUp));
    EXPECT_EQ(Clock().GoalCount(1), 1);
}

TEST_F(ThreeCardsTest, AWrongCupLosesTheAttemptAndShowsTheRightOne)
{
    Begin();
    ASSERT_TRUE(RunTo(kPhasePlay));
    Settle(*m_table);
    const int right = CupOf(Script().CardToFind());
    Press(right == 1 ? 2 : 1, 0);
    EXPECT_EQ(Clock().Phase(), kPhaseAttemptLost);
    Settle(*m_table);
    EXPECT_TRUE(Script().CardToFind()->IsFaceUp());
    ASSERT_TRUE(RunTo(kPhaseSetUp));
    EXPECT_EQ(Clock().GoalCount(1), 0);
}

// Pairs: six cards in set 1, the pairs go to set 2.
class PairsTest : public BonusTest {
protected:
    void SetUp() override
    {
        std::vector<PlaceSpec> places;
        for (int i = 0; i < 6; ++i)
            places.push_back({100 + 100 * i, 200, kPlaceColumn, "1"});
        places.push_back({400, 450, kPlaceDiscard, "2"});
        Make(kBonusPairs, places);
        const int ranks[6] = {0, 0, 1, 1, 1, 1};
        const int suits[6] = {0, 0, 2, 3, 3, 2};
        for (int i = 0; i < 6; ++i)
            Put(i, ranks[i], suits[i], true);
    }

    void OpenPair(int a, int b)
    {
        Press(a, 0);
        Press(b, 0);
        Settle(*m_table);
        Frames(0.2f);
        Settle(*m_table);
    }
};

TEST_F(PairsTest, EqualCardsLeaveAndUnequalOnesTurnBackUntilTheTimeIsTaken)
{
    Begin();
    ASSERT_TRUE(RunTo(kPhasePlay));
    Settle(*m_table);
    EXPECT_EQ(FaceUpCount({0, 1, 2, 3, 4, 5}), 0);

    OpenPair(2, 3);  // same rank, other suit: turned back
    EXPECT_EQ(FaceUpCount({0, 1, 2, 3, 4, 5}), 0);
    EXPECT_EQ(Place(6)->Size(), 0);

    OpenPair(0, 1);
    EXPECT_EQ(Place(6)->Size(), 2);
    OpenPair(2, 5);
    OpenPair(3, 4);
    EXPECT_EQ(Place(6)->Size(), 6);
    Frames(0.1f);
    EXPECT_EQ(Clock().Phase(), kPhaseEnd);
    EXPECT_GE(Clock().Goal(), 0);
    EXPECT_EQ(Clock().PhaseTimer(), 0.0f);  // phase 6 of this level never elapses
}

// The sequence: turn rank 1, then each next rank of the other colour.
class SequenceTest : public BonusTest {
protected:
    void SetUp() override
    {
        std::vector<PlaceSpec> places;
        for (int i = 0; i < 5; ++i)
            places.push_back({100 + 100 * i, 200, kPlaceColumn, "1"});
        places.push_back({400, 450, kPlaceDiscard, "2"});
        Make(kBonusSequence, places);
        Put(0, 1, 0, true);
        Put(1, 2, 2, true);
        Put(2, 3, 0, true);
        Put(3, 0, 1, true);  // below every run card: put away once the run starts
        Put(4, 2, 1, true);  // same rank as place 1 but black: put away once rank 3 is reached
    }

    void Tap(int p)
    {
        Press(p, 0);
        Frames(0.2f);
        Settle(*m_table);
        Frames(0.1f);
        Settle(*m_table);
    }
};

TEST_F(SequenceTest, AWrongCardUndoesTheRunAndARightRunWinsTheLevel)
{
    Begin();
    ASSERT_TRUE(RunTo(kPhasePlay));
    Tap(2);  // rank 3 first: wrong, everything shows again
    EXPECT_EQ(FaceUpCount({0, 1, 2, 3, 4}), 5);

    Tap(0);
    EXPECT_FALSE(Place(3)->GetCard(0)->IsFaceUp());  // rank 0 can no longer follow
    Tap(1);
    Tap(2);
    ASSERT_TRUE(RunTo(kPhaseWon, 5.0f));
    EXPECT_GE(Clock().Goal(), 0);
    Settle(*m_table);
    EXPECT_EQ(Place(5)->Size(), 5);
    Frames(1.0f);
    EXPECT_TRUE(m_table->IsWon());
    EXPECT_EQ(Clock().Grade(), 4);
}

// The sliding puzzle: a 3 x 3 grid in set 1, cells 0..7 in rank order when solved.
class PuzzleTest : public BonusTest {
protected:
    void SetUp() override
    {
        std::vector<PlaceSpec> places;
        for (int cell = 0; cell < 9; ++cell)
            places.push_back({200 + 100 * (cell % 3), 150 + 120 * (cell / 3), kPlaceColumn, "1"});
        places.push_back({700, 500, kPlaceDiscard, "2"});
        Make(kBonusSlidingPuzzle, places);
        Arrange({0, 1, 2, 3, 4, 5, 6, 7, -1});
    }

    void Arrange(const std::vector<int>& ranks)
    {
        for (int cell = 0; cell < 9; ++cell) {
            Place(cell)->pile.clear();
            if (ranks[static_cast<std::size_t>(cell)] >= 0)
                Put(cell, ranks[static_cast<std::size_t>(cell)], 0, true);
        }
        Frames(0.2f);
    }

    // Picks up the card of cell `from` and lets go of it over cell `to`.
    void Slide(int from, int to)
    {
        Press(from, 0);
        Settle(*m_table);
        ASSERT_TRUE(m_table->IsHolding());
        CPlace* hand = m_table->HandPlace();
        const float x = static_cast<float>(Place(to)->x - hand->x_offset);
        const float y = static_cast<float>(Place(to)->y - hand->y_offset);
        m_table->GetMouse()->PointAt(x, y);
        hand->x = static_cast<int>(x);
        hand->y = static_cast<int>(y);
        m_table->GetMouse()->SetEvent(CFMouse::kEventReleased);
        m_table->RunBonusScript(0.0f);
        m_table->GetMouse()->SetEvent(CFMouse::kEventNone);
        Settle(*m_table);
    }

    // Skips the scramble (taken the moment it would start) and lays the cells as given.
    void ToPlay(const std::vector<int>& ranks)
    {
        Begin();
        ASSERT_TRUE(RunTo(kPhaseShuffle));
        ASSERT_TRUE(m_table->Flights().empty());
        Clock().SetPhase(kPhasePlay, -1.0f);
        Arrange(ranks);
    }
};

TEST_F(PuzzleTest, TheScrambleMovesCardsIntoTheEmptyCellForSevenSeconds)
{
    Begin();
    ASSERT_TRUE(RunTo(kPhaseShuffle));
    EXPECT_FLOAT_EQ(Clock().PhaseTimer(), 7.0f);
    ASSERT_TRUE(RunTo(kPhasePlay, 10.0f));
    Settle(*m_table);
    int empty = 0, cards = 0;
    for (int cell = 0; cell < 9; ++cell) {
        empty += Place(cell)->Size() == 0 ? 1 : 0;
        cards += Place(cell)->Size();
    }
    EXPECT_EQ(empty, 1);
    EXPECT_EQ(cards, 8);
}

TEST_F(PuzzleTest, OnlyANeighbouringEmptyCellInLineTakesTheCard)
{
    struct Case {
        std::vector<int> ranks;
        int from, to;
        int glow;  // -1: the slide is taken
    };
    const std::vector<Case> cases = {
        {{0, 1, 2, 3, 4, 5, -1, 6, 7}, 8, 6, 1},   // two cells away
        {{0, 1, 2, 3, -1, 5, 6, 4, 7}, 8, 4, 1},   // diagonal
        {{0, 1, 2, 3, 4, 5, 6, -1, 7}, 8, 5, 0},   // not an empty cell
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        SetUp();
        ToPlay(c.ranks);
        m_host.glows.clear();
        const CCard* moving = Place(c.from)->GetCard(0);
        Slide(c.from, c.to);
        EXPECT_EQ(m_host.glows, std::vector<int>{c.glow});
        EXPECT_EQ(Place(c.from)->GetCard(0), moving);  // returned to its cell
        EXPECT_FALSE(m_table->IsHolding());
    }
}

TEST_F(PuzzleTest, SolvingThePuzzleMeasuresTheTimeAndWins)
{
    ToPlay({0, 1, 2, 3, 4, 5, 6, -1, 7});
    EXPECT_EQ(Clock().Phase(), kPhasePlay);
    Slide(8, 7);
    EXPECT_TRUE(m_host.glows.empty());
    Frames(0.1f);
    EXPECT_EQ(Clock().Phase(), kPhaseEnd);
    EXPECT_GE(Clock().Goal(), 0);
    ASSERT_TRUE(RunTo(kPhaseWon, 2.0f));
    Settle(*m_table);
    Frames(1.0f);
    EXPECT_TRUE(m_table->IsWon());
    EXPECT_EQ(Place(9)->Size(), 8);
    EXPECT_EQ(Clock().Grade(), 4);
}

TEST_F(PuzzleTest, APuzzleSolvedByTheScrambleIsScrambledAgain)
{
    ToPlay({0, 1, 2, 3, 4, 5, 6, 7, -1});  // solved, and the player has not moved a card
    EXPECT_NE(Clock().Phase(), kPhasePlay);
    EXPECT_TRUE(RunTo(kPhaseShuffle, 1.0f));
}
}  // namespace

TEST(BonusPhases, ZeroTimesNeverElapseAndSetPhaseActsOnlyInBonusLevels)
{
    ScopedFakeEngine fake;
    CCardTable bonus(2, kModeBonusLevel, nullptr);
    bonus.GetBonusClock()->SetPhase(kPhasePlay, -1.0f);
    EXPECT_EQ(bonus.GetBonusClock()->Phase(), kPhasePlay);
    EXPECT_EQ(bonus.GetBonusClock()->PhaseTimer(), 0.0f);
    for (int i = 0; i < 100; ++i)
        bonus.Update(0.05f);
    EXPECT_FALSE(bonus.GetBonusClock()->HasElapsed());
    bonus.GetBonusClock()->SetPhase(kPhaseWon, 0.5f);
    bonus.Update(0.3f);
    EXPECT_FALSE(bonus.GetBonusClock()->HasElapsed());
    bonus.Update(0.3f);
    EXPECT_TRUE(bonus.GetBonusClock()->HasElapsed());
    EXPECT_FLOAT_EQ(CBonusClock::PhaseTime(4, kPhaseShuffle), 7.0f);
    EXPECT_FLOAT_EQ(CBonusClock::PhaseTime(5, kPhaseSetUp), 0.0f);

    CCardTable story(2, kModeStory, nullptr);
    story.GetBonusClock()->SetPhase(kPhasePlay, 2.0f);
    EXPECT_EQ(story.GetBonusClock()->Phase(), kPhaseNone);
    EXPECT_EQ(story.GetBonusClock()->PhaseTimer(), 0.0f);
}
