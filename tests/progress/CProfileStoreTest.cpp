// CProfileStoreTest.cpp: "save.dat" byte for byte, damaged files, the player list and the rules.
// test-labels: untrusted
#include "progress/CProfileStore.h"

#include "StoreTestRoot.h"
#include "progress/StoreFile.h"
#include "support/FileFaults.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace {

const char* const kSavePath = "data/save.dat";

// The 348-byte image of a new player, written offset by offset from the record's layout.
std::vector<std::uint8_t> NewPlayerImage(const std::string& name)
{
    std::vector<std::uint8_t> r(348, 0);
    r[0] = 1;   // reserved flag
    r[1] = 1;   // use-bonuses advice pending
    r[48] = 1;  // location 0 opened
    for (std::size_t level = 0; level < 5; ++level)
        PutU32(r, 56 + 4 * level, 1);
    PutU32(r, 196, 0);  // selected story level
    for (std::size_t at = 200; at <= 236; at += 4)
        PutU32(r, at, 0xFFFFFFFFu);  // selections, pending windows, congratulations, finale
    std::memcpy(&r[252], name.data(), name.size());
    r[273] = 1;  // hints on
    PutU32(r, 276, 100);
    PutU32(r, 280, 60);
    PutU32(r, 284, 40);
    PutU32(r, 336, 0xFFFFFFFFu);  // card back not chosen yet
    r[340] = 1;                   // card back rotation
    return r;
}

std::vector<std::uint8_t> FileImage(const std::vector<std::vector<std::uint8_t>>& records, std::int32_t index)
{
    std::vector<std::uint8_t> bytes(24, 0);
    PutU32(bytes, 0, 285);
    bytes[4] = 1;  // full-screen
    bytes[5] = 1;  // high detail
    PutU32(bytes, 7, static_cast<std::uint32_t>(records.size()));
    PutU32(bytes, 11, static_cast<std::uint32_t>(index));
    for (const auto& record : records)
        bytes.insert(bytes.end(), record.begin(), record.end());
    return bytes;
}

class CProfileStoreTest : public StoreTestRoot {};

}  // namespace

TEST_F(CProfileStoreTest, FirstStartHasOneUnsavedDefaultPlayer)
{
    {
        CProfileStore store;
        EXPECT_EQ(store.m_current.GetName(), "PLAYER");
        EXPECT_EQ(store.GetPlayerCount(), 0);
        EXPECT_EQ(store.m_bFullScreen, 1);
        EXPECT_EQ(store.m_bHighDetail, 1);
        EXPECT_EQ(store.m_bSoftwareCursor, 0);
        EXPECT_EQ(store.m_bFitToDesktop, 0);
    }
    EXPECT_FALSE(Exists(kSavePath));  // the default player is never written
}

TEST_F(CProfileStoreTest, NewNamedPlayerWritesTheGoldenImageAndDropsTheDefault)
{
    CProfileStore store;
    store.m_current.m_nStoryScore = 999;  // progress of "PLAYER", dropped
    store.NewPlayer("Bob", true);
    EXPECT_EQ(ReadBytes(kSavePath), FileImage({NewPlayerImage("Bob")}, 0));
    EXPECT_FALSE(Exists("data/save.dat.tmp"));
}

TEST_F(CProfileStoreTest, RoundTripKeepsEveryFieldAndEveryByte)
{
    {
        CProfileStore store;
        store.NewPlayer("Ann", true);
        store.NewPlayer("Bob", true);
        PlayerRecord& r = store.m_current;
        r.m_introShown[34] = 1;
        r.m_nRank = 7;
        r.m_storyLevels[24] = 4;
        r.m_hardcoreLevels[4] = 3;
        r.m_bonusLevels[2] = 2;
        r.m_nStoryScore = 123456;
        r.m_nClassicScore = -5;
        r.m_trophyEarned[9] = 1;
        r.m_nCardBack = 2;
        r.m_bMasterMode = 1;
        store.m_bSoftwareCursor = 1;
        store.m_nPendingFit = -1;
    }
    const std::vector<std::uint8_t> saved = ReadBytes(kSavePath);
    WriteBytes("data/save.dat.tmp.4242.7", {1, 2});  // what a run killed in the middle of a save leaves
    ASSERT_EQ(saved.size(), 24u + 2 * 348u);
    EXPECT_EQ(GetI32(saved, 11), 1);
    CProfileStore store;
    EXPECT_EQ(store.GetPlayerCount(), 2);
    EXPECT_EQ(store.m_nCurrentIndex, 1);
    EXPECT_EQ(store.m_current.GetName(), "Bob");
    EXPECT_EQ(store.m_current.m_nRank, 7);
    EXPECT_EQ(store.m_current.m_storyLevels[24], 4);
    EXPECT_EQ(store.m_current.m_nClassicScore, -5);
    EXPECT_EQ(store.m_current.m_nCardBack, 2);
    EXPECT_EQ(store.m_current.m_trophyShown[9], 1);  // shown follows earned after a load
    EXPECT_EQ(store.m_bSoftwareCursor, 1);
    EXPECT_EQ(store.m_nPendingFit, -1);
    EXPECT_FALSE(Exists("data/save.dat.tmp.4242.7")) << "loading removes the leftover";
    store.m_current.m_trophyShown[9] = 0;  // the saved image had it 0
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadBytes(kSavePath), saved);
}

TEST_F(CProfileStoreTest, DamagedFilesAreKeptAsideAndDefaultsUsed)
{
    const std::vector<std::uint8_t> good = FileImage({NewPlayerImage("Ann"), NewPlayerImage("Bob")}, 1);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Case> cases = {
        {"shorter than the header", std::vector<std::uint8_t>(good.begin(), good.begin() + 10)},
        {"one record short", std::vector<std::uint8_t>(good.begin(), good.end() - 348)},
        {"one byte short", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
        {"one byte long", good},
        {"negative count", good},
        {"zero count", good},
        {"index past the list", good},
        {"negative index", good},
    };
    cases[3].bytes.push_back(0);
    PutU32(cases[4].bytes, 7, 0xFFFFFFFEu);
    PutU32(cases[5].bytes, 7, 0);
    PutU32(cases[6].bytes, 11, 2);
    PutU32(cases[7].bytes, 11, 0xFFFFFFFFu);
    // Each one is kept under a number of its own, and only the newest ten stay.
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < cases.size(); ++i) {
            const Case& c = cases[i];
            const std::string number = std::to_string(round * cases.size() + i + 1);
            SCOPED_TRACE(std::string(c.name) + ", kept as " + number);
            WriteBytes(kSavePath, c.bytes);
            m_fake->logLines.clear();
            CProfileStore store;
            EXPECT_EQ(store.GetPlayerCount(), 0);
            EXPECT_EQ(store.m_current.GetName(), "PLAYER");
            EXPECT_FALSE(Exists(kSavePath));
            EXPECT_EQ(ReadBytes("data/save.dat.bad." + number), c.bytes);
            EXPECT_TRUE(m_fake->HasLogLine("[W] File data\\save.dat is damaged, kept as data\\save.dat.bad." + number +
                                           "; defaults used"));
        }
    }
    for (std::size_t number = 1; number <= 2 * cases.size(); ++number) {
        SCOPED_TRACE(number);
        const std::string kept = "data/save.dat.bad." + std::to_string(number);
        EXPECT_EQ(Exists(kept), number > 2 * cases.size() - store_file::kKeptAsideFiles);
        if (Exists(kept)) {
            EXPECT_EQ(ReadBytes(kept), cases[(number - 1) % cases.size()].bytes);
        }
    }
}

TEST_F(CProfileStoreTest, OtherVersionsAreTreatedAsMissingAndKeptAsideByTheFirstSave)
{
    int kept = 0;
    for (std::uint32_t version : {284u, 286u}) {
        SCOPED_TRACE(version);
        const std::string keptAs = "data/save.dat.bad." + std::to_string(++kept);
        std::vector<std::uint8_t> bytes = FileImage({NewPlayerImage("Ann")}, 0);
        PutU32(bytes, 0, version);
        WriteBytes(kSavePath, bytes);
        {
            CProfileStore store;
            EXPECT_EQ(store.m_current.GetName(), "PLAYER");
            EXPECT_EQ(store.m_nVersion, 285u);
        }
        EXPECT_EQ(ReadBytes(kSavePath), bytes);  // nothing was saved: the file stays as it was
        EXPECT_FALSE(Exists(keptAs));

        CProfileStore store;
        store.NewPlayer("Bob", true);
        EXPECT_EQ(ReadBytes(keptAs), bytes);
        EXPECT_EQ(ReadBytes(kSavePath), FileImage({NewPlayerImage("Bob")}, 0));
        EXPECT_TRUE(m_fake->HasLogLine("[W] File data\\save.dat has version " + std::to_string(version) +
                                       ", kept as data\\save.dat.bad." + std::to_string(kept)));
        store.Save();
        EXPECT_EQ(ReadBytes(keptAs), bytes) << "only the first save keeps it aside";
        EXPECT_FALSE(Exists("data/save.dat.bad." + std::to_string(kept + 1)));
    }
}

TEST_F(CProfileStoreTest, LoadRepairsNamesLevelStatesAndSelections)
{
    std::vector<std::uint8_t> record = NewPlayerImage("");
    std::memset(&record[252], 'A', 16);      // no terminating NUL
    PutU32(record, 56, 9);                   // story level 0 above gold
    PutU32(record, 160, 0xFFFFFFF0u);        // hardcore level 1 negative
    PutU32(record, 196, 25);                 // selected story level past the last
    PutU32(record, 200, 0x80000000u);        // selected bonus far below -1
    PutU32(record, 268, 7);                  // classic location past the last
    PutU32(record, 336, 3);                  // card back past the last
    PutU32(record, 40, 13);                  // rank past the top
    WriteBytes(kSavePath, FileImage({record}, 0));
    CProfileStore store;
    ASSERT_EQ(store.GetPlayerCount(), 1);
    const PlayerRecord& r = store.m_current;
    EXPECT_EQ(r.GetName(), std::string(15, 'A'));
    EXPECT_EQ(r.m_storyLevels[0], 4);
    EXPECT_EQ(r.m_hardcoreLevels[1], 0);
    EXPECT_EQ(r.m_nSelectedStory, 24);
    EXPECT_EQ(r.m_nSelectedBonus, -1);
    EXPECT_EQ(r.m_nClassicLocation, 4);
    EXPECT_EQ(r.m_nCardBack, 2);
    EXPECT_EQ(r.m_nRank, 12);
    EXPECT_FALSE(Exists("data/save.dat.bad.1"));
}

// A full disk, a read-only folder or a write the system refuses: the player is told once (a notice
// for the shell's window and a line on stderr), the log gets every failure, the old file stays,
// the store keeps its data and the next save after the fault is gone writes it.
TEST_F(CProfileStoreTest, FailedSavesReachThePlayerOnceKeepThePreviousFileAndSucceedLater)
{
    ScopedTmpfs disk(HostPath("data").string(), 64);
    struct Fault {
        const char* name;
        const char* reason;
        std::function<std::function<void()>()> make;  // starts the fault, gives back its end
    };
    const std::string filler = HostPath("data/filler").string();
    const Fault faults[] = {
        {"full disk", "No space left on device",
         [&] {
             std::ofstream(filler, std::ios::binary) << std::string(64 * 1024, 'x');
             return [&] { std::filesystem::remove(filler); };
         }},
        {"read-only folder", "Read-only file system",
         [&] {
             EXPECT_TRUE(disk.SetReadOnly(true));
             return [&] { EXPECT_TRUE(disk.SetReadOnly(false)); };
         }},
        {"write refused", "File too large",
         [] {
             auto limit = std::make_shared<ScopedFileSizeLimit>(100);
             return [limit]() mutable { limit.reset(); };
         }},
    };
    CProfileStore store;
    store.NewPlayer("Ann", true);
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        if (std::string(fault.reason) != "File too large" && !disk.IsMounted())
            continue;  // no right to mount here: the refused write stands in for the disk
        const std::vector<std::uint8_t> before = ReadBytes(kSavePath);
        std::function<void()> end = fault.make();
        const std::string line = std::string("[E] Can't save file data\\save.dat (") + fault.reason + ")";
        m_fake->logLines.clear();
        ::testing::internal::CaptureStderr();
        store.m_current.m_nStoryScore += 500;  // a win
        EXPECT_FALSE(store.Save());
        EXPECT_FALSE(store.Save());
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), line + "\n");
        EXPECT_EQ(std::count(m_fake->logLines.begin(), m_fake->logLines.end(), line), 2);
        store_notices::Notice notice;
        ASSERT_TRUE(store_notices::TakeNotice(notice));
        EXPECT_EQ(notice.gamePath, "data\\save.dat");
        EXPECT_EQ(notice.reason, fault.reason);
        EXPECT_FALSE(store_notices::TakeNotice(notice)) << "once until a save succeeds";
        EXPECT_EQ(ReadBytes(kSavePath), before);
        for (const std::string& file : host_files::ListFiles(HostPath("data").string()))
            EXPECT_EQ(file.find(".tmp."), std::string::npos) << "a temporary file was left: " << file;

        end();
        EXPECT_TRUE(store.Save());
        EXPECT_TRUE(m_fake->HasLogLine("[I] File data\\save.dat saved again"));
        EXPECT_EQ(GetI32(ReadBytes(kSavePath), 24 + 244), store.m_current.m_nStoryScore) << "the win is kept";
    }
}

TEST_F(CProfileStoreTest, PlayerListOperations)
{
    CProfileStore store;
    store.NewPlayer("Ann", true);
    store.m_current.m_trophyEarned[0] = 1;
    store.m_current.m_trophyShown[1] = 1;
    store.NewPlayer("Bob", true);
    EXPECT_EQ(store.FindPlayer("Ann"), 0);
    EXPECT_EQ(store.FindPlayer("ann"), -1);  // exact, case-sensitive
    std::vector<std::string> names{"stale"};
    store.GetPlayerNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Ann", "Bob"}));

    ASSERT_TRUE(store.SelectPlayer(0));
    EXPECT_EQ(store.m_current.GetName(), "Ann");
    EXPECT_EQ(store.m_current.m_trophyShown[0], 1);  // earned 1, shown 0 -> shown 1
    EXPECT_EQ(store.m_current.m_trophyShown[1], 0);  // earned 0, shown 1 -> shown 0
    EXPECT_FALSE(store.SelectPlayer(2));
    EXPECT_FALSE(store.SelectPlayer(-1));

    ASSERT_TRUE(store.DeletePlayer(0));
    EXPECT_EQ(store.GetPlayerCount(), 1);
    EXPECT_EQ(store.m_current.GetName(), "Bob");
    EXPECT_FALSE(store.DeletePlayer(0));  // the last player stays
    EXPECT_EQ(GetI32(ReadBytes(kSavePath), 7), 1);
}

TEST_F(CProfileStoreTest, PendingDisplayChangesAreFoldedIn)
{
    struct Case {
        int pendingFit, pendingFull, fit, full;
        int wantFit, wantFull;
    };
    const Case cases[] = {
        {1, -1, 0, 0, 1, 1},   // fitting wins and clears the full-screen change
        {-1, 0, 1, 1, 0, 1},
        {-1, -1, 1, 1, 0, 0},
        {0, 1, 0, 0, 0, 1},
        {0, -1, 1, 1, 0, 0},   // windowed turns fitting off
        {0, 0, 1, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pendingFit) + " " + std::to_string(c.pendingFull));
        CProfileStore store;
        store.m_nPendingFit = c.pendingFit;
        store.m_nPendingFullScreen = c.pendingFull;
        store.m_bFitToDesktop = static_cast<std::uint8_t>(c.fit);
        store.m_bFullScreen = static_cast<std::uint8_t>(c.full);
        store.ApplyPendingDisplayChanges();
        EXPECT_EQ(store.m_bFitToDesktop, c.wantFit);
        EXPECT_EQ(store.m_bFullScreen, c.wantFull);
        EXPECT_EQ(store.m_nPendingFit, 0);
        EXPECT_EQ(store.m_nPendingFullScreen, 0);
    }
}

TEST_F(CProfileStoreTest, ThreeBronzeLevelsOpenTheNextLocation)
{
    CProfileStore store;
    PlayerRecord& r = store.m_current;
    r.m_storyLevels[0] = r.m_storyLevels[1] = r.m_storyLevels[2] = 2;
    EXPECT_EQ(store.UpdateUnlocks(), 1);
    for (int level = 5; level < 10; ++level)
        EXPECT_EQ(r.m_storyLevels[static_cast<std::size_t>(level)], 1) << level;
    EXPECT_EQ(r.m_storyLevels[10], 0);
    EXPECT_EQ(r.m_nSelectedStory, 5);
    EXPECT_EQ(r.m_locationOpened[1], 1);
    r.m_nSelectedStory = 2;
    EXPECT_EQ(store.UpdateUnlocks(), -1);
    EXPECT_EQ(r.m_nSelectedStory, 5);
    EXPECT_EQ(store.GetCurrentLocation(), 1);
}

TEST_F(CProfileStoreTest, CompletedAndGoldLocationsOpenBonusAndHardcoreLevels)
{
    CProfileStore store;
    PlayerRecord& r = store.m_current;
    for (int level = 0; level < 5; ++level)
        r.m_storyLevels[static_cast<std::size_t>(level)] = 4;
    store.UpdateUnlocks();
    EXPECT_EQ(r.m_bonusLevels[0], 1);
    EXPECT_EQ(r.m_nPendingNewBonus, 0);
    EXPECT_EQ(r.m_hardcoreLevels[0], 0);  // five golds are not enough without the bonus level
    r.m_bonusLevels[0] = 4;
    store.UpdateUnlocks();
    EXPECT_EQ(r.m_hardcoreLevels[0], 1);
    EXPECT_EQ(r.m_nPendingNewHardcore, 0);
}

TEST_F(CProfileStoreTest, AllGoldMilestones)
{
    CProfileStore store;
    PlayerRecord& r = store.m_current;
    r.m_storyLevels.fill(4);
    r.m_bonusLevels.fill(4);
    r.m_hardcoreLevels.fill(4);
    r.m_storyLevels[24] = 1;
    EXPECT_FALSE(store.CheckAllGold(-1, -1, -1));
    EXPECT_TRUE(store.CheckAllGold(24, -1, -1));  // the level just won counts as gold
    EXPECT_EQ(r.m_nFinaleState, 0);
    r.m_nFinaleState = 5;
    EXPECT_TRUE(store.CheckAllGold(-1, -1, -1));  // once set it stays, without looking again
    EXPECT_EQ(r.m_nFinaleState, 5);

    r.m_storyLevels[24] = 4;
    store.UpdateUnlocks();
    EXPECT_EQ(r.m_bAllStoryCompleted, 1);
    EXPECT_EQ(r.m_bAllStoryGold, 1);
    EXPECT_EQ(r.m_bEverythingGold, 1);
    EXPECT_EQ(r.m_bMasterMode, 1);
    EXPECT_EQ(r.m_nFinaleState, 1);
    EXPECT_EQ(r.m_pendingCongrats, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}
