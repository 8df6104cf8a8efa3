// CTableEffects.cpp: the table's combo caption, tutorial banner and completion jingle.
#include "table/CTableEffects.h"

#include "framework/CFAnimationInstance.h"
#include "framework/CFResource.h"

#include <algorithm>
#include <cstdio>

namespace {
std::unique_ptr<CFAnimationInstance> MakeEffect(CFAnimationGroup* front, CFResource* resource, const char* module,
                                                const char* effect)
{
    if (resource == nullptr || front == nullptr)
        return nullptr;
    // The loading screen preloads these modules; a table made without it loads them itself, so
    // no effect is drawn from a texture that was never loaded.
    if (!resource->FindModule(module))
        resource->LoadModule(module, -1);
    auto instance = std::make_unique<CFAnimationInstance>(front, CFAnimationInstance::kUnsetPosition,
                                                          CFAnimationInstance::kUnsetPosition);
    if (!instance->LoadEffect(resource, module, effect))
        return nullptr;  // the load logged the missing name
    instance->SetVisible(false);
    return instance;
}
}  // namespace

CTableEffects::CTableEffects(CFAnimationGroup* front, CFResource* resource)
    : m_pComboEffect(MakeEffect(front, resource, "interface", "combo")),
      m_pTutorialEffect(MakeEffect(front, resource, "learn", "tutorial_mode")),
      m_pCompleteEffect(MakeEffect(front, resource, "interface", "snd_level_complete"))
{
}

CTableEffects::~CTableEffects() = default;

void CTableEffects::ShowCombo(int multiplier, float x, float y)
{
    if (m_pComboEffect == nullptr)
        return;
    char text[32];
    std::snprintf(text, sizeof text, "combo x%d", multiplier);
    m_pComboEffect->SetFrameText(0, 0, text);
    // The caption is about 150 pixels wide: near an edge it moves in so it can be read whole.
    constexpr float kHalfCaption = 80.0f, kViewWidth = 800.0f;
    m_pComboEffect->SetPosition(std::clamp(x, kHalfCaption, kViewWidth - kHalfCaption), y, true);
    m_pComboEffect->SetVisible(true);
    m_pComboEffect->Play(false);
}

void CTableEffects::PlayLevelComplete()
{
    if (m_pCompleteEffect == nullptr)
        return;
    m_pCompleteEffect->SetVisible(true);
    m_pCompleteEffect->PlayCommandSection("normal", false);
}

void CTableEffects::ShowTutorial(bool show)
{
    if (m_pTutorialEffect == nullptr)
        return;
    if (!show) {
        m_pTutorialEffect->Stop(true);
        m_pTutorialEffect->SetVisible(false);
        return;
    }
    m_pTutorialEffect->SetVisible(true);
    m_pTutorialEffect->PlayCommandSection("show", false);
}

void CTableEffects::KeepTutorialPlaying()
{
    if (m_pTutorialEffect != nullptr && !m_pTutorialEffect->IsPlaying())
        m_pTutorialEffect->PlayCommandSection("play", true);
}
