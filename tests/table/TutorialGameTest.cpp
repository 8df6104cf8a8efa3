// TutorialGameTest.cpp: the tutorial bundled for every story and hardcore level loads completely
// and replays to its end in a headless game; each of its windows is shown and closed by the
// player (the first by a click on OK, the others by Enter), and the table is given back as it was.
#include "HeadlessGame.h"

#include "framework/CFButton.h"
#include "table/CAutoFinisher.h"
#include "table/CTracker.h"
#include "table/TutorialFile.h"

#include <fstream>
#include <iterator>

namespace {

constexpr int kKeyEnter = 13;
constexpr float kQuickFrame = 0.5f;  // the replay steps a second apart: quick frames keep it short

struct Level {
    int section;
    const char* name;
};

std::string LevelName(const ::testing::TestParamInfo<Level>& info)
{
    return "Solitaire" + std::to_string(info.param.section);
}

void PrintTo(const Level& level, std::ostream* out)
{
    *out << level.name;
}

class TutorialGameTest : public HeadlessGameTest, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override
    {
#ifndef SOL_TUTORIALS_RECORDED
        GTEST_SKIP() << "this build records no tutorials";
#endif
        HeadlessGameTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(g_pResource->LoadModule("learn", -1));  // as the loading screen does
    }

    // The windows of the bundled file: those the replay must show.
    int WindowsInFile(const std::string& name)
    {
        std::ifstream in(HostPath("data/learn/" + name + ".dat"), std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        TutorialRecord record;
        std::vector<TutorialMessageData> messages;
        TutorialDamage damage;
        std::string why;
        if (!tutorial_file::Read(bytes.data(), bytes.size(), Table().PlaceCount(), record, messages, damage, why))
            return -1;
        EXPECT_TRUE(damage.deals.empty() && damage.moves.empty()) << name;
        int windows = 0;
        for (const TutorialMessageData& m : messages)
            windows += m.effect.empty() ? 0 : 1;
        return windows;
    }

    // Closes the open window as a player would: a click on its OK button, or Enter.
    void CloseWindow(bool withMouse)
    {
        if (!withMouse) {
            PressKey(kKeyEnter);
            return;
        }
        const CFButton* ok = OpenOkButton();
        ASSERT_NE(ok, nullptr);
        const int x = static_cast<int>(ok->GetX() + ok->GetWidth() / 2);
        const int y = static_cast<int>(ok->GetY() + ok->GetHeight() / 2);
        ASSERT_TRUE(EngineQueueInput("1 move " + std::to_string(x) + " " + std::to_string(y) + "\n3 down 1\n5 up 1\n"));
        Frames(7);
    }

    const CFButton* OpenOkButton()
    {
        CTracker& tracker = *Game().GetTracker();
        for (int i = 0; i < tracker.MessageCount(); ++i) {
            const CFButton* button = tracker.GetOkButton(i);
            if (button != nullptr && button->IsVisible())
                return button;
        }
        return nullptr;
    }
};

TEST_P(TutorialGameTest, ReplaysToItsEndShowingEveryWindowAndGivesTheTableBack)
{
    const Level level = GetParam();
    StartSection(level.section);
    SettleQuickly(kQuickFrame);
    ASSERT_EQ(Table().Level().sName, level.name);
    const int expected = WindowsInFile(level.name);
    ASSERT_GT(expected, 1) << "no tutorial for " << level.name;
    std::vector<std::vector<CCard*>> before;
    for (int p = 0; p < Table().PlaceCount(); ++p)
        before.push_back(Table().GetPlace(p)->pile);

    Game().StartLearn();
    ASSERT_TRUE(Game().IsReplaying());
    CTracker& tracker = *Game().GetTracker();
    int shown = 0;
    bool endReached = false;
    for (int step = 0; step < 40000 && Game().IsReplaying(); ++step) {
        if (!tracker.IsMessageBusy()) {
            Advance(kQuickFrame);  // between windows only the game's clocks need to run
            continue;
        }
        Frames(1);  // the window drawn once
        int from = 0, to = 0, card = 0;
        endReached = tracker.ReadStep(from, to, card, false) < 0;  // no move left to play
        ++shown;
        if (shown == 1) {
            Frames(30);  // the window has faded in
            KeepScreenshot("tutorial_solitaire" + std::to_string(level.section));
        }
        CloseWindow(shown == 1);
        ASSERT_FALSE(tracker.IsMessageBusy()) << "window " << shown << " stays open";
        ASSERT_TRUE(Game().IsReplaying() || endReached) << "closing window " << shown << " stopped the replay";
    }
    EXPECT_FALSE(Game().IsReplaying());
    EXPECT_TRUE(endReached) << "the last window came before the last move";
    EXPECT_EQ(shown, expected);
    SettleQuickly(kQuickFrame);
    for (int p = 0; p < Table().PlaceCount(); ++p)
        EXPECT_EQ(Table().GetPlace(p)->pile, before[static_cast<std::size_t>(p)]) << "place " << p;
    EXPECT_FALSE(Table().GetAutoFinisher()->IsRunning());
    for (const std::string& line : ProblemLines())
        ADD_FAILURE() << line;
}

const Level kLevels[] = {
    {0, "Klondike"},           {1, "Golf"},
    {2, "Spiderette"},         {3, "FreeCell"},
    {4, "Pyramid"},            {5, "Klondike Draw Three"},
    {6, "Eight Off"},          {7, "Yukon"},
    {8, "Spider Easy"},        {9, "Gypsy"},
    {10, "Baker's Game"},      {11, "Beleaguered Castle"},
    {12, "Penguin"},           {13, "Canfield"},
    {14, "Seahaven Towers"},   {15, "Easthaven"},
    {16, "Scorpion"},          {17, "Russian Solitaire"},
    {18, "Spider Tarantula"},  {19, "Whitehead"},
    {20, "Alaska"},            {21, "Streets and Alleys"},
    {22, "Fortress"},          {23, "Miss Milligan"},
    {24, "Spider Black"},      {30, "Klondike Single Pass"},
    {31, "Pyramid Single Pass"}, {32, "Two-Cell FreeCell"},
    {33, "Spiderette Four Suits"}, {34, "Forty Thieves"},
};

INSTANTIATE_TEST_SUITE_P(BundledLevels, TutorialGameTest, ::testing::ValuesIn(kLevels), LevelName);

}  // namespace
