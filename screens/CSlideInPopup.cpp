// CSlideInPopup.cpp: the slide-in, the buttons that wait for it, the keys and closing.
#include "screens/CSlideInPopup.h"

#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"

#include <algorithm>

CSlideInPopup::CSlideInPopup(const char* module, const char* move, bool playParts)
    : m_controller(CFMouse::GetInstance()),
      m_sModule(module != nullptr ? module : ""),
      m_sMove(move != nullptr ? move : "")
{
    m_pWindow = LoadSlide(m_sMove, playParts);
    m_pShadow = LoadSlide(m_sMove + "_p2", playParts);
    m_controller.DisableInput();  // nothing is usable before the window stands
}

CSlideInPopup::~CSlideInPopup()
{
    // Only the screen that is still on top is ours to wake; a switched-away one is going anyway.
    if (m_pHeldTop != nullptr && g_pScreenManager != nullptr && g_pScreenManager->GetCurrent() == m_pHeldTop)
        m_pHeldTop->SetActive(true);
    m_partButtons.clear();
    m_buttons.clear();
    m_pShadow.reset();
    m_pWindow.reset();
}

std::unique_ptr<CFAnimationInstance> CSlideInPopup::LoadSlide(const std::string& effect, bool playParts)
{
    auto instance = std::make_unique<CFAnimationInstance>(&m_group, CFAnimationInstance::kUnsetPosition,
                                                          CFAnimationInstance::kUnsetPosition);
    instance->SetPlayParts(playParts);
    (void)instance->LoadEffect(g_pResource, m_sModule.c_str(), effect.c_str());  // logged there
    instance->SetVisible(true);
    instance->Play(false);
    return instance;
}

std::unique_ptr<CFButton> CSlideInPopup::MakeButton(ClickHandler* onClick)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    button->OnClick += onClick;
    return button;
}

CFButton* CSlideInPopup::AddPartButton(const char* object, ClickHandler* onClick, bool onShadow)
{
    const std::string path = std::string(object != nullptr ? object : "") + ".all";
    CFAnimationInstance* part = (onShadow ? m_pShadow : m_pWindow)->FindPart(0, path.c_str());
    if (part == nullptr) {
        delete onClick;
        m_engine.Log("[E] popup %s: button part %s not found in %s%s", m_sModule.c_str(), path.c_str(),
                     m_sMove.c_str(), onShadow ? "_p2" : "");
        return nullptr;
    }
    std::unique_ptr<CFButton> button = MakeButton(onClick);
    // The look is the window's own part, drawn and slid by the window; the button follows it.
    button->AttachAnimation(part);
    button->SetBoundsAnimation(part);
    button->AddAnimation("interface", "snd_button");
    button->SetVisible(false);
    m_controller.Add(button.get());
    m_partButtons.push_back(button.get());
    m_bStanding = false;
    m_buttons.push_back(std::move(button));
    return m_buttons.back().get();
}

CFButton* CSlideInPopup::AddEffectButton(const char* effect, ClickHandler* onClick)
{
    std::unique_ptr<CFButton> button = MakeButton(onClick);
    button->AddAnimation(m_sModule.c_str(), effect);
    button->AddAnimation("interface", "snd_button");
    m_controller.Add(button.get());
    m_buttons.push_back(std::move(button));
    return m_buttons.back().get();
}

void CSlideInPopup::SetText(const std::string& name, const std::string& text)
{
    if (g_pResource != nullptr)
        g_pResource->SetText(name.c_str(), text.c_str());
}

std::string CSlideInPopup::Numbered(const char* prefix, int n)
{
    return prefix + std::to_string(n);
}

void CSlideInPopup::HoldTopScreen()
{
    CScreenBase* top = g_pScreenManager != nullptr ? g_pScreenManager->GetCurrent() : nullptr;
    if (top == nullptr || top == this)
        return;
    m_pHeldTop = top;
    top->SetActive(false);
}

bool CSlideInPopup::IsSliding() const
{
    return m_pWindow->IsPlaying();
}

void CSlideInPopup::Close()
{
    if (m_pParent != nullptr)
        m_pParent->SetChild(nullptr, true, true);
}

void CSlideInPopup::Update(float dt)
{
    if (m_bActive) {
        m_fEscapeDelay = std::max(0.0f, m_fEscapeDelay - dt);
        HandleKeys();
        OnUpdateStart(dt);
        m_group.Update(dt);
        m_controller.Update(dt);
        WatchSlide();
        OnUpdateEnd(dt);
    }
    CPopupBase::Update(dt);
}

void CSlideInPopup::HandleKeys()
{
    const int key = m_engine.LastKey();
    if (key == kVkEscape && m_fEscapeDelay <= 0.0f)
        OnEscapeKey();
    else if (key == kVkEnter && (!IsSliding() || m_bEnterWhileSliding))
        OnEnterKey();
}

void CSlideInPopup::WatchSlide()
{
    const bool sliding = IsSliding();
    if (!sliding && m_bWasSliding)
        OnSlideEnded();
    m_bWasSliding = sliding;
    if (!sliding)
        Stand();
}

void CSlideInPopup::OnSlideEnded()
{
    m_pWindow->Stop(true);
    m_pShadow->Stop(true);
}

void CSlideInPopup::Stand()
{
    if (m_bStanding)
        return;
    m_bStanding = true;
    for (CFButton* button : m_partButtons)
        button->SetVisible(true);
    m_controller.EnableInput();
}

void CSlideInPopup::Render()
{
    RenderBackdrop();
    if (m_bVisible) {
        m_group.Render();
        if (!IsSliding())
            m_controller.Render();
    }
    CScreenBase::Render();
}
