// CCardTest.cpp: the card's face, eased pose and ghost timer, and the deck's draws.
#include "solvers/FakeEngine.h"
#include "table/CCard.h"
#include "table/CDeck.h"

#include <gtest/gtest.h>

TEST(CCard, FlipTurnsFaceUpOnlyFromExactlyZero)
{
    ScopedFakeEngine fake;
    struct Case { float from, to; };
    const Case cases[] = {{0.0f, 1.0f}, {0.3f, 0.0f}, {1.0f, 0.0f}, {0.5f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        CCard card(3, 1);
        card.SetFaceUp(c.from);
        card.Flip();
        EXPECT_EQ(card.GetFaceUp(), c.to);
    }
    CCard half(0, 0);
    half.SetFaceUp(0.5f);
    EXPECT_FALSE(half.IsFaceUp());  // 0.5 itself shows the back
}

TEST(CCard, UpdateSnapsWithNoMoveTimeAndEasesOtherwise)
{
    ScopedFakeEngine fake;
    CCard card(0, 0);
    card.RenderX = 100;
    card.Update(5.0f);
    EXPECT_FLOAT_EQ(card.RenderX_curr, 100);
    card.RenderX = 200;
    card.StartMove(1.0f);
    card.Update(0.25f);
    EXPECT_FLOAT_EQ(card.RenderX_curr, 125);
    card.Update(1.0f);  // the move time runs out: the pose lands exactly
    EXPECT_FLOAT_EQ(card.RenderX_curr, 200);
    EXPECT_EQ(card.inert_time, 0.0f);
}

TEST(CCard, AGhostShowsFromItsDelayForItsDuration)
{
    ScopedFakeEngine fake;
    CCard card(0, 0);
    card.Update(0.1f);  // the start values -1 turn into 0 in the first frame
    card.SetGhost(1.0f, 0.5f);
    std::vector<bool> shown;
    for (int frame = 0; frame < 20; ++frame) {
        card.Shadow = false;
        card.Update(0.1f);
        shown.push_back(card.Shadow);
    }
    // Frames end at 0.1 s .. 2.0 s: shown from 0.5 s on, for 1.0 s.
    for (int frame = 0; frame < 20; ++frame) {
        SCOPED_TRACE(frame);
        EXPECT_EQ(shown[static_cast<std::size_t>(frame)], frame >= 5 && frame <= 13);
    }
}

TEST(CDeck, TakeCardServesCreationOrderAndNeverADealtCard)
{
    ScopedFakeEngine fake;
    CDeck deck;
    for (int d = 0; d < 2; ++d)
        for (int s = 0; s < 4; ++s)
            for (int r = 0; r < 13; ++r)
                deck.AddCard(r, s);
    deck.Reset();
    EXPECT_EQ(deck.TakeCard(0, -1), deck.GetCard(0));
    EXPECT_EQ(deck.TakeCard(0, -1), deck.GetCard(13));
    EXPECT_EQ(deck.TakeCard(12, 3), deck.GetCard(51));
    EXPECT_EQ(deck.TakeCard(12, 3), deck.GetCard(103));
    EXPECT_EQ(deck.TakeCard(12, 3), nullptr);
    EXPECT_EQ(deck.TakeCard(13, 0), nullptr);
}

TEST(CDeck, DrawingEmptiesThePoolAndThenGivesNothing)
{
    ScopedFakeEngine fake;
    CDeck deck;
    for (int r = 0; r < 13; ++r)
        deck.AddCard(r, 0);
    deck.Reset();
    std::vector<int> seen(13, 0);
    for (int i = 0; i < 13; ++i) {
        CCard* card = deck.DrawRandom();
        ASSERT_NE(card, nullptr);
        ++seen[static_cast<std::size_t>(card->Rank)];
    }
    EXPECT_EQ(seen, std::vector<int>(13, 1));
    EXPECT_EQ(deck.DrawRandom(), nullptr);
}

TEST(CDeck, ResetTurnsEveryCardDownAndMakesItAvailable)
{
    ScopedFakeEngine fake;
    CDeck deck;
    CCard* card = deck.AddCard(5, 2);
    deck.Reset();
    deck.DrawRandom();
    card->SetFaceUp(1.0f);
    card->Multiplier = 1.2f;
    card->Moved = true;
    card->InFly = true;
    deck.Reset();
    EXPECT_FALSE(card->IsFaceUp());
    EXPECT_FLOAT_EQ(card->Multiplier, 1.0f);
    EXPECT_FALSE(card->Moved);
    EXPECT_FALSE(card->InFly);
    EXPECT_EQ(deck.Available(), 1u);
}
