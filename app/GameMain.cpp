// GameMain.cpp: creates the global services one after another, runs the engine's loop and
// tears them down again. One struct owns them; the globals (Globals.h) point into it.
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
#include "platform/StopSignals.h"
#include "progress/CHiScoreTable.h"
#include "progress/CProfileStore.h"
#include "progress/StoreFile.h"
#include "progress/StoreNotices.h"

#include <cassert>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kIconId = 104;

constexpr const char* kConfigFile = "config.ini";

// `configFile` is empty where the configuration is left as it is: reads then give the defaults
// and writes go nowhere.
void SetEngineStates(IEngine& engine, const char* configFile)
{
    engine.SetState(EState::LogFile, "Palmora.log");
    engine.SetState(EState::FrameFunc, &FrameFunc);
    engine.SetState(EState::ExitFunc, &ExitFunc);
    engine.SetState(EState::RestoreFunc, &RestoreFunc);
    engine.SetState(EState::FocusLostFunc, &FocusLostFunc);
    engine.SetState(EState::Title, kGameTitle);
    engine.SetState(EState::Icon, kIconId);
    engine.SetState(EState::IniFile, configFile);
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

constexpr int kBadCommandLine = 2;

void PrintUsage()
{
    std::printf("Usage: solitaire [options]\n%s  --help                   show this text and end\n",
                EngineCommandLineUsage());
}

// A malformed command line is said in its line, and where to look for the right one.
void PointToHelp()
{
    std::fprintf(stderr, "Try 'solitaire --help'\n");
}

// False when the program ends here: --help (code 0), or a malformed command line (code 2).
// Nothing has been read or written yet.
bool ReadCommandLine(int& argc, char** argv, int& exitCode)
{
    if (!EngineParseCommandLine(argc, argv)) {  // it printed the line
        PointToHelp();
        exitCode = kBadCommandLine;
        return false;
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            PrintUsage();
            exitCode = 0;
            return false;
        }
    }
    if (argc > 1) {
        std::fprintf(stderr, "unknown option %s\n", argv[1]);
        PointToHelp();
        exitCode = kBadCommandLine;
        return false;
    }
    return true;
}

// Lines the player stores and the file layer log before the engine has opened the log wait for
// it, and are written on every way out of start-up.
class CHeldStoreLog {
public:
    CHeldStoreLog()
    {
        store_notices::HoldLog();
        fs_layer::SetNoticeLog([](const char* line) { store_notices::Log("%s", line); });
    }
    ~CHeldStoreLog()
    {
        fs_layer::SetNoticeLog(nullptr);
        store_notices::ReleaseLog();
    }
    CHeldStoreLog(const CHeldStoreLog&) = delete;
    CHeldStoreLog& operator=(const CHeldStoreLog&) = delete;
};

// A second start ends at once; it says so, and where the running game's lock is.
void ReportLockNotTaken(const CSingleInstance& instance)
{
    if (instance.IsHeldElsewhere())
        std::fprintf(stderr, "%s is already running (its lock is %s)\n", kGameTitle, instance.GetPath().c_str());
    else
        std::fprintf(stderr, "%s can't take its lock %s (%s)\n", kGameTitle, instance.GetPath().c_str(),
                     instance.GetReason().c_str());
}

// Takes the lock, or says why not. A file system without locks does not keep the player out:
// the game runs, and the warning goes to stderr now and to the log once it is open.
bool TakeLock(CSingleInstance& instance, std::vector<std::string>& warnings)
{
    if (!instance.Acquire()) {
        ReportLockNotTaken(instance);
        return false;
    }
    if (instance.ReplacedLink())
        warnings.push_back("[W] A link stood at " + instance.GetPath() + "; it was removed and the lock file made there");
    switch (instance.GetResult()) {
    case ELockResult::kNoLocking:
        warnings.push_back("[W] Can't lock " + instance.GetPath() + " (" + instance.GetReason() +
                           "); a second copy of the game will not be kept out");
        break;
    case ELockResult::kNoFolder:
        warnings.push_back("[W] No folder of this user's own holds the window's lock (" + instance.GetReason() +
                           "); a second window of the game will not be kept out");
        break;
    default:
        return true;
    }
    std::fprintf(stderr, "%s\n", warnings.back().c_str());
    return true;
}

// What makes a folder a data folder: the resource script (or its cache) or the level file. A
// folder without them would only be littered with a log, a configuration and a data folder.
bool HoldsGameData()
{
    return fs_layer::FileExists("effects/effects.as") || fs_layer::FileExists("effects/effects.bc") ||
           fs_layer::FileExists("sol_max.ini");
}

// The configuration is the game's own file, so a link at its name is not read: it may lead to a
// file of this user's that the next write would copy into the folder. Nor is a second name that
// someone else may have given to a file of hers. Either may be hers (a backup kept as a hard
// link), so it is left as it is, the player is told, and this run keeps its settings in memory.
bool KeepConfigAside()
{
    std::vector<std::uint8_t> bytes;
    std::string why;
    // Room for no byte: only whether the name is taken as the player's is asked here.
    if (fs_layer::ReadWithoutLink(kConfigFile, bytes, 0, &why) != host_files::ERead::kLink)
        return false;
    store_notices::NotRead(kConfigFile, why);
    return true;
}

// False when the conversion was abandoned: the program then ends without showing anything.
bool RunFirstRunConversion(IEngine& engine, bool configKept)
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
    if (configKept)
        return true;  // converted again at the next start
    if (fs_layer::IsReadOnly(kConfigFile))
        fs_layer::SetWritable(kConfigFile);
    engine.IniSetInt("System", "cnv", 0);
    return true;
}

// Owns one service and publishes it through its global (Globals.h) while it lives. There is
// one of each, so the global is empty when the service is made and still holds it at the end.
template <typename T>
class CGlobalService {
public:
    explicit CGlobalService(T*& global) : m_rGlobal(global) {}
    CGlobalService(const CGlobalService&) = delete;
    CGlobalService& operator=(const CGlobalService&) = delete;
    ~CGlobalService()
    {
        assert(m_rGlobal == m_pOwned);
        delete m_pOwned;
        m_rGlobal = nullptr;
    }

    template <typename... Args>
    T& Create(Args&&... args)
    {
        assert(m_rGlobal == nullptr && m_pOwned == nullptr);
        m_pOwned = new T(std::forward<Args>(args)...);
        m_rGlobal = m_pOwned;
        return *m_pOwned;
    }

private:
    T*& m_rGlobal;
    T* m_pOwned = nullptr;
};

// The teardown of a service that is not a plain owned object (a singleton, a counted object,
// the display): it runs when the step goes, once the service was started.
class CTeardownStep {
public:
    explicit CTeardownStep(void (*step)()) : m_step(step) {}
    CTeardownStep(const CTeardownStep&) = delete;
    CTeardownStep& operator=(const CTeardownStep&) = delete;
    ~CTeardownStep()
    {
        if (m_bArmed)
            m_step();
    }
    void Arm() { m_bArmed = true; }

private:
    void (*m_step)();
    bool m_bArmed = false;
};

void ReleaseShellEngine()
{
    GetShell().pEngine.reset();
}

void SayFarewell()
{
    if (IEngine* engine = GetShell().pEngine.get())
        engine->MinimizeWindow();
    TraceEvent(GetGameTime());
    GetShell().bInitialised = false;
}

// Everything start-up makes, owned in one place. C++ destroys members from the last to the
// first, so the list read upwards is the teardown order, on every way out of start-up: the mouse
// first; the screens before the resource manager that their releases may still use; the player
// store and then the high-score table (both save) after every screen, so that a result still
// shown at the end is recorded, and recorded as any win is, progress first; then the sound, the
// window and start-up's engine reference, which everything above may still log through.
struct GameServices {
    CTeardownStep engine{&ReleaseShellEngine};
    CTeardownStep display{&ShutdownDisplay};
    CTeardownStep farewell{&SayFarewell};
    CTeardownStep sound{&CSoundManager::Destroy};
    CGlobalService<CIniFile> logicIni{g_pLogicIni};
    CGlobalService<CHiScoreTable> hiScoreTable{g_pHiScoreTable};
    CGlobalService<CProfileStore> profileStore{g_pProfileStore};
    CTeardownStep resources{&ShellDeleteResources};
    CGlobalService<CScreenManager> screenManager{g_pScreenManager};
    CTeardownStep mouse{&ShellDeleteMouse};
};

enum class EStart {
    kGoOn,
    kStopped,  // a stop signal came while the resource script loaded (a long compile is left for it)
    kFailed,   // no resources at all: the script is missing or does not compile; stderr says why
};

// A stop signal ends the start there, as the exit does, with nothing more loaded. A start without
// resources could only show a black window: it ends as a folder without a script does.
EStart CreateServices(IEngine& engine, GameServices& services)
{
    engine.Log("COMPILE DATE: %s", "Jun 20 2006");
    CScreenManager& screens = services.screenManager.Create();
    services.resources.Arm();
    if (!ShellCreateResources(g_pProfileStore->m_bHighDetail != 0))
        engine.Log("[E] file effects/effects.as not loaded");
    if (CStopSignals::Received())
        return EStart::kStopped;
    const std::string failure = ShellResourceFailure();
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());  // the log has it already
        return EStart::kFailed;
    }
    services.hiScoreTable.Create();
    if (!ShellLoadModule("loading"))
        engine.Log("[E] module 'loading' not loaded");
    screens.SwitchTo(ShellCreateLoadingScreen(), true, true);
    ShellLoadModule("cursor");
    ShellSetupCursor(g_pProfileStore->m_bSoftwareCursor != 0);
    services.sound.Arm();
    CSoundManager::GetInstance();
    ShellSetSoundVolume(g_pProfileStore->m_current.m_nEffectVolume);
    services.farewell.Arm();
    GetShell().bInitialised = true;
    services.logicIni.Create("Logic.ini");
    return EStart::kGoOn;
}

// From the player store to the end of the loop; the services go when this returns.
int RunGame(const std::vector<std::string>& lockWarnings)
{
    ResetShell();
    g_bExitRequested = false;
    store_notices::Clear();
    CHeldStoreLog heldLog;
    GameServices services;
    services.engine.Arm();

    store_file::CheckDataFolder();
    services.profileStore.Create().ApplyPendingDisplayChanges();
    services.mouse.Arm();
    ShellCreateMouse();

    GetShell().pEngine.reset(engine2dCreate(kEngineVersion));
    IEngine* engine = GetShell().pEngine.get();
    if (engine == nullptr) {
        std::fprintf(stderr, "%s can't start: no engine of interface version 0x%x\n", kGameTitle, kEngineVersion);
        return 1;
    }
    ReadDesktop(*engine);
    fs_layer::RemoveLeftovers("config.ini.tmp.*");  // of a run killed while it wrote the configuration
    const bool configKept = KeepConfigAside();
    SetEngineStates(*engine, configKept ? "" : kConfigFile);
    for (const std::string& warning : lockWarnings)
        engine->Log("%s", warning.c_str());
    if (!host_files::ProcFdsUsable())
        engine->Log("[W] /proc is not mounted: files in folders that others may change are not opened, as a "
                    "name there may lead to another file by the time it is opened");
    store_notices::ReleaseLog();
    if (!RunFirstRunConversion(*engine, configKept))
        return 0;
    TraceEvent(GetGameTime());
    services.display.Arm();
    if (!SetupDisplay())
        return 1;
    ShellUpdateMouseScreenSize();
    switch (CreateServices(*engine, services)) {
    case EStart::kStopped:
        return 0;
    case EStart::kFailed:
        return 1;
    case EStart::kGoOn:
        break;
    }

    return engine->RunMainLoop() ? 0 : 1;  // false: a screenshot asked for is missing (it said so)
}

}  // namespace

int GameMain(int argc, char** argv)
{
    int exitCode = 0;
    if (!ReadCommandLine(argc, argv, exitCode))
        return exitCode;
    if (!EngineCheckFileOptions())  // it printed the line
        return kBadCommandLine;
    if (!HoldsGameData()) {
        std::fprintf(stderr, "folder %s holds no game data (no effects/effects.as or sol_max.ini)\n",
                     fs_layer::GetRootFolder().c_str());
        return 1;
    }
    CStopSignals stopSignals;
    // One window per user, and one game per data folder, windowed or headless: two runs on one
    // folder would overwrite each other's saves.
    std::vector<std::string> lockWarnings;
    std::optional<CSingleInstance> window;  // only a window takes it: its folder may have to be made
    if (!EngineGetOptions().headless && !TakeLock(window.emplace(kGameTitle), lockWarnings))
        return 1;
    CSingleInstance folder(kGameTitle, fs_layer::GetRootFolder());
    if (!TakeLock(folder, lockWarnings))
        return 1;
    return RunGame(lockWarnings);  // the locks outlive every service
}
