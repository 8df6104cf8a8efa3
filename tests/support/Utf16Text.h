// Utf16Text.h: the bytes of a UTF-16LE text file as the game reads them, for tests that write one.
#pragma once

#include <string>

// Each character's low 16 bits, little-endian, after the byte-order mark unless `bom` is false.
inline std::string Utf16(const std::wstring& text, bool bom = true)
{
    std::string out = bom ? std::string("\xFF\xFE", 2) : std::string();
    for (wchar_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return out;
}
