// GameDialogs.cpp: the table's popups, made by whichever makers the screens put in place.
#include "table/GameDialogs.h"

#include "app/CScreenBase.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"

namespace game_dialogs {

namespace {

Makers g_makers;

}  // namespace

void SetMakers(const Makers& makers)
{
    g_makers = makers;
}

const Makers& GetMakers()
{
    return g_makers;
}

int& DialogAnswer()
{
    return g_nConfirmationAnswer;
}

int& UseBonusAnswer()
{
    static int answer = -1;
    return answer;
}

bool& UseBonusAnswered()
{
    static bool answered = false;
    return answered;
}

CScreenBase* MakeConfirmation(const char* module, const char* move, const char* yes, const char* no, int alpha)
{
    DialogAnswer() = -1;  // also when no dialog can be made: the opener then reads "pending" as no
    return g_makers.confirmation != nullptr ? g_makers.confirmation(module, move, yes, no, alpha) : nullptr;
}

CScreenBase* MakeInformation(const char* module, const char* move, const char* ok)
{
    return g_makers.information != nullptr ? g_makers.information(module, move, ok) : nullptr;
}

CScreenBase* MakeNoMoves(int kind)
{
    return g_makers.noMoves != nullptr ? g_makers.noMoves(kind) : nullptr;
}

CScreenBase* MakeUseBonus()
{
    return g_makers.useBonus != nullptr ? g_makers.useBonus() : nullptr;
}

CScreenBase* MakeInGameMenu(bool classic, CFAnimationGroup* cursorLayer)
{
    return g_makers.inGameMenu != nullptr ? g_makers.inGameMenu(classic, cursorLayer) : nullptr;
}

CScreenBase* MakeStatistics(int kind)
{
    return g_makers.statistics != nullptr ? g_makers.statistics(kind) : nullptr;
}

bool Attach(CScreenBase* popup)
{
    return CScreenBase::Attach(g_pScreenManager != nullptr ? g_pScreenManager->GetCurrent() : nullptr, popup);
}

}  // namespace game_dialogs
