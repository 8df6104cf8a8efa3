// DragDropTest.cpp: the mouse on the card table: picks, drags, drops accepted and refused, clicks,
// double and right clicks that send a card home, and the geometric queries behind them.
#include "TableTestSupport.h"

#include "framework/CFMouse.h"
#include "framework/ScriptedMouse.h"
#include "table/CCardFlight.h"
#include "table/CTableMouse.h"

using namespace tabletest;

namespace {
constexpr float kFrame = 1.0f / 60.0f;

class GlowHost : public RecordingHost {
public:
    void GlowRulesButton(int kind, float seconds) override
    {
        ++glows;
        lastGlowKind = kind;
        lastGlowSeconds = seconds;
    }
    void SpendBonusSlot(int slot) override { spent.push_back(slot); }
    void OnTakenCardsDropped() override { ++takenDropped; }
    void SpawnPickSparkles(int, int, int, int, float, int count, bool left, bool, bool, bool bottom, int tag) override
    {
        sparkles.push_back({tag, count, left ? 1 : 0, bottom ? 1 : 0});
    }
    std::vector<std::vector<int>> sparkles;  // tag, count, left side, bottom side
    int glows = 0, lastGlowKind = 0;
    float lastGlowSeconds = 0;
    std::vector<int> spent;
    int takenDropped = 0;
};

// Places of the bare level lie at x = 60 + 90 i, y = 200; cards are 70 x 100 and a fan steps 20
// pixels down per face-up card.
class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override { WriteAllLevels(m_fake.Get()); }

    // Columns of type 3: face-up runs may be picked and dropped one rank lower, a king on an empty
    // column; the houses given take an ace on empty, then the same suit one rank up.
    CCardTable& Columns(int places, std::initializer_list<int> houses = {})
    {
        WriteBare(m_fake.Get(), places);
        m_table = std::make_unique<CCardTable>(kBare, kModeStory, &m_host);
        EXPECT_TRUE(m_table->LoadLevel());
        m_table->SetCardSize(70, 100);
        for (int i = 0; i < places; ++i) {
            CPlace* p = m_table->GetPlace(i);
            p->type = kPlaceColumn;
            p->v_offset = 1.0f;
            p->visible = true;
            p->pick_req = {{PickCode::kFaceUp, 0, 0, 0}};
            p->drop_req = {{DropCode::kOneLower, 0, 0, 0}};
            p->empty_drop_req = {{EmptyDropCode::kRank, 12, 0, 0}};
        }
        for (int h : houses) {
            CPlace* p = m_table->GetPlace(h);
            p->type = kPlaceHouse;
            p->v_offset = 0.0f;
            p->pick_req = {{PickCode::kTopCard, 0, 0, 0}};
            p->drop_req = {{DropCode::kSameSuit, 0, 0, 0}, {DropCode::kOneHigher, 0, 0, 0}};
            p->empty_drop_req = {{EmptyDropCode::kRank, 0, 0, 0}};
        }
        m_deck.Reset();
        return *m_table;
    }

    static float PlaceX(int i) { return 60.0f + 90.0f * i; }

    // One frame of the game: the mouse first, then the table.
    void Frame(float x, float y, ScriptedMouse::EAction action = ScriptedMouse::kMove, int button = 1)
    {
        m_script.Frame(x, y, action, button, kFrame);
        m_table->Update(kFrame);
        m_x = x;
        m_y = y;
    }
    void Idle(int frames)
    {
        for (int i = 0; i < frames; ++i)
            Frame(m_x, m_y);
    }
    // Frames until nothing flies and the fans have eased into place.
    void Rest()
    {
        for (int i = 0; i < 600 && m_table->IsFlying(); ++i)
            Idle(1);
        EXPECT_FALSE(m_table->IsFlying());
        Idle(60);
    }
    void DragTo(float fromX, float fromY, float toX, float toY)
    {
        Frame(fromX, fromY, ScriptedMouse::kPress);
        for (int i = 1; i <= 10; ++i)
            Frame(fromX + (toX - fromX) * i / 10.0f, fromY + (toY - fromY) * i / 10.0f);
        Idle(20);  // past the double-click window: a plain release
        Frame(toX, toY, ScriptedMouse::kRelease);
    }

    std::vector<int> Ranks(int place) const
    {
        std::vector<int> ranks;
        for (const CCard* c : m_table->GetPlace(place)->pile)
            ranks.push_back(c->Rank);
        return ranks;
    }

    ScopedFakeEngine m_fake;
    CFMouse m_mouse;
    ScriptedMouse m_script{m_fake.Get(), m_mouse};
    GlowHost m_host;
    CDeck m_deck;
    std::unique_ptr<CCardTable> m_table;
    float m_x = 400, m_y = 500;
};
}  // namespace

TEST_F(DragDropTest, PressLiftsThePressedCardAndEveryCardAboveItIntoTheHand)
{
    CCardTable& t = Columns(3);
    Lay(m_deck, t.GetPlace(0), 12, 0);
    Lay(m_deck, t.GetPlace(0), 11, 2);
    Lay(m_deck, t.GetPlace(0), 10, 0);
    Rest();
    Frame(PlaceX(0), 180, ScriptedMouse::kPress);  // the visible strip of the queen
    ASSERT_TRUE(t.IsHolding());
    EXPECT_EQ(t.GetCursorHand()->srcPlace, t.GetPlace(0));
    EXPECT_EQ(Ranks(0), (std::vector<int>{12}));
    ASSERT_EQ(t.HandPlace()->Size(), 2);
    EXPECT_EQ(t.HandPlace()->pile[0]->Rank, 11);
    EXPECT_EQ(t.HandPlace()->pile[1]->Rank, 10);
    // The grip: the queen's centre lay 40 pixels below the pressed point.
    EXPECT_EQ(t.HandPlace()->x_offset, 0);
    EXPECT_EQ(t.HandPlace()->y_offset, 40);
    // Sparkles around the bottom card (its bottom side too: it was not the source's top card) and
    // around the second, which was the source's top card.
    EXPECT_EQ(m_host.sparkles, (std::vector<std::vector<int>>{{0, 16, 1, 0}, {1, 12, 0, 1}}));
}

TEST_F(DragDropTest, AcceptedDropMovesTheRunTakesOneSnapshotAndRecordsTheMove)
{
    CCardTable& t = Columns(3);
    Lay(m_deck, t.GetPlace(0), 5, 0);
    Lay(m_deck, t.GetPlace(0), 11, 2);
    Lay(m_deck, t.GetPlace(0), 10, 0);
    Lay(m_deck, t.GetPlace(1), 12, 1);
    Rest();
    DragTo(PlaceX(0), 180, PlaceX(1), 160);  // the queen's centre lands on the king's centre
    Rest();
    EXPECT_EQ(Ranks(0), (std::vector<int>{5}));
    EXPECT_EQ(Ranks(1), (std::vector<int>{12, 11, 10}));
    EXPECT_FALSE(t.IsHolding());
    EXPECT_EQ(m_host.snapshots, 1);
    EXPECT_EQ(m_host.glows, 0);
    ASSERT_EQ(m_host.RecordedMoves(), 1);
    EXPECT_EQ(m_host.moves[0][0], 0);
    EXPECT_EQ(m_host.moves[0][1], 1);
    EXPECT_TRUE(EveryCardOnceOrInDeck(t, m_deck));
}

TEST_F(DragDropTest, AKingGoesOntoAnEmptyColumn)
{
    CCardTable& t = Columns(3);
    Lay(m_deck, t.GetPlace(0), 3, 0);
    Lay(m_deck, t.GetPlace(0), 12, 2);
    Rest();
    DragTo(PlaceX(0), 230, PlaceX(2), 190);
    Rest();
    EXPECT_EQ(Ranks(2), (std::vector<int>{12}));
    EXPECT_EQ(m_host.snapshots, 1);
}

TEST_F(DragDropTest, RefusedOrMissedDropsFlyTheCardsBackInTheirOrder)
{
    struct Case {
        const char* name;
        float toX, toY;
        int glows;  // the rules button lights for a drop on another place only
    };
    const Case cases[] = {
        {"onto a card that refuses them", PlaceX(1), 160, 1},
        {"onto no place at all", 700, 520, 0},
        {"back onto their own place", PlaceX(0), 200, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_host = GlowHost();
        CCardTable& t = Columns(3);
        Lay(m_deck, t.GetPlace(0), 12, 0);
        Lay(m_deck, t.GetPlace(0), 11, 2);
        Lay(m_deck, t.GetPlace(0), 10, 0);
        Lay(m_deck, t.GetPlace(1), 4, 1);
        Rest();
        DragTo(PlaceX(0), 180, c.toX, c.toY);
        Rest();
        EXPECT_EQ(Ranks(0), (std::vector<int>{12, 11, 10}));
        EXPECT_EQ(Ranks(1), (std::vector<int>{4}));
        EXPECT_FALSE(t.IsHolding());
        EXPECT_EQ(m_host.snapshots, 0);
        EXPECT_EQ(m_host.RecordedMoves(), 0);
        EXPECT_EQ(m_host.glows, c.glows);
    }
}

TEST_F(DragDropTest, RefusedPickGlowsTheRulesOnlyForAFaceUpCard)
{
    struct Case {
        const char* name;
        bool faceUp;
        int glows;
    };
    const Case cases[] = {{"face-down card", false, 0}, {"face-up card", true, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_host = GlowHost();
        CCardTable& t = Columns(2);
        t.GetPlace(0)->pick_req = {{PickCode::kTopCard, 0, 0, 0}, {PickCode::kFaceUp, 0, 0, 0}};
        Lay(m_deck, t.GetPlace(0), 7, 0, c.faceUp);
        Lay(m_deck, t.GetPlace(0), 6, 0, true);
        Rest();
        Frame(PlaceX(0), 160, ScriptedMouse::kPress);  // the lower card's strip
        EXPECT_FALSE(t.IsHolding());
        EXPECT_EQ(m_host.glows, c.glows);
        if (c.glows > 0) {
            EXPECT_EQ(m_host.lastGlowKind, 1);
            EXPECT_FLOAT_EQ(m_host.lastGlowSeconds, 2.0f);
        }
        Frame(PlaceX(0), 160, ScriptedMouse::kRelease);
        Rest();
    }
}

// A right click, or a release over the card's own place within the double-click time, sends the
// top card to the first house that takes it.
TEST_F(DragDropTest, DoubleAndRightClicksSendTheTopCardToTheFirstHouseThatTakesIt)
{
    for (int way = 0; way < 2; ++way) {
        SCOPED_TRACE(way == 0 ? "right click" : "quick press and release");
        m_host = GlowHost();
        CCardTable& t = Columns(4, {2, 3});  // two empty houses: both take an ace
        Lay(m_deck, t.GetPlace(0), 9, 1);
        Lay(m_deck, t.GetPlace(0), 0, 3);
        Rest();
        if (way == 0) {
            Frame(PlaceX(0), 230, ScriptedMouse::kPress, 2);
            Frame(PlaceX(0), 230, ScriptedMouse::kRelease, 2);
        } else {
            Frame(PlaceX(0), 230, ScriptedMouse::kPress);
            Idle(3);
            Frame(PlaceX(0), 230, ScriptedMouse::kRelease);
            EXPECT_TRUE(t.GetMouse()->IsDoubleClickRequested());  // the cards went back; the next frame moves the ace
            Idle(1);
        }
        Rest();
        EXPECT_EQ(Ranks(0), (std::vector<int>{9}));
        EXPECT_EQ(Ranks(2), (std::vector<int>{0}));
        EXPECT_TRUE(Ranks(3).empty());
        EXPECT_EQ(m_host.snapshots, 1);
        EXPECT_EQ(m_host.RecordedMoves(), 1);
    }
}

TEST_F(DragDropTest, DoubleClickMovesNothingFromADeckAFaceDownCardOrBelowTheTop)
{
    struct Case {
        const char* name;
        int sourceType;
        bool topFaceUp;
        float y;  // where the right click lands on the column
    };
    const Case cases[] = {
        {"a lower card", kPlaceColumn, true, 160},
        {"a face-down top card", kPlaceColumn, false, 230},
        {"a card of the deck", kPlaceDeck, true, 230},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_host = GlowHost();
        CCardTable& t = Columns(3, {2});
        t.GetPlace(0)->type = c.sourceType;
        t.GetPlace(0)->pick_req = {};  // no pick rule: only the double click could move a card
        Lay(m_deck, t.GetPlace(0), 0, 1);
        Lay(m_deck, t.GetPlace(0), 0, 3, c.topFaceUp);
        Rest();
        Frame(PlaceX(0), c.y, ScriptedMouse::kPress, 2);
        Frame(PlaceX(0), c.y, ScriptedMouse::kRelease, 2);
        Rest();
        EXPECT_EQ(t.GetPlace(0)->Size(), 2);
        EXPECT_TRUE(Ranks(2).empty());
        EXPECT_EQ(m_host.snapshots, 0);
    }
}

TEST_F(DragDropTest, ADoubleClickWithoutAReleaseBeforeItIsLoggedAndTakenAsARelease)
{
    CCardTable& t = Columns(2);
    Lay(m_deck, t.GetPlace(0), 4, 0);
    Rest();
    t.GetMouse()->SetPendingDoubleClick(CFMouse::kEventPressed);
    t.GetMouse()->SetEvent(CFMouse::kEventDoubleClick);
    m_fake->logLines.clear();
    t.GetMouse()->HandleMouse();
    EXPECT_TRUE(m_fake->HasLogLine("[E] MOUSE_UP event leak detected!"));
    EXPECT_EQ(t.GetMouse()->Sample().m_nLastMouseEvent, CFMouse::kEventReleased);
    EXPECT_FALSE(t.GetMouse()->IsDoubleClickPending());
}

TEST_F(DragDropTest, AClickWithoutADragDealsFromTheStock)
{
    DealtTable d(m_fake.Get(), kKlondike, 5, &m_host);
    m_table.reset();
    CCardTable& t = d.table;
    const int stock = t.GetPlace(0)->Size();
    const int waste = t.GetPlace(1)->Size();
    for (int i = 0; i < 300 && t.IsFlying(); ++i) {
        m_script.Frame(400, 500, ScriptedMouse::kMove, 1, kFrame);
        t.Update(kFrame);
    }
    for (int i = 0; i < 60; ++i) {
        m_script.Frame(400, 500, ScriptedMouse::kMove, 1, kFrame);
        t.Update(kFrame);
    }
    m_script.Frame(60, 80, ScriptedMouse::kPress, 1, kFrame);
    t.Update(kFrame);
    EXPECT_FALSE(t.IsHolding());  // the face-down stock card cannot be picked, and nothing glows
    EXPECT_EQ(m_host.glows, 0);
    m_script.Frame(60, 80, ScriptedMouse::kRelease, 1, kFrame);
    t.Update(kFrame);
    for (int i = 0; i < 300 && t.IsFlying(); ++i) {
        m_script.Frame(60, 80, ScriptedMouse::kMove, 1, kFrame);
        t.Update(kFrame);
    }
    EXPECT_EQ(t.GetPlace(0)->Size(), stock - 1);
    EXPECT_EQ(t.GetPlace(1)->Size(), waste + 1);
}

TEST_F(DragDropTest, HitTestSearchOrderAndVisibility)
{
    CCardTable& t = Columns(3);
    // Places 1 and 2 lie on the same spot; 2 is drawn last.
    t.GetPlace(2)->x = t.GetPlace(1)->x;
    Rest();
    CTableMouse& mouse = *t.GetMouse();
    mouse.PointAt(PlaceX(1) + 10, 190);
    std::optional<PlaceHit> hit = mouse.HitTest(true);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->place, 2);
    EXPECT_EQ(hit->card, -1);
    EXPECT_EQ(hit->dx, -10);
    EXPECT_EQ(hit->dy, 10);
    hit = mouse.HitTest(false);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->place, 1);

    t.GetPlace(2)->visible = false;  // an invisible empty place is never hit
    hit = mouse.HitTest(true);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->place, 1);
    Lay(m_deck, t.GetPlace(2), 3, 0);  // but one that holds cards is
    Rest();
    mouse.PointAt(PlaceX(1) + 10, 190);
    hit = mouse.HitTest(true);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->place, 2);
    EXPECT_EQ(hit->card, 0);

    mouse.PointAt(400, 560);
    EXPECT_FALSE(mouse.HitTest(true));
}

TEST_F(DragDropTest, DropPlaceSearchCountsOnlyTheTopCardAndPrefersTheNearestAnchor)
{
    CCardTable& t = Columns(3);
    Lay(m_deck, t.GetPlace(0), 12, 0);
    for (int r = 11; r >= 6; --r)
        Lay(m_deck, t.GetPlace(0), r, r % 2 == 0 ? 0 : 2);  // a fan down to y = 320
    Lay(m_deck, t.GetPlace(1), 9, 1);
    Rest();
    CPlace* hand = t.HandPlace();
    Lay(m_deck, hand, 5, 3);  // a held card, gripped at its centre
    t.GetCursorHand()->srcPlace = t.GetPlace(2);
    hand->x_offset = 0;
    hand->y_offset = 0;
    const CTableMouse& mouse = *t.GetMouse();

    // Over the fan's upper cards, its top card out of reach of every corner: no place.
    hand->x = static_cast<int>(PlaceX(0));
    hand->y = 180;
    EXPECT_FALSE(mouse.FindDropPlace(false, true));
    // Over its top card (the six at y = 320): the fan, with the rules (a five on a six) or without.
    hand->y = 330;
    std::optional<PlaceHit> drop = mouse.FindDropPlace(true, true);
    ASSERT_TRUE(drop);
    EXPECT_EQ(drop->place, 0);
    EXPECT_EQ(drop->card, 6);

    // Between the two columns, touching both tops by a corner: the anchor nearer to the grip wins.
    hand->y = 200;
    hand->x = static_cast<int>(PlaceX(0)) + 50;
    t.GetPlace(0)->pile.resize(1);  // the king alone at the anchor
    t.GetPlace(0)->pile[0]->Rank = 12;
    Idle(60);
    hand->x = static_cast<int>(PlaceX(0)) + 40;
    hand->y = 200;
    drop = mouse.FindDropPlace(false, false);
    ASSERT_TRUE(drop);
    EXPECT_EQ(drop->place, 0);  // the first match when nearest is off
    hand->x = static_cast<int>(PlaceX(1)) - 30;
    drop = mouse.FindDropPlace(false, true);
    ASSERT_TRUE(drop);
    EXPECT_EQ(drop->place, 1);
    drop = mouse.FindDropPlace(false, false);
    ASSERT_TRUE(drop);
    EXPECT_EQ(drop->place, 0);
    hand->pile.clear();
}

// Cards taken by the take-cards bonus (22): placing them spends every button of that bonus;
// sending them back arms the bonus again.
TEST_F(DragDropTest, CardsOfTheTakeCardsBonusSpendItWhenPlacedAndReArmItWhenReturned)
{
    struct Case {
        const char* name;
        float toX, toY;
        bool placed;
    };
    const Case cases[] = {{"placed", PlaceX(1), 160, true}, {"returned", 700, 520, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_host = GlowHost();
        CCardTable& t = Columns(3);
        EditValues(t, [&](TableValues& v) { v.level.vBonuses = {5, 22, 7, 22, 9}; });
        Lay(m_deck, t.GetPlace(0), 11, 2);
        Lay(m_deck, t.GetPlace(1), 12, 1);
        Rest();
        t.GetSpecialActions()->Arm(kActionTakeRun);
        t.GetSpecialActions()->Arm(kActionNone);  // the take-run action took the cards and waits for their drop
        DragTo(PlaceX(0), 200, c.toX, c.toY);
        Rest();
        EXPECT_EQ(m_host.takenDropped, c.placed ? 1 : 0);
        EXPECT_EQ(m_host.spent, c.placed ? (std::vector<int>{1, 3}) : std::vector<int>{});
        EXPECT_EQ(t.GetSpecialActions()->ChainCode(), c.placed ? kActionNone : kActionTakeRun);
        EXPECT_EQ(t.GetSpecialActions()->ArmedCode(), c.placed ? kActionNone : kActionTakeRun);
    }
}

TEST_F(DragDropTest, HeldCardsLeanIntoTheMovementAndUpperCardsLag)
{
    CCardTable& t = Columns(3);
    Lay(m_deck, t.GetPlace(0), 12, 0);
    Lay(m_deck, t.GetPlace(0), 11, 2);
    Lay(m_deck, t.GetPlace(0), 10, 0);
    Rest();
    Frame(PlaceX(0), 160, ScriptedMouse::kPress);
    Rest();  // lifted, at rest in the hand
    const CCard* bottom = t.HandPlace()->pile[0];
    const CCard* top = t.HandPlace()->pile[2];
    Frame(PlaceX(0) + 60, 160);
    EXPECT_GT(bottom->RenderAngle_curr, 0.0f);  // moving right turns the cards clockwise
    EXPECT_GT(top->inert_time, bottom->inert_time);
    Frame(PlaceX(0) + 60, 160, ScriptedMouse::kRelease);
    Rest();
}

TEST_F(DragDropTest, RandomMouseInputNeverLosesOrDoublesACard)
{
    for (int level : {static_cast<int>(kKlondike), static_cast<int>(kFreeCell), static_cast<int>(kGolf)}) {
        SCOPED_TRACE(level);
        DealtTable d(m_fake.Get(), level, 77u + static_cast<unsigned>(level), &m_host);
        CCardTable& t = d.table;
        std::uint32_t state = 12345u + static_cast<unsigned>(level);
        auto next = [&state](int n) {
            state = state * 1664525u + 1013904223u;
            return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(n));
        };
        int held = 0;  // the button that is down, 0 none
        float x = 400, y = 300;
        for (int frame = 0; frame < 4000; ++frame) {
            x = std::min(799.0f, std::max(0.0f, x + static_cast<float>(next(81) - 40)));
            y = std::min(599.0f, std::max(0.0f, y + static_cast<float>(next(81) - 40)));
            const int roll = next(20);
            if (held == 0 && roll == 0) {
                held = next(10) == 0 ? 2 : 1;
                m_script.Frame(x, y, ScriptedMouse::kPress, held, kFrame);
            } else if (held != 0 && roll < 3) {
                m_script.Frame(x, y, ScriptedMouse::kRelease, held, kFrame);
                held = 0;
            } else {
                m_script.Frame(x, y, ScriptedMouse::kMove, 1, kFrame);
            }
            t.Update(kFrame);
        }
        m_fake->heldKeys.clear();
        for (int i = 0; i < 600; ++i) {
            m_script.Frame(x, y, ScriptedMouse::kMove, 1, kFrame);
            t.Update(kFrame);
        }
        EXPECT_FALSE(t.IsFlying());
        EXPECT_FALSE(t.IsHolding());
        EXPECT_TRUE(EveryCardOnce(t, d.deck));
    }
    EXPECT_GT(m_host.RecordedMoves(), 0);  // the mouse did move cards, not only miss them
}
