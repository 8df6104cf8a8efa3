// CMoveFinder.cpp: the move list, hints, stock simulation and the no-more-moves answer.
#include "table/CMoveFinder.h"

#include "platform/EngineRef.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <memory>

CMoveFinder::CMoveFinder(CCardTable* owner) : table(owner) {}

CPlace* CMoveFinder::Place(int index) const
{
    return table->GetPlace(index);
}

bool CMoveFinder::HasPlaceOfType(int type) const
{
    for (int i = 0; i < table->PlaceCount(); ++i) {
        if (Place(i)->type == type)
            return true;
    }
    return false;
}

bool CMoveFinder::CanDropAnywhere(CPlace* moving, CPlace* source, int excludeType, const CPlace* excludePlace) const
{
    for (int i = 0; i < table->PlaceCount(); ++i) {
        const CPlace* q = Place(i);
        if (q->type == excludeType || q->type == kPlaceHand || q->type == kPlaceDeck || q == excludePlace)
            continue;
        if (CanDrop(i, q->TopIndex(), moving, source))
            return true;
    }
    return false;
}

bool CMoveFinder::Refresh()
{
    if (table->NeedsMoveSearch() && !table->IsFlying()) {
        FindMoves();
        StockCanHelp();
        freeCellMove = false;
        if (!stockCanHelp)
            FreeCellMove();
        table->MoveSearchDone();
        movesChanged = true;
    }
    return !moves.empty();
}

void CMoveFinder::AddDragsFrom(int p, int i)
{
    CPlace* src = Place(p);
    // Lift the run into a trial place for the test; the same card objects go back afterwards.
    CPlace trial(table, true);
    trial.pile.assign(src->pile.begin() + i, src->pile.end());
    src->pile.resize(static_cast<std::size_t>(i));

    for (int q = 0; q < table->PlaceCount(); ++q) {
        if (q == p)
            continue;
        const CPlace* dst = Place(q);
        const int j = dst->TopIndex();
        if (i == 0 && j < 0 && dst->type == src->type)
            continue;
        if (dst->type == kPlaceFreeCell)
            continue;
        if (j >= 0 && i > 0 && dst->type == src->type) {
            const CCard* below = src->pile[static_cast<std::size_t>(i - 1)];
            if (below->IsFaceUp() && below->Rank == dst->pile.back()->Rank &&
                CanDrop(p, i - 1, &trial, src)) {
                ++uselessMoves;  // the run already lies legally on an equal card: a mere shuffle
                continue;
            }
        }
        if (CanDrop(q, j, &trial, src))
            moves.push_back({kMoveDrag, p, i, q, j});
    }
    src->pile.insert(src->pile.end(), trial.pile.begin(), trial.pile.end());
}

void CMoveFinder::FindMoves()
{
    moves.clear();
    uselessMoves = 0;
    for (int p = 0; p < table->PlaceCount(); ++p) {
        const int top = Place(p)->TopIndex();
        for (int i = top < 0 ? -1 : 0; i <= top; ++i) {
            const CPlace* src = Place(p);
            if (i >= 0 && src->pile[static_cast<std::size_t>(i)]->IsFaceUp() && !IsHouseType(src->type) &&
                src->type != kPlaceDiscard && CanPick(p, i))
                AddDragsFrom(p, i);
            if (CanClick(p, i))
                moves.push_back({kMoveClick, p, i, p, i});
        }
    }
    OrderMoves();
    if (hintIndex >= static_cast<int>(moves.size()))
        hintIndex = static_cast<int>(moves.size()) - 1;
}

void CMoveFinder::OrderMoves()
{
    auto typeOf = [this](const MoveRecord& m) { return Place(m.fromPlace)->type; };
    const std::size_t n = moves.size();
    // Two selection passes, each taking the last entry that matches its rule.
    for (std::size_t a = 0; a < n; ++a) {
        std::size_t best = a;
        for (std::size_t b = a + 1; b < n; ++b) {
            if (moves[a].kind == kMoveClick && moves[b].kind == kMoveClick && typeOf(moves[b]) != kPlaceColumn)
                best = b;
        }
        std::swap(moves[a], moves[best]);
    }
    for (std::size_t a = 0; a < n; ++a) {
        std::size_t best = a;
        for (std::size_t b = a + 1; b < n; ++b) {
            const bool dragBeforeClick = moves[b].kind == kMoveDrag && moves[a].kind == kMoveClick;
            const bool columnDrag = moves[b].kind == kMoveDrag && moves[a].kind == kMoveDrag && typeOf(moves[b]) == kPlaceColumn;
            if (dragBeforeClick || columnDrag)
                best = b;
        }
        std::swap(moves[a], moves[best]);
    }
}

void CMoveFinder::StockCanHelp()
{
    stockCanHelp = false;
    CPlace* stock = nullptr;
    for (int i = 0; i < table->PlaceCount() && stock == nullptr; ++i) {
        if (Place(i)->type == kPlaceDeck)
            stock = Place(i);
    }
    if (stock == nullptr)
        return;
    if (stock->Size() > 0) {
        stockCanHelp = true;
        return;
    }
    const std::size_t saved = stock->pile.size();
    CPlace probe(table, true);
    if (stock->click_empty_limit != 0) {
        for (const PlaceRequirement& req : stock->click_empty) {
            if (req.a != ClickEmptyCode::kGatherPops)
                continue;
            for (int w = 0; w < table->PlaceCount(); ++w) {
                const CPlace* waste = Place(w);
                if (waste->type != kPlacePop)
                    continue;
                for (auto it = waste->pile.rbegin(); it != waste->pile.rend(); ++it)
                    stock->pile.push_back(*it);  // shared with the waste only for the simulation
            }
        }
    }
    SimulateStock(*stock, probe);
    stock->pile.resize(saved);
}

bool CMoveFinder::SimulateStock(CPlace& stock, CPlace& probe)
{
    int k = stock.TopIndex();
    int before;
    do {
        before = k;
        for (const PlaceRequirement& req : stock.click_card) {
            for (int w = 0; w < table->PlaceCount() && !stockCanHelp; ++w) {
                CPlace* place = Place(w);
                const bool deals = req.a == ClickCardCode::kDealOne || req.a == ClickCardCode::kDealThree;
                if (deals && place->type == kPlacePop && k >= 0) {
                    if (req.a == ClickCardCode::kDealThree) {
                        for (int skipped = 0; skipped < 2 && k > 0; ++skipped)
                            --k;
                    }
                    probe.pile.assign(1, stock.pile[static_cast<std::size_t>(k)]);
                    --k;
                    stockCanHelp = CanDropAnywhere(&probe, place, kPlacePop, nullptr);
                    probe.pile.clear();
                } else if (req.a == ClickCardCode::kToDiscard && place->type == kPlaceDiscard && k >= 0) {
                    place->pile.push_back(stock.pile[static_cast<std::size_t>(k)]);
                    --k;
                    for (int r = 0; r < table->PlaceCount() && !stockCanHelp; ++r) {
                        CPlace* from = Place(r);
                        if ((from->type != kPlaceColumn && from->type != kPlacePop) || from->Size() == 0 ||
                            from == place)
                            continue;
                        probe.pile.assign(1, from->pile.back());
                        stockCanHelp = CanDrop(w, place->TopIndex(), &probe, from);
                        probe.pile.clear();
                    }
                    place->pile.pop_back();
                }
            }
            if (req.a == ClickCardCode::kDealToColumns) {
                k = -1;
                stockCanHelp = stock.Size() > 0;
            }
            if (stockCanHelp)
                return true;
        }
    } while (k != before && k >= 0);
    return stockCanHelp;
}

void CMoveFinder::FreeCellMove()
{
    freeCellMove = false;
    bool emptyCell = false;
    for (int i = 0; i < table->PlaceCount(); ++i) {
        if (Place(i)->type == kPlaceFreeCell && Place(i)->Size() == 0)
            emptyCell = true;
    }
    if (!emptyCell)
        return;
    for (int i = 0; i < table->PlaceCount(); ++i) {
        if (Place(i)->type != kPlaceFreeCell && CanPick(i, Place(i)->TopIndex())) {
            freeCellMove = true;
            return;
        }
    }
}

bool CMoveFinder::IsRejectedHint(const MoveRecord& move) const
{
    const CPlace* src = Place(move.fromPlace);
    const CPlace* dst = Place(move.toPlace);
    // A list kept while cards fly may name a place that has expired since: never hint it.
    if (src == nullptr || dst == nullptr)
        return true;
    if (move.kind == kMoveClick)
        return src->type == kPlaceDeck;
    if (src->Size() == 0)
        return false;
    const CCard* card = src->GetCard(move.fromCard);
    const PlaceMove& last = table->LastMove();
    if (last.From == src && last.To == dst && last.Card == card)
        return true;
    if (last.From == dst && last.To == src && last.Card == card)
        return true;
    if (src->LastMove.From == dst && src->LastMove.Card == card && src->LastMove.Card != nullptr)
        return true;
    return move.fromCard == 0 && dst->Size() == 0 && dst->type == src->type;
}

bool CMoveFinder::NextHint(MoveRecord& move)
{
    if (!Refresh())
        return false;
    const int size = static_cast<int>(moves.size());
    int remaining = size;
    bool haveFallback = false;
    MoveRecord fallback;
    bool rejected;
    do {
        hintIndex = (std::max(hintIndex, -1) + 1) % size;
        move = moves[static_cast<std::size_t>(hintIndex)];
        --remaining;
        rejected = IsRejectedHint(move);
        if (rejected && move.kind == kMoveClick && Place(move.fromPlace) != nullptr && !haveFallback) {
            haveFallback = true;
            fallback = move;
        }
    } while (rejected && remaining > 0);
    if (rejected && haveFallback)
        move = fallback;
    return true;
}

bool CMoveFinder::AnyMove()
{
    const int saved = hintIndex;
    MoveRecord move;
    const bool found = NextHint(move);
    hintIndex = saved;
    if (found) {
        const CPlace* src = Place(move.fromPlace);
        return !(move.kind == kMoveClick && move.fromPlace == move.toPlace && src != nullptr && src->type == kPlaceDeck);
    }
    return false;
}

bool CMoveFinder::NoMoreMoves()
{
    if (!Refresh())
        return true;
    if (AnyMove())
        return false;
    return !stockCanHelp;
}

void CMoveFinder::PlayMove(int from, int to, int fromCard, bool ghost)
{
    CPlace* src = Place(from);
    CPlace* dst = Place(to);
    if (src == nullptr || dst == nullptr || table->IsFlightTo(src))
        return;
    // A recorded move may name a card its pile does not hold (a damaged or foreign recording).
    const bool clickOnPlace = from == to && fromCard == -1;
    if (!clickOnPlace && (fromCard < 0 || fromCard >= src->Size())) {
        CEngineRef().Log("[W] Move %d:%d -> %d names no card of its place, skipped", from, fromCard, to);
        return;
    }
    table->PlayEffect(table->Sounds().m_hSndCardGet[table->RandomInt(0, 2) % 3]);
    if (from == to) {
        if (ghost && src->Size() > 0)
            src->pile.back()->SetGhost(0.4f, 0.0001f);
        table->ClickPlace(from, fromCard, false);
    } else {
        if (ghost && dst->Size() > 0)
            dst->pile.back()->SetGhost(1.0f, 0.0001f);
        for (int n = src->Size() - fromCard; n > 0; --n) {
            if (ghost)
                src->pile[static_cast<std::size_t>(fromCard)]->SetGhost(1.0f, 0.0001f);
            src->MoveCard(fromCard, dst, CardMove::Up(0.5f).After(kAtOnce));
        }
    }
    table->GetHost()->RestartAutoHint();
}
