// CBonusStatistic2.cpp: the bonus level's result: goals or time, the graded medal, what follows.
#include "screens/CBonusStatistic2.h"

#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "screens/CNewTrophy.h"
#include "app/CScreenFactory.h"
#include "progress/ProgressRules.h"
#include "table/GameMode.h"

#include <algorithm>
#include <new>

namespace {

const char* const kModule = "bonus_statistic";

const char* const kTexts[] = {
    "bonus_statistic_name",    "bonus_statistic_scores",   "bonus_statistic_a1",       "bonus_statistic_a1score",
    "bonus_statistic_a2",      "bonus_statistic_a2score",  "bonus_statistic_a3",       "bonus_statistic_a3score",
    "bonus_statistic_youaward", "bonus_statistic2_time",   "bonus_statistic2_time_score",
};

const char* MedalKey(int grade)
{
    switch (grade) {
    case kLevelBronze:
        return "bronze";
    case kLevelSilver:
        return "silver";
    case kLevelGold:
        return "gold";
    default:
        return "";
    }
}

std::string GoalText(int goal, const char* suffix)
{
    return "bonus_statistic_a" + std::to_string(goal) + suffix;
}

}  // namespace

CBonusStatistic2* CBonusStatistic2::Create(int gameKind)
{
    return new (std::nothrow) CBonusStatistic2(gameKind);
}

CBonusStatistic2::ELayout CBonusStatistic2::LayoutOf(const ResultFigures& figures)
{
    return std::any_of(figures.goals.begin(), figures.goals.end(), [](int goal) { return goal >= 0; }) ? kGoals
                                                                                                       : kTime;
}

// The layout decides which window slides in, so it is read before the popup is built.
CBonusStatistic2::ELayout CBonusStatistic2::CurrentLayout()
{
    const CInterface* game = ResultFigures::CurrentGame();
    return game != nullptr ? LayoutOf(ResultFigures::Read(*game)) : kTime;
}

CBonusStatistic2::CBonusStatistic2(int gameKind) : CBonusStatistic2(gameKind, CurrentLayout()) {}

// The goal window's parts wait: its part "main_1" plays the medal's command instead.
CBonusStatistic2::CBonusStatistic2(int gameKind, ELayout layout)
    : CResultPopup({kModule, layout == kGoals ? "move_bonus_statistics" : "move_bonus_statistics2", layout == kTime,
                    "bt_ok", "bonus_statistic_scores", ETotal::kStory, IsClassicMode(gameKind) ? 1 : 0}),
      m_nLayout(layout)
{
    m_sName = "statisticBonus";
    TraceEvent(GetGameTime(), L"statisticBonus");
    m_sMedalKey = MedalKey(m_figures.grade);
    ClearTexts();
    if (m_nLayout == kGoals)
        GetShadow()->PlayCommand(0, m_figures.grade > 0 ? "main_1.award" : "main_1.no_award", true);
    m_pAward = std::make_unique<CFAnimationInstance>(&m_group, CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)m_pAward->LoadEffect(g_pResource, kModule, "award");  // a missing one is logged there
    m_pAward->SetVisible(false);
    m_pAward->GetPartPosition(&m_fAwardX, &m_fAwardY, 0, 0);
}

CBonusStatistic2::~CBonusStatistic2()
{
    m_pAward.reset();
}

void CBonusStatistic2::Release()
{
    delete this;
}

int CBonusStatistic2::TimeBonus(int grade)
{
    switch (grade) {
    case kLevelGold:
        return 1000;
    case kLevelSilver:
        return 700;
    case kLevelBronze:
        return 400;
    default:
        return 0;  // a time level without a medal earns nothing
    }
}

std::wstring CBonusStatistic2::FillTemplate(const std::wstring& text, const std::wstring& value)
{
    std::size_t at = std::wstring::npos;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == L'%' && (text[i + 1] == L'd' || text[i + 1] == L's')) {
            at = i;
            break;
        }
    }
    if (at == std::wstring::npos)
        return text;
    return text.substr(0, at) + value + text.substr(at + 2);
}

void CBonusStatistic2::ClearTexts()
{
    for (const char* name : kTexts)
        SetText(name, "");
}

void CBonusStatistic2::RunPhase(int phase)
{
    switch (phase) {
    case 0:
        m_count.Next(1, 0.0f);
        break;
    case 1:
        SetText("bonus_statistic_name", m_figures.levelName);
        m_count.Next(2, 0.3f);
        break;
    case 2:
        CountWithSound(m_figures.LevelPoints(), 1.5f);
        SetText("bonus_statistic_scores", FormatNumber(Record().m_nStoryScore, -1));
        m_count.Next(3, 0.3f);
        break;
    case 3:
    case 5:
    case 7:
        ShowGoal((phase - 1) / 2);
        break;
    case 4:
    case 6:
    case 8:
        CountGoal((phase - 2) / 2);
        break;
    case 9:
        ShowTime();
        break;
    case 10:
        CountTimeBonus();
        break;
    case 11:
        AwardMedal();
        CommitResult();
        m_count.Next(12, 0.3f);
        break;
    default:
        if (m_count.IsFastForward())
            End();
        break;
    }
}

void CBonusStatistic2::ShowGoal(int goal)
{
    const int result = m_figures.goals[static_cast<std::size_t>(goal - 1)];
    const int next = 2 * goal + 2;
    if (result < 0) {
        m_count.Next(next, 0.0f);  // the level has no such goal: no time spent on it
        return;
    }
    SetText(GoalText(goal, ""), result == 0 ? "LOSE" : "WIN!");
    PlayCountSoundOnce();
    m_count.Next(next, 0.15f);
}

// A met goal is worth 300, 500 or 700 points, a missed one nothing.
void CBonusStatistic2::CountGoal(int goal)
{
    const int result = m_figures.goals[static_cast<std::size_t>(goal - 1)];
    const int next = 2 * goal + 3;
    if (result < 0) {
        m_count.Next(next, 0.0f);
        return;
    }
    const int points = (300 + 200 * (goal - 1)) * result;
    CountWithSound(points, 0.8f);
    SetText(GoalText(goal, "score"), Plus(points));
    m_count.Next(next, 0.3f);
}

// Data texts fill only through FillTemplate: a stray format sequence in them stays plain text.
void CBonusStatistic2::ShowTime()
{
    if (m_nLayout != kTime) {
        m_count.Next(10, 0.0f);
        return;
    }
    const std::wstring time = std::to_wstring(std::max(m_figures.time, 0));
    SetTextW("bonus_statistic2_time", FillTemplate(LookUpText("bonus_statistic2_time_template"), time));
    PlayCountSoundOnce();
    m_count.Next(10, 0.15f);
}

void CBonusStatistic2::CountTimeBonus()
{
    if (m_nLayout != kTime) {
        m_count.Next(11, 0.0f);
        return;
    }
    const int points = TimeBonus(m_figures.grade);
    CountWithSound(points, 1.5f);
    SetTextW("bonus_statistic2_time_score",
             FillTemplate(LookUpText("bonus_statistic2_time_score_template"), FormatNumberW(points, -1)));
    m_count.Next(11, 0.3f);
}

void CBonusStatistic2::AwardMedal()
{
    const int grade = m_figures.grade;
    SetText("bonus_statistic_youaward",
            grade == kLevelGold ? "GOLD" : grade == kLevelSilver ? "SILVER" : grade == kLevelBronze ? "BRONZE" : "");
    PlayerRecord& r = Record();
    progress::StoreMedal(r, progress::StoryEntry::Bonus(m_figures.level), grade);
    r.m_nConsecutiveGolds = grade == kLevelGold ? r.m_nConsecutiveGolds + 1 : 0;
    if (m_sMedalKey.empty())
        return;
    (void)m_pAward->LoadEffect(g_pResource, "interface", ("award_" + m_sMedalKey).c_str());
    m_pAward->SetPosition(m_fAwardX, m_fAwardY, true);
    m_pAward->SetVisible(true);
    m_pAward->Play(true);
    PlayMedalSound();
}

void CBonusStatistic2::End()
{
    if (!BeginEnd())
        return;
    const PlayerRecord& r = Record();
    TraceEvent(GetGameTime(), L"S" + std::to_wstring(m_figures.level) + L"B", progress::MedalName(m_figures.grade),
               static_cast<double>(r.m_nStoryScore), L"win");
    if (progress::IsTrophyDue(r)) {
        CSlideInPopup::Attach(m_pParent, CNewTrophy::Create());
        return;
    }
    CScreenFactory::SwitchTo(EScreenKind::StoryMap);
}
