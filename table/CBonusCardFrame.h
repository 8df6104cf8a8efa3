// CBonusCardFrame.h: the golden frame drawn around a card marked for a bonus, with its sparkles.
#pragma once
#include "platform/EngineHandle.h"
#include "platform/EngineRef.h"

#include <memory>

class CCardTable;
class CFlyingEffects;
class CParticleManager;
class CSprite;

// Owned by the table. It loads its frame picture itself and frees it; a picture that cannot be
// loaded leaves the frame invisible (the sparkles still run). The pose is the last card it was
// drawn at; the sparkles follow that pose from frame to frame.
class CBonusCardFrame {
public:
    CBonusCardFrame(CCardTable* table, const char* framePath);
    ~CBonusCardFrame();
    CBonusCardFrame(const CBonusCardFrame&) = delete;
    CBonusCardFrame& operator=(const CBonusCardFrame&) = delete;

    void Update(float dt);
    void Render(float px, float py, float pangle, float phscale, float pvscale);
    bool HasSprite() const { return frameSprite != nullptr; }

    float x = -1.0f, y = -1.0f, angle = 0, hscale = 1.0f, vscale = 1.0f;
    float lastX = -1.0f, lastY = -1.0f;

private:
    CEngineRef m_engine;                          // first: the texture and the sprite go before it
    CTextureOwner m_texture;                      // before the sprite, which draws it
    std::unique_ptr<CParticleManager> particles;  // before the sparkles, which draw into it
    std::unique_ptr<CFlyingEffects> sparkles;
    CCardTable* table;
    std::unique_ptr<CSprite> frameSprite;
};
