// PlayStateSupport.h: a controller stand-in that wires the table to a mana bar, a move recorder
// and an undo history as the in-game controller does, and helpers that play and compare tables.
#pragma once
#include "TableTestSupport.h"
#include "table/CManaBar.h"
#include "table/CScoreKeeper.h"
#include "table/CTracker.h"
#include "table/CUndoHistory.h"

#include <memory>

namespace tabletest {

class ControllerHost : public RecordingHost {
public:
    void RecordMove(int from, int to, int card, int automatic, int flag) override
    {
        RecordingHost::RecordMove(from, to, card, automatic, flag);
        tracker.AddMove(static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to), static_cast<std::uint8_t>(card),
                        automatic, flag);
    }
    void RecordDeal(int rank, int suit) override
    {
        tracker.AddDeal(static_cast<std::uint8_t>(rank), static_cast<std::uint8_t>(suit));
    }
    bool NextDeal(int& rank, int& suit) override { return tracker.NextDeal(rank, suit); }
    void RequestUndoSnapshot() override
    {
        RecordingHost::RequestUndoSnapshot();
        if (undo != nullptr)
            undo->Request();
    }
    int AddMana(int amount) override
    {
        manaAdded.push_back(amount);
        return bar != nullptr ? bar->AddMana(amount) : -1;
    }
    bool IsBonusButtonEnabled(int gauge) const override { return buttons[gauge]; }
    void OnGaugeReady(int gauge) override
    {
        buttons[gauge] = true;
        ++readyCalls;
    }
    void SetBonusButtonReady(int gauge, bool ready) override { buttons[gauge] = ready; }
    bool IsUndoEnabled() const override { return undoEnabled; }
    void SetUndoEnabled(bool enabled) override { undoEnabled = enabled; }
    bool BonusesSwitchedOff() const override { return bonusesOff; }
    void ShowComboMessage(int category, int chain) override { comboMessages.push_back({category, chain}); }

    CTracker tracker;
    CManaBar* bar = nullptr;
    CUndoHistory* undo = nullptr;
    bool buttons[5] = {false, false, false, false, false};
    bool undoEnabled = false, bonusesOff = false;
    int readyCalls = 0;
    std::vector<int> manaAdded;
    std::vector<std::pair<int, int>> comboMessages;
};

// What a test compares between two moments of a table: every pile (card identity and face).
inline std::vector<std::vector<std::pair<int, bool>>> Piles(const CCardTable& table)
{
    std::vector<std::vector<std::pair<int, bool>>> piles;
    for (int p = 0; p < table.PlaceCount(); ++p) {
        piles.emplace_back();
        for (const CCard* c : table.GetPlace(p)->pile)
            piles.back().emplace_back(c->Rank * 4 + c->Suit, c->IsFaceUp());
    }
    return piles;
}

// Plays one legal move as the player would: a click, or a drag judged by the score keeper, with
// an undo snapshot asked for afterwards. False when no move is left.
inline bool PlayRandomMove(FakeEngine& engine, CCardTable& table)
{
    CMoveFinder& finder = *table.GetMoveFinder();
    table.RequestMoveSearch();
    finder.Refresh();
    const std::vector<MoveRecord>& moves = finder.Moves();
    if (moves.empty())
        return false;
    const MoveRecord move = moves[static_cast<std::size_t>(engine.RandomInt(0, static_cast<int>(moves.size()) - 1))];
    if (move.kind == kMoveClick || move.fromPlace == move.toPlace) {
        table.ClickPlace(move.fromPlace, move.fromCard, false);
    } else {
        CPlace* src = table.GetPlace(move.fromPlace);
        CPlace* dst = table.GetPlace(move.toPlace);
        if (move.fromCard < 0 || move.fromCard >= src->Size())
            return false;
        const LandingScore landing = table.GetScoreKeeper()->ScoreMove(src, dst, src->GetCard(move.fromCard));
        for (bool first = true; src->Size() > move.fromCard; first = false)
            src->MoveCard(move.fromCard, dst, CardMove::Up(0.2f).After(kAtOnce).Scored(first ? landing : LandingScore{}));
        table.GetHost()->RequestUndoSnapshot();
    }
    return true;
}

}  // namespace tabletest
