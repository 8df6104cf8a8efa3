// IniKeyIndex.h: the first line of each key of INI text, found by section and key name.
//
// Names compare without case, and every occurrence of a section counts as that section, so the
// first line of a key in the text is the one the reads take. The index holds line offsets into
// the text, never a copy of a name or a value: about five bytes for each key line, so that a file
// of millions of keys costs little more than its own bytes. The text must stay as it was while
// the index is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

class IniKeyIndex {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    // Indexes the key lines of the text: all of them, or only those of the section `onlySection`
    // names. A text of 4 GB or more is not indexed.
    void Build(std::string_view text, const std::string_view* onlySection = nullptr);
    void Clear();

    // Where the key's first line begins in the text, or kNone.
    std::size_t Find(std::string_view section, std::string_view key) const;

private:
    std::size_t Slot(std::uint64_t hash) const { return static_cast<std::size_t>(hash % m_slots.size()); }
    std::string_view SectionOf(std::size_t line) const;
    bool Holds(std::uint32_t entry, std::string_view section, std::string_view key) const;

    std::string_view m_text;
    std::vector<std::uint32_t> m_slots;     // open addressing: a key line's offset + 1, or 0 for none
    std::vector<std::uint32_t> m_sections;  // offsets of the section lines that have key lines, ascending
};
