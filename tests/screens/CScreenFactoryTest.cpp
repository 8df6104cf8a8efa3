// CScreenFactoryTest.cpp: screens made by kind with the game's makers in place, stand-ins put
// in their place, and the stand-in of a screen that does not exist yet leading back to the menu.
#include "app/CScreenFactory.h"

#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "app/TestScreens.h"
#include "screens/CStandInScreen.h"
#include "screens/GameScreens.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CScreenFactoryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterGameScreens();
        g_pScreenManager = new CScreenManager();
    }
    void TearDown() override
    {
        delete g_pScreenManager;
        g_pScreenManager = nullptr;
    }

    // Runs the manager until the current screen has the name (bounded).
    bool RunUntilCurrent(const std::string& name)
    {
        for (int i = 0; i < 200; ++i) {
            const CScreenBase* current = g_pScreenManager->GetCurrent();
            if (current != nullptr && current->GetName() == name && g_pScreenManager->GetPhase() == CScreenManager::kIdle)
                return true;
            g_pScreenManager->Update(0.05f);
        }
        return false;
    }

    ScopedFakeEngine m_fake;
    ScreenLog m_log;
};

TEST_F(CScreenFactoryTest, AMakerPutInPlaceServesUntilItGoesAndTheArgumentReachesIt)
{
    int argument = -1;
    {
        CScreenFactory::Override trophies(EScreenKind::TrophyRoom, [&](int award) {
            argument = award;
            return new TestScreen(m_log, "trophies");
        });
        ASSERT_TRUE(CScreenFactory::SwitchTo(EScreenKind::TrophyRoom, 1));
        EXPECT_EQ(argument, 1);
        EXPECT_TRUE(RunUntilCurrent("trophies"));
    }
    // The game's story map loads nothing until it is shown, so it can be made here.
    CScreenBase* builtIn = CScreenFactory::Create(EScreenKind::StoryMap);
    ASSERT_NE(builtIn, nullptr);
    EXPECT_EQ(builtIn->GetName(), "screenStory");
    builtIn->Release();
}

TEST_F(CScreenFactoryTest, AScreenThatCannotBeMadeIsLoggedAndNothingSwitches)
{
    CScreenFactory::Override none(EScreenKind::ClassicSelection, [](int) { return nullptr; });
    EXPECT_FALSE(CScreenFactory::SwitchTo(EScreenKind::ClassicSelection));
    EXPECT_TRUE(m_fake->HasLogLine("[E] screen ClassicSelection can't be made"));
    EXPECT_EQ(g_pScreenManager->GetCurrent(), nullptr);
    EXPECT_EQ(CScreenFactory::Create(EScreenKind::Count), nullptr);
}

TEST_F(CScreenFactoryTest, AStandInLeadsBackToTheMainMenu)
{
    CScreenFactory::Override menu(EScreenKind::MainMenu, [this](int) { return new TestScreen(m_log, "menu"); });
    for (EScreenKind kind : {EScreenKind::StoryMap, EScreenKind::ClassicSelection}) {
        SCOPED_TRACE(CScreenFactory::Name(kind));
        CScreenFactory::Override standIn(kind, [](int) { return new CStandInScreen(); });
        ASSERT_TRUE(CScreenFactory::SwitchTo(kind));
        EXPECT_TRUE(RunUntilCurrent("menu"));
    }
    EXPECT_EQ(m_log.live, 1);  // the stand-ins are gone
}

}  // namespace
