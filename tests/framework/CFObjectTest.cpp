#include "framework/CFObject.h"

#include "framework/CFHoverEffect.h"
#include "framework/CFResource.h"
#include "ResourceTestRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records every event of the objects it watches as "<name> <event> <argument>".
class EventLog {
public:
    void Watch(CFObject& object, const std::string& name)
    {
        m_names.push_back({&object, name});
        object.OnMouseOver += MakeDelegate(this, &EventLog::Over);
        object.OnMouseUp += MakeDelegate(this, &EventLog::Up);
        object.OnMouseDown += MakeDelegate(this, &EventLog::Down);
        object.OnClick += MakeDelegate(this, &EventLog::Click);
        object.OnDoubleClick += MakeDelegate(this, &EventLog::DoubleClick);
        object.OnMouseEnter += MakeDelegate(this, &EventLog::Enter);
        object.OnMouseLeave += MakeDelegate(this, &EventLog::Leave);
    }

    std::vector<std::string> Take() { return std::exchange(m_lines, {}); }

private:
    void Add(CFObject* sender, const char* what, int arg)
    {
        for (auto& n : m_names)
            if (n.first == sender)
                m_lines.push_back(n.second + " " + what + " " + std::to_string(arg));
    }
    void Over(CFObject* o, int b) { Add(o, "over", b); }
    void Up(CFObject* o, int b) { Add(o, "up", b); }
    void Down(CFObject* o, int b) { Add(o, "down", b); }
    void Click(CFObject* o, int b) { Add(o, "click", b); }
    void DoubleClick(CFObject* o, int b) { Add(o, "double", b); }
    void Enter(CFObject* o, int b) { Add(o, "enter", b); }
    void Leave(CFObject* o, int b) { Add(o, "leave", b); }

    std::vector<std::pair<CFObject*, std::string>> m_names;
    std::vector<std::string> m_lines;
};

using Lines = std::vector<std::string>;

struct UpdateCounter {
    int updates = 0;
    int renders = 0;
    void OnUpdate(float) { ++updates; }
    void OnRender() { ++renders; }
};

}  // namespace

TEST(CFObject, AllFourEdgesOfTheRectangleHit)
{
    CFObject o;
    o.SetRect(10, 20, 30, 40);
    struct Row {
        float x, y;
        bool hit;
    } rows[] = {
        {10, 20, true}, {40, 60, true}, {40, 20, true}, {10, 60, true}, {25, 40, true},
        {9.9f, 30, false}, {40.1f, 30, false}, {20, 19.9f, false}, {20, 60.1f, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.x) + "," + std::to_string(r.y));
        EXPECT_EQ(o.HitTest(r.x, r.y), r.hit);
    }
}

TEST(CFObject, ChildIsAddedOnceAndRemovingAStrangerChangesNothing)
{
    CFObject parent, a, b, stranger;
    parent.AddChild(&a);
    parent.AddChild(&b);
    parent.AddChild(&a);
    parent.AddChild(nullptr);
    ASSERT_EQ(parent.GetChildCount(), 2);
    parent.RemoveChild(&stranger);
    EXPECT_EQ(parent.GetChild(0), &a);
    EXPECT_EQ(parent.GetChild(1), &b);
    EXPECT_EQ(parent.GetChild(2), nullptr);
    EXPECT_EQ(parent.GetChild(-1), nullptr);
    parent.RemoveChild(&a);
    EXPECT_EQ(parent.GetChild(0), &b);
}

TEST(CFObject, EachInputCodeFiresItsEvents)
{
    struct Row {
        std::vector<int> codes;  // fed in turn at a point over the object, button 1
        Lines expected;
    } rows[] = {
        {{2, 1}, {"o down 1", "o click 1", "o up 1"}},
        {{1}, {"o up 1"}},
        {{0, 0}, {"o enter -1", "o over 1", "o over 1"}},
        {{5}, {"o enter -1", "o over 1"}},
        {{6, 6, 7, 7}, {"o enter -1", "o leave -1"}},
        {{3}, {"o double 1"}},
        {{4, 8}, {}},
        {{2, 1, 1}, {"o down 1", "o click 1", "o up 1", "o up 1"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.codes));
        CFObject o;
        o.SetRect(0, 0, 10, 10);
        EventLog log;
        log.Watch(o, "o");
        for (int code : row.codes)
            EXPECT_TRUE(o.Input(5, 5, code, 1));
        EXPECT_EQ(log.Take(), row.expected);
    }
}

TEST(CFObject, FrontChildTakesInputAndTheOthersAreNotAskedButLeave)
{
    CFObject parent, a, b;
    a.SetRect(0, 0, 10, 10);
    b.SetRect(5, 5, 10, 10);
    parent.AddChild(&a);
    parent.AddChild(&b);
    EventLog log;
    log.Watch(a, "a");
    log.Watch(b, "b");
    log.Watch(parent, "p");

    EXPECT_TRUE(parent.Input(2, 2, 0, 0));  // only a is there
    EXPECT_EQ(log.Take(), (Lines{"a enter -1", "a over 0"}));
    EXPECT_TRUE(parent.Input(7, 7, 2, 1));  // both are there: b is in front
    EXPECT_EQ(log.Take(), (Lines{"b down 1", "a leave -1"}));
    EXPECT_FALSE(parent.Input(50, 50, 0, 0));  // nobody: the parent itself has no area
    EXPECT_EQ(log.Take(), Lines{});  // b never entered: code 2 does not enter
}

TEST(CFObject, CapturingObjectTakesInputAnywhere)
{
    CFObject o;
    o.SetRect(0, 0, 10, 10);
    EventLog log;
    log.Watch(o, "o");
    EXPECT_FALSE(o.Input(100, 100, 1, 1));
    o.SetCapture(true);
    EXPECT_TRUE(o.Input(100, 100, 1, 1));
    o.SetIgnoreInput(true);
    EXPECT_FALSE(o.Input(100, 100, 1, 1));
    EXPECT_EQ(log.Take(), (Lines{"o up 1"}));
}

TEST(CFObject, DisabledObjectStillFiresItsMouseEvents)
{
    CFObject o;
    o.SetRect(0, 0, 10, 10);
    o.SetEnabled(false);
    EventLog log;
    log.Watch(o, "o");
    o.Input(1, 1, 2, 1);
    o.Input(1, 1, 1, 1);
    EXPECT_EQ(log.Take(), (Lines{"o down 1", "o click 1", "o up 1"}));
}

TEST(CFObject, InvisibleObjectIsUpdatedAndItsChildrenTakeInputButItDrawsNothing)
{
    CFObject parent, child;
    parent.SetRect(0, 0, 100, 100);
    child.SetRect(0, 0, 10, 10);
    parent.AddChild(&child);
    parent.SetVisible(false);
    UpdateCounter parentCount, childCount;
    parent.OnUpdate += MakeDelegate(&parentCount, &UpdateCounter::OnUpdate);
    parent.OnRender += MakeDelegate(&parentCount, &UpdateCounter::OnRender);
    child.OnUpdate += MakeDelegate(&childCount, &UpdateCounter::OnUpdate);
    child.OnRender += MakeDelegate(&childCount, &UpdateCounter::OnRender);

    parent.Update(0.1f);
    parent.Render();
    EXPECT_EQ(parentCount.updates, 1);
    EXPECT_EQ(childCount.updates, 1);
    EXPECT_EQ(parentCount.renders + childCount.renders, 0);

    EXPECT_TRUE(parent.Input(5, 5, 0, 0));  // the child takes it
    EXPECT_TRUE(child.IsMouseOver());
    EXPECT_FALSE(parent.Input(50, 50, 0, 0));  // the parent itself does not
    EXPECT_FALSE(parent.IsMouseOver());
}

TEST(CFObject, CaptureChangeIsReported)
{
    struct Listener {
        std::vector<bool> flags;
        void OnCapture(CFObject*, bool flag) { flags.push_back(flag); }
    } listener;
    CFObject o;
    o.SetCapture(true);  // nobody listens yet
    o.OnCaptureChanged += MakeDelegate(&listener, &Listener::OnCapture);
    o.SetCapture(false);
    o.SetCapture(true);
    EXPECT_EQ(listener.flags, (std::vector<bool>{false, true}));
    EXPECT_TRUE(o.IsCaptured());
}

namespace {

const char* const kHoverScript = R"(
void LoadAnimations(CFResource@ res)
{
    res.CreateModule("tips");
    res.CreateEffect("tip", 2, 200);
    res.CreateObjectGfx("t", 0);
    res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
}
)";

class CFObjectHoverTest : public ResourceTestRoot {};

}  // namespace

TEST_F(CFObjectHoverTest, HoverEffectShowsAfterTheDelayAndRestartsAfterLeaving)
{
    WriteFile("effects/effects.as", kHoverScript);
    auto res = std::make_unique<CFResource>("effects/effects.as");
    CFObject o;
    o.SetRect(0, 0, 10, 10);
    o.SetResource(res.get());
    o.SetHoverEffect("tips", "tip", 0.5f);

    std::vector<bool> shown;
    for (int frame = 0; frame < 4; ++frame) {
        o.Input(5, 5, 0, 0);
        o.Update(0.2f);
        shown.push_back(o.GetHoverEffect() != nullptr);
    }
    EXPECT_EQ(shown, (std::vector<bool>{false, false, true, true}));
    ASSERT_NE(o.GetHoverEffect()->GetAnimation(), nullptr);

    o.Input(5, 5, 7, 0);  // leave
    EXPECT_EQ(o.GetHoverEffect(), nullptr);
    o.Input(5, 5, 0, 0);
    o.Update(0.2f);
    EXPECT_EQ(o.GetHoverEffect(), nullptr);  // the rest starts again from 0
}

TEST(CFObject, HoverEffectWithoutResourceManagerIsNeverShown)
{
    CFObject o;
    o.SetRect(0, 0, 10, 10);
    o.SetHoverEffect("tips", "tip", 0.0f);
    o.Input(5, 5, 0, 0);
    o.Update(0.5f);
    EXPECT_EQ(o.GetHoverEffect(), nullptr);
}
