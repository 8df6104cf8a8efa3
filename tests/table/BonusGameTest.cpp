// BonusGameTest.cpp: each bundled bonus level dealt and played through its script by the mouse,
// in a headless game, to a win and to a loss (a lost try, or a wrong play taken back and a slow
// finish), with the medal the result earns and without an error or warning in the log.
#include "HeadlessGame.h"

#include "table/CBonusClock.h"
#include "table/CBonusLevelScript.h"
#include "table/CCard.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <queue>

namespace {

constexpr int kBonusMode = 2;
constexpr std::uint32_t kDealSeed = 1;

class BonusGameTest : public HeadlessGameTest {
protected:
    void StartBonus(int location)
    {
        if (m_pGame != nullptr)
            m_pGame->Release();
        m_pGame = nullptr;
        // The same deals on every run: a random one can give every column of "find the card"
        // the house's card, and then there is no miss to play.
        m_pEngine->RandomSeed(kDealSeed + static_cast<std::uint32_t>(location));
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
        return RunUntil(
            [&] { return Table().GetBonusClock()->Phase() == phase && !Table().IsFlying() && !Game().IsDealing(); });
    }

    // The dealt level as the player first sees it, drawn once more for the picture.
    void KeepDealtLevel(int location)
    {
        Frames(1);
        KeepScreenshot("bonus_solitaire" + std::to_string(25 + location));
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
        return won && Table().GetBonusClock()->Grade() == grade;
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

    // Plays a bonus level against the clock twice: quickly for gold, then with a wrong play that
    // is taken back (`mistake` makes it and checks that) and a pause that leaves only bronze. The
    // won level has gathered this many cards on the first place of set 2.
    void PlayTimed(int location, float pause, int gathered, const std::function<void()>& mistake,
                   const std::function<void()>& solve)
    {
        for (bool quick : {true, false}) {
            SCOPED_TRACE(quick ? "quick" : "slow, with a wrong play");
            StartBonus(location);
            ASSERT_TRUE(WaitForPhase(kPhasePlay));
            if (quick)
                KeepDealtLevel(location);
            if (!quick) {
                mistake();
                Idle(pause);
            }
            solve();
            EXPECT_TRUE(WinsWithGrade(quick ? kGradeGold : kGradeBronze)) << "goal " << Table().GetBonusClock()->Goal();
            EXPECT_EQ(Place(Set(2).front())->Size(), gathered);
            ExpectNoProblem();
        }
    }
};

// ---- Find the card and the three cups: three tries each -------------------------------------

class ThreeTriesTest : public BonusGameTest {
protected:
    // Plays the three tries of bonus level 0 or 1: each time the cards to choose from lie face
    // down, and the card `pick` gives is pressed. Every try is won or every one lost.
    void PlayThreeTries(int location, bool right, const std::function<const CCard*()>& pick)
    {
        StartBonus(location);
        for (int attempt = 1; attempt <= 3; ++attempt) {
            SCOPED_TRACE("try " + std::to_string(attempt));
            ASSERT_TRUE(WaitForPhase(kPhasePlay));
            if (attempt == 1 && right)
                KeepDealtLevel(location);
            EXPECT_EQ(FaceUpCards(1), 0);
            PressCard(pick());
            EXPECT_EQ(Script().Attempt(), attempt);
            ASSERT_TRUE(RunUntil([&] { return Table().GetBonusClock()->GoalCount(attempt) != -1; }));
            EXPECT_EQ(Table().GetBonusClock()->GoalCount(attempt), right ? 1 : 0);
        }
        EXPECT_TRUE(WinsWithGrade(right ? kGradeGold : kGradeNone));
        ExpectNoProblem();
    }
};

// The card at index 0 of the column that the house's top card came from, or of a wrong column.
const CCard* FindTheCardPick(CCardTable& table, int target, bool right)
{
    const CCard* shown = table.GetPlace(table.PlaceCount() - 1)->GetCard(-1);
    if (shown == nullptr || !shown->IsFaceUp())
        return nullptr;  // the house shows no card to find
    if (right)
        return table.GetPlace(target)->GetCard(0);
    for (int p = 0; p < table.PlaceCount(); ++p) {
        const CPlace* column = table.GetPlace(p);
        const CCard* card = column->GetCard(0);
        if (column->type == kPlaceColumn && card != nullptr && (card->Rank != shown->Rank || card->Suit != shown->Suit))
            return card;
    }
    return nullptr;
}

TEST_F(ThreeTriesTest, FindTheCardIsWonByPointingAtItThreeTimesAndLostByMissingIt)
{
    for (bool right : {true, false}) {
        SCOPED_TRACE(right ? "found every time" : "missed every time");
        PlayThreeTries(0, right, [&] { return FindTheCardPick(Table(), Script().TargetPlace(), right); });
        for (int p : Set(1))
            EXPECT_EQ(Place(p)->Size(), 0);  // the columns went back to the house
    }
}

// The cup card that is the red ace to follow, or one that is not; null unless the ace's twin
// shows what to follow.
const CCard* CupCard(CCardTable& table, const CBonusLevelScript& script, bool holdingIt)
{
    const CCard* wanted = script.CardToFind();
    const CCard* shown = table.GetPlace(script.Set(3).front())->GetCard(-1);
    if (wanted == nullptr || (wanted->Suit & 2) == 0 || shown == nullptr || shown->Rank != wanted->Rank ||
        shown->Suit != wanted->Suit)
        return nullptr;
    for (int p : script.Set(1)) {
        const CCard* card = table.GetPlace(p)->GetCard(0);
        if (card != nullptr && (card == wanted) == holdingIt)
            return card;
    }
    return nullptr;
}

TEST_F(ThreeTriesTest, ThreeCupsAreWonByFollowingTheRedAceAndLostByLosingIt)
{
    for (bool right : {true, false}) {
        SCOPED_TRACE(right ? "followed" : "lost");
        PlayThreeTries(1, right, [&] { return CupCard(Table(), Script(), right); });
        EXPECT_EQ(Set(1).size(), 3u);
        EXPECT_EQ(Place(Set(0).front())->Size(), 6);  // every card but the two taken out is back
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
    std::vector<std::pair<int, int>> twins;
    auto mistake = [&] {
        twins = Twins(Table(), Set(1));
        ASSERT_EQ(twins.size(), 12u);
        PressCard(Place(twins[0].first)->GetCard(0));
        PressCard(Place(twins[1].first)->GetCard(0));
        ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying() && FaceUpCards(1) == 0; }));
        EXPECT_EQ(Place(twins[0].first)->Size(), 1);  // the two cards stay, face down again
        EXPECT_EQ(Place(twins[1].first)->Size(), 1);
    };
    auto solve = [&] {
        ASSERT_EQ(FaceUpCards(1), 0);
        twins = Twins(Table(), Set(1));
        ASSERT_EQ(twins.size(), 12u);
        for (const auto& pair : twins) {
            PressCard(Place(pair.first)->GetCard(0));
            PressCard(Place(pair.second)->GetCard(0));
            ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying() && Place(pair.second)->Size() == 0; }));
        }
    };
    PlayTimed(2, 121.0f, 24, mistake, solve);
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
    auto mistake = [&] {
        PressCard(SequenceCard(Table(), Set(1), 1, -1));
        PressCard(SequenceCard(Table(), Set(1), 5, -1));  // a Six after a Two
        ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying() && FaceUpCards(1) == 24; }));
    };
    auto solve = [&] {
        ASSERT_EQ(FaceUpCards(1), 24);
        int colour = -1;
        for (int rank = 1; rank <= 12; ++rank) {
            const CCard* card = SequenceCard(Table(), Set(1), rank, colour < 0 ? -1 : 1 - colour);
            ASSERT_NE(card, nullptr) << rank;
            colour = card->Colour();
            PressCard(card);
            ASSERT_TRUE(RunUntil([&] { return !Table().IsFlying(); }));
        }
    };
    PlayTimed(3, 61.0f, 24, mistake, solve);
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
    auto mistake = [&] {
        // A card two cells away (or across a corner) goes back where it lay.
        const std::array<int, 9> grid = Grid();
        const int empty = EmptyCell();
        ASSERT_LT(empty, 9);
        Slide((empty + 2) % 3 + 3 * ((empty / 3 + 1) % 3), empty);
        EXPECT_EQ(Grid(), grid);
    };
    auto solve = [&] {
        ASSERT_EQ(Set(1).size(), 9u);
        const std::vector<int> slides = PuzzleSolution(Grid());
        ASSERT_FALSE(slides.empty());
        for (int cell : slides)
            Slide(cell, EmptyCell());
    };
    PlayTimed(4, 181.0f, 12, mistake, solve);
}

}  // namespace
