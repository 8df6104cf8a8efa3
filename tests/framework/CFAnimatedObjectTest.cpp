// Animated objects, frame images, groups and hover effects on the headless engine.
#include "framework/CFAnimatedObject.h"

#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFFrameImage.h"
#include "framework/CFHoverEffect.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class AnimatedObjectTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        m_res = std::make_unique<CFResource>("effects/none.as");
        CFResource& res = *m_res;
        const int box = res.AddSprite("box", -1, 0, 0, 40, 20);
        res.CreateModule("test");
        res.CreateEffect("button", 10, 1000);
        res.AddNamedPart("normal", 0, 0, 0);
        res.AddNamedPart("disabled", 1, 1, 0);
        res.AddNamedPart("over", 2, 4, 0);
        res.AddNamedPart("on", 5, 6, 0);
        res.CreateObjectGfx("face", 0);
        for (int f = 0; f < 10; ++f)
            res.AddFrameGfx(-1, box, 255, 255, 255, 255, static_cast<float>(f), 0, 100, 100, 0, 20, 10, 0, 0, 0);
        res.CreateEffect("small", 1, 100);
        res.CreateObjectGfx("face", 0);
        res.AddFrameGfx(-1, box, 255, 255, 255, 255, 100, 0, 50, 50, 0, 20, 10, 0, 0, 0);
        res.CreateEffect("glow", 4, 400);
        res.CreateObjectGfx("light", 0);
        for (int f = 0; f < 4; ++f)
            res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
        ClearLog();
    }

    void TearDown() override
    {
        m_res.reset();
        HeadlessEngineTest::TearDown();
    }

    std::unique_ptr<CFResource> m_res;
};

TEST_F(AnimatedObjectTest, FrameImageShowsFrameZeroAndThenTheChosenFrameStill)
{
    CFFrameImage image;
    image.SetResource(m_res.get());
    CFAnimationInstance* inst = image.AddAnimation("test", "button");
    ASSERT_NE(inst, nullptr);
    image.Update(0.1f);
    image.Update(0.1f);
    EXPECT_EQ(inst->GetCurrentFrame(), 0);
    EXPECT_FALSE(image.IsPlaying());
    image.SetFrame(7);
    for (int i = 0; i < 5; ++i)
        image.Update(0.1f);
    EXPECT_EQ(inst->GetCurrentFrame(), 7);
    EXPECT_FALSE(image.IsPlaying());
}

TEST_F(AnimatedObjectTest, StateCodeChoosesTheStartingSectionAndDisablingBlocksPlaying)
{
    const struct {
        int code;
        int first, last;
    } cases[] = {{0, 0, 0}, {1, 0, 0}, {3, 5, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        CFAnimatedObject object;
        object.SetResource(m_res.get());
        object.SetStateCode(c.code);
        CFAnimationInstance* inst = object.AddAnimation("test", "button");
        EXPECT_EQ(inst->GetFirstFrame(), c.first);
        EXPECT_EQ(inst->GetLastFrame(), c.last);
    }

    CFAnimatedObject object;
    object.SetResource(m_res.get());
    CFAnimationInstance* inst = object.AddAnimation("test", "button");
    object.SetEnabled(false);
    EXPECT_EQ(inst->GetFirstFrame(), 1);  // "disabled"
    object.PlayCommandSection("over", false);
    object.PlayRange(8, 9, true);
    EXPECT_EQ(inst->GetFirstFrame(), 1);
    object.SetEnabled(true);
    EXPECT_EQ(inst->GetFirstFrame(), 0);  // "normal"
    object.PlayCommandSection("over", false);
    EXPECT_EQ(inst->GetFirstFrame(), 2);
}

TEST_F(AnimatedObjectTest, FirstAnimationGivesTheRectangleAndLaterOnesDoNot)
{
    CFAnimatedObject object;
    object.SetResource(m_res.get());
    object.AddAnimation("test", "button");
    float x = 0, y = 0, w = 0, h = 0;
    object.GetRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(x, 380.0f);
    EXPECT_FLOAT_EQ(y, 290.0f);
    EXPECT_FLOAT_EQ(w, 40.0f);
    EXPECT_FLOAT_EQ(h, 20.0f);
    object.AddAnimation("test", "small");
    object.GetRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(x, 380.0f);
    EXPECT_FLOAT_EQ(w, 40.0f);
    EXPECT_NE(object.GetAnimation(1), nullptr);
    EXPECT_EQ(object.GetAnimation(2), nullptr);
    EXPECT_EQ(object.GetAnimation(-1), nullptr);
    EXPECT_EQ(object.GetAttachedAnimation(0), nullptr);

    // The rectangle follows a bounds animation as it moves.
    object.SetBoundsAnimation(object.GetAnimation(0));
    object.SetPosition(100, 50);
    object.Update(0.0f);
    object.GetRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(x, 80.0f);
    EXPECT_FLOAT_EQ(y, 40.0f);
    object.RemoveAnimation(object.GetAnimation(0));
    object.Update(0.0f);  // the bounds animation went with it
    EXPECT_EQ(object.GetAnimationCount(), 1);
}

TEST_F(AnimatedObjectTest, GroupDrawsVisibleMembersByDepthButAdvancesAll)
{
    CFAnimationGroup group;
    CFAnimationInstance a(&group, 0, 0);
    CFAnimationInstance b(&group, 0, 0);
    ASSERT_TRUE(a.LoadEffect(m_res.get(), "test", "button"));
    ASSERT_TRUE(b.LoadEffect(m_res.get(), "test", "glow"));
    a.Play(true);
    b.Play(true);
    group.Update(0.15f);
    EXPECT_EQ(group.GetDrawList().size(), 2u);
    EXPECT_EQ(a.GetCurrentFrame(), 1);  // advanced although invisible
    group.Render();

    group.Add(&a);  // twice: advanced twice a frame
    group.Update(0.1f);
    EXPECT_EQ(a.GetCurrentFrame(), 3);
    group.Remove(&a);
}

TEST_F(AnimatedObjectTest, HoverEffectRestartsFromTheBeginningAtItsPosition)
{
    CFHoverEffect hover;
    hover.SetPosition(120, 80);
    hover.Show(m_res.get(), "test", "glow");
    ASSERT_NE(hover.GetAnimation(), nullptr);
    hover.Update(0.25f);
    EXPECT_EQ(hover.GetAnimation()->GetCurrentFrame(), 2);
    hover.Show(m_res.get(), "test", "glow");  // already shown: nothing
    EXPECT_EQ(hover.GetAnimation()->GetCurrentFrame(), 2);
    hover.Hide();
    EXPECT_EQ(hover.GetAnimation(), nullptr);
    hover.Show(m_res.get(), "test", "glow");
    hover.Update(0.0f);
    EXPECT_EQ(hover.GetAnimation()->GetCurrentFrame(), 0);
    float x = 0, y = 0;
    hover.GetAnimation()->GetPosition(x, y);
    EXPECT_EQ(x, 120.0f);
    EXPECT_EQ(y, 80.0f);
}

// Real mouse input moves over two objects; the hover effect shows on the one under the mouse.
class HoverFollowTest : public AnimatedObjectTest {
protected:
    void AdjustOptions(EngineOptions& options) override
    {
        options.inputScript = "1 move 120 120\n20 move 320 120\n";
    }
};

TEST_F(HoverFollowTest, HoverEffectFollowsTheObjectUnderTheMouse)
{
    CFMouse mouse;
    CFObject root;
    root.SetRect(0, 0, 800, 600);
    CFObject left, right;
    left.SetRect(100, 100, 50, 50);
    right.SetRect(300, 100, 50, 50);
    for (CFObject* object : {&left, &right}) {
        object->SetResource(m_res.get());
        object->SetHoverEffect("test", "glow", 0.1f);
        object->SetHoverEffectPosition(object->GetX() + 25, object->GetY() + 25);
        root.AddChild(object);
    }
    int frame = 0;
    bool leftShownBeforeMove = false;
    RunFrames(30, [&] {
        ++frame;
        mouse.Update(1.0f / 60.0f);
        root.Input(mouse.GetX(), mouse.GetY(), mouse.GetButtonEvent(), mouse.GetActiveButton());
        root.Update(1.0f / 60.0f);
        if (frame == 19)
            leftShownBeforeMove = left.GetHoverEffect() != nullptr && right.GetHoverEffect() == nullptr;
    });
    EXPECT_TRUE(leftShownBeforeMove);
    EXPECT_EQ(left.GetHoverEffect(), nullptr);
    ASSERT_NE(right.GetHoverEffect(), nullptr);
    ASSERT_NE(right.GetHoverEffect()->GetAnimation(), nullptr);
    float x = 0, y = 0;
    right.GetHoverEffect()->GetAnimation()->GetPosition(x, y);
    EXPECT_EQ(x, 325.0f);
    EXPECT_EQ(y, 125.0f);
}

}  // namespace
