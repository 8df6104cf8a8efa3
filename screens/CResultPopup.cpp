// CResultPopup.cpp: the shared frame of the result popups, their sounds and the commit.
#include "screens/CResultPopup.h"

#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFButton.h"
#include "framework/CFResource.h"
#include "framework/CParticleManager.h"
#include "framework/StringUtils.h"
#include "framework/TraceEvent.h"
#include "progress/CHiScoreTable.h"
#include "progress/CProfileStore.h"
#include "table/CCardTable.h"
#include "table/CInterface.h"
#include "table/CRainEffect.h"
#include "table/CScoreKeeper.h"

namespace {

constexpr float kParticleRate = 50.0f;

ResultFigures FiguresOf(const CInterface* game)
{
    return game != nullptr ? ResultFigures::Read(*game) : ResultFigures();
}

}  // namespace

CResultPopup::CResultPopup(const Setup& setup)
    : CSlideInPopup(setup.module, setup.move, setup.playParts),
      m_pGame(ResultFigures::CurrentGame()),
      m_figures(FiguresOf(m_pGame)),
      m_count(m_figures.baseScore),
      m_pParticles(std::make_unique<CParticleManager>(kParticleRate)),
      m_setup(setup)
{
    m_hCountSound = m_engine.LoadSound("sfx/sounds/game_scores.ogg");
    m_pOk = AddEffectButton(setup.okEffect, MakeDelegate(this, &CResultPopup::OnOk));
}

CResultPopup::~CResultPopup()
{
    CommitResult();
    StopCountSound();
    m_engine.FreeSound(m_hCountSound);
}

PlayerRecord& CResultPopup::Record()
{
    static PlayerRecord none;  // a popup without a profile store counts into nothing
    return g_pProfileStore != nullptr ? g_pProfileStore->m_current : none;
}

void CResultPopup::OnUpdateStart(float dt)
{
    m_fFrameTime = dt;
    if (m_pGame != nullptr && m_pGame->GetTable() != nullptr)
        m_pGame->GetTable()->GetRain()->Update(dt, true);
    m_pParticles->Update(dt);
}

void CResultPopup::OnUpdateEnd(float dt)
{
    if (!IsCountHeld())
        m_count.Step(dt, *this);
}

void CResultPopup::Render()
{
    RenderBackdrop();
    if (m_bVisible) {
        m_group.Render();
        if (!IsSliding())
            m_controller.Render();
        m_pParticles->Render();
        RenderAbove();
    }
    CScreenBase::Render();
}

void CResultPopup::OnOk(CFObject*, int)
{
    TraceEvent(GetGameTime(), L"ok");
    m_count.FastForward();
}

void CResultPopup::ShowScore(int displayed)
{
    SetText(m_setup.scoreText, FormatNumber(displayed, -1));
}

void CResultPopup::OnCountEnded(int total)
{
    PlayerRecord& record = Record();
    (m_setup.total == ETotal::kClassic ? record.m_nClassicScore : record.m_nStoryScore) = total;
    if (m_pGame != nullptr && m_pGame->GetTable() != nullptr)
        m_pGame->GetTable()->GetScoreKeeper()->Update(m_fFrameTime);  // the table's score follows
    StopCountSound();
}

void CResultPopup::CountWithSound(int points, float seconds, float loopPitch)
{
    m_count.Count(points, seconds);
    StopCountSound();
    (void)m_engine.PlaySound(m_hCountSound, false);
    m_hCountChannel = m_engine.PlaySound(m_hCountSound, true, loopPitch);
    if (m_hCountChannel != 0 && CSoundManager::Exists())
        CSoundManager::GetInstance()->AddChannel(m_hCountChannel);  // paused with the music
}

void CResultPopup::PlayCountSoundOnce()
{
    (void)m_engine.PlaySound(m_hCountSound, false);
}

void CResultPopup::PlayMedalSound()
{
    if (CSoundManager::Exists())
        (void)m_engine.PlaySound(CSoundManager::GetInstance()->m_gameLevelMedal, false);
}

void CResultPopup::StopCountSound()
{
    if (m_hCountChannel == 0)
        return;
    if (CSoundManager::Exists())
        CSoundManager::GetInstance()->RemoveChannel(m_hCountChannel);
    if (m_engine.IsChannelPlaying(m_hCountChannel))
        m_engine.StopChannel(m_hCountChannel);
    m_hCountChannel = 0;
}

void CResultPopup::SetTextW(const char* name, const std::wstring& text)
{
    if (g_pResource != nullptr)
        g_pResource->SetTextW(name, text.c_str());
}

std::wstring CResultPopup::LookUpText(const std::string& name)
{
    const wchar_t* text = g_pResource != nullptr ? g_pResource->GetText(name.c_str()) : nullptr;
    return text != nullptr ? text : L"";
}

std::string CResultPopup::Plus(int points)
{
    return "+" + FormatNumber(points, -1);
}

void CResultPopup::CommitResult()
{
    if (m_bCommitted)
        return;
    m_bCommitted = true;
    const PlayerRecord& record = Record();
    // The progress first: a run ended between the two saves may lose the high score, never keep
    // it without the level that earned it.
    if (g_pProfileStore != nullptr)
        (void)g_pProfileStore->Save();  // a failure is logged by the store
    if (g_pHiScoreTable != nullptr) {
        const int score = m_setup.highScoreTable == 1 ? record.m_nClassicScore : record.m_nStoryScore;
        g_pHiScoreTable->AddScore(m_setup.highScoreTable, record.GetName(), record.m_nRank, score);
    }
}

bool CResultPopup::BeginEnd()
{
    if (m_bEnded)
        return false;
    m_bEnded = true;
    CommitResult();
    return true;
}
