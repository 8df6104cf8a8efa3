// IniKeyIndex.cpp: an open-addressing table of key-line offsets over INI text.
#include "platform/IniKeyIndex.h"

#include "platform/IniText.h"

#include <algorithm>
#include <cstdint>

namespace {

// Calls visit(key, lineBegin, sectionBegin, sectionName) for each key line inside a section (of
// the one section named, when one is).
template <typename Visit>
void ForEachKeyLine(std::string_view text, const std::string_view* onlySection, Visit visit)
{
    const std::string_view wanted = onlySection != nullptr ? ini_text::Trim(*onlySection) : std::string_view();
    bool inSection = false;
    std::size_t sectionBegin = 0;
    std::string_view sectionName;
    ini_text::ForEachLine(text, [&](std::string_view line, std::size_t begin) {
        std::string_view name, value;
        if (ini_text::SectionName(line, name)) {
            inSection = onlySection == nullptr || ini_text::EqualNoCase(name, wanted);
            sectionBegin = begin;
            sectionName = name;
        } else if (inSection && ini_text::KeyLine(line, name, value)) {
            visit(name, begin, sectionBegin, sectionName);
        }
        return true;
    });
}

std::uint64_t KeyHash(std::uint64_t sectionHash, std::string_view key)
{
    return ini_text::HashNoCase(key, (sectionHash ^ 0x5Bu) * 1099511628211ull);
}

}  // namespace

void IniKeyIndex::Clear()
{
    m_text = std::string_view();
    std::vector<std::uint32_t>().swap(m_slots);
    std::vector<std::uint32_t>().swap(m_sections);
}

void IniKeyIndex::Build(std::string_view text, const std::string_view* onlySection)
{
    Clear();
    if (text.size() >= UINT32_MAX)
        return;
    m_text = text;
    // Counted first, so that the table is made once at its size: lines that hold no key (blank
    // ones, comments) cost nothing, and a key line costs its slot and a third.
    std::size_t keyLines = 0;
    ForEachKeyLine(text, onlySection, [&](std::string_view, std::size_t, std::size_t, std::string_view) { ++keyLines; });
    if (keyLines == 0)
        return;
    m_slots.assign(keyLines + keyLines / 3 + 1, 0);
    std::uint64_t sectionHash = 0;
    ForEachKeyLine(text, onlySection,
                   [&](std::string_view key, std::size_t begin, std::size_t sectionBegin, std::string_view section) {
                       if (m_sections.empty() || m_sections.back() != sectionBegin) {
                           m_sections.push_back(static_cast<std::uint32_t>(sectionBegin));
                           sectionHash = ini_text::HashNoCase(section);
                       }
                       std::size_t slot = Slot(KeyHash(sectionHash, key));
                       for (; m_slots[slot] != 0; slot = (slot + 1) % m_slots.size()) {
                           if (Holds(m_slots[slot], section, key))
                               return;  // the first line of a key is the one the reads take
                       }
                       m_slots[slot] = static_cast<std::uint32_t>(begin + 1);
                   });
}

std::size_t IniKeyIndex::Find(std::string_view section, std::string_view key) const
{
    if (m_slots.empty())
        return kNone;
    section = ini_text::Trim(section);
    key = ini_text::Trim(key);
    for (std::size_t slot = Slot(KeyHash(ini_text::HashNoCase(section), key)); m_slots[slot] != 0;
         slot = (slot + 1) % m_slots.size()) {
        if (Holds(m_slots[slot], section, key))
            return m_slots[slot] - 1;
    }
    return kNone;
}

std::string_view IniKeyIndex::SectionOf(std::size_t line) const
{
    const auto after = std::upper_bound(m_sections.begin(), m_sections.end(), line);
    std::string_view name;
    if (after != m_sections.begin())
        (void)ini_text::SectionName(ini_text::LineAt(m_text, *(after - 1)), name);
    return name;
}

bool IniKeyIndex::Holds(std::uint32_t entry, std::string_view section, std::string_view key) const
{
    std::string_view name, value;
    return ini_text::KeyLine(ini_text::LineAt(m_text, entry - 1), name, value) && ini_text::EqualNoCase(name, key) &&
           ini_text::EqualNoCase(SectionOf(entry - 1), section);
}
