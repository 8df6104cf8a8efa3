// CHelpDeskTest.cpp: the rules panel's views, texts, links, glow and learn button, driven by a
// scripted mouse over a small panel.
#include "table/CHelpDesk.h"

#include "framework/CFButton.h"
#include "framework/CFObjectController.h"
#include "PanelTestRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class CHelpDeskTest : public PanelTestRoot {
protected:
    void TearDown() override
    {
        m_pDesk.reset();
        PanelTestRoot::TearDown();
    }

    void Make(int level = 0, bool learn = true, bool rulesButton = true)
    {
        m_pDesk = std::make_unique<CHelpDesk>(&m_controller, m_pPanel.get(), level, learn, rulesButton);
    }

    // One frame as the controller runs it: the mouse, the panel, then the desk.
    void Frame(float x = 5, float y = 5, ScriptedMouse::EAction action = ScriptedMouse::kMove, float dt = 0.05f)
    {
        m_pScript->Frame(x, y, action, 1, dt);
        m_pPanelGroup->Update(dt);
        m_pDesk->Update(dt);
        m_pPanelGroup->Render();
        m_pDesk->Render();
    }

    void Click(float x, float y)
    {
        Frame(x, y);
        Frame(x, y, ScriptedMouse::kPress);
        Frame(x, y, ScriptedMouse::kRelease);
    }

    // Frames until the slide has finished opening (at most two seconds).
    void Settle()
    {
        for (int i = 0; i < 40 && m_pDesk->GetView() > CHelpDesk::kBig; ++i)
            Frame();
        Frame();
    }

    void OpenSmall()
    {
        m_pDesk->SetRulesIndex(0);
        m_pDesk->SetView(CHelpDesk::kSmall, 0);
        Settle();
        ASSERT_EQ(m_pDesk->GetView(), CHelpDesk::kSmall);
    }

    static void Centre(const CFObject* object, float& x, float& y)
    {
        float w = 0, h = 0;
        object->GetRect(&x, &y, &w, &h);
        x += w / 2;
        y += h / 2;
    }

    void ClickRulesButton()
    {
        float x = 0, y = 0;
        Centre(m_pDesk->GetRulesButton(), x, y);
        Click(x, y);
    }

    std::unique_ptr<CHelpDesk> m_pDesk;
};

}  // namespace

TEST_F(CHelpDeskTest, EffectNamesFollowTheLevelTheRulesAndTheCombo)
{
    const struct {
        int level;
        const char* slide;
    } slides[] = {{0, "move_rules_window_1"}, {24, "move_rules_window_25"}, {25, "move_rules_window_1"},
                  {27, "move_rules_window_1"}, {29, "move_rules_window_1"}, {30, "move_rules_window_31"}};
    for (const auto& c : slides) {
        SCOPED_TRACE(c.level);
        EXPECT_EQ(CHelpDesk::SlideEffectName(c.level), c.slide);
    }
    EXPECT_EQ(CHelpDesk::RulesEffectName(0, false), "rules_1_short");
    EXPECT_EQ(CHelpDesk::RulesEffectName(34, true), "rules_35_long");
    const struct {
        int category, chain;
        const char* name;
    } combos[] = {{0, 1, "text_mess_1"}, {0, 6, "text_mess_6"}, {1, 9, "text_mess_12"},
                  {3, 6, "text_mess_24"}, {2, 0, "text_mess_13"}, {7, 2, "text_mess_20"}};
    for (const auto& c : combos) {
        SCOPED_TRACE(std::to_string(c.category) + "/" + std::to_string(c.chain));
        EXPECT_EQ(CHelpDesk::ComboEffectName(c.category, c.chain), c.name);
    }
}

TEST_F(CHelpDeskTest, TheBonusLevelsSlideIsTheFirstAndTheRulesButtonSitsOnItsPart)
{
    Make(27, false, false);
    ASSERT_NE(m_pDesk->GetSlide(), nullptr);
    EXPECT_EQ(m_pDesk->GetSlide()->GetName(), "move_rules_window_1");
    ASSERT_EQ(m_pDesk->GetRulesButton()->GetAttachedCount(), 1);
    EXPECT_EQ(m_pDesk->GetRulesButton()->GetAttachedAnimation(0)->GetName(), "bt_rules");
    EXPECT_FALSE(m_pDesk->GetRulesButton()->IsVisible());
    EXPECT_EQ(m_pDesk->GetLearnButton(), nullptr);
    m_pDesk.reset();
    Make(30);
    EXPECT_EQ(m_pDesk->GetSlide()->GetName(), "move_rules_window_31");
    EXPECT_EQ(CountLogLinesStartingWith("[E]"), 0);
    EXPECT_EQ(CountLogLinesStartingWith("[W]"), 0);
}

TEST_F(CHelpDeskTest, TheSmallViewOpensAfterTheSlideWithTheShortRules)
{
    Make();
    m_pDesk->SetRulesIndex(0);
    m_pDesk->SetView(CHelpDesk::kSmall, 0);
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kOpeningSmall);
    EXPECT_TRUE(m_pDesk->GetSlide()->IsVisible());
    EXPECT_FALSE(m_pDesk->GetText()->IsVisible());
    Settle();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kSmall);
    EXPECT_EQ(m_pDesk->GetTextEffect(), "rules_1_short");

    EXPECT_TRUE(m_pDesk->GetText()->IsVisible());
    // In the small view the input areas are the rules button's own rectangle.
    float bx = 0, by = 0, bw = 0, bh = 0, ax = 0, ay = 0, aw = 0, ah = 0;
    m_pDesk->GetRulesButton()->GetRect(&bx, &by, &bw, &bh);
    m_pDesk->GetArea()->GetRect(&ax, &ay, &aw, &ah);
    EXPECT_FLOAT_EQ(aw, 40);
    EXPECT_FLOAT_EQ(ah, 20);
    EXPECT_FLOAT_EQ(ax, bx);
    EXPECT_FLOAT_EQ(ay, by);
    EXPECT_EQ(CountLogLinesStartingWith("[E]"), 0);
}

TEST_F(CHelpDeskTest, TheRulesButtonTogglesSmallAndBigAndTheBigViewCatchesTheWholeScreen)
{
    Make();
    OpenSmall();
    ClickRulesButton();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kOpeningBig);
    Settle();
    ASSERT_EQ(m_pDesk->GetView(), CHelpDesk::kBig);
    EXPECT_EQ(m_pDesk->GetTextEffect(), "rules_1_long");
    EXPECT_TRUE(m_pDesk->GetLearnButton()->IsVisible());
    float x = 0, y = 0, w = 0, h = 0;
    m_pDesk->GetCatcher()->GetRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(w, 800);
    EXPECT_FLOAT_EQ(h, 600);
    m_pDesk->GetArea()->GetRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(x, 286);
    EXPECT_FLOAT_EQ(w, 228);
    EXPECT_FLOAT_EQ(y + h, 800);

    Frame(10, 10);  // the catcher only
    EXPECT_FALSE(m_pDesk->IsOverBigWindow());
    Frame(400, y + 10);
    EXPECT_TRUE(m_pDesk->IsOverBigWindow());

    ClickRulesButton();
    Settle();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kSmall);
    EXPECT_FALSE(m_pDesk->GetLearnButton()->IsVisible());
    EXPECT_FALSE(m_pDesk->IsOverBigWindow());
}

TEST_F(CHelpDeskTest, TheRulesButtonDoesNothingWhileTheControllerIsModal)
{
    Make();
    OpenSmall();
    m_controller.modal = true;
    ClickRulesButton();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kSmall);
}

TEST_F(CHelpDeskTest, ClosingTheFirstRulesWindowGivesTheDeferredHintAtOnce)
{
    Make();
    OpenSmall();
    m_controller.hintDeferred = true;
    ClickRulesButton();
    EXPECT_FALSE(m_controller.hintDeferred);
    EXPECT_EQ(m_controller.hints, 1);
    ASSERT_EQ(m_controller.autoHintTimers.size(), 2u);
    EXPECT_FLOAT_EQ(m_controller.autoHintTimers[0], 0.0f);
    EXPECT_FLOAT_EQ(m_controller.autoHintTimers[1], 7.5f);
    ClickRulesButton();
    EXPECT_EQ(m_controller.hints, 1);
}

TEST_F(CHelpDeskTest, ABonusLevelHasNoBigView)
{
    m_controller.mode = kModeBonusLevel;
    Make(25, false, false);
    OpenSmall();
    m_pDesk->SetView(CHelpDesk::kBig, 2.0f);
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kSmall);
    EXPECT_EQ(m_pDesk->GetPreviousView(), CHelpDesk::kSmall);
    EXPECT_FLOAT_EQ(m_pDesk->GetViewTimer(), 2.0f);
}

TEST_F(CHelpDeskTest, ATimedViewReturnsToTheViewBeforeIt)
{
    Make();
    OpenSmall();
    m_pDesk->SetView(CHelpDesk::kHidden, 0.3f);
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kHidden);
    EXPECT_FALSE(m_pDesk->GetSlide()->IsVisible());
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kHidden);
    Frame();
    Frame();
    EXPECT_NE(m_pDesk->GetView(), CHelpDesk::kHidden);
    Settle();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kSmall);
}

TEST_F(CHelpDeskTest, ComboMessagesReplaceTheRulesUntilTheRulesAreAskedBack)
{
    Make();
    OpenSmall();
    m_pDesk->ShowComboMessage(1, 9);
    EXPECT_EQ(m_pDesk->GetTextMode(), CHelpDesk::kComboMessage);
    EXPECT_EQ(m_pDesk->GetTextEffect(), "text_mess_12");
    m_pDesk->ShowRulesText();
    EXPECT_EQ(m_pDesk->GetTextMode(), CHelpDesk::kRulesText);
    EXPECT_EQ(m_pDesk->GetTextEffect(), "rules_1_short");
    // In the big view a combo message is not shown at all.
    ClickRulesButton();
    Settle();
    m_pDesk->ShowComboMessage(0, 1);
    EXPECT_FALSE(m_pDesk->GetText()->IsVisible());
    EXPECT_EQ(m_pDesk->GetTextEffect(), "rules_1_long");
}

TEST_F(CHelpDeskTest, TextLinksBecomeClickAreasThatLightTheirPlaces)
{
    Make();
    OpenSmall();
    ASSERT_EQ(m_pDesk->GetLinkAreaCount(), 1);
    EXPECT_EQ(m_pDesk->GetMarkButtonCount(), 0);
    CFObject* link = m_pDesk->GetLinkArea(0);
    EXPECT_EQ(link->GetTag(), 4);
    float x = 0, y = 0, w = 0, h = 0;
    link->GetRect(&x, &y, &w, &h);
    EXPECT_EQ(static_cast<int>(w), 16);  // "AB": 9 + 7
    EXPECT_GT(h, 0.0f);

    float cx = 0, cy = 0;
    Centre(link, cx, cy);
    Frame(cx, cy);
    EXPECT_EQ(m_pMouse->GetShape(), 1);
    Frame(cx, cy, ScriptedMouse::kPress);
    Frame(cx, cy, ScriptedMouse::kRelease);
    ASSERT_EQ(m_controller.fireTypes.size(), 1u);
    EXPECT_EQ(m_controller.fireTypes[0], 3);
    EXPECT_FLOAT_EQ(m_pDesk->GetViewTimer(), 2.0f);  // a fire of 3 s, less one second
    Frame(600, 500);
    EXPECT_EQ(m_pMouse->GetShape(), 0);
}

TEST_F(CHelpDeskTest, TheBigTextsMarkPartsGetButtonsAndEveryRebuildReplacesThem)
{
    Make();
    OpenSmall();
    ClickRulesButton();
    Settle();
    ASSERT_EQ(m_pDesk->GetView(), CHelpDesk::kBig);
    ASSERT_EQ(m_pDesk->GetMarkButtonCount(), 1);
    EXPECT_EQ(m_pDesk->GetMarkButton(0)->GetTag(), 5);
    EXPECT_EQ(m_pDesk->GetMarkButton(0)->GetAttachedAnimation(0)->GetName(), "question_mark");
    EXPECT_EQ(m_pDesk->GetLinkAreaCount(), 1);
    const int roots = m_pDesk->GetInput()->GetRootCount();
    EXPECT_EQ(roots, 3);  // the catcher, the mark button, the link area

    // Reloading the text replaces its parts: the buttons follow the new ones at once.
    m_pDesk->ShowComboMessage(2, 3);
    EXPECT_FALSE(m_pDesk->GetText()->IsVisible());
    m_pDesk->ShowRulesText();
    EXPECT_TRUE(m_pDesk->GetText()->IsVisible());
    ASSERT_EQ(m_pDesk->GetMarkButtonCount(), 1);
    const CFAnimationInstance* mark = m_pDesk->GetMarkButton(0)->GetAttachedAnimation(0);
    ASSERT_NE(mark->GetParent(), nullptr);
    EXPECT_EQ(mark->GetParent()->GetParent(), m_pDesk->GetText());
    EXPECT_EQ(m_pDesk->GetInput()->GetRootCount(), 3);
    Frame();

    // A link click in the big view shows the small view for the fire's time, then the big one.
    m_controller.fireSeconds = 3.0f;
    float cx = 0, cy = 0;
    Centre(m_pDesk->GetMarkButton(0), cx, cy);
    Click(cx, cy);
    ASSERT_EQ(m_controller.fireTypes.size(), 1u);
    EXPECT_EQ(m_controller.fireTypes[0], 4);
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kOpeningSmall);
    Settle();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kSmall);
    EXPECT_EQ(m_pDesk->GetMarkButtonCount(), 0);
    EXPECT_EQ(m_pDesk->GetInput()->GetRootCount(), 2);
    for (int i = 0; i < 60 && m_pDesk->GetView() == CHelpDesk::kSmall; ++i)
        Frame();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kOpeningBig);
    Settle();
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kBig);
}

TEST_F(CHelpDeskTest, TheRulesButtonGlowsAtMostThreeTimesAKindAndThenReturnsToNormal)
{
    Make();
    OpenSmall();
    CFButton* button = m_pDesk->GetRulesButton();
    CFAnimationInstance* look = button->GetAttachedAnimation(0);
    m_pDesk->GlowRulesButton(0, 0.2f);
    EXPECT_TRUE(button->IsStateLocked());
    EXPECT_EQ(look->GetFirstFrame(), 1);  // "animation"
    for (int i = 0; i < 5; ++i)
        Frame();
    EXPECT_FALSE(button->IsStateLocked());
    EXPECT_EQ(look->GetFirstFrame(), 0);  // "normal"

    m_pDesk->GlowRulesButton(0, 0.2f);
    m_pDesk->GlowRulesButton(0, 0.2f);
    for (int i = 0; i < 5; ++i)
        Frame();
    m_pDesk->GlowRulesButton(0, 0.2f);  // the fourth of kind 0
    EXPECT_FALSE(button->IsStateLocked());
    m_pDesk->GlowRulesButton(255, 0.2f);  // another kind, the last one there is
    EXPECT_TRUE(button->IsStateLocked());
}

TEST_F(CHelpDeskTest, TheLearnButtonStartsTheTutorialOnlyWhenTheTableIsIdle)
{
    Make();
    OpenSmall();
    ClickRulesButton();
    Settle();
    ASSERT_EQ(m_pDesk->GetView(), CHelpDesk::kBig);
    CFButton* learn = m_pDesk->GetLearnButton();
    float cx = 0, cy = 0;
    Centre(learn, cx, cy);
    ASSERT_GT(cx, 0.0f);

    m_controller.replaying = true;
    Click(cx, cy);
    EXPECT_EQ(m_controller.learnStarts, 0);
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kBig);

    m_controller.replaying = false;
    Click(cx, cy);
    EXPECT_EQ(m_controller.learnStarts, 1);
    EXPECT_EQ(m_pDesk->GetView(), CHelpDesk::kOpeningSmall);
    EXPECT_FALSE(learn->IsVisible());
}

TEST_F(CHelpDeskTest, HidingTheDeskHidesSlideTextAndLearnButton)
{
    Make();
    OpenSmall();
    EXPECT_TRUE(m_pDesk->IsBusy());  // the text's "show"
    for (int i = 0; i < 20; ++i)
        Frame();
    EXPECT_FALSE(m_pDesk->IsBusy());
    m_pDesk->SetView(CHelpDesk::kHidden, 0);
    EXPECT_FALSE(m_pDesk->GetSlide()->IsVisible());
    EXPECT_FALSE(m_pDesk->GetText()->IsVisible());
    EXPECT_FALSE(m_pDesk->GetLearnButton()->IsVisible());
}
