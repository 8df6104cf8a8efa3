// CMoveIndicator.cpp: the move indicator light, its sparkles and its first-time windows.
#include "table/CMoveIndicator.h"

#include "app/CPathEffects.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFResource.h"
#include "framework/CParticleManager.h"
#include "progress/CProfileStore.h"
#include "table/CCardTable.h"
#include "table/CMoveFinder.h"
#include "table/GameMode.h"
#include "table/IGameController.h"

#include <string>

namespace {

constexpr float kOrbitRadiusX = 36.0f, kOrbitRadiusY = 16.5f, kOrbitPeriod = 2.0f;
constexpr float kEndless = -1.0f;

}  // namespace

int CMoveIndicator::s_nLastSetting = -1;

CMoveIndicator::CMoveIndicator(IGameController* controller, CFAnimationInstance* light)
    : m_pController(controller),
      m_pLight(light),
      m_pGroup(std::make_unique<CFAnimationGroup>()),
      m_pParticles(std::make_unique<CParticleManager>(50.0f)),
      m_pOrbit(std::make_unique<CPathEffects>(m_pParticles.get(), "gfx/PARTICLES/classic.psi",
                                               "gfx/PARTICLES/particles.png", 95.0f, 31.0f, 32.0f, 32.0f))
{
    if (m_pLight != nullptr)
        m_pLight->PlayCommandSection("on", false);
    if (PlayerRecord* player = Player())
        ++player->m_nTableValue1;
}

CMoveIndicator::~CMoveIndicator()
{
    // A window still waiting when the table ends is asked for again: the next level start counts
    // as the second, the next time the light comes on as the third.
    if (PlayerRecord* player = Player()) {
        if (m_bPendingWindow4)
            player->m_nTableValue1 = 1;
        if (m_bPendingWindow3)
            player->m_nTableValue2 = 2;
    }
    m_pOrbit.reset();
    m_pParticles.reset();
    m_pGroup.reset();
}

PlayerRecord* CMoveIndicator::Player()
{
    return g_pProfileStore != nullptr ? &g_pProfileStore->m_current : nullptr;
}

bool CMoveIndicator::SettingOn() const
{
    const PlayerRecord* player = Player();
    return player == nullptr || player->m_bHints != 0;  // a new player has it on
}

bool CMoveIndicator::HintsBarred() const
{
    const PlayerRecord* player = Player();
    const bool classic = m_pController != nullptr && IsClassicMode(m_pController->GetMode());
    return player != nullptr && player->m_bMasterMode != 0 && !classic;
}

bool CMoveIndicator::IsWindowPending(int kind) const
{
    if (kind == kWindowFirst)
        return m_bPendingWindow3;
    if (kind == kWindowSecond)
        return m_bPendingWindow4;
    return false;
}

void CMoveIndicator::AskAgain(int kind)
{
    if (kind == kWindowFirst)
        m_bPendingWindow3 = true;
    else if (kind == kWindowSecond)
        m_bPendingWindow4 = true;
}

void CMoveIndicator::TurnOn()
{
    if (!SettingOn() || m_bLit)
        return;
    m_bLit = true;
    if (m_pLight != nullptr)
        m_pLight->PlayCommandSection("on", false);
    PlayerRecord* player = Player();
    if (player == nullptr)
        return;
    if (++player->m_nTableValue2 == 3)
        m_bPendingWindow3 = true;
    else
        IntroduceAtSecondStart(*player);
}

void CMoveIndicator::IntroduceAtSecondStart(PlayerRecord& player)
{
    if (player.m_nTableValue1 != 2)
        return;
    m_bPendingWindow4 = true;
    player.m_nTableValue1 = 3;  // so that window comes once
}

void CMoveIndicator::TurnOff()
{
    if (!m_bLit)
        return;
    m_bLit = false;
    m_pOrbit->StopPaths();
    m_bOrbitRunning = false;
    if (m_pLight != nullptr)
        m_pLight->PlayCommandSection("off", false);
}

bool CMoveIndicator::IsLit(bool asShown) const
{
    if (asShown && m_pLight != nullptr && m_pLight->IsPlaying())
        return !m_bLit;
    return m_bLit;
}

bool CMoveIndicator::IsBusy() const
{
    if ((m_pLight != nullptr && m_pLight->IsPlaying()) || (!m_bLit && m_pOrbit->GetCount() > 0))
        return true;
    if (!SettingOn() || HintsBarred() || m_pController == nullptr)
        return false;  // the light stays dark whatever the finder says
    const CCardTable* table = m_pController->GetTable();
    const CMoveFinder* finder = table != nullptr ? table->GetMoveFinder() : nullptr;
    return finder != nullptr && (m_bLayingOut || table->NeedsMoveSearch() || finder->HaveMovesChanged());
}

bool CMoveIndicator::LayingOut() const
{
    if (m_pController == nullptr)
        return false;
    const CCardTable* table = m_pController->GetTable();
    // The last dealt cards may still fly when the deal itself is over.
    return m_pController->IsLayingOut() || (m_bLayingOut && table != nullptr && table->IsFlying());
}

// The first verdict on the dealt table. A search made half way through the deal may have been the
// last one, so it searches anew. At the second level start the lamp is introduced: its window
// waits for the lamp to shine, and a table that ends with the lamp dark (a bonus level's always
// is) hands it on to the next start.
void CMoveIndicator::ShowDealtTable()
{
    CCardTable* table = m_pController != nullptr ? m_pController->GetTable() : nullptr;
    if (table == nullptr)
        return;
    table->RequestMoveSearch();
    FollowMoveFinder();
    if (PlayerRecord* player = Player())
        IntroduceAtSecondStart(*player);
}

void CMoveIndicator::FollowMoveFinder()
{
    CCardTable* table = m_pController != nullptr ? m_pController->GetTable() : nullptr;
    CMoveFinder* finder = table != nullptr ? table->GetMoveFinder() : nullptr;
    if (finder == nullptr || table->IsHolding())
        return;
    const bool move = !finder->NoMoreMoves();
    if (finder->HaveMovesChanged()) {
        if (move)
            TurnOn();
        else
            TurnOff();
    }
    finder->ClearMovesChanged();
}

void CMoveIndicator::AskForWindows()
{
    // The windows speak of the lit light: asked for while it is dark they would only hold the
    // controller's queue until it shines again, which may not be in this game.
    if (m_pController == nullptr || !m_bLit || (m_pLight != nullptr && m_pLight->IsPlaying()) ||
        m_pController->IsModal() || m_pController->IsReplaying() || m_pController->InfoWindowsWait())
        return;
    if (m_bPendingWindow3 && m_pController->RequestInfoWindow(kWindowFirst, 0.0f, kInfoRequested))
        m_bPendingWindow3 = false;
    if (m_bPendingWindow4 && m_pController->RequestInfoWindow(kWindowSecond, 0.0f, kInfoRequested))
        m_bPendingWindow4 = false;
}

const char* CMoveIndicator::WindowTextName(int kind, bool freeCells)
{
    if (kind == kWindowFirst)
        return freeCells ? "move_lamp_again_cells" : "move_lamp_again_plain";
    if (kind == kWindowSecond)
        return freeCells ? "move_lamp_cells" : "move_lamp_plain";
    return nullptr;
}

void CMoveIndicator::PrepareWindowText(int kind, bool freeCells)
{
    const char* source = WindowTextName(kind, freeCells);
    const wchar_t* text = g_pResource != nullptr && source != nullptr ? g_pResource->GetText(source) : nullptr;
    if (text == nullptr)
        return;
    const std::wstring words = text;
    g_pResource->SetTextW(kind == kWindowFirst ? "move_lamp_again_text" : "move_lamp_text", words.c_str());
}

void CMoveIndicator::UpdateOrbit()
{
    if (!m_bLit)
        return;
    if (m_pController != nullptr && m_pController->IsPanelPlaying()) {
        if (m_bOrbitRunning) {
            m_pOrbit->StopPaths();
            m_bOrbitRunning = false;
        }
        return;
    }
    if (m_bOrbitRunning || m_pLight == nullptr)
        return;
    float x = 0, y = 0, w = 0, h = 0;
    m_pLight->GetBounds(&x, &y, &w, &h);
    const float cx = x + w / 2.0f, cy = y + h / 2.0f - 2.0f;
    m_pOrbit->AddEllipse(kEndless, kOrbitPeriod, cx, cy, kOrbitRadiusX, kOrbitRadiusY, 0.0f);
    m_pOrbit->AddEllipse(kEndless, kOrbitPeriod, cx, cy, kOrbitRadiusX, kOrbitRadiusY, 1.0f);
    m_bOrbitRunning = true;
}

void CMoveIndicator::Update(float dt)
{
    const int setting = SettingOn() ? 1 : 0;
    if (s_nLastSetting != -1 && setting != s_nLastSetting && m_pController != nullptr) {
        if (CCardTable* table = m_pController->GetTable())
            table->RequestMoveSearch();
    }
    s_nLastSetting = setting;

    m_pGroup->Update(dt);
    const bool following = setting != 0 && !HintsBarred();
    const bool layingOut = LayingOut();
    if (following && m_bLayingOut && !layingOut)
        ShowDealtTable();
    else if (following && !layingOut)
        FollowMoveFinder();
    m_bLayingOut = layingOut;
    if (!following)
        TurnOff();
    AskForWindows();
    UpdateOrbit();
    m_pParticles->Update(dt);
    m_pOrbit->Update(dt);
}

void CMoveIndicator::Render()
{
    m_pParticles->Render();
    m_pGroup->Render();
}
