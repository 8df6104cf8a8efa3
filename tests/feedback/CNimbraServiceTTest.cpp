// test-labels: untrusted
#include "feedback/CNimbraServiceT.h"

#include "feedback/LocalSoapServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

std::u16string Wide(const std::string& ascii)
{
    return std::u16string(ascii.begin(), ascii.end());
}

// A proxy pointed at the local server, with a short time-out so no test waits long.
CNimbraServiceT ProxyFor(const LocalSoapServer& server, const std::string& query = "")
{
    CNimbraServiceT proxy;
    EXPECT_TRUE(proxy.SetUrl(Wide(server.Url(query))));
    proxy.SetTimeout(3000);
    return proxy;
}

BeginSessionParams SomeParams()
{
    BeginSessionParams p;
    p.ClientApiVersion = 0x10006;
    p.ClientApiBuildConfig = u"1.00.0.00000; cpp; ";
    p.GameId = u"{01234567-89AB-CDEF-0123-456789ABCDEF}";
    p.GameVersion = 7;
    p.UserId = u"{00000000-0000-0000-0000-000000000000}";
    return p;
}

std::vector<SessionEvent> SomeEvents(int count)
{
    std::vector<SessionEvent> events;
    for (int i = 0; i < count; ++i) {
        events.push_back({u"SYS_KeyChange", 133000000000000000 + i, u"3.250",
                          i % 3 ? std::optional<std::u16string>(u"player=p%20" + Wide(std::to_string(i))) : std::nullopt});
    }
    return events;
}

}  // namespace

TEST(CNimbraServiceT, EveryMethodArrivesWithTheProtocolsHeadersAndABodyThatInflatesToTheRequest)
{
    for (bool compression : {true, false}) {
        SCOPED_TRACE(compression ? "deflated" : "plain");
        LocalSoapServer server;
        ASSERT_TRUE(server.Start({"--session-id", "S-42", "--server-flags", "2", "--beta-url", "https://beta.example/x"}));
        CNimbraServiceT proxy = ProxyFor(server);
        proxy.SetCompression(compression);
        std::vector<std::string> sent;

        BeginSessionResult result;
        ASSERT_TRUE(proxy.BeginSession(SomeParams(), 133000000000000000, result)) << SoapErrorName(proxy.LastError());
        sent.push_back(proxy.LastRequestXml());
        EXPECT_EQ(result.SessionId, u"S-42");
        EXPECT_EQ(result.ServerFlags, 2u);
        EXPECT_EQ(result.FeedbackLevel, 3);
        EXPECT_EQ(result.BetaUrl, u"https://beta.example/x");
        EXPECT_EQ(result.UserId, u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");

        EXPECT_TRUE(proxy.RecordSessionEventsChunk(result.SessionId, SomeEvents(5), 0, 0, false));
        sent.push_back(proxy.LastRequestXml());
        EXPECT_TRUE(proxy.RecordSessionEventsChunkNow(result.SessionId, SomeEvents(1200), 1, 2, true));
        sent.push_back(proxy.LastRequestXml());
        EXPECT_TRUE(proxy.RecordSystemInfo(u"{U}", u"report\r\nline"));
        sent.push_back(proxy.LastRequestXml());
        EXPECT_TRUE(proxy.RecordSystemInfoNow(u"{U}", u"report"));
        sent.push_back(proxy.LastRequestXml());
        EXPECT_TRUE(proxy.EndSession(result.SessionId, u"quit", 1));
        sent.push_back(proxy.LastRequestXml());
        EXPECT_TRUE(proxy.EndSessionNow(result.SessionId, u"", 2));
        sent.push_back(proxy.LastRequestXml());

        const std::vector<std::string> methods = {"BeginSession", "RecordSessionEventsChunk", "RecordSessionEventsChunkNow",
                                                  "RecordSystemInfo", "RecordSystemInfoNow", "EndSession", "EndSessionNow"};
        const auto requests = server.Requests();
        ASSERT_EQ(requests.size(), methods.size());
        for (std::size_t i = 0; i < methods.size(); ++i) {
            SCOPED_TRACE(methods[i]);
            const auto& meta = requests[i].meta;
            EXPECT_EQ(meta.at("errors"), "");
            EXPECT_EQ(meta.at("method"), methods[i]);
            EXPECT_EQ(meta.at("contentType"), compression ? "application/octet-stream; type=NimbraClient-DeflateData"
                                                          : "text/xml; charset=utf-8");
            EXPECT_EQ(meta.at("contentEncoding"), compression ? "identity" : "-");
            EXPECT_EQ(requests[i].xml, sent[i]);
        }
        if (compression) {
            EXPECT_GT(std::stoul(requests[2].meta.at("rawLength")), 1024u);  // still sent whole
        }
    }
}

TEST(CNimbraServiceT, AnswersAreJudgedByStatusAndMethodKind)
{
    const struct {
        const char* scenario;
        bool twoWay;
        bool oneWay;
        SoapError error;  // of the failing kind
    } cases[] = {
        {"success", true, true, SoapError::None},
        {"accepted", true, true, SoapError::None},   // a two-way method accepts an empty 202
        {"ok200", true, false, SoapError::UnexpectedStatus},  // a one-way method wants 202 only
        {"fault", false, false, SoapError::Fault},
        {"garbage", false, false, SoapError::BadAnswer},
        {"status404", false, false, SoapError::UnexpectedStatus},
        {"drop", false, false, SoapError::Transport},
        {"oversized", false, false, SoapError::AnswerTooLarge},
    };
    LocalSoapServer server;
    ASSERT_TRUE(server.Start());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        CNimbraServiceT proxy = ProxyFor(server, std::string("?scenario=") + c.scenario);
        EXPECT_EQ(proxy.EndSession(u"S", u"r", 1), c.twoWay);
        if (!c.twoWay) {
            EXPECT_EQ(proxy.LastError(), c.error);
        }
        EXPECT_EQ(proxy.EndSessionNow(u"S", u"r", 1), c.oneWay);
        if (!c.oneWay) {
            EXPECT_EQ(proxy.LastError(), c.error);
        }
    }
    for (const auto& r : server.Requests()) EXPECT_EQ(r.meta.at("errors"), "");
}

TEST(CNimbraServiceT, FaultTextIsKept)
{
    LocalSoapServer server;
    ASSERT_TRUE(server.Start({"--scenario", "default=fault"}));
    CNimbraServiceT proxy = ProxyFor(server);
    BeginSessionResult result;
    EXPECT_FALSE(proxy.BeginSession(SomeParams(), 0, result));
    EXPECT_EQ(proxy.LastError(), SoapError::Fault);
    EXPECT_EQ(proxy.LastStatus(), 500);
    EXPECT_EQ(proxy.LastFault().Code, u"soap:Server");
    EXPECT_EQ(proxy.LastFault().Text, u"Server was unable to process request. <test>");
}

TEST(CNimbraServiceT, BeginSessionWithoutASessionIdFails)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--scenario", "default=accepted"},
                                                 std::vector<std::string>{"--session-id", ""}}) {
        SCOPED_TRACE(args[1]);
        LocalSoapServer server;
        ASSERT_TRUE(server.Start(args));
        CNimbraServiceT proxy = ProxyFor(server);
        BeginSessionResult result;
        EXPECT_FALSE(proxy.BeginSession(SomeParams(), 0, result));
        EXPECT_EQ(proxy.LastError(), SoapError::BadAnswer);
    }
}

TEST(CNimbraServiceT, ASilentOrTricklingServerFailsWithinTheTimeOutOrTheDeadline)
{
    LocalSoapServer server;
    // A trickle of one byte every 0.2 seconds never goes silent for the time-out, and would take
    // a minute and more for the whole answer.
    ASSERT_TRUE(server.Start({"--scenario", "default=slow", "--slow-seconds", "30", "--trickle-seconds", "0.2"}));
    for (const char* query : {"", "?scenario=trickle"}) {
        SCOPED_TRACE(query);
        CNimbraServiceT proxy = ProxyFor(server, query);
        proxy.SetTimeout(800);
        proxy.SetDeadline(1600);
        const auto start = Clock::now();
        EXPECT_FALSE(proxy.EndSession(u"S", u"", 0));
        EXPECT_EQ(proxy.LastError(), SoapError::TimedOut);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(4));
    }
    // A deadline for all calls together ends the trickle too, and once it is spent every later
    // call fails at once, unsent.
    CNimbraServiceT proxy = ProxyFor(server, "?scenario=trickle");
    proxy.SetTimeout(800);
    proxy.SetDeadline(0);
    proxy.SetTotalDeadline(1000);
    const auto start = Clock::now();
    EXPECT_FALSE(proxy.EndSession(u"S", u"", 0));
    EXPECT_EQ(proxy.LastError(), SoapError::TimedOut);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    const std::size_t logged = server.Requests().size();
    const auto again = Clock::now();
    EXPECT_FALSE(proxy.EndSession(u"S", u"", 0));
    EXPECT_EQ(proxy.LastError(), SoapError::TimedOut);
    EXPECT_LT(Clock::now() - again, std::chrono::milliseconds(500));
    EXPECT_EQ(server.Requests().size(), logged);
}

TEST(CNimbraServiceT, SendCallbackSeesEveryBlockAndCanStopTheRequest)
{
    LocalSoapServer server;
    ASSERT_TRUE(server.Start());
    CNimbraServiceT proxy = ProxyFor(server);
    proxy.SetCompression(false);
    proxy.SetSendBlockSize(1000);
    std::vector<std::size_t> blocks;
    proxy.SetSendCallback([&](std::size_t bytes) { blocks.push_back(bytes); return true; });
    ASSERT_TRUE(proxy.RecordSessionEventsChunkNow(u"S", SomeEvents(50), 0, 0, false));
    std::size_t total = 0;
    for (std::size_t b : blocks) {
        EXPECT_LE(b, 1000u);
        total += b;
    }
    EXPECT_EQ(total, proxy.LastRequestXml().size());
    EXPECT_GT(blocks.size(), 3u);

    int calls = 0;
    proxy.SetSendCallback([&](std::size_t) { return ++calls < 3; });
    EXPECT_FALSE(proxy.RecordSessionEventsChunkNow(u"S", SomeEvents(50), 0, 0, false));
    EXPECT_EQ(proxy.LastError(), SoapError::Aborted);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(server.Requests().size(), 1u);  // the stopped request never reached the service
}

TEST(CNimbraServiceT, OnlyHttpAddressesAreTaken)
{
    const struct {
        std::u16string url;
        bool ok;
    } cases[] = {
        {u"http://127.0.0.1:1/data/dataservice.asmx", true},
        {u"https://feedback.example/data/dataservice.asmx", true},
        {u"", true},  // the default endpoint
        {u"ftp://feedback.example/x", false},
        {u"file:///etc/passwd", false},
        {u"feedback.example/data", false},
        {u"http://", false},
        {u"http://host/" + std::u16string(2100, u'a'), false},
        {u"http://host/a b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.url.begin(), c.url.begin() + std::min<std::size_t>(c.url.size(), 60)));
        CNimbraServiceT proxy;
        const std::string before = proxy.Url();
        EXPECT_EQ(proxy.SetUrl(c.url), c.ok);
        if (!c.ok) {
            EXPECT_EQ(proxy.Url(), before);
        }
    }
    CNimbraServiceT proxy;
    EXPECT_EQ(proxy.Url(), NimbraService::kDevelopmentEndpoint);
    ASSERT_TRUE(proxy.SetUrl(u""));
    EXPECT_EQ(proxy.Url(), NimbraService::kDefaultEndpoint);
}

TEST(CNimbraServiceT, AServerThatIsGoneFailsAtOnce)
{
    std::string url;
    {
        LocalSoapServer server;
        ASSERT_TRUE(server.Start());
        url = server.Url();
    }
    CNimbraServiceT proxy;
    ASSERT_TRUE(proxy.SetUrl(Wide(url)));
    proxy.SetTimeout(2000);
    const auto start = Clock::now();
    EXPECT_FALSE(proxy.EndSessionNow(u"S", u"", 0));
    EXPECT_EQ(proxy.LastError(), SoapError::Connect);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
}
