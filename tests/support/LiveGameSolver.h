// LiveGameSolver.h: a winning move list for the deal on a game's live table, found on a copy of
// it, so that a test can play the game to its win through the live table's own moves.
#pragma once
#include "solvers/BundledLevels.h"
#include "solvers/LevelSolver.h"
#include "solvers/SpiderSolver.h"
#include "table/CDeck.h"

#include <memory>
#include <vector>

namespace levels {

// A table of the live table's level with cards of its own, laid out as the live table's are now:
// the same cards face up or down, the same rules and limits (a deal settles some of them). Its
// score keeper keeps a record of its own, so the searched moves pay nothing to the player.
class MirrorTable {
public:
    explicit MirrorTable(const CCardTable& live)
    {
        m_pTable = std::make_unique<CCardTable>(live.GetLevel(), live.GetMode(), &m_host);
        loaded = m_pTable->LoadLevel() && m_pTable->PlaceCount() == live.PlaceCount();
        if (!loaded)
            return;
        for (int p = 0; p < live.PlaceCount(); ++p)
            for (const CCard* card : live.GetPlace(p)->pile)
                m_deck.AddCard(card->Rank, card->Suit);
        m_deck.Reset();
        for (int p = 0; p < live.PlaceCount(); ++p)
            loaded = loaded && Copy(*live.GetPlace(p), *m_pTable->GetPlace(p));
    }

    CCardTable& Table() { return *m_pTable; }
    bool loaded = false;

private:
    bool Copy(const CPlace& from, CPlace& to)
    {
        to.pile.clear();
        for (const CCard* card : from.pile) {
            CCard* twin = m_deck.TakeCard(card->Rank, card->Suit);
            if (twin == nullptr)
                return false;
            twin->SetFaceUp(card->IsFaceUp() ? 1.0f : 0.0f);
            to.pile.push_back(twin);
        }
        to.empty_drop_req = from.empty_drop_req;
        to.drop_req = from.drop_req;
        to.pick_req = from.pick_req;
        to.click_req = from.click_req;
        to.win_cond = from.win_cond;
        to.click_card = from.click_card;
        to.click_empty = from.click_empty;
        to.sort_req = from.sort_req;
        to.click_empty_limit = from.click_empty_limit;
        to.Wrap = from.Wrap;
        return true;
    }

    QuietHost m_host;
    CDeck m_deck;  // before the table: the table's places point to its cards
    std::unique_ptr<CCardTable> m_pTable;
};

// The moves that win the live table's deal from where it stands; empty when none was found
// within the budget (or the level is one the solvers do not play).
inline std::vector<SolverMove> SolveLiveDeal(const CCardTable& live, std::size_t maxPositions = 400000)
{
    MirrorTable mirror(live);
    std::vector<SolverMove> moves;
    if (!mirror.loaded)
        return moves;
    bool solved = false;
    if (SpiderSolver::Applies(mirror.Table())) {
        SpiderSolver solver(mirror.Table(), maxPositions);
        solved = solver.Solve(moves);
    } else {
        LevelSolver solver(mirror.Table(), maxPositions);
        solved = solver.Solve(moves);
    }
    if (!solved)
        moves.clear();
    return moves;
}

}  // namespace levels
