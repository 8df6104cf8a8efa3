// FontFileBuilder.h: writes "FGFNT" font files for the font tests, field by field.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestGlyph {
    std::uint16_t code = 0;
    std::uint16_t page = 0;
    std::uint8_t x = 0, y = 0, width = 0, height = 0;
    std::int8_t left = 0, right = 0, baseline = 0;
};

inline void PutU16(std::string& out, std::uint16_t v)
{
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

inline std::string BuildFont(const std::vector<TestGlyph>& glyphs, std::uint16_t pages = 1,
                             std::int8_t lineTop = -10, std::int8_t lineBottom = 3,
                             std::int8_t extra = 1, std::uint8_t major = 2, std::uint8_t minor = 0)
{
    std::string out = "FGFNT";
    out.push_back(static_cast<char>(major));
    out.push_back(static_cast<char>(minor));
    out.push_back(static_cast<char>(lineTop));
    out.push_back(static_cast<char>(lineBottom));
    out.push_back(static_cast<char>(extra));
    PutU16(out, pages);
    PutU16(out, static_cast<std::uint16_t>(glyphs.size()));
    for (const TestGlyph& g : glyphs) {
        PutU16(out, g.code);
        PutU16(out, g.page);
        for (std::uint8_t b : {g.x, g.y, g.width, g.height})
            out.push_back(static_cast<char>(b));
        for (std::int8_t b : {g.left, g.right, g.baseline})
            out.push_back(static_cast<char>(b));
    }
    return out;
}

// Advances (right - left + extra 1): A 9, B 7, @ 10, blank 5, comma and stop 4.
inline std::vector<TestGlyph> StandardGlyphs()
{
    return {
        {'A', 0, 0, 0, 8, 10, 0, 8, 10},
        {'B', 0, 8, 0, 6, 10, 0, 6, 10},
        {'@', 0, 16, 0, 9, 12, 0, 9, 9},
        {' ', 0, 30, 0, 1, 1, 0, 4, 0},
        {',', 0, 32, 0, 3, 4, 0, 3, 1},
        {'.', 0, 36, 0, 3, 2, 0, 3, 2},
    };
}
