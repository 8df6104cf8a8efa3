// test-cost: 10
// StoryRunTest.cpp: the whole program, headless, played with scripted mouse and keys only: from
// the main menu onto the story map's first visit, into the first level and, through the game's
// menu and its question, back onto the map.
#include "app/GameRunRoot.h"
#include "progress/CProfileStore.h"
#include "screens/GameScreens.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Point = ScreenPoint;
constexpr Point kStorySign{190, 240}, kPlay{676, 460}, kPlayFace{605, 445};
constexpr Point kQuitToMap{398, 316}, kYes{310, 370};  // the game's menu and its question

bool IsGreen(std::uint32_t argb)
{
    return (argb >> 8 & 0xFF) > 120 && (argb >> 16 & 0xFF) < 110;
}

class StoryRunTest : public GameRunRoot {
protected:
    void SetUp() override
    {
        GameRunRoot::SetUp();
        RegisterGameScreens();  // as the program does before it starts
    }
};

}  // namespace

TEST_F(StoryRunTest, MenuToTheMapsFirstVisitIntoTheFirstLevelAndBackToTheMap)
{
    fs_layer::SetRootFolder(m_root);
    {
        CProfileStore store;
        store.NewPlayer("ANNA", true);
    }
    // The map sails in (fade, journey, the wait for the level panel), Play, the level, Escape,
    // the menu's way back to the map and yes.
    std::string script = Click(5, kStorySign) + Click(480, kPlay);
    script += "800 keydown 27\n801 keyup 27\n" + Click(840, kQuitToMap) + Click(890, kYes);
    ASSERT_EQ(Run(1100, script, 1100, "run_story_back_on_the_map"), 0);
    EXPECT_TRUE(IsGreen(ShotPixel(kPlayFace.x, kPlayFace.y))) << "the map's Play button stands again";

    fs_layer::SetRootFolder(m_root);
    CProfileStore store;
    EXPECT_EQ(store.m_current.m_bMapVisited, 1);
    EXPECT_EQ(store.m_current.m_bStoryLevelPlayed, 1);
    EXPECT_EQ(store.m_current.m_nCardBack, 0) << "a game screen was built";
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}
