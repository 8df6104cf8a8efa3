// CBonusCardFrame.cpp: the frame around a marked bonus card.
#include "table/CBonusCardFrame.h"

#include "app/CFlyingEffects.h"
#include "framework/CParticleManager.h"
#include "framework/CSprite.h"
#include "table/CCardTable.h"
#include "table/ITableHost.h"

#include <algorithm>

CBonusCardFrame::CBonusCardFrame(CCardTable* owner, const char* framePath)
    : particles(std::make_unique<CParticleManager>(50.0f)), table(owner)
{
    sparkles = std::make_unique<CFlyingEffects>(particles.get(), "gfx/PARTICLES/bonus_card.psi",
                                                "gfx/PARTICLES/particles.png", 0, 31, 32, 32);
    IEngine* e = m_engine.Get();
    if (e == nullptr || framePath == nullptr)
        return;
    m_texture = CTextureOwner(e, e->TextureLoad(framePath));
    if (m_texture.Get() == 0)
        return;
    const float w = static_cast<float>(e->TextureGetWidth(m_texture.Get()));
    const float h = static_cast<float>(e->TextureGetHeight(m_texture.Get()));
    frameSprite = std::make_unique<CSprite>(m_texture.Get(), 0.0f, 0.0f, w, h);
    frameSprite->SetHotSpot(40.0f, 53.5f);
}

CBonusCardFrame::~CBonusCardFrame()
{
    sparkles.reset();
    particles.reset();
    frameSprite.reset();  // it draws the texture, which goes with the members below
}

void CBonusCardFrame::Update(float dt)
{
    const int moveX = static_cast<int>(x - lastX);
    const int moveY = static_cast<int>(y - lastY);
    for (int i = 0; i < sparkles->GetCount(); ++i)
        sparkles->Shift(i, static_cast<float>(moveX), static_cast<float>(moveY), 0.0f, false);
    particles->Update(dt);
    sparkles->Update(dt);
    if (x >= 0.0f && table != nullptr) {
        const float hw = static_cast<float>(table->GetCardSize().m_nCardWidth) / 2.0f - 5.0f;
        const float hh = static_cast<float>(table->GetCardSize().m_nCardHeight) / 2.0f - 5.0f;
        const int secondKind = std::max(0, 5 - sparkles->GetCount());
        table->GetHost()->SpawnFrameSparkles(sparkles.get(), x, y, hw, hh, angle, secondKind);
    }
    lastX = x;
    lastY = y;
}

void CBonusCardFrame::Render(float px, float py, float pangle, float phscale, float pvscale)
{
    if (table != nullptr && table->IsReplaying())
        return;
    x = px;
    y = py;
    angle = pangle;
    hscale = phscale;
    vscale = pvscale;
    if (frameSprite != nullptr)
        frameSprite->RenderEx(x, y, angle, hscale, vscale);
    particles->Render();
}
