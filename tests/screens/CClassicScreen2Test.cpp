// CClassicScreen2Test.cpp: the classic selection over the bundled data: locked locations, the two
// pages and the hardcore entries, the preview, the location choice and the games it starts.
#include "screens/CClassicScreen2.h"

#include "MenuScreenTestRoot.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "table/CGameProcess.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

class CClassicScreen2Test : public MenuScreenTestRoot {
protected:
    CClassicScreen2* Open()
    {
        CClassicScreen2* screen = CClassicScreen2::Create();
        Enter(screen);
        return screen;
    }
};

}  // namespace

TEST_F(CClassicScreen2Test, ANewPlayerHasOnlyTheFirstLocationAndKeepsAStoredChoiceEvenWhenLocked)
{
    Record().m_nClassicLocation = 3;
    CClassicScreen2* screen = Open();
    EXPECT_EQ(screen->GetSelectedLocation(), 3);
    EXPECT_TRUE(screen->GetLocationButton(0)->IsEnabled());
    for (int location = 1; location < 5; ++location)
        EXPECT_FALSE(screen->GetLocationButton(location)->IsEnabled()) << location;
    // Clicking the chosen one or a locked one changes nothing.
    Tap(*screen->GetLocationButton(3));
    Tap(*screen->GetLocationButton(2));
    EXPECT_EQ(screen->GetSelectedLocation(), 3);
    Tap(*screen->GetLocationButton(0));
    EXPECT_EQ(screen->GetSelectedLocation(), 0);
    EXPECT_EQ(Record().m_nClassicLocation, 0);
    EXPECT_TRUE(screen->GetLocationButton(0)->IsStateLocked());
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CClassicScreen2Test, PagesShowFifteenEntriesAndLockedHardcoreEntriesNeitherPreviewNorStart)
{
    CClassicScreen2* screen = Open();
    EXPECT_TRUE(screen->GetEntry(14)->IsVisible());
    EXPECT_FALSE(screen->GetEntry(15)->IsVisible());
    EXPECT_FALSE(screen->GetPageUpButton()->IsVisible());
    Screenshot("classic_page1");
    Tap(*screen->GetPageDownButton());
    EXPECT_FALSE(screen->GetEntry(14)->IsVisible());
    EXPECT_TRUE(screen->GetEntry(29)->IsVisible());
    EXPECT_TRUE(screen->GetPageUpButton()->IsVisible());
    EXPECT_FALSE(screen->GetPageDownButton()->IsVisible());
    for (int tag = 25; tag < 30; ++tag)
        EXPECT_FALSE(screen->GetEntry(tag)->IsEnabled()) << tag;
    g_pResource->SetText("preview_name", "");
    MoveOnto(*screen->GetEntry(25));
    EXPECT_EQ(Text("preview_name"), L"");
    Tap(*screen->GetEntry(25));
    EXPECT_EQ(screen->GetChosenEntry(), -1);

    // The state is looked up anew each time page 2 opens.
    Record().m_hardcoreLevels[0] = 1;
    Tap(*screen->GetPageUpButton());
    Tap(*screen->GetPageDownButton());
    EXPECT_TRUE(screen->GetEntry(25)->IsEnabled());
    EXPECT_FALSE(screen->GetEntry(26)->IsEnabled());
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CClassicScreen2Test, HoveringPreviewsAndClickingStartsTheGameOnTheChosenLook)
{
    Record().m_locationOpened[1] = 1;
    CClassicScreen2* screen = Open();
    Tap(*screen->GetLocationButton(1));
    MoveOnto(*screen->GetEntry(4));
    EXPECT_EQ(Text("preview_name"), L"Pyramid");
    EXPECT_EQ(screen->GetPreview()->GetName(), "level_4");
    EXPECT_TRUE(screen->GetEntry(4)->IsStateLocked());
    Frames(30);
    Screenshot("classic_hover");
    Tap(*screen->GetEntry(4));
    CGameProcess* game = GameStarted();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetLevel(), 4);
    EXPECT_EQ(game->GetMode(), 1);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CClassicScreen2Test, AHardcoreEntryPlaysItsLocationsHardcoreTableInItsOwnMode)
{
    Record().m_hardcoreLevels[0] = 1;
    Record().m_nClassicLocation = 0;
    CClassicScreen2* screen = Open();
    Tap(*screen->GetPageDownButton());
    MoveOnto(*screen->GetEntry(25));
    EXPECT_EQ(Text("preview_name"), L"Klondike Single Pass");
    EXPECT_EQ(screen->GetPreview()->GetName(), "level_30");
    Frames(30);
    Screenshot("classic_page2");
    Click(*screen->GetEntry(25), 0);  // looked at before the switch releases the screen
    EXPECT_EQ(screen->GetChosenEntry(), 0);
    CGameProcess* game = GameStarted();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetLevel(), 0);
    EXPECT_EQ(game->GetMode(), 9);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CClassicScreen2Test, EnteringSavesAndTheMenuButtonLeads)
{
    Record().m_nClassicScore = 1234;
    CClassicScreen2* screen = Open();
    CProfileStore reloaded;
    EXPECT_EQ(reloaded.m_current.m_nClassicScore, 1234);
    Tap(*screen->GetMainMenuButton());
    EXPECT_TRUE(Made(EScreenKind::MainMenu));
}
