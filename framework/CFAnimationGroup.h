// CFAnimationGroup.h: animation instances that are advanced and drawn together.
//
// Each update advances every top-level member (parts are advanced by their parents), collects
// the track states of all members into one draw list and sorts it by depth, so the parts of
// several animations interleave. The group does not own its members: an instance joins and
// leaves through its own SetGroup, and a group that goes away first tells its members.
#pragma once

#include "platform/EngineRef.h"

#include <string>
#include <vector>

class CFAnimationInstance;
struct CFTrackState;

class CFAnimationGroup {
public:
    CFAnimationGroup();
    ~CFAnimationGroup();
    CFAnimationGroup(const CFAnimationGroup&) = delete;
    CFAnimationGroup& operator=(const CFAnimationGroup&) = delete;

    void Add(CFAnimationInstance* instance);     // no duplicate test: twice means advanced twice
    void Remove(CFAnimationInstance* instance);  // the first entry equal to it

    void Update(float dt);
    void Render();

    void AddDrawItem(CFTrackState* item);
    void RemoveDrawItem(CFTrackState* item);
    void RemoveDrawItemsOf(const CFAnimationInstance* owner);
    void SetClipSet() { m_bClipSet = true; }  // the renderer clipped; reset after the list

    // Forwarded to every member, in order.
    void SetVisible(bool visible);
    void PlayCommandSection(const std::string& section, bool loop);
    void PlayRange(int first, int last, bool loop);
    void PlayCommand(int trackIndex, const char* path, bool loop);
    void SetRepeatFrameEvents(bool repeat);
    void Stop(bool recursive);
    void SetPosition(float x, float y);          // parts too

    int GetCount() const { return static_cast<int>(m_members.size()); }
    CFAnimationInstance* GetMember(int i) const;  // null out of range
    bool IsPlaying(int i) const;                  // false out of range
    const std::vector<CFTrackState*>& GetDrawList() const { return m_drawList; }

private:
    bool m_bClipSet = false;
    std::vector<CFAnimationInstance*> m_members;
    std::vector<CFTrackState*> m_drawList;
    CEngineRef m_pEngine;
};
