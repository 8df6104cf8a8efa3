#include "feedback/ConfigText.h"

#include <charconv>
#include <cstddef>

#include "feedback/WideText.h"

static bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

static int DigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'Z')
        return c - u'A' + 10;
    return 99;
}

std::int32_t ConfigText::ParseIntString(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size() && DigitValue(text[i]) < base; ++i) {
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(DigitValue(text[i]));
        if (value > 0xFFFFFFFFull) {
            overflow = true;
            value = 0xFFFFFFFFull;  // keeps the product bounded; the result is decided by the flag
        }
    }
    if (base == 16) {
        if (overflow)
            return -1;
        const auto pattern = static_cast<std::uint32_t>(value);
        return static_cast<std::int32_t>(negative ? 0u - pattern : pattern);
    }
    if (negative)
        return (overflow || value > 2147483648ull) ? INT32_MIN : static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    return (overflow || value > 2147483647ull) ? INT32_MAX : static_cast<std::int32_t>(value);
}

std::optional<double> ConfigText::ParseDecimal(std::u16string_view text)
{
    const std::u16string_view trimmed = WideText::Trim(text, u" \t\r\n\v\f");
    std::string narrow;
    for (char16_t c : trimmed.substr(0, 64)) {
        if (c > 0x7F)
            break;
        narrow += static_cast<char>(c);
    }
    const char* first = narrow.c_str();
    if (!narrow.empty() && narrow[0] == '+')
        ++first;  // from_chars takes no plus sign
    double value = 0.0;
    const auto result = std::from_chars(first, narrow.c_str() + narrow.size(), value);
    if (result.ec != std::errc() || result.ptr == first)
        return std::nullopt;
    return value;
}

static bool ParseHexField(std::u16string_view text, std::size_t pos, std::size_t digits, std::uint32_t& out)
{
    out = 0;
    for (std::size_t k = 0; k < digits; ++k) {
        const int d = DigitValue(text[pos + k]);
        if (d >= 16)
            return false;
        out = (out << 4) | static_cast<std::uint32_t>(d);
    }
    return true;
}

std::optional<Guid> ConfigText::ParseGuid(std::u16string_view text)
{
    if (text.size() == 38 && text.front() == u'{' && text.back() == u'}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != u'-' || text[13] != u'-' || text[18] != u'-' || text[23] != u'-')
        return std::nullopt;
    Guid guid{};
    std::uint32_t field = 0;
    if (!ParseHexField(text, 0, 8, guid.Data1))
        return std::nullopt;
    if (!ParseHexField(text, 9, 4, field))
        return std::nullopt;
    guid.Data2 = static_cast<std::uint16_t>(field);
    if (!ParseHexField(text, 14, 4, field))
        return std::nullopt;
    guid.Data3 = static_cast<std::uint16_t>(field);
    static const std::size_t kBytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t k = 0; k < 8; ++k) {
        if (!ParseHexField(text, kBytePos[k], 2, field))
            return std::nullopt;
        guid.Data4[k] = static_cast<std::uint8_t>(field);
    }
    return guid;
}

static void AppendHex(std::u16string& out, std::uint32_t value, int digits)
{
    static const char16_t kHex[] = u"0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kHex[(value >> shift) & 0xF];
}

std::u16string ConfigText::FormatGuid(const Guid& guid, bool braces)
{
    std::u16string out;
    if (braces)
        out += u'{';
    AppendHex(out, guid.Data1, 8);
    out += u'-';
    AppendHex(out, guid.Data2, 4);
    out += u'-';
    AppendHex(out, guid.Data3, 4);
    out += u'-';
    for (std::size_t k = 0; k < 8; ++k) {
        if (k == 2)
            out += u'-';
        AppendHex(out, guid.Data4[k], 2);
    }
    if (braces)
        out += u'}';
    return out;
}

bool ConfigText::WildcardMatch(std::u16string_view pattern, std::u16string_view name, bool caseSensitive)
{
    if (pattern.empty() || pattern == u"*" || pattern == u"*.*")
        return true;
    auto same = [caseSensitive](char16_t a, char16_t b) {
        return caseSensitive ? a == b : WideText::LowerChar(a) == WideText::LowerChar(b);
    };
    // Greedy match that backtracks only to the last star: linear memory, at most pattern × name steps.
    std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}
