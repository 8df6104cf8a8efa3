// CFlyingEffects.h: particle effects of one description placed on the screen and moved.
//
// Each effect waits a start delay, then its particle system is spawned in a particle manager,
// may fly in a straight line to an end point after a hold, and stops after a lifetime. At most
// 100 effects exist at a time; an effect is dropped once its system has no particle left.
// The manager is not owned, but it must outlive this object: its systems draw with this
// object's sprite, so the destructor takes them out of it.
#pragma once

#include "framework/CParticleDesc.h"
#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"

#include <memory>
#include <vector>

class CParticleManager;
class CParticleSystem;
class CSprite;

struct FlyingEffect {
    CParticleSystem* system = nullptr;  // none until spawned; belongs to the manager
    int tag = 0;
    float x = 0, y = 0;                 // current
    float startX = 0, startY = 0;
    float endX = 0, endY = 0;
    float delay = 0;                    // seconds until the system is spawned
    float hold = 0;                     // seconds before the flight starts
    float flightTime = 0;
    float flightLeft = 0;
    float lifetime = -1;                // seconds of emission; -1 endless
};

class CFlyingEffects {
public:
    static constexpr int kMaxEffects = 100;

    // The sprite is the cell (x, y, w, h) of the texture, its hot spot at the cell's centre.
    CFlyingEffects(CParticleManager* manager, const char* descriptionFile, const char* textureFile,
                   float x, float y, float w, float h);
    ~CFlyingEffects();
    CFlyingEffects(const CFlyingEffects&) = delete;
    CFlyingEffects& operator=(const CFlyingEffects&) = delete;

    // False when 100 effects exist. The delay must be above 0: the spawn happens when it runs out.
    bool Add(float x, float y, float lifetime, float delay, int tag);
    void Update(float dt);

    void FlyLastTo(float x, float y, float time, float hold);
    void FlyTo(int index, float x, float y, float time, float hold);
    void SetPosition(int index, float x, float y, bool moveParticles);
    void Shift(int indexOrTag, float dx, float dy, float dtime, bool byTag);
    void Rotate(int tag, float angle, float cx, float cy);

    void StopAll();  // emission ends; effects stay until their particles are gone
    void KillAll();  // systems removed at once; the list is emptied

    bool IsFlightDone(int index) const;  // also true out of range
    int GetCount() const { return static_cast<int>(m_effects.size()); }
    const FlyingEffect* GetEffect(int index) const;  // null out of range

protected:
    bool IsLive(const FlyingEffect& effect) const;
    FlyingEffect* At(int index);

    std::vector<FlyingEffect> m_effects;

private:
    void Spawn(FlyingEffect& effect, float dt);
    static void StepFlight(FlyingEffect& effect, float dt);

    CParticleManager* m_pManager;
    CEngineRef m_pEngine;
    CParticleDesc m_desc;
    CTextureOwner m_texture;
    std::unique_ptr<CSprite> m_pSprite;  // draws m_texture
};
