// BundledLevelsTest.cpp: the bundled level file loads in every section and deals every card once.
#include "solvers/BundledLevels.h"

#include "platform/IniStore.h"
#include "table/LevelFileCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

using namespace levels;

namespace {

// The panel's top scroll takes the strip above this line.
constexpr int kViewTop = 50;

// Lowest bottom edge a card may reach at x: the bottom scroll and the bonus bar rise in the middle
// (the same bands that squeeze long fans).
int BottomLimit(int x)
{
    struct Band { int from, to, limit; };
    static const Band bands[] = {{122, 231, 567}, {287, 360, 522}, {360, 437, 504}, {437, 512, 522}, {512, 703, 556}};
    for (const Band& b : bands)
        if (x > b.from && x <= b.to)
            return b.limit;
    return 598;
}

class BundledLevels : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_file = ReadLevelFile(BundledPath(), m_bad);
        ASSERT_FALSE(m_file.empty()) << "no level file at " << BundledPath();
    }
    std::map<std::string, Section> m_file;
    std::vector<std::string> m_bad;
};

}  // namespace

TEST_F(BundledLevels, FileHoldsTheThirtyFiveSectionsWithKnownKeysOnly)
{
    EXPECT_TRUE(m_bad.empty()) << m_bad.front();
    EXPECT_EQ(m_file.size(), static_cast<std::size_t>(kSections));
    IniStore engineReader;  // the engine's own reading of the file must agree with ours
    engineReader.SetFile(BundledPath());
    for (int s = 0; s < kSections; ++s) {
        const std::string name = "Solitaire" + std::to_string(s);
        SCOPED_TRACE(name);
        const auto it = m_file.find(Lower(name));
        ASSERT_NE(it, m_file.end());
        const Section& section = it->second;
        ASSERT_NE(section.Find("level_place_count"), nullptr);
        const int places = std::atoi(section.Find("level_place_count")->c_str());
        std::set<std::string> seen;
        for (const auto& kv : section.keys) {
            EXPECT_TRUE(level_check::IsKnownKey(kv.first, places)) << "unknown key " << kv.first;
            EXPECT_TRUE(seen.insert(kv.first).second) << "key given twice " << kv.first;
            EXPECT_EQ(engineReader.GetString(name, kv.first, "?"), kv.second) << kv.first;
        }
        for (const char* key : level_check::kLevelKeys)
            EXPECT_NE(section.Find(key), nullptr) << "missing " << key;
        for (int p = 0; p < places; ++p) {
            EXPECT_NE(section.Find("place" + std::to_string(p) + "_x"), nullptr) << p;
            EXPECT_NE(section.Find("place" + std::to_string(p) + "_type"), nullptr) << p;
        }
        EXPECT_GT(std::atoi(section.Find("bar_bonus_length")->c_str()), 0);
        EXPECT_GT(std::atoi(section.Find("score_place_to_house")->c_str()), 0);
        EXPECT_FALSE(section.Find("level_combos")->empty());
        EXPECT_FALSE(section.Find("level_bonuses")->empty());
    }
}

TEST_F(BundledLevels, HardcoreLevelsAreHarderThanEveryStoryLevel)
{
    auto difficulty = [this](int s) {
        return std::atoi(m_file["solitaire" + std::to_string(s)].Find("level_difficulty")->c_str());
    };
    for (int s = 5; s < 25; ++s) {
        SCOPED_TRACE(s);
        EXPECT_GE(difficulty(s), difficulty(s - 5));  // each location at least as hard as the one before
    }
    for (int s = 30; s < 35; ++s)
        EXPECT_GT(difficulty(s), difficulty(24)) << s;
}

TEST_F(BundledLevels, EverySectionDealsEveryCardExactlyOnceWithSeveralSeeds)
{
    for (int s = 0; s < kSections; ++s) {
        for (std::uint32_t seed : {1u, 2u, 77u, 1234u, 99991u}) {
            SCOPED_TRACE("Solitaire" + std::to_string(s) + " seed " + std::to_string(seed));
            ScopedFakeEngine fake;
            DealtLevel game(fake.Get(), m_file, s, seed);
            ASSERT_TRUE(game.loaded);
            for (const std::string& line : fake->logLines)
                EXPECT_NE(line.rfind("[W] ", 0), 0u) << line;  // every value in range, every rule parses
            CCardTable& table = game.Table();
            EXPECT_EQ(table.PlaceCount(), table.Level().nPlaceCount);
            EXPECT_GT(game.Deck().Size(), 0u);
            EXPECT_EQ(game.Deck().Available(), 0u) << "cards left in the pool";
            std::map<const CCard*, int> seen;
            for (int p = 0; p < table.PlaceCount(); ++p)
                for (const CCard* c : table.GetPlace(p)->pile)
                    ++seen[c];
            EXPECT_EQ(seen.size(), game.Deck().Size());
            for (const auto& kv : seen)
                EXPECT_EQ(kv.second, 1) << kv.first->Rank << "/" << kv.first->Suit;
            for (const std::string& line : fake->logLines)  // every place and card the file names exists
                EXPECT_NE(line.rfind("[W] Level", 0), 0u) << line;
        }
    }
}

TEST_F(BundledLevels, EveryPlaceAndItsDealtFanLieInsideTheView)
{
    for (int s = 0; s < kSections; ++s) {
        ScopedFakeEngine fake;
        DealtLevel game(fake.Get(), m_file, s, 5);
        ASSERT_TRUE(game.loaded);
        CCardTable& table = game.Table();
        const int halfW = table.GetCardSize().m_nCardWidth / 2, halfH = table.GetCardSize().m_nCardHeight / 2;
        for (int p = 0; p < table.PlaceCount(); ++p) {
            SCOPED_TRACE("Solitaire" + std::to_string(s) + " place " + std::to_string(p));
            const CPlace* place = table.GetPlace(p);
            EXPECT_GE(place->x - halfW, 0);
            EXPECT_LE(place->x + halfW, 800);
            EXPECT_GE(place->y - halfH, kViewTop);
            EXPECT_LE(place->y + halfH, BottomLimit(place->x));
            int x = 0, y = 0;
            table.GetCardPosition(place, place->TopIndex(), nullptr, x, y);
            EXPECT_LE(x + halfW + 1, 800);  // ShiftX may move a card by one pixel
            EXPECT_LE(y + halfH, 600);
        }
    }
}
