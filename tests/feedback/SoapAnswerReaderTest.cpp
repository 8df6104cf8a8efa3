// test-labels: untrusted
#include "feedback/SoapAnswerReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::string Envelope(const std::string& body, const std::string& header = "")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?><soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\""
           " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">" + header + "<soap:Body>" + body
           + "</soap:Body></soap:Envelope>";
}

std::string BeginAnswer(const std::string& fields)
{
    return Envelope("<BeginSessionResponse xmlns=\"http://feedback.quenlo-games.example/data/1.0\"><BeginSessionResult>"
                    + fields + "</BeginSessionResult></BeginSessionResponse>");
}

const std::string kGoodFields =
    "<ServerFlags>2097154</ServerFlags><SessionId>abc-1</SessionId><FeedbackLevel>-1</FeedbackLevel>"
    "<BetaUrl>https://beta.example/?a=1&amp;b=2</BetaUrl><UserId>0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0</UserId>";

std::string Nested(int depth)
{
    std::string s;
    for (int i = 0; i < depth; ++i) s += "<d>";
    for (int i = 0; i < depth; ++i) s += "</d>";
    return s;
}

bool ReadBegin(const std::string& text, BeginSessionResult& result)
{
    SoapAnswer answer;
    return SoapAnswerReader::Read(Bytes(text), answer) && SoapAnswerReader::ReadBeginSessionResult(answer, result);
}

}  // namespace

TEST(SoapAnswerReader, BeginSessionAnswerGivesEveryField)
{
    for (const std::string& header : {std::string(), std::string("<soap:Header><x:Trace xmlns:x=\"urn:x\">t</x:Trace></soap:Header>")}) {
        SCOPED_TRACE(header);
        SoapAnswer answer;
        ASSERT_TRUE(SoapAnswerReader::Read(Bytes(Envelope("<BeginSessionResponse xmlns=\"http://feedback.quenlo-games.example/data/1.0\">"
                                                          "<BeginSessionResult>" + kGoodFields + "</BeginSessionResult></BeginSessionResponse>",
                                                          header)),
                                           answer));
        BeginSessionResult r;
        ASSERT_TRUE(SoapAnswerReader::ReadBeginSessionResult(answer, r));
        EXPECT_EQ(r.ServerFlags, 0x200002u);
        EXPECT_EQ(r.SessionId, u"abc-1");
        EXPECT_EQ(r.FeedbackLevel, -1);
        EXPECT_EQ(r.BetaUrl, u"https://beta.example/?a=1&b=2");
        EXPECT_EQ(r.UserId, u"0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
    }
}

TEST(SoapAnswerReader, BeginSessionAnswerWithMissingOrBadFieldsIsRefused)
{
    const struct {
        const char* why;
        std::string fields;
        bool ok;
    } cases[] = {
        {"fields in another order", "<SessionId>s</SessionId><FeedbackLevel> 7 </FeedbackLevel><ServerFlags>0</ServerFlags>", true},
        {"optional strings missing or nil", "<ServerFlags>1</ServerFlags><SessionId>s</SessionId><FeedbackLevel>0</FeedbackLevel><BetaUrl xsi:nil=\"true\"/>", true},
        {"empty session id", "<ServerFlags>0</ServerFlags><SessionId></SessionId><FeedbackLevel>0</FeedbackLevel>", false},
        {"blank session id", "<ServerFlags>0</ServerFlags><SessionId>  </SessionId><FeedbackLevel>0</FeedbackLevel>", false},
        {"nil session id", "<ServerFlags>0</ServerFlags><SessionId xsi:nil=\"1\">x</SessionId><FeedbackLevel>0</FeedbackLevel>", false},
        {"no session id", "<ServerFlags>0</ServerFlags><FeedbackLevel>0</FeedbackLevel>", false},
        {"flags not a number", "<ServerFlags>0x4</ServerFlags><SessionId>s</SessionId><FeedbackLevel>0</FeedbackLevel>", false},
        {"flags negative", "<ServerFlags>-1</ServerFlags><SessionId>s</SessionId><FeedbackLevel>0</FeedbackLevel>", false},
        {"flags past 32 bits", "<ServerFlags>4294967296</ServerFlags><SessionId>s</SessionId><FeedbackLevel>0</FeedbackLevel>", false},
        {"level past 32 bits", "<ServerFlags>0</ServerFlags><SessionId>s</SessionId><FeedbackLevel>2147483648</FeedbackLevel>", false},
        {"level lowest", "<ServerFlags>0</ServerFlags><SessionId>s</SessionId><FeedbackLevel>-2147483648</FeedbackLevel>", true},
        {"no level", "<ServerFlags>0</ServerFlags><SessionId>s</SessionId>", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        BeginSessionResult r;
        EXPECT_EQ(ReadBegin(BeginAnswer(c.fields), r), c.ok);
        if (!c.ok) {
            EXPECT_TRUE(r.SessionId.empty());
        }
    }
}

TEST(SoapAnswerReader, FaultGivesItsCodeAndText)
{
    SoapAnswer answer;
    ASSERT_TRUE(SoapAnswerReader::Read(Bytes(Envelope("<soap:Fault><faultcode>soap:Client</faultcode>"
                                                      "<faultstring>bad &lt;id&gt;</faultstring><detail><a>1</a></detail></soap:Fault>")),
                                       answer));
    SoapFault fault;
    ASSERT_TRUE(SoapAnswerReader::ReadFault(answer, fault));
    EXPECT_EQ(fault.Code, u"soap:Client");
    EXPECT_EQ(fault.Text, u"bad <id>");
    BeginSessionResult r;
    EXPECT_FALSE(SoapAnswerReader::ReadBeginSessionResult(answer, r));
}

TEST(SoapAnswerReader, DocumentsOfAnotherShapeAreRefused)
{
    const std::string ns = "http://feedback.quenlo-games.example/data/1.0";
    const struct {
        const char* why;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"not xml", "HTTP/1.1 200 OK"},
        {"no body", "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"></soap:Envelope>"},
        {"empty body", Envelope("")},
        {"SOAP 1.2 envelope", "<e:Envelope xmlns:e=\"http://www.w3.org/2003/05/soap-envelope\"><e:Body><x/></e:Body></e:Envelope>"},
        {"two body elements", Envelope("<a/><b/>")},
        {"two bodies", "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body><a/></soap:Body><soap:Body><a/></soap:Body></soap:Envelope>"},
        {"text in the body", Envelope("text<a/>")},
        {"doctype", "<!DOCTYPE x [<!ENTITY e \"v\">]>" + Envelope("<a>&e;</a>")},
        {"external entity", "<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>" + Envelope("<a>&e;</a>")},
        {"unclosed", Envelope("<a>")},
        {"too deep", Envelope(Nested(40))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        SoapAnswer answer;
        EXPECT_FALSE(SoapAnswerReader::Read(Bytes(c.text), answer));
        EXPECT_TRUE(answer.BodyElement.empty());
    }
    SoapAnswer answer;
    ASSERT_TRUE(SoapAnswerReader::Read(Bytes(Envelope("<EndSessionResponse xmlns=\"urn:other\"/>")), answer));
    EXPECT_FALSE(answer.IsResponseTo("EndSession"));
}

TEST(SoapAnswerReader, EveryTruncationOfAGoodAnswerIsRefusedWithoutACrash)
{
    const std::string full = BeginAnswer(kGoodFields);
    for (std::size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        BeginSessionResult r;
        EXPECT_FALSE(ReadBegin(full.substr(0, size), r));
    }
}

TEST(SoapAnswerReader, OversizedAnswersAndFieldsAreRefused)
{
    SoapAnswer answer;
    EXPECT_FALSE(SoapAnswerReader::Read(Bytes(Envelope("<a/>" + std::string(SoapAnswerReader::kMaxAnswerBytes, ' '))), answer));
    const std::string bigField = "<ServerFlags>0</ServerFlags><SessionId>" + std::string(SoapAnswerReader::kMaxFieldChars * 3 + 1, 's')
                                 + "</SessionId><FeedbackLevel>0</FeedbackLevel>";
    BeginSessionResult r;
    EXPECT_FALSE(ReadBegin(BeginAnswer(bigField), r));
    std::string manyFields;
    for (std::size_t i = 0; i <= SoapAnswerReader::kMaxFields; ++i) manyFields += "<f" + std::to_string(i) + "/>";
    EXPECT_FALSE(SoapAnswerReader::Read(Bytes(Envelope("<r>" + manyFields + "</r>")), answer));
}
