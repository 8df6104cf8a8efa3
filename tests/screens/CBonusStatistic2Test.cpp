// CBonusStatistic2Test.cpp: the bonus level's result over the bundled data, on the test's clock:
// the goal layout with won, lost and missing goals, the time layout in every grade, the medal it
// stores, what follows, and the time templates filled without reading them as formats.
#include "screens/CBonusStatistic2.h"

#include "ResultTestRoot.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"
#include "screens/CNewTrophy.h"
#include "table/CBonusClock.h"

#include <gtest/gtest.h>

namespace {

class CBonusStatistic2Test : public ResultTestRoot {
protected:
    // The bonus level of location 1, won with the script's results.
    void WinBonusLevel(std::array<int, 3> goals, int time, int grade)
    {
        if (m_pGame == nullptr)
            StartGame(1, 2, 2);
        SetPlay(200, 0, 0, 0);
        CBonusClock& clock = *Table().GetBonusClock();
        clock.ResetGoals();
        for (std::size_t i = 0; i < goals.size(); ++i) {
            if (goals[i] >= 0)
                clock.RecordAttempt(static_cast<int>(i) + 1, goals[i] > 0);
        }
        if (time >= 0)
            clock.RecordGoal(time);
        clock.SetGrade(grade);
    }

    CBonusStatistic2* OpenResult() { return Open(CBonusStatistic2::Create(0)); }
};

}  // namespace

TEST_F(CBonusStatistic2Test, GoalsShowWonLostOrNothingAndPayTheirPoints)
{
    struct Case {
        std::array<int, 3> goals;
        int grade;
        const wchar_t* texts[3];
        const wchar_t* points[3];
        int bonus;
    };
    const Case cases[] = {
        {{1, 0, 1}, kLevelSilver, {L"WIN!", L"LOSE", L"WIN!"}, {L"+300", L"+0", L"+700"}, 1000},
        {{1, -1, 0}, kLevelBronze, {L"WIN!", L"", L"LOSE"}, {L"+300", L"", L"+0"}, 300},
        {{0, 0, 0}, 0, {L"LOSE", L"LOSE", L"LOSE"}, {L"+0", L"+0", L"+0"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("grade " + std::to_string(c.grade));
        Record().m_bonusLevels[1] = kLevelBronze;
        Record().m_nConsecutiveGolds = 1;
        WinBonusLevel(c.goals, -1, c.grade);
        const int before = Table().GetScoreKeeper()->GetScore();
        CBonusStatistic2* result = OpenResult();
        EXPECT_EQ(result->GetLayout(), CBonusStatistic2::kGoals);
        ASSERT_TRUE(RunToPhase(*result, 12));
        for (int g = 0; g < 3; ++g) {
            const std::string name = "bonus_statistic_a" + std::to_string(g + 1);
            EXPECT_EQ(Text(name.c_str()), c.texts[g]) << name;
            EXPECT_EQ(Text((name + "score").c_str()), c.points[g]) << name;
        }
        EXPECT_EQ(Record().m_nStoryScore, before + c.bonus);
        EXPECT_EQ(Text("bonus_statistic_scores"), FormatNumberW(before + c.bonus, -1));
        EXPECT_EQ(Record().m_bonusLevels[1], std::max(c.grade, static_cast<int>(kLevelBronze)));
        EXPECT_EQ(Record().m_nConsecutiveGolds, 0);
        EXPECT_EQ(result->GetAward()->IsVisible(), c.grade > 0);
        if (c.grade == kLevelSilver) {
            Step(1, true);
            Screenshot("bonus_result_goals");
        }
        Dismiss();
    }
    ExpectNoProblems();
}

TEST_F(CBonusStatistic2Test, TheTimeLayoutPaysTheGradesBonusAndStoresTheMedal)
{
    struct Case {
        int grade;
        const wchar_t* award;
        const wchar_t* bonus;
        int points;
    };
    const Case cases[] = {
        {0, L"", L"Time bonus: +0", 0},
        {kLevelBronze, L"BRONZE", L"Time bonus: +400", 400},
        {kLevelSilver, L"SILVER", L"Time bonus: +700", 700},
        {kLevelGold, L"GOLD", L"Time bonus: +1,000", 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("grade " + std::to_string(c.grade));
        Record().m_bonusLevels[1] = kLevelOpen;
        Record().m_nConsecutiveGolds = 4;
        WinBonusLevel({-1, -1, -1}, 95, c.grade);
        const int before = Table().GetScoreKeeper()->GetScore();
        CBonusStatistic2* result = OpenResult();
        EXPECT_EQ(result->GetLayout(), CBonusStatistic2::kTime);
        ASSERT_TRUE(RunToPhase(*result, 12));
        EXPECT_EQ(Text("bonus_statistic2_time"), L"Your time: 95 seconds");
        EXPECT_EQ(Text("bonus_statistic2_time_score"), c.bonus);
        EXPECT_EQ(Text("bonus_statistic_youaward"), c.award);
        EXPECT_EQ(Text("bonus_statistic_a1"), L"");
        EXPECT_EQ(Record().m_nStoryScore, before + c.points);
        EXPECT_EQ(Record().m_bonusLevels[1], c.grade > 0 ? c.grade : static_cast<int>(kLevelOpen));
        EXPECT_EQ(Record().m_nConsecutiveGolds, c.grade == kLevelGold ? 5 : 0);
        if (c.grade == kLevelGold) {
            Step(30, true);
            Screenshot("bonus_result_time");
        }
        Dismiss();
    }
    ExpectNoProblems();
}

TEST_F(CBonusStatistic2Test, OkLeadsToTheDueTrophyOrTheStoryMapWithTheResultSaved)
{
    Record().m_nStoryScore = 49900;
    WinBonusLevel({1, 1, 1}, -1, kLevelGold);  // 50,100 points and 1,500 for the goals
    CBonusStatistic2* result = OpenResult();
    ASSERT_TRUE(RunToPhase(*result, 12));
    EXPECT_EQ(Record().m_nRank, 0) << "a bonus level leaves the rank to the next story level";
    EXPECT_EQ(SavedHighScore(0, "TESTER"), 50100 + 1500);
    EXPECT_EQ(SavedRecord().m_bonusLevels[1], kLevelGold);
    Step(40);
    Tap(*result->GetOkButton());
    CNewTrophy* trophy = Shown<CNewTrophy>();
    ASSERT_NE(trophy, nullptr);
    EXPECT_EQ(trophy->GetPresented(), 0);

    Dismiss();
    Record().m_trophyShown.fill(1);
    WinBonusLevel({1, 0, 0}, -1, kLevelBronze);
    result = OpenResult();
    ASSERT_TRUE(RunToPhase(*result, 12));
    Step(40);
    Tap(*result->GetOkButton());
    EXPECT_TRUE(Made(EScreenKind::StoryMap));
    ExpectNoProblems();
}

TEST(BonusTimeTemplate, TheNumberTakesThePlaceOfTheFirstPlaceholderAndNothingElseIsRead)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* filled;
    };
    const Case cases[] = {
        {L"Your time: %d seconds", L"Your time: 42 seconds"},
        {L"+%s", L"+42"},
        {L"%n%n %s %x", L"%n%n 42 %x"},   // a stray %n stays text: nothing is written through it
        {L"%s and %s", L"42 and %s"},
        {L"no number", L"no number"},
        {L"%", L"%"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CBonusStatistic2::FillTemplate(c.text, L"42"), c.filled) << std::wstring(c.text).size();
    EXPECT_EQ(CBonusStatistic2::TimeBonus(0), 0);
    EXPECT_EQ(CBonusStatistic2::TimeBonus(kLevelGold), 1000);
}
