// CCursorHand.cpp: the holding side of drag and drop: return flights, double-click window, swing.
#include "table/CCursorHand.h"

#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CPlace.h"
#include "table/CScoreKeeper.h"
#include "table/CSpecialActions.h"
#include "table/CTableMouse.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cmath>

CCursorHand::CCursorHand(CCardTable* owner)
    : place(std::make_unique<CPlace>(owner, false)), table(owner), animations(std::make_unique<CFAnimationGroup>())
{
    place->SetType(kPlaceHand);
    place->h_offset = 0.0f;
    place->v_offset = 1.0f;
    place->rotate = 0.0f;
    place->h = 5;
    if (g_pResource != nullptr) {
        bonusCursor = std::make_unique<CFAnimationInstance>(animations.get(), -65535.0f, -65535.0f);
        bonusCursor->LoadEffect(g_pResource, "bonus_cursor", "cursor");
        bonusCursor->SetVisible(false);
        bonusCursor->Play(true);
    }
}

CCursorHand::~CCursorHand()
{
    // The cursor leaves its group before the group goes.
    bonusCursor.reset();
    animations.reset();
}

bool CCursorHand::IsHolding() const
{
    return place->Size() > 0;
}

void CCursorHand::SetBonusCursorVisible(bool visible)
{
    if (bonusCursor != nullptr)
        bonusCursor->SetVisible(visible);
}

void CCursorHand::Update(float dt)
{
    place->Update(dt);
    if (bonusCursor != nullptr)
        bonusCursor->SetPosition(table->GetMouse()->Sample().m_fMouseX, table->GetMouse()->Sample().m_fMouseY, true);
    animations->Update(dt);
    pickLockout = std::max(0.0f, pickLockout - dt);

    const bool holding = IsHolding();
    if (holding && !dblArmed && pickLockout == 0.0f) {
        dblArmed = true;
        dblTimer = dblTime;
    } else if (!holding) {
        dblArmed = false;
    }
    if (dblArmed && dblTimer > 0.0f)
        dblTimer -= dt;

    if (!holding)
        table->GetHost()->KillMouseMoveEffects();
    else if (m_bWasHolding && !table->IsFlying())
        Swing();
    m_bWasHolding = holding;
    m_nPrevX = place->x;
    m_nPrevY = place->y;
    const int n = std::min(place->Size(), kMaxSwingCards);
    for (int i = 0; i < n; ++i) {
        const CCard* card = place->pile[static_cast<std::size_t>(i)];
        m_prevCardX[i] = card->RenderX_curr;
        m_prevCardY[i] = card->RenderY_curr;
        m_prevCardAngle[i] = card->RenderAngle_curr;
    }
    if (hoverTimer != 0.0f)
        hoverTimer = std::max(0.0f, hoverTimer - dt);
}

// Upper cards lag and lean into the hand's movement; their trails follow them.
void CCursorHand::Swing()
{
    const float dx = static_cast<float>(place->x - m_nPrevX);
    const float dy = static_cast<float>(place->y - m_nPrevY);
    const float d = std::sqrt(dx * dx + dy * dy);
    const int n = std::min(place->Size(), kMaxSwingCards);
    for (int i = 0; i < n; ++i) {
        CCard* card = place->pile[static_cast<std::size_t>(i)];
        if (d > 0.0f) {
            card->RenderAngle_curr += dx / 170.0f;
            card->StartMove(static_cast<float>(i + 1) * std::sqrt(d) / 150.0f);
        }
        table->GetHost()->MoveCardTrail(i, card->RenderX_curr - m_prevCardX[i], card->RenderY_curr - m_prevCardY[i],
                                        card->RenderAngle_curr - m_prevCardAngle[i], card->RenderX_curr,
                                        card->RenderY_curr);
    }
}

void CCursorHand::Render()
{
    place->RenderCards();
    animations->Render();
}

void CCursorHand::PlayReturnSound()
{
    int x = 0, y = 0;
    table->GetCardPosition(srcPlace, srcPlace->Size(), place->GetCard(0), x, y);
    const long ddx = x - place->x, ddy = y - place->y;
    if (ddx * ddx + ddy * ddy <= 10000)
        table->PlayEffect(table->Sounds().m_hSndCardPut[std::clamp(table->RandomInt(0, 2), 0, 2)]);
    else
        table->PlayEffect(table->Sounds().m_hSndCardBack);
}

void CCursorHand::Release()
{
    if (!IsHolding())
        return;
    if (srcPlace == nullptr || table->IndexOf(srcPlace) < 0) {
        // Nowhere to return to (the source is gone): the cards stay in the hand rather than vanish.
        return;
    }
    table->GetHost()->KillMouseMoveEffects();
    PlayReturnSound();
    float time = 0.2f;
    bool first = true;
    while (IsHolding()) {
        LandingScore landing;
        CCard* bottom = place->GetCard(0);
        if (first && scoreOnReturn && bottom->CardState != kCardPlain)
            landing = table->GetScoreKeeper()->ScoreMove(place.get(), srcPlace, bottom);
        if (first)
            scoreOnReturn = false;
        CCardFlight* flight = place->MoveCard(
            0, srcPlace, CardMove::Up(time).After(kAtOnce).Into(srcPlace->Size()).Scored(landing).JoiningAtOnce());
        if (flight == nullptr)
            break;
        if (first)
            time = flight->duration;
        first = false;
        if (flagLastFlight && !IsHolding()) {
            flagLastFlight = false;
            flight->forceCheck = true;
        }
    }
    table->GetSpecialActions()->RearmTakenCards();
    if (dblTimer > 0.0f && dblArmed) {
        dblArmed = false;
        int dx = 0, dy = 0;
        const MouseSample& mouse = table->GetMouse()->Sample();
        if (srcPlace->HitTest(static_cast<int>(mouse.m_fMouseX), static_cast<int>(mouse.m_fMouseY), dx, dy) != -1) {
            table->GetMouse()->RequestDoubleClick();
            pickLockout = 0.15f;
        }
    }
}
