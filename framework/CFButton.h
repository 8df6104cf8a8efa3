// CFButton.h: push button of the GUI object tree.
//
// Its looks are command sections of its animations ("enter", "leave", "over", "down", "up"),
// played in answer to the mouse events of its base; a click is the base's OnClick (press, then
// release over it), and handlers act when their int argument is 1. In toggle mode a press
// latches or unlatches it. Game code may lock a state ("select") so that the mouse plays nothing
// until ResetState. With the Enter key set, Enter clicks the button wherever the mouse is.
#pragma once

#include "framework/CFAnimatedObject.h"
#include "platform/EngineRef.h"

class CFButton : public CFAnimatedObject {
public:
    enum EMode { kModePlain = 0, kModeToggle = 1 };

    CFButton();
    ~CFButton();

    // Unlatching while the mouse is elsewhere plays "leave" (unless the state is locked).
    void SetDown(bool down);
    bool IsDown() const { return m_bLatchedDown; }
    void SetMode(int mode) { m_nMode = mode; }
    int GetMode() const { return m_nMode; }
    void SetEnterKey(bool enabled) { m_bEnterKey = enabled; }

    void PlayState(const char* section, bool loop, bool lock);
    void ResetState();  // "normal", and the mouse plays again
    bool IsStateLocked() const { return m_bStateLocked; }
    void SetRepeatFrameEvents(bool repeat);  // only while enabled

private:
    bool Quiet() const { return m_bLatchedDown || m_bStateLocked; }
    void PollKey(float dt);
    void OnEnter(CFObject* sender, int button);
    void OnLeave(CFObject* sender, int button);
    void OnOver(CFObject* sender, int button);
    void OnDown(CFObject* sender, int button);
    void OnUp(CFObject* sender, int button);

    bool m_bLatchedDown = false;
    bool m_bStateLocked = false;
    bool m_bEnterKey = false;
    int m_nMode = kModePlain;
    CEngineRef m_pKeyEngine;  // the key poll's own reference
};
