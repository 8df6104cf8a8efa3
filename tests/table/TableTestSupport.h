// TableTestSupport.h: test levels in the fake engine's INI store, a recording host and play helpers.
#pragma once
#include "solvers/FakeEngine.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CDeck.h"
#include "table/CMoveFinder.h"
#include "table/CSpecialActions.h"
#include "table/CPlace.h"
#include "table/GameDialogs.h"
#include "table/ITableHost.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace tabletest {

// Keys of one level section, written in order; place keys are "place%d_<name>".
class LevelWriter {
public:
    LevelWriter(FakeEngine& engine, int section) : m_engine(engine), m_section("Solitaire" + std::to_string(section)) {}
    LevelWriter& Set(const std::string& key, const std::string& value)
    {
        m_engine.SetIni("sol_max.ini", m_section, key, value);
        return *this;
    }
    LevelWriter& Place(int i, const std::map<std::string, std::string>& keys)
    {
        for (const auto& kv : keys)
            Set("place" + std::to_string(i) + "_" + kv.first, kv.second);
        return *this;
    }

private:
    FakeEngine& m_engine;
    std::string m_section;
};

// Changes the table's level values as an undo puts them back: a test sets up a level's numbers.
template <class Edit>
void EditValues(CCardTable& table, Edit edit)
{
    TableValues values = table.SaveValues();
    edit(values);
    table.RestoreValues(values);
}

enum Level { kKlondike = 0, kFreeCell = 1, kSpider = 2, kPyramid = 3, kGolf = 4, kBare = 5 };

inline void WriteCommon(LevelWriter& w, const char* name, int decks, int places)
{
    w.Set("level_zoom", "1.0").Set("level_name", name).Set("level_decks_count", std::to_string(decks));
    w.Set("level_suits", "15").Set("level_place_count", std::to_string(places));
    w.Set("level_h_offset_visible", "0").Set("level_v_offset_visible", "20");
    w.Set("level_h_offset_hidden", "0").Set("level_v_offset_hidden", "8");
    w.Set("score_place_to_house", "10").Set("score_open_card", "5");
}

// Klondike, draw one: stock 0, waste 1, houses 2..5, columns 6..12.
inline void WriteKlondike(FakeEngine& e)
{
    LevelWriter w(e, kKlondike);
    WriteCommon(w, "Klondike", 1, 13);
    w.Set("level_autofinish", "1");
    w.Place(0, {{"x", "60"}, {"y", "80"}, {"type", "1"}, {"cards", "-1:24:0"}, {"click_req", "1"},
                {"click_card", "1"}, {"click_empty", "0"}, {"click_empty_limit", "-1"}});
    w.Place(1, {{"x", "160"}, {"y", "80"}, {"type", "2"}, {"pick_req", "1"}});
    for (int i = 2; i <= 5; ++i)
        w.Place(i, {{"x", std::to_string(100 * i + 100)}, {"y", "80"}, {"type", "0"}, {"empty_drop_req", "0,1:0"},
                    {"drop_req", "0,1,2"}, {"pick_req", "1"}, {"win_cond", "0:13"}});
    for (int c = 0; c < 7; ++c)
        w.Place(6 + c, {{"x", std::to_string(60 + 100 * c)}, {"y", "200"}, {"v_offset", "1.0"}, {"type", "3"},
                        {"cards", "-1:" + std::to_string(c) + ":0,-1:1:1"}, {"drop_req", "6,4,5"},
                        {"empty_drop_req", "1:12"}, {"pick_req", "0,3"}, {"sort_req", "4,2"},
                        {"click_req", "0,1"}, {"click_card", "5"}});
}

// FreeCell: cells 0..3, houses 4..7, columns 8..15.
inline void WriteFreeCell(FakeEngine& e)
{
    LevelWriter w(e, kFreeCell);
    WriteCommon(w, "FreeCell", 1, 16);
    for (int i = 0; i < 4; ++i)
        w.Place(i, {{"x", std::to_string(60 + 90 * i)}, {"y", "80"}, {"type", "4"}, {"empty_drop_req", "0"},
                    {"pick_req", "1"}});
    for (int i = 4; i < 8; ++i)
        w.Place(i, {{"x", std::to_string(60 + 90 * i)}, {"y", "80"}, {"type", "0"}, {"empty_drop_req", "0,1:0"},
                    {"drop_req", "0,1,2"}, {"pick_req", "1"}, {"win_cond", "0:13"}});
    for (int c = 0; c < 8; ++c)
        w.Place(8 + c, {{"x", std::to_string(60 + 90 * c)}, {"y", "200"}, {"v_offset", "1.0"}, {"type", "3"},
                        {"cards", c < 4 ? "-1:7:1" : "-1:6:1"}, {"drop_req", "6,4"}, {"empty_drop_req", "9"},
                        {"pick_req", "0,3,4"}, {"sort_req", "4,2"}});
}

// Spider with two decks: columns 0..9, stock 10, homes 11..18.
inline void WriteSpider(FakeEngine& e)
{
    LevelWriter w(e, kSpider);
    WriteCommon(w, "Spider Easy", 2, 19);
    for (int c = 0; c < 10; ++c)
        w.Place(c, {{"x", std::to_string(40 + 72 * c)}, {"y", "160"}, {"v_offset", "1.0"}, {"type", "3"},
                    {"cards", c < 4 ? "-1:5:0,-1:1:1" : "-1:4:0,-1:1:1"}, {"drop_req", "4"},
                    {"empty_drop_req", "9"}, {"pick_req", "0,3"}, {"sort_req", "0,2"}, {"click_req", "0,1"},
                    {"click_card", "5"}, {"help_script", "Spider"}});
    w.Place(10, {{"x", "740"}, {"y", "540"}, {"type", "1"}, {"cards", "-1:50:0"}, {"click_req", "1"},
                 {"click_card", "3"}});
    for (int i = 11; i < 19; ++i)
        w.Place(i, {{"x", std::to_string(40 + 60 * (i - 11))}, {"y", "540"}, {"type", "5"}, {"win_cond", "0:13"}});
}

// Pyramid: 28 pyramid places 0..27 (row r holds places r(r+1)/2 ..), stock 28, waste 29, discard 30.
inline void WritePyramid(FakeEngine& e)
{
    LevelWriter w(e, kPyramid);
    WriteCommon(w, "Pyramid", 1, 31);
    for (int r = 0; r < 7; ++r) {
        for (int i = 0; i <= r; ++i) {
            const int p = r * (r + 1) / 2 + i;
            std::string pick = "1";
            if (r < 6) {
                const int below = (r + 1) * (r + 2) / 2 + i;
                pick += ",2:" + std::to_string(below) + ":0,2:" + std::to_string(below + 1) + ":0";
            }
            w.Place(p, {{"x", std::to_string(400 - 40 * r + 80 * i)}, {"y", std::to_string(60 + 40 * r)},
                        {"type", "7"}, {"cards", "-1:1:1"}, {"pick_req", pick}, {"drop_req", "0,12:13"},
                        {"win_cond", "0:0"}, {"help_script", "Pyramid"}});
        }
    }
    w.Place(28, {{"x", "60"}, {"y", "500"}, {"type", "1"}, {"cards", "-1:24:0"}, {"click_req", "1"},
                 {"click_card", "1"}});
    w.Place(29, {{"x", "160"}, {"y", "500"}, {"type", "2"}, {"pick_req", "1"}, {"drop_req", "0,12:13"}});
    w.Place(30, {{"x", "700"}, {"y", "500"}, {"type", "5"}});
}

// Golf: columns 0..6 of five face-up cards, stock 7, discard 8 (one card up, then ranks one apart).
inline void WriteGolf(FakeEngine& e)
{
    LevelWriter w(e, kGolf);
    WriteCommon(w, "Golf", 1, 9);
    for (int c = 0; c < 7; ++c)
        w.Place(c, {{"x", std::to_string(80 + 100 * c)}, {"y", "100"}, {"v_offset", "1.0"}, {"type", "3"},
                    {"cards", "-1:5:1"}, {"pick_req", "1"}, {"win_cond", "0:0"}});
    w.Place(7, {{"x", "100"}, {"y", "500"}, {"type", "1"}, {"cards", "-1:16:0"}, {"click_req", "1"},
                {"click_card", "7"}});
    w.Place(8, {{"x", "300"}, {"y", "500"}, {"type", "5"}, {"cards", "-1:1:1"}, {"drop_req", "0,7"}});
}

// A level of bare places that a test fills by hand.
inline void WriteBare(FakeEngine& e, int places)
{
    LevelWriter w(e, kBare);
    WriteCommon(w, "Bare", 1, places);
    for (int i = 0; i < places; ++i)
        w.Place(i, {{"x", std::to_string(60 + 90 * i)}, {"y", "200"}, {"type", "3"}});
}

inline void WriteAllLevels(FakeEngine& e)
{
    WriteKlondike(e);
    WriteFreeCell(e);
    WriteSpider(e);
    WritePyramid(e);
    WriteGolf(e);
}

// Records what the table asks of its controller.
class RecordingHost : public ITableHost {
public:
    int RecordedMoves() const { return static_cast<int>(moves.size()); }
    void RecordMove(int from, int to, int card, int automatic, int flag) override
    {
        moves.push_back({from, to, card, automatic, flag});
    }
    void RecordDeal(int rank, int suit) override { deals.emplace_back(rank, suit); }
    void RequestUndoSnapshot() override { ++snapshots; }
    void AddScore(int delta, CCard*) override { score += delta; }  // 64 bits: tests add up to the ends of 32
    void TellNoMoves(int kind) override
    {
        if (kind != game_dialogs::kNoMovesUntold)
            dialogs.push_back(kind);
    }
    void OnLevelWon() override { ++wins; }
    void PlayHelpHint(int, float) override { ++helpHints; }
    bool IsReplaying() const override { return replaying; }
    int GetLastKey() const override { return lastKey; }
    void ClearLastKey() override { lastKey = 0; }
    int AddMana(int amount) override
    {
        mana += amount;
        return -1;
    }
    bool SaveRecording(const std::string& path) override
    {
        savedTo = path;
        return true;
    }

    std::vector<std::vector<int>> moves;
    std::vector<std::pair<int, int>> deals;
    std::vector<int> dialogs;
    int snapshots = 0, wins = 0, helpHints = 0, lastKey = 0, mana = 0;
    long long score = 0;
    bool replaying = false;
    std::string savedTo;
};

inline void MakeCards(CDeck& deck, int decks)
{
    for (int d = 0; d < decks; ++d)
        for (int s = 0; s < 4; ++s)
            for (int r = 0; r < 13; ++r)
                deck.AddCard(r, s);
}

// Runs frames until no card flies (bounded), as the game would between moves.
inline void Settle(CCardTable& table, int maxFrames = 2000)
{
    for (int i = 0; i < maxFrames; ++i) {
        table.Update(0.05f);
        if (!table.IsFlying())
            return;
    }
    ADD_FAILURE() << "cards still flying after " << maxFrames << " frames";
}

// Every card of the deck lies exactly once on the table or in the hand, and nowhere else.
inline ::testing::AssertionResult EveryCardOnce(const CCardTable& table, const CDeck& deck)
{
    std::map<const CCard*, int> seen;
    for (int p = 0; p < table.PlaceCount(); ++p)
        for (const CCard* c : table.GetPlace(p)->pile)
            ++seen[c];
    for (const CCard* c : table.HandPlace()->pile)
        ++seen[c];
    for (std::size_t i = 0; i < deck.Size(); ++i) {
        const CCard* c = deck.GetCard(i);
        auto it = seen.find(c);
        if (it == seen.end())
            return ::testing::AssertionFailure() << "card " << c->Rank << "/" << c->Suit << " is missing";
        if (it->second != 1)
            return ::testing::AssertionFailure() << "card " << c->Rank << "/" << c->Suit << " lies " << it->second << " times";
        seen.erase(it);
    }
    if (!seen.empty())
        return ::testing::AssertionFailure() << seen.size() << " unknown cards on the table";
    return ::testing::AssertionSuccess();
}

// Every card of the deck lies exactly once on the table or is still in the pool, never both.
inline ::testing::AssertionResult EveryCardOnceOrInDeck(const CCardTable& table, CDeck& deck)
{
    std::map<const CCard*, int> seen;
    for (int p = 0; p < table.PlaceCount(); ++p)
        for (const CCard* c : table.GetPlace(p)->pile)
            ++seen[c];
    std::size_t onTable = 0;
    for (const auto& kv : seen) {
        if (kv.second != 1)
            return ::testing::AssertionFailure() << "a card lies " << kv.second << " times";
        onTable += 1;
    }
    if (onTable + deck.Available() != deck.Size())
        return ::testing::AssertionFailure() << onTable << " on the table + " << deck.Available()
                                             << " in the pool != " << deck.Size();
    return ::testing::AssertionSuccess();
}

// Lays a card of the deck on a place, face up or down (for constructed positions).
inline CCard* Lay(CDeck& deck, CPlace* place, int rank, int suit, bool faceUp = true)
{
    CCard* card = deck.TakeCard(rank, suit);
    if (card == nullptr)
        card = deck.AddCard(rank, suit);
    card->SetFaceUp(faceUp ? 1.0f : 0.0f);
    place->pile.push_back(card);
    return card;
}

// Drags the run from card `card` of place `from` onto place `to` as the mouse would: the run goes
// into the cursor hand, and then onto the target when the drop rules allow it, else back home.
// Lets every flight land. False when the pick or the drop is refused.
inline bool Drag(CCardTable& table, int from, int card, int to)
{
    CMoveFinder& finder = *table.GetMoveFinder();
    CPlace* src = table.GetPlace(from);
    CPlace* dst = table.GetPlace(to);
    if (src == nullptr || dst == nullptr || !finder.CanPick(from, card))
        return false;
    CCursorHand& hand = *table.GetCursorHand();
    CPlace* held = hand.place.get();
    hand.srcPlace = src;
    for (int slot = 0; src->Size() > card; ++slot)
        src->MoveCard(card, held, CardMove::Up(0.1f).After(kAtOnce).Into(slot).JoiningAtOnce());
    Settle(table);
    if (!finder.CanDrop(to, dst->TopIndex(), held, src)) {
        hand.Release();
        Settle(table);
        return false;
    }
    while (held->Size() > 0)
        held->MoveCard(0, dst, CardMove::Up(0.2f).After(kAtOnce).Into(dst->Size()).JoiningAtOnce());
    Settle(table);
    return true;
}

// A table of one test level, dealt from a fresh deck with a fixed seed.
struct DealtTable {
    DealtTable(FakeEngine& engine, int level, std::uint32_t seed, ITableHost* host = nullptr)
        : table(level, 0, host)
    {
        engine.RandomSeed(seed);
        EXPECT_TRUE(table.LoadLevel());
        table.SetCardSize(70, 100);
        MakeCards(deck, table.Level().nDecksCount);
        table.DealCards(deck, engine.RandomInt(0, 12));
    }
    CDeck deck;
    CCardTable table;
};

}  // namespace tabletest
