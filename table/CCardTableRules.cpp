// CCardTableRules.cpp: the rules that four variants name on their places, the reproducible
// random source of the "Cruel" deal, and the extra pass through the deck.
#include "table/CCardTable.h"

#include "app/Globals.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CScoreKeeper.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cstdint>

namespace {
constexpr int kSuitRun = 13;

bool IsSuitRun(const CPlace& place, int i)
{
    for (int k = i + 1; k < i + kSuitRun; ++k) {
        const CCard* prev = place.pile[static_cast<std::size_t>(k - 1)];
        const CCard* card = place.pile[static_cast<std::size_t>(k)];
        if (card->Rank != prev->Rank - 1 || card->Suit != prev->Suit)
            return false;
    }
    return true;
}

// A discard place holds one finished run. One without win conditions counts as full once it
// holds a run's worth of cards, so runs are never stacked on one another.
bool IsFullDiscard(const CPlace& place)
{
    if (place.win_cond.empty())
        return place.Size() >= kSuitRun;
    return place.win_cond.front().b == kSuitRun && place.Size() == kSuitRun;
}

// The C runtime's generator, seeded once per draw, so the same cards always draw the same number
// on every platform.
int CrtRandFromSeed(std::uint32_t seed)
{
    const std::uint32_t state = seed * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}
}  // namespace

void CCardTable::RecordRuleMove(int from, int to, int card, int flag)
{
    if (!m_pInterface->IsReplaying())
        m_pInterface->RecordMove(from, to, card, 1, flag);
}

bool CCardTable::ApplyRuleActions()
{
    if (IsHolding() || IsFlying())
        return false;
    for (int p = 0; p < PlaceCount(); ++p) {
        const std::string& name = m_Places[static_cast<std::size_t>(p)]->help_script;
        bool fired = false;
        if (name == "Spider")
            fired = ApplySpider(p);
        else if (name == "Pyramid")
            fired = ApplyPyramid(p);
        else if (name == "Cruel")
            fired = ApplyCruel(p);
        else if (name == "Fifteens")
            fired = ApplyFifteens(p);
        if (fired)
            return true;
    }
    return false;
}

bool CCardTable::ApplySpider(int p)
{
    CPlace& place = *m_Places[static_cast<std::size_t>(p)];
    const int n = place.Size();
    for (int i = 0; i + kSuitRun <= n; ++i) {
        const CCard* king = place.pile[static_cast<std::size_t>(i)];
        if (king->Rank != 12 || !king->IsFaceUp() || n - i != kSuitRun || !IsSuitRun(place, i))
            continue;
        CPlace* target = nullptr;
        for (const auto& other : m_Places) {
            if (other->type == kPlaceDiscard && !IsFullDiscard(*other)) {
                target = other.get();
                break;
            }
        }
        if (target == nullptr)
            continue;
        const int t = IndexOf(target);
        for (int moved = 0; moved < kSuitRun; ++moved) {
            RecordRuleMove(p, t, i, 0);
            place.MoveCard(i, target, CardMove::Down(0.5f).After(kAtOnce));
        }
        return true;
    }
    return false;
}

bool CCardTable::ApplyPyramid(int p)
{
    CPlace& place = *m_Places[static_cast<std::size_t>(p)];
    if (place.Size() != 2 || place.pile[0]->Rank + place.pile[1]->Rank + 2 != 13)
        return false;
    CPlace* target = FirstPlaceOfType(kPlaceDiscard);
    if (target == nullptr)
        return false;
    const int t = IndexOf(target);
    const LandingScore landing = m_pScoreKeeper->ScoreMove(&place, target, place.pile[0]);
    while (place.Size() > 0) {
        RecordRuleMove(p, t, 0, 0);
        place.MoveCard(0, target, CardMove::Up(0.5f).After(kAtOnce).Scored(landing));
    }
    return true;
}

bool CCardTable::ApplyCruel(int p)
{
    CPlace& place = *m_Places[static_cast<std::size_t>(p)];
    if (place.type != kPlaceColumn || place.Size() == 0)
        return false;
    const bool reproducible = m_pInterface->IsReplaying() || g_bCheatMode;
    for (int q = 0; q < PlaceCount(); ++q) {
        CPlace* other = m_Places[static_cast<std::size_t>(q)].get();
        if (q == p || other->type != kPlaceColumn)
            continue;
        for (int n = 0; n < 4; ++n) {
            if (place.Size() == 0)
                return true;
            const int last = place.Size() - 1;
            const int r = reproducible ? SeededRandom(0, last) : m_engine.RandomInt(0, last);
            const int pick = std::clamp(r, 0, last);  // the engine's answer is not trusted to stay in range
            RecordRuleMove(p, q, pick, 1);
            place.MoveCard(pick, other, CardMove::Up(0.2f).After(kAtOnce));
        }
    }
    return true;
}

bool CCardTable::ApplyFifteens(int p)
{
    CPlace& place = *m_Places[static_cast<std::size_t>(p)];
    if (place.type == kPlaceDeck || place.Size() == 0)
        return false;
    const bool allSmall =
        std::all_of(place.pile.begin(), place.pile.end(), [](const CCard* c) { return c->Rank <= 8; });
    bool holds;
    if (allSmall) {
        int sum = 0;
        for (const CCard* c : place.pile)
            sum += c->Rank + 1;
        holds = sum == 15;
    } else {
        const int rank = place.pile.front()->Rank;
        holds = place.Size() == 4 &&
                std::all_of(place.pile.begin(), place.pile.end(), [rank](const CCard* c) { return c->Rank == rank; });
    }
    if (!holds)
        return false;
    if (CPlace* target = FirstPlaceOfType(kPlaceDiscard)) {
        const int t = IndexOf(target);
        for (int n = place.Size(); n > 0; --n) {
            RecordRuleMove(p, t, 0, 0);
            place.MoveCard(0, target, CardMove::Down(0.5f).After(kAtOnce));
        }
    }
    for (int d = 0; d < PlaceCount(); ++d) {
        CPlace* deck = m_Places[static_cast<std::size_t>(d)].get();
        if (deck->type != kPlaceDeck)
            continue;
        for (int c = 0; c < PlaceCount(); ++c) {
            CPlace* column = m_Places[static_cast<std::size_t>(c)].get();
            if (column->type != kPlaceColumn || column->Size() != 0 || column->help_script == "Fifteens" ||
                deck->Size() == 0)
                continue;
            RecordRuleMove(d, c, deck->TopIndex(), 0);
            deck->MoveCard(deck->TopIndex(), column, CardMove::Up(0.5f).After(kAtOnce));
        }
    }
    return true;
}

void CCardTable::GatherCruel(CPlace* place)
{
    if (place == nullptr || place->help_script != "Cruel")
        return;
    m_pCursorHand->srcPlace = nullptr;
    if (!m_pInterface->IsReplaying())
        m_pInterface->RequestUndoSnapshot();
    const int clicked = IndexOf(place);
    if (clicked < 0)
        return;  // not a place of this table: nothing can gather on it
    for (int q = 0; q < PlaceCount(); ++q) {
        CPlace* column = m_Places[static_cast<std::size_t>(q)].get();
        if (column->type != kPlaceColumn)
            continue;
        PlayEffect(m_Sounds.m_hSndCardsAdd);
        const int n = column->Size();
        if (n > 0) {
            m_pScoreKeeper->prevFrom = m_pScoreKeeper->prevTo = nullptr;
            m_pScoreKeeper->lastFrom = m_pScoreKeeper->lastTo = nullptr;
        }
        for (int k = 0; k < n; ++k) {
            RecordRuleMove(q, clicked, 0, 1);
            column->MoveCard(0, place, CardMove::Down(0.2f).After(kAtOnce));
        }
    }
}

int CCardTable::SeededRandom(int lo, int hi) const
{
    if (lo == hi)
        return lo;
    const int low = std::min(lo, hi), high = std::max(lo, hi);
    float sum = 0;
    for (const auto& place : m_Places) {
        if (place->ttl != -1.0f || place->type == kPlaceHand)
            continue;
        int k = 1;
        for (const CCard* card : place->pile)
            sum += static_cast<float>(card->Suit * k++ / (card->Rank + 1));
    }
    const auto seed = static_cast<std::uint32_t>(static_cast<std::int64_t>(sum * 1000.0f));
    const double f = CrtRandFromSeed(seed) / 32767.0;
    const double span = static_cast<double>(high) - low + 1.0;
    const auto pick = static_cast<long long>(low + span * f);
    return static_cast<int>(std::min<long long>(pick, high));
}
