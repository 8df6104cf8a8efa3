// GameScreens.cpp: which screen or dialog each kind and each table seam makes.
#include "screens/GameScreens.h"

#include "app/CScreenFactory.h"
#include "screens/CBonusStatistic2.h"
#include "screens/CClassicScreen2.h"
#include "screens/CClassicStatistic.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "screens/CDialogNoMoves.h"
#include "screens/CDialogUseBonus.h"
#include "screens/CInGameMenuClassic.h"
#include "screens/CLevelStatistic2.h"
#include "screens/CMenuScreen.h"
#include "screens/CStoryScreen2.h"
#include "screens/CTrophyRoom.h"
#include "table/GameDialogs.h"

namespace {

CScreenBase* MakeConfirmation(const char* module, const char* move, const char* yes, const char* no, int alpha)
{
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

// The result of a won game by its kind: story (and hardcore) levels, classic games, bonus levels.
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

CScreenBase* MakeInGameMenu(bool classic, CFAnimationGroup* cursorLayer)
{
    if (classic)
        return CInGameMenuClassic::Create(cursorLayer);
    return CInGameMenu::Create(cursorLayer);
}

}  // namespace

void RegisterGameScreens()
{
    CScreenFactory::SetMaker(EScreenKind::MainMenu, [](int) -> CScreenBase* { return CMenuScreen::Create(); });
    CScreenFactory::SetMaker(EScreenKind::ExitQuestion, [](int) -> CScreenBase* {
        return CDialogConfirmation::Create("profile", "move_exit_dialog_wind", "bt_yes", "bt_no", 100);
    });
    CScreenFactory::SetMaker(EScreenKind::SaveProblem, [](int window) -> CScreenBase* {
        const char* move = window == kUnreadFileWindow ? "move_inf_wind_unread" : "move_inf_wind_save";
        return CDialogInformation::Create("informative_wind", move, "bt_ok");
    });
    CScreenFactory::SetMaker(EScreenKind::StoryMap, [](int) -> CScreenBase* { return CStoryScreen2::Create(); });
    CScreenFactory::SetMaker(EScreenKind::ClassicSelection,
                             [](int) -> CScreenBase* { return CClassicScreen2::Create(); });
    // Its openers come back to the story map; the argument is the award flag.
    CScreenFactory::SetMaker(EScreenKind::TrophyRoom, [](int award) -> CScreenBase* {
        return CTrophyRoom::Create(CTrophyRoom::kToStoryMap, award);
    });

    RegisterGameDialogs();
}

void RegisterGameDialogs()
{
    game_dialogs::Makers makers = game_dialogs::GetMakers();
    makers.confirmation = MakeConfirmation;
    makers.information = MakeInformation;
    makers.noMoves = MakeNoMoves;
    makers.useBonus = MakeUseBonus;
    makers.inGameMenu = MakeInGameMenu;
    makers.statistics = MakeStatistics;
    game_dialogs::SetMakers(makers);
}
