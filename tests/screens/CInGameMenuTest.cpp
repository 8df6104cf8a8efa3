// CInGameMenuTest.cpp: the in-game menus over a real game on the bundled data, opened and used
// with the mouse and keys: how they open and close, the card sets on every card, the switches,
// deal and learn, and the quit questions.
#include "screens/CInGameMenu.h"
#include "screens/CInGameMenuClassic.h"

#include "ResultTestRoot.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFCheckBox.h"
#include "framework/CFFrameImage.h"
#include "framework/CFResource.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CGlobalOptions.h"
#include "table/CCard.h"
#include "table/CDeck.h"
#include "table/CPlace.h"
#include "table/CScoreKeeper.h"
#include "table/CTracker.h"
#include "table/GameDialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

constexpr int kVkShift = 16;

class CInGameMenuTest : public ResultTestRoot {
protected:
    void SetUp() override
    {
        ResultTestRoot::SetUp();
        if (HasFatalFailure())
            return;
        m_bDrawFrames = false;
        Record().m_nTableValue1 = Record().m_nTableValue2 = 3;  // the move lamp's windows were seen
    }

    // The game of that level once its deal has landed (the menu button waits for it); a key
    // hurries the deal along, as it does for a player.
    void StartGame(int level, int mode, int extra)
    {
        m_pGame = CGameProcess::Create(level, mode, extra);
        Enter(m_pGame);
        for (int i = 0; i < 600 && !Game().IsDealing(); ++i)
            Frames(1);
        PressKey(kVkShift, 0);
        for (int i = 0; i < 600 && Game().IsDealing(); ++i)
            Frames(1);
        ASSERT_FALSE(Game().IsDealing() || Game().IsStartPending());
    }

    // The menu the game's own Escape opened, once it stands and takes the mouse.
    template <typename Menu = CInGameMenu>
    Menu* OpenMenu()
    {
        PressKey(kVkEscape, 40);
        return Shown<Menu>();
    }

    bool MenuOpen() const { return Shown<CInGameMenu>() != nullptr; }

    static std::string FaceName(int set, const CCard& card)
    {
        return "set_" + std::to_string(set + 1) + "/" + std::to_string(set) + "_" + std::to_string(card.Suit) + "_" +
               std::to_string(card.Rank) + ".png";
    }

    // Every card of the game shows the set's back and its own face of that set.
    void ExpectCardSet(int set)
    {
        const CDeck& deck = *Game().GetDeck();
        CSprite* back = g_pResource->GetSprite(
            ("GFX/Interface/GENERAL/CARDS/cards_back_" + std::to_string(set + 1) + ".png").c_str());
        ASSERT_GT(deck.Size(), 0u);
        EXPECT_EQ(Game().GetCardBack(), back);
        for (std::size_t i = 0; i < deck.Size(); ++i) {
            const CCard& card = *deck.GetCard(i);
            ASSERT_EQ(card.GetBackSprite(), back) << "card " << i;
            ASSERT_EQ(card.GetUpSprite(), g_pResource->GetSprite(FaceName(set, card).c_str())) << "card " << i;
        }
    }

    // The question the menu opened, answered.
    void Answer(CInGameMenu& menu, bool yes)
    {
        auto* question = dynamic_cast<CDialogConfirmation*>(menu.GetChild());
        ASSERT_NE(question, nullptr);
        Frames(40);
        Tap(*(yes ? question->GetYesButton() : question->GetNoButton()));
        Frames(2);
    }
};

}  // namespace

TEST_F(CInGameMenuTest, EscapeOrTheMenuButtonOpensTheMenuOfTheModeWhichBackBesideThePanelOrEscapeClose)
{
    StartGame(0, 0, -1);
    PressKey(kVkEscape, 2);
    CInGameMenu* menu = Shown<CInGameMenu>();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->IsClassic());
    EXPECT_FALSE(m_pGame->IsActive()) << "the game stands still under the menu";
    PressKey(kVkEscape, 2);
    EXPECT_TRUE(MenuOpen()) << "Escape waits half a second";
    Frames(40);
    Screenshot("in_game_menu_story");
    ClickAt(CInGameMenu::kPanelX + 12, CInGameMenu::kPanelY + 12);
    EXPECT_TRUE(MenuOpen()) << "the window itself takes clicks";
    ClickAt(100, 300);
    EXPECT_FALSE(MenuOpen()) << "a click beside the window closes it";
    Frames(2);
    EXPECT_TRUE(m_pGame->IsActive());

    Tap(*Game().GetMenuButton());
    menu = Shown<CInGameMenu>();
    ASSERT_NE(menu, nullptr) << "the panel's menu button";
    Frames(40);
    Tap(*menu->GetButton(CInGameMenu::kBackToGame));
    EXPECT_FALSE(MenuOpen());
    ASSERT_NE(OpenMenu(), nullptr);
    PressKey(kVkEscape, 2);
    EXPECT_FALSE(MenuOpen()) << "Escape once the menu stands";

    StartGame(3, 1, 2);
    auto* classic = OpenMenu<CInGameMenuClassic>();
    ASSERT_NE(classic, nullptr);
    EXPECT_TRUE(classic->IsClassic());
    ASSERT_NE(classic->GetBox(CInGameMenu::kUseBonuses), nullptr);
    Screenshot("in_game_menu_classic");
    ExpectNoProblems();
}

TEST_F(CInGameMenuTest, ACardSetDressesEveryCardOfTheGameAndStaysTheChosenOne)
{
    Record().m_nCardBack = 0;
    Record().m_bCardBackRotation = 1;
    StartGame(0, 0, -1);  // builds with the next set: 1
    ExpectCardSet(1);
    CInGameMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->GetButton(CInGameMenu::kCard3)->IsStateLocked()) << "the third button shows the second set";

    // The buttons show the sets 1, 3, 2.
    const struct {
        CInGameMenu::EButton button;
        int set;
    } choices[] = {{CInGameMenu::kCard2, 2}, {CInGameMenu::kCard1, 0}, {CInGameMenu::kCard3, 1}};
    for (const auto& choice : choices) {
        SCOPED_TRACE("set " + std::to_string(choice.set));
        Tap(*menu->GetButton(choice.button));
        ExpectCardSet(choice.set);
        EXPECT_EQ(Record().m_nCardBack, choice.set);
        EXPECT_EQ(Record().m_bCardBackRotation, 0) << "a chosen set stays";
        for (CInGameMenu::EButton button : {CInGameMenu::kCard1, CInGameMenu::kCard2, CInGameMenu::kCard3})
            EXPECT_EQ(menu->GetButton(button)->IsStateLocked(), button == choice.button) << button;
    }
    Screenshot("in_game_menu_card_set");
    PressKey(kVkEscape, 30);
    EXPECT_FALSE(MenuOpen());
    StartGame(1, 0, -1);
    ExpectCardSet(1);  // the next level keeps the choice
    ExpectNoProblems();
}

TEST_F(CInGameMenuTest, TheSwitchesKeepHintsTableViewAndClassicBonusesForThePlayer)
{
    Record().m_bHints = 1;
    Record().m_nTableBackground = 0;
    StartGame(0, 0, -1);
    CInGameMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->GetBox(CInGameMenu::kHint)->IsChecked());
    EXPECT_EQ(menu->GetBox(CInGameMenu::kUseBonuses), nullptr) << "a story menu has two switches";
    Tap(*menu->GetBox(CInGameMenu::kHint));
    EXPECT_EQ(Record().m_bHints, 0);
    Tap(*menu->GetBox(CInGameMenu::kPlayDesk));
    EXPECT_EQ(Record().m_nTableBackground, 1);
    Tap(*menu->GetButton(CInGameMenu::kBackToGame));
    Frames(2);
    EXPECT_TRUE(Game().GetTablePicture()->IsVisible()) << "the table view shows at once";
    EXPECT_FALSE(Game().GetBackground()->IsVisible());

    Record().m_bMasterMode = 1;
    menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->GetBox(CInGameMenu::kHint)->IsEnabled()) << "a master plays without hints";
    Tap(*menu->GetBox(CInGameMenu::kHint));
    EXPECT_EQ(Record().m_bHints, 0) << "a disabled switch keeps the setting";
    EXPECT_FALSE(menu->GetBox(CInGameMenu::kHint)->IsChecked());

    for (bool use : {true, false}) {
        SCOPED_TRACE(use ? "bonuses on" : "bonuses off");
        Record().m_bUseBonuses = use ? 0 : 1;
        StartGame(3, 1, 0);
        auto* classic = OpenMenu<CInGameMenuClassic>();
        ASSERT_NE(classic, nullptr);
        EXPECT_TRUE(classic->GetBox(CInGameMenu::kHint)->IsEnabled()) << "classic games always offer hints";
        Tap(*classic->GetBox(CInGameMenu::kUseBonuses));
        EXPECT_EQ(Record().m_bUseBonuses, use ? 1 : 0);
        for (int i = 0; i < CInterface::kBonusSlots; ++i)
            EXPECT_EQ(Game().GetBonusButton(i)->IsVisible(), use) << "bonus " << i;
    }
    ExpectNoProblems();
}

TEST_F(CInGameMenuTest, OnlyAYesLeavesTheGameForTheMapTheTablesOrTheMainMenu)
{
    const struct {
        int level, mode, extra;
        CInGameMenu::EButton button;
        EScreenKind to;
    } cases[] = {
        {0, 0, -1, CInGameMenu::kQuit, EScreenKind::StoryMap},
        {1, 2, 2, CInGameMenu::kQuit, EScreenKind::StoryMap},  // a bonus level
        {3, 1, 0, CInGameMenu::kQuit, EScreenKind::ClassicSelection},
        {1, 8, 1, CInGameMenu::kExitGame, EScreenKind::MainMenu},  // a hardcore level
        {4, 1, 3, CInGameMenu::kExitGame, EScreenKind::MainMenu},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode) + " to " + CScreenFactory::Name(c.to));
        m_madeKinds.clear();
        StartGame(c.level, c.mode, c.extra);
        CInGameMenu* menu = OpenMenu();
        ASSERT_NE(menu, nullptr);
        Tap(*menu->GetButton(c.button));
        Answer(*menu, false);
        EXPECT_EQ(Shown<CInGameMenu>(), menu) << "no stays in the menu";
        EXPECT_TRUE(m_madeKinds.empty());
        Tap(*menu->GetButton(c.button));
        Answer(*menu, true);
        EXPECT_TRUE(Made(c.to));
        Frames(80);
        EXPECT_EQ(m_madeKinds.size(), 1u) << "one switch";
        EXPECT_EQ(g_pScreenManager->GetCurrent()->GetName(), CScreenFactory::Name(c.to));
    }
    ExpectNoProblems();
}

TEST_F(CInGameMenuTest, OptionsOpenOverTheMenuAndBonusLevelsHaveNoTutorial)
{
    StartGame(2, 2, 3);
    CInGameMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    CFButton& learn = *menu->GetButton(CInGameMenu::kLearn);
    EXPECT_FALSE(learn.IsEnabled());
    Tap(learn);
    EXPECT_TRUE(MenuOpen()) << "a disabled learn does nothing";
    EXPECT_FALSE(Game().IsReplaying());

    Tap(*menu->GetButton(CInGameMenu::kOptions));
    auto* options = dynamic_cast<CGlobalOptions*>(menu->GetChild());
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(menu->IsActive());
    Frames(40);
    Screenshot("in_game_menu_options");
    PressKey(kVkEscape, 2);
    EXPECT_EQ(menu->GetChild(), nullptr);
    EXPECT_TRUE(MenuOpen()) << "the options close back onto the menu";
    ExpectNoProblems();
}

TEST_F(CInGameMenuTest, DealAgainStartsAFreshGameAndDuringATutorialGivesThePlayersTableBack)
{
    StartGame(0, 0, -1);
    CCardTable& table = Table();
    table.GetScoreKeeper()->SetScore(table.GetScoreKeeper()->GetBase() + 500, false);
    CInGameMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    Tap(*menu->GetButton(CInGameMenu::kDeal));
    EXPECT_FALSE(MenuOpen());
    EXPECT_TRUE(Game().IsDealing()) << "the level is dealt again";
    EXPECT_EQ(table.GetScoreKeeper()->GetScore(), table.GetScoreKeeper()->GetBase());
    Frames(200);

    // A tutorial of this very deal, one stock click long, as the recorder writes them.
    const int stock = table.FindPlaceOfType(kPlaceDeck);
    ASSERT_GE(stock, 0);
    table.ClickPlace(stock, table.GetPlace(stock)->Size() - 1, false);
    Frames(60);
    std::filesystem::create_directories(m_root + "/data/learn");
    ASSERT_TRUE(Game().GetTracker()->Save("data/learn/" + table.Level().sName + ".dat"));
    std::vector<int> sizes;
    for (int i = 0; i < table.PlaceCount(); ++i)
        sizes.push_back(table.GetPlace(i)->Size());

    menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    Tap(*menu->GetButton(CInGameMenu::kLearn));
    EXPECT_FALSE(MenuOpen());
    ASSERT_TRUE(Game().IsReplaying()) << "the tutorial plays";
    Frames(30);
    // A player's key or click ends a tutorial before it reaches the menu: the game opens it.
    ASSERT_TRUE(game_dialogs::Attach(game_dialogs::MakeInGameMenu(false, nullptr)));
    menu = Shown<CInGameMenu>();
    ASSERT_NE(menu, nullptr);
    Frames(40);
    Tap(*menu->GetButton(CInGameMenu::kDeal));
    EXPECT_FALSE(Game().IsReplaying());
    Frames(2);
    for (int i = 0; i < table.PlaceCount(); ++i)
        EXPECT_EQ(table.GetPlace(i)->Size(), sizes[static_cast<std::size_t>(i)]) << "place " << i;
    EXPECT_FALSE(Game().GetInputShield()->IsVisible()) << "the player's table takes the mouse again";
    ExpectNoProblems();
}
