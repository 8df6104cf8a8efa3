// SpecialActionsTest.cpp: the cards an armed special action selects, and what each action does.
#include "TableTestSupport.h"

#include "framework/CFMouse.h"
#include "table/CCardFlight.h"
#include "table/CSpecialActions.h"
#include "table/CTableMouse.h"

#include <functional>

using namespace tabletest;

namespace {
using Slot = std::pair<int, int>;  // place, card index

// What the controller hears when an action is used up.
class ActionHost : public RecordingHost {
public:
    bool IsBusy() const override { return busy; }
    void CountBonusUse() override { ++bonusUses; }
    void ReleaseBonusButtons() override { ++releases; }
    void SpendBonusSlot(int slot) override { spent.push_back(slot); }

    bool busy = false;
    int bonusUses = 0, releases = 0;
    std::vector<int> spent;
};

// Four columns 0..3 in one row, each [down, down, up]; a house 4, a deck 5 (two cards face down)
// and a discard place 6 below them. Card (p, i) of the columns has rank 3p + i, suit p.
class ActionTest : public ::testing::Test {
public:
    void SetUp() override
    {
        m_deck.Reset();
        WriteBare(m_fake.Get(), 7);
        m_table = std::make_unique<CCardTable>(kBare, kModeStory, &m_host);
        ASSERT_TRUE(m_table->LoadLevel());
        m_table->SetCardSize(70, 100);
        for (int p = 0; p < 7; ++p) {
            CPlace* place = m_table->GetPlace(p);
            place->v_offset = 1.0f;
            place->visible = true;
            if (p >= 4) {
                place->y = 450;
                place->type = p == 4 ? 0 : (p == 5 ? 1 : 5);
            }
        }
        for (int p = 0; p < 4; ++p)
            for (int i = 0; i < 3; ++i)
                Lay(m_deck, Place(p), 3 * p + i, p, i == 2);
        Lay(m_deck, Place(5), 12, 0, false);
        Lay(m_deck, Place(5), 12, 1, false);
        LayOut();
    }

    CPlace* Place(int p) { return m_table->GetPlace(p); }
    CSpecialActions& Actions() { return *m_table->GetSpecialActions(); }
    CTableMouse& Mouse() { return *m_table->GetMouse(); }
    CCard* Card(int p, int i) { return Place(p)->GetCard(i); }

    void LayOut()
    {
        for (int k = 0; k < 4; ++k)
            for (int p = 0; p < m_table->PlaceCount(); ++p)
                m_table->GetPlace(p)->Update(5.0f);
    }

    // Puts the mouse on the visible strip of card i of place p; side -1/+1 shifts it sideways
    // (beyond a fifth of the card width), 0 keeps it on the anchor.
    void PointAt(int p, int i, int side = 0)
    {
        const CCard* card = Card(p, i);
        ASSERT_NE(card, nullptr);
        Mouse().PointAt(card->RenderX_curr + static_cast<float>(side * 20), card->RenderY_curr - 47.0f);
        const std::optional<PlaceHit> hit = Mouse().HitTest(true);
        ASSERT_TRUE(hit);
        ASSERT_EQ(Slot(hit->place, hit->card), Slot(p, i));
    }

    std::set<Slot> Selected()
    {
        std::set<Slot> out;
        for (int p = 0; p < m_table->PlaceCount(); ++p)
            for (int i = 0; i < Place(p)->Size(); ++i)
                if (Card(p, i)->Shadow)
                    out.insert({p, i});
        return out;
    }

    std::set<Slot> Select(int code)
    {
        Actions().Arm(code);
        Actions().SelectActionTargets();
        return Selected();
    }

    // Selects, applies, disarms (so later frames act no more) and lets every flight land;
    // `sounds` receives the sounds the action itself played.
    bool Apply(int code, std::size_t* sounds = nullptr)
    {
        Select(code);
        const std::size_t before = SoundsPlayed();
        const bool acted = Actions().ApplyBonusAction();
        if (sounds != nullptr)
            *sounds = SoundsPlayed() - before;
        Actions().Disarm();
        Settle(*m_table);
        return acted;
    }

    const CCard* Find(int rank, int suit)
    {
        for (int p = 0; p < m_table->PlaceCount(); ++p)
            for (const CCard* card : Place(p)->pile)
                if (card->Rank == rank && card->Suit == suit)
                    return card;
        return nullptr;
    }

    std::size_t SoundsPlayed() { return m_fake->channels.size(); }

    // One frame with the left button pressed over card i of place p (the real mouse path).
    void PressFrame(int p, int i)
    {
        PointAt(p, i);
        m_fake->mouseX = Mouse().Sample().m_fMouseX;
        m_fake->mouseY = Mouse().Sample().m_fMouseY;
        m_fake->frameKey = 1;
        EngineInputEvent down;
        down.type = kInputMouseDown;
        down.key = 1;
        m_fake->events.push_back(down);
        m_fake->heldKeys.insert(1);
        m_mouse.Update(0.016f);
        m_fake->frameKey = 0;
        m_table->Update(0.016f);
    }

    ScopedFakeEngine m_fake;
    CFMouse m_mouse;
    ActionHost m_host;
    CDeck m_deck;
    std::unique_ptr<CCardTable> m_table;
};

std::set<Slot> Row(int i)
{
    return {{0, i}, {1, i}, {2, i}, {3, i}};
}
}  // namespace

TEST_F(ActionTest, SelectionMarksTheCardsEachCodeWouldTake)
{
    struct Case {
        int code, place, card, side;
        std::set<Slot> expected;
    };
    const std::vector<Case> cases = {
        {kActionCardToHouse, 1, 2, 0, {{1, 2}}},
        {kActionCardToDeck, 1, 0, 0, {{1, 0}}},
        {kActionPeekCard, 1, 2, 0, {}},                               // peek takes only a face-down card
        {kActionPeekCard, 1, 0, 0, {{1, 0}}},
        {kActionSwapWithRandom, 1, 2, 0, {{1, 2}}},
        {kActionTakeAnyCards, 1, 0, 0, {}},                           // only a face-up card
        {kActionPairToHouse, 1, 1, 0, {{1, 0}, {1, 1}}},              // the card below it
        {kActionPairToDeck, 1, 0, 0, {{1, 0}, {1, 1}}},               // the bottom card takes the second
        {kActionExchangePair, 1, 2, 1, {{1, 2}, {2, 2}}},             // the right neighbour's card
        {kActionPairToHouse, 1, 0, -1, {{0, 0}, {1, 0}}},             // the left neighbour at the same depth
        {kActionThreeToHouse, 1, 2, 0, {{1, 0}, {1, 1}, {1, 2}}},     // shifted down to stay in the pile
        {kActionThreeToDeck, 1, 0, 0, {{1, 0}, {1, 1}, {1, 2}}},      // shifted up to start at the bottom
        {kActionRowToHouse, 1, 2, 0, Row(2)},                         // the row's top cards, face up
        {kActionRowToDeck, 1, 0, 0, {}},                              // the row's bottoms are face down
        {kActionShuffleRow, 1, 0, 0, Row(0)},
        {kActionPeekRow, 1, 0, 0, Row(0)},                            // a row of face-down cards stays
        {kActionPeekRow, 1, 2, 0, {}},                                // the last one face up: nothing stays
        {kActionColumnToHouse, 1, 1, 0, {{1, 0}, {1, 1}, {1, 2}}},    // piles: the whole pile
        {kActionShuffleColumn, 2, 2, 0, {{2, 0}, {2, 1}, {2, 2}}},
        {kActionDiagonalToHouse, 1, 1, 0, {{1, 1}, {2, 2}, {0, 0}}},  // diagonal through the pointed card
        {kActionDiagonalToDeck, 1, 1, 1, {{1, 1}, {2, 0}, {0, 2}}},   // the other diagonal
        {kActionPeekPile, 1, 2, 0, {{1, 0}, {1, 1}, {1, 2}}},
        {kActionShuffleAll, 1, 2, 0,
         {{0, 0}, {0, 1}, {0, 2}, {1, 0}, {1, 1}, {1, 2}, {2, 0}, {2, 1}, {2, 2}, {3, 0}, {3, 1}, {3, 2}}},
        {kActionTakeRun, 1, 1, 0, {}},                                // a face-down card cannot lead
        {kActionTakeRun, 1, 2, 0, {{1, 2}}},
        {kActionTurnPileUp, 3, 2, 0, {{3, 0}, {3, 1}, {3, 2}}},
        {kActionExtraDeckPass, 1, 2, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code) + " at " + std::to_string(c.place) + "/" + std::to_string(c.card));
        PointAt(c.place, c.card, c.side);
        EXPECT_EQ(Select(c.code), c.expected);
        EXPECT_EQ(m_table->GetCursorHand()->hoverCard, Card(c.place, c.card));
    }
}

TEST_F(ActionTest, NothingIsSelectedOffTheCardsOrOnPlacesOfOtherTypes)
{
    PointAt(1, 2);
    Select(kActionCardToHouse);
    Mouse().PointAt(750, 50);
    EXPECT_TRUE(Select(kActionCardToHouse).empty());
    EXPECT_EQ(m_table->GetCursorHand()->hoverCard, nullptr);

    PointAt(5, 1);  // the deck
    EXPECT_TRUE(Select(kActionCardToHouse).empty());

    // A side column takes only the single-card and pair codes; the rest end the pass at once.
    Place(1)->type = kPlaceSideColumn;
    for (int code = kActionCardToHouse; code <= kActionExtraDeckPass; ++code) {
        SCOPED_TRACE(code);
        PointAt(1, 2);
        const bool selects = Select(code).count({1, 2}) != 0;
        const bool allowed = code <= kActionPairToDeck || code == kActionSwapWithRandom ||
                             code == kActionTakeAnyCards || code == kActionExchangePair;
        EXPECT_EQ(selects, allowed);
    }
}

TEST_F(ActionTest, CodeFourteenSelectsNothingOnAFannedPileWithoutHiddenCards)
{
    for (CCard* card : Place(1)->pile)
        card->SetFaceUp(1.0f);
    LayOut();
    PointAt(1, 2);
    EXPECT_TRUE(Select(kActionPeekPile).empty());
    Place(1)->v_offset = 0.0f;  // a squared pile: the action would still show the cards
    LayOut();
    PointAt(1, 2);
    EXPECT_EQ(Select(kActionPeekPile).size(), 3u);
}

TEST_F(ActionTest, OneCardPlacesSelectTheColumnUnderTheMouse)
{
    // Places 0 and 1 stand one above the other, one card each, as in a pyramid.
    for (int p = 0; p < 4; ++p) {
        Place(p)->help_script = "Pyramid";
        while (Place(p)->Size() > 1)
            Place(p)->pile.pop_back();
    }
    Place(1)->x = Place(0)->x;
    Place(1)->y = 350;
    LayOut();
    PointAt(0, 0);
    EXPECT_EQ(Select(kActionColumnToHouse), (std::set<Slot>{{0, 0}, {1, 0}}));
    PointAt(1, 0);
    EXPECT_EQ(Select(kActionColumnToHouse), (std::set<Slot>{{0, 0}, {1, 0}}));
    // No second card in the pile: the pair takes the column's neighbour towards the mouse.
    EXPECT_EQ(Select(kActionPairToHouse), (std::set<Slot>{{0, 0}, {1, 0}}));
}

TEST_F(ActionTest, EveryCodeCarriesItsActionOutOnTheSelectedCards)
{
    struct Case {
        int code, place, card, side;
        std::function<void(ActionTest&)> check;
    };
    auto toHouse = [](std::size_t n) {
        return [n](ActionTest& t) {
            EXPECT_EQ(t.Place(4)->pile.size(), n);
            for (const CCard* card : t.Place(4)->pile)
                EXPECT_TRUE(card->IsFaceUp());
        };
    };
    auto toDeck = [](std::size_t n) {
        return [n](ActionTest& t) {
            EXPECT_EQ(t.Place(5)->pile.size(), 2 + n);
            for (const CCard* card : t.Place(5)->pile)
                EXPECT_FALSE(card->IsFaceUp());
        };
    };
    auto sameCardsIn = [](std::vector<int> places) {
        return [places](ActionTest& t) {
            for (int p : places) {
                EXPECT_EQ(t.Place(p)->Size(), 3);
            }
        };
    };
    const std::vector<Case> cases = {
        {kActionCardToHouse, 1, 2, 0, toHouse(1)},
        {kActionPairToHouse, 1, 2, 0, toHouse(2)},
        {kActionThreeToHouse, 1, 2, 0, toHouse(3)},
        {kActionRowToHouse, 1, 2, 0, toHouse(4)},
        {kActionColumnToHouse, 2, 2, 0, toHouse(3)},
        {kActionDiagonalToHouse, 1, 2, 0, toHouse(2)},
        {kActionCardToDeck, 1, 2, 0, toDeck(1)},
        {kActionPairToDeck, 1, 2, 0, toDeck(2)},
        {kActionThreeToDeck, 1, 2, 0, toDeck(3)},
        {kActionRowToDeck, 1, 2, 0, toDeck(4)},
        {kActionColumnToDeck, 2, 2, 0, toDeck(3)},
        {kActionDiagonalToDeck, 1, 2, 0, toDeck(2)},
        {kActionPeekCard, 1, 0, 0, [](ActionTest& t) {
             ASSERT_EQ(t.m_table->PlaceCount(), 8);
             const CPlace* peek = t.Place(7);
             EXPECT_EQ(peek->type, kPlaceHand);
             EXPECT_NEAR(peek->ttl, 3.0f, 0.1f);  // one frame has run since
             EXPECT_EQ(peek->pile, std::vector<CCard*>{t.Card(1, 0)});
             EXPECT_EQ(t.Place(1)->Size(), 3);  // the card stays in its pile too
         }},
        {kActionPeekRow, 1, 0, 0, [](ActionTest& t) { EXPECT_EQ(t.m_table->PlaceCount(), 11); }},
        {kActionPeekPile, 1, 2, 0, [](ActionTest& t) {
             ASSERT_EQ(t.m_table->PlaceCount(), 8);
             EXPECT_EQ(t.Place(7)->pile, t.Place(1)->pile);
         }},
        {kActionShuffleColumn, 1, 2, 0, sameCardsIn({1})},
        {kActionShuffleRow, 1, 2, 0, sameCardsIn({0, 1, 2, 3})},
        {kActionShuffleAll, 1, 2, 0, sameCardsIn({0, 1, 2, 3})},
        {kActionShuffleDiagonal, 1, 2, 0, [](ActionTest& t) {
             // Two cards exchange: each shows the face of the slot it takes.
             EXPECT_EQ(t.Card(1, 2)->Rank, 1);
             EXPECT_TRUE(t.Card(1, 2)->IsFaceUp());
             EXPECT_EQ(t.Card(0, 1)->Rank, 5);
             EXPECT_FALSE(t.Card(0, 1)->IsFaceUp());
         }},
        {kActionSwapWithRandom, 1, 2, 0, [](ActionTest& t) {
             EXPECT_NE(t.Card(1, 2)->Rank, 5);  // a face-down card took the pointed slot, face up
             EXPECT_TRUE(t.Card(1, 2)->IsFaceUp());
             ASSERT_NE(t.Find(5, 1), nullptr);
             EXPECT_FALSE(t.Find(5, 1)->IsFaceUp());  // the pointed card shows the face of its new slot
         }},
        {kActionTakeAnyCards, 1, 2, 0, [](ActionTest& t) {
             EXPECT_EQ(t.m_table->HandPlace()->Size(), 1);
             EXPECT_EQ(t.m_table->GetCursorHand()->srcPlace, t.Place(1));
             EXPECT_FALSE(t.m_table->GetCursorHand()->flagLastFlight);  // it was the top card
         }},
        {kActionExchangePair, 1, 2, 0, [](ActionTest& t) {
             EXPECT_EQ(t.Card(1, 1)->Rank, 5);
             EXPECT_FALSE(t.Card(1, 1)->IsFaceUp());
             EXPECT_EQ(t.Card(1, 2)->Rank, 4);
             EXPECT_TRUE(t.Card(1, 2)->IsFaceUp());
         }},
        {kActionTakeRun, 1, 2, 0, [](ActionTest& t) { EXPECT_EQ(t.m_table->HandPlace()->Size(), 1); }},
        {kActionTurnPileUp, 1, 2, 0, [](ActionTest& t) {
             for (const CCard* card : t.Place(1)->pile)
                 EXPECT_TRUE(card->IsFaceUp());
             EXPECT_FALSE(t.Card(0, 0)->IsFaceUp());
         }},
        {kActionExtraDeckPass, 1, 2, 0, [](ActionTest& t) { EXPECT_EQ(t.Place(5)->click_empty_limit, 1); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("code " + std::to_string(c.code));
        SetUp();
        PointAt(c.place, c.card, c.side);
        std::size_t sounds = 0;
        EXPECT_TRUE(Apply(c.code, &sounds));
        EXPECT_EQ(sounds, c.code == kActionExtraDeckPass ? 0u : 1u);
        c.check(*this);
        if (c.code != kActionPeekCard && c.code != kActionPeekRow && c.code != kActionPeekPile) {
            EXPECT_TRUE(EveryCardOnce(*m_table, m_deck));
        }
    }
}

TEST_F(ActionTest, AnActionWithoutATargetKeepsEverythingAndStaysArmed)
{
    const auto before = [this] {
        std::vector<std::vector<const CCard*>> piles;
        for (int p = 0; p < m_table->PlaceCount(); ++p)
            piles.emplace_back(Place(p)->pile.begin(), Place(p)->pile.end());
        return piles;
    };
    const auto start = before();
    std::size_t sounds = 0;
    Mouse().PointAt(750, 50);
    EXPECT_FALSE(Apply(kActionCardToHouse, &sounds));                 // nothing under the mouse
    PointAt(5, 1);
    EXPECT_FALSE(Apply(kActionCardToDeck, &sounds));                 // the deck is no target but for the deck pass
    PointAt(1, 2);
    EXPECT_FALSE(Apply(kActionPeekCard, &sounds));                // a face-up card is not selected for a peek
    Place(4)->type = kPlacePop;
    Place(6)->type = kPlacePop;
    PointAt(1, 2);
    EXPECT_FALSE(Apply(kActionCardToHouse, &sounds));                 // neither a house nor a discard place
    Place(5)->type = kPlacePop;
    PointAt(1, 2);
    EXPECT_FALSE(Apply(kActionCardToDeck, &sounds));                 // no deck
    EXPECT_EQ(sounds, 0u);
    EXPECT_EQ(before(), start);

    // Code 24 needs cards in the deck or on a pop place; wherever the mouse is.
    Place(5)->type = kPlaceDeck;
    Place(5)->pile.clear();
    EXPECT_FALSE(Apply(kActionExtraDeckPass));
    Place(4)->pile.push_back(Place(0)->pile.back());  // a type-2 place that holds a card
    Place(0)->pile.pop_back();
    Mouse().PointAt(750, Mouse().Sample().m_fMouseY);
    EXPECT_TRUE(Apply(kActionExtraDeckPass));
}

TEST_F(ActionTest, ToTheHouseFallsBackToTheDiscardPlace)
{
    Place(4)->type = kPlacePop;
    PointAt(1, 2);
    EXPECT_TRUE(Apply(kActionCardToHouse));
    EXPECT_EQ(Place(6)->pile, std::vector<CCard*>{const_cast<CCard*>(Find(5, 1))});
}

TEST_F(ActionTest, IntoAnEmptyDeckTheFirstCardGoesToTheBottom)
{
    Place(5)->pile.clear();
    PointAt(1, 2);
    EXPECT_TRUE(Apply(kActionCardToDeck));
    ASSERT_EQ(Place(5)->Size(), 1);
    EXPECT_EQ(Place(5)->GetCard(0)->Rank, 5);
}

TEST_F(ActionTest, PermutingOneCardSendsItToItsOwnSlot)
{
    for (int p : {0, 2, 3})
        Place(p)->type = kPlacePop;  // the row then holds one type-3 place
    PointAt(1, 2);
    EXPECT_EQ(Select(kActionShuffleRow), (std::set<Slot>{{1, 2}}));
    EXPECT_TRUE(Apply(kActionShuffleRow));
    EXPECT_EQ(Card(1, 2)->Rank, 5);
    EXPECT_TRUE(Card(1, 2)->IsFaceUp());
}

TEST_F(ActionTest, APeekedCardDisappearsAfterThreeSecondsAndNothingElseChanges)
{
    PointAt(1, 0);
    EXPECT_TRUE(Apply(kActionPeekCard));
    EXPECT_EQ(m_table->PlaceCount(), 8);
    for (int frame = 0; frame < 70; ++frame)
        m_table->Update(0.05f);
    EXPECT_EQ(m_table->PlaceCount(), 7);
    EXPECT_TRUE(EveryCardOnce(*m_table, m_deck));
    EXPECT_FALSE(Card(1, 0)->IsFaceUp());
}

TEST_F(ActionTest, TakingACardFromInsideAPileMarksTheHandsLastFlight)
{
    Card(1, 1)->SetFaceUp(1.0f);
    LayOut();
    PointAt(1, 1);
    EXPECT_TRUE(Apply(kActionTakeAnyCards));
    EXPECT_TRUE(m_table->GetCursorHand()->flagLastFlight);
    EXPECT_EQ(Place(1)->Size(), 2);
    EXPECT_EQ(m_table->HandPlace()->Size(), 1);
}

TEST_F(ActionTest, AUsedActionSpendsEveryButtonThatCarriesItsCode)
{
    EditValues(*m_table, [&](TableValues& v) { v.level.vBonuses = {0, 5, 0, 7, 9}; });
    Actions().Arm(kActionPairToDeck);
    Actions().Arm(kActionCardToHouse);  // the code armed before stays as the chain code
    PressFrame(1, 2);
    EXPECT_EQ(Actions().ArmedCode(), kActionNone);
    EXPECT_EQ(Actions().ChainCode(), kActionNone);
    EXPECT_EQ(m_host.bonusUses, 1);
    EXPECT_EQ(m_host.releases, 1);
    EXPECT_EQ(m_host.spent, (std::vector<int>{0, 2}));
    EXPECT_EQ(m_host.snapshots, 1);
    Settle(*m_table);
    EXPECT_EQ(Place(4)->Size(), 1);
}

TEST_F(ActionTest, TakingCardsForADropSpendsNothingYet)
{
    EditValues(*m_table, [&](TableValues& v) { v.level.vBonuses = {22}; });
    Actions().Arm(kActionTakeRun);
    PressFrame(1, 2);
    EXPECT_EQ(Actions().ArmedCode(), kActionNone);
    EXPECT_EQ(Actions().ChainCode(), kActionTakeRun);
    EXPECT_EQ(m_host.bonusUses, 0);
    EXPECT_TRUE(m_host.spent.empty());
    EXPECT_EQ(m_host.snapshots, 0);
}

TEST_F(ActionTest, TheDeckActionActsInTheFirstFrameWithoutAPress)
{
    EditValues(*m_table, [&](TableValues& v) { v.level.vBonuses = {3, 24}; });
    Actions().Arm(kActionExtraDeckPass);
    m_table->Update(0.016f);
    EXPECT_EQ(Actions().ArmedCode(), kActionNone);
    EXPECT_EQ(m_host.spent, std::vector<int>{1});
    EXPECT_EQ(Place(5)->click_empty_limit, 1);
}

TEST_F(ActionTest, NoArmedActionActsWhileTheControllerIsBusyOrAPeekShows)
{
    Actions().Arm(kActionExtraDeckPass);
    m_host.busy = true;
    m_table->Update(0.016f);
    EXPECT_EQ(Actions().ArmedCode(), kActionExtraDeckPass);
    m_host.busy = false;
    Place(0)->ttl = 2.0f;  // a place with a running lifetime
    m_table->Update(0.016f);
    EXPECT_EQ(Actions().ArmedCode(), kActionExtraDeckPass);
    EXPECT_EQ(Place(5)->click_empty_limit, 0);
}
