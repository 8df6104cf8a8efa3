// CUndoHistoryTest.cpp: an undo flies the table back to the snapshot before the last, exactly.
#include "PlayStateSupport.h"

using namespace tabletest;

namespace {
struct State {
    std::vector<std::vector<std::pair<int, bool>>> piles;
    int score = 0;
    std::vector<int> mana;
    int combos = 0, comboRun = 0, comboBest = 0;
};

// The Klondike test level with the controller's bar and undo history plugged in.
struct UndoTable {
    UndoTable(FakeEngine& engine, std::uint32_t seed)
        : bar(20, nullptr, &host),
          table((WriteAllLevels(engine), std::make_unique<CCardTable>(kKlondike, kModeStory, &host))),
          undo(table.get(), &bar)
    {
        host.bar = &bar;
        host.undo = &undo;
        engine.RandomSeed(seed);
        EXPECT_TRUE(table->LoadLevel());
        table->SetCardSize(70, 100);
        EditValues(*table, [](TableValues& v) {
            v.gauges.m_nBarResultTurn = 3;
            v.scores.m_nScorePopdeckToPlace = 5;
            v.level.vCombos = {PlaceRequirement{5, 0, 0, 0}, PlaceRequirement{1, 1, 0, 0}};
            v.scores.m_nScoreCombo1 = 11;
            v.scores.m_nScoreCombo2 = 13;
            v.gauges.m_nBarCombo1 = 2;
            v.gauges.m_nBarCombo2 = 4;
        });
        MakeCards(deck, 1);
        table->DealCards(deck, 0);
        host.RequestUndoSnapshot();
        Still();
    }
    // Lets every card land and the history take what was asked for.
    void Still()
    {
        for (int i = 0; i < 50; ++i) {
            Settle(*table);
            bar.Update(0.05f);
            const int before = undo.Count();
            undo.Update();
            if (undo.Count() != before)
                states.push_back(Now());
            if (!table->IsFlying() && !undo.IsRequested())
                return;
        }
    }
    State Now() const
    {
        State s;
        s.piles = Piles(*table);
        s.score = table->GetScoreKeeper()->GetScore();
        for (int i = 0; i < CManaBar::kGauges; ++i)
            s.mana.push_back(bar.GetMana(i));
        s.combos = table->GetScoreKeeper()->Combos().m_nCombos;
        s.comboRun = table->GetScoreKeeper()->Combos().m_nComboRun;
        s.comboBest = table->GetScoreKeeper()->Combos().m_nComboBest;
        return s;
    }
    ControllerHost host;
    CManaBar bar;
    CDeck deck;
    std::unique_ptr<CCardTable> table;
    CUndoHistory undo;
    std::vector<State> states;  // the state at every snapshot, in order
};

void ExpectSame(const State& a, const State& b)
{
    EXPECT_EQ(a.piles, b.piles);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.mana, b.mana);
    EXPECT_EQ(a.combos, b.combos);
    EXPECT_EQ(a.comboRun, b.comboRun);
    EXPECT_EQ(a.comboBest, b.comboBest);
}
}  // namespace

TEST(CUndoHistory, EveryUndoRestoresTheSnapshotBeforeTheLastExactly)
{
    ScopedFakeEngine fake;
    for (std::uint32_t seed : {3u, 17u, 2024u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        UndoTable t(fake.Get(), seed);
        ASSERT_EQ(t.undo.Count(), 1);
        for (int move = 0; move < 40 && PlayRandomMove(fake.Get(), *t.table); ++move)
            t.Still();
        ASSERT_GE(t.undo.Count(), 3);
        ASSERT_EQ(static_cast<int>(t.states.size()), t.undo.Count());
        while (t.undo.Count() > 1) {
            SCOPED_TRACE("entries " + std::to_string(t.undo.Count()));
            const State& expected = t.states[static_cast<std::size_t>(t.undo.Count() - 2)];
            ASSERT_TRUE(t.undo.Undo());
            Settle(*t.table);
            ExpectSame(t.Now(), expected);
            EXPECT_TRUE(EveryCardOnce(*t.table, t.deck));
            t.states.pop_back();
        }
        EXPECT_FALSE(t.undo.Undo());
        EXPECT_FALSE(t.host.undoEnabled);
    }
}

TEST(CUndoHistory, WithOneEntryThereIsNothingToUndo)
{
    ScopedFakeEngine fake;
    UndoTable t(fake.Get(), 5);
    EXPECT_EQ(t.undo.Count(), 1);
    EXPECT_FALSE(t.undo.Undo());
    EXPECT_FALSE(t.host.undoEnabled);
    EXPECT_EQ(t.undo.GetUndoCount(), 0);
}

TEST(CUndoHistory, AGoldenCardTurnsPlainInPlayButAnUndoGivesBackItsSnapshotState)
{
    ScopedFakeEngine fake;
    UndoTable t(fake.Get(), 9);
    CPlace* column = t.table->GetPlace(12);
    CCard* golden = column->pile.back();
    golden->CardState = kCardBonusScored;
    t.table->RequestMoveSearch();
    t.host.RequestUndoSnapshot();
    t.Still();
    EXPECT_EQ(golden->CardState, kCardPlain);
    // Move the golden card away and back through an undo: the snapshot held it golden.
    CPlace* other = t.table->GetPlace(1);
    column->MoveCard(column->TopIndex(), other, CardMove::Up(0.1f).After(kAtOnce));
    t.host.RequestUndoSnapshot();
    t.Still();
    ASSERT_TRUE(t.undo.Undo());
    Settle(*t.table);
    EXPECT_EQ(column->pile.back(), golden);
    EXPECT_EQ(golden->CardState, kCardBonusScored);
}

TEST(CUndoHistory, ABonusLevelRecordsAndUndoesNothing)
{
    ScopedFakeEngine fake;
    ControllerHost host;
    CManaBar bar(10, nullptr, &host);
    CCardTable table(0, kModeBonusLevel, &host);
    CUndoHistory undo(&table, &bar);
    host.undoEnabled = true;
    undo.Request();
    EXPECT_FALSE(undo.IsRequested());
    undo.Capture();
    undo.Commit();
    undo.Update();
    EXPECT_EQ(undo.Count(), 0);
    EXPECT_FALSE(undo.Undo());
    undo.Clear();
    EXPECT_TRUE(host.undoEnabled);
}

TEST(CUndoHistory, UndoPutsBackTheGaugesAndTheirButtons)
{
    ScopedFakeEngine fake;
    UndoTable t(fake.Get(), 5);
    t.bar.AddMana(20);
    t.bar.SetFillDelay(0);
    for (int i = 0; i < 200; ++i)
        t.bar.Update(0.05f);
    ASSERT_TRUE(t.host.buttons[0]);
    EditValues(*t.table, [](TableValues& v) { v.scores.m_nScoreUndo = 77; });
    t.host.RequestUndoSnapshot();
    t.Still();
    t.bar.Clear(0);
    t.host.buttons[0] = false;
    EditValues(*t.table, [](TableValues& v) { v.scores.m_nScoreUndo = 1; });
    t.host.RequestUndoSnapshot();
    t.Still();
    ASSERT_TRUE(t.undo.Undo());
    EXPECT_EQ(t.bar.GetMana(0), 20);
    EXPECT_EQ(t.bar.GetLevel(0), 20.0f);
    EXPECT_TRUE(t.host.buttons[0]);
    EXPECT_EQ(t.table->Scores().m_nScoreUndo, 77);
}
