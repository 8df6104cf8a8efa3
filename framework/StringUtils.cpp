#include "framework/StringUtils.h"

#include "platform/EngineRef.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

template <typename Char>
bool IsDelimiter(Char c, const Char* delimiters)
{
    for (const Char* d = delimiters; *d != 0; ++d)
        if (*d == c)
            return true;
    return false;
}

template <typename Char>
void SplitAny(const std::basic_string<Char>& text, std::vector<std::basic_string<Char>>& out,
              const Char* delimiters)
{
    static const Char kNone[] = {0};
    if (delimiters == nullptr)
        delimiters = kNone;
    std::size_t pos = 0;
    const std::size_t n = text.size();
    while (true) {
        while (pos < n && IsDelimiter(text[pos], delimiters))
            ++pos;
        if (pos >= n)
            return;
        std::size_t end = pos;
        while (end < n && !IsDelimiter(text[end], delimiters))
            ++end;
        out.push_back(text.substr(pos, end - pos));
        pos = end;
    }
}

// The C library's decimal reading (blanks, sign, leading digits; 0 when none), held to 32 bits
// so that an over-long number cannot wrap around.
std::int32_t ToInt32(const std::string& text)
{
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

struct Span {
    std::int64_t sourceX, sourceY, targetX, targetY, width, height;
};

// Moves the start of both rectangles together past any part outside either texture, then cuts
// the size to what both textures hold, so the blend keeps its pixel pairing.
bool ClipAxis(std::int64_t& source, std::int64_t& target, std::int64_t& size, std::int64_t sourceSize,
              std::int64_t targetSize)
{
    const std::int64_t skip = std::max<std::int64_t>({0, -source, -target});
    source += skip;
    target += skip;
    size -= skip;
    size = std::min({size, sourceSize - source, targetSize - target});
    return size > 0;
}

std::uint32_t BlendPixel(std::uint32_t source, std::uint32_t target, bool blendAlpha)
{
    const double a = static_cast<double>(source >> 24) / 255.0;
    const int channels = blendAlpha ? 4 : 3;
    std::uint32_t result = target;
    for (int i = 0; i < channels; ++i) {
        const int shift = 8 * i;
        const int s = static_cast<int>((source >> shift) & 0xFF);
        const int t = static_cast<int>((target >> shift) & 0xFF);
        const auto mixed = static_cast<std::uint32_t>(t + (s - t) * a);  // truncates toward zero
        result = (result & ~(0xFFu << shift)) | ((mixed & 0xFF) << shift);
    }
    return result;
}

void BlendRows(const std::uint32_t* source, int sourcePitch, std::uint32_t* target, int targetPitch,
               int width, int height, bool blendAlpha)
{
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* s = source + static_cast<std::size_t>(y) * sourcePitch;
        std::uint32_t* t = target + static_cast<std::size_t>(y) * targetPitch;
        for (int x = 0; x < width; ++x)
            t[x] = BlendPixel(s[x], t[x], blendAlpha);
    }
}

}  // namespace

void SplitString(const std::string& text, std::vector<std::string>& out, const char* delimiters)
{
    SplitAny(text, out, delimiters);
}

void SplitStringW(const std::wstring& text, std::vector<std::wstring>& out, const wchar_t* delimiters)
{
    SplitAny(text, out, delimiters);
}

void ParseRequirement(const std::string& text, PlaceRequirement& out)
{
    out = PlaceRequirement();
    if (text.empty()) {
        out.a = -1;
        return;
    }
    std::vector<std::string> tokens;
    SplitString(text, tokens, ":");
    std::int32_t* values[] = {&out.a, &out.b, &out.c, &out.d};
    for (std::size_t i = 0; i < tokens.size() && i < 4; ++i)
        *values[i] = ToInt32(tokens[i]);
}

std::string FormatNumber(int value, int digits)
{
    std::string text = std::to_string(value);
    std::string sign;
    if (!text.empty() && text[0] == '-') {
        sign = "-";
        text.erase(0, 1);
    }
    if (digits != -1 && text.size() < static_cast<std::size_t>(std::max(digits, 0)))
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    for (std::size_t pos = text.size(); pos > 3; pos -= 3)
        text.insert(pos - 3, 1, ',');
    return sign + text;
}

std::wstring FormatNumberW(int value, int digits)
{
    return WidenString(FormatNumber(value, digits).c_str());
}

std::wstring WidenString(const char* text)
{
    std::wstring out;
    if (text == nullptr)
        return out;
    for (const char* p = text; *p != 0; ++p) {
        const auto byte = static_cast<signed char>(*p);
        out.push_back(static_cast<wchar_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(byte))));
    }
    return out;
}

std::string NarrowString(const wchar_t* text)
{
    std::string out;
    if (text == nullptr)
        return out;
    for (const wchar_t* p = text; *p != 0; ++p)
        out.push_back(static_cast<char>(static_cast<unsigned char>(*p & 0xFF)));
    return out;
}

std::uint32_t ParseHex(const char* text)
{
    if (text == nullptr)
        return 0;
    std::uint32_t value = 0;
    for (int i = 0; i < 8 && text[i] != 0; ++i) {
        const char c = text[i];
        std::uint32_t digit = 0;
        if (c >= '*' && c <= '?')
            digit = static_cast<std::uint32_t>(c) & 0xF;
        else if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))
            digit = (static_cast<std::uint32_t>(c) & 0xF) + 9;
        else
            break;
        value = (value << 4) | digit;
    }
    return value;
}

std::uint32_t ParseHexW(const wchar_t* text)
{
    return ParseHex(NarrowString(text).c_str());
}

void BlendTextureRect(HTexture source, int sourceX, int sourceY, HTexture target, int targetX,
                      int targetY, int width, int height, bool blendAlpha)
{
    CEngineRef engine;
    if (engine == nullptr)
        return;
    Span r{sourceX, sourceY, targetX, targetY, width, height};
    const int sourceW = engine->TextureGetWidth(source), sourceH = engine->TextureGetHeight(source);
    const int targetW = engine->TextureGetWidth(target), targetH = engine->TextureGetHeight(target);
    if (!ClipAxis(r.sourceX, r.targetX, r.width, sourceW, targetW) ||
        !ClipAxis(r.sourceY, r.targetY, r.height, sourceH, targetH))
        return;
    const int w = static_cast<int>(r.width), h = static_cast<int>(r.height);
    if (source == target) {
        // One texture cannot be locked twice: lock it whole and address both rectangles in it.
        if (std::uint32_t* pixels = engine->TextureLock(source, false)) {
            const std::uint32_t* s = pixels + r.sourceY * sourceW + r.sourceX;
            std::uint32_t* t = pixels + r.targetY * targetW + r.targetX;
            BlendRows(s, sourceW, t, targetW, w, h, blendAlpha);
            engine->TextureUnlock(source);
        }
        return;
    }
    std::uint32_t* s = engine->TextureLock(source, true, static_cast<int>(r.sourceX),
                                           static_cast<int>(r.sourceY), w, h);
    std::uint32_t* t = engine->TextureLock(target, false, static_cast<int>(r.targetX),
                                           static_cast<int>(r.targetY), w, h);
    if (s != nullptr && t != nullptr)
        BlendRows(s, sourceW, t, targetW, w, h, blendAlpha);
    if (s != nullptr)
        engine->TextureUnlock(source);
    if (t != nullptr)
        engine->TextureUnlock(target);
}
