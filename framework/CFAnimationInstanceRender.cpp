// CFAnimationInstanceRender.cpp: the per-frame update of an animation instance (clock, frame
// events, sounds, track states, particles) and the drawing of its track states.
#include "framework/CFAnimationInstance.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFFont.h"
#include "framework/CFResource.h"
#include "framework/CParticleManager.h"
#include "framework/CSprite.h"
#include "framework/StringUtils.h"
#include "platform/Engine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr float kViewCentreX = 400.0f;
constexpr float kViewCentreY = 300.0f;

// The "NULL sprite" error is worth one line per run, not one per frame.
bool g_bNullSpriteLogged = false;

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

int LerpInt(int a, int b, float t)
{
    return static_cast<int>(static_cast<float>(a) + static_cast<float>(b - a) * t);
}

std::uint32_t Channel(int value)
{
    return static_cast<std::uint32_t>(std::clamp(value, 0, 255));
}

std::uint32_t StateColour(const CFTrackState& state)
{
    return Channel(state.alpha) << 24 | Channel(state.red) << 16 | Channel(state.green) << 8 | Channel(state.blue);
}

int KeyBlend(const CFFrameKey& key)
{
    return key.blend == 1 ? kBlendColorAdd : kBlendDefault;
}

}  // namespace

void CFAnimationInstance::Advance(float dt, int mode, bool collect)
{
    float fraction = 1.0f;
    bool stepped = false;
    if (m_bPlaying || mode > 0) {
        const float step = (!m_bPlaying && mode < 2) ? 0.0f : dt * m_fSpeed;
        TimeToFrame(step, m_nCurrentFrame, fraction);
        FireFrameEvents();
        if (mode < 2)
            PlayFrameSounds();
        stepped = true;
    }
    ComputeTrackStates(fraction, mode, dt);
    for (auto& part : m_parts)
        part->Advance(dt * m_fSpeed, stepped ? 1 : 0, collect);
    if (collect)
        AddStatesToGroup();
    if (m_bStopRequested) {
        m_bPlaying = false;
        m_bStopRequested = false;
    }
}

// ---- Frame sounds -------------------------------------------------------------------------------

// At most one key per sound track and update: the first not yet played from the range start up
// to the current frame.
void CFAnimationInstance::PlayFrameSounds()
{
    if (m_pResource == nullptr)
        return;
    for (CFSoundTrack& soundTrack : m_effect.soundTracks) {
        const int end = std::min(m_nCurrentFrame, static_cast<int>(soundTrack.keys.size()) - 1);
        for (int f = 0; f <= end; ++f) {
            CFSoundKey& key = soundTrack.keys[static_cast<std::size_t>(f)];
            if (key.played || f < m_nFirstFrame)
                continue;
            if (key.mode != kSoundPlay && key.mode != kSoundLoop && key.mode != kSoundStop)
                continue;
            CFSoundEntry* entry = m_pResource->GetSoundEntry(key.sound);
            if (entry != nullptr && entry->channel != 0 && m_pEngine->ChannelIsPlaying(entry->channel))
                m_pEngine->ChannelStop(entry->channel);
            if (entry != nullptr && key.mode != kSoundStop) {
                const int volume = m_pResource->GetSoundVolume() * key.volume / 100;
                entry->channel = m_pEngine->EffectPlay(entry->sound, volume, key.pan, key.pitch, key.mode == kSoundLoop);
            }
            key.played = true;
            break;
        }
    }
}

// ---- Track states -------------------------------------------------------------------------------

void CFAnimationInstance::ComputeTrackStates(float fraction, int mode, float dt)
{
    const bool compute = m_bPlaying || mode >= 1;
    for (std::size_t t = 0; t < m_states.size(); ++t) {
        const CFTrack& track = m_effect.tracks[t];
        if (compute)
            ComputeTrackState(m_states[t], fraction);
        if (track.kind == kTrackParticle)
            StepParticles(m_states[t], m_effect.tracks[t], dt);
    }
}

void CFAnimationInstance::ComputeTrackState(CFTrackState& state, float fraction)
{
    const CFFrameKey* key = KeyAt(state.track, m_nCurrentFrame);
    if (key == nullptr)
        return;
    if (key->interpolate == 1) {
        const int nextFrame = m_nCurrentFrame < m_nFrameCount - 1 ? m_nCurrentFrame + 1 : m_nCurrentFrame;
        const CFFrameKey& next = *KeyAt(state.track, nextFrame);
        state.x = Lerp(key->x, next.x, fraction);
        state.y = Lerp(key->y, next.y, fraction);
        state.rotation = Lerp(key->rotation, next.rotation, fraction);
        state.hscale = Lerp(key->hscale, next.hscale, fraction);
        state.vscale = Lerp(key->vscale, next.vscale, fraction);
        state.alpha = LerpInt(key->alpha, next.alpha, fraction);
        state.red = LerpInt(key->red, next.red, fraction);
        state.green = LerpInt(key->green, next.green, fraction);
        state.blue = LerpInt(key->blue, next.blue, fraction);
    } else {
        state.x = key->x;
        state.y = key->y;
        state.rotation = key->rotation;
        state.hscale = key->hscale;
        state.vscale = key->vscale;
        state.alpha = key->alpha;
        state.red = key->red;
        state.green = key->green;
        state.blue = key->blue;
    }
    state.depth = key->depth;
    state.hscale *= m_fScale;
    state.vscale *= m_fScale;
    state.rotation += m_fRotation;
    if (m_nColor != -1) {
        const auto colour = static_cast<std::uint32_t>(m_nColor);
        state.alpha = static_cast<int>(colour >> 24 & 0xFF);
        state.red = static_cast<int>(colour >> 16 & 0xFF);
        state.green = static_cast<int>(colour >> 8 & 0xFF);
        state.blue = static_cast<int>(colour & 0xFF);
    }
    if (m_bPart && m_pParent != nullptr)
        InheritFromParent(state);
}

void CFAnimationInstance::InheritFromParent(CFTrackState& state) const
{
    const CFTrackState* parentState = m_pParent->GetTrackState(m_nPartIndex);
    if (parentState == nullptr)
        return;
    const CFTrackState& p = *parentState;
    const CFInheritOptions& options = m_pParent->m_effect.tracks[static_cast<std::size_t>(m_nPartIndex)].inherit;
    if (options.position != 0) {
        state.x += p.x;
        state.y += p.y;
    }
    if (options.alpha != 0)
        state.alpha = state.alpha * p.alpha / 255;
    if (options.depth != 0)
        state.depth += p.depth;
    const float f = options.scale;
    if (f != 0.0f) {
        state.hscale *= (p.hscale - 1.0f) * f + 1.0f;
        state.vscale *= (p.vscale - 1.0f) * f + 1.0f;
        if (options.position != 0) {
            state.x = (state.x - p.x) * p.hscale + p.x;
            state.y = (state.y - p.y) * p.vscale + p.y;
        }
    }
    if (options.rotation != 0) {
        state.rotation += p.rotation;
        if (options.position != 0) {
            const float c = std::cos(p.rotation);
            const float s = std::sin(p.rotation);
            const float dx = state.x - p.x;
            const float dy = state.y - p.y;
            state.x = dx * c - dy * s + p.x;
            state.y = dx * s + dy * c + p.y;
        }
    }
}

void CFAnimationInstance::StepParticles(CFTrackState& state, const CFTrack& track, float dt)
{
    if (m_pResource == nullptr || !m_pResource->IsHighDetail())
        return;
    CFParticleObject* object = m_pResource->GetParticleObject(track.particleManager);
    if (object == nullptr || object->manager == nullptr || object->system == nullptr ||
        !object->manager->IsPSAlive(object->system))
        return;
    CParticleSystem* system = object->system;
    const int emission = system->GetDesc().emission;
    system->GetDesc().emission = emission * std::clamp(state.alpha, 0, 255) / 255;
    system->MoveTo(state.x + m_fX, state.y + m_fY);
    object->manager->Update(dt);
    if (object->manager->IsPSAlive(system))
        system->GetDesc().emission = emission;
    else
        object->system = nullptr;  // the manager deleted it
}

// ---- Drawing --------------------------------------------------------------------------------------

void CFAnimationInstance::Render(CFTrackState* state)
{
    if (!m_bVisible)
        return;
    if (state != nullptr) {
        RenderState(*state);
        return;
    }
    if (m_bPart && m_pParent == nullptr)
        return;  // an attached instance is drawn by the track state that holds it
    for (CFTrackState& s : m_states)
        RenderState(s);
    for (auto& part : m_parts)
        part->Render(nullptr);
}

void CFAnimationInstance::RenderState(CFTrackState& state)
{
    if (state.attached != nullptr) {
        CFAnimationInstance& inst = *state.attached;
        const float oldX = inst.m_fX, oldY = inst.m_fY;
        inst.m_fX = state.x + m_fX;
        inst.m_fY = state.y + m_fY;
        for (CFTrackState& s : inst.m_states)
            inst.RenderState(s);
        inst.m_fX = oldX;
        inst.m_fY = oldY;
        return;
    }
    const CFFrameKey* key = KeyAt(state.track, m_nCurrentFrame);
    if (key == nullptr || m_pResource == nullptr)
        return;
    const CFTrack& track = m_effect.tracks[static_cast<std::size_t>(state.track)];
    if (track.kind == kTrackClip) {
        const int left = static_cast<int>((key->clipX + kViewCentreX) - key->clipWidth * 0.5f);
        const int top = static_cast<int>((key->clipY + kViewCentreY) - key->clipHeight * 0.5f);
        m_pEngine->SetClipping(left, top, key->clipWidth, key->clipHeight);
        if (m_pGroup != nullptr)
            m_pGroup->SetClipSet();
        return;
    }
    if (track.kind == kTrackParticle) {
        if (!m_pResource->IsHighDetail())
            return;
        CFParticleObject* object = m_pResource->GetParticleObject(track.particleManager);
        if (object != nullptr && object->manager != nullptr && object->system != nullptr &&
            object->manager->IsPSAlive(object->system))
            object->manager->Render();
        return;
    }
    if (key->sprite != -1)
        RenderSprite(state, *key);
    if (key->text != -1)
        RenderText(state, *key);
}

void CFAnimationInstance::RenderSprite(const CFTrackState& state, const CFFrameKey& key)
{
    CFSpriteEntry* entry = m_pResource->GetSpriteEntry(key.sprite);
    if (entry == nullptr)
        return;
    CSprite* sprite = entry->sprite.get();
    if (sprite == nullptr) {
        if (!g_bNullSpriteLogged) {
            g_bNullSpriteLogged = true;
            m_pEngine->Log("[E] Animation Renderer: NULL sprite in animation [%s] with name [%s]!",
                           m_effect.name.c_str(), entry->name.c_str());
        }
        sprite = m_pResource->GetSprite(entry->name.c_str());
        if (sprite == nullptr) {
            m_pEngine->Log("[Fatal Error] Animation Renderer: Cannot create sprite in animation [%s] with name [%s]!",
                           m_effect.name.c_str(), entry->name.c_str());
            return;
        }
    }
    sprite->SetHotSpot(key.hotX, key.hotY);
    sprite->SetColor(StateColour(state));
    sprite->SetBlendMode(KeyBlend(key));
    sprite->RenderEx(state.x + m_fX, state.y + m_fY, state.rotation, state.hscale, state.vscale);
}

void CFAnimationInstance::RenderText(const CFTrackState& state, const CFFrameKey& key)
{
    const CFTextEntry* text = m_pResource->GetTextEntry(key.text);
    CFFont* font = text != nullptr ? SpacedFontFor(*text) : nullptr;
    if (font == nullptr)
        return;
    font->SetColor(StateColour(state));
    font->SetBlendMode(KeyBlend(key));
    font->DrawText(state.x + m_fX, state.y + m_fY, text->text.c_str(), text->alignment);
}

// The text's font (loaded on first use) with the text's spacing set, or null.
CFFont* CFAnimationInstance::SpacedFontFor(const CFTextEntry& text)
{
    CFFontEntry* fontEntry = m_pResource->GetFontEntry(text.font);
    if (fontEntry == nullptr)
        return nullptr;
    CFFont* font = fontEntry->font != nullptr ? fontEntry->font.get() : m_pResource->GetFont(fontEntry->name.c_str());
    if (font == nullptr)
        return nullptr;
    font->SetLineSpacing(text.lineSpacing);
    font->SetLetterSpacing(text.letterSpacing);
    return font;
}

// ---- Geometry and texts of keys -------------------------------------------------------------------

void CFAnimationInstance::GetPartPosition(float* x, float* y, int track, int frame) const
{
    const CFFrameKey* key = KeyAt(track, frame);
    if (key == nullptr) {
        *x = m_fX;
        *y = m_fY;
        return;
    }
    *x = key->x + m_fX - key->hotX * m_fScale * key->hscale;
    *y = key->y + m_fY - key->hotY * m_fScale * key->vscale;
}

void CFAnimationInstance::GetPartSize(float* w, float* h, int track, int frame) const
{
    *w = 0;
    *h = 0;
    const CFFrameKey* key = KeyAt(track, frame);
    if (key == nullptr || m_pResource == nullptr)
        return;
    const CFSpriteEntry* entry = m_pResource->GetSpriteEntry(key->sprite);
    if (entry == nullptr)
        return;
    *w = std::trunc(entry->width * m_fScale * key->hscale);
    *h = std::trunc(entry->height * m_fScale * key->vscale);
}

void CFAnimationInstance::GetBounds(float* x, float* y, float* w, float* h) const
{
    GetPartSize(w, h, 0, m_nCurrentFrame);
    const CFFrameKey* key = KeyAt(0, m_nCurrentFrame);
    const CFTrackState* state = GetTrackState(0);
    if (key == nullptr || state == nullptr) {
        *x = m_fX;
        *y = m_fY;
        return;
    }
    *x = state->x + m_fX - key->hotX * m_fScale * key->hscale;
    *y = state->y + m_fY - key->hotY * m_fScale * key->vscale;
}

bool CFAnimationInstance::GetDrawnBounds(float* x, float* y, float* w, float* h) const
{
    if (!m_bVisible || m_pResource == nullptr)
        return false;
    bool any = false;
    float left = 0, top = 0, right = 0, bottom = 0;
    for (const CFTrackState& state : m_states) {
        const CFFrameKey* key = KeyAt(state.track, m_nCurrentFrame);
        const CFTrack& track = m_effect.tracks[static_cast<std::size_t>(state.track)];
        const CFSpriteEntry* entry = key != nullptr ? m_pResource->GetSpriteEntry(key->sprite) : nullptr;
        if (entry == nullptr || state.attached != nullptr || track.kind != kTrackGfx || state.alpha <= 0)
            continue;
        const float l = state.x + m_fX - key->hotX * state.hscale;
        const float t = state.y + m_fY - key->hotY * state.vscale;
        const float r = l + entry->width * state.hscale;
        const float b = t + entry->height * state.vscale;
        left = any ? std::min(left, l) : l;
        top = any ? std::min(top, t) : t;
        right = any ? std::max(right, r) : r;
        bottom = any ? std::max(bottom, b) : b;
        any = true;
    }
    if (!any)
        return false;
    *x = left;
    *y = top;
    *w = right - left;
    *h = bottom - top;
    return true;
}

void CFAnimationInstance::SetFrameText(int track, int frame, const char* text)
{
    const CFFrameKey* key = KeyAt(track, frame);
    if (key == nullptr || m_pResource == nullptr || text == nullptr)
        return;
    if (CFTextEntry* entry = m_pResource->GetTextEntry(key->text))
        entry->text = WidenString(text);
}

void CFAnimationInstance::RewrapFrameText(int track, int frame, int width)
{
    const CFFrameKey* key = KeyAt(track, frame);
    if (key == nullptr || m_pResource == nullptr)
        return;
    CFTextEntry* text = m_pResource->GetTextEntry(key->text);
    const CFFont* font = text != nullptr ? SpacedFontFor(*text) : nullptr;
    if (font != nullptr)
        text->text = font->Rewrap(text->text, width);
}

void CFAnimationInstance::GetTextLinks(std::vector<CFTextLink>& links, int track, int frame)
{
    links.clear();
    const CFFrameKey* key = KeyAt(track, frame);
    const CFTrackState* state = GetTrackState(track);
    if (key == nullptr || state == nullptr || m_pResource == nullptr)
        return;
    const CFTextEntry* text = m_pResource->GetTextEntry(key->text);
    CFFont* font = text != nullptr ? SpacedFontFor(*text) : nullptr;
    if (font == nullptr)
        return;
    font->FindTextLinks(links, state->x + m_fX, state->y + m_fY, text->text.c_str(), text->alignment);
}
