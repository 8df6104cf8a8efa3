// InputState.cpp: per-frame delivery of queued input.
#include "platform/InputState.h"

#include <cmath>

namespace {
constexpr double kDoubleClickSeconds = 0.5;  // the Windows default
constexpr float kDoubleClickSlop = 4.0f;     // pixels the second press may be off the first

bool IsPress(int type)
{
    return type == kInputKeyDown || type == kInputMouseDown;
}
}  // namespace

void InputState::PushKey(int vk, bool down, bool repeat)
{
    if (vk <= 0 || vk >= kKeyCount)
        return;
    Raw raw;
    raw.type = down ? kInputKeyDown : kInputKeyUp;
    raw.key = vk;
    raw.repeat = repeat;
    m_pending.push_back(raw);
}

void InputState::PushButton(int vk, bool down)
{
    if (vk <= 0 || vk >= kKeyCount)
        return;
    Raw raw;
    raw.type = down ? kInputMouseDown : kInputMouseUp;
    raw.key = vk;
    m_pending.push_back(raw);
}

void InputState::PushMove(float x, float y)
{
    Raw raw;
    raw.type = kInputMouseMove;
    raw.x = x;
    raw.y = y;
    m_pending.push_back(raw);
}

void InputState::PushChar(int chr)
{
    Raw raw;
    raw.type = kTypeChar;
    raw.chr = chr;
    m_pending.push_back(raw);
}

void InputState::PushWheel(int notches)
{
    Raw raw;
    raw.type = kInputMouseWheel;
    raw.wheel = notches;
    m_pending.push_back(raw);
}

bool InputState::WaitsForNextFrame(const Raw& raw, bool havePress, bool haveChar) const
{
    if (IsPress(raw.type))
        return havePress;
    if (raw.type == kInputKeyUp || raw.type == kInputMouseUp)
        return raw.key > 0 && raw.key < kKeyCount && m_pressedThisFrame[raw.key];
    if (raw.type == kTypeChar)
        return haveChar;
    return false;
}

void InputState::BeginFrame(double now)
{
    bool havePress = false;
    bool haveChar = false;
    while (!m_pending.empty()) {
        const Raw raw = m_pending.front();
        if (WaitsForNextFrame(raw, havePress, haveChar))
            break;
        m_pending.pop_front();
        havePress = havePress || IsPress(raw.type);
        haveChar = haveChar || raw.type == kTypeChar;
        Deliver(raw, now);
    }
}

bool InputState::IsDoubleClick(int vk, double now) const
{
    return vk == m_nLastDownKey && !m_bLastDownWasDouble && m_lastDownTime >= 0.0 &&
           now - m_lastDownTime <= kDoubleClickSeconds && std::fabs(m_fMouseX - m_fLastDownX) <= kDoubleClickSlop &&
           std::fabs(m_fMouseY - m_fLastDownY) <= kDoubleClickSlop;
}

void InputState::Deliver(const Raw& raw, double now)
{
    if (raw.type == kTypeChar) {
        m_nChar = raw.chr;
        // The character goes with the key press that typed it, so one event tells both.
        if (!m_events.empty() && m_events.back().type == kInputKeyDown && m_events.back().chr == 0)
            m_events.back().chr = raw.chr;
        return;
    }
    if (raw.type == kInputMouseMove) {
        m_fMouseX = raw.x;
        m_fMouseY = raw.y;
    }
    EngineInputEvent event;
    event.type = raw.type;
    event.key = raw.key;
    event.wheel = raw.wheel;
    event.x = m_fMouseX;
    event.y = m_fMouseY;
    if (raw.type == kInputKeyDown || raw.type == kInputMouseDown) {
        m_held[raw.key] = true;
        m_pressedThisFrame[raw.key] = true;
        m_nKey = raw.key;
        if (raw.repeat)
            event.flags |= kInputFlagRepeat;
    }
    if (raw.type == kInputKeyUp || raw.type == kInputMouseUp)
        m_held[raw.key] = false;
    if (raw.type == kInputMouseDown) {
        const bool isDouble = IsDoubleClick(raw.key, now);
        if (isDouble)
            event.flags |= kInputFlagRepeat;
        m_nLastDownKey = raw.key;
        m_lastDownTime = now;
        m_fLastDownX = m_fMouseX;
        m_fLastDownY = m_fMouseY;
        m_bLastDownWasDouble = isDouble;  // a third press starts a new pair
    }
    m_events.push_back(event);
}

void InputState::EndFrame()
{
    m_nKey = 0;
    m_nChar = 0;
    m_events.clear();
    for (bool& pressed : m_pressedThisFrame)
        pressed = false;
}

void InputState::Clear()
{
    EndFrame();
    m_pending.clear();
    for (bool& held : m_held)
        held = false;
}

bool InputState::KeyState(int vk) const
{
    return vk > 0 && vk < kKeyCount && m_held[vk];
}

bool InputState::GetInputEvent(EngineInputEvent& event)
{
    if (m_events.empty())
        return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}
