#include "table/GameDialogs.h"

#include "app/CScreenBase.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"

namespace game_dialogs {

int& DialogAnswer()
{
    static int answer = -1;
    return answer;
}

// The dialogs, menus and result screens are not built yet: each maker answers "none", and the
// game goes on as if the player had closed the popup at once.
CScreenBase* MakeConfirmation(const char*, const char*, const char*, const char*, int)
{
    DialogAnswer() = -1;
    return nullptr;
}

CScreenBase* MakeInformation(const char*, const char*, const char*)
{
    return nullptr;
}

CScreenBase* MakeNoMoves(int)
{
    return nullptr;
}

CScreenBase* MakeInGameMenu(bool, CFAnimationGroup*)
{
    return nullptr;
}

CScreenBase* MakeStatistics(int)
{
    return nullptr;
}

bool Attach(CScreenBase* popup)
{
    if (popup == nullptr)
        return false;
    CScreenBase* screen = g_pScreenManager != nullptr ? g_pScreenManager->GetCurrent() : nullptr;
    if (screen == nullptr) {
        popup->Release();
        return false;
    }
    screen->SetChild(popup, false, true);
    return true;
}

}  // namespace game_dialogs
