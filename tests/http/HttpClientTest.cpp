// test-labels: untrusted
#include "platform/http/HttpClient.h"

#include "feedback/LocalSoapServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace {

using namespace http_layer;
using Clock = std::chrono::steady_clock;

const std::string kEnvelope =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\">"
    "<soap:Body><EndSessionNow xmlns=\"http://feedback.quenlo-games.example/data/1.0\"><SessionId>S</SessionId>"
    "</EndSessionNow></soap:Body></soap:Envelope>";

// A plain request the local server takes as a well-formed "EndSessionNow".
HttpRequest PlainRequest(const std::string& url)
{
    HttpRequest r;
    r.url = url;
    r.headers = {"SOAPAction: \"http://feedback.quenlo-games.example/data/1.0/EndSessionNow\"", "Accept: text/xml",
                 "User-Agent: NimbraClient-Native/1.0", "Content-Type: text/xml; charset=utf-8"};
    r.body.assign(kEnvelope.begin(), kEnvelope.end());
    r.timeoutMs = 3000;
    return r;
}

}  // namespace

TEST(HttpClient, PostSendsTheBodyInBlocksAndReturnsTheStatus)
{
    LocalSoapServer server;
    ASSERT_TRUE(server.Start());
    for (std::size_t block : {1u, 7u, 4096u}) {
        SCOPED_TRACE(block);
        HttpRequest request = PlainRequest(server.Url());
        request.blockSize = block;
        std::size_t total = 0, calls = 0;
        request.onBlockSent = [&](std::size_t bytes) {
            EXPECT_LE(bytes, block);
            total += bytes;
            ++calls;
            return true;
        };
        HttpClient client;
        HttpResponse response;
        ASSERT_EQ(client.Post(request, response), HttpResult::Ok) << client.LastErrorText();
        EXPECT_EQ(response.status, 202);
        EXPECT_EQ(total, kEnvelope.size());
        EXPECT_EQ(calls, (kEnvelope.size() + block - 1) / block);
    }
    for (const auto& r : server.Requests()) {
        EXPECT_EQ(r.meta.at("errors"), "");
        EXPECT_EQ(r.xml, kEnvelope);
    }
}

TEST(HttpClient, FailuresOfTheServerEndWithinTheTimeOut)
{
    const struct {
        const char* scenario;
        HttpResult result;
        int status;
    } cases[] = {
        {"fault", HttpResult::Ok, 500},
        {"status404", HttpResult::Ok, 404},
        {"drop", HttpResult::Failed, 0},
        {"oversized", HttpResult::AnswerTooLarge, 0},
        {"slow", HttpResult::TimedOut, 0},
    };
    LocalSoapServer server;
    ASSERT_TRUE(server.Start({"--slow-seconds", "30"}));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.scenario);
        HttpRequest request = PlainRequest(server.Url(std::string("?scenario=") + c.scenario));
        request.timeoutMs = 700;
        request.maxAnswerBytes = 64 << 10;
        HttpClient client;
        HttpResponse response;
        const auto start = Clock::now();
        EXPECT_EQ(client.Post(request, response), c.result) << client.LastErrorText();
        EXPECT_EQ(response.status, c.status);
        EXPECT_LE(response.body.size(), request.maxAnswerBytes);
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
    }
}

TEST(HttpClient, TheDeadlineCountsTheServersTimeNotTheCallersThrottling)
{
    LocalSoapServer server;
    ASSERT_TRUE(server.Start({"--trickle-seconds", "0.2"}));
    HttpClient client;
    HttpResponse response;
    HttpRequest trickled = PlainRequest(server.Url("?scenario=trickle"));
    trickled.timeoutMs = 700;
    trickled.deadlineMs = 1500;
    const auto start = Clock::now();
    EXPECT_EQ(client.Post(trickled, response), HttpResult::TimedOut);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));

    HttpRequest throttled = PlainRequest(server.Url());
    throttled.blockSize = 64;
    throttled.deadlineMs = 1500;
    throttled.onBlockSent = [](std::size_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        return true;
    };
    EXPECT_EQ(client.Post(throttled, response), HttpResult::Ok) << client.LastErrorText();
    EXPECT_EQ(response.status, 202);
}

TEST(HttpClient, SendCallbackCanStopTheRequest)
{
    LocalSoapServer server;
    ASSERT_TRUE(server.Start());
    HttpRequest request = PlainRequest(server.Url());
    request.blockSize = 16;
    int calls = 0;
    request.onBlockSent = [&](std::size_t) { return ++calls < 4; };
    HttpClient client;
    HttpResponse response;
    EXPECT_EQ(client.Post(request, response), HttpResult::Aborted);
    EXPECT_EQ(calls, 4);
    EXPECT_TRUE(server.Requests().empty());
}

TEST(HttpClient, OnlyHttpAddressesAreRequestedAndHeadersCannotBeInjected)
{
    HttpClient client;
    HttpResponse response;
    for (const char* url : {"file:///etc/passwd", "ftp://127.0.0.1/x", "127.0.0.1:80/x", "", "http://127.0.0.1/a\r\nX: y"}) {
        SCOPED_TRACE(url);
        EXPECT_EQ(client.Post(PlainRequest(url), response), HttpResult::BadUrl);
    }
    LocalSoapServer server;
    ASSERT_TRUE(server.Start());
    HttpRequest request = PlainRequest(server.Url());
    request.headers.push_back("X-Test: a\r\nInjected: b");
    EXPECT_EQ(client.Post(request, response), HttpResult::Failed);
    EXPECT_TRUE(server.Requests().empty());
}

TEST(HttpClient, AClosedPortFailsToConnect)
{
    std::string url;
    {
        LocalSoapServer server;
        ASSERT_TRUE(server.Start());
        url = server.Url();
    }
    HttpClient client;
    HttpResponse response;
    EXPECT_EQ(client.Post(PlainRequest(url), response), HttpResult::ConnectFailed);
}
