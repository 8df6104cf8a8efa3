// CCardTableLearn.cpp: starting a recorded tutorial on the table and giving the table back after it.
#include "table/CCardTable.h"

#include "table/CAutoFinisher.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCursorHand.h"
#include "table/CTableEffects.h"
#include "table/CTableMouse.h"
#include "table/ITableHost.h"
#include "table/LevelFileName.h"

namespace {
// The fit a snapshot does not carry but a rebuilt place needs to look as before.
void CopyLayout(CPlace& dst, const CPlace& src)
{
    static_cast<PlaceFit&>(dst) = src;
}
}  // namespace

void CCardTable::SavePlaces()
{
    ClearSavedPlaces();
    for (const auto& place : m_Places) {
        auto copy = std::make_unique<CPlace>(this, true);  // a record only: never drawn
        copy->TakeSnapshot(place.get());
        CopyLayout(*copy, *place);
        m_SavedPlaces.push_back(std::move(copy));
    }
}

void CCardTable::RestorePlaces()
{
    // Nothing may keep pointing to the places about to go, and no card may stay marked as flying
    // or held: the saved piles hold every card again.
    for (const auto& flight : m_MoveCards)
        flight->card->InFly = false;
    m_MoveCards.clear();
    if (m_pCursorHand != nullptr) {
        m_pCursorHand->srcPlace = nullptr;
        m_pCursorHand->place->pile.clear();
    }
    m_pLastSource = nullptr;
    m_LastMove = PlaceMove();
    m_Places.clear();
    for (const auto& saved : m_SavedPlaces) {
        auto place = std::make_unique<CPlace>(this, false);
        place->TakeSnapshot(saved.get());
        place->RestoreSnapshot(saved.get());
        place->srcPlace = nullptr;  // the saved copy it came from may be cleared before this place goes
        CopyLayout(*place, *saved);
        m_Places.push_back(std::move(place));
    }
    m_bCheckMoves = true;
    m_pInterface->ReapplyPlaceSetup();
}

void CCardTable::ClearSavedPlaces()
{
    m_SavedPlaces.clear();
}

void CCardTable::StartLearn()
{
    SavePlaces();
    std::string path;
    if (!MakeLevelFileName("data/learn/%s.dat", m_Level.sName, path) || !m_pInterface->LoadLearnFile(path)) {
        if (m_engine.Get() != nullptr)
            m_engine.Get()->Log("[E] Learn file %s not completely loaded", path.c_str());
        return;
    }
    m_pEffects->ShowTutorial(true);
    m_pInterface->ShowTutorialEffect(true);
    m_pMouse->SwallowRawClick();
    int from = -1, card = -1;
    if (m_pInterface->BeginReplay(from, card)) {
        const CPlace* source = GetPlace(from);
        if (source != nullptr) {
            int x = 0, y = 0;
            GetCardPosition(source, card, nullptr, x, y);
            const bool dragging = !IsTopCard(from, card);
            if (dragging) {
                const CCard* picked = source->GetCard(card);
                const float angle = picked != nullptr ? picked->RenderAngle : source->rotate;
                RotateOffset(x, y, angle, x, y, 4);
            }
            m_pInterface->AimReplayHand(static_cast<float>(x), static_cast<float>(y), dragging);
        }
    }
    m_pInterface->SetCursorShape(0);
}

void CCardTable::StopLearn()
{
    if (!m_pInterface->IsReplaying())
        return;
    RestorePlaces();
    m_pAutoFinisher->Stop();
    m_pEffects->ShowTutorial(false);
    m_pInterface->ShowTutorialEffect(false);
    m_bCheckMoves = true;
    m_pInterface->EndReplay();
}
