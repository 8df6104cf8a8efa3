// CCardTableKeys.cpp: the keyboard at the table: the Space deal and the keys of the cheat mode.
#include "table/CCardTable.h"

#include "app/Globals.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "table/CCard.h"
#include "table/CMoveFinder.h"
#include "table/CScoreKeeper.h"
#include "table/CSpecialActions.h"
#include "table/ITableHost.h"
#include "table/LevelFileName.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {
// Windows virtual-key codes, as the engine reports them.
enum CheatKey {
    kKeyInsert = 45,
    kKeyDelete = 46,
    kKeyFirstBonus = 49,  // 1..5 arm the level's bonus codes
    kKeyLastBonus = 53,
    kKeyS = 83,
    kKeyNumpadPlus = 107,
    kKeyF2 = 113,
    kKeyControl = 17,
};
constexpr int kCheatScore = 100;
}  // namespace

void CCardTable::HandleCheatKeys(int key)
{
    switch (key) {
    case kKeyInsert:
        m_pInterface->AddMana(1);
        break;
    case kKeyDelete:
        m_pInterface->AddMana(25);
        break;
    case kKeyNumpadPlus:
        m_pScoreKeeper->AddScore(kCheatScore, nullptr);
        break;
    case kKeyF2: {
        std::string path;
        if (MakeLevelFileName("save/%s.dat", m_Level.sName, path))
            (void)m_pInterface->SaveRecording(path);  // a failed write logged itself
        m_pInterface->ClearLastKey();
        break;
    }
    case kKeyS:
        if (m_engine.Get() != nullptr && m_engine.Get()->KeyState(kKeyControl))
            DumpCards();
        break;
    default:
        if (key >= kKeyFirstBonus && key <= kKeyLastBonus) {
            // A level with fewer codes has no button under that key.
            const std::size_t slot = static_cast<std::size_t>(key - kKeyFirstBonus);
            if (slot < m_Level.vBonuses.size())
                m_pActions->RestoreArmed(m_Level.vBonuses[slot]);
        }
        break;
    }
}

// Space deals from the first stock that can deal; a stock that cannot points at the rules.
void CCardTable::DealFromKeyboard()
{
    for (int i = 0; i < PlaceCount(); ++i) {
        const CPlace* place = GetPlace(i);
        if (place->type != kPlaceDeck)
            continue;
        const int n = place->Size() - 1;
        if (m_pMoveFinder->CanClick(i, n)) {
            m_pMoveFinder->PlayMove(i, i, n, false);
            return;
        }
        TraceEvent(GetGameTime(), L"clickDeck", L"limit0/noCard");
        if (n == -1 || !place->pile.back()->InFly)
            m_pInterface->PlayHelpHint(0, 2.0f);
    }
}
