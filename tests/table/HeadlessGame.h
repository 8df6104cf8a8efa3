// HeadlessGame.h: a whole game screen over the bundled data set and level file, in the real engine
// started headless, with the globals that start-up makes and the mouse and keys it delivers.
#pragma once
#include "app/CIniFile.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "progress/CProfileStore.h"
#include "support/HeadlessEngine.h"
#include "table/CCardTable.h"
#include "table/CGameProcess.h"
#include "table/CInterface.h"
#include "table/CPlace.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class HeadlessGameTest : public BundledDataTest {
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    void SetUp() override
    {
        BundledDataTest::SetUp();
        if (HasFatalFailure())
            return;
        m_pMouse = std::make_unique<CFMouse>();
        g_pProfileStore = new CProfileStore();
        g_pProfileStore->m_current.m_introShown.fill(1);  // no first-play rules window unless a test asks
        g_pScreenManager = new CScreenManager();
        g_pResource = new CFResource("effects/effects.as");
        ASSERT_TRUE(g_pResource->LoadModule("cursor", -1));  // as start-up does
        g_pLogicIni = new CIniFile("Logic.ini");
    }

    void TearDown() override
    {
        if (m_pGame != nullptr)
            m_pGame->Release();
        m_pGame = nullptr;
        delete g_pLogicIni;
        g_pLogicIni = nullptr;
        if (g_pResource != nullptr)
            g_pResource->Release();
        g_pResource = nullptr;
        delete g_pScreenManager;
        g_pScreenManager = nullptr;
        delete g_pProfileStore;
        g_pProfileStore = nullptr;
        m_pMouse.reset();
        SetGameClockRunning(true);
        BundledDataTest::TearDown();
    }

    void Start(int level, int mode, int extra)
    {
        m_pGame = CGameProcess::Create(level, mode, extra);
        ASSERT_NE(m_pGame, nullptr);
    }

    // Level section 0..34 as the map starts it: a story level, a location's bonus level (25..29)
    // or its hardcore level (30..34).
    void StartSection(int section)
    {
        if (section >= 30)
            Start(section - 30, 8, section - 30);
        else if (section >= 25)
            Start(section - 25, 2, section - 24);
        else
            Start(section, 0, -1);
    }

    CInterface& Game() { return *m_pGame->GetInterface(); }
    CCardTable& Table() { return *Game().GetTable(); }

    // Runs frames of the program: the mouse, then the screen's update and, unless only time is to
    // pass quickly, its drawing. A longer dt lets the game's clocks run ahead of the engine's.
    void Frames(int count, float dt = kFrame, bool render = true)
    {
        RunFrames(count, [this, dt, render] {
            m_pMouse->Update(dt);
            m_pGame->Update(dt);
            if (render && m_pEngine->BeginScene(0)) {
                m_pGame->Render();
                m_pEngine->EndScene();
            }
        });
    }

    // Runs the game's clocks by dt without an engine frame: no input arrives and nothing is drawn.
    void Advance(float dt)
    {
        m_pMouse->Update(dt);
        m_pGame->Update(dt);
    }

    bool IsSettled()
    {
        return !Game().IsDealing() && !Table().IsFlying() && Game().GetPanelState() == 0 && !Game().IsStartPending();
    }

    // Runs frames until the deal has landed and the panel stands (bounded).
    void Settle(int limit = 2000)
    {
        for (int i = 0; i < limit; ++i) {
            Frames(1);
            if (IsSettled())
                return;
        }
        ADD_FAILURE() << "the game did not settle";
    }

    // The same, with the game's clocks run ahead of the engine: long deals cost no drawing.
    void SettleQuickly(float dt, int limit = 2000)
    {
        for (int i = 0; i < limit; ++i) {
            Advance(dt);
            if (IsSettled())
                return;
        }
        ADD_FAILURE() << "the game did not settle";
    }

    // The mouse presses at (x1, y1), drags to (x2, y2) and lets go, as the engine reports it.
    void DragWithMouse(int x1, int y1, int x2, int y2)
    {
        std::string script = "1 move " + std::to_string(x1) + " " + std::to_string(y1) + "\n2 down 1\n";
        for (int i = 1; i <= 10; ++i)
            script += std::to_string(3 + i) + " move " + std::to_string(x1 + (x2 - x1) * i / 10) + " " +
                      std::to_string(y1 + (y2 - y1) * i / 10) + "\n";
        script += "16 up 1\n";
        ASSERT_TRUE(EngineQueueInput(script));
        Frames(18);
    }

    void ClickWithMouse(int x, int y)
    {
        ASSERT_TRUE(EngineQueueInput("1 move " + std::to_string(x) + " " + std::to_string(y) + "\n2 down 1\n4 up 1\n"));
        Frames(6);
    }

    void PressKey(int vk)
    {
        ASSERT_TRUE(EngineQueueInput("1 keydown " + std::to_string(vk) + "\n2 keyup " + std::to_string(vk) + "\n"));
        Frames(3);
    }

    // The centre of a card (or of the empty place when index is the pile's size) on the screen.
    void CardCentre(int place, int index, int& x, int& y)
    {
        CPlace* p = Table().GetPlace(place);
        Table().GetCardPosition(p, index, p->GetCard(index), x, y);
    }

    std::unique_ptr<CFMouse> m_pMouse;
    CGameProcess* m_pGame = nullptr;
};
