// Histogram of CPixImage and the level operations that spread it.
#include "image/CPixImage.h"
#include "image/CPixColorSpace.h"

#include <cmath>
#include <cstring>

namespace {

std::uint8_t ClampTrunc(double v)
{
    if (!(v > 0))
        return 0;
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

// A colour with its luminance (the Y of YUV) replaced.
PixQuad WithLuminance(PixQuad c, std::uint8_t y)
{
    PixQuad yuv = RgbToYuv(c);
    yuv.red = y;
    PixQuad out = YuvToRgb(yuv);
    out.reserved = c.reserved;
    return out;
}

// Four lanes of floats and of ints: the compiler's portable vector types, one 128-bit register each.
using Floats4 = float __attribute__((vector_size(16)));
using Ints4 = std::int32_t __attribute__((vector_size(16)));

Floats4 ToFloats(Ints4 v)
{
    return __builtin_convertvector(v, Floats4);
}

// Toward zero, then into the byte range, as the colour converters round.
Ints4 TruncToBytes(Floats4 v)
{
    Ints4 i = __builtin_convertvector(v, Ints4);
    i &= ~(i < 0);
    const Ints4 over = i > 255;
    return (i & ~over) | (255 & over);
}

// RgbToYuv, then YuvToRgb with Y replaced by map[Y], on four pixels (blue, green, red) at
// once: the converters' float operations in their order, so the same bytes, but a quarter of
// the instructions. A remap of a whole picture spent most of its time in the converters.
inline __attribute__((always_inline)) void RemapFourPixels(std::uint8_t* p, const std::uint8_t (&map)[256])
{
    // Lanes are built and read whole: a lane stored alone and then loaded as a vector stalls.
    const Ints4 blue = {p[0], p[3], p[6], p[9]};
    const Ints4 green = {p[1], p[4], p[7], p[10]};
    const Ints4 red = {p[2], p[5], p[8], p[11]};
    const Ints4 y = TruncToBytes(0.299f * ToFloats(red) + 0.587f * ToFloats(green) + 0.114f * ToFloats(blue));
    const Floats4 u = ToFloats(TruncToBytes(ToFloats(blue - y) * 0.565f + 128.0f)) - 128.0f;
    const Floats4 v = ToFloats(TruncToBytes(ToFloats(red - y) * 0.713f + 128.0f)) - 128.0f;
    const Floats4 mapped = ToFloats(Ints4{map[y[0]], map[y[1]], map[y[2]], map[y[3]]});
    const Ints4 outBlue = TruncToBytes(mapped + 1.77f * u);
    const Ints4 outGreen = TruncToBytes(mapped - 0.344f * u - 0.714f * v);
    const Ints4 outRed = TruncToBytes(mapped + 1.403f * v);
    for (int k = 0; k < 4; ++k) {
        p[3 * k] = static_cast<std::uint8_t>(outBlue[k]);
        p[3 * k + 1] = static_cast<std::uint8_t>(outGreen[k]);
        p[3 * k + 2] = static_cast<std::uint8_t>(outRed[k]);
    }
}

void BuildStretch(std::uint8_t (&lut)[256], int low, int high)
{
    for (int i = 0; i < 256; ++i)
        lut[i] = static_cast<std::uint8_t>(i);
    const int range = high - low;
    if (range == 0) {
        lut[low] = static_cast<std::uint8_t>(low);
        return;
    }
    for (int i = low; i <= high; ++i)
        lut[i] = static_cast<std::uint8_t>((i - low) * 255 / range);
}

}  // namespace

int CPixImage::Histogram(std::int32_t* red, std::int32_t* green, std::int32_t* blue, std::int32_t* grey, std::int32_t space) const
{
    if (m_pDib == nullptr)
        return 0;
    std::int32_t* arrays[4] = {red, green, blue, grey};
    for (std::int32_t* a : arrays) {
        if (a != nullptr)
            std::memset(a, 0, 256 * sizeof(std::int32_t));
    }
    const PixRect area = SelectionArea();
    for (int y = area.bottom; y < area.top; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (!IsSelected(x, y))
                continue;
            const PixQuad c = SpaceToRgb(PixelColor(x, y, true), space);
            const int levels[4] = {c.red, c.green, c.blue, GreyLevel(c)};
            for (int k = 0; k < 4; ++k) {
                if (arrays[k] != nullptr)
                    ++arrays[k][levels[k]];
            }
        }
    }
    int largest = 0;
    for (std::int32_t* a : arrays) {
        for (int i = 0; a != nullptr && i < 256; ++i)
            largest = a[i] > largest ? a[i] : largest;
    }
    return largest;
}

void CPixImage::ReportSpan(int row, int rows, int from, int to)
{
    m_info.progress = rows > 0 ? from + static_cast<int>(static_cast<long long>(row) * (to - from) / rows) : from;
}

bool CPixImage::RemapLuminance(const std::uint8_t (&map)[256])
{
    if (IsIndexed()) {
        for (std::uint32_t i = 0; i < ColorCount(); ++i) {
            const PixQuad c = PaletteEntry(i);
            PixQuad out = WithLuminance(c, map[RgbToYuv(c).red]);
            out.reserved = 0;
            SetPaletteQuad(i, out);
        }
        return true;
    }
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportSpan(y, Height(), 50, 100);
        std::uint8_t* p = RowPointer(y);
        int x = 0;
        for (; x + 4 <= Width(); x += 4, p += 12)
            RemapFourPixels(p, map);
        if (x == Width())
            continue;
        std::uint8_t tail[12] = {};
        const std::size_t tailBytes = 3 * static_cast<std::size_t>(Width() - x);
        std::memcpy(tail, p, tailBytes);
        RemapFourPixels(tail, map);
        std::memcpy(p, tail, tailBytes);
    }
    return true;
}

bool CPixImage::CountGreyLevels(std::int64_t (&count)[256])
{
    // Four partial counts, one for each pixel of a group of four: neighbours mostly share a
    // level, and with one count each addition would wait for the one before.
    std::int64_t parts[4][256] = {};
    const int width = Width();
    const bool indexed = IsIndexed();
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportSpan(y, Height(), 0, 50);
        const std::uint8_t* p = RowPointer(y);
        for (int x = 0; x < width; ++x) {
            const int level = indexed ? GreyLevel(PaletteEntry(PixelIndexUnchecked(x, y))) : (p[3 * x] * 117 + p[3 * x + 1] * 601 + p[3 * x + 2] * 306) >> 10;
            ++parts[x & 3][level];
        }
    }
    for (int i = 0; i < 256; ++i)
        count[i] = parts[0][i] + parts[1][i] + parts[2][i] + parts[3][i];
    return true;
}

int CPixImage::HighestGreyLevel()
{
    int high = 1;
    if (IsIndexed()) {
        for (std::uint32_t i = 0; i < ColorCount(); ++i)
            high = GreyLevel(PaletteEntry(i)) > high ? GreyLevel(PaletteEntry(i)) : high;
        return high;
    }
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportSpan(y, Height(), 0, 50);
        for (int x = 0; x < Width(); ++x)
            high = GreyLevelAt(x, y) > high ? GreyLevelAt(x, y) : high;
    }
    return high;
}

bool CPixImage::StretchLevels(int method)
{
    if (m_pDib == nullptr)
        return false;
    std::uint8_t lut[256];
    if (Bpp() == 8 && IsGreyPalette()) {
        int low = 255, high = 0;
        for (int y = 0; y < Height() && Escape() == 0; ++y) {
            ReportSpan(y, Height(), 0, 50);
            for (int x = 0; x < Width(); ++x) {
                const int v = PixelIndexUnchecked(x, y);
                low = v < low ? v : low;
                high = v > high ? v : high;
            }
        }
        if (low == 0 && high >= 255)
            return true;
        if (low > high)
            return true;  // escaped before any row was read
        BuildStretch(lut, low, high);
        for (int y = 0; y < Height() && Escape() == 0; ++y) {
            ReportSpan(y, Height(), 50, 100);
            std::uint8_t* row = RowPointer(y);
            for (int x = 0; x < Width(); ++x)
                row[x] = lut[row[x]];
        }
        return true;
    }
    if (method == 1 || method == 2)
        return StretchChannels(method == 2);
    return StretchLuminance();
}

bool CPixImage::StretchChannels(bool independent)
{
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        for (int x = 0; x < Width(); ++x) {
            const PixQuad c = PixelColor(x, y, false);
            const int v[3] = {c.blue, c.green, c.red};
            for (int k = 0; k < 3; ++k) {
                low[k] = v[k] < low[k] ? v[k] : low[k];
                high[k] = v[k] > high[k] ? v[k] : high[k];
            }
        }
    }
    if (!independent) {
        for (int k = 1; k < 3; ++k) {
            low[0] = low[k] < low[0] ? low[k] : low[0];
            high[0] = high[k] > high[0] ? high[k] : high[0];
        }
        if (low[0] == 0 && high[0] > 254)
            return true;
        low[1] = low[2] = low[0];
        high[1] = high[2] = high[0];
    } else if (low[0] == 0 && low[1] == 0 && low[2] == 0 && high[0] == 255 && high[1] == 255 && high[2] == 255) {
        return true;
    }
    std::uint8_t lut[3][256];
    for (int k = 0; k < 3; ++k) {
        if (low[k] > high[k])
            return true;  // escaped before any row was read
        BuildStretch(lut[k], low[k], high[k]);
    }
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = 0; x < Width(); ++x) {
            PixQuad c = PixelColor(x, y, false);
            c.blue = lut[0][c.blue];
            c.green = lut[1][c.green];
            c.red = lut[2][c.red];
            SetPixelColor(x, y, c, false);
        }
    }
    return true;
}

bool CPixImage::StretchLuminance()
{
    int low = 255, high = 0;
    auto take = [&](PixQuad c) {
        const int g = GreyLevel(c);
        low = g < low ? g : low;
        high = g > high ? g : high;
    };
    if (IsIndexed()) {
        for (std::uint32_t i = 0; i < ColorCount(); ++i)
            take(PaletteEntry(i));
    } else {
        for (int y = 0; y < Height() && Escape() == 0; ++y) {
            ReportSpan(y, Height(), 0, 50);
            for (int x = 0; x < Width(); ++x)
                take(PixelColor(x, y, false));
        }
    }
    if (low >= high)
        return false;
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = ClampTrunc((i - low) * 255.0 / (high - low));
    return RemapLuminance(map);
}

bool CPixImage::EqualizeLevels()
{
    if (m_pDib == nullptr)
        return false;
    std::int64_t count[256];
    CountGreyLevels(count);
    std::int64_t map[256];
    std::int64_t sum = 0;
    for (int i = 0; i < 256; ++i)
        map[i] = sum += count[i];
    if (map[0] == map[255])
        return false;
    std::uint8_t eq[256];
    for (int i = 0; i < 256; ++i)
        eq[i] = static_cast<std::uint8_t>((map[i] - map[0]) * 255.0 / static_cast<double>(map[255] - map[0]));
    return RemapLuminance(eq);
}

bool CPixImage::NormalizeLevels()
{
    if (m_pDib == nullptr)
        return false;
    std::int64_t count[256];
    CountGreyLevels(count);
    auto search = [&](std::int64_t threshold, int& low, int& high) {
        std::int64_t sum = 0;
        for (low = 0; low < 255; ++low) {
            sum += count[low];
            if (sum > threshold)
                break;
        }
        sum = 0;
        for (high = 255; high > 0; --high) {
            sum += count[high];
            if (sum > threshold)
                break;
        }
    };
    int low = 0, high = 0;
    search(static_cast<std::int64_t>(Width()) * Height() / 100, low, high);
    if (low == high)
        search(0, low, high);
    if (low == high)
        return false;
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = i < low ? 0 : i > high ? 255 : ClampTrunc((i - low) * 254.0 / (high - low));
    return RemapLuminance(map);
}

bool CPixImage::LogLevels()
{
    if (m_pDib == nullptr)
        return false;
    const double k = 255.0 / std::log(HighestGreyLevel() + 1.0);
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = ClampTrunc(std::log(i + 1.0) * k);  // clamped: a Y one above the grey maximum must not wrap to 0
    return RemapLuminance(map);
}

bool CPixImage::RootLevels()
{
    if (m_pDib == nullptr)
        return false;
    const double k = 128.0 / std::log(HighestGreyLevel() + 1.0);
    std::uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = ClampTrunc(k * std::sqrt(static_cast<double>(i)));
    return RemapLuminance(map);
}
