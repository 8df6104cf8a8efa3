// RandomPlayTest.cpp: thousands of random legal moves on every test level keep each card exactly once.
#include "TableTestSupport.h"

using namespace tabletest;

namespace {
// Plays one random legal move from the finder's list; false when the table offers none.
bool PlayRandomMove(FakeEngine& engine, CCardTable& table)
{
    CMoveFinder& finder = *table.GetMoveFinder();
    table.RequestMoveSearch();
    if (!finder.Refresh())
        return false;
    const std::vector<MoveRecord> moves = finder.Moves();
    const MoveRecord& m = moves[static_cast<std::size_t>(engine.RandomInt(0, static_cast<int>(moves.size()) - 1))];
    if (m.kind == kMoveClick) {
        table.ClickPlace(m.fromPlace, m.fromCard, false);
        Settle(table);
        return true;
    }
    EXPECT_TRUE(Drag(table, m.fromPlace, m.fromCard, m.toPlace))
        << "listed move " << m.fromPlace << ":" << m.fromCard << " -> " << m.toPlace << " was refused";
    return true;
}
}  // namespace

TEST(RandomPlay, ThousandsOfRandomMovesKeepEveryCardExactlyOnce)
{
    ScopedFakeEngine fake;
    WriteAllLevels(fake.Get());
    for (int level : {kKlondike, kFreeCell, kSpider, kPyramid, kGolf}) {
        SCOPED_TRACE("level " + std::to_string(level));
        int played = 0;
        for (std::uint32_t seed = 1; played < 2000 && seed < 400; ++seed) {
            DealtTable t(fake.Get(), level, seed);
            for (int step = 0; step < 300 && played < 2000; ++step) {
                if (!PlayRandomMove(fake.Get(), t.table))
                    break;
                ++played;
                if (step % 25 == 0) {
                    ASSERT_TRUE(EveryCardOnce(t.table, t.deck)) << "seed " << seed << " step " << step;
                }
            }
            ASSERT_TRUE(EveryCardOnce(t.table, t.deck)) << "seed " << seed;
            EXPECT_EQ(t.table.CountCards(), static_cast<int>(t.deck.Size()));
        }
        EXPECT_GE(played, 2000);
    }
}
