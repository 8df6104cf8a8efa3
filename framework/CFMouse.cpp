// CFMouse.cpp: polling the engine's mouse once per frame and keeping the cursor.
#include "framework/CFMouse.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFResource.h"
#include "platform/Engine.h"

#include <algorithm>

namespace {

constexpr float kViewWidth = 800.0f;
constexpr float kViewHeight = 600.0f;

CFMouse* g_pMouse = nullptr;

}  // namespace

CFMouse::CFMouse()
    : m_pGroup(std::make_unique<CFAnimationGroup>())
{
    g_pMouse = this;
    m_pCursor = std::make_unique<CFAnimationInstance>(m_pGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    UpdateScreenSize();
}

CFMouse::~CFMouse()
{
    m_pCursor.reset();
    m_pGroup.reset();
    if (g_pMouse == this)
        g_pMouse = nullptr;
}

CFMouse* CFMouse::GetInstance()
{
    return g_pMouse;
}

void CFMouse::UpdateScreenSize()
{
    if (m_pEngine == nullptr)
        return;
    const int width = m_pEngine->GetState(EState::ScreenWidth);
    const int height = m_pEngine->GetState(EState::ScreenHeight);
    // A size of 0 would turn every position into infinity.
    m_fScreenWidth = width > 0 ? static_cast<float>(width) : kViewWidth;
    m_fScreenHeight = height > 0 ? static_cast<float>(height) : kViewHeight;
    m_fScaleX = m_fScreenWidth / kViewWidth;
    m_fScaleY = m_fScreenHeight / kViewHeight;
}

void CFMouse::Update(float dt)
{
    Poll();
    if (m_pCursor != nullptr)
        m_pCursor->SetPosition(m_fX, m_fY, true);
    m_pGroup->Update(dt);
}

void CFMouse::Render()
{
    if (m_bVisible && m_bSoftwareCursor)
        m_pGroup->Render();
}

// ---- Cursor -------------------------------------------------------------------------------------

void CFMouse::SetShapeInfo(int shape, const char* module, const char* effect)
{
    if (shape < 0 || shape >= kShapeCount || module == nullptr || effect == nullptr)
        return;
    m_shapes[shape].module = module;
    m_shapes[shape].effect = effect;
    if (m_pResource != nullptr && !m_pResource->FindModule(module))
        m_pResource->LoadModule(module, -1);
}

void CFMouse::SetShape(int shape)
{
    if (m_pResource == nullptr || shape == m_nShape || shape < 0 || shape >= kShapeCount)
        return;
    m_nShape = shape;
    if (m_pCursor == nullptr)
        return;
    const Shape& info = m_shapes[shape];
    if (m_pCursor->LoadEffect(m_pResource, info.module.c_str(), info.effect.c_str())) {
        m_pCursor->SetVisible(true);
        m_pCursor->Play(true);
        return;
    }
    m_pCursor.reset();
    ApplyHideMouse();
}

void CFMouse::SetVisible(bool visible)
{
    if (visible == m_bVisible)
        return;
    m_bVisible = visible;
    ApplyHideMouse();
}

void CFMouse::SetSoftwareCursor(bool software)
{
    if (software == m_bSoftwareCursor)
        return;
    m_bSoftwareCursor = software;
    ApplyHideMouse();
}

// The system cursor shows whenever no software cursor can stand in for it: with the software
// cursor off, or when its animation failed to load (else the player would have no cursor).
bool CFMouse::SystemCursorShown() const
{
    return !m_bSoftwareCursor || m_pCursor == nullptr;
}

void CFMouse::ApplyHideMouse()
{
    const bool hide = !m_bVisible || !SystemCursorShown();
    if (hide == m_bSystemHidden || m_pEngine == nullptr)
        return;
    m_bSystemHidden = hide;
    m_pEngine->SetState(EState::HideMouse, hide);
}

void CFMouse::UpdateSystemCursor()
{
    if (!SystemCursorShown())
        return;
    const int wanted = m_nShape == kShapeFinger ? 1 : 0;
    if (wanted == m_nSystemCursor)
        return;
    m_nSystemCursor = wanted;
    m_pEngine->SetSystemCursor(wanted);
}

// ---- Polling --------------------------------------------------------------------------------------

void CFMouse::Poll()
{
    if (m_pEngine == nullptr)
        return;
    UpdateSystemCursor();
    m_fPrevX = m_fX;
    m_fPrevY = m_fY;
    float x = 0, y = 0;
    m_pEngine->GetMousePos(x, y);
    x = std::clamp(x, 0.0f, m_fScreenWidth - 1.0f);
    y = std::clamp(y, 0.0f, m_fScreenHeight - 1.0f);
    m_fX = x / m_fScaleX;
    m_fY = y / m_fScaleY;
    m_left.event = PollButton(kVkLButton, m_left);
    m_right.event = PollButton(kVkRButton, m_right);
    UpdateHistory(m_left);
    UpdateHistory(m_right);
}

// One code per button and frame. The engine flags the second press of a double-click; it
// counts as a double-click only right after a release, and is followed by a press next frame.
int CFMouse::PollButton(int key, Button& button)
{
    if (m_pEngine->GetKey() == key) {
        EngineInputEvent event;
        while (m_pEngine->GetInputEvent(event)) {
            if (event.type != kInputMouseDown || event.key != key)
                continue;
            button.held = true;
            button.active = true;
            const bool isDouble = (event.flags & kInputFlagRepeat) != 0 && button.lastEvent == kEventReleased;
            return isDouble ? kEventDoubleClick : kEventPressed;
        }
    }
    if (!m_pEngine->KeyState(key) && button.held) {
        button.held = false;
        button.active = true;
        return kEventReleased;
    }
    if (button.event == kEventDoubleClick) {
        button.active = true;
        return kEventPressed;
    }
    button.active = false;
    return kEventNone;
}

void CFMouse::UpdateHistory(Button& button)
{
    if (button.lastEvent != 0)
        button.previousEvent = button.lastEvent;
    if (button.event != 0)
        button.lastEvent = button.event;
}

int CFMouse::GetActiveButton() const
{
    if (m_left.active)
        return kButtonLeft;
    if (m_right.active)
        return kButtonRight;
    return kButtonNone;
}

int CFMouse::GetButtonEvent() const
{
    if (m_left.active)
        return m_left.event;
    if (m_right.active)
        return m_right.event;
    return 0;
}

int CFMouse::GetPreviousButtonEvent(int button) const
{
    if (button == kButtonLeft)
        return m_left.previousEvent;
    if (button == kButtonRight)
        return m_right.previousEvent;
    return 0;
}
