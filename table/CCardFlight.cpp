// CCardFlight.cpp: the eased flight of one card and its landing.
#include "table/CCardFlight.h"

#include "framework/CSprite.h"
#include "table/CBonusCardFrame.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace {
constexpr float kPi = 3.14159265358979f;

bool IsHouse(const CPlace* place)
{
    return place != nullptr && IsHouseType(place->type);
}
}  // namespace

CCardFlight::CCardFlight(CCardTable* owner, CPlace* src, CCard* flyingCard, CPlace* dst, const CardMove& move)
    : landing(move.landing), insertedEarly(move.joinsAtOnce), card(flyingCard), target(dst), source(src),
      visible(move.visible), index(move.dstIndex), faceUp(move.faceUp), delay(move.delay), table(owner)
{
    assert(card != nullptr && target != nullptr && table != nullptr);
    fromX = static_cast<int>(card->RenderX);
    fromY = static_cast<int>(card->RenderY);
    fromAngle = card->RenderAngle;
    fromHeight = card->h;
    fromFace = card->IsFaceUp() ? 1.0f : -1.0f;
    toAngle = target->rotate;
    toHeight = target->h;
    toFace = faceUp ? 1.0f : -1.0f;
    CPlace* handPlace = table->HandPlace();
    if (!table->IsReplaying() && IsHouse(target) && source != handPlace)
        toAngle += 2.0f * kPi;
    card->InFly = insertedEarly;
    ComputeSlot();
    mostlyHorizontal = std::abs(toY - fromY) < std::abs(toX - fromX);
    if (target->type != kPlaceDeck && target->type != kPlacePop)
        mostlyHorizontal = true;
    curX = static_cast<float>(fromX);
    curY = static_cast<float>(fromY);
    curAngle = fromAngle;
    curFace = fromFace;
    curHeight = fromHeight;

    if (move.time >= 0.0f) {
        duration = move.time;
    } else {
        const float dx = static_cast<float>(toX - fromX), dy = static_cast<float>(toY - fromY);
        duration = -move.time * std::sqrt(dx * dx + dy * dy) / 800.0f + kAtOnce;
    }
    timeLeft = duration;
    progress = 0;
    if (move.time == 0.0f && delay == 0.0f)
        Land();
}

int CCardFlight::SlotIndex() const
{
    if (index != -1)
        return index;
    int count = 0;
    for (const CCard* c : target->pile) {
        if (c->InFly)
            break;
        ++count;
    }
    for (const auto& other : table->Flights()) {
        if (other.get() != this && other->target == target && !other->IsLandingDone() && other->index <= count)
            ++count;
    }
    return count;
}

void CCardFlight::ComputeSlot()
{
    const int slot = SlotIndex();
    // The slot depends on the face the card will show there, so lay it out with that face.
    const float savedFace = card->FaceUp;
    card->FaceUp = faceUp ? 1.0f : 0.0f;
    table->GetCardPosition(target, slot, card, toX, toY);
    card->FaceUp = savedFace;
    if (target == source && slot < target->Size() && target->pile[static_cast<std::size_t>(slot)] == card) {
        toX = fromX;
        toY = fromY;
    }
}

void CCardFlight::Update(float dt)
{
    if (m_bLanded) {
        if (m_bArrivalPending) {
            m_bArrivalPending = false;
            PlayArrival();
        }
        card->Update(dt);
        return;
    }
    if (delay > 0.0f) {
        delay = std::max(0.0f, delay - dt);
    } else if (timeLeft > 0.0f) {
        timeLeft -= dt;
        if (target == table->HandPlace())
            ComputeSlot();
        if (timeLeft <= 0.0f)
            Finish();
        else
            Step(dt);
    } else {
        // A flight of no time that had to wait out a delay lands as soon as the delay is over.
        Finish();
    }
    card->Update(dt);
}

void CCardFlight::Finish()
{
    timeLeft = 0;
    Land();
    m_bArrivalPending = false;
    PlayArrival();
}

void CCardFlight::Step(float dt)
{
    if (duration <= 0.0f)
        return;
    progress = std::min(1.0f, progress + dt / duration);
    const float p = progress;
    const float e = p < 0.5f ? 2.0f * p * p : std::sqrt(2.0f * (p - 0.5f)) / 2.0f + 0.5f;
    const float prevX = curX;
    curX = fromX + (toX - fromX) * e;
    curY = fromY + (toY - fromY) * std::sin(e * kPi / 2.0f);
    float height = fromHeight + (toHeight - fromHeight) * e;
    if (fromHeight == toHeight)
        height += std::sin(progress * kPi) * 10.0f;
    curHeight = static_cast<int>(height);
    curAngle = fromAngle + (toAngle - fromAngle) * e;
    curFace = fromFace + (toFace - fromFace) * progress;
    card->SetFaceUp(curFace > 0.0f ? 1.0f : 0.0f);
    card->RenderAngle_curr += (curX - prevX) / 170.0f;
    WritePose();
}

void CCardFlight::Land()
{
    if (m_bLanded)
        return;
    m_bLanded = true;
    m_bArrivalPending = true;
    card->SetMoveTime(0.0f);
    card->RenderX = static_cast<float>(toX);
    card->RenderY = static_cast<float>(toY);
    card->RenderAngle = toAngle;
    card->h = toHeight;
    card->SetFaceUp(toFace > 0.0f ? 1.0f : 0.0f);
    card->InFly = false;
    if (!insertedEarly) {
        std::vector<CCard*>& pile = target->pile;
        const bool onTop = index < 0 || static_cast<std::size_t>(index) > pile.size();
        const std::size_t at = onTop ? pile.size() : static_cast<std::size_t>(index);
        pile.insert(pile.begin() + static_cast<std::ptrdiff_t>(at), card);
        if (target->h_offset == 0.0f && target->v_offset == 0.0f)
            card->h = (index == -1 ? target->Size() : index) / 2;
    }
    if (target == table->HandPlace()) {
        card->SetMoveTime(0.0f);
        return;
    }
    if (NeedsRecheck())
        table->RequestMoveSearch();
}

bool CCardFlight::NeedsRecheck() const
{
    if (forceCheck)
        return true;
    if (table->IsHolding())
        return false;
    const CCursorHand* hand = table->GetCursorHand();
    const CPlace* handSource = hand != nullptr ? hand->srcPlace : nullptr;
    return target != handSource && target->help_script != "Cruel";
}

void CCardFlight::PlayArrival()
{
    if (!card->GetSoundEnabled()) {
        // The first landing of a card dealt in a row of three is silent; later ones sound again.
        card->SetSoundEnabled(true);
    } else if (IsHouse(target)) {
        table->PlayFixSound();
    } else if (source != nullptr && source->type == kPlaceDeck) {
        table->PlayEffect(table->Sounds().m_hSndCardPut[table->RandomInt(0, 2) % 3]);
    }
    table->GetHost()->OnCardArrived(card, target, landing);
}

void CCardFlight::WritePose()
{
    if (!visible)
        return;
    card->RenderX = curX;
    card->RenderY = curY;
    card->RenderAngle = curAngle;
    card->RenderScale = (curHeight / 100.0f + 1.0f) * table->Level().fZoom;
    card->RenderShadowX = curX;
    card->RenderShadowY = curY;
    card->SetMoveTime(0.0f);
    card->Update(0.0f);
}

void CCardFlight::PlaceCardAndShadow()
{
    if (!visible)
        return;
    WritePose();
    // Stacked cards in flight share one shadow: an earlier flight within 5 pixels casts it.
    for (const auto& other : table->Flights()) {
        if (other.get() == this)
            break;
        if (std::fabs(other->curX - curX) <= 5.0f && std::fabs(other->curY - curY) <= 5.0f)
            return;
    }
    CSprite* shadow = table->GetHost()->IsHighDetail() ? table->GetHost()->GetShadowSprite(0) : nullptr;
    if (shadow == nullptr)
        return;
    const float s = static_cast<float>(curHeight + 1);
    shadow->RenderEx(card->RenderX_curr + s, card->RenderY_curr + s, card->RenderAngle_curr, card->RenderScale,
                     card->RenderScale);
}

void CCardFlight::DrawCard()
{
    if (!visible || card->RenderSprite == nullptr)
        return;
    const float squeeze = std::min(1.0f, std::fabs(curFace)) * card->RenderScale;
    const float hs = mostlyHorizontal ? squeeze : card->RenderScale;
    const float vs = mostlyHorizontal ? card->RenderScale : squeeze;
    card->RenderSprite->RenderEx(card->RenderX_curr, card->RenderY_curr, card->RenderAngle_curr, hs, vs);
    if (IsMarkedCard(card->CardState) && !table->GetHost()->BonusesSwitchedOff())
        table->GetBonusFrame()->Render(card->RenderX_curr, card->RenderY_curr, card->RenderAngle_curr, hs, vs);
    if (card->Shadow && source != nullptr)  // highlighted: drawn once more at its shadow pose
        card->RenderSprite->RenderEx(card->RenderShadowX, card->RenderShadowY, card->RenderAngle_curr, hs, vs);
    card->Shadow = false;
}

void CCardFlight::SpawnPickSparkles(int position, bool wasTop, bool wasSecond)
{
    int count = 0;
    bool sides[4] = {false, false, false, true};  // left, right, top, bottom
    if (position == 0) {
        count = 16;
        sides[0] = sides[1] = sides[2] = true;
        sides[3] = wasTop;
    } else if (position % 2 == 0 || (position == 1 && wasTop)) {
        count = wasTop || wasSecond ? 12 : 8;
    } else {
        return;
    }
    const int hw = table->GetCardSize().m_nCardWidth / 2 - 10, hh = table->GetCardSize().m_nCardHeight / 2 - 10;
    table->GetHost()->SpawnPickSparkles(toX - hw, toY - hh, toX + hw, toY + hh, card->RenderAngle_curr, count, sides[0],
                                        sides[1], sides[2], sides[3], position);
}
