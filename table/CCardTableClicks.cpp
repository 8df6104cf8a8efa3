// CCardTableClicks.cpp: what a click on a card or on a place does, as its requirement lists say.
#include "table/CCardTable.h"

#include "app/Globals.h"
#include "framework/TraceEvent.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CMoveFinder.h"
#include "table/CScoreKeeper.h"
#include "table/ITableHost.h"

void CCardTable::ClickPlace(int placeIndex, int cardIndex, bool automatic)
{
    if (IsHolding())
        return;
    CPlace* place = GetPlace(placeIndex);
    if (place == nullptr)
        return;
    if (cardIndex != -1) {
        if (!m_pMoveFinder->CanClick(placeIndex, cardIndex))
            return;
        ClickCard(placeIndex, cardIndex, automatic);
    } else {
        ClickEmpty(placeIndex, automatic);
    }
    m_bCheckMoves = true;
}

int CCardTable::DealToType(CPlace& from, int targetType, int perPlace, float time, bool snapshot)
{
    const bool replaying = m_pInterface->IsReplaying();
    bool snapshotTaken = false;
    int dealt = 0;
    for (auto& owned : m_Places) {
        CPlace* dst = owned.get();
        if (dst->type != targetType || dst == &from)
            continue;
        if (perPlace == 3 && snapshot && !snapshotTaken && !replaying) {
            m_pInterface->RequestUndoSnapshot();  // kind 2 asks before the first receiving place
            snapshotTaken = true;
        }
        for (int n = 0; n < perPlace && from.Size() > 0; ++n) {
            if (snapshot && !snapshotTaken && !replaying) {
                m_pInterface->RequestUndoSnapshot();
                snapshotTaken = true;
            }
            CCard* card = from.pile.back();
            if (perPlace == 3) {
                card->Multiplier = 1.0f + 0.1f * static_cast<float>(n);
                card->SetSoundEnabled(n == 2);
            }
            LandingScore landing;
            if (targetType == kPlaceDiscard && card->CardState != kCardPlain)
                landing = m_pScoreKeeper->ScoreMove(&from, dst, card);
            from.MoveCard(-1, dst, CardMove::Up(time).After(kAtOnce).Scored(landing).JoiningAtOnce());
            ++dealt;
        }
    }
    return dealt;
}

void CCardTable::PlayDealSound(int dealt)
{
    if (dealt == 1)
        PlayEffect(m_Sounds.m_hSndCardGet[m_engine.RandomInt(0, 2) % 3]);
    else if (dealt > 1)
        PlayEffect(m_Sounds.m_hSndMultiCard);
}

void CCardTable::ClickCard(int placeIndex, int cardIndex, bool automatic)
{
    CPlace& place = *GetPlace(placeIndex);
    const bool replaying = m_pInterface->IsReplaying();
    if (!replaying)
        m_pInterface->RecordMove(placeIndex, placeIndex, cardIndex, automatic ? 1 : 0, 0);
    const RequirementList actions = place.click_card;  // the moves below may not change it, but be safe
    for (const PlaceRequirement& req : actions) {
        switch (req.a) {
        case ClickCardCode::kTurnOver:
        case ClickCardCode::kTurnUp: {
            CCard* card = place.GetCard(cardIndex);
            if (card == nullptr)
                break;
            if (!replaying)
                m_pInterface->RequestUndoSnapshot();
            const bool faceUp = req.a == ClickCardCode::kTurnUp ? true : !card->IsFaceUp();
            place.MoveCard(cardIndex, &place,
                           CardMove::Face(faceUp, 0.2f).After(kAtOnce).Into(cardIndex).JoiningAtOnce());
            if (!replaying)
                m_pScoreKeeper->AddScore(m_Scores.m_nScoreOpenCard, nullptr);
            PlayEffect(m_Sounds.m_hSndCardPut[2]);
            break;
        }
        case ClickCardCode::kDealOne:
        case ClickCardCode::kDealThree:
        case ClickCardCode::kDealToColumns: {
            const bool toColumns = req.a == ClickCardCode::kDealToColumns;
            const int targetType = toColumns ? kPlaceColumn : kPlacePop;
            const float time = toColumns ? 0.5f : 0.3f;
            PlayDealSound(DealToType(place, targetType, req.a == ClickCardCode::kDealThree ? 3 : 1, time, true));
            if (!replaying)
                m_pInterface->RestartAutoHint();
            break;
        }
        case ClickCardCode::kToDiscard:
            DealToType(place, kPlaceDiscard, 1, 0.5f, true);
            if (!replaying)
                m_pInterface->RestartAutoHint();
            break;
        default:
            break;
        }
    }
    m_LastMove = PlaceMove();
}

void CCardTable::ClickEmpty(int placeIndex, bool automatic)
{
    CPlace& place = *GetPlace(placeIndex);
    if (IsFlying())
        return;
    if (place.click_empty_limit == 0) {
        TraceEvent(GetGameTime(), L"clickDeck", L"limit0/noCard");
        m_pInterface->PlayHelpHint(0, 2.0f);
        return;
    }
    const bool replaying = m_pInterface->IsReplaying();
    if (!replaying)
        m_pInterface->RecordMove(placeIndex, placeIndex, -1, automatic ? 1 : 0, 0);
    GatherCruel(&place);
    bool anyHadCards = false;
    for (const PlaceRequirement& req : RequirementList(place.click_empty)) {
        if (req.a != ClickEmptyCode::kGatherPops)
            continue;
        int count = 0;
        for (auto& owned : m_Places) {
            CPlace* waste = owned.get();
            if (waste->type != kPlacePop || waste == &place)
                continue;
            anyHadCards = anyHadCards || waste->Size() > 0;
            while (waste->Size() > 0) {
                if (count == 0 && !replaying)
                    m_pInterface->RequestUndoSnapshot();
                waste->pile.back()->Multiplier = 1.0f;
                waste->MoveCard(-1, &place, CardMove::Down(0.5f).After(count * 0.04f + kAtOnce).JoiningAtOnce());
                ++count;
            }
        }
        if (count > 0)
            PlayEffect(m_Sounds.m_hSndCardsDeck);
        if (!replaying)
            m_pInterface->RestartAutoHint();
    }
    if (anyHadCards)
        --place.click_empty_limit;
}
