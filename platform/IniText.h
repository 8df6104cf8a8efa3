// IniText.h: the lines of INI text as the INI reads take them, as views into the text (no copies,
// so that a file of millions of keys costs no more than its bytes to walk).
//
// A line ends at "\n" (a "\r" before it is not part of it). "[name]" starts a section: the name is
// trimmed, and a line without "]" takes the rest of the line. "key=value" is a key line when the
// trimmed key is not empty and the line does not start with ";". Names compare without case (ASCII).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ini_text {

bool IsBlank(char c);  // space, tab, and the line and page breaks
std::string_view Trim(std::string_view text);
bool EqualNoCase(std::string_view a, std::string_view b);
// A hash of the name as EqualNoCase compares it, continued from `seed`.
std::uint64_t HashNoCase(std::string_view name, std::uint64_t seed = 14695981039346656037ull);

bool SectionName(std::string_view line, std::string_view& name);
bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value);  // value untrimmed

// The line that starts at `begin`, and where the next one starts.
std::string_view LineAt(std::string_view text, std::size_t begin, std::size_t* next = nullptr);

// Calls visit(line, begin) for each line of the text, in order, while it returns true.
template <typename Visit>
void ForEachLine(std::string_view text, Visit visit)
{
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t next = 0;
        const std::string_view line = LineAt(text, begin, &next);
        if (!visit(line, begin))
            return;
        begin = next;
    }
}

// Calls visit(key, lineBegin) for each key line of the section (every occurrence of it, in file
// order, duplicates included), and returns the number of "[section]" lines.
template <typename Visit>
int ForEachSectionKey(std::string_view text, std::string_view section, Visit visit)
{
    const std::string_view wanted = Trim(section);
    bool inWanted = false;
    int occurrences = 0;
    ForEachLine(text, [&](std::string_view line, std::size_t begin) {
        std::string_view name, value;
        if (SectionName(line, name)) {
            inWanted = EqualNoCase(name, wanted);
            occurrences += inWanted ? 1 : 0;
        } else if (inWanted && KeyLine(line, name, value)) {
            visit(name, begin);
        }
        return true;
    });
    return occurrences;
}

}  // namespace ini_text
