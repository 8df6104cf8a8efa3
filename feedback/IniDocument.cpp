#include "feedback/IniDocument.h"

#include <fstream>

#include "feedback/WideText.h"

static const std::u16string_view kLineSpace = u" \t\n\r\v";

static std::pair<std::u16string, std::u16string> TableKey(std::u16string_view section, std::u16string_view key)
{
    return {WideText::Lower(section), WideText::Lower(key)};
}

bool IniDocument::LoadFile(const std::string& path)
{
    if (path.empty())
        return false;
    Clear();
    m_path = path;
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return true;
    const std::streamoff size = in.tellg();
    if (size <= 0 || static_cast<std::size_t>(size) > kMaxFileBytes)
        return true;
    std::string text(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(text.data(), size))
        return true;
    Parse(text.data(), text.size());
    return true;
}

void IniDocument::Clear()
{
    m_path.clear();
    m_values.clear();
    m_sections.clear();
}

void IniDocument::Parse(const char* text, std::size_t length)
{
    std::u16string section;
    std::size_t start = 0;
    while (start < length) {
        std::size_t end = start;
        while (end < length && text[end] != '\n')
            ++end;
        std::size_t cut = end;
        if (cut > start && text[cut - 1] == '\r')
            --cut;
        const std::u16string line = WideText::FromUtf8(std::string_view(text + start, cut - start));
        AddLine(WideText::Trim(line, kLineSpace), section);
        start = end + 1;
    }
}

void IniDocument::AddLine(std::u16string_view line, std::u16string& section)
{
    if (line.empty() || line[0] == u';' || line.substr(0, 2) == u"//")
        return;
    if (line[0] == u'[') {
        const std::size_t close = line.find(u']');
        if (close == std::u16string_view::npos)
            return;
        section = std::u16string(line.substr(1, close - 1));
        bool known = false;
        for (const std::u16string& name : m_sections)
            known = known || WideText::EqualsNoCase(name, section);
        if (!known)
            m_sections.push_back(section);
        return;
    }
    const std::size_t equals = line.find(u'=');
    if (equals == std::u16string_view::npos) {
        m_values[TableKey(section, line)] = std::u16string();
        return;
    }
    const std::u16string_view key = WideText::Trim(line.substr(0, equals), kLineSpace);
    std::u16string_view value = WideText::Trim(line.substr(equals + 1), kLineSpace);
    value = WideText::Trim(value, u"\"");
    m_values[TableKey(section, key)] = std::u16string(value);
}

std::optional<std::u16string> IniDocument::Find(std::u16string_view section, std::u16string_view key) const
{
    const auto it = m_values.find(TableKey(section, key));
    if (it == m_values.end())
        return std::nullopt;
    return it->second;
}
