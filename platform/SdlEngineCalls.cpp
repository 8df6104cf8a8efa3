// SdlEngineCalls.cpp: the engine calls that forward to its parts (INI, random, sound, input,
// drawing, textures, resources).
#include "platform/SdlEngine.h"

#include "platform/FileSystem.h"
#include "platform/ImageCodec.h"

#include <SDL.h>

#include <chrono>

// ---- INI ---------------------------------------------------------------------------------------

void SdlEngine::IniSetInt(const char* section, const char* key, int value)
{
    IniSetString(section, key, std::to_string(value).c_str());
}

void SdlEngine::IniSetString(const char* section, const char* key, const char* value)
{
    if (section == nullptr || key == nullptr || m_ini.GetFile().empty())
        return;
    bool replacedLink = false;
    if (!m_ini.SetString(section, key, value != nullptr ? value : "", &replacedLink))
        m_log.Printf("[E] Engine: can't write %s to %s", key, m_ini.GetFile().c_str());
    else if (replacedLink)
        m_log.Printf("[W] A link stood at %s; it was replaced", m_ini.GetFile().c_str());
}

int SdlEngine::IniGetInt(const char* section, const char* key, int def)
{
    return section != nullptr && key != nullptr ? m_ini.GetInt(section, key, def) : def;
}

float SdlEngine::IniGetFloat(const char* section, const char* key, float def)
{
    return section != nullptr && key != nullptr ? m_ini.GetFloat(section, key, def) : def;
}

std::string SdlEngine::IniGetString(const char* section, const char* key, const char* def)
{
    const std::string fallback = def != nullptr ? def : "";
    return section != nullptr && key != nullptr ? m_ini.GetString(section, key, fallback) : fallback;
}

// ---- Random ------------------------------------------------------------------------------------

void SdlEngine::RandomSeed(std::uint32_t seed)
{
    // 0 seeds from the clock, as a game start wants different deals each time.
    m_random = seed != 0 ? seed
                         : static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

namespace {
std::uint64_t NextRandom(std::uint64_t& state)  // splitmix64: small, fast, same on every platform
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
}  // namespace

int SdlEngine::RandomInt(int min, int max)
{
    if (max <= min)
        return min;
    const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(max) - min) + 1;
    return static_cast<int>(min + static_cast<std::int64_t>(NextRandom(m_random) % span));
}

float SdlEngine::RandomFloat(float min, float max)
{
    const float unit = static_cast<float>(NextRandom(m_random) >> 40) / static_cast<float>(1ull << 24);
    return min + unit * (max - min);
}

// ---- Sound -------------------------------------------------------------------------------------

HEffect SdlEngine::EffectLoad(const char* path) { return m_sound.Load(path, false); }
void SdlEngine::EffectFree(HEffect effect) { m_sound.Free(effect, false); }
HStream SdlEngine::StreamLoad(const char* path) { return m_sound.Load(path, true); }
void SdlEngine::StreamFree(HStream stream) { m_sound.Free(stream, true); }
void SdlEngine::ChannelSetVolume(HChannel channel, int volume) { m_sound.SetVolume(channel, volume); }
void SdlEngine::ChannelSetPanning(HChannel channel, int pan) { m_sound.SetPanning(channel, pan); }
void SdlEngine::ChannelPause(HChannel channel) { m_sound.Pause(channel); }
void SdlEngine::ChannelResume(HChannel channel) { m_sound.Resume(channel); }
void SdlEngine::ChannelStop(HChannel channel) { m_sound.Stop(channel); }
void SdlEngine::ChannelPauseAll() { m_sound.PauseAll(); }
void SdlEngine::ChannelResumeAll() { m_sound.ResumeAll(); }
bool SdlEngine::ChannelIsPlaying(HChannel channel) { return m_sound.IsPlaying(channel); }

HChannel SdlEngine::EffectPlay(HEffect effect, int volume, int pan, float /*pitch: not supported*/, bool loop)
{
    return m_sound.Play(effect, false, volume, pan, loop);
}

HChannel SdlEngine::StreamPlay(HStream stream, bool loop, int volume)
{
    return m_sound.Play(stream, true, volume, 0, loop);
}

// ---- Input -------------------------------------------------------------------------------------

bool SdlEngine::KeyState(int vk) { return m_input.KeyState(vk); }
int SdlEngine::GetKey() { return m_input.GetKey(); }
int SdlEngine::GetChar() { return m_input.GetChar(); }
void SdlEngine::GetMousePos(float& x, float& y) { m_input.GetMousePos(x, y); }
bool SdlEngine::GetInputEvent(EngineInputEvent& event) { return m_input.GetInputEvent(event); }

void SdlEngine::SetSystemCursor(int shape)
{
    if (m_options.headless || m_pWindow == nullptr)
        return;
    const int index = shape == 1 ? 1 : 0;
    if (m_pCursors[index] == nullptr)
        m_pCursors[index] = SDL_CreateSystemCursor(index == 1 ? SDL_SYSTEM_CURSOR_HAND : SDL_SYSTEM_CURSOR_ARROW);
    if (m_pCursors[index] != nullptr)
        SDL_SetCursor(m_pCursors[index]);
}

// ---- Drawing -----------------------------------------------------------------------------------

bool SdlEngine::BeginScene(HTarget target)
{
    return m_renderer.BeginScene(target);
}

// A screen that did not change is not presented again: the window still shows it.
void SdlEngine::EndScene()
{
    if (m_renderer.EndScene() && (m_renderer.ScreenChanged() || m_bPresentDue))
        m_bPresented = Present() || m_bPresented;
}

void SdlEngine::Clear(std::uint32_t color) { m_renderer.Clear(color); }
void SdlEngine::RenderQuad(const EngineQuad& quad) { m_renderer.RenderQuad(quad); }
void SdlEngine::SetClipping(int x, int y, int w, int h) { m_renderer.SetClipping(x, y, w, h); }
void SdlEngine::SetClampAddressing() { m_renderer.SetClampAddressing(); }

void SdlEngine::SetTransform(float x, float y, float dx, float dy, float rotation, float hscale, float vscale)
{
    m_renderer.SetTransform(x, y, dx, dy, rotation, hscale, vscale);
}

// ---- Render targets and textures ---------------------------------------------------------------

HTarget SdlEngine::TargetCreate(int width, int height, bool /*zbuffer: 2D needs none*/)
{
    return m_renderer.TargetCreate(width, height);
}

void SdlEngine::TargetFree(HTarget target) { m_renderer.TargetFree(target); }
HTexture SdlEngine::TargetGetTexture(HTarget target) { return m_renderer.TargetGetTexture(target); }
HTexture SdlEngine::TextureCreate(int width, int height) { return m_renderer.TextureCreate(width, height, nullptr); }
void SdlEngine::TextureFree(HTexture texture) { m_renderer.TextureFree(texture); }
int SdlEngine::TextureGetWidth(HTexture texture) { return m_renderer.TextureGetWidth(texture); }
int SdlEngine::TextureGetHeight(HTexture texture) { return m_renderer.TextureGetHeight(texture); }
void SdlEngine::TextureUnlock(HTexture texture) { m_renderer.TextureUnlock(texture); }

std::uint32_t* SdlEngine::TextureLock(HTexture texture, bool readOnly, int x, int y, int w, int h)
{
    return m_renderer.TextureLock(texture, readOnly, x, y, w, h);
}

HTexture SdlEngine::TextureLoad(const char* path)
{
    std::vector<std::uint8_t> bytes;
    if (path == nullptr || !fs_layer::ReadWholeFile(path, bytes)) {
        m_log.Printf("[E] Engine: can't open texture file %s", path != nullptr ? path : "(null)");
        return 0;
    }
    const HTexture texture = TextureLoadFromMemory(bytes.data(), bytes.size());
    if (texture == 0)
        m_log.Printf("[E] Engine: can't decode texture file %s", path);
    return texture;
}

HTexture SdlEngine::TextureLoadFromMemory(const std::uint8_t* data, std::size_t size)
{
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    if (!m_renderer.IsReady() || !image_codec::Decode(data, size, width, height, pixels))
        return 0;
    return m_renderer.TextureCreate(width, height, pixels.data());
}

bool SdlEngine::SaveScreenshot(const char* hostPath)
{
    return hostPath != nullptr && WriteScreenshot(hostPath);
}

// ---- Resources ---------------------------------------------------------------------------------

bool SdlEngine::ResourceLoad(const char* path, std::vector<std::uint8_t>& out)
{
    return path != nullptr && fs_layer::ReadWholeFile(path, out);
}
