#include "framework/CParticleSystem.h"

#include "framework/CSprite.h"
#include "platform/Engine.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979323846f;

}  // namespace

CParticleSystem::CParticleSystem(const CParticleDesc& desc, float updateRate)
    : m_desc(desc), m_fUpdateStep(updateRate != 0.0f ? 1.0f / updateRate : 0.0f)
{
    m_boundingBox.Clear();
}

CParticleSystem::~CParticleSystem() = default;

void CParticleSystem::Fire()
{
    m_fAge = m_desc.lifetime == kAgeEndless ? kAgeEndless : 0.0f;
    m_fResidue = 0;
}

void CParticleSystem::FireAt(float x, float y)
{
    Stop(false);
    MoveTo(x, y, false);
    Fire();
}

void CParticleSystem::Stop(bool killParticles)
{
    m_fAge = kAgeStopped;
    if (!killParticles)
        return;
    m_nAlive = 0;
    m_boundingBox.Clear();
}

void CParticleSystem::MoveTo(float x, float y, bool moveParticles)
{
    if (moveParticles) {
        const float dx = x - m_location.x;
        const float dy = y - m_location.y;
        for (int i = 0; i < m_nAlive; ++i) {
            m_particles[i].location.x += dx;
            m_particles[i].location.y += dy;
        }
        m_prevLocation.x += dx;
        m_prevLocation.y += dy;
    } else if (m_fAge == kAgeStopped) {
        m_prevLocation.x = x;
        m_prevLocation.y = y;
    } else {
        m_prevLocation = m_location;
    }
    m_location.x = x;
    m_location.y = y;
}

void CParticleSystem::Transpose(float x, float y)
{
    m_fOffsetX = x;
    m_fOffsetY = y;
}

void CParticleSystem::Update(float dt)
{
    if (m_fUpdateStep == 0.0f) {
        Step(dt);
        return;
    }
    m_fResidue += dt;
    if (!(m_fResidue >= m_fUpdateStep))
        return;
    Step(m_fUpdateStep);
    // A NaN or infinite dt would loop for ever; drop the residue instead.
    if (!std::isfinite(m_fResidue)) {
        m_fResidue = 0;
        return;
    }
    while (m_fResidue >= m_fUpdateStep)
        m_fResidue -= m_fUpdateStep;
}

void CParticleSystem::Step(float t)
{
    if (m_fAge >= 0) {
        m_fAge += t;
        if (m_fAge >= m_desc.lifetime)
            m_fAge = kAgeStopped;
    }
    if (m_bUpdateBoundingBox)
        m_boundingBox.Clear();
    MoveParticles(t);
    if (m_fAge != kAgeStopped)
        Emit(t);
    m_prevLocation = m_location;
}

void CParticleSystem::MoveParticles(float t)
{
    for (int i = 0; i < m_nAlive;) {
        Particle& p = m_particles[i];
        p.age += t;
        if (p.age >= p.terminalAge) {
            --m_nAlive;
            p = m_particles[m_nAlive];
            continue;  // examine the slot again: it holds the moved particle now
        }
        CVector2 radial = p.location - m_location;
        radial.Normalize();
        CVector2 tangential(-radial.y, radial.x);
        radial *= p.radialAccel;
        tangential *= p.tangentialAccel;
        p.velocity += (radial + tangential) * t;
        p.velocity.y += p.gravity * t;
        p.location += p.velocity;  // once per step: speeds are pixels per step
        p.spin += p.spinDelta * t;
        p.size += p.sizeDelta * t;
        p.color += p.colorDelta * t;
        if (m_bUpdateBoundingBox)
            m_boundingBox.Encapsulate(p.location.x, p.location.y);
        ++i;
    }
}

void CParticleSystem::Emit(float t)
{
    const float needed = m_desc.emission * t + m_fEmissionResidue;
    const float rounded = std::round(needed);
    m_fEmissionResidue = needed - rounded;
    if (!std::isfinite(m_fEmissionResidue))
        m_fEmissionResidue = 0;
    // Compare as floats: a huge or NaN count must not be cast to int.
    int create = 0;
    if (rounded >= static_cast<float>(kMaxParticles))
        create = kMaxParticles;
    else if (rounded > 0)
        create = static_cast<int>(rounded);
    for (int n = 0; n < create && m_nAlive < kMaxParticles; ++n) {
        InitParticle(m_particles[m_nAlive]);
        if (m_bUpdateBoundingBox)
            m_boundingBox.Encapsulate(m_particles[m_nAlive].location.x,
                                      m_particles[m_nAlive].location.y);
        ++m_nAlive;
    }
}

void CParticleSystem::InitParticle(Particle& p)
{
    IEngine& e = *m_pEngine;
    const CParticleDesc& d = m_desc;
    p.age = 0;
    p.terminalAge = e.RandomFloat(d.particleLifeMin, d.particleLifeMax);

    p.location = m_prevLocation + (m_location - m_prevLocation) * e.RandomFloat(0, 1);
    p.location.x += e.RandomFloat(-2, 2);
    p.location.y += e.RandomFloat(-2, 2);

    float angle = d.direction - kPi / 2 + e.RandomFloat(0, d.spread) - d.spread / 2;
    if (d.relative)
        angle += (m_prevLocation - m_location).Angle() + kPi / 2;
    p.velocity = CVector2(std::cos(angle), std::sin(angle)) * e.RandomFloat(d.speedMin, d.speedMax);

    p.gravity = e.RandomFloat(d.gravityMin, d.gravityMax);
    p.radialAccel = e.RandomFloat(d.radialAccelMin, d.radialAccelMax);
    p.tangentialAccel = e.RandomFloat(d.tangentialAccelMin, d.tangentialAccelMax);

    p.size = e.RandomFloat(d.sizeStart, d.sizeStart + (d.sizeEnd - d.sizeStart) * d.sizeVar);
    p.sizeDelta = (d.sizeEnd - p.size) / p.terminalAge;
    p.spin = e.RandomFloat(d.spinStart, d.spinStart + (d.spinEnd - d.spinStart) * d.spinVar);
    p.spinDelta = (d.spinEnd - p.spin) / p.terminalAge;

    const CColor& s = d.colorStart;
    const CColor& end = d.colorEnd;
    p.color.r = e.RandomFloat(s.r, s.r + (end.r - s.r) * d.colorVar);
    p.color.g = e.RandomFloat(s.g, s.g + (end.g - s.g) * d.colorVar);
    p.color.b = e.RandomFloat(s.b, s.b + (end.b - s.b) * d.colorVar);
    p.color.a = e.RandomFloat(s.a, s.a + (end.a - s.a) * d.alphaVar);
    p.colorDelta = CColor((end.r - p.color.r) / p.terminalAge, (end.g - p.color.g) / p.terminalAge,
                          (end.b - p.color.b) / p.terminalAge, (end.a - p.color.a) / p.terminalAge);
}

void CParticleSystem::Render()
{
    CSprite* sprite = m_desc.sprite;
    if (sprite == nullptr)
        return;
    const std::uint32_t saved = sprite->GetColor(0);
    for (int i = 0; i < m_nAlive; ++i) {
        const Particle& p = m_particles[i];
        sprite->SetColor(p.color.ToARGB());
        sprite->RenderEx(p.location.x + m_fOffsetX, p.location.y + m_fOffsetY, p.spin * p.age, p.size);
    }
    sprite->SetColor(saved);
}
