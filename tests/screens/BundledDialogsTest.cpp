// BundledDialogsTest.cpp: every yes/no question and message window that the game opens, made
// from the bundled data: it slides in, shows its buttons and closes, without an error.
#include "BundledDataRoot.h"
#include "app/TestScreens.h"
#include "framework/CFButton.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"

#include <gtest/gtest.h>

namespace {

class BundledDialogsTest : public BundledDataRoot {
protected:
    // The opener, installed as the top-level screen; frames until its fade-in has ended.
    TestScreen* Open()
    {
        auto* opener = new TestScreen(m_log, "opener");
        g_pScreenManager->SwitchTo(opener, true, true);
        Frames(40);
        return opener;
    }

    ScreenLog m_log;
};

TEST_F(BundledDialogsTest, EveryQuestionSlidesInAndIsAnsweredByItsButtons)
{
    struct Case {
        const char* move;
        bool yes;
    };
    const Case cases[] = {{"move_exit_dialog_wind", true}, {"move_yes_no_wind", false}};
    TestScreen* opener = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.move);
        auto* dialog = CDialogConfirmation::Create("profile", c.move, "bt_yes", "bt_no", 100);
        ASSERT_TRUE(CSlideInPopup::Attach(opener, dialog));
        Frames(60);
        ASSERT_FALSE(dialog->IsSliding());
        Screenshot(std::string("dialog_") + c.move);
        CFButton* button = c.yes ? dialog->GetYesButton() : dialog->GetNoButton();
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->IsVisible());
        const int x = static_cast<int>(button->GetX() + button->GetWidth() / 2);
        const int y = static_cast<int>(button->GetY() + button->GetHeight() / 2);
        Play("1 move " + std::to_string(x) + " " + std::to_string(y) + "\n3 down 1\n5 up 1\n", 8);
        EXPECT_EQ(CDialogConfirmation::Answer(), c.yes ? CDialogConfirmation::kYes : CDialogConfirmation::kNo);
        EXPECT_EQ(opener->GetChild(), nullptr);
    }
    ExpectNoProblems();
}

TEST_F(BundledDialogsTest, EveryMessageWindowSlidesInShowsOkAndClosesOnEnter)
{
    struct Case {
        const char* module;
        const char* move;
        const char* ok;
    };
    const Case cases[] = {
        {"informative_wind", "move_informative_wind_2", "bt_ok2"},
        {"informative_wind", "move_informative_wind_1", "bt_ok"},
        {"informative_wind", "move_inf_wind_unlock0", "bt_ok"},
        {"informative_wind", "move_inf_wind_unlock4", "bt_ok"},
        {"informative_wind", "move_inf_wind_save", "bt_ok"},
        {"Move_Indicator_wind", "move_move_indicator_wind1", "bt_ok2"},
        {"Move_Indicator_wind", "move_move_indicator_wind2", "bt_ok2"},
        {"master_mode_window", "move_rules_window", "bt_ok"},
        {"restart_request", "move_restart_request_wind", "bt_ok"},
    };
    TestScreen* opener = Open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.move);
        auto* dialog = CDialogInformation::Create(c.module, c.move, c.ok);
        ASSERT_TRUE(CSlideInPopup::Attach(opener, dialog));
        Frames(60);
        ASSERT_NE(dialog->GetOkButton(), nullptr);
        EXPECT_TRUE(dialog->GetOkButton()->IsVisible());
        Screenshot(std::string("dialog_") + c.move);
        Play("1 keydown 13\n2 keyup 13\n", 3);
        EXPECT_EQ(opener->GetChild(), nullptr);
    }
    ExpectNoProblems();
}

}  // namespace
