// CLoadingScreen.cpp: intro, then objects within a budget of each frame, then the switch to the
// next screen.
#include "app/CLoadingScreen.h"

#include "app/CLoadingBar.h"
#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFResource.h"
#include "platform/Engine.h"

#include <new>

namespace {

// The interface's modules, in the order they are loaded.
const std::vector<std::string> kModules = {
    "bonus_statistic", "in_game_menu_classic", "main_menu", "profile", "in_game_menu", "Trophy",
    "new_trophy", "classic", "options_full", "high_scores", "new_location", "new_bonuslevel",
    "new_hardcorelevel", "No_more_moves", "learn", "Move_Indicator_wind", "rules", "restart_request",
    "congratulatory_windows", "place_fire", "golden_card_window", "new_rank", "informative_wind", "LOGO",
    "master_mode_window",
};

}  // namespace

const std::vector<std::string>& CLoadingScreen::GetModuleNames()
{
    return kModules;
}

CLoadingScreen* CLoadingScreen::Create(CFResource* resource)
{
    return new (std::nothrow) CLoadingScreen(resource);
}

CLoadingScreen::CLoadingScreen(CFResource* resource)
    : m_modules(kModules), m_pResource(resource)
{
    m_sName = "Loading";
    m_pBar = std::make_unique<CLoadingBar>(resource);
    m_pBar->SetProgress(0.0f);
    for (const std::string& name : m_modules) {
        const int left = resource != nullptr ? resource->GetModuleObjectsLeft(name.c_str()) : -1;
        // An undefined module would subtract one from the total and loading would never end.
        if (left < 0) {
            m_pEngine->Log("[E] module '%s' not loaded", name.c_str());
            continue;
        }
        m_nTotal += left;
    }
    m_pIntroGroup = std::make_unique<CFAnimationGroup>();
    m_pIntro = std::make_unique<CFAnimationInstance>(m_pIntroGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)m_pIntro->LoadEffect(resource, "loading", "preloading");  // logged by the instance
    m_pIntro->SetVisible(true);
    m_pIntro->Play(false);
}

CLoadingScreen::~CLoadingScreen()
{
    m_pIntro.reset();
    m_pIntroGroup.reset();
    m_pBar.reset();
}

void CLoadingScreen::Release()
{
    delete this;
}

void CLoadingScreen::Update(float dt)
{
    if (m_bActive) {
        switch (m_nState) {
        case kIntro:
            if (!m_pIntro->IsPlaying())
                m_nState = kLoading;
            m_pIntroGroup->Update(dt);
            break;
        case kLoading:
            if (m_nLoaded >= m_nTotal)
                m_nState = kDone;
            else
                LoadWithinBudget();
            break;
        case kDone:
            SwitchToNextScreen();
            break;
        default:
            break;
        }
    }
    CScreenBase::Update(dt);
}

// Modules that are complete or not defined have nothing to give: step over them, so that every
// object loaded is one of the total.
void CLoadingScreen::SkipFinishedModules()
{
    while (m_nModule < m_modules.size() && m_pResource != nullptr &&
           m_pResource->GetModuleObjectsLeft(m_modules[m_nModule].c_str()) <= 0)
        ++m_nModule;
}

// At least one object a frame, so a slow frame still makes progress; a module that fails is
// tried again next frame, not over and over in this one.
void CLoadingScreen::LoadWithinBudget()
{
    for (int n = 0; m_nLoaded < m_nTotal; ++n) {
        const bool timeLeft = m_pEngine->FrameTimeLeft(kFrameBudgetSeconds);
        if ((!timeLeft && n > 0) || !LoadNextObject())
            break;
    }
    const float percent = m_nTotal > 0 ? static_cast<float>(m_nLoaded) * 100.0f / static_cast<float>(m_nTotal) : 100.0f;
    m_pBar->SetProgress(percent);
}

bool CLoadingScreen::LoadNextObject()
{
    SkipFinishedModules();
    if (m_nModule >= m_modules.size() || m_pResource == nullptr) {
        m_nLoaded = m_nTotal;  // whatever is left was loaded by someone else meanwhile
        return true;
    }
    const std::string& name = m_modules[m_nModule];
    if (!m_pResource->LoadModule(name.c_str(), 1)) {
        m_pEngine->Log("[E] module '%s' not loaded", name.c_str());
        return false;
    }
    ++m_nLoaded;
    if (m_pResource->FindModule(name.c_str()))
        ++m_nModule;
    return true;
}

void CLoadingScreen::SwitchToNextScreen()
{
    m_pEngine->SetState(EState::Loading, false);
    m_nState = kIdle;
    (void)CScreenFactory::SwitchTo(EScreenKind::MainMenu);  // logged there when there is none
}

void CLoadingScreen::Render()
{
    if (m_bVisible) {
        if (m_nState == kIntro)
            m_pIntroGroup->Render();
        else
            m_pBar->Render();
    }
    CScreenBase::Render();
}
