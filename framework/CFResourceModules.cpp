// Loading and freeing modules object by object, and the resources they count.
#include "framework/CFResource.h"

#include "framework/CFFont.h"
#include "framework/CParticleManager.h"
#include "framework/CSprite.h"

#include <cstring>

namespace {

constexpr float kParticleUpdateRate = 50.0f;

template <typename Entry>
Entry* EntryAt(std::vector<Entry>& table, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= table.size())
        return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

template <typename Entry>
Entry* FirstNamed(std::vector<Entry>& table, const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (Entry& entry : table)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

template <typename Entry>
const Entry* FirstNamed(const std::vector<Entry>& table, const char* name)
{
    return FirstNamed(const_cast<std::vector<Entry>&>(table), name);
}

}  // namespace

CFModule* CFResource::Find(const char* name)
{
    return FirstNamed(m_modules, name);
}

const CFModule* CFResource::Find(const char* name) const
{
    return FirstNamed(m_modules, name);
}

bool CFResource::FindModule(const char* name)
{
    CFModule* module = Find(name);
    if (module == nullptr) {
        m_pEngine->Log("[W] Resource: Can't load module %s", name != nullptr ? name : "");
        return false;
    }
    m_nCurrentModule = static_cast<int>(module - m_modules.data());
    return module->loadedObjects == module->totalObjects;
}

bool CFResource::LoadModule(const char* name, int count)
{
    if (FindModule(name) || Find(name) == nullptr)
        return true;
    CFModule& module = m_modules[static_cast<std::size_t>(m_nCurrentModule)];
    if (count == -1)
        count = module.totalObjects - module.loadedObjects;
    if (module.loadedObjects == 0) {
        module.effectCursor = 0;
        module.objectCursor = 0;
    }
    for (; module.effectCursor < static_cast<int>(module.effects.size()); ++module.effectCursor) {
        CFEffect& effect = module.effects[static_cast<std::size_t>(module.effectCursor)];
        for (; module.objectCursor < static_cast<int>(effect.tracks.size()); ++module.objectCursor) {
            if (count == 0)
                return true;
            const CFTrack& track = effect.tracks[static_cast<std::size_t>(module.objectCursor)];
            if (track.kind == kTrackGfx)
                for (const CFFrameKey& key : track.keys)
                    UseGfxKey(key);
            ++module.loadedObjects;
            --count;
        }
        module.objectCursor = 0;
    }
    module.effectCursor = 0;
    module.objectCursor = 0;
    return true;
}

void CFResource::UseGfxKey(const CFFrameKey& key)
{
    if (CFTextEntry* text = EntryAt(m_texts, key.text))
        if (CFFontEntry* font = EntryAt(m_fonts, text->font))
            UseFont(*font);
    if (CFSpriteEntry* sprite = EntryAt(m_sprites, key.sprite))
        UseSprite(*sprite);
}

bool CFResource::UseFont(CFFontEntry& entry)
{
    if (entry.useCount == 0 || entry.font == nullptr) {
        entry.font = std::make_unique<CFFont>(entry.file.c_str());
        entry.created = true;
    }
    ++entry.useCount;
    return true;
}

// Creates the sprite on its first use; each use counts, and the first use of the sprite
// counts one use of its texture.
bool CFResource::UseSprite(CFSpriteEntry& entry)
{
    if (entry.sprite == nullptr) {
        CFTextureEntry* texture = EntryAt(m_textures, entry.texture);
        if (texture == nullptr) {
            entry.sprite = std::make_unique<CSprite>(0, entry.x, entry.y, entry.width, entry.height);
            m_pEngine->Log("[W] CModule: Sprite %s created without texture.", entry.name.c_str());
        } else {
            if (texture->texture == 0)
                texture->texture = LoadTexture(texture->file.c_str(), m_nTextureLoadMode);
            texture->loaded = true;
            ++texture->useCount;
            entry.sprite = std::make_unique<CSprite>(texture->texture, entry.x, entry.y, entry.width,
                                                     entry.height);
        }
        entry.created = true;
    }
    ++entry.useCount;
    return true;
}

void CFResource::ReleaseGfxKey(const CFFrameKey& key)
{
    if (CFTextEntry* text = EntryAt(m_texts, key.text)) {
        CFFontEntry* font = EntryAt(m_fonts, text->font);
        if (font != nullptr && font->useCount > 0 && --font->useCount == 0)
            font->font.reset();
    }
    CFSpriteEntry* sprite = EntryAt(m_sprites, key.sprite);
    if (sprite == nullptr || sprite->useCount <= 0 || --sprite->useCount != 0)
        return;
    CFTextureEntry* texture = EntryAt(m_textures, sprite->texture);
    if (sprite->sprite != nullptr && texture != nullptr && texture->useCount > 0 &&
        --texture->useCount == 0) {
        if (texture->texture != 0)
            m_pEngine->TextureFree(texture->texture);
        texture->texture = 0;
    }
    sprite->sprite.reset();
}

bool CFResource::FreeModule(const char* name)
{
    if (!FindModule(name))
        return false;
    CFModule* module = Find(name);
    if (module == nullptr) {
        m_pEngine->Log("[W] Resource: Can't free module %s", name != nullptr ? name : "");
        return false;
    }
    for (const CFEffect& effect : module->effects)
        for (const CFTrack& track : effect.tracks)
            if (track.kind == kTrackGfx)
                for (const CFFrameKey& key : track.keys)
                    ReleaseGfxKey(key);
    module->loadedObjects = 0;
    return true;
}

int CFResource::GetModuleObjectCount(const char* name) const
{
    const CFModule* module = Find(name);
    return module != nullptr ? module->totalObjects : -1;
}

int CFResource::GetModuleObjectsLeft(const char* name) const
{
    const CFModule* module = Find(name);
    return module != nullptr ? module->totalObjects - module->loadedObjects : -1;
}

const char* CFResource::GetModuleName(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_modules.size())
        return nullptr;
    return m_modules[static_cast<std::size_t>(index)].name.c_str();
}

CSprite* CFResource::GetSprite(const char* name)
{
    CFSpriteEntry* entry = FirstNamed(m_sprites, name);
    if (entry == nullptr)
        return nullptr;
    if (entry->useCount > 0 && entry->sprite != nullptr)
        return entry->sprite.get();
    UseSprite(*entry);
    return entry->sprite.get();
}

CFFont* CFResource::GetFont(const char* name)
{
    CFFontEntry* entry = FirstNamed(m_fonts, name);
    if (entry == nullptr)
        return nullptr;
    if (entry->useCount > 0 && entry->font != nullptr)
        return entry->font.get();
    UseFont(*entry);
    return entry->font.get();
}

HTexture CFResource::GetTexture(const char* name) const
{
    const CFTextureEntry* entry = FirstNamed(m_textures, name);
    return entry != nullptr && entry->useCount > 0 ? entry->texture : 0;
}

HEffect CFResource::GetSound(const char* name) const
{
    const CFSoundEntry* entry = FirstNamed(m_sounds, name);
    return entry != nullptr ? entry->sound : 0;
}

CFSpriteEntry* CFResource::GetSpriteEntry(int index)
{
    return EntryAt(m_sprites, index);
}

CFFontEntry* CFResource::GetFontEntry(int index)
{
    return EntryAt(m_fonts, index);
}

CFTextEntry* CFResource::GetTextEntry(int index)
{
    return EntryAt(m_texts, index);
}

CFSoundEntry* CFResource::GetSoundEntry(int index)
{
    return EntryAt(m_sounds, index);
}

int CFResource::CreateParticleObject(CFTrack& track)
{
    CFParticleObject object;
    object.manager = std::make_unique<CParticleManager>(kParticleUpdateRate);
    // A description that does not load has been logged; the object then emits nothing.
    if (!CParticleDesc::LoadFile(track.particleFile.c_str(), object.desc))
        object.desc = CParticleDesc();
    CFSpriteEntry* entry = EntryAt(m_sprites, track.particleSprite);
    CSprite* sprite = entry != nullptr ? GetSprite(entry->name.c_str()) : nullptr;
    if (sprite != nullptr) {
        sprite->SetHotSpot(sprite->GetWidth() / 2, sprite->GetHeight() / 2);
        sprite->SetBlendMode(track.particleBlend == 1 ? 0 : 2);
    }
    object.desc.sprite = sprite;
    m_particleObjects.push_back(std::move(object));
    track.particleManager = static_cast<int>(m_particleObjects.size()) - 1;
    return track.particleManager;
}

CParticleManager* CFResource::GetParticleManager(int index)
{
    CFParticleObject* object = GetParticleObject(index);
    return object != nullptr ? object->manager.get() : nullptr;
}

CFParticleObject* CFResource::GetParticleObject(int index)
{
    return EntryAt(m_particleObjects, index);
}
