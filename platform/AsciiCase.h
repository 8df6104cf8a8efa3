// AsciiCase.h: names that compare without case, in ASCII only (game paths, INI names): the
// data's names are ASCII, and no locale may change what matches.
#pragma once

#include <cstddef>
#include <string_view>

namespace ascii_case {

inline char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool Equal(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

}  // namespace ascii_case
