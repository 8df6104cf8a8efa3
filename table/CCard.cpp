// CCard.cpp: the playing card.
#include "table/CCard.h"

#include "framework/CSprite.h"

#include <cstdint>

namespace {
// The dump prints pointers as integers, as the table dump always has.
int PointerAsInt(const void* p)
{
    return static_cast<int>(reinterpret_cast<std::uintptr_t>(p));
}
}  // namespace

CCard::CCard(int rank, int suit) : Rank(rank), Suit(suit) {}

void CCard::CopyFrom(const CCard* src)
{
    if (src == nullptr)
        return;
    Rank = src->Rank;
    Suit = src->Suit;
    CardState = src->CardState;
    Shadow = src->Shadow;
    FaceUp = src->FaceUp;
    Multiplier = src->Multiplier;
    StartTime = src->StartTime;
    TTL = src->TTL;
    ShiftX = src->ShiftX;
    RenderX = src->RenderX;
    RenderY = src->RenderY;
    RenderAngle = src->RenderAngle;
    RenderShadowX = src->RenderShadowX;
    RenderShadowY = src->RenderShadowY;
    m_bCanGiveScore = src->m_bCanGiveScore;
    RenderSprite = src->RenderSprite;
    UpSprite = src->UpSprite;
    BackSprite = src->BackSprite;
    SrcCard = const_cast<CCard*>(src);
}

void CCard::StartMove(float t)
{
    inert_time += t;
    inert_time0 += t;
    RenderX_start = RenderX_curr;
    RenderY_start = RenderY_curr;
    RenderAngle_start = RenderAngle_curr;
    RenderShadowX_start = RenderShadowX_curr;
    RenderShadowY_start = RenderShadowY_curr;
    Sway_start = Sway_curr;
}

void CCard::SetMoveTime(float t)
{
    inert_time = t;
    inert_time0 = t;
}

CCard* CCard::SetFaceUp(float value)
{
    FaceUp = value;
    PickSprite();
    return this;
}

void CCard::Flip()
{
    FaceUp = FaceUp == 0.0f ? 1.0f : 0.0f;
    PickSprite();
}

void CCard::SetBackSprite(CSprite* sprite)
{
    if (RenderSprite == BackSprite)
        RenderSprite = sprite;
    BackSprite = sprite;
    if (sprite == nullptr)
        return;
    sprite->SetHotSpot(sprite->GetWidth() / 2, sprite->GetHeight() / 2);
    sprite->SetColor(0xFFFFFFFF);
}

void CCard::SetUpSprite(CSprite* sprite)
{
    if (RenderSprite != BackSprite)
        RenderSprite = sprite;
    UpSprite = sprite;
    if (sprite == nullptr)
        return;
    sprite->SetHotSpot(sprite->GetWidth() / 2, sprite->GetHeight() / 2);
    sprite->SetColor(0xFFFFFFFF);
}

void CCard::SetGhost(float ttl, float delay)
{
    TTL = ttl;
    StartTime = delay;
}

void CCard::StopGhost()
{
    StartTime = -1.0f;
    TTL = -1.0f;
    Shadow = false;
}

void CCard::SnapToTarget()
{
    RenderX_curr = RenderX;
    RenderY_curr = RenderY;
    RenderAngle_curr = RenderAngle;
    RenderShadowX_curr = RenderShadowX;
    RenderShadowY_curr = RenderShadowY;
    Sway_curr = Sway;
}

void CCard::Update(float dt)
{
    if (inert_time == 0.0f) {
        SnapToTarget();
    } else {
        inert_time -= dt;
        // A zero whole time (a negative move time added back to 0) would divide by zero: snap.
        const float t = inert_time0 != 0.0f ? 1.0f - inert_time / inert_time0 : 1.0f;
        if (inert_time < 0.0f || inert_time0 == 0.0f) {
            inert_time = 0.0f;
            inert_time0 = 0.0f;
            SnapToTarget();
        } else {
            RenderX_curr = RenderX_start + (RenderX - RenderX_start) * t;
            RenderY_curr = RenderY_start + (RenderY - RenderY_start) * t;
            RenderAngle_curr = RenderAngle_start + (RenderAngle - RenderAngle_start) * t;
            RenderShadowX_curr = RenderShadowX_start + (RenderShadowX - RenderShadowX_start) * t;
            RenderShadowY_curr = RenderShadowY_start + (RenderShadowY - RenderShadowY_start) * t;
            Sway_curr = Sway_start + (Sway - Sway_start) * t;
        }
    }

    if (StartTime != 0.0f) {
        StartTime -= dt;
        if (StartTime < 0.0f)
            StartTime = 0.0f;
    }
    if (StartTime == 0.0f && TTL != 0.0f) {
        TTL -= dt;
        if (TTL < 0.0f)
            TTL = 0.0f;
        else
            Shadow = true;
    }
}

void CCard::Dump()
{
    IEngine* e = m_engine.Get();
    if (e == nullptr)
        return;
    e->Log("\n\t\t Rank {%d}", Rank);
    e->Log("\t\t Suit {%d}", Suit);
    e->Log("\t\t Moved {%d}", Moved ? 1 : 0);
    e->Log("\t\t RenderSprite {%d}", PointerAsInt(RenderSprite));
    e->Log("\t\t Shadow {%d}", Shadow ? 1 : 0);
    e->Log("\t\t Multiplier {%f}", Multiplier);
    e->Log("\t\t SrcCard {%d}", PointerAsInt(SrcCard));
    e->Log("\t\t ShiftX {%d}", ShiftX);
    e->Log("\t\t h {%d}", h);
    e->Log("\t\t RenderX {%f}", RenderX);
    e->Log("\t\t RenderY {%f}", RenderY);
    e->Log("\t\t RenderAngle {%f}", RenderAngle);
    e->Log("\t\t RenderShadowX {%f}", RenderShadowX);
    e->Log("\t\t RenderShadowY {%f}", RenderShadowY);
    e->Log("\t\t RenderScale {%f}", RenderScale);
    e->Log("\t\t RenderX_start {%f}", RenderX_start);
    e->Log("\t\t RenderY_start {%f}", RenderY_start);
    e->Log("\t\t RenderAngle_start {%f}", RenderAngle_start);
    e->Log("\t\t RenderShadowX_start {%f}", RenderShadowX_start);
    e->Log("\t\t RenderShadowY_start {%f}", RenderShadowY_start);
    e->Log("\t\t RenderX_curr {%f}", RenderX_curr);
    e->Log("\t\t RenderY_curr {%f}", RenderY_curr);
    e->Log("\t\t RenderAngle_curr {%f}", RenderAngle_curr);
    e->Log("\t\t RenderShadowX_curr {%f}", RenderShadowX_curr);
    e->Log("\t\t RenderShadowY_curr {%f}", RenderShadowY_curr);
    e->Log("\t\t Sway {%f}", Sway);
    e->Log("\t\t Sway_start {%f}", Sway_start);
    e->Log("\t\t Sway_curr {%f}", Sway_curr);
    e->Log("\t\t inert_time {%f}", inert_time);
    e->Log("\t\t inert_time0 {%f}", inert_time0);
    e->Log("\t\t InFly {%d}", InFly ? 1 : 0);
    e->Log("\t\t CardState {%d}", CardState);
    e->Log("\t\t InFly {%d}", InFly ? 1 : 0);
    e->Log("\t\t BackSprite {%d}", PointerAsInt(BackSprite));
    e->Log("\t\t m_bCanGiveScore {%d}", m_bCanGiveScore ? 1 : 0);
    e->Log("\t\t FaceUp {%f}", FaceUp);
    e->Log("\t\t UpSprite {%d}", PointerAsInt(UpSprite));
    e->Log("\t\t StartTime {%f}", StartTime);
    e->Log("\t\t TTL {%f}", TTL);
    e->Log("\t\t m_bSoundEnabled {%d}", m_bSoundEnabled ? 1 : 0);
}
