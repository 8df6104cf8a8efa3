// ParticlesFuzzer.cpp: one input is a ".psi" particle description. A system made from it fires,
// moves and is drawn for a few seconds, as the game's effects are.
#include "FuzzSupport.h"
#include "framework/CParticleDesc.h"
#include "framework/CParticleManager.h"
#include "framework/CParticleSystem.h"
#include "framework/CSprite.h"

#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScopedFakeEngine fake;
    fake->AddResource("effect.psi", std::vector<std::uint8_t>(data, data + size));
    CParticleDesc desc;
    if (!CParticleDesc::LoadFile("effect.psi", desc))
        return 0;
    CSprite sprite(fake->TextureCreate(32, 32), 0.0f, 0.0f, 32.0f, 32.0f);
    desc.sprite = &sprite;
    CParticleManager manager(50.0f);
    CParticleSystem* system = manager.SpawnPS(desc, 400.0f, 300.0f);
    for (int frame = 0; frame < 120; ++frame) {
        if (system != nullptr && manager.IsPSAlive(system))
            system->MoveTo(400.0f + frame, 300.0f - frame, frame % 2 == 0);
        manager.Update(1.0f / 30.0f);
        manager.Render();
        fake->quads.clear();
    }
    return 0;
}
