#include "feedback/FeedbackSession.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <thread>

#include "feedback/ConfigSource.h"
#include "feedback/WideText.h"

namespace {

// A session without configuration, with the host's filters. The clock is moved by the client time offset,
// the same way the host moves it.
class SessionFixture {
public:
    explicit SessionFixture(std::vector<EventFilterInit> filters = {}, std::uint32_t flags = 0,
                            std::uint32_t level = 0)
        : m_filters(std::move(filters))
    {
        for (const EventFilterInit& filter : m_filters)
            m_pointers.push_back(&filter);
        m_pointers.push_back(nullptr);
        SessionInit init{};
        init.Flags = flags;
        init.Version = 0x10006;
        init.FeedbackLevel = level;
        init.EventFilters = m_pointers.data();
        m_session = std::make_unique<FeedbackSession>(init, m_config);
    }
    FeedbackSession& operator*() { return *m_session; }
    FeedbackSession* operator->() { return m_session.get(); }

    void At(double seconds) { m_session->SetClientTimeOffset(seconds); }
    void Stat(const char16_t* type, double value, std::optional<double> interval = std::nullopt)
    {
        EventRecord record = m_session->NewEvent(EventRecord::kGameplay, 0, 0.0, u"SYS_StatChanged");
        record.AddStringParam(u"player", u"p");
        record.AddStringParam(u"type", std::u16string(type));
        record.AddNumberParam(u"value", value);
        m_session->RecordEvent(std::move(record), FilterFlags::BUFFER, type, interval);
    }
    void Simple(const char16_t* name, std::int32_t level = 0, const char16_t* subKey = u"", double gameTime = 0.0)
    {
        m_session->RecordEvent(m_session->NewEvent(EventRecord::kGameplay, level, gameTime, name), 0, subKey,
                               std::nullopt);
    }
    std::vector<std::u16string> ValuesOf(const char16_t* param) const
    {
        std::vector<std::u16string> values;
        for (const EventRecord& record : m_session->Events()) {
            for (const EventRecord::Param& p : record.Params()) {
                if (p.Name == param)
                    values.push_back(p.Value.value_or(u"(null)"));
            }
        }
        return values;
    }

private:
    ConfigSource m_config{"", ""};
    std::vector<EventFilterInit> m_filters;
    std::vector<const EventFilterInit*> m_pointers;
    std::unique_ptr<FeedbackSession> m_session;
};

std::map<std::u16string, int> RollupCounts(const FeedbackSession& session)
{
    std::map<std::u16string, int> counts;
    for (const EventRecord& record : session.Events()) {
        EXPECT_EQ(record.Name(), u"SYS_EventRollup");
        std::u16string key;
        int count = 0;
        for (const EventRecord::Param& p : record.Params()) {
            if (p.Name == u"count")
                count = std::stoi(WideText::ToUtf8(*p.Value));
            else
                key += *p.Value + u"/";
        }
        counts[key] += count;
    }
    return counts;
}

}  // namespace

TEST(EventRecord, OnlyLowerCaseSysPrefixMakesACustomEventSessionFlow)
{
    struct Case {
        const char16_t* name;
        std::int32_t givenClass, expectedClass;
    };
    const Case cases[] = {
        {u"sys_x", 3, 0}, {u"SYS_x", 3, 3}, {u"sys_", 3, 3}, {u"Sys_x", 3, 3}, {u"sys_x", 1, 1}, {u"plain", 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideText::ToUtf8(c.name));
        EXPECT_EQ(EventRecord(c.givenClass, 0, 0.0, c.name, 0).Class(), c.expectedClass);
    }
}

TEST(FeedbackSession, NoReportAndFeedbackLevelsDropEvents)
{
    struct Case {
        const char* what;
        std::uint32_t sessionFlags, sessionLevel;
        std::int32_t eventLevel, filterLevel;
        std::uint32_t filterFlags;
        bool kept;
    };
    const Case cases[] = {
        {"level 5 above session level 3", SessionFlags::USE_FEEDBACK_LEVEL, 3, 5, -1, 0, false},
        {"level 5 without the level flag", 0, 3, 5, -1, 0, true},
        {"level 3 at session level 3", SessionFlags::USE_FEEDBACK_LEVEL, 3, 3, -1, 0, true},
        {"level -1 takes the filter's 4", SessionFlags::USE_FEEDBACK_LEVEL, 3, -1, 4, 0, false},
        {"level -1 with no filter level is 0", SessionFlags::USE_FEEDBACK_LEVEL, 0, -1, -1, 0, true},
        {"no report", 0, 0, 0, -1, FilterFlags::NO_REPORT, false},
        {"no log only", 0, 0, 0, -1, FilterFlags::NO_LOG, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SessionFixture session({{u"Jump", nullptr, c.filterFlags, c.filterLevel, 0.0}}, c.sessionFlags,
                               c.sessionLevel);
        session.Simple(u"jump", c.eventLevel);
        EXPECT_EQ(session->Events().size(), c.kept ? 1u : 0u);
        if (c.kept) {
            EXPECT_EQ(session->Events().front().Level(), c.eventLevel);  // kept as recorded
        }
    }
}

TEST(FeedbackSession, NameOnlyFilterCoversSubKeysWithoutTheirOwn)
{
    SessionFixture session({{u"SYS_GoodAction", nullptr, FilterFlags::NO_REPORT, -1, 0.0},
                            {u"SYS_GoodAction", u"Bonus", 0, -1, 0.0}});
    session.Simple(u"SYS_GoodAction", 0, u"combo");
    session.Simple(u"SYS_GoodAction", 0, u"BONUS");
    session.Simple(u"SYS_GoodAction", 0, u"");
    session.Simple(u"SYS_BadAction", 0, u"combo");
    ASSERT_EQ(session->Events().size(), 2u);
    EXPECT_EQ(session->Events()[0].Name(), u"SYS_GoodAction");
    EXPECT_EQ(session->Events()[1].Name(), u"SYS_BadAction");
}

TEST(FeedbackSession, BufferWithoutIntervalAppendsEveryRecord)
{
    SessionFixture unfiltered;
    SessionFixture zeroInterval({{u"SYS_StatChanged", nullptr, FilterFlags::BUFFER, -1, 0.0}});
    for (SessionFixture* session : {&unfiltered, &zeroInterval}) {
        for (int k = 0; k < 5; ++k)
            session->Stat(u"score", k);
        EXPECT_EQ((*session)->Events().size(), 5u);
    }
}

TEST(FeedbackSession, StatBurstKeepsTheFirstAndThenTheLatestPerType)
{
    // A name-only filter with an interval: every type gets its own rollup entry.
    SessionFixture session({{u"sys_statchanged", nullptr, 0, -1, 10.0}});
    session.At(0);
    session.Stat(u"score", 1);
    session.Stat(u"lives", 1);
    for (int k = 2; k <= 5; ++k) {
        session.At(k);
        session.Stat(u"score", k);
    }
    EXPECT_EQ(session.ValuesOf(u"value"), (std::vector<std::u16string>{u"1.000000", u"1.000000"}));

    session.At(10.5);  // the next record after the interval is emitted and replaces what was held
    session.Stat(u"score", 6);
    EXPECT_EQ(session.ValuesOf(u"value").back(), u"6.000000");

    session.At(11);
    session.Stat(u"score", 7);
    session.Stat(u"score", 8);
    session->FlushStatRollups();
    EXPECT_EQ(session.ValuesOf(u"value"),
              (std::vector<std::u16string>{u"1.000000", u"1.000000", u"6.000000", u"8.000000"}));
    session->FlushStatRollups();  // nothing is held any more
    EXPECT_EQ(session->Events().size(), 4u);
}

TEST(FeedbackSession, CallIntervalOverridesTheFilters)
{
    SessionFixture session;
    session.Stat(u"score", 1, 60.0);
    session.Stat(u"score", 2, 60.0);
    session.Stat(u"time", 3, 0.0);
    session.Stat(u"time", 4, 0.0);
    EXPECT_EQ(session.ValuesOf(u"value"), (std::vector<std::u16string>{u"1.000000", u"3.000000", u"4.000000"}));
}

TEST(FeedbackSession, FlushAppendsHeldRecordsOnceEvenWhileTheirFilterStillBuffers)
{
    // Sent back through the filters, a held record would be held again by its own filter and never reach the
    // list; the flush appends it directly.
    SessionFixture session({{u"Tick", nullptr, FilterFlags::BUFFER, -1, 100.0}});
    for (int k = 0; k < 3; ++k)
        session.Simple(u"Tick", 0, u"", k);
    EXPECT_EQ(session->Events().size(), 1u);
    session->FlushStatRollups();
    ASSERT_EQ(session->Events().size(), 2u);
    EXPECT_EQ(session->Events()[1].GameTime(), 2.0);
}

TEST(FeedbackSession, CountOnlyTurnsAMinuteOfEventsIntoRollupsThatAddUp)
{
    SessionFixture session({{u"SYS_MouseButtonChange", nullptr, FilterFlags::COUNT_ONLY, -1, 60.0}});
    for (int k = 0; k < 100; ++k) {
        session.At(k * 0.6);  // 100 events over one minute
        session.Simple(u"SYS_MouseButtonChange", 0, k % 2 ? u"Left" : u"", k);
    }
    const std::size_t before = session->Events().size();
    session.At(70);
    session->FlushCountRollups();
    EXPECT_GT(session->Events().size(), before);  // the last rollup waits for the upload
    const auto counts = RollupCounts(*session);
    EXPECT_EQ(counts.at(u"sys_mousebuttonchange/") + counts.at(u"sys_mousebuttonchange/left/"), 100);
    for (const EventRecord& record : session->Events())
        EXPECT_EQ(record.Class(), EventRecord::kSessionFlow);
    session->FlushCountRollups();  // counts were reset
    EXPECT_EQ(RollupCounts(*session).at(u"sys_mousebuttonchange/left/"), 50);
}

TEST(FeedbackSession, FlushedCountCarriesTheLastGameTimePlusTheTimeSince)
{
    SessionFixture session({{u"Click", nullptr, FilterFlags::COUNT_ONLY, -1, 60.0}});
    session.At(0);
    session.Simple(u"Click", 0, u"", 5.0);
    session.At(4);
    session->FlushCountRollups();
    ASSERT_EQ(session->Events().size(), 1u);
    EXPECT_NEAR(session->Events()[0].GameTime(), 9.0, 0.05);
}

TEST(FeedbackSession, BufferAndCountOnlyTogetherCountEveryEventAndKeepTheLatest)
{
    SessionFixture session({{u"Both", nullptr, FilterFlags::BUFFER | FilterFlags::COUNT_ONLY, -1, 30.0}});
    for (int k = 0; k < 4; ++k)
        session.Simple(u"Both", 0, u"", k);
    session->FlushStatRollups();
    session->FlushCountRollups();
    int rollupCount = 0;
    std::vector<double> kept;
    for (const EventRecord& record : session->Events()) {
        if (record.Name() == u"SYS_EventRollup")
            rollupCount += std::stoi(WideText::ToUtf8(*record.Params()[0].Value));
        else
            kept.push_back(record.GameTime());
    }
    EXPECT_EQ(rollupCount, 4);
    EXPECT_EQ(kept, (std::vector<double>{0.0, 3.0}));
}

TEST(FeedbackSession, PlayerIdsAreMaskedOnlyWhenAsked)
{
    EXPECT_EQ(SessionFixture({}, SessionFlags::MASK_PLAYERIDS)->MaskPlayerId(u"Anna"), u"***");
    EXPECT_EQ(SessionFixture()->MaskPlayerId(u"Anna"), u"Anna");
}

TEST(FeedbackSession, ClientTimeFollowsTheOffsetAndSurvivesAnyDouble)
{
    SessionFixture session;
    const FileTime before = FeedbackSession::SystemFileTime();
    session.At(3600.0);
    const FileTime shifted = session->GetClientTime();
    EXPECT_GE(shifted, before + 36000000000ull);
    EXPECT_LT(shifted, before + 36000000000ull + 50000000ull);
    for (double odd : {1e300, -1e300, std::nan(""), 1.0 / 0.0}) {
        session.At(odd);
        (void)session->GetClientTime();  // under UBSan: no out-of-range conversion
    }
}

TEST(FeedbackSession, WaitForCancelEndsOnDoneTimeOrCancel)
{
    SessionFixture session;
    EXPECT_TRUE(session->WaitForCancel([] { return true; }, 5000));
    EXPECT_TRUE(session->WaitForCancel([] { return false; }, 30));

    std::thread canceller([&session] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        session->Cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(session->WaitForCancel([] { return false; }, 10000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    canceller.join();
    EXPECT_TRUE(session->IsCancelled());
    EXPECT_FALSE(session->WaitForCancel([] { return true; }, 10));  // cancelled: false at once
}
