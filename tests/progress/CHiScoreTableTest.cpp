// CHiScoreTableTest.cpp: "hiscores.dat" byte for byte, damaged files and the ranking rules.
// test-labels: untrusted
#include "progress/CHiScoreTable.h"

#include "StoreTestRoot.h"

#include <cstring>

namespace {

const char* const kScorePath = "data/hiscores.dat";

std::vector<std::uint8_t> DefaultImage()
{
    std::vector<std::uint8_t> bytes(480, 0);
    for (std::size_t entry = 0; entry < 20; ++entry) {
        PutU32(bytes, entry * 24, 1);
        std::memcpy(&bytes[entry * 24 + 8], "Player", 6);
    }
    return bytes;
}

class CHiScoreTableTest : public StoreTestRoot {};

}  // namespace

TEST_F(CHiScoreTableTest, FreshTablesHoldTenDefaultRowsAndSaveTheGoldenImage)
{
    CHiScoreTable table;
    for (int t = 0; t < 2; ++t) {
        for (int row = 0; row < 10; ++row) {
            EXPECT_STREQ(table.GetName(t, row), "Player");
            EXPECT_EQ(table.GetScore(t, row), 0);
            EXPECT_EQ(table.GetRank(t, row), 1);
        }
    }
    ASSERT_TRUE(table.Save());
    EXPECT_EQ(ReadBytes(kScorePath), DefaultImage());
}

TEST_F(CHiScoreTableTest, OutOfRangeQueriesReturnNothing)
{
    CHiScoreTable table;
    EXPECT_EQ(table.GetName(2, 0), nullptr);
    EXPECT_EQ(table.GetName(0, 10), nullptr);
    EXPECT_EQ(table.GetScore(-1, 0), -1);
    EXPECT_EQ(table.GetRank(0, -1), -1);
    EXPECT_EQ(table.AddScore(2, "Ann", 1, 10), -1);
    EXPECT_EQ(table.RemoveName(-1, "Player"), 0);
}

TEST_F(CHiScoreTableTest, ANewResultReplacesThePlayersEarlierEntry)
{
    CHiScoreTable table;
    EXPECT_EQ(table.AddScore(0, "Ann", 3, 500), 0);
    EXPECT_EQ(table.AddScore(0, "Ann", 4, 300), 0);  // lower, but it replaces the 500
    EXPECT_EQ(table.GetScore(0, 0), 300);
    EXPECT_EQ(table.GetRank(0, 0), 4);
    EXPECT_STREQ(table.GetName(0, 1), "Player");
    EXPECT_EQ(table.AddScore(0, "Bob", 1, 300), 1);  // an equal score goes below
    EXPECT_EQ(table.AddScore(0, "Cy", 1, 0), -1);    // 0 never enters
    EXPECT_STREQ(table.GetName(1, 0), "Player");     // the other table is untouched
}

TEST_F(CHiScoreTableTest, AResultBelowEveryRowIsNotStored)
{
    CHiScoreTable table;
    for (int i = 0; i < 10; ++i)
        table.AddScore(1, "P" + std::to_string(i), 1, 1000 + i);
    EXPECT_EQ(table.AddScore(1, "Zed", 1, 200), -1);
    EXPECT_STREQ(table.GetName(1, 9), "P0");
    // The player's own old entry leaves a default row behind, which any positive result beats.
    EXPECT_EQ(table.AddScore(1, "P0", 1, 200), 9);
}

TEST_F(CHiScoreTableTest, LongNamesAreCutToTwelveCharactersAndStillFoundByTheirWholeName)
{
    CHiScoreTable table;
    table.AddScore(0, "ABCDEFGHIJKLMN", 1, 10);
    EXPECT_STREQ(table.GetName(0, 0), "ABCDEFGHIJKL");
    EXPECT_EQ(table.AddScore(0, "ABCDEFGHIJKLMN", 1, 20), 0);  // replaces the earlier row
    EXPECT_STREQ(table.GetName(0, 1), "Player");
    EXPECT_EQ(table.RemoveName(0, "ABCDEFGHIJKLMN"), 1);
}

TEST_F(CHiScoreTableTest, RemovingANameMovesLaterRowsUp)
{
    CHiScoreTable table;
    for (int i = 0; i < 10; ++i)
        table.AddScore(0, "P" + std::to_string(i), 2, 100 - i);
    EXPECT_EQ(table.RemoveName(0, "P3"), 1);
    EXPECT_STREQ(table.GetName(0, 3), "P4");
    EXPECT_STREQ(table.GetName(0, 8), "P9");
    EXPECT_STREQ(table.GetName(0, 9), "Player");
    EXPECT_EQ(table.GetRank(0, 9), 1);
    EXPECT_EQ(table.GetScore(0, 9), 0);
}

TEST_F(CHiScoreTableTest, ARowMovedIntoARemovedPlaceIsNotExaminedAgain)
{
    std::vector<std::uint8_t> bytes = DefaultImage();
    for (std::size_t row = 0; row < 2; ++row) {
        PutU32(bytes, row * 24 + 4, static_cast<std::uint32_t>(50 - row));
        std::memcpy(&bytes[row * 24 + 8], "Dup\0\0\0", 6);
    }
    WriteBytes(kScorePath, bytes);
    CHiScoreTable table;
    EXPECT_EQ(table.RemoveName(0, "Dup"), 1);
    EXPECT_STREQ(table.GetName(0, 0), "Dup");
    EXPECT_EQ(table.GetScore(0, 0), 49);
}

TEST_F(CHiScoreTableTest, EveryChangeIsSavedAtOnce)
{
    CHiScoreTable table;
    table.AddScore(1, "Ann", 5, 4321);
    const std::vector<std::uint8_t> bytes = ReadBytes(kScorePath);
    ASSERT_EQ(bytes.size(), 480u);
    EXPECT_EQ(GetI32(bytes, 240), 5);
    EXPECT_EQ(GetI32(bytes, 244), 4321);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[248])), "Ann");
    CHiScoreTable reloaded;
    EXPECT_EQ(reloaded.GetScore(1, 0), 4321);
}

TEST_F(CHiScoreTableTest, FilesOfAnyOtherSizeAreKeptAsideAndDefaultsUsed)
{
    std::vector<std::uint8_t> image = DefaultImage();
    PutU32(image, 4, 77);
    const std::size_t sizes[] = {0, 24, 479, 481, 960};
    int kept = 0;
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> bytes = image;
        bytes.resize(size, 0xAB);
        WriteBytes(kScorePath, bytes);
        m_fake->logLines.clear();
        const std::string keptAs = "data\\hiscores.dat.bad." + std::to_string(++kept);
        {
            CHiScoreTable table;
            EXPECT_EQ(table.GetScore(0, 0), 0);
            EXPECT_EQ(ReadBytes("data/hiscores.dat.bad." + std::to_string(kept)), bytes);
            EXPECT_FALSE(Exists(kScorePath));
        }
        EXPECT_TRUE(m_fake->HasLogLine("[W] File data\\hiscores.dat is damaged, kept as " + keptAs + "; defaults used"));
    }
}

TEST_F(CHiScoreTableTest, UnterminatedNamesAreCutToTwelveCharacters)
{
    std::vector<std::uint8_t> bytes = DefaultImage();
    std::memset(&bytes[8], 'Z', 16);
    PutU32(bytes, 4, 50);
    WriteBytes(kScorePath, bytes);
    CHiScoreTable table;
    EXPECT_EQ(std::string(table.GetName(0, 0)), std::string(12, 'Z'));
    EXPECT_EQ(table.GetScore(0, 0), 50);
}
