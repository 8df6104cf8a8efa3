// CCardTableGrade.cpp: the medal of a bonus level from what its script measured.
#include "table/CCardTable.h"

namespace {
struct TimeLimits {
    int level;
    int gold;    // at most this many seconds
    int silver;  // at most this many; more is bronze
};
constexpr TimeLimits kTimeLimits[] = {{2, 60, 120}, {3, 30, 60}, {4, 120, 180}};
}  // namespace

void CCardTable::GradeBonusLevel()
{
    m_nGoalsMet = 0;
    m_nGrade = 0;
    if (m_nGoal < 0) {
        for (int result : m_nGoalCount)
            m_nGoalsMet += result > 0 ? 1 : 0;
        m_nGrade = m_nGoalsMet == 3 ? 4 : m_nGoalsMet == 2 ? 3 : m_nGoalsMet == 1 ? 2 : 0;
        return;
    }
    // A bonus level's table is made with its location as the level number.
    for (const TimeLimits& limits : kTimeLimits) {
        if (limits.level != m_nLevel)
            continue;
        m_nGrade = m_nGoal <= limits.gold ? 4 : m_nGoal <= limits.silver ? 3 : 2;
        return;
    }
}
