// CMotionPath.cpp: the drifting point and its ramp.
#include "app/CMotionPath.h"

#include <cmath>
#include <initializer_list>

CMotionPath::CMotionPath(float x, float y, float a, float b, float c, float ramp, bool paused)
    : m_fX(x), m_fY(y), m_values{a, b, c}, m_fRamp(ramp), m_bPaused(paused), m_fStartX(x),
      m_fStartY(y), m_fStartRamp(ramp)
{
}

float CMotionPath::GetValue(int index) const
{
    return index >= 0 && index < 3 ? m_values[index] : 0.0f;
}

void CMotionPath::Update(float dt)
{
    if (!m_bPaused)
        Step(dt);
}

void CMotionPath::Step(float dt)
{
    m_fTime += dt;
    const float t = m_fTime;
    m_fX = t * m_fVelocityX + m_fStartX + std::sin(t * m_waveX.frequency + m_waveX.phase) * m_waveX.amplitude;
    m_fY = t * m_fVelocityY + m_fStartY + std::cos(t * m_waveY.frequency + m_waveY.phase) * m_waveY.amplitude;
    for (MotionWave* wave : {&m_waveX, &m_waveY})
        wave->amplitude *= std::sin(t * wave->modulationFrequency) * wave->modulationDepth / 2 + 1;

    // Back and forth: odd whole parts run the fraction backwards.
    const float ramp = t * m_fRampSpeed + m_fStartRamp;
    const float whole = std::floor(ramp);
    const float fraction = ramp - whole;
    const bool odd = std::fmod(std::fabs(whole), 2.0f) == 1.0f;
    m_fRamp = odd ? 1.0f - fraction : fraction;
}

void CMotionPath::Start(bool run, float time)
{
    m_bPaused = !run;
    if (time == -1.0f)
        return;
    m_fTime = time;
    Step(0);
    m_fStartX = 2 * m_fStartX - m_fX;
    m_fStartY = 2 * m_fStartY - m_fY;
}
