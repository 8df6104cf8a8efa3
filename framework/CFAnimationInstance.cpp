// CFAnimationInstance.cpp: loading an effect, its parts and frame events, and the clock.
// The per-frame track states, sounds, particles and drawing are in CFAnimationInstanceRender.cpp.
#include "framework/CFAnimationInstance.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFResource.h"
#include "framework/CParticleManager.h"
#include "platform/Engine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The command name: what follows the last ".".
std::string LastComponent(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    return dot == std::string::npos ? path : path.substr(dot + 1);
}

const CFModule* FindModuleNamed(const CFResource& res, const char* name)
{
    for (const CFModule& module : res.GetModules())
        if (module.name == name)
            return &module;
    return nullptr;
}

const CFEffect* FindEffectNamed(const CFModule& module, const char* name)
{
    for (const CFEffect& effect : module.effects)
        if (effect.name == name)
            return &effect;
    return nullptr;
}

}  // namespace

CFAnimationInstance::CFAnimationInstance(CFAnimationGroup* group, float x, float y)
{
    if (x != kUnsetPosition) {
        m_fX = x;
        m_fY = y;
    }
    SetGroup(group, false);
}

CFAnimationInstance::~CFAnimationInstance()
{
    RemoveStatesFromGroup();
    if (m_pGroup != nullptr)
        m_pGroup->Remove(this);
    m_pGroup = nullptr;
    m_parts.clear();
}

// ---- Loading ----------------------------------------------------------------------------------

bool CFAnimationInstance::LoadEffect(CFResource* res, const char* module, const char* effect)
{
    return LoadNested(res, module, effect, NestingDepth());
}

int CFAnimationInstance::NestingDepth() const
{
    int depth = 0;
    for (const CFAnimationInstance* p = m_pParent; p != nullptr; p = p->m_pParent)
        ++depth;
    return depth;
}

bool CFAnimationInstance::LoadNested(CFResource* res, const char* module, const char* effect, int depth)
{
    if (res == nullptr || module == nullptr || effect == nullptr)
        return false;
    m_pResource = res;
    m_bRepeatFrameEvents = true;
    const CFModule* found = FindModuleNamed(*res, module);
    if (found == nullptr) {
        m_pEngine->Log("[E] module %s not found", module);
        return false;
    }
    const CFEffect* source = FindEffectNamed(*found, effect);
    if (source == nullptr) {
        m_pEngine->Log("[E] effect %s not found in module %s", effect, module);
        return false;
    }
    TakeEffect(*source, depth);
    return true;
}

void CFAnimationInstance::TakeEffect(const CFEffect& effect, int depth)
{
    m_effect = effect;
    m_nFrameCount = std::max(effect.frameCount, 0);
    m_fLength = std::max(effect.length, 0) / 1000.0;
    // An effect without frames would divide by zero; it then stands still on frame 0.
    m_fSecondsPerFrame = m_nFrameCount > 0 ? m_fLength / m_nFrameCount : 0.0;

    RemoveStatesFromGroup();
    m_states.assign(m_effect.tracks.size(), CFTrackState());
    for (std::size_t t = 0; t < m_states.size(); ++t) {
        m_states[t].owner = this;
        m_states[t].track = static_cast<int>(t);
    }
    m_events.clear();
    m_parts.clear();

    for (std::size_t t = 0; t < m_effect.tracks.size(); ++t) {
        const std::vector<CFSubstitution> substitutions = m_effect.tracks[t].substitutions;
        for (const CFSubstitution& sub : substitutions) {
            if (depth + 1 > kMaxNesting) {
                m_pEngine->Log("[E] animation %s: parts nest deeper than %d levels, %s.%s left out",
                               m_effect.name.c_str(), kMaxNesting, sub.module.c_str(), sub.effect.c_str());
                continue;
            }
            auto part = std::make_unique<CFAnimationInstance>(m_pGroup, kUnsetPosition, 0.0f);
            part->m_bStartOnLoad = m_bStartOnLoad;
            part->m_pParent = this;  // before loading, so that nesting is counted
            part->m_bPart = true;
            part->LoadNested(m_pResource, sub.module.c_str(), sub.effect.c_str(), depth + 1);
            part->m_nPartIndex = static_cast<int>(t);
            part->m_bLoop = true;
            m_parts.push_back(std::move(part));
        }
    }

    m_nFirstFrame = 0;
    m_nLastFrame = std::max(m_nFrameCount - 1, 0);
    m_nCurrentFrame = 0;
    m_fTime = 0;
    m_bLoop = false;
    // Frame events are built after the frame-0 step, so they cannot fire before a play sets them.
    if (m_bStartOnLoad)
        Advance(0.0f, 2, false);
    BuildFrameEvents();
}

void CFAnimationInstance::BuildFrameEvents()
{
    m_events.clear();
    for (const CFFrameCommand& command : m_effect.commands) {
        FrameEvent event;
        event.frame = command.frame;
        event.kind = command.kind;
        if (command.kind == kCommandPlay) {
            m_bPlayParts = false;  // an effect that commands its parts does not auto-play them
            event.command = LastComponent(command.path);
            event.target = FindPart(command.track, command.path.c_str());
            if (event.target == nullptr)
                m_pEngine->Log("[E] command to non-existing animation in object#%d: %s.%s", command.track,
                               command.path.c_str(), event.command.c_str());
        } else {
            event.value = command.value;
            event.track = command.track;
        }
        m_events.push_back(event);
    }
}

// ---- Playing ----------------------------------------------------------------------------------

void CFAnimationInstance::Play(bool loop)
{
    PlayRange(0, m_nFrameCount - 1, loop);
}

void CFAnimationInstance::PlayRange(int first, int last, bool loop)
{
    // A range outside the effect would show keys that do not exist.
    const int maxFrame = std::max(m_nFrameCount - 1, 0);
    first = std::clamp(first, 0, maxFrame);
    last = std::clamp(last, first, maxFrame);
    m_bStopRequested = false;
    m_fTime = 0;
    m_nFirstFrame = first;
    m_nLastFrame = last;
    m_bPlaying = true;
    m_bLoop = loop;
    ResetSoundKeys();
    ResetFrameEvents(true);
    if (m_bPlayParts)
        for (auto& part : m_parts)
            part->Play(true);
}

void CFAnimationInstance::ResetSoundKeys()
{
    for (CFSoundTrack& track : m_effect.soundTracks)
        for (CFSoundKey& key : track.keys)
            key.played = false;
}

void CFAnimationInstance::ResetFrameEvents(bool clearFiredInPlay)
{
    for (FrameEvent& event : m_events) {
        event.fired = false;
        event.active = event.frame >= m_nFirstFrame && event.frame <= m_nLastFrame;
        if (clearFiredInPlay)
            event.firedInPlay = false;
    }
}

void CFAnimationInstance::PlayCommandSection(const std::string& name, bool loop)
{
    for (const CFNamedPart& section : m_effect.namedParts) {
        if (section.name == name) {
            PlayRange(section.firstFrame, section.lastFrame, loop);
            return;
        }
    }
}

void CFAnimationInstance::PlayCommand(int trackIndex, const char* path, bool loop)
{
    if (path == nullptr)
        return;
    CFAnimationInstance* part = FindPart(trackIndex, path);
    if (part == nullptr) {
        m_pEngine->Log("[E] (%s).PlayCommand: part '%s' not found in object %d!", m_effect.name.c_str(), path,
                       trackIndex);
        return;
    }
    part->PlayCommandSection(LastComponent(path), loop);
}

CFAnimationInstance* CFAnimationInstance::FindPart(int trackIndex, const char* path)
{
    if (path == nullptr)
        return nullptr;
    const char* dot = std::strchr(path, '.');
    if (dot == nullptr)
        return nullptr;  // a path names a part and then a command
    const std::string name(path, dot);
    CFAnimationInstance* found = nullptr;
    for (auto& part : m_parts) {
        if (part->m_effect.name == name && part->m_nPartIndex == trackIndex) {
            found = part.get();
            break;
        }
    }
    if (found == nullptr)
        return nullptr;
    const char* rest = dot + 1;
    if (*rest != '#')
        return found;
    const int nested = std::atoi(rest + 1);
    const char* next = std::strchr(rest, '.');
    if (next == nullptr)
        return nullptr;
    return found->FindPart(nested, next + 1);
}

CFAnimationInstance* CFAnimationInstance::GetPartInstance(int trackIndex, int n)
{
    for (auto& part : m_parts) {
        if (part->m_nPartIndex != trackIndex)
            continue;
        if (n == 0)
            return part.get();
        --n;
    }
    return nullptr;
}

void CFAnimationInstance::Stop(bool recursive)
{
    m_bStopRequested = true;
    if (recursive)
        for (auto& part : m_parts)
            part->Stop(true);
}

void CFAnimationInstance::SetFrame(float frame)
{
    const double target = (frame - m_nFirstFrame) * m_fSecondsPerFrame - m_fTime;
    // Advance scales its step by the speed; undo that so the jump lands on the frame.
    const double step = m_fSpeed != 0.0f ? target / m_fSpeed : target;
    Advance(static_cast<float>(step), 2, false);
}

void CFAnimationInstance::ResetRange()
{
    m_nFirstFrame = 0;
    m_nLastFrame = std::max(m_nFrameCount - 1, 0);
}

void CFAnimationInstance::SaveState()
{
    m_nSavedFrame = m_nCurrentFrame;
    m_fSavedTime = m_fTime;
}

void CFAnimationInstance::RestoreState()
{
    m_nCurrentFrame = m_nSavedFrame;
    Advance(static_cast<float>(m_fSavedTime - m_fTime), 0, false);
}

// ---- Clock and frame events -------------------------------------------------------------------

void CFAnimationInstance::TimeToFrame(float dt, int& frame, float& fraction)
{
    m_fTime += dt;
    if (m_fTime < 0)
        m_fTime = 0;  // a jump back before the range start shows its first frame
    const double rangeLength = (m_nLastFrame - m_nFirstFrame) * m_fSecondsPerFrame;
    if (m_fTime < rangeLength) {
        const double position = m_fTime / m_fSecondsPerFrame + m_nFirstFrame;
        frame = static_cast<int>(position);
        fraction = static_cast<float>(position - frame);
        return;
    }
    // A range of length 0 cannot wrap (and would never leave the subtraction).
    if (m_bLoop && m_nLastFrame != m_nFirstFrame && rangeLength > 0) {
        ResetSoundKeys();
        ResetFrameEvents(false);
        m_fTime = std::fmod(m_fTime, rangeLength);
        const double position = m_fTime / m_fSecondsPerFrame + m_nFirstFrame;
        frame = static_cast<int>(position);
        fraction = static_cast<float>(position - frame);
        return;
    }
    Stop(false);
    frame = m_nLastFrame;
    fraction = 0;
}

void CFAnimationInstance::FireFrameEvents()
{
    for (FrameEvent& event : m_events) {
        if (!event.active || event.fired || event.frame > m_nCurrentFrame)
            continue;
        if (event.firedInPlay && !m_bRepeatFrameEvents)
            continue;
        event.firedInPlay = true;
        if (event.kind == kCommandPlay) {
            CFAnimationInstance* target = event.target;
            const bool alreadyPlaying = target != nullptr && target->m_bPlaying && !m_bKeepPlayingParts &&
                                        target->m_nFirstFrame == m_nFirstFrame;
            if (target != nullptr && !alreadyPlaying)
                target->PlayCommandSection(event.command, false);
        } else if (event.kind == kCommandParticle) {
            FireParticleCommand(event);
        }
        event.fired = true;
    }
}

void CFAnimationInstance::FireParticleCommand(const FrameEvent& event)
{
    if (m_pResource == nullptr || event.track < 0 || event.track >= GetTrackCount())
        return;
    CFTrack& track = m_effect.tracks[static_cast<std::size_t>(event.track)];
    if (track.particleManager == -1)
        m_pResource->CreateParticleObject(track);
    CFParticleObject* object = m_pResource->GetParticleObject(track.particleManager);
    if (object == nullptr || object->manager == nullptr)
        return;
    if (object->system == nullptr || !object->manager->IsPSAlive(object->system))
        object->system = object->manager->SpawnPS(object->desc, 0, 0);
    if (object->system == nullptr)
        return;  // every slot of the manager is taken
    switch (event.value) {
    case 1:
        object->system->Fire();
        break;
    case 2:
        object->system->Stop(false);
        break;
    case 3:
        object->system->Stop(true);
        break;
    default:
        break;
    }
}

// ---- Settings ---------------------------------------------------------------------------------

void CFAnimationInstance::SetVisible(bool visible)
{
    m_bVisible = visible;
    for (auto& part : m_parts)
        part->SetVisible(visible);
}

void CFAnimationInstance::SetPosition(float x, float y, bool recursive)
{
    m_fX = x;
    m_fY = y;
    if (recursive)
        for (auto& part : m_parts)
            part->SetPosition(x, y, true);
}

void CFAnimationInstance::SetGroup(CFAnimationGroup* group, bool recursive)
{
    if (m_pGroup != nullptr) {
        RemoveStatesFromGroup();
        m_pGroup->Remove(this);
    }
    m_pGroup = group;
    if (m_pGroup != nullptr)
        m_pGroup->Add(this);
    if (recursive)
        for (auto& part : m_parts)
            part->SetGroup(group, true);
}

void CFAnimationInstance::ForgetGroup()
{
    m_pGroup = nullptr;
    for (auto& part : m_parts)
        part->ForgetGroup();
}

void CFAnimationInstance::SetKeepPlayingParts(bool keep)
{
    m_bKeepPlayingParts = keep;
    for (auto& part : m_parts)
        part->SetKeepPlayingParts(keep);
}

void CFAnimationInstance::SetStateInstance(int track, CFAnimationInstance* instance)
{
    if (track < 0 || track >= static_cast<int>(m_states.size()))
        return;
    CFTrackState& state = m_states[static_cast<std::size_t>(track)];
    if (instance == nullptr) {
        if (state.attached != nullptr)
            state.attached->m_bPart = false;
        state.attached = nullptr;
        return;
    }
    state.attached = instance;
    instance->m_bPart = true;
    instance->m_pParent = nullptr;
}

void CFAnimationInstance::RemoveStatesFromGroup()
{
    if (m_pGroup != nullptr)
        m_pGroup->RemoveDrawItemsOf(this);
}

void CFAnimationInstance::AddStatesToGroup()
{
    if (m_pGroup == nullptr)
        return;
    for (CFTrackState& state : m_states)
        m_pGroup->AddDrawItem(&state);
}

const CFTrackState* CFAnimationInstance::GetTrackState(int track) const
{
    if (track < 0 || track >= static_cast<int>(m_states.size()))
        return nullptr;
    return &m_states[static_cast<std::size_t>(track)];
}

// A track with fewer keys than frames shows its last key for the frames it lacks.
const CFFrameKey* CFAnimationInstance::KeyAt(int track, int frame) const
{
    if (track < 0 || track >= GetTrackCount())
        return nullptr;
    const std::vector<CFFrameKey>& keys = m_effect.tracks[static_cast<std::size_t>(track)].keys;
    if (keys.empty())
        return nullptr;
    const int last = static_cast<int>(keys.size()) - 1;
    return &keys[static_cast<std::size_t>(std::clamp(frame, 0, last))];
}
