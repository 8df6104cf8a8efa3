// CFObject.h: the base of every interactive or drawn element of a screen.
//
// A rectangle of the 800x600 view with an ordered list of children (not owned; the last child is
// the front-most for input), ten event lists through which all behaviour is attached, a few
// state flags and an optional hover effect. There are no virtual functions: subclasses subscribe
// their own handlers to the events of their base. Moving a parent never moves its children.
// A child must be removed from its parent before it is deleted.
#pragma once

#include "framework/CFEvent.h"

#include <memory>
#include <string>
#include <vector>

class CFHoverEffect;
class CFResource;

// Input codes of `CFObject::Input`; 1..3 are the mouse's button events.
enum EObjectInput {
    kInputNone = 0,         // no button event this frame: enter, then OnMouseOver
    kInputReleased = 1,
    kInputPressed = 2,
    kInputDoubleClick = 3,
    kInputOverOnly = 5,     // as kInputNone
    kInputEnterOnly = 6,
    kInputLeaveOnly = 7,
};

class CFObject {
public:
    CFObject();
    ~CFObject();
    CFObject(const CFObject&) = delete;
    CFObject& operator=(const CFObject&) = delete;

    // ---- Events ------------------------------------------------------------------------------
    // The int of the mouse events is the active button (1 left, 2 right, 0 none); enter and
    // leave pass -1. The enabled flag is not tested before firing: handlers test IsEnabled.
    CFEvent2<CFObject*, int> OnMouseOver;    // every frame the object takes input without a button event
    CFEvent2<CFObject*, int> OnMouseUp;
    CFEvent2<CFObject*, int> OnMouseDown;
    CFEvent2<CFObject*, int> OnClick;        // press, then release over the object
    CFEvent2<CFObject*, int> OnDoubleClick;
    CFEvent2<CFObject*, int> OnMouseEnter;
    CFEvent2<CFObject*, int> OnMouseLeave;
    CFEvent0 OnRender;                       // while visible, before the children
    CFEvent1<float> OnUpdate;                // every frame, visible or not, before the children
    CFEvent2<CFObject*, bool> OnCaptureChanged;

    // ---- Frame -------------------------------------------------------------------------------
    void Update(float dt);
    void Render();
    // Offers one frame's input to the subtree, front-most child first; true when taken.
    bool Input(float x, float y, int code, int button);
    bool HitTest(float x, float y) const;  // all four edges belong to the object
    void Leave();                          // the mouse is no longer over the object itself
    void Enter();

    // ---- Rectangle ---------------------------------------------------------------------------
    void SetRect(float x, float y, float w, float h);
    void SetSize(float w, float h);
    void SetPosition(float x, float y);
    void Move(float dx, float dy);
    void GetRect(float* x, float* y, float* w, float* h) const;
    void GetPosition(float* x, float* y) const;
    float GetX() const { return m_fX; }
    float GetY() const { return m_fY; }
    float GetWidth() const { return m_fWidth; }
    float GetHeight() const { return m_fHeight; }

    // ---- Children (not owned) ----------------------------------------------------------------
    void AddChild(CFObject* child);        // once only
    void RemoveChild(CFObject* child);
    void RemoveAllChildren();
    bool HasChild(const CFObject* child) const;
    int GetChildCount() const { return static_cast<int>(m_children.size()); }
    CFObject* GetChild(int index) const;   // null out of range

    // ---- Flags -------------------------------------------------------------------------------
    void SetVisible(bool visible) { m_bVisible = visible; }
    bool IsVisible() const { return m_bVisible; }
    void SetEnabled(bool enabled) { m_bEnabled = enabled; }
    bool IsEnabled() const { return m_bEnabled; }
    void SetIgnoreInput(bool ignore) { m_bIgnoreInput = ignore; }
    bool IsIgnoringInput() const { return m_bIgnoreInput; }
    void SetCapture(bool capture);         // also tells OnCaptureChanged
    bool IsCaptured() const { return m_bCapture; }
    bool IsMouseOver() const { return m_bMouseOver; }
    bool IsPressed() const { return m_bPressed; }
    void ClearPressed() { m_bPressed = false; }
    void SetSpareFlag(bool flag) { m_bSpareFlag = flag; }
    void SetTag(int tag) { m_nTag = tag; }
    int GetTag() const { return m_nTag; }

    // ---- Hover effect and resources ----------------------------------------------------------
    // After the mouse has rested `delay` seconds on the object, the effect is shown until the
    // mouse leaves. Without SetHoverEffectPosition the animation takes its own default place.
    void SetHoverEffect(const char* module, const char* effect, float delay);
    void SetHoverEffectPosition(float x, float y);
    CFHoverEffect* GetHoverEffect() const { return m_pHoverEffect.get(); }
    // Apart: the object's Render leaves the effect out and its owner draws it with
    // RenderHoverEffect, above whatever it draws after the object tree.
    void SetHoverEffectApart(bool apart) { m_bHoverApart = apart; }
    void RenderHoverEffect();  // while the object is visible
    void SetResource(CFResource* resource) { m_pResource = resource; }
    CFResource* GetResource() const { return m_pResource; }

private:
    void ActOnInput(int code, int button);
    void ShowHoverEffect();

    int m_nTag = 0;
    std::vector<CFObject*> m_children;
    bool m_bMouseOver = false;
    float m_fHoverTime = 0;
    std::unique_ptr<CFHoverEffect> m_pHoverEffect;
    std::string m_hoverModule;
    std::string m_hoverEffect;
    float m_fHoverDelay = 0;
    bool m_bHoverEnabled = false;
    bool m_bHoverApart = false;
    float m_fHoverX = -65535.0f, m_fHoverY = -65535.0f;  // the animation's "unset" position
    bool m_bPressed = false;
    bool m_bSpareFlag = true;  // kept for callers that set it; nothing reads it
    float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;
    CFResource* m_pResource = nullptr;
    bool m_bVisible = true;
    bool m_bEnabled = true;
    bool m_bCapture = false;
    bool m_bIgnoreInput = false;
};
