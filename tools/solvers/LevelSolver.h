// LevelSolver.h: a solver for the tests and the tutorial recorder that plays a dealt table to its win through the table's own rules.
#pragma once
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

namespace levels {

// One move of a solution: a click on card `card` of place `from` (-1: the empty place),
// or a drag of the run from card `card` of place `from` onto place `to`.
struct SolverMove {
    int kind = kMoveClick;
    int from = 0;
    int card = 0;
    int to = 0;
};

// ---- Rule-name actions ---------------------------------------------------------------------------
// The table runs the rules of "Spider" and "Pyramid" places when it has them (ApplyRuleActions);
// until then the same two rules are carried out here, move for move, with the table's card moves.

inline bool EmulatedSpider(CCardTable& table, CPlace& place)
{
    const int n = place.Size();
    for (int i = 0; i + 13 == n; ++i) {
        const CCard* king = place.pile[static_cast<std::size_t>(i)];
        if (king->Rank != 12 || !king->IsFaceUp())
            continue;
        bool run = true;
        for (int k = i + 1; k < n && run; ++k) {
            const CCard* a = place.pile[static_cast<std::size_t>(k - 1)];
            const CCard* b = place.pile[static_cast<std::size_t>(k)];
            run = b->Rank == a->Rank - 1 && b->Suit == a->Suit;
        }
        if (!run)
            continue;
        for (int p = 0; p < table.PlaceCount(); ++p) {
            CPlace* home = table.GetPlace(p);
            if (home->type != kPlaceDiscard)
                continue;
            const bool full = !home->win_cond.empty() && home->win_cond.front().b == 13 && home->Size() == 13;
            if (full)
                continue;
            for (int k = 0; k < 13; ++k)
                place.MoveCard(i, home, CardMove::Down(0.5f).After(kAtOnce));
            return true;
        }
    }
    return false;
}

inline bool EmulatedPyramid(CCardTable& table, CPlace& place)
{
    if (place.Size() != 2 || place.pile[0]->Rank + place.pile[1]->Rank + 2 != 13)
        return false;
    for (int p = 0; p < table.PlaceCount(); ++p) {
        CPlace* discard = table.GetPlace(p);
        if (discard->type != kPlaceDiscard)
            continue;
        while (place.Size() > 0)
            place.MoveCard(0, discard, CardMove::Up(0.5f).After(kAtOnce));
        return true;
    }
    return false;
}

inline bool EmulatedRules(CCardTable& table)
{
    if (table.IsHolding() || table.IsFlying())
        return false;
    for (int p = 0; p < table.PlaceCount(); ++p) {
        CPlace& place = *table.GetPlace(p);
        if (place.help_script == "Spider" && EmulatedSpider(table, place))
            return true;
        if (place.help_script == "Pyramid" && EmulatedPyramid(table, place))
            return true;
    }
    return false;
}

template <typename T>
auto RunRules(T& table, int) -> decltype(static_cast<bool>(table.ApplyRuleActions()))
{
    return table.ApplyRuleActions();
}

template <typename T>
bool RunRules(T& table, long)
{
    return EmulatedRules(table);
}

// ---- Playing moves ------------------------------------------------------------------------------

// Lets every flight land.
inline void Settle(CCardTable& table)
{
    for (int i = 0; i < 400 && table.IsFlying(); ++i)
        table.Update(1.0f);
}

// The moves that happen by themselves: face-down top cards of columns turn over, and the rules of
// named places fire, until nothing more happens.
inline void RunAutomaticMoves(CCardTable& table)
{
    for (int round = 0; round < 500; ++round) {
        Settle(table);
        table.AutoTurnCards();
        const bool fired = RunRules(table, 0);
        if (!fired && !table.IsFlying())
            return;
    }
}

// Plays one move as the player would make it: refused (false) unless the table's own checks allow
// it. The automatic moves follow.
inline bool PlayMove(CCardTable& table, const SolverMove& m)
{
    CMoveFinder& finder = *table.GetMoveFinder();
    CPlace* src = table.GetPlace(m.from);
    if (src == nullptr || table.IsFlying())
        return false;
    if (m.kind == kMoveClick) {
        if (!finder.CanClick(m.from, m.card))
            return false;
        table.ClickPlace(m.from, m.card, false);
    } else {
        CPlace* dst = table.GetPlace(m.to);
        if (dst == nullptr || dst == src || m.card < 0 || m.card >= src->Size() || !finder.CanPick(m.from, m.card))
            return false;
        CPlace held(&table, true);
        held.pile.assign(src->pile.begin() + m.card, src->pile.end());
        src->pile.resize(static_cast<std::size_t>(m.card));  // off the source while the drop is tested
        const bool allowed = finder.CanDrop(m.to, dst->TopIndex(), &held, src);
        src->pile.insert(src->pile.end(), held.pile.begin(), held.pile.end());
        held.pile.clear();
        if (!allowed)
            return false;
        while (src->Size() > m.card)
            src->MoveCard(m.card, dst, CardMove::Up(0.0f));
    }
    RunAutomaticMoves(table);
    return true;
}

// Plays a move list on a freshly dealt table; true when every move was allowed and the table's
// own win test then declares the level won.
inline bool ReplayToWin(CCardTable& table, const std::vector<SolverMove>& moves, std::string& why)
{
    RunAutomaticMoves(table);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (!PlayMove(table, moves[i])) {
            why = "move " + std::to_string(i) + " was refused";
            return false;
        }
    }
    table.CheckLevelComplete();
    if (!table.IsWon())
        why = "the table's win test did not hold after the last move";
    return table.IsWon();
}

// ---- Search -------------------------------------------------------------------------------------

// What every solver here shares: the real table it plays on, its budget of positions, the
// positions it has seen and the moves of the path it is on. The budget counts positions, not
// seconds, so a search ends the same way on a busy machine as on an idle one.
class SolverSearch {
public:
    std::size_t Positions() const { return m_seen.size(); }

protected:
    SolverSearch(CCardTable& table, std::size_t maxPositions) : m_table(table), m_maxPositions(maxPositions) {}

    void StartSearch()
    {
        RunAutomaticMoves(m_table);
        m_path.clear();
    }
    bool PositionsSpent() const { return m_seen.size() >= m_maxPositions; }

    CCardTable& m_table;
    std::unordered_set<std::uint64_t> m_seen;
    std::vector<SolverMove> m_path;

private:
    std::size_t m_maxPositions;
};

// A bounded depth-first search over the move finder's legal moves (plus moves into empty free
// cells, which the finder leaves out of its hints), on the real table: each position is saved by
// copying the piles and restored the same way. Positions already seen are not searched again.
class LevelSolver : public SolverSearch {
public:
    LevelSolver(CCardTable& table, std::size_t maxPositions) : SolverSearch(table, maxPositions) {}

    bool Solve(std::vector<SolverMove>& solution)
    {
        StartSearch();
        const bool won = Search(0);
        solution = m_path;
        return won;
    }

private:
    struct Saved {
        std::vector<std::vector<CCard*>> piles;
        std::vector<std::vector<bool>> faces;
        std::vector<int> limits;
        std::vector<bool> wraps;
    };

    Saved Save() const
    {
        Saved s;
        for (int p = 0; p < m_table.PlaceCount(); ++p) {
            const CPlace* place = m_table.GetPlace(p);
            s.piles.push_back(place->pile);
            std::vector<bool> faces;
            for (const CCard* c : place->pile)
                faces.push_back(c->IsFaceUp());
            s.faces.push_back(faces);
            s.limits.push_back(place->click_empty_limit);
            s.wraps.push_back(place->Wrap);
        }
        return s;
    }

    void Restore(const Saved& s)
    {
        for (int p = 0; p < m_table.PlaceCount(); ++p) {
            CPlace* place = m_table.GetPlace(p);
            const auto i = static_cast<std::size_t>(p);
            place->pile = s.piles[i];
            for (std::size_t k = 0; k < place->pile.size(); ++k)
                place->pile[k]->SetFaceUp(s.faces[i][k] ? 1.0f : 0.0f);
            place->click_empty_limit = s.limits[i];
            place->Wrap = s.wraps[i];
        }
    }

    // Free cells and foundations are interchangeable among their kind, so their contents are
    // sorted before the position is hashed.
    std::uint64_t Key() const
    {
        std::vector<std::string> cells, houses;
        std::string key;
        for (int p = 0; p < m_table.PlaceCount(); ++p) {
            const CPlace* place = m_table.GetPlace(p);
            std::string pile;
            for (const CCard* c : place->pile)
                pile += static_cast<char>(1 + c->Rank + 13 * c->Suit + (c->IsFaceUp() ? 64 : 0));
            pile += static_cast<char>(0x7f);
            // A negative limit never runs out: passes through an endless stock are all alike.
            pile += std::to_string(std::max(place->click_empty_limit, -1));
            if (place->type == kPlaceFreeCell)
                cells.push_back(pile);
            else if (place->type == kPlaceHouse)
                houses.push_back(pile);
            else
                key += pile;
        }
        std::sort(cells.begin(), cells.end());
        std::sort(houses.begin(), houses.end());
        for (const std::string& s : cells)
            key += s;
        for (const std::string& s : houses)
            key += s;
        std::uint64_t h = 1469598103934665603ull;
        for (unsigned char c : key)
            h = (h ^ c) * 1099511628211ull;
        return h;
    }

    int Score(const SolverMove& m) const
    {
        const CPlace* src = m_table.GetPlace(m.from);
        if (m.kind == kMoveClick) {
            if (m.card >= 0 && !src->GetCard(m.card)->IsFaceUp())
                return src->type == kPlaceDeck ? 5 : 100;  // turning a hidden card is always good
            return m.card < 0 ? 2 : 5;            // dealing and gathering come last
        }
        const CPlace* dst = m_table.GetPlace(m.to);
        const int run = src->Size() - m.card;
        if (IsHouseType(dst->type) || dst->type == kPlaceDiscard)
            return 90;
        if (dst->type == kPlaceFreeCell)
            return 10;
        if (src->type == kPlaceSideColumn && dst->type == kPlaceSideColumn)
            return 85;  // a pair leaves the pyramid
        int score = 30 + std::min(run, 10);
        if (m.card > 0 && !src->GetCard(m.card - 1)->IsFaceUp())
            score += 40;
        if (m.card == 0 && (src->type == kPlaceColumn || src->type == kPlaceSideColumn))
            score += 25;
        if (src->type == kPlacePop || src->type == kPlaceFreeCell)
            score += 15;
        if (dst->Size() == 0)
            score -= 20;
        else if (dst->pile.back()->Suit == src->GetCard(m.card)->Suit)
            score += 30;  // a run of one suit grows
        return score;
    }

    // Moves the search leaves out: onto an empty place other than the first of its type (they are
    // all alike), and, on a place whose suit runs leave by the "Spider" rule, the split of a run of
    // one suit from the card it lies on.
    bool IsPointless(const SolverMove& m, const std::vector<int>& firstEmpty) const
    {
        const CPlace* src = m_table.GetPlace(m.from);
        const CPlace* dst = m_table.GetPlace(m.to);
        if (dst->Size() == 0 && dst->type >= 0 && dst->type < 256 &&
            firstEmpty[static_cast<std::size_t>(dst->type)] != m.to)
            return true;
        if (src->help_script != "Spider" || m.card == 0 || dst->type == kPlaceDiscard)
            return false;
        const CCard* below = src->GetCard(m.card - 1);
        const CCard* moved = src->GetCard(m.card);
        return below->IsFaceUp() && below->Suit == moved->Suit && below->Rank == moved->Rank + 1;
    }

    std::vector<SolverMove> Candidates()
    {
        CMoveFinder& finder = *m_table.GetMoveFinder();
        finder.FindMoves();
        std::vector<SolverMove> out;
        std::vector<int> firstEmpty(256, -1);  // one empty place of each type stands for all of them
        for (int q = m_table.PlaceCount() - 1; q >= 0; --q)
            if (m_table.GetPlace(q)->Size() == 0 && m_table.GetPlace(q)->type >= 0 && m_table.GetPlace(q)->type < 256)
                firstEmpty[static_cast<std::size_t>(m_table.GetPlace(q)->type)] = q;
        for (const MoveRecord& r : finder.Moves()) {
            const SolverMove m{r.kind, r.fromPlace, r.fromCard, r.toPlace};
            if (m.kind == kMoveDrag && IsPointless(m, firstEmpty))
                continue;
            out.push_back(m);
        }
        int cell = -1;  // one empty cell stands for all of them
        for (int q = 0; q < m_table.PlaceCount() && cell < 0; ++q)
            if (m_table.GetPlace(q)->type == kPlaceFreeCell && m_table.GetPlace(q)->Size() == 0)
                cell = q;
        if (cell >= 0) {
            for (int p = 0; p < m_table.PlaceCount(); ++p) {
                const CPlace* src = m_table.GetPlace(p);
                if (src->Size() == 0 || IsHouseType(src->type) || src->type == kPlaceDiscard ||
                    src->type == kPlaceFreeCell)
                    continue;
                if (src->pile.back()->IsFaceUp() && finder.CanPick(p, src->TopIndex()))
                    out.push_back({kMoveDrag, p, src->TopIndex(), cell});
            }
        }
        std::stable_sort(out.begin(), out.end(),
                         [this](const SolverMove& a, const SolverMove& b) { return Score(a) > Score(b); });
        return out;
    }

    bool Search(int depth)
    {
        if (m_table.PassesWinConditions())
            return true;
        if (depth > 1500 || PositionsSpent() || !m_seen.insert(Key()).second)
            return false;
        const std::vector<SolverMove> moves = Candidates();
        if (moves.empty())
            return false;
        const Saved saved = Save();
        for (const SolverMove& m : moves) {
            if (!PlayMove(m_table, m))
                continue;
            m_path.push_back(m);
            if (Search(depth + 1))
                return true;
            m_path.pop_back();
            Restore(saved);
            if (PositionsSpent())
                return false;
        }
        return false;
    }
};

}  // namespace levels
