#include "framework/CFButton.h"

#include "framework/CFAnimationInstance.h"
#include "WidgetTestRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using widget_test::SectionOf;

namespace {

// A button over the "button" look: its face covers (300, 300)..(340, 320).
class CFButtonTest : public WidgetTestRoot {
protected:
    void SetUp() override
    {
        WidgetTestRoot::SetUp();
        m_pButton = std::make_unique<CFButton>();
        m_pButton->SetResource(m_pResource.get());
        m_pButton->AddAnimation("widgets", "button");
        m_pButton->OnClick += MakeDelegate(this, &CFButtonTest::Clicked);
    }

    void TearDown() override
    {
        m_pController->Remove(m_pButton.get());
        m_pButton.reset();
        WidgetTestRoot::TearDown();
    }

    // Feeds one input code to the button directly, over it, and returns the section it shows.
    std::string Feed(int code)
    {
        m_pButton->Input(310, 310, code, 1);
        return Section();
    }

    std::string Section() const { return SectionOf(m_pButton->GetAnimation(0)->GetFirstFrame()); }

    void Clicked(CFObject*, int button) { m_clicks.push_back(button); }

    std::unique_ptr<CFButton> m_pButton;
    std::vector<int> m_clicks;
};

}  // namespace

TEST_F(CFButtonTest, RectangleComesFromTheFirstAnimation)
{
    float x = 0, y = 0, w = 0, h = 0;
    m_pButton->GetRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(x, 300);
    EXPECT_FLOAT_EQ(y, 300);
    EXPECT_FLOAT_EQ(w, 40);
    EXPECT_FLOAT_EQ(h, 20);
    EXPECT_EQ(Section(), "normal");
}

TEST_F(CFButtonTest, EachMouseEventPlaysItsSection)
{
    struct Row {
        int code;
        const char* section;
    } rows[] = {
        {kInputEnterOnly, "enter"}, {kInputNone, "over"},   {kInputPressed, "down"},
        {kInputNone, "over"},       {kInputReleased, "up"}, {kInputLeaveOnly, "leave"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.section);
        EXPECT_EQ(Feed(row.code), row.section);
    }
    EXPECT_EQ(m_clicks, (std::vector<int>{1}));
}

TEST_F(CFButtonTest, LockedStatePlaysNothingUntilReset)
{
    m_pButton->PlayState("select", false, true);
    EXPECT_TRUE(m_pButton->IsStateLocked());
    for (int code : {kInputEnterOnly, kInputNone, kInputPressed, kInputReleased, kInputLeaveOnly})
        EXPECT_EQ(Feed(code), "select");
    m_pButton->ResetState();
    EXPECT_FALSE(m_pButton->IsStateLocked());
    EXPECT_EQ(Section(), "normal");
    EXPECT_EQ(Feed(kInputEnterOnly), "enter");
}

TEST_F(CFButtonTest, ToggleButtonLatchesOnFirstPressAndUnlatchesOnSecond)
{
    m_pButton->SetMode(CFButton::kModeToggle);
    Feed(kInputEnterOnly);
    EXPECT_EQ(Feed(kInputPressed), "enter");  // latched: plays nothing
    EXPECT_TRUE(m_pButton->IsDown());
    EXPECT_EQ(Feed(kInputReleased), "enter");
    EXPECT_EQ(Feed(kInputPressed), "down");   // unlatched
    EXPECT_FALSE(m_pButton->IsDown());
    EXPECT_EQ(m_clicks, (std::vector<int>{1}));
}

TEST_F(CFButtonTest, UnlatchingWhileTheMouseIsElsewherePlaysLeave)
{
    m_pButton->SetDown(true);
    m_pButton->SetDown(true);
    EXPECT_EQ(Section(), "normal");
    m_pButton->SetDown(false);
    EXPECT_EQ(Section(), "leave");
    Feed(kInputEnterOnly);
    m_pButton->SetDown(true);
    m_pButton->SetDown(false);  // the mouse is over it: no leave
    EXPECT_EQ(Section(), "enter");
}

TEST_F(CFButtonTest, EnterKeyClicksWhileEnabledWhereverTheMouseIs)
{
    m_pController->Add(m_pButton.get());
    Frame(700, 500);
    KeyFrame(kVkEnter);
    EXPECT_TRUE(m_clicks.empty());  // the Enter key is not set yet
    m_pButton->SetEnterKey(true);
    KeyFrame(kVkEnter);
    KeyFrame('A');
    EXPECT_EQ(m_clicks, (std::vector<int>{1}));
    m_pButton->SetEnabled(false);
    KeyFrame(kVkEnter);
    EXPECT_EQ(m_clicks, (std::vector<int>{1}));
}

TEST_F(CFButtonTest, ClickFiresTheHandlerWithOneOnceAndPlaysTheButtonSound)
{
    m_pButton->AddAnimation("interface", "snd_button");
    m_pController->Add(m_pButton.get());
    Frame(310, 310);
    EXPECT_EQ(ChannelsPlaying("click"), 0);
    Frame(310, 310, ScriptedMouse::kPress);
    EXPECT_EQ(ChannelsPlaying("click"), 1);  // the "down" section of "snd_button" in "interface"
    Frame(312, 310);
    Frame(312, 310, ScriptedMouse::kRelease);
    Frame(312, 310);
    EXPECT_EQ(m_clicks, (std::vector<int>{1}));
    EXPECT_EQ(ChannelsPlaying("click"), 1);
    ASSERT_NE(m_pButton->GetAnimation(1), nullptr);
    EXPECT_EQ(SectionOf(m_pButton->GetAnimation(1)->GetFirstFrame()), "over");
}

TEST_F(CFButtonTest, DisabledButtonStillFiresItsClickButShowsDisabled)
{
    m_pButton->SetEnabled(false);
    EXPECT_EQ(Section(), "disabled");
    EXPECT_EQ(Feed(kInputPressed), "disabled");
    EXPECT_EQ(Feed(kInputReleased), "disabled");
    EXPECT_EQ(m_clicks, (std::vector<int>{1}));  // handlers test IsEnabled themselves
}
