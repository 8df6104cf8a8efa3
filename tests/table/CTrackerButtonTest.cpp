// CTrackerButtonTest.cpp: the OK buttons of the learn windows, driven by a scripted mouse and the
// Enter key, and a replay that waits for them.
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/ResourceTestRoot.h"
#include "framework/ScriptedMouse.h"
#include "table/CTracker.h"
#include "table/TutorialFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Module "learn": "tip_ok", a 200x100 panel whose track 0 shows the part "bt_ok" (a 40x20 face
// 20 right of and 60 below the window's place) and "tip_plain", a panel without a button; both
// have an "open" section. Module "interface": "snd_button", whose "down" section plays "click".
const char* const kScript = R"(
void LoadAnimations(CFResource@ res)
{
    int tex = res.AddTexture("learn", "gfx/learn.png");
    int panel = res.AddSprite("panel", tex, 0, 0, 200, 100);
    int face = res.AddSprite("face", tex, 0, 100, 40, 20);
    res.AddSound("click", "sfx/click.ogg");

    res.CreateModule("learn");
    res.CreateEffect("bt_ok", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("down", 1, 1, 0);
    res.CreateObjectGfx("face", 0);
    for (int i = 0; i < 2; i++)
        res.AddFrameGfx(-1, face, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);

    res.CreateEffect("tip_ok", 5, 500);
    res.AddNamedPart("open", 0, 4, 0);
    res.CreateObjectGfx("button", 0);
    res.SubstituteAnimation("learn", "bt_ok");
    for (int i = 0; i < 5; i++)
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 20, 60, 100, 100, 0, 0, 0, 0, 0, 0);
    res.CreateObjectGfx("panel", 0);
    for (int i = 0; i < 5; i++)
        res.AddFrameGfx(-1, panel, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);

    res.CreateEffect("tip_plain", 5, 500);
    res.AddNamedPart("open", 0, 4, 0);
    res.CreateObjectGfx("panel", 0);
    for (int i = 0; i < 5; i++)
        res.AddFrameGfx(-1, panel, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);

    res.CreateModule("interface");
    res.CreateEffect("snd_button", 2, 200);
    res.AddNamedPart("normal", 0, 0, 0);
    res.AddNamedPart("down", 1, 1, 0);
    res.CreateObjectSfx("sound", 0);
    res.AddFrameSfx(0, 100, 0);
    res.AddFrameSfx(0, 100, 1);
}
)";

// Three moves, one per step: move 0 has the window with the OK button, move 1 the plain window,
// move 2 none.
std::vector<std::uint8_t> LearnFile()
{
    TutorialRecord r;
    r.dealCount = 1;
    r.moveCount = 3;
    for (std::size_t i = 0; i < 3; ++i) {
        r.moveFrom[i] = static_cast<std::uint8_t>(i);
        r.moveTo[i] = static_cast<std::uint8_t>(i + 4);
    }
    std::vector<std::uint8_t> bytes;
    tutorial_file::WriteRecord(r, bytes);
    tutorial_file::WriteMessages({{"tip_ok", "open", -50, 40}, {"tip_plain", "open", 0, 0}}, bytes);
    return bytes;
}

class CTrackerButtonTest : public ResourceTestRoot {
protected:
    void SetUp() override
    {
        ResourceTestRoot::SetUp();
        m_fake->AddTextureFile("gfx/learn.png", 256, 256);
        WriteFile("effects/effects.as", kScript);
        const std::vector<std::uint8_t> learn = LearnFile();
        WriteFile("data/learn/lesson.dat", std::string(learn.begin(), learn.end()));
        m_pResource = std::make_unique<CFResource>("effects/effects.as");
        ASSERT_TRUE(m_pResource->LoadModule("learn", -1));
        ASSERT_TRUE(m_pResource->LoadModule("interface", -1));
        g_pResource = m_pResource.get();
        m_pMouse = std::make_unique<CFMouse>();  // before the tracker: its input takes the mouse
        m_pScript = std::make_unique<ScriptedMouse>(m_fake.Get(), *m_pMouse);
        m_pTracker = std::make_unique<CTracker>();
        ASSERT_TRUE(m_pTracker->Load("data/learn/lesson.dat"));
        ASSERT_NE(m_pTracker->GetOkButton(0), nullptr);
    }

    void TearDown() override
    {
        m_pTracker.reset();
        m_pScript.reset();
        m_pMouse.reset();
        g_pResource = nullptr;
        m_pResource.reset();
        ResourceTestRoot::TearDown();
    }

    // One frame as the controller runs it while replaying: the mouse, then the tracker.
    void Frame(float x, float y, ScriptedMouse::EAction action = ScriptedMouse::kMove, float dt = 0.02f)
    {
        m_pScript->Frame(x, y, action, 1, dt);
        m_pTracker->Update(dt);
        m_pTracker->Render();
    }

    void Click(float x, float y)
    {
        Frame(x, y);
        Frame(x, y, ScriptedMouse::kPress);
        Frame(x, y, ScriptedMouse::kRelease);
    }

    void KeyFrame(int key)
    {
        m_fake->frameKey = key;
        m_pTracker->Update(0.02f);
        m_fake->frameKey = 0;
    }

    int ChannelsPlaying(const char* sound) { return m_fake->ChannelsOf(m_pResource->GetSound(sound)); }

    bool WindowOpen(int index) const
    {
        const CFButton* button = m_pTracker->GetOkButton(index);
        return button != nullptr && m_pTracker->GetInput()->HasRoot(button) &&
               button->GetAttachedAnimation(0)->IsVisible();
    }

    // The OK face of window 0: the window stands at (350, 340), the button 20 right and 60 below.
    static constexpr float kOkX = 380, kOkY = 410;

    std::unique_ptr<CFResource> m_pResource;
    std::unique_ptr<CFMouse> m_pMouse;
    std::unique_ptr<ScriptedMouse> m_pScript;
    std::unique_ptr<CTracker> m_pTracker;
};

}  // namespace

TEST_F(CTrackerButtonTest, TheButtonIsTheWindowsOwnPartAndCarriesTheButtonSound)
{
    CFButton* ok = m_pTracker->GetOkButton(0);
    EXPECT_EQ(m_pTracker->GetOkButton(1), nullptr);  // the plain window has no part "bt_ok"
    EXPECT_EQ(m_pTracker->GetOkButton(2), nullptr);
    ASSERT_EQ(ok->GetAttachedCount(), 1);
    EXPECT_EQ(ok->GetAttachedAnimation(0)->GetName(), "bt_ok");
    ASSERT_NE(ok->GetAttachedAnimation(0)->GetParent(), nullptr);
    EXPECT_EQ(ok->GetAttachedAnimation(0)->GetParent()->GetName(), "tip_ok");
    ASSERT_EQ(ok->GetAnimationCount(), 1);
    EXPECT_EQ(ok->GetAnimation(0)->GetName(), "snd_button");
    EXPECT_FALSE(ok->IsVisible());
    EXPECT_EQ(m_pTracker->GetInput()->GetRootCount(), 0);

    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    Frame(kOkX, kOkY);
    float x = 0, y = 0, w = 0, h = 0;
    ok->GetRect(&x, &y, &w, &h);
    EXPECT_FLOAT_EQ(x, 370);
    EXPECT_FLOAT_EQ(y, 400);
    EXPECT_FLOAT_EQ(w, 40);
    EXPECT_FLOAT_EQ(h, 20);
    Frame(kOkX, kOkY);  // the rectangle follows the window one frame late, as input comes first
    EXPECT_TRUE(m_pTracker->IsOkHovered());
    Frame(kOkX, kOkY, ScriptedMouse::kPress);
    EXPECT_EQ(ChannelsPlaying("click"), 1);
}

TEST_F(CTrackerButtonTest, ClickingOkClosesTheWindowAndOnlyAClickDoes)
{
    Click(kOkX, kOkY);  // no window open: the button takes no input
    EXPECT_FALSE(m_pTracker->IsOkHovered());

    ASSERT_TRUE(m_pTracker->ShowMessage(-1));
    EXPECT_TRUE(WindowOpen(0));
    EXPECT_TRUE(m_pTracker->IsMessageBusy());
    for (int i = 0; i < 100; ++i)
        Frame(100, 100);  // long after the window's animation has ended
    EXPECT_TRUE(m_pTracker->IsMessageBusy());
    Frame(100, 100, ScriptedMouse::kPress);
    Frame(kOkX, kOkY);
    Frame(kOkX, kOkY, ScriptedMouse::kRelease);  // pressed elsewhere: no click
    EXPECT_TRUE(m_pTracker->IsOkHovered());
    EXPECT_TRUE(m_pTracker->IsMessageBusy());
    Frame(100, 100);
    EXPECT_FALSE(m_pTracker->IsOkHovered());
    Click(kOkX, kOkY);
    EXPECT_FALSE(m_pTracker->IsMessageBusy());
    EXPECT_FALSE(WindowOpen(0));
    EXPECT_FALSE(m_pTracker->GetOkButton(0)->GetAttachedAnimation(0)->IsVisible());
    EXPECT_EQ(m_pTracker->GetInput()->GetRootCount(), 0);
    // The hover stays until the next step, so that the clicking release is not the table's.
    EXPECT_TRUE(m_pTracker->IsOkHovered());
    int from = 0, to = 0, card = 0;
    ASSERT_TRUE(m_pTracker->NextStep(from, to, card));
    EXPECT_FALSE(m_pTracker->IsOkHovered());
}

TEST_F(CTrackerButtonTest, EnterClicksOkOnlyWhileItsWindowIsOpen)
{
    KeyFrame(kVkEnter);
    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    KeyFrame('A');
    EXPECT_TRUE(m_pTracker->IsMessageBusy());
    KeyFrame(kVkEnter);
    EXPECT_FALSE(m_pTracker->IsMessageBusy());
    EXPECT_FALSE(WindowOpen(0));
    // The window opens again with its button ready for another Enter.
    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    EXPECT_TRUE(m_pTracker->IsMessageBusy());
    KeyFrame(kVkEnter);
    EXPECT_FALSE(m_pTracker->IsMessageBusy());
}

TEST_F(CTrackerButtonTest, AWindowShownAgainStartsWithoutTheMouseStateOfItsLastShowing)
{
    // Pressed on OK, then closed by Enter before the release.
    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    Frame(kOkX, kOkY);
    Frame(kOkX, kOkY, ScriptedMouse::kPress);
    KeyFrame(kVkEnter);
    EXPECT_FALSE(m_pTracker->IsMessageBusy());

    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    EXPECT_FALSE(m_pTracker->IsOkHovered());
    Frame(kOkX, kOkY, ScriptedMouse::kRelease);  // the old press does not click the new window
    EXPECT_TRUE(m_pTracker->IsMessageBusy());
    Frame(kOkX, kOkY);
    EXPECT_TRUE(m_pTracker->IsOkHovered());  // entered afresh though the mouse never moved
    Frame(kOkX, kOkY, ScriptedMouse::kPress);
    Frame(kOkX, kOkY, ScriptedMouse::kRelease);
    EXPECT_FALSE(m_pTracker->IsMessageBusy());
}

TEST_F(CTrackerButtonTest, ClosingOrResettingWithAWindowOpenTakesTheButtonOutOfTheInput)
{
    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    Frame(kOkX, kOkY);
    ASSERT_TRUE(m_pTracker->ShowMessage(1));  // showing another window closes the first
    EXPECT_FALSE(WindowOpen(0));
    EXPECT_EQ(m_pTracker->GetInput()->GetRootCount(), 0);
    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    Frame(kOkX, kOkY, ScriptedMouse::kPress);
    m_pTracker->Reset();  // a press half done: the deleted button must not be reached
    EXPECT_EQ(m_pTracker->GetInput()->GetRootCount(), 0);
    Frame(kOkX, kOkY, ScriptedMouse::kRelease);
    KeyFrame(kVkEnter);
    EXPECT_FALSE(m_pTracker->IsMessageBusy());
    ASSERT_TRUE(m_pTracker->Load("data/learn/lesson.dat"));
    ASSERT_TRUE(m_pTracker->ShowMessage(0));
    // The tracker goes with its window open (TearDown).
}

// The replay as the in-game controller drives it, one step each second, without a table: the
// performed moves are collected instead.
TEST_F(CTrackerButtonTest, TheReplayWaitsForOkAndGoesOnAfterTheClick)
{
    std::vector<int> performed;
    float timer = 0;
    bool lastShown = false, ended = false;
    auto replayFrame = [&](float x, float y, ScriptedMouse::EAction action) {
        Frame(x, y, action);
        timer -= 0.02f;
        if (ended || timer >= 0 || m_pTracker->IsMessageBusy())
            return;
        if (m_pTracker->IsReplayDone()) {
            if (lastShown) {
                ended = true;
                return;
            }
            m_pTracker->ShowMessage(-2);
            lastShown = true;
        } else if (m_pTracker->WasMessageShown() && m_pTracker->PendingCount() == 0) {
            int from = 0, to = 0, card = 0;
            if (m_pTracker->NextStep(from, to, card)) {
                if (m_pTracker->PendingCount() > 0)
                    m_pTracker->StepBack();
                else
                    performed.push_back(from);
            }
        } else {
            const int pending = m_pTracker->PopPending();
            m_pTracker->ShowMessage(pending >= 0 ? pending : -1);
        }
        timer = 1.0f;
    };

    for (int i = 0; i < 300; ++i)  // six seconds: the OK window holds everything back
        replayFrame(100, 100, ScriptedMouse::kMove);
    EXPECT_TRUE(performed.empty());
    EXPECT_TRUE(WindowOpen(0));

    replayFrame(kOkX, kOkY, ScriptedMouse::kMove);
    replayFrame(kOkX, kOkY, ScriptedMouse::kPress);
    replayFrame(kOkX, kOkY, ScriptedMouse::kRelease);
    EXPECT_FALSE(WindowOpen(0));
    for (int i = 0; i < 400 && !ended; ++i)
        replayFrame(100, 100, ScriptedMouse::kMove);
    EXPECT_TRUE(ended);
    EXPECT_EQ(performed, (std::vector<int>{0, 1, 2}));
    EXPECT_TRUE(m_pTracker->IsReplayDone());
}
