// CClassicStatistic.cpp: the classic game's result and the way back to the classic selection.
#include "screens/CClassicStatistic.h"

#include "app/CFlyingEffects.h"
#include "app/Globals.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "app/CScreenFactory.h"
#include "progress/PlayerRecord.h"

#include <iterator>
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
    using P = CClassicStatistic;
    static constexpr PhaseStep<P> kSteps[] = {
        /* kPhaseWait */ &WaitStep<P>,
        /* kPhaseName */
        [](P& p) {
            p.m_pSparks->StopAll();
            p.SetText("classic_name", p.m_figures.levelName);
            return Then(0.3f);
        },
        /* kPhaseGamePoints */
        [](P& p) {
            p.CountBatch(p.m_figures.LevelPoints(), 1.5f);
            p.SetText("statistic_score", FormatNumber(Record().m_nClassicScore, -1));
            return Then(0.3f);
        },
        /* kPhaseCombos */
        [](P& p) {
            const int combos = p.m_figures.combos;
            p.CountBatch(50 * combos, 0.8f);
            p.SetText("statistic_nofc", std::to_string(combos));
            p.SetText("statistic_nofc_score", Plus(50 * combos));
            return Then(0.3f);
        },
        /* kPhaseLongestChain */
        [](P& p) {
            const ResultFigures& f = p.m_figures;
            const int chain = f.longestChain == 0 ? 0 : f.longestChain + 1;
            p.CountBatch(chain * f.maxComboValue, 0.8f);
            Record().m_nLastMaxCombo = chain;
            p.SetText("statistic_mc", std::to_string(chain));
            p.SetText("statistic_mc_score", Plus(chain * f.maxComboValue));
            return p.CountsBonuses() ? Then(0.3f) : Skip(kPhaseCommit, 0.3f);
        },
        /* kPhaseGauges */
        [](P& p) {
            const int collected = p.m_figures.bonusesCollected;
            p.CountBatch(100 * collected, 0.8f);
            p.SetText("statistic_cb", std::to_string(collected));
            p.SetText("statistic_cb_score", Plus(100 * collected));
            return Then(0.3f);
        },
        /* kPhaseCommit */ &CommitStep<P>,
    };
    static_assert(std::size(kSteps) == kPhaseWaitForOk, "one step for each phase before the wait for OK");
    if (!RunPhaseTable(*this, kSteps, phase) && m_count.IsFastForward())
        End();
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
