// GameDialogs.cpp: the table's popups, made by the screens.
#include "table/GameDialogs.h"

#include "app/CScreenBase.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "screens/CBonusStatistic2.h"
#include "screens/CClassicStatistic.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "screens/CDialogNoMoves.h"
#include "screens/CDialogUseBonus.h"
#include "screens/CInGameMenuClassic.h"
#include "screens/CLevelStatistic2.h"

namespace game_dialogs {

int& DialogAnswer()
{
    return CDialogConfirmation::Answer();
}

int& UseBonusAnswer()
{
    return CDialogUseBonus::Answer();
}

bool& UseBonusAnswered()
{
    return CDialogUseBonus::Answered();
}

CScreenBase* MakeConfirmation(const char* module, const char* move, const char* yes, const char* no, int alpha)
{
    DialogAnswer() = -1;  // also when the dialog cannot be made: the opener then reads "pending" as no
    return CDialogConfirmation::Create(module, move, yes, no, alpha);
}

CScreenBase* MakeInformation(const char* module, const char* move, const char* ok)
{
    return CDialogInformation::Create(module, move, ok);
}

CScreenBase* MakeNoMoves(int kind)
{
    return CDialogNoMoves::Create(kind);
}

CScreenBase* MakeUseBonus()
{
    return CDialogUseBonus::Create();
}

CScreenBase* MakeInGameMenu(bool classic, CFAnimationGroup* cursorLayer)
{
    if (classic)
        return CInGameMenuClassic::Create(cursorLayer);
    return CInGameMenu::Create(cursorLayer);
}

CScreenBase* MakeStatistics(int kind)
{
    switch (kind) {
    case 0:
        return CLevelStatistic2::Create(0);
    case 1:
        return CClassicStatistic::Create(1);
    case 2:
        return CBonusStatistic2::Create(0);
    default:
        return nullptr;
    }
}

bool Attach(CScreenBase* popup)
{
    return CSlideInPopup::Attach(g_pScreenManager != nullptr ? g_pScreenManager->GetCurrent() : nullptr, popup);
}

}  // namespace game_dialogs
