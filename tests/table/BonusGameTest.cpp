// BonusGameTest.cpp: each bundled bonus level dealt and played through its script by the mouse,
// in a headless game, to a win and to a loss (a lost try, or a wrong play taken back and a slow
// finish), with the medal the result earns and without an error or warning in the log.
#include "HeadlessGame.h"

#include "table/CBonusLevelScript.h"
#include "table/CCard.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <queue>

namespace {

constexpr int kBonusMode = 2;

class BonusGameTest : public HeadlessGameTest {
protected:
    void StartBonus(int location)
    {
        if (m_pGame != nullptr)
            m_pGame->Release();
        m_pGame = nullptr;
        Start(location, kBonusMode, location + 1);
        ASSERT_EQ(Game().GetLevelSection(), 25 + location);
    }

    const CBonusLevelScript& Script() { return *Table().GetBonusScript(); }
    CPlace* Place(int p) { return Table().GetPlace(p); }
    const std::vector<int>& Set(int g) { return Script().Set(g); }

    // Runs frames until the condition holds (bounded). Only every eighth frame is drawn: the
    // waits are long, and drawing is what costs.
    bool RunUntil(const std::function<bool()>& done, int limit = 3000)
    {
        for (int i = 0; i < limit; ++i) {
            if (done())
                return true;
            Frames(1, kFrame, i % 8 == 0);
        }
        return done();
    }

    bool WaitForPhase(int phase)
    {
        return RunUntil([&] { return Table().m_nPhase == phase && !Table().IsFlying() && !Game().IsDealing(); });
    }

    // The game clock runs on by this many seconds, in frames that are not drawn.
    void Idle(float seconds) { Frames(static_cast<int>(seconds * 2.0f) + 1, 0.5f, false); }

    // The script reads no press while a card it moves is still on its way: wait for them first.
    void PressCard(const CCard* card)
    {
        ASSERT_NE(card, nullptr);
        ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying(); }));
        ClickWithMouse(static_cast<int>(card->RenderX_curr), static_cast<int>(card->RenderY_curr));
    }

    bool WinsWithGrade(int grade)
    {
        const bool won = RunUntil([&] { return Table().IsWon(); }, 4000);
        return won && Table().m_nGrade == grade;
    }

    int FaceUpCards(int g)
    {
        int n = 0;
        for (int p : Set(g))
            for (const CCard* card : Place(p)->pile)
                n += card->IsFaceUp() ? 1 : 0;
        return n;
    }

    void ExpectNoProblem()
    {
        for (const std::string& line : ProblemLines())
            ADD_FAILURE() << line;
    }
};

// ---- Find the card and the three cups: three tries each -------------------------------------

// The card at index 0 of the column that the house's top card came from, or a wrong column's.
const CCard* FindTheCardPick(CCardTable& table, int target, bool right)
{
    if (right)
        return table.GetPlace(target)->GetCard(0);
    for (int p = 0; p < table.PlaceCount(); ++p) {
        const CPlace* column = table.GetPlace(p);
        const CCard* card = column->GetCard(0);
        const CCard* shown = table.GetPlace(table.PlaceCount() - 1)->GetCard(-1);
        if (column->type == 3 && card != nullptr && (card->Rank != shown->Rank || card->Suit != shown->Suit))
            return card;
    }
    return nullptr;
}

TEST_F(BonusGameTest, FindTheCardIsWonByPointingAtItThreeTimesAndLostByMissingIt)
{
    for (bool right : {true, false}) {
        SCOPED_TRACE(right ? "found every time" : "missed every time");
        StartBonus(0);
        for (int attempt = 1; attempt <= 3; ++attempt) {
            ASSERT_TRUE(WaitForPhase(3)) << attempt;
            const int target = Script().TargetPlace();
            ASSERT_GE(target, 0);
            const CCard* shown = Place(Table().PlaceCount() - 1)->GetCard(-1);
            ASSERT_TRUE(shown->IsFaceUp());  // the house shows the card to find
            EXPECT_EQ(FaceUpCards(1), 0);    // and every column hides its own
            PressCard(FindTheCardPick(Table(), target, right));
            EXPECT_EQ(Table().m_nPhase, right ? 4 : 5);
            EXPECT_EQ(Script().Attempt(), attempt);
            ASSERT_TRUE(RunUntil([&] { return Table().m_nGoalCount[attempt - 1] != -1; }));
            EXPECT_EQ(Table().m_nGoalCount[attempt - 1], right ? 1 : 0);
        }
        EXPECT_TRUE(WinsWithGrade(right ? 4 : 0));
        for (int p : Set(1))
            EXPECT_EQ(Place(p)->Size(), 0);  // the columns went back to the house
        ExpectNoProblem();
    }
}

const CCard* CupCard(CCardTable& table, const std::vector<int>& cups, const CCard* wanted, bool holdingIt)
{
    for (int p : cups) {
        const CCard* card = table.GetPlace(p)->GetCard(0);
        if (card != nullptr && (card == wanted) == holdingIt)
            return card;
    }
    return nullptr;
}

TEST_F(BonusGameTest, ThreeCupsAreWonByFollowingTheRedAceAndLostByLosingIt)
{
    for (bool right : {true, false}) {
        SCOPED_TRACE(right ? "followed" : "lost");
        StartBonus(1);
        for (int attempt = 1; attempt <= 3; ++attempt) {
            ASSERT_TRUE(WaitForPhase(3)) << attempt;
            const CCard* toFind = Script().CardToFind();
            ASSERT_NE(toFind, nullptr);
            EXPECT_NE(toFind->Suit & 2, 0);  // the red ace
            ASSERT_EQ(Set(1).size(), 3u);
            EXPECT_EQ(FaceUpCards(1), 0);
            const CCard* shown = Place(Set(3).front())->GetCard(-1);
            ASSERT_NE(shown, nullptr);  // its twin shows what to follow
            EXPECT_TRUE(shown->Rank == toFind->Rank && shown->Suit == toFind->Suit);
            PressCard(CupCard(Table(), Set(1), toFind, right));
            ASSERT_TRUE(RunUntil([&] { return Table().m_nGoalCount[attempt - 1] != -1; }));
            EXPECT_EQ(Table().m_nGoalCount[attempt - 1], right ? 1 : 0);
        }
        EXPECT_TRUE(WinsWithGrade(right ? 4 : 0));
        EXPECT_EQ(Place(Set(0).front())->Size(), 6);  // every card but the two taken out is back
        ExpectNoProblem();
    }
}

// ---- Pairs, the sequence and the sliding puzzle: against the clock ---------------------------

// Places of set 1 whose face-down cards are twins, pair by pair.
std::vector<std::pair<int, int>> Twins(CCardTable& table, const std::vector<int>& set)
{
    std::vector<std::pair<int, int>> pairs;
    std::vector<bool> used(set.size(), false);
    for (std::size_t i = 0; i < set.size(); ++i) {
        for (std::size_t k = i + 1; k < set.size() && !used[i]; ++k) {
            const CCard* a = table.GetPlace(set[i])->GetCard(0);
            const CCard* b = table.GetPlace(set[k])->GetCard(0);
            if (!used[k] && a != nullptr && b != nullptr && a->Rank == b->Rank && a->Suit == b->Suit) {
                used[i] = used[k] = true;
                pairs.emplace_back(set[i], set[k]);
            }
        }
    }
    return pairs;
}

TEST_F(BonusGameTest, PairsAreWonQuicklyAndAMismatchTurnsBackAndCostsTheMedal)
{
    for (bool quick : {true, false}) {
        SCOPED_TRACE(quick ? "quick" : "slow, with a mismatch");
        StartBonus(2);
        ASSERT_TRUE(WaitForPhase(3));
        ASSERT_EQ(Set(1).size(), 24u);
        EXPECT_EQ(FaceUpCards(1), 0);
        const std::vector<std::pair<int, int>> twins = Twins(Table(), Set(1));
        ASSERT_EQ(twins.size(), 12u);
        if (!quick) {
            PressCard(Place(twins[0].first)->GetCard(0));
            PressCard(Place(twins[1].first)->GetCard(0));
            ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying() && FaceUpCards(1) == 0; }));
            EXPECT_EQ(Place(twins[0].first)->Size(), 1);  // the two cards stay, face down again
            EXPECT_EQ(Place(twins[1].first)->Size(), 1);
            Idle(121.0f);
        }
        for (const auto& pair : twins) {
            PressCard(Place(pair.first)->GetCard(0));
            PressCard(Place(pair.second)->GetCard(0));
            ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying() && Place(pair.second)->Size() == 0; }));
        }
        EXPECT_EQ(Place(Set(2).front())->Size(), 24);
        EXPECT_TRUE(WinsWithGrade(quick ? 4 : 2)) << "goal " << Table().m_nGoal;
        ExpectNoProblem();
    }
}

// The face-up card of set 1 with this rank and, unless colour is -1, this colour.
const CCard* SequenceCard(CCardTable& table, const std::vector<int>& set, int rank, int colour)
{
    for (int p : set) {
        const CCard* card = table.GetPlace(p)->GetCard(0);
        if (card != nullptr && card->IsFaceUp() && card->Rank == rank && (colour < 0 || card->Colour() == colour))
            return card;
    }
    return nullptr;
}

TEST_F(BonusGameTest, TheSequenceIsWonInOneRunAndAWrongCardStartsItAgain)
{
    for (bool quick : {true, false}) {
        SCOPED_TRACE(quick ? "quick" : "slow, with a wrong card");
        StartBonus(3);
        ASSERT_TRUE(WaitForPhase(3));
        ASSERT_EQ(FaceUpCards(1), 24);
        if (!quick) {
            PressCard(SequenceCard(Table(), Set(1), 1, -1));
            PressCard(SequenceCard(Table(), Set(1), 5, -1));  // a Six after a Two
            ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying() && FaceUpCards(1) == 24; }));
            Idle(61.0f);
        }
        int colour = -1;
        for (int rank = 1; rank <= 12; ++rank) {
            const CCard* card = SequenceCard(Table(), Set(1), rank, colour < 0 ? -1 : 1 - colour);
            ASSERT_NE(card, nullptr) << rank;
            colour = card->Colour();
            PressCard(card);
            ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying(); }));
        }
        EXPECT_TRUE(WinsWithGrade(quick ? 4 : 2)) << "goal " << Table().m_nGoal;
        EXPECT_EQ(Place(Set(2).front())->Size(), 24);
        ExpectNoProblem();
    }
}

// The slides that put the grid back in order: the cells whose card moves into the empty cell, in
// turn (a breadth-first search over the 3 x 3 puzzle).
std::vector<int> PuzzleSolution(const std::array<int, 9>& start)
{
    std::array<int, 9> goal = start;
    std::sort(goal.begin(), goal.end());
    std::rotate(goal.begin(), goal.begin() + 1, goal.end());  // the empty cell (-1) last
    std::map<std::array<int, 9>, std::pair<std::array<int, 9>, int>> from;  // state -> (previous, moved cell)
    std::queue<std::array<int, 9>> open;
    open.push(start);
    from[start] = {start, -1};
    while (!open.empty() && from.count(goal) == 0) {
        const std::array<int, 9> state = open.front();
        open.pop();
        const int empty = static_cast<int>(std::find(state.begin(), state.end(), -1) - state.begin());
        for (int cell = 0; cell < 9; ++cell) {
            if (std::abs(cell % 3 - empty % 3) + std::abs(cell / 3 - empty / 3) != 1)
                continue;
            std::array<int, 9> next = state;
            std::swap(next[static_cast<std::size_t>(cell)], next[static_cast<std::size_t>(empty)]);
            if (from.emplace(next, std::make_pair(state, cell)).second)
                open.push(next);
        }
    }
    std::vector<int> slides;
    for (auto at = from.find(goal); at != from.end() && at->second.second >= 0; at = from.find(at->second.first))
        slides.insert(slides.begin(), at->second.second);
    return slides;
}

class SlidingPuzzleTest : public BonusGameTest {
protected:
    std::array<int, 9> Grid()
    {
        std::array<int, 9> ranks{};
        for (std::size_t cell = 0; cell < 9; ++cell) {
            const CCard* card = Place(Set(1)[cell])->GetCard(0);
            ranks[cell] = card != nullptr ? card->Rank : -1;
        }
        return ranks;
    }

    int EmptyCell()
    {
        const std::array<int, 9> grid = Grid();
        return static_cast<int>(std::find(grid.begin(), grid.end(), -1) - grid.begin());
    }

    void Slide(int fromCell, int toCell)
    {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        CardCentre(Set(1)[static_cast<std::size_t>(fromCell)], 0, x1, y1);
        CardCentre(Set(1)[static_cast<std::size_t>(toCell)], 0, x2, y2);
        DragWithMouse(x1, y1, x2, y2);
        ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying() && !Table().IsHolding(); }));
    }
};

TEST_F(SlidingPuzzleTest, IsWonBySlidingTheCardsBackAndRefusesAFarSlide)
{
    for (bool quick : {true, false}) {
        SCOPED_TRACE(quick ? "quick" : "slow, with a far slide");
        StartBonus(4);
        ASSERT_TRUE(WaitForPhase(3));
        ASSERT_EQ(Set(1).size(), 9u);
        std::array<int, 9> grid = Grid();
        const int empty = EmptyCell();
        ASSERT_LT(empty, 9);
        if (!quick) {
            // A card two cells away (or across a corner) goes back where it lay.
            const int far = (empty + 2) % 3 + 3 * ((empty / 3 + 1) % 3);
            Slide(far, empty);
            EXPECT_EQ(Grid(), grid);
            Idle(181.0f);
        }
        const std::vector<int> slides = PuzzleSolution(grid);
        ASSERT_FALSE(slides.empty());
        for (int cell : slides)
            Slide(cell, EmptyCell());
        EXPECT_TRUE(WinsWithGrade(quick ? 4 : 2)) << "goal " << Table().m_nGoal;
        EXPECT_EQ(Place(Set(2).front())->Size(), 12);
        ExpectNoProblem();
    }
}

}  // namespace
