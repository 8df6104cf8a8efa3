// CBonusLevelScriptTimed.cpp: the three bonus games played against the clock: pairs, the
// sequence and the sliding puzzle.
#include "table/CBonusLevelScript.h"

#include "table/CBonusClock.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <cstdlib>
#include <iterator>
#include <vector>

namespace {
constexpr int kSequenceEnd = 24;  // a card whose rank and the last good card's add up to this can no longer follow

// The sliding puzzle's grid: cell = column + 3 x row, the order of set 1.
constexpr int kGridSide = 3;
constexpr int kCells = kGridSide * kGridSide;
constexpr int kSteps = 4;
// Grid steps: 0 up, 1 right, 2 down, 3 left.
constexpr int kStepCol[kSteps] = {0, 1, 0, -1};
constexpr int kStepRow[kSteps] = {-1, 0, 1, 0};
}  // namespace

// ---- Pairs ----------------------------------------------------------------------------------------

void CBonusLevelScript::RunPairs()
{
    static constexpr PhaseStep kSteps[] = {
        {kPhaseSetUp, nullptr, &CBonusLevelScript::BuildSetsAndShow},
        {kPhaseShow, nullptr, &CBonusLevelScript::HidePairs},
        {kPhasePlay, &CBonusLevelScript::PlayPairs, nullptr},
        {kPhaseEnd, nullptr, &CBonusLevelScript::WinAfterEnd},
    };
    RunSteps(kSteps, std::size(kSteps));
}

void CBonusLevelScript::HidePairs()
{
    TurnSet1FaceDown();
    m_clock.SetPhase(kPhasePlay, -1.0f);  // the phase clock now counts the playing time
}

void CBonusLevelScript::PlayPairs()
{
    const std::optional<PlaceHit> hit = PressedCard();
    if (hit && InSet1(hit->place)) {
        CPlace* place = m_table.GetPlace(hit->place);
        const CCard* card = place->GetCard(hit->card);
        if (!card->IsFaceUp() && !card->InFly)
            Turn(place, hit->card, true, 0.3f, 0.0f, false);
    }
    int holding = 0;
    std::vector<CPlace*> open;
    for (int k = 0; k < static_cast<int>(m_Sets[1].size()); ++k) {
        CPlace* place = SetPlace(1, k);
        if (place->Size() == 0)
            continue;
        ++holding;
        const CCard* card = place->GetCard(0);
        if (card->IsFaceUp() && !card->InFly)
            open.push_back(place);
    }
    if (holding == 0) {
        FinishOnLevelTime();
        return;
    }
    if (open.size() != 2)
        return;
    if (SameCard(open[0]->GetCard(0), open[1]->GetCard(0))) {
        CPlace* pile = SetPlace(2, 0);
        for (CPlace* place : open) {
            if (pile != nullptr)
                place->MoveCard(0, pile, CardMove::Down(0.8f).After(0.4f).JoiningAtOnce());
        }
        return;
    }
    for (CPlace* place : open)
        Turn(place, 0, false, 0.5f, 0.5f, true);
}

// ---- Sequence -------------------------------------------------------------------------------------

void CBonusLevelScript::RunSequence()
{
    static constexpr PhaseStep kSteps[] = {
        {kPhaseSetUp, nullptr, &CBonusLevelScript::StartSequence},
        {kPhaseShow, nullptr, &CBonusLevelScript::StartPlay},
        {kPhasePlay, &CBonusLevelScript::PlaySequence, nullptr},
        {kPhaseEnd, nullptr, &CBonusLevelScript::PutSequenceAway},
    };
    RunSteps(kSteps, std::size(kSteps));
}

void CBonusLevelScript::StartSequence()
{
    m_pPrevCard = nullptr;
    m_bWrongCard = false;
    BuildSetsAndShow();
}

void CBonusLevelScript::StartPlay()
{
    m_clock.SetPhase(kPhasePlay, -1.0f);
}

void CBonusLevelScript::PutSequenceAway()
{
    SendSetOnto(false, 2);
}

// A run starts with a two and goes up by one rank, alternating colours; a wrong card turns
// every card up again once nothing flies.
void CBonusLevelScript::PlaySequence()
{
    if (!m_bWrongCard)
        PressSequenceCard();
    int faceUp = 0, flying = 0;
    for (int k = 0; k < static_cast<int>(m_Sets[1].size()); ++k) {
        for (const CCard* card : SetPlace(1, k)->pile) {
            flying += card->InFly ? 1 : 0;
            faceUp += (!card->InFly && card->IsFaceUp()) ? 1 : 0;
        }
    }
    if (m_bWrongCard) {
        if (flying == 0)
            TurnSequenceUpAgain();
        return;
    }
    if (flying == 0 && m_pPrevCard != nullptr)
        PutAwayDeadCards();
    if (faceUp == 0 && flying == 0)
        FinishOnLevelTime();
}

void CBonusLevelScript::PressSequenceCard()
{
    const std::optional<PlaceHit> hit = PressedCard();
    if (!hit || !InSet1(hit->place))
        return;
    CPlace* place = m_table.GetPlace(hit->place);
    const CCard* card = place->GetCard(hit->card);
    if (!card->IsFaceUp() || card->InFly)
        return;
    const bool right = m_pPrevCard == nullptr
                           ? card->Rank == 1
                           : card->Colour() != m_pPrevCard->Colour() && card->Rank == m_pPrevCard->Rank + 1;
    Turn(place, hit->card, false, 0.3f, 0.0f, true);
    if (right)
        m_pPrevCard = card;
    else
        m_bWrongCard = true;
}

// Cards that can no longer follow in the run are put away.
void CBonusLevelScript::PutAwayDeadCards()
{
    for (int k = 0; k < static_cast<int>(m_Sets[1].size()); ++k) {
        CPlace* place = SetPlace(1, k);
        for (int i = 0; i < place->Size(); ++i) {
            const CCard* card = place->GetCard(i);
            if (!card->IsFaceUp() || card->InFly)
                continue;
            if (card->Rank < m_pPrevCard->Rank)
                Turn(place, i, false, 0.5f, 0.0f, true);
            else if (card->Rank + m_pPrevCard->Rank == kSequenceEnd)
                Turn(place, i, false, 1.0f, 0.0f, true);
        }
    }
}

void CBonusLevelScript::TurnSequenceUpAgain()
{
    int k = 0;
    for (int s = 0; s < static_cast<int>(m_Sets[1].size()); ++s) {
        CPlace* place = SetPlace(1, s);
        for (int i = 0; i < place->Size(); ++i) {
            if (!place->GetCard(i)->IsFaceUp())
                Turn(place, i, true, 0.5f, static_cast<float>(k++) / 24.0f, true);
        }
    }
    m_pPrevCard = nullptr;
    m_bWrongCard = false;
}

// ---- Sliding puzzle --------------------------------------------------------------------------------

void CBonusLevelScript::RunSlidingPuzzle()
{
    static constexpr PhaseStep kSteps[] = {
        {kPhaseSetUp, nullptr, &CBonusLevelScript::BuildSetsAndShow},
        {kPhaseShow, nullptr, &CBonusLevelScript::StartScramble},
        {kPhaseShuffle, &CBonusLevelScript::ScramblePuzzle, &CBonusLevelScript::PlayAfterScramble},
        {kPhasePlay, &CBonusLevelScript::PlayPuzzle, nullptr},
        {kPhaseEnd, nullptr, &CBonusLevelScript::PutPuzzleAway},
    };
    RunSteps(kSteps, std::size(kSteps));
}

void CBonusLevelScript::StartScramble()
{
    m_nLastStep = -1;
    m_bUntouched = true;
    m_clock.SetPhase(kPhaseShuffle, -1.0f);
}

// One step a frame: a neighbour of the empty cell slides into it, never straight back.
void CBonusLevelScript::ScramblePuzzle()
{
    if (m_table.IsFlying() || m_Sets[1].size() < kCells)
        return;
    int empty = -1;
    for (int cell = 0; cell < kCells && empty < 0; ++cell) {
        if (SetPlace(1, cell)->Size() == 0)
            empty = cell;
    }
    if (empty < 0)
        return;
    const int col = empty % kGridSide, row = empty / kGridSide;
    auto fits = [&](int step) {
        const int c = col + kStepCol[step], r = row + kStepRow[step];
        const bool inside = c >= 0 && c < kGridSide && r >= 0 && r < kGridSide;
        return inside && (m_nLastStep < 0 || step != (m_nLastStep + 2) % kSteps);
    };
    const int step = DrawFitting(kSteps, fits);
    if (step < 0)
        return;
    CPlace* from = SetPlace(1, (col + kStepCol[step]) + kGridSide * (row + kStepRow[step]));
    const float time = CBonusClock::PhaseTime(kBonusSlidingPuzzle, kPhaseShuffle) / 15.0f;
    from->MoveCard(0, SetPlace(1, empty), CardMove::Up(time).After(kAtOnce).Into(0));
    m_nLastStep = step;
}

void CBonusLevelScript::PlayAfterScramble()
{
    if (!m_table.IsFlying())
        m_clock.SetPhase(kPhasePlay, -1.0f);
}

void CBonusLevelScript::PutPuzzleAway()
{
    SendSetOnto(true, 2);
}

void CBonusLevelScript::PlayPuzzle()
{
    if (m_table.GetMouse()->IsPressed())
        PressPuzzle();
    else if (m_table.GetMouse()->IsReleased() && m_table.IsHolding())
        DropPuzzle();
    if (m_table.IsHolding() || !IsPuzzleSolved())
        return;
    if (!m_bUntouched)
        FinishOnLevelTime();
    else
        m_clock.SetPhase(kPhaseShow, kAtOnce);  // solved by the scramble itself: scramble again
}

void CBonusLevelScript::PressPuzzle()
{
    const std::optional<PlaceHit> hit = m_table.IsHolding() ? std::nullopt : m_table.GetMouse()->HitTest(false);
    if (!hit || hit->card < 0 || !InSet1(hit->place))
        return;
    CPlace* place = m_table.GetPlace(hit->place);
    const CCard* card = place->GetCard(hit->card);
    if (!card->IsFaceUp() || card->InFly)
        return;
    const int cell = PositionOfPlace(hit->place);
    if (cell < 0)
        return;
    m_nGripCol = cell % kGridSide;
    m_nGripRow = cell / kGridSide;
    CCursorHand& hand = *m_table.GetCursorHand();
    CPlace* held = hand.place.get();
    hand.srcPlace = place;
    held->x_offset = hit->dx;
    held->y_offset = hit->dy;
    held->k_squeeze = place->k_squeeze;
    place->MoveCard(hit->card, held, CardMove::Up(kAtOnce).After(kAtOnce));
}

// The held card slides into an empty neighbouring cell of its row or column, or goes back.
void CBonusLevelScript::DropPuzzle()
{
    CCursorHand& hand = *m_table.GetCursorHand();
    const std::optional<PlaceHit> drop = m_table.GetMouse()->FindDropPlace(false, true);
    CPlace* target = drop ? m_table.GetPlace(drop->place) : nullptr;
    if (target == nullptr || drop->card != -1 || !InSet1(drop->place) || m_table.IsFlightTo(target)) {
        m_table.GetHost()->GlowRulesButton(0, 2.0f);
    } else {
        const int cell = PositionOfPlace(drop->place);
        const int col = cell % kGridSide, row = cell / kGridSide;
        const bool inLine = col == m_nGripCol || row == m_nGripRow;
        const bool near = std::abs(col - m_nGripCol) <= 1 && std::abs(row - m_nGripRow) <= 1;
        if (cell >= 0 && inLine && near) {
            m_table.PlayRandom(m_table.Sounds().m_hSndCardPut);
            hand.place->MoveCard(0, target, CardMove::Up(kAtOnce).After(kAtOnce));
            m_bUntouched = false;
        } else {
            m_table.GetHost()->GlowRulesButton(1, 2.0f);
        }
    }
    if (m_table.IsHolding())
        hand.Release();
}

// Solved when the first eight cells hold cards that never fall in rank.
bool CBonusLevelScript::IsPuzzleSolved() const
{
    if (m_Sets[1].size() < kCells)
        return false;
    const CCard* prev = nullptr;
    for (int cell = 0; cell < kCells - 1; ++cell) {
        const CCard* card = SetPlace(1, cell)->GetCard(0);
        if (card == nullptr || card->InFly || (prev != nullptr && card->Rank < prev->Rank))
            return false;
        prev = card;
    }
    return true;
}

int CBonusLevelScript::PositionOfPlace(int placeIndex) const
{
    for (std::size_t k = 0; k < m_Sets[1].size() && k < kCells; ++k) {
        if (m_Sets[1][k] == placeIndex)
            return static_cast<int>(k);
    }
    return -1;
}
