// TrueTypeFuzzer.cpp: one input is a TrueType font file, as the image library's text drawing
// reads it from its font folder. The font measures and rasterises lines of text at sizes taken
// from the input's tail, the way text is drawn into pictures (an em in pixels, or a cell height
// turned into one through the font's own ascent and descent).
#include "FuzzSupport.h"
#include "image/CPixTrueTypeFont.h"

#include <string>
#include <vector>

namespace {

std::string TextFrom(fuzz::ByteSource& choice)
{
    std::string text = "AaBbCc gW&@0 ";
    const int extra = choice.Below(6);
    for (int i = 0; i < extra; ++i)
        text.push_back(static_cast<char>(choice.Next()));
    return text;
}

void Draw(const CPixTrueTypeFont& font, const std::string& text, float em, float slant)
{
    const float scale = em / static_cast<float>(font.UnitsPerEm());
    // A small box whatever the text measures: the rasteriser must clip, not trust the widths.
    constexpr int kWidth = 160, kHeight = 48;
    std::vector<float> coverage(static_cast<std::size_t>(kWidth) * kHeight, 0.0f);
    const float baseline = static_cast<float>(font.Ascent()) * scale;
    (void)font.LineWidth(text, scale);
    font.RenderLine(text, 1.0f, baseline, scale, slant, coverage, kWidth, kHeight);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource choice(data, size);
    CPixTrueTypeFont font;
    if (!font.LoadFromMemory(data, size))
        return 0;
    for (std::uint32_t codepoint : {0u, 32u, 65u, 0xE9u, 0xFFFFu, 0x10000u})
        (void)font.Advance(font.GlyphIndex(codepoint));
    const std::string text = TextFrom(choice);
    Draw(font, text, static_cast<float>(8 + choice.Below(40)), choice.Below(2) * 0.2f);
    // A cell height of 24 pixels made an em through the font's extent.
    const int extent = font.Ascent() + font.Descent();
    if (extent > 0)
        Draw(font, text, 24.0f * static_cast<float>(font.UnitsPerEm()) / static_cast<float>(extent), 0);
    return 0;
}
