// CNewRank.cpp: the new rank's emblem and the way on.
#include "screens/CNewRank.h"

#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/TraceEvent.h"
#include "screens/CNewTrophy.h"
#include "progress/CProfileStore.h"
#include "app/CScreenFactory.h"
#include "progress/ProgressRules.h"

#include <new>

CNewRank* CNewRank::Create()
{
    return new (std::nothrow) CNewRank();
}

// The parts wait: the emblem shows only once the window stands.
CNewRank::CNewRank() : CSlideInPopup("new_rank", "move_new_rank", false)
{
    m_sName = "screenNewRank";
    const int rank = g_pProfileStore != nullptr ? g_pProfileStore->m_current.m_nRank : -1;
    TraceEvent(GetGameTime(), g_pProfileStore != nullptr ? g_pProfileStore->m_nCurrentIndex : -1, L"rank", rank);
    TraceEvent(GetGameTime(), L"screenNewRank");
    m_pEmblem = GetShadow()->FindPart(0, "Ranks.all");
    m_nEmblemFrame = rank >= 0 && rank <= progress::kTopRank ? rank : -1;
    if (m_pEmblem != nullptr && m_nEmblemFrame != -1)
        m_pEmblem->SetFrame(static_cast<float>(m_nEmblemFrame));
    m_pOk = AddEffectButton("bt_ok", MakeDelegate(this, &CNewRank::OnOk));
}

void CNewRank::Release()
{
    delete this;
}

void CNewRank::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    if (m_pEmblem == nullptr || m_nEmblemFrame == -1)
        return;
    m_pEmblem->SetVisible(true);
    m_pEmblem->PlayRange(m_nEmblemFrame, m_nEmblemFrame, false);
}

void CNewRank::OnOk(CFObject*, int button)
{
    if (button != 1 || m_bLeaving)
        return;
    m_bLeaving = true;
    TraceEvent(GetGameTime(), L"ok");
    if (g_pProfileStore != nullptr && progress::IsTrophyDue(g_pProfileStore->m_current)) {
        CSlideInPopup::Attach(m_pParent, CNewTrophy::Create());
        return;
    }
    CScreenFactory::SwitchTo(EScreenKind::StoryMap);
}
