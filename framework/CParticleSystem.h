// CParticleSystem.h: up to 500 particles of one description, stepped at a fixed rate.
//
// The particle pool is fixed: a dead particle is replaced by the last live one, so nothing is
// allocated while the system runs. At most one step runs per Update; time beyond it is dropped,
// which keeps motion independent of the frame rate up to the update rate.
#pragma once

#include "framework/CColor.h"
#include "framework/CParticleDesc.h"
#include "framework/CRect.h"
#include "framework/CVector2.h"
#include "platform/EngineRef.h"

class CParticleSystem {
public:
    static constexpr int kMaxParticles = 500;
    static constexpr float kAgeStopped = -2.0f;
    static constexpr float kAgeEndless = -1.0f;

    CParticleSystem(const CParticleDesc& desc, float updateRate);
    ~CParticleSystem();
    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;

    void Fire();
    void FireAt(float x, float y);
    void Stop(bool killParticles = false);
    void MoveTo(float x, float y, bool moveParticles = false);
    void Transpose(float x, float y);  // drawing offset added to every particle

    void Update(float dt);
    void Render();

    int GetParticlesAlive() const { return m_nAlive; }
    float GetAge() const { return m_fAge; }
    // The system's own copy; animations scale its emission for one update.
    CParticleDesc& GetDesc() { return m_desc; }
    const CVector2& GetLocation() const { return m_location; }

private:
    struct Particle {
        CVector2 location;
        CVector2 velocity;
        float gravity = 0, radialAccel = 0, tangentialAccel = 0;
        float spin = 0, spinDelta = 0;
        float size = 0, sizeDelta = 0;
        CColor color, colorDelta;
        float age = 0, terminalAge = 0;
    };

    void Step(float t);
    void MoveParticles(float t);
    void Emit(float t);
    void InitParticle(Particle& p);

    CParticleDesc m_desc;
    float m_fUpdateStep = 0;
    float m_fResidue = 0;
    float m_fAge = kAgeStopped;
    float m_fEmissionResidue = 0;
    CVector2 m_prevLocation, m_location;
    float m_fOffsetX = 0, m_fOffsetY = 0;
    int m_nAlive = 0;
    CRect m_boundingBox;
    bool m_bUpdateBoundingBox = false;  // nothing turns tracking on; kept for the step's shape
    Particle m_particles[kMaxParticles];
    CEngineRef m_pEngine;
};
