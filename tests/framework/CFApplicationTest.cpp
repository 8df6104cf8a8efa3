#include "framework/CFApplication.h"

#include "framework/CFDeferredQueue.h"
#include "framework/CFMouse.h"
#include "framework/CFScreen.h"
#include "framework/CFScreenList.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct Journal {
    std::vector<std::string> lines;
};

// A screen that reports its frames and its deletion.
class JournalScreen : public CFScreen {
public:
    JournalScreen(Journal& journal, std::string name) : m_journal(journal), m_name(std::move(name))
    {
        OnUpdate += MakeDelegate(this, &JournalScreen::Updated);
        OnRender += MakeDelegate(this, &JournalScreen::Rendered);
    }
    ~JournalScreen() override { m_journal.lines.push_back(m_name + " deleted"); }

private:
    void Updated(float) { m_journal.lines.push_back(m_name + " update"); }
    void Rendered() { m_journal.lines.push_back(m_name + " render"); }

    Journal& m_journal;
    std::string m_name;
};

class JournalQueue : public CFDeferredQueue {
public:
    explicit JournalQueue(Journal& journal) : m_journal(journal) {}
    void Execute(std::uint32_t item) override
    {
        m_journal.lines.push_back("run " + std::to_string(item));
        if (item == 2)
            Push(20);  // runs in the same pass, after the others
    }

private:
    Journal& m_journal;
};

class CFApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_fake->desktopWidth = 1280;
        m_fake->desktopBpp = 24;
        m_pApp.reset(CFApplication::GetInstance());
        ASSERT_TRUE(m_pApp->Init());
    }

    bool RunFrame() { return m_fake->Callback(EState::FrameFunc)(); }

    ScopedFakeEngine m_fake;
    Journal m_journal;  // outlives the application, whose screens write into it when deleted
    std::unique_ptr<CFApplication> m_pApp;
};

}  // namespace

TEST_F(CFApplicationTest, InitSetsTheEngineUpFromTheSettings)
{
    EXPECT_EQ(m_fake->StringState(EState::LogFile), "engine.log");
    EXPECT_EQ(m_fake->StringState(EState::Title), "Game");
    EXPECT_EQ(m_fake->CurrentIniFile(), "config.ini");
    EXPECT_EQ(m_fake->GetState(EState::ScreenBpp), 16);
    EXPECT_EQ(m_fake->GetState(EState::Windowed), 1);
    EXPECT_EQ(m_fake->GetState(EState::ShowSplash), 1);
    for (EState callback : {EState::FrameFunc, EState::ExitFunc, EState::RestoreFunc, EState::FocusLostFunc})
        EXPECT_NE(m_fake->Callback(callback), nullptr);
    EXPECT_FALSE(m_fake->Callback(EState::RestoreFunc)());
    ASSERT_NE(m_pApp->GetMouse(), nullptr);
    EXPECT_EQ(CFMouse::GetInstance(), m_pApp->GetMouse());
    int w = 0, h = 0, depth = 0;
    m_pApp->GetDesktop(w, h, depth);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(depth, 16);  // only a 32-bit desktop counts as 32
    EXPECT_EQ(CFApplication::GetInstance(), m_pApp.get());
}

TEST_F(CFApplicationTest, WithoutAScreenAFrameDrawsNothingUntilExitIsRequested)
{
    m_pApp->SetDeferredQueue(new JournalQueue(m_journal));
    m_pApp->GetDeferredQueue()->Push(1);
    EXPECT_FALSE(RunFrame());
    EXPECT_TRUE(m_fake->scenes.empty());
    EXPECT_TRUE(m_journal.lines.empty());
    m_fake->minimized = true;
    EXPECT_FALSE(m_fake->Callback(EState::ExitFunc)());
    EXPECT_FALSE(m_fake->minimized);
    EXPECT_TRUE(RunFrame());
}

TEST_F(CFApplicationTest, FrameRunsTheQueueThenUpdatesAndDrawsTheScreen)
{
    m_pApp->SetScreen(new JournalScreen(m_journal, "menu"));
    m_pApp->SetDeferredQueue(new JournalQueue(m_journal));
    m_pApp->GetDeferredQueue()->Push(1);
    m_pApp->GetDeferredQueue()->Push(2);
    EXPECT_FALSE(RunFrame());
    EXPECT_EQ(m_journal.lines,
              (std::vector<std::string>{"run 1", "run 2", "run 20", "menu update", "menu render"}));
    EXPECT_EQ(m_pApp->GetDeferredQueue()->GetLastItem(), 20u);
    EXPECT_EQ(m_fake->scenes.size(), 1u);
    EXPECT_EQ(m_fake->endSceneCount, 1);
}

TEST_F(CFApplicationTest, SettingTheSameScreenKeepsItAndAnotherReplacesIt)
{
    auto* menu = new JournalScreen(m_journal, "menu");
    m_pApp->SetScreen(menu);
    m_pApp->SetScreen(menu);
    EXPECT_TRUE(m_journal.lines.empty());
    m_pApp->SetScreen(new JournalScreen(m_journal, "game"));
    EXPECT_EQ(m_journal.lines, (std::vector<std::string>{"menu deleted"}));
    m_pApp.reset();
    EXPECT_EQ(m_journal.lines.back(), "game deleted");
    EXPECT_TRUE(m_fake->shutDown);
    EXPECT_EQ(CFMouse::GetInstance(), nullptr);
}

TEST_F(CFApplicationTest, PausedScreenIsNotUpdatedButStillDrawn)
{
    JournalScreen screen(m_journal, "s");
    int rootUpdates = 0;
    struct Counter {
        int* n;
        void OnUpdate(float) { ++*n; }
    } counter{&rootUpdates};
    CFObject root;
    root.OnUpdate += MakeDelegate(&counter, &Counter::OnUpdate);
    screen.GetController()->Add(&root);

    screen.SetPaused(true);
    screen.Update(0.1f);
    screen.Render();
    EXPECT_EQ(rootUpdates, 0);
    EXPECT_EQ(m_journal.lines, (std::vector<std::string>{"s render"}));
    screen.SetVisible(false);
    screen.Render();
    EXPECT_EQ(m_journal.lines.size(), 1u);
    screen.GetController()->Remove(&root);
}

TEST_F(CFApplicationTest, ScreenStatesAreSavedAndRestoredTogetherWithInput)
{
    CFScreenList list;
    auto* a = new JournalScreen(m_journal, "a");
    auto* b = new JournalScreen(m_journal, "b");
    list.Add(a);
    list.Add(b);
    list.Add(a);
    list.Add(nullptr);
    ASSERT_EQ(list.GetCount(), 2);
    list.PushState();
    a->SetPaused(true);
    b->SetVisible(false);
    b->DisableInput();
    list.Update(0.1f);
    list.Render();
    EXPECT_EQ(m_journal.lines, (std::vector<std::string>{"b update", "a render"}));
    list.PopState();
    list.PopState();  // an empty stack changes nothing
    EXPECT_FALSE(a->IsPaused());
    EXPECT_TRUE(b->IsVisible());
    EXPECT_TRUE(b->GetController()->IsInputEnabled());
}
