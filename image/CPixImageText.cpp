// Text drawn into CPixImage with our TrueType rasteriser over the DejaVu faces.
#include "image/CPixImage.h"
#include "image/CPixDeviceContext.h"
#include "image/CPixTrueTypeFont.h"
#include "image/TextInfo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr float kLit = 0.5f;  // coverage from which a text pixel counts as lit

std::string& FontFolderSetting()
{
    static std::string folder = "/usr/share/fonts/truetype/dejavu";
    return folder;
}

// The DejaVu file standing in for a Windows face: monospaced and serif faces map to their
// DejaVu kin, every other face to DejaVu Sans.
std::string FaceFile(const char* face, bool bold, bool italic)
{
    std::string name = face != nullptr ? face : "";
    for (char& c : name)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    std::string family = "DejaVuSans";
    if (name.find("mono") != std::string::npos || name.find("courier") != std::string::npos || name.find("console") != std::string::npos)
        family = "DejaVuSansMono";
    else if (name.find("serif") != std::string::npos && name.find("sans") == std::string::npos)
        family = "DejaVuSerif";
    else if (name.find("times") != std::string::npos || name.find("georgia") != std::string::npos)
        family = "DejaVuSerif";
    const char* slant = family == "DejaVuSerif" ? "Italic" : "Oblique";
    std::string style = bold ? "Bold" : "";
    if (italic)
        style += slant;
    return FontFolderSetting() + "/" + family + (style.empty() ? "" : "-" + style) + ".ttf";
}

// Loaded faces stay for the process (the library draws on one thread at a time).
const CPixTrueTypeFont* FontFor(const char* face, bool bold, bool italic)
{
    static std::map<std::string, std::unique_ptr<CPixTrueTypeFont>> cache;
    const std::string path = FaceFile(face, bold, italic);
    auto it = cache.find(path);
    if (it == cache.end()) {
        auto font = std::make_unique<CPixTrueTypeFont>();
        if (!font->Load(path.c_str()))
            font.reset();
        it = cache.emplace(path, std::move(font)).first;
    }
    return it->second.get();
}

std::vector<std::string> SplitLines(const char* text)
{
    std::vector<std::string> lines(1);
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\r' || *p == '\n') {
            if (*p == '\r' && p[1] == '\n')
                ++p;
            lines.emplace_back();
            continue;
        }
        lines.back() += *p;
    }
    return lines;
}

PixQuad FromColorRef(std::uint32_t ref)
{
    PixQuad q = CPixImage::RgbToQuad(ref);
    q.reserved = 255;
    return q;
}

// One block of text rendered to a coverage box, rows top-down.
struct TextBox {
    int width = 0, height = 0;
    std::vector<float> coverage;

    bool Lit(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height &&
               coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] >= kLit;
    }
};

struct TextStyle {
    const CPixTrueTypeFont* font;
    float emPixels;    // pixels per em
    bool italic, underline;
    int align;         // 0 left, 1 centre, 2 right
};

bool Render(const std::vector<std::string>& lines, const TextStyle& style, TextBox& box)
{
    const CPixTrueTypeFont& font = *style.font;
    const float scale = style.emPixels / static_cast<float>(font.UnitsPerEm());
    const float lineHeight = static_cast<float>(font.Ascent() + font.Descent() + font.LineGap()) * scale;
    float widest = 0;
    for (const std::string& line : lines)
        widest = std::max(widest, font.LineWidth(line, scale));
    // Italic text leans past its advance: half an average character more room.
    const float extra = style.italic ? font.LineWidth("x", scale) / 2 : 0;
    box.width = static_cast<int>(std::ceil(widest + extra)) + 1;
    box.height = static_cast<int>(std::ceil(lineHeight * static_cast<float>(lines.size())));
    if (box.width <= 1 || box.height <= 0 || static_cast<double>(box.width) * box.height > 64e6)
        return false;
    box.coverage.assign(static_cast<std::size_t>(box.width) * static_cast<std::size_t>(box.height), 0.0f);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const float lineWidth = font.LineWidth(lines[i], scale);
        const float x = style.align == 0 ? 0 : style.align == 2 ? widest - lineWidth : (widest - lineWidth) / 2;
        const float baseline = lineHeight * static_cast<float>(i) + static_cast<float>(font.Ascent()) * scale;
        font.RenderLine(lines[i], x, baseline, scale, 0, box.coverage, box.width, box.height);
        if (!style.underline)
            continue;
        const int thickness = std::max(1, static_cast<int>(style.emPixels / 14));
        const int top = static_cast<int>(baseline + static_cast<float>(font.Descent()) * scale / 2);
        for (int y = top; y < top + thickness && y < box.height; ++y)
            for (int px = static_cast<int>(x); px < static_cast<int>(x + lineWidth) && px < box.width; ++px)
                box.coverage[static_cast<std::size_t>(y) * static_cast<std::size_t>(box.width) + static_cast<std::size_t>(px)] = 1;
    }
    return true;
}

// Italic faces without an oblique file lean the finished box instead.
const CPixTrueTypeFont* PickFont(const char* face, bool bold, bool italic)
{
    const CPixTrueTypeFont* font = FontFor(face, bold, italic);
    return font != nullptr ? font : FontFor(face, bold, false);
}

}  // namespace

void CPixImage::SetFontFolder(const char* folder)
{
    FontFolderSetting() = folder != nullptr ? folder : "";
}

const char* CPixImage::FontFolder()
{
    return FontFolderSetting().c_str();
}

void CPixImage::InitTextInfo(TextInfo& info)
{
    info = TextInfo();
    std::snprintf(info.text, sizeof(info.text), "%s", "Sample Text 01234");
    info.font.height = -36;
    info.font.weight = 400;
    info.font.charSet = 238;
    info.font.quality = 2;
    std::snprintf(info.font.faceName, sizeof(info.font.faceName), "%s", "Arial");
    info.textColor = 0xA0FFFF;
    info.align = 1;
    info.opaque = 1;
    info.backColor = 0x006020;
    info.backOpacity = 0;
    info.outline = 0;
    info.rounding = 20;
}

// The box's bottom row lands on top-down row y of this image, its left column on x.
void CPixImage::PaintTextPixel(int x, int y, int boxHeight, int column, int row, PixQuad color, bool setAlpha)
{
    SetPixelColor(x + column, Height() - y - 1 + (boxHeight - 1 - row), color, setAlpha);
}

int CPixImage::DrawString(CPixDeviceContext* dc, int x, int y, const char* text, std::uint32_t color, const char* face,
                          int size, int weight, bool italic, bool underline, bool setAlpha)
{
    if (m_pDib == nullptr || dc == nullptr || text == nullptr)
        return 0;
    char faceName[32] = {};
    std::snprintf(faceName, sizeof(faceName), "%s", face != nullptr ? face : "");
    const CPixTrueTypeFont* font = PickFont(faceName, weight >= 600, italic);
    if (font == nullptr || size == 0)
        return 0;
    TextBox box;
    const TextStyle style{font, static_cast<float>(std::abs(size)), italic, underline, 0};
    if (!Render(SplitLines(text), style, box))
        return 1;  // nothing to draw is still a drawn string
    const PixQuad ink = FromColorRef(color);
    for (int row = 0; row < box.height; ++row)
        for (int column = 0; column < box.width; ++column)
            if (box.Lit(column, row))
                PaintTextPixel(x, y, box.height, column, row, ink, setAlpha);
    return 1;
}

int CPixImage::DrawStringEx(CPixDeviceContext* dc, int x, int y, const TextInfo& info, bool setAlpha)
{
    (void)dc;  // measuring and rendering need no device here
    if (m_pDib == nullptr)
        return 0;
    char text[sizeof(info.text) + 1] = {};
    std::memcpy(text, info.text, sizeof(info.text));  // terminated even when the caller's is not
    const bool italic = info.font.italic != 0;
    const CPixTrueTypeFont* font = PickFont(info.font.faceName, info.font.weight >= 600, italic);
    if (font == nullptr)
        return 0;
    float em = static_cast<float>(std::abs(info.font.height));
    if (info.font.height > 0)  // a cell height: ascent and descent together
        em = em * static_cast<float>(font->UnitsPerEm()) / static_cast<float>(font->Ascent() + font->Descent());
    if (info.font.height == 0)
        em = 16;
    const int align = info.align <= 2 ? info.align : 1;
    TextBox box;
    const TextStyle style{font, em, italic, info.font.underline != 0, align};
    if (!Render(SplitLines(text), style, box))
        return 0;
    if (info.opaque != 0)
        PaintTextBackground(x, y, box.width, box.height, info, setAlpha);
    const PixQuad ink = FromColorRef(info.textColor);
    const PixQuad ring = FromColorRef(info.backColor);
    for (int row = 0; row < box.height; ++row) {
        for (int column = 0; column < box.width; ++column) {
            if (box.Lit(column, row)) {
                PaintTextPixel(x, y, box.height, column, row, ink, setAlpha);
                continue;
            }
            const bool nearInk = box.Lit(column - 1, row) || box.Lit(column + 1, row) || box.Lit(column, row - 1) ||
                                 box.Lit(column, row + 1);
            if (info.outline != 0 && nearInk)
                PaintTextPixel(x, y, box.height, column, row, ring, setAlpha);
        }
    }
    return 1;
}

// The background box, its corners rounded, blended in at the given opacity.
void CPixImage::PaintTextBackground(int x, int y, int width, int height, const TextInfo& info, bool setAlpha)
{
    const float opacity = info.backOpacity >= 0 && info.backOpacity <= 1 ? info.backOpacity : 0;
    const int rounding = info.rounding <= 50 ? info.rounding : 10;
    const float radius = static_cast<float>(height) * static_cast<float>(rounding) / 100;
    const PixQuad back = FromColorRef(info.backColor);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            // Distance past the nearest corner's circle centre, for the pixel's middle.
            const float cx = std::max({radius - (static_cast<float>(column) + 0.5f), static_cast<float>(column) + 0.5f - (static_cast<float>(width) - radius), 0.0f});
            const float cy = std::max({radius - (static_cast<float>(row) + 0.5f), static_cast<float>(row) + 0.5f - (static_cast<float>(height) - radius), 0.0f});
            if (cx * cx + cy * cy > radius * radius)
                continue;
            const int ix = x + column, iy = Height() - y - 1 + (height - 1 - row);
            if (!IsInside(ix, iy))
                continue;
            const PixQuad old = PixelColor(ix, iy, true);
            PixQuad mixed;
            mixed.blue = static_cast<std::uint8_t>(back.blue * opacity + old.blue * (1 - opacity));
            mixed.green = static_cast<std::uint8_t>(back.green * opacity + old.green * (1 - opacity));
            mixed.red = static_cast<std::uint8_t>(back.red * opacity + old.red * (1 - opacity));
            mixed.reserved = static_cast<std::uint8_t>(255 * opacity + old.reserved * (1 - opacity));
            SetPixelColor(ix, iy, mixed, setAlpha);
        }
    }
}
