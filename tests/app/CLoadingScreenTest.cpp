// The loading screen: intro, objects within each frame's budget, the bar, the hand-over, and whole
// headless runs of the program over the generated data set.
#include "app/CLoadingScreen.h"

#include "app/CLoadingBar.h"
#include "GameRunRoot.h"
#include "TestScreens.h"
#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/GameMain.h"
#include "app/Globals.h"
#include "framework/CFResource.h"
#include "platform/FileSystem.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

void DeclarePlain(CFResource& res, const char* module, int objects)
{
    res.CreateModule(module);
    res.CreateEffect("plain", 1, 100);
    for (int i = 0; i < objects; ++i) {
        res.CreateObjectGfx("plain", 0);
        res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    }
}

// A "loading" module shaped like the real one: a 3-frame intro and a 10-frame progress effect.
void DeclareLoading(CFResource& res)
{
    res.CreateModule("loading");
    const struct {
        const char* name;
        int frames;
    } effects[] = {{"preloading", 3}, {"back", 1}, {"progress", 10}, {"loading", 2}};
    for (const auto& e : effects) {
        res.CreateEffect(e.name, e.frames, e.frames * 100);
        res.CreateObjectGfx("only", 0);
        for (int f = 0; f < e.frames; ++f)
            res.AddFrameGfx(-1, -1, 255, 255, 255, 255, 0, 0, 100, 100, 0, 0, 0, 0, 0, 0);
    }
}

class CLoadingScreenTest : public HeadlessEngineTest {
protected:
    void SetUp() override
    {
        HeadlessEngineTest::SetUp();
        // The main menu is the screens' business: a plain screen stands in for it.
        CScreenFactory::SetMaker(EScreenKind::MainMenu, [this](int) { return new TestScreen(m_log, "MainMenu"); });
        m_res = std::make_unique<CFResource>("effects/none.as");
        DeclareLoading(*m_res);
        g_pScreenManager = new CScreenManager();
    }

    void TearDown() override
    {
        delete g_pScreenManager;
        g_pScreenManager = nullptr;
        CScreenFactory::SetMaker(EScreenKind::MainMenu, {});
        m_res.reset();
        HeadlessEngineTest::TearDown();
    }

    struct Step {
        int loaded, barFrame;
    };

    // Updates, one an engine frame, until the screen hands over (or a limit); returns the steps
    // of the loading state.
    std::vector<Step> RunUntilSwitched(CLoadingScreen& screen)
    {
        std::vector<Step> steps;
        for (int updates = 0; screen.GetState() != CLoadingScreen::kIdle && updates < 500; ++updates) {
            RunFrames(1, [&] { screen.Update(0.05f); });
            if (screen.GetState() == CLoadingScreen::kLoading)
                steps.push_back({screen.GetLoadedObjects(), screen.GetBar().GetProgressFrame()});
        }
        return steps;
    }

    int CountLines(const std::string& line) const
    {
        return static_cast<int>(std::count(LogLines().begin(), LogLines().end(), line));
    }

    std::unique_ptr<CFResource> m_res;
    ScreenLog m_log;
};

TEST_F(CLoadingScreenTest, UndefinedModulesCountAsLoadedWithNoObjects)
{
    DeclarePlain(*m_res, "main_menu", 3);
    DeclarePlain(*m_res, "LOGO", 2);
    ClearLog();
    std::unique_ptr<CLoadingScreen> screen(CLoadingScreen::Create(m_res.get()));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->GetTotalObjects(), 5);
    RunUntilSwitched(*screen);
    EXPECT_EQ(screen->GetState(), CLoadingScreen::kIdle);
    EXPECT_EQ(screen->GetLoadedObjects(), 5);
    EXPECT_TRUE(m_res->FindModule("main_menu"));
    EXPECT_TRUE(m_res->FindModule("LOGO"));
    EXPECT_EQ(CountLines("[E] module 'Trophy' not loaded"), 1);  // once, not every frame
    EXPECT_EQ(CountLines("[W] Resource: Can't load module Trophy"), 0);
    ASSERT_NE(g_pScreenManager->GetCurrent(), nullptr);
    EXPECT_EQ(g_pScreenManager->GetCurrent()->GetName(), "MainMenu");
}

TEST_F(CLoadingScreenTest, NothingToLoadGoesFromTheIntroStraightToTheNextScreen)
{
    std::unique_ptr<CLoadingScreen> screen(CLoadingScreen::Create(m_res.get()));
    EXPECT_EQ(screen->GetTotalObjects(), 0);
    std::vector<int> states;
    for (int i = 0; i < 12 && screen->GetState() != CLoadingScreen::kIdle; ++i) {
        screen->Update(0.05f);
        states.push_back(screen->GetState());
    }
    // The 0.3 s intro plays out, then one update each for "loading", "done" and the switch.
    EXPECT_EQ(states.front(), CLoadingScreen::kIntro);
    EXPECT_EQ(states.back(), CLoadingScreen::kIdle);
    EXPECT_EQ(std::count(states.begin(), states.end(), CLoadingScreen::kLoading), 1);
    EXPECT_NE(g_pScreenManager->GetCurrent(), nullptr);
}

TEST_F(CLoadingScreenTest, BarReachesItsLastFrameExactlyWithTheLastObject)
{
    const int perFrame = CLoadingScreen::HeadlessObjectsPerFrame();
    ASSERT_GT(perFrame, 1);
    DeclarePlain(*m_res, "bonus_statistic", perFrame + perFrame / 2);
    DeclarePlain(*m_res, "master_mode_window", perFrame);
    const int total = 2 * perFrame + perFrame / 2;
    std::unique_ptr<CLoadingScreen> screen(CLoadingScreen::Create(m_res.get()));
    ASSERT_EQ(screen->GetTotalObjects(), total);
    EXPECT_EQ(screen->GetBar().GetProgressFrame(), 0);
    // Each frame loads its share of the objects, in order, and the bar follows the real progress.
    const std::vector<Step> steps = RunUntilSwitched(*screen);
    // The update that ends the intro, full shares, then the rest.
    ASSERT_EQ(steps.size(), 4u);
    const int loaded[] = {0, perFrame, 2 * perFrame, total};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE("update " + std::to_string(i));
        EXPECT_EQ(steps[i].loaded, loaded[i]);
        EXPECT_EQ(steps[i].barFrame, static_cast<int>(loaded[i] * 100.0f / total / 100.0f * 8.9999f));
    }
    EXPECT_LT(steps[2].barFrame, 8);
    EXPECT_EQ(steps[3].barFrame, 8);
    EXPECT_TRUE(m_res->FindModule("bonus_statistic"));  // the modules in their order
    EXPECT_TRUE(m_res->FindModule("master_mode_window"));
}

// ---- Whole runs of the program ------------------------------------------------------------------

// The main menu is the screens' business: here a plain screen stands in for it.
class LoadingRunTest : public GameRunRoot {
protected:
    ScreenLog m_log;
    CScreenFactory::Override m_menu{EScreenKind::MainMenu, [this](int) { return new TestScreen(m_log, "menu"); }};
};

bool IsGold(std::uint32_t argb)
{
    const int red = static_cast<int>(argb >> 16 & 0xFF), blue = static_cast<int>(argb & 0xFF);
    return red > 150 && blue < 120;
}

TEST_F(LoadingRunTest, RunShowsTheProgressBarWhileLoading)
{
    // A 0.5 s fade-in and a 1.2 s intro take about 102 frames; then a fixed share a frame, so
    // halfway through the loading frames the bar is half full.
    const int frames = PreloadFrames(PreloadObjectCount());
    ASSERT_GT(frames, 4);
    const int frame = kIntroFrames + frames / 2;
    ASSERT_EQ(Run(frame - MenuFrame()), 0);  // ends, and is taken, before the menu
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
    const std::vector<std::uint32_t> fill = ShotRow(205, 500, 20);  // the bar's left end
    ASSERT_EQ(fill.size(), 20u);
    EXPECT_TRUE(std::all_of(fill.begin(), fill.end(), IsGold)) << std::hex << fill[0];
    const std::vector<std::uint32_t> sky = ShotRow(205, 100, 1);
    ASSERT_EQ(sky.size(), 1u);
    EXPECT_FALSE(IsGold(sky[0]));
}

TEST_F(LoadingRunTest, RunGetsThroughTheLoadingScreenWithoutAnErrorOrWarning)
{
    const int objects = PreloadObjectCount();
    ASSERT_GT(objects, 0);
    ASSERT_EQ(Run(15), 0);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
    EXPECT_EQ(m_log.Count("release menu"), 1);  // the loading screen handed over to the main menu
}

}  // namespace
