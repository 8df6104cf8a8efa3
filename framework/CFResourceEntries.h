// CFResourceEntries.h: the rows of the resource manager's tables, addressed by declaration index.
//
// Textures, sprites and fonts load on first use and are counted per use; sounds load while the
// script runs. The manager owns every loaded object and frees it when its count drops to 0.
#pragma once

#include "framework/CFFont.h"
#include "framework/CParticleDesc.h"
#include "framework/CParticleManager.h"
#include "framework/CSprite.h"
#include "platform/Engine.h"

#include <memory>
#include <string>

struct CFPsiEntry {
    std::string name;
    std::string file;
};

struct CFTextureEntry {
    std::string name;
    std::string file;
    int useCount = 0;
    HTexture texture = 0;  // 0 while not loaded (or when loading failed)
    bool loaded = false;
};

struct CFSpriteEntry {
    std::string name;
    int texture = -1;  // texture entry index, -1 none
    float x = 0, y = 0, width = 0, height = 0;  // the rectangle in the texture
    int useCount = 0;
    std::unique_ptr<CSprite> sprite;  // null while not created
    bool created = false;
};

struct CFSoundEntry {
    std::string name;
    std::string file;
    int useCount = 1;
    HEffect sound = 0;
    bool loaded = true;
    HChannel channel = 0;  // the channel it played on last, for animations that stop it
};

struct CFFontEntry {
    std::unique_ptr<CFFont> font;  // null while not created
    std::string name;
    std::string file;
    int useCount = 0;
    bool created = false;
};

struct CFTextEntry {
    int font = -1;  // font entry index; -1 when the script gave none that exists
    std::string name;
    int lineSpacing = 0;
    int letterSpacing = 0;
    int alignment = 0;  // 0 centred, 1 right, other left
    std::wstring text;
};

// A particle effect that an animation track has started: its manager, the description it
// spawns from (with the track's sprite) and the system it spawned last.
struct CFParticleObject {
    std::unique_ptr<CParticleManager> manager;
    CParticleDesc desc;
    CParticleSystem* system = nullptr;
};
