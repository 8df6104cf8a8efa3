// Shell.cpp: what runs every frame, on window events and when the display is set up.
#include "app/Shell.h"

#include "app/CRenderStates.h"
#include "app/CScreenBase.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "app/ShellServices.h"
#include "framework/CSprite.h"
#include "framework/TraceEvent.h"
#include "platform/StopSignals.h"
#include "progress/CProfileStore.h"
#include "progress/StoreNotices.h"

#include <cassert>

namespace {

constexpr int kViewWidth = 800;
constexpr int kViewHeight = 600;
constexpr std::size_t kTypedKeysKept = 8;

ShellState g_shell;

bool IsMouseButton(int key)
{
    return key == kVkLButton || key == kVkRButton || key == kVkMButton;
}

int CurrentPlayerIndex()
{
    return g_pProfileStore != nullptr ? g_pProfileStore->m_nCurrentIndex : 0;
}

void ReportKey(int key, int pressed)
{
    if (IsMouseButton(key)) {
        float x = 0, y = 0;
        ShellGetCursorPos(x, y);
        TraceEvent(GetGameTime(), CurrentPlayerIndex(), key, pressed, static_cast<int>(x), static_cast<int>(y));
        return;
    }
    if (g_bReportAllKeys || key == kVkEscape || key == kVkEnter)
        TraceEvent(GetGameTime(), CurrentPlayerIndex(), key, pressed);
}

int ColourDepth(int choice, int desktopBpp)
{
    if (choice == 1)
        return 32;
    if (choice == 2 && desktopBpp == 32)
        return 32;
    return 16;
}

bool IsOpen(const CScreenBase* window)
{
    for (CScreenBase* screen = g_pScreenManager->GetCurrent(); screen != nullptr; screen = screen->GetChild()) {
        if (screen == window)
            return true;
    }
    return false;
}

void RunExitFlow()
{
    if (CStopSignals::Received()) {
        g_bExitRequested = true;  // as the question's yes, without asking: nobody may be there
        return;
    }
    if (!g_bMenuReached)
        return;  // before the menu, a close request ends the loop at once
    if (g_bExitRequested && !g_shell.bExitDialogShown) {
        CScreenBase* dialog = ShellCreateExitDialog();
        if (dialog == nullptr || g_pScreenManager == nullptr)
            return;  // nobody can ask: leave at once
        g_shell.bExitDialogShown = true;
        g_pScreenManager->ShowPopup(dialog, false, true);
    }
    if (g_shell.bExitDialogShown) {
        const int answer = ShellGetDialogAnswer();
        if (answer != -1)
            g_shell.bExitDialogShown = false;
        g_bExitRequested = answer == 0;
    }
}

}  // namespace

ShellState& GetShell()
{
    return g_shell;
}

void ResetShell()
{
    // What draws with the engine goes before the engine reference does.
    g_shell.pTargetSprite.reset();
    g_shell.target.Reset();
    g_shell.pRenderStates.reset();
    g_shell = ShellState();
}

bool FrameFunc()
{
    assert(g_shell.pEngine != nullptr);  // the engine runs the loop that calls this
    IEngine* engine = g_shell.pEngine.get();
    const float dt = engine->GetDelta();
    UpdateGameClock(dt);

    CheckCheatCode();
    HandleAltEnter();
    ShellUpdateMouse(dt);
    TrackKeys();
    if (g_pScreenManager != nullptr)
        g_pScreenManager->Update(dt);
    ShowSaveProblem(dt);
    if (CSoundManager::Exists())
        CSoundManager::GetInstance()->UpdateFade(dt);

    engine->BeginScene(g_shell.target.Get());
    if (g_shell.scaleX == 1.0f)
        engine->SetState(EState::Unscaled, true);
    else
        engine->SetTransform();
    if (g_pScreenManager != nullptr)
        g_pScreenManager->Render();
    ShellRenderMouse();
    UpdateCheatMessage(dt);
    engine->EndScene();

    engine->BeginScene(0);
    if (g_shell.scaleX == 1.0f)
        engine->SetState(EState::Unscaled, false);
    else
        engine->SetTransform(0, 0, 0, 0, 0, g_shell.scaleX, g_shell.scaleY);
    if (g_shell.pTargetSprite != nullptr)
        g_shell.pTargetSprite->Render(0, 0);
    engine->EndScene();

    RunExitFlow();
    return g_bExitRequested;
}

// One window at a time, over whatever is on top, once the menu has stood and the top-level screen
// has stood for a moment (a window over a screen that has not built itself yet would stop it
// before its first picture); a notice waits in its queue until then.
void ShowSaveProblem(float dt)
{
    constexpr float kSettleSeconds = 0.5f;
    if (g_pScreenManager == nullptr)
        return;
    const CScreenBase* current = g_pScreenManager->GetCurrent();
    if (current != g_shell.pSettledScreen || g_pScreenManager->GetPhase() != CScreenManager::kIdle) {
        g_shell.pSettledScreen = current;
        g_shell.settledTime = 0.0f;
        return;
    }
    g_shell.settledTime += dt;
    if (!g_bMenuReached || current == nullptr || g_shell.bExitDialogShown || g_shell.settledTime < kSettleSeconds)
        return;
    if (g_shell.pSaveProblemWindow != nullptr && IsOpen(g_shell.pSaveProblemWindow))
        return;
    g_shell.pSaveProblemWindow = nullptr;
    store_notices::Notice notice;
    if (!store_notices::TakeNotice(notice))
        return;
    CScreenBase* window = ShellCreateSaveProblemWindow(notice);
    if (window == nullptr)
        return;  // the log, stderr and the next save's retry remain
    g_shell.pSaveProblemWindow = window;
    g_pScreenManager->ShowPopup(window, false, true);
}

void UpdateCheatMessage(float dt)
{
    if (g_shell.cheatTimer == 0.0f)
        return;
    g_shell.cheatTimer -= dt;
    const float timer = g_shell.cheatTimer;
    int alpha = 0;
    if (timer < 0.0f) {
        g_shell.cheatTimer = 0.0f;
        alpha = 0;
    } else if (timer >= 4.0f) {
        alpha = static_cast<int>((5.0f - timer) * 255.0f);
    } else if (timer >= 1.0f) {
        alpha = 255;
    } else {
        alpha = static_cast<int>(timer * 255.0f);
    }
    g_shell.cheatColour = (static_cast<std::uint32_t>(alpha) << 24) + 0xFFFFFFu;
    ShellDrawCheatMessage(g_shell.cheatMessage, g_shell.cheatColour);
}

bool ExitFunc()
{
    if (g_shell.pEngine != nullptr)
        g_shell.pEngine->RestoreWindow();
    g_bExitRequested = true;
    return false;
}

bool FocusLostFunc()
{
    if (!g_shell.bModeSwitchGuard && g_shell.bInitialised && CSoundManager::Exists())
        CSoundManager::GetInstance()->PauseAll();
    return false;
}

bool RestoreFunc()
{
    if (g_shell.pRenderStates != nullptr)
        g_shell.pRenderStates->SetClampAddressing();
    IEngine* engine = g_shell.pEngine.get();
    if (engine != nullptr) {
        g_shell.target.Reset();
        g_shell.target = CTargetOwner(engine, engine->TargetCreate(kViewWidth, kViewHeight, false));
        if (g_shell.pTargetSprite != nullptr)
            g_shell.pTargetSprite->SetTexture(engine->TargetGetTexture(g_shell.target.Get()));
    }
    if (!g_shell.bModeSwitchGuard && g_shell.bInitialised && CSoundManager::Exists())
        CSoundManager::GetInstance()->ResumeAll();
    return false;
}

void ApplyWindowMode()
{
    if (g_pProfileStore == nullptr || g_shell.pEngine == nullptr || g_pProfileStore->m_bFitToDesktop)
        return;
    g_shell.bModeSwitchGuard = true;
    g_shell.pEngine->SetState(EState::Windowed, g_pProfileStore->m_bFullScreen == 0);
    g_shell.bModeSwitchGuard = false;
}

bool SetupDisplay()
{
    assert(g_shell.pEngine != nullptr);  // start-up sets the display up on its own reference
    IEngine* engine = g_shell.pEngine.get();
    const bool fit = g_pProfileStore != nullptr && g_pProfileStore->m_bFitToDesktop;
    if (fit) {
        g_shell.scaleX = static_cast<float>(g_shell.desktopWidth) / kViewWidth;
        g_shell.scaleY = static_cast<float>(g_shell.desktopHeight) / kViewHeight;
        engine->SetState(EState::ScreenWidth, g_shell.desktopWidth);
        engine->SetState(EState::ScreenHeight, g_shell.desktopHeight);
        engine->SetState(EState::Windowed, false);
    } else {
        g_shell.scaleX = 1.0f;
        g_shell.scaleY = 1.0f;
        engine->SetState(EState::ScreenWidth, kViewWidth);
        engine->SetState(EState::ScreenHeight, kViewHeight);
        engine->SetState(EState::Windowed, g_pProfileStore == nullptr || g_pProfileStore->m_bFullScreen == 0);
    }
    const int depth = ColourDepth(engine->IniGetInt("System", "32bits", 0), g_shell.desktopBpp);

    ApplyWindowMode();
    engine->SetState(EState::ScreenBpp, depth);
    engine->SetState(EState::HideMouse, false);
    engine->SetState(EState::Magic, 0xFACE0FF);
    engine->SetState(EState::ShowSplash, true);
    if (!engine->Initiate()) {
        engine->Log("[Fatal Error] Can't initiate the engine");
        return false;
    }
    if (g_shell.scaleX != 1.0f)
        engine->SetTransform(0, 0, 0, 0, 0, g_shell.scaleX, g_shell.scaleY);
    g_shell.target = CTargetOwner(engine, engine->TargetCreate(kViewWidth, kViewHeight, false));
    g_shell.pTargetSprite = std::make_unique<CSprite>(engine->TargetGetTexture(g_shell.target.Get()), 0.0f, 0.0f,
                                                      static_cast<float>(kViewWidth), static_cast<float>(kViewHeight));
    g_shell.pRenderStates = std::make_unique<CRenderStates>();
    g_shell.pRenderStates->SetClampAddressing();
    return true;
}

void ShutdownDisplay()
{
    g_shell.pTargetSprite.reset();
    g_shell.target.Reset();
    g_shell.pRenderStates.reset();
    if (g_shell.pEngine != nullptr)
        g_shell.pEngine->Shutdown();
    g_shell.pEngine.reset();
}

void HandleAltEnter()
{
    IEngine* engine = g_shell.pEngine.get();
    if (engine == nullptr || g_pProfileStore == nullptr)
        return;
    if (!engine->KeyState(kVkAlt) || engine->GetKey() != kVkEnter)
        return;
    if (g_pProfileStore->m_bFitToDesktop || !g_bModeSwitchAllowed)
        return;
    g_pProfileStore->m_bFullScreen = g_pProfileStore->m_bFullScreen ? 0 : 1;
    ApplyWindowMode();
}

void CheckCheatCode()
{
    const int key = g_shell.pEngine != nullptr ? g_shell.pEngine->GetKey() : 0;
    if (key == 0)
        return;
    if (g_shell.typedKeys.size() >= kTypedKeysKept)
        g_shell.typedKeys.erase(0, 1);
    g_shell.typedKeys.push_back(static_cast<char>(key));
    if (g_shell.typedKeys != kCheatCode)
        return;
    g_shell.cheatTimer = 5.0f;
    g_bCheatMode = !g_bCheatMode;
    g_shell.cheatMessage = g_bCheatMode ? "Cheat Mode Enabled" : "Cheat Mode Disabled";
}

void TrackKeys()
{
    IEngine* engine = g_shell.pEngine.get();
    if (engine == nullptr)
        return;
    const int key = engine->GetKey();
    bool isNew = true;
    std::vector<int>& held = g_shell.heldKeys;
    for (auto it = held.begin(); it != held.end();) {
        if (*it == key)
            isNew = false;
        if (engine->KeyState(*it)) {
            ++it;
            continue;
        }
        ReportKey(*it, 0);
        it = held.erase(it);
    }
    if (key == 0 || !isNew)
        return;
    ReportKey(key, 1);
    held.push_back(key);
}
