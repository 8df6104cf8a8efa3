// WideText: conversions and comparisons of the library's UTF-16 text. Stateless helpers; no locale is consulted,
// so a host that changes its C locale cannot change what the library records or sends.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class WideText {
public:
    // Longest text taken from a host pointer; a longer text is cut rather than read without end.
    static constexpr std::size_t kMaxHostChars = 1u << 20;

    static std::u16string FromHost(const char16_t* text, std::size_t maxChars = kMaxHostChars);
    static std::string ToUtf8(std::u16string_view text);        // unpaired surrogates become U+FFFD
    static std::u16string FromUtf8(std::string_view text);      // invalid bytes are taken as Latin-1
    static std::u16string FromAscii(std::string_view text);
    static char16_t LowerChar(char16_t c);                      // ASCII, Latin-1 and basic Cyrillic
    static std::u16string Lower(std::u16string_view text);
    static bool EqualsNoCase(std::u16string_view a, std::u16string_view b);
    static std::u16string_view Trim(std::u16string_view text, std::u16string_view chars);
    static std::u16string FormatInt(std::int32_t value);        // "%d"
    static std::u16string FormatUnsigned(std::uint32_t value);  // "%u"
    static std::u16string FormatNumber(double value);           // "%f" in the C locale
};
