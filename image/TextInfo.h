// TextInfo.h: what CPixImage::DrawStringEx draws: text, font, colours and box.
#pragma once

#include <cstdint>

// The font description, field by field as a LOGFONT record holds it: height below 0 is the
// character height in pixels, above 0 the cell height; weight 400 normal, 700 bold.
struct PixLogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};

struct TextInfo {
    char text[4096] = {};              // 8-bit text (Latin-1), lines separated by "\r"
    PixLogFont font;
    std::uint32_t textColor = 0;       // COLORREF: red in the low byte
    std::uint8_t align = 0;            // 0 left, 1 centre, 2 right, others centre
    std::uint8_t opaque = 0;           // draw a background box behind the text
    std::uint32_t backColor = 0;       // COLORREF
    float backOpacity = 0;             // 0..1, others as 0
    std::uint8_t outline = 0;          // a one-pixel ring in the background colour
    std::uint8_t rounding = 0;         // corner radius in percent of the text height, 0..50, others 10
};
