// CGameProcessTest.cpp: whole games on the game screen, headless, over the bundled data set and
// level file: construction, the deal, mouse play through the screen's frame, undo, hints, the
// deal-again flow, the relax pause and a won position, without an error or warning in the log.
#include "table/CGameProcess.h"

#include "app/CIniFile.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "platform/FileSystem.h"
#include "screens/CProfileStore.h"
#include "support/HeadlessEngine.h"
#include "table/CAutoFinisher.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CDeck.h"
#include "table/CHelpDesk.h"
#include "table/CInterface.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CPlace.h"
#include "table/CScoreKeeper.h"
#include "table/CTracker.h"
#include "table/CUndoHistory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kFrame = 1.0f / 60.0f;

class CGameProcessTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        const std::string bundled = fs_layer::DefaultRootFolder();
        HeadlessEngineTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(std::filesystem::exists(bundled + "/sol_max.ini")) << "the data set is made by game_data";
        std::filesystem::copy(bundled, m_root,
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        m_pMouse = std::make_unique<CFMouse>();
        g_pProfileStore = new CProfileStore();
        g_pProfileStore->m_current.m_introShown.fill(1);  // no first-play rules window unless a test asks
        g_pScreenManager = new CScreenManager();
        g_pResource = new CFResource("effects/effects.as");
        g_pLogicIni = new CIniFile("Logic.ini");
        ASSERT_TRUE(g_pResource->LoadModule("interface", -1));
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
        HeadlessEngineTest::TearDown();
    }

    std::vector<std::string> ProblemLines() const
    {
        std::vector<std::string> lines;
        for (const std::string& line : LogLines())
            if (line.rfind("[E]", 0) == 0 || line.rfind("[W]", 0) == 0 || line.rfind("[Fatal", 0) == 0)
                lines.push_back(line);
        return lines;
    }

    void Start(int level, int mode, int extra)
    {
        m_pGame = CGameProcess::Create(level, mode, extra);
        ASSERT_NE(m_pGame, nullptr);
    }

    CInterface& Game() { return *m_pGame->GetInterface(); }
    CCardTable& Table() { return *Game().GetTable(); }

    // Runs frames of the program: the mouse, then the screen's update and drawing.
    void Frames(int count)
    {
        RunFrames(count, [this] {
            m_pMouse->Update(kFrame);
            m_pGame->Update(kFrame);
            if (m_pEngine->BeginScene(0)) {
                m_pGame->Render();
                m_pEngine->EndScene();
            }
        });
    }

    // Runs frames until the deal has landed and the panel stands (bounded).
    void Settle(int limit = 2000)
    {
        for (int i = 0; i < limit; ++i) {
            Frames(1);
            if (!Game().IsDealing() && !Table().IsFlying() && Game().GetPanelState() == 0 && !Game().IsStartPending())
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

    std::unique_ptr<CFMouse> m_pMouse;
    CGameProcess* m_pGame = nullptr;
};

}  // namespace

TEST_F(CGameProcessTest, AStoryLevelIsBuiltDealtAndDrawnWithoutAProblem)
{
    Start(0, 0, -1);
    EXPECT_EQ(m_pGame->GetName(), "GameProcess");
    EXPECT_TRUE(Game().IsStartPending());
    EXPECT_EQ(Game().GetPanelState(), 4);
    Settle();
    EXPECT_GT(Table().CountCards(), 0);
    EXPECT_TRUE(Game().GetMenuButton()->IsEnabled());
    EXPECT_TRUE(Game().GetHintButton()->IsEnabled());
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}
