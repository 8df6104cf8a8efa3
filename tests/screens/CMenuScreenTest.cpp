// CMenuScreenTest.cpp: the main menu on the bundled data: the first start with its new player,
// the buttons and what they open, the tooltips, the credits and the build text of cheat mode.
#include "screens/CMenuScreen.h"

#include "BundledDataRoot.h"
#include "app/TestScreens.h"
#include "framework/CFAnimatedObject.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"
#include "screens/CGlobalOptions.h"
#include "screens/CHiScore.h"
#include "screens/CNewPlayer.h"
#include "app/CScreenFactory.h"
#include "screens/CSelectPlayer2.h"

#include <gtest/gtest.h>

namespace {

class CMenuScreenTest : public BundledDataRoot {
protected:
    CMenuScreen* OpenMenu()
    {
        EXPECT_TRUE(CScreenFactory::SwitchTo(EScreenKind::MainMenu));
        Frames(45);  // the fade from black
        return dynamic_cast<CMenuScreen*>(g_pScreenManager->GetCurrent());
    }

    std::string Text(const char* name) const
    {
        const wchar_t* text = g_pResource->GetText(name);
        return text != nullptr ? NarrowString(text) : "(none)";
    }

    ScreenLog m_log;  // outlives the screens, which the fixture releases
};

TEST_F(CMenuScreenTest, TheFirstStartAsksForANameOverDisabledButtonsThatReturnOnceItIsGiven)
{
    ASSERT_EQ(g_pProfileStore->GetPlayerCount(), 0);
    CMenuScreen* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(g_bMenuReached);
    ASSERT_NE(dynamic_cast<CNewPlayer*>(menu->GetChild()), nullptr);
    EXPECT_FALSE(menu->GetButtons().IsInputEnabled());
    EXPECT_TRUE(menu->IsStoryTooltipShown());
    EXPECT_TRUE(menu->GetLight()->IsVisible());
    Screenshot("menu_first_start");

    PressKey(kVkEscape);  // nobody to go back to
    ASSERT_NE(menu->GetChild(), nullptr);
    Type(" ANNA");
    Screenshot("menu_first_start_name");
    PressKey(kVkEnter, 4);
    EXPECT_EQ(menu->GetChild(), nullptr);
    ASSERT_EQ(g_pProfileStore->GetPlayerCount(), 1);
    EXPECT_EQ(g_pProfileStore->m_current.GetName(), "ANNA");
    EXPECT_FALSE(ReadDataFile("data/save.dat").empty());
    EXPECT_TRUE(menu->GetButtons().IsInputEnabled());
    EXPECT_EQ(Text("profile_player"), "ANNA");
    ExpectNoProblems();
}

TEST_F(CMenuScreenTest, EachButtonOpensItsPopupOrScreenAndExitRaisesTheCloseRequest)
{
    g_pProfileStore->NewPlayer("ANNA", true);
    CMenuScreen* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    Screenshot("menu");
    struct Case {
        CMenuScreen::EButton button;
        bool (*opened)(CScreenBase*);
    };
    const Case popups[] = {
        {CMenuScreen::kOptions, [](CScreenBase* s) { return dynamic_cast<CGlobalOptions*>(s) != nullptr; }},
        {CMenuScreen::kHighScores, [](CScreenBase* s) { return dynamic_cast<CHiScore*>(s) != nullptr; }},
        {CMenuScreen::kPlayer, [](CScreenBase* s) { return dynamic_cast<CSelectPlayer2*>(s) != nullptr; }},
    };
    for (const Case& c : popups) {
        SCOPED_TRACE(c.button);
        Click(*menu->GetButton(c.button));
        ASSERT_TRUE(c.opened(menu->GetChild()));
        EXPECT_FALSE(menu->IsActive());
        Frames(40);
        PressKey(kVkEnter);
        EXPECT_EQ(menu->GetChild(), nullptr);
        EXPECT_TRUE(menu->IsActive());
    }

    g_bExitRequested = false;
    Click(*menu->GetButton(CMenuScreen::kExit));
    EXPECT_TRUE(g_bExitRequested);
    g_bExitRequested = false;

    CScreenFactory::Override map(EScreenKind::StoryMap, [this](int) { return new TestScreen(m_log, "map"); });
    Click(*menu->GetButton(CMenuScreen::kStory));
    Frames(60);
    EXPECT_EQ(g_pScreenManager->GetCurrent()->GetName(), "map");
    ExpectNoProblems();
}

TEST_F(CMenuScreenTest, TooltipsShowOnTheSignsAndHideWhenTheMouseLeaves)
{
    g_pProfileStore->NewPlayer("ANNA", true);
    CMenuScreen* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->IsStoryTooltipShown());
    const CFButton& classic = *menu->GetButton(CMenuScreen::kClassic);
    Play("1 move " + std::to_string(static_cast<int>(classic.GetX() + 20)) + " " +
             std::to_string(static_cast<int>(classic.GetY() + 20)) + "\n",
         20);
    EXPECT_TRUE(menu->IsClassicTooltipShown());
    Screenshot("menu_tooltip");
    Play("1 move 600 450\n", 20);
    EXPECT_FALSE(menu->IsClassicTooltipShown());
    ExpectNoProblems();
}

TEST_F(CMenuScreenTest, CreditsReplaceTheSignsUntilClickedAndFAndGShowTheScrollingOnes)
{
    g_pProfileStore->NewPlayer("ANNA", true);
    CMenuScreen* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    for (bool secret : {false, true}) {
        SCOPED_TRACE(secret ? "F and G held" : "plain");
        if (secret) {
            ASSERT_TRUE(EngineQueueInput("1 keydown 70\n1 keydown 71\n"));
        }
        Click(*menu->GetButton(CMenuScreen::kCredits), 30);
        ASSERT_TRUE(menu->GetCredits()->IsVisible());
        EXPECT_EQ(menu->GetCredits()->GetAnimation(0)->GetName(), secret ? "scroll" : "text");
        EXPECT_FALSE(menu->GetButton(CMenuScreen::kStory)->IsVisible());
        EXPECT_FALSE(menu->GetButtons().IsInputEnabled());
        Screenshot(secret ? "menu_credits_scroll" : "menu_credits");
        if (secret) {
            ASSERT_TRUE(EngineQueueInput("1 keyup 70\n1 keyup 71\n"));
        }
        Click(*menu->GetCredits());
        EXPECT_FALSE(menu->GetCredits()->IsVisible());
        EXPECT_TRUE(menu->GetButton(CMenuScreen::kStory)->IsVisible());
        EXPECT_TRUE(menu->GetButtons().IsInputEnabled());
    }
    ExpectNoProblems();
}

TEST_F(CMenuScreenTest, TheBuildShowsOnlyInCheatModeFromTheFirstLineOfItsFile)
{
    g_pProfileStore->NewPlayer("ANNA", true);
    CMenuScreen* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Text("version"), "");
    g_bCheatMode = true;
    Frames(1);
    EXPECT_EQ(Text("version"), CMenuScreen::kDefaultVersion);  // no "data/build" in the data set
    g_bCheatMode = false;
    Frames(1);
    EXPECT_EQ(Text("version"), "");
    WriteDataFile("data/build", "palmora 1.4\r\nsecond line\n");
    g_bCheatMode = true;
    Frames(1);
    EXPECT_EQ(Text("version"), "palmora 1.4");
    Screenshot("menu_cheat_version");
    g_bCheatMode = false;
    ExpectNoProblems();
}

}  // namespace
