// JourneyTestRoot.h: the bundled data with every real screen, driven the way a player drives
// them: scripted mouse and keys, frames until a screen of a kind stands, the story map at rest.
#pragma once

#include "MenuScreenTestRoot.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CInGameMenu.h"
#include "screens/CMenuScreen.h"
#include "screens/CStoryScreen2.h"
#include "framework/CFButton.h"
#include "progress/ProgressRules.h"

class JourneyTestRoot : public MenuScreenTestRoot {
protected:
    void SetUp() override
    {
        MenuScreenTestRoot::SetUp();
        RegisterGameScreens();  // the real screens, all of them
    }

    // Runs frames until the current screen is of that kind and stands (bounded); null if not.
    template <typename Screen>
    Screen* WaitFor(int limit = 400)
    {
        for (int i = 0; i < limit; ++i) {
            auto* screen = dynamic_cast<Screen*>(g_pScreenManager->GetCurrent());
            if (screen != nullptr && g_pScreenManager->GetPhase() == CScreenManager::kIdle)
                return screen;
            Frames(1);
        }
        return nullptr;
    }

    CMenuScreen* Menu()
    {
        EXPECT_TRUE(CScreenFactory::SwitchTo(EScreenKind::MainMenu));
        return WaitFor<CMenuScreen>();
    }

    // The map standing still with its level panel taking input. Unless told to wait, the player
    // clicks the open sea at the top, which hurries a journey along.
    void Rest(CStoryScreen2& map, bool hurry = true)
    {
        if (hurry) {
            ASSERT_TRUE(EngineQueueInput("1 move 300 30\n3 down 1\n4 up 1\n"));
        }
        for (int i = 0; i < 1200 && (!map.IsBuilt() || map.IsTransitionRunning() || map.GetIntroTimer() > 0.0f); ++i)
            Frames(1);
        Frames(2);
    }

    CStoryScreen2* StoryFromMenu()
    {
        CMenuScreen* menu = Menu();
        EXPECT_NE(menu, nullptr);
        if (menu == nullptr)
            return nullptr;
        Tap(*menu->GetButton(CMenuScreen::kStory));
        CStoryScreen2* map = WaitFor<CStoryScreen2>();
        EXPECT_NE(map, nullptr);
        if (map != nullptr)
            Frames(2);  // built on its first update
        return map;
    }

    // Escape, the game menu's way out of the level (to the map or the classic tables) and yes to
    // its question.
    void LeaveGame(CGameProcess& game)
    {
        PressKey(kVkEscape, 40);
        auto* menu = dynamic_cast<CInGameMenu*>(game.GetChild());
        ASSERT_NE(menu, nullptr);
        Tap(*menu->GetButton(CInGameMenu::kQuit));
        auto* question = dynamic_cast<CDialogConfirmation*>(menu->GetChild());
        ASSERT_NE(question, nullptr);
        Frames(40);
        Tap(*question->GetYesButton());
    }

    static void Started(int openLocations)
    {
        Record().m_bMapVisited = 1;
        Record().m_bStoryLevelPlayed = 1;
        for (int location = 0; location < openLocations; ++location)
            Record().m_locationOpened[static_cast<std::size_t>(location)] = 1;
    }
};
