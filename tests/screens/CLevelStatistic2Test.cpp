// CLevelStatistic2Test.cpp: the story level's result over the bundled data, on the test's clock:
// every phase's value and time, the medal that the hints earn, fast-forward, the rank step at a
// threshold with the new-rank popup, two trophies due at once, a hardcore level, and the stores
// written when the result is in.
#include "screens/CLevelStatistic2.h"

#include "ResultTestRoot.h"
#include "app/CFlyingEffects.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"
#include "screens/CNewRank.h"
#include "screens/CNewTrophy.h"
#include "progress/ProgressRules.h"
#include "support/FileReplaceWatch.h"

#include <gtest/gtest.h>

namespace {

class CLevelStatistic2Test : public ResultTestRoot {
protected:
    CLevelStatistic2* OpenResult() { return Open(CLevelStatistic2::Create(0)); }

    // OK as the player presses it, once the window stands.
    void PressOk(CResultPopup& popup)
    {
        Step(40);
        Tap(*popup.GetOkButton());
    }
};

}  // namespace

TEST_F(CLevelStatistic2Test, EveryPhaseShowsItsFigureAtItsTimeAndTheResultIsStored)
{
    Record().m_nStoryScore = 1000;
    StartGame(0, 0, -1);
    SetPlay(600, 2, 3, 2);
    const int maxCombo = Table().Scores().m_nScoreMaxCombo;
    ASSERT_GT(maxCombo, 0);
    FileReplaceWatch saves(m_root + "/data");
    ASSERT_TRUE(saves.IsWatching());
    CLevelStatistic2* result = OpenResult();
    EXPECT_EQ(Text("statistic_score"), L"");
    EXPECT_EQ(Text("Statistics_cb"), L"Collected Bonuses:");

    ASSERT_TRUE(RunToPhase(*result, 13));
    Step(1, true);
    Screenshot("story_result");
    // When each phase ran: 0.3 s after the last one, or after its batch and then its pause. The
    // level's points count for 1.5 s; 0.9 s for the medal; each bonus line 0.8 s and 0.3 s;
    // 1.2 s for the sparks to reach the rank bar; a batch of no points takes one step.
    const float tolerance = 2 * kStep;
    auto ran = [this](int phase) { return PhaseTime(phase + 1); };
    EXPECT_NEAR(ran(0), 0.3f, tolerance);
    EXPECT_NEAR(ran(2) - ran(1), 0.3f, tolerance);
    EXPECT_NEAR(ran(3) - ran(2), 1.5f + 0.3f, tolerance);
    EXPECT_NEAR(ran(6) - ran(5), 0.15f, tolerance);
    EXPECT_NEAR(ran(7) - ran(6), 0.9f, tolerance);
    EXPECT_NEAR(ran(8) - ran(7), 0.8f + 0.3f, tolerance);
    EXPECT_NEAR(ran(9) - ran(8), 0.8f + 0.3f, tolerance);
    EXPECT_NEAR(ran(10) - ran(9), kStep + 0.3f, tolerance);
    EXPECT_NEAR(ran(11) - ran(10), 1.2f, tolerance);
    EXPECT_NEAR(ran(12) - ran(11), 0.3f, tolerance);
    EXPECT_GT(ran(4) - ran(3), 0.3f) << "the hint lamps come up first";

    const int total = 1600 + 3 * 50 + 3 * maxCombo;
    EXPECT_EQ(Text("statistic_name"), L"Klondike");
    EXPECT_EQ(Text("statistic_score"), FormatNumberW(total, -1));
    EXPECT_EQ(Text("statistic_award"), L"SILVER");
    EXPECT_EQ(Text("statistic_nofc"), L"3");
    EXPECT_EQ(Text("statistic_nofc_score"), L"+150");
    EXPECT_EQ(Text("statistic_mc"), L"3");
    EXPECT_EQ(Text("statistic_mc_score"), L"+" + FormatNumberW(3 * maxCombo, -1));
    EXPECT_EQ(Text("statistic_cb"), L"0");
    EXPECT_EQ(Text("statistic_cb_score"), L"+0");
    EXPECT_EQ(Text("statistic_rankname"), L"Deckhand");
    EXPECT_EQ(Text("statistic_nextrankname"), L"Sailor");
    EXPECT_EQ(result->GetHintsLight()->GetCurrentFrame(), 3);
    EXPECT_EQ(Record().m_nStoryScore, total);
    EXPECT_EQ(Record().m_storyLevels[0], kLevelSilver);
    EXPECT_EQ(Record().m_nLastMaxCombo, 3);

    // The result is in: another run would find it in both files.
    EXPECT_TRUE(result->IsCommitted());
    // The won level lands before its high score: a run killed between the two saves never keeps
    // the score without the level.
    EXPECT_EQ(saves.Replaced(), (std::vector<std::string>{"save.dat", "hiscores.dat"}));
    EXPECT_EQ(SavedRecord().m_nStoryScore, total);
    EXPECT_EQ(SavedRecord().m_storyLevels[0], kLevelSilver);
    EXPECT_EQ(SavedHighScore(0, "TESTER"), total);

    PressOk(*result);
    EXPECT_TRUE(Made(EScreenKind::StoryMap)) << "no rank rose and no trophy is due";
    ExpectNoProblems();
}

TEST_F(CLevelStatistic2Test, HintsEarnTheMedalAndALowerMedalKeepsTheStoredOne)
{
    struct Case {
        int hints;
        int stored;    // the level's state before
        int medal;
        int light;     // the hints light's frame
        int state;     // the level's state after
        int golds;     // consecutive golds after (2 before)
    };
    const Case cases[] = {
        {0, kLevelOpen, kLevelGold, 1, kLevelGold, 3},
        {2, kLevelOpen, kLevelSilver, 3, kLevelSilver, 0},
        {4, kLevelOpen, kLevelBronze, 5, kLevelBronze, 0},
        {7, kLevelOpen, kLevelBronze, 6, kLevelBronze, 0},
        {1, kLevelGold, kLevelSilver, 2, kLevelGold, 0},
    };
    StartGame(0, 0, -1);
    for (const Case& c : cases) {
        SCOPED_TRACE("hints " + std::to_string(c.hints));
        Record().m_storyLevels[0] = c.stored;
        Record().m_nConsecutiveGolds = 2;
        SetPlay(100, c.hints, 0, 0);
        CLevelStatistic2* result = OpenResult();
        ASSERT_TRUE(RunToPhase(*result, 7));
        EXPECT_EQ(result->GetMedal(), c.medal);
        EXPECT_EQ(result->GetHintsLight()->GetCurrentFrame(), c.light);
        EXPECT_EQ(Record().m_storyLevels[0], c.state);
        EXPECT_EQ(Record().m_nConsecutiveGolds, c.golds);
        EXPECT_TRUE(result->GetAward()->IsVisible());
        Dismiss();
    }
    ExpectNoProblems();
}

TEST_F(CLevelStatistic2Test, OkDuringTheCountLandsEveryPointAtOnceWithTheSameTotals)
{
    Record().m_nStoryScore = 5000;
    StartGame(1, 0, -1);
    SetPlay(800, 0, 2, 1);
    const int maxCombo = Table().Scores().m_nScoreMaxCombo;
    CLevelStatistic2* result = OpenResult();
    ASSERT_TRUE(RunToPhase(*result, 3));
    ASSERT_TRUE(result->GetCount().IsCounting());
    PressKey(kVkEnter, 0);  // Enter is OK
    int steps = 0;
    while (!result->IsEnded() && steps < 40) {
        Step();
        ++steps;
    }
    EXPECT_TRUE(result->IsEnded());
    EXPECT_LT(steps, 20) << "one frame a phase";
    EXPECT_EQ(Record().m_nStoryScore, 5800 + 2 * 50 + 2 * maxCombo);
    EXPECT_EQ(Record().m_storyLevels[1], kLevelGold);
    EXPECT_EQ(SavedHighScore(0, "TESTER"), Record().m_nStoryScore);
    ExpectNoProblems();
}

TEST_F(CLevelStatistic2Test, AGoldThatCrossesARankThresholdRaisesTheRankAndTheNewRankFollows)
{
    // Eight bronze levels: 8 medal points, rank 1, 80 % of the way to rank 2 (9 points).
    for (int level = 0; level < 8; ++level)
        Record().m_storyLevels[static_cast<std::size_t>(level)] = kLevelBronze;
    Record().m_nRank = 1;
    Record().m_nRankProgress = 80;
    StartGame(0, 0, -1);
    SetPlay(300, 0, 0, 0);
    CLevelStatistic2* result = OpenResult();
    ASSERT_TRUE(RunToPhase(*result, 2));
    CFAnimationInstance* bar = result->GetRankBar();
    EXPECT_EQ(bar->GetCurrentFrame(), 80);
    ASSERT_TRUE(RunToPhase(*result, 11));
    EXPECT_GT(result->GetSparks()->GetCount(), 0) << "the gold's sparks fly to the bar";
    ASSERT_TRUE(RunToPhase(*result, 12));
    EXPECT_EQ(Record().m_nRank, 2);
    EXPECT_EQ(Record().m_nRankProgress, 0);
    EXPECT_EQ(result->GetPreviousRank(), 1);
    // A risen rank fills the bar: 101 steps of the fraction, held to the bar's last frame.
    EXPECT_EQ(bar->GetLastFrame(), bar->GetFrameCount() - 1);
    Step(120, true);
    EXPECT_EQ(bar->GetCurrentFrame(), bar->GetFrameCount() - 1);
    Screenshot("story_result_rank");

    Tap(*result->GetOkButton());
    CNewRank* rank = Shown<CNewRank>();
    ASSERT_NE(rank, nullptr);
    EXPECT_EQ(rank->GetEmblemFrame(), 2);
    Step(60, true);
    ASSERT_NE(rank->GetEmblem(), nullptr);
    EXPECT_EQ(rank->GetEmblem()->GetCurrentFrame(), 2);
    Screenshot("new_rank");
    Play("1 move " + std::to_string(400) + " 470\n2 down 2\n3 up 2\n", 6);  // the right button: nothing
    EXPECT_FALSE(Made(EScreenKind::StoryMap));
    Tap(*rank->GetOkButton());
    EXPECT_TRUE(Made(EScreenKind::StoryMap));
    ExpectNoProblems();
}

TEST_F(CLevelStatistic2Test, TwoTrophiesDueAtOnceArePresentedInTurnThenTheTrophyRoomAwardsThem)
{
    Record().m_nStoryScore = 19500;
    Record().m_nConsecutiveGolds = 2;
    StartGame(0, 0, -1);
    SetPlay(600, 0, 0, 0);  // 20,100 points and a third gold in a row
    CLevelStatistic2* result = OpenResult();
    ASSERT_TRUE(RunToPhase(*result, 13));
    EXPECT_EQ(Record().m_nRank, 0);
    Tap(*result->GetOkButton());
    CNewTrophy* trophy = Shown<CNewTrophy>();
    ASSERT_NE(trophy, nullptr);
    EXPECT_EQ(trophy->GetPresented(), 2);  // "between 20,000 and 50,000"
    Step(60, true);
    Screenshot("new_trophy");
    ASSERT_NE(trophy->GetOkButton(), nullptr);
    Tap(*trophy->GetOkButton());
    EXPECT_EQ(trophy->GetPresented(), 4);  // "three golds in a row"
    EXPECT_FALSE(Made(EScreenKind::TrophyRoom, 1));
    Step(60);
    Tap(*trophy->GetOkButton());
    EXPECT_TRUE(Made(EScreenKind::TrophyRoom, 1));
    EXPECT_EQ(Record().m_trophyShown[2], 1);
    EXPECT_EQ(Record().m_trophyShown[4], 1);
    EXPECT_EQ(Record().m_trophyEarned[2], 0) << "earned in the trophy room";
    ExpectNoProblems();
}

TEST_F(CLevelStatistic2Test, AHardcoreLevelStoresItsMedalForItsLocation)
{
    StartGame(2, 8, 2);
    SetPlay(400, 3, 0, 0);
    CLevelStatistic2* result = OpenResult();
    ASSERT_TRUE(RunToPhase(*result, 13));
    EXPECT_EQ(Record().m_hardcoreLevels[2], kLevelSilver);
    EXPECT_EQ(Record().m_storyLevels[2], kLevelOpen);
    ExpectNoProblems();
}

TEST_F(CLevelStatistic2Test, CheatKeysSetTheTrophiesConditions)
{
    g_bCheatMode = true;
    StartGame(0, 0, -1);
    CLevelStatistic2* result = OpenResult();
    Step();
    PressKey('1', 0);
    EXPECT_EQ(Record().m_nStoryScore, 51000);
    PressKey('6', 0);
    EXPECT_EQ(Record().m_nConsecutiveGolds, 5);
    PressKey('0', 0);
    EXPECT_EQ(progress::MedalPoints(Record()), progress::kMaxMedalPoints);
    EXPECT_FALSE(result->IsEnded());
}
