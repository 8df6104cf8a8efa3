// CScreenManagerTest.cpp: screen switches through black, popups on the deepest screen, and who
// releases which screen when.
#include "app/CScreenManager.h"

#include "TestScreens.h"
#include "app/CScreenTransition.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

namespace {

constexpr float kDt = 0.1f;  // 50 alpha units per frame

class CScreenManagerTest : public ::testing::Test {
protected:
    void RunUntilIdle(int maxFrames = 100)
    {
        for (int i = 0; i < maxFrames && m_manager->GetPhase() != CScreenManager::kIdle; ++i)
            m_manager->Update(kDt);
    }

    ScopedFakeEngine m_fake;
    ScreenLog m_log;
    std::unique_ptr<CScreenManager> m_manager = std::make_unique<CScreenManager>();
};

}  // namespace

TEST_F(CScreenManagerTest, FirstScreenBecomesCurrentAtOnceAndFadesInFromBlack)
{
    auto* a = new TestScreen(m_log, "A");
    m_manager->SwitchTo(a, true, true);
    EXPECT_EQ(m_manager->GetCurrent(), a);
    EXPECT_EQ(m_manager->GetPhase(), CScreenManager::kFadingIn);
    EXPECT_FLOAT_EQ(m_manager->GetTransition().GetAlpha(), 255.0f);
    m_manager->Render();
    ASSERT_EQ(m_fake->quads.size(), 1u);
    EXPECT_EQ(m_fake->quads[0].v[0].col, 0xFF000000u);  // the black cover over the new screen
    EXPECT_EQ(m_log.Count("render A"), 1);

    m_manager->Update(kDt);
    EXPECT_EQ(m_log.Count("update A"), 0);  // no screen is updated while a fade runs
    EXPECT_FLOAT_EQ(m_manager->GetTransition().GetAlpha(), 205.0f);
    RunUntilIdle();
    EXPECT_EQ(m_manager->GetPhase(), CScreenManager::kIdle);
    EXPECT_FALSE(m_manager->m_bSwitched);  // nothing was current before
    EXPECT_EQ(m_log.Count("update A"), 1);  // from the frame the fade ended in
    m_manager->Update(kDt);
    EXPECT_EQ(m_log.Count("update A"), 2);
}

TEST_F(CScreenManagerTest, SwitchFadesOutSwapsReleasesTheOldScreenAndFadesIn)
{
    m_manager->SwitchTo(new TestScreen(m_log, "A"), true, true);
    RunUntilIdle();
    const int updatesBefore = m_log.Count("update A");
    auto* b = new TestScreen(m_log, "B");
    m_manager->SwitchTo(b, false, true);
    EXPECT_EQ(m_manager->GetPhase(), CScreenManager::kFadingOut);
    EXPECT_EQ(m_manager->GetCurrent()->GetName(), "A");
    int frames = 0;
    while (m_manager->GetCurrent() != b && frames < 100) {
        m_manager->Update(kDt);
        ++frames;
    }
    EXPECT_EQ(frames, 6);  // 255 / 50 per frame, rounded up
    EXPECT_EQ(m_log.Count("release A"), 1);
    EXPECT_EQ(m_log.Count("update A"), updatesBefore);  // nothing is updated while fading out
    EXPECT_TRUE(m_manager->m_bSwitched);
    EXPECT_FALSE(b->IsActive());  // the flags given to SwitchTo
    EXPECT_TRUE(b->IsVisible());
    EXPECT_EQ(m_manager->GetPhase(), CScreenManager::kFadingIn);
    EXPECT_EQ(m_log.live, 1);
}

TEST_F(CScreenManagerTest, ASecondSwitchBeforeTheSwapReleasesTheWaitingScreen)
{
    m_manager->SwitchTo(new TestScreen(m_log, "A"), true, true);
    RunUntilIdle();
    m_manager->SwitchTo(new TestScreen(m_log, "B"), true, true);
    m_manager->Update(kDt);
    m_manager->SwitchTo(new TestScreen(m_log, "C"), true, true);
    EXPECT_EQ(m_log.Count("release B"), 1);
    RunUntilIdle();
    EXPECT_EQ(m_manager->GetCurrent()->GetName(), "C");
    EXPECT_EQ(m_log.live, 1);
}

TEST_F(CScreenManagerTest, ASwitchBackToTheCurrentScreenNeverReleasesItTwice)
{
    auto* a = new TestScreen(m_log, "A");
    m_manager->SwitchTo(a, true, true);
    RunUntilIdle();
    m_manager->SwitchTo(a, true, true);  // e.g. a menu that asks for itself again
    m_manager->SwitchTo(new TestScreen(m_log, "B"), true, true);
    EXPECT_EQ(m_log.Count("release A"), 0);  // still current until the swap
    RunUntilIdle();
    EXPECT_EQ(m_log.Count("release A"), 1);

    m_manager->SwitchTo(m_manager->GetCurrent(), true, true);
    m_manager.reset();  // mid-switch, with the current screen also waiting as the next one
    EXPECT_EQ(m_log.Count("release B"), 1);
    EXPECT_EQ(m_log.live, 0);
}

TEST_F(CScreenManagerTest, DeletingTheManagerMidSwitchReleasesEveryScreen)
{
    m_manager->SwitchTo(new TestScreen(m_log, "A"), true, true);
    RunUntilIdle();
    m_manager->SwitchTo(new TestScreen(m_log, "B"), true, true);
    m_manager->Update(kDt);
    m_manager.reset();
    EXPECT_EQ(m_log.live, 0);
    EXPECT_EQ(m_log.Count("release A"), 1);
    EXPECT_EQ(m_log.Count("release B"), 1);
}

TEST_F(CScreenManagerTest, PopupsAttachToTheDeepestScreen)
{
    auto* a = new TestScreen(m_log, "A");
    m_manager->SwitchTo(a, true, true);
    RunUntilIdle();
    auto* p = new TestPopup(m_log, "P");
    m_manager->ShowPopup(p, false, true);
    EXPECT_EQ(a->GetChild(), p);
    EXPECT_EQ(p->GetParent(), a);
    EXPECT_FALSE(a->IsActive());  // the flags are those of the screen under the popup
    auto* q = new TestPopup(m_log, "Q");
    m_manager->ShowPopup(q, false, true);
    EXPECT_EQ(p->GetChild(), q);

    m_log.events.clear();
    m_manager->Update(kDt);
    m_manager->Render();
    EXPECT_EQ(m_log.events, (std::vector<std::string>{"update Q", "render A", "render P", "render Q"}));
    m_manager.reset();
    EXPECT_EQ(m_log.live, 0);
}

TEST_F(CScreenManagerTest, APopupThatClosesItselfIsReleasedOnItsParentsNextUpdate)
{
    auto* a = new TestScreen(m_log, "A");
    m_manager->SwitchTo(a, true, true);
    RunUntilIdle();
    auto* p = new TestPopup(m_log, "P");
    a->SetChild(p, false, true);
    p->Close();
    EXPECT_EQ(m_log.Count("release P"), 0);  // its handler may still run
    EXPECT_TRUE(a->IsActive());
    EXPECT_EQ(a->GetChild(), nullptr);
    m_manager->Update(kDt);
    EXPECT_EQ(m_log.Count("release P"), 1);
    EXPECT_EQ(m_log.live, 1);
}

TEST_F(CScreenManagerTest, TwoChildrenReplacedInOneFrameAreBothReleased)
{
    auto* a = new TestScreen(m_log, "A");
    m_manager->SwitchTo(a, true, true);
    RunUntilIdle();
    a->SetChild(new TestPopup(m_log, "P"), false, true);
    a->SetChild(new TestPopup(m_log, "Q"), false, true);
    a->SetChild(nullptr, true, true);
    m_manager->Update(kDt);
    EXPECT_EQ(m_log.Count("release P"), 1);
    EXPECT_EQ(m_log.Count("release Q"), 1);
    EXPECT_EQ(m_log.live, 1);
}

TEST(CPopupBase, BackdropFadesInAtFiveHundredPerSecondToItsTarget)
{
    ScopedFakeEngine fake;
    ScreenLog log;
    TestPopup popup(log, "P");
    struct Step {
        float dt;
        float alpha;
        bool fading;
    };
    const Step steps[] = {{0.05f, 25.0f, true}, {0.1f, 75.0f, true}, {0.1f, 100.0f, false}, {0.1f, 100.0f, false}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.alpha);
        popup.Update(step.dt);
        EXPECT_FLOAT_EQ(popup.GetBackdropAlpha(), step.alpha);
        EXPECT_EQ(popup.IsFading(), step.fading);
    }
    popup.RenderBackdrop();
    ASSERT_EQ(fake->quads.size(), 1u);
    for (const EngineVertex& v : fake->quads[0].v)
        EXPECT_EQ(v.col, 100u << 24);
    EXPECT_FLOAT_EQ(fake->quads[0].v[2].x, 800.0f);
    EXPECT_FLOAT_EQ(fake->quads[0].v[2].y, 600.0f);
}

TEST(CPopupBase, BackdropTargetCanBeRaised)
{
    ScopedFakeEngine fake;
    ScreenLog log;
    TestPopup popup(log, "P");
    popup.SetBackdropAlpha(200);
    popup.Update(1.0f);
    EXPECT_FLOAT_EQ(popup.GetBackdropAlpha(), 200.0f);
}

TEST(CScreenTransition, BandsSweepLeftUntilEveryEdgeIsZero)
{
    ScopedFakeEngine fake;
    for (int direction : {CScreenTransition::kUncover, CScreenTransition::kCover}) {
        SCOPED_TRACE(direction);
        CScreenTransition transition;
        transition.Start(CScreenTransition::kBands, direction);
        for (int band = 0; band < CScreenTransition::kBandCount; ++band) {
            const float edge = direction == CScreenTransition::kUncover ? transition.GetBandRight(band)
                                                                        : transition.GetBandLeft(band);
            EXPECT_GE(edge, 799.0f);
            EXPECT_LE(edge, 949.0f);
        }
        fake->quads.clear();
        transition.Render();
        EXPECT_EQ(fake->quads.size(), 120u);
        int frames = 0;
        while (transition.IsActive() && frames < 100) {
            transition.Update(0.1f);  // 200 pixels per frame
            ++frames;
        }
        EXPECT_EQ(frames, 5);
        EXPECT_FLOAT_EQ(transition.GetBandLeft(7), 0.0f);
    }
}
