// CFHoverEffect.cpp: one animation, created on Show and deleted on Hide.
#include "framework/CFHoverEffect.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"

CFHoverEffect::CFHoverEffect()
    : m_pGroup(std::make_unique<CFAnimationGroup>()),
      m_fX(CFAnimationInstance::kUnsetPosition),
      m_fY(CFAnimationInstance::kUnsetPosition)
{
}

CFHoverEffect::~CFHoverEffect()
{
    Hide();
    m_pGroup.reset();
}

void CFHoverEffect::SetPosition(float x, float y)
{
    m_fX = x;
    m_fY = y;
}

void CFHoverEffect::Show(CFResource* resource, const char* module, const char* effect)
{
    if (m_pAnimation != nullptr)
        return;
    m_pAnimation = std::make_unique<CFAnimationInstance>(m_pGroup.get(), m_fX, m_fY);
    (void)m_pAnimation->LoadEffect(resource, module, effect);  // a hover effect may simply be missing
    m_pAnimation->SetVisible(true);
    m_pAnimation->Play(false);
}

void CFHoverEffect::Hide()
{
    m_pAnimation.reset();
}

void CFHoverEffect::Update(float dt)
{
    if (m_pAnimation != nullptr)
        m_pGroup->Update(dt);
}

void CFHoverEffect::Render()
{
    if (m_pAnimation != nullptr)
        m_pGroup->Render();
}
