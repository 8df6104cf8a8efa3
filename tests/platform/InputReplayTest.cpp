// Scripted input replayed by the headless engine, as the game reads it frame by frame.
#include "platform/InputScript.h"
#include "support/HeadlessEngine.h"

#include <map>

namespace {

struct FrameInput {
    int key = 0;
    int chr = 0;
    bool leftHeld = false;
    bool aHeld = false;
    float x = 0, y = 0;
    std::vector<EngineInputEvent> events;
};

class InputReplay : public HeadlessEngineTest {
protected:
    void AdjustOptions(EngineOptions& options) override
    {
        options.inputScript =
            "# a key and a click in one frame, then a click in one frame\n"
            "2 move 100 200\n"
            "2 keydown 65\n"
            "2 down 1\n"
            "2 up 1\n"
            "2 keyup 65\n"
            "3 char x\n"
            "60 down 1\n"
            "60 up 1\n"
            "62 down 1\n"
            "62 up 1\n"
            "63 down 1\n"
            "63 up 1\n";
    }
    std::map<int, FrameInput> Run(int frames)
    {
        std::map<int, FrameInput> seen;
        int frame = 0;
        RunFrames(frames, [&] {
            FrameInput in;
            in.key = m_pEngine->GetKey();
            in.chr = m_pEngine->GetChar();
            in.leftHeld = m_pEngine->KeyState(kVkLButton);
            in.aHeld = m_pEngine->KeyState('A');
            m_pEngine->GetMousePos(in.x, in.y);
            EngineInputEvent event;
            while (m_pEngine->GetInputEvent(event))
                in.events.push_back(event);
            seen[++frame] = in;
        });
        return seen;
    }
};

TEST_F(InputReplay, KeyAndClickInOneFrameAreBothDeliveredInOrder)
{
    std::map<int, FrameInput> seen = Run(70);
    EXPECT_EQ(seen[1].key, 0);
    EXPECT_TRUE(seen[1].events.empty());

    EXPECT_EQ(seen[2].key, 'A');
    EXPECT_TRUE(seen[2].aHeld);
    EXPECT_FALSE(seen[2].leftHeld);
    EXPECT_FLOAT_EQ(seen[2].x, 100.0f);
    EXPECT_FLOAT_EQ(seen[2].y, 200.0f);
    ASSERT_EQ(seen[2].events.size(), 2u);
    EXPECT_EQ(seen[2].events[0].type, kInputMouseMove);
    EXPECT_EQ(seen[2].events[1].type, kInputKeyDown);

    // The click waits one frame, and its release one more, so it is seen held.
    EXPECT_EQ(seen[3].key, kVkLButton);
    EXPECT_TRUE(seen[3].leftHeld);
    ASSERT_EQ(seen[3].events.size(), 1u);
    EXPECT_EQ(seen[3].events[0].type, kInputMouseDown);
    EXPECT_EQ(seen[3].events[0].flags, 0);
    EXPECT_FLOAT_EQ(seen[3].events[0].x, 100.0f);

    EXPECT_EQ(seen[4].key, 0);
    EXPECT_FALSE(seen[4].leftHeld);
    EXPECT_FALSE(seen[4].aHeld);
    EXPECT_EQ(seen[4].chr, 'x');
    ASSERT_EQ(seen[4].events.size(), 2u);
    EXPECT_EQ(seen[4].events[0].type, kInputMouseUp);
    EXPECT_EQ(seen[4].events[1].type, kInputKeyUp);
    EXPECT_EQ(seen[5].chr, 0);
}

TEST_F(InputReplay, SecondQuickPressIsADoubleClickAndAThirdIsNot)
{
    std::map<int, FrameInput> seen = Run(70);
    const struct {
        int frame;
        int flags;
    } presses[] = {{60, 0}, {62, kInputFlagRepeat}, {63, 0}};
    for (const auto& press : presses) {
        SCOPED_TRACE("frame " + std::to_string(press.frame));
        const std::vector<EngineInputEvent>& events = seen[press.frame].events;
        const auto down = std::find_if(events.begin(), events.end(),
                                       [](const EngineInputEvent& e) { return e.type == kInputMouseDown; });
        ASSERT_NE(down, events.end());
        EXPECT_EQ(down->flags, press.flags);
        EXPECT_EQ(seen[press.frame].key, kVkLButton);
    }
}

TEST(InputScript, EveryMalformedLineIsRejectedWithItsNumber)
{
    const char* bad[] = {"x move 1 2", "0 down 1", "1 down 3", "1 down", "1 move 1", "1 keydown 300",
                         "1 jump 1", "1 keyup 13 14", "1 char", "1 char ab", "1 shot", "1 shot ../map",
                         "1 shot a/b", "1 shot menu map", "1 char # the character itself is typed as 35"};
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        std::vector<ScriptedInput> events;
        std::string error;
        EXPECT_FALSE(ParseInputScript(std::string("# ok\n1 move 0 0\n") + line + "\n", events, error));
        EXPECT_EQ(error, std::string("line 3: ") + line);
    }
    std::vector<ScriptedInput> events;
    std::string error;
    // '#' starts a comment on every line, a char line's too; the character itself is typed by its code.
    ASSERT_TRUE(ParseInputScript("5 char 35\n1 char 233\n\n  \n3 wheel -2 # comment\n4 shot main_menu-1\n6 char A # c\n"
                                 "7 char B#c\n",
                                 events, error))
        << error;
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].frame, 1);  // ordered by frame
    EXPECT_EQ(events[0].a, 233);
    EXPECT_EQ(events[1].a, -2);
    EXPECT_EQ(events[2].name, "main_menu-1");
    EXPECT_EQ(events[3].a, '#');
    EXPECT_EQ(events[4].a, 'A');
    EXPECT_EQ(events[5].a, 'B');
}

TEST(InputScript, BadScriptStopsTheHeadlessEngineFromStarting)
{
    const std::string root = MakeTempRoot();
    std::vector<std::string> lines;
    EngineSetLogHook([](const char* line, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(line); },
                     &lines);
    EngineOptions options;
    options.inputScript = "1 move 1\n";
    EXPECT_EQ(CreateHeadlessEngine(root, options), nullptr);
    EngineSetLogHook(nullptr, nullptr);
    EngineSetOptions(EngineOptions());
    RemoveTree(root);
    EXPECT_EQ(lines, std::vector<std::string>{"[E] Engine: bad input script, line 1: 1 move 1"});
}

}  // namespace

namespace {

class QueuedInput : public HeadlessEngineTest {};

TEST_F(QueuedInput, InputQueuedBetweenRunsCountsFramesFromTheNextOne)
{
    RunFrames(10);
    ASSERT_TRUE(EngineQueueInput("1 keydown 13\n2 keyup 13\n3 keydown 27\n"));
    std::vector<int> keys;
    RunFrames(4, [&] { keys.push_back(m_pEngine->GetKey()); });
    EXPECT_EQ(keys, (std::vector<int>{kVkEnter, 0, kVkEscape, 0}));
    EXPECT_FALSE(EngineQueueInput("1 fly\n"));
    EXPECT_TRUE(LogHasLine("[E] Engine: bad input script, line 1: 1 fly"));
}

}  // namespace
