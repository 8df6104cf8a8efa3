#include "framework/CParticleManager.h"

CParticleManager::CParticleManager(float updateRate) : m_fUpdateRate(updateRate) {}

CParticleManager::~CParticleManager()
{
    KillAll();
}

CParticleSystem* CParticleManager::SpawnPS(const CParticleDesc& desc, float x, float y)
{
    if (m_nCount >= kMaxSystems)
        return nullptr;
    auto system = std::make_unique<CParticleSystem>(desc, m_fUpdateRate);
    system->FireAt(x, y);
    system->Transpose(m_fOffsetX, m_fOffsetY);
    m_systems[m_nCount] = std::move(system);
    return m_systems[m_nCount++].get();
}

bool CParticleManager::IsPSAlive(const CParticleSystem* system) const
{
    if (system == nullptr)
        return false;
    for (int i = 0; i < m_nCount; ++i)
        if (m_systems[i].get() == system)
            return true;
    return false;
}

void CParticleManager::Transpose(float x, float y)
{
    m_fOffsetX = x;
    m_fOffsetY = y;
    for (int i = 0; i < m_nCount; ++i)
        m_systems[i]->Transpose(x, y);
}

void CParticleManager::KillPS(CParticleSystem* system)
{
    for (int i = 0; i < m_nCount; ++i) {
        if (m_systems[i].get() == system) {
            RemoveSlot(i);
            return;
        }
    }
}

void CParticleManager::KillAll()
{
    for (int i = 0; i < m_nCount; ++i)
        m_systems[i].reset();
    m_nCount = 0;
}

void CParticleManager::Update(float dt)
{
    for (int i = 0; i < m_nCount;) {
        CParticleSystem& system = *m_systems[i];
        system.Update(dt);
        if (system.GetAge() == CParticleSystem::kAgeStopped && system.GetParticlesAlive() == 0) {
            RemoveSlot(i);
            continue;  // the slot holds the former last system now
        }
        ++i;
    }
}

void CParticleManager::Render()
{
    for (int i = 0; i < m_nCount; ++i)
        m_systems[i]->Render();
}

void CParticleManager::RemoveSlot(int index)
{
    m_systems[index].reset();
    --m_nCount;
    if (index != m_nCount)
        m_systems[index] = std::move(m_systems[m_nCount]);
}
