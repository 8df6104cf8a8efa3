// test-labels: untrusted
#include "feedback/FeedbackSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "LocalSoapServer.h"
#include "SessionHarness.h"
#include "SoapRequestText.h"
#include "feedback/WideText.h"

namespace {

std::u16string Wide(const std::string& text)
{
    return WideText::FromUtf8(text);
}

void AddEvents(FeedbackSession& session, int count, std::int32_t eventClass = EventRecord::kGameplay,
               std::int32_t level = 0)
{
    for (int k = 0; k < count; ++k)
        session.AppendEvent(session.NewEvent(eventClass, level, k * 0.5, u"Tick"));
}

class UploadFixture {
public:
    explicit UploadFixture(std::vector<std::string> serverArgs = {}, std::string ini = "[Options]\n")
        : h(std::move(ini))
    {
        m_bStarted = m_server.Start(serverArgs);
    }
    bool Started() const { return m_bStarted; }
    FeedbackSession& Make(std::uint32_t flags = 0) { return h.Make(flags, Wide(m_server.Url())); }
    std::vector<LocalSoapServer::Request> Requests() const { return m_server.Requests(); }
    SessionHarness h;

private:
    LocalSoapServer m_server;
    bool m_bStarted = false;
};

}  // namespace

TEST(FeedbackSessionUpload, EventsGoInChunksOfAThousandWithRisingSerials)
{
    UploadFixture f;
    ASSERT_TRUE(f.Started());
    FeedbackSession& session = f.Make(SessionFlags::NO_DXDIAG);
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(f.h.Registry().Write(f.h.GameKey(), u"Enabled", RegistryStore::Dword(1)));
    AddEvents(session, 2500);
    session.Upload(u"quit");
    EXPECT_EQ(session.LastUploadResult(), FeedbackSession::kUploadDone);
    const auto requests = f.Requests();
    ASSERT_EQ(Methods(requests), (std::vector<std::string>{"BeginSession", "RecordSessionEventsChunkNow",
                                                            "RecordSessionEventsChunkNow",
                                                            "RecordSessionEventsChunkNow", "EndSessionNow"}));
    const int sizes[] = {1000, 1000, 500};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const std::string& xml = requests[1 + k].xml;
        EXPECT_EQ(CountOf(xml, "<Type>Tick</Type>"), sizes[k]);
        EXPECT_EQ(Field(xml, "ChunkSerial"), std::to_string(k));
        EXPECT_EQ(Field(xml, "SessionId"), "7f1c2a90-session");
        EXPECT_EQ(requests[1 + k].meta.at("compressed"), "1");
    }
    EXPECT_EQ(Field(requests[4].xml, "FinishReason"), "quit");
    EXPECT_TRUE(f.h.Dialogs.ConsentAsked.empty());
    EXPECT_GE(f.h.Dialogs.ProgressOpened.load(), 1);
    EXPECT_EQ(f.h.Dialogs.ProgressOpened.load(), f.h.Dialogs.ProgressClosed.load());
    // The user id the server assigned is kept for the next session.
    EXPECT_EQ(SessionRegistry::RegReadUserId(f.h.Registry(), f.h.GameKey(), Guid{}).Data1, 0x0F1E2D3Cu);
}

TEST(FeedbackSessionUpload, ConsentIsAskedWhenNoneIsStoredAndOnlyAnAnswerIsStored)
{
    struct Case {
        std::int32_t answer;
        std::optional<std::uint32_t> stored;
        std::size_t requests;
    };
    for (const Case& c : {Case{206, 1u, 3}, Case{207, 0u, 0}, Case{0, std::nullopt, 0}}) {
        SCOPED_TRACE(c.answer);
        UploadFixture f;
        ASSERT_TRUE(f.Started());
        FeedbackSession& session = f.Make(SessionFlags::NO_DXDIAG);
        ASSERT_TRUE(session.Start());
        f.h.Dialogs.ConsentAnswer = c.answer;
        AddEvents(session, 3);
        session.Upload(nullptr);
        ASSERT_EQ(f.h.Dialogs.ConsentAsked.size(), 1u);
        EXPECT_EQ(f.h.Dialogs.ConsentAsked[0], 0);  // nothing preselected
        EXPECT_EQ(f.h.GameEnabled(), c.stored);
        EXPECT_EQ(f.Requests().size(), c.requests);
        EXPECT_EQ(session.LastUploadResult(),
                  c.answer == 206 ? FeedbackSession::kUploadDone : FeedbackSession::kUploadNotAllowed);
    }
}

TEST(FeedbackSessionUpload, GameSerialAndInsideGameDescribeTheStateBeforeEachChunk)
{
    UploadFixture f;
    ASSERT_TRUE(f.Started());
    FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE);
    ASSERT_TRUE(session.Start());
    session.AppendEvent(session.NewEvent(0, 0, 0.0, u"SYS_StartGame"));
    AddEvents(session, 998);
    session.AppendEvent(session.NewEvent(0, 0, 0.0, u"SYS_EndGame"));  // event 1000 closes chunk 0
    session.AppendEvent(session.NewEvent(0, 0, 0.0, u"sys_startgame"));
    AddEvents(session, 999);
    session.AppendEvent(session.NewEvent(0, 0, 0.0, u"Tick"));
    session.Upload(u"");
    const auto requests = f.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(Field(requests[1].xml, "GameSerial"), "0");
    EXPECT_EQ(Field(requests[1].xml, "InsideGame"), "false");
    EXPECT_EQ(Field(requests[2].xml, "GameSerial"), "1");
    EXPECT_EQ(Field(requests[2].xml, "InsideGame"), "false");
    EXPECT_EQ(Field(requests[3].xml, "GameSerial"), "1");
    EXPECT_EQ(Field(requests[3].xml, "InsideGame"), "true");
    EXPECT_EQ(f.h.Dialogs.ProgressOpened.load(), 0);  // unattended: no window
}

TEST(FeedbackSessionUpload, ServerFlagsAndLevelDecideWhatIsSent)
{
    struct Case {
        const char* flags;
        const char* level;
        std::vector<std::string> methods;
        std::vector<std::string> types;
        std::optional<std::uint32_t> enabled;
    };
    const std::vector<std::string> all = {"BeginSession", "RecordSessionEventsChunkNow", "EndSessionNow"};
    const Case cases[] = {
        {"2097152", "3", all, {"Flow", "Play", "Custom"}, 1u},            // 0x200000: no class 2
        {"1048576", "3", all, {"Flow", "Input", "Custom"}, 1u},           // 0x100000: no class 1
        {"4194304", "9", all, {"Flow", "Play", "Input", "Deep"}, 1u},     // 0x400000: no class 3
        {"0", "0", all, {"Flow", "Play", "Input", "Custom"}, 1u},         // level 0 keeps -1 and 0
        {"1", "3", {"BeginSession"}, {}, 1u},
        {"4", "3", {"BeginSession"}, {}, 0u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.flags) + " level " + c.level);
        UploadFixture f({"--server-flags", c.flags, "--feedback-level", c.level});
        ASSERT_TRUE(f.Started());
        FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE);
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(f.h.Registry().Write(f.h.GameKey(), u"Enabled", RegistryStore::Dword(1)));
        session.AppendEvent(EventRecord(0, 0, 0.0, u"Flow", 1));
        session.AppendEvent(EventRecord(1, 0, 0.0, u"Play", 1));
        session.AppendEvent(EventRecord(2, 0, 0.0, u"Input", 1));
        session.AppendEvent(EventRecord(2, 5, 0.0, u"Deep", 1));
        session.AppendEvent(EventRecord(3, -1, 0.0, u"Custom", 1));
        session.Upload(u"");
        const auto requests = f.Requests();
        EXPECT_EQ(Methods(requests), c.methods);
        std::vector<std::string> types;
        if (requests.size() > 1) {
            const std::string& xml = requests[1].xml;
            for (std::size_t at = xml.find("<Type>"); at != std::string::npos; at = xml.find("<Type>", at + 1))
                types.push_back(Field(xml.substr(at), "Type"));
        }
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(f.h.GameEnabled(), c.enabled);
    }
}

TEST(FeedbackSessionUpload, ParametersAreEscapedAndALongOneIsCutInsteadOfStoppingTheUpload)
{
    UploadFixture f;
    ASSERT_TRUE(f.Started());
    FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE | SessionFlags::NO_COMPRESSION);
    ASSERT_TRUE(session.Start());
    EventRecord plain = session.NewEvent(1, 0, 1.25, u"Move");
    plain.AddStringParam(u"text", u"a b;c");
    plain.AddStringParam(u"flag", std::nullopt);
    plain.AddStringParam(u"caf\u00E9", u"");
    session.AppendEvent(std::move(plain));
    EventRecord none = session.NewEvent(1, 0, 2.0, u"Bare");
    session.AppendEvent(std::move(none));
    EventRecord longOne = session.NewEvent(1, 0, 3.0, u"Long");
    longOne.AddStringParam(u"v", std::u16string(600, u' '));  // 1800 escaped characters
    session.AppendEvent(std::move(longOne));
    session.Upload(u"");
    const auto requests = f.Requests();
    ASSERT_EQ(Methods(requests),
              (std::vector<std::string>{"BeginSession", "RecordSessionEventsChunkNow", "EndSessionNow"}));
    EXPECT_EQ(requests[1].meta.at("compressed"), "0");
    const std::string& xml = requests[1].xml;
    EXPECT_NE(xml.find("<Params>text=a%20b%3bc;flag;caf%c3%a9</Params>"), std::string::npos) << xml.substr(0, 2000);
    EXPECT_NE(xml.find("<GameTime>1.250</GameTime>"), std::string::npos);
    EXPECT_NE(xml.find("<Params xsi:nil=\"1\"/>"), std::string::npos);  // the event without parameters
    std::string cut = "v=";
    for (int k = 0; k < 333; ++k)
        cut += "%20";
    EXPECT_NE(xml.find("<Params>" + cut + "</Params>"), std::string::npos);
}

TEST(FeedbackSessionUpload, AGarbledUserIdKeepsTheStoredOne)
{
    UploadFixture f({"--user-id", "not a guid"});
    ASSERT_TRUE(f.Started());
    FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE);
    const Guid stored = {0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 5, 5, 5, 5}};
    ASSERT_TRUE(SessionRegistry::RegWriteUserId(f.h.Registry(), f.h.GameKey(), stored));
    ASSERT_TRUE(session.Start());
    session.Upload(u"");
    EXPECT_EQ(SessionRegistry::RegReadUserId(f.h.Registry(), f.h.GameKey(), Guid{}).Data1, 0x11111111u);
    const auto requests = f.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(Field(requests[0].xml, "UserId"), "{11111111-2222-3333-0404-050505050505}");
}

TEST(FeedbackSessionUpload, CancellingStopsBeforeEndSessionAndOptingOutStoresNo)
{
    struct Case {
        std::int32_t cancelAnswer;
        bool cancelled;
        std::optional<std::uint32_t> enabled;
    };
    for (const Case& c : {Case{206, true, 1u}, Case{208, true, 0u}, Case{207, false, 1u}}) {
        SCOPED_TRACE(c.cancelAnswer);
        UploadFixture f({"--scenario", "default=success,RecordSessionEventsChunkNow=slow", "--slow-seconds", "1"});
        ASSERT_TRUE(f.Started());
        FeedbackSession& session = f.Make(SessionFlags::NO_DXDIAG);
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(f.h.Registry().Write(f.h.GameKey(), u"Enabled", RegistryStore::Dword(1)));
        f.h.Dialogs.CancelAnswer = c.cancelAnswer;
        std::atomic<int> ticks{0};
        // The user presses Cancel twice while the first chunk is on its way.
        f.h.Dialogs.CancelTrigger = [&ticks] { const int t = ++ticks; return t == 3 || t == 5; };
        AddEvents(session, 2500);
        session.Upload(u"");
        const auto methods = Methods(f.Requests());
        EXPECT_EQ(std::find(methods.begin(), methods.end(), "EndSessionNow") != methods.end(), !c.cancelled);
        EXPECT_EQ(session.LastUploadResult(),
                  c.cancelled ? FeedbackSession::kUploadCancelled : FeedbackSession::kUploadDone);
        EXPECT_EQ(f.h.Dialogs.CancelAsked.load(), c.cancelled ? 1 : 2);  // once cancelled, Cancel does nothing
        EXPECT_EQ(f.h.GameEnabled(), c.enabled);
        if (c.cancelAnswer == 208) {
            EXPECT_EQ(f.h.Dialogs.Messages.size(), 1u);  // no opt-out page configured: the thank-you
        }
    }
}

TEST(FeedbackSessionUpload, BetaOfferComesOnlyAfterConsentGivenNowWithTheWindowHidden)
{
    struct Case {
        const char* betaUrl;
        bool askedNow;
        std::size_t offers;
    };
    const Case cases[] = {
        {"https://example.test/beta", true, 1},
        {"https://example.test/beta", false, 0},
        {"javascript:alert(1)", true, 0},  // the server's address is offered only when it is a web page
        {"file:///etc/passwd", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.betaUrl) + (c.askedNow ? " asked now" : " stored"));
        UploadFixture f({"--beta-url", c.betaUrl});
        ASSERT_TRUE(f.Started());
        FeedbackSession& session = f.Make(SessionFlags::NO_DXDIAG);
        ASSERT_TRUE(session.Start());
        if (!c.askedNow) {
            ASSERT_TRUE(f.h.Registry().Write(f.h.GameKey(), u"Enabled", RegistryStore::Dword(1)));
        }
        session.Upload(u"");
        EXPECT_EQ(f.h.Dialogs.PagesOpened.size(), 0u);
        ASSERT_EQ(f.h.Dialogs.BetaOffers.size(), c.offers);
        if (c.offers > 0) {
            EXPECT_EQ(f.h.Dialogs.BetaOffers[0], u"https://example.test/beta");
        }
    }
}

TEST(FeedbackSessionUpload, FailuresEndTheUploadWithoutEndSession)
{
    struct Case {
        const char* scenario;
        std::vector<std::string> methods;
    };
    const Case cases[] = {
        {"default=fault", {"BeginSession"}},
        {"default=success,RecordSessionEventsChunkNow=status404", {"BeginSession", "RecordSessionEventsChunkNow"}},
        {"default=success,BeginSession=accepted", {"BeginSession"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        UploadFixture f({"--scenario", c.scenario});
        ASSERT_TRUE(f.Started());
        FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE);
        ASSERT_TRUE(session.Start());
        AddEvents(session, 5);
        session.Upload(u"");
        EXPECT_EQ(Methods(f.Requests()), c.methods);
        EXPECT_EQ(session.LastUploadResult(), FeedbackSession::kUploadFailed);
    }
    SessionHarness h;
    FeedbackSession& session = h.Make(SessionFlags::UNATTENDED_MODE, u"ftp://nowhere/x");
    ASSERT_TRUE(session.Start());
    session.Upload(u"");
    EXPECT_EQ(session.LastUploadResult(), FeedbackSession::kUploadFailed);
}

TEST(FeedbackSessionUpload, TwoWayModeUsesTheAnsweredMethods)
{
    UploadFixture f;
    ASSERT_TRUE(f.Started());
    FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE | SessionFlags::WAIT_FOR_SERVER);
    ASSERT_TRUE(session.Start());
    AddEvents(session, 1);
    session.Upload(u"");
    EXPECT_EQ(Methods(f.Requests()),
              (std::vector<std::string>{"BeginSession", "RecordSessionEventsChunk", "EndSession"}));
}

TEST(FeedbackSessionUpload, OneDeadlineBoundsTheWholeUploadHoweverTheServerPacesItsAnswers)
{
    // Every answer comes just inside the deadline: one request at a time, each would pass, and
    // BeginSession, three chunks and EndSession would hold the host's end call five times as long.
    constexpr int kDeadlineMs = 2000;
    UploadFixture f({"--scenario", "default=slow", "--slow-seconds", "1.8"});
    ASSERT_TRUE(f.Started());
    FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE);
    session.UseUploadDeadline(kDeadlineMs);
    ASSERT_TRUE(session.Start());
    AddEvents(session, 2500);
    const auto start = std::chrono::steady_clock::now();
    session.Upload(u"");
    const auto took = std::chrono::steady_clock::now() - start;
    // The rest is the transfer's polling, under a second; two paced answers would not fit.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(took).count(), kDeadlineMs + 1500);
    // What was not sent is a failed upload, as any failed request makes it.
    EXPECT_EQ(session.LastUploadResult(), FeedbackSession::kUploadFailed);
    const auto methods = Methods(f.Requests());
    EXPECT_EQ(std::count(methods.begin(), methods.end(), "EndSessionNow"), 0);
}

TEST(FeedbackSessionUpload, TheDeadlineBoundsTheServersTimeNotTheThrottlingTheHostAskedFor)
{
    // As at the default 1500 bytes a second against the 2-minute deadline, where 420 KB take 280 s
    // of planned pauses: the same ratio of pauses to deadline, at a rate that fits a test.
    constexpr int kDeadlineMs = 1500;
    constexpr std::uint32_t kRate = 120000;
    constexpr double kPausesPerDeadline = 280.0 / 120.0;
    struct Case {
        const char* server;
        std::uint32_t result;
    };
    const Case cases[] = {
        {"default=success", FeedbackSession::kUploadDone},  // answers at once: only the pauses are long
        {"default=slow", FeedbackSession::kUploadFailed},     // holds each answer: throttling buys it no time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        UploadFixture f({"--scenario", c.server, "--slow-seconds", "0.9"},
                        "[Options]\nNetworkMaxBytesPerSecond=" + std::to_string(kRate) + "\n");
        ASSERT_TRUE(f.Started());
        FeedbackSession& session = f.Make(SessionFlags::UNATTENDED_MODE | SessionFlags::THROTTLE_NETWORK |
                                          SessionFlags::NO_COMPRESSION);
        session.UseUploadDeadline(kDeadlineMs);
        ASSERT_TRUE(session.Start());
        AddEvents(session, 3000);
        const auto start = std::chrono::steady_clock::now();
        session.Upload(u"");
        const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(session.LastUploadResult(), c.result);
        std::size_t sent = 0;
        for (const LocalSoapServer::Request& request : f.Requests())
            sent += request.xml.size();
        const double pauses = static_cast<double>(sent) / kRate;
        if (c.result == FeedbackSession::kUploadDone) {
            EXPECT_GT(sent, 400000u);
            EXPECT_GT(pauses, kPausesPerDeadline * kDeadlineMs / 1000.0 * 0.95);
            EXPECT_GT(took, 0.95 * pauses) << "the pauses were made";
        } else {
            EXPECT_LT(took, kDeadlineMs / 1000.0 + pauses + 1.5) << "the server's time ran out";
        }
    }
}
