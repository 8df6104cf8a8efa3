#include "framework/StringUtils.h"

#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <climits>

TEST(SplitString, RunsOfDelimitersGiveNoEmptyTokens)
{
    struct Case {
        const char* text;
        const char* delimiters;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {",,a,,b,", ",", {"a", "b"}},
        {"a", ",", {"a"}},
        {"", ",", {}},
        {",,,", ",", {}},
        {"1, 2;3", ", ;", {"1", "2", "3"}},
        {"no delimiters here", "", {"no delimiters here"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::string> out;
        SplitString(c.text, out, c.delimiters);
        EXPECT_EQ(out, c.tokens);
    }
}

TEST(SplitString, AppendsToWhatTheListHolds)
{
    std::vector<std::string> out = {"kept"};
    SplitString("x y", out, " ");
    EXPECT_EQ(out, (std::vector<std::string>{"kept", "x", "y"}));
}

TEST(SplitStringW, SplitsWideTextLikeNarrowText)
{
    std::vector<std::wstring> out;
    SplitStringW(L"\n\nline one\r\nline\x0416two\n", out, L"\r\n");
    EXPECT_EQ(out, (std::vector<std::wstring>{L"line one", L"line\x0416two"}));
}

TEST(ParseRequirement, ReadsUpToFourColonSeparatedValues)
{
    struct Case {
        const char* text;
        PlaceRequirement expected;
    };
    const Case cases[] = {
        {"", {-1, 0, 0, 0}},
        {"12", {12, 0, 0, 0}},
        {"3:1", {3, 1, 0, 0}},
        {"1:2:3:4:5", {1, 2, 3, 4}},
        {"-2:x:7abc", {-2, 0, 7, 0}},
        {":", {0, 0, 0, 0}},
        {":::", {0, 0, 0, 0}},
        {"99999999999:-99999999999", {INT32_MAX, INT32_MIN, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PlaceRequirement out{55, 66, 77, 88};  // stale values must never survive
        ParseRequirement(c.text, out);
        EXPECT_EQ(out.a, c.expected.a);
        EXPECT_EQ(out.b, c.expected.b);
        EXPECT_EQ(out.c, c.expected.c);
        EXPECT_EQ(out.d, c.expected.d);
    }
}

TEST(FormatNumber, GroupsDigitsInThreesAndPads)
{
    struct Case {
        int value;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {0, -1, "0"},
        {999, -1, "999"},
        {1000, -1, "1,000"},
        {1234567, -1, "1,234,567"},
        {5, 4, "0,005"},
        {5, 3, "005"},
        {123456, 2, "123,456"},
        {-1, -1, "-1"},
        {-123, -1, "-123"},
        {-1234, -1, "-1,234"},
        {-123456, -1, "-123,456"},
        {-5, 4, "-0,005"},
        {INT_MAX, -1, "2,147,483,647"},
        {INT_MIN, -1, "-2,147,483,648"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " digits " + std::to_string(c.digits));
        EXPECT_EQ(FormatNumber(c.value, c.digits), c.text);
        EXPECT_EQ(FormatNumberW(c.value, c.digits), WidenString(c.text));
    }
}

TEST(WidenString, SignExtendsHighBytesAndNarrowingKeepsTheLowByte)
{
    EXPECT_EQ(WidenString("Ab"), L"Ab");
    const std::wstring wide = WidenString("\x7F\x80\xFF");
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(static_cast<std::uint32_t>(wide[0]), 0x7Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(wide[1]), 0xFF80u);
    EXPECT_EQ(static_cast<std::uint32_t>(wide[2]), 0xFFFFu);
    EXPECT_EQ(NarrowString(wide.c_str()), "\x7F\x80\xFF");
    EXPECT_EQ(NarrowString(L"\x0141z"), "\x41z");
    EXPECT_EQ(WidenString(nullptr), L"");
    EXPECT_EQ(NarrowString(nullptr), "");
}

TEST(ParseHex, ReadsAtMostEightDigitsAndStopsAtTheFirstOther)
{
    struct Case {
        const char* text;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"FF8000", 0xFF8000u},
        {"ff8000", 0xFF8000u},
        {"", 0u},
        {"0123456789", 0x01234567u},
        {"ABCDEFabcdef", 0xABCDEFABu},
        {"12g4", 0x12u},
        {"g", 0u},
        {"FFFFFFFF", 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseHex(c.text), c.value);
        EXPECT_EQ(ParseHexW(WidenString(c.text).c_str()), c.value);
    }
    EXPECT_EQ(ParseHex(nullptr), 0u);
}

class BlendTextureRectTest : public ::testing::Test {
protected:
    ScopedFakeEngine m_fake;
    HTexture m_source = m_fake->TextureCreate(4, 4);
    HTexture m_target = m_fake->TextureCreate(6, 5);

    void SetUp() override
    {
        m_fake->FillTexture(m_target, 0x80102030u);
    }

    bool NothingLocked()
    {
        return m_fake->FindTexture(m_source)->lockCount == 0 && m_fake->FindTexture(m_target)->lockCount == 0;
    }
};

TEST_F(BlendTextureRectTest, OpaqueSourceCopiesAndTransparentSourceLeavesTheTarget)
{
    m_fake->SetPixel(m_source, 1, 1, 0xFFAABBCCu);
    m_fake->SetPixel(m_source, 2, 1, 0x00AABBCCu);
    BlendTextureRect(m_source, 1, 1, m_target, 3, 2, 2, 1, false);
    EXPECT_EQ(m_fake->Pixel(m_target, 3, 2), 0x80AABBCCu);  // colour copied, target alpha kept
    EXPECT_EQ(m_fake->Pixel(m_target, 4, 2), 0x80102030u);
    EXPECT_EQ(m_fake->Pixel(m_target, 2, 2), 0x80102030u);
    EXPECT_TRUE(NothingLocked());
}

TEST_F(BlendTextureRectTest, PartialAlphaMixesAndTruncatesEveryChannel)
{
    // a = 0x80 / 255: each channel t + (s - t) * a, truncated toward zero.
    m_fake->SetPixel(m_source, 0, 0, 0x80FF0000u);
    BlendTextureRect(m_source, 0, 0, m_target, 0, 0, 1, 1, false);
    const double a = 128.0 / 255.0;
    const auto mix = [a](int s, int t) { return static_cast<std::uint32_t>(static_cast<int>(t + (s - t) * a)); };
    const std::uint32_t expected = 0x80000000u | mix(0xFF, 0x10) << 16 | mix(0x00, 0x20) << 8 | mix(0x00, 0x30);
    EXPECT_EQ(m_fake->Pixel(m_target, 0, 0), expected);

    m_fake->SetPixel(m_source, 0, 0, 0x80FF0000u);
    m_fake->SetPixel(m_target, 1, 0, 0x00000000u);
    BlendTextureRect(m_source, 0, 0, m_target, 1, 0, 1, 1, true);
    EXPECT_EQ(m_fake->Pixel(m_target, 1, 0), mix(0x80, 0) << 24 | mix(0xFF, 0) << 16);
}

TEST_F(BlendTextureRectTest, RowsFollowEachTexturesOwnWidth)
{
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            m_fake->SetPixel(m_source, x, y, 0xFF000000u | static_cast<std::uint32_t>(y * 16 + x));
    BlendTextureRect(m_source, 1, 1, m_target, 2, 1, 3, 3, false);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            const bool inside = x >= 2 && x < 5 && y >= 1 && y < 4;
            const std::uint32_t expected =
                inside ? 0x80000000u | static_cast<std::uint32_t>((y - 1 + 1) * 16 + (x - 2 + 1)) : 0x80102030u;
            EXPECT_EQ(m_fake->Pixel(m_target, x, y), expected);
        }
}

TEST_F(BlendTextureRectTest, RectanglesReachingOutsideEitherTextureAreClipped)
{
    struct Case {
        const char* name;
        int sx, sy, tx, ty, w, h;
        int firstTx, firstTy, lastTx, lastTy;  // target pixels blended (inclusive), -1 for none
    };
    const Case cases[] = {
        {"past the source's right and bottom", 2, 2, 0, 0, 5, 5, 0, 0, 1, 1},
        {"past the target's right and bottom", 0, 0, 4, 3, 4, 4, 4, 3, 5, 4},
        {"source starts left and above", -2, -1, 0, 0, 4, 4, 2, 1, 3, 3},
        {"target starts left and above", 0, 0, -3, -2, 4, 4, 0, 0, 0, 1},
        {"entirely outside", 10, 10, 0, 0, 2, 2, -1, -1, -1, -1},
        {"negative size", 0, 0, 0, 0, -3, 2, -1, -1, -1, -1},
        {"huge size", 0, 0, 0, 0, INT_MAX, INT_MAX, 0, 0, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_fake->FillTexture(m_source, 0xFF00FF00u);
        m_fake->FillTexture(m_target, 0x80102030u);
        BlendTextureRect(m_source, c.sx, c.sy, m_target, c.tx, c.ty, c.w, c.h, false);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool inside = x >= c.firstTx && x <= c.lastTx && y >= c.firstTy && y <= c.lastTy;
                EXPECT_EQ(m_fake->Pixel(m_target, x, y), inside ? 0x8000FF00u : 0x80102030u)
                    << "at " << x << "," << y;
            }
        EXPECT_TRUE(NothingLocked());
    }
}

TEST_F(BlendTextureRectTest, UnknownTextureChangesNothing)
{
    BlendTextureRect(9999, 0, 0, m_target, 0, 0, 2, 2, true);
    BlendTextureRect(m_source, 0, 0, 9999, 0, 0, 2, 2, true);
    EXPECT_EQ(m_fake->Pixel(m_target, 0, 0), 0x80102030u);
    EXPECT_TRUE(NothingLocked());
}

TEST_F(BlendTextureRectTest, BlendingATextureIntoItselfLocksItOnce)
{
    m_fake->SetPixel(m_target, 0, 0, 0xFF0000FFu);
    BlendTextureRect(m_target, 0, 0, m_target, 5, 4, 1, 1, false);
    EXPECT_EQ(m_fake->Pixel(m_target, 5, 4), 0x800000FFu);
    EXPECT_EQ(m_fake->FindTexture(m_target)->lockTotal, 1);
    EXPECT_TRUE(NothingLocked());
}

TEST_F(BlendTextureRectTest, EveryEngineReferenceTakenIsGivenBack)
{
    BlendTextureRect(m_source, 0, 0, m_target, 0, 0, 2, 2, false);
    BlendTextureRect(m_source, 50, 0, m_target, 0, 0, 2, 2, false);
    EXPECT_EQ(m_fake->releaseCount, 2);
}
