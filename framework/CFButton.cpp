// CFButton.cpp: the button's mouse looks, toggle latch and Enter key.
#include "framework/CFButton.h"

#include "framework/CFAnimationGroup.h"
#include "platform/Engine.h"

CFButton::CFButton()
{
    SetStateCode(kStateButton);
    OnUpdate += MakeDelegate(this, &CFButton::PollKey);
    OnMouseEnter += MakeDelegate(this, &CFButton::OnEnter);
    OnMouseLeave += MakeDelegate(this, &CFButton::OnLeave);
    OnMouseOver += MakeDelegate(this, &CFButton::OnOver);
    OnMouseDown += MakeDelegate(this, &CFButton::OnDown);
    OnMouseUp += MakeDelegate(this, &CFButton::OnUp);
}

CFButton::~CFButton() = default;

void CFButton::SetDown(bool down)
{
    const bool unlatched = m_bLatchedDown && !down;
    m_bLatchedDown = down;
    if (unlatched && !IsMouseOver())
        OnLeave(this, -1);
}

void CFButton::PlayState(const char* section, bool loop, bool lock)
{
    PlayCommandSection(section != nullptr ? section : "", loop);
    m_bStateLocked = lock;
}

void CFButton::ResetState()
{
    PlayCommandSection("normal", false);
    m_bStateLocked = false;
}

void CFButton::SetRepeatFrameEvents(bool repeat)
{
    if (IsEnabled())
        GetGroup()->SetRepeatFrameEvents(repeat);
}

void CFButton::PollKey(float)
{
    if (!IsEnabled() || !m_bEnterKey || m_pKeyEngine == nullptr)
        return;
    if (m_pKeyEngine->GetKey() == kVkEnter && !OnClick.IsEmpty())
        OnClick.Fire(this, 1);
}

void CFButton::OnEnter(CFObject*, int)
{
    if (!Quiet())
        PlayCommandSection("enter", false);
}

void CFButton::OnLeave(CFObject*, int)
{
    if (!Quiet())
        PlayCommandSection("leave", false);
}

void CFButton::OnOver(CFObject*, int)
{
    if (!Quiet())
        PlayCommandSection("over", false);
}

void CFButton::OnDown(CFObject*, int)
{
    if (m_nMode == kModeToggle)
        SetDown(!m_bLatchedDown);
    if (!Quiet())
        PlayCommandSection("down", false);
}

void CFButton::OnUp(CFObject*, int)
{
    if (!Quiet())
        PlayCommandSection("up", false);
}
