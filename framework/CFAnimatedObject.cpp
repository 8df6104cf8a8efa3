// CFAnimatedObject.cpp: owned and attached animations, their state sections and the rectangle.
#include "framework/CFAnimatedObject.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "platform/Engine.h"

#include <algorithm>

CFAnimatedObject::CFAnimatedObject()
    : m_pGroup(std::make_unique<CFAnimationGroup>())
{
    OnUpdate += MakeDelegate(this, &CFAnimatedObject::UpdateAnimations);
    OnRender += MakeDelegate(this, &CFAnimatedObject::RenderAnimations);
}

CFAnimatedObject::~CFAnimatedObject()
{
    ClearAnimations();
    m_pGroup.reset();
}

template <typename Action>
void CFAnimatedObject::ForEachShown(Action action)
{
    for (int i = 0; i < m_pGroup->GetCount(); ++i)
        action(*m_pGroup->GetMember(i));
    for (CFAnimationInstance* instance : m_attached)
        action(*instance);
}

// ---- Animations ---------------------------------------------------------------------------------

CFAnimationInstance* CFAnimatedObject::AddAnimation(const char* module, const char* effect, int track, int frame,
                                                    int playParts)
{
    auto instance = std::make_unique<CFAnimationInstance>(m_pGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)instance->LoadEffect(GetResource(), module, effect);  // the instance logged why
    instance->SetVisible(IsVisible());
    if (playParts != -1)
        instance->SetPlayParts(playParts != 0);
    ApplyStateCommand(*instance);
    CFAnimationInstance* added = instance.get();
    m_animations.push_back(std::move(instance));
    if (m_animations.size() + m_attached.size() == 1) {
        float x = 0, y = 0, w = 0, h = 0;
        added->GetPartPosition(&x, &y, track, frame);
        added->GetPartSize(&w, &h, track, frame);
        SetRect(x, y, w, h);
    }
    return added;
}

void CFAnimatedObject::AttachAnimation(CFAnimationInstance* instance, int /*track*/, int /*frame*/)
{
    if (instance == nullptr)
        return;
    ApplyStateCommand(*instance);
    m_attached.push_back(instance);
    if (m_animations.size() + m_attached.size() == 1) {
        float x = 0, y = 0, w = 0, h = 0;
        instance->GetBounds(&x, &y, &w, &h);
        SetRect(x, y, w, h);
    }
}

void CFAnimatedObject::ApplyStateCommand(CFAnimationInstance& instance)
{
    switch (m_nStateCode) {
    case kStateFrameImage:
        instance.PlayRange(0, 0, false);
        break;
    case kStateCheckBox:
        instance.PlayCommandSection("on", false);
        break;
    default:
        instance.PlayCommandSection("normal", false);
        break;
    }
}

void CFAnimatedObject::RemoveAnimation(CFAnimationInstance* instance)
{
    if (instance == nullptr)
        return;
    if (m_pBoundsAnimation == instance)
        m_pBoundsAnimation = nullptr;
    if (m_pFollowAnimation == instance)
        m_pFollowAnimation = nullptr;
    auto owned = std::find_if(m_animations.begin(), m_animations.end(),
                              [instance](const auto& p) { return p.get() == instance; });
    if (owned != m_animations.end())
        m_animations.erase(owned);
    m_attached.erase(std::remove(m_attached.begin(), m_attached.end(), instance), m_attached.end());
}

void CFAnimatedObject::ClearAnimations()
{
    // A bounds or follow animation may be one of ours; it must not be read after this.
    m_pBoundsAnimation = nullptr;
    m_pFollowAnimation = nullptr;
    m_animations.clear();
    m_attached.clear();
}

CFAnimationInstance* CFAnimatedObject::GetAnimation(int index) const
{
    if (index < 0 || index >= GetAnimationCount())
        return nullptr;
    return m_animations[static_cast<std::size_t>(index)].get();
}

CFAnimationInstance* CFAnimatedObject::GetAttachedAnimation(int index) const
{
    if (index < 0 || index >= GetAttachedCount())
        return nullptr;
    return m_attached[static_cast<std::size_t>(index)];
}

// ---- Playing --------------------------------------------------------------------------------------

void CFAnimatedObject::PlayCommandSection(const std::string& name, bool loop)
{
    if (!IsEnabled())
        return;
    ForEachShown([&](CFAnimationInstance& a) { a.PlayCommandSection(name, loop); });
}

void CFAnimatedObject::PlayRange(int first, int last, bool loop)
{
    if (!IsEnabled())
        return;
    ForEachShown([&](CFAnimationInstance& a) { a.PlayRange(first, last, loop); });
}

void CFAnimatedObject::PlayCommand(int track, const char* path, bool loop)
{
    m_pGroup->PlayCommand(track, path, loop);
    for (CFAnimationInstance* instance : m_attached)
        instance->PlayCommand(track, path, true);
}

void CFAnimatedObject::Stop(bool recursive)
{
    ForEachShown([&](CFAnimationInstance& a) { a.Stop(recursive); });
}

void CFAnimatedObject::PlayAll(bool loop)
{
    if (!IsEnabled())
        return;
    for (auto& instance : m_animations)
        instance->Play(loop);
    for (CFAnimationInstance* instance : m_attached)
        instance->Play(loop);
}

bool CFAnimatedObject::IsPlaying() const
{
    if (!m_animations.empty())
        return m_animations.front()->IsPlaying();
    if (!m_attached.empty())
        return m_attached.front()->IsPlaying();
    return false;
}

void CFAnimatedObject::SetAnimationVisible(int index, bool visible)
{
    if (index != -1) {
        if (CFAnimationInstance* instance = GetAnimation(index))
            instance->SetVisible(visible);
        return;
    }
    for (auto& instance : m_animations)
        instance->SetVisible(visible);
    for (CFAnimationInstance* instance : m_attached)
        instance->SetVisible(visible);
}

void CFAnimatedObject::SetScale(float scale, int index)
{
    if (index != -1) {
        if (CFAnimationInstance* instance = GetAnimation(index))
            instance->SetScale(scale);
        return;
    }
    for (auto& instance : m_animations)
        instance->SetScale(scale);
    for (CFAnimationInstance* instance : m_attached)
        instance->SetScale(scale);
}

void CFAnimatedObject::SetColor(int argb, int index)
{
    if (index != -1) {
        if (CFAnimationInstance* instance = GetAnimation(index))
            instance->SetColor(argb);
        return;
    }
    for (auto& instance : m_animations)
        instance->SetColor(argb);
    for (CFAnimationInstance* instance : m_attached)
        instance->SetColor(argb);
}

// ---- Bounds and following ---------------------------------------------------------------------------

void CFAnimatedObject::SetBoundsAnimation(CFAnimationInstance* instance, int track, int frame)
{
    m_pBoundsAnimation = instance;
    m_nBoundsTrack = track;
    m_nBoundsFrame = frame;
}

void CFAnimatedObject::ClearBoundsAnimation()
{
    m_pBoundsAnimation = nullptr;
}

void CFAnimatedObject::FollowAnimation(CFAnimationInstance* instance)
{
    m_pFollowAnimation = instance;
    m_pFollowObject = nullptr;
    if (instance == nullptr)
        return;
    float x = 0, y = 0;
    instance->GetPartPosition(&x, &y, 0, 0);
    m_fFollowX = GetX() - x;
    m_fFollowY = GetY() - y;
}

void CFAnimatedObject::FollowObject(CFObject* object)
{
    m_pFollowObject = object;
    m_pFollowAnimation = nullptr;
    if (object == nullptr)
        return;
    m_fFollowX = GetX() - object->GetX();
    m_fFollowY = GetY() - object->GetY();
}

void CFAnimatedObject::UpdateFollow()
{
    float x = 0, y = 0;
    if (m_pFollowAnimation != nullptr) {
        m_pFollowAnimation->GetPartPosition(&x, &y, 0, 0);
    } else if (m_pFollowObject != nullptr) {
        x = m_pFollowObject->GetX();
        y = m_pFollowObject->GetY();
    } else {
        return;
    }
    SetAnimationsPosition(x + m_fFollowX, y + m_fFollowY);
}

// ---- Object state -------------------------------------------------------------------------------------

void CFAnimatedObject::SetPosition(float x, float y)
{
    CFObject::SetPosition(x, y);
    SetAnimationsPosition(x, y);
}

void CFAnimatedObject::SetAnimationsPosition(float x, float y)
{
    m_pGroup->SetPosition(x, y);
    for (CFAnimationInstance* instance : m_attached)
        instance->SetPosition(x, y, true);
}

void CFAnimatedObject::SetEnabled(bool enabled)
{
    const char* section = enabled ? "normal" : "disabled";
    for (CFAnimationInstance* instance : m_attached)
        instance->PlayCommandSection(section, false);
    m_pGroup->PlayCommandSection(section, false);
    CFObject::SetEnabled(enabled);
}

void CFAnimatedObject::SetVisible(bool visible)
{
    for (CFAnimationInstance* instance : m_attached)
        instance->SetVisible(visible);
    m_pGroup->SetVisible(visible);
    CFObject::SetVisible(visible);
}

// ---- Per frame ----------------------------------------------------------------------------------------

void CFAnimatedObject::UpdateAnimations(float dt)
{
    if (m_pBoundsAnimation != nullptr) {
        float x = 0, y = 0, w = 0, h = 0;
        m_pBoundsAnimation->GetBounds(&x, &y, &w, &h);
        SetRect(x, y, w, h);
    }
    m_pGroup->Update(dt);
}

void CFAnimatedObject::RenderAnimations()
{
    m_pGroup->Render();
}
