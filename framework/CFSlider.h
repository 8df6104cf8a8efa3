// CFSlider.h: the value slider of the options screens (music and sound volume).
//
// A CFObject with a child thumb. Its looks are its first animation, whose frames scrub the thumb
// along the track: frame 0 shows the value 0, the last frame the value 1; the part on track 0 is
// the thumb and the part on track 1 the slider's own area. The user drags the thumb (only x
// counts); the slider captures the mouse for the drag, reports it through three events and
// keeps a value between 0 and 1. A track of no length leaves the value where it was.
#pragma once

#include "framework/CFObject.h"

#include <memory>
#include <vector>

class CFAnimationGroup;
class CFAnimationInstance;
class CFMouse;

class CFSlider : public CFObject {
public:
    CFSlider();
    ~CFSlider();

    CFEvent1<CFObject*> OnDragStart;
    CFEvent1<CFObject*> OnDrag;       // every frame of a drag, before the value moves
    CFEvent1<CFObject*> OnDragEnd;

    // A failed load is not reported; the first animation lays the slider out.
    CFAnimationInstance* AddAnimation(const char* module, const char* effect);
    CFAnimationInstance* GetAnimation(int index) const;  // null out of range

    float GetValue() const;      // with the running drag, clamped to 0..1
    void SetValue(float value);  // ends a drag without events (capture stays until the release)
    bool IsDragging() const { return m_bDragging; }
    CFObject* GetThumb() const { return m_pThumb.get(); }
    void GetTrack(float* startX, float* startY, float* endX, float* endY) const;

    void SetEnabled(bool enabled);  // plays "normal" or "disabled"
    void SetVisible(bool visible);
    void SetPosition(float x, float y);

private:
    void Layout(bool withRect);
    void StartDrag();
    void DragStep();
    void EndDrag();
    void Play(const char* section);

    void OnFrame(float dt);
    void OnDraw();
    void OnEnter(CFObject* sender, int button);
    void OnLeave(CFObject* sender, int button);
    void OnOver(CFObject* sender, int button);
    void OnDown(CFObject* sender, int button);
    void OnThumbDown(CFObject* sender, int button);
    void OnUp(CFObject* sender, int button);

    std::unique_ptr<CFAnimationGroup> m_pGroup;
    std::vector<std::unique_ptr<CFAnimationInstance>> m_animations;  // die before the group
    std::unique_ptr<CFObject> m_pThumb;
    bool m_bDragging = false;
    float m_fValue = 0;
    float m_fDragOffset = 0;
    float m_fPosX = 0, m_fPosY = 0;
    float m_fTrackStartX = 0, m_fTrackStartY = 0, m_fTrackEndX = 0, m_fTrackEndY = 0;
    CFMouse* m_pMouse;
    float m_fDragStartX = 0, m_fDragStartY = 0;
    float m_fLastValue = 0;
};
