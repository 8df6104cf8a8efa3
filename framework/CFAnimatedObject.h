// CFAnimatedObject.h: a screen element that shows animations: buttons, check boxes, cards,
// places and most screen elements are built on it.
//
// It owns a group with the instances it creates (AddAnimation), can show instances owned by
// someone else (AttachAnimation: those are advanced and drawn by their own group), keeps its
// rectangle in step with its first animation, and turns its state code into the command
// section its animations start with: 0 and 1 "normal", 2 frame 0 held still, 3 "on".
// While disabled it ignores PlayCommandSection and PlayRange until SetEnabled(true).
// Its per-frame work hangs on the base's update and render events.
#pragma once

#include "framework/CFObject.h"
#include "platform/EngineRef.h"

#include <memory>
#include <string>
#include <vector>

class CFAnimationGroup;
class CFAnimationInstance;

class CFAnimatedObject : public CFObject {
public:
    enum EStateCode { kStatePlain = 0, kStateButton = 1, kStateFrameImage = 2, kStateCheckBox = 3 };

    CFAnimatedObject();
    ~CFAnimatedObject();
    CFAnimatedObject(const CFAnimatedObject&) = delete;
    CFAnimatedObject& operator=(const CFAnimatedObject&) = delete;

    // ---- Animations -------------------------------------------------------------------------------
    // playParts -1 keeps the instance's default. Returns the new instance (owned by the object),
    // also when its effect failed to load (it then shows nothing).
    CFAnimationInstance* AddAnimation(const char* module, const char* effect, int track = 0, int frame = 0,
                                      int playParts = -1);
    void AttachAnimation(CFAnimationInstance* instance, int track = 0, int frame = 0);
    void RemoveAnimation(CFAnimationInstance* instance);  // deletes it if owned
    void ClearAnimations();
    CFAnimationInstance* GetAnimation(int index) const;          // null out of range
    CFAnimationInstance* GetAttachedAnimation(int index) const;  // null out of range
    int GetAnimationCount() const { return static_cast<int>(m_animations.size()); }
    int GetAttachedCount() const { return static_cast<int>(m_attached.size()); }

    // ---- Playing ----------------------------------------------------------------------------------
    void PlayCommandSection(const std::string& name, bool loop);
    void PlayRange(int first, int last, bool loop);
    void PlayCommand(int track, const char* path, bool loop);
    void Stop(bool recursive);
    void PlayAll(bool loop);
    bool IsPlaying() const;
    void SetAnimationVisible(int index, bool visible);  // index -1: every owned and attached one
    void SetScale(float scale, int index = -1);
    void SetColor(int argb, int index = -1);

    // ---- Bounds and following -----------------------------------------------------------------------
    void SetBoundsAnimation(CFAnimationInstance* instance, int track = 0, int frame = 0);
    void ClearBoundsAnimation();
    void FollowAnimation(CFAnimationInstance* instance);
    void FollowObject(CFObject* object);
    void UpdateFollow();

    // ---- Object state (these hide the base's setters of the same name) ------------------------------
    void SetPosition(float x, float y);          // the object and its animations
    void SetAnimationsPosition(float x, float y);
    void SetEnabled(bool enabled);               // plays "normal" or "disabled"
    void SetVisible(bool visible);
    void SetStateCode(int code) { m_nStateCode = code; }  // widgets set theirs when built
    int GetStateCode() const { return m_nStateCode; }
    CFAnimationGroup* GetGroup() const { return m_pGroup.get(); }

    // ---- Per frame (handlers of the base's update and render events) -----------------------------------
    void UpdateAnimations(float dt);  // rectangle from the bounds animation, then the group
    void RenderAnimations();

private:
    void ApplyStateCommand(CFAnimationInstance& instance);
    void SetRectFromFirstAnimation();
    template <typename Action>
    void ForEachShown(Action action);  // every group member and every attached instance

    CFAnimationInstance* m_pBoundsAnimation = nullptr;  // not owned
    int m_nBoundsTrack = 0, m_nBoundsFrame = 0;
    CFAnimationInstance* m_pFollowAnimation = nullptr;  // not owned
    CFObject* m_pFollowObject = nullptr;                // not owned
    float m_fFollowX = 0, m_fFollowY = 0;
    CEngineRef m_pEngine;
    std::unique_ptr<CFAnimationGroup> m_pGroup;
    std::vector<std::unique_ptr<CFAnimationInstance>> m_animations;
    std::vector<CFAnimationInstance*> m_attached;  // not owned
    int m_nStateCode = kStatePlain;
};
