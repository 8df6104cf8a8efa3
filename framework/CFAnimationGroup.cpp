// CFAnimationGroup.cpp: advancing, collecting, sorting and drawing the members' track states.
#include "framework/CFAnimationGroup.h"

#include "framework/CFAnimationInstance.h"
#include "framework/CFTrackState.h"
#include "platform/Engine.h"

#include <algorithm>

CFAnimationGroup::CFAnimationGroup() = default;

CFAnimationGroup::~CFAnimationGroup()
{
    m_drawList.clear();
    // The members outlive the group: they must not call back into it.
    const std::vector<CFAnimationInstance*> members = m_members;
    m_members.clear();
    for (CFAnimationInstance* member : members)
        member->ForgetGroup();
}

void CFAnimationGroup::Add(CFAnimationInstance* instance)
{
    if (instance != nullptr)
        m_members.push_back(instance);
}

void CFAnimationGroup::Remove(CFAnimationInstance* instance)
{
    auto it = std::find(m_members.begin(), m_members.end(), instance);
    if (it != m_members.end())
        m_members.erase(it);
}

void CFAnimationGroup::Update(float dt)
{
    m_drawList.clear();
    // Index loop: advancing may not add members, but a copy would hide removals made meanwhile.
    for (std::size_t i = 0; i < m_members.size(); ++i) {
        CFAnimationInstance* member = m_members[i];
        if (!member->IsPart())
            member->Advance(dt, 0, true);
    }
    std::stable_sort(m_drawList.begin(), m_drawList.end(),
                     [](const CFTrackState* a, const CFTrackState* b) { return a->depth < b->depth; });
}

void CFAnimationGroup::Render()
{
    for (CFTrackState* item : m_drawList)
        if (item->owner != nullptr && item->owner->IsVisible())
            item->owner->Render(item);
    if (m_bClipSet) {
        if (m_pEngine != nullptr)
            m_pEngine->SetClipping(0, 0, 0, 0);
        m_bClipSet = false;
    }
}

void CFAnimationGroup::AddDrawItem(CFTrackState* item)
{
    m_drawList.push_back(item);
}

void CFAnimationGroup::RemoveDrawItem(CFTrackState* item)
{
    auto it = std::find(m_drawList.begin(), m_drawList.end(), item);
    if (it != m_drawList.end())
        m_drawList.erase(it);
}

void CFAnimationGroup::RemoveDrawItemsOf(const CFAnimationInstance* owner)
{
    m_drawList.erase(std::remove_if(m_drawList.begin(), m_drawList.end(),
                                    [owner](const CFTrackState* item) { return item->owner == owner; }),
                     m_drawList.end());
}

void CFAnimationGroup::SetVisible(bool visible)
{
    for (CFAnimationInstance* member : m_members)
        member->SetVisible(visible);
}

void CFAnimationGroup::PlayCommandSection(const std::string& section, bool loop)
{
    for (CFAnimationInstance* member : m_members)
        member->PlayCommandSection(section, loop);
}

void CFAnimationGroup::PlayRange(int first, int last, bool loop)
{
    for (CFAnimationInstance* member : m_members)
        member->PlayRange(first, last, loop);
}

void CFAnimationGroup::PlayCommand(int trackIndex, const char* path, bool loop)
{
    for (CFAnimationInstance* member : m_members)
        member->PlayCommand(trackIndex, path, loop);
}

void CFAnimationGroup::SetRepeatFrameEvents(bool repeat)
{
    for (CFAnimationInstance* member : m_members)
        member->SetRepeatFrameEvents(repeat);
}

void CFAnimationGroup::Stop(bool recursive)
{
    for (CFAnimationInstance* member : m_members)
        member->Stop(recursive);
}

void CFAnimationGroup::SetPosition(float x, float y)
{
    for (CFAnimationInstance* member : m_members)
        member->SetPosition(x, y, true);
}

CFAnimationInstance* CFAnimationGroup::GetMember(int i) const
{
    if (i < 0 || i >= GetCount())
        return nullptr;
    return m_members[static_cast<std::size_t>(i)];
}

bool CFAnimationGroup::IsPlaying(int i) const
{
    const CFAnimationInstance* member = GetMember(i);
    return member != nullptr && member->IsPlaying();
}
