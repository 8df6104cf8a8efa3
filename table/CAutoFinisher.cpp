// CAutoFinisher.cpp: the automatic finish.
#include "table/CAutoFinisher.h"

#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"
#include "table/CScoreKeeper.h"
#include "table/ITableHost.h"

bool CAutoFinisher::Qualifies() const
{
    if (m_pTable->IsHolding())
        return false;
    for (int i = 0; i < m_pTable->PlaceCount(); ++i) {
        const CPlace* place = m_pTable->GetPlace(i);
        if (place->Size() == 0)
            continue;
        if (IsHouseType(place->type))
            continue;
        if (place->type != kPlaceColumn || !place->IsSorted(0))
            return false;
        for (const CCard* card : place->pile) {
            if (!card->IsFaceUp())
                return false;
        }
    }
    return true;
}

bool CAutoFinisher::Step(float /*dt*/)
{
    ITableHost* host = m_pTable->GetHost();
    if (host->HasPendingItems() || !m_pTable->Level().bAutoFinish || m_pTable->IsFlying() || m_pTable->IsHolding())
        return false;
    if (!m_bActive) {
        if (Qualifies())
            m_bActive = true;
        return false;
    }
    if (host->IsReplaying())
        return false;
    CMoveFinder* finder = m_pTable->GetMoveFinder();
    for (int s = 0; s < m_pTable->PlaceCount(); ++s) {
        CPlace* src = m_pTable->GetPlace(s);
        if (src->type != kPlaceColumn || src->Size() == 0)
            continue;
        for (int t = 0; t < m_pTable->PlaceCount(); ++t) {
            CPlace* dst = m_pTable->GetPlace(t);
            if (!IsHouseType(dst->type))
                continue;
            CPlace trial(m_pTable, true);
            trial.pile.push_back(src->pile.back());
            if (!finder->CanDrop(t, dst->TopIndex(), &trial, src))
                continue;
            m_pTable->GetScoreKeeper()->AddScore(m_pTable->Scores().m_nScorePlaceToHouse, nullptr);
            const int index = src->TopIndex();
            src->MoveCard(index, dst, CardMove::Up(0.3f).After(kAtOnce));
            host->RecordMove(s, t, index, 0, 0);
            return false;
        }
    }
    return true;
}
