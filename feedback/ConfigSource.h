// ConfigSource: where the client's configuration comes from and the profile-style look-ups over it.
// The source is either a plain INI file beside the library ("<dir><base>.ini") or the companion data library
// "<dir><base>Data-<host>.so" read as data. It is chosen on the first look-up and kept; with no source every
// look-up gives its default. Not thread-safe: the client's call guard lets one call in at a time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "feedback/IniDocument.h"

class ConfigSource {
public:
    enum SourceType : int { kNone = 0, kRaw = 1, kDll = 2 };
    static constexpr std::size_t kMaxValueChars = 1023;     // a profile string buffer of 1024 characters
    static constexpr std::size_t kSectionListChars = 10000; // the section-name buffer

    // The library's own source, on its own file and the running program's.
    static ConfigSource& Process();
    ConfigSource(std::string libraryPath, std::string hostPath);

    std::string GetIniPath() const;  // the library's path with its extension replaced by "ini"
    void SelectIniSource(const std::string& iniPath);
    SourceType Type();               // selects first, like every look-up

    std::u16string GetProfileString(std::u16string_view section, std::u16string_view key,
                                    std::u16string_view defaultValue);
    // The value when the key is present (cut like GetProfileString), else none.
    std::optional<std::u16string> Lookup(std::u16string_view section, std::u16string_view key);
    std::int32_t GetProfileInt(std::u16string_view section, std::u16string_view key, std::int32_t defaultValue);
    // Section names in file order; joinedLength is the length of the ";"-joined list ("a;b;").
    std::vector<std::u16string> GetProfileSectionNames(std::size_t& joinedLength);
    // "1" and "true" give true, "false" gives false, anything else (also an empty value) the default.
    bool ParseBool(std::u16string_view key, bool defaultValue, std::u16string_view section);

    const std::string& LibraryPath() const { return m_libraryPath; }

private:
    bool FindDataLibrary(std::string& path) const;
    void SelectDefault() { SelectIniSource(GetIniPath()); }

    std::string m_libraryPath, m_hostPath;
    SourceType m_type = kNone;
    std::string m_selectedPath;
    IniDocument m_document;
};
