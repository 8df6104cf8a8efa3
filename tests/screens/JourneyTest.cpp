// test-cost: 10
// JourneyTest.cpp: the program played as a player plays it, headless, with scripted mouse and
// keys only: the first start, the players and high scores, the options across a restart, and
// the exit question. Screenshots are checked where the script expects a window.
#include "app/GameRunRoot.h"
#include "progress/CHiScoreTable.h"
#include "progress/CProfileStore.h"
#include "screens/GameScreens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Places in the view, as the bundled data lays the menu and its popups out.
using Point = ScreenPoint;
constexpr Point kPlayerPlank{398, 559}, kOptionsPlank{575, 558}, kExitPlank{717, 558}, kScoresPlank{209, 558};
constexpr Point kYes{310, 370}, kNo{490, 370};                              // the yes/no windows
constexpr Point kListOk{240, 540}, kListNew{400, 540}, kListDelete{560, 540};  // the player list
constexpr Point kRow1{400, 100};
constexpr Point kScoresClassic{490, 112}, kScoresOk{400, 540};
constexpr Point kMusicThumb{510, 230}, kCursorBox{216, 400}, kOptionsOk{400, 472};
constexpr Point kWindowTop{400, 182};  // the gold frame of a small window standing in the middle

// A drag along a line, frames counted from the menu.
std::string Drag(int frame, Point from, int dx)
{
    std::string script = std::to_string(frame) + " move " + std::to_string(from.x) + " " + std::to_string(from.y) +
                         "\n" + std::to_string(frame + 1) + " down 1\n";
    for (int i = 1; i <= 5; ++i)
        script += std::to_string(frame + 1 + i) + " move " + std::to_string(from.x + dx * i / 5) + " " +
                  std::to_string(from.y) + "\n";
    return script + std::to_string(frame + 8) + " up 1\n";
}

bool IsGold(std::uint32_t argb)
{
    return (argb >> 16 & 0xFF) > 180 && (argb & 0xFF) < 130;
}

class JourneyTest : public GameRunRoot {
protected:
    void SetUp() override
    {
        GameRunRoot::SetUp();
        RegisterGameScreens();
    }

    void SavePlayers(const std::vector<std::string>& names)
    {
        fs_layer::SetRootFolder(m_root);
        CProfileStore store;
        for (const std::string& name : names)
            store.NewPlayer(name, true);
    }

    std::vector<std::string> SavedPlayers()
    {
        fs_layer::SetRootFolder(m_root);
        CProfileStore store;
        std::vector<std::string> names;
        store.GetPlayerNames(names);
        return names;
    }
};

TEST_F(JourneyTest, AnEmptyDataFolderStartsIntoTheMenuWithTheNewPlayerAndANameIsSaved)
{
    ASSERT_EQ(Run(60, "", 40, "journey_first_start"), 0);
    EXPECT_TRUE(IsGold(ShotPixel(kWindowTop.x, kWindowTop.y))) << "the new-player window stands";
    EXPECT_TRUE(SavedPlayers().empty());

    ASSERT_EQ(Run(90, Type(10, "ANNA") + Key(40, 13), 70, "journey_named"), 0);
    EXPECT_EQ(SavedPlayers(), std::vector<std::string>{"ANNA"});
    EXPECT_FALSE(IsGold(ShotPixel(kWindowTop.x, kWindowTop.y))) << "the window has gone";
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(JourneyTest, PlayersAreAddedSelectedAndDeletedAndTheHighScoresShowBothTables)
{
    SavePlayers({"ANNA"});
    {
        CHiScoreTable scores;
        scores.AddScore(1, "BOB", 1, 4200);
    }
    std::string script = Click(5, kPlayerPlank);                     // the list
    script += Click(50, kListNew) + Type(95, "BOB") + Key(110, 13);  // a new player, now current
    script += Click(150, kRow1);                                     // ANNA again
    script += Click(170, kListDelete) + Click(215, kYes);            // and she goes
    script += Click(250, kListOk);
    script += Click(290, kScoresPlank) + Click(335, kScoresClassic);  // the classic table
    ASSERT_EQ(Run(360, script, 345, "journey_scores"), 0);
    EXPECT_EQ(SavedPlayers(), std::vector<std::string>{"BOB"});
    EXPECT_TRUE(IsGold(ShotPixel(310, 112))) << "the high scores stand with their buttons";

    fs_layer::SetRootFolder(m_root);
    CHiScoreTable scores;
    EXPECT_STREQ(scores.GetName(1, 0), "BOB");
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(JourneyTest, OptionsChangeTheVolumeAndACursorThatSurviveARestart)
{
    SavePlayers({"ANNA"});
    std::string script = Click(5, kOptionsPlank);
    script += Drag(50, kMusicThumb, -200) + Click(70, kCursorBox);
    script += Click(90, kOptionsOk);
    ASSERT_EQ(Run(120, script, 80, "journey_options"), 0);
    EXPECT_TRUE(IsGold(ShotPixel(kCursorBox.x - 14, kCursorBox.y))) << "the options stand";
    ASSERT_EQ(Run(5), 0);  // a restart that changes nothing

    fs_layer::SetRootFolder(m_root);
    CProfileStore store;
    EXPECT_LT(store.m_current.m_nMusicVolume, 20);
    EXPECT_EQ(store.m_current.m_nEffectVolume, 100);
    EXPECT_EQ(store.m_bSoftwareCursor, 1);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(JourneyTest, ExitAsksAndNoStaysWhileYesEndsTheProgramWithEverythingSaved)
{
    SavePlayers({"ANNA"});
    ASSERT_EQ(Run(100, Click(5, kExitPlank) + Click(50, kNo), 45, "journey_exit_question"), 0);
    EXPECT_TRUE(IsGold(ShotPixel(kWindowTop.x, kWindowTop.y))) << "the question stands";
    ASSERT_EQ(Run(100, Click(5, kExitPlank) + Click(50, kNo), 90), 0);
    EXPECT_TRUE(ScreenshotTaken()) << "no goes on playing";
    EXPECT_FALSE(IsGold(ShotPixel(kWindowTop.x, kWindowTop.y)));

    // Yes ends the loop at once: the frame the screenshot waits for never comes.
    ASSERT_EQ(Run(200, Click(5, kExitPlank) + Click(50, kYes), 150), 0);
    EXPECT_FALSE(ScreenshotTaken());
    EXPECT_EQ(SavedPlayers(), std::vector<std::string>{"ANNA"});
    EXPECT_TRUE(std::filesystem::exists(m_root + "/data/hiscores.dat"));
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

}  // namespace
