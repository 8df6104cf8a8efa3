// CBonusLevelScript.cpp: the phases of the five bonus levels.
#include "table/CBonusLevelScript.h"

#include "table/CBonusClock.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CPlace.h"
#include "table/CTableMouse.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {
constexpr int kMaxDraws = 1000;  // random draws that must meet a condition give up after this many

bool SameCard(const CCard* a, const CCard* b)
{
    return a != nullptr && b != nullptr && a->Rank == b->Rank && a->Suit == b->Suit;
}

bool IsRed(const CCard* card)
{
    return (card->Suit & 2) != 0;
}

// A set number only from a place whose script names one; other places belong to no set.
int SetNumber(const std::string& text)
{
    if (text.empty())
        return -1;
    char* end = nullptr;
    const long g = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str())
        return -1;
    return static_cast<int>(g);
}

// An index in 0..count-1 that fits: random draws first, then the first that fits, so a rare
// condition still ends; -1 when none fits.
template <class Fits>
int DrawFitting(const CCardTable& table, int count, Fits fits)
{
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        const int pick = table.RandomInt(0, count - 1);
        if (fits(pick))
            return pick;
    }
    for (int i = 0; i < count; ++i) {
        if (fits(i))
            return i;
    }
    return -1;
}

// Grid steps of the sliding puzzle: 0 up, 1 right, 2 down, 3 left.
constexpr int kStepCol[4] = {0, 1, 0, -1};
constexpr int kStepRow[4] = {-1, 0, 1, 0};
}  // namespace

// ---- Shared steps ---------------------------------------------------------------------------

void CBonusLevelScript::Run(float dt)
{
    const int level = m_table.GetLevel();
    if (level < 0 || level > 4)
        return;
    if (m_clock.Phase() == kPhaseNone) {
        Start();
        return;
    }
    switch (level) {
    case 0:
        RunFindTheCard(dt);
        break;
    case 1:
        RunThreeCards(dt);
        break;
    case 2:
        RunPairs(dt);
        break;
    case 3:
        RunSequence(dt);
        break;
    default:
        RunSlidingPuzzle(dt);
        break;
    }
}

void CBonusLevelScript::Start()
{
    m_nAttempt = 0;
    m_nTarget = -1;
    m_nPlaceP = -1;
    for (auto& set : m_Sets)
        set.clear();
    m_nShuffles = 0;
    m_pCardToFind = nullptr;
    m_pPrevCard = nullptr;
    m_bWrongCard = false;
    m_nLastStep = -1;
    m_bUntouched = true;
    m_nGripCol = m_nGripRow = -1;
    m_clock.ResetGoals();
    m_clock.SetPhase(kPhaseDeal, -1.0f);
}

void CBonusLevelScript::RecordAttempt(bool won)
{
    m_clock.RecordAttempt(m_nAttempt, won);
    if (m_nAttempt < 3)
        m_table.GetHost()->SetStartPending();
    m_clock.SetPhase(kPhaseSetUp, -1.0f);
}

// Levels 2 to 4 are won once, and the time it took is their result.
void CBonusLevelScript::FinishOnLevelTime()
{
    m_clock.RecordGoal(static_cast<int>(m_clock.LevelTime()));
    m_clock.SetPhase(kPhaseEnd, -1.0f);
}

void CBonusLevelScript::BuildSets()
{
    for (auto& set : m_Sets)
        set.clear();
    for (int i = 0; i < m_table.PlaceCount(); ++i) {
        const int g = SetNumber(m_table.GetPlace(i)->help_script);
        if (g < 0 || g >= kSetCount || static_cast<int>(m_Sets[g].size()) >= kMaxSetSize)
            continue;
        m_Sets[g].push_back(i);
    }
}

bool CBonusLevelScript::InSet1(int placeIndex) const
{
    const CPlace* place = m_table.GetPlace(placeIndex);
    return place != nullptr && place->help_script == "1";
}

CPlace* CBonusLevelScript::SetPlace(int g, int k) const
{
    if (g < 0 || g >= kSetCount || k < 0 || k >= static_cast<int>(m_Sets[g].size()))
        return nullptr;
    return m_table.GetPlace(m_Sets[g][static_cast<std::size_t>(k)]);
}

int CBonusLevelScript::LastPlaceOfType(int type) const
{
    int last = -1;
    for (int i = 0; i < m_table.PlaceCount(); ++i) {
        if (m_table.GetPlace(i)->type == type)
            last = i;
    }
    return last;
}

std::optional<PlaceHit> CBonusLevelScript::PressedCard() const
{
    if (!m_table.GetMouse()->IsPressed())
        return std::nullopt;
    const std::optional<PlaceHit> hit = m_table.GetMouse()->HitTest(false);
    if (!hit || hit->card < 0)
        return std::nullopt;
    return hit;
}

void CBonusLevelScript::Turn(CPlace* place, int cardIndex, bool faceUp, float time, float delay, bool joinAtOnce)
{
    if (place != nullptr)
        place->MoveCard(cardIndex, place, CardMove::Face(faceUp, time).After(delay).JoiningAtOnce(joinAtOnce));
}

void CBonusLevelScript::TurnSet1FaceDown()
{
    for (int k = 0; k < static_cast<int>(m_Sets[1].size()); ++k) {
        CPlace* place = SetPlace(1, k);
        if (place->Size() > 0)
            Turn(place, 0, false, 0.5f, 0.0f, false);
    }
}

void CBonusLevelScript::EmptyOnto(CPlace* place, bool faceUp, float time)
{
    // Each card leaves at once and joins on landing, so the loop empties the pile.
    while (place != nullptr && place->Size() > 0) {
        if (place->MoveCard(0, place, CardMove::Face(faceUp, time)) == nullptr)
            break;
    }
}

// ---- Bonus level 0: find the card ----------------------------------------------------------

void CBonusLevelScript::RunFindTheCard(float)
{
    CCardTable& t = m_table;
    const bool elapsed = m_clock.HasElapsed();
    switch (m_clock.Phase()) {
    case kPhaseSetUp:
        if (!elapsed) {
            if (m_nAttempt <= 2)
                return;
            CPlace* P = t.GetPlace(LastPlaceOfType(kPlaceHouse));
            int k = 0;
            for (int i = 0; i < t.PlaceCount() && P != nullptr; ++i) {
                CPlace* place = t.GetPlace(i);
                if (place->type == kPlaceColumn && place->Size() > 0)
                    place->MoveCard(0, P, CardMove::Down(0.5f).After(static_cast<float>(k++) / 20.0f));
            }
            m_clock.SetPhase(kPhaseEnd, -1.0f);
            return;
        }
        {
            const float pace = static_cast<float>(m_nAttempt) / 2.0f + 1.0f;
            std::vector<int> columns;
            for (int i = 0; i < t.PlaceCount(); ++i) {
                if (t.GetPlace(i)->type == kPlaceColumn)
                    columns.push_back(i);
            }
            int k = 0;
            for (int i : columns) {
                CPlace* place = t.GetPlace(i);
                if (place->Size() == 0)
                    continue;
                Turn(place, 0, true, 0.5f / pace, static_cast<float>(k++) * 0.1f / pace, false);
            }
            m_nTarget = columns.empty() ? -1 : columns[static_cast<std::size_t>(t.RandomInt(0, static_cast<int>(columns.size()) - 1))];
            m_clock.SetPhase(kPhaseShow, 4.0f - static_cast<float>(m_nAttempt));
        }
        return;
    case kPhaseShow: {
        if (!elapsed)
            return;
        const CPlace* S = t.GetPlace(m_nTarget);
        const CCard* target = S != nullptr ? S->GetCard(0) : nullptr;
        m_nPlaceP = LastPlaceOfType(kPlaceHouse);
        CPlace* P = t.GetPlace(m_nPlaceP);
        for (int i = 0; i < t.PlaceCount(); ++i) {
            CPlace* place = t.GetPlace(i);
            if (place->type == kPlaceColumn && place->Size() > 0)
                Turn(place, 0, false, 0.5f, kAtOnce, true);
        }
        for (int i = 0; P != nullptr && target != nullptr && i < P->Size();) {
            if (SameCard(P->GetCard(i), target) && P->MoveCard(i, P, CardMove::Up(0.3f)) != nullptr)
                continue;  // the card left: look at the same index again
            ++i;
        }
        m_clock.SetPhase(kPhasePlay, -1.0f);
        return;
    }
    case kPhasePlay: {
        const std::optional<PlaceHit> hit = elapsed ? std::nullopt : PressedCard();
        if (!hit)
            return;
        const int c = hit->card;
        CPlace* pressed = t.GetPlace(hit->place);
        if (pressed->type != kPlaceColumn)
            return;
        const CPlace* P = t.GetPlace(m_nPlaceP);
        ++m_nAttempt;
        if (P != nullptr && SameCard(pressed->GetCard(c), P->GetCard(-1))) {
            Turn(pressed, 0, true, 1.0f, 0.0f, false);
            m_clock.SetPhase(kPhaseAttemptWon, -1.0f);
            return;
        }
        Turn(pressed, c, true, 0.5f, 0.0f, false);
        Turn(t.GetPlace(m_nTarget), 0, true, 0.5f, 0.5f, false);
        m_clock.SetPhase(kPhaseAttemptLost, -1.0f);
        return;
    }
    case kPhaseAttemptWon:
        if (elapsed) {
            RecordAttempt(true);
            return;
        }
        for (int i = 0; i < t.PlaceCount(); ++i) {
            CPlace* place = t.GetPlace(i);
            const CCard* card = place->GetCard(0);
            if (i != m_nPlaceP && card != nullptr && card->IsFaceUp() && !card->InFly)
                place->MoveCard(0, t.GetPlace(m_nPlaceP), CardMove::Up(1.0f).After(0.5f));
        }
        return;
    case kPhaseAttemptLost:
        if (elapsed)
            RecordAttempt(false);
        else
            EmptyOnto(t.GetPlace(m_nTarget), true, 0.4f);
        return;
    case kPhaseEnd:
        if (elapsed)
            m_clock.SetPhase(kPhaseWon, 0.5f);
        return;
    default:
        return;
    }
}

// ---- Bonus level 1: the three-card game ------------------------------------------------------

void CBonusLevelScript::RunThreeCards(float)
{
    CCardTable& t = m_table;
    const bool elapsed = m_clock.HasElapsed();
    switch (m_clock.Phase()) {
    case kPhaseSetUp: {
        if (m_Sets[0].empty())
            BuildSets();
        CPlace* deck = SetPlace(0, 0);
        if (!elapsed) {
            if (m_nAttempt <= 2)
                return;
            for (int i = 0; i < t.PlaceCount() && deck != nullptr; ++i) {
                CPlace* place = t.GetPlace(i);
                while (place->type == kPlaceColumn && place != deck && place->Size() > 0) {
                    if (place->MoveCard(0, deck, CardMove::Down(0.5f).After(kAtOnce)) == nullptr)
                        break;
                }
            }
            m_clock.SetPhase(kPhaseEnd, -1.0f);
            return;
        }
        BuildSets();
        DealCups();
        m_nShuffles = 0;
        m_clock.SetPhase(kPhaseShow, -1.0f);
        return;
    }
    case kPhaseShow:
        if (!elapsed)
            return;
        TurnSet1FaceDown();
        // Straight to shuffling: the phase clock keeps running and the first shuffle comes next.
        m_clock.ContinueAs(kPhaseShuffle, 1.0f);
        return;
    case kPhaseShuffle:
        if (elapsed)
            ShuffleCups();
        return;
    case kPhasePlay: {
        const std::optional<PlaceHit> hit = elapsed ? std::nullopt : PressedCard();
        if (!hit || !InSet1(hit->place))
            return;
        const int p = hit->place, c = hit->card;
        CPlace* pressed = t.GetPlace(p);
        pressed->StopSway();
        const CCard* card = pressed->GetCard(c);
        Turn(pressed, c, true, 0.4f, 0.0f, false);
        m_nTarget = -1;
        for (int k = 0; k < static_cast<int>(m_Sets[1].size()); ++k) {
            for (const CCard* inCup : SetPlace(1, k)->pile) {
                if (inCup == m_pCardToFind)
                    m_nTarget = m_Sets[1][static_cast<std::size_t>(k)];
            }
        }
        if (m_nTarget == -1 && card == m_pCardToFind)
            m_nTarget = p;  // the pressed card has already left its cup for its turn
        ++m_nAttempt;
        if (card != nullptr && card == m_pCardToFind) {
            m_clock.SetPhase(kPhaseAttemptWon, -1.0f);
            return;
        }
        Turn(t.GetPlace(m_nTarget), 0, true, 0.5f, 0.8f, false);
        m_clock.SetPhase(kPhaseAttemptLost, -1.0f);
        return;
    }
    case kPhaseAttemptWon:
    case kPhaseAttemptLost:
        if (elapsed)
            RecordAttempt(m_clock.Phase() == kPhaseAttemptWon);
        else
            EmptyOnto(t.GetPlace(m_nTarget), true, m_clock.Phase() == kPhaseAttemptWon ? 1.0f : 0.4f);
        return;
    case kPhaseEnd:
        if (elapsed)
            m_clock.SetPhase(kPhaseWon, 0.5f);
        return;
    default:
        return;
    }
}

void CBonusLevelScript::DealCups()
{
    CPlace* deck = SetPlace(0, 0);
    CPlace* shown = SetPlace(3, 0);
    m_pCardToFind = nullptr;
    if (deck == nullptr)
        return;
    bool redTaken = false;
    for (int k = 0; k < 3; ++k) {
        CPlace* cup = SetPlace(1, k);
        if (cup == nullptr || deck->Size() == 0)
            continue;
        const bool deckHasRed = std::any_of(deck->pile.begin(), deck->pile.end(), IsRed);
        // One red card, the one to find: never a second, and the last cup takes it when no
        // earlier cup did, so every game has a card to find.
        auto fits = [&](int i) {
            const bool red = IsRed(deck->GetCard(i));
            if (red && redTaken)
                return false;
            return red || redTaken || k < 2 || !deckHasRed;
        };
        const int r = DrawFitting(m_table, deck->Size(), fits);
        if (r < 0)
            continue;
        CCard* dealt = deck->GetCard(r);
        const float delay = 0.5f * static_cast<float>(k);
        deck->MoveCard(r, cup, CardMove::Up(0.6f).After(delay));
        const bool red = IsRed(dealt);
        if (red) {
            redTaken = true;
            m_pCardToFind = dealt;
        }
        for (int i = 0; i < deck->Size(); ++i) {
            if (!SameCard(deck->GetCard(i), dealt))
                continue;
            if (red && shown != nullptr)
                deck->MoveCard(i, shown, CardMove::Up(0.6f).After(delay));
            else if (!red)
                deck->pile.erase(deck->pile.begin() + i);  // taken out of play, no flight
            break;
        }
    }
}

void CBonusLevelScript::ShuffleCups()
{
    CCardTable& t = m_table;
    const int cups = std::min(3, static_cast<int>(m_Sets[1].size()));
    if (cups < 3) {
        m_clock.SetPhase(kPhasePlay, -1.0f);  // nothing to shuffle without three cups
        return;
    }
    int r[3] = {-1, -1, -1};
    for (int k = 0; k < 3; ++k) {
        auto fits = [&](int v) { return (k != 0 || v != 0) && (k < 1 || v != r[0]) && (k < 2 || v != r[1]); };
        r[k] = DrawFitting(t, 3, fits);
    }
    const float a = static_cast<float>(m_nAttempt);
    for (int k = 0; k < 3; ++k) {
        CPlace* cup = SetPlace(1, k);
        if (cup->Size() > 0)
            cup->MoveCard(0, SetPlace(1, r[k]), CardMove::Down(1.0f - a / 3.0f).After(kAtOnce));
    }
    if (m_nShuffles < 4) {
        ++m_nShuffles;
        m_clock.Restart(1.3f - a / 2.3f);
        return;
    }
    ++m_nShuffles;
    CPlace* swaying = SetPlace(1, t.RandomInt(0, static_cast<int>(m_Sets[1].size()) - 1));
    if (swaying != nullptr)
        swaying->StartSway(0.0873f, 0, 2.1f, 0.6f);
    m_clock.SetPhase(kPhasePlay, -1.0f);
}

// ---- Bonus level 2: pairs ----------------------------------------------------------------------

void CBonusLevelScript::RunPairs(float)
{
    CCardTable& t = m_table;
    const bool elapsed = m_clock.HasElapsed();
    switch (m_clock.Phase()) {
    case kPhaseSetUp:
        if (elapsed) {
            BuildSets();
            m_clock.SetPhase(kPhaseShow, -1.0f);
        }
        return;
    case kPhaseShow:
        if (!elapsed)
            return;
        TurnSet1FaceDown();
        m_clock.SetPhase(kPhasePlay, -1.0f);  // the phase clock now counts the playing time
        return;
    case kPhasePlay:
        if (!elapsed)
            PlayPairs();
        return;
    case kPhaseEnd:
        if (elapsed)
            m_clock.SetPhase(kPhaseWon, 0.5f);
        return;
    default:
        return;
    }
}

void CBonusLevelScript::PlayPairs()
{
    CCardTable& t = m_table;
    const std::optional<PlaceHit> hit = PressedCard();
    if (hit && InSet1(hit->place)) {
        CPlace* place = t.GetPlace(hit->place);
        const int c = hit->card;
        const CCard* card = place->GetCard(c);
        if (!card->IsFaceUp() && !card->InFly)
            Turn(place, c, true, 0.3f, 0.0f, false);
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

// ---- Bonus level 3: the sequence -------------------------------------------------------------

void CBonusLevelScript::RunSequence(float)
{
    CCardTable& t = m_table;
    const bool elapsed = m_clock.HasElapsed();
    switch (m_clock.Phase()) {
    case kPhaseSetUp:
        if (elapsed) {
            BuildSets();
            m_pPrevCard = nullptr;
            m_bWrongCard = false;
            m_clock.SetPhase(kPhaseShow, -1.0f);
        }
        return;
    case kPhaseShow:
        if (elapsed)
            m_clock.SetPhase(kPhasePlay, -1.0f);
        return;
    case kPhasePlay:
        if (!elapsed)
            PlaySequence();
        return;
    case kPhaseEnd:
        if (elapsed)
            SendSetOnto(false, 2);
        return;
    default:
        return;
    }
}

void CBonusLevelScript::PlaySequence()
{
    CCardTable& t = m_table;
    const std::optional<PlaceHit> hit = m_bWrongCard ? std::nullopt : PressedCard();
    if (hit && InSet1(hit->place)) {
        CPlace* place = t.GetPlace(hit->place);
        const int c = hit->card;
        const CCard* card = place->GetCard(c);
        if (card->IsFaceUp() && !card->InFly) {
            const bool right = m_pPrevCard == nullptr
                                   ? card->Rank == 1
                                   : card->Colour() != m_pPrevCard->Colour() && card->Rank == m_pPrevCard->Rank + 1;
            Turn(place, c, false, 0.3f, 0.0f, true);
            if (right)
                m_pPrevCard = card;
            else
                m_bWrongCard = true;
        }
    }
    int faceUp = 0, flying = 0;
    for (int k = 0; k < static_cast<int>(m_Sets[1].size()); ++k) {
        for (const CCard* card : SetPlace(1, k)->pile) {
            flying += card->InFly ? 1 : 0;
            faceUp += (!card->InFly && card->IsFaceUp()) ? 1 : 0;
        }
    }
    if (!m_bWrongCard) {
        if (flying == 0 && m_pPrevCard != nullptr) {
            // Cards that can no longer follow in the run are put away.
            for (int k = 0; k < static_cast<int>(m_Sets[1].size()); ++k) {
                CPlace* place = SetPlace(1, k);
                for (int i = 0; i < place->Size(); ++i) {
                    const CCard* card = place->GetCard(i);
                    if (!card->IsFaceUp() || card->InFly)
                        continue;
                    if (card->Rank < m_pPrevCard->Rank)
                        Turn(place, i, false, 0.5f, 0.0f, true);
                    else if (card->Rank + m_pPrevCard->Rank == 24)
                        Turn(place, i, false, 1.0f, 0.0f, true);
                }
            }
        }
        if (faceUp == 0 && flying == 0) {
            FinishOnLevelTime();
        }
        return;
    }
    if (flying != 0)
        return;
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

void CBonusLevelScript::SendSetOnto(bool faceUpCards, int targetSet)
{
    CPlace* target = SetPlace(targetSet, 0);
    int k = 0;
    for (int s = 0; s < static_cast<int>(m_Sets[1].size()) && target != nullptr; ++s) {
        CPlace* place = SetPlace(1, s);
        for (int i = 0; i < place->Size();) {
            const CCard* card = place->GetCard(i);
            if (card->IsFaceUp() != faceUpCards || card->InFly ||
                place->MoveCard(i, target, CardMove::Up(1.0f).After(static_cast<float>(k) / 10.0f)) == nullptr) {
                ++i;
                continue;
            }
            ++k;
        }
    }
    m_clock.SetPhase(kPhaseWon, 0.5f);
}

// ---- Bonus level 4: the sliding puzzle ---------------------------------------------------------

void CBonusLevelScript::RunSlidingPuzzle(float)
{
    CCardTable& t = m_table;
    const bool elapsed = m_clock.HasElapsed();
    switch (m_clock.Phase()) {
    case kPhaseSetUp:
        if (elapsed) {
            BuildSets();
            m_clock.SetPhase(kPhaseShow, -1.0f);
        }
        return;
    case kPhaseShow:
        if (elapsed) {
            m_nLastStep = -1;
            m_bUntouched = true;
            m_clock.SetPhase(kPhaseShuffle, -1.0f);
        }
        return;
    case kPhaseShuffle:
        if (t.IsFlying())
            return;
        if (elapsed)
            m_clock.SetPhase(kPhasePlay, -1.0f);
        else
            ScramblePuzzle();
        return;
    case kPhasePlay:
        if (elapsed)
            return;
        if (t.GetMouse()->IsPressed())
            PressPuzzle();
        else if (t.GetMouse()->IsReleased() && t.IsHolding())
            DropPuzzle();
        if (t.IsHolding() || !IsPuzzleSolved())
            return;
        if (!m_bUntouched) {
            FinishOnLevelTime();
        } else {
            m_clock.SetPhase(kPhaseShow, kAtOnce);  // solved by the scramble itself: scramble again
        }
        return;
    case kPhaseEnd:
        if (elapsed)
            SendSetOnto(true, 2);
        return;
    default:
        return;
    }
}

void CBonusLevelScript::ScramblePuzzle()
{
    CCardTable& t = m_table;
    if (m_Sets[1].size() < 9)
        return;
    int empty = -1;
    for (int cell = 0; cell < 9 && empty < 0; ++cell) {
        if (SetPlace(1, cell)->Size() == 0)
            empty = cell;
    }
    if (empty < 0)
        return;
    const int col = empty % 3, row = empty / 3;
    auto fits = [&](int step) {
        const int c = col + kStepCol[step], r = row + kStepRow[step];
        return c >= 0 && c < 3 && r >= 0 && r < 3 && (m_nLastStep < 0 || step != (m_nLastStep + 2) % 4);
    };
    const int step = DrawFitting(t, 4, fits);
    if (step < 0)
        return;
    CPlace* from = SetPlace(1, (col + kStepCol[step]) + 3 * (row + kStepRow[step]));
    from->MoveCard(0, SetPlace(1, empty),
                   CardMove::Up(CBonusClock::PhaseTime(4, kPhaseShuffle) / 15.0f).After(kAtOnce).Into(0));
    m_nLastStep = step;
}

void CBonusLevelScript::PressPuzzle()
{
    CCardTable& t = m_table;
    const std::optional<PlaceHit> hit = t.IsHolding() ? std::nullopt : t.GetMouse()->HitTest(false);
    if (!hit || hit->card < 0 || !InSet1(hit->place))
        return;
    CPlace* place = t.GetPlace(hit->place);
    const CCard* card = place->GetCard(hit->card);
    if (!card->IsFaceUp() || card->InFly)
        return;
    const int cell = PositionOfPlace(hit->place);
    if (cell < 0)
        return;
    m_nGripCol = cell % 3;
    m_nGripRow = cell / 3;
    CCursorHand& hand = *t.GetCursorHand();
    CPlace* held = hand.place.get();
    hand.srcPlace = place;
    held->x_offset = hit->dx;
    held->y_offset = hit->dy;
    held->k_squeeze = place->k_squeeze;
    place->MoveCard(hit->card, held, CardMove::Up(kAtOnce).After(kAtOnce));
}

void CBonusLevelScript::DropPuzzle()
{
    CCardTable& t = m_table;
    CCursorHand& hand = *t.GetCursorHand();
    const std::optional<PlaceHit> drop = t.GetMouse()->FindDropPlace(false, true);
    CPlace* target = drop ? t.GetPlace(drop->place) : nullptr;
    if (target == nullptr || drop->card != -1 || !InSet1(drop->place) || t.IsFlightTo(target)) {
        t.GetHost()->GlowRulesButton(0, 2.0f);
    } else {
        const int cell = PositionOfPlace(drop->place);
        const int col = cell % 3, row = cell / 3;
        const bool inLine = col == m_nGripCol || row == m_nGripRow;
        const bool near = std::abs(col - m_nGripCol) <= 1 && std::abs(row - m_nGripRow) <= 1;
        if (cell >= 0 && inLine && near) {
            t.PlayRandom(t.Sounds().m_hSndCardPut);
            hand.place->MoveCard(0, target, CardMove::Up(kAtOnce).After(kAtOnce));
            m_bUntouched = false;
        } else {
            t.GetHost()->GlowRulesButton(1, 2.0f);
        }
    }
    if (t.IsHolding())
        hand.Release();
}

bool CBonusLevelScript::IsPuzzleSolved() const
{
    if (m_Sets[1].size() < 9)
        return false;
    const CCard* prev = nullptr;
    for (int cell = 0; cell < 8; ++cell) {
        const CCard* card = SetPlace(1, cell)->GetCard(0);
        if (card == nullptr || card->InFly || (prev != nullptr && card->Rank < prev->Rank))
            return false;
        prev = card;
    }
    return true;
}

int CBonusLevelScript::PositionOfPlace(int placeIndex) const
{
    for (std::size_t k = 0; k < m_Sets[1].size() && k < 9; ++k) {
        if (m_Sets[1][k] == placeIndex)
            return static_cast<int>(k);
    }
    return -1;
}
