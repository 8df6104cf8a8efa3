// CNewTrophy.cpp: presenting the due trophies, then the trophy room.
#include "screens/CNewTrophy.h"

#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/TraceEvent.h"
#include "progress/CProfileStore.h"
#include "app/CScreenFactory.h"
#include "progress/ProgressRules.h"

#include <new>
#include <string>

namespace {

const char* const kModule = "new_trophy";
constexpr int kAwardMode = 1;

PlayerRecord* Player()
{
    return g_pProfileStore != nullptr ? &g_pProfileStore->m_current : nullptr;
}

}  // namespace

CNewTrophy* CNewTrophy::Create()
{
    return new (std::nothrow) CNewTrophy();
}

CNewTrophy::CNewTrophy() : CSlideInPopup(kModule, "move_new_trophy")
{
    m_sName = "screenNewTrophy";
    TraceEvent(GetGameTime(), L"screenNewTrophy");
    m_pOk = AddPartButton("bt_ok", MakeDelegate(this, &CNewTrophy::OnOk), true);
    m_pTrophy = std::make_unique<CFAnimationInstance>(&m_group, CFAnimationInstance::kUnsetPosition, 0.0f);
    ShowNextTrophy();
}

CNewTrophy::~CNewTrophy()
{
    m_pTrophy.reset();
}

void CNewTrophy::Release()
{
    delete this;
}

void CNewTrophy::ShowNextTrophy()
{
    m_pTrophy->Stop(false);
    m_pTrophy->SetVisible(false);
    for (CFAnimationInstance* slide : {GetWindow(), GetShadow()}) {
        slide->SetVisible(true);
        slide->Play(false);
    }
    PlayerRecord* player = Player();
    const int trophy = player != nullptr ? progress::FirstDueTrophy(*player) : -1;
    if (trophy < 0)
        return;
    m_nPresented = trophy;
    (void)m_pTrophy->LoadEffect(g_pResource, kModule, ("trophy_" + std::to_string(trophy + 1)).c_str());
    TraceEvent(GetGameTime(), g_pProfileStore->m_nCurrentIndex, L"trophyCollected", std::to_wstring(trophy));
    player->m_trophyShown[static_cast<std::size_t>(trophy)] = 1;  // earned only in the trophy room
}

void CNewTrophy::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    if (m_nPresented < 0)
        return;
    m_pTrophy->SetVisible(true);
    m_pTrophy->Play(false);
}

void CNewTrophy::OnOk(CFObject*, int)
{
    if (m_bLeaving)
        return;
    TraceEvent(GetGameTime(), L"ok");
    PlayerRecord* player = Player();
    if (player != nullptr && progress::IsTrophyDue(*player)) {
        ShowNextTrophy();
        return;
    }
    m_bLeaving = true;
    CScreenFactory::SwitchTo(EScreenKind::TrophyRoom, kAwardMode);
}
