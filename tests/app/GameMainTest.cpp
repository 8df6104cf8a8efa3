// GameMainTest.cpp: whole runs of start-up, loop and teardown, on the in-memory engine (to look
// inside frames) and on the real engine started headless.
#include "app/GameMain.h"

#include "TestScreens.h"
#include "app/CScreenBase.h"
#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "app/Shell.h"
#include "platform/FileSystem.h"
#include "platform/SingleInstance.h"
#include "progress/CProfileStore.h"
#include "solvers/FakeEngine.h"
#include "support/FileReplaceWatch.h"
#include "support/TempPath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

// A data folder without levels or pictures: a resource script that declares empty modules (a
// start without any ends there) and a level file.
void MakeBareDataFolder(const std::filesystem::path& root)
{
    std::filesystem::create_directories(root / "effects");
    std::ofstream(root / "effects" / "effects.as")
        << "void LoadAnimations(CFResource@ res) { res.CreateModule(\"loading\"); res.CreateModule(\"cursor\"); }\n";
    std::ofstream(root / "sol_max.ini");
}

// The in-memory engine, with a hook that runs before each frame of the loop.
class HookedEngine : public FakeEngine {
public:
    bool RunMainLoop() override
    {
        EngineCallback frame = Callback(EState::FrameFunc);
        framesRun = 0;
        while (frame != nullptr && framesRun < mainLoopFrames) {
            time += delta;
            if (beforeFrame)
                beforeFrame(framesRun);
            ++framesRun;
            if (frame())
                break;
        }
        return true;
    }

    std::function<void(int)> beforeFrame;
    int framesRun = 0;
};

class GameMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A name of this process's own: other trees run the same test at the same time.
        m_root = UniqueTempPath("palmora-main-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "data");
        std::filesystem::create_directories(m_root / "run");
        MakeBareDataFolder(m_root);
        fs_layer::SetRootFolder(m_root.string());
        ::setenv("XDG_RUNTIME_DIR", (m_root / "run").c_str(), 1);
        g_bMenuReached = false;
        g_bCheatMode = false;
        engine2dOverride(&m_engine);
        m_engine.delta = 1.0f / 60.0f;
    }

    void TearDown() override
    {
        engine2dOverride(nullptr);
        std::error_code error;
        std::filesystem::remove_all(m_root, error);
    }

    int Run()
    {
        char name[] = "solitaire";
        char* argv[] = {name, nullptr};
        return GameMain(1, argv);
    }

    HookedEngine m_engine;
    std::filesystem::path m_root;
};

}  // namespace

TEST_F(GameMainTest, StartsReachesTheMainMenuAndTearsDown)
{
    // The loading screen comes first (here with nothing to load) and hands over after its fades
    // to the factory's main menu, here a plain screen.
    ScreenLog log;
    CScreenFactory::Override menu(EScreenKind::MainMenu, [&log](int) { return new TestScreen(log, "MainMenu"); });
    m_engine.mainLoopFrames = 150;
    std::ofstream(m_root / "data" / ".write-test.tmp.4242.7");  // what a run killed in the start's write test leaves
    std::string screenName;
    int phase = 0;
    m_engine.beforeFrame = [&](int frame) {
        if (frame != 149)
            return;
        screenName = g_pScreenManager->GetCurrent()->GetName();
        phase = g_pScreenManager->GetPhase();
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_engine.framesRun, 150);
    EXPECT_EQ(screenName, "MainMenu");
    EXPECT_EQ(phase, CScreenManager::kIdle);
    EXPECT_EQ(m_engine.StringState(EState::Title), "Palmora");
    EXPECT_EQ(m_engine.StringState(EState::LogFile), "Palmora.log");
    EXPECT_TRUE(m_engine.HasLogLine("COMPILE DATE: Jun 20 2006"));
    EXPECT_TRUE(m_engine.shutDown);
    EXPECT_TRUE(m_engine.minimized);
    EXPECT_EQ(g_pProfileStore, nullptr);
    EXPECT_EQ(g_pScreenManager, nullptr);
    EXPECT_EQ(g_pHiScoreTable, nullptr);
    EXPECT_EQ(g_pLogicIni, nullptr);
    EXPECT_FALSE(CSoundManager::Exists());
    EXPECT_TRUE(std::filesystem::exists(m_root / "data" / "hiscores.dat"));
    EXPECT_FALSE(std::filesystem::exists(m_root / "data" / "save.dat"));  // only the default player
    EXPECT_FALSE(std::filesystem::exists(m_root / "data" / ".write-test.tmp.4242.7")) << "the leftover is removed";
}

// A result still shown when the game ends is recorded by its screen's release: the stores are
// still there then, and teardown saves the progress before the high scores, as a win does.
TEST_F(GameMainTest, TeardownReleasesTheScreensWhileTheStoresTakeResultsAndSavesProgressFirst)
{
    {
        CProfileStore store;
        store.NewPlayer("Ann", true);
    }
    static bool storesThere = false;  // a local class may use it
    struct ResultScreen : TestScreen {
        using TestScreen::TestScreen;
        void Release() override
        {
            storesThere = g_pProfileStore != nullptr && g_pHiScoreTable != nullptr;
            TestScreen::Release();
        }
    };
    ScreenLog log;
    CScreenFactory::Override menu(EScreenKind::MainMenu, [&](int) { return new ResultScreen(log, "Result"); });
    FileReplaceWatch saves((m_root / "data").string());
    ASSERT_TRUE(saves.IsWatching());
    m_engine.mainLoopFrames = 150;
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(storesThere) << "the result screen is released while the stores are there";
    // The script's first compile makes the folder's key at the start; the saves come at the end.
    EXPECT_EQ(saves.Replaced(), (std::vector<std::string>{"cache.key", "save.dat", "hiscores.dat"}));
}

TEST_F(GameMainTest, ASecondStartExitsWithOneAndChangesNothing)
{
    CSingleInstance first(kGameTitle);
    ASSERT_TRUE(first.Acquire());
    m_engine.mainLoopFrames = 5;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "Palmora is already running (its lock is " + (m_root / "run" / "Palmora.lock").string() + ")\n");
    EXPECT_EQ(m_engine.framesRun, 0);
    EXPECT_TRUE(std::filesystem::is_empty(m_root / "data"));
    first.Release();
    EXPECT_EQ(Run(), 0);  // once the first one is gone the game starts

    // A link pointing nowhere at the lock's name: the lock file is made in its place, not where it points.
    const std::filesystem::path lock = m_root / "Palmora.lock";
    std::filesystem::remove(lock);
    std::filesystem::create_symlink(m_root / "made-by-the-lock", lock);
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_root / "made-by-the-lock"));
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(lock)));
}

TEST_F(GameMainTest, ClosingTheWindowBeforeTheMenuEndsTheLoopAtOnce)
{
    m_engine.mainLoopFrames = 100;
    m_engine.beforeFrame = [](int frame) {
        if (frame == 10)
            ExitFunc();
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_engine.framesRun, 11);
}

TEST_F(GameMainTest, AltEnterTogglesTheSavedFullScreenFlagOnALargeDesktop)
{
    {
        CProfileStore store;
        store.NewPlayer("Ann", true);  // a saved player, so teardown writes the settings
    }
    m_engine.mainLoopFrames = 10;
    m_engine.beforeFrame = [this](int frame) {
        m_engine.heldKeys = {kVkAlt};
        m_engine.frameKey = frame == 4 ? kVkEnter : 0;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(m_engine.GetState(EState::Windowed), 1);
    CProfileStore store;
    EXPECT_EQ(store.m_bFullScreen, 0);
}

TEST_F(GameMainTest, ASmallDesktopForcesFullScreenAndIgnoresAltEnter)
{
    {
        CProfileStore store;
        store.NewPlayer("Ann", true);
        store.m_bFullScreen = 0;
        store.m_bFitToDesktop = 1;
    }
    m_engine.desktopWidth = 800;
    m_engine.desktopHeight = 600;
    m_engine.mainLoopFrames = 10;
    m_engine.beforeFrame = [this](int frame) {
        m_engine.heldKeys = {kVkAlt};
        m_engine.frameKey = frame == 4 ? kVkEnter : 0;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(g_bModeSwitchAllowed);
    EXPECT_EQ(m_engine.GetState(EState::Windowed), 0);
    EXPECT_EQ(m_engine.GetState(EState::ScreenWidth), 800);
    CProfileStore store;
    EXPECT_EQ(store.m_bFullScreen, 1);
    EXPECT_EQ(store.m_bFitToDesktop, 0);
    g_bModeSwitchAllowed = true;
}

TEST_F(GameMainTest, ADesktopOnlyTallerThanTheViewKeepsFittingAndDrawsUnscaled)
{
    {
        CProfileStore store;
        store.NewPlayer("Ann", true);
        store.m_bFitToDesktop = 1;
    }
    m_engine.desktopWidth = 800;
    m_engine.desktopHeight = 768;
    m_engine.mainLoopFrames = 3;
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(g_bModeSwitchAllowed);
    EXPECT_EQ(m_engine.GetState(EState::ScreenHeight), 768);
    EXPECT_EQ(m_engine.GetState(EState::Windowed), 0);
    // A horizontal scale of exactly 1 draws the view unscaled, whatever the vertical one.
    for (const auto& transform : m_engine.transforms) {
        EXPECT_FLOAT_EQ(transform.hscale, 0.0f);
        EXPECT_FLOAT_EQ(transform.vscale, 0.0f);
    }
    CProfileStore store;
    EXPECT_EQ(store.m_bFitToDesktop, 1);
}

TEST_F(GameMainTest, CheatCodeTypedDuringPlayTogglesCheatMode)
{
    const std::string code = "BRISKORN";
    m_engine.mainLoopFrames = 20;
    float timer = 0;
    m_engine.beforeFrame = [&](int frame) {
        m_engine.frameKey = frame < 8 ? code[static_cast<std::size_t>(frame)] : 0;
        if (frame == 19)
            timer = GetShell().cheatTimer;
    };
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(g_bCheatMode);
    EXPECT_NEAR(timer, 5.0f - 12.0f / 60.0f, 1e-4f);  // counting down since the frame it was typed
}

TEST_F(GameMainTest, AMissingCnvCountsAsPendingAndTheConversionClearsIt)
{
    const std::filesystem::path config = m_root / "config.ini";
    std::ofstream(config) << "[System]\r\n";
    std::filesystem::permissions(config, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    m_engine.mainLoopFrames = 2;
    EXPECT_EQ(Run(), 0);
    const std::string* cnv = m_engine.GetIni("config.ini", "System", "cnv");
    ASSERT_NE(cnv, nullptr);
    EXPECT_EQ(*cnv, "0");
    EXPECT_FALSE(fs_layer::IsReadOnly("config.ini"));
}

TEST_F(GameMainTest, ADoneConversionIsNotRunAgain)
{
    // The conversion deletes a mask without its colour image; here it must survive.
    std::filesystem::create_directories(m_root / "gfx" / "effects");
    std::ofstream(m_root / "gfx" / "effects" / "spark.gif") << "GIF89a";
    m_engine.SetIni("config.ini", "System", "cnv", "0");
    m_engine.mainLoopFrames = 2;
    EXPECT_EQ(Run(), 0);
    EXPECT_TRUE(std::filesystem::exists(m_root / "gfx" / "effects" / "spark.gif"));
    m_engine.SetIni("config.ini", "System", "cnv", "1");
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(std::filesystem::exists(m_root / "gfx" / "effects" / "spark.gif"));
}

// The player store loads before the engine opens its log: what it finds there (a damaged save)
// still reaches the log.
TEST(GameMainHeadless, RunsOnTheRealEngineForAFixedNumberOfFramesAndLogsWhatTheStoreFoundBefore)
{
    const std::filesystem::path root = std::filesystem::path(UniqueTempPath("palmora-main-headless"));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "run");
    std::filesystem::create_directories(root / "data");
    {
        std::ofstream config(root / "config.ini");
        config << "[System]\r\ncnv=0\r\n32bits=1\r\n";
        std::ofstream(root / "data" / "save.dat", std::ios::binary) << std::string("\x1d\x01\0\0short", 9);  // 285, cut off
    }
    MakeBareDataFolder(root);
    ::setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    const std::string rootArg = root.string();
    std::vector<std::string> args = {"solitaire", "--headless", "--frames", "45", "--root", rootArg};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    EXPECT_EQ(GameMain(static_cast<int>(args.size()), argv.data()), 0);
    std::ifstream log(root / "Palmora.log");
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("COMPILE DATE: Jun 20 2006"), std::string::npos) << text;
    EXPECT_NE(text.find("[W] File data\\save.dat is damaged, kept as data\\save.dat.bad.1; defaults used\n"),
              std::string::npos)
        << text;
    EXPECT_TRUE(std::filesystem::exists(root / "data" / "save.dat.bad.1"));
    EXPECT_TRUE(std::filesystem::exists(root / "data" / "hiscores.dat"));
    std::error_code error;
    std::filesystem::remove_all(root, error);
}
