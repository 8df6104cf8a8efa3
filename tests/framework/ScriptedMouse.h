// ScriptedMouse.h: drives a CFMouse over a FakeEngine frame by frame, the way the engine reports
// a real mouse: the button's key as this frame's key, a button-down event in the queue, and the
// held state for the following frames.
#pragma once

#include "framework/CFMouse.h"
#include "solvers/FakeEngine.h"

class ScriptedMouse {
public:
    enum EAction { kMove, kPress, kRelease };

    ScriptedMouse(FakeEngine& engine, CFMouse& mouse) : m_engine(engine), m_mouse(mouse) {}

    // Puts the cursor at (x, y) (the fake's screen is 800 x 600, so pixels are logical
    // coordinates), does the action with the button (1 left, 2 right) and polls the mouse.
    void Frame(float x, float y, EAction action = kMove, int button = 1, float dt = 1.0f / 60.0f)
    {
        m_engine.mouseX = x;
        m_engine.mouseY = y;
        m_engine.frameKey = 0;
        if (action == kPress) {
            m_engine.frameKey = button;
            EngineInputEvent event;
            event.type = kInputMouseDown;
            event.key = button;
            event.x = x;
            event.y = y;
            m_engine.events.push_back(event);
            m_engine.heldKeys.insert(button);
        } else if (action == kRelease) {
            m_engine.heldKeys.erase(button);
        }
        m_mouse.Update(dt);
    }

private:
    FakeEngine& m_engine;
    CFMouse& m_mouse;
};
