// RequirementChecksTest.cpp: every pick, drop, empty-drop, click, sort and win code on built positions.
#include "TableTestSupport.h"

#include <functional>

using namespace tabletest;

namespace {
using Reqs = std::vector<PlaceRequirement>;

struct Card { int rank, suit; bool up; };

class ChecksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteBare(m_fake.Get(), 6);
        m_table = std::make_unique<CCardTable>(kBare, kModeStory, &m_host);
        ASSERT_TRUE(m_table->LoadLevel());
        MakeCards(m_deck, 2);
        m_deck.Reset();
    }

    CPlace* P(int i) { return m_table->GetPlace(i); }
    void Fill(int place, const std::vector<Card>& cards)
    {
        for (const Card& c : cards)
            Lay(m_deck, P(place), c.rank, c.suit, c.up);
    }
    CMoveFinder& Finder() { return *m_table->GetMoveFinder(); }

    ScopedFakeEngine m_fake;
    RecordingHost m_host;
    CDeck m_deck;
    std::unique_ptr<CCardTable> m_table;
};

struct CheckCase {
    const char* name;
    Reqs reqs;
    std::vector<Card> place0;   // the place under test
    std::vector<Card> place1;   // a second place (pick 2, drop's moving stack, ...)
    int cardIndex;
    bool expected;
    int type1 = kPlaceColumn;
};
}  // namespace

TEST_F(ChecksTest, PickCodesDecideWhatMayBeLifted)
{
    using namespace PickCode;  // the codes of this list
    const std::vector<CheckCase> cases = {
        {"empty list forbids", {}, {{3, 0, true}}, {}, 0, false},
        {"0 face up passes", {{kFaceUp, 0, 0, 0}}, {{3, 0, true}}, {}, 0, true},
        {"0 face down fails", {{kFaceUp, 0, 0, 0}}, {{3, 0, false}}, {}, 0, false},
        {"1 top card passes", {{kTopCard, 0, 0, 0}}, {{3, 0, true}, {4, 0, true}}, {}, 1, true},
        {"1 lower card fails", {{kTopCard, 0, 0, 0}}, {{3, 0, true}, {4, 0, true}}, {}, 0, false},
        {"2 place holds c cards", {{kPlaceHolds, 1, 2, 0}}, {{3, 0, true}}, {{5, 1, true}, {6, 1, true}}, 0, true},
        {"2 place holds other count", {{kPlaceHolds, 1, 1, 0}}, {{3, 0, true}}, {{5, 1, true}, {6, 1, true}}, 0, false},
        {"2 place number out of range", {{kPlaceHolds, 99, 0, 0}}, {{3, 0, true}}, {}, 0, false},
        {"2 negative place number", {{kPlaceHolds, -5, 0, 0}}, {{3, 0, true}}, {}, 0, false},
        {"3 sorted run passes", {{kSortedRun, 0, 0, 0}}, {{5, 0, true}, {4, 2, true}, {3, 1, true}}, {}, 0, true},
        {"3 broken run fails", {{kSortedRun, 0, 0, 0}}, {{5, 0, true}, {4, 1, true}, {3, 2, true}}, {}, 0, false},
        {"4 one card with no free cell", {{kFitsFreeCells, 0, 0, 0}}, {{5, 0, true}}, {}, 0, true},
        {"4 two cards with no free cell", {{kFitsFreeCells, 0, 0, 0}}, {{5, 0, true}, {4, 2, true}}, {}, 0, false},
        {"4 two cards with one free cell", {{kFitsFreeCells, 0, 0, 0}}, {{5, 0, true}, {4, 2, true}}, {}, 0, true, 4},
        {"5 always", {{kAlways, 0, 0, 0}}, {{3, 0, false}}, {}, 0, true},
        {"6 always", {{kWraps, 0, 0, 0}}, {{3, 0, false}}, {}, 0, true},
        {"index -1 never", {{kAlways, 0, 0, 0}}, {{3, 0, true}}, {}, -1, false},
        {"index past the top never", {{kAlways, 0, 0, 0}}, {{3, 0, true}}, {}, 1, false},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        P(0)->pick_req = c.reqs;
        P(0)->sort_req = {{SortCode::kAlternateColours, 0, 0, 0}, {SortCode::kFalling, 0, 0, 0}};
        Fill(0, c.place0);
        Fill(1, c.place1);
        P(1)->type = c.type1;
        EXPECT_EQ(Finder().CanPick(0, c.cardIndex), c.expected);
    }
}

TEST_F(ChecksTest, PickFailsWhileTheTopCardFlies)
{
    P(0)->pick_req = {{PickCode::kAlways, 0, 0, 0}};
    Fill(0, {{3, 0, true}, {4, 0, true}});
    P(0)->pile.back()->InFly = true;
    EXPECT_FALSE(Finder().CanPick(0, 0));
}

TEST_F(ChecksTest, PickSixAndDropEightSetWrapForGood)
{
    P(0)->pick_req = {{PickCode::kWraps, 0, 0, 0}};
    Fill(0, {{3, 0, true}});
    EXPECT_FALSE(P(0)->Wrap);
    EXPECT_TRUE(Finder().CanPick(0, 0));
    EXPECT_TRUE(P(0)->Wrap);
    P(0)->pick_req = {{PickCode::kTopCard, 0, 0, 0}};
    EXPECT_TRUE(Finder().CanPick(0, 0));
    EXPECT_TRUE(P(0)->Wrap);

    CPlace moving(m_table.get(), true);
    Lay(m_deck, &moving, 0, 1);
    Fill(1, {{12, 1, true}});
    P(1)->drop_req = {{DropCode::kWraps, 0, 0, 0}, {DropCode::kOneHigher, 0, 0, 0}};
    EXPECT_TRUE(Finder().CanDrop(1, 0, &moving, P(0)));  // an ace on a king once wrap is on
    EXPECT_TRUE(P(1)->Wrap);
}

TEST_F(ChecksTest, DropCodesDecideWhatMayLandOnACard)
{
    using namespace DropCode;  // the codes of this list
    // place0 is the destination (its top card is D), place1 the moving stack (first card M),
    // place2 the source; place3 holds two cards for code 11.
    const std::vector<CheckCase> cases = {
        {"empty list forbids", {}, {{5, 0, true}}, {{4, 1, true}}, 0, false},
        {"0 one card", {{kSingleCard, 0, 0, 0}}, {{5, 0, true}}, {{4, 1, true}}, 0, true},
        {"0 two cards", {{kSingleCard, 0, 0, 0}}, {{5, 0, true}}, {{4, 1, true}, {3, 0, true}}, 0, false},
        {"1 same suit", {{kSameSuit, 0, 0, 0}}, {{5, 2, true}}, {{9, 2, true}}, 0, true},
        {"1 other suit", {{kSameSuit, 0, 0, 0}}, {{5, 2, true}}, {{9, 3, true}}, 0, false},
        {"2 one above", {{kOneHigher, 0, 0, 0}}, {{5, 0, true}}, {{6, 0, true}}, 0, true},
        {"2 two above", {{kOneHigher, 0, 0, 0}}, {{5, 0, true}}, {{7, 0, true}}, 0, false},
        {"2 ace on king without wrap", {{kOneHigher, 0, 0, 0}}, {{12, 0, true}}, {{0, 0, true}}, 0, false},
        {"3 same colour", {{kSameColour, 0, 0, 0}}, {{5, 0, true}}, {{9, 1, true}}, 0, true},
        {"3 other colour", {{kSameColour, 0, 0, 0}}, {{5, 0, true}}, {{9, 2, true}}, 0, false},
        {"4 one below", {{kOneLower, 0, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"4 king below ace without wrap", {{kOneLower, 0, 0, 0}}, {{0, 0, true}}, {{12, 0, true}}, 0, false},
        {"5 D face up", {{kTopFaceUp, 0, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"5 D face down", {{kTopFaceUp, 0, 0, 0}}, {{5, 0, false}}, {{4, 0, true}}, 0, false},
        {"6 colours differ", {{kOtherColour, 0, 0, 0}}, {{5, 0, true}}, {{4, 2, true}}, 0, true},
        {"6 colours match", {{kOtherColour, 0, 0, 0}}, {{5, 0, true}}, {{4, 1, true}}, 0, false},
        {"7 one above", {{kOneApart, 0, 0, 0}}, {{5, 0, true}}, {{6, 3, true}}, 0, true},
        {"7 one below", {{kOneApart, 0, 0, 0}}, {{5, 0, true}}, {{4, 3, true}}, 0, true},
        {"7 never wraps", {{kOneApart, 0, 0, 0}}, {{12, 0, true}}, {{0, 3, true}}, 0, false},
        {"9 source is not place 3", {{kNotFromPlace, 3, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"9 source is place 2", {{kNotFromPlace, 2, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, false},
        {"9 place number out of range", {{kNotFromPlace, 77, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"10 source is place 2", {{kFromPlace, 2, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"10 source is not place 3", {{kFromPlace, 3, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, false},
        {"10 place number out of range", {{kFromPlace, 77, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, false},
        {"11 place 3 holds 2", {{kPlaceHolds, 3, 2, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"11 place 3 holds not 1", {{kPlaceHolds, 3, 1, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, false},
        {"11 place number out of range", {{kPlaceHolds, 77, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, false},
        {"12 queen on ace makes 13", {{kRanksAddUpTo, 13, 0, 0}}, {{0, 0, true}}, {{11, 2, true}}, 0, true},
        {"12 jack on ace does not", {{kRanksAddUpTo, 13, 0, 0}}, {{0, 0, true}}, {{10, 2, true}}, 0, false},
        {"13 source not a column", {{kNotFromColumn, 0, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true, 3},
        {"14 rank b and fewer cards", {{kRankWithFewer, 3, 0, 0}}, {{5, 0, true}}, {{3, 0, true}}, 0, true},
        {"14 rank b but not fewer cards", {{kRankWithFewer, 1, 0, 0}}, {{5, 0, true}}, {{1, 0, true}}, 0, false},
        {"14 fewer cards but other rank", {{kRankWithFewer, 3, 0, 0}}, {{5, 0, true}}, {{2, 0, true}}, 0, false},
        {"15 fewer than b", {{kFewerThan, 2, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"15 not fewer than b", {{kFewerThan, 1, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, false},
        {"16 and above always", {{16, 0, 0, 0}, {40, 0, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 0, true},
        {"bad destination index", {{16, 0, 0, 0}}, {{5, 0, true}}, {{4, 0, true}}, 7, false},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        P(0)->drop_req = c.reqs;
        Fill(0, c.place0);
        Fill(3, {{1, 3, true}, {2, 3, true}});
        P(2)->type = kPlacePop;  // the source is not a column unless a case says otherwise
        CPlace moving(m_table.get(), true);
        for (const Card& m : c.place1)
            Lay(m_deck, &moving, m.rank, m.suit, m.up);
        EXPECT_EQ(Finder().CanDrop(0, c.cardIndex, &moving, P(2)), c.expected);
    }
}

TEST_F(ChecksTest, DropCodeThirteenRefusesCardsFromColumns)
{
    P(0)->drop_req = {{DropCode::kNotFromColumn, 0, 0, 0}};
    Fill(0, {{5, 0, true}});
    CPlace moving(m_table.get(), true);
    Lay(m_deck, &moving, 4, 0);
    P(2)->type = kPlaceColumn;
    EXPECT_FALSE(Finder().CanDrop(0, 0, &moving, P(2)));
    P(2)->type = kPlacePop;
    EXPECT_TRUE(Finder().CanDrop(0, 0, &moving, P(2)));
}

TEST_F(ChecksTest, EmptyDropCodesDecideWhatMayLandOnAnEmptyPlace)
{
    using namespace EmptyDropCode;  // the codes of this list
    const std::vector<CheckCase> cases = {
        {"empty list forbids", {}, {}, {{4, 0, true}}, -1, false},
        {"0 one card", {{kSingleCard, 0, 0, 0}}, {}, {{4, 0, true}}, -1, true},
        {"0 two cards", {{kSingleCard, 0, 0, 0}}, {}, {{4, 0, true}, {3, 1, true}}, -1, false},
        {"1 rank b", {{kRank, 12, 0, 0}}, {}, {{12, 0, true}}, -1, true},
        {"1 other rank", {{kRank, 12, 0, 0}}, {}, {{11, 0, true}}, -1, false},
        {"4 from place 2", {{kFromPlace, 2, 0, 0}}, {}, {{4, 0, true}}, -1, true},
        {"4 not from place 3", {{kFromPlace, 3, 0, 0}}, {}, {{4, 0, true}}, -1, false},
        {"4 place number out of range", {{kFromPlace, 55, 0, 0}}, {}, {{4, 0, true}}, -1, false},
        {"other codes pass", {{2, 0, 0, 0}, {9, 0, 0, 0}, {-1, 0, 0, 0}}, {}, {{4, 0, true}}, -1, true},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        P(0)->empty_drop_req = c.reqs;
        CPlace moving(m_table.get(), true);
        for (const Card& m : c.place1)
            Lay(m_deck, &moving, m.rank, m.suit, m.up);
        EXPECT_EQ(Finder().CanDrop(0, -1, &moving, P(2)), c.expected);
    }
}

TEST_F(ChecksTest, GrandfatherRefusesASecondHouseOfOneSuit)
{
    for (const char* name : {"Grandfather", "Klondike"}) {
        SCOPED_TRACE(name);
        SetUp();
        EditValues(*m_table, [&](TableValues& v) { v.level.sName = name; });
        P(0)->type = kPlaceHouse;
        P(1)->type = kPlaceHouse;
        P(0)->empty_drop_req = {{EmptyDropCode::kRank, 0, 0, 0}};
        Fill(1, {{0, 2, true}});
        CPlace moving(m_table.get(), true);
        Lay(m_deck, &moving, 0, 2);
        EXPECT_EQ(Finder().CanDrop(0, -1, &moving, P(2)), std::string(name) != "Grandfather");
    }
}

TEST_F(ChecksTest, ClickCodesDecideWhatAClickDoes)
{
    using namespace ClickCardCode;  // the codes of this list
    struct ClickCase {
        const char* name;
        Reqs clickReq, clickCard;
        bool topUp;
        int otherType;
        bool expected;
    };
    const std::vector<ClickCase> cases = {
        {"no click_card never", {}, {}, false, kPlaceColumn, false},
        {"0 always", {}, {{kTurnOver, 0, 0, 0}}, true, kPlaceColumn, true},
        {"1 needs a type-2 place", {}, {{kDealOne, 0, 0, 0}}, true, kPlacePop, true},
        {"1 without a type-2 place", {}, {{kDealOne, 0, 0, 0}}, true, kPlaceFreeCell, false},
        {"2 needs a type-2 place", {}, {{kDealThree, 0, 0, 0}}, true, kPlacePop, true},
        {"3 needs a type-3 place", {}, {{kDealToColumns, 0, 0, 0}}, true, kPlaceColumn, true},
        {"3 without a type-3 place", {}, {{kDealToColumns, 0, 0, 0}}, true, kPlaceFreeCell, false},
        {"5 always", {}, {{kTurnUp, 0, 0, 0}}, true, kPlaceFreeCell, true},
        {"7 needs a type-5 place", {}, {{kToDiscard, 0, 0, 0}}, true, kPlaceDiscard, true},
        {"7 without a type-5 place", {}, {{kToDiscard, 0, 0, 0}}, true, kPlaceFreeCell, false},
        {"4 and 6 never", {}, {{4, 0, 0, 0}, {6, 0, 0, 0}}, true, kPlaceColumn, false},
        {"first allowing code wins", {}, {{4, 0, 0, 0}, {kTurnUp, 0, 0, 0}}, true, kPlaceFreeCell, true},
        {"click_req 0 refuses a face-up card", {{ClickCode::kFaceDown, 0, 0, 0}},
         {{kTurnUp, 0, 0, 0}}, true, kPlaceFreeCell, false},
        {"click_req 0 accepts a face-down card", {{ClickCode::kFaceDown, 0, 0, 0}},
         {{kTurnUp, 0, 0, 0}}, false, kPlaceFreeCell, true},
        {"click_req 2 refuses a face-up card", {{ClickCode::kStillFaceDown, 0, 0, 0}},
         {{kTurnUp, 0, 0, 0}}, true, kPlaceFreeCell, false},
        {"click_req other codes pass", {{7, 0, 0, 0}}, {{kTurnUp, 0, 0, 0}}, true, kPlaceFreeCell, true},
    };
    for (const ClickCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (int i = 0; i < m_table->PlaceCount(); ++i)
            P(i)->type = kPlaceFreeCell;
        P(0)->type = kPlaceDeck;
        P(1)->type = c.otherType;
        P(0)->click_req = c.clickReq;
        P(0)->click_card = c.clickCard;
        Fill(0, {{3, 0, false}, {4, 0, c.topUp}});
        EXPECT_EQ(Finder().CanClick(0, 1), c.expected);
    }
}

TEST_F(ChecksTest, ClickReqOneOnlyAllowsTheTopCard)
{
    P(0)->click_req = {{ClickCode::kTopCard, 0, 0, 0}};
    P(0)->click_card = {{ClickCardCode::kTurnOver, 0, 0, 0}};
    Fill(0, {{3, 0, true}, {4, 0, true}});
    EXPECT_FALSE(Finder().CanClick(0, 0));
    EXPECT_TRUE(Finder().CanClick(0, 1));
    EXPECT_FALSE(Finder().CanClick(0, 2));
}

TEST_F(ChecksTest, EmptyPlaceClickNeedsCodeZeroALimitAndWasteCards)
{
    struct EmptyCase { const char* name; Reqs clickEmpty; int limit; bool wasteHasCards; bool expected; };
    const std::vector<EmptyCase> cases = {
        {"gathers waste cards", {{ClickEmptyCode::kGatherPops, 0, 0, 0}}, 3, true, true},
        {"no limit left", {{ClickEmptyCode::kGatherPops, 0, 0, 0}}, 0, true, false},
        {"negative limit never runs out", {{ClickEmptyCode::kGatherPops, 0, 0, 0}}, -1, true, true},
        {"nothing to gather", {{ClickEmptyCode::kGatherPops, 0, 0, 0}}, 3, false, false},
        {"other codes never", {{1, 0, 0, 0}}, 3, true, false},
    };
    for (const EmptyCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        P(0)->type = kPlaceDeck;
        P(1)->type = kPlacePop;
        P(0)->click_empty = c.clickEmpty;
        P(0)->click_empty_limit = c.limit;
        if (c.wasteHasCards)
            Fill(1, {{4, 0, true}});
        EXPECT_EQ(Finder().CanClick(0, -1), c.expected);
    }
}

TEST_F(ChecksTest, SortCodesCheckTheRunFromAnIndex)
{
    using namespace SortCode;  // the codes of this list
    struct SortCase { const char* name; Reqs sort; std::vector<Card> cards; int from; bool wrap; bool expected; };
    const std::vector<SortCase> cases = {
        {"empty pile", {{kSameSuit, 0, 0, 0}}, {}, 0, false, true},
        {"0 one suit", {{kSameSuit, 0, 0, 0}}, {{1, 2, true}, {7, 2, true}}, 0, false, true},
        {"0 mixed suits", {{kSameSuit, 0, 0, 0}}, {{1, 2, true}, {7, 3, true}}, 0, false, false},
        {"0 from index skips lower cards", {{kSameSuit, 0, 0, 0}},
         {{1, 1, true}, {7, 3, true}, {2, 3, true}}, 1, false, true},
        {"1 rising", {{kRising, 0, 0, 0}}, {{4, 0, true}, {5, 1, true}, {6, 2, true}}, 0, false, true},
        {"1 king then ace without wrap", {{kRising, 0, 0, 0}},
         {{11, 0, true}, {12, 0, true}, {0, 0, true}}, 0, false, false},
        {"1 king then ace with wrap", {{kRising, 0, 0, 0}},
         {{11, 0, true}, {12, 0, true}, {0, 0, true}, {1, 0, true}}, 0, true, true},
        {"2 falling", {{kFalling, 0, 0, 0}}, {{6, 0, true}, {5, 1, true}, {4, 2, true}}, 0, false, true},
        {"2 falling breaks", {{kFalling, 0, 0, 0}}, {{6, 0, true}, {4, 1, true}}, 0, false, false},
        {"2 ace then king with wrap", {{kFalling, 0, 0, 0}}, {{0, 0, true}, {12, 0, true}}, 0, true, true},
        {"3 always", {{3, 0, 0, 0}}, {{6, 0, true}, {1, 0, true}}, 0, false, true},
        {"4 alternating colours", {{kAlternateColours, 0, 0, 0}},
         {{1, 0, true}, {1, 2, true}, {1, 1, true}, {1, 3, true}}, 0, false, true},
        {"4 same colour twice", {{kAlternateColours, 0, 0, 0}}, {{1, 0, true}, {1, 1, true}}, 0, false, false},
        {"5 one colour", {{kOneColour, 0, 0, 0}}, {{1, 2, true}, {5, 3, true}}, 0, false, true},
        {"5 colour changes", {{kOneColour, 0, 0, 0}}, {{1, 2, true}, {5, 1, true}}, 0, false, false},
        {"all codes together", {{kSameSuit, 0, 0, 0}, {kFalling, 0, 0, 0}},
         {{9, 1, true}, {8, 1, true}}, 0, false, true},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        P(0)->sort_req = c.sort;
        P(0)->Wrap = c.wrap;
        Fill(0, c.cards);
        EXPECT_EQ(P(0)->IsSorted(c.from), c.expected);
    }
}

TEST_F(ChecksTest, WinCodesDecideTheLevelEnd)
{
    using namespace WinCode;  // the codes of this list
    struct WinCase { const char* name; Reqs win; std::vector<Card> cards; bool expected; };
    const std::vector<WinCase> cases = {
        {"no conditions", {}, {{3, 0, true}}, true},
        {"0 exact count", {{kHolds, 2, 0, 0}}, {{3, 0, true}, {4, 0, true}}, true},
        {"0 other count", {{kHolds, 1, 0, 0}}, {{3, 0, true}, {4, 0, true}}, false},
        {"1 sorted pile", {{kSorted, 0, 0, 0}}, {{3, 0, true}, {4, 0, true}}, true},
        {"1 unsorted pile", {{kSorted, 0, 0, 0}}, {{3, 0, true}, {5, 0, true}}, false},
        {"2 empty accepted by b 0", {{kHoldsSorted, 0, 13, 0}}, {}, true},
        {"2 sorted with count c", {{kHoldsSorted, 0, 2, 0}}, {{3, 0, true}, {4, 0, true}}, true},
        {"2 sorted with another count", {{kHoldsSorted, 0, 3, 0}}, {{3, 0, true}, {4, 0, true}}, false},
        {"2 right count but unsorted", {{kHoldsSorted, 0, 2, 0}}, {{3, 0, true}, {6, 0, true}}, false},
        {"other codes pass", {{7, 0, 0, 0}}, {{3, 0, true}}, true},
    };
    for (const WinCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        P(0)->win_cond = c.win;
        P(0)->sort_req = {{SortCode::kRising, 0, 0, 0}};
        Fill(0, c.cards);
        EXPECT_EQ(m_table->PassesWinConditions(), c.expected);
        m_table->CheckLevelComplete();
        EXPECT_EQ(m_table->IsWon(), c.expected);
        EXPECT_EQ(m_host.wins, c.expected ? 1 : 0);
        m_host.wins = 0;
    }
}
