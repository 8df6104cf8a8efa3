// InputState.h: the engine's input as the game reads it: held keys, the key and character of
// the frame, the mouse position and the frame's event queue, all in Windows virtual-key codes.
//
// Raw events (from SDL or a headless script) queue up and are delivered at the start of a frame.
// A frame has one key and one character, so a second press in the same frame waits for the next
// frame (with everything after it); so does the release of a key pressed in this frame. Thus a
// key and a click in one frame are both seen, and a click never goes down and up unseen.
#pragma once

#include "platform/Engine.h"

#include <deque>

class InputState {
public:
    void PushKey(int vk, bool down, bool repeat);
    void PushButton(int vk, bool down);
    void PushMove(float x, float y);
    void PushChar(int chr);
    void PushWheel(int notches);

    void BeginFrame(double now);   // delivers the queued events that belong to this frame
    void EndFrame();               // forgets the frame's key, character and unread events
    void Clear();                  // drops held keys and everything queued (focus lost)

    bool KeyState(int vk) const;
    int GetKey() const { return m_nKey; }
    int GetChar() const { return m_nChar; }
    void GetMousePos(float& x, float& y) const { x = m_fMouseX; y = m_fMouseY; }
    bool GetInputEvent(EngineInputEvent& event);

private:
    struct Raw {
        int type = 0;
        int key = 0;
        int chr = 0;
        int wheel = 0;
        float x = 0, y = 0;
        bool repeat = false;
    };
    bool WaitsForNextFrame(const Raw& raw, bool havePress, bool haveChar) const;
    void Deliver(const Raw& raw, double now);
    bool IsDoubleClick(int vk, double now) const;

    static constexpr int kKeyCount = 256;
    static constexpr int kTypeChar = 100;  // raw only: a typed character
    std::deque<Raw> m_pending;
    std::deque<EngineInputEvent> m_events;
    bool m_held[kKeyCount] = {};
    bool m_pressedThisFrame[kKeyCount] = {};
    int m_nKey = 0;
    int m_nChar = 0;
    float m_fMouseX = 0, m_fMouseY = 0;
    int m_nLastDownKey = 0;        // for double clicks: the last button down, when and where
    double m_lastDownTime = -1.0;
    float m_fLastDownX = 0, m_fLastDownY = 0;
    bool m_bLastDownWasDouble = false;
};
