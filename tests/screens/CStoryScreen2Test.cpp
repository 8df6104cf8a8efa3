// CStoryScreen2Test.cpp: the story map over the bundled data: a new player's first visit,
// journeys and the helm, a click that hurries a journey, a closed location, the announcements
// in their order, master mode, the cheat key and the games it starts.
#include "screens/CStoryScreen2.h"

#include "MenuScreenTestRoot.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "screens/CDialogInformation.h"
#include "screens/CDialogNewLocation.h"
#include "table/CGameProcess.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace {

constexpr int kKeyEscape = 27;

class CStoryScreen2Test : public MenuScreenTestRoot {
protected:
    void SetUp() override
    {
        MenuScreenTestRoot::SetUp();
        CDialogNewLocation::Answer() = -1;
    }

    // A player who has played before: the map was visited and the story started.
    static void Started(int openLocations)
    {
        PlayerRecord& r = Record();
        r.m_bMapVisited = 1;
        r.m_bStoryLevelPlayed = 1;
        for (int location = 0; location < openLocations; ++location)
            r.m_locationOpened[static_cast<std::size_t>(location)] = 1;
    }

    CStoryScreen2* Open()
    {
        m_pMap = CStoryScreen2::Create();
        Enter(m_pMap);
        return m_pMap;
    }

    // Runs until the map has come to rest and the level panel takes input (bounded). A player's
    // click in an empty corner of the sea hurries the journey along, as it would in the game.
    void Rest(bool hurry = true)
    {
        if (hurry) {
            ASSERT_TRUE(EngineQueueInput("1 move 300 30\n3 down 1\n4 up 1\n"));
        }
        for (int i = 0; i < 1200 && (m_pMap->IsTransitionRunning() || m_pMap->GetIntroTimer() > 0.0f); ++i)
            Frames(1);
        ASSERT_FALSE(m_pMap->IsTransitionRunning());
        ASSERT_EQ(m_pMap->GetIntroTimer(), 0.0f);
        Frames(2);
    }

    // The first frame of the section the slot's state part shows.
    int StateFrame(int slot)
    {
        const progress::SlotPaths paths =
            progress::MapSlotPaths(slot, m_pMap->GetLocation(), m_pMap->GetPreviousLocation(), m_pMap->GetLocation());
        CFAnimationInstance* part = m_pMap->GetMap()->FindPart(0, paths.level.c_str());
        return part != nullptr ? part->GetFirstFrame() : -1;
    }

    CFButton& Slot(int slot) { return *m_pMap->GetSlotButton(slot); }

    template <typename Window>
    Window* OpenWindow() const
    {
        return dynamic_cast<Window*>(m_pMap->GetChild());
    }

    CStoryScreen2* m_pMap = nullptr;
};

}  // namespace

TEST_F(CStoryScreen2Test, ANewPlayersFirstVisitSailsInAndOnlyTheFirstLevelCanBePlayed)
{
    Open();
    ASSERT_TRUE(m_pMap->IsBuilt());
    EXPECT_EQ(Record().m_bMapVisited, 1);
    EXPECT_EQ(m_pMap->GetMap()->GetName(), "3-1z");
    EXPECT_EQ(m_pMap->GetPreviousLocation(), 2);
    EXPECT_TRUE(m_pMap->IsTransitionRunning());
    Frames(60);
    Screenshot("story_first_visit_journey");
    Rest(false);
    EXPECT_EQ(StateFrame(4), 1);  // level 1: "opened"
    for (int slot : {0, 1, 2, 3, 5})
        EXPECT_EQ(StateFrame(slot), 0) << slot;  // everything else looks "closed"
    EXPECT_FALSE(Slot(6).IsVisible());  // a closed hardcore level is not shown
    float lastX = -1.0f;
    for (int location = 0; location < 5; ++location) {  // the island bar reads in journey order
        float x = 0, y = 0, w = 0, h = 0;
        m_pMap->GetLocationButton(location)->GetRect(&x, &y, &w, &h);
        EXPECT_GT(x, lastX) << location;
        lastX = x;
    }
    EXPECT_EQ(m_pMap->GetSelectionShown(), progress::StoryEntry::Story(0));
    EXPECT_EQ(m_pMap->GetPreview()->GetName(), "level_0");

    Tap(Slot(3));  // level 2: nothing
    Tap(*m_pMap->GetLocationButton(1));
    EXPECT_EQ(g_pScreenManager->GetCurrent(), m_pMap);
    EXPECT_EQ(m_pMap->GetLocation(), 0);
    EXPECT_FALSE(m_pMap->IsTransitionRunning());
    EXPECT_TRUE(m_pMap->GetSelectHint()->IsVisible());
    Frames(60);
    Screenshot("story_first_visit");

    Tap(*m_pMap->GetPlayButton());
    EXPECT_EQ(Record().m_bStoryLevelPlayed, 1);
    CGameProcess* game = GameStarted();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetLevel(), 0);
    EXPECT_EQ(game->GetMode(), 0);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CStoryScreen2Test, AJourneyTurnsTheHelmAClickHurriesItAndArrivalSelectsTheLowestLevel)
{
    Started(2);
    for (int level = 0; level < 5; ++level)
        Record().m_storyLevels[static_cast<std::size_t>(level)] = 2;
    Record().m_bonusLevels[0] = 2;
    for (int level = 5; level < 10; ++level)
        Record().m_storyLevels[static_cast<std::size_t>(level)] = 1;
    Record().m_storyLevels[7] = 3;
    Open();
    EXPECT_EQ(m_pMap->GetMap()->GetName(), "0-1");
    Rest();
    EXPECT_EQ(m_pMap->GetSelectionShown(), progress::StoryEntry::Story(0));
    EXPECT_EQ(StateFrame(4), 2);  // bronze

    Tap(*m_pMap->GetLocationButton(1));
    EXPECT_TRUE(m_pMap->IsTransitionRunning());
    EXPECT_EQ(m_pMap->GetMap()->GetName(), "1-2z");
    EXPECT_EQ(m_pMap->GetLocation(), 1);
    EXPECT_EQ(m_pMap->GetPreviousLocation(), 0);
    EXPECT_EQ(m_pMap->GetHelm()->GetFirstFrame(), 24);  // "right"
    EXPECT_TRUE(progress::GetSelection(Record()).IsNone());
    EXPECT_EQ(m_pMap->GetMap()->GetSpeed(), 1.0f);
    Frames(20);
    Screenshot("story_journey");
    ASSERT_TRUE(EngineQueueInput("1 move 300 300\n2 down 1\n3 up 1\n"));
    Frames(3);
    EXPECT_EQ(m_pMap->GetMap()->GetSpeed(), CStoryScreen2::kClickSpeed);
    EXPECT_LT(m_pMap->GetIntroTimer(), CStoryScreen2::kIntroSeconds / 2);
    Rest();
    EXPECT_EQ(m_pMap->GetMap()->GetSpeed(), 1.0f);
    EXPECT_EQ(progress::GetSelection(Record()), progress::StoryEntry::Story(5));
    EXPECT_EQ(m_pMap->GetPreview()->GetName(), "level_5");
    EXPECT_EQ(Text("preview_name"), L"Klondike Draw Three");
    EXPECT_EQ(StateFrame(2), 3);  // level 8 ("Yukon") silver
    EXPECT_TRUE(m_pMap->GetSlotLight(4)->IsVisible());
    Screenshot("story_barbados");

    // Entering another open slot selects it, leaving shows the selection again.
    MoveOnto(Slot(3));
    EXPECT_EQ(progress::GetSelection(Record()), progress::StoryEntry::Story(6));
    EXPECT_EQ(m_pMap->GetPreview()->GetName(), "level_6");
    MoveTo(300, 560);
    Tap(Slot(3));
    CGameProcess* game = GameStarted();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetLevel(), 6);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CStoryScreen2Test, TheHelmTurnsLeftTowardsTheStart)
{
    Started(5);
    Record().m_nSelectedStory = 20;  // in view: location 4
    Open();
    Rest();
    Tap(*m_pMap->GetLocationButton(2));
    EXPECT_EQ(m_pMap->GetHelm()->GetFirstFrame(), 24);  // 4 -> 2: "right"
    Rest();
    Tap(*m_pMap->GetLocationButton(4));
    EXPECT_EQ(m_pMap->GetHelm()->GetFirstFrame(), 0);   // 2 -> 4: "left"
}

TEST_F(CStoryScreen2Test, AClosedLocationSelectsNothingShowsItsUnlockWindowAndItsClosedBonusWindow)
{
    Started(2);
    Record().m_nSelectedStory = 5;
    Open();
    Rest();
    Tap(*m_pMap->GetLocationButton(3));
    Rest();
    EXPECT_EQ(m_pMap->GetLocation(), 3);
    EXPECT_TRUE(progress::GetSelection(Record()).IsNone());
    auto* unlock = OpenWindow<CDialogInformation>();
    ASSERT_NE(unlock, nullptr);
    Frames(30);
    Screenshot("story_closed_location");
    PressKey(kKeyEscape);
    Frames(2);
    EXPECT_EQ(m_pMap->GetChild(), nullptr);

    // With no selection, hovering and leaving the slots reads no level with -1.
    for (int slot = 0; slot < 6; ++slot)
        MoveOnto(Slot(slot));
    MoveTo(300, 560);
    EXPECT_EQ(Text("preview_name"), L"");
    Tap(Slot(5));  // the closed bonus level explains itself
    ASSERT_NE(OpenWindow<CDialogInformation>(), nullptr);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CStoryScreen2Test, AnnouncementsOpenOneAtATimeAndCongratulationOneGivesWayToTwo)
{
    Started(1);
    Record().m_bAllStoryGold = 1;
    Record().m_bAllStoryCompleted = 1;
    Record().m_pendingCongrats = {0, 0, -1, -1};
    Record().m_nPendingNewBonus = 0;
    Record().m_bonusLevels[0] = 1;
    Open();
    Rest();
    // The frame the intro ends: the new bonus level's window.
    ASSERT_NE(OpenWindow<CDialogInformation>(), nullptr);
    EXPECT_EQ(Record().m_nPendingNewBonus, -1);
    EXPECT_EQ(Record().m_pendingCongrats[1], 0);
    PressKey(kKeyEscape);
    Frames(3);
    ASSERT_NE(OpenWindow<CDialogInformation>(), nullptr);  // congratulation 2
    EXPECT_EQ(Record().m_pendingCongrats[1], -1);
    Frames(30);
    Screenshot("story_congratulation");
    PressKey(kKeyEscape);
    Frames(10);
    EXPECT_EQ(m_pMap->GetChild(), nullptr);
    EXPECT_EQ(Record().m_pendingCongrats[0], 0);  // stays queued
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CStoryScreen2Test, ANewLocationIsOfferedOnceNoStaysAndYesSailsThere)
{
    Started(2);
    for (bool yes : {false, true}) {
        SCOPED_TRACE(yes ? "yes" : "no");
        Record().m_nPendingNewLocation = 1;
        Record().m_nSelectedStory = 0;
        Open();
        Rest();
        auto* offer = OpenWindow<CDialogNewLocation>();
        ASSERT_NE(offer, nullptr);
        EXPECT_EQ(Record().m_nPendingNewLocation, -1);
        Frames(60);
        Screenshot("story_new_location");
        Tap(yes ? *offer->GetYesButton() : *offer->GetNoButton());
        EXPECT_EQ(CDialogNewLocation::Answer(), -1);  // read and put back by the map
        EXPECT_EQ(m_pMap->IsTransitionRunning(), yes);
        EXPECT_EQ(m_pMap->GetLocation(), yes ? 1 : 0);
        Rest();
        EXPECT_EQ(m_pMap->GetChild(), nullptr);  // offered once per map
    }
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CStoryScreen2Test, MasterModeShowsMasterOnEverySlotAndTheHardcoreLevelWhenOpen)
{
    Started(5);
    Record().m_storyLevels.fill(4);
    Record().m_bonusLevels.fill(4);
    Record().m_hardcoreLevels.fill(4);
    Record().m_bMasterMode = 1;
    Record().m_bAllStoryCompleted = Record().m_bAllStoryGold = Record().m_bEverythingGold = 1;
    Open();
    Rest();
    for (int slot = 0; slot < 7; ++slot)
        EXPECT_EQ(StateFrame(slot), 5) << slot;
    EXPECT_TRUE(Slot(6).IsVisible());
    Frames(20);
    Screenshot("story_master");
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(CStoryScreen2Test, TheCheatKeyOpensTheLocationInViewAndBuildsANewMap)
{
    Started(2);
    Record().m_nSelectedStory = 5;
    Open();
    Rest();
    Tap(*m_pMap->GetLocationButton(2));
    Rest();
    PressKey(kKeyEscape);  // the unlock window
    g_bCheatMode = true;
    PressKey('O');
    EXPECT_EQ(Record().m_locationOpened[2], 1);
    EXPECT_EQ(Record().m_storyLevels[10], 1);
    EXPECT_EQ(progress::GetSelection(Record()), progress::StoryEntry::Story(10));
    Frames(120);
    auto* fresh = dynamic_cast<CStoryScreen2*>(g_pScreenManager->GetCurrent());
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, m_pMap);
    EXPECT_EQ(fresh->GetLocation(), 2);
}

TEST_F(CStoryScreen2Test, BonusAndHardcoreSlotsStartTheirLevelsAndTheButtonsLead)
{
    Started(1);
    Record().m_bonusLevels[0] = 1;
    Record().m_hardcoreLevels[0] = 2;
    Open();
    Rest();
    MoveOnto(Slot(6));
    EXPECT_EQ(progress::GetSelection(Record()), progress::StoryEntry::Hardcore(0));
    Tap(*m_pMap->GetTrophyButton());
    EXPECT_TRUE(Made(EScreenKind::TrophyRoom, -1));

    Open();
    Rest();
    MoveOnto(Slot(5));
    Tap(Slot(5));
    CGameProcess* game = GameStarted();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->GetLevel(), 0);
    EXPECT_EQ(game->GetMode(), 2);

    Open();
    Rest();
    Tap(*m_pMap->GetBackButton());
    EXPECT_TRUE(Made(EScreenKind::MainMenu));
}
