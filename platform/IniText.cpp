// IniText.cpp: INI lines, section names and key lines as views.
#include "platform/IniText.h"

#include "platform/AsciiCase.h"

#include <cstring>

namespace ini_text {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return ascii_case::Equal(a, b);
}

std::uint64_t HashNoCase(std::string_view name, std::uint64_t seed)
{
    std::uint64_t hash = seed;  // FNV-1a
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(ascii_case::Lower(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

bool SectionName(std::string_view line, std::string_view& name)
{
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() != '[')
        return false;
    const std::size_t close = trimmed.find(']');
    name = Trim(trimmed.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

bool KeyLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    std::size_t first = 0;
    while (first < line.size() && IsBlank(line[first]))
        ++first;
    if (first >= line.size() || line[first] == ';')
        return false;
    const std::size_t eq = line.find('=', first);
    if (eq == std::string_view::npos)
        return false;
    key = Trim(line.substr(first, eq - first));
    value = line.substr(eq + 1);
    return !key.empty();
}

std::string_view LineAt(std::string_view text, std::size_t begin, std::size_t* next)
{
    const void* found = std::memchr(text.data() + begin, '\n', text.size() - begin);
    std::size_t end = found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data())
                                       : text.size();
    if (next != nullptr)
        *next = found != nullptr ? end + 1 : end;
    if (end > begin && text[end - 1] == '\r')
        --end;
    return text.substr(begin, end - begin);
}

}  // namespace ini_text
