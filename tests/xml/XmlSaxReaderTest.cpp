// test-labels: untrusted
#include "platform/xml/XmlSaxReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace xml_layer;

// Writes every event as one line of text, so whole documents compare in one assertion.
class Recorder : public IXmlSaxHandler {
public:
    bool StartElement(const XmlName& name, const std::vector<XmlAttribute>& attributes) override
    {
        log += "<{" + name.namespaceUri + "}" + name.localName;
        for (const XmlAttribute& a : attributes) log += " {" + a.name.namespaceUri + "}" + a.name.localName + "=" + a.value;
        log += ">";
        return --stopAfter != 0;
    }
    bool EndElement(const XmlName& name) override
    {
        log += "</" + name.localName + ">";
        return true;
    }
    bool Characters(std::string_view utf8) override
    {
        log += utf8;
        return true;
    }
    std::string log;
    int stopAfter = -1;
};

}  // namespace

TEST(XmlSaxReader, NamespacesAttributesAndTextAreReported)
{
    XmlSaxReader reader;
    Recorder r;
    ASSERT_EQ(reader.Parse("<?xml version=\"1.0\"?><s:a xmlns:s=\"urn:s\" xmlns=\"urn:d\" x=\"1\" s:y=\"&lt;2\">"
                           "<b>t&amp;u<![CDATA[<c>]]>&#x20AC;</b><c xmlns=\"\"/></s:a>",
                           r),
              XmlSaxReader::Result::Ok);
    EXPECT_EQ(r.log, "<{urn:s}a {}x=1 {urn:s}y=<2><{urn:d}b>t&u<c>\xe2\x82\xac</b><{}c></c></a>");
}

TEST(XmlSaxReader, BadDocumentsFailWithTheirReason)
{
    const struct {
        const char* why;
        std::string text;
        XmlSaxReader::Result result;
    } cases[] = {
        {"empty", "", XmlSaxReader::Result::Malformed},
        {"unclosed", "<a><b></a>", XmlSaxReader::Result::Malformed},
        {"two roots", "<a/><b/>", XmlSaxReader::Result::Malformed},
        {"undeclared prefix", "<p:a/>", XmlSaxReader::Result::Malformed},
        {"bad utf-8", "<a>\xff\xfe</a>", XmlSaxReader::Result::Malformed},
        {"unknown entity", "<a>&e;</a>", XmlSaxReader::Result::Malformed},
        {"internal entities", "<!DOCTYPE a [<!ENTITY e \"x\"><!ENTITY f \"&e;&e;&e;&e;\">]><a>&f;</a>", XmlSaxReader::Result::Doctype},
        {"external entity", "<!DOCTYPE a [<!ENTITY e SYSTEM \"file:///etc/passwd\">]><a>&e;</a>", XmlSaxReader::Result::Doctype},
        {"external dtd", "<!DOCTYPE a SYSTEM \"http://127.0.0.1:1/x.dtd\"><a/>", XmlSaxReader::Result::Doctype},
        {"parameter entity", "<!DOCTYPE a [<!ENTITY % p SYSTEM \"file:///etc/passwd\"> %p;]><a/>", XmlSaxReader::Result::Doctype},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        XmlSaxReader reader;
        Recorder r;
        EXPECT_EQ(reader.Parse(c.text, r), c.result);
        EXPECT_FALSE(reader.ErrorText().empty());
    }
}

TEST(XmlSaxReader, SizeDepthAndHandlerLimitsStopTheParse)
{
    XmlSaxReader reader;
    reader.maxBytes = 100;
    reader.maxDepth = 3;
    Recorder r;
    EXPECT_EQ(reader.Parse("<a>" + std::string(100, ' ') + "</a>", r), XmlSaxReader::Result::TooLarge);
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(reader.Parse("<a><b><c/></b></a>", r), XmlSaxReader::Result::Ok);
    EXPECT_EQ(reader.Parse("<a><b><c><d/></c></b></a>", r), XmlSaxReader::Result::TooDeep);
    Recorder stopping;
    stopping.stopAfter = 2;
    EXPECT_EQ(reader.Parse("<a><b/><c/></a>", stopping), XmlSaxReader::Result::StoppedByHandler);
    EXPECT_EQ(stopping.log, "<{}a><{}b>");
}

TEST(XmlSaxReader, EveryTruncationOfADocumentFailsCleanly)
{
    const std::string full = "<?xml version=\"1.0\" encoding=\"utf-8\"?><a xmlns=\"urn:x\" v=\"1\"><b>\xc3\xa9&amp;</b><c/></a>";
    for (std::size_t size = 0; size < full.size(); ++size) {
        SCOPED_TRACE(size);
        XmlSaxReader reader;
        Recorder r;
        EXPECT_NE(reader.Parse(std::string_view(full.data(), size), r), XmlSaxReader::Result::Ok);
    }
}
