// test-labels: untrusted
// LevelFileTest.cpp: reading level sections, rejecting levels the table cannot hold, and dealing.
#include "TableTestSupport.h"

#include "framework/ResourceTestRoot.h"
#include "support/FileIniEngine.h"

using namespace tabletest;

// The level file as a file on disk, read by the engine's own INI reader.
using LevelFileOnDisk = EngineTestRoot<FileIniEngine>;

TEST(LevelFile, SectionNumberFollowsTheModeWord)
{
    struct Case { int level; unsigned mode; const char* section; };
    const Case cases[] = {
        {7, 0, "Solitaire7"}, {3, 2, "Solitaire28"}, {2, 9, "Solitaire32"}, {1, 10, "Solitaire26"}, {4, 1, "Solitaire4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.section);
        EXPECT_EQ(CCardTable::SectionName(c.level, c.mode), c.section);
    }
}

TEST(LevelFile, EveryTestLevelLoadsItsPlacesAndRules)
{
    ScopedFakeEngine fake;
    WriteAllLevels(fake.Get());
    struct Case { int level; int places; const char* name; int decks; };
    const Case cases[] = {{kKlondike, 13, "Klondike", 1}, {kFreeCell, 16, "FreeCell", 1}, {kSpider, 19, "Spider Easy", 2},
                          {kPyramid, 31, "Pyramid", 1}, {kGolf, 9, "Golf", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCardTable table(c.level, kModeStory, nullptr);
        ASSERT_TRUE(table.LoadLevel());
        EXPECT_EQ(table.PlaceCount(), c.places);
        EXPECT_EQ(table.Level().sName, c.name);
        EXPECT_EQ(table.Level().nDecksCount, c.decks);
    }
    CCardTable klondike(kKlondike, kModeStory, nullptr);
    ASSERT_TRUE(klondike.LoadLevel());
    const CPlace* column = klondike.GetPlace(6);
    EXPECT_EQ(column->type, kPlaceColumn);
    ASSERT_EQ(column->drop_req.size(), 3u);
    EXPECT_EQ(column->drop_req[1].a, 4);
    ASSERT_EQ(column->empty_drop_req.size(), 1u);
    EXPECT_EQ(column->empty_drop_req[0].a, 1);
    EXPECT_EQ(column->empty_drop_req[0].b, 12);
    EXPECT_EQ(klondike.GetPlace(0)->click_empty_limit, -1);
    EXPECT_EQ(klondike.GetPlace(12)->cards.size(), 2u);
    EXPECT_TRUE(klondike.Level().bAutoFinish);
    EXPECT_EQ(klondike.Scores().m_nScorePlaceToHouse, 10);
}

TEST(LevelFile, BonusListDropsEmptyTokensAndCombosParse)
{
    ScopedFakeEngine fake;
    LevelWriter w(fake.Get(), 9);
    w.Set("level_bonuses", "12,,7").Set("level_combos", "3:1,,9:2");
    CCardTable table(9, kModeStory, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    EXPECT_EQ(table.Level().vBonuses, (std::vector<int>{12, 7}));
    ASSERT_EQ(table.Level().vCombos.size(), 2u);
    EXPECT_EQ(table.Level().vCombos[1].a, 9);
    EXPECT_EQ(table.Level().vCombos[1].b, 2);
}

TEST(LevelFile, MissingSectionGivesAnEmptyTable)
{
    ScopedFakeEngine fake;
    CCardTable table(20, kModeStory, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    EXPECT_EQ(table.PlaceCount(), 0);
    EXPECT_TRUE(table.Level().sName.empty());
}

TEST(LevelFile, LevelsBeyondTheTableLimitsAreRejectedWithALogLine)
{
    struct Case { const char* decks; const char* suits; const char* places; const char* line; };
    const Case cases[] = {
        {"5", "15", "2", "[E] Level Solitaire11: 5 decks of 4 suits, at most 208 cards fit on the table"},
        {"17", "8", "2", "[E] Level Solitaire11: 17 decks of 1 suits, at most 208 cards fit on the table"},
        {"6", "7", "2", "[E] Level Solitaire11: 6 decks of 3 suits, at most 208 cards fit on the table"},
        {"2147483647", "15", "2", "[E] Level Solitaire11: 2147483647 decks of 4 suits, at most 208 cards fit on the table"},
        {"-1", "15", "2", "[E] Level Solitaire11: -1 decks of 4 suits, at most 208 cards fit on the table"},
        {"-1", "0", "2", "[E] Level Solitaire11: -1 decks of 0 suits, at most 208 cards fit on the table"},
        {"1", "15", "100000", "[E] Level Solitaire11: 100000 places, at most 256 fit on the table"},
        {"1", "15", "-3", "[E] Level Solitaire11: -3 places, at most 256 fit on the table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScopedFakeEngine fake;
        LevelWriter w(fake.Get(), 11);
        w.Set("level_decks_count", c.decks).Set("level_suits", c.suits).Set("level_place_count", c.places);
        CCardTable table(11, kModeStory, nullptr);
        EXPECT_FALSE(table.LoadLevel());
        EXPECT_TRUE(fake->HasLogLine(c.line));
        EXPECT_EQ(table.PlaceCount(), 0);
    }
}

TEST(LevelFile, TheCardCountNotTheDeckCountBoundsALevel)
{
    // Eight one-suit decks (a one-suit Spider) and four full decks are both 208 cards or fewer;
    // suit bits above the four suits make no cards.
    struct Case { const char* decks; const char* suits; };
    const Case cases[] = {{"8", "8"}, {"16", "1"}, {"5", "7"}, {"4", "15"}, {"8", "10"}, {"4", "255"}, {"0", "15"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.decks) + " decks, suit mask " + c.suits);
        ScopedFakeEngine fake;
        LevelWriter w(fake.Get(), 11);
        w.Set("level_decks_count", c.decks).Set("level_suits", c.suits).Set("level_place_count", "2");
        CCardTable table(11, kModeStory, nullptr);
        EXPECT_TRUE(table.LoadLevel());
        EXPECT_EQ(table.PlaceCount(), 2);
    }
}

TEST(LevelFile, ARestartRebuildsPlacesFromTheirFirstDefinition)
{
    ScopedFakeEngine fake;
    WriteKlondike(fake.Get());
    CCardTable table(kKlondike, kModeStory, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    table.GetPlace(0)->click_empty_limit = 0;
    table.GetPlace(6)->empty_drop_req.clear();
    fake->SetIni("sol_max.ini", "Solitaire0", "place0_click_empty_limit", "5");  // not read again
    ASSERT_TRUE(table.LoadLevel());
    EXPECT_EQ(table.GetPlace(0)->click_empty_limit, -1);
    EXPECT_EQ(table.GetPlace(6)->empty_drop_req.size(), 1u);
}

TEST(LevelFile, HostileTokensNeverLayMissingOrDoubledCards)
{
    ScopedFakeEngine fake;
    LevelWriter w(fake.Get(), 12);
    WriteCommon(w, "Hostile", 1, 4);
    w.Place(0, {{"type", "3"}, {"cards", "-1:40:1,-1:40:0,-1:2147483647:1"}});        // more than the pool
    w.Place(1, {{"type", "3"}, {"cards", "0:3:1,0:3:1,99:0:1,-7:-9:0,::,:"}});          // doubled and impossible cards
    w.Place(2, {{"type", "0"}, {"empty_drop_req", "1:-1:99:1"}});                        // a place number out of range
    w.Place(3, {{"type", "3"}, {"empty_drop_req", "1:-1:-50:1"}, {"pick_req", "2:-8:0,2:1000:1"}});
    CCardTable table(12, kModeStory, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    CDeck deck;
    MakeCards(deck, 1);
    table.DealCards(deck, 5);
    EXPECT_TRUE(EveryCardOnceOrInDeck(table, deck));
    EXPECT_EQ(table.GetPlace(0)->Size() + table.GetPlace(1)->Size() + table.GetPlace(2)->Size() +
                  table.GetPlace(3)->Size() + static_cast<int>(deck.Available()),
              52);
    EXPECT_FALSE(table.GetMoveFinder()->CanPick(3, 0));
}

TEST_F(LevelFileOnDisk, ValuesOutOfRangeAreLoggedWithTheirKeyAndReplaced)
{
    WriteFile("sol_max.ini", "[Solitaire0]\nlevel_zoom=1e30\nlevel_decks_count=1\nlevel_suits=15\nlevel_place_count=2\n"
          "level_v_offset_visible=2147483647\nlevel_h_offset_hidden=-5\n"
          "place0_x=2147483647\nplace0_y=100\nplace0_rotate=nan\nplace0_v_offset=1e30\nplace0_type=3\n"
          "place0_cards=-1:10:1\n"
          "place1_x=300\nplace1_y=-700\nplace1_h_offset=-inf\nplace1_max_bottom_pos=-1\nplace1_type=3\n"
          "place1_cards=-1:10:1\n");
    CCardTable table(0, 0, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    EXPECT_EQ(LogLinesStartingWith("[W] "), (std::vector<std::string>{
        "[W] Level Solitaire0: level_zoom = 1e+30 is out of range 0..4, 1 used",
        "[W] Level Solitaire0: level_v_offset_visible = 2147483647 is out of range -300..300, 0 used",
        "[W] Level Solitaire0: place0_x = 2147483647 is out of range -800..1600, 0 used",
        "[W] Level Solitaire0: place0_rotate = nan is out of range -6.2832..6.2832, 0 used",
        "[W] Level Solitaire0: place0_v_offset = 1e+30 is out of range -10..10, 0 used",
        "[W] Level Solitaire0: place1_y = -700 is out of range -600..1200, 0 used",
        "[W] Level Solitaire0: place1_h_offset = -inf is out of range -10..10, 0 used",
        "[W] Level Solitaire0: place1_max_bottom_pos = -1 is out of range 0..1200, 0 used"}));
    EXPECT_EQ(table.Level().fZoom, 1.0f);
    EXPECT_EQ(table.Level().nVOffsetVisible, 0);
    EXPECT_EQ(table.Level().nHOffsetHidden, -5);
    EXPECT_EQ(table.GetPlace(0)->x, 0);
    EXPECT_EQ(table.GetPlace(0)->y, 100);
    EXPECT_EQ(table.GetPlace(0)->rotate, 0.0f);
    EXPECT_EQ(table.GetPlace(1)->h_offset, 0.0f);
    // What the values feed: the deal, the fan layout, flights and drawing.
    table.SetCardSize(70, 100);
    CDeck deck;
    MakeCards(deck, 1);
    table.DealCards(deck, 0);
    for (int frame = 0; frame < 30; ++frame)
        table.Update(0.05f);
    table.Render();
    EXPECT_TRUE(EveryCardOnceOrInDeck(table, deck));
}

TEST_F(LevelFileOnDisk, WhatTheLoaderCannotUseIsLoggedOncePerSection)
{
    WriteFile("sol_max.ini", "[Solitaire0]\nlevel_zom=1\nlevel_decks_count=1\nlevel_suits=15\nlevel_place_count=3\n"
          "level_combos=3:1,3:x\n"
          "place0_x=100\nplace0_type=3\nplace0_cards=-1:40:1\nplace0_drop_reg=4\n"
          "place0_drop_req=4,1::2,1:2:3:4:5\n"
          "place1_x=200\nplace1_cards=-1:20:1,99999999999\nPLACE1_Pick_Req=0\n"
          "place5_x=1\nplace01_y=2\n"
          "[Solitaire1]\nlevel_decks_count=1\nlevel_suits=15\nlevel_place_count=1\nplace0_x=10\n"
          "place0_cards=-1:52:1\n");
    CCardTable table(0, 0, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    const std::vector<std::string> expected = {
        "[W] Level Solitaire0: requirements that do not parse: level_combos \"3:x\", "
        "place0_drop_req \"1::2\", place0_drop_req \"1:2:3:4:5\", place1_cards \"99999999999\"",
        "[W] Level Solitaire0: unknown keys: level_zom, place0_drop_reg, place5_x, place01_y",
        "[W] Level Solitaire0: places missing: 2",
        "[W] Level Solitaire0: the deal asks for 61 cards, the 1 decks hold 52"};
    EXPECT_EQ(LogLinesStartingWith("[W] "), expected);
    ASSERT_TRUE(table.LoadLevel());  // a restart reads nothing again
    EXPECT_EQ(LogLinesStartingWith("[W] "), expected);
    CCardTable clean(1, 0, nullptr);
    ASSERT_TRUE(clean.LoadLevel());
    EXPECT_EQ(LogLinesStartingWith("[W] "), expected);
}
