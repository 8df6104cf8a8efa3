// TourTest.cpp: every screen and every popup of the game opened once over the bundled data with
// the real screens: the main menu, the story map, the classic selection and the trophy room;
// the menu's windows, the map's and the table's windows and questions, the results, the new rank
// and trophy; a story, a classic, a bonus and a hardcore game with their game menus, the menu's
// options and questions, the deal question and the tutorial. Not one error or warning may be
// logged. With SOL_SCREENSHOT_DIR set, each stop leaves a picture.
#include "JourneyTestRoot.h"
#include "app/ShellServices.h"
#include "screens/CBonusStatistic2.h"
#include "screens/CClassicStatistic.h"
#include "screens/CDialogInformation.h"
#include "screens/CDialogNewLocation.h"
#include "screens/CDialogNoMoves.h"
#include "screens/CDialogTutorial.h"
#include "screens/CDialogUseBonus.h"
#include "screens/CGlobalOptions.h"
#include "screens/CHiScore.h"
#include "screens/CInGameMenuClassic.h"
#include "screens/CLevelStatistic2.h"
#include "screens/CNewPlayer.h"
#include "screens/CNewRank.h"
#include "screens/CNewTrophy.h"
#include "screens/COptionsMenu2.h"
#include "screens/CSelectPlayer2.h"
#include "progress/ProgressRules.h"
#include "table/CInterface.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

class TourTest : public JourneyTestRoot {
protected:
    // A popup over a plain screen of its own, shown until it stands.
    void Visit(const std::string& name, CScreenBase* popup)
    {
        SCOPED_TRACE(name);
        auto* opener = new TestScreen(m_log, "opener");
        Enter(opener);
        ASSERT_NE(popup, nullptr);
        opener->SetChild(popup, false, true);
        Frames(60);
        EXPECT_EQ(opener->GetChild(), popup);
        Screenshot("tour_" + name);
    }

    void VisitScreen(const std::string& name, EScreenKind kind)
    {
        SCOPED_TRACE(name);
        ASSERT_TRUE(CScreenFactory::SwitchTo(kind));
        for (int i = 0; i < 400 && g_pScreenManager->GetPhase() != CScreenManager::kIdle; ++i)
            Frames(1);
        Frames(90);
        Screenshot("tour_" + name);
    }

    // A game of that story entry or classic table, once its deal has landed (a key hurries it).
    CGameProcess* StartGame(const progress::GameStart& start)
    {
        auto* game = CGameProcess::Create(start.level, start.mode, start.extra);
        Enter(game);
        for (int i = 0; i < 600 && !game->GetInterface()->IsDealing(); ++i)
            Frames(1);
        PressKey(16, 0);
        for (int i = 0; i < 600 && (game->GetInterface()->IsDealing() || game->GetInterface()->IsStartPending()); ++i)
            Frames(1);
        Frames(30);
        return game;
    }

    // The game's menu by Escape, and what it opens: the options, the quit question and, in story
    // games, the tutorial; Escape closes each again.
    void VisitGameMenu(CGameProcess& game, const std::string& name, bool learn)
    {
        SCOPED_TRACE(name);
        PressKey(kVkEscape, 40);
        auto* menu = dynamic_cast<CInGameMenu*>(game.GetChild());
        ASSERT_NE(menu, nullptr);
        Screenshot("tour_" + name + "_menu");
        for (CInGameMenu::EButton button : {CInGameMenu::kOptions, CInGameMenu::kQuit, CInGameMenu::kExitGame}) {
            Tap(*menu->GetButton(button));
            ASSERT_NE(menu->GetChild(), nullptr);
            Frames(40);
            Screenshot("tour_" + name + "_menu_" + std::to_string(button));
            PressKey(kVkEscape, 40);
            EXPECT_EQ(menu->GetChild(), nullptr);
        }
        Tap(*menu->GetButton(learn ? CInGameMenu::kLearn : CInGameMenu::kBackToGame));
        if (learn) {
            EXPECT_TRUE(game.GetInterface()->IsReplaying());
            Frames(150);
            Screenshot("tour_" + name + "_tutorial");
            ClickAt(600, 430);  // a click on the table ends it
            EXPECT_FALSE(game.GetInterface()->IsReplaying());
        }
        Frames(40);
        EXPECT_EQ(game.GetChild(), nullptr);
    }

    static progress::GameStart Story(const progress::StoryEntry& entry)
    {
        progress::GameStart start;
        EXPECT_TRUE(progress::StoryGameStart(entry, start));
        return start;
    }
};

}  // namespace

TEST_F(TourTest, EveryScreenAndPopupOpensOnceWithoutAnErrorOrAWarning)
{
    Started(2);
    Record().m_storyLevels[0] = kLevelBronze;
    Record().m_bonusLevels[0] = Record().m_hardcoreLevels[0] = kLevelOpen;
    Record().m_nTableValue1 = 5;
    Record().m_nTableValue2 = 10;

    VisitScreen("main_menu", EScreenKind::MainMenu);
    VisitScreen("story_map", EScreenKind::StoryMap);
    VisitScreen("classic_selection", EScreenKind::ClassicSelection);
    VisitScreen("trophy_room", EScreenKind::TrophyRoom);

    const std::vector<std::pair<std::string, std::function<CScreenBase*()>>> popups = {
        {"new_player", [] { return CNewPlayer::Create(); }},
        {"players", [] { return CSelectPlayer2::Create(); }},
        {"high_scores", [] { return CHiScore::Create(); }},
        {"options", [] { return COptionsMenu2::Create(); }},
        {"game_options", [] { return CGlobalOptions::Create(); }},
        {"exit_question", [] { return ShellCreateExitDialog(); }},
        {"new_location", [] { return CDialogNewLocation::Create(); }},
        {"no_moves", [] { return CDialogNoMoves::Create(1); }},
        {"no_moves_at_all", [] { return CDialogNoMoves::Create(2); }},
        {"tutorial_window", [] { return CDialogTutorial::Create(); }},
        {"use_bonus", [] { return CDialogUseBonus::Create(); }},
        {"new_rank", [] { return CNewRank::Create(); }},
        {"new_trophy", [] { return CNewTrophy::Create(); }},
        {"information", [] { return CDialogInformation::Create("informative_wind", "move_informative_wind_1", "bt_ok"); }},
        {"information_2", [] { return CDialogInformation::Create("informative_wind", "move_informative_wind_2", "bt_ok2"); }},
        {"unlock", [] { return CDialogInformation::Create("informative_wind", "move_inf_wind_unlock0", "bt_ok"); }},
        {"move_light_1", [] { return CDialogInformation::Create("Move_Indicator_wind", "move_move_indicator_wind1", "bt_ok2"); }},
        {"move_light_2", [] { return CDialogInformation::Create("Move_Indicator_wind", "move_move_indicator_wind2", "bt_ok2"); }},
        {"master_mode", [] { return CDialogInformation::Create("master_mode_window", "move_rules_window", "bt_ok"); }},
        {"restart_request", [] { return CDialogInformation::Create("restart_request", "move_restart_request_wind", "bt_ok"); }},
    };
    for (const auto& [name, make] : popups)
        Visit(name, make());

    CGameProcess* game = StartGame(Story(progress::StoryEntry::Story(0)));
    Screenshot("tour_story_game");
    VisitGameMenu(*game, "story", true);
    PressKey('D', 40);
    ASSERT_NE(game->GetChild(), nullptr) << "the deal question";
    Screenshot("tour_deal_question");
    PressKey(kVkEscape, 40);
    // A result's OK goes on to the map and releases the game, so each result gets a game of its own.
    const std::function<CScreenBase*()> results[] = {[] { return CLevelStatistic2::Create(0); },
                                                     [] { return CNewRank::Create(); }};
    for (const auto& makeResult : results) {
        game = StartGame(Story(progress::StoryEntry::Story(0)));
        ASSERT_TRUE(CScreenBase::Attach(game, makeResult()));
        Frames(120);
        Screenshot("tour_story_result");
        PressKey(13, 40);
    }

    progress::GameStart classic;
    ASSERT_TRUE(progress::ClassicGameStart(3, 0, classic));
    game = StartGame(classic);
    Screenshot("tour_classic_game");
    VisitGameMenu(*game, "classic", true);
    ASSERT_TRUE(CScreenBase::Attach(game, CClassicStatistic::Create(1)));
    Frames(120);
    Screenshot("tour_classic_result");

    game = StartGame(Story(progress::StoryEntry::Bonus(0)));
    Screenshot("tour_bonus_game");
    VisitGameMenu(*game, "bonus", false);
    ASSERT_TRUE(CScreenBase::Attach(game, CBonusStatistic2::Create(0)));
    Frames(120);
    Screenshot("tour_bonus_result");

    game = StartGame(Story(progress::StoryEntry::Hardcore(0)));
    Screenshot("tour_hardcore_game");
    VisitGameMenu(*game, "hardcore", true);
    ExpectNoProblems();
}
