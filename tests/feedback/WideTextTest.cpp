#include "feedback/WideText.h"

#include <gtest/gtest.h>

TEST(WideText, Utf8RoundTripsEveryPlaneAndReplacesLoneSurrogates)
{
    const std::u16string text = u"a\u00E9\u20AC\U0001F600z";
    EXPECT_EQ(WideText::ToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
    EXPECT_EQ(WideText::FromUtf8(WideText::ToUtf8(text)), text);
    const std::u16string lone = {u'x', char16_t(0xD800), u'y', char16_t(0xDC00)};
    EXPECT_EQ(WideText::ToUtf8(lone), "x\xEF\xBF\xBDy\xEF\xBF\xBD");
}

TEST(WideText, InvalidUtf8BytesAreTakenAsLatin1)
{
    // An old INI file written in an 8-bit code page still reads, byte for character.
    EXPECT_EQ(WideText::FromUtf8("caf\xE9"), u"caf\u00E9");
    EXPECT_EQ(WideText::FromUtf8("\xC3"), u"\u00C3");          // cut sequence
    EXPECT_EQ(WideText::FromUtf8("\xC0\xAF"), u"\u00C0\u00AF");  // overlong form
    EXPECT_EQ(WideText::FromUtf8("\xED\xA0\x80"), u"\u00ED\u00A0\u0080");  // encoded surrogate
}

TEST(WideText, NumbersFormatAsTheCLocaleDoes)
{
    EXPECT_EQ(WideText::FormatInt(-5), u"-5");
    EXPECT_EQ(WideText::FormatInt(INT32_MIN), u"-2147483648");
    EXPECT_EQ(WideText::FormatUnsigned(4294967295u), u"4294967295");
    EXPECT_EQ(WideText::FormatNumber(1.5), u"1.500000");
    EXPECT_EQ(WideText::FormatNumber(-0.0000004), u"-0.000000");
    EXPECT_EQ(WideText::FormatNumber(1e20), u"100000000000000000000.000000");
    EXPECT_EQ(WideText::FormatNumber(1.0 / 0.0), u"inf");
}

TEST(WideText, HostTextIsCutAtTheLimitAndNullIsEmpty)
{
    EXPECT_EQ(WideText::FromHost(nullptr), u"");
    EXPECT_EQ(WideText::FromHost(u"abcdef", 3), u"abc");
    EXPECT_TRUE(WideText::EqualsNoCase(u"Event\u00C9\u0416", u"eVENT\u00E9\u0436"));
    EXPECT_FALSE(WideText::EqualsNoCase(u"abc", u"abcd"));
}
