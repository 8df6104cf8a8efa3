// CFlyingEffects.cpp: spawning, flying and retiring the particle effects.
#include "app/CFlyingEffects.h"

#include "framework/CParticleManager.h"
#include "framework/CParticleSystem.h"
#include "framework/CSprite.h"

#include <algorithm>
#include <cmath>

CFlyingEffects::CFlyingEffects(CParticleManager* manager, const char* descriptionFile,
                               const char* textureFile, float x, float y, float w, float h)
    : m_pManager(manager)
{
    if (m_pEngine != nullptr && textureFile != nullptr)
        m_texture = CTextureOwner(m_pEngine.Get(), m_pEngine->TextureLoad(textureFile));
    m_pSprite = std::make_unique<CSprite>(m_texture.Get(), x, y, w, h);
    m_pSprite->SetBlendMode(kBlendAdd);
    m_pSprite->SetHotSpot(static_cast<float>(static_cast<int>(w) / 2),
                          static_cast<float>(static_cast<int>(h) / 2));
    // A missing description logs itself; its effects then emit nothing.
    if (!CParticleDesc::LoadFile(descriptionFile, m_desc))
        m_desc = CParticleDesc();
    m_desc.sprite = m_pSprite.get();
}

CFlyingEffects::~CFlyingEffects()
{
    KillAll();
    m_pSprite.reset();
}

bool CFlyingEffects::Add(float x, float y, float lifetime, float delay, int tag)
{
    if (GetCount() >= kMaxEffects)
        return false;
    FlyingEffect effect;
    effect.tag = tag;
    effect.x = effect.startX = effect.endX = x;
    effect.y = effect.startY = effect.endY = y;
    effect.delay = delay;
    effect.lifetime = lifetime;
    m_effects.push_back(effect);
    return true;
}

void CFlyingEffects::Update(float dt)
{
    // Dead systems are forgotten before anything spawns: a new system may take a dead one's
    // memory, and the effect that owned the dead one would then drive it as its own.
    for (FlyingEffect& effect : m_effects)
        if (effect.system != nullptr && !IsLive(effect))
            effect.system = nullptr;
    for (std::size_t i = 0; i < m_effects.size();) {
        FlyingEffect& effect = m_effects[i];
        if (effect.delay != 0) {
            Spawn(effect, dt);
            if (effect.delay != 0) {
                ++i;
                continue;
            }
        }
        if (!IsLive(effect)) {
            m_effects.erase(m_effects.begin() + static_cast<std::ptrdiff_t>(i));
            continue;  // the next effect takes this index
        }
        if (effect.lifetime == 0)
            effect.system->Stop(false);
        else if (effect.lifetime > 0)
            effect.lifetime = std::max(0.0f, effect.lifetime - dt);
        StepFlight(effect, dt);
        ++i;
    }
}

void CFlyingEffects::Spawn(FlyingEffect& effect, float dt)
{
    effect.delay -= dt;
    if (effect.delay > 0)
        return;
    effect.delay = 0;
    effect.system = m_pManager != nullptr ? m_pManager->SpawnPS(m_desc, effect.startX, effect.startY)
                                          : nullptr;
    if (effect.system == nullptr) {
        // The manager is full: try again next frame, while a finite lifetime keeps running.
        effect.delay += dt;
        if (effect.lifetime > 0)
            effect.lifetime = std::max(0.0f, effect.lifetime - dt);
        return;
    }
    effect.system->Fire();
}

void CFlyingEffects::StepFlight(FlyingEffect& effect, float dt)
{
    if (effect.hold != 0) {
        effect.hold = std::max(0.0f, effect.hold - dt);
        return;
    }
    if (effect.flightLeft == 0)
        return;
    effect.flightLeft -= dt;
    if (effect.flightLeft <= 0 || effect.flightTime <= 0) {
        effect.flightLeft = 0;
        effect.x = effect.endX;
        effect.y = effect.endY;
    } else {
        const float t = 1.0f - effect.flightLeft / effect.flightTime;
        effect.x = effect.startX + (effect.endX - effect.startX) * t;
        effect.y = effect.startY + (effect.endY - effect.startY) * t;
    }
    effect.system->MoveTo(effect.x, effect.y, false);
}

void CFlyingEffects::FlyLastTo(float x, float y, float time, float hold)
{
    FlyTo(GetCount() - 1, x, y, time, hold);
}

void CFlyingEffects::FlyTo(int index, float x, float y, float time, float hold)
{
    FlyingEffect* effect = At(index);
    if (effect == nullptr)
        return;
    effect->endX = x;
    effect->endY = y;
    effect->hold = hold;
    effect->flightTime = time;
    effect->flightLeft = time;
}

void CFlyingEffects::SetPosition(int index, float x, float y, bool moveParticles)
{
    FlyingEffect* effect = At(index);
    if (effect == nullptr)
        return;
    effect->x = effect->startX = effect->endX = x;
    effect->y = effect->startY = effect->endY = y;
    effect->hold = effect->flightTime = effect->flightLeft = 0;
    if (IsLive(*effect))
        effect->system->MoveTo(x, y, moveParticles);
}

void CFlyingEffects::Shift(int indexOrTag, float dx, float dy, float dtime, bool byTag)
{
    for (std::size_t i = 0; i < m_effects.size(); ++i) {
        FlyingEffect& effect = m_effects[i];
        if (byTag ? effect.tag != indexOrTag : static_cast<int>(i) != indexOrTag)
            continue;
        effect.x += dx;
        effect.y += dy;
        effect.startX += dx;
        effect.startY += dy;
        effect.endX += dx;
        effect.endY += dy;
        effect.flightTime += dtime;
        effect.flightLeft += dtime;
    }
}

static void RotatePoint(float& x, float& y, float c, float s, float cx, float cy)
{
    const float rx = (x - cx) * c - (y - cy) * s + cx;
    const float ry = (y - cy) * c + (x - cx) * s + cy;
    x = rx;
    y = ry;
}

void CFlyingEffects::Rotate(int tag, float angle, float cx, float cy)
{
    const float c = std::cos(angle), s = std::sin(angle);
    for (FlyingEffect& effect : m_effects) {
        if (effect.tag != tag)
            continue;
        RotatePoint(effect.x, effect.y, c, s, cx, cy);
        RotatePoint(effect.startX, effect.startY, c, s, cx, cy);
        RotatePoint(effect.endX, effect.endY, c, s, cx, cy);
    }
}

void CFlyingEffects::StopAll()
{
    for (FlyingEffect& effect : m_effects)
        if (IsLive(effect))
            effect.system->Stop(false);
}

void CFlyingEffects::KillAll()
{
    for (FlyingEffect& effect : m_effects) {
        if (!IsLive(effect))
            continue;
        effect.system->Stop(true);
        m_pManager->KillPS(effect.system);
    }
    m_effects.clear();
}

bool CFlyingEffects::IsFlightDone(int index) const
{
    const FlyingEffect* effect = GetEffect(index);
    return effect == nullptr || effect->flightLeft == 0;
}

const FlyingEffect* CFlyingEffects::GetEffect(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return &m_effects[static_cast<std::size_t>(index)];
}

FlyingEffect* CFlyingEffects::At(int index)
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return &m_effects[static_cast<std::size_t>(index)];
}

bool CFlyingEffects::IsLive(const FlyingEffect& effect) const
{
    return effect.system != nullptr && m_pManager != nullptr && m_pManager->IsPSAlive(effect.system);
}
