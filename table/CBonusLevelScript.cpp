// CBonusLevelScript.cpp: the shared steps of the bonus levels and the two games played in attempts.
#include "table/CBonusLevelScript.h"

#include "table/CBonusClock.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CPlace.h"
#include "table/ITableHost.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
constexpr int kMaxDraws = 1000;  // random draws that must meet a condition give up after this many
constexpr int kAttempts = 3;
constexpr int kCups = 3;
constexpr int kShufflesBeforePlay = 4;  // then the fifth shuffle sways a cup and play begins

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
}  // namespace

bool CBonusLevelScript::SameCard(const CCard* a, const CCard* b)
{
    return a != nullptr && b != nullptr && a->Rank == b->Rank && a->Suit == b->Suit;
}

// ---- Shared steps ---------------------------------------------------------------------------

void CBonusLevelScript::Run(float)
{
    if (m_clock.Phase() == kPhaseNone) {
        if (m_table.GetLevel() >= kBonusFindTheCard && m_table.GetLevel() <= kBonusSlidingPuzzle)
            Start();
        return;
    }
    switch (m_table.GetLevel()) {
    case kBonusFindTheCard:
        RunFindTheCard();
        break;
    case kBonusThreeCards:
        RunThreeCards();
        break;
    case kBonusPairs:
        RunPairs();
        break;
    case kBonusSequence:
        RunSequence();
        break;
    case kBonusSlidingPuzzle:
        RunSlidingPuzzle();
        break;
    default:
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

void CBonusLevelScript::RunSteps(const PhaseStep* steps, std::size_t count)
{
    const int phase = m_clock.Phase();
    const bool elapsed = m_clock.HasElapsed();
    for (std::size_t i = 0; i < count; ++i) {
        if (steps[i].phase != phase)
            continue;
        const Step step = elapsed ? steps[i].elapsed : steps[i].waiting;
        if (step != nullptr)
            (this->*step)();
        return;
    }
}

void CBonusLevelScript::RecordAttempt(bool won)
{
    m_clock.RecordAttempt(m_nAttempt, won);
    if (m_nAttempt < kAttempts)
        m_table.GetHost()->SetStartPending();
    m_clock.SetPhase(kPhaseSetUp, -1.0f);
}

void CBonusLevelScript::RecordWon()
{
    RecordAttempt(true);
}

void CBonusLevelScript::RecordLost()
{
    RecordAttempt(false);
}

// The games against the clock are won once, and the time it took is their result.
void CBonusLevelScript::FinishOnLevelTime()
{
    m_clock.RecordGoal(static_cast<int>(m_clock.LevelTime()));
    m_clock.SetPhase(kPhaseEnd, -1.0f);
}

void CBonusLevelScript::WinAfterEnd()
{
    m_clock.SetPhase(kPhaseWon, 0.5f);
}

void CBonusLevelScript::BuildSetsAndShow()
{
    BuildSets();
    m_clock.SetPhase(kPhaseShow, -1.0f);
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

// Random draws first, then the first that fits, so a rare condition still ends.
int CBonusLevelScript::DrawFitting(int count, const std::function<bool(int)>& fits) const
{
    for (int draw = 0; draw < kMaxDraws; ++draw) {
        const int pick = m_table.RandomInt(0, count - 1);
        if (fits(pick))
            return pick;
    }
    for (int i = 0; i < count; ++i) {
        if (fits(i))
            return i;
    }
    return -1;
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
    WinAfterEnd();
}

// ---- Find the card ------------------------------------------------------------------------------

void CBonusLevelScript::RunFindTheCard()
{
    static constexpr PhaseStep kSteps[] = {
        {kPhaseSetUp, &CBonusLevelScript::FindGatherAfterLast, &CBonusLevelScript::FindShowColumns},
        {kPhaseShow, nullptr, &CBonusLevelScript::FindHideColumns},
        {kPhasePlay, &CBonusLevelScript::FindPress, nullptr},
        {kPhaseAttemptWon, &CBonusLevelScript::FindCollectWon, &CBonusLevelScript::RecordWon},
        {kPhaseAttemptLost, &CBonusLevelScript::FindShowTarget, &CBonusLevelScript::RecordLost},
        {kPhaseEnd, nullptr, &CBonusLevelScript::WinAfterEnd},
    };
    RunSteps(kSteps, std::size(kSteps));
}

void CBonusLevelScript::FindGatherAfterLast()
{
    if (m_nAttempt < kAttempts)
        return;
    CPlace* house = m_table.GetPlace(LastPlaceOfType(kPlaceHouse));
    int k = 0;
    for (int i = 0; i < m_table.PlaceCount() && house != nullptr; ++i) {
        CPlace* place = m_table.GetPlace(i);
        if (place->type == kPlaceColumn && place->Size() > 0)
            place->MoveCard(0, house, CardMove::Down(0.5f).After(static_cast<float>(k++) / 20.0f));
    }
    m_clock.SetPhase(kPhaseEnd, -1.0f);
}

// Each attempt shows the columns a second shorter and turns them faster.
void CBonusLevelScript::FindShowColumns()
{
    const float pace = static_cast<float>(m_nAttempt) / 2.0f + 1.0f;
    std::vector<int> columns;
    for (int i = 0; i < m_table.PlaceCount(); ++i) {
        if (m_table.GetPlace(i)->type == kPlaceColumn)
            columns.push_back(i);
    }
    int k = 0;
    for (int i : columns) {
        CPlace* place = m_table.GetPlace(i);
        if (place->Size() == 0)
            continue;
        Turn(place, 0, true, 0.5f / pace, static_cast<float>(k++) * 0.1f / pace, false);
    }
    const int last = static_cast<int>(columns.size()) - 1;
    m_nTarget = columns.empty() ? -1 : columns[static_cast<std::size_t>(m_table.RandomInt(0, last))];
    m_clock.SetPhase(kPhaseShow, 4.0f - static_cast<float>(m_nAttempt));
}

// The columns turn down, and the house shows the twin of the target's card.
void CBonusLevelScript::FindHideColumns()
{
    const CPlace* S = m_table.GetPlace(m_nTarget);
    const CCard* target = S != nullptr ? S->GetCard(0) : nullptr;
    m_nPlaceP = LastPlaceOfType(kPlaceHouse);
    CPlace* P = m_table.GetPlace(m_nPlaceP);
    for (int i = 0; i < m_table.PlaceCount(); ++i) {
        CPlace* place = m_table.GetPlace(i);
        if (place->type == kPlaceColumn && place->Size() > 0)
            Turn(place, 0, false, 0.5f, kAtOnce, true);
    }
    for (int i = 0; P != nullptr && target != nullptr && i < P->Size();) {
        if (SameCard(P->GetCard(i), target) && P->MoveCard(i, P, CardMove::Up(0.3f)) != nullptr)
            continue;  // the card left: look at the same index again
        ++i;
    }
    m_clock.SetPhase(kPhasePlay, -1.0f);
}

void CBonusLevelScript::FindPress()
{
    const std::optional<PlaceHit> hit = PressedCard();
    if (!hit)
        return;
    const int c = hit->card;
    CPlace* pressed = m_table.GetPlace(hit->place);
    if (pressed->type != kPlaceColumn)
        return;
    const CPlace* P = m_table.GetPlace(m_nPlaceP);
    ++m_nAttempt;
    if (P != nullptr && SameCard(pressed->GetCard(c), P->GetCard(-1))) {
        Turn(pressed, 0, true, 1.0f, 0.0f, false);
        m_clock.SetPhase(kPhaseAttemptWon, -1.0f);
        return;
    }
    Turn(pressed, c, true, 0.5f, 0.0f, false);
    Turn(m_table.GetPlace(m_nTarget), 0, true, 0.5f, 0.5f, false);
    m_clock.SetPhase(kPhaseAttemptLost, -1.0f);
}

void CBonusLevelScript::FindShowTarget()
{
    EmptyOnto(m_table.GetPlace(m_nTarget), true, 0.4f);
}

void CBonusLevelScript::FindCollectWon()
{
    for (int i = 0; i < m_table.PlaceCount(); ++i) {
        CPlace* place = m_table.GetPlace(i);
        const CCard* card = place->GetCard(0);
        if (i != m_nPlaceP && card != nullptr && card->IsFaceUp() && !card->InFly)
            place->MoveCard(0, m_table.GetPlace(m_nPlaceP), CardMove::Up(1.0f).After(0.5f));
    }
}

// ---- Three cards --------------------------------------------------------------------------------

void CBonusLevelScript::RunThreeCards()
{
    static constexpr PhaseStep kSteps[] = {
        {kPhaseSetUp, &CBonusLevelScript::CupsGatherAfterLast, &CBonusLevelScript::DealCups},
        {kPhaseShow, nullptr, &CBonusLevelScript::HideCups},
        {kPhaseShuffle, nullptr, &CBonusLevelScript::ShuffleCups},
        {kPhasePlay, &CBonusLevelScript::CupsPress, nullptr},
        {kPhaseAttemptWon, &CBonusLevelScript::CupsEmptyTargetWon, &CBonusLevelScript::RecordWon},
        {kPhaseAttemptLost, &CBonusLevelScript::CupsEmptyTargetLost, &CBonusLevelScript::RecordLost},
        {kPhaseEnd, nullptr, &CBonusLevelScript::WinAfterEnd},
    };
    RunSteps(kSteps, std::size(kSteps));
}

void CBonusLevelScript::CupsGatherAfterLast()
{
    if (m_Sets[0].empty())
        BuildSets();
    if (m_nAttempt < kAttempts)
        return;
    CPlace* deck = SetPlace(0, 0);
    for (int i = 0; i < m_table.PlaceCount() && deck != nullptr; ++i) {
        CPlace* place = m_table.GetPlace(i);
        while (place->type == kPlaceColumn && place != deck && place->Size() > 0) {
            if (place->MoveCard(0, deck, CardMove::Down(0.5f).After(kAtOnce)) == nullptr)
                break;
        }
    }
    m_clock.SetPhase(kPhaseEnd, -1.0f);
}

// One card to each cup; the red one is the card to find, and its twin is shown on set 3.
void CBonusLevelScript::DealCups()
{
    BuildSets();  // anew: the level was dealt anew for this attempt
    CPlace* deck = SetPlace(0, 0);
    CPlace* shown = SetPlace(3, 0);
    m_pCardToFind = nullptr;
    bool redTaken = false;
    for (int k = 0; k < kCups && deck != nullptr; ++k) {
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
            return red || redTaken || k < kCups - 1 || !deckHasRed;
        };
        const int r = DrawFitting(deck->Size(), fits);
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
    m_nShuffles = 0;
    m_clock.SetPhase(kPhaseShow, -1.0f);
}

void CBonusLevelScript::HideCups()
{
    TurnSet1FaceDown();
    // Straight to shuffling: the phase clock keeps running and the first shuffle comes next.
    m_clock.ContinueAs(kPhaseShuffle, 1.0f);
}

void CBonusLevelScript::ShuffleCups()
{
    if (static_cast<int>(m_Sets[1].size()) < kCups) {
        m_clock.SetPhase(kPhasePlay, -1.0f);  // nothing to shuffle without three cups
        return;
    }
    int r[kCups] = {-1, -1, -1};
    for (int k = 0; k < kCups; ++k) {
        auto fits = [&](int v) { return (k != 0 || v != 0) && (k < 1 || v != r[0]) && (k < 2 || v != r[1]); };
        r[k] = DrawFitting(kCups, fits);
    }
    const float a = static_cast<float>(m_nAttempt);
    for (int k = 0; k < kCups; ++k) {
        CPlace* cup = SetPlace(1, k);
        if (cup->Size() > 0)
            cup->MoveCard(0, SetPlace(1, r[k]), CardMove::Down(1.0f - a / 3.0f).After(kAtOnce));
    }
    ++m_nShuffles;
    if (m_nShuffles <= kShufflesBeforePlay) {
        m_clock.Restart(1.3f - a / 2.3f);
        return;
    }
    CPlace* swaying = SetPlace(1, m_table.RandomInt(0, static_cast<int>(m_Sets[1].size()) - 1));
    if (swaying != nullptr)
        swaying->StartSway(0.0873f, 0, 2.1f, 0.6f);
    m_clock.SetPhase(kPhasePlay, -1.0f);
}

void CBonusLevelScript::CupsPress()
{
    const std::optional<PlaceHit> hit = PressedCard();
    if (!hit || !InSet1(hit->place))
        return;
    const int p = hit->place, c = hit->card;
    CPlace* pressed = m_table.GetPlace(p);
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
    Turn(m_table.GetPlace(m_nTarget), 0, true, 0.5f, 0.8f, false);
    m_clock.SetPhase(kPhaseAttemptLost, -1.0f);
}

void CBonusLevelScript::CupsEmptyTargetWon()
{
    EmptyOnto(m_table.GetPlace(m_nTarget), true, 1.0f);
}

void CBonusLevelScript::CupsEmptyTargetLost()
{
    EmptyOnto(m_table.GetPlace(m_nTarget), true, 0.4f);
}
