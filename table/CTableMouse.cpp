// CTableMouse.cpp: the mouse handling of the card table: pick, drag, drop, click, double click.
#include "table/CTableMouse.h"

#include "app/Globals.h"
#include "framework/CFMouse.h"
#include "framework/TraceEvent.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CMoveFinder.h"
#include "table/CScoreKeeper.h"
#include "table/CSpecialActions.h"
#include "table/ITableHost.h"

#include <cassert>

namespace {
constexpr float kGlowSeconds = 2.0f;
constexpr int kGlowRules = 1;

bool TakesDoubleClick(const CPlace& place)
{
    return IsHouseType(place.type) || place.type == kPlaceDiscard;
}

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

void SetMouseShape(int shape)
{
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->SetShape(shape);
}
}  // namespace

// ---- The sample ------------------------------------------------------------------------------

void CTableMouse::SampleMouse()
{
    MouseSample& s = m_sample;
    s.m_nButtonEvent = CFMouse::kEventNone;
    s.m_bRightRelease = false;
    if (const CFMouse* mouse = CFMouse::GetInstance()) {
        mouse->GetPosition(s.m_fMouseX, s.m_fMouseY);
        const int active = mouse->GetActiveButton();
        if (active == CFMouse::kButtonLeft) {
            s.m_nRawButtonEvent = mouse->GetButtonEvent();
            s.m_nPrevButtonEvent = mouse->GetPreviousButtonEvent(CFMouse::kButtonLeft);
            s.m_nButtonEvent = s.m_nRawButtonEvent;
        } else if (active == CFMouse::kButtonRight) {
            s.m_bRightRelease = mouse->GetButtonEvent() == CFMouse::kEventReleased;
        }
    }
    // A replay or an open help window owns the mouse: the table sees no button at all.
    ITableHost* host = m_table.GetHost();
    if (host->IsReplaying() || host->IsHelpWindowShown()) {
        s.m_nButtonEvent = CFMouse::kEventNone;
        s.m_bRightRelease = false;
    }
    s.m_nMouseEvent = s.m_nButtonEvent;
}

bool CTableMouse::IsPressed() const
{
    return m_sample.m_nMouseEvent == CFMouse::kEventPressed;
}

bool CTableMouse::IsReleased() const
{
    return m_sample.m_nMouseEvent == CFMouse::kEventReleased;
}

void CTableMouse::SwallowClick()
{
    m_sample.m_nButtonEvent = CFMouse::kEventNone;
}

void CTableMouse::SwallowRawClick()
{
    m_sample.m_nButtonEvent = CFMouse::kEventNone;
    m_sample.m_nRawButtonEvent = CFMouse::kEventNone;
}

void CTableMouse::PointAt(float x, float y)
{
    m_sample.m_fMouseX = x;
    m_sample.m_fMouseY = y;
}

void CTableMouse::SetEvent(int event)
{
    m_sample.m_nMouseEvent = event;
}

void CTableMouse::SetPendingDoubleClick(int lastEvent)
{
    m_bDblPending = true;
    m_sample.m_nLastMouseEvent = lastEvent;
}

// ---- Hit tests -------------------------------------------------------------------------------

std::optional<PlaceHit> CTableMouse::HitTest(bool fromTop) const
{
    const int n = m_table.PlaceCount();
    const int px = static_cast<int>(m_sample.m_fMouseX);
    const int py = static_cast<int>(m_sample.m_fMouseY);
    for (int k = 0; k < n; ++k) {
        const int i = fromTop ? n - 1 - k : k;
        const CPlace& place = *m_table.GetPlace(i);
        if (!place.visible && place.pile.empty())
            continue;
        PlaceHit hit;
        const int answer = place.HitTest(px, py, hit.dx, hit.dy);
        if (answer == -1)
            continue;
        hit.place = i;
        hit.card = answer == -2 ? -1 : answer;
        return hit;
    }
    return std::nullopt;
}

std::optional<PlaceHit> CTableMouse::FindDropPlace(bool checkRules, bool nearest) const
{
    const CPlace* hand = m_table.HandPlace();
    if (hand == nullptr)
        return std::nullopt;
    const int w = m_table.GetCardSize().m_nCardWidth / 2;
    const int h = m_table.GetCardSize().m_nCardHeight / 2;
    const int px = hand->x + hand->x_offset;
    const int py = hand->y + hand->y_offset;
    std::optional<PlaceHit> found;
    float best = 0;
    for (int i = 0; i < m_table.PlaceCount(); ++i) {
        const CPlace& place = *m_table.GetPlace(i);
        const int top = place.pile.empty() ? -2 : place.TopIndex();
        // The drop test names an empty place's top as -1; the hit test as -2.
        if (checkRules && !m_table.GetMoveFinder()->CanDrop(i, place.TopIndex(), m_table.HandPlace(),
                                                             m_table.GetCursorHand()->srcPlace))
            continue;
        PlaceHit hit;
        if (TouchedTop(place, px, py, w, h, top, hit.dx, hit.dy) != top)
            continue;
        const float d = static_cast<float>((px - place.x) * (px - place.x) + (py - place.y) * (py - place.y));
        if (found && d >= best)
            continue;
        best = d;
        hit.place = i;
        hit.card = top == -2 ? -1 : top;
        found = hit;
        if (!nearest)
            break;
    }
    return found;
}

// ---- One frame ---------------------------------------------------------------------------------

void CTableMouse::HandleMouse()
{
    CCursorHand& hand = *m_table.GetCursorHand();
    int event = m_sample.m_nMouseEvent;
    if (!hand.IsHolding() && m_bDblRequest) {
        m_bDblRequest = false;
        event = CFMouse::kEventDoubleClick;
        m_sample.m_nLastMouseEvent = CFMouse::kEventReleased;
        m_bDblPending = true;
    }
    // A right click acts as a double click.
    if (!hand.IsHolding() && event == CFMouse::kEventNone && m_sample.m_bRightRelease) {
        event = CFMouse::kEventDoubleClick;
        m_sample.m_nLastMouseEvent = CFMouse::kEventReleased;
        m_bDblPending = true;
    }
    CCard* hovered = nullptr;
    if (event == CFMouse::kEventPressed) {
        PressCard();
    } else if (event == CFMouse::kEventDoubleClick) {
        if (DoubleClickCard(event))
            return;
    } else if (event != CFMouse::kEventReleased) {
        hovered = HoverCard();
    }
    if (event == CFMouse::kEventReleased)
        ReleaseMouse();
    if (event != CFMouse::kEventNone)
        m_sample.m_nLastMouseEvent = event;
    if (hovered != hand.hoverCard) {
        hand.hoverCard = hovered;
        hand.hoverTimer = hand.hoverPeriod;
    }
}

void CTableMouse::PressCard()
{
    CCursorHand& hand = *m_table.GetCursorHand();
    const std::optional<PlaceHit> hit = hand.IsHolding() ? std::nullopt : HitTest(true);
    if (!hit)
        return;
    CPlace* place = m_table.GetPlace(hit->place);
    const int i = hit->card;
    if (i < 0 || !m_table.GetMoveFinder()->CanPick(hit->place, i)) {
        const CCard* card = i >= 0 ? place->GetCard(i) : nullptr;
        if (card != nullptr && card->IsFaceUp()) {
            TraceEvent(GetGameTime(), L"incorrectPick", L"byRules");
            m_table.GetHost()->GlowRulesButton(kGlowRules, kGlowSeconds);
        }
        return;
    }
    SetMouseShape(CFMouse::kShapeDrag);
    m_table.PlayRandom(m_table.Sounds().m_hSndCardGet);
    place->StopGhosts();
    hand.srcPlace = place;
    CPlace* held = hand.place.get();
    held->x_offset = hit->dx;
    held->y_offset = hit->dy;
    held->k_squeeze = place->k_squeeze;
    const int lifted = place->Size() - i;
    for (int slot = 0; place->Size() > i; ++slot) {
        place->pile[static_cast<std::size_t>(i)]->SetMoveTime(0.0f);
        CCardFlight* flight = place->MoveCard(i, held, CardMove::Up(0.1f).After(kAtOnce).Into(slot).JoiningAtOnce());
        if (flight == nullptr)
            break;
        flight->SpawnPickSparkles(slot, slot == lifted - 1, slot == lifted - 2);
    }
}

CCard* CTableMouse::HoverCard()
{
    if (!m_table.IsHolding()) {
        const std::optional<PlaceHit> hit = HitTest(true);
        return hit && hit->card >= 0 ? m_table.GetPlace(hit->place)->GetCard(hit->card) : nullptr;
    }
    // The card that would receive the held stack lights up for this frame.
    const std::optional<PlaceHit> drop = FindDropPlace(true, true);
    if (drop && drop->card >= 0) {
        if (CCard* target = m_table.GetPlace(drop->place)->GetCard(drop->card))
            target->SetGhost(kAtOnce, kAtOnce);
    }
    return nullptr;
}

bool CTableMouse::DoubleClickCard(int& event)
{
    if (!m_bDblPending)
        return false;
    m_bDblPending = false;
    if (m_sample.m_nLastMouseEvent != CFMouse::kEventReleased) {
        event = CFMouse::kEventReleased;
        m_engine.Log("[E] MOUSE_UP event leak detected!");
        return false;
    }
    const std::optional<PlaceHit> hit = HitTest(true);
    if (!hit || hit->card == -1)
        return false;
    CPlace* place = m_table.GetPlace(hit->place);
    const int i = hit->card;
    const CCard* card = place->GetCard(i);
    if (place->type == kPlaceDeck || card == nullptr || !card->IsFaceUp())
        return false;
    m_table.CancelFlightsOf(std::vector<CCard*>(place->pile.begin() + i, place->pile.end()));
    if (!m_table.GetMoveFinder()->CanPick(hit->place, i)) {
        TraceEvent(GetGameTime(), L"doubleClick", L"cannotPick");
        return false;
    }
    place->StopGhosts();
    if (i != place->TopIndex())
        return false;
    return SendHome(place, hit->place, i);
}

// The first house or discard place, in the level's order, that accepts the card gets it.
bool CTableMouse::SendHome(CPlace* place, int placeIndex, int cardIndex)
{
    CCard* card = place->GetCard(cardIndex);
    CPlace* held = m_table.HandPlace();
    // A double click is only ever pending while the hand is empty: the trial drops borrow it.
    assert(held->pile.empty());
    for (int q = 0; q < m_table.PlaceCount(); ++q) {
        CPlace* target = m_table.GetPlace(q);
        if (q == placeIndex || !TakesDoubleClick(*target))
            continue;
        held->pile.push_back(card);
        const bool accepts = m_table.GetMoveFinder()->CanDrop(q, target->TopIndex(), held, place);
        held->pile.pop_back();
        if (!accepts)
            continue;
        TraceEvent(GetGameTime(), L"doubleClick", L"validMove");
        TraceEvent(GetGameTime(), L"successCardMove", L"doubleClick");
        m_table.GetHost()->RequestUndoSnapshot();
        CScoreKeeper& keeper = *m_table.GetScoreKeeper();
        const LandingScore landing = keeper.ScoreMove(place, target, card);
        if (place->type == kPlaceColumn)
            keeper.AddScore(m_table.Scores().m_nScorePlaceToHouse, card);
        if (place->type == kPlacePop)
            keeper.AddScore(m_table.Scores().m_nScorePopdeckToHouse, card);
        place->MoveCard(cardIndex, target, CardMove::Up(0.5f).After(kAtOnce).Scored(landing).JoiningAtOnce());
        m_table.RequestMoveSearch();
        m_table.PlayEffect(m_table.Sounds().m_hSndCardBack);
        return true;
    }
    return false;
}

void CTableMouse::ReleaseMouse()
{
    ITableHost* host = m_table.GetHost();
    host->StopHintEffects();
    CCursorHand& hand = *m_table.GetCursorHand();
    if (!hand.IsHolding()) {
        const std::optional<PlaceHit> hit = HitTest(false);
        if (!hit)
            return;
        SetMouseShape(CFMouse::kShapeNormal);
        const CPlace* place = m_table.GetPlace(hit->place);
        const CCard* card = place->GetCard(hit->card);
        // A face-down card cannot be clicked while cards fly.
        if (place->type != kPlaceDeck && card != nullptr && m_table.IsFlying() && !card->IsFaceUp())
            return;
        m_table.ClickPlace(hit->place, hit->card, false);
        return;
    }
    SetMouseShape(CFMouse::kShapeNormal);
    CPlace* held = hand.place.get();
    m_table.CancelFlightsOf(held->pile);
    const std::optional<PlaceHit> drop = FindDropPlace(true, true);
    if (!drop) {
        const std::optional<PlaceHit> touched = FindDropPlace(false, true);
        if (touched && m_table.GetPlace(touched->place) != hand.srcPlace)
            host->GlowRulesButton(kGlowRules, kGlowSeconds);
        TraceEvent(GetGameTime(), L"returnCards", L"noPlace");
        hand.Release();
        return;
    }
    CPlace* target = m_table.GetPlace(drop->place);
    if (!m_table.GetMoveFinder()->CanDrop(drop->place, drop->card, held, hand.srcPlace)) {
        TraceEvent(GetGameTime(), L"returnCards", L"incorrectDrop");
        host->GlowRulesButton(kGlowRules, kGlowSeconds);
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

void CTableMouse::ReturnHeldCards()
{
    CCursorHand& hand = *m_table.GetCursorHand();
    if (!hand.IsHolding())
        return;
    SetMouseShape(CFMouse::kShapeNormal);
    m_table.CancelFlightsOf(hand.place->pile);
    hand.Release();
}

void CTableMouse::DropHeldCards(CPlace* target)
{
    CCursorHand& hand = *m_table.GetCursorHand();
    CPlace* held = hand.place.get();
    CCard* bottom = held->GetCard(0);
    TraceEvent(GetGameTime(), L"successCardMove", L"normal");
    m_table.GetHost()->RequestUndoSnapshot();
    CScoreKeeper& keeper = *m_table.GetScoreKeeper();
    const LandingScore landing = keeper.ScoreMove(hand.srcPlace, target, bottom);
    if (hand.srcPlace != nullptr && hand.srcPlace->type == kPlaceColumn && target->type == kPlaceColumn &&
        held->Size() > 1)
        keeper.AddScore(m_table.Scores().m_nScorePlaceToPlace, bottom);
    m_table.GetSpecialActions()->SpendTakenCards();
    m_table.PlayRandom(m_table.Sounds().m_hSndCardPut);
    target->StopGhosts();
    bool first = true;
    while (held->Size() > 0) {
        const LandingScore scored = first ? landing : LandingScore{};  // the first card carries the score
        if (held->MoveCard(0, target,
                           CardMove::Up(0.2f).After(kAtOnce).Into(target->Size()).Scored(scored).JoiningAtOnce()) ==
            nullptr)
            break;
        first = false;
    }
}
