#include "feedback/UploadText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

#include <zlib.h>

#include "feedback/EventRecord.h"
#include "feedback/WideText.h"

namespace {

bool StaysAsIs(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    for (const char* p = "!'()*-./:_~%"; *p != 0; ++p) {
        if (c == static_cast<unsigned char>(*p))
            return true;
    }
    return false;
}

// The code point at text[at], and how many UTF-16 units it takes.
std::size_t CodePointLength(std::u16string_view text, std::size_t at)
{
    const char16_t c = text[at];
    if (c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF)
        return 2;
    return 1;
}

std::u16string AsciiText(const std::string& text)
{
    return WideText::FromAscii(text);
}

}  // namespace

std::u16string UploadText::Escape(std::u16string_view text, std::size_t maxChars)
{
    static const char kHex[] = "0123456789abcdef";
    std::u16string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t units = CodePointLength(text, at);
        const std::string bytes = WideText::ToUtf8(text.substr(at, units));
        std::u16string piece;
        for (char ch : bytes) {
            const auto c = static_cast<unsigned char>(ch);
            if (StaysAsIs(c)) {
                piece += static_cast<char16_t>(c);
                continue;
            }
            piece += u'%';
            piece += static_cast<char16_t>(kHex[c >> 4]);
            piece += static_cast<char16_t>(kHex[c & 0xF]);
        }
        if (out.size() + piece.size() > maxChars)
            break;
        out += piece;
        at += units;
    }
    return out;
}

std::optional<std::u16string> UploadText::Params(const EventRecord& record)
{
    if (record.Params().empty())
        return std::nullopt;
    std::u16string text;
    bool first = true;
    for (const EventRecord::Param& param : record.Params()) {
        if (!first)
            text += u';';
        first = false;
        text += Escape(param.Name);
        if (param.Value && !param.Value->empty()) {
            text += u'=';
            text += Escape(*param.Value);
        }
    }
    return text;
}

std::u16string UploadText::GameTime(double seconds)
{
    char buffer[64];
    if (!std::isfinite(seconds) || std::fabs(seconds) > 1e15)
        seconds = std::isnan(seconds) ? 0.0 : std::copysign(1e15, seconds);  // keeps "%.3f" short
    std::snprintf(buffer, sizeof buffer, "%.3f", seconds);
    return AsciiText(buffer);
}

std::uint32_t UploadText::FileCrc32(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0x80070000u | static_cast<std::uint32_t>(errno == 0 ? ENOENT : errno);
    uLong crc = crc32(0L, Z_NULL, 0);
    std::vector<char> buffer(64 * 1024);
    while (in) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const std::streamsize got = in.gcount();
        if (got > 0)
            crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.data()), static_cast<uInt>(got));
    }
    if (in.bad())
        return 0x80070000u | static_cast<std::uint32_t>(EIO);
    return static_cast<std::uint32_t>(crc);
}

std::u16string UploadText::ClientDescription(const DescriptionFacts& facts)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer, "%d.%02d.%d.%05d", kVersionMajor, kVersionMinor, kVersionBuild,
                  kVersionRevision);
    std::u16string text = AsciiText(buffer);
    text += u"; cpp; win32; dll; ";
    std::snprintf(buffer, sizeof buffer, "exe-crc=0x%08X; dll-crc=0x%08X; ", FileCrc32(facts.HostPath),
                  FileCrc32(facts.LibraryPath));
    text += AsciiText(buffer);
    switch (facts.ConfigType) {
    case 0: text += u"ini-type=\"none\"; "; break;
    case 1: text += u"ini-type=\"raw\"; "; break;
    case 2: text += u"ini-type=\"dll\"; "; break;
    default: text += u"ini-type=\"unknown\"; "; break;
    }
    if (facts.DebugMode)
        text += u"debug-mode; ";
    if (facts.TwoWay)
        text += u"two-way; ";
    if (facts.DebugMode) {
        std::u16string user = WideText::FromUtf8(facts.UserName);
        if (user.size() > 255)
            user.resize(255);
        text += u"debug-user=\"" + user + u"\"; ";
    }
    return text;
}
