// The text store from the UTF-16 text file, the named text entries, and texture loading.
#include "framework/CFResource.h"

#include "framework/GamePath.h"
#include "framework/StringUtils.h"
#include "platform/FileSystem.h"
#include "platform/bytes/CByteReader.h"

#include <cwctype>

namespace {

constexpr std::size_t kMaxTextFile = 32u << 20;
constexpr std::size_t kNumberStart = 1;
constexpr std::size_t kNumberDigits = 5;
constexpr std::size_t kTextStart = 8;

CFResource::Jp2TextureLoader g_jp2Loader = nullptr;

// As the C library reads a decimal number: leading blanks, a sign, digits up to the first other
// character. Only the characters given are looked at.
long ReadNumber(const std::wstring& text, std::size_t start, std::size_t count)
{
    std::size_t i = start;
    const std::size_t end = start + count;
    while (i < end && std::iswspace(static_cast<wint_t>(text[i])))
        ++i;
    bool negative = false;
    if (i < end && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    long value = 0;
    for (; i < end && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = value * 10 + (text[i] - L'0');
    return negative ? -value : value;
}

void ReplaceLineBreaks(std::wstring& line)
{
    for (std::size_t i = 0; i + 1 < line.size(); ++i)
        if (line[i] == L'\\' && line[i + 1] == L'n') {
            line[i] = L'\n';
            line.erase(i + 1, 1);
        }
}

}  // namespace

void CFResource::AddTextFile(const std::string& path)
{
    if (!m_textStore.empty()) {
        m_pEngine->Log("[W] Resource: Text data already loaded");
        return;
    }
    std::vector<std::uint8_t> bytes;
    if (!fs_layer::ReadWholeFile(path, bytes, kMaxTextFile)) {
        m_pEngine->Log("[E] Resource: Can't load data from file %s", path.c_str());
        return;
    }
    if (bytes.size() < 3) {
        m_pEngine->Log("[W] Resource: File %s too small", path.c_str());
        return;
    }
    if (bytes[0] != 0xFF || bytes[1] != 0xFE) {
        m_pEngine->Log("[E] Resource: File %s is not in UTF-16 format", path.c_str());
        return;
    }
    // Each UTF-16 unit becomes one character, as the fonts index glyphs by unit; an odd last
    // byte is dropped.
    std::wstring text;
    text.reserve((bytes.size() - 2) / 2);
    CByteReader in(bytes.data() + 2, bytes.size() - 2);
    for (std::uint16_t unit = 0; in.ReadU16(unit);)
        text.push_back(static_cast<wchar_t>(unit));

    std::vector<std::wstring> lines;
    SplitStringW(text, lines, L"\n");
    for (std::wstring& line : lines) {
        ReplaceLineBreaks(line);
        if (line.size() <= kTextStart || line[0] != L'$')
            continue;
        const long number = ReadNumber(line, kNumberStart, kNumberDigits);
        if (number < 0)  // "$-0001" would index before the store
            continue;
        if (m_textStore.size() <= static_cast<std::size_t>(number))
            m_textStore.resize(static_cast<std::size_t>(number) + 1);
        m_textStore[static_cast<std::size_t>(number)] = line.substr(kTextStart);
    }
}

void CFResource::AddText(const std::string& name, int font, int number, int lineSpacing,
                         int letterSpacing, int alignment)
{
    CFTextEntry entry;
    entry.font = CheckIndex("AddText", "font", font, m_fonts.size(), false) ? font : -1;
    entry.name = name;
    entry.lineSpacing = lineSpacing;
    entry.letterSpacing = letterSpacing;
    entry.alignment = alignment;
    if (number >= 0 && static_cast<std::size_t>(number) < m_textStore.size())
        entry.text = m_textStore[static_cast<std::size_t>(number)];
    m_texts.push_back(std::move(entry));
}

CFTextEntry* CFResource::FindText(const char* name)
{
    if (name == nullptr)
        return nullptr;
    for (CFTextEntry& entry : m_texts)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

bool CFResource::SetText(const char* name, const char* text)
{
    return SetTextW(name, WidenString(text).c_str());
}

bool CFResource::SetTextW(const char* name, const wchar_t* text)
{
    CFTextEntry* entry = FindText(name);
    if (entry == nullptr)
        return false;
    entry->text = text != nullptr ? text : L"";
    return true;
}

const wchar_t* CFResource::GetText(const char* name) const
{
    const CFTextEntry* entry = const_cast<CFResource*>(this)->FindText(name);
    return entry != nullptr ? entry->text.c_str() : nullptr;
}

std::string CFResource::ReplaceExtension(const char* file, const char* extension)
{
    const GamePathParts parts = SplitGamePath(file != nullptr ? file : "");
    return parts.drive + parts.dir + parts.name + "." + (extension != nullptr ? extension : "");
}

void CFResource::SetJp2TextureLoader(Jp2TextureLoader loader)
{
    g_jp2Loader = loader;
}

HTexture CFResource::LoadTexture(const char* file, int mode)
{
    if (file == nullptr)
        return 0;
    if (mode == 0)
        return m_pEngine->TextureLoad(file);
    const std::string jp2 = ReplaceExtension(file, "jp2");
    const std::string gif = mode == 2 ? ReplaceExtension(file, "gif") : std::string();
    std::string error = "JPEG-2000 decoder not available";
    const HTexture texture =
        g_jp2Loader != nullptr ? g_jp2Loader(*m_pEngine, jp2.c_str(), gif.c_str(), error) : 0;
    if (texture == 0)
        m_pEngine->Log("[I] Image {%s}, loaded with code {%s}", jp2.c_str(), error.c_str());
    return texture;
}
