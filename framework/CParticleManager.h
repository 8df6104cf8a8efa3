// CParticleManager.h: owns up to 100 running particle systems, spawns, steps and draws them.
//
// Slots are fixed; a freed slot takes the last system, so slot order is not spawn order after a
// deletion. A system that has stopped and has no live particle is deleted in the next Update.
#pragma once

#include "framework/CParticleSystem.h"

#include <memory>

class CParticleManager {
public:
    static constexpr int kMaxSystems = 100;

    explicit CParticleManager(float updateRate);
    ~CParticleManager();
    CParticleManager(const CParticleManager&) = delete;
    CParticleManager& operator=(const CParticleManager&) = delete;

    // Null when all slots are in use. The manager owns the system.
    CParticleSystem* SpawnPS(const CParticleDesc& desc, float x, float y);
    bool IsPSAlive(const CParticleSystem* system) const;
    void Transpose(float x, float y);
    void KillPS(CParticleSystem* system);
    void KillAll();

    void Update(float dt);
    void Render();

    int GetCount() const { return m_nCount; }

private:
    void RemoveSlot(int index);

    float m_fUpdateRate;
    int m_nCount = 0;
    float m_fOffsetX = 0, m_fOffsetY = 0;
    std::unique_ptr<CParticleSystem> m_systems[kMaxSystems];
};
