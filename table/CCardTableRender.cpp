// CCardTableRender.cpp: the table's drawing order, which decides what covers what.
#include "table/CCardTable.h"

#include "framework/CFAnimationGroup.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CRainEffect.h"
#include "table/ITableHost.h"

namespace {
enum EFlightLayer { kDeckDown, kDeckUp, kPopUp, kPopDown, kOther };

// Flights into the deck and onto the deck's pop place lie below the other flights; within the
// deck's faces, the order of their arrival decides.
EFlightLayer LayerOf(const CCardFlight& flight)
{
    const bool up = flight.card->GetFaceUp() > 0.5f;
    if (flight.target->type == kPlaceDeck)
        return up ? kDeckUp : kDeckDown;
    if (flight.target->type == kPlacePop)
        return up ? kPopUp : kPopDown;
    return kOther;
}
}  // namespace

void CCardTable::Render()
{
    if (m_pBackGroup != nullptr)
        m_pBackGroup->Render();
    if (m_pRain == nullptr || !m_pRain->IsRunning()) {
        for (const auto& place : m_Places)
            place->RenderShadows();
        for (const auto& place : m_Places)
            place->RenderCards();
        m_pInterface->RenderParticles();
        for (const auto& flight : m_MoveCards)
            flight->PlaceCardAndShadow();
        HandPlace()->RenderShadows();
        RenderFlightLayer(kDeckDown, false);
        RenderFlightLayer(kDeckUp, true);
        RenderFlightLayer(kPopUp, false);
        RenderFlightLayer(kPopDown, true);
        RenderFlightLayer(kOther, false);
    }
    if (m_pRain != nullptr)
        m_pRain->Render();
    if (m_pFrontGroup != nullptr)
        m_pFrontGroup->Render();
    m_pCursorHand->Render();
}

void CCardTable::RenderFlightLayer(int layer, bool reverse)
{
    const std::size_t n = m_MoveCards.size();
    for (std::size_t k = 0; k < n; ++k) {
        CCardFlight& flight = *m_MoveCards[reverse ? n - 1 - k : k];
        if (LayerOf(flight) == layer)
            flight.DrawCard();
    }
}

// ---- Win cascade ------------------------------------------------------------------------------

void CCardTable::StartCascade(int mode, int limit, int sparkles, float seconds)
{
    m_pRain->Clear();
    m_pRain->SetZoom(m_Level.fZoom);
    m_pRain->Setup(mode, limit, sparkles);
    FillCascade();
    m_pRain->Start(seconds);
}

void CCardTable::StopCascade()
{
    if (m_pRain->IsRunning())
        m_pRain->Stop();
}

// Every card of every place, places in table order and cards from the bottom, at its pose now.
void CCardTable::FillCascade()
{
    for (const auto& place : m_Places) {
        for (CCard* card : place->pile)
            m_pRain->AddCard(card, static_cast<int>(card->RenderX_curr), static_cast<int>(card->RenderY_curr), 0);
    }
}

void CCardTable::StartWinCascade()
{
    const int choice = m_pInterface->ChooseCascade();
    if (choice == ITableHost::kCascadeBursts) {
        StartCascade(CRainEffect::kBursts, 150, 10, 0.0f);
        return;
    }
    int mode = CRainEffect::kShower;
    if (choice == ITableHost::kCascadeCelebration && RandomInt(0, 100) > 50)
        mode = CRainEffect::kBursts;
    StartCascade(mode, 100, 0, 7.0f);
}
