// MenuScreenTestRoot.h: the real engine, headless, over a copy of the bundled data set, with the
// shell's globals (profile store, screen manager, resource manager, "Logic.ini", mouse), for
// tests of the story map, the classic selection, the trophy room and their windows.
//
// Frames run the program's own order: the mouse, the screen manager's update and drawing. The
// mouse is driven through the engine's input script, in view pixels.
#pragma once

#include "app/CIniFile.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "app/TestScreens.h"
#include "framework/CFMouse.h"
#include "framework/CFObject.h"
#include "framework/CFResource.h"
#include "platform/FileSystem.h"
#include "screens/CProfileStore.h"
#include "screens/CScreenFactory.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class MenuScreenTestRoot : public HeadlessEngineTest {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;
    static constexpr int kClickGap = 40;  // frames after a click, so that the next is not a double-click

    void SetUp() override
    {
        const std::string bundled = fs_layer::DefaultRootFolder();
        HeadlessEngineTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(std::filesystem::exists(bundled + "/sol_max.ini")) << "the data set is made by game_data";
        std::filesystem::copy(bundled, m_root,
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        std::filesystem::create_directories(m_root + "/data");
        m_pMouse = std::make_unique<CFMouse>();
        g_pProfileStore = new CProfileStore();
        g_pProfileStore->NewPlayer("TESTER", true);
        Record().m_introShown.fill(1);  // no first-play windows when a game starts
        Record().m_bMasterWindowShown = 1;
        g_pScreenManager = new CScreenManager();
        g_pResource = new CFResource("effects/effects.as");
        // What start-up and the loading screen load before any menu opens.
        for (const char* module : {"cursor", "Trophy", "classic", "new_location", "new_bonuslevel", "new_hardcorelevel",
                                   "congratulatory_windows", "informative_wind"})
            ASSERT_TRUE(g_pResource->LoadModule(module, -1)) << module;
        g_pLogicIni = new CIniFile("Logic.ini");
        // Screens that the one under test switches to are plain test screens.
        for (EScreenKind kind : {EScreenKind::MainMenu, EScreenKind::StoryMap, EScreenKind::ClassicSelection,
                                 EScreenKind::TrophyRoom})
            CScreenFactory::SetMaker(kind, [this, kind](int argument) -> CScreenBase* {
                m_madeKinds.push_back({kind, argument});
                return new TestScreen(m_log, CScreenFactory::Name(kind));
            });
    }

    void TearDown() override
    {
        for (EScreenKind kind : {EScreenKind::MainMenu, EScreenKind::StoryMap, EScreenKind::ClassicSelection,
                                 EScreenKind::TrophyRoom})
            CScreenFactory::SetMaker(kind, {});
        delete g_pScreenManager;
        g_pScreenManager = nullptr;
        delete g_pLogicIni;
        g_pLogicIni = nullptr;
        if (g_pResource != nullptr)
            g_pResource->Release();
        g_pResource = nullptr;
        CSoundManager::Destroy();
        delete g_pProfileStore;
        g_pProfileStore = nullptr;
        m_pMouse.reset();
        g_bCheatMode = false;
        SetGameClockRunning(true);
        HeadlessEngineTest::TearDown();
    }

    static PlayerRecord& Record() { return g_pProfileStore->m_current; }

    std::vector<std::string> ProblemLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : LogLines())
            if (line.rfind("[E]", 0) == 0 || line.rfind("[W]", 0) == 0 || line.rfind("[Fatal", 0) == 0)
                lines.push_back(line);
        return lines;
    }

    // Switches to the screen as a menu would (from a plain screen, through the fade), and runs
    // the frames until it is the current screen and has had its first update.
    void Enter(CScreenBase* screen)
    {
        ASSERT_NE(screen, nullptr);
        if (g_pScreenManager->GetCurrent() == nullptr)
            g_pScreenManager->SwitchTo(new TestScreen(m_log, "before"), true, true);
        g_pScreenManager->SwitchTo(screen, true, true);
        for (int i = 0; i < 200 && (g_pScreenManager->GetCurrent() != screen || g_pScreenManager->GetPhase() != -1); ++i)
            Frames(1);
        Frames(1);
    }

    void Frames(int count)
    {
        RunFrames(count, [this] {
            m_pMouse->Update(kFrame);
            g_pScreenManager->Update(kFrame);
            if (m_pEngine->BeginScene(0)) {
                g_pScreenManager->Render();
                m_pEngine->EndScene();
            }
        });
    }

    void MoveTo(float x, float y)
    {
        ASSERT_TRUE(EngineQueueInput("1 move " + std::to_string(static_cast<int>(x)) + " " +
                                     std::to_string(static_cast<int>(y)) + "\n"));
        Frames(2);
    }

    void ClickAt(float x, float y)
    {
        const std::string at = std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y));
        ASSERT_TRUE(EngineQueueInput("1 move " + at + "\n2 down 1\n3 up 1\n"));
        Frames(4);
        Frames(kClickGap);
    }

    static void Centre(const CFObject& object, float& x, float& y)
    {
        x = object.GetX() + object.GetWidth() / 2;
        y = object.GetY() + object.GetHeight() / 2;
    }

    void Click(const CFObject& object)
    {
        float x = 0, y = 0;
        Centre(object, x, y);
        ClickAt(x, y);
    }

    void MoveOnto(const CFObject& object)
    {
        float x = 0, y = 0;
        Centre(object, x, y);
        MoveTo(x, y);
    }

    void PressKey(int vk)
    {
        ASSERT_TRUE(EngineQueueInput("1 keydown " + std::to_string(vk) + "\n2 keyup " + std::to_string(vk) + "\n"));
        Frames(3);
    }

    // Keeps the last frame as a picture when SOL_SCREENSHOT_DIR names a folder (for looking at).
    void Screenshot(const std::string& name)
    {
        if (const char* folder = std::getenv("SOL_SCREENSHOT_DIR")) {
            EXPECT_TRUE(m_pEngine->SaveScreenshot((std::string(folder) + "/" + name + ".png").c_str()));
        }
    }

    // Whether the screen manager is switching to (or has switched to) a made screen of that kind.
    bool Made(EScreenKind kind, int argument = 0) const
    {
        return std::any_of(m_madeKinds.begin(), m_madeKinds.end(),
                           [&](const auto& made) { return made.first == kind && made.second == argument; });
    }

    ScreenLog m_log;
    std::unique_ptr<CFMouse> m_pMouse;
    std::vector<std::pair<EScreenKind, int>> m_madeKinds;
};
