#include "feedback/NimbraRequests.h"

#include "feedback/RawDeflate.h"
#include "feedback/SoapEnvelopeWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace {

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
    "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\""
    " xmlns:soapenc=\"http://schemas.xmlsoap.org/soap/encoding/\"><soap:Body>";
const std::string kTail = "</soap:Body></soap:Envelope>";
const std::string kNs = " xmlns=\"http://feedback.quenlo-games.example/data/1.0\"";

std::string RawInflate(const std::vector<std::uint8_t>& data)
{
    z_stream s {};
    if (inflateInit2(&s, -15) != Z_OK) return "<init failed>";
    std::string out;
    s.next_in = const_cast<Bytef*>(data.data());
    s.avail_in = static_cast<uInt>(data.size());
    int rc = Z_OK;
    while (rc == Z_OK) {
        char buffer[4096];
        s.next_out = reinterpret_cast<Bytef*>(buffer);
        s.avail_out = sizeof buffer;
        rc = inflate(&s, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - s.avail_out);
    }
    inflateEnd(&s);
    return rc == Z_STREAM_END ? out : "<inflate failed>";
}

}  // namespace

TEST(NimbraRequests, BeginSessionWritesTheParamsInTheServiceOrder)
{
    BeginSessionParams p;
    p.ClientApiVersion = 0x10006;
    p.ClientApiBuildConfig = u"1.00.0.00000; cpp; linux; so; ini-type=\"raw\"; ";
    p.GameId = u"{01234567-89AB-CDEF-0123-456789ABCDEF}";
    p.GameVersion = 4294967295u;
    p.GameBuildConfig = u"";
    p.GameFirstRunTime = 132000000000000000;
    p.UserId = u"{00000000-0000-0000-0000-000000000000}";
    EXPECT_EQ(NimbraRequests::BeginSession(p, -5),
              kHead + "<BeginSession" + kNs + "><BeginSessionParams>"
              "<ClientApiVersion>65542</ClientApiVersion>"
              "<ClientApiBuildConfig>1.00.0.00000; cpp; linux; so; ini-type=\"raw\"; </ClientApiBuildConfig>"
              "<GameId>{01234567-89AB-CDEF-0123-456789ABCDEF}</GameId>"
              "<GameVersion>4294967295</GameVersion>"
              "<GameBuildConfig></GameBuildConfig>"
              "<GameFirstRunTime>132000000000000000</GameFirstRunTime>"
              "<UserId>{00000000-0000-0000-0000-000000000000}</UserId>"
              "<PurchaseStatus></PurchaseStatus>"
              "</BeginSessionParams><StartClientTime>-5</StartClientTime></BeginSession>" + kTail);
}

TEST(NimbraRequests, EventsChunkWritesEveryEventAndANilElementForMissingParams)
{
    std::vector<SessionEvent> events(2);
    events[0] = {u"SYS_StartGame", 133000000000000001, u"1.500", std::u16string(u"mode=story")};
    events[1] = {u"SYS_UIScreenChange", 133000000000000002, u"2.000", std::nullopt};
    for (const char* method : {"RecordSessionEventsChunk", "RecordSessionEventsChunkNow"}) {
        SCOPED_TRACE(method);
        EXPECT_EQ(NimbraRequests::RecordSessionEventsChunk(method, u"S-1", events, 2, 1, true),
                  kHead + "<" + method + kNs + "><SessionId>S-1</SessionId><Events>"
                  "<SessionEvent><Type>SYS_StartGame</Type><ClientTime>133000000000000001</ClientTime>"
                  "<GameTime>1.500</GameTime><Params>mode=story</Params></SessionEvent>"
                  "<SessionEvent><Type>SYS_UIScreenChange</Type><ClientTime>133000000000000002</ClientTime>"
                  "<GameTime>2.000</GameTime><Params xsi:nil=\"1\"/></SessionEvent>"
                  "</Events><ChunkSerial>2</ChunkSerial><GameSerial>1</GameSerial><InsideGame>true</InsideGame></"
                  + method + ">" + kTail);
    }
    EXPECT_NE(NimbraRequests::RecordSessionEventsChunk("RecordSessionEventsChunk", u"S", {}, 0, 0, false)
                  .find("<Events></Events><ChunkSerial>0</ChunkSerial><GameSerial>0</GameSerial><InsideGame>false</InsideGame>"),
              std::string::npos);
}

TEST(NimbraRequests, SystemInfoAndEndSessionWriteTheirFields)
{
    EXPECT_EQ(NimbraRequests::RecordSystemInfo("RecordSystemInfoNow", u"{U}", u"A\r\nB"),
              kHead + "<RecordSystemInfoNow" + kNs + "><UserId>{U}</UserId>"
              "<SystemInfoData>A&#xD;\nB</SystemInfoData></RecordSystemInfoNow>" + kTail);
    EXPECT_EQ(NimbraRequests::EndSession("EndSession", u"S-1", u"", 42),
              kHead + "<EndSession" + kNs + "><SessionId>S-1</SessionId><FinishReason></FinishReason>"
              "<FinishClientTime>42</FinishClientTime></EndSession>" + kTail);
    EXPECT_EQ(NimbraRequests::SoapAction("EndSessionNow"),
              "\"http://feedback.quenlo-games.example/data/1.0/EndSessionNow\"");
}

TEST(SoapEnvelopeWriter, TextIsEscapedIntoWellFormedUtf8)
{
    const struct {
        std::u16string in;
        std::string out;
    } cases[] = {
        {u"a<b>&c\"d'", "a&lt;b&gt;&amp;c\"d'"},
        {u"line\r\nnext\ttab", "line&#xD;\nnext\ttab"},
        {u"\u00e9\u4e2d", "\xc3\xa9\xe4\xb8\xad"},
        {u"\U0001F600", "\xf0\x9f\x98\x80"},
        {std::u16string(u"x\0y", 3), "x\xef\xbf\xbdy"},                  // NUL cannot be carried
        {u"\x01\x1f", "\xef\xbf\xbd\xef\xbf\xbd"},
        {std::u16string(1, char16_t(0xD800)) + u"z", "\xef\xbf\xbdz"},    // unpaired surrogate
        {std::u16string(1, char16_t(0xDC00)), "\xef\xbf\xbd"},
        {std::u16string(1, char16_t(0xFFFE)), "\xef\xbf\xbd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        EXPECT_EQ(SoapEnvelopeWriter::EscapeText(c.in), c.out);
    }
}

TEST(RawDeflate, BodiesOfEverySizeInflateBackExactly)
{
    std::string large;
    for (int i = 0; large.size() < 300000; ++i) large += "<SessionEvent><Type>E" + std::to_string(i * 7919 % 1000) + "</Type>";
    std::string random;
    std::uint32_t seed = 1;
    for (int i = 0; i < 5000; ++i) random += static_cast<char>((seed = seed * 1103515245 + 12345) >> 24);
    for (const std::string& body : {std::string(), std::string("x"), std::string(1023, 'a'), random, large}) {
        SCOPED_TRACE(body.size());
        std::vector<std::uint8_t> deflated;
        ASSERT_TRUE(RawDeflate(body, deflated));
        ASSERT_FALSE(deflated.empty());
        EXPECT_NE(deflated[0], 0x78);  // no zlib header
        EXPECT_EQ(RawInflate(deflated), body);
    }
}

TEST(RawDeflate, ARequestBodyInflatesBackToTheDocument)
{
    std::vector<SessionEvent> events;
    for (int i = 0; i < 1000; ++i) {
        events.push_back({u"SYS_GoodAction", 133000000000000000 + i, u"12.250", std::u16string(u"player=p1;type=t;value=") + char16_t(u'a' + i % 26)});
    }
    const std::string xml = NimbraRequests::RecordSessionEventsChunk("RecordSessionEventsChunkNow", u"S", events, 0, 0, false);
    std::vector<std::uint8_t> deflated;
    ASSERT_TRUE(RawDeflate(xml, deflated));
    EXPECT_GT(deflated.size(), 1024u);  // the output buffer had to grow
    EXPECT_EQ(RawInflate(deflated), xml);
}
