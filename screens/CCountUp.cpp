// CCountUp.cpp: one step of the count: the shown total, a new batch, the running count, a phase.
#include "screens/CCountUp.h"

#include <algorithm>
#include <cstdint>

CCountUp::CCountUp(int base) : m_nShown(base), m_nTarget(base), m_nDisplayed(base), m_nLastShownText(base) {}

void CCountUp::Count(int points, float seconds)
{
    m_nBatch = points;
    m_fCountLength = seconds;
    m_fCountLeft = seconds;
}

void CCountUp::Next(int phase, float pause)
{
    m_nPhase = phase;
    m_fPause = pause;
}

void CCountUp::Step(float dt, IClient& client)
{
    if (m_nDisplayed != m_nLastShownText) {
        client.ShowScore(m_nDisplayed);
        m_nLastShownText = m_nDisplayed;
    }
    StartBatch();
    if (m_fCountLeft > 0.0f) {
        RunCount(dt, client);
        return;
    }
    m_fPause -= dt;
    if (m_fPause > 0.0f && !m_bFastForward)
        return;
    m_fPause = 0.0f;
    client.RunPhase(m_nPhase);
}

void CCountUp::StartBatch()
{
    if (m_nBatch == kNoBatch)
        return;
    // The stores keep the total in 32 bits: it stops at either end rather than wrap around.
    m_nTarget = static_cast<int>(std::clamp<long long>(static_cast<long long>(m_nShown) + m_nBatch, INT32_MIN, INT32_MAX));
    // A few points (or none, or a loss) are not worth watching: they go in on this step.
    if (m_nBatch < kShortBatch) {
        m_fCountLength = kShortCount;
        m_fCountLeft = kShortCount;
    }
    m_nBatch = kNoBatch;
}

void CCountUp::RunCount(float dt, IClient& client)
{
    m_fCountLeft -= dt;
    if (m_fCountLeft > 0.0f && !m_bFastForward) {
        const float done = 1.0f - m_fCountLeft / m_fCountLength;
        // The gap between two 32-bit totals may not fit in 32 bits; the part counted so far does.
        const double gap = static_cast<double>(m_nTarget) - m_nShown;
        m_nDisplayed = static_cast<int>(gap * static_cast<double>(done)) + m_nShown;
        return;
    }
    m_fCountLeft = 0.0f;
    m_nShown = m_nTarget;
    m_nDisplayed = m_nShown;
    client.OnCountEnded(m_nTarget);
}
