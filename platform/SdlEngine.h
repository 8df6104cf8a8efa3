// SdlEngine.h: the engine on SDL2 and OpenGL; one instance per process (see EngineInstance.cpp).
//
// It owns the window and GL context, and delegates drawing to GlRenderer, sound to SoundMixer,
// input to InputState, the INI file to IniStore and the log to EngineLog. In headless mode the
// window is SDL's offscreen one (EGL, no display), audio is SDL's dummy driver, the frame time is
// fixed and input comes from a script. The loop and window live in SdlEngine.cpp; the thin calls
// that forward to the parts live in SdlEngineCalls.cpp.
#pragma once

#include "platform/Engine.h"
#include "platform/EngineLog.h"
#include "platform/GlRenderer.h"
#include "platform/GlxSubBuffer.h"
#include "platform/IniStore.h"
#include "platform/InputScript.h"
#include "platform/InputState.h"
#include "platform/SoundMixer.h"

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Cursor;
union SDL_Event;

class SdlEngine final : public IEngine {
public:
    static IEngine* Acquire();
    static bool QueueInput(const std::string& script);

    bool Initiate() override;
    bool RunMainLoop() override;
    void Shutdown() override;
    void Release() override;

    void SetState(EState state, bool value) override;
    void SetState(EState state, int value) override;
    void SetState(EState state, const char* value) override;
    void SetState(EState state, EngineCallback value) override;
    int GetState(EState state) override;
    void GetDesktopSize(int& width, int& height, int& bpp) override;
    void MinimizeWindow() override;
    void RestoreWindow() override;
    bool IsHeadless() const override;

    void Log(const char* format, ...) override __attribute__((format(printf, 2, 3)));

    void IniSetInt(const char* section, const char* key, int value) override;
    void IniSetString(const char* section, const char* key, const char* value) override;
    int IniGetInt(const char* section, const char* key, int def) override;
    float IniGetFloat(const char* section, const char* key, float def) override;
    std::string IniGetString(const char* section, const char* key, const char* def) override;

    void RandomSeed(std::uint32_t seed) override;
    int RandomInt(int min, int max) override;
    float RandomFloat(float min, float max) override;
    float GetDelta() override { return m_fDelta; }
    float GetTime() override { return static_cast<float>(m_time); }
    int GetFPS() override { return m_nFps; }
    bool FrameTimeLeft(float seconds) override;

    HEffect EffectLoad(const char* path) override;
    void EffectFree(HEffect effect) override;
    HChannel EffectPlay(HEffect effect, int volume, int pan, float pitch, bool loop) override;
    HStream StreamLoad(const char* path) override;
    void StreamFree(HStream stream) override;
    HChannel StreamPlay(HStream stream, bool loop, int volume) override;
    void ChannelSetVolume(HChannel channel, int volume) override;
    void ChannelSetPanning(HChannel channel, int pan) override;
    void ChannelPause(HChannel channel) override;
    void ChannelResume(HChannel channel) override;
    void ChannelStop(HChannel channel) override;
    void ChannelPauseAll() override;
    void ChannelResumeAll() override;
    bool ChannelIsPlaying(HChannel channel) override;

    bool KeyState(int vk) override;
    int GetKey() override;
    int GetChar() override;
    void GetMousePos(float& x, float& y) override;
    bool GetInputEvent(EngineInputEvent& event) override;
    void SetSystemCursor(int shape) override;

    bool BeginScene(HTarget target) override;
    void EndScene() override;
    void Clear(std::uint32_t color) override;
    void SetTransform(float x, float y, float dx, float dy, float rotation, float hscale, float vscale) override;
    void RenderQuad(const EngineQuad& quad) override;
    void SetClipping(int x, int y, int w, int h) override;
    void SetClampAddressing() override;

    HTarget TargetCreate(int width, int height, bool zbuffer) override;
    void TargetFree(HTarget target) override;
    HTexture TargetGetTexture(HTarget target) override;
    HTexture TextureCreate(int width, int height) override;
    HTexture TextureLoad(const char* path) override;
    HTexture TextureLoadFromMemory(const std::uint8_t* data, std::size_t size) override;
    void TextureFree(HTexture texture) override;
    int TextureGetWidth(HTexture texture) override;
    int TextureGetHeight(HTexture texture) override;
    std::uint32_t* TextureLock(HTexture texture, bool readOnly, int x, int y, int w, int h) override;
    void TextureUnlock(HTexture texture) override;
    bool SaveScreenshot(const char* hostPath) override;

    bool ResourceLoad(const char* path, std::vector<std::uint8_t>& out) override;

private:
    SdlEngine();
    ~SdlEngine() override;

    bool InitVideo();
    bool OpenWindow();
    bool LoadInputScript();
    bool RefuseInputScript(const std::string& why);  // logs it; false
    void CloseWindow();
    void ApplyWindowed();
    bool RunHeadlessFrame();   // true: the loop ends
    bool RunWindowFrame();
    bool HandleEvent(const SDL_Event& event);  // true: the loop ends
    void PushMouseMove(int windowX, int windowY);
    void DeliverScript();
    bool Present();            // true: swapped, which may have waited for the display
    bool PresentPart(int drawableWidth, int drawableHeight);
    void CountFps(double seconds);
    void WatchSync(bool swapSynced);
    void CheckSync(std::uint64_t now);
    void WaitForFrameSlot();
    bool WriteScreenshot(const std::string& hostPath, std::string* why = nullptr);
    void WritePendingShots();  // the script's shots of this frame
    void WriteRunShot(const std::string& hostPath);

    int m_nRefs = 0;
    bool m_bInitiated = false;
    bool m_bVideo = false;
    EngineOptions m_options;

    EngineCallback m_frameFunc = nullptr;
    EngineCallback m_focusLostFunc = nullptr;
    EngineCallback m_restoreFunc = nullptr;
    EngineCallback m_exitFunc = nullptr;
    std::string m_title = "Palmora";
    int m_nScreenWidth = 800;
    int m_nScreenHeight = 600;
    int m_nBpp = 32;
    bool m_bWindowed = true;
    bool m_bHideMouse = false;
    bool m_bFocusLost = false;
    bool m_bPresentDue = true;         // the window lost its picture (exposed, resized): present
    bool m_bPresented = false;         // swapped in this frame
    bool m_bBackKept = false;          // the back buffer holds the last frame shown (no swap since)
    int m_nShownWidth = 0, m_nShownHeight = 0;  // the drawable's size at the last swap

    EngineLog m_log;
    IniStore m_ini;
    InputState m_input;
    SoundMixer m_sound;
    GlRenderer m_renderer;
    GlxSubBuffer m_subBuffer;

    SDL_Window* m_pWindow = nullptr;
    void* m_pContext = nullptr;
    SDL_Cursor* m_pCursors[2] = {nullptr, nullptr};

    std::uint64_t m_random = 0;
    float m_fDelta = 0;
    double m_time = 0;
    std::uint64_t m_lastCounter = 0;
    std::uint64_t m_frameStart = 0;    // when the frame function was called (window)
    int m_nWorkSteps = 0;              // FrameTimeLeft calls of this frame (headless)
    int m_nFps = 0;
    int m_nFpsFrames = 0;
    double m_fpsWindow = 0;

    bool m_bCapFrames = false;         // vertical sync is not in effect: frames wait for their slot
    int m_nRefreshRate = 60;
    int m_nSyncFrames = 0;
    std::uint64_t m_syncWindowStart = 0;
    std::uint64_t m_nextFrameAt = 0;

    int m_nFrame = 0;                  // frames run since Initiate, counted from 1
    std::vector<ScriptedInput> m_script;
    std::size_t m_nScriptPos = 0;
    std::vector<std::string> m_pendingShots;
    bool m_bScreenshotTaken = false;
    bool m_bRunShotFailed = false;     // a screenshot of the command line's could not be written
};
