// CActionTargets.cpp: the cards an armed special action would take, shown before it is applied.
#include "table/CActionTargets.h"

#include "framework/StringUtils.h"
#include "table/CCardTable.h"
#include "table/CCard.h"
#include "table/CCursorHand.h"
#include "table/CSpecialActions.h"
#include "table/CTableMouse.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {
// The cards a place was dealt by its tokens: "-1:n:..." deals n random cards, any other token one.
int DealtCount(const CPlace& place)
{
    int n = 0;
    for (const std::string& token : place.cards) {
        PlaceRequirement req;
        ParseRequirement(token, req);
        n += req.a < 0 ? req.b : 1;
    }
    return n;
}

// 1 when the layout has one card per place (the shapes then run across places), else 2.
int LayoutDepth(const CPlace& hit)
{
    if (hit.help_script == "Pyramid")
        return 1;
    // A place dealt no card is not a one-card place: its pile grows in play.
    if (DealtCount(hit) != 1)
        return 2;
    return (!hit.empty_drop_req.empty() && hit.drop_req.empty()) ? 1 : 2;
}

bool IsColumnType(const CPlace* place)
{
    return place != nullptr && (place->type == kPlaceColumn || place->type == kPlaceSideColumn);
}

// Sorted by key ascending; a selection pass taking the first smallest keeps equal keys in order.
void SortByKey(std::vector<int>& indexes, std::vector<int> keys)
{
    for (std::size_t k = 0; k < indexes.size(); ++k) {
        std::size_t best = k;
        for (std::size_t l = k + 1; l < indexes.size(); ++l) {
            if (keys[l] < keys[best])
                best = l;
        }
        std::swap(indexes[k], indexes[best]);
        std::swap(keys[k], keys[best]);
    }
}

float MouseX(const CCardTable& t)
{
    return t.GetMouse()->Sample().m_fMouseX;
}

float MouseY(const CCardTable& t)
{
    return t.GetMouse()->Sample().m_fMouseY;
}

int PositionOf(const std::vector<int>& list, int value)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == value)
            return static_cast<int>(i);
    }
    return -1;
}

void Select(CCard* card)
{
    if (card != nullptr)
        card->Shadow = true;
}

// The working values of one pass.
struct Pointed {
    CPlace* H = nullptr;
    int h = -1;       // H's index
    int c = -1;       // the pointed card's index in H
    int depth = 2;
    std::vector<int> row, column;
    int rowPos = -1, colPos = -1;
};

// The actions that never select on a side column: only single cards, pairs and piles to turn up do.
bool IgnoresSideColumns(int code)
{
    switch (code) {
    case kActionThreeToHouse:
    case kActionThreeToDeck:
    case kActionRowToHouse:
    case kActionRowToDeck:
    case kActionColumnToHouse:
    case kActionColumnToDeck:
    case kActionDiagonalToHouse:
    case kActionDiagonalToDeck:
    case kActionPeekRow:
    case kActionPeekPile:
    case kActionShuffleColumn:
    case kActionShuffleRow:
    case kActionShuffleAll:
    case kActionShuffleDiagonal:
    case kActionTakeRun:
    case kActionExtraDeckPass:
        return true;
    default:
        return false;
    }
}

// The places of H's row (same height and turn, by x) and of the column under the mouse (by y).
void FindRowAndColumn(const CCardTable& t, Pointed& p)
{
    const CPlace& H = *p.H;
    const float halfW = static_cast<float>(t.GetCardSize().m_nCardWidth) / 1.8f;
    std::vector<int> rowKeys, colKeys;
    for (int i = 0; i < t.PlaceCount(); ++i) {
        const CPlace& q = *t.GetPlace(i);
        if (std::fabs(q.rotate - H.rotate) >= 0.05f)
            continue;
        if (std::abs(q.y - H.y) < 10) {
            p.row.push_back(i);
            rowKeys.push_back(q.x);
        }
        if (std::fabs(static_cast<float>(q.x) - MouseX(t)) < halfW) {
            p.column.push_back(i);
            colKeys.push_back(q.y);
        }
    }
    SortByKey(p.row, rowKeys);
    SortByKey(p.column, colKeys);
    p.rowPos = PositionOf(p.row, p.h);
    p.colPos = PositionOf(p.column, p.h);
}

// The place `step` positions away from `pos` in a sorted list of places; null off its ends.
CPlace* Neighbour(const CCardTable& t, const std::vector<int>& list, int pos, int step)
{
    if (pos < 0)
        return nullptr;
    const int at = pos + step;
    if (at < 0 || at >= static_cast<int>(list.size()))
        return nullptr;
    return t.GetPlace(list[static_cast<std::size_t>(at)]);
}

CPlace* RowNeighbour(const CCardTable& t, const Pointed& p, int step)
{
    return Neighbour(t, p.row, p.rowPos, step);
}

CPlace* ColumnNeighbour(const CCardTable& t, const Pointed& p, int step)
{
    return Neighbour(t, p.column, p.colPos, step);
}

// P's top card when c is H's top card, else P's card c (null when P has none).
CCard* DepthCard(const Pointed& p, const CPlace& place)
{
    return p.c == p.H->TopIndex() ? place.GetCard(-1) : place.GetCard(p.c);
}

void ClearAllSelections(CCardTable& t)
{
    for (int i = 0; i < t.PlaceCount(); ++i) {
        for (CCard* card : t.GetPlace(i)->pile)
            card->Shadow = false;
    }
}

void SelectPair(CCardTable& t, const Pointed& p)
{
    const CPlace& H = *p.H;
    CCard* card = H.GetCard(p.c);
    const int side = t.GetCardSize().m_nCardWidth / 5;
    const float off = MouseX(t) - static_cast<float>(H.x);
    if (off <= -side || off >= side) {
        const CPlace* N = RowNeighbour(t, p, off < 0 ? -1 : 1);
        if (!IsColumnType(N))
            return;
        const int k = p.c < N->Size() ? p.c : N->TopIndex();
        if (k < 0)
            return;
        CCard* other = N->GetCard(k);
        if (p.c == H.TopIndex() || other->IsFaceUp() != card->IsFaceUp())
            other = N->GetCard(-1);
        Select(other);
        Select(card);
        return;
    }
    CCard* other = H.GetCard(p.c == 0 ? 1 : p.c - 1);
    if (other != nullptr) {
        Select(other);
        Select(card);
        return;
    }
    if (p.depth != 1)
        return;
    const CPlace* N = ColumnNeighbour(t, p, H.y <= static_cast<int>(MouseY(t)) ? 1 : -1);
    if (!IsColumnType(N) || N->Size() == 0)
        return;
    Select(N->GetCard(-1));
    Select(card);
}

void SelectThree(const Pointed& p)
{
    const CPlace& H = *p.H;
    if (H.Size() <= 2)
        return;
    int first = p.c - 1 < 0 ? p.c : p.c - 1;
    if (first + 2 > H.TopIndex())
        first -= 1;
    for (int i = first; i < first + 3; ++i)
        Select(H.GetCard(i));
}

// The depth card of every type-3 place of the row; returns the last one selected.
CCard* SelectRow(const CCardTable& t, const Pointed& p, bool faceUpOnly)
{
    CCard* last = nullptr;
    for (int i : p.row) {
        const CPlace& q = *t.GetPlace(i);
        CCard* card = q.type == kPlaceColumn ? DepthCard(p, q) : nullptr;
        if (card == nullptr || (faceUpOnly && !card->IsFaceUp()))
            continue;
        Select(card);
        last = card;
    }
    return last;
}

void SelectAllOf(const CPlace& place)
{
    for (CCard* card : place.pile)
        Select(card);
}

void SelectColumn(const CCardTable& t, const Pointed& p)
{
    if (p.depth != 1) {
        SelectAllOf(*p.H);
        return;
    }
    for (int i : p.column) {
        const CPlace& q = *t.GetPlace(i);
        if (IsColumnType(&q) && q.Size() > p.c)
            Select(q.GetCard(p.c));
    }
}

void SelectDiagonal(const CCardTable& t, const Pointed& p)
{
    const CPlace& H = *p.H;
    Select(H.GetCard(p.c));
    const int s = MouseX(t) <= static_cast<float>(H.x) ? 1 : -1;
    if (p.depth != 1) {
        for (int dir : {1, -1}) {
            int k = p.c;
            for (int at = p.rowPos + dir; p.rowPos >= 0 && at >= 0 && at < static_cast<int>(p.row.size()); at += dir) {
                k += dir * s;
                const CPlace& q = *t.GetPlace(p.row[static_cast<std::size_t>(at)]);
                if (q.type == kPlaceColumn && k >= 0 && k < q.Size())
                    Select(q.GetCard(k));
            }
        }
        return;
    }
    // A line through H's anchor rising towards the mouse's side with the card's slope.
    const float dirX = static_cast<float>(s > 0 ? -t.GetCardSize().m_nCardWidth : t.GetCardSize().m_nCardWidth);
    const float dirY = static_cast<float>(-t.GetCardSize().m_nCardHeight);
    const float len = std::sqrt(dirX * dirX + dirY * dirY);
    if (len <= 0.0f)
        return;
    const float limit =
        static_cast<float>(std::min(t.GetCardSize().m_nCardWidth, t.GetCardSize().m_nCardHeight)) / 2.0f;
    for (int i = 0; i < t.PlaceCount(); ++i) {
        const CPlace& q = *t.GetPlace(i);
        if (q.type != kPlaceColumn)
            continue;
        const float qx = static_cast<float>(q.x - H.x), qy = static_cast<float>(q.y - H.y);
        if (std::fabs(qx * dirY - qy * dirX) / len < limit)
            Select(q.GetCard(-1));
    }
}

void SelectToReveal(CCardTable& t, const Pointed& p)
{
    const CPlace& H = *p.H;
    std::vector<CCard*> chosen;
    if (p.depth == 1) {
        for (int i = 0; i < t.PlaceCount(); ++i) {
            const CPlace& q = *t.GetPlace(i);
            if (q.type == kPlaceColumn && std::abs(q.y - H.y) < 3 && q.Size() > p.c)
                chosen.push_back(q.GetCard(p.c));
        }
    } else {
        chosen = H.pile;
    }
    bool hidden = false;
    for (CCard* card : chosen) {
        Select(card);
        hidden = hidden || !card->IsFaceUp();
    }
    const float stepX = std::fabs(t.Level().nHOffsetVisible * H.h_offset);
    const float stepY = std::fabs(t.Level().nVOffsetVisible * H.v_offset);
    if (!hidden && (stepX > 1.0f || stepY > 1.0f))
        ClearAllSelections(t);  // the action would reveal nothing
}

// The codes that select on a side column as well as on a main one; false for any other code.
bool SelectOnAnyColumn(CCardTable& t, int code, const Pointed& p)
{
    CCard* card = p.H->GetCard(p.c);
    switch (code) {
    case kActionCardToHouse:
    case kActionCardToDeck:
        Select(card);
        return true;
    case kActionPeekCard:
        if (!card->IsFaceUp())
            Select(card);
        return true;
    case kActionSwapWithRandom:
    case kActionTakeAnyCards:
        if (card->IsFaceUp())
            Select(card);
        return true;
    case kActionPairToHouse:
    case kActionPairToDeck:
    case kActionExchangePair:
        SelectPair(t, p);
        return true;
    case kActionColumnToHouse:
    case kActionColumnToDeck:
    case kActionShuffleColumn:
        SelectColumn(t, p);
        return true;
    default:
        return false;
    }
}

void SelectOnMainColumn(CCardTable& t, int code, const Pointed& p)
{
    const CPlace& H = *p.H;
    switch (code) {
    case kActionThreeToHouse:
    case kActionThreeToDeck:
        SelectThree(p);
        break;
    case kActionRowToHouse:
    case kActionRowToDeck:
        SelectRow(t, p, true);
        break;
    case kActionShuffleRow:
        SelectRow(t, p, false);
        break;
    case kActionPeekRow: {
        const CCard* last = SelectRow(t, p, false);
        if (last == nullptr || last->IsFaceUp())
            ClearAllSelections(t);
        break;
    }
    case kActionDiagonalToHouse:
    case kActionDiagonalToDeck:
    case kActionShuffleDiagonal:
        SelectDiagonal(t, p);
        break;
    case kActionPeekPile:
    case kActionTurnPileUp:
        SelectToReveal(t, p);
        break;
    case kActionShuffleAll:
        for (int i = 0; i < t.PlaceCount(); ++i) {
            if (t.GetPlace(i)->type == kPlaceColumn)
                SelectAllOf(*t.GetPlace(i));
        }
        break;
    case kActionTakeRun:
        if (H.GetCard(p.c)->IsFaceUp() && p.depth != 1) {
            for (int i = p.c; i <= H.TopIndex(); ++i)
                Select(H.GetCard(i));
        }
        break;
    default:
        break;  // the deck pass needs no target; other codes select nothing
    }
}

void SelectFor(CCardTable& t, int code, const Pointed& p)
{
    if (IsColumnType(p.H) && SelectOnAnyColumn(t, code, p))
        return;
    if (p.H->type == kPlaceColumn)
        SelectOnMainColumn(t, code, p);
}
}  // namespace

void CActionTargets::SelectActionTargets(int code)
{
    // The places clear these when they draw; clearing here too keeps a pass that selects nothing
    // from acting on the cards of an earlier frame when nothing was drawn in between.
    ClearAllSelections(m_table);
    Pointed p;
    CCard* pointed = nullptr;
    const std::optional<PlaceHit> hit = m_table.GetMouse()->HitTest(true);
    if (hit && hit->card >= 0) {
        p.h = hit->place;
        p.c = hit->card;
        p.H = m_table.GetPlace(p.h);
        if (p.H->type == kPlaceSideColumn && IgnoresSideColumns(code))
            return;
        pointed = p.H->GetCard(p.c);
        p.depth = LayoutDepth(*p.H);
        FindRowAndColumn(m_table, p);
        SelectFor(m_table, code, p);
    }
    // The fan spreads at the pointed card while an action is armed, as it does under the mouse.
    CCursorHand& hand = *m_table.GetCursorHand();
    if (pointed != hand.hoverCard) {
        hand.hoverCard = pointed;
        hand.hoverTimer = hand.hoverPeriod;
    }
}
