// IniDocument: the parsed configuration text: (section, key) to value, section and key compared without regard to
// case, plus the section names in file order. Holds copies only; parsing never fails, odd lines are skipped.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <map>
#include <utility>
#include <vector>

class IniDocument {
public:
    // A plain INI file larger than this is not a configuration file; it is left unread.
    static constexpr std::size_t kMaxFileBytes = 4u << 20;

    // False only for an empty path; a file that cannot be read (or is too large) leaves an empty document.
    bool LoadFile(const std::string& path);
    // Adds every entry of the 8-bit text (UTF-8, other bytes as Latin-1); a later duplicate key replaces the earlier.
    void Parse(const char* text, std::size_t length);
    void Clear();

    std::optional<std::u16string> Find(std::u16string_view section, std::u16string_view key) const;
    const std::vector<std::u16string>& SectionNames() const { return m_sections; }
    const std::string& Path() const { return m_path; }

private:
    void AddLine(std::u16string_view line, std::u16string& section);

    std::string m_path;
    std::map<std::pair<std::u16string, std::u16string>, std::u16string> m_values;  // key: lower-cased section, key
    std::vector<std::u16string> m_sections;
};
