// CFSlider.cpp: layout from the slider's animation, and the thumb's drag.
#include "framework/CFSlider.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFMouse.h"

#include <algorithm>

CFSlider::CFSlider()
    : m_pGroup(std::make_unique<CFAnimationGroup>()),
      m_pThumb(std::make_unique<CFObject>()),
      m_pMouse(CFMouse::GetInstance())
{
    AddChild(m_pThumb.get());
    OnUpdate += MakeDelegate(this, &CFSlider::OnFrame);
    OnRender += MakeDelegate(this, &CFSlider::OnDraw);
    for (CFObject* target : {static_cast<CFObject*>(this), m_pThumb.get()}) {
        target->OnMouseEnter += MakeDelegate(this, &CFSlider::OnEnter);
        target->OnMouseLeave += MakeDelegate(this, &CFSlider::OnLeave);
        target->OnMouseOver += MakeDelegate(this, &CFSlider::OnOver);
        target->OnMouseUp += MakeDelegate(this, &CFSlider::OnUp);
    }
    OnMouseDown += MakeDelegate(this, &CFSlider::OnDown);
    m_pThumb->OnMouseDown += MakeDelegate(this, &CFSlider::OnThumbDown);
}

CFSlider::~CFSlider()
{
    RemoveChild(m_pThumb.get());
    m_animations.clear();
    m_pGroup.reset();
}

CFAnimationInstance* CFSlider::AddAnimation(const char* module, const char* effect)
{
    auto instance = std::make_unique<CFAnimationInstance>(m_pGroup.get(),
                                                          CFAnimationInstance::kUnsetPosition,
                                                          CFAnimationInstance::kUnsetPosition);
    (void)instance->LoadEffect(GetResource(), module, effect);  // a missing look is not reported
    instance->SetVisible(IsVisible());
    instance->PlayCommandSection("normal", false);
    m_animations.push_back(std::move(instance));
    if (m_animations.size() == 1)
        Layout(true);
    return m_animations.back().get();
}

CFAnimationInstance* CFSlider::GetAnimation(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_animations.size()))
        return nullptr;
    return m_animations[static_cast<std::size_t>(index)].get();
}

float CFSlider::GetValue() const
{
    const float value = m_bDragging ? m_fValue + m_fDragOffset : m_fValue;
    return std::clamp(value, 0.0f, 1.0f);
}

void CFSlider::SetValue(float value)
{
    m_bDragging = false;
    m_fValue = value;
    m_fDragOffset = 0;
    Layout(true);
}

void CFSlider::GetTrack(float* startX, float* startY, float* endX, float* endY) const
{
    *startX = m_fTrackStartX;
    *startY = m_fTrackStartY;
    *endX = m_fTrackEndX;
    *endY = m_fTrackEndY;
}

void CFSlider::SetEnabled(bool enabled)
{
    m_pGroup->PlayCommandSection(enabled ? "normal" : "disabled", false);
    CFObject::SetEnabled(enabled);
}

void CFSlider::SetVisible(bool visible)
{
    m_pGroup->SetVisible(visible);
    CFObject::SetVisible(visible);
}

void CFSlider::SetPosition(float x, float y)
{
    m_fPosX = x;
    m_fPosY = y;
    m_pGroup->SetPosition(x, y);
    // The thumb and the slider's area move with the picture, so input lands where it is drawn.
    Layout(true);
}

void CFSlider::Layout(bool withRect)
{
    if (m_animations.empty())
        return;
    CFAnimationInstance& look = *m_animations.front();
    const int lastFrame = std::max(0, look.GetFrameCount() - 1);
    float thumbW = 0, thumbH = 0;
    look.GetPartSize(&thumbW, &thumbH, 0, 0);
    look.GetPartPosition(&m_fTrackStartX, &m_fTrackStartY, 0, 0);
    look.GetPartPosition(&m_fTrackEndX, &m_fTrackEndY, 0, lastFrame);

    const float v = GetValue();
    look.SetFrame(v * static_cast<float>(lastFrame));
    m_pThumb->SetRect(m_fTrackStartX + v * (m_fTrackEndX - m_fTrackStartX), m_fTrackStartY, thumbW, thumbH);
    if (!withRect)
        return;
    float x = 0, y = 0, w = 0, h = 0;
    look.GetPartPosition(&x, &y, 1, 0);
    look.GetPartSize(&w, &h, 1, 0);
    SetRect(x, y, w, h);
}

void CFSlider::StartDrag()
{
    if (!m_bDragging && !OnDragStart.IsEmpty())
        OnDragStart.Fire(this);
    SetCapture(true);
    m_bDragging = true;
    m_fDragOffset = 0;
    if (m_pMouse != nullptr)
        m_pMouse->GetPosition(m_fDragStartX, m_fDragStartY);
    Layout(false);
}

void CFSlider::DragStep()
{
    if (!m_bDragging)
        return;
    if (!OnDrag.IsEmpty())
        OnDrag.Fire(this);
    const float track = m_fTrackEndX - m_fTrackStartX;
    if (track == 0 || m_pMouse == nullptr)
        return;  // no length to map the motion onto: the value stays
    m_fDragOffset = (m_pMouse->GetX() - m_fDragStartX) / track;
}

void CFSlider::EndDrag()
{
    const bool wasDragging = m_bDragging;
    if (wasDragging && !OnDragEnd.IsEmpty())
        OnDragEnd.Fire(this);
    SetCapture(false);
    if (!wasDragging)
        return;
    m_fValue = GetValue();
    m_bDragging = false;
    m_fDragOffset = 0;
    Layout(false);
}

void CFSlider::Play(const char* section)
{
    m_pGroup->PlayCommandSection(section, false);
}

void CFSlider::OnFrame(float dt)
{
    const float value = GetValue();
    if (value != m_fLastValue) {
        Layout(false);
        m_fLastValue = value;
    }
    m_pGroup->Update(dt);
}

void CFSlider::OnDraw()
{
    m_pGroup->Render();
}

void CFSlider::OnEnter(CFObject*, int)
{
    if (IsEnabled())
        Play("enter");
}

void CFSlider::OnLeave(CFObject*, int)
{
    if (IsEnabled())
        Play("leave");
}

void CFSlider::OnOver(CFObject*, int)
{
    if (!IsEnabled())
        return;
    Play("over");
    DragStep();
}

void CFSlider::OnDown(CFObject*, int)
{
    if (IsEnabled())
        Play("down");  // a press beside the thumb starts nothing
}

void CFSlider::OnThumbDown(CFObject*, int)
{
    if (!IsEnabled())
        return;
    Play("down");
    StartDrag();
}

void CFSlider::OnUp(CFObject*, int)
{
    if (!IsEnabled()) {
        // Disabled in the middle of a drag: drop it, but never keep the mouse captured.
        if (IsCaptured()) {
            m_bDragging = false;
            m_fDragOffset = 0;
            SetCapture(false);
        }
        return;
    }
    Play("up");
    EndDrag();
}
