// CFMouse.h: the program's one mouse: cursor position in the 800x600 view, one event code per
// button and frame, and the cursor, drawn either by the system or in software from an animation.
//
// Event codes: 0 none, 1 released, 2 pressed, 3 double-click. A double-click reads, frame by
// frame, 2 1 3 2 1: the second press is reported once as a double-click and then as a press.
// Start-up creates the mouse before everything else; GetInstance returns it while it lives.
#pragma once

#include "platform/EngineRef.h"

#include <memory>
#include <string>

class CFAnimationGroup;
class CFAnimationInstance;
class CFResource;

class CFMouse {
public:
    enum EShape { kShapeNormal = 0, kShapeFinger = 1, kShapeDrag = 2, kShapeCount = 3 };
    enum EEvent { kEventNone = 0, kEventReleased = 1, kEventPressed = 2, kEventDoubleClick = 3 };
    enum EButton { kButtonNone = 0, kButtonLeft = 1, kButtonRight = 2 };

    CFMouse();
    ~CFMouse();
    CFMouse(const CFMouse&) = delete;
    CFMouse& operator=(const CFMouse&) = delete;

    static CFMouse* GetInstance();  // null while no mouse exists

    void UpdateScreenSize();        // again after the display is set up
    void Update(float dt);          // polls the engine, moves and steps the cursor
    void Render();                  // the software cursor, while visible

    void SetResource(CFResource* resource) { m_pResource = resource; }
    // Loads the whole module unless it is loaded already.
    void SetShapeInfo(int shape, const char* module, const char* effect);
    void SetShape(int shape);
    int GetShape() const { return m_nShape; }
    void SetVisible(bool visible);
    bool IsVisible() const { return m_bVisible; }
    void SetSoftwareCursor(bool software);
    bool IsSoftwareCursor() const { return m_bSoftwareCursor; }

    float GetX() const { return m_fX; }
    float GetY() const { return m_fY; }
    void GetPosition(float& x, float& y) const { x = m_fX; y = m_fY; }
    void GetPreviousPosition(float& x, float& y) const { x = m_fPrevX; y = m_fPrevY; }

    int GetActiveButton() const;            // 1 left, 2 right (left wins), 0 none
    int GetButtonEvent() const;             // of the active button, 0 when none
    int GetPreviousButtonEvent(int button) const;  // the last non-zero code before this frame
    int GetLeftEvent() const { return m_left.event; }
    int GetRightEvent() const { return m_right.event; }

    CFAnimationInstance* GetCursorAnimation() const { return m_pCursor.get(); }

private:
    struct Shape {
        std::string effect;
        std::string module;
    };
    struct Button {
        bool held = false;       // went down and not yet seen released
        bool active = false;     // reported an event this frame
        int event = 0;           // this frame's code
        int lastEvent = 0;       // the last non-zero code up to this frame
        int previousEvent = 0;   // the last non-zero code before this frame
    };

    void Poll();
    int PollButton(int key, Button& button);
    static void UpdateHistory(Button& button);
    void UpdateSystemCursor();
    bool SystemCursorShown() const;
    void ApplyHideMouse();

    float m_fX = 0, m_fY = 0;
    float m_fScaleX = 1, m_fScaleY = 1;
    float m_fScreenWidth = 800, m_fScreenHeight = 600;
    Shape m_shapes[kShapeCount];
    CFResource* m_pResource = nullptr;
    std::unique_ptr<CFAnimationGroup> m_pGroup;
    std::unique_ptr<CFAnimationInstance> m_pCursor;  // null after a failed shape load
    int m_nShape = -1;
    CEngineRef m_pEngine;
    bool m_bVisible = true;
    bool m_bSoftwareCursor = false;
    Button m_left, m_right;
    float m_fPrevX = 0, m_fPrevY = 0;
    int m_nSystemCursor = 0;      // the system cursor shape last set (0 arrow, 1 hand)
    bool m_bSystemHidden = false; // the engine's hide-system-cursor state as last set
};
