// CClassicStatistic.cpp: the classic game's result and the way back to the classic selection.
#include "screens/CClassicStatistic.h"

#include "app/CFlyingEffects.h"
#include "app/Globals.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "app/CScreenFactory.h"
#include "progress/PlayerRecord.h"

#include <new>
#include <string>

namespace {

const char* const kTexts[] = {
    "classic_name", "statistic_score", "statistic_nofc", "statistic_nofc_score", "statistic_mc", "statistic_mc_score",
    "statistic_cb", "statistic_cb_score",
};

// The count's looping sound is asked for at pitch 0; the engine helper plays it at normal pitch.
constexpr float kLoopPitch = 0.0f;

}  // namespace

CClassicStatistic* CClassicStatistic::Create(int gameKind)
{
    return new (std::nothrow) CClassicStatistic(gameKind);
}

CClassicStatistic::CClassicStatistic(int)
    : CResultPopup({"classic", "move_classic_statistics", true, "bt_ok_stat", "statistic_score", ETotal::kClassic, 1})
{
    m_sName = "statisticClassic";
    TraceEvent(GetGameTime(), L"statisticClassic");
    for (const char* name : kTexts)
        SetText(name, "");
    SetText("Statistics_cb", CountsBonuses() ? "Collected Bonuses:" : "");
    m_pSparks = std::make_unique<CFlyingEffects>(m_pParticles.get(), "gfx/PARTICLES/score_count.psi",
                                                 "gfx/PARTICLES/particles.png", 31.0f, 63.0f, 32.0f, 32.0f);
    if (m_pOk != nullptr)
        m_pOk->SetVisible(false);
}

CClassicStatistic::~CClassicStatistic()
{
    m_pSparks.reset();
}

void CClassicStatistic::Release()
{
    delete this;
}

bool CClassicStatistic::CountsBonuses() const
{
    return Record().m_bUseBonuses != 0;
}

void CClassicStatistic::OnUpdateStart(float dt)
{
    CResultPopup::OnUpdateStart(dt);
    m_pSparks->Update(dt);
}

void CClassicStatistic::OnSlideEnded()
{
    CResultPopup::OnSlideEnded();
    if (m_pOk != nullptr)
        m_pOk->SetVisible(true);
}

void CClassicStatistic::RunPhase(int phase)
{
    const ResultFigures& f = m_figures;
    switch (phase) {
    case 0:
        m_count.Next(1, 0.0f);
        break;
    case 1:
        m_pSparks->StopAll();
        SetText("classic_name", f.levelName);
        m_count.Next(2, 0.3f);
        break;
    case 2:
        CountBatch(f.LevelPoints(), 1.5f);
        SetText("statistic_score", FormatNumber(Record().m_nClassicScore, -1));
        m_count.Next(3, 0.3f);
        break;
    case 3:
        CountBatch(50 * f.combos, 0.8f);
        SetText("statistic_nofc", std::to_string(f.combos));
        SetText("statistic_nofc_score", Plus(50 * f.combos));
        m_count.Next(4, 0.3f);
        break;
    case 4: {
        const int chain = f.longestChain == 0 ? 0 : f.longestChain + 1;
        CountBatch(chain * f.maxComboValue, 0.8f);
        Record().m_nLastMaxCombo = chain;
        SetText("statistic_mc", std::to_string(chain));
        SetText("statistic_mc_score", Plus(chain * f.maxComboValue));
        m_count.Next(CountsBonuses() ? 5 : 6, 0.3f);
        break;
    }
    case 5:
        CountBatch(100 * f.bonusesCollected, 0.8f);
        SetText("statistic_cb", std::to_string(f.bonusesCollected));
        SetText("statistic_cb_score", Plus(100 * f.bonusesCollected));
        m_count.Next(6, 0.3f);
        break;
    case 6:
        CommitResult();
        m_count.Next(7, 0.0f);
        break;
    default:
        if (m_count.IsFastForward())
            End();
        break;
    }
}

void CClassicStatistic::CountBatch(int points, float seconds)
{
    CountWithSound(points, seconds, kLoopPitch);
    if (points >= CCountUp::kShortBatch)
        (void)m_pSparks->Add(kScoreX, kScoreY, seconds, 0.0001f, 0);
}

void CClassicStatistic::End()
{
    if (!BeginEnd())
        return;
    const std::wstring key = L"C" + std::to_wstring(m_figures.level) + (m_figures.IsHardcore() ? L"H" : L"");
    TraceEvent(GetGameTime(), key, L"None", static_cast<double>(Record().m_nClassicScore), L"win");
    CScreenFactory::SwitchTo(EScreenKind::ClassicSelection);
}
