// CMoveIndicatorTest.cpp: the move indicator light follows the move finder under the player's
// settings, keeps its counters and asks for its two explaining windows once.
#include "table/CMoveIndicator.h"

#include "app/CPathEffects.h"
#include "PanelTestRoot.h"
#include "TableTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CMoveIndicatorTest : public PanelTestRoot {
protected:
    void SetUp() override
    {
        PanelTestRoot::SetUp();
        tabletest::WriteKlondike(m_fake.Get());
        tabletest::WriteBare(m_fake.Get(), 2);
        m_pLight = m_pPanel->FindPart(0, "scroll_interface_top.#0.move_indicator_light.all");
        ASSERT_NE(m_pLight, nullptr);
    }

    void TearDown() override
    {
        m_pIndicator.reset();
        m_pBare.reset();
        m_pDealt.reset();
        PanelTestRoot::TearDown();
    }

    void Make() { m_pIndicator = std::make_unique<CMoveIndicator>(&m_controller, m_pLight); }

    // A Klondike deal: moves are left.
    CCardTable* Dealt()
    {
        m_pDealt = std::make_unique<tabletest::DealtTable>(m_fake.Get(), tabletest::kKlondike, 11);
        return &m_pDealt->table;
    }

    // Two empty places: no move at all.
    CCardTable* Empty()
    {
        m_pBare = std::make_unique<CCardTable>(tabletest::kBare, kModeStory, nullptr);
        EXPECT_TRUE(m_pBare->LoadLevel());
        return m_pBare.get();
    }

    void Frame(float dt = 0.05f)
    {
        m_pPanelGroup->Update(dt);
        m_pIndicator->Update(dt);
        m_pIndicator->Render();
    }

    // Frames until the light's on/off animation has ended.
    void Settle()
    {
        for (int i = 0; i < 40 && m_pLight->IsPlaying(); ++i)
            Frame();
        Frame();
    }

    CFAnimationInstance* m_pLight = nullptr;
    std::unique_ptr<CMoveIndicator> m_pIndicator;
    std::unique_ptr<tabletest::DealtTable> m_pDealt;
    std::unique_ptr<CCardTable> m_pBare;
};

}  // namespace

TEST_F(CMoveIndicatorTest, EveryIndicatorStartsLitAndCountsALevelStart)
{
    Player().m_nTableValue1 = 4;
    Make();
    EXPECT_TRUE(m_pIndicator->IsLit(false));
    EXPECT_EQ(m_pLight->GetFirstFrame(), 0);  // "on"
    EXPECT_TRUE(m_pLight->IsPlaying());
    EXPECT_EQ(Player().m_nTableValue1, 5);
    EXPECT_EQ(Player().m_nTableValue2, 0);
}

TEST_F(CMoveIndicatorTest, TheLightFollowsTheMoveFindersNewVerdicts)
{
    // Busy (the game's windows wait) until the light shows the table as it stands.
    Make();
    Settle();
    EXPECT_FALSE(m_pIndicator->IsBusy());
    m_controller.table = Empty();
    EXPECT_TRUE(m_pIndicator->IsBusy()) << "a verdict waits to be shown";
    Frame();
    EXPECT_FALSE(m_pIndicator->IsLit(false));
    EXPECT_TRUE(m_pIndicator->IsLit(true));  // still shown lit while "off" plays
    EXPECT_TRUE(m_pIndicator->IsBusy());
    EXPECT_EQ(m_pLight->GetFirstFrame(), 5);
    Settle();
    EXPECT_FALSE(m_pIndicator->IsLit(true));
    for (int i = 0; i < 40 && m_pIndicator->IsBusy(); ++i)
        Frame();
    EXPECT_FALSE(m_pIndicator->IsBusy()) << "the dark light's sparkles have faded";

    m_controller.table = Dealt();
    Frame();
    EXPECT_TRUE(m_pIndicator->IsLit(false));
    EXPECT_EQ(m_pLight->GetFirstFrame(), 0);
    EXPECT_EQ(Player().m_nTableValue2, 1);

    // Without a new search the verdict stands: the light is not switched again.
    m_pIndicator->TurnOff();
    Frame();
    EXPECT_FALSE(m_pIndicator->IsLit(false));
    m_pDealt->table.RequestMoveSearch();
    Frame();
    EXPECT_TRUE(m_pIndicator->IsLit(false));
    EXPECT_EQ(Player().m_nTableValue2, 2);
}

TEST_F(CMoveIndicatorTest, WithTheSettingOffTheLightGoesOffAndNeverComesOn)
{
    Make();
    m_controller.table = Dealt();
    Frame();
    Player().m_bHints = 0;
    m_pDealt->table.MoveSearchDone();
    Frame();
    EXPECT_FALSE(m_pIndicator->IsLit(false));
    // The change of the setting made the table search again.
    EXPECT_TRUE(m_pDealt->table.NeedsMoveSearch());
    for (int i = 0; i < 20; ++i) {
        m_pDealt->table.RequestMoveSearch();
        Frame();
        m_pIndicator->TurnOn();
        EXPECT_FALSE(m_pIndicator->IsLit(false));
    }
    EXPECT_EQ(Player().m_nTableValue2, 0);

    Player().m_bHints = 1;
    m_pDealt->table.MoveSearchDone();
    Frame();  // the change asks for a new search, whose verdict lights it
    EXPECT_TRUE(m_pIndicator->IsLit(false));
}

TEST_F(CMoveIndicatorTest, TheNoHintsSettingTurnsTheLightOffOutsideClassicGamesOnly)
{
    Player().m_bMasterMode = 1;
    const struct {
        unsigned mode;
        bool lit;
    } cases[] = {{0, false}, {8, false}, {2, false}, {1, true}, {9, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        m_controller.mode = c.mode;
        m_controller.table = nullptr;
        Make();
        m_controller.table = Dealt();
        Frame();
        EXPECT_EQ(m_pIndicator->IsLit(false), c.lit);
        m_pIndicator.reset();
    }
}

TEST_F(CMoveIndicatorTest, TheThirdLightingAsksForTheFirstWindowOnce)
{
    Player().m_nTableValue1 = 5;  // not the second level start
    Make();
    for (int i = 0; i < 3; ++i) {
        m_pIndicator->TurnOff();
        m_pIndicator->TurnOn();
    }
    EXPECT_EQ(Player().m_nTableValue2, 3);
    EXPECT_TRUE(m_pIndicator->IsWindowPending(CMoveIndicator::kWindowFirst));
    Frame();
    EXPECT_TRUE(m_controller.windows.empty());  // not while the light animates
    Settle();
    ASSERT_EQ(m_controller.windows.size(), 1u);
    EXPECT_EQ(m_controller.windows[0], CMoveIndicator::kWindowFirst);
    EXPECT_FALSE(m_pIndicator->IsWindowPending(CMoveIndicator::kWindowFirst));

    m_pIndicator->TurnOff();
    m_pIndicator->TurnOn();
    Settle();
    EXPECT_EQ(m_controller.windows.size(), 1u);
    EXPECT_FALSE(m_pIndicator->IsWindowPending(CMoveIndicator::kWindowSecond));
}

TEST_F(CMoveIndicatorTest, TheSecondLevelStartAsksForTheSecondWindowOnce)
{
    Player().m_nTableValue1 = 1;
    Make();
    EXPECT_EQ(Player().m_nTableValue1, 2);
    m_pIndicator->TurnOff();
    m_pIndicator->TurnOn();
    EXPECT_TRUE(m_pIndicator->IsWindowPending(CMoveIndicator::kWindowSecond));
    EXPECT_EQ(Player().m_nTableValue1, 3);
    m_pIndicator->TurnOff();
    m_pIndicator->TurnOn();
    Settle();
    ASSERT_EQ(m_controller.windows.size(), 1u);
    EXPECT_EQ(m_controller.windows[0], CMoveIndicator::kWindowSecond);
}

TEST_F(CMoveIndicatorTest, APendingWindowWaitsForAnIdleController)
{
    Player().m_nTableValue2 = 2;
    Make();
    m_pIndicator->TurnOff();
    m_pIndicator->TurnOn();
    ASSERT_TRUE(m_pIndicator->IsWindowPending(CMoveIndicator::kWindowFirst));
    m_pIndicator->TurnOff();
    Settle();
    EXPECT_TRUE(m_controller.windows.empty()) << "asked for while the light is dark";
    m_pIndicator->TurnOn();
    m_controller.modal = true;
    Settle();
    m_controller.modal = false;
    m_controller.replaying = true;
    Frame();
    EXPECT_TRUE(m_controller.windows.empty());
    m_controller.replaying = false;
    m_controller.acceptWindows = false;
    Frame();
    EXPECT_EQ(m_controller.windows.size(), 1u);
    EXPECT_TRUE(m_pIndicator->IsWindowPending(CMoveIndicator::kWindowFirst));
    m_controller.acceptWindows = true;
    Frame();
    EXPECT_EQ(m_controller.windows.size(), 2u);
    EXPECT_FALSE(m_pIndicator->IsWindowPending(CMoveIndicator::kWindowFirst));
    m_pIndicator->AskAgain(CMoveIndicator::kWindowFirst);  // the controller found the light dark
    Frame();
    EXPECT_EQ(m_controller.windows.size(), 3u) << "a window handed back is asked for again";
}

TEST_F(CMoveIndicatorTest, SparklesCircleTheLitLightExceptWhileThePanelMoves)
{
    Make();
    Frame();
    EXPECT_TRUE(m_pIndicator->IsOrbitRunning());
    EXPECT_EQ(m_pIndicator->GetOrbit()->GetPathCount(), 2);
    m_controller.panelPlaying = true;
    Frame();
    EXPECT_FALSE(m_pIndicator->IsOrbitRunning());
    m_controller.panelPlaying = false;
    Frame();
    EXPECT_TRUE(m_pIndicator->IsOrbitRunning());
    m_pIndicator->TurnOff();
    EXPECT_FALSE(m_pIndicator->IsOrbitRunning());
    Frame();
    EXPECT_FALSE(m_pIndicator->IsOrbitRunning());
}
