#include "feedback/ConfigText.h"

#include <gtest/gtest.h>

#include "feedback/WideText.h"

TEST(ConfigText, ParseIntStringFollowsBaseSignAndOverflowRules)
{
    struct Case {
        const char16_t* text;
        std::int32_t expected;
    };
    const Case cases[] = {
        {u"0x10", 16},          {u"-12", -12},          {u"abc", 0},
        {u"", 0},               {u"  +42", 42},         {u"12abc", 12},
        {u"2147483647", 2147483647}, {u"2147483648", 2147483647}, {u"99999999999999999999", 2147483647},
        {u"-2147483648", INT32_MIN}, {u"-99999999999", INT32_MIN}, {u"0xFFFFFFFF", -1},
        {u"0x80000000", INT32_MIN},  {u"0x100000000", -1},    {u"0XfF", 255},
        {u"-0x10", -16},        {u"\t\n7", 7},          {u"0x", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideText::ToUtf8(c.text));
        EXPECT_EQ(ConfigText::ParseIntString(c.text), c.expected);
    }
}

TEST(ConfigText, ParseDecimalTakesALeadingNumberOnly)
{
    EXPECT_EQ(ConfigText::ParseDecimal(u"10"), 10.0);
    EXPECT_EQ(ConfigText::ParseDecimal(u" 0.5 "), 0.5);
    EXPECT_EQ(ConfigText::ParseDecimal(u"+2.5s"), 2.5);
    EXPECT_EQ(ConfigText::ParseDecimal(u"-1"), -1.0);
    EXPECT_FALSE(ConfigText::ParseDecimal(u""));
    EXPECT_FALSE(ConfigText::ParseDecimal(u"ten"));
    EXPECT_FALSE(ConfigText::ParseDecimal(u"."));
}

TEST(ConfigText, GuidTextRoundTripsWithAndWithoutBraces)
{
    const std::u16string text = u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";
    const std::optional<Guid> guid = ConfigText::ParseGuid(text);
    ASSERT_TRUE(guid);
    EXPECT_EQ(guid->Data1, 0x0A1B2C3Du);
    EXPECT_EQ(guid->Data2, 0x4E5Fu);
    EXPECT_EQ(guid->Data3, 0x6071u);
    EXPECT_EQ(guid->Data4[0], 0x82u);
    EXPECT_EQ(guid->Data4[7], 0xF9u);
    EXPECT_EQ(ConfigText::FormatGuid(*guid, true), text);
    EXPECT_EQ(ConfigText::FormatGuid(*guid, false), text.substr(1, 36));
    EXPECT_TRUE(ConfigText::ParseGuid(u"0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9"));

    const char16_t* bad[] = {u"", u"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", u"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG",
                             u"0A1B2C3D+4E5F-6071-8293-A4B5C6D7E8F9", u"0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F"};
    for (const char16_t* text : bad) {
        SCOPED_TRACE(WideText::ToUtf8(text));
        EXPECT_FALSE(ConfigText::ParseGuid(text));
    }
}

TEST(ConfigText, WildcardMatchHandlesStarsQuestionMarksAndCase)
{
    struct Case {
        const char16_t* pattern;
        const char16_t* name;
        bool caseSensitive;
        bool expected;
    };
    const Case cases[] = {
        {u"", u"anything", true, true},
        {u"*", u"", true, true},
        {u"*.*", u"noextension", true, true},
        {u"libXData-*.so", u"libXData-solitaire.so", true, true},
        {u"libXData-*.so", u"LIBXDATA-SOLITAIRE.SO", false, true},
        {u"libXData-*.so", u"LIBXDATA-SOLITAIRE.SO", true, false},
        {u"libXData-*.so", u"libXData-.so", true, true},
        {u"libXData-*.so", u"libXData-a.so.1", true, false},
        {u"a?c", u"abc", true, true},
        {u"a?c", u"ac", true, false},
        {u"*a*b*c", u"xxaxxbxxbxc", true, true},
        {u"*a*b*c", u"xxaxxbxxbx", true, false},
        {u"exact", u"exact", true, true},
        {u"exact", u"exactly", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideText::ToUtf8(c.pattern) + " vs " + WideText::ToUtf8(c.name));
        EXPECT_EQ(ConfigText::WildcardMatch(c.pattern, c.name, c.caseSensitive), c.expected);
    }
}
