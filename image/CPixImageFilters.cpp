// Tone tables, channel shifts, noise and the neighbourhood filters of CPixImage.
#include "image/CPixImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Windows larger than this are refused: the rank filter keeps size x size colours at once
// and every filter reads size x size samples per pixel.
constexpr int kMaxWindow = 255;

std::uint8_t ClampByte(long long v)
{
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

std::uint8_t ClampTrunc(double v)
{
    if (!(v > 0))
        return 0;
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

bool ValidWindow(int size)
{
    return size >= 1 && size <= kMaxWindow;
}

PixQuad Through(PixQuad c, const std::uint8_t* table)
{
    c.red = table[c.red];
    c.green = table[c.green];
    c.blue = table[c.blue];
    return c;
}

// Passes every palette entry through fn.
template <typename Fn>
void MapPalette(CPixImage& image, Fn fn)
{
    for (std::uint32_t i = 0; i < image.ColorCount(); ++i)
        image.SetPaletteQuad(i, fn(image.PaletteEntry(i)));
}

// rand() of the runtime gives at least 0..32767; only that range is used.
int Random15()
{
    return std::rand() & 32767;
}

}  // namespace

// ---- Tone tables -------------------------------------------------------------------------

bool CPixImage::ApplyLut(const std::uint8_t* table)
{
    if (m_pDib == nullptr || table == nullptr)
        return false;
    if (IsIndexed() && m_pSelection != nullptr && Bpp() == 8 && IsGreyPalette()) {
        ForEachSelected([&](int x, int y) { SetPixelIndex(x, y, table[PixelIndexUnchecked(x, y)]); });
        return true;
    }
    if (IsIndexed()) {
        MapPalette(*this, [table](PixQuad c) { return Through(c, table); });
        return true;
    }
    if (m_pSelection != nullptr) {
        ForEachSelected([&](int x, int y) { SetPixelColor(x, y, Through(PixelColor(x, y, false), table), false); });
        return true;
    }
    for (std::uint32_t i = 0; i < m_header.imageSize; ++i)
        m_pBits[i] = table[m_pBits[i]];
    return true;
}

bool CPixImage::ApplyLutRgba(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue,
                             const std::uint8_t* alpha)
{
    if (m_pDib == nullptr || red == nullptr || green == nullptr || blue == nullptr)
        return false;
    auto map = [&](PixQuad c) {
        c.red = red[c.red];
        c.green = green[c.green];
        c.blue = blue[c.blue];
        return c;
    };
    if (IsIndexed()) {
        MapPalette(*this, map);
        return true;
    }
    ForEachSelected([&](int x, int y) {
        PixQuad c = map(PixelColor(x, y, true));
        if (alpha != nullptr)
            c.reserved = alpha[c.reserved];
        SetPixelColor(x, y, c, alpha != nullptr);
    });
    return true;
}

bool CPixImage::BrightnessContrast(int brightness, int contrast)
{
    const double c = (contrast + 100.0) / 100.0;  // any int contrast
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i) {
        const double v = (i - 128) * c + brightness + 128;
        table[i] = v < 0 ? 0 : v > 255 ? 255 : static_cast<std::uint8_t>(static_cast<int>(v));
    }
    return ApplyLut(table);
}

bool CPixImage::GammaCorrect(float gamma)
{
    if (!(gamma > 0) || !std::isfinite(gamma))
        return false;
    const double g = 1.0 / gamma;
    const double m = std::pow(255.0, g) / 255;
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = ClampTrunc(std::pow(static_cast<double>(i), g) / m);
    return ApplyLut(table);
}

bool CPixImage::ShiftChannels(int red, int green, int blue)
{
    if (m_pDib == nullptr)
        return false;
    auto shift = [&](PixQuad c) {
        // In 64 bits: an offset may be any int.
        c.red = ClampByte(static_cast<long long>(c.red) + red);
        c.green = ClampByte(static_cast<long long>(c.green) + green);
        c.blue = ClampByte(static_cast<long long>(c.blue) + blue);
        return c;
    };
    if (IsIndexed()) {
        MapPalette(*this, shift);
        return true;
    }
    ForEachSelected([&](int x, int y) { SetPixelColor(x, y, shift(PixelColor(x, y, false)), false); });
    return true;
}

bool CPixImage::RemoveRedEye()
{
    if (m_pDib == nullptr)
        return false;
    ForEachSelected([&](int x, int y) {
        PixQuad c = PixelColor(x, y, false);
        c.red = std::min(c.green, c.blue);
        SetPixelColor(x, y, c, false);
    });
    return true;
}

bool CPixImage::AddNoise(int level)
{
    if (m_pDib == nullptr)
        return false;
    auto noise = [level](std::uint8_t v) {
        return ClampByte(v + static_cast<int>((Random15() / 32767.0 - 0.5) * level));
    };
    ForEachSelected([&](int x, int y) {
        PixQuad c = PixelColor(x, y, false);
        c.red = noise(c.red);
        c.green = noise(c.green);
        c.blue = noise(c.blue);
        SetPixelColor(x, y, c, false);
    });
    return true;
}

float CPixImage::MeanGreyLevel() const
{
    if (m_pDib == nullptr)
        return 0;
    CPixImage grey(*this, true, true, false);
    if (!grey.HasPixels() || !grey.ToGreyScale())
        return 0;
    const PixRect area = SelectionArea();
    if (area.right <= area.left || area.top <= area.bottom)
        return 0;
    double sum = 0;
    for (int y = area.bottom; y < area.top; ++y)
        for (int x = area.left; x < area.right; ++x)
            sum += grey.PixelIndexUnchecked(x, y);
    return static_cast<float>(sum / (area.right - area.left) / (area.top - area.bottom));
}

// ---- Neighbourhood filters ---------------------------------------------------------------

template <typename Filter>
bool CPixImage::FilterInto(Filter filter)
{
    if (m_pDib == nullptr)
        return false;
    CPixImage out(*this, HasSelection(), true, true);
    if (!out.HasPixels())
        return false;
    ForEachSelected([&](int x, int y) { filter(out, x, y); });
    return HandOver(out, nullptr);
}

// Per channel over the size x size window: start, then fold(value, sample) for every sample.
template <typename Fold>
static PixQuad FoldWindow(const CPixImage& image, int x, int y, int size, int start, Fold fold)
{
    const int low = -(size / 2), high = size - size / 2 - 1;
    int red = start, green = start, blue = start;
    for (int dy = low; dy <= high; ++dy) {
        for (int dx = low; dx <= high; ++dx) {
            const PixQuad s = image.PixelColor(x + dx, y + dy, true);
            red = fold(red, s.red);
            green = fold(green, s.green);
            blue = fold(blue, s.blue);
        }
    }
    PixQuad q;
    q.red = ClampByte(red);
    q.green = ClampByte(green);
    q.blue = ClampByte(blue);
    return q;
}

bool CPixImage::ErodeFilter(int size)
{
    return ValidWindow(size) && FilterInto([&](CPixImage& out, int x, int y) {
               out.SetPixelColor(x, y, FoldWindow(*this, x, y, size, 255, [](int v, int s) { return std::min(v, s); }), false);
           });
}

bool CPixImage::DilateFilter(int size)
{
    return ValidWindow(size) && FilterInto([&](CPixImage& out, int x, int y) {
               out.SetPixelColor(x, y, FoldWindow(*this, x, y, size, 0, [](int v, int s) { return std::max(v, s); }), false);
           });
}

bool CPixImage::EdgeFilter(int size)
{
    return ValidWindow(size) && FilterInto([&](CPixImage& out, int x, int y) {
               const PixQuad lo = FoldWindow(*this, x, y, size, 255, [](int v, int s) { return std::min(v, s); });
               const PixQuad hi = FoldWindow(*this, x, y, size, 0, [](int v, int s) { return std::max(v, s); });
               PixQuad q;
               q.red = static_cast<std::uint8_t>(255 - std::abs(hi.red - lo.red));
               q.green = static_cast<std::uint8_t>(255 - std::abs(hi.green - lo.green));
               q.blue = static_cast<std::uint8_t>(255 - std::abs(hi.blue - lo.blue));
               out.SetPixelColor(x, y, q, false);
           });
}

bool CPixImage::ContourFilter()
{
    return FilterInto([&](CPixImage& out, int x, int y) {
        const PixQuad c = PixelColor(x, y, true);
        int m[3] = {0, 0, 0};
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const PixQuad s = PixelColor(x + dx, y + dy, true);
                const int sample[3] = {s.red, s.green, s.blue}, centre[3] = {c.red, c.green, c.blue};
                for (int k = 0; k < 3; ++k)
                    m[k] = sample[k] - centre[k] > m[k] ? sample[k] : m[k];
            }
        }
        PixQuad q;
        q.red = static_cast<std::uint8_t>(255 - m[0]);
        q.green = static_cast<std::uint8_t>(255 - m[1]);
        q.blue = static_cast<std::uint8_t>(255 - m[2]);
        out.SetPixelColor(x, y, q, false);
    });
}

bool CPixImage::MiddleRankFilter(int size)
{
    if (!ValidWindow(size))
        return false;
    std::vector<PixQuad> window(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
    const int low = -(size / 2), high = size - size / 2 - 1;
    return FilterInto([&](CPixImage& out, int x, int y) {
        std::size_t n = 0;
        for (int dy = low; dy <= high; ++dy)
            for (int dx = low; dx <= high; ++dx)
                window[n++] = PixelColor(x + dx, y + dy, true);
        std::nth_element(window.begin(), window.begin() + static_cast<std::ptrdiff_t>(n / 2), window.end(),
                         [](PixQuad a, PixQuad b) { return CompareGreyLevels(a, b) < 0; });
        out.SetPixelColor(x, y, window[n / 2], false);
    });
}

bool CPixImage::JitterFilter(int radius)
{
    return FilterInto([&](CPixImage& out, int x, int y) {
        // In 64 bits: a radius may be any int, and so may the displacement.
        const long long dx = static_cast<long long>((Random15() / 32767.0 - 0.5) * 2 * radius);
        const long long dy = static_cast<long long>((Random15() / 32767.0 - 0.5) * 2 * radius);
        const long long tx = x + dx, ty = y + dy;
        const bool inside = tx >= 0 && ty >= 0 && tx < Width() && ty < Height();
        CopyPixelTo(out, x, y, inside ? static_cast<int>(tx) : x, inside ? static_cast<int>(ty) : y);
    });
}

bool CPixImage::Convolve(const int* kernel, int size, int divisor, int offset)
{
    if (kernel == nullptr || !ValidWindow(size))
        return false;
    const int low = -(size / 2), high = size - size / 2 - 1, rest = size - size / 2;
    auto weight = [&](int dx, int dy) { return kernel[(dy + size / 2) * size + (dx + size / 2)]; };
    if (Bpp() == 8 && IsGreyPalette()) {
        const int div = divisor == 0 ? 1 : divisor;
        return FilterInto([&](CPixImage& out, int x, int y) {
            // Only whole windows are summed; pixels nearer the edge keep their index (also in
            // a copy made without pixels, which would otherwise leave them 0).
            if (y - size / 2 < 0 || y + rest - 1 >= Height() || x - size / 2 < 0 || x + rest - 1 >= Width()) {
                out.SetPixelIndex(x, y, PixelIndexUnchecked(x, y));
                return;
            }
            long long sum = 0;
            for (int dy = low; dy <= high; ++dy) {
                const std::uint8_t* row = RowPointer(y + dy);
                for (int dx = low; dx <= high; ++dx)
                    sum += static_cast<long long>(row[x + dx]) * weight(dx, dy);
            }
            out.SetPixelIndex(x, y, ClampTrunc(static_cast<double>(sum / div + offset)));
        });
    }
    const bool trueColour = !IsIndexed();
    return FilterInto([&](CPixImage& out, int x, int y) {
        long long sums[3] = {0, 0, 0};
        // Inside the picture the rows are read directly; at the border through PixelColor.
        const bool inside = trueColour && x + low >= 0 && y + low >= 0 && x + high < Width() && y + high < Height();
        for (int dy = low; dy <= high; ++dy) {
            const std::uint8_t* row = inside ? RowPointer(y + dy) : nullptr;
            for (int dx = low; dx <= high; ++dx) {
                const int w = weight(dx, dy);
                if (inside) {
                    const std::uint8_t* p = row + 3 * (x + dx);
                    sums[0] += static_cast<long long>(p[2]) * w;
                    sums[1] += static_cast<long long>(p[1]) * w;
                    sums[2] += static_cast<long long>(p[0]) * w;
                    continue;
                }
                const PixQuad s = PixelColor(x + dx, y + dy, true);
                sums[0] += static_cast<long long>(s.red) * w;
                sums[1] += static_cast<long long>(s.green) * w;
                sums[2] += static_cast<long long>(s.blue) * w;
            }
        }
        auto channel = [&](long long sum) {
            return ClampTrunc(static_cast<double>((divisor != 0 ? sum / divisor : sum) + offset));
        };
        PixQuad q;
        q.red = channel(sums[0]);
        q.green = channel(sums[1]);
        q.blue = channel(sums[2]);
        out.SetPixelColor(x, y, q, false);
    });
}
