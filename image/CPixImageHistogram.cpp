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
        for (int x = 0; x < Width(); ++x, p += 3) {
            const PixQuad c{p[0], p[1], p[2], 0};
            const PixQuad out = WithLuminance(c, map[RgbToYuv(c).red]);
            p[0] = out.blue;
            p[1] = out.green;
            p[2] = out.red;
        }
    }
    return true;
}

bool CPixImage::CountGreyLevels(std::int64_t (&count)[256])
{
    std::memset(count, 0, sizeof(count));
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportSpan(y, Height(), 0, 50);
        const std::uint8_t* p = RowPointer(y);
        for (int x = 0; x < Width(); ++x) {
            if (IsIndexed()) {
                ++count[GreyLevel(PaletteEntry(PixelIndexUnchecked(x, y)))];
                continue;
            }
            ++count[(p[3 * x] * 117 + p[3 * x + 1] * 601 + p[3 * x + 2] * 306) >> 10];
        }
    }
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
