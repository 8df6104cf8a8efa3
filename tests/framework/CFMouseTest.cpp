// The mouse: view coordinates, one event per button and frame, double clicks, cursor shapes.
#include "framework/CFMouse.h"

#include "framework/CFAnimationInstance.h"
#include "framework/CFResource.h"
#include "solvers/FakeEngine.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

EngineInputEvent ButtonDown(int key, bool doubleClick = false)
{
    EngineInputEvent event;
    event.type = kInputMouseDown;
    event.key = key;
    event.flags = doubleClick ? kInputFlagRepeat : 0;
    return event;
}

// Real input through the headless engine's input script.
class CFMouseHeadlessTest : public HeadlessEngineTest {
protected:
    void AdjustOptions(EngineOptions& options) override { options.inputScript = m_script; }

    std::vector<int> LeftEvents(int frames)
    {
        CFMouse mouse;
        std::vector<int> events;
        RunFrames(frames, [&] {
            mouse.Update(1.0f / 60.0f);
            events.push_back(mouse.GetLeftEvent());
        });
        return events;
    }

    std::string m_script;
};

class CFMouseDoubleClickTest : public CFMouseHeadlessTest {
protected:
    void SetUp() override
    {
        // Click, then press again at once and hold the second press for two frames.
        m_script = "1 move 100 100\n2 down 1\n2 up 1\n4 down 1\n6 up 1\n";
        CFMouseHeadlessTest::SetUp();
    }
};

TEST_F(CFMouseDoubleClickTest, DoubleClickIsReportedOnceBetweenPresses)
{
    const std::vector<int> events = LeftEvents(8);
    const std::vector<int> expected = {0, 2, 1, 3, 2, 1, 0, 0};
    EXPECT_EQ(events, expected);
}

class CFMouseQuickDoubleClickTest : public CFMouseHeadlessTest {
protected:
    void SetUp() override
    {
        m_script = "1 move 100 100\n2 down 1\n2 up 1\n4 down 1\n4 up 1\n8 down 1\n8 up 1\n";
        CFMouseHeadlessTest::SetUp();
    }
};

TEST_F(CFMouseQuickDoubleClickTest, ReleaseRightAfterTheDoubleClickWinsOverTheRepeatedPress)
{
    const std::vector<int> events = LeftEvents(10);
    // The third press starts a new pair: a plain press.
    const std::vector<int> expected = {0, 2, 1, 3, 1, 0, 0, 2, 1, 0};
    EXPECT_EQ(events, expected);
}

TEST(CFMouse, PositionIsClampedToTheScreenAndScaledToTheView)
{
    ScopedFakeEngine fake;
    fake->SetState(EState::ScreenWidth, 1024);
    fake->SetState(EState::ScreenHeight, 768);
    CFMouse mouse;
    const struct {
        float x, y, viewX, viewY;
    } cases[] = {
        {5000, 5000, 1023 / 1.28f, 767 / 1.28f},
        {-20, -1, 0, 0},
        {512, 384, 400, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        fake->mouseX = c.x;
        fake->mouseY = c.y;
        mouse.Update(0.0f);
        EXPECT_FLOAT_EQ(mouse.GetX(), c.viewX);
        EXPECT_FLOAT_EQ(mouse.GetY(), c.viewY);
        EXPECT_LT(mouse.GetX(), 800.0f);
    }
}

TEST(CFMouse, LeftButtonWinsWhenBothHaveEventsAndHistoriesAreKept)
{
    ScopedFakeEngine fake;
    CFMouse mouse;
    fake->frameKey = 1;
    fake->heldKeys = {1};
    fake->events.push_back(ButtonDown(1));
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.GetActiveButton(), 1);
    EXPECT_EQ(mouse.GetButtonEvent(), 2);

    fake->frameKey = 2;
    fake->heldKeys = {1, 2};
    fake->events.push_back(ButtonDown(2));
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.GetActiveButton(), 2);
    EXPECT_EQ(mouse.GetButtonEvent(), 2);

    fake->frameKey = 0;
    fake->heldKeys.clear();
    mouse.Update(0.0f);  // both released in one frame
    EXPECT_EQ(mouse.GetLeftEvent(), 1);
    EXPECT_EQ(mouse.GetRightEvent(), 1);
    EXPECT_EQ(mouse.GetActiveButton(), 1);
    EXPECT_EQ(mouse.GetButtonEvent(), 1);
    EXPECT_EQ(mouse.GetPreviousButtonEvent(1), 2);
    EXPECT_EQ(mouse.GetPreviousButtonEvent(2), 2);
    EXPECT_EQ(mouse.GetPreviousButtonEvent(3), 0);

    // A flagged press that does not follow a release is a plain press.
    fake->frameKey = 1;
    fake->heldKeys = {1};
    fake->events.push_back(ButtonDown(1, true));
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.GetLeftEvent(), 3);  // it followed the release above
    fake->frameKey = 1;
    fake->events.push_back(ButtonDown(1, true));
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.GetLeftEvent(), 2);
    EXPECT_EQ(mouse.GetActiveButton(), 1);
    fake->frameKey = 0;
    mouse.Update(0.0f);
    EXPECT_EQ(mouse.GetActiveButton(), 0);
    EXPECT_EQ(mouse.GetButtonEvent(), 0);
}

class CFMouseCursorTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        m_res = std::make_unique<CFResource>("effects/none.as");
        m_res->CreateModule("cursor");
        for (const char* name : {"cursor_normal", "cursor_finger"}) {
            m_res->CreateEffect(name, 1, 1000);
            m_res->CreateObjectGfx("shape", 0);
            m_res->AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
        }
        ClearLog();
    }

    void TearDown() override
    {
        m_res.reset();
        HeadlessEngineTest::TearDown();
    }

    std::unique_ptr<CFResource> m_res;
};

TEST_F(CFMouseCursorTest, ShapesLoadTheirEffectAndAFailedLoadEndsTheSoftwareCursor)
{
    CFMouse mouse;
    EXPECT_EQ(CFMouse::GetInstance(), &mouse);
    mouse.SetShape(1);  // no resource manager yet: ignored
    EXPECT_EQ(mouse.GetShape(), -1);

    mouse.SetResource(m_res.get());
    mouse.SetShapeInfo(0, "cursor", "cursor_normal");
    mouse.SetShapeInfo(1, "cursor", "cursor_finger");
    mouse.SetShapeInfo(2, "cursor", "cursor_drag");  // declared nowhere
    EXPECT_TRUE(m_res->FindModule("cursor"));        // loaded whole by the first SetShapeInfo
    mouse.SetSoftwareCursor(true);
    mouse.SetShape(1);
    ASSERT_NE(mouse.GetCursorAnimation(), nullptr);
    EXPECT_EQ(mouse.GetCursorAnimation()->GetName(), "cursor_finger");
    EXPECT_TRUE(mouse.GetCursorAnimation()->IsPlaying());
    EXPECT_TRUE(mouse.GetCursorAnimation()->IsLooping());

    mouse.SetShape(2);
    EXPECT_EQ(mouse.GetCursorAnimation(), nullptr);
    EXPECT_TRUE(LogHasLine("[E] effect cursor_drag not found in module cursor"));
    mouse.SetShape(0);  // no animation to load it into any more
    EXPECT_EQ(mouse.GetShape(), 0);
    EXPECT_EQ(mouse.GetCursorAnimation(), nullptr);
    mouse.Update(0.1f);
    mouse.Render();
}

TEST(CFMouse, SystemCursorIsHiddenOnlyWhileASoftwareCursorStandsInForIt)
{
    ScopedFakeEngine fake;
    {
        CFMouse mouse;
        mouse.SetSoftwareCursor(true);
        EXPECT_EQ(fake->GetState(EState::HideMouse), 1);
        mouse.SetVisible(false);
        mouse.SetSoftwareCursor(false);
        EXPECT_EQ(fake->GetState(EState::HideMouse), 1);  // still invisible
        mouse.SetVisible(true);
        EXPECT_EQ(fake->GetState(EState::HideMouse), 0);
    }
    EXPECT_EQ(CFMouse::GetInstance(), nullptr);
}

}  // namespace
