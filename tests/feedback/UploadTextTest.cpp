#include "feedback/UploadText.h"

#include <gtest/gtest.h>

#include "FeedbackTestFolder.h"
#include "feedback/EventRecord.h"

TEST(UploadText, EscapingKeepsTheSafeBytesAndWritesLowerCaseHexForTheRest)
{
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a b;c", u"a%20b%3bc"},
        {u"AZaz09!'()*-./:_~%", u"AZaz09!'()*-./:_~%"},
        {u"=&+,\"<>", u"%3d%26%2b%2c%22%3c%3e"},
        {u"caf\u00E9", u"caf%c3%a9"},
        {u"\U0001F600", u"%f0%9f%98%80"},
        {std::u16string(1, u'\xD800'), u"%ef%bf%bd"},  // an unpaired surrogate is sent as U+FFFD
        {u"", u""},
    };
    for (const auto& [text, escaped] : cases) {
        SCOPED_TRACE(std::string(escaped.begin(), escaped.end()));
        EXPECT_EQ(UploadText::Escape(text), escaped);
    }
}

TEST(UploadText, ALongTextIsCutBetweenEscapedCharacters)
{
    struct Case {
        std::u16string text;
        std::size_t length;
    };
    const Case cases[] = {
        {std::u16string(2000, u'x'), 999},
        {std::u16string(600, u' '), 999},             // 333 whole "%20"
        {u"x" + std::u16string(600, u' '), 997},       // "x" and 332 "%20": a 333rd would pass 999
        {std::u16string(300, u'\u00E9'), 996},        // 166 whole "%c3%a9"
        {std::u16string(999, u'y'), 999},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        const std::u16string escaped = UploadText::Escape(c.text);
        EXPECT_EQ(escaped.size(), c.length);
        const std::size_t percent = escaped.rfind(u'%');
        if (percent != std::u16string::npos) {
            EXPECT_EQ(percent + 3 <= escaped.size(), true);
        }
    }
}

TEST(UploadText, ParamsJoinNamesAndNonEmptyValuesInOrder)
{
    EventRecord record(1, 0, 0.0, u"E", 0);
    EXPECT_FALSE(UploadText::Params(record).has_value());
    record.AddStringParam(u"a", u"1");
    record.AddStringParam(u"b", std::nullopt);
    record.AddStringParam(u"c", u"");
    record.AddStringParam(u"d e", u"x;y");
    EXPECT_EQ(UploadText::Params(record), u"a=1;b;c;d%20e=x%3by");
}

TEST(UploadText, GameTimeHasThreeDecimalsAndStaysShortForAnyDouble)
{
    EXPECT_EQ(UploadText::GameTime(1.25), u"1.250");
    EXPECT_EQ(UploadText::GameTime(-0.0005), u"-0.001");
    EXPECT_EQ(UploadText::GameTime(1e300), u"1000000000000000.000");
    EXPECT_EQ(UploadText::GameTime(std::nan("")), u"0.000");
}

TEST(UploadText, ClientDescriptionListsItsPiecesInOrder)
{
    FeedbackTestFolder folder;
    UploadText::DescriptionFacts facts;
    facts.HostPath = folder.Write("host", std::string("123456789"));
    facts.LibraryPath = folder.File("missing.so");
    facts.ConfigType = 1;
    EXPECT_EQ(UploadText::ClientDescription(facts),
              u"1.06.0.00000; cpp; win32; dll; exe-crc=0xCBF43926; dll-crc=0x80070002; ini-type=\"raw\"; ");
    facts.ConfigType = 7;
    facts.DebugMode = true;
    facts.TwoWay = true;
    facts.UserName = "player";
    EXPECT_EQ(UploadText::ClientDescription(facts),
              u"1.06.0.00000; cpp; win32; dll; exe-crc=0xCBF43926; dll-crc=0x80070002; ini-type=\"unknown\"; "
              u"debug-mode; two-way; debug-user=\"player\"; ");
}
