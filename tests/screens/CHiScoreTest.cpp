// CHiScoreTest.cpp: the high-score popup on the bundled data: it opens on the story table, the
// buttons switch tables, rows show names, grouped scores and numbers, and empty rows stay blank.
#include "screens/CHiScore.h"

#include "BundledDataRoot.h"
#include "app/TestScreens.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/StringUtils.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class CHiScoreTest : public BundledDataRoot {
protected:
    // "hiscores.dat" with default rows, except the story table's best row and an empty last row.
    void BeforeServices() override
    {
        std::string bytes;
        for (int entry = 0; entry < 20; ++entry) {
            char record[24] = {};
            record[0] = 1;
            const char* name = entry == 9 ? "" : "Player";
            std::memcpy(record + 8, name, std::strlen(name));
            if (entry == 0) {
                const std::int32_t score = 1234567;
                std::memcpy(record + 4, &score, 4);  // the test machine is little-endian, as the file
                std::memcpy(record + 8, "ANNA\0\0", 6);
            }
            bytes.append(record, sizeof record);
        }
        WriteDataFile("data/hiscores.dat", bytes);
    }

    std::string Text(const std::string& name) const { return NarrowString(g_pResource->GetText(name.c_str())); }

    ScreenLog m_log;
};

TEST_F(CHiScoreTest, OpensOnTheStoryTableAndTheButtonsSwitchTables)
{
    g_pHiScoreTable->AddScore(1, "BOB", 2, 5000);
    auto* top = new TestScreen(m_log, "top");
    g_pScreenManager->SwitchTo(top, true, true);
    Frames(40);
    auto* scores = CHiScore::Create();
    ASSERT_TRUE(CSlideInPopup::Attach(top, scores));
    Frames(50);
    EXPECT_EQ(scores->GetShownTable(), CHiScore::kStory);
    EXPECT_EQ(Text("HS_MODE"), Text("HS_MODE_0"));
    EXPECT_EQ(Text("HS_PLAYER1"), "ANNA");
    EXPECT_EQ(Text("HS_SCORE1"), "1,234,567");
    EXPECT_EQ(Text("highscores_n1"), "1.");
    EXPECT_EQ(Text("HS_PLAYER2"), "Player");  // a default row is not blank
    EXPECT_EQ(Text("HS_SCORE2"), "0");
    EXPECT_EQ(Text("highscores_n2"), "2.");
    EXPECT_EQ(Text("HS_SCORE10"), "");       // an empty name with no score is
    EXPECT_EQ(Text("highscores_n10"), "");
    EXPECT_TRUE(scores->GetBorder()->IsVisible());
    Screenshot("hiscores_story");

    Click(*scores->GetButton(CHiScore::kClassic));
    EXPECT_EQ(scores->GetShownTable(), CHiScore::kClassic);
    EXPECT_EQ(Text("HS_MODE"), Text("HS_MODE_1"));
    EXPECT_NE(Text("HS_MODE_0"), Text("HS_MODE_1"));
    EXPECT_EQ(Text("HS_PLAYER1"), "BOB");
    EXPECT_EQ(Text("HS_SCORE1"), "5,000");
    Screenshot("hiscores_classic");

    PressKey(kVkEscape);
    EXPECT_EQ(top->GetChild(), nullptr);
    Frames(1);
    EXPECT_TRUE(top->IsActive());
    ExpectNoProblems();
}

}  // namespace
