// CLoadingBar.cpp: three effects of module "loading", the progress one shown frame by frame.
#include "app/CLoadingBar.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"

#include <algorithm>

namespace {

constexpr const char* kModule = "loading";
constexpr float kLastFrameAndABit = 8.9999f;  // 100 % is frame 8, never 9

}  // namespace

CLoadingBar::CLoadingBar(CFResource* resource)
    : m_pResource(resource), m_pGroup(std::make_unique<CFAnimationGroup>())
{
    const float unset = CFAnimationInstance::kUnsetPosition;
    m_pProgress = std::make_unique<CFAnimationInstance>(m_pGroup.get(), unset, 0.0f);
    m_pBack = std::make_unique<CFAnimationInstance>(m_pGroup.get(), unset, 0.0f);
    m_pLoading = std::make_unique<CFAnimationInstance>(m_pGroup.get(), unset, 0.0f);
    Load();
}

CLoadingBar::~CLoadingBar()
{
    m_pProgress.reset();
    m_pBack.reset();
    m_pLoading.reset();
    m_pGroup.reset();
}

void CLoadingBar::Load()
{
    const struct {
        CFAnimationInstance* instance;
        const char* effect;
    } effects[] = {{m_pProgress.get(), "progress"}, {m_pBack.get(), "back"}, {m_pLoading.get(), "loading"}};
    for (const auto& e : effects) {
        (void)e.instance->LoadEffect(m_pResource, kModule, e.effect);  // the instance logs a failure
        e.instance->SetVisible(true);
        e.instance->Play(true);
    }
}

void CLoadingBar::SetProgress(float percent)
{
    m_pBack->Advance(0.0f, 1, false);
    m_pLoading->Advance(0.002f, 0, false);
    Update(0.0001f);
    if (m_bHidden)
        return;
    const float p = percent / 100.0f * kLastFrameAndABit;
    if (p == m_fShown)
        return;
    // Every frame between the old and the new progress is shown once, in order.
    const int last = static_cast<int>(p);
    for (int frame = std::max(static_cast<int>(m_fShown), 0); frame <= last; ++frame)
        m_pProgress->SetFrame(static_cast<float>(frame));
    m_pProgress->SetFrame(static_cast<float>(std::max(last, 0)));
    m_fShown = p;
}

void CLoadingBar::Update(float dt)
{
    if (m_bHidden)
        return;
    if (dt == 0.0f) {
        Load();
        return;
    }
    m_pGroup->Update(dt);
}

void CLoadingBar::Render()
{
    m_pGroup->Render();
}

void CLoadingBar::Show(bool visible)
{
    m_pProgress->SetVisible(visible);
    m_pBack->SetVisible(visible);
    m_pLoading->SetVisible(visible);
}

void CLoadingBar::Hide()
{
    m_bHidden = true;
    m_pProgress->SetVisible(false);
    m_pLoading->SetVisible(false);
}

int CLoadingBar::GetProgressFrame() const
{
    return m_pProgress->GetCurrentFrame();
}
