// GameMain.cpp: creates the global services one after another, runs the engine's loop and
// deletes them again. There is no application object: the services are globals (Globals.h).
#include "app/GameMain.h"

#include "app/CIniFile.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "app/Shell.h"
#include "app/ShellServices.h"
#include "framework/TraceEvent.h"
#include "platform/Engine.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "screens/CHiScoreTable.h"
#include "screens/CProfileStore.h"

#include <cstdio>

namespace {

constexpr int kIconId = 104;

void SetEngineStates(IEngine& engine)
{
    engine.SetState(EState::LogFile, "Palmora.log");
    engine.SetState(EState::FrameFunc, &FrameFunc);
    engine.SetState(EState::ExitFunc, &ExitFunc);
    engine.SetState(EState::RestoreFunc, &RestoreFunc);
    engine.SetState(EState::FocusLostFunc, &FocusLostFunc);
    engine.SetState(EState::Title, kGameTitle);
    engine.SetState(EState::Icon, kIconId);
    engine.SetState(EState::IniFile, "config.ini");
    engine.SetState(EState::Loading, true);
}

void ReadDesktop(IEngine& engine)
{
    ShellState& shell = GetShell();
    engine.GetDesktopSize(shell.desktopWidth, shell.desktopHeight, shell.desktopBpp);
    if (shell.desktopWidth < 801 && shell.desktopHeight < 601) {
        g_bModeSwitchAllowed = false;
        g_pProfileStore->ForceFullScreenOnly();
    }
}

// A second start ends at once; it says so, and where the running game's lock is.
void ReportLockNotTaken(const CSingleInstance& instance)
{
    if (instance.IsHeldElsewhere())
        std::fprintf(stderr, "%s is already running (its lock is %s)\n", kGameTitle, instance.GetPath().c_str());
    else
        std::fprintf(stderr, "%s can't take its lock %s\n", kGameTitle, instance.GetPath().c_str());
}

// False when the conversion was abandoned: the program then ends without showing anything.
bool RunFirstRunConversion(IEngine& engine)
{
    if (engine.IniGetInt("System", "cnv", 1) != 1)
        return true;
    switch (ShellRunFirstRunConversion()) {
    case ConversionResult::Aborted:
        return false;
    case ConversionResult::Unavailable:
        return true;  // "cnv" stays 1, so the conversion runs once it exists
    case ConversionResult::Done:
        break;
    }
    if (fs_layer::IsReadOnly("config.ini"))
        fs_layer::SetWritable("config.ini");
    engine.IniSetInt("System", "cnv", 0);
    return true;
}

void CreateServices(IEngine& engine)
{
    engine.Log("COMPILE DATE: %s", "Jun 20 2006");
    g_pScreenManager = new CScreenManager();
    if (!ShellCreateResources(g_pProfileStore->m_bHighDetail != 0))
        engine.Log("[E] file effects/effects.as not loaded");
    g_pHiScoreTable = new CHiScoreTable();
    if (!ShellLoadModule("loading"))
        engine.Log("[E] module 'loading' not loaded");
    g_pScreenManager->SwitchTo(ShellCreateLoadingScreen(), true, true);
    ShellLoadModule("cursor");
    ShellSetupCursor(g_pProfileStore->m_bSoftwareCursor != 0);
    CSoundManager::GetInstance();
    ShellSetSoundVolume(g_pProfileStore->m_current.m_nEffectVolume);
    GetShell().bInitialised = true;
    g_pLogicIni = new CIniFile("Logic.ini");
}

// The screen manager goes before the resource manager: screens may still need it when released.
void DeleteServices(IEngine& engine)
{
    ShellDeleteMouse();
    delete g_pHiScoreTable;
    g_pHiScoreTable = nullptr;
    delete g_pScreenManager;
    g_pScreenManager = nullptr;
    ShellDeleteResources();
    delete g_pProfileStore;
    g_pProfileStore = nullptr;
    delete g_pLogicIni;
    g_pLogicIni = nullptr;
    CSoundManager::Destroy();
    engine.MinimizeWindow();
    TraceEvent(GetGameTime());
    GetShell().bInitialised = false;
}

// Teardown when the program ends before the display exists.
void AbandonStartUp()
{
    ShellDeleteMouse();
    delete g_pProfileStore;
    g_pProfileStore = nullptr;
    IEngine* engine = GetShell().pEngine;
    GetShell().pEngine = nullptr;
    if (engine != nullptr)
        engine->Release();
}

}  // namespace

int GameMain(int argc, char** argv)
{
    if (!EngineParseCommandLine(argc, argv))
        return 1;
    CSingleInstance instance(kGameTitle);
    if (!instance.Acquire()) {
        ReportLockNotTaken(instance);
        return 1;
    }
    ResetShell();
    g_bExitRequested = false;

    g_pProfileStore = new CProfileStore();
    g_pProfileStore->ApplyPendingDisplayChanges();
    ShellCreateMouse();

    IEngine* engine = engine2dCreate(kEngineVersion);
    if (engine == nullptr) {
        AbandonStartUp();
        return 1;
    }
    GetShell().pEngine = engine;
    ReadDesktop(*engine);
    SetEngineStates(*engine);
    if (!RunFirstRunConversion(*engine)) {
        AbandonStartUp();
        return 0;
    }
    TraceEvent(GetGameTime());
    if (!SetupDisplay()) {
        ShutdownDisplay();
        AbandonStartUp();
        return 1;
    }
    ShellUpdateMouseScreenSize();
    CreateServices(*engine);

    engine->RunMainLoop();

    DeleteServices(*engine);
    ShutdownDisplay();
    instance.Release();
    return 0;
}
