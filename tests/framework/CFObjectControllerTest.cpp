#include "framework/CFObjectController.h"

#include "framework/CFMouse.h"
#include "ScriptedMouse.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Two overlapping roots, "back" (added first) and "front", under a scripted mouse.
class CFObjectControllerTest : public ::testing::Test {
protected:
    CFObjectControllerTest() : m_script(m_fake.Get(), m_mouse), m_controller(&m_mouse)
    {
        m_back.SetRect(0, 0, 100, 100);
        m_front.SetRect(50, 50, 100, 100);
        Watch(m_back, "back");
        Watch(m_front, "front");
        m_controller.Add(&m_back);
        m_controller.Add(&m_front);
    }

    // One frame: the mouse at (x, y) with the action, then the controller's update.
    void Frame(float x, float y, ScriptedMouse::EAction action = ScriptedMouse::kMove)
    {
        m_script.Frame(x, y, action);
        m_controller.Update(1.0f / 60.0f);
    }

    Lines Take() { return std::exchange(m_lines, {}); }

    void Watch(CFObject& o, const std::string& name)
    {
        m_names.push_back({&o, name});
        o.OnMouseDown += MakeDelegate(this, &CFObjectControllerTest::Down);
        o.OnMouseUp += MakeDelegate(this, &CFObjectControllerTest::Up);
        o.OnClick += MakeDelegate(this, &CFObjectControllerTest::Click);
        o.OnMouseEnter += MakeDelegate(this, &CFObjectControllerTest::Enter);
        o.OnMouseLeave += MakeDelegate(this, &CFObjectControllerTest::Leave);
        o.OnUpdate += MakeDelegate(this, &CFObjectControllerTest::Updated);
    }

    void Add(CFObject* o, const char* what)
    {
        for (auto& n : m_names)
            if (n.first == o)
                m_lines.push_back(n.second + " " + what);
    }
    void Down(CFObject* o, int) { Add(o, "down"); }
    void Up(CFObject* o, int) { Add(o, "up"); }
    void Click(CFObject* o, int button) { Add(o, button == 1 ? "click 1" : "click other"); }
    void Enter(CFObject* o, int) { Add(o, "enter"); }
    void Leave(CFObject* o, int) { Add(o, "leave"); }
    void Updated(float) { ++m_nUpdates; }

    ScopedFakeEngine m_fake;  // first: outlives everything that holds an engine reference
    CFMouse m_mouse;
    ScriptedMouse m_script;
    CFObjectController m_controller;
    CFObject m_back, m_front;
    std::vector<std::pair<CFObject*, std::string>> m_names;
    Lines m_lines;
    int m_nUpdates = 0;
};

}  // namespace

TEST_F(CFObjectControllerTest, FrontMostRootTakesInputAndTheOtherLeaves)
{
    Frame(10, 10);
    EXPECT_EQ(Take(), (Lines{"back enter"}));
    Frame(60, 60);  // both are there: the later root is in front
    EXPECT_EQ(Take(), (Lines{"front enter", "back leave"}));
    Frame(60, 60, ScriptedMouse::kPress);
    Frame(60, 60, ScriptedMouse::kRelease);
    EXPECT_EQ(Take(), (Lines{"front down", "front click 1", "front up"}));
}

TEST_F(CFObjectControllerTest, ButtonFiresClickOncePerPressAndRelease)
{
    int clicks = 0;
    struct Counter {
        int* n;
        void OnClick(CFObject*, int button) { *n += button == 1 ? 1 : 100; }
    } counter{&clicks};
    CFObject button;
    button.SetRect(300, 300, 20, 20);
    button.OnClick += MakeDelegate(&counter, &Counter::OnClick);
    m_controller.Add(&button);

    for (int i = 0; i < 3; ++i) {
        Frame(310, 310, ScriptedMouse::kPress);
        Frame(310, 310);
        Frame(311, 311, ScriptedMouse::kRelease);
        Frame(311, 311);
    }
    EXPECT_EQ(clicks, 3);
}

TEST_F(CFObjectControllerTest, LeftPressOutsideEveryRootCancelsAPendingClick)
{
    Frame(10, 10, ScriptedMouse::kPress);
    Frame(400, 400);  // moved away with the button held: still pressed
    EXPECT_TRUE(m_back.IsPressed());
    Frame(400, 400, ScriptedMouse::kPress);
    EXPECT_FALSE(m_back.IsPressed());
    Frame(10, 10, ScriptedMouse::kRelease);
    EXPECT_EQ(Take(), (Lines{"back down", "back up"}));  // no click
}

TEST_F(CFObjectControllerTest, CapturingObjectGetsTheReleaseAnywhere)
{
    CFObject thumb;
    thumb.SetRect(200, 200, 10, 10);
    Watch(thumb, "thumb");
    struct Grabber {
        void OnDown(CFObject* o, int) { o->SetCapture(true); }
        void OnUp(CFObject* o, int) { o->SetCapture(false); }
    } grabber;
    thumb.OnMouseDown += MakeDelegate(&grabber, &Grabber::OnDown);
    thumb.OnMouseUp += MakeDelegate(&grabber, &Grabber::OnUp);
    m_controller.Add(&thumb);

    Frame(205, 205, ScriptedMouse::kPress);
    EXPECT_EQ(m_controller.GetCaptureTarget(), &thumb);
    Frame(10, 10);  // over back, but the thumb holds the mouse: back is neither asked nor entered
    Frame(10, 10, ScriptedMouse::kRelease);
    EXPECT_EQ(m_controller.GetCaptureTarget(), nullptr);
    EXPECT_EQ(Take(), (Lines{"thumb down", "thumb enter", "thumb click 1", "thumb up"}));
    Frame(10, 10);
    EXPECT_EQ(Take(), (Lines{"back enter", "thumb leave"}));
}

TEST_F(CFObjectControllerTest, DisabledInputReachesNobodyButRootsAreStillUpdated)
{
    m_controller.DisableInput();
    Frame(10, 10, ScriptedMouse::kPress);
    Frame(10, 10, ScriptedMouse::kRelease);
    EXPECT_EQ(Take(), Lines{});
    EXPECT_EQ(m_nUpdates, 4);  // two roots, two frames
}

TEST_F(CFObjectControllerTest, InputStateStackRestoresAndAnEmptyPopChangesNothing)
{
    m_controller.PopInputState();
    EXPECT_TRUE(m_controller.IsInputEnabled());
    m_controller.PushInputState();
    m_controller.DisableInput();
    m_controller.PushInputState();
    m_controller.EnableInput();
    m_controller.PopInputState();
    EXPECT_FALSE(m_controller.IsInputEnabled());
    m_controller.PopInputState();
    EXPECT_TRUE(m_controller.IsInputEnabled());
    m_controller.DisableInput();
    m_controller.PopInputState();
    EXPECT_FALSE(m_controller.IsInputEnabled());
}

TEST_F(CFObjectControllerTest, RootAddedTwiceIsKeptAndSubscribedOnce)
{
    CFObject root, child;
    root.AddChild(&child);
    m_controller.Add(&root);
    m_controller.Add(&root);
    EXPECT_EQ(m_controller.GetRootCount(), 3);
    EXPECT_EQ(root.OnCaptureChanged.GetCount(), 1);
    EXPECT_EQ(child.OnCaptureChanged.GetCount(), 1);
    child.SetCapture(true);  // a descendant that captures becomes the target
    EXPECT_EQ(m_controller.GetCaptureTarget(), &child);
    root.SetCapture(false);  // another object's release leaves the target alone
    EXPECT_EQ(m_controller.GetCaptureTarget(), &child);
    child.SetCapture(false);
    EXPECT_EQ(m_controller.GetCaptureTarget(), nullptr);
}

TEST_F(CFObjectControllerTest, RootsRenderFirstToLast)
{
    struct Order {
        std::vector<int> seen;
        void Back() { seen.push_back(1); }
        void Front() { seen.push_back(2); }
    } order;
    m_back.OnRender += MakeDelegate(&order, &Order::Back);
    m_front.OnRender += MakeDelegate(&order, &Order::Front);
    m_controller.Render();
    EXPECT_EQ(order.seen, (std::vector<int>{1, 2}));
}
