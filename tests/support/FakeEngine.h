// FakeEngine.h: an in-memory engine for tests that need no window, GPU or audio device.
//
// It records what the code under test asks of the engine so that tests can check it:
// - drawn quads in `quads` (in call order, with the transform and clipping of their time kept
//   separately in `transforms` and `clips`);
// - textures as real ARGB buffers: `TextureCreate`, `TextureLoad` of a path registered with
//   `AddTextureFile`, lock and unlock with the engine's pointer and pitch rules, and
//   `Pixel`/`SetPixel` for checks; render targets own a texture of their size;
// - one INI store per file name, chosen by the IniFile state as the real engine does, with
//   names compared without case and defaults for anything missing (`SetIni`/`GetIni` seed and
//   inspect it directly);
// - every log line, formatted, in `logLines` (`HasLogLine` matches an exact line);
// - sounds and channels as plain records; input from fields and a queue the test fills.
// Random numbers come from a fixed generator, so a test sees the same sequence every run.
// Anything else is a harmless no-op.
//
// `ScopedFakeEngine` owns a FakeEngine and makes `engine2dCreate` return it while it lives
// (`ScopedEngine<E>` does the same for an engine derived from it):
//     ScopedFakeEngine fake;
//     CSprite sprite(0, 0, 0, 32, 32);
//     sprite.Render(10, 20);
//     EXPECT_EQ(fake->quads.size(), 1u);
// `engine2dCreate` does not count the override's references, so `Release` only counts calls
// (`releaseCount`); the engine lives as long as the guard. Declare the guard before the objects
// under test so that they are destroyed first.
#pragma once

#include "platform/Engine.h"

#include <cctype>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

class FakeEngine : public IEngine {
public:
    struct Texture {
        int width = 0;
        int height = 0;
        std::vector<std::uint32_t> pixels;  // ARGB, row after row, pitch = width
        int lockCount = 0;                  // locks not yet unlocked
        int lockTotal = 0;                  // every successful lock
        bool lastLockReadOnly = true;
    };

    struct Channel {
        std::uint32_t source = 0;  // the effect or stream handle
        bool stream = false;
        int volume = 100;
        int pan = 0;
        float pitch = 1.0f;
        bool loop = false;
        bool paused = false;
        bool stopped = false;
    };

    struct Transform {
        float x = 0, y = 0, dx = 0, dy = 0, rotation = 0, hscale = 0, vscale = 0;
    };

    struct Clip {
        int x = 0, y = 0, w = 0, h = 0;
    };

    // ---- What the code under test did ------------------------------------------------------
    std::vector<EngineQuad> quads;
    std::vector<Transform> transforms;     // every SetTransform call
    std::vector<Clip> clips;               // every SetClipping call
    std::vector<std::uint32_t> clears;     // every Clear colour
    std::vector<HTarget> scenes;           // every BeginScene target
    int endSceneCount = 0;
    std::vector<std::string> logLines;
    int releaseCount = 0;
    int iniBindCount = 0;                  // IniFile state changes
    std::map<HChannel, Channel> channels;
    std::vector<std::string> loadedEffects;  // paths, in load order
    std::vector<std::string> loadedStreams;
    int systemCursor = 0;
    bool minimized = false;
    bool shutDown = false;

    // ---- What the test sets up --------------------------------------------------------------
    float delta = 1.0f / 60.0f;
    float time = 0.0f;
    int fps = 60;
    int workSteps = 0;                     // FrameTimeLeft calls of this frame (RunMainLoop resets it)
    bool headless = true;
    int desktopWidth = 1024, desktopHeight = 768, desktopBpp = 32;
    std::set<int> heldKeys;                // KeyState is true for these
    int frameKey = 0;                      // GetKey
    int frameChar = 0;                     // GetChar
    float mouseX = 0, mouseY = 0;
    std::deque<EngineInputEvent> events;   // GetInputEvent pops from the front
    int mainLoopFrames = 0;                // RunMainLoop calls the frame function at most this often
    bool failLoads = false;                // TextureLoad, EffectLoad, StreamLoad and ResourceLoad fail

    // Overrides repeat the interface's default arguments, so calls through a FakeEngine& match
    // calls through an IEngine*.
    FakeEngine() = default;
    ~FakeEngine() override = default;
    FakeEngine(const FakeEngine&) = delete;
    FakeEngine& operator=(const FakeEngine&) = delete;

    // ---- Test helpers -----------------------------------------------------------------------
    bool HasLogLine(const std::string& line) const
    {
        for (const std::string& l : logLines)
            if (l == line)
                return true;
        return false;
    }

    // Channels ever started for this effect (streams left out), stopped ones too.
    int ChannelsOf(HEffect effect) const
    {
        int n = 0;
        for (const auto& channel : channels)
            n += channel.second.source == effect && !channel.second.stream ? 1 : 0;
        return n;
    }

    // TextureLoad of this game path (any case, "\" or "/") gives a new width x height texture.
    void AddTextureFile(const std::string& path, int width, int height)
    {
        m_textureFiles[NormalisePath(path)] = {width, height};
    }

    // ResourceLoad of this game path gives these bytes.
    void AddResource(const std::string& path, const std::vector<std::uint8_t>& bytes)
    {
        m_resources[NormalisePath(path)] = bytes;
    }

    void AddResource(const std::string& path, const std::string& bytes)
    {
        AddResource(path, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    }

    void SetIni(const std::string& file, const std::string& section, const std::string& key,
                const std::string& value)
    {
        m_ini[Lower(file)][Lower(section)][Lower(key)] = value;
    }

    // Empties the INI store and the resources, freeing what they held.
    void ForgetFiles()
    {
        m_ini.clear();
        m_resources.clear();
    }

    // The stored text, or null when the key is not in the store.
    const std::string* GetIni(const std::string& file, const std::string& section,
                              const std::string& key) const
    {
        auto f = m_ini.find(Lower(file));
        if (f == m_ini.end())
            return nullptr;
        auto s = f->second.find(Lower(section));
        if (s == f->second.end())
            return nullptr;
        auto k = s->second.find(Lower(key));
        return k == s->second.end() ? nullptr : &k->second;
    }

    const std::string& CurrentIniFile() const { return m_iniFile; }

    // The texture's record, or null for an unknown or freed handle.
    Texture* FindTexture(HTexture texture)
    {
        auto it = m_textures.find(texture);
        return it == m_textures.end() ? nullptr : &it->second;
    }

    std::size_t TextureCount() const { return m_textures.size(); }

    std::uint32_t Pixel(HTexture texture, int x, int y)
    {
        Texture* t = FindTexture(texture);
        if (t == nullptr || x < 0 || y < 0 || x >= t->width || y >= t->height)
            return 0;
        return t->pixels[static_cast<std::size_t>(y) * t->width + x];
    }

    void SetPixel(HTexture texture, int x, int y, std::uint32_t argb)
    {
        Texture* t = FindTexture(texture);
        if (t == nullptr || x < 0 || y < 0 || x >= t->width || y >= t->height)
            return;
        t->pixels[static_cast<std::size_t>(y) * t->width + x] = argb;
    }

    void FillTexture(HTexture texture, std::uint32_t argb)
    {
        if (Texture* t = FindTexture(texture))
            t->pixels.assign(t->pixels.size(), argb);
    }

    EngineCallback Callback(EState state) const
    {
        auto it = m_callbacks.find(state);
        return it == m_callbacks.end() ? nullptr : it->second;
    }

    std::string StringState(EState state) const
    {
        auto it = m_strings.find(state);
        return it == m_strings.end() ? std::string() : it->second;
    }

    // ---- Life -------------------------------------------------------------------------------
    bool Initiate() override { return true; }

    bool RunMainLoop() override
    {
        EngineCallback frame = Callback(EState::FrameFunc);
        for (int i = 0; frame != nullptr && i < mainLoopFrames; ++i) {
            time += delta;
            workSteps = 0;
            if (frame())
                break;
        }
        return true;
    }

    void Shutdown() override { shutDown = true; }
    void Release() override { ++releaseCount; }

    // ---- System states ----------------------------------------------------------------------
    void SetState(EState state, bool value) override { m_ints[state] = value ? 1 : 0; }
    void SetState(EState state, int value) override { m_ints[state] = value; }

    void SetState(EState state, const char* value) override
    {
        m_strings[state] = value != nullptr ? value : "";
        if (state == EState::IniFile) {
            m_iniFile = m_strings[state];
            ++iniBindCount;
        }
    }

    void SetState(EState state, EngineCallback value) override { m_callbacks[state] = value; }

    int GetState(EState state) override
    {
        auto it = m_ints.find(state);
        if (it != m_ints.end())
            return it->second;
        switch (state) {
        case EState::ScreenWidth: return 800;
        case EState::ScreenHeight: return 600;
        case EState::ScreenBpp: return 32;
        case EState::Windowed: return 1;
        default: return 0;
        }
    }

    void GetDesktopSize(int& width, int& height, int& bpp) override
    {
        width = desktopWidth;
        height = desktopHeight;
        bpp = desktopBpp;
    }

    void MinimizeWindow() override { minimized = true; }
    void RestoreWindow() override { minimized = false; }
    bool IsHeadless() const override { return headless; }

    // ---- Log --------------------------------------------------------------------------------
    void Log(const char* format, ...) override __attribute__((format(printf, 2, 3)))
    {
        if (format == nullptr)
            return;
        char buffer[4096];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        logLines.emplace_back(buffer);
    }

    // ---- INI of the current file ------------------------------------------------------------
    void IniSetInt(const char* section, const char* key, int value) override
    {
        IniSetString(section, key, std::to_string(value).c_str());
    }

    void IniSetString(const char* section, const char* key, const char* value) override
    {
        if (section == nullptr || key == nullptr)
            return;
        SetIni(m_iniFile, section, key, value != nullptr ? value : "");
    }

    int IniGetInt(const char* section, const char* key, int def) override
    {
        const std::string* text = Find(section, key);
        if (text == nullptr)
            return def;
        long value = std::strtol(text->c_str(), nullptr, 10);  // leading digits, 0 when none
        return static_cast<int>(value);
    }

    float IniGetFloat(const char* section, const char* key, float def) override
    {
        const std::string* text = Find(section, key);
        return text == nullptr ? def : std::strtof(text->c_str(), nullptr);
    }

    std::string IniGetString(const char* section, const char* key, const char* def) override
    {
        const std::string* text = Find(section, key);
        if (text != nullptr)
            return *text;
        return def != nullptr ? def : "";
    }

    // ---- Random and time --------------------------------------------------------------------
    void RandomSeed(std::uint32_t seed) override { m_random = seed; }

    int RandomInt(int min, int max) override
    {
        if (max <= min)
            return min;
        const std::uint64_t span = static_cast<std::uint64_t>(static_cast<std::int64_t>(max) - min) + 1;
        return static_cast<int>(min + static_cast<std::int64_t>(Next() % span));
    }

    float RandomFloat(float min, float max) override
    {
        return min + (max - min) * static_cast<float>(Next() % 1000000u) / 1000000.0f;
    }

    float GetDelta() override { return delta; }
    float GetTime() override { return time; }
    int GetFPS() override { return fps; }
    bool FrameTimeLeft(float seconds) override { return static_cast<float>(workSteps++) * kHeadlessWorkStep < seconds; }

    // ---- Sound ------------------------------------------------------------------------------
    HEffect EffectLoad(const char* path) override
    {
        if (failLoads || path == nullptr)
            return 0;
        loadedEffects.emplace_back(path);
        return ++m_lastHandle;
    }

    void EffectFree(HEffect) override {}

    HChannel EffectPlay(HEffect effect, int volume = 100, int pan = 0, float pitch = 1.0f,
                        bool loop = false) override
    {
        if (effect == 0)
            return 0;
        Channel c;
        c.source = effect;
        c.volume = volume;
        c.pan = pan;
        c.pitch = pitch;
        c.loop = loop;
        channels[++m_lastHandle] = c;
        return m_lastHandle;
    }

    HStream StreamLoad(const char* path) override
    {
        if (failLoads || path == nullptr)
            return 0;
        loadedStreams.emplace_back(path);
        return ++m_lastHandle;
    }

    void StreamFree(HStream) override {}

    HChannel StreamPlay(HStream stream, bool loop, int volume = 100) override
    {
        if (stream == 0)
            return 0;
        Channel c;
        c.source = stream;
        c.stream = true;
        c.volume = volume;
        c.loop = loop;
        channels[++m_lastHandle] = c;
        return m_lastHandle;
    }

    void ChannelSetVolume(HChannel channel, int volume) override
    {
        if (Channel* c = FindChannel(channel))
            c->volume = volume;
    }

    void ChannelSetPanning(HChannel channel, int pan) override
    {
        if (Channel* c = FindChannel(channel))
            c->pan = pan;
    }

    void ChannelPause(HChannel channel) override
    {
        if (Channel* c = FindChannel(channel))
            c->paused = true;
    }

    void ChannelResume(HChannel channel) override
    {
        if (Channel* c = FindChannel(channel))
            c->paused = false;
    }

    void ChannelStop(HChannel channel) override
    {
        if (Channel* c = FindChannel(channel))
            c->stopped = true;
    }

    void ChannelPauseAll() override
    {
        for (auto& entry : channels)
            entry.second.paused = true;
    }

    void ChannelResumeAll() override
    {
        for (auto& entry : channels)
            entry.second.paused = false;
    }

    bool ChannelIsPlaying(HChannel channel) override
    {
        Channel* c = FindChannel(channel);
        return c != nullptr && !c->stopped && !c->paused;
    }

    // ---- Input ------------------------------------------------------------------------------
    bool KeyState(int vk) override { return heldKeys.count(vk) != 0; }
    int GetKey() override { return frameKey; }
    int GetChar() override { return frameChar; }

    void GetMousePos(float& x, float& y) override
    {
        x = mouseX;
        y = mouseY;
    }

    bool GetInputEvent(EngineInputEvent& event) override
    {
        if (events.empty())
            return false;
        event = events.front();
        events.pop_front();
        return true;
    }

    void SetSystemCursor(int shape) override { systemCursor = shape; }

    // ---- Drawing ----------------------------------------------------------------------------
    bool BeginScene(HTarget target = 0) override
    {
        scenes.push_back(target);
        return true;
    }

    void EndScene() override { ++endSceneCount; }
    void Clear(std::uint32_t color) override { clears.push_back(color); }

    void SetTransform(float x = 0, float y = 0, float dx = 0, float dy = 0, float rotation = 0,
                      float hscale = 0, float vscale = 0) override
    {
        transforms.push_back({x, y, dx, dy, rotation, hscale, vscale});
    }

    void RenderQuad(const EngineQuad& quad) override { quads.push_back(quad); }
    void SetClipping(int x = 0, int y = 0, int w = 0, int h = 0) override { clips.push_back({x, y, w, h}); }
    void SetClampAddressing() override {}

    // ---- Render targets and textures --------------------------------------------------------
    HTarget TargetCreate(int width, int height, bool) override
    {
        HTexture texture = TextureCreate(width, height);
        if (texture == 0)
            return 0;
        m_targets[++m_lastHandle] = texture;
        return m_lastHandle;
    }

    void TargetFree(HTarget target) override
    {
        auto it = m_targets.find(target);
        if (it == m_targets.end())
            return;
        m_textures.erase(it->second);
        m_targets.erase(it);
    }

    HTexture TargetGetTexture(HTarget target) override
    {
        auto it = m_targets.find(target);
        return it == m_targets.end() ? 0 : it->second;
    }

    HTexture TextureCreate(int width, int height) override
    {
        if (width <= 0 || height <= 0 || width > 16384 || height > 16384)
            return 0;
        Texture t;
        t.width = width;
        t.height = height;
        t.pixels.assign(static_cast<std::size_t>(width) * height, 0u);
        m_textures[++m_lastHandle] = std::move(t);
        return m_lastHandle;
    }

    HTexture TextureLoad(const char* path) override
    {
        if (failLoads || path == nullptr)
            return 0;
        auto it = m_textureFiles.find(NormalisePath(path));
        if (it == m_textureFiles.end())
            return 0;
        return TextureCreate(it->second.first, it->second.second);
    }

    HTexture TextureLoadFromMemory(const std::uint8_t*, std::size_t) override { return 0; }

    void TextureFree(HTexture texture) override { m_textures.erase(texture); }

    int TextureGetWidth(HTexture texture) override
    {
        Texture* t = FindTexture(texture);
        return t == nullptr ? 0 : t->width;
    }

    int TextureGetHeight(HTexture texture) override
    {
        Texture* t = FindTexture(texture);
        return t == nullptr ? 0 : t->height;
    }

    std::uint32_t* TextureLock(HTexture texture, bool readOnly = true, int x = 0, int y = 0, int w = 0,
                               int h = 0) override
    {
        Texture* t = FindTexture(texture);
        if (t == nullptr)
            return nullptr;
        if (x == 0 && y == 0 && w == 0 && h == 0) {
            w = t->width;
            h = t->height;
        }
        if (x < 0 || y < 0 || w <= 0 || h <= 0 || w > t->width - x || h > t->height - y)
            return nullptr;
        ++t->lockCount;
        ++t->lockTotal;
        t->lastLockReadOnly = readOnly;
        return t->pixels.data() + static_cast<std::size_t>(y) * t->width + x;
    }

    void TextureUnlock(HTexture texture) override
    {
        Texture* t = FindTexture(texture);
        if (t != nullptr && t->lockCount > 0)
            --t->lockCount;
    }

    bool SaveScreenshot(const char*) override { return false; }

    // ---- Resources --------------------------------------------------------------------------
    bool ResourceLoad(const char* path, std::vector<std::uint8_t>& out) override
    {
        if (failLoads || path == nullptr)
            return false;
        auto it = m_resources.find(NormalisePath(path));
        if (it == m_resources.end())
            return false;
        out = it->second;
        return true;
    }

private:
    static std::string Lower(std::string text)
    {
        for (char& c : text)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return text;
    }

    // Game paths are matched as on Windows: any case, either slash.
    static std::string NormalisePath(const std::string& path)
    {
        std::string out = Lower(path);
        for (char& c : out)
            if (c == '/')
                c = '\\';
        return out;
    }

    const std::string* Find(const char* section, const char* key) const
    {
        if (section == nullptr || key == nullptr)
            return nullptr;
        return GetIni(m_iniFile, section, key);
    }

    Channel* FindChannel(HChannel channel)
    {
        auto it = channels.find(channel);
        return it == channels.end() ? nullptr : &it->second;
    }

    // A 64-bit linear congruential generator: fixed, so a seeded test repeats exactly.
    std::uint32_t Next()
    {
        m_random = m_random * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(m_random >> 33);
    }

    std::map<EState, int> m_ints;
    std::map<EState, std::string> m_strings;
    std::map<EState, EngineCallback> m_callbacks;
    std::string m_iniFile;
    std::map<std::string, std::map<std::string, std::map<std::string, std::string>>> m_ini;
    std::map<HTexture, Texture> m_textures;
    std::map<HTarget, HTexture> m_targets;
    std::map<std::string, std::pair<int, int>> m_textureFiles;
    std::map<std::string, std::vector<std::uint8_t>> m_resources;
    std::uint32_t m_lastHandle = 0;  // one counter for every kind: a handle is never reused
    std::uint64_t m_random = 1;
};

// Makes engine2dCreate return an owned engine (a FakeEngine or one derived from it) for the
// guard's lifetime.
template <class Engine>
class ScopedEngine {
public:
    ScopedEngine() { engine2dOverride(&m_engine); }
    ~ScopedEngine() { engine2dOverride(nullptr); }
    ScopedEngine(const ScopedEngine&) = delete;
    ScopedEngine& operator=(const ScopedEngine&) = delete;

    Engine& Get() { return m_engine; }
    Engine* operator->() { return &m_engine; }

private:
    Engine m_engine;
};

using ScopedFakeEngine = ScopedEngine<FakeEngine>;
