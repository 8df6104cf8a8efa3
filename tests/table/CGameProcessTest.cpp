// test-cost: 10
// CGameProcessTest.cpp: whole games on the game screen, headless, over the bundled data set and
// level file: construction, the deal, mouse play through the screen's frame, undo, hints, the
// deal-again flow, the relax pause, the information windows' queue and a won position, without an
// error or warning in the log.
#include "GameProcessTestRoot.h"

#include "progress/ProgressRules.h"
#include "table/CMoveIndicator.h"

TEST_F(CGameProcessTest, AStoryLevelIsBuiltDealtAndDrawnWithoutAProblem)
{
    Start(0, kModeStory, -1);
    EXPECT_EQ(m_pGame->GetName(), "GameProcess");
    EXPECT_TRUE(Game().IsStartPending());
    EXPECT_EQ(Game().GetPanelState(), 4);
    Settle();
    EXPECT_GT(Table().CountCards(), 0);
    EXPECT_TRUE(Game().GetMenuButton()->IsEnabled());
    EXPECT_TRUE(Game().GetHintButton()->IsEnabled());
    // The deal button's glow: off at the start; on a stuck table it shows while no gauge is full.
    CFAnimationInstance* glow = Game().GetDealButton()->GetAttachedAnimation(0)->GetPartInstance(0, 0);
    ASSERT_NE(glow, nullptr);
    EXPECT_FALSE(glow->IsVisible());
    Game().SetDealHighlight(true);
    EXPECT_TRUE(glow->IsVisible());
    Game().AddMana(Game().GetManaBar()->GetCapacity());
    Game().SetDealHighlight(true);
    EXPECT_FALSE(glow->IsVisible());
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, AMouseDragMovesTheRunAndTheUndoButtonPutsItBack)
{
    MoveRecord drag;
    ASSERT_TRUE(StartWithColumnDrag(drag));
    const int total = CardsOnTable();
    CPlace* from = Table().GetPlace(drag.fromPlace);
    CPlace* to = Table().GetPlace(drag.toPlace);
    CCard* moving = from->GetCard(drag.fromCard);
    const int fromSize = from->Size(), toSize = to->Size();
    const int movesBefore = static_cast<int>(Game().GetTracker()->Record().moveCount);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    CardCentre(drag.fromPlace, drag.fromCard, x1, y1);
    CardCentre(drag.toPlace, to->TopIndex(), x2, y2);
    DragWithMouse(x1, y1, x2, y2 + 10);
    Settle();
    ASSERT_EQ(to->Size(), toSize + (fromSize - drag.fromCard));
    EXPECT_EQ(to->GetCard(toSize), moving);
    EXPECT_EQ(static_cast<int>(Game().GetTracker()->Record().moveCount), movesBefore + 1);
    EXPECT_EQ(CardsOnTable(), total);
    Frames(5);  // the undo history takes its snapshot once the table is still
    ASSERT_TRUE(Game().GetUndoButton()->IsEnabled());

    ClickWithMouse(116, 32);  // the undo button
    Settle();
    EXPECT_EQ(to->Size(), toSize);
    ASSERT_EQ(from->Size(), fromSize);
    EXPECT_EQ(from->GetCard(drag.fromCard), moving);
    EXPECT_EQ(CardsOnTable(), total);
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, TheHintButtonShowsAMoveWhileTheAutomaticHintIsFree)
{
    MoveRecord drag;
    ASSERT_TRUE(StartWithColumnDrag(drag));
    EXPECT_EQ(Game().GetHintFlight()->GetCount(), 0);
    ClickWithMouse(60, 32);  // the hint button
    EXPECT_GT(Game().GetHintFlight()->GetCount(), 0);
    EXPECT_GT(Game().GetAutoHintLeft(), 29.9f);  // Logic.ini autohint, restarted by the click

    // The automatic hint sways the source pile and sends no sparkles.
    Game().GetHintFlight()->KillAll();
    const int mana = Game().GetManaBar()->GetMana(0);
    Game().SetAutoHintTimer(0.001f);
    Frames(2);
    EXPECT_EQ(Game().GetHintFlight()->GetCount(), 0);
    EXPECT_EQ(Game().GetManaBar()->GetMana(0), mana);
    EXPECT_GT(Game().GetAutoHintLeft(), 19.0f);  // Logic.ini autohint2
    bool swaying = false;
    for (int p = 0; p < Table().PlaceCount(); ++p)
        swaying = swaying || Table().GetPlace(p)->SwayMax != 0.0f;
    EXPECT_TRUE(swaying);
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, DealingAgainAsksFirstAndRestartsOnlyOnYes)
{
    Start(0, kModeStory, -1);
    Settle();
    std::vector<CCard*> before;
    for (int p = 0; p < Table().PlaceCount(); ++p)
        for (CCard* card : Table().GetPlace(p)->pile)
            before.push_back(card);
    ASSERT_TRUE(EngineQueueInput("1 keydown 68\n2 keyup 68\n"));  // D
    Frames(1);
    EXPECT_TRUE(Game().IsRedealAsked());
    Frames(1);
    EXPECT_TRUE(Game().IsRedealDialogOpen());  // the confirmation (none is made yet)
    game_dialogs::DialogAnswer() = 1;          // "no"
    Frames(1);
    EXPECT_FALSE(Game().IsRedealDialogOpen());
    EXPECT_FALSE(Game().IsDealing());

    ASSERT_TRUE(EngineQueueInput("1 keydown 68\n2 keyup 68\n"));
    Frames(2);
    game_dialogs::DialogAnswer() = 0;  // "yes"
    Frames(1);
    EXPECT_TRUE(Game().IsDealing());
    Game().Restart();  // refused while the cards are dealt
    EXPECT_TRUE(Game().IsDealing());
    Settle();
    EXPECT_FALSE(Game().IsDealing());
    EXPECT_EQ(Table().CountCards(), static_cast<int>(before.size()));
    EXPECT_TRUE(Game().GetMenuButton()->IsEnabled());
    EXPECT_EQ(Game().GetUndo()->Count(), 1);
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, TheRelaxButtonPausesTheClockUntilAKey)
{
    Start(0, kModeStory, -1);
    Settle();
    ClickWithMouse(228, 32);  // the relax button
    EXPECT_TRUE(Game().GetPanelState() == 2 || Game().GetPanelState() == 3);
    Frames(80);
    EXPECT_EQ(Game().GetPanelState(), 3);
    EXPECT_FALSE(IsGameClockRunning());
    const double paused = GetGameTime();
    PressKey(32);
    EXPECT_EQ(Game().GetPanelState(), 1);
    EXPECT_TRUE(IsGameClockRunning());
    Frames(80);
    EXPECT_EQ(Game().GetPanelState(), 0);
    EXPECT_GE(GetGameTime(), paused);

    // A press ends the pause as well as a key: the table is not updated while it lasts.
    ClickWithMouse(228, 32);
    Frames(80);
    ASSERT_EQ(Game().GetPanelState(), 3);
    ClickWithMouse(400, 300);
    EXPECT_TRUE(IsGameClockRunning());
    Frames(80);
    EXPECT_EQ(Game().GetPanelState(), 0);
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, LeavingWhilePausedStartsTheClockAgain)
{
    Start(0, kModeStory, -1);
    Settle();
    Game().RelaxClicked(nullptr, 1);
    EXPECT_FALSE(IsGameClockRunning());
    m_pGame->Release();
    m_pGame = nullptr;
    EXPECT_TRUE(IsGameClockRunning());
}

TEST_F(CGameProcessTest, TheLastCardDraggedHomeWinsTheLevel)
{
    Start(0, kModeStory, -1);
    Settle();
    // Every card home in suit order but the king of the last house, which lies on the first column.
    CDeck& deck = *Game().GetDeck();
    for (int p = 0; p < Table().PlaceCount(); ++p)
        Table().GetPlace(p)->pile.clear();
    deck.Reset();
    for (int s = 0; s < 4; ++s)
        for (int r = 0; r < 13; ++r) {
            CCard* card = deck.TakeCard(r, s);
            ASSERT_NE(card, nullptr);
            card->SetFaceUp(1.0f);
            Table().GetPlace(s == 3 && r == 12 ? 6 : 2 + s)->pile.push_back(card);
        }
    Table().RequestMoveSearch();
    Frames(5);
    ASSERT_FALSE(Table().IsWon());
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    CardCentre(6, 0, x1, y1);
    CardCentre(5, 11, x2, y2);
    DragWithMouse(x1, y1, x2, y2);
    Settle();
    EXPECT_EQ(Table().GetPlace(5)->Size(), 13);
    for (int i = 0; i < 600 && !Table().IsWon(); ++i)
        Frames(1);
    EXPECT_TRUE(Table().IsWon());
    EXPECT_TRUE(Table().GetEffects()->GetComplete()->IsVisible());  // the jingle of a won level
    for (int i = 0; i < 3000 && Game().GetStatisticsShown() == 0; ++i)
        Frames(1);
    EXPECT_EQ(Game().GetStatisticsShown(), 1);  // asked for once the cascade ended
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, TheWinCelebratesBigOnlyWhenItMakesEverythingGold)
{
    Start(0, kModeStory, -1);
    PlayerRecord& player = g_pProfileStore->m_current;
    auto allGoldBut = [&player](int story) {
        player.m_storyLevels.fill(kLevelGold);
        player.m_bonusLevels.fill(kLevelGold);
        player.m_hardcoreLevels.fill(kLevelGold);
        player.m_storyLevels[static_cast<std::size_t>(story)] = kLevelSilver;
    };
    struct Case {
        const char* name;
        int notGold;       // the story level still below gold
        int story;         // the level just won, as the table names it
        int finale;        // the finale state before
        int celebrate;     // the player's celebration flag
        int choice;        // 0 shower, 1 the player's celebration, 2 bursts
    };
    const Case cases[] = {
        {"an ordinary win", 3, 0, -1, 0, 0},
        {"an ordinary win, celebrated", 3, 0, -1, 1, 1},
        {"the last level below gold", 3, 3, -1, 0, 2},
        {"again while the finale is due", 3, 3, 0, 0, 2},
        {"after the finale", 3, 3, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        allGoldBut(c.notGold);
        player.m_bAllGoldButOne = c.finale == -1 ? 0 : 1;
        player.m_nFinaleState = c.finale;
        player.m_bReserved = static_cast<std::uint8_t>(c.celebrate);
        EXPECT_EQ(Game().ChooseCascade(c.story, -1, -1), c.choice);
    }
    // Through a whole win: the cascade is the big one.
    allGoldBut(0);
    player.m_bAllGoldButOne = 0;
    player.m_nFinaleState = -1;
    Settle();
    Table().CheckLevelComplete();  // not won: the columns hold cards
    ASSERT_FALSE(Table().IsWon());
    g_bCheatMode = true;
    PressKey(35);  // End wins at once
    g_bCheatMode = false;
    ASSERT_TRUE(Table().IsWon());
    EXPECT_EQ(player.m_nFinaleState, 0);
    EXPECT_FALSE(Table().GetRain()->IsShower());
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, ABonusLevelMakesItsOwnCardsAndHasNoHintsOrBonuses)
{
    Start(1, kModeBonusLevel, 2);  // the second location's bonus level: aces only
    EXPECT_EQ(Game().GetLevelSection(), 26);
    Settle();
    CDeck& deck = *Game().GetDeck();
    ASSERT_GT(deck.Size(), 0u);
    for (std::size_t i = 0; i < deck.Size(); ++i)
        EXPECT_EQ(deck.GetCard(i)->Rank, 0);
    for (int i = 0; i < CInterface::kBonusSlots; ++i) {
        EXPECT_FALSE(Game().GetBonusButton(i)->IsVisible());
        EXPECT_TRUE(Game().GetBonusFrame(i)->IsVisible());
    }
    Game().HintClicked(nullptr, 1);
    EXPECT_EQ(Game().GetHintFlight()->GetCount(), 0);
    const std::size_t made = deck.Size();
    Game().MakeCards();  // the pool holds cards: nothing new
    EXPECT_EQ(deck.Size(), made);
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, AClassicHardcoreGamePlaysTheLevelsMusicOverTheChosenBackground)
{
    Start(2, kModeClassic | kModeHardcore, 1);
    EXPECT_EQ(Game().GetLevelSection(), 32);
    EXPECT_EQ(Game().GetBackName(), "back_2");  // the classic choice
    EXPECT_EQ(CGameProcess::MusicLocation(2, kModeClassic | kModeHardcore, 1), 2);
    EXPECT_EQ(CGameProcess::MusicLocation(7, 0, -1), 1);
    EXPECT_EQ(CGameProcess::MusicLocation(3, kModeBonusLevel, 4), 3);
    Settle();
    EXPECT_TRUE(Game().GetBackground()->IsVisible());
    g_pProfileStore->m_current.m_nTableBackground = 1;  // the table view replaces the location
    Frames(1);
    EXPECT_FALSE(Game().GetBackground()->IsVisible());
    EXPECT_TRUE(Game().GetTablePicture()->IsVisible());
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, EachNewGameScreenShowsTheNextCardSet)
{
    g_pProfileStore->m_current.m_bCardBackRotation = 1;
    g_pProfileStore->m_current.m_nCardBack = 2;
    Start(0, kModeStory, -1);
    EXPECT_EQ(g_pProfileStore->m_current.m_nCardBack, 0);  // the third set is followed by the first
    EXPECT_EQ(Game().GetCardBack(), g_pResource->GetSprite("GFX/Interface/GENERAL/CARDS/cards_back_1.png"));
    m_pGame->Release();
    Start(0, kModeStory, -1);
    EXPECT_EQ(g_pProfileStore->m_current.m_nCardBack, 1);
}

TEST_F(CGameProcessTest, FrameSparklesWithoutARadiusDoNotFly)
{
    Start(0, kModeStory, -1);
    FrameEffects frame;
    frame.count = 8;
    frame.special = 2;
    frame.life = {1.0f, 1.0f};
    frame.delay = frame.delaySpecial = {0.0001f, 0.0001f};
    frame.flight = frame.flightSpecial = frame.hold = frame.holdSpecial = {1.0f, 1.0f};
    frame.x1 = 100, frame.y1 = 100, frame.x2 = 180, frame.y2 = 207;
    frame.cx = 400, frame.cy = 300;
    CFlyingEffects* effects = Game().GetHintFlight();
    EXPECT_EQ(Game().SpawnFrameEffects(effects, frame), 0.0f);
    EXPECT_EQ(effects->GetCount(), 8);
    effects->KillAll();
    // With a radius every effect flies; the result is the longest delay + hold + flight.
    frame.special = 0;
    frame.radius = 20;
    frame.left = false;
    EXPECT_NEAR(Game().SpawnFrameEffects(effects, frame), 2.0001f, 1e-4f);
    EXPECT_EQ(effects->GetCount(), 6);  // the left side is off
}

TEST_F(CGameProcessTest, ALandedCardShowsItsComboSendsItsManaAndSparksInAHouse)
{
    Start(0, kModeStory, -1);  // Klondike: houses 2..5, columns 6..12
    Settle();
    Frames(5);  // the undo history takes its first snapshot
    ASSERT_EQ(Game().GetUndo()->Count(), 1);
    CManaBar& bar = *Game().GetManaBar();
    CScoreKeeper& keeper = *Table().GetScoreKeeper();
    PlayerRecord& player = g_pProfileStore->m_current;
    CCard* card = Table().GetPlace(6)->pile.back();
    const int run = keeper.Combos().m_nComboRun;
    auto scored = [](int gauge, int points, int tier) {
        LandingScore landing;
        landing.gauge = gauge;
        landing.points = points;
        landing.comboTier = tier;
        return landing;
    };
    constexpr int kNoGauge = LandingScore::kNoGauge, kNoCombo = LandingScore::kNoCombo;
    int gx = 0, gy = 0;
    ASSERT_TRUE(bar.GetGaugePos(1, gx, gy));
    struct Case {
        const char* name;
        LandingScore landing;
        int place;         // where the card landed
        int state;         // its bonus mark
        int sparkles;      // mana sparkles that fly
        int toX, toY;      // where they fly
        float fillLo, fillHi;
        int bonus;         // points added besides
        bool combo, houseSparks;
    };
    const Case cases[] = {
        {"an unscored move", LandingScore{}, 6, kCardPlain, 0, 0, 0, 0.2f, 0.2f, 0, false, false},
        {"ten points to gauge 1", scored(1, 10, kNoCombo), 6, kCardPlain, 20, gx, gy, 1.76f, 1.93f, 0, false, false},
        {"every gauge full", scored(kNoGauge, 10, kNoCombo), 6, kCardPlain, 20, 645, 588, 1.76f, 1.93f, 50, false, false},
        {"a combo into a house", scored(1, 10, 0), 2, kCardPlain, 20, gx, gy, 1.76f, 1.93f, 0, true, true},
        {"the golden card", scored(1, 10, kNoCombo), 6, kCardBonus, 20, gx, gy, 4.06f, 4.43f, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Game().GetManaSparkles()->KillAll();
        Game().GetHouseSparkles()->KillAll();
        Table().GetEffects()->GetCombo()->SetVisible(false);
        card->CardState = c.state;
        player.m_bGoldenCard = c.state == kCardPlain ? 1 : 0;  // each case must change it
        const int score = keeper.GetScore();
        Game().OnCardArrived(card, Table().GetPlace(c.place), c.landing);
        CFlyingEffects& mana = *Game().GetManaSparkles();
        ASSERT_EQ(mana.GetCount(), c.sparkles);
        for (int i = 0; i < mana.GetCount(); ++i) {
            EXPECT_FLOAT_EQ(mana.GetEffect(i)->endX, static_cast<float>(c.toX));
            EXPECT_FLOAT_EQ(mana.GetEffect(i)->endY, static_cast<float>(c.toY));
        }
        EXPECT_GE(bar.GetFillDelay(), c.fillLo - 1e-3f);
        EXPECT_LE(bar.GetFillDelay(), c.fillHi + 1e-3f);
        EXPECT_EQ(keeper.GetScore() - score, c.bonus);
        if (c.bonus != 0) {
            EXPECT_NEAR(keeper.GetDelay(), bar.GetFillDelay() - 0.2f, 1e-4f);  // the score rolls as they land
        }
        EXPECT_EQ(Table().GetEffects()->GetCombo()->IsVisible(), c.combo);
        if (c.combo) {
            EXPECT_EQ(std::wstring(g_pResource->GetText("combo_caption")), L"combo x" + std::to_wstring(run + 1));
        }
        EXPECT_EQ(Game().GetHouseSparkles()->GetCount(), c.houseSparks ? 24 : 0);
        if (c.sparkles > 0) {  // with the first move only: the golden card sets the flag, any other clears it
            EXPECT_EQ(player.m_bGoldenCard, c.state == kCardBonus ? 1 : 0);
        }
    }
    card->CardState = kCardPlain;
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, ABonusIsArmedByItsButtonAndDisarmedByASecondClick)
{
    Start(0, kModeStory, -1);  // Klondike: bonus codes 0, 12, 20, 23, 24
    Settle();
    CManaBar& bar = *Game().GetManaBar();
    for (int gauge = 0; gauge < 2; ++gauge) {
        Game().AddMana(bar.GetCapacity());
        bar.ShowTrueLevels();  // no waiting for the gauge to rise
        Frames(1);
        ASSERT_TRUE(Game().IsBonusButtonEnabled(gauge)) << gauge;
    }
    ClickWithMouse(488, 20);  // the first bonus button's look, up and left of its middle (500, 32)
    EXPECT_EQ(Table().GetSpecialActions()->ArmedCode(), kActionCardToHouse);
    EXPECT_EQ(Game().GetBonusDown(0), 1);
    EXPECT_EQ(Game().GetBonusDown(1), 0);

    Game().BonusClicked(1, 1);  // another bonus is latched: nothing happens
    EXPECT_EQ(Table().GetSpecialActions()->ArmedCode(), kActionCardToHouse);

    Game().BonusClicked(0, 1);  // the armed one again
    EXPECT_EQ(Table().GetSpecialActions()->ArmedCode(), kActionNone);
    Frames(1);
    EXPECT_EQ(Game().GetBonusDown(0), -1);

    // The extra deck pass needs cards in the stock or the waste.
    EXPECT_TRUE(Game().IsBonusUsable(4));
    Table().GetPlace(0)->pile.clear();
    Table().GetPlace(1)->pile.clear();
    EXPECT_FALSE(Game().IsBonusUsable(4));
    EXPECT_TRUE(Game().IsBonusUsable(1));
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

// The trophy for six bonuses counts those of one level: every new game starts the count again.
TEST_F(CGameProcessTest, TheTrophyForSixBonusesCountsTheBonusesOfOneLevel)
{
    constexpr int kTrophyBonuses = 3;  // the fourth trophy: six bonuses used
    g_bCheatMode = true;  // its keys 1-5 arm the level's bonuses; Klondike's fifth needs no target
    const PlayerRecord& player = g_pProfileStore->m_current;
    auto playLevel = [this, &player](int bonuses) {
        if (m_pGame != nullptr)
            m_pGame->Release();
        Start(0, kModeStory, -1);
        Settle();
        EXPECT_EQ(player.m_nBonusesUsed, 0);
        for (int i = 0; i < bonuses; ++i) {
            PressKey('5');
            Settle();
        }
        EXPECT_EQ(player.m_nBonusesUsed, bonuses);
    };
    playLevel(5);
    playLevel(5);
    EXPECT_FALSE(progress::IsTrophyDue(player, kTrophyBonuses)) << "five in each of two levels";
    playLevel(6);
    EXPECT_TRUE(progress::IsTrophyDue(player, kTrophyBonuses)) << "six in one level";
    g_bCheatMode = false;
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

namespace {

// The information windows the game asks for, by effect, for the life of a test; none is made, as
// if closed at once.
std::vector<std::string> g_infoWindows;
struct InfoWindowNotes {
    game_dialogs::Makers saved = game_dialogs::GetMakers();
    InfoWindowNotes()
    {
        game_dialogs::Makers makers = saved;
        makers.information = [](const char*, const char* move, const char*) -> CScreenBase* {
            g_infoWindows.push_back(move);
            return nullptr;
        };
        game_dialogs::SetMakers(makers);
        g_infoWindows.clear();
    }
    ~InfoWindowNotes() { game_dialogs::SetMakers(saved); }
};

}  // namespace

TEST_F(CGameProcessTest, TheFirstPlayOfALevelOpensItsBigRulesOnceAndTheNextWindowFollows)
{
    // A first game asks for the big rules window once dealt. Finding none to open (the player
    // opened it during the deal; a bonus level has no big view) must not hold the window queue.
    struct Case { const char* name; unsigned mode; int extra; int section; bool openedByPlayer; };
    const Case cases[] = {
        {"bonus level", kModeBonusLevel, 1, 25, false},
        {"opened during the deal", kModeStory, -1, 0, true},
        {"first game", kModeStory, -1, 0, false},
    };
    InfoWindowNotes notes;
    PlayerRecord& player = g_pProfileStore->m_current;
    player.m_nTableValue1 = player.m_nTableValue2 = 5;  // the lamp's windows were seen long ago
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool big = !IsBonusLevelMode(c.mode);
        std::uint8_t& introShown = player.m_introShown[static_cast<std::size_t>(c.section)];
        introShown = 0;
        if (m_pGame != nullptr)
            m_pGame->Release();
        Start(0, c.mode, c.extra);
        CHelpDesk& desk = *Game().GetHelpDesk();
        auto clickRulesButton = [&] {
            float x = 0, y = 0, w = 0, h = 0;
            desk.GetRulesButton()->GetRect(&x, &y, &w, &h);
            ClickWithMouse(static_cast<int>(x + w / 2), static_cast<int>(y + h / 2));
        };
        if (c.openedByPlayer) {
            for (int i = 0; i < 600 && !(Game().GetPanelState() == 0 && Game().IsDealing()); ++i)
                Frames(1);
            ASSERT_TRUE(Game().IsDealing());
            clickRulesButton();
            ASSERT_EQ(desk.GetView(), CHelpDesk::kBig);
        }
        Settle();
        for (int i = 0; i < 120 && (introShown == 0 || Game().GetInfoStep() != kInfoIdle); ++i)
            Frames(1);
        EXPECT_EQ(desk.GetView() == CHelpDesk::kBig, big);
        EXPECT_EQ(introShown, 1);
        EXPECT_EQ(Game().IsHintDeferred(), big && !c.openedByPlayer) << "a hint waits for the window it opened";
        EXPECT_EQ(Game().GetInfoStep(), kInfoIdle);
        if (big) {
            clickRulesButton();
            for (int i = 0; i < 60 && desk.GetView() != CHelpDesk::kSmall; ++i)
                Frames(1);
            EXPECT_EQ(desk.GetView(), CHelpDesk::kSmall) << "the rules button closes the window";
        }
    }

    // The queue takes the next window: the player's first full gauge is explained once, a moment
    // after it fills, unless its bonus went meanwhile (a deal again empties the gauges).
    CManaBar& bar = *Game().GetManaBar();
    auto fillGauge = [&](int frames) {
        Game().AddMana(bar.GetCapacity());
        bar.ShowTrueLevels();  // at once, not at the gauge's slow rise
        Frames(frames);
    };
    player.m_bTableFlag = 0;
    fillGauge(30);
    EXPECT_TRUE(g_infoWindows.empty()) << "the gauge's own sound and sparkles come first";
    Game().Restart();
    Settle();
    Frames(300);
    EXPECT_TRUE(g_infoWindows.empty()) << "the gauge was emptied before its window came";
    EXPECT_EQ(player.m_bTableFlag, 0);
    fillGauge(300);
    EXPECT_EQ(g_infoWindows, std::vector<std::string>{"move_informative_wind_2"});
    EXPECT_EQ(player.m_bTableFlag, 1);
    fillGauge(300);
    EXPECT_EQ(g_infoWindows.size(), 1u) << "the next full gauge is not explained again";
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, TheMoveLampHoldsWhileALevelIsDealtAndShowsTheDealtTable)
{
    // Seeded deals of levels whose half-dealt tables have no move: the lamp neither changes nor
    // counts through the deal and a deal again, and the dealt table introduces it at the second
    // level start. Two deals leave only a move into a free cell, none for the lamp: it goes dark
    // once dealt, and its window waits until it lights for the table dealt again.
    struct Case { int level; std::uint32_t seed; bool dealtStuck; };
    const Case cases[] = {{3, 62, true}, {6, 6, true}, {3, 1, false}, {6, 1, false}, {0, 1, false}, {8, 1, false}};
    PlayerRecord& player = g_pProfileStore->m_current;
    for (const Case& c : cases) {
        SCOPED_TRACE("level " + std::to_string(c.level) + ", seed " + std::to_string(c.seed));
        player.m_nTableValue1 = 1;
        player.m_nTableValue2 = 0;
        m_pEngine->RandomSeed(c.seed);
        Start(c.level, kModeStory, -1);
        const CMoveIndicator& lamp = *Game().GetMoveIndicator();
        const CFAnimationInstance* light = Game().GetGamePanel()->FindPart("scroll_interface_top.#0.move_indicator_light.all");
        ASSERT_NE(light, nullptr);
        CMoveFinder& finder = *Table().GetMoveFinder();
        auto dealWatched = [&](int hurryAt) {
            const bool lit = lamp.IsLit(false);
            const int shown = light->GetFirstFrame();  // "on" or "off", whichever played last
            const int counted = player.m_nTableValue2;
            int changed = 0;
            for (int frames = 0; frames < 3000 && !(frames > 0 && IsSettled()); ++frames) {
                if (frames == hurryAt) {
                    ASSERT_TRUE(EngineQueueInput("1 keydown 65\n2 keyup 65\n"));
                }
                Frames(1, kFrame, false);
                changed += lamp.IsLit(false) == lit && light->GetFirstFrame() == shown ? 0 : 1;
            }
            EXPECT_EQ(changed, 0) << "frames with the lamp changed";
            EXPECT_EQ(player.m_nTableValue2, counted) << "times the lamp came on";
            Frames(2, kFrame, false);
            EXPECT_EQ(lamp.IsLit(false), !finder.NoMoreMoves()) << "the dealt table's verdict";
        };
        dealWatched(-1);
        ASSERT_EQ(finder.NoMoreMoves(), c.dealtStuck) << "the deal this case stands for";
        EXPECT_TRUE(!c.dealtStuck || finder.HasFreeCellMove()) << "a free cell could still take a card";
        EXPECT_EQ(player.m_nTableValue1, 3) << "the second level start";
        EXPECT_EQ(Game().GetInfoKind() == kInfoIndicatorSecond, !c.dealtStuck) << "asked for while the lamp shines";
        EXPECT_EQ(lamp.IsWindowPending(CMoveIndicator::kWindowSecond), c.dealtStuck) << "and kept while it is dark";

        Game().Restart();
        ASSERT_TRUE(Game().IsDealing());
        dealWatched(20);  // a key half way through: the rest arrive at once
        if (c.dealtStuck) {
            EXPECT_TRUE(lamp.IsLit(false)) << "the table dealt again has a move";
            for (int i = 0; i < 120 && Game().GetInfoKind() != kInfoIndicatorSecond; ++i)
                Frames(1, kFrame, false);
            EXPECT_EQ(Game().GetInfoKind(), kInfoIndicatorSecond) << "introduced once it is seen lit";
        }
        m_pGame->Release();
        m_pGame = nullptr;
    }

    // Switched off in the game's menu while its window is due, the lamp takes the window back and
    // frees the queue; switched on, it shows it.
    InfoWindowNotes notes;
    player.m_nTableValue1 = 1;
    player.m_nTableValue2 = 0;
    m_pEngine->RandomSeed(1);
    Start(0, kModeStory, -1);
    Settle();
    for (int i = 0; i < 120 && Game().GetInfoStep() != kInfoDue; ++i)
        Frames(1);
    ASSERT_EQ(Game().GetInfoKind(), kInfoIndicatorSecond);
    player.m_bHints = 0;
    Frames(60);
    EXPECT_TRUE(g_infoWindows.empty());
    EXPECT_EQ(Game().GetInfoStep(), kInfoIdle);
    player.m_bHints = 1;
    Frames(60);
    EXPECT_EQ(g_infoWindows, std::vector<std::string>{"move_move_indicator_wind2"});
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, ARecordedGameIsReplayedMoveByMoveAndTheTableComesBack)
{
    MoveRecord drag;
    ASSERT_TRUE(StartWithColumnDrag(drag));
    CPlace* to = Table().GetPlace(drag.toPlace);
    CCard* moving = Table().GetPlace(drag.fromPlace)->GetCard(drag.fromCard);
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    CardCentre(drag.fromPlace, drag.fromCard, x1, y1);
    CardCentre(drag.toPlace, to->TopIndex(), x2, y2);
    DragWithMouse(x1, y1, x2, y2 + 10);
    Settle();
    ASSERT_EQ(Game().GetTracker()->Record().moveCount, 1u);
    std::filesystem::create_directories(HostPath("data/learn"));
    ASSERT_TRUE(Game().GetTracker()->Save("data/learn/" + Table().Level().sName + ".dat"));

    // The table as the player left it: every pile by its cards.
    std::vector<std::vector<CCard*>> before;
    for (int p = 0; p < Table().PlaceCount(); ++p)
        before.push_back(Table().GetPlace(p)->pile);
    Game().StartLearn();
    ASSERT_TRUE(Game().IsReplaying());
    EXPECT_TRUE(Game().GetInputShield()->IsVisible());
    EXPECT_FALSE(Game().IsDealing());  // a replay deals without the animation
    // The places are made anew for the replay: dealt as recorded, the drag not played yet.
    auto target = [&] { return Table().GetPlace(drag.toPlace)->pile; };
    EXPECT_NE(target(), before[static_cast<std::size_t>(drag.toPlace)]);
    CFAnimationInstance* banner = Table().GetEffects()->GetTutorial();
    ASSERT_NE(banner, nullptr);
    bool moved = false, rode = false, bannerPlayed = true;
    for (int i = 0; i < 1200 && Game().IsReplaying(); ++i) {
        Frames(1);
        const std::vector<CCard*> pile = target();
        moved = moved || (Game().IsReplaying() && std::find(pile.begin(), pile.end(), moving) != pile.end());
        bannerPlayed = bannerPlayed && (!Game().IsReplaying() || (banner->IsVisible() && banner->IsPlaying()));
        // While the recorded card flies the hand carries it, with the dragging cursor.
        if (Game().IsReplaying() && Table().IsFlying() && Table().Flights().front()->card == moving) {
            rode = true;
            EXPECT_EQ(Game().GetCursorShape(), 1);
            EXPECT_NEAR(Game().GetReplay().x, moving->RenderX_curr, 60.0f);
        }
    }
    EXPECT_TRUE(moved);  // the recorded drag was played again
    EXPECT_TRUE(rode);
    EXPECT_TRUE(bannerPlayed);  // shown, then looped while the tutorial played
    EXPECT_FALSE(Game().IsReplaying());
    EXPECT_FALSE(banner->IsVisible());
    EXPECT_EQ(Game().GetCursorShape(), 0);
    EXPECT_FALSE(Game().GetInputShield()->IsVisible());
    Settle();
    for (int p = 0; p < Table().PlaceCount(); ++p)
        EXPECT_EQ(Table().GetPlace(p)->pile, before[static_cast<std::size_t>(p)]) << p;
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, ARecordedMoveThatDoesNotFitTheTableIsToldAndSkipped)
{
    MoveRecord drag;
    ASSERT_TRUE(StartWithColumnDrag(drag));
    // A recording of one drag whose card lies far above the top of its column.
    TutorialRecord record;
    for (int p = 0; p < Table().PlaceCount(); ++p) {
        for (const CCard* card : Table().GetPlace(p)->pile) {
            record.dealA[record.dealCount] = static_cast<std::uint8_t>(card->Rank);
            record.dealB[record.dealCount] = static_cast<std::uint8_t>(card->Suit);
            ++record.dealCount;
        }
    }
    record.moveFrom[0] = static_cast<std::uint8_t>(drag.fromPlace);
    record.moveTo[0] = static_cast<std::uint8_t>(drag.toPlace);
    record.moveCard[0] = 150;
    record.moveCount = 1;
    std::vector<std::uint8_t> bytes;
    tutorial_file::WriteRecord(record, bytes);
    std::filesystem::create_directories(HostPath("data/learn"));
    ASSERT_TRUE(fs_layer::WriteWholeFile("data/learn/" + Table().Level().sName + ".dat", bytes.data(), bytes.size()));
    Game().StartLearn();
    ASSERT_TRUE(Game().IsReplaying());
    for (int i = 0; i < 1200 && Game().IsReplaying(); ++i)
        Frames(1);
    EXPECT_FALSE(Game().IsReplaying());
    const std::string told = "[W] Learn move of card 150 from place " + std::to_string(drag.fromPlace) + " to place " +
                             std::to_string(drag.toPlace) + " does not fit the table: skipped";
    std::vector<std::string> others;
    for (const std::string& line : ProblemLines())
        if (line != told)
            others.push_back(line);
    EXPECT_EQ(ProblemLines().size(), others.size() + 1);
    EXPECT_TRUE(others.empty()) << others.front();
}

TEST_F(CGameProcessTest, KeysHurryTheDealButF2DoesNotAndTheFirstSlideSwallowsThem)
{
    Start(0, kModeStory, -1);
    ASSERT_TRUE(EngineQueueInput("1 keydown 68\n2 keyup 68\n"));  // D while the panel slides in
    Frames(2);
    EXPECT_EQ(Game().GetPanelState(), 4);
    EXPECT_FALSE(Game().IsRedealAsked());
    for (int i = 0; i < 200 && !Game().IsDealing(); ++i)
        Frames(1);
    ASSERT_TRUE(Game().IsDealing());
    PressKey(0x71);  // F2
    EXPECT_FLOAT_EQ(Game().GetDealStep(), 0.1f);
    PressKey(0x41);  // A
    EXPECT_FLOAT_EQ(Game().GetDealStep(), 0.0001f);
    Settle();
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

TEST_F(CGameProcessTest, ALevelMissingFromTheFileLeavesAnEmptyTableThatStillRuns)
{
    Start(60, kModeStory, -1);
    Frames(120);
    EXPECT_EQ(Table().CountCards(), 0);
    EXPECT_FALSE(Game().IsDealing());
    Game().HintClicked(nullptr, 1);
    Game().Restart();
    Frames(5);
    EXPECT_FALSE(ProblemLines().empty());  // the table says why it has nothing to deal
}

// The decorations of the places: the stock's badge counts the passes left, an empty place shows the
// rank it takes, and the fire named by the rules burns out by itself (high detail: sparkles instead).
