// CUndoHistory.cpp: taking snapshots and flying the cards back to the one before the last.
#include "table/CUndoHistory.h"

#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CScoreKeeper.h"
#include "table/CSpecialActions.h"
#include "table/ITableHost.h"

#include <algorithm>

namespace {
constexpr float kFlightTime = 0.5f;
}  // namespace

CUndoHistory::CUndoHistory(CCardTable* table, CManaBar* bar) : m_pTable(table), m_pBar(bar) {}

CUndoHistory::~CUndoHistory() = default;

bool CUndoHistory::IsBonusLevel() const
{
    return IsBonusLevelMode(m_pTable->GetMode());
}

std::vector<CPlace*> CUndoHistory::LivePlaces() const
{
    std::vector<CPlace*> live;
    for (int i = 0; i < m_pTable->PlaceCount(); ++i) {
        CPlace* place = m_pTable->GetPlace(i);
        // Peeks (a countdown) and the hand come and go; they are never part of a snapshot.
        if (place->type != kPlaceHand && place->ttl < 0.0f)
            live.push_back(place);
    }
    return live;
}

CPlace* CUndoHistory::Known(CPlace* place) const
{
    if (place == nullptr)
        return nullptr;
    return m_pTable->IndexOf(place) >= 0 || place == m_pTable->HandPlace() ? place : nullptr;
}

void CUndoHistory::Request()
{
    if (!IsBonusLevel())
        m_nRequested = 1;
}

void CUndoHistory::Update()
{
    if (m_nRequested != 1 || IsBonusLevel() || m_pTable->IsFlying() || m_pTable->IsHolding() ||
        m_pTable->GetHost()->HasPendingItems())
        return;
    m_nRequested = -1;
    Capture();
    Commit();
}

void CUndoHistory::Capture()
{
    if (IsBonusLevel() || m_pPending != nullptr)
        return;
    CCardTable& t = *m_pTable;
    auto entry = std::make_unique<Entry>();
    if (m_pBar != nullptr) {
        entry->bar = std::make_unique<CManaBar>(m_pBar->GetCapacity(), nullptr, nullptr);
        entry->bar->CopyFrom(m_pBar);
        for (int i = 0; i < CManaBar::kGauges; ++i)
            entry->gaugeFull[i] = m_pBar->IsFull(i);
    }
    entry->values = t.SaveValues();
    entry->bonusAction = t.GetSpecialActions()->ArmedCode();
    const CScoreKeeper& keeper = *t.GetScoreKeeper();
    entry->prevFrom = keeper.prevFrom;
    entry->prevTo = keeper.prevTo;
    entry->lastFrom = keeper.lastFrom;
    entry->lastTo = keeper.lastTo;
    entry->score = keeper.GetScore();
    entry->combos = keeper.Combos();
    m_pPending = std::move(entry);
}

void CUndoHistory::Commit()
{
    if (IsBonusLevel() || m_pPending == nullptr)
        return;
    ITableHost* host = m_pTable->GetHost();
    if (!host->IsUndoEnabled() && !m_entries.empty())
        host->SetUndoEnabled(true);
    for (CPlace* place : LivePlaces()) {
        auto copy = std::make_unique<CPlace>(m_pTable, true);
        copy->TakeSnapshot(place);
        m_pPending->places.push_back(std::move(copy));
        // A golden card pays once: from now on it is plain, though the snapshot keeps it golden.
        for (CCard* card : place->pile) {
            if (card->CardState == kCardBonusScored)
                card->CardState = kCardPlain;
        }
    }
    m_entries.push_back(std::move(m_pPending));
}

bool CUndoHistory::Undo()
{
    if (IsBonusLevel() || m_entries.size() < 2)
        return false;
    ++m_nUndoCount;
    const Entry& target = *m_entries[m_entries.size() - 2];
    const std::vector<CPlace*> live = LivePlaces();
    const std::size_t shared = std::min(live.size(), target.places.size());

    std::vector<Relocation> moves;
    for (std::size_t i = 0; i < shared; ++i) {
        live[i]->click_empty_limit = target.places[i]->click_empty_limit;
        for (std::size_t c = 0; c < live[i]->pile.size(); ++c) {
            CCard* card = live[i]->pile[c];
            for (std::size_t j = 0; j < shared; ++j) {
                const CPlace& snap = *target.places[j];
                const auto it = std::find(snap.pile.begin(), snap.pile.end(), card);
                if (it == snap.pile.end())
                    continue;
                const std::size_t k = static_cast<std::size_t>(it - snap.pile.begin());
                const CardSnapshot state = k < snap.savedCards.size() ? snap.savedCards[k] : CardSnapshot();
                if (i == j && c == k && card->IsFaceUp() == state.faceUp)
                    break;  // already where it belongs
                moves.push_back({card, static_cast<int>(i), static_cast<int>(j), static_cast<int>(k), state.faceUp,
                                 state.CardState, state.moved});
                break;
            }
        }
    }
    // Lowest target index first, so every pile is rebuilt from the bottom.
    std::stable_sort(moves.begin(), moves.end(),
                     [](const Relocation& a, const Relocation& b) { return a.toIndex < b.toIndex; });
    for (const Relocation& m : moves) {
        CPlace* from = live[static_cast<std::size_t>(m.fromPlace)];
        const auto it = std::find(from->pile.begin(), from->pile.end(), m.card);
        if (it == from->pile.end())
            continue;
        m.card->CardState = m.cardState;
        m.card->Moved = m.moved;
        from->MoveCard(static_cast<int>(it - from->pile.begin()), live[static_cast<std::size_t>(m.toPlace)],
                       CardMove::Face(m.faceUp, kFlightTime).After(kAtOnce).Into(m.toIndex));
    }
    RestoreValues(target);
    Drop(-1);
    return true;
}

void CUndoHistory::RestoreValues(const Entry& e)
{
    CCardTable& t = *m_pTable;
    ITableHost* host = t.GetHost();
    if (m_pBar != nullptr && e.bar != nullptr) {
        m_pBar->CopyFrom(e.bar.get());
        m_pBar->ShowTrueLevels();
        for (int i = 0; i < CManaBar::kGauges; ++i)
            host->SetBonusButtonReady(i, e.gaugeFull[i]);
    }
    // A place that has gone since (a peek's) must not come back as a pointer.
    TableValues values = e.values;
    values.lastMove.From = Known(values.lastMove.From);
    values.lastMove.To = Known(values.lastMove.To);
    values.lastSource = Known(values.lastSource);
    t.RestoreValues(values);
    t.GetSpecialActions()->RestoreArmed(e.bonusAction);
    CScoreKeeper& keeper = *t.GetScoreKeeper();
    keeper.prevFrom = Known(e.prevFrom);
    keeper.prevTo = Known(e.prevTo);
    keeper.lastFrom = Known(e.lastFrom);
    keeper.lastTo = Known(e.lastTo);
    keeper.SetScore(e.score, false);
    keeper.RestoreCombos(e.combos);
}

void CUndoHistory::Clear()
{
    if (IsBonusLevel())
        return;
    m_nUndoCount = 0;
    m_entries.clear();
    m_pPending.reset();
    m_pTable->GetHost()->SetUndoEnabled(false);
}

void CUndoHistory::Drop(int index)
{
    if (m_entries.empty())
        return;
    const int at = index == -1 ? Count() - 1 : index;
    if (at < 0 || at >= Count())
        return;
    m_entries.erase(m_entries.begin() + at);
    ITableHost* host = m_pTable->GetHost();
    if (host->IsUndoEnabled() && m_entries.size() <= 1)
        host->SetUndoEnabled(false);
}
