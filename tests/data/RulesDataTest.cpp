// RulesDataTest.cpp: the bundled data set has every effect and text that the rules panel looks
// up, for every level section and combo message, and every window the tutorials name, and loads
// them without an error or warning; every link in a rules text lights places its level has, a
// count of cards it gives is the level's, a table laid out in rows is told of rows, and the move
// lamp's windows speak of free cells exactly on the tables that have them.
#include "app/CIniFile.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFResource.h"
#include "support/HeadlessEngine.h"
#include "table/CHelpDesk.h"
#include "table/CMoveIndicator.h"
#include "table/PlaceDef.h"

#include <gtest/gtest.h>

#include <bitset>
#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <fstream>
#include <set>
#include <memory>
#include <string>
#include <vector>

namespace {

class RulesDataTest : public BundledDataTest {
protected:
    void SetUp() override
    {
        BundledDataTest::SetUp();
        if (HasFatalFailure())
            return;
        m_pGroup = std::make_unique<CFAnimationGroup>();  // after the engine: it takes a reference
        m_pResource = std::make_unique<CFResource>("effects/effects.as");
        ASSERT_TRUE(m_pResource->LoadModule("rules", -1));
        ASSERT_TRUE(m_pResource->LoadModule("interface", -1));
    }

    void TearDown() override
    {
        g_pResource = nullptr;
        m_pResource.reset();
        m_pGroup.reset();
        BundledDataTest::TearDown();
    }

    bool Loads(const std::string& effect, const char* module = "rules")
    {
        CFAnimationInstance instance(m_pGroup.get(), 400, 300);
        return instance.LoadEffect(m_pResource.get(), module, effect.c_str());
    }

    // The link numbers of the text's @bNN markers.
    static std::vector<int> Links(const std::wstring& text)
    {
        std::vector<int> links;
        for (std::size_t at = text.find(L"@b"); at != std::wstring::npos; at = text.find(L"@b", at + 1))
            links.push_back(std::wcstol(text.substr(at + 2, 2).c_str(), nullptr, 10));
        return links;
    }

    // The numbers written just before " cards" in the text.
    static std::vector<int> CardCounts(const std::wstring& text)
    {
        std::vector<int> counts;
        for (std::size_t at = text.find(L" cards"); at != std::wstring::npos; at = text.find(L" cards", at + 1)) {
            std::size_t digits = at;
            while (digits > 0 && std::iswdigit(text[digits - 1]))
                --digits;
            if (digits < at)
                counts.push_back(std::wcstol(text.substr(digits, at - digits).c_str(), nullptr, 10));
        }
        return counts;
    }

    std::unique_ptr<CFAnimationGroup> m_pGroup;
    std::unique_ptr<CFResource> m_pResource;
};

}  // namespace

TEST_F(RulesDataTest, EveryLevelSectionHasItsSlideWithTheRulesButtonAndBothRulesTexts)
{
    ASSERT_TRUE(m_pResource->LoadModule("Move_Indicator_wind", -1));
    g_pResource = m_pResource.get();  // where the lamp's windows take their words
    CIniFile levels("sol_max.ini");
    for (int section = 0; section < 35; ++section) {
        SCOPED_TRACE(section);
        std::set<int> types;  // of the section's places, which its rules' links light
        bool rows = false;    // its columns fan out sideways, and its rules call them rows
        levels.SetSection(("Solitaire" + std::to_string(section)).c_str());
        for (int p = 0; p < levels.GetInt("level_place_count"); ++p) {
            const std::string place = "place" + std::to_string(p);
            const int type = levels.GetInt((place + "_type").c_str());
            types.insert(type);
            if (type == kPlaceColumn)
                rows = levels.GetFloat((place + "_h_offset").c_str()) != 0.0f;
        }
        const int cards = 13 * levels.GetInt("level_decks_count") *
                          static_cast<int>(std::bitset<4>(static_cast<unsigned>(levels.GetInt("level_suits"))).count());
        const bool freeCells = types.count(kPlaceFreeCell) != 0;
        for (int kind : {CMoveIndicator::kWindowFirst, CMoveIndicator::kWindowSecond}) {
            CMoveIndicator::PrepareWindowText(kind, freeCells);
            const wchar_t* words = m_pResource->GetText(kind == CMoveIndicator::kWindowFirst ? "move_lamp_again_text" : "move_lamp_text");
            ASSERT_NE(words, nullptr);
            EXPECT_EQ(std::wcsstr(words, L"free cell") != nullptr, freeCells) << "the lamp's window " << kind;
        }
        CFAnimationInstance slide(m_pGroup.get(), 400, 300);
        ASSERT_TRUE(slide.LoadEffect(m_pResource.get(), "rules", CHelpDesk::SlideEffectName(section).c_str()));
        EXPECT_NE(slide.FindPart(0, "window_rul.#0.window_rules.#0.bt_rules.all"), nullptr);
        for (bool big : {false, true}) {
            const std::string name = CHelpDesk::RulesEffectName(section, big);
            EXPECT_TRUE(Loads(name)) << name;
            const wchar_t* text = m_pResource->GetText(name.c_str());
            ASSERT_NE(text, nullptr) << name;
            EXPECT_GT(std::wcslen(text), 10u) << name;
            for (int link : Links(text))
                EXPECT_TRUE(types.count(link - 1) != 0 || (link == 1 && types.count(6) != 0))  // 6: second houses
                    << name << " links to " << link << ", a place type the level does not have";
            for (int count : CardCounts(text))
                EXPECT_EQ(count, cards) << name;
            EXPECT_EQ(std::wcsstr(text, rows ? L"column" : L"@b04row"), nullptr)
                << name << (rows ? " speaks of columns on a table of rows" : " speaks of rows on a table of columns");
        }
    }
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

TEST_F(RulesDataTest, EveryComboMessageAndTheButtonsExist)
{
    for (int category = 0; category < 4; ++category) {
        for (int chain = 1; chain <= 6; ++chain) {
            const std::string name = CHelpDesk::ComboEffectName(category, chain);
            SCOPED_TRACE(name);
            EXPECT_TRUE(Loads(name));
            const wchar_t* text = m_pResource->GetText(name.c_str());
            ASSERT_NE(text, nullptr);
            EXPECT_GT(std::wcslen(text), 0u);
        }
    }
    CFAnimationInstance learn(m_pGroup.get(), 400, 300);
    ASSERT_TRUE(learn.LoadEffect(m_pResource.get(), "rules", "bt_learn"));
    EXPECT_NE(learn.FindPart(0, "but_light.all"), nullptr);
    EXPECT_TRUE(Loads("text_rules"));
    EXPECT_TRUE(Loads("snd_button", "interface"));
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}

// The windows named in the lessons of the tutorials (data/learn/lessons.txt, "name | kind | N").
std::set<int> LessonWindows()
{
    std::set<int> windows;
    const char* source = std::getenv("SOL_SOURCE_DIR");
    std::ifstream in(std::string(source != nullptr ? source : ".") + "/data/learn/lessons.txt");
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t bar = line.rfind('|');
        if (!line.empty() && line[0] != '#' && bar != std::string::npos)
            windows.insert(std::atoi(line.c_str() + bar + 1));
    }
    return windows;
}

TEST_F(RulesDataTest, EveryTutorialWindowHasItsTextAndAnOkButton)
{
    ASSERT_TRUE(m_pResource->LoadModule("learn", -1));
    const std::set<int> windows = LessonWindows();
    ASSERT_GT(windows.size(), 30u);
    for (int n : windows) {
        const std::string name = "tip_" + std::to_string(n);
        SCOPED_TRACE(name);
        CFAnimationInstance window(m_pGroup.get(), 400, 300);
        ASSERT_TRUE(window.LoadEffect(m_pResource.get(), "learn", name.c_str()));
        EXPECT_NE(window.FindPart(0, "bt_ok.all"), nullptr);  // where the tutorial looks for it
        const wchar_t* text = m_pResource->GetText(name.c_str());
        ASSERT_NE(text, nullptr);
        EXPECT_GT(std::wcslen(text), 10u);
    }
    CFAnimationInstance banner(m_pGroup.get(), 400, 300);
    EXPECT_TRUE(banner.LoadEffect(m_pResource.get(), "learn", "tutorial_mode"));
    EXPECT_EQ(ProblemLines(), std::vector<std::string>());
}
