#include "framework/CFFont.h"

#include "framework/CSprite.h"
#include "framework/GamePath.h"
#include "framework/StringUtils.h"
#include "platform/EngineHandle.h"
#include "platform/FileSystem.h"
#include "platform/bytes/CByteReader.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

constexpr std::size_t kMaxFontFile = 1u << 20;  // 14 + 11 x 65535 bytes at most, with room
constexpr int kMaxPages = 1024;                  // far beyond any real font; bounds texture loads
constexpr std::size_t kGlyphRecordSize = 11;
constexpr std::size_t kFormatBuffer = 2048;

struct GlyphRecord {
    std::uint16_t code = 0;
    std::uint16_t page = 0;
    std::uint8_t x = 0, y = 0, width = 0, height = 0;
    int left = 0, right = 0, baseline = 0;
};

bool ReadGlyphRecord(CByteReader& in, GlyphRecord& g)
{
    return in.ReadU16(g.code) && in.ReadU16(g.page) && in.ReadU8(g.x) && in.ReadU8(g.y) &&
           in.ReadU8(g.width) && in.ReadU8(g.height) && in.ReadI8(g.left) && in.ReadI8(g.right) &&
           in.ReadI8(g.baseline);
}

bool IsSeparator(wchar_t c)
{
    return c == L' ' || c == L'!' || c == L',' || c == L'.' || c == L':' || c == L';' || c == L'?';
}

// Whether the line break at `at` ends a paragraph rather than only wrapping its text.
bool IsParagraphEnd(const std::wstring& text, std::size_t at)
{
    if (at == 0 || at + 1 >= text.size())
        return true;
    const wchar_t before = text[at - 1];
    return before == L'.' || before == L'!' || before == L'?' || before == L':' || before == L'\n' ||
           text[at + 1] == L'\n';
}

// Appends the paragraph's words with a line break before each word that would pass the width.
void AppendWrapped(const CFFont& font, std::wstring& out, const std::wstring& paragraph, int width)
{
    const int space = font.GetTextWidth(L" ");
    int line = -1;  // the width of the line so far; -1 before its first word
    for (std::size_t start = 0; start < paragraph.size();) {
        const std::size_t end = std::min(paragraph.find(L' ', start), paragraph.size());
        if (end > start) {
            const std::wstring word = paragraph.substr(start, end - start);
            const int wordWidth = font.GetTextWidth(word.c_str());
            if (line >= 0 && line + space + wordWidth <= width) {
                out.push_back(L' ');
                line += space + wordWidth;
            } else {
                if (line >= 0)
                    out.push_back(L'\n');
                line = wordWidth;
            }
            out += word;
        }
        start = end + 1;
    }
}

// The text's paragraphs, each with its wrapping breaks made spaces.
std::vector<std::wstring> Paragraphs(const std::wstring& text)
{
    std::vector<std::wstring> paragraphs(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\n')
            paragraphs.back().push_back(text[i]);
        else if (IsParagraphEnd(text, i))
            paragraphs.emplace_back();
        else
            paragraphs.back().push_back(L' ');
    }
    return paragraphs;
}

}  // namespace

// The page textures, shared by a font and its copies and freed with the last of them.
struct CFFont::Pages {
    CEngineRef engine;
    std::vector<CTextureOwner> textures;
};

CFFont::CFFont(const char* file)
{
    if (m_pEngine != nullptr)
        (void)Load(file);
}

CFFont::CFFont(const CFFont& other)
{
    CopyFrom(other);
}

CFFont& CFFont::operator=(const CFFont& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

CFFont::~CFFont()
{
    m_glyphs.clear();
    m_pages.reset();
}

void CFFont::CopyFrom(const CFFont& other)
{
    m_nColor = other.m_nColor;
    m_nExtraAdvance = other.m_nExtraAdvance;
    m_nLineTop = other.m_nLineTop;
    m_nLineBottom = other.m_nLineBottom;
    m_nLetterSpacing = other.m_nLetterSpacing;
    m_nLineSpacing = other.m_nLineSpacing;
    m_nBlend = other.m_nBlend;
    m_pages = other.m_pages;
    m_glyphs.clear();
    if (other.m_glyphs.empty())
        return;
    m_glyphs.resize(kGlyphCount);
    for (std::size_t i = 0; i < m_glyphs.size(); ++i) {
        const Glyph& from = other.m_glyphs[i];
        if (from.sprite == nullptr)
            continue;
        Glyph& to = m_glyphs[i];
        to.left = from.left;
        to.right = from.right;
        to.baseline = from.baseline;
        to.sprite = std::make_unique<CSprite>(*from.sprite);
    }
}

bool CFFont::Load(const char* file)
{
    const char* name = file != nullptr ? file : "";
    std::vector<std::uint8_t> bytes;
    if (file == nullptr || !fs_layer::ReadWholeFile(file, bytes, kMaxFontFile)) {
        m_pEngine->Log("[E] Font: Can't load data from file %s", name);
        return false;
    }
    CByteReader in(bytes.data(), bytes.size());
    char magic[5] = {};
    if (!in.ReadBytes(magic, sizeof magic) || std::string(magic, 5) != "FGFNT") {
        m_pEngine->Log("[E] Font: File %s is not font", name);
        return false;
    }
    std::uint8_t major = 0, minor = 0;
    if (!in.ReadU8(major) || !in.ReadU8(minor) || major != 2 || minor != 0) {
        m_pEngine->Log("[E] Font: File %s has wrong version number", name);
        return false;
    }
    return ReadGlyphs(bytes, in.Position(), name);
}

// Checks every record before anything is loaded, so a damaged file loads no page at all.
bool CFFont::ReadGlyphs(const std::vector<std::uint8_t>& bytes, std::size_t offset, const char* file)
{
    CByteReader in(bytes.data() + offset, bytes.size() - offset);
    int lineTop = 0, lineBottom = 0, extra = 0;
    std::uint16_t pageCount = 0, glyphCount = 0;
    bool ok = in.ReadI8(lineTop) && in.ReadI8(lineBottom) && in.ReadI8(extra) &&
              in.ReadU16(pageCount) && in.ReadU16(glyphCount) && pageCount <= kMaxPages &&
              in.Remaining() >= kGlyphRecordSize * glyphCount;
    std::vector<GlyphRecord> records(ok ? glyphCount : 0);
    for (GlyphRecord& g : records) {
        ok = ReadGlyphRecord(in, g) && g.code < kGlyphCount && g.page < pageCount;
        if (!ok)
            break;
    }
    if (!ok) {
        m_pEngine->Log("[E] Font: File %s is damaged", file);
        return false;
    }
    m_nLineTop = lineTop;
    m_nLineBottom = lineBottom;
    m_nExtraAdvance = extra;

    const GamePathParts parts = SplitGamePath(file);
    auto pages = std::make_shared<Pages>();
    for (int i = 0; i < pageCount; ++i) {
        char page[16];
        std::snprintf(page, sizeof page, "_%03d.png", i);
        const std::string path = parts.drive + parts.dir + parts.name + page;
        pages->textures.emplace_back(pages->engine.Get(), m_pEngine->TextureLoad(path.c_str()));
    }
    m_pages = pages;

    m_glyphs.resize(kGlyphCount);
    for (const GlyphRecord& g : records) {
        Glyph& glyph = m_glyphs[g.code];
        if (glyph.sprite != nullptr) {
            glyph.duplicate = true;
            continue;
        }
        glyph.sprite = std::make_unique<CSprite>(pages->textures[g.page].Get(), g.x, g.y, g.width, g.height);
        glyph.left = g.left;
        glyph.right = g.right;
        glyph.baseline = g.baseline;
    }
    return true;
}

const CFFont::Glyph* CFFont::FindGlyph(wchar_t code) const
{
    if (m_glyphs.empty() || code < 0 || code >= kGlyphCount)
        return nullptr;
    const Glyph& glyph = m_glyphs[static_cast<std::size_t>(code)];
    return glyph.sprite != nullptr ? &glyph : nullptr;
}

int CFFont::Advance(const Glyph& glyph) const
{
    return std::abs(glyph.right - glyph.left) + m_nLetterSpacing + m_nExtraAdvance;
}

int CFFont::GetLineHeight() const
{
    return std::abs(m_nLineBottom - m_nLineTop);
}

int CFFont::LineWidth(const wchar_t* text, std::size_t length) const
{
    int width = 0;
    for (std::size_t i = 0; i < length && text[i] != L'\n';) {
        if (text[i] == L'@' && i + 1 < length && text[i + 1] == L'c') {
            i += 8;
            continue;
        }
        if (text[i] == L'@' && i + 1 < length && text[i + 1] == L'b') {
            i += 4;
            continue;
        }
        if (const Glyph* glyph = FindGlyph(text[i]))
            width += Advance(*glyph);
        ++i;
    }
    return width;
}

int CFFont::GetTextWidth(const wchar_t* text) const
{
    return text != nullptr ? LineWidth(text, std::wcslen(text)) : 0;
}

int CFFont::GetTextWidth(const char* text) const
{
    return GetTextWidth(WidenString(text).c_str());
}

std::wstring CFFont::Rewrap(const std::wstring& text, int width) const
{
    if (width <= 0)
        return text;
    std::wstring out;
    bool first = true;
    for (const std::wstring& paragraph : Paragraphs(text)) {
        if (!first)
            out.push_back(L'\n');
        first = false;
        AppendWrapped(*this, out, paragraph, width);
    }
    return out;
}

float CFFont::LineStart(float x, const wchar_t* text, std::size_t length, int alignment) const
{
    if (alignment == 1)
        return x - LineWidth(text, length);
    if (alignment == 0)
        return x - LineWidth(text, length) / 2;
    return x;
}

template <typename Visitor>
void CFFont::Walk(float x, float y, const wchar_t* text, int alignment, Visitor& visitor) const
{
    const std::size_t length = std::wcslen(text);
    float pen = LineStart(x, text, length, alignment);
    for (std::size_t i = 0; i < length;) {
        const wchar_t c = text[i];
        if (c == L'\n') {
            visitor.OnLineBreak();
            y += GetLineHeight() + m_nLineSpacing;
            pen = LineStart(x, text + i + 1, length - i - 1, alignment);
            ++i;
            continue;
        }
        const Glyph* glyph = FindGlyph(c);
        if (glyph == nullptr) {
            ++i;
            continue;
        }
        const wchar_t next = i + 1 < length ? text[i + 1] : L'\0';
        if (c == L'@' && next == L'c') {
            // Only the digits that are there: markup cut off by the end of the text reads no further.
            const std::wstring digits(text + i + 2, std::min<std::size_t>(6, length - i - 2));
            visitor.OnColor(ParseHexW(digits.c_str()));
            i += std::min<std::size_t>(8, length - i);
            continue;
        }
        if (c == L'@' && next == L'b') {
            const std::wstring digits(text + i + 2, std::min<std::size_t>(2, length - i - 2));
            visitor.OnLinkStart(std::atoi(NarrowString(digits.c_str()).c_str()), pen, y, *glyph);
            i += std::min<std::size_t>(4, length - i);
            continue;
        }
        if (IsSeparator(c))
            visitor.OnSeparator();
        visitor.OnGlyph(c, *glyph, pen, y);
        pen += Advance(*glyph);
        ++i;
    }
    visitor.OnEnd();
}

namespace {

// Draws each glyph; a colour run lasts from its markup to the next separator or line break.
template <typename Glyph>
struct DrawVisitor {
    DrawVisitor(std::uint32_t color, int blendMode) : fontColor(color), blend(blendMode) {}

    std::uint32_t fontColor;
    int blend;
    bool run = false;
    std::uint32_t runColor = 0;

    void OnLineBreak() { run = false; }
    void OnColor(std::uint32_t color)
    {
        run = true;
        runColor = color;
    }
    void OnLinkStart(int, float, float, const Glyph&) {}
    void OnSeparator() { run = false; }
    void OnGlyph(wchar_t, const Glyph& glyph, float pen, float y)
    {
        glyph.sprite->SetColor(run ? (runColor & 0x00FFFFFF) | (fontColor & 0xFF000000) : fontColor);
        glyph.sprite->SetBlendMode(blend);
        glyph.sprite->Render(pen, y - glyph.baseline);
    }
    void OnEnd() {}
};

// Collects the words that follow "@bNN" with the rectangle their glyphs cover.
template <typename Glyph>
struct LinkVisitor {
    LinkVisitor(const CFFont& f, std::vector<CFTextLink>& out) : font(f), links(out) {}

    const CFFont& font;
    std::vector<CFTextLink>& links;
    bool open = false;
    CFTextLink link;
    float top = 0, bottom = 0;
    std::wstring text;

    void Close()
    {
        if (!open)
            return;
        link.y = top;
        link.width = font.GetTextWidth(text.c_str());
        link.height = static_cast<int>(bottom - top);
        links.push_back(link);
        open = false;
    }
    void OnLineBreak() { Close(); }
    void OnColor(std::uint32_t) {}
    void OnLinkStart(int number, float pen, float y, const Glyph& at)
    {
        Close();
        open = true;
        link = CFTextLink();
        link.x = pen;
        link.link = number;
        top = y - at.baseline;
        bottom = top + static_cast<int>(at.sprite->GetHeight());
        text.clear();
    }
    void OnSeparator() { Close(); }
    void OnGlyph(wchar_t c, const Glyph& glyph, float, float y)
    {
        if (!open)
            return;
        text.push_back(c);
        const float glyphTop = y - glyph.baseline;
        if (glyphTop < top)
            top = glyphTop;
        const float glyphBottom = glyphTop + static_cast<int>(glyph.sprite->GetHeight());
        if (glyphBottom > bottom)
            bottom = glyphBottom;
    }
    void OnEnd() { Close(); }
};

}  // namespace

void CFFont::DrawText(float x, float y, const wchar_t* text, int alignment)
{
    if (text == nullptr)
        return;
    DrawVisitor<Glyph> visitor(m_nColor, m_nBlend);
    Walk(x, y, text, alignment, visitor);
}

void CFFont::DrawText(float x, float y, const char* text, int alignment)
{
    DrawText(x, y, WidenString(text).c_str(), alignment);
}

void CFFont::DrawTextFormat(float x, float y, const char* format, ...)
{
    if (format == nullptr)
        return;
    char buffer[kFormatBuffer];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    DrawText(x, y, buffer, 2);
}

void CFFont::DrawTextFormatW(float x, float y, const wchar_t* format, ...)
{
    if (format == nullptr)
        return;
    wchar_t buffer[kFormatBuffer];
    va_list args;
    va_start(args, format);
    // On overflow vswprintf fails without a promise about the buffer: draw nothing then.
    const int n = std::vswprintf(buffer, kFormatBuffer, format, args);
    va_end(args);
    if (n < 0)
        return;
    DrawText(x, y, buffer, 2);
}

void CFFont::FindTextLinks(std::vector<CFTextLink>& links, float x, float y, const wchar_t* text,
                           int alignment) const
{
    if (text == nullptr)
        return;
    LinkVisitor<Glyph> visitor(*this, links);
    Walk(x, y, text, alignment, visitor);
}
