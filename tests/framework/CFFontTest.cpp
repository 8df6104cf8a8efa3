// test-labels: untrusted
#include "framework/CFFont.h"

#include "FontFileBuilder.h"
#include "ResourceTestRoot.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace {

const char* const kFontPath = "data/fonts/test.fgchst11";

class CFFontTest : public ResourceTestRoot {
protected:
    void SetUp() override
    {
        ResourceTestRoot::SetUp();
        m_fake->AddTextureFile("data/fonts/test_000.png", 64, 64);
        m_fake->AddTextureFile("data/fonts/test_001.png", 32, 32);
    }

    std::unique_ptr<CFFont> Make(const std::string& bytes)
    {
        WriteFile(kFontPath, bytes);
        auto font = std::make_unique<CFFont>(kFontPath);
        font->SetColor(0x80FFFFFF);
        return font;
    }

    std::unique_ptr<CFFont> Standard() { return Make(BuildFont(StandardGlyphs())); }
};

TEST_F(CFFontTest, WidthCountsGlyphsOfFirstLineAndSkipsMarkup)
{
    auto font = Standard();
    const struct {
        const wchar_t* text;
        int width;
    } cases[] = {
        {L"AB", 16},
        {L"AB\nAAAA", 16},
        {L"@cFF0000A", 9},
        {L"@b07A", 9},
        {L"A\x4E2D" L"B", 16},  // no glyph: no space
        {L"", 0},
        {L"A@c12", 9},      // markup cut short by the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(font->GetTextWidth(c.text), c.width);
    }
    EXPECT_EQ(font->GetTextWidth("AB"), 16);
    EXPECT_EQ(font->GetLineHeight(), 13);
    font->SetLetterSpacing(2);
    EXPECT_EQ(font->GetTextWidth(L"AB"), 20);
}

TEST_F(CFFontTest, ColourMarkupColoursWordUntilSeparator)
{
    auto font = Standard();
    font->SetBlendMode(3);
    font->DrawText(10, 50, L"@cFF0000AB, A", 2);
    ASSERT_EQ(m_fake->quads.size(), 5u);
    const std::uint32_t expected[] = {0x80FF0000, 0x80FF0000, 0x80FFFFFF, 0x80FFFFFF, 0x80FFFFFF};
    const float xs[] = {10, 19, 26, 30, 35};
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE("quad " + std::to_string(i));
        EXPECT_EQ(m_fake->quads[i].v[0].col, expected[i]);
        EXPECT_EQ(m_fake->quads[i].v[2].col, expected[i]);
        EXPECT_FLOAT_EQ(m_fake->quads[i].v[0].x, xs[i]);
        EXPECT_EQ(m_fake->quads[i].blend, 3);
    }
    EXPECT_FLOAT_EQ(m_fake->quads[0].v[0].y, 40.0f);  // baseline 50, glyph 10 above it
    EXPECT_FLOAT_EQ(m_fake->quads[2].v[0].y, 49.0f);
}

TEST_F(CFFontTest, AlignmentPlacesEachLineOnItsOwnWidth)
{
    auto font = Standard();
    font->SetLineSpacing(2);
    const struct {
        int alignment;
        float first, second;
    } cases[] = {{0, 92, 96}, {1, 84, 91}, {2, 100, 100}, {7, 100, 100}};
    for (const auto& c : cases) {
        SCOPED_TRACE("alignment " + std::to_string(c.alignment));
        m_fake->quads.clear();
        font->DrawText(100, 50, L"AB\nA", c.alignment);
        ASSERT_EQ(m_fake->quads.size(), 3u);
        EXPECT_FLOAT_EQ(m_fake->quads[0].v[0].x, c.first);
        EXPECT_FLOAT_EQ(m_fake->quads[2].v[0].x, c.second);
        EXPECT_FLOAT_EQ(m_fake->quads[2].v[0].y, 50 + 13 + 2 - 10);
    }
}

TEST_F(CFFontTest, RewrapMovesOnlyTheBreaksThatWrappedASentence)
{
    auto font = Standard();  // A 9, B 7, blank 5, comma and full stop 4
    const struct {
        const wchar_t* text;
        int width;
        const wchar_t* lines;
    } cases[] = {
        {L"AB AB AB", 30, L"AB\nAB\nAB"},
        {L"AB AB AB", 37, L"AB AB\nAB"},
        {L"AB\nAB AB", 100, L"AB AB AB"},          // wrapped by hand for a narrower width
        {L"AB.\nAB,\nAB", 100, L"AB.\nAB, AB"},    // a sentence's end keeps its break
        {L"AB\n\nAB\n", 100, L"AB\n\nAB\n"},       // so do empty lines and the last break
        {L"AAAAAA AB", 20, L"AAAAAA\nAB"},          // too wide for any line: a line of its own
        {L"@b04AB AB,  @cFF0000AB", 41, L"@b04AB AB,\n@cFF0000AB"},  // markup takes no room
        {L"AB\nAB", 0, L"AB\nAB"},
        {L"", 30, L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)) + " in " + std::to_string(c.width));
        const std::wstring once = font->Rewrap(c.text, c.width);
        EXPECT_EQ(once, c.lines);
        EXPECT_EQ(font->Rewrap(once, c.width), once);  // the rules panel rewraps a shared text again
    }
}

TEST_F(CFFontTest, LinkMarkupYieldsRectangleOfItsWord)
{
    auto font = Standard();
    std::vector<CFTextLink> links;
    font->FindTextLinks(links, 20, 50, L"go @b07AB. A @b12B", 2);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].link, 7);
    EXPECT_FLOAT_EQ(links[0].x, 25.0f);  // after "go" (no glyphs) and the blank
    EXPECT_FLOAT_EQ(links[0].y, 40.0f);  // A's top is above the at sign's
    EXPECT_EQ(links[0].width, 16);
    EXPECT_EQ(links[0].height, 13);      // down to the at sign's bottom at 53
    EXPECT_EQ(links[1].link, 12);
    EXPECT_EQ(links[1].width, 7);

    m_fake->quads.clear();
    font->DrawText(20, 50, L"go @b07AB. A", 2);
    EXPECT_EQ(m_fake->quads.size(), 6u);  // blank A B . blank A: the marker is not drawn
}

TEST_F(CFFontTest, MarkupNeedsAtSignGlyphAndNeverReadsPastText)
{
    std::vector<TestGlyph> glyphs = StandardGlyphs();
    glyphs.erase(glyphs.begin() + 2);  // no '@'
    auto plain = Make(BuildFont(glyphs));
    plain->DrawText(0, 0, L"@cFF0000A", 2);
    EXPECT_EQ(m_fake->quads.size(), 1u);  // no markup: only "A" has a glyph
    m_fake->quads.clear();

    auto font = Standard();
    for (const wchar_t* text : {L"A@", L"A@c", L"A@cFF", L"A@b", L"A@b1", L"@"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        std::vector<CFTextLink> links;
        font->DrawText(0, 0, text, 0);
        font->FindTextLinks(links, 0, 0, text, 1);
        EXPECT_LE(links.size(), 1u);
    }
}

TEST_F(CFFontTest, DamagedFilesAreRejectedWithTheirLogLine)
{
    std::vector<TestGlyph> badCode = StandardGlyphs();
    badCode[1].code = 65535;
    std::vector<TestGlyph> badPage = StandardGlyphs();
    badPage[3].page = 1;
    const struct {
        const char* name;
        std::string bytes;
        const char* line;
    } cases[] = {
        {"magic", "FGFNX" + BuildFont(StandardGlyphs()).substr(5), "[E] Font: File data/fonts/test.fgchst11 is not font"},
        {"short magic", "FGF", "[E] Font: File data/fonts/test.fgchst11 is not font"},
        {"version 2.1", BuildFont(StandardGlyphs(), 1, -10, 3, 1, 2, 1), "[E] Font: File data/fonts/test.fgchst11 has wrong version number"},
        {"version 3.0", BuildFont(StandardGlyphs(), 1, -10, 3, 1, 3, 0), "[E] Font: File data/fonts/test.fgchst11 has wrong version number"},
        {"code 65535", BuildFont(badCode), "[E] Font: File data/fonts/test.fgchst11 is damaged"},
        {"page out of range", BuildFont(badPage), "[E] Font: File data/fonts/test.fgchst11 is damaged"},
        {"cut record", BuildFont(StandardGlyphs()).substr(0, 14 + 11 * 6 - 1), "[E] Font: File data/fonts/test.fgchst11 is damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        m_fake->logLines.clear();
        const std::size_t textures = m_fake->TextureCount();
        auto font = Make(c.bytes);
        EXPECT_TRUE(m_fake->HasLogLine(c.line));
        EXPECT_EQ(font->GetTextWidth(L"AB"), 0);
        EXPECT_EQ(m_fake->TextureCount(), textures);  // no page loaded
    }
    CFFont missing("data/fonts/none.fnt");
    EXPECT_TRUE(m_fake->HasLogLine("[E] Font: Can't load data from file data/fonts/none.fnt"));
}

TEST_F(CFFontTest, DuplicateCodeKeepsFirstGlyphAndPagesLoadInOrder)
{
    std::vector<TestGlyph> glyphs = StandardGlyphs();
    glyphs.push_back({'A', 1, 0, 0, 20, 20, 0, 20, 5});
    auto font = Make(BuildFont(glyphs, 2));
    EXPECT_EQ(font->GetTextWidth(L"A"), 9);
    font->DrawText(0, 0, L"A", 2);
    ASSERT_EQ(m_fake->quads.size(), 1u);
    EXPECT_EQ(m_fake->Pixel(m_fake->quads[0].tex, 0, 0), 0u);  // a live texture handle
    EXPECT_EQ(m_fake->TextureGetWidth(m_fake->quads[0].tex), 64);  // page 0
}

TEST_F(CFFontTest, CopiesSharePagesUntilTheLastGoes)
{
    const std::size_t before = m_fake->TextureCount();
    auto font = Standard();
    EXPECT_EQ(m_fake->TextureCount(), before + 1);
    auto copy = std::make_unique<CFFont>(*font);
    CFFont assigned("data/fonts/none.fnt");
    assigned = *copy;
    font.reset();
    EXPECT_EQ(m_fake->TextureCount(), before + 1);
    copy->DrawText(0, 0, L"AB", 2);
    ASSERT_EQ(m_fake->quads.size(), 2u);
    EXPECT_NE(m_fake->FindTexture(m_fake->quads[0].tex), nullptr);
    EXPECT_EQ(assigned.GetTextWidth(L"AB"), 16);
    copy.reset();
    EXPECT_EQ(m_fake->TextureCount(), before + 1);
}

TEST_F(CFFontTest, FormattedDrawingWritesLeftAligned)
{
    auto font = Standard();
    font->DrawTextFormat(5, 20, "%c%c", 'A', 'B');
    font->DrawTextFormatW(5, 40, L"%ls", L"B");
    ASSERT_EQ(m_fake->quads.size(), 3u);
    EXPECT_FLOAT_EQ(m_fake->quads[1].v[0].x, 14.0f);
    EXPECT_FLOAT_EQ(m_fake->quads[2].v[0].x, 5.0f);
}

TEST_F(CFFontTest, RandomAndTruncatedFilesNeverCrash)
{
    const std::string valid = BuildFont(StandardGlyphs());
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::string bytes;
        if (round < static_cast<int>(valid.size())) {
            bytes = valid.substr(0, static_cast<std::size_t>(round));
        } else {
            bytes = valid.substr(0, 7);  // a valid start, then anything
            const int size = static_cast<int>(random() % 120);
            for (int i = 0; i < size; ++i)
                bytes.push_back(static_cast<char>(random() % 256));
        }
        auto font = Make(bytes);
        font->DrawText(0, 0, L"AB@c00FF00A @b01B", 0);
        std::vector<CFTextLink> links;
        font->FindTextLinks(links, 0, 0, L"@b01AB", 1);
    }
}

}  // namespace
