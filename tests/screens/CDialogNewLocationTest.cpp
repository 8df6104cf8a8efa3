// CDialogNewLocationTest.cpp: the new-location window over the bundled data: which location it
// shows, its name and photo, and the answer it leaves for the story map.
#include "screens/CDialogNewLocation.h"

#include "MenuScreenTestRoot.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"

#include <gtest/gtest.h>

namespace {

class CDialogNewLocationTest : public MenuScreenTestRoot {
protected:
    void SetUp() override
    {
        MenuScreenTestRoot::SetUp();
        if (HasFatalFailure())
            return;
        m_pOpener = new TestScreen(m_log, "map");
        Enter(m_pOpener);
        CDialogNewLocation::Answer() = -1;
        g_pResource->SetText("New location_name", "");
    }

    CDialogNewLocation* Open()
    {
        CDialogNewLocation* dialog = CDialogNewLocation::Create();
        m_pOpener->SetChild(dialog, false, true);
        return dialog;
    }

    TestScreen* m_pOpener = nullptr;
};

}  // namespace

TEST_F(CDialogNewLocationTest, OnlyTheFirstLocationOpenShowsNothingAndStillAnswers)
{
    CDialogNewLocation* dialog = Open();
    EXPECT_EQ(dialog->GetShownLocation(), -1);
    EXPECT_EQ(Text("New location_name"), L"");
    Frames(60);
    Tap(*dialog->GetNoButton());
    EXPECT_EQ(CDialogNewLocation::Answer(), 1);
    EXPECT_EQ(m_pOpener->GetChild(), nullptr);
    EXPECT_TRUE(m_pOpener->IsActive());
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CDialogNewLocationTest, TheHighestOpenedLocationIsShownAndYesWorksWhileTheWindowStillMoves)
{
    Record().m_locationOpened = {1, 1, 1, 0, 0};
    CDialogNewLocation* dialog = Open();
    EXPECT_EQ(dialog->GetShownLocation(), 2);
    EXPECT_EQ(Text("New location_name"), L"Fregate");
    Frames(1);
    EXPECT_TRUE(dialog->IsMovingIn());
    ASSERT_NE(dialog->GetPhoto(), nullptr);
    EXPECT_EQ(dialog->GetPhoto()->GetCurrentFrame(), 2);  // section "foto_3": the third location's picture
    float x = 0, y = 0;
    MenuScreenTestRoot::Centre(*dialog->GetYesButton(), x, y);
    ASSERT_TRUE(EngineQueueInput("1 move " + std::to_string(int(x)) + " " + std::to_string(int(y)) +
                                 "\n2 down 1\n3 up 1\n"));
    Frames(4);
    EXPECT_EQ(CDialogNewLocation::Answer(), 0);
    EXPECT_EQ(m_pOpener->GetChild(), nullptr);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CDialogNewLocationTest, ButtonsAreDrawnOnceTheWindowRests)
{
    Record().m_locationOpened = {1, 1, 0, 0, 0};
    CDialogNewLocation* dialog = Open();
    Frames(60);
    EXPECT_FALSE(dialog->IsMovingIn());
    Screenshot("new_location");
    Tap(*dialog->GetYesButton());
    EXPECT_EQ(CDialogNewLocation::Answer(), 0);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}
