// CPixTrueTypeFontTest.cpp: hostile font files, made here glyph by glyph: composites that
// multiply, outlines scaled past what a float holds, and a face without vertical extent drawn at
// a cell height. Each once hung the rasteriser or converted an out-of-range float to an int.
// test-labels: untrusted
#include "ImageTestData.h"
#include "image/CPixDeviceContext.h"
#include "image/CPixImage.h"
#include "image/CPixTrueTypeFont.h"
#include "image/TextInfo.h"
#include "support/LoadAllowance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace {

class Bytes {
public:
    Bytes& U16(int v)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
        m_bytes.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Bytes& U32(std::uint32_t v) { return U16(static_cast<int>(v >> 16)).U16(static_cast<int>(v & 0xFFFF)); }
    Bytes& Zeros(std::size_t n)
    {
        m_bytes.insert(m_bytes.end(), n, 0);
        return *this;
    }
    Bytes& Add(const std::vector<std::uint8_t>& more)
    {
        m_bytes.insert(m_bytes.end(), more.begin(), more.end());
        return *this;
    }
    const std::vector<std::uint8_t>& Get() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
};

// A square from (left, 0) to (left + side, side) in font units.
std::vector<std::uint8_t> Square(int left, int side)
{
    Bytes g;
    g.U16(1).U16(left).U16(0).U16(left + side).U16(side).U16(3).U16(0);
    g.Add({1, 1, 1, 1});                      // on-curve points, coordinates as 16-bit deltas
    g.U16(left).U16(side).U16(0).U16(-side);  // x
    g.U16(0).U16(0).U16(side).U16(0);         // y
    return g.Get();
}

// One contour of `count` points all at the origin: a few hundred bytes, as many edges as points.
std::vector<std::uint8_t> Crowd(int count)
{
    Bytes g;
    g.U16(1).Zeros(8).U16(count - 1).U16(0);
    std::vector<std::uint8_t> flags;
    for (int left = count; left > 0; left -= 256)  // on-curve, x and y as before, repeated
        flags.insert(flags.end(), {1 | 8 | 16 | 32, static_cast<std::uint8_t>(std::min(left, 256) - 1)});
    return g.Add(flags).Get();
}

// `copies` references to `glyph`, each moved 10 units further right.
std::vector<std::uint8_t> Composite(int glyph, int copies)
{
    Bytes g;
    g.U16(-1).Zeros(8);
    for (int i = 0; i < copies; ++i)
        g.U16(0x0001 | 0x0002 | (i + 1 < copies ? 0x0020 : 0)).U16(glyph).U16(10 * i).U16(0);
    return g.Get();
}

// A font of 1000 units per em whose glyph n is character 'A' + n; every advance is 600.
std::vector<std::uint8_t> FontFile(const std::vector<std::vector<std::uint8_t>>& glyphs, int ascent = 800,
                                   int descent = -200, int lineGap = 0)
{
    const int n = static_cast<int>(glyphs.size());
    Bytes head, hhea, maxp, cmap, loca, glyf, hmtx;
    head.U32(0x00010000).Zeros(14).U16(1000).Zeros(30).U16(1).U16(0);  // long locations
    hhea.U32(0x00010000).U16(ascent).U16(descent).U16(lineGap).Zeros(24).U16(n);
    maxp.U32(0x00005000).U16(n);
    // Format 4: 'A'.. through a delta, then the closing segment.
    cmap.U16(0).U16(1).U16(3).U16(1).U32(12);
    cmap.U16(4).U16(32).U16(0).U16(4).Zeros(6);
    cmap.U16('A' + n - 1).U16(0xFFFF).U16(0).U16('A').U16(0xFFFF).U16(-'A').U16(1).U16(0).U16(0);
    for (const auto& glyph : glyphs) {
        loca.U32(static_cast<std::uint32_t>(glyf.Get().size()));
        glyf.Add(glyph);
        hmtx.U16(600).U16(0);
    }
    loca.U32(static_cast<std::uint32_t>(glyf.Get().size()));
    const std::pair<const char*, const Bytes*> tables[] = {{"cmap", &cmap}, {"glyf", &glyf}, {"head", &head},
                                                           {"hhea", &hhea}, {"hmtx", &hmtx}, {"loca", &loca},
                                                           {"maxp", &maxp}};
    Bytes file, body;
    file.U32(0x00010000).U16(7).Zeros(6);
    const std::uint32_t first = 12 + 16 * 7;
    for (const auto& [tag, table] : tables) {
        file.Add({static_cast<std::uint8_t>(tag[0]), static_cast<std::uint8_t>(tag[1]), static_cast<std::uint8_t>(tag[2]),
                  static_cast<std::uint8_t>(tag[3])});
        file.U32(0).U32(first + static_cast<std::uint32_t>(body.Get().size())).U32(static_cast<std::uint32_t>(table->Get().size()));
        body.Add(table->Get());
    }
    return file.Add(body.Get()).Get();
}

double Ink(const std::vector<float>& coverage)
{
    double sum = 0;
    for (float c : coverage)
        sum += c;
    return sum;
}

}  // namespace

TEST(TrueTypeFont, CompositesThatMultiplyDrawNothingWhileOrdinaryOnesDraw)
{
    // 'B' is two squares; 'C' to 'I' each name the glyph before twelve times: 2 x 12^7 squares,
    // nested no deeper than fonts may nest.
    std::vector<std::vector<std::uint8_t>> glyphs = {Square(0, 500), Composite(0, 2)};
    for (int level = 0; level < 7; ++level)
        glyphs.push_back(Composite(static_cast<int>(glyphs.size()) - 1, 12));
    const std::vector<std::uint8_t> bytes = FontFile(glyphs);
    CPixTrueTypeFont font;
    ASSERT_TRUE(font.LoadFromMemory(bytes.data(), bytes.size()));

    std::vector<float> coverage(100 * 40, 0.0f);
    font.RenderLine("B", 2, 30, 0.05f, 0, coverage, 100, 40);
    EXPECT_GT(Ink(coverage), 400.0);  // 25 x 25 pixels and a little more

    coverage.assign(coverage.size(), 0.0f);
    const double start = ThreadSeconds();
    font.RenderLine("IIII", 2, 30, 0.05f, 0, coverage, 100, 40);
    EXPECT_LT(ThreadSeconds() - start, 5.0) << "s of processor time";
    EXPECT_EQ(Ink(coverage), 0.0);
}

TEST(TrueTypeFont, ALineOfGlyphsWithTensOfThousandsOfPointsEachEndsSoon)
{
    const std::vector<std::uint8_t> bytes = FontFile({Square(0, 500), Crowd(60000)});
    CPixTrueTypeFont font;
    ASSERT_TRUE(font.LoadFromMemory(bytes.data(), bytes.size()));
    std::vector<float> coverage(200 * 48, 0.0f);
    const double start = ThreadSeconds();
    font.RenderLine("A" + std::string(250, 'B'), 2, 30, 0.05f, 0, coverage, 200, 48);
    // Unbounded, this took 20 seconds in an optimised build.
    EXPECT_LT(ThreadSeconds() - start, 8.0) << "s of processor time";
    EXPECT_GT(Ink(coverage), 600.0);  // the square before them
}

TEST(TrueTypeFont, ScalesPastAFloatsRangeLeaveTheBoxUntouched)
{
    const std::vector<std::uint8_t> bytes = FontFile({Square(100, 500)});
    CPixTrueTypeFont font;
    ASSERT_TRUE(font.LoadFromMemory(bytes.data(), bytes.size()));
    const float huge = 1e30f, inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
    const struct {
        const char* name;
        float x, baseline, scale, slant;
    } cases[] = {
        {"square far right", 0, 40, huge, 0},  // its left side lies beyond every int
        {"square past infinity", 0, 40, huge * huge, 0},
        {"pen at infinity", inf, 40, 0.05f, 0},
        {"baseline not a number", 0, nan, 0.05f, 0},
        {"slant not a number", 0, 40, 0.05f, nan},
        {"slant past a float", 0, 40, huge, huge},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> coverage(64 * 48, 0.0f);
        font.RenderLine("AA", c.x, c.baseline, c.scale, c.slant, coverage, 64, 48);
        for (float value : coverage)
            ASSERT_TRUE(value >= 0.0f && value <= 1.0001f) << value;
    }
}

TEST(TrueTypeFont, AFaceWithoutExtentIsDrawnAtACellHeightAsAtAnEmSize)
{
    // Ascent and descent cancel out: a cell height cannot be turned into an em through them.
    const std::string folder = UniqueTempPath("ttf_extent");
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(WriteBytes(folder + "/DejaVuSans.ttf", FontFile({Square(0, 500)}, 500, 500, 1000)));
    const std::string previous = CPixImage::FontFolder();
    CPixImage::SetFontFolder(folder.c_str());

    CPixImage page(80, 40, 24, kPixTypeUnknown);
    page.FillBits(255);
    TextInfo info;
    CPixImage::InitTextInfo(info);
    std::snprintf(info.text, sizeof(info.text), "%s", "AA");
    info.opaque = 0;
    info.textColor = 0x000000;
    info.font.height = 20;
    EXPECT_EQ(page.DrawStringEx(nullptr, 0, 39, info, false), 1);
    int ink = 0;
    for (int y = 0; y < page.Height(); ++y)
        for (int x = 0; x < page.Width(); ++x)
            ink += page.PixelColor(x, y, false).red == 0 ? 1 : 0;
    EXPECT_GT(ink, 100);  // two squares of about 10 x 10 pixels

    CPixImage::SetFontFolder(previous.c_str());
    std::filesystem::remove_all(folder);
}
