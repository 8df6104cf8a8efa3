// The declarations that the resource script makes through its CFResource handle.
#include "framework/CFResource.h"

namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr int kKindClip = 0;
constexpr int kKindBound = 1;
constexpr int kKindParticle = 2;

}  // namespace

// Scripts are data: a wrong index is logged and replaced by "none" so that nothing later
// reads outside a table, and the other declarations keep their places.
bool CFResource::CheckIndex(const char* method, const char* table, int index, std::size_t size, bool noneOk)
{
    if ((noneOk && index == -1) || (index >= 0 && static_cast<std::size_t>(index) < size))
        return true;
    m_pEngine->Log("[E] Resource: %s: %s index %d out of range", method, table, index);
    return false;
}

CFModule* CFResource::LastModule(const char* method)
{
    if (!m_modules.empty())
        return &m_modules.back();
    m_pEngine->Log("[E] Resource: %s needs a module declared first", method);
    return nullptr;
}

CFEffect* CFResource::LastEffect(const char* method)
{
    CFModule* module = LastModule(method);
    if (module == nullptr)
        return nullptr;
    if (!module->effects.empty())
        return &module->effects.back();
    m_pEngine->Log("[E] Resource: %s needs an effect declared first", method);
    return nullptr;
}

CFTrack* CFResource::LastTrack(const char* method)
{
    CFEffect* effect = LastEffect(method);
    if (effect == nullptr)
        return nullptr;
    if (!effect->tracks.empty())
        return &effect->tracks.back();
    m_pEngine->Log("[E] Resource: %s needs an object declared first", method);
    return nullptr;
}

void CFResource::AddPsiFile(const std::string& name, const std::string& file)
{
    m_psiFiles.push_back({name, file});
}

int CFResource::AddTexture(const std::string& name, const std::string& file)
{
    CFTextureEntry entry;
    entry.name = name;
    entry.file = file;
    m_textures.push_back(std::move(entry));
    return static_cast<int>(m_textures.size()) - 1;
}

int CFResource::AddSprite(const std::string& name, int texture, float x, float y, float width, float height)
{
    CFSpriteEntry entry;
    entry.name = name;
    entry.texture = CheckIndex("AddSprite", "texture", texture, m_textures.size(), true) ? texture : -1;
    entry.x = x;
    entry.y = y;
    entry.width = width;
    entry.height = height;
    m_sprites.push_back(std::move(entry));
    return static_cast<int>(m_sprites.size()) - 1;
}

int CFResource::AddFont(const std::string& name, const std::string& file)
{
    CFFontEntry entry;
    entry.name = name;
    entry.file = file;
    m_fonts.push_back(std::move(entry));
    return static_cast<int>(m_fonts.size()) - 1;
}

void CFResource::AddSound(const std::string& name, const std::string& file)
{
    CFSoundEntry entry;
    entry.name = name;
    entry.file = file;
    // A trial run's tables are thrown away, and a forked child must not wait on the audio
    // layer's threads.
    entry.sound = m_bTrialRun ? 0 : m_pEngine->EffectLoad(file.c_str());
    m_sounds.push_back(std::move(entry));
}

void CFResource::CreateModule(const std::string& name)
{
    CFModule module;
    module.name = name;
    m_modules.push_back(std::move(module));
}

void CFResource::CreateEffect(const std::string& name, int frameCount, int length)
{
    CFModule* module = LastModule("CreateEffect");
    if (module == nullptr)
        return;
    CFEffect effect;
    effect.name = name;
    effect.frameCount = frameCount;
    effect.length = length;
    module->effects.push_back(std::move(effect));
}

void CFResource::AddNamedPart(const std::string& name, int firstFrame, int lastFrame, int extra)
{
    if (CFEffect* effect = LastEffect("AddNamedPart"))
        effect->namedParts.push_back({name, firstFrame, lastFrame, extra});
}

namespace {

int AppendTrack(CFModule& module, CFEffect& effect, const std::string& name, int kind, int layer)
{
    CFTrack track;
    track.name = name;
    track.kind = kind;
    track.layer = layer;
    effect.tracks.push_back(std::move(track));
    const int index = static_cast<int>(effect.tracks.size()) - 1;
    effect.trackOrder.push_back({false, index});
    ++module.totalObjects;
    return index;
}

}  // namespace

int CFResource::CreateObjectGfx(const std::string& name, int layer)
{
    CFEffect* effect = LastEffect("CreateObjectGfx");
    if (effect == nullptr)
        return -1;
    return AppendTrack(m_modules.back(), *effect, name, kTrackGfx, layer);
}

void CFResource::CreateObjectSfx(const std::string& name, int value)
{
    CFEffect* effect = LastEffect("CreateObjectSfx");
    if (effect == nullptr)
        return;
    effect->soundTracks.push_back({name, value, {}});
    effect->trackOrder.push_back({true, static_cast<int>(effect->soundTracks.size()) - 1});
}

void CFResource::CreateObjectClip(const std::string& name, int layer)
{
    m_nObjectKind = kKindClip;
    if (CFEffect* effect = LastEffect("CreateObjectClip"))
        AppendTrack(m_modules.back(), *effect, name, kTrackClip, layer);
}

void CFResource::CreateObjectParticle(const std::string& name, int psi, int sprite, int layer, int blend)
{
    m_nObjectKind = kKindParticle;
    CFEffect* effect = LastEffect("CreateObjectParticle");
    if (effect == nullptr)
        return;
    const int index = AppendTrack(m_modules.back(), *effect, name, kTrackParticle, layer);
    CFTrack& track = effect->tracks[static_cast<std::size_t>(index)];
    if (CheckIndex("CreateObjectParticle", "psi", psi, m_psiFiles.size(), false))
        track.particleFile = m_psiFiles[static_cast<std::size_t>(psi)].file;
    track.particleSprite = CheckIndex("CreateObjectParticle", "sprite", sprite, m_sprites.size(), true) ? sprite : -1;
    track.particleBlend = blend;
}

void CFResource::CreateObjectBound(const std::string&, int)
{
    m_nObjectKind = kKindBound;
}

void CFResource::SetInheritOptions(int position, float scale, int rotation, int unused1, int unused2,
                                   int alpha, int depth, int unused3)
{
    if (CFTrack* track = LastTrack("SetInheritOptions"))
        track->inherit = {position, scale, rotation, unused1, unused2, alpha, depth, unused3};
}

void CFResource::SubstituteAnimation(const std::string& module, const std::string& effect)
{
    if (CFTrack* track = LastTrack("SubstituteAnimation"))
        track->substitutions.push_back({module, effect});
}

void CFResource::AddFrameGfx(int text, int sprite, int alpha, int red, int green, int blue, float x,
                             float y, float hscalePercent, float vscalePercent, float rotationDegrees,
                             float hotX, float hotY, int interpolate, int depth, int blend)
{
    CFTrack* track = LastTrack("AddFrameGfx");
    if (track == nullptr)
        return;
    CFFrameKey key;
    key.text = CheckIndex("AddFrameGfx", "text", text, m_texts.size(), true) ? text : -1;
    key.sprite = CheckIndex("AddFrameGfx", "sprite", sprite, m_sprites.size(), true) ? sprite : -1;
    key.alpha = alpha;
    key.red = red;
    key.green = green;
    key.blue = blue;
    key.x = x;
    key.y = y;
    key.hscale = hscalePercent / 100.0f;
    key.vscale = vscalePercent / 100.0f;
    key.rotation = rotationDegrees * kPi / 180.0f;
    key.hotX = hotX;
    key.hotY = hotY;
    key.interpolate = interpolate;
    key.depth = depth;
    key.blend = blend;
    track->keys.push_back(key);
}

void CFResource::AddFrameSfx(int sound, int volume, int mode)
{
    CFEffect* effect = LastEffect("AddFrameSfx");
    if (effect == nullptr)
        return;
    if (effect->soundTracks.empty()) {
        m_pEngine->Log("[E] Resource: %s needs an object declared first", "AddFrameSfx");
        return;
    }
    CFSoundKey key;
    key.volume = volume;
    key.mode = mode;
    // A key without a valid sound keeps its frame but plays nothing (mode 0 is skipped).
    if (CheckIndex("AddFrameSfx", "sound", sound, m_sounds.size(), false))
        key.sound = sound;
    else
        key.mode = 0;
    effect->soundTracks.back().keys.push_back(key);
}

void CFResource::AddFrameRect(int x, int y, int width, int height, int depth)
{
    if (m_nObjectKind != kKindClip)
        return;
    CFTrack* track = LastTrack("AddFrameRect");
    if (track == nullptr)
        return;
    CFFrameKey key;
    key.depth = depth;
    key.clipX = x;
    key.clipY = y;
    key.clipWidth = width;
    key.clipHeight = height;
    track->keys.push_back(key);
}

void CFResource::AddCommandSection(const std::string& path)
{
    CFTrack* track = LastTrack("AddCommandSection");
    if (track == nullptr)
        return;
    CFEffect& effect = m_modules.back().effects.back();
    CFFrameCommand command;
    command.kind = kCommandPlay;
    command.path = path;
    command.frame = static_cast<int>(track->keys.size()) - 1;
    command.track = static_cast<int>(effect.tracks.size()) - 1;
    effect.commands.push_back(std::move(command));
}

void CFResource::AddParticleCommand(int value)
{
    CFTrack* track = LastTrack("AddParticleCommand");
    if (track == nullptr)
        return;
    CFEffect& effect = m_modules.back().effects.back();
    CFFrameCommand command;
    command.kind = kCommandParticle;
    command.frame = static_cast<int>(track->keys.size()) - 1;
    command.track = static_cast<int>(effect.tracks.size()) - 1;
    command.value = value;
    effect.commands.push_back(std::move(command));
}
