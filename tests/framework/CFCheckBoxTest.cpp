#include "framework/CFCheckBox.h"

#include "framework/CFAnimationInstance.h"
#include "WidgetTestRoot.h"

#include <gtest/gtest.h>

using widget_test::SectionOf;

namespace {

class CFCheckBoxTest : public WidgetTestRoot {
protected:
    void SetUp() override
    {
        WidgetTestRoot::SetUp();
        m_box.SetResource(m_pResource.get());
        m_box.AddAnimation("widgets", "check");
    }

    void TearDown() override
    {
        m_pController->Remove(&m_box);
        WidgetTestRoot::TearDown();
    }

    const char* Section() const { return SectionOf(m_box.GetAnimation(0)->GetFirstFrame()); }

    CFCheckBox m_box;
};

}  // namespace

TEST_F(CFCheckBoxTest, NewCheckBoxShowsOnWhileUnchecked)
{
    EXPECT_STREQ(Section(), "on");
    EXPECT_FALSE(m_box.IsChecked());
    m_box.SetChecked(false);
    EXPECT_STREQ(Section(), "off");
}

TEST_F(CFCheckBoxTest, EveryClickFlipsIt)
{
    m_pController->Add(&m_box);
    const bool expected[] = {true, false, true};
    for (bool checked : expected) {
        Frame(310, 310, ScriptedMouse::kPress);
        Frame(310, 310, ScriptedMouse::kRelease);
        EXPECT_EQ(m_box.IsChecked(), checked);
        EXPECT_STREQ(Section(), checked ? "on" : "off");
    }
}

TEST_F(CFCheckBoxTest, DisabledCheckBoxFlipsButItsPictureStays)
{
    m_box.SetChecked(true);
    m_box.SetEnabled(false);
    m_box.Input(310, 310, kInputPressed, 1);
    m_box.Input(310, 310, kInputReleased, 1);
    EXPECT_FALSE(m_box.IsChecked());
    EXPECT_STREQ(Section(), "disabled");
}
