// ShellTest.cpp: the frame function's parts: cheat code and its message, Alt+Enter, key
// tracking, the exit flow, display scaling and the focus callbacks.
#include "app/Shell.h"

#include "TestScreens.h"
#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "platform/FileSystem.h"
#include "progress/CProfileStore.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = std::filesystem::temp_directory_path() /
                 ("palmora-shell-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(m_root);
        fs_layer::SetRootFolder(m_root.string());
        ResetShell();
        GetShell().pEngine.reset(&m_fake.Get());
        GetShell().desktopWidth = 1024;
        GetShell().desktopHeight = 768;
        g_pProfileStore = new CProfileStore();
        g_bCheatMode = false;
        g_bExitRequested = false;
        g_bMenuReached = false;
        g_bModeSwitchAllowed = true;
    }

    void TearDown() override
    {
        CSoundManager::Destroy();
        delete g_pScreenManager;
        g_pScreenManager = nullptr;
        delete g_pProfileStore;
        g_pProfileStore = nullptr;
        ResetShell();
        std::error_code error;
        std::filesystem::remove_all(m_root, error);
    }

    void Type(const std::string& keys)
    {
        for (char c : keys) {
            m_fake->frameKey = static_cast<unsigned char>(c);
            CheckCheatCode();
        }
        m_fake->frameKey = 0;
    }

    ScopedFakeEngine m_fake;
    std::filesystem::path m_root;
};

}  // namespace

TEST_F(ShellTest, CheatCodeTogglesCheatModeWhateverWasTypedBefore)
{
    Type("XYBRISKORN");
    EXPECT_TRUE(g_bCheatMode);
    EXPECT_EQ(GetShell().cheatMessage, "Cheat Mode Enabled");
    EXPECT_FLOAT_EQ(GetShell().cheatTimer, 5.0f);
    Type("BRISKORN");
    EXPECT_FALSE(g_bCheatMode);
    EXPECT_EQ(GetShell().cheatMessage, "Cheat Mode Disabled");
    Type("briskorn");  // letter case matters
    EXPECT_FALSE(g_bCheatMode);
    EXPECT_EQ(GetShell().typedKeys, "briskorn");
}

TEST_F(ShellTest, CheatMessageFadesInStaysThreeSecondsAndFadesOut)
{
    GetShell().cheatTimer = 5.0f;
    // Quarter-second steps: the timer reads 4.75, 4.5, ... 0.25, 0.
    const int alphas[] = {63, 127, 191, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                          191, 127, 63, 0};
    for (std::size_t i = 0; i < std::size(alphas); ++i) {
        SCOPED_TRACE(i);
        UpdateCheatMessage(0.25f);
        EXPECT_EQ(GetShell().cheatColour, (static_cast<std::uint32_t>(alphas[i]) << 24) + 0xFFFFFFu);
    }
    EXPECT_EQ(GetShell().cheatTimer, 0.0f);
    GetShell().cheatColour = 1;
    UpdateCheatMessage(0.25f);  // no timer, no message
    EXPECT_EQ(GetShell().cheatColour, 1u);
}

TEST_F(ShellTest, AltEnterTogglesFullScreenOnlyWhereSwitchingIsAllowed)
{
    struct Case {
        const char* name;
        bool fit;
        bool allowed;
        bool toggles;
    };
    const Case cases[] = {
        {"plain", false, true, true},
        {"fitted to the desktop", true, true, false},
        {"small desktop", false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_pProfileStore->m_bFullScreen = 1;
        g_pProfileStore->m_bFitToDesktop = c.fit ? 1 : 0;
        g_bModeSwitchAllowed = c.allowed;
        m_fake->heldKeys = {kVkAlt};
        m_fake->frameKey = kVkEnter;
        HandleAltEnter();
        EXPECT_EQ(g_pProfileStore->m_bFullScreen, c.toggles ? 0 : 1);
        if (c.toggles) {
            EXPECT_EQ(m_fake->GetState(EState::Windowed), 1);
        }
        EXPECT_FALSE(GetShell().bModeSwitchGuard);
    }
    g_bModeSwitchAllowed = true;
    g_pProfileStore->m_bFitToDesktop = 0;
    m_fake->heldKeys.clear();  // Enter without Alt
    HandleAltEnter();
    EXPECT_EQ(g_pProfileStore->m_bFullScreen, 1);
}

TEST_F(ShellTest, TrackKeysKeepsEachHeldKeyOnceAndDropsReleasedOnes)
{
    m_fake->frameKey = 'A';
    m_fake->heldKeys = {'A'};
    TrackKeys();
    TrackKeys();  // the same key again is not new
    EXPECT_EQ(GetShell().heldKeys, (std::vector<int>{'A'}));
    m_fake->frameKey = kVkLButton;
    m_fake->heldKeys = {'A', kVkLButton};
    TrackKeys();
    EXPECT_EQ(GetShell().heldKeys, (std::vector<int>{'A', kVkLButton}));
    m_fake->frameKey = 0;
    m_fake->heldKeys = {kVkLButton};
    TrackKeys();
    EXPECT_EQ(GetShell().heldKeys, (std::vector<int>{kVkLButton}));
}

TEST_F(ShellTest, CloseRequestBeforeTheMenuEndsTheLoopInTheSameFrame)
{
    ASSERT_TRUE(SetupDisplay());
    EXPECT_FALSE(FrameFunc());
    m_fake->minimized = true;
    EXPECT_FALSE(ExitFunc());
    EXPECT_FALSE(m_fake->minimized);  // the window is shown again
    EXPECT_TRUE(FrameFunc());
}

TEST_F(ShellTest, CloseRequestAfterTheMenuAsksTheFactorysQuestionAndEndsOnlyOnYes)
{
    ASSERT_TRUE(SetupDisplay());
    ScreenLog log;
    TestPopup* question = nullptr;
    CScreenFactory::Override ask(EScreenKind::ExitQuestion, [&](int) {
        g_nConfirmationAnswer = -1;  // as every question does when it is made
        return question = new TestPopup(log, "question");
    });
    g_pScreenManager = new CScreenManager();
    g_pScreenManager->SwitchTo(new TestScreen(log, "menu"), true, true);
    g_bMenuReached = true;
    for (int i = 0; i < 60; ++i)
        FrameFunc();  // the menu has faded in

    // "No": the request is dropped and the game goes on.
    ExitFunc();
    EXPECT_FALSE(FrameFunc());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(g_pScreenManager->GetCurrent()->GetChild(), question);
    EXPECT_FALSE(FrameFunc());  // waiting for the answer
    g_nConfirmationAnswer = 1;
    question->Close();
    EXPECT_FALSE(FrameFunc());
    EXPECT_FALSE(g_bExitRequested);

    // The close box again, and "yes" ends the loop.
    ExitFunc();
    EXPECT_FALSE(FrameFunc());
    g_nConfirmationAnswer = 0;
    question->Close();
    EXPECT_TRUE(FrameFunc());
}

TEST_F(ShellTest, CloseRequestAfterTheMenuWithoutAQuestionEndsAtOnce)
{
    ASSERT_TRUE(SetupDisplay());
    CScreenFactory::Override none(EScreenKind::ExitQuestion, {});
    g_pScreenManager = new CScreenManager();
    g_bMenuReached = true;
    ExitFunc();
    EXPECT_TRUE(FrameFunc());
    EXPECT_TRUE(m_fake->HasLogLine("[E] screen ExitQuestion can't be made"));
}

TEST_F(ShellTest, UnscaledViewDrawsWithoutTransformsAndAScaledOneScalesTheTarget)
{
    ASSERT_TRUE(SetupDisplay());
    EXPECT_FLOAT_EQ(GetShell().scaleX, 1.0f);
    EXPECT_EQ(m_fake->GetState(EState::ScreenWidth), 800);
    m_fake->transforms.clear();
    FrameFunc();
    EXPECT_TRUE(m_fake->transforms.empty());
    EXPECT_EQ(m_fake->scenes, (std::vector<HTarget>{GetShell().target.Get(), 0}));
    ASSERT_EQ(m_fake->quads.size(), 1u);  // the view, drawn onto the screen
    EXPECT_EQ(m_fake->quads[0].tex, m_fake->TargetGetTexture(GetShell().target.Get()));

    ShutdownDisplay();
    GetShell().pEngine.reset(&m_fake.Get());
    g_pProfileStore->m_bFitToDesktop = 1;
    ASSERT_TRUE(SetupDisplay());
    EXPECT_FLOAT_EQ(GetShell().scaleX, 1024.0f / 800.0f);
    EXPECT_FLOAT_EQ(GetShell().scaleY, 768.0f / 600.0f);
    EXPECT_EQ(m_fake->GetState(EState::ScreenWidth), 1024);
    EXPECT_EQ(m_fake->GetState(EState::Windowed), 0);
    m_fake->transforms.clear();
    FrameFunc();
    ASSERT_EQ(m_fake->transforms.size(), 2u);
    EXPECT_FLOAT_EQ(m_fake->transforms[0].hscale, 0.0f);  // the view itself is drawn unscaled
    EXPECT_FLOAT_EQ(m_fake->transforms[1].hscale, 1024.0f / 800.0f);
    EXPECT_FLOAT_EQ(m_fake->transforms[1].vscale, 768.0f / 600.0f);
}

TEST_F(ShellTest, ColourDepthFollowsTheConfigChoice)
{
    struct Case {
        const char* value;
        int desktopBpp;
        int depth;
    };
    const Case cases[] = {{"0", 32, 16}, {"1", 16, 32}, {"2", 32, 32}, {"2", 16, 16}, {"7", 32, 16}, {nullptr, 32, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value != nullptr ? c.value : "missing");
        m_fake->SetState(EState::IniFile, c.value != nullptr ? "config.ini" : "other.ini");
        if (c.value != nullptr)
            m_fake->SetIni("config.ini", "System", "32bits", c.value);
        GetShell().desktopBpp = c.desktopBpp;
        ASSERT_TRUE(SetupDisplay());
        EXPECT_EQ(m_fake->GetState(EState::ScreenBpp), c.depth);
        ShutdownDisplay();
        GetShell().pEngine.reset(&m_fake.Get());
    }
}

TEST_F(ShellTest, FocusCallbacksPauseAndResumeOnlyOnceInitialised)
{
    CSoundManager* sound = CSoundManager::GetInstance();
    sound->SetMusicMode(CSoundManager::kMenu, 0.5f);
    sound->UpdateFade(1.0f);
    FocusLostFunc();
    EXPECT_EQ(sound->GetVolume(CSoundManager::kMenuMusic), 60);  // not initialised yet
    GetShell().bInitialised = true;
    GetShell().bModeSwitchGuard = true;
    FocusLostFunc();
    EXPECT_EQ(sound->GetVolume(CSoundManager::kMenuMusic), 60);  // a window-mode change
    GetShell().bModeSwitchGuard = false;
    FocusLostFunc();
    EXPECT_EQ(sound->GetVolume(CSoundManager::kMenuMusic), 0);
    RestoreFunc();
    EXPECT_EQ(sound->GetVolume(CSoundManager::kMenuMusic), 60);
}
