// CClassicStatisticTest.cpp: the classic game's result over the bundled data, on the test's clock:
// it waits for its window, counts the game and its bonuses into the classic total (the gauges'
// line only for a player who plays with bonuses), saves, and leads back to the classic selection.
#include "screens/CClassicStatistic.h"

#include "ResultTestRoot.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"

#include <gtest/gtest.h>

namespace {

class CClassicStatisticTest : public ResultTestRoot {
protected:
    CClassicStatistic* OpenResult() { return Open(CClassicStatistic::Create(1)); }
};

}  // namespace

TEST_F(CClassicStatisticTest, TheGameAndItsBonusesCountIntoTheClassicTotalAndOkGoesBack)
{
    for (bool bonuses : {false, true}) {
        SCOPED_TRACE(bonuses ? "with bonuses" : "without bonuses");
        Record().m_bUseBonuses = bonuses ? 1 : 0;
        Record().m_nClassicScore = 2000;
        m_madeKinds.clear();
        StartGame(3, 1, 0);
        SetPlay(900, 4, 2, 3);
        const int maxCombo = Table().Scores().m_nScoreMaxCombo;
        CClassicStatistic* result = OpenResult();
        EXPECT_EQ(Text("Statistics_cb"), bonuses ? L"Collected Bonuses:" : L"");
        Step();
        EXPECT_EQ(result->GetCount().GetPhase(), 0) << "nothing counts while the window slides in";
        EXPECT_FALSE(result->GetOkButton()->IsVisible());
        ASSERT_TRUE(RunToPhase(*result, 7));
        EXPECT_TRUE(result->GetOkButton()->IsVisible());
        const int total = 2900 + 2 * 50 + 4 * maxCombo;
        EXPECT_EQ(Text("classic_name"), L"FreeCell");
        EXPECT_EQ(Text("statistic_score"), FormatNumberW(total, -1));
        EXPECT_EQ(Text("statistic_nofc"), L"2");
        EXPECT_EQ(Text("statistic_nofc_score"), L"+100");
        EXPECT_EQ(Text("statistic_mc"), L"4");
        EXPECT_EQ(Text("statistic_mc_score"), L"+" + FormatNumberW(4 * maxCombo, -1));
        EXPECT_EQ(Text("statistic_cb"), bonuses ? L"0" : L"");
        EXPECT_EQ(PhaseTime(5) > 0.0f, bonuses) << "the gauges' line is counted only with bonuses";
        EXPECT_EQ(Record().m_nClassicScore, total);
        EXPECT_EQ(Record().m_nStoryScore, 0);
        EXPECT_EQ(Record().m_nLastMaxCombo, 4);
        EXPECT_EQ(SavedHighScore(1, "TESTER"), total);
        EXPECT_EQ(SavedRecord().m_nClassicScore, total);
        if (!bonuses) {
            Step(1, true);
            Screenshot("classic_result");
        }
        Tap(*result->GetOkButton());
        EXPECT_TRUE(Made(EScreenKind::ClassicSelection));
        m_phaseTimes.clear();
    }
    ExpectNoProblems();
}

TEST_F(CClassicStatisticTest, OkDuringTheFirstCountStillLandsEveryPoint)
{
    Record().m_nClassicScore = 100;
    StartGame(1, 1, 0);
    SetPlay(700, 0, 1, 0);
    CClassicStatistic* result = OpenResult();
    ASSERT_TRUE(RunToPhase(*result, 3));
    ASSERT_TRUE(result->GetCount().IsCounting());
    PressKey(kVkEscape, 0);  // after half a second Escape is OK as well
    for (int i = 0; i < 20 && !result->IsEnded(); ++i)
        Step();
    EXPECT_TRUE(result->IsEnded());
    EXPECT_EQ(Record().m_nClassicScore, 100 + 700 + 50);
    EXPECT_TRUE(Made(EScreenKind::ClassicSelection));
    ExpectNoProblems();
}
