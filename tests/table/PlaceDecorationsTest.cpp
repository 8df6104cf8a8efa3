// test-cost: 20
// PlaceDecorationsTest.cpp: what the places show on the game screen: the passes left, the base
// rank, the fire and the pick sparkles, and every bundled level drawn with its places, rules and links.
#include "GameProcessTestRoot.h"

TEST_F(CGameProcessTest, PlacesShowThePassesLeftTheirBaseRankAndAFireThatBurnsOut)
{
    Start(0, kModeStory, -1);  // Klondike
    SettleHurried();
    CPlace& stock = *Table().FirstPlaceOfType(kPlaceDeck);
    ASSERT_NE(stock.GetCountAnim(), nullptr);
    const struct { int limit, frame; } counts[] = {{-5, 0}, {-1, 0}, {0, 1}, {3, 4}, {19, 20}, {25, 20}};
    for (const auto& c : counts) {
        SCOPED_TRACE("limit " + std::to_string(c.limit));
        stock.click_empty_limit = c.limit;
        Frames(2);  // the badge takes its frame in the next step of its group
        EXPECT_TRUE(stock.GetCountAnim()->IsVisible());
        EXPECT_EQ(stock.GetCountAnim()->GetCurrentFrame(), c.frame);
    }
    CPlace& house = *Table().FirstPlaceOfType(kPlaceHouse);
    CPlace& column = *Table().FirstPlaceOfType(kPlaceColumn);
    EXPECT_EQ(column.GetCountAnim(), nullptr);
    EXPECT_EQ(house.iRankMat, 0);
    EXPECT_EQ(house.GetFrameAnim()->GetCurrentFrame(), 1);  // "place_0": the ace
    EXPECT_EQ(column.GetFrameAnim()->GetCurrentFrame(), column.iRankMat + 1);

    g_pProfileStore->m_bHighDetail = 0;
    house.HighlightType(kPlaceHouse);  // an empty place is not lit by its type
    EXPECT_FALSE(house.GetFireAnim()->IsVisible());
    const float seconds = Game().ShowPlaceFire(kPlaceHouse);
    EXPECT_FLOAT_EQ(seconds, 1.8f);
    EXPECT_TRUE(house.GetFireAnim()->IsVisible());
    EXPECT_FALSE(column.GetFireAnim()->IsVisible());
    Frames(30);
    if (const char* dir = std::getenv("SOL_SCREENSHOT_DIR"); dir != nullptr && *dir != '\0') {
        EXPECT_TRUE(m_pEngine->SaveScreenshot((std::string(dir) + "/fire.png").c_str()));
    }
    Frames(static_cast<int>(seconds * 60.0f) - 25);
    EXPECT_FALSE(house.GetFireAnim()->IsVisible());
    column.HighlightType(kPlaceColumn);
    EXPECT_TRUE(column.GetFireAnim()->IsVisible());
    column.StopFire();
    EXPECT_FALSE(column.GetFireAnim()->IsVisible());

    g_pProfileStore->m_bHighDetail = 1;
    Game().ShowPlaceFire(kPlaceColumn);
    ASSERT_NE(column.GetPathEffects(), nullptr);
    EXPECT_FALSE(column.GetFireAnim()->IsVisible());
    Frames(10);
    EXPECT_GT(column.GetPathEffects()->GetCount(), 0);
    Game().ShowPlaceFire(kPlaceHouse);  // the columns' sparkles go out
    Frames(2);
    EXPECT_EQ(column.GetPathEffects()->GetCount(), 0);
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

// Lifted cards trail sparkles until they are let go; a run taken by the take-cards bonus spends
// the bonus only when it is dropped: counted as a taken run, disarmed, its gauge emptied, its sparkles gone.
TEST_F(CGameProcessTest, LiftedCardsSparkleAndATakenRunSpendsItsBonusWhenDropped)
{
    MoveRecord drag;
    ASSERT_TRUE(StartWithColumnDrag(drag));
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    CardCentre(drag.fromPlace, drag.fromCard, x1, y1);
    ASSERT_TRUE(EngineQueueInput("1 move " + std::to_string(x1) + " " + std::to_string(y1) + "\n2 down 1\n"));
    Frames(4);
    ASSERT_TRUE(Table().IsHolding());
    EXPECT_GT(Game().GetMouseMove()->GetCount(), 0);
    // Let go over no place (over its own place a quick release counts as a double click).
    ASSERT_TRUE(EngineQueueInput("1 move 400 500\n3 up 1\n"));
    Frames(30);
    EXPECT_EQ(Game().GetMouseMove()->GetCount(), 0);

    TableValues values = Table().SaveValues();
    values.level.vBonuses = {kActionTakeRun, 0, 12, 20, 24};
    Table().RestoreValues(values);
    CManaBar& bar = *Game().GetManaBar();
    Game().AddMana(bar.GetCapacity());
    bar.ShowTrueLevels();
    Frames(1);
    ASSERT_TRUE(Game().IsBonusButtonEnabled(0));
    EXPECT_GT(Game().GetBonusReady(0)->GetCount(), 0);
    const PlayerRecord& player = g_pProfileStore->m_current;
    const int used = player.m_nBonusesUsed, dropped = player.m_nTakenRunsDropped;
    ClickWithMouse(500, 32);
    ASSERT_EQ(Table().GetSpecialActions()->ArmedCode(), kActionTakeRun);
    CardCentre(drag.fromPlace, drag.fromCard, x1, y1);
    CardCentre(drag.toPlace, Table().GetPlace(drag.toPlace)->TopIndex(), x2, y2);
    DragWithMouse(x1, y1, x2, y2 + 10);
    Settle();
    EXPECT_EQ(player.m_nTakenRunsDropped, dropped + 1);
    EXPECT_EQ(player.m_nBonusesUsed, used) << "a taken run is counted apart from the bonuses used";
    EXPECT_EQ(Table().GetSpecialActions()->ArmedCode(), kActionNone);
    EXPECT_FALSE(Game().IsBonusButtonEnabled(0));
    EXPECT_EQ(bar.GetMana(0), 0);
    EXPECT_EQ(Game().GetBonusReady(0)->GetCount(), 0);
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

// Every bundled level as a player first sees it: dealt, each empty place framed, the rules line
// inside the view, a link of the rules lighting its places, and nothing missing from the data.
// SOL_SCREENSHOT_DIR keeps the pictures (level_<section>.png).
TEST_F(CGameProcessTest, EveryBundledLevelShowsItsPlacesAndRulesAndItsLinksLightThePlaces)
{
    struct Level { int level; unsigned mode; int extra; int section; };
    std::vector<Level> levels;
    for (int n = 0; n < 25; ++n)
        levels.push_back({n, kModeStory, -1, n});
    for (int loc = 0; loc < 5; ++loc) {
        levels.push_back({loc, kModeBonusLevel, loc, 25 + loc});
        levels.push_back({loc, kModeStory | kModeHardcore, -1, 30 + loc});
    }
    const char* dir = std::getenv("SOL_SCREENSHOT_DIR");
    CFFont* font = g_pResource->GetFont("font1");
    ASSERT_NE(font, nullptr);
    for (const Level& l : levels) {
        SCOPED_TRACE("section " + std::to_string(l.section));
        if (m_pGame != nullptr)
            m_pGame->Release();
        m_pGame = nullptr;
        Start(l.level, static_cast<int>(l.mode), l.extra);
        ASSERT_EQ(Game().GetLevelSection(), l.section);
        SettleHurried();
        if (dir != nullptr && *dir != '\0') {
            EXPECT_TRUE(m_pEngine->SaveScreenshot((std::string(dir) + "/level_" + std::to_string(l.section) + ".png").c_str()));
        }
        ExpectEmptyPlacesFramed();

        const std::string rules = "rules_" + std::to_string(l.section + 1) + "_short";
        ASSERT_NE(g_pResource->GetText(rules.c_str()), nullptr);
        EXPECT_LE(font->GetTextWidth(g_pResource->GetText(rules.c_str())), 760);
        CHelpDesk& desk = *Game().GetHelpDesk();
        for (int i = 0; i < desk.GetLinkAreaCount(); ++i) {
            const CFObject& link = *desk.GetLinkArea(i);
            EXPECT_GE(link.GetX(), 0.0f);
            EXPECT_LE(link.GetX() + link.GetWidth(), 800.0f);
        }
        if (desk.GetLinkAreaCount() == 0)
            continue;  // a rule that names no place
        const CFObject& link = *desk.GetLinkArea(0);
        const int type = link.GetTag() - 1;
        ClickWithMouse(static_cast<int>(link.GetX() + link.GetWidth() / 2), static_cast<int>(link.GetY() + 4));
        int lit = 0;
        for (int p = 0; p < Table().PlaceCount(); ++p) {
            const CPlace& place = *Table().GetPlace(p);
            const bool named = place.type == type || (type == kPlaceHouse && place.type == kPlaceSecondHouse);
            const bool burning = place.GetFireAnim()->IsVisible() ||
                                 (place.GetPathEffects() != nullptr && place.GetPathEffects()->GetPathCount() > 0);
            EXPECT_EQ(burning, named) << "place " << p;
            lit += burning ? 1 : 0;
        }
        EXPECT_GT(lit, 0);
        if (dir != nullptr && *dir != '\0') {
            Frames(20);
            EXPECT_TRUE(m_pEngine->SaveScreenshot((std::string(dir) + "/level_" + std::to_string(l.section) + "_link.png").c_str()));
        }
    }
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}
