// CPixTrueTypeFont.h: TrueType outlines read from a font file and rasterised, for text that
// the image library draws into pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Reads the glyph outlines (simple and composite), the character map (format 4), the
// horizontal metrics and the vertical extent. Hinting, kerning and bitmaps are ignored.
// The file is untrusted: every table and glyph read is bounded, and a glyph that cannot be
// read draws as nothing.
class CPixTrueTypeFont {
public:
    bool Load(const char* path);
    bool LoadFromMemory(const std::uint8_t* data, std::size_t size);
    bool IsLoaded() const { return m_nUnitsPerEm != 0; }

    int UnitsPerEm() const { return m_nUnitsPerEm; }
    int Ascent() const { return m_nAscent; }    // font units above the baseline
    int Descent() const { return m_nDescent; }  // font units below it (positive)
    int LineGap() const { return m_nLineGap; }
    int GlyphIndex(std::uint32_t codepoint) const;  // 0 (the missing glyph) when not mapped
    int Advance(int glyph) const;                   // font units

    // Adds the coverage (0..1) of one line of Latin-1 text to `coverage` (width x height,
    // rows top-down): the pen starts at x and the baseline at y, both in pixels; scale is
    // pixels per font unit; slant shears x by that many pixels per pixel of height.
    void RenderLine(const std::string& text, float x, float baseline, float scale, float slant,
                    std::vector<float>& coverage, int width, int height) const;
    float LineWidth(const std::string& text, float scale) const;

private:
    struct Point {
        float x, y;
        bool onCurve;
    };
    struct Edge {
        float x0, y0, x1, y1;
    };
    bool Table(const char* tag, std::size_t& offset, std::size_t& length) const;
    bool U16(std::size_t at, std::uint16_t& out) const;
    bool U32(std::size_t at, std::uint32_t& out) const;
    bool GlyphRange(int glyph, std::size_t& offset, std::size_t& length) const;
    // Contours of a glyph in font units, transformed by the 2 x 3 matrix m.
    bool Outline(int glyph, const float (&m)[6], int depth, std::vector<std::vector<Point>>& contours) const;
    bool SimpleOutline(std::size_t at, std::size_t end, int contourCount, const float (&m)[6],
                       std::vector<std::vector<Point>>& contours) const;
    bool CompositeOutline(std::size_t at, std::size_t end, const float (&m)[6], int depth,
                          std::vector<std::vector<Point>>& contours) const;

    std::vector<std::uint8_t> m_data;
    int m_nUnitsPerEm = 0, m_nAscent = 0, m_nDescent = 0, m_nLineGap = 0;
    int m_nGlyphs = 0, m_nHMetrics = 0;
    bool m_bLongLoca = false;
    std::size_t m_nCmap = 0, m_nLoca = 0, m_nGlyf = 0, m_nGlyfLength = 0, m_nHmtx = 0;
};
