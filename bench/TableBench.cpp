// bench-libs: table app_core framework platform solvers
// TableBench.cpp: listing every legal move on a two-deck Spider table in mid-game.
#include "solvers/FakeEngine.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CDeck.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {
void WriteSpiderLevel(FakeEngine& e)
{
    auto set = [&e](const std::string& key, const std::string& value) { e.SetIni("sol_max.ini", "Solitaire2", key, value); };
    set("level_name", "Spider");
    set("level_decks_count", "2");
    set("level_place_count", "19");
    for (int c = 0; c < 10; ++c) {
        const std::string p = "place" + std::to_string(c) + "_";
        set(p + "type", "3");
        set(p + "drop_req", "4");
        set(p + "empty_drop_req", "9");
        set(p + "pick_req", "0,3");
        set(p + "sort_req", "0,2");
        set(p + "click_req", "0,1");
        set(p + "click_card", "5");
    }
    set("place10_type", "1");
    set("place10_click_req", "1");
    set("place10_click_card", "3");
    for (int i = 11; i < 19; ++i)
        set("place" + std::to_string(i) + "_type", "5");
}

// Mid-game: 30 cards still in the stock, the rest on the columns, the upper half of each face up
// and in falling runs where the deal allows it.
void LayMidGame(CCardTable& table, CDeck& deck)
{
    deck.Reset();
    for (int c = 0; c < 10; ++c) {
        for (int i = 0; i < 7; ++i) {
            CCard* card = deck.TakeCard(12 - (i + 2 * c) % 13, c % 4);
            if (card == nullptr)
                card = deck.DrawRandom();
            if (card == nullptr)
                break;
            card->SetFaceUp(i >= 3 ? 1.0f : 0.0f);
            table.GetPlace(c)->pile.push_back(card);
        }
    }
    while (CCard* card = deck.DrawRandom())
        table.GetPlace(10)->pile.push_back(card);
}
}  // namespace

static void BM_ListLegalMoves(benchmark::State& state)
{
    ScopedFakeEngine fake;
    WriteSpiderLevel(fake.Get());
    CCardTable table(2, kModeStory, nullptr);
    if (!table.LoadLevel()) {
        state.SkipWithError("level did not load");
        return;
    }
    CDeck deck;
    for (int d = 0; d < 2; ++d)
        for (int s = 0; s < 4; ++s)
            for (int r = 0; r < 13; ++r)
                deck.AddCard(r, s);
    LayMidGame(table, deck);
    CMoveFinder& finder = *table.GetMoveFinder();
    std::size_t listed = 0;
    for (auto _ : state) {
        table.RequestMoveSearch();
        finder.Refresh();
        listed += finder.Moves().size();
        benchmark::DoNotOptimize(listed);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["moves"] = static_cast<double>(finder.Moves().size());
}
BENCHMARK(BM_ListLegalMoves);

BENCHMARK_MAIN();
