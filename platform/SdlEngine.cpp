// SdlEngine.cpp: the engine's life, states, window and frame loop.
#include "platform/SdlEngine.h"

#include "platform/EnginePrivate.h"
#include "platform/FileSystem.h"
#include "platform/ImageCodec.h"
#include "platform/QuietStderr.h"
#include "platform/SdlKeys.h"
#include "platform/StopSignals.h"
#include "platform/ViewFit.h"

#include <SDL.h>
#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {
SdlEngine* g_pEngine = nullptr;
constexpr float kMaxRealDelta = 0.1f;  // a stall (window dragged, debugger) is not a leap in time
constexpr int kCappedFps = 60;             // without vertical sync
constexpr double kSyncCheckSeconds = 0.25;  // how long frames are counted before judging the sync
constexpr double kSyncTolerance = 1.2;      // frames this much faster than the display: no sync

// SDL's video drivers that draw nowhere anyone can see.
bool IsStandInDriver(const char* name)
{
    return std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0 || std::strcmp(name, "evdev") == 0;
}

#if defined(__SANITIZE_ADDRESS__)
// SDL and the GL drivers unload their libraries on shutdown; the leak checker then cannot name
// the drivers' own leftovers at exit, and no suppression can match them. Keep them loaded.
int PinLibrary(dl_phdr_info* info, std::size_t, void*)
{
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}
void PinLoadedLibraries()
{
    dl_iterate_phdr(&PinLibrary, nullptr);
}
#else
void PinLoadedLibraries() {}
#endif
}  // namespace

IEngine* AcquireSdlEngine()
{
    return SdlEngine::Acquire();
}

IEngine* SdlEngine::Acquire()
{
    if (g_pEngine == nullptr)
        g_pEngine = new SdlEngine();
    ++g_pEngine->m_nRefs;
    return g_pEngine;
}

bool EngineQueueInput(const std::string& script)
{
    return SdlEngine::QueueInput(script);
}

bool SdlEngine::QueueInput(const std::string& script)
{
    SdlEngine* engine = g_pEngine;
    if (engine == nullptr || !engine->m_bInitiated || !engine->m_options.headless)
        return false;
    std::vector<ScriptedInput> added;
    std::string error;
    if (!ParseInputScript(script, added, error)) {
        engine->m_log.Printf("[E] Engine: bad input script, %s", error.c_str());
        return false;
    }
    for (ScriptedInput& in : added)
        in.frame += engine->m_nFrame;
    std::vector<ScriptedInput>& all = engine->m_script;
    all.erase(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(engine->m_nScriptPos));
    engine->m_nScriptPos = 0;
    all.insert(all.end(), added.begin(), added.end());
    std::stable_sort(all.begin(), all.end(),
                     [](const ScriptedInput& x, const ScriptedInput& y) { return x.frame < y.frame; });
    return true;
}

SdlEngine::SdlEngine()
{
    RandomSeed(0);
}

SdlEngine::~SdlEngine()
{
    Shutdown();
}

void SdlEngine::Release()
{
    if (--m_nRefs > 0)
        return;
    if (g_pEngine == this)
        g_pEngine = nullptr;
    delete this;
}

// ---- Life --------------------------------------------------------------------------------------

// The display libraries that SDL tries in turn print their own complaints on stderr (Wayland's
// about XDG_RUNTIME_DIR, say) where no display answers; a start that fails says why in one line.
static bool InitVideoQuietly()
{
    const QuietStderr quiet;
    return SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

bool SdlEngine::InitVideo()
{
    if (m_bVideo)
        return true;
    if (EngineGetOptions().headless) {
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "offscreen", SDL_HINT_OVERRIDE);
    } else {
        SDL_ResetHint(SDL_HINT_VIDEODRIVER);
    }
    // SIGINT and SIGTERM would become a close request, which asks "Are you sure?"; the program's
    // own handlers (StopSignals.h) end it without a question.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (!InitVideoQuietly()) {
        m_log.Printf("[E] Engine: can't start video (%s); --headless needs no display", SDL_GetError());
        return false;
    }
    // Where no display takes a connection, SDL falls back to a driver that shows nothing: the game
    // would run unseen, its window "open", instead of saying it cannot start.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!EngineGetOptions().headless && driver != nullptr && IsStandInDriver(driver)) {
        m_log.Printf("[E] Engine: can't start video (no display to show a window on, only SDL's %s driver); "
                     "--headless needs none", driver);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    m_bVideo = true;
    return true;
}

bool SdlEngine::OpenWindow()
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    Uint32 flags = SDL_WINDOW_OPENGL;
    SDL_Rect place = {static_cast<int>(SDL_WINDOWPOS_CENTERED), static_cast<int>(SDL_WINDOWPOS_CENTERED), m_nScreenWidth,
                      m_nScreenHeight};
    if (m_options.headless) {
        flags |= SDL_WINDOW_HIDDEN;
    } else if (!m_bWindowed) {
        // Without a window manager nobody honours the full-screen request: the window must
        // already cover the display, or SDL takes it for display-sized while it is not.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        SDL_GetDisplayBounds(0, &place);
    }
    m_pWindow = SDL_CreateWindow(m_title.c_str(), place.x, place.y, place.w, place.h, flags);
    if (m_pWindow == nullptr) {
        m_log.Printf("[E] Engine: can't open a %dx%d window (%s)", m_nScreenWidth, m_nScreenHeight, SDL_GetError());
        return false;
    }
    m_pContext = SDL_GL_CreateContext(m_pWindow);
    if (m_pContext == nullptr) {
        m_log.Printf("[E] Engine: can't create an OpenGL context (%s)", SDL_GetError());
        return false;
    }
    SDL_GL_MakeCurrent(m_pWindow, m_pContext);
    SDL_GL_SetSwapInterval(m_options.headless ? 0 : 1);
    WatchSync(!m_options.headless && SDL_GL_GetSwapInterval() == 1);
    if (!m_renderer.Init(m_nScreenWidth, m_nScreenHeight, m_log))
        return false;
    if (!m_options.headless) {
        SDL_ShowCursor(m_bHideMouse ? SDL_DISABLE : SDL_ENABLE);
        (void)m_subBuffer.Attach();  // without it every frame is swapped whole
    }
    m_bBackKept = false;
    m_bPresentDue = true;
    return true;
}

void SdlEngine::CloseWindow()
{
    m_subBuffer.Detach();
    m_bBackKept = false;
    if (m_pContext != nullptr) {
        SDL_GL_MakeCurrent(m_pWindow, m_pContext);
        m_renderer.Shutdown();
        SDL_GL_DeleteContext(m_pContext);
    }
    m_pContext = nullptr;
    if (m_pWindow != nullptr)
        SDL_DestroyWindow(m_pWindow);
    m_pWindow = nullptr;
}

// A script refused here ends the start (Initiate tells why on stderr too).
bool SdlEngine::LoadInputScript()
{
    std::string text, why;
    if (!m_options.inputFile.empty()) {
        if (!ReadInputScriptFile(m_options.inputFile, kMaxInputScriptBytes, text, why))
            return RefuseInputScript("can't read input file " + m_options.inputFile + " (" + why + ")");
        text += "\n";
    }
    text += m_options.inputScript;
    m_script.clear();
    m_nScriptPos = 0;
    if (!ParseInputScript(text, m_script, why))
        return RefuseInputScript("bad input script, " + why);
    return true;
}

bool SdlEngine::RefuseInputScript(const std::string& why)
{
    m_log.Printf("[E] Engine: %s", why.c_str());
    return false;
}

bool SdlEngine::Initiate()
{
    if (m_bInitiated)
        return true;
    m_options = EngineGetOptions();
    if (m_options.headless && !LoadInputScript()) {
        m_log.TellLastErrorOnStderr();
        return false;
    }
    m_renderer.SetDamageTracking(!m_options.fullRedraw);
    if (!InitVideo() || !OpenWindow()) {
        m_log.TellLastErrorOnStderr();
        Shutdown();
        return false;
    }
    m_sound.Open(m_options.headless, m_options.noAudio, m_log);  // no device: muted, not a failure
    PinLoadedLibraries();
    m_bInitiated = true;
    m_time = 0;
    m_fDelta = 0;
    m_nFrame = 0;
    m_bScreenshotTaken = false;
    m_bRunShotFailed = false;
    m_lastCounter = SDL_GetPerformanceCounter();
    return true;
}

void SdlEngine::Shutdown()
{
    m_sound.Close();
    CloseWindow();
    for (SDL_Cursor*& cursor : m_pCursors) {
        if (cursor != nullptr)
            SDL_FreeCursor(cursor);
        cursor = nullptr;
    }
    m_input.Clear();
    if (m_bVideo)
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    m_bVideo = false;
    if (m_bInitiated && SDL_WasInit(0) == 0)
        SDL_Quit();
    m_bInitiated = false;
}

// ---- States ------------------------------------------------------------------------------------

void SdlEngine::SetState(EState state, bool value)
{
    switch (state) {
    case EState::Windowed:
        if (m_bWindowed == value)
            return;
        m_bWindowed = value;
        if (m_pWindow == nullptr || m_options.headless)
            return;
        ApplyWindowed();
        if (m_restoreFunc != nullptr)
            m_restoreFunc();  // as after a display reset: the game rebuilds its targets
        return;
    case EState::Unscaled:
        m_renderer.SetUnscaled(value);
        return;
    case EState::HideMouse:
        m_bHideMouse = value;
        if (m_pWindow != nullptr && !m_options.headless)
            SDL_ShowCursor(value ? SDL_DISABLE : SDL_ENABLE);
        return;
    default:
        return;  // ShowSplash, Loading: nothing to do here
    }
}

void SdlEngine::SetState(EState state, int value)
{
    switch (state) {
    case EState::ScreenWidth:
        if (!m_bInitiated && value > 0)
            m_nScreenWidth = value;
        return;
    case EState::ScreenHeight:
        if (!m_bInitiated && value > 0)
            m_nScreenHeight = value;
        return;
    case EState::ScreenBpp:
        m_nBpp = value == 16 ? 16 : 32;  // accepted; the GL buffers are always 32-bit
        return;
    case EState::Windowed:
    case EState::Unscaled:
    case EState::HideMouse:
        SetState(state, value != 0);
        return;
    default:
        return;  // Icon, Magic: nothing to do here
    }
}

void SdlEngine::SetState(EState state, const char* value)
{
    const std::string text = value != nullptr ? value : "";
    switch (state) {
    case EState::Title:
        m_title = text;
        if (m_pWindow != nullptr)
            SDL_SetWindowTitle(m_pWindow, text.c_str());
        return;
    case EState::IniFile:
        m_ini.SetFile(text);
        return;
    case EState::LogFile:
        m_log.SetFile(text);
        return;
    default:
        return;
    }
}

void SdlEngine::SetState(EState state, EngineCallback value)
{
    switch (state) {
    case EState::FrameFunc:
        m_frameFunc = value;
        return;
    case EState::FocusLostFunc:
        m_focusLostFunc = value;
        return;
    case EState::RestoreFunc:
        m_restoreFunc = value;
        return;
    case EState::ExitFunc:
        m_exitFunc = value;
        return;
    default:
        return;
    }
}

int SdlEngine::GetState(EState state)
{
    switch (state) {
    case EState::ScreenWidth:
        return m_nScreenWidth;
    case EState::ScreenHeight:
        return m_nScreenHeight;
    case EState::ScreenBpp:
        return m_nBpp;
    case EState::Windowed:
        return m_bWindowed ? 1 : 0;
    case EState::HideMouse:
        return m_bHideMouse ? 1 : 0;
    default:
        return 0;
    }
}

void SdlEngine::GetDesktopSize(int& width, int& height, int& bpp)
{
    const EngineOptions& options = m_bInitiated ? m_options : EngineGetOptions();
    width = options.desktopWidth;
    height = options.desktopHeight;
    bpp = 32;
    if (options.headless || !InitVideo())
        return;
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return;
    width = mode.w;
    height = mode.h;
    bpp = SDL_BITSPERPIXEL(mode.format) >= 24 ? 32 : 16;
}

// The full-screen request alone changes SDL's idea of the window's size, not the window: cover the
// display first, so the two agree with or without a window manager.
void SdlEngine::ApplyWindowed()
{
    if (m_bWindowed) {
        SDL_SetWindowFullscreen(m_pWindow, 0);
        SDL_SetWindowSize(m_pWindow, m_nScreenWidth, m_nScreenHeight);
        SDL_SetWindowPosition(m_pWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        return;
    }
    SDL_Rect display;
    const int index = SDL_GetWindowDisplayIndex(m_pWindow);
    if (SDL_GetDisplayBounds(index < 0 ? 0 : index, &display) == 0) {
        SDL_SetWindowPosition(m_pWindow, display.x, display.y);
        SDL_SetWindowSize(m_pWindow, display.w, display.h);
    }
    SDL_SetWindowFullscreen(m_pWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void SdlEngine::MinimizeWindow()
{
    if (m_pWindow != nullptr && !m_options.headless)
        SDL_MinimizeWindow(m_pWindow);
}

void SdlEngine::RestoreWindow()
{
    if (m_pWindow != nullptr && !m_options.headless)
        SDL_RestoreWindow(m_pWindow);
}

bool SdlEngine::IsHeadless() const
{
    return m_bInitiated ? m_options.headless : EngineGetOptions().headless;
}

void SdlEngine::Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    m_log.Write(format, args);
    va_end(args);
}

// ---- Frame loop --------------------------------------------------------------------------------

bool SdlEngine::RunMainLoop()
{
    if (!m_bInitiated || m_frameFunc == nullptr) {
        m_log.Printf("[E] Engine: the main loop needs Initiate and a frame function");
        return false;
    }
    for (;;) {
        const bool done = m_options.headless ? RunHeadlessFrame() : RunWindowFrame();
        if (done)
            break;
    }
    if (m_options.headless && !m_options.screenshotFile.empty() && m_options.screenshotFrame == 0)
        WriteRunShot(m_options.screenshotFile);
    return !m_bRunShotFailed;
}

void SdlEngine::DeliverScript()
{
    using Kind = ScriptedInput::Kind;
    while (m_nScriptPos < m_script.size() && m_script[m_nScriptPos].frame <= m_nFrame) {
        const ScriptedInput& in = m_script[m_nScriptPos++];
        switch (in.kind) {
        case Kind::Move:
            m_input.PushMove(static_cast<float>(in.a), static_cast<float>(in.b));
            break;
        case Kind::Down:
        case Kind::Up:
            m_input.PushButton(in.a, in.kind == Kind::Down);
            break;
        case Kind::KeyDown:
        case Kind::KeyUp:
            m_input.PushKey(in.a, in.kind == Kind::KeyDown, false);
            break;
        case Kind::Char:
            m_input.PushChar(in.a);
            break;
        case Kind::Wheel:
            m_input.PushWheel(in.a);
            break;
        case Kind::Shot:
            m_pendingShots.push_back(in.name);
            break;
        }
    }
}

bool SdlEngine::RunHeadlessFrame()
{
    ++m_nFrame;
    DeliverScript();
    m_fDelta = m_options.dt;
    m_time += m_fDelta;
    CountFps(m_fDelta);
    m_input.BeginFrame(m_time);
    m_nWorkSteps = 0;
    const bool done = m_frameFunc();
    m_input.EndFrame();
    if (!m_options.screenshotFile.empty() && m_nFrame == m_options.screenshotFrame)
        WriteRunShot(m_options.screenshotFile);
    WritePendingShots();
    return done || (m_options.frames > 0 && m_nFrame >= m_options.frames);
}

bool SdlEngine::RunWindowFrame()
{
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
        if (HandleEvent(event))
            return true;
    // A stop signal still needs a frame: the frame function is what ends the program.
    const bool drawsNothing = (SDL_GetWindowFlags(m_pWindow) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
    if (drawsNothing && !CStopSignals::Received()) {
        SDL_WaitEventTimeout(nullptr, 50);  // nothing to draw while minimised or hidden
        m_bPresentDue = true;
        m_lastCounter = SDL_GetPerformanceCounter();
        return false;
    }
    const std::uint64_t now = SDL_GetPerformanceCounter();
    const double seconds = static_cast<double>(now - m_lastCounter) / static_cast<double>(SDL_GetPerformanceFrequency());
    m_lastCounter = now;
    ++m_nFrame;
    m_fDelta = std::min(static_cast<float>(seconds), kMaxRealDelta);
    m_time += m_fDelta;
    CountFps(seconds);
    m_input.BeginFrame(m_time);
    m_frameStart = now;
    m_bPresented = false;
    const bool done = m_frameFunc();
    m_input.EndFrame();
    CheckSync(now);
    if (m_bCapFrames || !m_bPresented)
        WaitForFrameSlot();  // no swap waited for the display
    return done;
}

// Vertical sync is asked for, but virtual displays and some drivers ignore it: then frames would
// follow each other without any wait. Frames counted faster than the display shows them prove
// it, and from then on they are held to a fixed rate.
void SdlEngine::WatchSync(bool swapSynced)
{
    SDL_DisplayMode mode;
    const int index = SDL_GetWindowDisplayIndex(m_pWindow);
    const bool known = SDL_GetCurrentDisplayMode(index < 0 ? 0 : index, &mode) == 0 && mode.refresh_rate > 0;
    m_nRefreshRate = known ? mode.refresh_rate : kCappedFps;
    m_bCapFrames = !swapSynced;
    m_nSyncFrames = 0;
    m_syncWindowStart = SDL_GetPerformanceCounter();
    m_nextFrameAt = 0;
}

void SdlEngine::CheckSync(std::uint64_t now)
{
    if (m_bCapFrames)
        return;
    ++m_nSyncFrames;
    const double seconds = static_cast<double>(now - m_syncWindowStart) / static_cast<double>(SDL_GetPerformanceFrequency());
    if (seconds < kSyncCheckSeconds)
        return;
    m_bCapFrames = m_nSyncFrames / seconds > m_nRefreshRate * kSyncTolerance;
    m_nSyncFrames = 0;
    m_syncWindowStart = now;
}

// Sleeps to the next slot of a fixed schedule, so the rate stays exact though sleeps are coarse;
// a late frame starts the schedule again instead of being made up for.
void SdlEngine::WaitForFrameSlot()
{
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    const std::uint64_t now = SDL_GetPerformanceCounter();
    m_nextFrameAt += frequency / kCappedFps;
    if (m_nextFrameAt <= now) {
        m_nextFrameAt = now;
        return;
    }
    SDL_Delay(static_cast<Uint32>((m_nextFrameAt - now) * 1000 / frequency));
}

bool SdlEngine::FrameTimeLeft(float seconds)
{
    if (m_options.headless)
        return static_cast<float>(m_nWorkSteps++) * kHeadlessWorkStep < seconds;
    const double spent = static_cast<double>(SDL_GetPerformanceCounter() - m_frameStart) /
                         static_cast<double>(SDL_GetPerformanceFrequency());
    return spent < seconds;
}

void SdlEngine::CountFps(double seconds)
{
    ++m_nFpsFrames;
    m_fpsWindow += seconds;
    if (m_fpsWindow < 1.0)
        return;
    m_nFps = static_cast<int>(m_nFpsFrames / m_fpsWindow + 0.5);
    m_nFpsFrames = 0;
    m_fpsWindow = 0;
}

void SdlEngine::PushMouseMove(int windowX, int windowY)
{
    int width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
    SDL_GetWindowSize(m_pWindow, &width, &height);
    SDL_GL_GetDrawableSize(m_pWindow, &drawableWidth, &drawableHeight);
    if (width <= 0 || height <= 0)
        return;
    // The screen shows scaled and centred in the drawable (Present): map the pointer back to it.
    float x = static_cast<float>(windowX) * drawableWidth / width;
    float y = static_cast<float>(windowY) * drawableHeight / height;
    const ViewRect rect = FitView(m_nScreenWidth, m_nScreenHeight, drawableWidth, drawableHeight);
    DrawableToPicture(rect, m_nScreenWidth, m_nScreenHeight, x, y);
    m_input.PushMove(x, y);
}

bool SdlEngine::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_QUIT:
        return m_exitFunc == nullptr || m_exitFunc();
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            m_input.Clear();
            m_bFocusLost = true;
            if (m_focusLostFunc != nullptr)
                m_focusLostFunc();
        } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && m_bFocusLost) {
            m_bFocusLost = false;
            if (m_restoreFunc != nullptr)
                m_restoreFunc();
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED || event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                   event.window.event == SDL_WINDOWEVENT_SHOWN || event.window.event == SDL_WINDOWEVENT_RESTORED) {
            m_bPresentDue = true;
        }
        return false;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        m_input.PushKey(VirtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode),
                        event.type == SDL_KEYDOWN, event.key.repeat != 0);
        return false;
    case SDL_TEXTINPUT:
        for (int chr : CodePointsFromUtf8(event.text.text))
            m_input.PushChar(chr);
        return false;
    case SDL_MOUSEMOTION:
        PushMouseMove(event.motion.x, event.motion.y);
        return false;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        PushMouseMove(event.button.x, event.button.y);
        m_input.PushButton(VirtualKeyFromSdlButton(event.button.button), event.type == SDL_MOUSEBUTTONDOWN);
        return false;
    case SDL_MOUSEWHEEL:
        m_input.PushWheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
        return false;
    default:
        return false;
    }
}

// A frame that changed a small part of the view shows that part alone where the GL library can:
// with a software renderer a swap copies and scales every pixel of the window, for one sparkle.
bool SdlEngine::Present()
{
    if (m_options.headless || m_pWindow == nullptr)
        return false;  // headless: the frame stays in the screen buffer for screenshots
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(m_pWindow, &width, &height);
    if (PresentPart(width, height))
        return false;
    m_renderer.PresentTo(width, height);
    SDL_GL_SwapWindow(m_pWindow);
    m_bBackKept = false;  // a swap leaves the back buffer's content undefined
    m_bPresentDue = false;
    m_nShownWidth = width;
    m_nShownHeight = height;
    return true;
}

// The window shows the last frame, the back buffer holds it too (or is filled again first), and
// only the pixels that show the changed boxes are copied to both.
bool SdlEngine::PresentPart(int drawableWidth, int drawableHeight)
{
    if (m_bPresentDue || !m_subBuffer.IsAttached() || drawableWidth != m_nShownWidth || drawableHeight != m_nShownHeight)
        return false;
    const ViewRect view = FitView(m_nScreenWidth, m_nScreenHeight, drawableWidth, drawableHeight);
    std::vector<ViewRect> boxes;
    long long area = 0;
    for (const PixelRect& damage : m_renderer.PresentDamage().Rects()) {
        const ViewRect box = DrawablePixelsShowing(view, m_nScreenWidth, m_nScreenHeight, damage.x, damage.y, damage.w, damage.h);
        if (box.width > 0 && box.height > 0) {
            boxes.push_back(box);
            area += static_cast<long long>(box.width) * box.height;
        }
    }
    if (area == 0 || area * 2 > static_cast<long long>(view.width) * view.height)
        return false;  // most of the view: a swap costs no more, and keeps to the display's refresh
    m_renderer.PresentTo(drawableWidth, drawableHeight, m_bBackKept ? &boxes : nullptr);
    for (const ViewRect& box : boxes)
        m_subBuffer.Copy(box.x, drawableHeight - box.y - box.height, box.width, box.height);
    m_bBackKept = true;
    return true;
}

void SdlEngine::WritePendingShots()
{
    if (m_pendingShots.empty())
        return;
    const std::filesystem::path folder = std::filesystem::path(m_options.screenshotFile).parent_path();
    for (const std::string& name : m_pendingShots)
        WriteRunShot((folder / (name + ".png")).string());
    m_pendingShots.clear();
}

// A picture the command line asked for is the run's output: whoever started the run is told on
// stderr when it is missing, and the loop ends with false.
void SdlEngine::WriteRunShot(const std::string& hostPath)
{
    std::string why;
    if (WriteScreenshot(hostPath, &why))
        return;
    std::fprintf(stderr, "can't write screenshot %s (%s)\n", hostPath.c_str(), why.c_str());
    m_bRunShotFailed = true;
}

// Written whole or not at all (a full disk leaves no empty picture), never through a link.
bool SdlEngine::WriteScreenshot(const std::string& hostPath, std::string* why)
{
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    std::string reason = "the screen can't be read";
    if (!m_renderer.ReadScreen(pixels, width, height) ||
        !image_codec::WritePng(hostPath, width, height, pixels.data(), &reason)) {
        m_log.Printf("[E] Engine: can't write screenshot %s (%s)", hostPath.c_str(), reason.c_str());
        if (why != nullptr)
            *why = reason;
        return false;
    }
    return true;
}
