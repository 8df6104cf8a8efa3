// CTrackerTest.cpp: the move record, its file, the learn file reader and the replay of a game.
// test-labels: untrusted
#include "PlayStateSupport.h"

#include "platform/FileSystem.h"
#include "table/TutorialFile.h"

#include <filesystem>

using namespace tabletest;

namespace {
// A temporary game root for the files of one test.
struct TempRoot {
    TempRoot()
    {
        dir = std::filesystem::temp_directory_path() / ("tracker-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "data" / "learn");
        std::filesystem::create_directories(dir / "save");
        fs_layer::SetRootFolder(dir.string());
    }
    ~TempRoot() { std::filesystem::remove_all(dir); }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        ASSERT_TRUE(fs_layer::WriteWholeFile(name, bytes.data(), bytes.size()));
    }
    std::filesystem::path dir;
};

TutorialRecord SmallRecord()
{
    TutorialRecord r;
    r.dealCount = 2;
    r.dealA[0] = 12;
    r.dealB[0] = 3;
    r.dealA[1] = 0;
    r.dealB[1] = 1;
    r.moveCount = 3;
    const std::uint8_t from[] = {1, 2, 3}, to[] = {4, 5, 6}, card[] = {0, 7, 0xFF}, flags[] = {0x01, 0x93, 0};
    for (int i = 0; i < 3; ++i) {
        r.moveFrom[static_cast<std::size_t>(i)] = from[i];
        r.moveTo[static_cast<std::size_t>(i)] = to[i];
        r.moveCard[static_cast<std::size_t>(i)] = card[i];
        r.moveFlags[static_cast<std::size_t>(i)] = flags[i];
    }
    return r;
}

// The record with these moves sent to a place no table has.
TutorialRecord Damaged(TutorialRecord r, const std::vector<std::size_t>& moves)
{
    for (std::size_t i : moves)
        r.moveTo[i] = 200;
    return r;
}

TutorialRecord DamagedDeals(TutorialRecord r)
{
    for (std::size_t i = 0; i < r.dealCount; ++i)
        r.dealA[i] = 13;
    return r;
}

std::vector<std::uint8_t> LearnFile(const TutorialRecord& r, const std::vector<TutorialMessageData>& messages)
{
    std::vector<std::uint8_t> bytes;
    tutorial_file::WriteRecord(r, bytes);
    tutorial_file::WriteMessages(messages, bytes);
    return bytes;
}
}  // namespace

TEST(CTracker, TheRecordIsWrittenFieldByFieldLittleEndian)
{
    std::vector<std::uint8_t> bytes;
    TutorialRecord r = SmallRecord();
    r.dealCount = 0x01020304;
    tutorial_file::WriteRecord(r, bytes);
    ASSERT_EQ(bytes.size(), 16808u);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8), std::vector<std::uint8_t>({4, 3, 2, 1, 3, 0, 0, 0}));
    EXPECT_EQ(bytes[8], 12);        // dealA
    EXPECT_EQ(bytes[216], 3);       // dealB
    EXPECT_EQ(bytes[424 + 2], 3);   // moveFrom
    EXPECT_EQ(bytes[4520 + 1], 5);  // moveTo
    EXPECT_EQ(bytes[8616 + 2], 0xFF);
    EXPECT_EQ(bytes[12712 + 1], 0x93);

    std::vector<std::uint8_t> entries;
    tutorial_file::WriteMessages({{"win", "open", -2, 300}}, entries);
    EXPECT_EQ(entries, std::vector<std::uint8_t>({3, 'w', 'i', 'n', 4, 'o', 'p', 'e', 'n', 0xFE, 0xFF, 0x2C, 0x01}));
}

TEST(CTracker, MovesStoreTheirFlagsAndTheLastSlotIsNeverUsed)
{
    ScopedFakeEngine fake;
    CTracker tracker;
    tracker.AddMove(1, 2, 3, 3, 9);
    EXPECT_EQ(tracker.Record().moveFlags[0], 0x93);
    for (int i = 1; i < 5000; ++i)
        tracker.AddMove(0, 0, 0, 0, 0);
    EXPECT_EQ(tracker.Record().moveCount, 4095u);
    for (int i = 0; i < 300; ++i)
        tracker.AddDeal(1, 1);
    EXPECT_EQ(tracker.Record().dealCount, 208u);
}

TEST(CTracker, StepsRunThroughMarkerMovesAndQueueTheirWindows)
{
    ScopedFakeEngine fake;
    TempRoot root;
    TutorialRecord r = SmallRecord();
    // Move 0 is a marker (flags 1) whose next move has a window; move 1 (0x93, negative) ends
    // the step; move 2 (a click on an empty place) is a step of its own.
    root.Write("data/learn/steps.dat", LearnFile(r, {{"", "", 0, 0}, {"hello", "show", -10, 20}}));
    CTracker tracker;
    ASSERT_TRUE(tracker.Load("data/learn/steps.dat"));
    EXPECT_EQ(tracker.MessageCount(), 3);  // one empty entry added for the last move
    EXPECT_EQ(tracker.GetMessage(1)->x, -10);
    EXPECT_EQ(tracker.GetMessage(1)->section, "show");
    int a = 0, b = 0;
    EXPECT_TRUE(tracker.NextDeal(a, b));
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(12, 3));
    EXPECT_EQ(tracker.FirstDealValue(), 12);
    EXPECT_TRUE(tracker.NextDeal(a, b));
    EXPECT_FALSE(tracker.NextDeal(a, b));

    int from = 0, to = 0, card = 0;
    EXPECT_EQ(tracker.ReadStep(from, to, card, false), 2);
    EXPECT_EQ(tracker.PendingCount(), 0);
    ASSERT_TRUE(tracker.NextStep(from, to, card));
    EXPECT_EQ(std::vector<int>({from, to, card}), std::vector<int>({2, 5, 7}));
    EXPECT_EQ(tracker.PendingCount(), 1);
    EXPECT_EQ(tracker.PopPending(), 1);
    EXPECT_EQ(tracker.PopPending(), -1);
    tracker.StepBack();
    EXPECT_EQ(tracker.GetReplayCursor(), 1);
    ASSERT_TRUE(tracker.NextStep(from, to, card));
    ASSERT_TRUE(tracker.NextStep(from, to, card));
    EXPECT_EQ(card, -1);
    EXPECT_TRUE(tracker.IsReplayDone());
    EXPECT_FALSE(tracker.NextStep(from, to, card));
    // With no resource manager there are no windows to open, but the entry is still the current one.
    EXPECT_FALSE(tracker.ShowMessage(-2));
    EXPECT_TRUE(tracker.WasMessageShown());
    EXPECT_FALSE(tracker.IsMessageBusy());
    EXPECT_FALSE(tracker.ShowMessage(7));
}

TEST(CTracker, BadFilesAreRefusedWithALogLine)
{
    ScopedFakeEngine fake;
    TempRoot root;
    const std::vector<std::uint8_t> good = LearnFile(SmallRecord(), {{"a", "b", 1, 2}});
    auto corrupt = [&](std::size_t at, std::uint8_t value) {
        std::vector<std::uint8_t> bytes = good;
        bytes[at] = value;
        return bytes;
    };
    std::vector<std::uint8_t> tooMany = LearnFile(SmallRecord(), {});
    for (std::size_t i = 0; i < tutorial_file::kMaxMessages + 1; ++i)
        tooMany.insert(tooMany.end(), {0, 0, 0, 0, 0, 0});
    struct Case { const char* name; std::vector<std::uint8_t> bytes; const char* line; };
    const Case cases[] = {
        {"empty", {}, "[E] Learn file data/learn/x.dat refused: shorter than its record"},
        {"cut inside the record", std::vector<std::uint8_t>(good.begin(), good.begin() + 16807),
         "[E] Learn file data/learn/x.dat refused: shorter than its record"},
        {"deal count too big", corrupt(0, 209), "[E] Learn file data/learn/x.dat refused: counts 209/3 out of range"},
        {"move count too big", corrupt(5, 0x10), "[E] Learn file data/learn/x.dat refused: counts 2/4099 out of range"},
        {"no moves", corrupt(4, 0), "[E] Learn file data/learn/x.dat refused: no deal or no move"},
        {"no deals", corrupt(0, 0), "[E] Learn file data/learn/x.dat refused: no deal or no move"},
        {"every move damaged", LearnFile(Damaged(SmallRecord(), {0, 1, 2}), {}),
         "[E] Learn file data/learn/x.dat refused: no deal or no move"},
        {"every deal damaged", LearnFile(DamagedDeals(SmallRecord()), {}),
         "[E] Learn file data/learn/x.dat refused: no deal or no move"},
        {"too many windows", tooMany, "[E] Learn file data/learn/x.dat refused: more windows than moves fit"},
        {"oversized", std::vector<std::uint8_t>(tutorial_file::kMaxFileSize + 1, 0),
         "[E] Learn file data/learn/x.dat refused: too long"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fake->logLines.clear();
        root.Write("data/learn/x.dat", c.bytes);
        CTracker tracker;
        EXPECT_FALSE(tracker.Load("data/learn/x.dat", 13));
        EXPECT_TRUE(fake->HasLogLine(c.line)) << (fake->logLines.empty() ? "" : fake->logLines.back());
        EXPECT_EQ(tracker.Record().moveCount, 0u);
        EXPECT_EQ(tracker.MessageCount(), 0);
    }
    CTracker tracker;
    EXPECT_FALSE(tracker.Load("data/learn/missing.dat"));
    EXPECT_TRUE(fake->HasLogLine("[E] Error opening file data/learn/missing.dat for read"));
}

TEST(CTracker, DamagedDealsAndMovesAreLoggedAndSkipped)
{
    ScopedFakeEngine fake;
    TempRoot root;
    TutorialRecord r = SmallRecord();
    r.dealA[0] = 13;   // no rank past the king
    r.moveFrom[1] = 40;  // no place past the table's 13
    r.moveCard[2] = 208;  // no pile holds more than four decks
    r.moveCount = 4;
    r.moveFrom[3] = 9;
    r.moveTo[3] = 10;
    root.Write("data/learn/x.dat", LearnFile(r, {{"a", "b", 1, 2}}));
    CTracker tracker;
    ASSERT_TRUE(tracker.Load("data/learn/x.dat", 13));
    EXPECT_TRUE(fake->HasLogLine("[W] Learn file data/learn/x.dat: 1 deals are no card and are skipped (the first is deal 0)"));
    EXPECT_TRUE(fake->HasLogLine(
        "[W] Learn file data/learn/x.dat: 2 moves name no place or card and are skipped (the first is move 1)"));
    EXPECT_EQ(tracker.FirstDealValue(), 0);  // the first good deal's rank
    int a = -1, b = -1;
    EXPECT_TRUE(tracker.NextDeal(a, b));
    EXPECT_EQ(std::make_pair(a, b), std::make_pair(0, 1));
    EXPECT_FALSE(tracker.NextDeal(a, b));
    // Move 0 is a marker; moves 1 and 2 are passed over; move 3 ends the step.
    int from = 0, to = 0, card = 0;
    ASSERT_TRUE(tracker.NextStep(from, to, card));
    EXPECT_EQ(std::vector<int>({from, to, card}), std::vector<int>({9, 10, 0}));
    EXPECT_TRUE(tracker.IsReplayDone());

    // A card index that the live pile does not hold is skipped when the move is played.
    WriteAllLevels(fake.Get());
    DealtTable t(fake.Get(), kKlondike, 3);
    Settle(t.table);
    const auto before = Piles(t.table);
    t.table.GetMoveFinder()->PlayMove(2, 9, 60, false);
    t.table.GetMoveFinder()->PlayMove(0, 0, 60, false);
    Settle(t.table);
    EXPECT_EQ(Piles(t.table), before);
    EXPECT_TRUE(fake->HasLogLine("[W] Move 2:60 -> 9 names no card of its place, skipped"));
    EXPECT_TRUE(fake->HasLogLine("[W] Move 0:60 -> 0 names no card of its place, skipped"));
}

TEST(CTracker, WindowsCutOffByTheEndOfTheFileEndTheList)
{
    ScopedFakeEngine fake;
    TempRoot root;
    const std::vector<std::uint8_t> full = LearnFile(SmallRecord(), {{"one", "s", 0, 0}, {"two", "t", 5, -5}});
    for (std::size_t cut = 16808; cut <= full.size(); ++cut) {
        SCOPED_TRACE("size " + std::to_string(cut));
        root.Write("data/learn/cut.dat", std::vector<std::uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
        CTracker tracker;
        ASSERT_TRUE(tracker.Load("data/learn/cut.dat"));
        EXPECT_EQ(tracker.MessageCount(), 3);
        const bool first = cut >= 16808 + 10, second = cut == full.size();
        EXPECT_EQ(tracker.GetMessage(0)->effect, first ? "one" : "");
        EXPECT_EQ(tracker.GetMessage(1)->effect, second ? "two" : "");
    }
    // Windows past the move count are read too.
    root.Write("data/learn/extra.dat", LearnFile(SmallRecord(), std::vector<TutorialMessageData>(5, {"w", "", 0, 0})));
    CTracker tracker;
    ASSERT_TRUE(tracker.Load("data/learn/extra.dat"));
    EXPECT_EQ(tracker.MessageCount(), 5);
}

TEST(CTracker, SavingWritesTheBareRecordAndAFailureIsLogged)
{
    ScopedFakeEngine fake;
    TempRoot root;
    CTracker tracker;
    tracker.AddDeal(5, 2);
    tracker.AddMove(1, 2, 3, 0, 0);
    ASSERT_TRUE(tracker.Save("save/game.dat"));
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(fs_layer::ReadWholeFile("save/game.dat", bytes));
    std::vector<std::uint8_t> expected;
    tutorial_file::WriteRecord(tracker.Record(), expected);
    EXPECT_EQ(bytes, expected);
    EXPECT_FALSE(tracker.Save("nofolder/sub/game.dat"));
    EXPECT_TRUE(fake->HasLogLine("[E] Error opening file nofolder/sub/game.dat for write"));
}

TEST(CTracker, ARecordedGameReplaysToTheSameTable)
{
    ScopedFakeEngine fake;
    TempRoot root;
    WriteAllLevels(fake.Get());
    for (std::uint32_t seed : {4u, 41u, 777u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::vector<std::vector<std::pair<int, bool>>> played;
        {
            ControllerHost host;
            DealtTable t(fake.Get(), kKlondike, seed, &host);
            Settle(t.table);
            for (int move = 0; move < 120 && PlayRandomMove(fake.Get(), t.table); ++move)
                Settle(t.table);
            played = Piles(t.table);
            ASSERT_GT(host.tracker.Record().moveCount, 20u);
            ASSERT_TRUE(host.tracker.Save("save/Klondike.dat"));
        }
        ControllerHost replay;
        replay.replaying = true;
        ASSERT_TRUE(replay.tracker.Load("save/Klondike.dat", 13));
        DealtTable t(fake.Get(), kKlondike, seed + 1000, &replay);  // the record, not the seed, deals
        Settle(t.table);
        int from = 0, to = 0, card = 0;
        while (replay.tracker.NextStep(from, to, card)) {
            t.table.GetMoveFinder()->PlayMove(from, to, card, false);
            Settle(t.table);
        }
        EXPECT_EQ(Piles(t.table), played);
        EXPECT_TRUE(EveryCardOnce(t.table, t.deck));
    }
}
