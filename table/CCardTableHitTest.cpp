// CCardTableHitTest.cpp: which place and card lie under the mouse, and where held cards would drop.
#include "table/CCardTable.h"

#include "table/CCursorHand.h"
#include "table/CMoveFinder.h"

namespace {
// A hit on a lower card of a fanned pile does not count: only the top card, or the empty place.
int TouchedTop(const CPlace& place, int px, int py, int w, int h, int top, int& dx, int& dy)
{
    int answer = place.HitTest(px, py, dx, dy);
    if (answer == top)
        return answer;
    const int corners[4][2] = {{px - w, py - h}, {px + w, py - h}, {px + w, py + h}, {px - w, py + h}};
    for (const auto& c : corners) {
        answer = place.HitTest(c[0], c[1], dx, dy);
        if (answer == top)
            return answer;
    }
    return -1;
}
}  // namespace

bool CCardTable::HitTest(int& placeIndex, int& cardIndex, int& dx, int& dy, bool fromTop) const
{
    const int n = PlaceCount();
    const int px = static_cast<int>(m_fMouseX);
    const int py = static_cast<int>(m_fMouseY);
    for (int k = 0; k < n; ++k) {
        const int i = fromTop ? n - 1 - k : k;
        const CPlace& place = *m_Places[static_cast<std::size_t>(i)];
        if (!place.visible && place.pile.empty())
            continue;
        int hx = 0, hy = 0;
        const int answer = place.HitTest(px, py, hx, hy);
        if (answer == -1)
            continue;
        placeIndex = i;
        cardIndex = answer == -2 ? -1 : answer;
        dx = hx;
        dy = hy;
        return true;
    }
    return false;
}

bool CCardTable::FindDropPlace(int& placeIndex, int& cardIndex, int& dx, int& dy, bool checkRules, bool nearest) const
{
    CPlace* hand = HandPlace();
    if (hand == nullptr)
        return false;
    const int w = m_nCardWidth / 2;
    const int h = m_nCardHeight / 2;
    const int px = hand->x + hand->x_offset;
    const int py = hand->y + hand->y_offset;
    bool found = false;
    float best = 0;
    for (int i = 0; i < PlaceCount(); ++i) {
        const CPlace& place = *m_Places[static_cast<std::size_t>(i)];
        const int top = place.pile.empty() ? -2 : place.TopIndex();
        // The drop test names an empty place's top as -1; the hit test as -2.
        if (checkRules && !m_pMoveFinder->CanDrop(i, place.TopIndex(), hand, m_pCursorHand->srcPlace))
            continue;
        int hx = 0, hy = 0;
        if (TouchedTop(place, px, py, w, h, top, hx, hy) != top)
            continue;
        const float d = static_cast<float>((px - place.x) * (px - place.x) + (py - place.y) * (py - place.y));
        if (found && d >= best)
            continue;
        found = true;
        best = d;
        placeIndex = i;
        cardIndex = top == -2 ? -1 : top;
        dx = hx;
        dy = hy;
        if (!nearest)
            break;
    }
    return found;
}

int CCardTable::FindPlaceOfType(int type) const
{
    for (int i = 0; i < PlaceCount(); ++i) {
        if (m_Places[static_cast<std::size_t>(i)]->type == type)
            return i;
    }
    return -1;
}

CPlace* CCardTable::AddPlace(std::unique_ptr<CPlace> place)
{
    m_Places.push_back(std::move(place));
    m_bCheckMoves = true;
    return m_Places.back().get();
}
