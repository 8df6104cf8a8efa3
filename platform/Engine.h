// Engine.h: the 2D engine interface the game draws, plays, reads input and INI values through.
//
// One engine exists per process. `engine2dCreate(kEngineVersion)` returns it and adds a reference;
// every object that uses it takes its own reference that way and gives it back with `Release()`.
// The last release shuts the engine down. A real window runs on SDL2; headless mode (for tests
// and CI) has no window and no audio device and steps a fixed frame time.
//
// Handles are small integers; 0 always means "none". A handle of a freed object is never handed
// out again for another object of the same kind within the process, so a stale handle does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using HTexture = std::uint32_t;
using HTarget = std::uint32_t;
using HEffect = std::uint32_t;
using HStream = std::uint32_t;
using HChannel = std::uint32_t;

constexpr int kEngineVersion = 0x153;
constexpr float kHeadlessWorkStep = 0.0005f;  // seconds one FrameTimeLeft call costs headless

// Blend modes of a quad.
constexpr int kBlendAdd = 0;        // texture x vertex colour, added to the target
constexpr int kBlendDefault = 2;    // texture x vertex colour, alpha-blended
constexpr int kBlendColorAdd = 3;   // texture colour + vertex colour (clamped), alpha = texture a x vertex a

struct EngineVertex {
    float x = 0, y = 0, z = 0.5f;
    std::uint32_t col = 0xFFFFFFFF;  // ARGB
    float tx = 0, ty = 0;
};

// Vertex order: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
struct EngineQuad {
    EngineVertex v[4];
    HTexture tex = 0;
    int blend = kBlendDefault;
};

// Input event types and flags of `EngineInputEvent`.
constexpr int kInputKeyDown = 1;
constexpr int kInputKeyUp = 2;
constexpr int kInputMouseDown = 3;
constexpr int kInputMouseUp = 4;
constexpr int kInputMouseMove = 5;
constexpr int kInputMouseWheel = 6;
constexpr int kInputFlagRepeat = 0x40;  // on a button-down event: the second press of a double click

struct EngineInputEvent {
    int type = 0;
    int key = 0;     // virtual-key code (1 left, 2 right, 4 middle button; keys as on Windows)
    int flags = 0;
    int chr = 0;     // the character typed, 0 when none
    int wheel = 0;
    float x = 0, y = 0;  // mouse position in window pixels at the time of the event
};

// Virtual-key codes the game uses (Windows values).
constexpr int kVkLButton = 1, kVkRButton = 2, kVkMButton = 4, kVkBackspace = 8, kVkTab = 9,
              kVkEnter = 13, kVkShift = 16, kVkCtrl = 17, kVkAlt = 18, kVkEscape = 27,
              kVkSpace = 32, kVkLeft = 37, kVkUp = 38, kVkRight = 39, kVkDown = 40,
              kVkDelete = 46, kVkF1 = 112;

using EngineCallback = bool (*)();

// System states. The numbers are the ids the game was written against.
enum class EState : int {
    FrameFunc = 1,       // callback: once per frame; true ends the loop
    FocusLostFunc = 2,   // callback
    RestoreFunc = 3,     // callback: focus regained, render targets were recreated
    ExitFunc = 4,        // callback: the window's close request; true closes at once
    Icon = 6,            // int
    Title = 7,           // string
    ScreenWidth = 8,     // int, also read back
    ScreenHeight = 9,    // int, also read back
    ScreenBpp = 10,      // int: 16 or 32
    Windowed = 11,       // bool
    Unscaled = 13,       // bool: this frame draws without the view scale
    Magic = 14,          // int
    ShowSplash = 18,     // bool
    Loading = 24,        // bool: true until loading is done
    HideMouse = 25,      // bool: hide the system cursor
    IniFile = 15,        // string: the current INI file (a game path)
    LogFile = 16,        // string: the log file (a game path)
};

class IEngine {
public:
    // ---- Life ------------------------------------------------------------------------------
    virtual bool Initiate() = 0;                // after the states are set; opens the window
                                                // (false where no display can show it)
    virtual bool RunMainLoop() = 0;             // calls the frame function until it returns true;
                                                // false also when a --screenshot could not be written
    virtual void Shutdown() = 0;
    virtual void Release() = 0;                 // gives back one reference

    // ---- System states ---------------------------------------------------------------------
    virtual void SetState(EState state, bool value) = 0;
    virtual void SetState(EState state, int value) = 0;
    virtual void SetState(EState state, const char* value) = 0;
    virtual void SetState(EState state, EngineCallback value) = 0;
    virtual int GetState(EState state) = 0;     // ScreenWidth, ScreenHeight, Windowed, ScreenBpp
    virtual void GetDesktopSize(int& width, int& height, int& bpp) = 0;
    virtual void MinimizeWindow() = 0;
    virtual void RestoreWindow() = 0;
    virtual bool IsHeadless() const = 0;

    // ---- Log -------------------------------------------------------------------------------
    virtual void Log(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;

    // ---- INI of the current file (names without case; a missing key gives the default) -----
    virtual void IniSetInt(const char* section, const char* key, int value) = 0;
    virtual void IniSetString(const char* section, const char* key, const char* value) = 0;
    virtual int IniGetInt(const char* section, const char* key, int def) = 0;
    virtual float IniGetFloat(const char* section, const char* key, float def) = 0;
    virtual std::string IniGetString(const char* section, const char* key, const char* def) = 0;

    // ---- Random and time -------------------------------------------------------------------
    virtual void RandomSeed(std::uint32_t seed) = 0;
    virtual int RandomInt(int min, int max) = 0;           // both bounds included
    virtual float RandomFloat(float min, float max) = 0;
    virtual float GetDelta() = 0;                          // seconds of this frame
    virtual float GetTime() = 0;                           // seconds since Initiate
    virtual int GetFPS() = 0;
    // Work spread over frames (loading) asks this before each step: true while the current frame
    // has spent less than `seconds` since its frame function began. Headless runs read no clock:
    // there each call counts as kHeadlessWorkStep, so they pace the same on every run.
    virtual bool FrameTimeLeft(float seconds) = 0;

    // ---- Sound: volume 0..100, pan -100..100 ----------------------------------------------
    virtual HEffect EffectLoad(const char* path) = 0;
    virtual void EffectFree(HEffect effect) = 0;
    virtual HChannel EffectPlay(HEffect effect, int volume = 100, int pan = 0, float pitch = 1.0f,
                                bool loop = false) = 0;
    virtual HStream StreamLoad(const char* path) = 0;
    virtual void StreamFree(HStream stream) = 0;
    virtual HChannel StreamPlay(HStream stream, bool loop, int volume = 100) = 0;
    virtual void ChannelSetVolume(HChannel channel, int volume) = 0;
    virtual void ChannelSetPanning(HChannel channel, int pan) = 0;
    virtual void ChannelPause(HChannel channel) = 0;
    virtual void ChannelResume(HChannel channel) = 0;
    virtual void ChannelStop(HChannel channel) = 0;
    virtual void ChannelPauseAll() = 0;
    virtual void ChannelResumeAll() = 0;
    virtual bool ChannelIsPlaying(HChannel channel) = 0;

    // ---- Input -----------------------------------------------------------------------------
    virtual bool KeyState(int vk) = 0;                     // key or mouse button held
    virtual int GetKey() = 0;                              // key pressed this frame, 0 none
    virtual int GetChar() = 0;                             // character typed this frame, 0 none
    virtual void GetMousePos(float& x, float& y) = 0;      // window pixels
    virtual bool GetInputEvent(EngineInputEvent& event) = 0;  // false when the queue is empty
    virtual void SetSystemCursor(int shape) = 0;           // 0 arrow, 1 hand

    // ---- Drawing ---------------------------------------------------------------------------
    virtual bool BeginScene(HTarget target = 0) = 0;       // 0: the screen
    virtual void EndScene() = 0;
    virtual void Clear(std::uint32_t color) = 0;
    // Moves by (x, y) about the centre (dx, dy), turns by rotation and scales; all 0 resets.
    virtual void SetTransform(float x = 0, float y = 0, float dx = 0, float dy = 0, float rotation = 0,
                              float hscale = 0, float vscale = 0) = 0;
    virtual void RenderQuad(const EngineQuad& quad) = 0;
    virtual void SetClipping(int x = 0, int y = 0, int w = 0, int h = 0) = 0;  // all 0 resets
    virtual void SetClampAddressing() = 0;                 // texture addressing clamps at the edges

    // ---- Render targets and textures -------------------------------------------------------
    virtual HTarget TargetCreate(int width, int height, bool zbuffer) = 0;
    virtual void TargetFree(HTarget target) = 0;
    virtual HTexture TargetGetTexture(HTarget target) = 0;
    virtual HTexture TextureCreate(int width, int height) = 0;
    virtual HTexture TextureLoad(const char* path) = 0;    // PNG, JPEG, TGA (by content)
    virtual HTexture TextureLoadFromMemory(const std::uint8_t* data, std::size_t size) = 0;
    virtual void TextureFree(HTexture texture) = 0;
    virtual int TextureGetWidth(HTexture texture) = 0;
    virtual int TextureGetHeight(HTexture texture) = 0;
    // Pixels as 32-bit ARGB; the pointer is to (x, y), rows are the texture's width apart.
    // A rectangle of all 0 locks the whole texture. Null when the texture or rectangle is bad.
    virtual std::uint32_t* TextureLock(HTexture texture, bool readOnly = true, int x = 0, int y = 0,
                                       int w = 0, int h = 0) = 0;
    virtual void TextureUnlock(HTexture texture) = 0;
    virtual bool SaveScreenshot(const char* hostPath) = 0;  // the last presented frame, as PNG

    // ---- Resources -------------------------------------------------------------------------
    virtual bool ResourceLoad(const char* path, std::vector<std::uint8_t>& out) = 0;

protected:
    virtual ~IEngine() = default;
};

// Returns the engine with one more reference, or null for any other interface version.
IEngine* engine2dCreate(int version);

// Reads the engine's command-line options (--headless, --frames N, --dt S, --input FILE,
// --screenshot FILE, --screenshot-frame N, --root DIR, --full-redraw) and removes them from argv.
// Returns false and prints the reason on a malformed option.
bool EngineParseCommandLine(int& argc, char** argv);
// Before anything is read or written: the input script is a readable file, the screenshot's
// folder takes files, the root is a folder. False after one line on stderr naming the file.
bool EngineCheckFileOptions();
// Those options, one line each, for a program's usage text.
const char* EngineCommandLineUsage();

// Tests: while set, engine2dCreate returns this engine (its Release is the test's business).
void engine2dOverride(IEngine* engine);

// How the next engine to be initiated runs. EngineParseCommandLine fills this from argv; tests
// set it directly. Takes effect at Initiate, so it must be set before that.
struct EngineOptions {
    bool headless = false;         // offscreen video, dummy audio, fixed frame time
    int frames = 0;                // headless: stop after this many frames; 0 = no limit
    float dt = 1.0f / 60.0f;       // headless: the frame time in seconds
    std::string inputFile;         // headless: host path of an input script (format below)
    std::string inputScript;       // headless: the script's text itself, added after inputFile's
    std::string screenshotFile;    // host path of a PNG of the chosen frame; empty = none
    int screenshotFrame = 0;       // 1-based frame to capture; 0 = the last frame run
    int desktopWidth = 1024;       // headless: what GetDesktopSize reports
    int desktopHeight = 768;
    bool noAudio = false;          // act as if there were no audio device (sound is muted)
    bool fullRedraw = false;       // draw every scene whole, as given: no skipped or partly drawn frames
};
// An input script is read whole before the first frame; far more than any recorded run needs.
constexpr std::size_t kMaxInputScriptBytes = 16u << 20;
// Input script: one event per line, "<frame> <event> <args>", frames counted from 1; the event
// is delivered before that frame's frame function. '#' starts a comment; blank lines are skipped.
//   <frame> move X Y        mouse to window pixel (X, Y)
//   <frame> down BUTTON     BUTTON: 1 left, 2 right, 4 middle (virtual-key codes)
//   <frame> up BUTTON
//   <frame> keydown VK      VK: a virtual-key code, e.g. 13 Enter, 27 Escape, 65 'A'
//   <frame> keyup VK
//   <frame> char C          C: the character typed, a single character or a decimal code ('#'
//                           starts a comment here too: the character '#' is "char 35")
//   <frame> wheel N         mouse wheel notches (positive: away from the user)
//   <frame> shot NAME       after that frame, a PNG "NAME.png" beside the --screenshot file (or
//                           in the working folder); NAME: letters, digits, '_' and '-'
void EngineSetOptions(const EngineOptions& options);
const EngineOptions& EngineGetOptions();
// Tests: adds input to the running headless engine, in the script format above, with frame
// numbers counted from the next frame to run (1 = the next frame). False on a bad script, or
// when no headless engine is initiated.
bool EngineQueueInput(const std::string& script);

// Tests: every log line (without its newline) also goes to this hook; null removes it.
using EngineLogHook = void (*)(const char* line, void* user);
void EngineSetLogHook(EngineLogHook hook, void* user);
