// TablePlayTest.cpp: scripted clicks and drops, the win test, hints, no-more-moves and flights.
#include "TableTestSupport.h"

#include "table/CAutoFinisher.h"
#include "table/CCardFlight.h"

using namespace tabletest;

namespace {
class PlayTest : public ::testing::Test {
protected:
    void SetUp() override { WriteAllLevels(m_fake.Get()); }

    // A bare table whose places a test fills; every place a column of the given type.
    std::unique_ptr<CCardTable> Bare(int places, int type)
    {
        WriteBare(m_fake.Get(), places);
        auto table = std::make_unique<CCardTable>(kBare, kModeStory, &m_host);
        EXPECT_TRUE(table->LoadLevel());
        table->SetCardSize(70, 100);
        for (int i = 0; i < places; ++i) {
            table->GetPlace(i)->type = type;
            table->GetPlace(i)->pick_req = {{PickCode::kTopCard, 0, 0, 0}};
            table->GetPlace(i)->drop_req = {{DropCode::kOneLower, 0, 0, 0}};
        }
        m_deck.Reset();
        return table;
    }

    ScopedFakeEngine m_fake;
    RecordingHost m_host;
    CDeck m_deck;
};
}  // namespace

TEST_F(PlayTest, KlondikeStockDealsThenGathersBackFaceDown)
{
    DealtTable t(m_fake.Get(), kKlondike, 11, &m_host);
    CPlace* stock = t.table.GetPlace(0);
    CPlace* waste = t.table.GetPlace(1);
    const CCard* top = stock->pile.back();
    t.table.ClickPlace(0, stock->TopIndex(), false);
    Settle(t.table);
    ASSERT_EQ(waste->Size(), 1);
    EXPECT_EQ(waste->pile.back(), top);
    EXPECT_TRUE(top->IsFaceUp());
    EXPECT_EQ(m_host.snapshots, 1);
    while (stock->Size() > 0) {
        t.table.ClickPlace(0, stock->TopIndex(), false);
        Settle(t.table);
    }
    EXPECT_EQ(waste->Size(), 24);
    t.table.ClickPlace(0, -1, false);
    Settle(t.table);
    EXPECT_EQ(stock->Size(), 24);
    EXPECT_EQ(waste->Size(), 0);
    EXPECT_EQ(stock->pile.back(), top);  // the first card dealt is on top again
    for (const CCard* c : stock->pile)
        EXPECT_FALSE(c->IsFaceUp());
    EXPECT_EQ(stock->click_empty_limit, -2);  // a negative limit never reaches 0
    EXPECT_TRUE(EveryCardOnce(t.table, t.deck));
}

TEST_F(PlayTest, EmptyStockClicksUseUpOnlyRedealsThatGatherCards)
{
    DealtTable t(m_fake.Get(), kKlondike, 12, &m_host);
    CPlace* stock = t.table.GetPlace(0);
    stock->click_empty_limit = 1;
    t.table.ClickPlace(0, -1, false);  // stock full, waste empty: CanClick is not asked for -1 but nothing gathers
    EXPECT_EQ(stock->click_empty_limit, 1);
    while (stock->Size() > 0) {
        t.table.ClickPlace(0, stock->TopIndex(), false);
        Settle(t.table);
    }
    t.table.ClickPlace(0, -1, false);
    Settle(t.table);
    EXPECT_EQ(stock->click_empty_limit, 0);
    t.table.ClickPlace(0, stock->TopIndex(), false);
    Settle(t.table);
    t.table.ClickPlace(0, -1, false);
    Settle(t.table);
    EXPECT_EQ(m_host.helpHints, 1);
    EXPECT_EQ(t.table.GetPlace(1)->Size(), 1);  // no limit left: the waste card stays
}

TEST_F(PlayTest, ClickKindsDealAsTheirCodesSay)
{
    // Spider: one card to every column; Golf: the top card to the discard place.
    DealtTable spider(m_fake.Get(), kSpider, 13, &m_host);
    std::vector<int> before;
    for (int c = 0; c < 10; ++c)
        before.push_back(spider.table.GetPlace(c)->Size());
    spider.table.ClickPlace(10, spider.table.GetPlace(10)->TopIndex(), false);
    Settle(spider.table);
    for (int c = 0; c < 10; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(spider.table.GetPlace(c)->Size(), before[static_cast<std::size_t>(c)] + 1);
        EXPECT_TRUE(spider.table.GetPlace(c)->pile.back()->IsFaceUp());
    }
    EXPECT_EQ(spider.table.GetPlace(10)->Size(), 40);

    DealtTable golf(m_fake.Get(), kGolf, 14, &m_host);
    const CCard* top = golf.table.GetPlace(7)->pile.back();
    golf.table.ClickPlace(7, golf.table.GetPlace(7)->TopIndex(), false);
    Settle(golf.table);
    EXPECT_EQ(golf.table.GetPlace(8)->pile.back(), top);
    EXPECT_TRUE(top->IsFaceUp());
    EXPECT_TRUE(EveryCardOnce(golf.table, golf.deck));
}

TEST_F(PlayTest, DealOfThreeGivesMultipliersAndSilencesTheFirstTwo)
{
    auto table = Bare(2, kPlacePop);
    CPlace* stock = table->GetPlace(0);
    stock->type = kPlaceDeck;
    stock->click_card = {{ClickCardCode::kDealThree, 0, 0, 0}};
    CCard* a = Lay(m_deck, stock, 1, 0, false);
    CCard* b = Lay(m_deck, stock, 2, 0, false);
    table->ClickPlace(0, 1, false);
    EXPECT_FLOAT_EQ(b->Multiplier, 1.0f);
    EXPECT_FLOAT_EQ(a->Multiplier, 1.1f);
    EXPECT_FALSE(a->GetSoundEnabled());
    EXPECT_FALSE(b->GetSoundEnabled());
    Settle(*table);
    EXPECT_EQ(table->GetPlace(1)->Size(), 2);
    EXPECT_TRUE(a->GetSoundEnabled());  // the silent first landing switches the sound back on
}

TEST_F(PlayTest, ClicksDoNothingWhileTheHandHoldsCards)
{
    DealtTable t(m_fake.Get(), kKlondike, 15, &m_host);
    Lay(t.deck, t.table.HandPlace(), 0, 0);
    t.table.HandPlace()->pile.back()->SetFaceUp(1.0f);
    const int stockSize = t.table.GetPlace(0)->Size();
    t.table.ClickPlace(0, stockSize - 1, false);
    EXPECT_EQ(t.table.GetPlace(0)->Size(), stockSize);
    EXPECT_FALSE(t.table.IsFlying());
}

TEST_F(PlayTest, ScriptedDropsFollowTheRulesAndTurnTheUncoveredCard)
{
    auto table = Bare(3, kPlaceColumn);
    for (int i = 0; i < 3; ++i) {
        CPlace* p = table->GetPlace(i);
        p->drop_req = {
            {DropCode::kOtherColour, 0, 0, 0}, {DropCode::kOneLower, 0, 0, 0}, {DropCode::kTopFaceUp, 0, 0, 0}};
        p->pick_req = {{PickCode::kFaceUp, 0, 0, 0}, {PickCode::kSortedRun, 0, 0, 0}};
        p->sort_req = {{SortCode::kAlternateColours, 0, 0, 0}, {SortCode::kFalling, 0, 0, 0}};
        p->click_req = {{ClickCode::kFaceDown, 0, 0, 0}, {ClickCode::kTopCard, 0, 0, 0}};
        p->click_card = {{ClickCardCode::kTurnUp, 0, 0, 0}};
        p->empty_drop_req = {{EmptyDropCode::kRank, 12, 0, 0}};
    }
    Lay(m_deck, table->GetPlace(0), 12, 0);            // king of a black suit
    CCard* hidden = Lay(m_deck, table->GetPlace(1), 3, 1, false);
    Lay(m_deck, table->GetPlace(1), 11, 2);            // red queen
    Lay(m_deck, table->GetPlace(1), 10, 0);            // black jack
    EXPECT_FALSE(Drag(*table, 1, 2, 0));               // a jack on a king is refused
    EXPECT_TRUE(Drag(*table, 1, 1, 0));                // queen and jack on the king
    EXPECT_EQ(table->GetPlace(0)->Size(), 3);
    EXPECT_TRUE(hidden->IsFaceUp());                   // automatic turning uncovered it
    EXPECT_TRUE(Drag(*table, 0, 0, 2));                // the whole run to the empty column: kings only
    EXPECT_EQ(table->GetPlace(2)->Size(), 3);
    EXPECT_FALSE(Drag(*table, 1, 0, 0));               // a four on an empty place that wants a king
}

TEST_F(PlayTest, PyramidAcceptsPairsOfThirteenOnUncoveredCardsOnly)
{
    DealtTable t(m_fake.Get(), kPyramid, 16, &m_host);
    CMoveFinder& finder = *t.table.GetMoveFinder();
    EXPECT_FALSE(finder.CanPick(0, 0));   // the apex is covered
    EXPECT_TRUE(finder.CanPick(21, 0));   // the bottom row is free
    // Find a free pair adding up to 13 among the bottom row and play it.
    for (int a = 21; a < 28; ++a) {
        for (int b = 21; b < 28; ++b) {
            const CCard* ca = t.table.GetPlace(a)->pile.back();
            const CCard* cb = t.table.GetPlace(b)->pile.back();
            if (a == b || ca->Rank + cb->Rank + 2 != 13)
                continue;
            EXPECT_TRUE(Drag(t.table, a, 0, b));
            EXPECT_EQ(t.table.GetPlace(b)->Size(), 2);
            EXPECT_EQ(t.table.GetPlace(a)->Size(), 0);
            return;
        }
    }
}

TEST_F(PlayTest, FreeCellRunsAreLimitedByEmptyCells)
{
    DealtTable t(m_fake.Get(), kFreeCell, 17, &m_host);
    CPlace* column = t.table.GetPlace(8);
    column->pile.clear();
    CPlace* other = t.table.GetPlace(9);
    other->pile.clear();
    for (int i = 0; i < 4; ++i)
        t.table.GetPlace(i)->pile.clear();
    CDeck spare;
    spare.Reset();
    for (int r = 12, s = 0; r >= 7; --r, s ^= 2)
        Lay(spare, column, r, s);  // a run of six alternating colours
    EXPECT_TRUE(t.table.GetMoveFinder()->CanPick(8, 1));   // 5 cards with 4 free cells
    EXPECT_FALSE(t.table.GetMoveFinder()->CanPick(8, 0));  // 6 cards do not fit
    Lay(spare, t.table.GetPlace(0), 1, 1);
    EXPECT_FALSE(t.table.GetMoveFinder()->CanPick(8, 1));
}

TEST_F(PlayTest, AFullHouseTableWinsAndTheHostHearsItOnce)
{
    DealtTable t(m_fake.Get(), kKlondike, 18, &m_host);
    for (int p = 0; p < t.table.PlaceCount(); ++p)
        t.table.GetPlace(p)->pile.clear();
    for (int s = 0; s < 4; ++s)
        for (int r = 0; r < 13; ++r)
            t.table.GetPlace(2 + s)->pile.push_back(t.deck.GetCard(static_cast<std::size_t>(s * 13 + r)));
    t.table.Update(0.02f);
    EXPECT_TRUE(t.table.IsWon());
    t.table.Update(0.02f);
    EXPECT_EQ(m_host.wins, 1);
}

TEST_F(PlayTest, NoWinWhileCardsFlyOrTheHandHolds)
{
    auto table = Bare(2, kPlaceColumn);
    Lay(m_deck, table->GetPlace(0), 3, 0);
    table->GetPlace(0)->MoveCard(0, table->GetPlace(1), CardMove::Up(0.5f).After(kAtOnce));
    table->CheckLevelComplete();
    EXPECT_FALSE(table->IsWon());
    Settle(*table);
    Lay(m_deck, table->HandPlace(), 4, 0);
    table->CheckLevelComplete();
    EXPECT_FALSE(table->IsWon());
    table->HandPlace()->pile.clear();
    table->CheckLevelComplete();
    EXPECT_TRUE(table->IsWon());
}

TEST_F(PlayTest, HintsCycleThroughTheListAfterTheLastHint)
{
    auto table = Bare(6, kPlaceSideColumn);  // side columns keep the list in finding order
    for (int i = 0; i < 6; i += 2) {
        Lay(m_deck, table->GetPlace(i), 2 * i, 0);
        Lay(m_deck, table->GetPlace(i + 1), 2 * i + 1, 1);
    }
    CMoveFinder& finder = *table->GetMoveFinder();
    table->RequestMoveSearch();
    ASSERT_TRUE(finder.Refresh());
    ASSERT_EQ(finder.Moves().size(), 3u);
    EXPECT_EQ(finder.GetHintIndex(), 0);
    std::vector<int> sources;
    for (int i = 0; i < 4; ++i) {
        MoveRecord move;
        ASSERT_TRUE(finder.NextHint(move));
        sources.push_back(move.fromPlace);
    }
    EXPECT_EQ(sources, (std::vector<int>{2, 4, 0, 2}));
}

TEST_F(PlayTest, HintsOfferDragsBeforeClicksAndColumnsFirst)
{
    DealtTable t(m_fake.Get(), kKlondike, 19, &m_host);
    CMoveFinder& finder = *t.table.GetMoveFinder();
    t.table.RequestMoveSearch();
    ASSERT_TRUE(finder.Refresh());
    bool seenClick = false;
    for (const MoveRecord& m : finder.Moves()) {
        if (m.kind == kMoveClick)
            seenClick = true;
        else
            EXPECT_FALSE(seenClick) << "a drag after a click";
    }
    EXPECT_TRUE(seenClick);  // the stock deal is always there
}

TEST_F(PlayTest, HintOrderTakesTheLastMatchOfEachSelectionPass)
{
    // Found in the order: drag 0->1, click 0, drag 1->2, click 1, click 2, click 3 (places 1 and 3
    // are columns). The first pass pulls clicks of non-columns forward, the last match first; the
    // second pulls column drags to the front and drags before clicks.
    auto table = Bare(4, kPlaceSideColumn);
    table->GetPlace(1)->type = kPlaceColumn;
    table->GetPlace(3)->type = kPlaceColumn;
    const int ranks[] = {5, 6, 7, 9};
    for (int i = 0; i < 4; ++i) {
        Lay(m_deck, table->GetPlace(i), ranks[i], 0);
        table->GetPlace(i)->click_req = {{ClickCode::kTopCard, 0, 0, 0}};
        table->GetPlace(i)->click_card = {{ClickCardCode::kTurnUp, 0, 0, 0}};
    }
    CMoveFinder& finder = *table->GetMoveFinder();
    table->RequestMoveSearch();
    ASSERT_TRUE(finder.Refresh());
    struct Want { int kind, from, to; };
    const Want want[] = {{kMoveDrag, 1, 2}, {kMoveDrag, 0, 1}, {kMoveClick, 2, 2},
                         {kMoveClick, 0, 0}, {kMoveClick, 1, 1}, {kMoveClick, 3, 3}};
    ASSERT_EQ(finder.Moves().size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const MoveRecord& m = finder.Moves()[i];
        EXPECT_EQ(m.kind, want[i].kind);
        EXPECT_EQ(m.fromPlace, want[i].from);
        EXPECT_EQ(m.toPlace, want[i].to);
        EXPECT_EQ(m.fromCard, 0);
        EXPECT_EQ(m.toCard, 0);
    }
}

TEST_F(PlayTest, HintsNeverNameAPlaceThatExpiredWhileCardsFly)
{
    auto table = Bare(3, kPlaceSideColumn);
    for (int i = 0; i < 3; ++i)
        Lay(m_deck, table->GetPlace(i), 5 + i, 0);
    CMoveFinder& finder = *table->GetMoveFinder();
    table->RequestMoveSearch();
    ASSERT_TRUE(finder.Refresh());
    ASSERT_EQ(finder.Moves().size(), 2u);  // 5 onto 6 and 6 onto 7
    // A long flight keeps the list from being rebuilt while the last place expires.
    table->GetPlace(0)->MoveCard(0, table->GetPlace(0), CardMove::Up(5.0f).After(kAtOnce).Into(0).JoiningAtOnce());
    table->GetPlace(2)->ttl = 0.0f;
    table->Update(0.01f);
    ASSERT_EQ(table->PlaceCount(), 2);
    ASSERT_TRUE(table->IsFlying());
    for (int i = 0; i < 4; ++i) {
        MoveRecord move;
        ASSERT_TRUE(finder.NextHint(move));
        EXPECT_LT(move.toPlace, table->PlaceCount());
        EXPECT_LT(move.fromPlace, table->PlaceCount());
    }
    Settle(*table);
    MoveRecord move;
    ASSERT_TRUE(finder.NextHint(move));
    EXPECT_EQ(finder.Moves().size(), 1u);
}

TEST_F(PlayTest, AHintNeverUndoesTheLastMove)
{
    auto table = Bare(3, kPlaceSideColumn);
    for (int i = 0; i < 3; ++i) {
        table->GetPlace(i)->drop_req = {{DropCode::kOneApart, 0, 0, 0}};
        table->GetPlace(i)->empty_drop_req = {{9, 0, 0, 0}};
    }
    Lay(m_deck, table->GetPlace(0), 5, 0);
    Lay(m_deck, table->GetPlace(1), 6, 0);
    Lay(m_deck, table->GetPlace(1), 5, 1);
    ASSERT_TRUE(Drag(*table, 1, 1, 2));  // the five goes to the empty place
    MoveRecord move;
    CMoveFinder& finder = *table->GetMoveFinder();
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(finder.NextHint(move));
        EXPECT_FALSE(move.fromPlace == 2 && move.toPlace == 1) << "the hint takes the card straight back";
    }
}

TEST_F(PlayTest, OnlyDealingLeftIsNoMoveButNotTheEnd)
{
    DealtTable t(m_fake.Get(), kGolf, 20, &m_host);
    for (int c = 0; c < 7; ++c)
        t.table.GetPlace(c)->pile.clear();
    t.table.RequestMoveSearch();
    MoveRecord move;
    CMoveFinder& finder = *t.table.GetMoveFinder();
    ASSERT_TRUE(finder.NextHint(move));
    EXPECT_EQ(move.kind, kMoveClick);
    EXPECT_EQ(move.fromPlace, 7);
    EXPECT_FALSE(finder.AnyMove());
    EXPECT_FALSE(finder.NoMoreMoves());
    t.table.GetPlace(7)->pile.clear();
    t.table.RequestMoveSearch();
    EXPECT_TRUE(finder.NoMoreMoves());
}

TEST_F(PlayTest, AnEmptyStockWithRedealsLeftCanStillHelp)
{
    DealtTable t(m_fake.Get(), kKlondike, 21, &m_host);
    for (int p = 0; p < t.table.PlaceCount(); ++p)
        t.table.GetPlace(p)->pile.clear();
    CDeck spare;
    spare.Reset();
    Lay(spare, t.table.GetPlace(1), 0, 2);           // an ace on the waste: playable only after a redeal? no: playable now
    Lay(spare, t.table.GetPlace(1), 9, 1);           // covered by a ten that goes nowhere
    Lay(spare, t.table.GetPlace(6), 5, 0, false);    // a face-down column card that cannot move
    t.table.GetPlace(6)->click_card.clear();
    t.table.GetPlace(0)->click_empty_limit = 2;
    CMoveFinder& finder = *t.table.GetMoveFinder();
    t.table.RequestMoveSearch();
    EXPECT_FALSE(finder.NoMoreMoves());
    EXPECT_TRUE(finder.HasStockHelp());
    t.table.GetPlace(0)->click_empty_limit = 0;
    t.table.RequestMoveSearch();
    EXPECT_TRUE(finder.NoMoreMoves());
}

TEST_F(PlayTest, NoMoreMovesDialogFollowsTheLevelsExceptions)
{
    struct Case { const char* name; const char* rule; bool useless; int dialogs; };
    const Case cases[] = {
        {"Klondike", "", false, 1},
        {"Klondike", "Cruel", false, 0},
        {"Spider Easy", "", true, 0},
        {"Spider Black", "", false, 1},
        {"Spider Tarantula", "", true, 0},
        {"Golf", "", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.rule);
        m_host.dialogs.clear();
        auto table = Bare(3, kPlaceColumn);
        EditValues(*table, [&](TableValues& v) { v.level.sName = c.name; });
        table->GetPlace(2)->help_script = c.rule;
        table->GetPlace(2)->win_cond = {{WinCode::kHolds, 99, 0, 0}};  // never won, so the test runs
        if (c.useless) {
            // A five lying legally on a six, and another six elsewhere: a mere shuffle.
            Lay(m_deck, table->GetPlace(0), 5, 0);
            Lay(m_deck, table->GetPlace(0), 4, 0);
            Lay(m_deck, table->GetPlace(1), 5, 1);
        } else {
            Lay(m_deck, table->GetPlace(0), 9, 0);
            Lay(m_deck, table->GetPlace(1), 2, 1);
        }
        table->Update(0.02f);
        EXPECT_EQ(static_cast<int>(m_host.dialogs.size()), c.dialogs);
        EXPECT_EQ(table->GetMoveFinder()->HasUselessMoves(), c.useless);
    }
}

TEST_F(PlayTest, EveryFlightLandsWhateverItsTimeAndDelay)
{
    struct Case { float time, delay; };
    const Case cases[] = {{0, 0}, {0, 0.5f}, {0.3f, 0}, {0.3f, 0.2f}, {-1.0f, 0}, {-1.0f, 0.1f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.time) + " / " + std::to_string(c.delay));
        for (bool transfer : {false, true}) {
            auto table = Bare(2, kPlaceColumn);
            Lay(m_deck, table->GetPlace(0), 3, 0);
            table->GetPlace(0)->MoveCard(0, table->GetPlace(1),
                                         CardMove::Up(c.time).After(c.delay).JoiningAtOnce(transfer));
            Settle(*table, 100);
            EXPECT_FALSE(table->IsFlying());
            ASSERT_EQ(table->GetPlace(1)->Size(), 1);
            EXPECT_FALSE(table->GetPlace(1)->pile[0]->InFly);
            EXPECT_EQ(table->GetPlace(0)->Size(), 0);
        }
    }
}

TEST_F(PlayTest, ANegativeFlightTimeIsSecondsPer800Pixels)
{
    auto table = Bare(2, kPlaceSideColumn);
    table->GetPlace(0)->x = 100;
    table->GetPlace(1)->x = 500;
    table->GetPlace(0)->y = table->GetPlace(1)->y = 200;
    CCard* card = Lay(m_deck, table->GetPlace(0), 3, 0);
    card->RenderX = 100;
    card->RenderY = 200;
    CCardFlight* flight = table->GetPlace(0)->MoveCard(0, table->GetPlace(1), CardMove::Up(-1.0f));
    ASSERT_NE(flight, nullptr);
    EXPECT_NEAR(flight->duration, 0.5001f, 1e-4);
}

TEST_F(PlayTest, TwoCardsFlyingToOnePileGetConsecutiveSlots)
{
    auto table = Bare(2, kPlaceColumn);
    EditValues(*table, [&](TableValues& v) { v.level.nVOffsetVisible = 20; });
    table->GetPlace(1)->v_offset = 1.0f;
    Lay(m_deck, table->GetPlace(0), 3, 0);
    Lay(m_deck, table->GetPlace(0), 4, 0);
    CCardFlight* first = table->GetPlace(0)->MoveCard(-1, table->GetPlace(1), CardMove::Up(0.3f));
    CCardFlight* second = table->GetPlace(0)->MoveCard(-1, table->GetPlace(1), CardMove::Up(0.3f));
    EXPECT_EQ(second->toY - first->toY, 20);
}

TEST_F(PlayTest, KlondikeFinishesByItselfOnceEveryColumnIsOpenAndInOrder)
{
    DealtTable t(m_fake.Get(), kKlondike, 22, &m_host);
    for (int p = 0; p < t.table.PlaceCount(); ++p)
        t.table.GetPlace(p)->pile.clear();
    // Each suit's king..ace run, colours alternating, spread over four columns.
    for (int s = 0; s < 4; ++s) {
        for (int r = 12; r >= 0; --r) {
            const int suit = (r % 2 == 0) ? s : (s ^ 2);
            CCard* card = t.deck.TakeCard(r, suit);
            if (card == nullptr)
                card = t.deck.AddCard(r, suit);
            card->SetFaceUp(1.0f);
            t.table.GetPlace(6 + s)->pile.push_back(card);
        }
    }
    for (int frame = 0; frame < 2000 && !t.table.IsWon(); ++frame)
        t.table.Update(0.05f);
    EXPECT_TRUE(t.table.IsWon());
    EXPECT_TRUE(t.table.GetAutoFinisher()->IsRunning());
    EXPECT_EQ(m_host.score, 52 * t.table.Scores().m_nScorePlaceToHouse);
}

TEST_F(PlayTest, DumpsAreNumberedAndListFlightsHandAndPlaces)
{
    auto table = Bare(1, kPlaceColumn);
    m_fake->logLines.clear();
    table->DumpCards();
    table->DumpCards();
    std::vector<std::string> heads, ends;
    for (std::size_t i = 0; i < m_fake->logLines.size(); ++i) {
        const std::string& l = m_fake->logLines[i];
        if (l.rfind("\n### CARDS DUMP ", 0) == 0)
            heads.push_back(l.substr(16));
        if (l.rfind("### END DUMP ", 0) == 0)
            ends.push_back(l.substr(13, l.size() - 14));
        if (l == "--- MoveCard vector") {
            EXPECT_EQ(m_fake->logLines[i + 1], "\n--- Mouse Place");
        }
    }
    ASSERT_EQ(heads.size(), 2u);
    EXPECT_EQ(heads, ends);
    EXPECT_EQ(std::stoi(heads[1]), std::stoi(heads[0]) + 1);
}
