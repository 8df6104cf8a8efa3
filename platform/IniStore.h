// IniStore.h: the engine's current INI file, read and written in place.
//
// Section and key names compare without case; the first of duplicate names wins; values lose
// surrounding blanks and one pair of matching quotes. A missing file or key gives the default,
// and so does an empty value for numbers. A write changes only the one value's line (or adds the
// key at the end of its section, or the section at the end of the file) and keeps every other
// byte. The file is re-read when it changes on disk, so other writers are seen.
#pragma once

#include "platform/IniKeyIndex.h"

#include <cstdint>
#include <string>
#include <vector>

class IniStore {
public:
    IniStore() = default;
    IniStore(const IniStore&) = delete;  // the index looks into this object's text
    IniStore& operator=(const IniStore&) = delete;

    void SetFile(const std::string& gamePath);   // empty: no file; reads give defaults
    const std::string& GetFile() const { return m_gamePath; }

    int GetInt(const std::string& section, const std::string& key, int def);
    float GetFloat(const std::string& section, const std::string& key, float def);
    std::string GetString(const std::string& section, const std::string& key, const std::string& def);
    // `replacedLink` as in host_files::WriteOptions.
    bool SetString(const std::string& section, const std::string& key, const std::string& value,
                   bool* replacedLink = nullptr);

    // The key names of a section in INI text as the reads find them: every occurrence of the
    // section counts, names trimmed, in file order (duplicates kept). `occurrences`, when given,
    // takes the number of "[section]" lines.
    static std::vector<std::string> SectionKeys(const std::string& text, const std::string& section,
                                                int* occurrences = nullptr);

private:
    bool Lookup(const std::string& section, const std::string& key, std::string& value);
    void Refresh();
    void Index();
    bool FindKeyLine(const std::string& section, const std::string& key, std::size_t& valueBegin,
                     std::size_t& valueEnd, std::size_t& sectionEnd, bool& sectionFound) const;

    std::string m_gamePath;
    std::string m_rootFolder;                                // the root m_gamePath was bound under
    std::string m_hostPath;
    std::string m_text;   // the file's bytes as last read
    IniKeyIndex m_index;  // over m_text
    bool m_bHaveStamp = false;
    std::int64_t m_stampTime = 0;
    std::int64_t m_stampSize = -1;
    std::uint64_t m_stampInode = 0;
};
