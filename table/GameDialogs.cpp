// GameDialogs.cpp: the table's popups, made by the screens that exist and "none" for the rest.
#include "table/GameDialogs.h"

#include "app/CScreenBase.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "screens/CScreenFactory.h"

namespace game_dialogs {

int& DialogAnswer()
{
    return CDialogConfirmation::Answer();
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

// The no-moves dialog and the result screens are not built yet: each maker answers "none", and
// the game goes on as if the player had closed the popup at once.
CScreenBase* MakeNoMoves(int)
{
    return nullptr;
}

// Until the in-game menus exist, the menu leaves the game for the screen it was started from, so
// that a player is never held at the table.
CScreenBase* MakeInGameMenu(bool classic, CFAnimationGroup*)
{
    CScreenFactory::SwitchTo(classic ? EScreenKind::ClassicSelection : EScreenKind::StoryMap);
    return nullptr;
}

CScreenBase* MakeStatistics(int)
{
    return nullptr;
}

bool Attach(CScreenBase* popup)
{
    return CSlideInPopup::Attach(g_pScreenManager != nullptr ? g_pScreenManager->GetCurrent() : nullptr, popup);
}

}  // namespace game_dialogs
