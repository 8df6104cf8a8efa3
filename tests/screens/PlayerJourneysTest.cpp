// PlayerJourneysTest.cpp: the whole program played as a player plays it, headless, with scripted
// mouse and keys only, over the bundled data: a classic game whose menu changes the card set and
// the switches and leaves with its question, and the bonus and hardcore levels of the first
// island started from the map and left through the game's menu. Each journey keeps pictures
// along the way and checks in them that the screen it expects stands.
#include "app/GameRunRoot.h"
#include "screens/CProfileStore.h"
#include "screens/GameScreens.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Places in the view, as the bundled data lays the screens out.
using Point = ScreenPoint;
constexpr Point kStorySign{190, 240}, kClassicSign{190, 350}, kGolfEntry{204, 141};
constexpr Point kYes{310, 370}, kNo{490, 370};
// The game's menu: the way out (to the map or the classic tables), the second card set, the
// hints, table-view and bonus switches.
constexpr Point kMenuQuit{398, 316}, kCardSet2{446, 410}, kHintBox{290, 468}, kDeskBox{406, 468},
    kBonusBox{290, 502};
constexpr Point kBonusSlot{210, 180}, kHardcoreSlot{470, 120}, kPlay{676, 456};

class PlayerJourneysTest : public GameRunRoot {
protected:
    void SetUp() override
    {
        GameRunRoot::SetUp();
        RegisterGameScreens();
    }

    // A saved player who has played the first island through: its bonus and hardcore levels open.
    void SaveIslandPlayer()
    {
        fs_layer::SetRootFolder(m_root);
        CProfileStore store;
        store.NewPlayer("ANNA", true);
        PlayerRecord& record = store.m_current;
        record.m_bMapVisited = record.m_bStoryLevelPlayed = 1;
        record.m_locationOpened[0] = record.m_locationOpened[1] = 1;  // the next island was shown
        for (int level = 0; level < 5; ++level)
            record.m_storyLevels[static_cast<std::size_t>(level)] = kLevelBronze;
        record.m_bonusLevels[0] = record.m_hardcoreLevels[0] = kLevelOpen;
        record.m_introShown.fill(1);
        record.m_nTableValue1 = 5;  // the move light's news windows were seen long ago
        record.m_nTableValue2 = 10;
        ASSERT_TRUE(store.Save());
    }

    // Whether the picture shows that colour (0xRRGGBB) there, give or take a little.
    ::testing::AssertionResult Shows(const std::string& shot, Point at, std::uint32_t rgb)
    {
        const std::uint32_t argb = ShotPixel(at.x, at.y, shot);
        for (int shift : {0, 8, 16}) {
            const int got = static_cast<int>(argb >> shift & 0xFF), want = static_cast<int>(rgb >> shift & 0xFF);
            if (std::abs(got - want) > kTolerance)
                return ::testing::AssertionFailure() << shot << " at (" << at.x << ", " << at.y << ") shows " << std::hex
                                                     << (argb & 0xFFFFFF) << ", not " << rgb;
        }
        return ::testing::AssertionSuccess();
    }

    static constexpr int kTolerance = 24;
};

// Colours the bundled art shows at known places: the classic selection's green board, a dark
// window in the middle, the sky of a table, a gold menu button, a ticked and an empty box, the
// blue and the green card backs.
constexpr std::uint32_t kBoard = 0x195438, kWindow = 0x133448, kSky = 0x9CB8AC, kMenuButton = 0x785014,
                        kTicked = 0x1E7832, kEmptyBox = 0xF0ECDC, kBlueBack = 0x132C5B, kGreenBack = 0x134324;
constexpr std::uint32_t kPlayGreen = 0x32A247, kBlueStock = 0x1F4797, kRedStock = 0x971F29, kGreyButton = 0x7E7E7E, kGoldButton = 0xE5B859;
constexpr Point kPlayFace{605, 445}, kStockBack{70, 75}, kLearnButton{300, 240};
constexpr Point kBoardSpot{400, 110}, kMiddle{400, 330}, kMenuSpot{405, 300}, kStockEdge{240, 455};

}  // namespace

TEST_F(PlayerJourneysTest, AClassicGamesMenuChangesCardsAndSwitchesAndLeavesWithItsQuestion)
{
    fs_layer::SetRootFolder(m_root);
    {
        CProfileStore store;
        store.NewPlayer("ANNA", true);
    }
    std::string script = Click(5, kClassicSign) + Shot(80, "classic_selection") + Click(90, kGolfEntry);
    script += Shot(465, "classic_bonus_question") + Click(470, kNo);   // the first classic game asks
    script += Shot(515, "classic_game") + Key(520, 27) + Shot(562, "classic_menu");
    script += Click(565, kCardSet2) + Click(615, kHintBox) + Click(655, kDeskBox) + Click(695, kBonusBox);
    script += Shot(740, "classic_menu_changed") + Click(745, kMenuQuit) + Shot(790, "classic_quit_question");
    script += Click(795, kYes) + Shot(900, "classic_selection_again");
    ASSERT_EQ(Run(905, script), 0);
    EXPECT_TRUE(Shows("classic_selection", kBoardSpot, kBoard));
    EXPECT_TRUE(Shows("classic_bonus_question", kMiddle, kWindow));
    EXPECT_TRUE(Shows("classic_game", kMiddle, kSky)) << "the question has gone";
    EXPECT_TRUE(Shows("classic_menu", kMenuSpot, kMenuButton));
    EXPECT_TRUE(Shows("classic_menu", kHintBox, kTicked));
    EXPECT_TRUE(Shows("classic_menu", kDeskBox, kEmptyBox));
    EXPECT_TRUE(Shows("classic_menu", kBonusBox, kEmptyBox));
    EXPECT_TRUE(Shows("classic_menu", kStockEdge, kBlueBack));
    EXPECT_TRUE(Shows("classic_menu_changed", kHintBox, kEmptyBox));
    EXPECT_TRUE(Shows("classic_menu_changed", kDeskBox, kTicked));
    EXPECT_TRUE(Shows("classic_menu_changed", kBonusBox, kTicked));
    EXPECT_TRUE(Shows("classic_menu_changed", kStockEdge, kGreenBack)) << "the second card set on the table";
    EXPECT_TRUE(Shows("classic_quit_question", kMenuSpot, kWindow));
    EXPECT_TRUE(Shows("classic_selection_again", kBoardSpot, kBoard));

    fs_layer::SetRootFolder(m_root);
    CProfileStore store;
    EXPECT_EQ(store.m_current.m_nCardBack, 2);  // the middle card is the third set
    EXPECT_EQ(store.m_current.m_bUseBonuses, 1);
    EXPECT_EQ(store.m_current.m_bHints, 0);
    EXPECT_EQ(store.m_current.m_nTableBackground, 1);
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(PlayerJourneysTest, TheIslandsBonusAndHardcoreLevelsStartFromTheMapAndLeaveThroughTheMenu)
{
    SaveIslandPlayer();
    std::string script = Click(5, kStorySign) + Shot(150, "island_map");
    script += Click(160, kBonusSlot) + Shot(200, "island_bonus_panel") + Click(210, kPlay);
    script += Shot(500, "island_bonus_level") + Key(505, 27) + Shot(547, "island_bonus_menu");
    script += Click(550, kMenuQuit) + Click(600, kYes) + Shot(750, "island_map_again");
    script += Click(760, kHardcoreSlot) + Shot(800, "island_hardcore_panel") + Click(810, kPlay);
    script += Shot(1175, "island_hardcore_level") + Key(1180, 27) + Shot(1222, "island_hardcore_menu");
    script += Click(1225, kMenuQuit) + Click(1275, kYes) + Shot(1425, "island_map_last");
    ASSERT_EQ(Run(1430, script), 0);
    for (const char* map : {"island_map", "island_map_again", "island_map_last"})
        EXPECT_TRUE(Shows(map, kPlayFace, kPlayGreen));
    EXPECT_TRUE(Shows("island_bonus_level", kMiddle, kSky));
    EXPECT_TRUE(Shows("island_bonus_level", kStockBack, kBlueStock)) << "a bonus level's cards";
    EXPECT_TRUE(Shows("island_bonus_menu", kMenuSpot, kMenuButton));
    EXPECT_TRUE(Shows("island_bonus_menu", kLearnButton, kGreyButton)) << "a bonus level has no tutorial";
    EXPECT_TRUE(Shows("island_hardcore_level", kStockBack, kRedStock)) << "a hardcore level's cards";
    EXPECT_TRUE(Shows("island_hardcore_menu", kMenuSpot, kMenuButton));
    EXPECT_TRUE(Shows("island_hardcore_menu", kLearnButton, kGoldButton)) << "the hardcore level's tutorial";
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}
