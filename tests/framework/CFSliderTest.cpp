#include "framework/CFSlider.h"

#include "framework/CFAnimationInstance.h"
#include "WidgetTestRoot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

// The "slider" look: the thumb runs from x 100 (value 0) to x 300 (value 1) at y 50..70.
class CFSliderTest : public WidgetTestRoot {
protected:
    void SetUp() override
    {
        WidgetTestRoot::SetUp();
        m_pSlider = std::make_unique<CFSlider>();
        m_pSlider->SetResource(m_pResource.get());
        m_pSlider->AddAnimation("widgets", "slider");
        m_pSlider->OnDragStart += MakeDelegate(this, &CFSliderTest::Started);
        m_pSlider->OnDrag += MakeDelegate(this, &CFSliderTest::Dragged);
        m_pSlider->OnDragEnd += MakeDelegate(this, &CFSliderTest::Ended);
        m_pController->Add(m_pSlider.get());
    }

    void TearDown() override
    {
        m_pController->Remove(m_pSlider.get());
        m_pSlider.reset();
        WidgetTestRoot::TearDown();
    }

    // Presses on the thumb where it stands now and drags it to (x, y) without releasing.
    void DragThumbTo(float x, float y)
    {
        const CFObject* thumb = m_pSlider->GetThumb();
        const float grabX = thumb->GetX() + 5, grabY = thumb->GetY() + 10;
        Frame(grabX, grabY, ScriptedMouse::kPress);
        Frame(x, y);
    }

    void Started(CFObject*) { m_events.push_back("start"); }
    void Dragged(CFObject*) { m_events.push_back("drag"); }
    void Ended(CFObject*) { m_events.push_back("end"); }

    std::unique_ptr<CFSlider> m_pSlider;
    std::vector<std::string> m_events;
};

}  // namespace

TEST_F(CFSliderTest, FirstAnimationLaysOutTheTrackTheThumbAndTheArea)
{
    float sx = 0, sy = 0, ex = 0, ey = 0;
    m_pSlider->GetTrack(&sx, &sy, &ex, &ey);
    EXPECT_FLOAT_EQ(sx, 100);
    EXPECT_FLOAT_EQ(ex, 300);
    EXPECT_FLOAT_EQ(sy, 50);
    const CFObject* thumb = m_pSlider->GetThumb();
    EXPECT_FLOAT_EQ(thumb->GetX(), 100);
    EXPECT_FLOAT_EQ(thumb->GetWidth(), 10);
    EXPECT_FLOAT_EQ(thumb->GetHeight(), 20);
    EXPECT_FLOAT_EQ(m_pSlider->GetX(), 100);
    EXPECT_FLOAT_EQ(m_pSlider->GetWidth(), 210);
    m_pSlider->SetValue(0.5f);
    EXPECT_FLOAT_EQ(thumb->GetX(), 200);
}

TEST_F(CFSliderTest, DragsMapToValuesBetweenZeroAndOne)
{
    struct Row {
        float startValue;
        float toX;
        float expected;
    } rows[] = {
        {0.0f, 155, 0.25f},   // 50 pixels of a 200-pixel track
        {0.0f, 305, 1.0f},    // to the end
        {0.5f, 800, 1.0f},    // far beyond the end
        {0.5f, 0, 0.0f},      // far before the start
        {0.25f, 130, 0.125f}, // back by 25 pixels from where it was grabbed
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("from " + std::to_string(row.startValue) + " to x " + std::to_string(row.toX));
        m_pSlider->SetValue(row.startValue);
        Frame(700, 500);
        DragThumbTo(row.toX, 60);
        EXPECT_TRUE(m_pSlider->IsDragging());
        EXPECT_NEAR(m_pSlider->GetValue(), row.expected, 1e-5f);
        Frame(row.toX, 500, ScriptedMouse::kRelease);  // released off the slider: still ends the drag
        EXPECT_FALSE(m_pSlider->IsDragging());
        EXPECT_NEAR(m_pSlider->GetValue(), row.expected, 1e-5f);
        EXPECT_FALSE(m_pSlider->IsCaptured());
        EXPECT_EQ(m_pController->GetCaptureTarget(), nullptr);
    }
}

TEST_F(CFSliderTest, DragReportsStartEveryStepAndEnd)
{
    DragThumbTo(150, 60);
    Frame(160, 60);
    Frame(160, 60, ScriptedMouse::kRelease);
    EXPECT_EQ(m_events, (std::vector<std::string>{"start", "drag", "drag", "end"}));
    EXPECT_NEAR(m_pSlider->GetValue(), 0.275f, 1e-5f);
}

TEST_F(CFSliderTest, ThumbFollowsTheValueInTheNextFrame)
{
    DragThumbTo(205, 60);
    Frame(205, 60);
    EXPECT_FLOAT_EQ(m_pSlider->GetThumb()->GetX(), 200);
    EXPECT_EQ(m_pSlider->GetAnimation(0)->GetCurrentFrame(), 5);
}

TEST_F(CFSliderTest, VerticalMotionDoesNotChangeTheValue)
{
    DragThumbTo(105, 400);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 0.0f);
    Frame(105, 0);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 0.0f);
}

TEST_F(CFSliderTest, PressBesideTheThumbStartsNoDrag)
{
    Frame(250, 60, ScriptedMouse::kPress);
    Frame(290, 60);
    EXPECT_FALSE(m_pSlider->IsDragging());
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 0.0f);
}

TEST_F(CFSliderTest, SetValueDuringADragEndsItQuietlyButKeepsCaptureUntilTheRelease)
{
    DragThumbTo(155, 60);
    m_pSlider->SetValue(0.75f);
    EXPECT_FALSE(m_pSlider->IsDragging());
    EXPECT_TRUE(m_pSlider->IsCaptured());
    Frame(10, 500);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 0.75f);
    Frame(10, 500, ScriptedMouse::kRelease);
    EXPECT_FALSE(m_pSlider->IsCaptured());
    EXPECT_EQ(m_events, (std::vector<std::string>{"start", "drag"}));
}

TEST_F(CFSliderTest, DisabledSliderNeitherAnimatesNorDrags)
{
    m_pSlider->SetEnabled(false);
    EXPECT_EQ(m_pSlider->GetAnimation(0)->GetFirstFrame(), 0);  // the look has no "disabled" section
    DragThumbTo(200, 60);
    Frame(200, 60, ScriptedMouse::kRelease);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 0.0f);
    EXPECT_TRUE(m_events.empty());
    m_pSlider->SetValue(0.4f);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 0.4f);
}

TEST_F(CFSliderTest, DisablingDuringADragReleasesTheMouseAtTheRelease)
{
    DragThumbTo(155, 60);
    m_pSlider->SetEnabled(false);
    Frame(155, 500, ScriptedMouse::kRelease);
    EXPECT_FALSE(m_pSlider->IsCaptured());
    EXPECT_EQ(m_pController->GetCaptureTarget(), nullptr);
}

TEST_F(CFSliderTest, TrackOfNoLengthNeverDividesByZero)
{
    CFSlider flat;
    flat.SetResource(m_pResource.get());
    flat.AddAnimation("widgets", "flat");
    m_pController->Add(&flat);  // in front of the other slider
    flat.SetValue(0.5f);
    DragThumbTo(400, 60);
    EXPECT_TRUE(flat.IsDragging());
    Frame(450, 60);
    const float value = flat.GetValue();
    EXPECT_TRUE(std::isfinite(value));
    EXPECT_FLOAT_EQ(value, 0.5f);
    Frame(450, 60, ScriptedMouse::kRelease);
    EXPECT_FLOAT_EQ(flat.GetValue(), 0.5f);
    m_pController->Remove(&flat);
}

TEST(CFSliderWithoutResources, AnimationWithoutResourceManagerIsHarmless)
{
    ScopedFakeEngine fake;
    CFSlider slider;  // no mouse exists either
    slider.AddAnimation("widgets", "slider");
    slider.SetValue(0.3f);
    slider.Update(0.1f);
    slider.Render();
    EXPECT_FLOAT_EQ(slider.GetValue(), 0.3f);
}
