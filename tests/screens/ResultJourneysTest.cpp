// ResultJourneysTest.cpp: games won through the real table and what follows them, as a player
// goes through it with the mouse over the bundled data and every real screen: a story level won
// by a winning move list (found by the test solver on a copy of the deal) leads through its
// result, the new rank and the new trophy to the trophy room and back to the story map; a
// classic game to its result and back to the classic selection; a bonus level to its result; a
// stuck table asks once whether to go on, its move lamp dark. The stores' files are read back as
// another run would. No run may log an error or a warning. With SOL_SCREENSHOT_DIR set, each step
// leaves a picture.
#include "JourneyTestRoot.h"
#include "app/CPathEffects.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "screens/CBonusStatistic2.h"
#include "screens/CClassicScreen2.h"
#include "screens/CClassicStatistic.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CDialogInformation.h"
#include "screens/CDialogNoMoves.h"
#include "screens/CLevelStatistic2.h"
#include "screens/CResultPopup.h"
#include "screens/CNewRank.h"
#include "screens/CNewTrophy.h"
#include "screens/CTrophyRoom.h"
#include "support/LiveGameSolver.h"
#include "table/CAutoFinisher.h"
#include "table/CBonusClock.h"
#include "table/CCard.h"
#include "table/CHelpDesk.h"
#include "table/CInterface.h"
#include "table/CMoveFinder.h"
#include "table/CMoveIndicator.h"
#include "table/CPlace.h"
#include "table/CRainEffect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

class ResultJourneysTest : public JourneyTestRoot {
protected:
    void SetUp() override
    {
        JourneyTestRoot::SetUp();
        Record().m_nTableValue1 = 5;   // the move light's two news windows were seen long ago
        Record().m_nTableValue2 = 10;
    }

    static constexpr float kQuick = 1.0f / 20.0f;  // frames of the game's clock that are not drawn
    static constexpr int kDeals = 8;

    CGameProcess* Game() const { return dynamic_cast<CGameProcess*>(g_pScreenManager->GetCurrent()); }
    CCardTable& Table() const { return *Game()->GetInterface()->GetTable(); }

    // Frames of the program at a longer frame time, not drawn: long waits cost no drawing.
    void Quick(int count)
    {
        RunFrames(count, [this] {
            m_pMouse->Update(kQuick);
            g_pScreenManager->Update(kQuick);
            if (CSoundManager::Exists())
                CSoundManager::GetInstance()->UpdateFade(kQuick);
            if (m_afterUpdate)
                m_afterUpdate();
        });
    }

    bool QuickUntil(const std::function<bool()>& done, int limit = 2000)
    {
        for (int i = 0; i < limit && !done(); ++i)
            Quick(1);
        return done();
    }

    // The game screen once it stands, with the deal seeded as the game is switched in, so the
    // journey plays the same cards every run; the deal then lands.
    CGameProcess* GameStarts(std::uint32_t seed)
    {
        for (int i = 0; i < 400 && Game() == nullptr; ++i)
            Frames(1);
        if (Game() == nullptr)
            return nullptr;
        m_pEngine->RandomSeed(seed);
        CInterface& game = *Game()->GetInterface();
        const bool dealt = QuickUntil([&] {
            return Table().CountCards() > 0 && !game.IsDealing() && !Table().IsFlying() && game.GetPanelState() == 0;
        });
        return dealt ? Game() : nullptr;
    }

    // Waits until the cards lie still (no flight, no card in the hand, no turn of a card left). A
    // window the game opens meanwhile (the move light's news, no move left) is closed as a player
    // closes it.
    bool Settle()
    {
        int still = 0;
        for (int i = 0; i < 400 && still < 4; ++i) {
            if (Game()->GetChild() != nullptr)
                PressKey(kVkEscape, 1);
            Quick(1);
            still = Table().IsFlying() || Table().IsHolding() ? 0 : still + 1;
        }
        return still >= 4;
    }

    // The winning moves of the deal on the table; a deal the solver cannot win within its budget
    // is dealt again, as a player asks for a new deal: with the deal key and yes to the question.
    std::vector<levels::SolverMove> WinnableDeal()
    {
        for (int deal = 0; deal < kDeals; ++deal) {
            std::vector<levels::SolverMove> moves = levels::SolveLiveDeal(Table(), 150000);
            if (!moves.empty())
                return moves;
            PressKey('D', 4);
            auto* question = Over<CDialogConfirmation>();
            if (question == nullptr)
                return {};
            Frames(30);
            Tap(*question->GetYesButton());
            CInterface& game = *Game()->GetInterface();
            if (!QuickUntil([&] { return !game.IsDealing() && !game.IsStartPending() && !Table().IsFlying(); }))
                return {};
        }
        return {};
    }

    // Finds the winning moves for the deal on the table and plays them through the table's own
    // moves, one after the other once the cards have come to rest, as a recorded game is
    // replayed; stops when the table finishes the level by itself. True once the level is won.
    ::testing::AssertionResult PlayToWin()
    {
        const std::vector<levels::SolverMove> moves = WinnableDeal();
        if (moves.empty())
            return ::testing::AssertionFailure() << "the solver found no win in " << kDeals << " deals";
        for (std::size_t i = 0; i < moves.size(); ++i) {
            if (!Settle())
                return ::testing::AssertionFailure() << "the cards did not settle before move " << i;
            if (Table().IsWon() || Table().GetAutoFinisher()->IsRunning())
                break;
            const levels::SolverMove& m = moves[i];
            CMoveFinder& finder = *Table().GetMoveFinder();
            const bool allowed = m.kind == kMoveClick ? finder.CanClick(m.from, m.card) : finder.CanPick(m.from, m.card);
            if (!allowed)
                return ::testing::AssertionFailure() << "move " << i << " of " << moves.size() << " was refused";
            finder.PlayMove(m.from, m.kind == kMoveClick ? m.from : m.to, m.card, false);
            if (i == moves.size() / 2) {
                Frames(20);
                Screenshot("journey_result_playing");
            }
        }
        if (!QuickUntil([&] { return Table().IsWon(); }, 1200))
            return ::testing::AssertionFailure() << "the table's win test did not hold after the last move";
        return ::testing::AssertionSuccess();
    }

    // After the cards' cascade the game shows its result over itself.
    template <typename Popup>
    Popup* ResultShown()
    {
        QuickUntil([&] { return Game() == nullptr || dynamic_cast<Popup*>(Game()->GetChild()) != nullptr; }, 3000);
        return Game() != nullptr ? dynamic_cast<Popup*>(Game()->GetChild()) : nullptr;
    }

    template <typename Popup>
    Popup* Over() const
    {
        return Game() != nullptr ? dynamic_cast<Popup*>(Game()->GetChild()) : nullptr;
    }

    // Lets the result count up to its end, with a look at it half way.
    void WatchResult(const CResultPopup& result, int lastPhase, const std::string& shot)
    {
        QuickUntil([&] { return result.GetCount().GetPhase() >= lastPhase / 2; }, 400);
        Frames(2);
        Screenshot(shot + "_counting");
        QuickUntil([&] { return result.GetCount().GetPhase() >= lastPhase; }, 800);
        Frames(20);
        Screenshot(shot);
    }

    static PlayerRecord SavedRecord()
    {
        CProfileStore store;
        return store.m_current;
    }

    static int SavedHighScore(int table)
    {
        CHiScoreTable scores;
        return std::string(scores.GetName(table, 0)) == "TESTER" ? scores.GetScore(table, 0) : -1;
    }
};

}  // namespace

TEST_F(ResultJourneysTest, AStoryLevelWonThroughTheTableLeadsThroughRankAndTrophyToTheTrophyRoomAndTheMap)
{
    // Three bronze hardcore levels (3 medal points, rank 0) and two golds in a row: a gold on the
    // first level makes 6 points (rank 1) and the third gold in a row (a trophy).
    Started(1);
    for (int location = 1; location <= 3; ++location)
        Record().m_hardcoreLevels[static_cast<std::size_t>(location)] = kLevelBronze;
    Record().m_nRankProgress = 75;
    Record().m_nConsecutiveGolds = 2;
    Record().m_nStoryScore = 1000;
    CStoryScreen2* map = StoryFromMenu();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Tap(*map->GetPlayButton());
    ASSERT_NE(GameStarts(7), nullptr);
    EXPECT_EQ(Game()->GetLevel(), 0);
    Screenshot("journey_result_dealt");
    ASSERT_TRUE(PlayToWin());
    const int total = Record().m_nStoryScore;
    EXPECT_GT(total, 1000);
    EXPECT_LT(total, 10000) << "only the points of the played moves";

    CLevelStatistic2* result = ResultShown<CLevelStatistic2>();
    ASSERT_NE(result, nullptr) << "the result follows the cascade";
    WatchResult(*result, 13, "journey_result_story");
    EXPECT_EQ(Record().m_storyLevels[0], kLevelGold) << "no hint was asked for";
    EXPECT_EQ(Record().m_nRank, 1);
    EXPECT_EQ(Text("statistic_award"), L"GOLD");
    Tap(*result->GetOkButton());

    CNewRank* rank = Over<CNewRank>();
    ASSERT_NE(rank, nullptr);
    Frames(40);
    Screenshot("journey_result_new_rank");
    Tap(*rank->GetOkButton());
    CNewTrophy* trophy = Over<CNewTrophy>();
    ASSERT_NE(trophy, nullptr);
    EXPECT_EQ(trophy->GetPresented(), 4);
    Frames(40);
    Screenshot("journey_result_new_trophy");
    Tap(*trophy->GetOkButton());

    CTrophyRoom* room = WaitFor<CTrophyRoom>();
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->GetLastAwarded(), 4);
    Frames(30);
    Screenshot("journey_result_trophy_room");
    Tap(*room->GetOkButton());
    map = WaitFor<CStoryScreen2>();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Screenshot("journey_result_back_on_the_map");

    const PlayerRecord saved = SavedRecord();
    EXPECT_EQ(saved.m_storyLevels[0], kLevelGold);
    EXPECT_EQ(saved.m_nRank, 1);
    EXPECT_GE(saved.m_nStoryScore, total);
    EXPECT_EQ(saved.m_trophyEarned[4], 1);
    EXPECT_EQ(saved.m_nConsecutiveGolds, 3);
    EXPECT_EQ(SavedHighScore(0), saved.m_nStoryScore);
    ExpectNoProblems();
}

TEST_F(ResultJourneysTest, AClassicGameWonThroughTheTableCountsItsResultAndGoesBackToTheSelection)
{
    Record().m_nClassicScore = 500;
    CMenuScreen* menu = Menu();
    ASSERT_NE(menu, nullptr);
    Tap(*menu->GetButton(CMenuScreen::kClassic));
    CClassicScreen2* classic = WaitFor<CClassicScreen2>();
    ASSERT_NE(classic, nullptr);
    Tap(*classic->GetEntry(3));  // FreeCell
    ASSERT_NE(GameStarts(6), nullptr);
    EXPECT_EQ(Game()->GetMode(), kModeClassic);
    ASSERT_TRUE(PlayToWin());
    CClassicStatistic* result = ResultShown<CClassicStatistic>();
    ASSERT_NE(result, nullptr);
    WatchResult(*result, 7, "journey_result_classic");
    const int total = Record().m_nClassicScore;
    EXPECT_GT(total, 500);
    EXPECT_EQ(Record().m_nStoryScore, 0);
    Tap(*result->GetOkButton());
    EXPECT_NE(WaitFor<CClassicScreen2>(), nullptr);
    EXPECT_EQ(SavedRecord().m_nClassicScore, total);
    EXPECT_EQ(SavedHighScore(1), total);
    EXPECT_EQ(SavedHighScore(0), -1);
    ExpectNoProblems();
}

TEST_F(ResultJourneysTest, ANewcomersTablesShowOneWindowAtATimeAndTheCardsFlyOverAClearTable)
{
    // A newcomer's first three story tables, every frame watched: the first rules window of a
    // table, the move lamp's window and the result never stand two at once, and a won level has
    // closed its rules window when its cards fly. The first table is won (cheat key End) under its
    // rules window; at the second (Golf) the lamp's window waits behind the rules window until
    // that level is won the same way, and comes at the third start (Spiderette) once the player
    // has closed that table's rules window with its Rules button.
    Started(1);
    Record().m_introShown.fill(0);
    Record().m_nTableValue1 = Record().m_nTableValue2 = 0;  // the lamp never seen
    g_bCheatMode = true;
    m_bDrawFrames = false;
    bool twoAtOnce = false, wonUnderRules = false, windowOverCascade = false;  // each told once
    m_afterUpdate = [&] {
        const CGameProcess* game = Game();
        if (game == nullptr)
            return;
        const int view = game->GetInterface()->GetHelpDesk()->GetView();
        int open = view == CHelpDesk::kSmall || view == CHelpDesk::kHidden ? 0 : 1;
        for (const CScreenBase* popup = game->GetChild(); popup != nullptr; popup = popup->GetChild())
            ++open;
        const std::string where = " at level " + std::to_string(game->GetLevel() + 1);
        if (open > 1 && !twoAtOnce) {
            twoAtOnce = true;
            ADD_FAILURE() << "two windows of the table stand at once" << where;
        }
        if (!Table().IsWon())
            return;
        if ((view == CHelpDesk::kBig || view == CHelpDesk::kOpeningBig) && !wonUnderRules) {
            wonUnderRules = true;
            ADD_FAILURE() << "the cards fly under the rules window" << where;
        }
        if (dynamic_cast<const CDialogInformation*>(game->GetChild()) != nullptr && !windowOverCascade) {
            windowOverCascade = true;
            ADD_FAILURE() << "an information window over the cards' cascade" << where;
        }
    };
    auto rulesWindowStands = [&] { return Game() != nullptr && Game()->GetInterface()->GetHelpDesk()->GetView() == CHelpDesk::kBig; };
    auto lampWindowWaits = [&] {
        return Game()->GetChild() == nullptr && Game()->GetInterface()->GetMoveIndicator()->IsWindowPending(CMoveIndicator::kWindowSecond);
    };
    auto startFromMap = [&](std::uint32_t seed) {
        CStoryScreen2* map = WaitFor<CStoryScreen2>(600);
        if (map == nullptr)
            return false;
        Rest(*map);
        Tap(*map->GetPlayButton());
        if (!QuickUntil([&] { return Game() != nullptr; }, 400))
            return false;
        m_pEngine->RandomSeed(seed);
        return QuickUntil(rulesWindowStands);
    };
    auto winUnderRulesAndGoOn = [&](const std::string& shot) {
        ASSERT_TRUE(rulesWindowStands());
        PressKey(35);  // End
        ASSERT_TRUE(Table().IsWon());
        CLevelStatistic2* result = ResultShown<CLevelStatistic2>();
        ASSERT_NE(result, nullptr);
        WatchResult(*result, 13, shot);
        Tap(*result->GetOkButton());
        // A new rank or trophy is told first; a trophy's room leads on to the map.
        for (int popup = 0; popup < 2; ++popup) {
            Frames(40);
            if (CNewRank* rank = Over<CNewRank>())
                Tap(*rank->GetOkButton());
            else if (CNewTrophy* trophy = Over<CNewTrophy>())
                Tap(*trophy->GetOkButton());
        }
        if (CTrophyRoom* room = WaitFor<CTrophyRoom>(60))
            Tap(*room->GetOkButton());
    };

    ASSERT_NE(StoryFromMenu(), nullptr);
    ASSERT_TRUE(startFromMap(3));
    EXPECT_EQ(Game()->GetLevel(), 0);
    winUnderRulesAndGoOn("journey_windows_first");

    ASSERT_TRUE(startFromMap(4));
    EXPECT_EQ(Game()->GetLevel(), 1);
    Quick(60);
    EXPECT_TRUE(rulesWindowStands());
    EXPECT_TRUE(lampWindowWaits());
    winUnderRulesAndGoOn("journey_windows_second");

    ASSERT_TRUE(startFromMap(5));
    EXPECT_EQ(Game()->GetLevel(), 2);
    Quick(60);
    EXPECT_TRUE(lampWindowWaits()) << "the window not shown at the second start comes at the third";
    Tap(*Game()->GetInterface()->GetHelpDesk()->GetRulesButton());
    ASSERT_TRUE(QuickUntil([&] { return Over<CDialogInformation>() != nullptr; }, 200)) << "once the rules have gone";
    EXPECT_EQ(Text("move_lamp_text").find(L"free cell"), std::wstring::npos) << "Spiderette has no free cells";
    Frames(40);
    Tap(*Over<CDialogInformation>()->GetOkButton());
    Quick(20);
    EXPECT_EQ(Game()->GetChild(), nullptr);
    EXPECT_EQ(Record().m_nTableValue1, 3) << "the lamp's window was seen";

    m_afterUpdate = nullptr;
    ExpectNoProblems();
}

namespace {

// Lays a game of Golf out as a stuck one, between two frames as a test may: the stock dealt out
// under the waste's top card, and no column ending in a card one rank next to that card.
::testing::AssertionResult JamGolf(CCardTable& table)
{
    CPlace* stock = table.GetPlace(table.FindPlaceOfType(kPlaceDeck));
    CPlace* waste = table.GetPlace(table.FindPlaceOfType(kPlaceDiscard));
    if (stock == nullptr || waste == nullptr || waste->pile.empty())
        return ::testing::AssertionFailure() << "not a game of Golf";
    CCard* top = waste->pile.back();
    waste->pile.pop_back();
    for (CCard* card : stock->pile) {
        card->SetFaceUp(1.0f);
        waste->pile.push_back(card);
    }
    stock->pile.clear();
    waste->pile.push_back(top);
    auto next = [top](const CCard* card) { return std::abs(card->Rank - top->Rank) == 1; };
    for (int p = 0; p < table.PlaceCount(); ++p) {
        CPlace* column = table.GetPlace(p);
        if (column->type != kPlaceColumn || column->pile.empty() || !next(column->pile.back()))
            continue;
        auto spare = std::find_if(waste->pile.begin(), waste->pile.end() - 1, [&](CCard* c) { return !next(c); });
        if (spare == waste->pile.end() - 1)
            return ::testing::AssertionFailure() << "no card to swap";
        std::swap(column->pile.back(), *spare);
    }
    table.RequestMoveSearch();
    if (!table.GetMoveFinder()->NoMoreMoves())
        return ::testing::AssertionFailure() << "a move is still left";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(ResultJourneysTest, AStuckTableTellsThePlayerOnceWhoThenDealsAgainOrLeaves)
{
    Started(1);
    CStoryScreen2* map = StoryFromMenu();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Tap(*map->GetSlotButton(progress::SlotOfEntry(progress::StoryEntry::Story(1))));  // plays Golf
    ASSERT_NE(GameStarts(2), nullptr);
    ASSERT_EQ(Table().Level().sName, "Golf");
    // The lamp as the player sees it (its light shown dark, no sparkles left round it) and the
    // deal button's glow.
    const CMoveIndicator& lamp = *Game()->GetInterface()->GetMoveIndicator();
    auto lampDrawnDark = [&] { return !lamp.IsLit(true) && lamp.GetOrbit()->GetCount() == 0; };
    auto dealGlows = [&] {
        const CFAnimationInstance* glow =
            Game()->GetInterface()->GetDealButton()->GetAttachedAnimation(0)->GetPartInstance(0, 0);
        return glow != nullptr && glow->IsVisible();
    };
    for (bool leave : {false, true}) {
        SCOPED_TRACE(leave ? "leaving" : "dealing again");
        ASSERT_TRUE(JamGolf(Table()));
        ASSERT_TRUE(QuickUntil([&] { return Over<CDialogNoMoves>() != nullptr; }, 100));
        CDialogNoMoves* told = Over<CDialogNoMoves>();
        EXPECT_EQ(told->GetVariant(), 1);
        Frames(40);
        Screenshot("journey_result_no_moves");
        EXPECT_TRUE(lampDrawnDark()) << "the lamp is dark beside the window";
        EXPECT_TRUE(dealGlows());
        Tap(*told->GetOkButton());
        EXPECT_EQ(Over<CDialogNoMoves>(), nullptr);
        Quick(200);
        EXPECT_EQ(Over<CDialogNoMoves>(), nullptr) << "told once, not in every frame";
        EXPECT_TRUE(Table().GetMoveFinder()->NoMoreMoves());
        EXPECT_TRUE(dealGlows() && lampDrawnDark()) << "the stuck table's marker, the lamp dark";
        if (leave) {
            // A card back on the stock plays again: it lights the lamp and ends the marker.
            std::vector<CCard*>& waste = Table().GetPlace(Table().FindPlaceOfType(kPlaceDiscard))->pile;
            Table().GetPlace(Table().FindPlaceOfType(kPlaceDeck))->pile.push_back(waste.front());
            waste.erase(waste.begin());
            Table().RequestMoveSearch();
            Quick(20);
            EXPECT_TRUE(lamp.IsLit(true));
            EXPECT_FALSE(dealGlows());
            break;
        }
        PressKey('D', 4);
        auto* question = Over<CDialogConfirmation>();
        ASSERT_NE(question, nullptr);
        Frames(30);
        Tap(*question->GetYesButton());
        CInterface& game = *Game()->GetInterface();
        ASSERT_TRUE(QuickUntil([&] { return !game.IsDealing() && !game.IsStartPending() && !Table().IsFlying(); }));
        EXPECT_FALSE(Table().GetMoveFinder()->NoMoreMoves()) << "a new deal";
        EXPECT_EQ(Table().GetPlace(Table().FindPlaceOfType(kPlaceDeck))->Size(), 16);
    }
    LeaveGame(*Game());
    map = WaitFor<CStoryScreen2>();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Screenshot("journey_result_left_the_stuck_game");
    ExpectNoProblems();
}

TEST_F(ResultJourneysTest, ABonusLevelFinishedByItsScriptShowsItsGoalsStoresTheMedalAndGoesBackToTheMap)
{
    Started(1);
    Record().m_bonusLevels[0] = kLevelOpen;
    Record().m_nStoryScore = 3000;
    CStoryScreen2* map = StoryFromMenu();
    ASSERT_NE(map, nullptr);
    Rest(*map);
    Tap(*map->GetSlotButton(progress::kBonusSlot));  // plays the bonus level
    ASSERT_NE(GameStarts(2), nullptr);
    EXPECT_EQ(Game()->GetMode(), kModeBonusLevel);
    // The script's three tries end two won and one lost, and it reaches its last phase: the table
    // grades the level and finishes it.
    CBonusClock& clock = *Table().GetBonusClock();
    clock.RecordAttempt(1, true);
    clock.RecordAttempt(2, false);
    clock.RecordAttempt(3, true);
    clock.SetPhase(kPhaseWon, -1.0f);
    ASSERT_TRUE(QuickUntil([&] { return Table().IsWon(); }, 100));
    EXPECT_EQ(clock.Grade(), kLevelSilver);

    CBonusStatistic2* result = ResultShown<CBonusStatistic2>();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->GetLayout(), CBonusStatistic2::kGoals);
    WatchResult(*result, 12, "journey_result_bonus");
    EXPECT_EQ(Text("bonus_statistic_a2"), L"LOSE");
    EXPECT_EQ(Text("bonus_statistic_youaward"), L"SILVER");
    const int total = Record().m_nStoryScore;
    EXPECT_EQ(total, 3000 + 300 + 700);
    Tap(*result->GetOkButton());
    map = WaitFor<CStoryScreen2>();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(SavedRecord().m_bonusLevels[0], kLevelSilver);
    EXPECT_EQ(SavedRecord().m_nStoryScore, total);
    EXPECT_EQ(SavedHighScore(0), total);
    ExpectNoProblems();
}
