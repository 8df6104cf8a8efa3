// ScreensDataTest.cpp: the bundled data set has every effect, part path and text that the story
// map, the new-location window, the classic selection, the trophy room, the results of a won
// game and the table's dialogs look up, for every location, journey, rank and trophy, and its
// modules load without an error or warning.
#include "BundledDataRoot.h"
#include "app/CIniFile.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/StringUtils.h"
#include "progress/ProgressRules.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

class ScreensDataTest : public BundledDataRoot {
protected:
    void SetUp() override
    {
        BundledDataRoot::SetUp();
        m_pGroup = std::make_unique<CFAnimationGroup>();
    }

    void TearDown() override
    {
        m_pGroup.reset();
        BundledDataRoot::TearDown();
    }

    std::unique_ptr<CFAnimationInstance> Load(const char* module, const std::string& effect)
    {
        auto instance = std::make_unique<CFAnimationInstance>(m_pGroup.get(), 400, 300);
        EXPECT_TRUE(instance->LoadEffect(g_pResource, module, effect.c_str())) << module << " " << effect;
        return instance;
    }

    void ExpectEffects(const char* module, const std::vector<std::string>& effects)
    {
        for (const std::string& effect : effects)
            Load(module, effect);
    }

    // Every slot's button and state parts of the location bound under the map effect.
    void ExpectSlots(CFAnimationInstance& map, int keyLocation, int previous, int location)
    {
        for (int slot = 0; slot < progress::kSlots; ++slot) {
            const progress::SlotPaths paths = progress::MapSlotPaths(slot, keyLocation, previous, location);
            EXPECT_NE(map.FindPart(0, paths.button.c_str()), nullptr) << paths.button;
            EXPECT_NE(map.FindPart(0, paths.level.c_str()), nullptr) << paths.level;
        }
    }

    std::unique_ptr<CFAnimationGroup> m_pGroup;
};

}  // namespace

TEST_F(ScreensDataTest, StoryMapHasEverySlotOfEveryLocationAndJourney)
{
    ASSERT_TRUE(g_pResource->LoadModule("Story_Map_3", -1));
    for (int location = 0; location < 5; ++location) {
        SCOPED_TRACE(location);
        auto arrival = Load("Story_Map_3", progress::MapEffect(-1, location));
        ExpectSlots(*arrival, location, -1, location);
        for (int target = 0; target < 5; ++target) {
            if (target == location)
                continue;
            auto journey = Load("Story_Map_3", progress::MapEffect(location, target));
            ExpectSlots(*journey, location, location, target);  // bound as the journey starts
            ExpectSlots(*journey, target, location, target);    // and when it has ended
        }
        ExpectEffects("Story_Map_3", {"but_" + std::to_string(location + 1),
                                      "but_" + std::to_string(location + 1) + "_disabled"});
        ASSERT_NE(g_pResource->GetText(("location_name_" + std::to_string(location + 1)).c_str()), nullptr);
    }
    ExpectEffects("Story_Map_3", {"shturval", "select_solitaire", "window_0_shadow", "window_1_shadow", "shadow",
                                  "master_mode", "particles_top", "preview_pos", "border", "but_play", "but_back",
                                  "but_trophy", "but_play_light", "enter_level_2", "enter_bonus_2", "enter_hardcore_2"});
    auto window = Load("Story_Map_3", "window_preview");
    EXPECT_NE(window->FindPart(0, "Ranks_story.all"), nullptr);
    EXPECT_EQ(window->FindPart(0, "Ranks_story.all")->GetFrameCount(), 13);
    EXPECT_NE(g_pResource->GetText("preview_name"), nullptr);
    ExpectNoProblems();
}

TEST_F(ScreensDataTest, PreviewsNewLocationAndAnnouncementsLoad)
{
    ASSERT_TRUE(g_pResource->LoadModule("#previews", -1));
    for (int entry = 0; entry < 35; ++entry)
        Load("#previews", "level_" + std::to_string(entry));
    ASSERT_TRUE(g_pResource->LoadModule("new_location", -1));
    ExpectEffects("new_location", {"move_new_location", "bt_nloc_yes", "bt_nloc_no"});
    auto contents = Load("new_location", "move_new_location_p2");
    EXPECT_NE(contents->FindPart(0, "foto.all"), nullptr);
    EXPECT_NE(g_pResource->GetText("New location_name"), nullptr);
    ExpectNoProblems();
}

TEST_F(ScreensDataTest, ClassicEntriesNameTheLevelsTheyStart)
{
    ASSERT_TRUE(g_pResource->LoadModule("classic", -1));
    ExpectEffects("classic", {"classic", "preview_pos", "menu", "window_preview", "bt_arrow_up", "bt_arrow_down",
                              "bt_mainmenu"});
    CIniFile levels("sol_max.ini");
    for (int tag = 0; tag < progress::kClassicEntries; ++tag) {
        SCOPED_TRACE(tag);
        Load("classic", "l_" + std::to_string(tag + 1));
        levels.SetSection(("Solitaire" + std::to_string(progress::ClassicEntryNumber(tag))).c_str());
        const std::string name = levels.GetString("level_name");
        const wchar_t* label = g_pResource->GetText(("classic_entry_" + std::to_string(tag + 1)).c_str());
        ASSERT_NE(label, nullptr);
        ASSERT_FALSE(name.empty());
        EXPECT_NE(NarrowString(label).find(name), std::string::npos) << NarrowString(label) << " / " << name;
    }
    for (int location = 1; location <= 5; ++location)
        Load("classic", "foto_" + std::to_string(location));
    ExpectNoProblems();
}

TEST_F(ScreensDataTest, TrophyRoomHasEveryTrophyHintAndCount)
{
    ASSERT_TRUE(g_pResource->LoadModule("Trophy", -1));
    ExpectEffects("Trophy", {"Window", "medals", "bt_ok", "bt_left", "bt_right"});
    EXPECT_EQ(Load("Trophy", "Ranks")->GetFrameCount(), 13);
    for (int trophy = 1; trophy <= 10; ++trophy) {
        Load("Trophy", "Trophy_" + std::to_string(trophy));
        Load("Trophy", "hint_trophy_" + std::to_string(trophy));
        const wchar_t* hint = g_pResource->GetText(("hint_trophy_" + std::to_string(trophy)).c_str());
        ASSERT_NE(hint, nullptr);
        EXPECT_GT(std::wcslen(hint), 10u);
    }
    for (const char* text : {"golds_medals_count", "silver_medals_count", "bronze_medals_count", "game_complite_count"})
        EXPECT_NE(g_pResource->GetText(text), nullptr) << text;
    ExpectNoProblems();
}

TEST_F(ScreensDataTest, ResultsRanksTrophiesAndTheTablesDialogsHaveEveryPieceTheyLookUp)
{
    ExpectEffects("interface", {"move_in_statistic_story", "move_in_statistic_story_p2", "hints", "hints_light",
                                "award", "award_bronze", "award_silver", "award_gold", "bt_ok"});
    EXPECT_EQ(Load("interface", "rank")->GetFrameCount(), 101) << "one frame a percent";
    EXPECT_GE(Load("interface", "hints_light")->GetFrameCount(), 7);
    for (int rank = 1; rank <= 13; ++rank) {
        Load("interface", "rank_" + std::to_string(rank));
        const wchar_t* name = g_pResource->GetText(("rankname" + std::to_string(rank)).c_str());
        ASSERT_NE(name, nullptr) << rank;
        EXPECT_GT(std::wcslen(name), 2u);
    }
    ExpectEffects("bonus_statistic", {"move_bonus_statistics", "move_bonus_statistics2", "move_bonus_statistics2_p2",
                                      "award", "bt_ok"});
    auto goals = Load("bonus_statistic", "move_bonus_statistics_p2");
    EXPECT_NE(goals->FindPart(0, "main_1.award"), nullptr);
    ExpectEffects("classic", {"move_classic_statistics", "move_classic_statistics_p2", "bt_ok_stat",
                              "use_bonuses_wind", "bt_yes", "bt_no"});
    ExpectEffects("new_rank", {"move_new_rank", "bt_ok"});
    auto rankShadow = Load("new_rank", "move_new_rank_p2");
    CFAnimationInstance* emblem = rankShadow->FindPart(0, "Ranks.all");
    ASSERT_NE(emblem, nullptr);
    EXPECT_EQ(emblem->GetFrameCount(), 13);
    EXPECT_NE(Load("new_trophy", "move_new_trophy_p2")->FindPart(0, "bt_ok.all"), nullptr);
    for (int trophy = 1; trophy <= 10; ++trophy)
        Load("new_trophy", "trophy_" + std::to_string(trophy));
    ExpectEffects("No_more_moves", {"no_more_moves1", "no_more_moves1_p2", "no_more_moves2", "no_more_moves2_p2",
                                    "bt_ok"});
    ExpectEffects("Tutorial", {"main", "bt_ok"});
    for (const char* text : {"bonus_statistic2_time_template", "bonus_statistic2_time_score_template"}) {
        const wchar_t* found = g_pResource->GetText(text);
        ASSERT_NE(found, nullptr) << text;
        EXPECT_NE(std::wstring(found).find(L'%'), std::wstring::npos) << text << ": the number's place";
    }
    for (const char* file : {"sfx/sounds/game_scores.ogg", "gfx/particles/score_count.psi",
                             "gfx/particles/bonus_from_card.psi"})
        EXPECT_TRUE(std::filesystem::exists(m_root + "/" + file)) << file;
    ExpectNoProblems();
}
