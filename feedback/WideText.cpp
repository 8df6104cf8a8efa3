#include "feedback/WideText.h"

#include <charconv>
#include <cmath>

std::u16string WideText::FromHost(const char16_t* text, std::size_t maxChars)
{
    if (text == nullptr)
        return {};
    std::size_t length = 0;
    while (length < maxChars && text[length] != 0)
        ++length;
    return std::u16string(text, length);
}

static void AppendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string WideText::ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        const bool high = c >= 0xD800 && c <= 0xDBFF;
        const bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (high || low) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Length of the valid UTF-8 sequence at text[i], or 0 when the bytes there do not form one.
static std::size_t Utf8Sequence(std::string_view text, std::size_t i, std::uint32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) { length = 2; cp = b0 & 0x1F; min = 0x80; }
    else if (b0 >= 0xE0 && b0 <= 0xEF) { length = 3; cp = b0 & 0x0F; min = 0x800; }
    else if (b0 >= 0xF0 && b0 <= 0xF4) { length = 4; cp = b0 & 0x07; min = 0x10000; }
    else return 0;
    if (length > text.size() - i)
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return (cp < min || cp > 0x10FFFF || surrogate) ? 0 : length;
}

std::u16string WideText::FromUtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = 0;
        const std::size_t length = b0 < 0x80 ? 0 : Utf8Sequence(text, i, cp);
        if (length == 0) {
            out += static_cast<char16_t>(b0);  // ASCII, or an old 8-bit INI file read as Latin-1
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += length;
    }
    return out;
}

std::u16string WideText::FromAscii(std::string_view text)
{
    return std::u16string(text.begin(), text.end());
}

char16_t WideText::LowerChar(char16_t c)
{
    if (c >= u'A' && c <= u'Z')
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7)
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x410 && c <= 0x42F)
        return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<char16_t>(c + 0x50);
    return c;
}

std::u16string WideText::Lower(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        c = LowerChar(c);
    return out;
}

bool WideText::EqualsNoCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerChar(a[i]) != LowerChar(b[i]))
            return false;
    }
    return true;
}

std::u16string_view WideText::Trim(std::u16string_view text, std::u16string_view chars)
{
    const std::size_t first = text.find_first_not_of(chars);
    if (first == std::u16string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(chars);
    return text.substr(first, last - first + 1);
}

std::u16string WideText::FormatInt(std::int32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return FromAscii(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

std::u16string WideText::FormatUnsigned(std::uint32_t value)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return FromAscii(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

std::u16string WideText::FormatNumber(double value)
{
    // "%f" of the C locale: 6 decimals, "inf"/"nan" spelled as printf spells them.
    if (std::isnan(value))
        return std::signbit(value) ? u"-nan" : u"nan";
    if (std::isinf(value))
        return value < 0 ? u"-inf" : u"inf";
    char buffer[400];  // the largest double has 309 integer digits
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc())
        return u"0.000000";
    return FromAscii(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}
