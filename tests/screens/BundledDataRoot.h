// BundledDataRoot.h: the real engine, headless, over a copy of the bundled data set, with the
// game's screens in the factory and the table's seams, the global services a screen needs (mouse, profile store, screen manager, resource manager,
// high-score table, "Logic.ini", the modules the loading screen loads), frames that run the way the program runs them, and the log
// lines that a player's data must never cause.
//
// With SOL_SCREENSHOT_DIR set, Screenshot writes the last drawn frame there as a PNG, to look at.
#pragma once

#include "app/CIniFile.h"
#include "app/CLoadingScreen.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFMouse.h"
#include "framework/CFObject.h"
#include "framework/CFResource.h"
#include "platform/FileSystem.h"
#include "progress/CHiScoreTable.h"
#include "progress/CProfileStore.h"
#include "screens/GameScreens.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class BundledDataRoot : public BundledDataTest {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    void SetUp() override
    {
        BundledDataTest::SetUp();
        if (HasFatalFailure())
            return;
        RegisterGameScreens();
        std::filesystem::remove(m_root + "/data/save.dat");
        std::filesystem::remove(m_root + "/data/hiscores.dat");
        BeforeServices();
        m_pMouse = std::make_unique<CFMouse>();
        g_pProfileStore = new CProfileStore();
        g_pScreenManager = new CScreenManager();
        g_pResource = new CFResource("effects/effects.as");
        ASSERT_TRUE(g_pResource->LoadModule("cursor", -1));
        for (const std::string& module : CLoadingScreen::GetModuleNames())
            ASSERT_TRUE(g_pResource->LoadModule(module.c_str(), -1)) << module;  // as the loading screen does
        g_pHiScoreTable = new CHiScoreTable();
        g_pLogicIni = new CIniFile("Logic.ini");
    }

    void TearDown() override
    {
        delete g_pScreenManager;
        g_pScreenManager = nullptr;
        delete g_pLogicIni;
        g_pLogicIni = nullptr;
        delete g_pHiScoreTable;
        g_pHiScoreTable = nullptr;
        if (g_pResource != nullptr)
            g_pResource->Release();
        g_pResource = nullptr;
        delete g_pProfileStore;
        g_pProfileStore = nullptr;
        CSoundManager::Destroy();
        m_pMouse.reset();
        BundledDataTest::TearDown();
    }

    virtual void BeforeServices() {}  // e.g. files the stores should find

    // Frames of the program: the mouse, the screen manager's update, the music fade, then drawing.
    void Frames(int count)
    {
        RunFrames(count, [this] {
            m_pMouse->Update(kFrame);
            g_pScreenManager->Update(kFrame);
            if (CSoundManager::Exists())
                CSoundManager::GetInstance()->UpdateFade(kFrame);
            if (m_afterUpdate)
                m_afterUpdate();
            if (m_bDrawFrames && m_pEngine->BeginScene(0)) {
                m_pEngine->Clear(0xFF000000u);  // a screen that draws nothing leaves no trails
                g_pScreenManager->Render();
                m_pEngine->EndScene();
            }
        });
    }

    // Queues the input script (frames counted from the next one) and runs that many frames.
    void Play(const std::string& script, int frames)
    {
        ASSERT_TRUE(EngineQueueInput(script));
        Frames(frames);
    }

    // A left click in the middle of the object, then frames for what it starts.
    void Click(const CFObject& object, int framesAfter = 4)
    {
        const int x = static_cast<int>(object.GetX() + object.GetWidth() / 2);
        const int y = static_cast<int>(object.GetY() + object.GetHeight() / 2);
        Play("1 move " + std::to_string(x) + " " + std::to_string(y) + "\n2 down 1\n3 up 1\n", 3 + framesAfter);
    }

    void PressKey(int vk, int framesAfter = 2)
    {
        Play("1 keydown " + std::to_string(vk) + "\n2 keyup " + std::to_string(vk) + "\n", 2 + framesAfter);
    }

    void Type(const std::string& capitals)
    {
        for (char c : capitals)
            PressKey(static_cast<unsigned char>(c), 0);
    }

    // Draws one frame first when the frames are not drawn.
    void Screenshot(const std::string& name)
    {
        if (!m_bDrawFrames) {
            m_bDrawFrames = true;
            Frames(1);
            m_bDrawFrames = false;
        }
        const char* dir = std::getenv("SOL_SCREENSHOT_DIR");
        if (dir != nullptr && *dir != '\0') {
            EXPECT_TRUE(m_pEngine->SaveScreenshot((std::string(dir) + "/" + name + ".png").c_str()));
        }
    }

    void ExpectNoProblems()
    {
        for (const std::string& line : ProblemLines())
            ADD_FAILURE() << line;
    }

    std::unique_ptr<CFMouse> m_pMouse;
    bool m_bDrawFrames = true;  // a test that looks only at pictures may leave the others undrawn
    std::function<void()> m_afterUpdate;  // a test that watches every frame, after its update
};
