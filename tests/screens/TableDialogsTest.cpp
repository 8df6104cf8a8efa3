// TableDialogsTest.cpp: the table's small dialogs over the bundled data: the no-moves window in
// both variants with its keys and buttons, the use-bonus question answered in a player's first
// classic game (the move lamp lit under it), and the tutorial window that any click closes.
#include "screens/CDialogNoMoves.h"
#include "screens/CDialogTutorial.h"
#include "screens/CDialogUseBonus.h"

#include "ResultTestRoot.h"
#include "framework/CFButton.h"
#include "table/CMoveFinder.h"
#include "table/CMoveIndicator.h"
#include "table/GameDialogs.h"

#include <gtest/gtest.h>

namespace {

class TableDialogsTest : public ResultTestRoot {
protected:
    TestScreen* Opener()
    {
        if (m_pOpener == nullptr) {
            m_pOpener = new TestScreen(m_log, "game");
            Enter(m_pOpener);
        }
        return m_pOpener;
    }

    template <typename Dialog>
    Dialog* OpenOver(Dialog* dialog)
    {
        EXPECT_TRUE(CSlideInPopup::Attach(Opener(), dialog));
        return dialog;
    }

    bool IsOpen() const { return m_pOpener->GetChild() != nullptr; }

    TestScreen* m_pOpener = nullptr;
};

}  // namespace

TEST_F(TableDialogsTest, TheNoMovesWindowClosesByEscapeAtOnceOrByItsOkOnceItStands)
{
    for (int variant : {1, 2}) {
        SCOPED_TRACE("variant " + std::to_string(variant));
        CDialogNoMoves* dialog = OpenOver(CDialogNoMoves::Create(variant));
        Frames(1);
        ASSERT_TRUE(dialog->IsSliding());
        EXPECT_FALSE(dialog->GetOkButton()->IsVisible());
        PressKey(kVkEscape, 1);
        EXPECT_FALSE(IsOpen()) << "Escape works while the window slides in";
        EXPECT_TRUE(m_pOpener->IsActive());

        dialog = OpenOver(CDialogNoMoves::Create(variant));
        Frames(40);
        ASSERT_TRUE(dialog->GetOkButton()->IsVisible());
        Screenshot("no_moves_" + std::to_string(variant));
        float x = 0, y = 0;
        Centre(*dialog->GetOkButton(), x, y);
        Play("1 move " + std::to_string(int(x)) + " " + std::to_string(int(y)) + "\n2 down 2\n3 up 2\n", 6);
        EXPECT_TRUE(IsOpen()) << "the right button does nothing";
        Tap(*dialog->GetOkButton());
        EXPECT_FALSE(IsOpen());
    }
    ExpectNoProblems();
}

TEST_F(TableDialogsTest, AFirstClassicGameAsksOnceAboutBonusesAndTheAnswerSetsTheButtons)
{
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        Record().m_bUseBonusAdvice = 1;
        Record().m_bUseBonuses = yes ? 0 : 1;
        m_pEngine->RandomSeed(1);  // a deal with a move: some deals rightly leave the lamp dark
        StartGame(3, 1, 0);
        auto* question = Shown<CDialogUseBonus>();
        ASSERT_NE(question, nullptr) << "asked once the deal has landed";
        EXPECT_TRUE(Game().GetMoveIndicator()->IsLit(true)) << "the lamp shows the dealt table under the question";
        EXPECT_FALSE(Table().GetMoveFinder()->NoMoreMoves());
        EXPECT_EQ(Record().m_bUseBonusAdvice, 0) << "whatever the answer";
        PressKey(kVkEscape, 4);
        EXPECT_EQ(Shown<CDialogUseBonus>(), question) << "Escape does not answer";
        Screenshot("use_bonuses");
        Tap(*(yes ? question->GetYesButton() : question->GetNoButton()));
        EXPECT_EQ(Shown<CDialogUseBonus>(), nullptr);
        Frames(2);
        EXPECT_EQ(Record().m_bUseBonuses, yes ? 1 : 0);
        EXPECT_FALSE(game_dialogs::UseBonusAnswered());
        EXPECT_EQ(game_dialogs::UseBonusAnswer(), -1);
        for (int i = 0; i < CInterface::kBonusSlots; ++i)
            EXPECT_EQ(Game().GetBonusButton(i)->IsVisible(), yes) << "bonus " << i;
        Frames(60);
        EXPECT_EQ(Shown<CDialogUseBonus>(), nullptr) << "not asked again";
    }
    ExpectNoProblems();
}

TEST_F(TableDialogsTest, TheTutorialWindowClosesByOkByAClickAnywhereOrByEscape)
{
    CDialogTutorial* dialog = OpenOver(CDialogTutorial::Create());
    Frames(20);
    Screenshot("tutorial");
    Tap(*dialog->GetOkButton());
    EXPECT_FALSE(IsOpen());

    OpenOver(CDialogTutorial::Create());
    ClickAt(40, 560);
    EXPECT_FALSE(IsOpen());

    OpenOver(CDialogTutorial::Create());
    PressKey(kVkEscape, 1);
    EXPECT_FALSE(IsOpen());
    ExpectNoProblems();
}
