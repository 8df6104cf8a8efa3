// CCardTableBonusLevel.cpp: the phase clock of a bonus level and its script step.
#include "table/CCardTable.h"

#include "table/CBonusLevelScript.h"

void CCardTable::SetPhase(int phase, float seconds)
{
    if (!IsBonusLevelMode(m_nMode))
        return;
    m_nPhase = phase;
    m_fPhaseTimer = seconds == -1.0f ? CBonusLevelScript::PhaseTime(m_nLevel, phase) : seconds;
    m_fLevelTime = 0.0f;
    m_bPhaseElapsed = false;
}

void CCardTable::RunBonusScript(float dt)
{
    if (IsBonusLevelMode(m_nMode))
        m_pBonusScript->Run(dt);
}
