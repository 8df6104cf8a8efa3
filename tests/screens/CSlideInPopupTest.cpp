// CSlideInPopupTest.cpp: the slide-in popup base through the two shared dialogs: buttons that
// wait for the slide, Enter and the Escape delay, a missing move effect or button part, the
// shared answer and the backdrop.
#include "screens/CSlideInPopup.h"

#include "PopupTestRoot.h"
#include "framework/CFAnimationInstance.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"

#include <gtest/gtest.h>

namespace {

class CSlideInPopupTest : public PopupTestRoot {
protected:
    CDialogConfirmation* Ask(const char* move = "move_ask", const char* yes = "bt_yes")
    {
        CDialogConfirmation* dialog = CDialogConfirmation::Create("dialogs", move, yes, "bt_no", 100);
        EXPECT_TRUE(CSlideInPopup::Attach(m_pOpener, dialog));
        return dialog;
    }

    CDialogInformation* Inform(const char* move = "move_info", const char* ok = "bt_ok")
    {
        CDialogInformation* dialog = CDialogInformation::Create("dialogs", move, ok);
        EXPECT_TRUE(CSlideInPopup::Attach(m_pOpener, dialog));
        return dialog;
    }

    bool Open() const { return m_pOpener->GetChild() != nullptr; }
};

TEST_F(CSlideInPopupTest, ButtonsWaitForTheSlideAndAYesStaysTheAnswerUntilTheNextQuestion)
{
    CDialogConfirmation::Answer() = 7;
    CDialogConfirmation* dialog = Ask();
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kPending);
    EXPECT_FALSE(m_pOpener->IsActive());  // the opener stops but is still drawn
    Frame();
    EXPECT_EQ(m_log.Count("render opener"), 1);
    EXPECT_EQ(m_log.Count("update opener"), 0);

    // Sliding: the buttons are hidden, a click where yes will stand does nothing.
    ASSERT_TRUE(dialog->IsSliding());
    CFButton* yes = dialog->GetYesButton();
    ASSERT_NE(yes, nullptr);
    EXPECT_FALSE(yes->IsVisible());
    Frame(380, 345, ScriptedMouse::kPress);
    Frame(380, 345, ScriptedMouse::kRelease);
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kPending);

    Frames(20);
    EXPECT_FALSE(dialog->IsSliding());
    EXPECT_TRUE(yes->IsVisible());
    EXPECT_TRUE(dialog->GetNoButton()->IsVisible());
    Click(*yes);
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kYes);
    EXPECT_TRUE(m_pOpener->IsActive());
    EXPECT_FALSE(Open());
    Frame();  // the opener releases the closed dialog in its next update
    EXPECT_EQ(m_log.live, 1);
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kYes);

    Ask();
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kPending);
}

TEST_F(CSlideInPopupTest, EnterAnswersYesOnceStillAndEscapeNoOnlyAfterHalfASecond)
{
    struct Case {
        const char* name;
        int framesBefore;  // 0.02 s each
        int key;
        int answer;
    };
    const Case cases[] = {
        {"Enter while sliding", 2, kVkEnter, CDialogConfirmation::kPending},
        {"Enter once still", 20, kVkEnter, CDialogConfirmation::kYes},
        {"Escape at 0.4 s", 19, kVkEscape, CDialogConfirmation::kPending},
        {"Escape at 0.52 s", 25, kVkEscape, CDialogConfirmation::kNo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Ask();
        Frames(c.framesBefore);
        KeyFrame(c.key);
        EXPECT_EQ(CDialogConfirmation::Answer(), c.answer);
        EXPECT_EQ(Open(), c.answer == CDialogConfirmation::kPending);
        m_pOpener->SetChild(nullptr, true, true);
        Frame();
    }
}

TEST_F(CSlideInPopupTest, InformationClosesOnEscapeAtOnceAndOnEnterOrOkOnceStill)
{
    CDialogConfirmation::Answer() = CDialogConfirmation::kPending;
    CDialogInformation* dialog = Inform();
    Frame();
    EXPECT_TRUE(dialog->GetShadow()->GetPartInstance(1, 0)->IsLooping());  // the glow keeps moving
    KeyFrame(kVkEscape);
    EXPECT_FALSE(Open());
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kPending) << "no answer from a message";

    Inform();
    Frames(2);
    KeyFrame(kVkEnter);
    EXPECT_TRUE(Open()) << "Enter waits for the slide";
    Frames(20);
    KeyFrame(kVkEnter);
    EXPECT_FALSE(Open());

    dialog = Inform();
    Frames(20);
    EXPECT_TRUE(dialog->GetShadow()->GetPartInstance(1, 0)->IsPlaying());
    Click(*dialog->GetOkButton());
    EXPECT_FALSE(Open());
}

TEST_F(CSlideInPopupTest, AMissingMoveEffectShowsTheButtonsAtOnceSoTheQuestionCanBeAnswered)
{
    CDialogConfirmation* dialog = Ask("move_gone");
    EXPECT_TRUE(m_fake->HasLogLine("[E] effect move_gone not found in module dialogs"));
    EXPECT_EQ(dialog->GetYesButton(), nullptr);
    EXPECT_EQ(dialog->GetNoButton(), nullptr);
    Frame();
    EXPECT_FALSE(dialog->IsSliding());
    Frames(30);
    KeyFrame(kVkEscape);
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kNo);
    EXPECT_FALSE(Open());
}

TEST_F(CSlideInPopupTest, AMissingButtonPartIsLoggedAndTheDialogStillCloses)
{
    CDialogConfirmation* question = Ask("move_ask", "bt_maybe");
    EXPECT_TRUE(m_fake->HasLogLine("[E] popup dialogs: button part bt_maybe.all not found in move_ask"));
    EXPECT_EQ(question->GetYesButton(), nullptr);
    Frames(20);
    Click(*question->GetNoButton());
    EXPECT_EQ(CDialogConfirmation::Answer(), CDialogConfirmation::kNo);
    Frame();

    CDialogInformation* message = Inform("move_bare");
    EXPECT_TRUE(m_fake->HasLogLine("[E] popup dialogs: button part bt_ok.all not found in move_bare"));
    EXPECT_EQ(message->GetOkButton(), nullptr);
    Frames(20);
    KeyFrame(kVkEnter);
    EXPECT_FALSE(Open());
}

TEST_F(CSlideInPopupTest, TheQuestionDimsTheViewAndTheMessageDoesNot)
{
    CDialogConfirmation* question = Ask();
    Frames(40);
    EXPECT_FLOAT_EQ(question->GetBackdropAlpha(), 100.0f);
    std::size_t before = m_fake->quads.size();
    Frame();
    bool backdrop = false;
    for (std::size_t i = before; i < m_fake->quads.size(); ++i)
        backdrop = backdrop || (m_fake->quads[i].tex == 0 && m_fake->quads[i].v[0].col == 0x64000000u);
    EXPECT_TRUE(backdrop);
    m_pOpener->SetChild(nullptr, true, true);
    Frame();

    Inform();
    Frames(40);
    before = m_fake->quads.size();
    Frame();
    for (std::size_t i = before; i < m_fake->quads.size(); ++i)
        EXPECT_NE(m_fake->quads[i].tex, 0u) << "an untextured quad is a backdrop";
}

TEST_F(CSlideInPopupTest, APopupWithoutAnOpenerIsReleased)
{
    EXPECT_FALSE(CSlideInPopup::Attach(nullptr, CDialogInformation::Create("dialogs", "move_info", "bt_ok")));
    EXPECT_FALSE(CSlideInPopup::Attach(m_pOpener, nullptr));
    EXPECT_FALSE(Open());
}

}  // namespace
