// CFFont.h: bitmap font that draws UTF-16 text from glyph sprites cut out of PNG page textures.
//
// The glyphs come from an "FGFNT" file (version 2.0); page i of "dir/name.ext" is
// "dir/name_00i.png". Texts may carry markup: "@cRRGGBB" colours the following word, "@bNN"
// marks a link whose screen rectangle FindTextLinks reports. Markup is recognised only when the
// font has a glyph for "@". A font whose file fails to load draws nothing and measures 0.
// Copies share the page textures, which are freed when the last font using them goes.
#pragma once

#include "platform/EngineRef.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSprite;

struct CFTextLink {
    float x = 0;      // left
    float y = 0;      // top
    int width = 0;
    int height = 0;
    int link = 0;     // the NN of @bNN
};

class CFFont {
public:
    static constexpr int kGlyphCount = 65535;  // codes 0..65534

    explicit CFFont(const char* file);
    CFFont(const CFFont& other);
    CFFont& operator=(const CFFont& other);
    ~CFFont();

    // alignment 0: centred on x; 1: right-aligned at x; other: left-aligned at x.
    // y is the baseline of the first line.
    void DrawText(float x, float y, const wchar_t* text, int alignment);
    void DrawText(float x, float y, const char* text, int alignment);
    void DrawTextFormat(float x, float y, const char* format, ...) __attribute__((format(printf, 4, 5)));
    void DrawTextFormatW(float x, float y, const wchar_t* format, ...);

    int GetTextWidth(const wchar_t* text) const;  // of the first line
    int GetTextWidth(const char* text) const;
    int GetLineHeight() const;

    // The text broken anew into lines of at most `width` pixels, for a text wrapped by hand for
    // another width: a line break after the end of a sentence (". ! ? :") or before an empty line
    // stays, any other was only wrapping and moves. A word wider than the width keeps a line of its
    // own. A width of 0 or less gives the text back as it is.
    std::wstring Rewrap(const std::wstring& text, int width) const;

    void SetLetterSpacing(int spacing) { m_nLetterSpacing = spacing; }
    int GetLetterSpacing() const { return m_nLetterSpacing; }
    void SetLineSpacing(int spacing) { m_nLineSpacing = spacing; }
    int GetLineSpacing() const { return m_nLineSpacing; }
    void SetColor(std::uint32_t argb) { m_nColor = argb; }
    std::uint32_t GetColor() const { return m_nColor; }
    void SetBlendMode(int blend) { m_nBlend = blend; }

    // Appends the links of the text as DrawText would lay it out.
    void FindTextLinks(std::vector<CFTextLink>& links, float x, float y, const wchar_t* text,
                       int alignment) const;

    bool HasGlyph(wchar_t code) const { return FindGlyph(code) != nullptr; }

private:
    struct Glyph {
        int left = 0;
        int right = 0;
        int baseline = 0;  // drawn this many pixels above the pen's y
        std::unique_ptr<CSprite> sprite;
        bool duplicate = false;
    };
    struct Pages;

    // Lays the text out as drawing does and tells the visitor what it meets.
    template <typename Visitor>
    void Walk(float x, float y, const wchar_t* text, int alignment, Visitor& visitor) const;

    bool Load(const char* file);
    bool ReadGlyphs(const std::vector<std::uint8_t>& bytes, std::size_t offset, const char* file);
    void CopyFrom(const CFFont& other);
    const Glyph* FindGlyph(wchar_t code) const;
    int Advance(const Glyph& glyph) const;
    int LineWidth(const wchar_t* text, std::size_t length) const;
    float LineStart(float x, const wchar_t* text, std::size_t length, int alignment) const;

    std::uint32_t m_nColor = 0xFFFFFFFF;
    int m_nExtraAdvance = 0;
    int m_nLineTop = 0, m_nLineBottom = 0;
    std::shared_ptr<Pages> m_pages;
    std::vector<Glyph> m_glyphs;  // empty until a file loads, else kGlyphCount entries
    int m_nLetterSpacing = 0;
    int m_nLineSpacing = 0;
    int m_nBlend = 2;
    CEngineRef m_pEngine;
};
