// test-labels: untrusted
// LevelFileTest.cpp: reading level sections, rejecting levels the table cannot hold, and dealing.
#include "TableTestSupport.h"

#include "framework/ResourceTestRoot.h"
#include "support/BoundedRun.h"
#include "support/FileIniEngine.h"
#include "support/LoadAllowance.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

using namespace tabletest;

// The level file as a file on disk, read by the engine's own INI reader.
using LevelFileOnDisk = EngineTestRoot<FileIniEngine>;

namespace {
std::vector<std::string> LevelErrors(const FakeEngine& engine)
{
    std::vector<std::string> lines;
    for (const std::string& line : engine.logLines)
        if (line.rfind("[E] Level ", 0) == 0)
            lines.push_back(line);
    return lines;
}
}  // namespace

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

TEST(LevelFile, BrokenSectionsAreLoggedByNameAndNeverWon)
{
    // Missing, refused, without places, without a win condition (a rule of a kind the table does
    // not know is none): every place passes such a level's win test at once.
    struct Case { int level; const char* decks; const char* places; const char* win; const char* line; };
    const Case cases[] = {
        {20, nullptr, nullptr, nullptr, "[E] Level Solitaire20: no such section in sol_max.ini"},
        {11, "5", "2", "0:0", "[E] Level Solitaire11: 5 decks of 4 suits, at most 208 cards fit on the table"},
        {11, "1", "0", nullptr, "[E] Level Solitaire11: no places, the level cannot be played"},
        {11, "1", "2", nullptr, "[E] Level Solitaire11: no place has a win condition, the level cannot be played"},
        {11, "1", "2", "7:1", "[E] Level Solitaire11: no place has a win condition, the level cannot be played"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        ScopedFakeEngine fake;
        LevelWriter w(fake.Get(), 11);
        if (c.decks != nullptr)
            w.Set("level_decks_count", c.decks).Set("level_suits", "15").Set("level_place_count", c.places);
        if (c.win != nullptr)
            w.Place(1, {{"win_cond", c.win}});
        RecordingHost host;
        CCardTable table(c.level, kModeStory, &host);
        (void)table.LoadLevel();
        EXPECT_FALSE(table.CheckPlayable());
        EXPECT_EQ(LevelErrors(fake.Get()), std::vector<std::string>{c.line});
        EXPECT_TRUE(table.PassesWinConditions());
        table.CheckLevelComplete();
        EXPECT_FALSE(table.IsWon());
        EXPECT_EQ(host.wins, 0);
    }
    ScopedFakeEngine fake;
    WriteKlondike(fake.Get());
    CCardTable klondike(kKlondike, kModeStory, nullptr);
    ASSERT_TRUE(klondike.LoadLevel());
    EXPECT_TRUE(klondike.CheckPlayable());
    EXPECT_TRUE(LevelErrors(fake.Get()).empty());
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
    // Each bad number is told once, when the level is read.
    for (const char* line : {"[W] Level Solitaire12 place 1: card 99:0:1 is no card, left out",
                             "[W] Level Solitaire12 place 1: card -7:-9:0 is no card, left out",
                             "[W] Level Solitaire12 place 2: empty_drop_req names place 99, which is not on the table",
                             "[W] Level Solitaire12 place 3: empty_drop_req names place -50, which is not on the table",
                             "[W] Level Solitaire12 place 3: pick_req names place -8, which is not on the table",
                             "[W] Level Solitaire12 place 3: pick_req names place 1000, which is not on the table"})
        EXPECT_TRUE(fake->HasLogLine(line)) << line;
    EXPECT_EQ(table.GetPlace(1)->cards.size(), 4u);  // the two impossible cards are left out
}

// A number is the one the value starts with, as the engine reads it ("1x" is 1, "0x40" is 0, "1e9"
// is 1), told when text follows it; one outside its key's range, or a value without a number (an
// empty one too), is told and replaced.
TEST_F(LevelFileOnDisk, ValuesOutOfRangeAreLoggedWithTheirKeyAndReplaced)
{
    WriteFile("sol_max.ini", "[Solitaire0]\nlevel_zoom=1e30\nlevel_difficulty=1x\nlevel_decks_count=1\nlevel_suits=15\n"
          "level_place_count=2\nlevel_v_offset_visible=2147483647\nlevel_h_offset_hidden=-5\nlevel_autofinish=yes\n"
          "level_skill=5000x\nlevel_chance=7 ;note\nlevel_v_offset_hidden=-12.9\n"
          "level_bonuses=3, 12abc ,99,-1,,24\nbar_length=0x40\nbar_combo_1=-10001\nscore_open_card=2147483647\n"
          "score_place_to_house=1e9\nscore_combo_2=99999999999999999999\nscore_undo=-100000\nscore_level_inc=\n"
          "place0_x=2147483647\nplace0_y=100\nplace0_rotate=nan\nplace0_v_offset=1e30\nplace0_type=3\n"
          "place0_cards=-1:10:1\nplace0_rank=-3\nplace0_click_empty_limit=1001\n"
          "place1_x=300\nplace1_y=-700\nplace1_rotate=0.5rad\nplace1_h_offset=-inf\nplace1_v_offset=0x1p3\n"
          "place1_visible=1 \nplace1_max_bottom_pos=-1\nplace1_click_empty_limit=-1\nplace1_type=\n"
          "place1_cards=-1:10:1\n");
    CCardTable table(0, 0, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    EXPECT_EQ(LogLinesStartingWith("[W] "), (std::vector<std::string>{
        "[W] Level Solitaire0: level_zoom = 1e+30 is out of range 0..4, 1 used",
        "[W] Level Solitaire0: level_difficulty = \"1x\" is not a whole number, 1 used",
        "[W] Level Solitaire0: level_skill = 5000x is out of range 0..100, 0 used",
        "[W] Level Solitaire0: level_chance = \"7 ;note\" is not a whole number, 7 used",
        "[W] Level Solitaire0: level_v_offset_visible = 2147483647 is out of range -300..300, 0 used",
        "[W] Level Solitaire0: level_v_offset_hidden = \"-12.9\" is not a whole number, -12 used",
        "[W] Level Solitaire0: level_autofinish = \"yes\" is not a whole number, 0 used",
        "[W] Level Solitaire0: level_bonuses = \"12abc\" is not a whole number, 12 used",
        "[W] Level Solitaire0: level_bonuses = 99 is out of range -1..24, -1 used",
        "[W] Level Solitaire0: bar_length = \"0x40\" is not a whole number, 0 used",
        "[W] Level Solitaire0: bar_combo_1 = -10001 is out of range -10000..10000, 0 used",
        "[W] Level Solitaire0: score_place_to_house = \"1e9\" is not a whole number, 1 used",
        "[W] Level Solitaire0: score_open_card = 2147483647 is out of range -100000..100000, 0 used",
        "[W] Level Solitaire0: score_combo_2 = 99999999999999999999 is out of range -100000..100000, 0 used",
        "[W] Level Solitaire0: score_level_inc = \"\" is not a whole number, 0 used",
        "[W] Level Solitaire0: place0_x = 2147483647 is out of range -800..1600, 0 used",
        "[W] Level Solitaire0: place0_rotate = nan is out of range -6.2832..6.2832, 0 used",
        "[W] Level Solitaire0: place0_v_offset = 1e+30 is out of range -10..10, 0 used",
        "[W] Level Solitaire0: place0_rank = -3 is out of range 0..255, 0 used",
        "[W] Level Solitaire0: place0_click_empty_limit = 1001 is out of range -1..1000, 0 used",
        "[W] Level Solitaire0: place1_y = -700 is out of range -600..1200, 0 used",
        "[W] Level Solitaire0: place1_rotate = \"0.5rad\" is not a number, 0.5 used",
        "[W] Level Solitaire0: place1_h_offset = -inf is out of range -10..10, 0 used",
        "[W] Level Solitaire0: place1_v_offset = \"0x1p3\" is not a number, 0 used",
        "[W] Level Solitaire0: place1_max_bottom_pos = -1 is out of range 0..1200, 0 used",
        "[W] Level Solitaire0: place1_type = \"\" is not a whole number, 0 used"}));
    EXPECT_EQ(table.Level().nDifficulty, 1);
    EXPECT_EQ(table.Level().nSkill, 0);
    EXPECT_EQ(table.Level().nChance, 7);
    EXPECT_EQ(table.Level().nVOffsetHidden, -12);
    EXPECT_EQ(table.Scores().m_nScorePlaceToHouse, 1);
    EXPECT_EQ(table.GetPlace(1)->rotate, 0.5f);
    EXPECT_EQ(table.GetPlace(1)->v_offset, 0.0f);
    EXPECT_FALSE(table.Level().bAutoFinish);
    EXPECT_EQ(table.Level().vBonuses, (std::vector<int>{3, 12, -1, -1, 24}));
    EXPECT_EQ(table.Gauges().m_nBarLength, 0);
    EXPECT_EQ(table.Scores().m_nScoreOpenCard, 0);
    EXPECT_EQ(table.Scores().m_nScoreUndo, -100000);
    EXPECT_TRUE(table.GetPlace(1)->visible);
    EXPECT_EQ(table.GetPlace(1)->click_empty_limit, -1);
    EXPECT_EQ(table.GetPlace(1)->type, kPlaceHouse);
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
          "place0_cards=-1:52:1\n"
          "[ solitaire0 ]\nlevel_place_count=9\nlevel_zom=2\nplace2_y=5\n");
    CCardTable table(0, 0, nullptr);
    ASSERT_TRUE(table.LoadLevel());
    EXPECT_EQ(table.PlaceCount(), 3);  // the first section's value
    EXPECT_EQ(table.GetPlace(2)->y, 5);  // a key only the second one has
    const std::vector<std::string> expected = {
        "[W] Level Solitaire0: requirements that do not parse: level_combos \"3:x\", "
        "place0_drop_req \"1::2\", place0_drop_req \"1:2:3:4:5\", place1_cards \"99999999999\"",
        "[W] Level Solitaire0: the file has 2 sections of this name, read as one (the first value of each key wins)",
        "[W] Level Solitaire0: unknown keys: level_zom, place0_drop_reg, place5_x, place01_y",
        "[W] Level Solitaire0: the deal asks for 61 cards, the 1 decks hold 52"};
    EXPECT_EQ(LogLinesStartingWith("[W] "), expected);
    ASSERT_TRUE(table.LoadLevel());  // a restart reads nothing again
    EXPECT_EQ(LogLinesStartingWith("[W] "), expected);
    CCardTable clean(1, 0, nullptr);
    ASSERT_TRUE(clean.LoadLevel());
    EXPECT_EQ(LogLinesStartingWith("[W] "), expected);
}

// Any negative limit means no limit. Read as -1, it never reaches 0 however often the stock is
// gathered, and no value from the file brings the count near the end of the integer.
TEST_F(LevelFileOnDisk, AnyNegativeClickEmptyLimitReadsAsNoLimit)
{
    struct Case { const char* text; int limit; const char* line; };
    const Case cases[] = {
        {"-1", -1, nullptr},
        {"-2", -1, nullptr},
        {"-2147483648", -1, nullptr},
        {"-99999999999999999999", -1, nullptr},
        {"-3 ;any pass", -1, "place0_click_empty_limit = \"-3 ;any pass\" is not a whole number, -1 used"},
        {"0", 0, nullptr},
        {"1000", 1000, nullptr},
        {"2.5", 2, "place0_click_empty_limit = \"2.5\" is not a whole number, 2 used"},
        {"1001", 0, "place0_click_empty_limit = 1001 is out of range -1..1000, 0 used"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        m_fake->logLines.clear();
        WriteFile("sol_max.ini", std::string("[Solitaire0]\nlevel_decks_count=1\nlevel_suits=15\nlevel_place_count=1\n"
                                             "place0_type=1\nplace0_click_empty_limit=") + c.text + "\n");
        CCardTable table(0, 0, nullptr);
        ASSERT_TRUE(table.LoadLevel());
        EXPECT_EQ(table.GetPlace(0)->click_empty_limit, c.limit);
        const std::vector<std::string> warned = LogLinesStartingWith("[W] ");
        if (c.line == nullptr)
            EXPECT_TRUE(warned.empty()) << warned.front();
        else
            EXPECT_EQ(warned, std::vector<std::string>{std::string("[W] Level Solitaire0: ") + c.line});
    }
}

// The checks cost what the file holds: a section of 4N junk keys takes about four times as long
// as one of N, not sixteen. Each size is loaded in turn, several times, and the best of each in
// processor time counts, so that a busy machine does not decide.
TEST_F(LevelFileOnDisk, AnyLevelFileLoadsInTimeProportionalToItsSize)
{
    auto fileOf = [](int junkKeys) {
        std::string text = "[Solitaire0]\nlevel_decks_count=1\nlevel_suits=15\nlevel_place_count=1\nplace0_x=10\n";
        for (int i = 0; i < junkKeys; ++i)
            text += "junk_key_" + std::to_string(i) + "=1\n";
        return text;
    };
    auto load = [this](const std::string& text) {
        WriteFile("sol_max.ini", text);
        const double start = ThreadSeconds();
        CCardTable table(0, 0, nullptr);
        EXPECT_TRUE(table.LoadLevel());
        return ThreadSeconds() - start;
    };
    constexpr int kKeys = 25000;
    const std::string smallFile = fileOf(kKeys), largeFile = fileOf(4 * kKeys);
    double small = 1e9, large = 1e9;
    for (int run = 0; run < 5; ++run) {
        small = std::min(small, load(smallFile));
        large = std::min(large, load(largeFile));
    }
    // Linear gives 4, the old quadratic check 16.
    EXPECT_LT(large, 10 * small) << small << " s for " << kKeys << " keys, " << large << " s for four times as many";
    EXPECT_TRUE(m_fake->HasLogLine("[W] Level Solitaire0: unknown keys: junk_key_0, junk_key_1, junk_key_2, "
                                   "junk_key_3, junk_key_4, junk_key_5, junk_key_6, junk_key_7 and 99992 more"));
}

// What the reader holds of a file is the file and a few bytes a key line: unknown keys are counted
// and told, not kept, a list keeps its first items and a line quotes the start of a value. A file
// of a million junk keys (the reader once took 25 times its size) costs at most four times.
TEST_F(LevelFileOnDisk, AFileOfMillionsOfItemsTakesAtMostFourTimesItsSizeToRead)
{
#ifdef SOL_TEST_SANITIZED
    GTEST_SKIP() << "the sanitizers' own memory would be measured";
#endif
    {
        std::ofstream out(m_root + "/sol_max.ini", std::ios::binary);
        out << "[Solitaire0]\nlevel_decks_count=1\nlevel_suits=15\nlevel_place_count=1\nplace0_x=10\n";
        for (int i = 0; i < 800000; ++i)
            out << "junk_key_" << i << "=1\n";
        for (int i = 0; i < 400000; ++i)
            out << "junk_again=1\n";  // one key, written over and over
        out << "place0_drop_req=" << std::string(4000000, ',') << "1";
        for (int i = 0; i < 1000000; ++i)
            out << ",1";
        out << "\nlevel_difficulty=" << std::string(2000000, '7') << "\n";
    }
    const double fileMb = static_cast<double>(std::filesystem::file_size(m_root + "/sol_max.ini")) / (1 << 20);
    const RunCost cost = RunBounded([this] {
        CCardTable table(0, 0, nullptr);
        return table.LoadLevel() && table.GetPlace(0)->drop_req.size() == 256 &&
                       m_fake->HasLogLine("[W] Level Solitaire0: unknown keys: junk_key_0, junk_key_1, junk_key_2, "
                                          "junk_key_3, junk_key_4, junk_key_5, junk_key_6, junk_key_7 and 799993 more")
                   ? 0
                   : 1;
    });
    EXPECT_TRUE(cost.exited);
    EXPECT_EQ(cost.status, 0) << "loaded, 256 items of the list, every distinct junk key counted once";
    EXPECT_LT(cost.peakMb, 4 * fileMb) << "a file of " << fileMb << " MB";
}
