// CLevelStatistic2.cpp: the story level's result: its phases, the medal, the rank and what follows.
#include "screens/CLevelStatistic2.h"

#include "app/CFlyingEffects.h"
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFResource.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "screens/CNewRank.h"
#include "screens/CNewTrophy.h"
#include "app/CScreenFactory.h"
#include "progress/ProgressRules.h"
#include "table/CCardFlight.h"
#include "table/CInterface.h"
#include "table/GameMode.h"

#include <algorithm>
#include <new>

namespace {

const char* const kModule = "interface";

const char* const kTexts[] = {
    "statistic_name", "statistic_score", "statistic_award", "statistic_nofc", "statistic_nofc_score", "statistic_mc",
    "statistic_mc_score", "statistic_cb", "statistic_cb_score", "statistic_rankname", "statistic_nextrankname",
};

const char* MedalTitle(int medal)
{
    return medal == kLevelGold ? "GOLD" : medal == kLevelSilver ? "SILVER" : "BRONZE";
}

const char* MedalKey(int medal)
{
    return medal == kLevelGold ? "gold" : medal == kLevelSilver ? "silver" : "bronze";
}

std::string RankName(int rankIndex)
{
    return "rankname" + std::to_string(rankIndex + 1);
}

std::string RankEffect(int rankIndex)
{
    return "rank_" + std::to_string(rankIndex + 1);
}

}  // namespace

CLevelStatistic2* CLevelStatistic2::Create(int gameKind)
{
    return new (std::nothrow) CLevelStatistic2(gameKind);
}

CLevelStatistic2::CLevelStatistic2(int gameKind)
    : CResultPopup({kModule, "move_in_statistic_story", true, "bt_ok", "statistic_score",
                    IsClassicMode(gameKind) ? ETotal::kClassic : ETotal::kStory, IsClassicMode(gameKind) ? 1 : 0}),
      m_nGameKind(gameKind)
{
    m_sName = "statisticStory";
    TraceEvent(GetGameTime(), L"statisticStory");
    ClearTexts();
    m_pSparks = std::make_unique<CFlyingEffects>(m_pParticles.get(), "gfx/PARTICLES/bonus_from_card.psi",
                                                 "gfx/PARTICLES/particles.png", 63.0f, 0.0f, 32.0f, 32.0f);
    m_pHints = MakeInstance("hints");
    m_pHintsLight = MakeInstance("hints_light");
    m_pAward = MakeInstance("award");
    m_pAward->GetPartPosition(&m_fAwardX, &m_fAwardY, 0, 0);
    SetUpRankBar();
    SetUpEmblems();
}

CLevelStatistic2::~CLevelStatistic2()
{
    m_pNextEmblem.reset();
    m_pEmblem.reset();
    m_pRankBar.reset();
    m_pAward.reset();
    m_pHintsLight.reset();
    m_pHints.reset();
    m_pSparks.reset();
}

void CLevelStatistic2::Release()
{
    delete this;
}

std::unique_ptr<CFAnimationInstance> CLevelStatistic2::MakeInstance(const char* effect)
{
    auto instance = std::make_unique<CFAnimationInstance>(&m_group, CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)instance->LoadEffect(g_pResource, kModule, effect);  // a missing one is logged there
    instance->SetVisible(false);
    return instance;
}

void CLevelStatistic2::ClearTexts()
{
    for (const char* name : kTexts)
        SetText(name, "");
    SetText("Statistics_cb", CountsBonuses() ? "Collected Bonuses:" : "");
}

// Only a classic count leaves the bonuses out, and only for a player who plays without them.
bool CLevelStatistic2::CountsBonuses() const
{
    return !IsClassicMode(m_nGameKind) || Record().m_bUseBonuses != 0;
}

void CLevelStatistic2::SetUpRankBar()
{
    m_pRankBar = MakeInstance("rank");
    const int frame = progress::RankBarFrame(Record(), m_pRankBar->GetFrameCount());
    m_pRankBar->PlayRange(frame, frame, false);
}

void CLevelStatistic2::SetUpEmblems()
{
    const int rank = Record().m_nRank;
    m_pEmblem = MakeInstance(RankEffect(rank).c_str());
    SetTextW("statistic_rankname", LookUpText(RankName(rank)));
    if (rank >= progress::kTopRank) {
        SetText("statistic_nextrankname", "");
        return;
    }
    m_pNextEmblem = MakeInstance(RankEffect(rank + 1).c_str());
    SetTextW("statistic_nextrankname", LookUpText(RankName(rank + 1)));
}

void CLevelStatistic2::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    m_pRankBar->SetVisible(true);
    if (Record().m_bMasterMode != 0)
        return;
    m_pEmblem->SetVisible(true);
    m_pEmblem->PlayCommandSection("visible", true);
    if (m_pNextEmblem != nullptr) {
        m_pNextEmblem->SetVisible(true);
        m_pNextEmblem->PlayCommandSection("next", true);
    }
}

void CLevelStatistic2::OnUpdateEnd(float dt)
{
    m_pSparks->Update(dt);
    if (g_bCheatMode)
        ApplyCheatKey(m_engine.LastKey());
    CResultPopup::OnUpdateEnd(dt);
}

// The cheat mode's shortcuts to the trophies' and ranks' conditions.
void CLevelStatistic2::ApplyCheatKey(int key)
{
    PlayerRecord& r = Record();
    switch (key) {
    case 'T':
        r.m_trophyEarned.fill(1);
        break;
    case 'Y':
        r.m_nRank = progress::kTopRank;
        break;
    case '1':
        r.m_nStoryScore = 51000;
        break;
    case '2':
        r.m_nLastMaxCombo = 4;
        break;
    case '3':
        r.m_nStoryScore = 21000;
        break;
    case '4':
        r.m_nBonusesUsed = 6;
        break;
    case '5':
        r.m_nConsecutiveGolds = 3;
        break;
    case '6':
        r.m_nConsecutiveGolds = 5;
        break;
    case '7':
        r.m_bonusLevels.fill(kLevelGold);
        break;
    case '8':
        r.m_bGoldenCard = 1;
        break;
    case '9':
        r.m_hardcoreLevels.fill(kLevelGold);
        break;
    case '0':
        r.m_storyLevels.fill(kLevelGold);
        r.m_hardcoreLevels.fill(kLevelGold);
        r.m_bonusLevels.fill(kLevelGold);
        break;
    default:
        break;
    }
}

void CLevelStatistic2::RunPhase(int phase)
{
    switch (phase) {
    case 0:
        m_count.Next(1, 0.0f);
        break;
    case 1:
        SetText("statistic_name", m_figures.levelName);
        m_count.Next(2, 0.3f);
        break;
    case 2: {
        CountWithSound(m_figures.LevelPoints(), 1.5f);
        const PlayerRecord& r = Record();
        SetText("statistic_score", FormatNumber(IsClassicMode(m_nGameKind) ? r.m_nClassicScore : r.m_nStoryScore, -1));
        m_count.Next(3, 0.3f);
        break;
    }
    case 3:
        m_pHints->SetVisible(true);
        m_pHints->Play(false);
        m_count.Next(4, 0.0f);
        break;
    case 4:
        if (m_pHints->IsPlaying() && !m_count.IsFastForward())
            return;  // the hint counter runs to its end first
        ShowHintsLight();
        m_count.Next(5, 0.15f);
        break;
    case 5:
        if (m_pHintsLight->IsPlaying() && !m_count.IsFastForward())
            return;
        AwardMedal();
        m_count.Next(6, 0.15f);
        break;
    case 6:
        ShowMedal();
        m_count.Next(7, 0.9f);
        break;
    case 7:
        CountCombos();
        m_count.Next(8, 0.3f);
        break;
    case 8:
        CountLongestChain();
        m_count.Next(9, 0.3f);
        break;
    case 9:
        if (!CountsBonuses()) {
            m_count.Next(10, 0.0f);
            break;
        }
        CountBonuses();
        m_count.Next(10, 0.3f);
        break;
    case 10:
        SpawnMedalSparks();
        m_count.Next(11, 1.2f);
        break;
    case 11:
        StepRank();
        m_count.Next(12, 0.3f);
        break;
    case 12:
        CommitResult();
        m_count.Next(13, 0.0f);
        break;
    default:
        if (m_count.IsFastForward())
            End();
        break;
    }
}

// Frame 1 for no hint, h + 1 for up to 4 hints, 6 for more.
void CLevelStatistic2::ShowHintsLight()
{
    const int hints = m_figures.hintsUsed;
    const int frame = std::max(hints <= 4 ? hints + 1 : 6, 1);
    m_pHintsLight->SetVisible(true);
    m_pHintsLight->SetRepeatFrameEvents(false);
    m_pHintsLight->PlayRange(frame, frame, true);
}

void CLevelStatistic2::AwardMedal()
{
    PlayCountSoundOnce();
    m_nMedal = progress::MedalFromHints(m_figures.hintsUsed);
    m_sMedalKey = MedalKey(m_nMedal);
    SetText("statistic_award", MedalTitle(m_nMedal));
    progress::AwardLevelMedal(Record(), m_figures.level, m_figures.IsHardcore(), m_nMedal);
}

void CLevelStatistic2::ShowMedal()
{
    PlayMedalSound();
    (void)m_pAward->LoadEffect(g_pResource, kModule, ("award_" + m_sMedalKey).c_str());
    m_pAward->SetPosition(m_fAwardX, m_fAwardY, true);
    m_pAward->SetVisible(true);
    m_pAward->Play(true);
}

void CLevelStatistic2::CountCombos()
{
    const int points = m_figures.combos * 50;
    CountWithSound(points, 0.8f);
    SetText("statistic_nofc", std::to_string(m_figures.combos));
    SetText("statistic_nofc_score", Plus(points));
}

// A chain of m combos counts m + 1 cards in a row; no chain counts nothing.
void CLevelStatistic2::CountLongestChain()
{
    const int chain = m_figures.longestChain == 0 ? 0 : m_figures.longestChain + 1;
    const int points = chain * m_figures.maxComboValue;
    CountWithSound(points, 0.8f);
    Record().m_nLastMaxCombo = chain;
    SetText("statistic_mc", std::to_string(chain));
    SetText("statistic_mc_score", Plus(points));
}

void CLevelStatistic2::CountBonuses()
{
    const int points = m_figures.bonusesCollected * 100;
    CountWithSound(points, 0.8f);
    SetText("statistic_cb", std::to_string(m_figures.bonusesCollected));
    SetText("statistic_cb_score", Plus(points));
}

// Sparks leave the medal for the rank bar: four for every medal step.
void CLevelStatistic2::SpawnMedalSparks()
{
    const PlayerRecord& r = Record();
    if (r.m_bTopRankReached != 0 || r.m_bMasterMode != 0 || m_pGame == nullptr)
        return;
    const int x = static_cast<int>(m_fAwardX), y = static_cast<int>(m_fAwardY);
    FrameEffects frame;
    frame.count = 16;
    frame.special = m_nMedal * 4;
    frame.scale = 0.0f;
    frame.life = {0.81f, 0.83f};
    frame.delay = {1.0f, 1.0f};
    frame.delaySpecial = {0.05f, 0.2f};
    frame.flight = frame.hold = {kAtOnce, kAtOnce};
    frame.flightSpecial = {0.7f, 0.7f};
    frame.holdSpecial = {kAtOnce, 0.0f};
    frame.x1 = x - 22;
    frame.y1 = y - 20;
    frame.x2 = x + 22;
    frame.y2 = y + 28;
    frame.cx = static_cast<int>(kRankBarX);
    frame.cy = static_cast<int>(kRankBarY);
    frame.radius = 20;
    (void)m_pGame->SpawnFrameEffects(m_pSparks.get(), frame);
}

void CLevelStatistic2::StepRank()
{
    PlayerRecord& r = Record();
    const progress::RankStep step = progress::ApplyRankStep(r);
    m_nPreviousRank = step.previousRank;
    if (step.topRankNow && r.m_bMasterMode == 0)
        m_pRankBar->PlayCommandSection("win", false);
    if (!step.moveBar)
        return;
    // A full bar is 101 steps of the fraction; the bar's own last frame is as far as it goes.
    const int last = std::max(m_pRankBar->GetFrameCount() - 1, 0);
    m_pRankBar->PlayRange(m_pRankBar->GetCurrentFrame(), std::min(step.targetFrame, last), false);
}

void CLevelStatistic2::End()
{
    if (!BeginEnd())
        return;
    const PlayerRecord& r = Record();
    std::wstring key = L"S" + std::to_wstring(m_figures.level) + (m_figures.IsHardcore() ? L"H" : L"");
    TraceEvent(GetGameTime(), key, progress::MedalName(m_nMedal), static_cast<double>(r.m_nStoryScore), L"win");
    if (r.m_nRank > m_nPreviousRank) {
        CSlideInPopup::Attach(m_pParent, CNewRank::Create());
        return;
    }
    if (progress::IsTrophyDue(r)) {
        CSlideInPopup::Attach(m_pParent, CNewTrophy::Create());
        return;
    }
    CScreenFactory::SwitchTo(EScreenKind::StoryMap);
}
