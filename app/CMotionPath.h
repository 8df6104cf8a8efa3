// CMotionPath.h: a free-standing point that drifts with a velocity and two sine waves whose
// amplitudes are modulated, plus a ramp that runs back and forth between 0 and 1.
//
// A small motion helper of the effects family; it draws nothing and owns nothing.
#pragma once

struct MotionWave {
    float amplitude = 0;
    float frequency = 0;
    float phase = 0;
    float modulationDepth = 0;
    float modulationFrequency = 0;
};

class CMotionPath {
public:
    // The three values are kept for the caller; the motion does not use them.
    CMotionPath(float x, float y, float a, float b, float c, float ramp, bool paused);

    void Update(float dt);  // nothing while paused
    // run false pauses. Unless time is -1, jumps to that time and shifts the start so that the
    // path passes through the mirrored point.
    void Start(bool run, float time);

    void SetVelocity(float vx, float vy) { m_fVelocityX = vx; m_fVelocityY = vy; }
    void SetWaveX(const MotionWave& wave) { m_waveX = wave; }
    void SetWaveY(const MotionWave& wave) { m_waveY = wave; }
    void SetRampSpeed(float speed) { m_fRampSpeed = speed; }

    float GetX() const { return m_fX; }
    float GetY() const { return m_fY; }
    float GetRamp() const { return m_fRamp; }
    float GetValue(int index) const;  // one of the three values, 0 out of range
    bool IsPaused() const { return m_bPaused; }
    float GetTime() const { return m_fTime; }

private:
    void Step(float dt);

    float m_fX, m_fY;
    float m_values[3];
    float m_fRamp;
    bool m_bPaused;
    float m_fVelocityX = 0, m_fVelocityY = 0;
    MotionWave m_waveX, m_waveY;
    float m_fRampSpeed = 0;
    float m_fStartX, m_fStartY;
    float m_fStartRamp;
    float m_fTime = 0;
};
