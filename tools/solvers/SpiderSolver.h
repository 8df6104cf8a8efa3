// SpiderSolver.h: a solver (tests, tutorial recorder) for levels whose columns lose their finished suits by the
// "Spider" rule. The general solver plays on the real table and is far too slow for two decks of
// four suits, so this one searches a compact copy of the dealt position with the same rules the
// level file gives those levels (a run moves when it falls by one rank in one suit, or in one
// colour for Tarantula; it lands on a card one rank higher, or on an empty column; the stock
// deals one card to every column; a face-down top card turns; thirteen cards king to ace of one
// suit leave). Its answer is only trusted after the table itself replays it to its win test.
#pragma once
#include "solvers/LevelSolver.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <queue>
#include <utility>
#include <unordered_set>
#include <vector>

namespace levels {

class SpiderSolver : public SolverSearch {
public:
    SpiderSolver(CCardTable& table, std::size_t maxPositions) : SolverSearch(table, maxPositions) {}

    // True when a level's columns follow the "Spider" rule and its stock deals to them.
    static bool Applies(const CCardTable& table)
    {
        int columns = 0;
        for (int p = 0; p < table.PlaceCount(); ++p) {
            const CPlace* place = table.GetPlace(p);
            if (place->type == kPlaceColumn && place->help_script == "Spider")
                ++columns;
            else if (place->type == kPlaceColumn)
                return false;
        }
        return columns > 0 && columns <= kMaxColumns;
    }

    bool Solve(std::vector<SolverMove>& solution)
    {
        StartSearch();
        State start;
        if (!Read(start))
            return false;
        const bool won = Search(start, 0);
        solution = m_path;
        return won;
    }

private:
    static constexpr int kMaxColumns = 12;
    static constexpr std::size_t kPhaseNodes = 60000;  // positions searched between two deals
    static constexpr std::size_t kBranches = 3;        // positions a deal is tried from
    static constexpr int kMaxCards = 104;  // a whole two-deck level fits in one column

    struct State {
        int columns = 0;
        std::array<std::uint8_t, kMaxColumns> size{};
        std::array<std::uint8_t, kMaxColumns> down{};  // face-down cards at the bottom of each column
        std::array<std::array<std::uint8_t, kMaxCards>, kMaxColumns> cards{};  // suit * 13 + rank
        int stock = 0;  // cards left in the stock; they are m_stock[0 .. stock - 1], the top last
        int removed = 0;
    };

    struct Candidate {
        int score;
        int from, card, to;  // from -1: a deal
    };

    static int Rank(std::uint8_t c) { return c % 13; }
    static int Suit(std::uint8_t c) { return c / 13; }

    bool Read(State& s)
    {
        m_columnPlace.clear();
        m_stock.clear();
        m_stockPlace = -1;
        int total = 0;
        for (int p = 0; p < m_table.PlaceCount(); ++p)
            total += m_table.GetPlace(p)->Size();
        if (total > kMaxCards)
            return false;  // a column could outgrow its slots
        for (int p = 0; p < m_table.PlaceCount(); ++p) {
            const CPlace* place = m_table.GetPlace(p);
            if (place->type == kPlaceColumn) {
                const int c = s.columns++;
                m_columnPlace.push_back(p);
                if (place->Size() > kMaxCards)
                    return false;
                s.size[c] = static_cast<std::uint8_t>(place->Size());
                bool seenUp = false;
                for (int k = 0; k < place->Size(); ++k) {
                    const CCard* card = place->GetCard(k);
                    s.cards[c][k] = static_cast<std::uint8_t>(card->Suit * 13 + card->Rank);
                    if (card->IsFaceUp())
                        seenUp = true;
                    else if (seenUp)
                        return false;  // a hidden card above a shown one: not a position this search knows
                    else
                        s.down[c] = static_cast<std::uint8_t>(k + 1);
                }
                for (const PlaceRequirement& r : place->sort_req)
                    if (r.a == 5)
                        m_colourRuns = true;
            } else if (place->type == kPlaceDeck && place->Size() > 0) {
                if (m_stockPlace >= 0)
                    return false;
                m_stockPlace = p;
                for (const CCard* card : place->pile)
                    m_stock.push_back(static_cast<std::uint8_t>(card->Suit * 13 + card->Rank));
                s.stock = place->Size();
            } else if (place->type == kPlaceDiscard) {
                m_homes += 1;
                s.removed += place->Size() / 13;
            }
        }
        return true;
    }

    // How well card `above` sits on card `below`: 0 not at all, 1 one rank lower, 2 also of the
    // same colour, 3 also of the same suit.
    static int Link(std::uint8_t below, std::uint8_t above)
    {
        if (Rank(below) != Rank(above) + 1)
            return 0;
        if (Suit(below) == Suit(above))
            return 3;
        return (Suit(below) >> 1) == (Suit(above) >> 1) ? 2 : 1;
    }

    bool Moves(std::uint8_t below, std::uint8_t above) const { return Link(below, above) >= (m_colourRuns ? 2 : 3); }

    // After a change to column c: a finished suit leaves and the new top card turns.
    static void Tidy(State& s, int c)
    {
        int n = s.size[c];
        if (n >= 13 && n - 13 >= s.down[c] && Rank(s.cards[c][n - 13]) == 12) {
            bool run = true;
            for (int k = n - 12; k < n && run; ++k)
                run = Link(s.cards[c][k - 1], s.cards[c][k]) == 3;
            if (run) {
                n -= 13;
                s.size[c] = static_cast<std::uint8_t>(n);
                ++s.removed;
            }
        }
        if (s.down[c] > 0 && s.down[c] >= n)
            s.down[c] = static_cast<std::uint8_t>(n - 1 < 0 ? 0 : n - 1);
    }

    std::uint64_t Key(const State& s) const
    {
        std::uint64_t h = 1469598103934665603ull ^ static_cast<std::uint64_t>(s.stock);
        for (int c = 0; c < s.columns; ++c) {
            h = (h ^ (0x80u + s.down[c])) * 1099511628211ull;
            for (int k = 0; k < s.size[c]; ++k)
                h = (h ^ s.cards[c][k]) * 1099511628211ull;
            h = (h ^ 0xffu) * 1099511628211ull;
        }
        return h;
    }

    // The moves worth trying, best first: a hidden card turned or a column emptied, then runs
    // that join a card of their own suit; the deal last. Left out: a run that would lie worse
    // than it lies now, a run of one suit split off its suit unless it joins a longer one, a
    // split of a suit run onto an empty column, a whole column moved to an empty one, and any
    // empty column but the first (they differ only in where the next deal lands).
    void Generate(const State& s, std::vector<Candidate>& out) const
    {
        out.clear();
        int firstEmpty = -1;
        for (int c = 0; c < s.columns && firstEmpty < 0; ++c)
            if (s.size[c] == 0)
                firstEmpty = c;
        for (int from = 0; from < s.columns; ++from) {
            const int n = s.size[from];
            if (n == 0)
                continue;
            int base = n - 1;
            while (base - 1 >= s.down[from] && Moves(s.cards[from][base - 1], s.cards[from][base]))
                --base;
            for (int k = base; k < n; ++k) {
                const std::uint8_t card = s.cards[from][k];
                const bool reveals = k > 0 && k == s.down[from];
                const bool empties = k == 0;
                const int oldLink = k > s.down[from] ? Link(s.cards[from][k - 1], card) : 0;
                // The suit run under the split point, for telling a useful regrouping from a swap.
                int suitBelow = 0;
                if (oldLink == 3) {
                    suitBelow = 1;
                    for (int j = k - 1; j - 1 >= s.down[from] && Link(s.cards[from][j - 1], s.cards[from][j]) == 3; --j)
                        ++suitBelow;
                }
                for (int to = 0; to < s.columns; ++to) {
                    if (to == from)
                        continue;
                    const int m = s.size[to];
                    int score = 0;
                    if (m == 0) {
                        if (to != firstEmpty || empties || oldLink == 3)
                            continue;
                        score = -300 + (reveals ? 1000 : 0) + (n - k);
                    } else {
                        const int newLink = Link(s.cards[to][m - 1], card);
                        if (newLink == 0)
                            continue;
                        if (!reveals && !empties) {
                            if (newLink < oldLink)
                                continue;
                            if (newLink == oldLink && newLink == 3) {
                                int suitAbove = 1;  // the suit run the card would join
                                for (int j = m - 1; j - 1 >= s.down[to] && Link(s.cards[to][j - 1], s.cards[to][j]) == 3; --j)
                                    ++suitAbove;
                                if (suitAbove <= suitBelow)
                                    continue;
                            }
                        }
                        score = (newLink - oldLink) * 100 + (reveals ? 1000 : 0) + (empties ? 800 : 0) + (n - k);
                    }
                    out.push_back({score, from, k, to});
                }
            }
        }
        if (s.stock > 0)
            out.push_back({-100000, -1, 0, 0});
        std::stable_sort(out.begin(), out.end(), [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    }

    void Apply(State& s, const Candidate& m) const
    {
        if (m.from < 0) {
            for (int c = 0; c < s.columns && s.stock > 0; ++c) {
                s.cards[c][s.size[c]] = m_stock[static_cast<std::size_t>(--s.stock)];
                ++s.size[c];
            }
            for (int c = 0; c < s.columns; ++c)
                Tidy(s, c);
            return;
        }
        const int count = s.size[m.from] - m.card;
        std::memcpy(&s.cards[m.to][s.size[m.to]], &s.cards[m.from][m.card], static_cast<std::size_t>(count));
        s.size[m.to] = static_cast<std::uint8_t>(s.size[m.to] + count);
        s.size[m.from] = static_cast<std::uint8_t>(m.card);
        Tidy(s, m.from);
        Tidy(s, m.to);
    }

    SolverMove ToTableMove(const State& s, const Candidate& m) const
    {
        if (m.from < 0)
            return {0, m_stockPlace, s.stock - 1, 0};
        return {1, m_columnPlace[static_cast<std::size_t>(m.from)], m.card, m_columnPlace[static_cast<std::size_t>(m.to)]};
    }

    // How promising a position is: finished suits above all, then hidden cards turned, empty
    // columns and cards lying on the next rank (of their own suit most of all).
    static int Value(const State& s)
    {
        int v = 1000 * s.removed;
        for (int c = 0; c < s.columns; ++c) {
            const int n = s.size[c];
            if (n == 0)
                v += 60;
            v -= 40 * s.down[c];
            for (int k = std::max<int>(s.down[c], 1); k < n; ++k) {
                const int link = Link(s.cards[c][k - 1], s.cards[c][k]);
                v += link == 3 ? 12 : (link > 0 ? 3 : 0);
            }
        }
        return v;
    }

    struct Node {
        State state;
        int parent;       // index in the phase's node list, -1 for the phase's start
        Candidate move;   // the move that led here from the parent
        int value;
    };

    // Between two deals: a best-first search over the moves that do not deal, from `start`.
    // Returns true on a win; otherwise `best` gets the most promising positions met (their
    // node indexes), from which the next deal is tried.
    bool Phase(const State& start, std::vector<Node>& nodes, std::vector<int>& best)
    {
        nodes.clear();
        nodes.push_back({start, -1, {0, 0, 0, 0}, Value(start)});
        using Entry = std::pair<int, int>;  // value, node
        std::priority_queue<Entry> open;
        open.push({nodes[0].value, 0});
        std::vector<Candidate> moves;
        std::vector<Entry> met;
        met.push_back({nodes[0].value, 0});
        while (!open.empty() && nodes.size() < kPhaseNodes && !PositionsSpent()) {
            const int at = open.top().second;
            open.pop();
            Generate(nodes[static_cast<std::size_t>(at)].state, moves);
            for (const Candidate& m : moves) {
                if (m.from < 0)
                    continue;
                State next = nodes[static_cast<std::size_t>(at)].state;
                Apply(next, m);
                if (!m_seen.insert(Key(next)).second)
                    continue;
                const int value = Value(next);
                nodes.push_back({next, at, m, value});
                const int id = static_cast<int>(nodes.size()) - 1;
                if (next.removed >= m_homes) {
                    best.assign(1, id);
                    return true;
                }
                open.push({value, id});
                met.push_back({value, id});
            }
        }
        std::sort(met.begin(), met.end(), [](const Entry& a, const Entry& b) { return a.first > b.first; });
        best.clear();
        for (std::size_t i = 0; i < met.size() && best.size() < kBranches; ++i)
            best.push_back(met[i].second);
        return false;
    }

    // The moves from a phase's start to one of its nodes, appended to the path.
    void AppendPath(const std::vector<Node>& nodes, int id)
    {
        std::vector<SolverMove> tail;
        for (int at = id; nodes[static_cast<std::size_t>(at)].parent >= 0; at = nodes[static_cast<std::size_t>(at)].parent) {
            const Node& node = nodes[static_cast<std::size_t>(at)];
            tail.push_back(ToTableMove(nodes[static_cast<std::size_t>(node.parent)].state, node.move));
        }
        m_path.insert(m_path.end(), tail.rbegin(), tail.rend());
    }

    // One phase per deal: each of the phase's best positions is dealt from in turn, and the
    // search goes on from there until a win or the budget runs out.
    bool Search(const State& s, int depth)
    {
        if (s.removed >= m_homes)
            return true;
        if (PositionsSpent())
            return false;
        std::vector<Node> nodes;
        std::vector<int> best;
        const bool won = Phase(s, nodes, best);
        if (won) {
            AppendPath(nodes, best.front());
            return true;
        }
        for (int id : best) {
            const State& here = nodes[static_cast<std::size_t>(id)].state;
            if (here.stock == 0)
                continue;
            const std::size_t mark = m_path.size();
            AppendPath(nodes, id);
            State dealt = here;
            const Candidate deal{0, -1, 0, 0};
            m_path.push_back(ToTableMove(here, deal));
            Apply(dealt, deal);
            if (Search(dealt, depth + 1))
                return true;
            m_path.resize(mark);
            if (PositionsSpent())
                return false;
        }
        return false;
    }

    std::vector<int> m_columnPlace;   // table place of each column
    std::vector<std::uint8_t> m_stock;
    int m_stockPlace = -1;
    int m_homes = 0;
    bool m_colourRuns = false;
};

}  // namespace levels
