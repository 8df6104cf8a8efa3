// CCardTableMouse.cpp: the mouse handling of the card table: pick, drag, drop, click, double click.
#include "table/CCardTable.h"

#include "app/Globals.h"
#include "framework/CFMouse.h"
#include "framework/TraceEvent.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CMoveFinder.h"
#include "table/CScoreKeeper.h"
#include "table/ITableHost.h"

#include <algorithm>

namespace {
constexpr float kGlowSeconds = 2.0f;
constexpr int kGlowRules = 1;

bool TakesDoubleClick(const CPlace& place)
{
    return place.type == 0 || place.type == 6 || place.type == 5;
}
}  // namespace

void CCardTable::SampleMouse(float& x, float& y, int& event)
{
    m_nButtonEvent = 0;
    m_bRightRelease = false;
    if (const CFMouse* mouse = CFMouse::GetInstance()) {
        mouse->GetPosition(m_fMouseX, m_fMouseY);
        const int active = mouse->GetActiveButton();
        if (active == 1) {
            m_nRawButtonEvent = mouse->GetButtonEvent();
            m_nPrevButtonEvent = mouse->GetPreviousButtonEvent(1);
            m_nButtonEvent = m_nRawButtonEvent;
        } else if (active == 2) {
            m_bRightRelease = mouse->GetButtonEvent() == CFMouse::kEventReleased;
        }
    }
    // A replay or an open help window owns the mouse: the table sees no button at all.
    if (m_pInterface->IsReplaying() || m_pInterface->IsHelpWindowShown()) {
        m_nButtonEvent = 0;
        m_bRightRelease = false;
    }
    x = m_fMouseX;
    y = m_fMouseY;
    event = m_nButtonEvent;
}

void CCardTable::PlayRandom(const HEffect (&sounds)[3])
{
    PlayEffect(sounds[std::clamp(RandomInt(0, 2), 0, 2)]);
}

void CCardTable::HandleMouse()
{
    CCursorHand& hand = *m_pCursorHand;
    int event = m_nMouseEvent;
    if (!hand.IsHolding() && m_bDblRequest) {
        m_bDblRequest = false;
        event = 3;
        m_nLastMouseEvent = 1;
        m_bDblPending = true;
    }
    // A right click acts as a double click.
    if (!hand.IsHolding() && event == 0 && m_bRightRelease) {
        event = 3;
        m_nLastMouseEvent = 1;
        m_bDblPending = true;
    }
    CCard* hovered = nullptr;
    if (event == 2) {
        PressCard();
    } else if (event == 3) {
        if (DoubleClickCard(event))
            return;
    } else if (event != 1) {
        hovered = HoverCard();
    }
    if (event == 1)
        ReleaseMouse();
    if (event != 0)
        m_nLastMouseEvent = event;
    if (hovered != hand.hoverCard) {
        hand.hoverCard = hovered;
        hand.hoverTimer = hand.hoverPeriod;
    }
}

void CCardTable::PressCard()
{
    CCursorHand& hand = *m_pCursorHand;
    int p = -1, i = -1, dx = 0, dy = 0;
    if (hand.IsHolding() || !HitTest(p, i, dx, dy, true))
        return;
    CPlace* place = GetPlace(p);
    if (i < 0 || !m_pMoveFinder->CanPick(p, i)) {
        const CCard* card = i >= 0 ? place->GetCard(i) : nullptr;
        if (card != nullptr && card->IsFaceUp()) {
            TraceEvent(GetGameTime(), L"incorrectPick", L"byRules");
            m_pInterface->GlowRulesButton(kGlowRules, kGlowSeconds);
        }
        return;
    }
    SetMouseShape(CFMouse::kShapeDrag);
    PlayRandom(m_hSndCardGet);
    place->StopGhosts();
    hand.srcPlace = place;
    CPlace* held = hand.place.get();
    held->x_offset = dx;
    held->y_offset = dy;
    held->k_squeeze = place->k_squeeze;
    const int lifted = place->Size() - i;
    for (int slot = 0; place->Size() > i; ++slot) {
        place->pile[static_cast<std::size_t>(i)]->SetMoveTime(0.0f);
        CCardFlight* flight = place->MoveCard(-1, true, i, held, slot, 0.1f, 0.0001f, true, true);
        if (flight == nullptr)
            break;
        flight->SpawnPickSparkles(slot, slot == lifted - 1, slot == lifted - 2);
    }
}

CCard* CCardTable::HoverCard()
{
    int p = -1, i = -1, dx = 0, dy = 0;
    if (!m_pCursorHand->IsHolding()) {
        if (HitTest(p, i, dx, dy, true) && i >= 0)
            return GetPlace(p)->GetCard(i);
        return nullptr;
    }
    // The card that would receive the held stack lights up for this frame.
    if (FindDropPlace(p, i, dx, dy, true, true) && i >= 0) {
        if (CCard* target = GetPlace(p)->GetCard(i))
            target->SetGhost(0.0001f, 0.0001f);
    }
    return nullptr;
}

void CCardTable::CancelFlightsOf(const std::vector<CCard*>& cards)
{
    for (CCard* card : cards) {
        for (std::size_t k = 0; k < m_MoveCards.size();) {
            // Only flights of cards already in their pile may go: any other card would be lost.
            if (m_MoveCards[k]->card == card && m_MoveCards[k]->insertedEarly) {
                card->InFly = false;
                m_MoveCards.erase(m_MoveCards.begin() + static_cast<std::ptrdiff_t>(k));
            } else {
                ++k;
            }
        }
    }
}

bool CCardTable::DoubleClickCard(int& event)
{
    if (!m_bDblPending)
        return false;
    m_bDblPending = false;
    if (m_nLastMouseEvent != 1) {
        event = 1;
        m_engine.Log("[E] MOUSE_UP event leak detected!");
        return false;
    }
    int p = -1, i = -1, dx = 0, dy = 0;
    if (!HitTest(p, i, dx, dy, true) || i == -1)
        return false;
    CPlace* place = GetPlace(p);
    CCard* card = place->GetCard(i);
    if (place->type == 1 || card == nullptr || !card->IsFaceUp())
        return false;
    CancelFlightsOf(std::vector<CCard*>(place->pile.begin() + i, place->pile.end()));
    if (!m_pMoveFinder->CanPick(p, i)) {
        TraceEvent(GetGameTime(), L"doubleClick", L"cannotPick");
        return false;
    }
    place->StopGhosts();
    if (i != place->TopIndex())
        return false;
    CPlace* held = HandPlace();
    for (int q = 0; q < PlaceCount(); ++q) {
        CPlace* target = GetPlace(q);
        if (q == p || !TakesDoubleClick(*target))
            continue;
        held->pile.push_back(card);
        const bool accepts = m_pMoveFinder->CanDrop(q, target->TopIndex(), held, place);
        held->pile.pop_back();
        if (!accepts)
            continue;
        TraceEvent(GetGameTime(), L"doubleClick", L"validMove");
        TraceEvent(GetGameTime(), L"successCardMove", L"doubleClick");
        m_pInterface->RequestUndoSnapshot();
        const int code = m_pScoreKeeper->ScoreMove(place, target, card);
        if (place->type == 3)
            m_pScoreKeeper->AddScore(m_nScorePlaceToHouse, card);
        if (place->type == 2)
            m_pScoreKeeper->AddScore(m_nScorePopdeckToHouse, card);
        place->MoveCard(code, true, i, target, -1, 0.5f, 0.0001f, true, true);
        m_bCheckMoves = true;
        PlayEffect(m_hSndCardBack);
        return true;
    }
    return false;
}

void CCardTable::ReleaseMouse()
{
    m_pInterface->StopHintEffects();
    CCursorHand& hand = *m_pCursorHand;
    int p = -1, i = -1, dx = 0, dy = 0;
    if (!hand.IsHolding()) {
        if (!HitTest(p, i, dx, dy, false))
            return;
        SetMouseShape(CFMouse::kShapeNormal);
        CPlace* place = GetPlace(p);
        const CCard* card = place->GetCard(i);
        // A face-down card cannot be clicked while cards fly.
        if (place->type != 1 && card != nullptr && IsFlying() && !card->IsFaceUp())
            return;
        ClickPlace(p, i, false);
        return;
    }
    SetMouseShape(CFMouse::kShapeNormal);
    CPlace* held = hand.place.get();
    CancelFlightsOf(held->pile);
    if (!FindDropPlace(p, i, dx, dy, true, true)) {
        int q = -1;
        if (FindDropPlace(q, i, dx, dy, false, true) && GetPlace(q) != hand.srcPlace)
            m_pInterface->GlowRulesButton(kGlowRules, kGlowSeconds);
        TraceEvent(GetGameTime(), L"returnCards", L"noPlace");
        hand.Release();
        return;
    }
    CPlace* target = GetPlace(p);
    if (!m_pMoveFinder->CanDrop(p, i, held, hand.srcPlace)) {
        TraceEvent(GetGameTime(), L"returnCards", L"incorrectDrop");
        m_pInterface->GlowRulesButton(kGlowRules, kGlowSeconds);
        hand.Release();
        return;
    }
    if (target == hand.srcPlace) {
        TraceEvent(GetGameTime(), L"returnCards", L"samePlace");
        hand.Release();
        return;
    }
    DropHeldCards(target);
}

void CCardTable::DropHeldCards(CPlace* target)
{
    CCursorHand& hand = *m_pCursorHand;
    CPlace* held = hand.place.get();
    CCard* bottom = held->GetCard(0);
    TraceEvent(GetGameTime(), L"successCardMove", L"normal");
    m_pInterface->RequestUndoSnapshot();
    const int code = m_pScoreKeeper->ScoreMove(hand.srcPlace, target, bottom);
    if (hand.srcPlace != nullptr && hand.srcPlace->type == 3 && target->type == 3 && held->Size() > 1)
        m_pScoreKeeper->AddScore(m_nScorePlaceToPlace, bottom);
    if (m_nChainAction == 22) {
        // The cards taken by the take-cards bonus found a place: that bonus is spent.
        m_pInterface->OnTakenCardsDropped();
        m_nChainAction = -1;
        for (std::size_t b = 0; b < m_Level.vBonuses.size() && b < 5; ++b) {
            if (m_Level.vBonuses[b] == 22)
                m_pInterface->SpendBonusSlot(static_cast<int>(b));
        }
    }
    PlayRandom(m_hSndCardPut);
    target->StopGhosts();
    bool first = true;
    while (held->Size() > 0) {
        if (held->MoveCard(first ? code : -1, true, 0, target, target->Size(), 0.2f, 0.0001f, true, true) == nullptr)
            break;
        first = false;
    }
}

void CCardTable::SetMouseShape(int shape)
{
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->SetShape(shape);
}
