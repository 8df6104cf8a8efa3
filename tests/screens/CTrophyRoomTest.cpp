// CTrophyRoomTest.cpp: the trophy room over the bundled data: rank browsing, medal counts and
// completion, the award pass (and that it is saved at once), selecting trophies and the way back.
#include "screens/CTrophyRoom.h"

#include "MenuScreenTestRoot.h"
#include "framework/CFAnimatedObject.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFFrameImage.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

class CTrophyRoomTest : public MenuScreenTestRoot {
protected:
    CTrophyRoom* Open(int returnTarget, int award)
    {
        CTrophyRoom* room = CTrophyRoom::Create(returnTarget, award);
        Enter(room);
        return room;
    }

    static bool ShowsSection(CFAnimatedObject& trophy, int first, int last)
    {
        const CFAnimationInstance* look = trophy.GetAnimation(0);
        return look->GetFirstFrame() == first && look->GetLastFrame() == last;
    }
};

}  // namespace

TEST_F(CTrophyRoomTest, RankArrowsStepBetweenTheFirstEmblemAndThePlayersRank)
{
    CTrophyRoom* room = Open(0, -1);
    EXPECT_FALSE(room->GetLeftButton()->IsVisible());
    EXPECT_FALSE(room->GetRightButton()->IsVisible());

    Record().m_nRank = 12;
    room = Open(0, -1);
    EXPECT_EQ(room->GetShownRank(), 12);
    EXPECT_TRUE(room->GetLeftButton()->IsVisible());
    for (int step = 0; step < 12; ++step)
        Tap(*room->GetLeftButton());
    EXPECT_EQ(room->GetShownRank(), 0);
    EXPECT_FALSE(room->GetLeftButton()->IsVisible());
    EXPECT_TRUE(room->GetRightButton()->IsVisible());
    EXPECT_EQ(room->GetRankEmblem()->GetAnimation(0)->GetCurrentFrame(), 0);
    for (int step = 0; step < 12; ++step)
        Tap(*room->GetRightButton());
    EXPECT_EQ(room->GetShownRank(), 12);
    EXPECT_FALSE(room->GetRightButton()->IsVisible());
    EXPECT_EQ(room->GetRankEmblem()->GetAnimation(0)->GetCurrentFrame(), 12);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CTrophyRoomTest, MedalCountsAndCompletion)
{
    Open(0, -1);
    EXPECT_EQ(Text("golds_medals_count"), L"0");
    EXPECT_EQ(Text("silver_medals_count"), L"0");
    EXPECT_EQ(Text("bronze_medals_count"), L"0");
    EXPECT_EQ(Text("game_complite_count"), L"0%");

    Record().m_storyLevels.fill(4);
    Record().m_bonusLevels.fill(4);
    Record().m_hardcoreLevels.fill(4);
    Record().m_bonusLevels[3] = 3;
    Open(0, -1);
    EXPECT_EQ(Text("golds_medals_count"), L"34");
    EXPECT_EQ(Text("silver_medals_count"), L"1");
    EXPECT_EQ(Text("game_complite_count"), L"99%");
    Record().m_bonusLevels[3] = 4;
    Open(0, -1);
    EXPECT_EQ(Text("game_complite_count"), L"100%");
}

TEST_F(CTrophyRoomTest, TheMapsRoomAwardsNothingAndThePopupsRoomAwardsEveryDueTrophyAndSavesThem)
{
    Record().m_nStoryScore = 25000;   // trophy 3
    Record().m_bGoldenCard = 1;       // trophy 8
    Record().m_trophyEarned[0] = 1;   // trophy 1, earned before
    CTrophyRoom* room = Open(0, -1);
    EXPECT_EQ(Record().m_trophyEarned[2], 0);
    EXPECT_TRUE(room->GetTrophy(0)->IsVisible());
    EXPECT_FALSE(room->GetTrophy(2)->IsVisible());

    room = Open(0, 1);
    EXPECT_EQ(room->GetLastAwarded(), 7);
    EXPECT_EQ(Record().m_trophyEarned[2], 1);
    EXPECT_EQ(Record().m_trophyEarned[7], 1);
    EXPECT_TRUE(room->GetTrophy(2)->IsVisible());
    EXPECT_TRUE(room->GetTrophy(7)->IsVisible());
    EXPECT_TRUE(ShowsSection(*room->GetTrophy(7), 1, 8));   // the last one shines
    EXPECT_TRUE(ShowsSection(*room->GetTrophy(2), 0, 0));
    EXPECT_TRUE(ShowsSection(*room->GetTrophy(0), 0, 0));
    MoveOnto(*room->GetHintArea(4));
    Screenshot("trophy_room");

    // Already written to "save.dat": a store that loads now finds them earned.
    CProfileStore reloaded;
    EXPECT_EQ(reloaded.m_current.m_trophyEarned[2], 1);
    EXPECT_EQ(reloaded.m_current.m_trophyEarned[7], 1);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CTrophyRoomTest, OpeningAfterUnlocksNeedsANewlyOpenedLocation)
{
    EXPECT_FALSE(CTrophyRoom::OpenAfterUnlocks(CTrophyRoom::kToStoryMap));
    Record().m_storyLevels[0] = Record().m_storyLevels[1] = Record().m_storyLevels[2] = 2;
    EXPECT_TRUE(CTrophyRoom::OpenAfterUnlocks(CTrophyRoom::kToStoryMap));
    EXPECT_EQ(Record().m_locationOpened[1], 1);
    Frames(60);
    EXPECT_NE(dynamic_cast<CTrophyRoom*>(g_pScreenManager->GetCurrent()), nullptr);
}

TEST_F(CTrophyRoomTest, ClickingSelectsAndDeselectsShownTrophiesOnlyAndOkGoesBack)
{
    Record().m_trophyEarned[0] = 1;
    Record().m_trophyEarned[9] = 1;
    CTrophyRoom* room = Open(0, -1);
    Tap(*room->GetTrophy(0));
    EXPECT_EQ(room->GetSelectedTrophy(), 0);
    EXPECT_TRUE(ShowsSection(*room->GetTrophy(0), 9, 9));
    Tap(*room->GetTrophy(9));
    EXPECT_EQ(room->GetSelectedTrophy(), 9);
    EXPECT_TRUE(ShowsSection(*room->GetTrophy(0), 1, 8));
    Tap(*room->GetTrophy(9));
    EXPECT_EQ(room->GetSelectedTrophy(), -1);
    Tap(*room->GetHintArea(4));  // a trophy not earned is not there to be chosen
    EXPECT_EQ(room->GetSelectedTrophy(), -1);

    Tap(*room->GetOkButton());
    EXPECT_TRUE(Made(EScreenKind::StoryMap));
    room = Open(CTrophyRoom::kToClassicSelection, -1);
    Tap(*room->GetOkButton());
    EXPECT_TRUE(Made(EScreenKind::ClassicSelection));
}
