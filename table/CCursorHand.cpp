// CCursorHand.cpp: the holding side of drag and drop.
#include "table/CCursorHand.h"

#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CPlace.h"

#include <algorithm>

CCursorHand::CCursorHand(CCardTable* owner) : place(std::make_unique<CPlace>(owner, false)), table(owner)
{
    place->SetType(255);
    place->h_offset = 0.0f;
    place->v_offset = 1.0f;
    place->rotate = 0.0f;
    place->h = 5;
}

CCursorHand::~CCursorHand() = default;

bool CCursorHand::IsHolding() const
{
    return place->Size() > 0;
}

void CCursorHand::Update(float dt)
{
    place->Update(dt);
    pickLockout = std::max(0.0f, pickLockout - dt);
    if (hoverTimer != 0.0f)
        hoverTimer = std::max(0.0f, hoverTimer - dt);
}

void CCursorHand::Release()
{
    if (!IsHolding())
        return;
    if (srcPlace == nullptr || table->IndexOf(srcPlace) < 0) {
        // Nowhere to return to (the source is gone): the cards stay in the hand rather than vanish.
        return;
    }
    float time = 0.2f;
    while (IsHolding()) {
        CCardFlight* flight = place->MoveCard(-1, true, 0, srcPlace, -1, time, 0.0001f, true, true);
        if (flight == nullptr)
            break;
        time = flight->duration;
        if (flagLastFlight && !IsHolding()) {
            flagLastFlight = false;
            flight->forceCheck = true;
        }
    }
    if (table->m_nChainAction == 22)
        table->m_nBonusAction = 22;
}
