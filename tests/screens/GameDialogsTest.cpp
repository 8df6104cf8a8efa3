// GameDialogsTest.cpp: the table's dialogs made by the screens, in a game on the bundled data:
// the master-mode window and the "deal again?" question, answered with the mouse.
#include "table/GameDialogs.h"

#include "BundledDataRoot.h"
#include "framework/CFButton.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "table/CGameProcess.h"
#include "table/CInterface.h"

#include <gtest/gtest.h>

namespace {

class GameDialogsTest : public BundledDataRoot {
protected:
    // Frames until the game shows a popup (bounded); the popup, or null.
    CScreenBase* WaitForPopup(CGameProcess& game, int limit)
    {
        for (int i = 0; i < limit && game.GetChild() == nullptr; ++i)
            Frames(1);
        return game.GetChild();
    }
};

TEST_F(GameDialogsTest, TheMasterModeNewsIsAWindowAndDealingAgainAsksTheQuestion)
{
    g_pProfileStore->NewPlayer("ANNA", true);
    g_pProfileStore->m_current.m_introShown.fill(1);
    g_pProfileStore->m_current.m_bMasterMode = 1;
    CGameProcess* game = CGameProcess::Create(0, 0, -1);
    ASSERT_NE(game, nullptr);
    g_pScreenManager->SwitchTo(game, true, true);

    auto* news = dynamic_cast<CDialogInformation*>(WaitForPopup(*game, 600));
    ASSERT_NE(news, nullptr);
    Frames(40);
    Screenshot("game_master_mode");
    Click(*news->GetOkButton());
    EXPECT_EQ(game->GetChild(), nullptr);
    Frames(400);  // the deal lands

    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        PressKey('D', 0);
        auto* question = dynamic_cast<CDialogConfirmation*>(WaitForPopup(*game, 10));
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(game_dialogs::DialogAnswer(), CDialogConfirmation::kPending);
        Frames(40);
        Screenshot("game_deal_again");
        Click(*(yes ? question->GetYesButton() : question->GetNoButton()), 2);
        EXPECT_EQ(game_dialogs::DialogAnswer(), yes ? 0 : 1);
        EXPECT_EQ(game->GetInterface()->IsDealing(), yes);
        Frames(400);
    }
    ExpectNoProblems();
}

}  // namespace
