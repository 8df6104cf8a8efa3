// CBonusClock.cpp: phase times, the countdown and the medal of a bonus level.
#include "table/CBonusClock.h"

#include "table/CBonusLevelScript.h"
#include "table/CCardFlight.h"

#include <cassert>

namespace {
constexpr int kBonusLevels = 5;
constexpr int kPhases = kPhaseWon + 1;

// Seconds of each phase, by bonus level; 0 never elapses.
constexpr float kPhaseTimes[kBonusLevels][kPhases] = {
    {0.0f, 1.0f, 4.0f, 0.0f, 4.0f, 3.0f, 0.0f, kAtOnce, kAtOnce},
    {0.0f, 0.1f, 4.0f, 0.0f, 4.0f, 4.0f, 0.0f, kAtOnce, kAtOnce},
    {0.0f, kAtOnce, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, kAtOnce, kAtOnce},
    {0.0f, 0.5f, kAtOnce, 0.0f, 0.0f, 0.0f, 0.5f, kAtOnce, kAtOnce},
    {0.0f, kAtOnce, 1.5f, 0.0f, 0.0f, 0.0f, 0.5f, 7.0f, kAtOnce},
};

struct TimeLimits {
    int level;
    int gold;    // at most this many seconds
    int silver;  // at most this many; more is bronze
};
constexpr TimeLimits kTimeLimits[] = {
    {kBonusPairs, 60, 120}, {kBonusSequence, 30, 60}, {kBonusSlidingPuzzle, 120, 180}};
}  // namespace

float CBonusClock::PhaseTime(int level, int phase)
{
    if (level < 0 || level >= kBonusLevels || phase < 0 || phase >= kPhases)
        return 0.0f;
    return kPhaseTimes[level][phase];
}

void CBonusClock::SetPhase(int phase, float seconds)
{
    if (!m_bBonusLevel)
        return;
    m_nPhase = phase;
    m_fPhaseTimer = seconds == -1.0f ? PhaseTime(m_nLevel, phase) : seconds;
    m_fLevelTime = 0.0f;
    m_bPhaseElapsed = false;
}

void CBonusClock::ContinueAs(int phase, float seconds)
{
    assert(m_bBonusLevel && "only a bonus level's script moves its phases");
    m_nPhase = phase;
    m_fPhaseTimer = seconds;
}

void CBonusClock::Restart(float seconds)
{
    m_fPhaseTimer = seconds;
    m_bPhaseElapsed = false;
}

void CBonusClock::Tick(float dt)
{
    if (m_fPhaseTimer != 0.0f) {
        m_fPhaseTimer -= dt;
        if (m_fPhaseTimer <= 0.0f) {
            m_bPhaseElapsed = true;
            m_fPhaseTimer = 0.0f;
        }
    }
    m_fLevelTime += dt;
}

void CBonusClock::ResetGoals()
{
    for (int& result : m_nGoalCount)
        result = -1;
    m_nGoal = -1;
}

void CBonusClock::RecordAttempt(int attempt, bool won)
{
    if (attempt >= 1 && attempt <= kAttempts)
        m_nGoalCount[attempt - 1] = won ? 1 : 0;
}

void CBonusClock::RecordGoal(int seconds)
{
    assert(seconds >= 0 && "a measured time is never negative");
    m_nGoal = seconds;
}

void CBonusClock::GradeBonusLevel()
{
    m_nGoalsMet = 0;
    m_nGrade = kGradeNone;
    if (m_nGoal < 0) {
        for (int result : m_nGoalCount)
            m_nGoalsMet += result > 0 ? 1 : 0;
        m_nGrade = m_nGoalsMet == 3   ? kGradeGold
                   : m_nGoalsMet == 2 ? kGradeSilver
                   : m_nGoalsMet == 1 ? kGradeBronze
                                      : kGradeNone;
        return;
    }
    // A bonus level's table is made with its location as the level number.
    for (const TimeLimits& limits : kTimeLimits) {
        if (limits.level != m_nLevel)
            continue;
        m_nGrade = m_nGoal <= limits.gold ? kGradeGold : m_nGoal <= limits.silver ? kGradeSilver : kGradeBronze;
        return;
    }
}
