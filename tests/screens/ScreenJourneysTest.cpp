// ScreenJourneysTest.cpp: a player's ways from the main menu into every kind of game and back,
// driven by scripted mouse and keys over the bundled data with the real screens: the story map's
// first visit and a level, a journey to another location, a closed location's windows, a hardcore
// table from the classic selection's second page, and the trophy room. No run may log an error or
// a warning. With SOL_SCREENSHOT_DIR set, each step leaves a picture to look at.
#include "JourneyTestRoot.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "screens/CClassicScreen2.h"
#include "screens/CDialogInformation.h"
#include "screens/CMenuScreen.h"
#include "screens/CStoryScreen2.h"
#include "screens/CTrophyRoom.h"
#include "table/CGameProcess.h"

#include <gtest/gtest.h>

namespace {

constexpr int kEscape = 27;

class ScreenJourneysTest : public JourneyTestRoot {};

}  // namespace

TEST_F(ScreenJourneysTest, MenuToTheStoryMapsFirstVisitIntoALevelAndBackToTheMap)
{
    CStoryScreen2* map = StoryFromMenu();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->GetMap()->GetName(), "3-1z");
    Frames(70);
    Screenshot("journey_1_first_visit_sailing");
    Rest(*map, false);
    Screenshot("journey_1_first_visit");
    Tap(*map->GetPlayButton());
    CGameProcess* game = WaitFor<CGameProcess>();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetLevel(), 0);
    EXPECT_EQ(game->GetMode(), 0);
    Frames(300);
    Screenshot("journey_1_level");
    LeaveGame(*game);
    map = WaitFor<CStoryScreen2>();
    ASSERT_NE(map, nullptr);
    Frames(2);
    EXPECT_EQ(map->GetMap()->GetName(), "0-1");  // no second first visit
    Rest(*map);
    Screenshot("journey_1_back_on_the_map");
    ExpectNoProblems();
}

TEST_F(ScreenJourneysTest, TravelToAnotherOpenedLocation)
{
    Started(2);
    Record().m_storyLevels[0] = Record().m_storyLevels[1] = Record().m_storyLevels[2] = 3;
    for (int level = 5; level < 10; ++level)
        Record().m_storyLevels[static_cast<std::size_t>(level)] = 1;
    CStoryScreen2* map = StoryFromMenu();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Tap(*map->GetLocationButton(1));
    EXPECT_TRUE(map->IsTransitionRunning());
    Frames(40);
    Screenshot("journey_2_sailing");
    Rest(*map);
    EXPECT_EQ(map->GetLocation(), 1);
    EXPECT_EQ(progress::GetSelection(Record()), progress::StoryEntry::Story(5));
    Screenshot("journey_2_barbados");
    ExpectNoProblems();
}

TEST_F(ScreenJourneysTest, AClosedLocationsSlotsShowTheirWindows)
{
    Started(2);
    Record().m_nSelectedStory = 5;
    CStoryScreen2* map = StoryFromMenu();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Tap(*map->GetLocationButton(2));
    Rest(*map);
    ASSERT_NE(dynamic_cast<CDialogInformation*>(map->GetChild()), nullptr);  // how to open the place
    Frames(30);
    Screenshot("journey_3_closed_location");
    PressKey(kEscape);
    Tap(*map->GetSlotButton(progress::kBonusSlot));
    ASSERT_NE(dynamic_cast<CDialogInformation*>(map->GetChild()), nullptr);  // the closed bonus level
    Frames(30);
    Screenshot("journey_3_closed_bonus");
    PressKey(kEscape);
    Frames(4);
    EXPECT_EQ(map->GetChild(), nullptr);
    ExpectNoProblems();
}

TEST_F(ScreenJourneysTest, ClassicSecondPageHardcoreTableAndBack)
{
    Record().m_hardcoreLevels[1] = 1;
    Record().m_locationOpened[1] = 1;
    CMenuScreen* menu = Menu();
    ASSERT_NE(menu, nullptr);
    Tap(*menu->GetButton(CMenuScreen::kClassic));
    CClassicScreen2* classic = WaitFor<CClassicScreen2>();
    ASSERT_NE(classic, nullptr);
    Tap(*classic->GetLocationButton(1));
    Tap(*classic->GetPageDownButton());
    MoveOnto(*classic->GetEntry(26));
    Frames(30);
    Screenshot("journey_4_classic_second_page");
    Tap(*classic->GetEntry(26));
    CGameProcess* game = WaitFor<CGameProcess>();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetLevel(), 1);
    EXPECT_EQ(game->GetMode(), 9);
    Frames(300);
    Screenshot("journey_4_hardcore_table");
    LeaveGame(*game);
    classic = WaitFor<CClassicScreen2>();
    ASSERT_NE(classic, nullptr);
    EXPECT_EQ(classic->GetSelectedLocation(), 1);
    ExpectNoProblems();
}

TEST_F(ScreenJourneysTest, TheTrophyRoomOpensFromTheMapAndReturns)
{
    Started(1);
    Record().m_trophyEarned[0] = Record().m_trophyEarned[6] = 1;
    Record().m_nRank = 3;
    CStoryScreen2* map = StoryFromMenu();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Tap(*map->GetTrophyButton());
    CTrophyRoom* room = WaitFor<CTrophyRoom>();
    ASSERT_NE(room, nullptr);
    Frames(10);
    Screenshot("journey_5_trophy_room");
    Tap(*room->GetOkButton());
    map = WaitFor<CStoryScreen2>();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Tap(*map->GetBackButton());
    EXPECT_NE(WaitFor<CMenuScreen>(), nullptr);
    ExpectNoProblems();
}
