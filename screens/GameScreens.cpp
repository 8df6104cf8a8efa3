// GameScreens.cpp: which screen or dialog each kind and each table seam makes.
#include "screens/GameScreens.h"

#include "app/CScreenFactory.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "screens/CMenuScreen.h"
#include "screens/CStandInScreen.h"
#include "table/GameDialogs.h"

#include <new>

namespace {

CScreenBase* MakeStandIn(int)
{
    return new (std::nothrow) CStandInScreen();
}

CScreenBase* MakeConfirmation(const char* module, const char* move, const char* yes, const char* no, int alpha)
{
    return CDialogConfirmation::Create(module, move, yes, no, alpha);
}

CScreenBase* MakeInformation(const char* module, const char* move, const char* ok)
{
    return CDialogInformation::Create(module, move, ok);
}

}  // namespace

void RegisterGameScreens()
{
    CScreenFactory::SetMaker(EScreenKind::MainMenu, [](int) -> CScreenBase* { return CMenuScreen::Create(); });
    CScreenFactory::SetMaker(EScreenKind::ExitQuestion, [](int) -> CScreenBase* {
        return CDialogConfirmation::Create("profile", "move_exit_dialog_wind", "bt_yes", "bt_no", 100);
    });
    for (EScreenKind kind : {EScreenKind::StoryMap, EScreenKind::ClassicSelection, EScreenKind::TrophyRoom})
        CScreenFactory::SetMaker(kind, MakeStandIn);

    game_dialogs::Makers makers = game_dialogs::GetMakers();
    makers.confirmation = MakeConfirmation;
    makers.information = MakeInformation;
    game_dialogs::SetMakers(makers);
}
