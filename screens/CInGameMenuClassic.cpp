// CInGameMenuClassic.cpp: the classic twin of the in-game menu and its use-bonuses switch.
#include "screens/CInGameMenuClassic.h"

#include "app/Globals.h"
#include "framework/CFCheckBox.h"
#include "framework/TraceEvent.h"
#include "progress/CProfileStore.h"
#include "table/CInterface.h"

#include <new>

const CInGameMenu::Variant CInGameMenuClassic::kClassic = {
    "in_game_menu_classic", "move_in_game_menu_classic", L"screenIngameMenuClassic", "bt_quit_to_classic", true};

CInGameMenuClassic* CInGameMenuClassic::Create(CFAnimationGroup* owner)
{
    return new (std::nothrow) CInGameMenuClassic(owner);
}

CInGameMenuClassic::CInGameMenuClassic(CFAnimationGroup* owner) : CInGameMenu(kClassic, owner)
{
    const bool use = g_pProfileStore == nullptr || g_pProfileStore->m_current.m_bUseBonuses != 0;
    AddBox(kUseBonuses, "cb_use_bonuses", MakeDelegate(this, &CInGameMenuClassic::OnUseBonuses), use);
}

// Like the other switches, it follows the box whichever button flipped it.
void CInGameMenuClassic::OnUseBonuses(CFObject*, int)
{
    const bool use = GetBox(kUseBonuses)->IsChecked();
    if (g_pProfileStore != nullptr)
        g_pProfileStore->m_current.m_bUseBonuses = use ? 1 : 0;
    if (CInterface* game = GameInterface())
        game->EnableBonuses(use);
    TraceEvent(GetGameTime(), L"useBonuses", static_cast<int>(use));
}
