// Combining CPixImage with another image, and sharpening by an unsharp mask.
#include "image/CPixImage.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

std::uint8_t ClampByte(int v)
{
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// One of the ten mix operations on one pixel; false for an operation that does not exist.
bool MixPixel(int op, PixQuad c1, PixQuad c2, PixQuad t, int weight, PixQuad& out)
{
    auto each = [&](auto f) {
        out.blue = static_cast<std::uint8_t>(f(c1.blue, c2.blue));
        out.green = static_cast<std::uint8_t>(f(c1.green, c2.green));
        out.red = static_cast<std::uint8_t>(f(c1.red, c2.red));
        out.reserved = static_cast<std::uint8_t>(f(c1.reserved, c2.reserved));
    };
    switch (op) {
    case 0: each([](int a, int b) { return a + b > 255 ? 255 : a + b; }); return true;
    case 1: each([](int a, int b) { return a & b; }); return true;
    case 2: each([](int a, int b) { return a ^ b; }); return true;
    case 3: each([](int a, int b) { return a | b; }); return true;
    case 4: out = c2.blue == 0 && c2.green == 0 && c2.red == 0 ? t : c1; return true;
    case 5: out = c1 == t ? c2 : c1; return true;
    case 6: out = c2 == t ? c1 : c2; return true;
    case 7: each([](int a, int b) { return a - b < 0 ? 0 : a - b; }); return true;
    case 8: {
        if (c1 == t) {
            out = c2;
            return true;
        }
        const int d = (std::abs(c1.blue - t.blue) + std::abs(c1.green - t.green) + std::abs(c1.red - t.red)) / 3;
        out = c1;
        if (d < 17) {
            // Pixels near the transparent colour fade towards the source's blue (sic: every channel).
            out.blue = ClampByte(c1.blue * d / 16 + c2.blue * (16 - d) / 16);
            out.green = ClampByte(c1.green * d / 16 + c2.blue * (16 - d) / 16);
            out.red = ClampByte(c1.red * d / 16 + c2.blue * (16 - d) / 16);
        }
        return true;
    }
    case 9:
        if (weight <= 0) {
            out = c1;
        } else if (weight >= 255) {
            out = c2;
        } else {
            each([weight](int a, int b) { return (a * (255 - weight) + b * weight) >> 8; });
            out.reserved = static_cast<std::uint8_t>(((c1.reserved + 1) * weight) >> 8);
        }
        return true;
    default:
        return false;
    }
}

// The source indices first..end - 1 (of 0..sourceSize - 1) that land in 0..size - 1 when
// shifted by d, for any int d.
void LandingSpan(long long d, int size, int sourceSize, int& first, int& end)
{
    first = static_cast<int>(std::min<long long>(std::max<long long>(0, -d), sourceSize));
    end = static_cast<int>(std::max<long long>(first, std::min<long long>(sourceSize, size - d)));
}

}  // namespace

// Only the source pixels that land inside this image are visited: offsets may be any int.
void CPixImage::PasteOpaque(const CPixImage& source, int dx, int dy)
{
    if (m_pDib == nullptr || !source.HasPixels())
        return;
    const PixQuad t = source.TransparentColor();
    int x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    LandingSpan(dx, Width(), source.Width(), x1, x2);
    LandingSpan(dy, Height(), source.Height(), y1, y2);
    for (int x = x1; x < x2; ++x) {
        for (int y = y1; y < y2; ++y) {
            const PixQuad c = source.PixelColor(x, y, true);
            if (!(c == t))
                SetPixelColor(x + dx, y + dy, c, false);
        }
    }
}

void CPixImage::MixImage(const CPixImage& source, int op, int dx, int dy, bool mixAlpha)
{
    if (m_pDib == nullptr || !source.HasPixels() || &source == this)
        return;
    // In 64 bits for any int offset; below these bounds x + dx and y + dy stay ints.
    const long long w = std::min<long long>(Width(), static_cast<long long>(source.Width()) - dx);
    const long long h = std::min<long long>(Height(), static_cast<long long>(source.Height()) - dy);
    const bool alpha = mixAlpha && source.HasAlpha();
    if (alpha)
        MakeAlphaPlane();
    const PixQuad t = TransparentColor();
    for (int y = 0; y < h && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = 0; x < w; ++x) {
            if (!IsSelected(x, y) || !source.IsSelected(x + dx, y + dy))
                continue;
            const PixQuad c1 = PixelColor(x, y, true), c2 = source.PixelColor(x + dx, y + dy, true);
            int weight = 255;
            if (source.IsTransparentAt(x + dx, y + dy))
                weight = 0;
            else if (source.HasAlpha())
                weight = source.AlphaAt(x + dx, y + dy) * (source.AlphaMax() + 1) >> 8;
            PixQuad out;
            if (!MixPixel(op, c1, c2, t, weight, out))
                return;
            SetPixelColor(x, y, out, alpha);
        }
    }
}

// ---- Unsharp mask ------------------------------------------------------------------------

namespace {

// Gaussian weights of the blur, normalised; each tap is the mean over 50 sub-steps.
std::vector<float> BlurKernel(float radius)
{
    const float sd = std::fabs(radius) + 1, r = 2 * sd;
    const int n = std::max(1, static_cast<int>(2 * std::ceil(r - 0.5f) + 1));
    const int m = n / 2;
    std::vector<float> weight(static_cast<std::size_t>(n));
    const float twoVar = 2 * sd * sd;
    for (int i = m + 1; i < n; ++i) {
        const float x0 = static_cast<float>(i - m) - 0.5f;
        float sum = 0;
        for (int j = 1; j <= 50; ++j) {
            const float x = x0 + 0.02f * static_cast<float>(j);
            if (x <= r)
                sum += std::exp(-x * x / twoVar);
        }
        weight[static_cast<std::size_t>(i)] = sum / 50;
    }
    for (int i = 0; i <= m; ++i)
        weight[static_cast<std::size_t>(i)] = weight[static_cast<std::size_t>(n - 1 - i)];
    float centre = 0;
    for (int j = 0; j <= 50; ++j) {
        const float x = 0.5f + 0.02f * static_cast<float>(j);
        centre += std::exp(-x * x / twoVar);
    }
    weight[static_cast<std::size_t>(m)] = centre / 51;
    float total = 0;
    for (float w : weight)
        total += w;
    for (float& w : weight)
        w /= total;
    return weight;
}

// Blurs `count` samples of `channels` interleaved channels (stride between samples).
struct LineBlur {
    const std::vector<float>& weight;
    const std::vector<float>& table;  // weight[i] * v at [i * 256 + v]

    void operator()(const std::uint8_t* in, std::uint8_t* out, int count, int channels, std::size_t stride) const
    {
        const int n = static_cast<int>(weight.size()), m = n / 2;
        for (int c = 0; c < channels; ++c) {
            for (int k = 0; k < count; ++k) {
                const bool edge = n > count || k < m || k >= count - m;
                float value = 0, used = 0;
                for (int i = 0; i < n; ++i) {
                    const int at = k + i - m;
                    if (at < 0 || at >= count)
                        continue;
                    const std::uint8_t v = in[static_cast<std::size_t>(at) * stride + static_cast<std::size_t>(c)];
                    value += table[static_cast<std::size_t>(i) * 256 + v];
                    used += weight[static_cast<std::size_t>(i)];
                }
                if (edge && used > 0)
                    value /= used;
                out[static_cast<std::size_t>(k) * stride + static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(value + 0.5f);
            }
        }
    }
};

}  // namespace

bool CPixImage::UnsharpMask(float radius, float amount, int threshold)
{
    if (m_pDib == nullptr || !(Bpp() == 24 || (Bpp() == 8 && IsGreyPalette())))
        return false;
    // The kernel is about 4 radius + 5 taps with a 256-entry table each: bound both.
    if (!std::isfinite(radius) || std::fabs(radius) > 1000 || !std::isfinite(amount))
        return false;
    CPixImage blurred(*this, true, true, true);
    if (!blurred.HasPixels())
        return false;
    const int channels = Bpp() / 8;
    const std::vector<float> weight = BlurKernel(radius);
    std::vector<float> table(weight.size() * 256);
    for (std::size_t i = 0; i < weight.size(); ++i)
        for (int v = 0; v < 256; ++v)
            table[i * 256 + static_cast<std::size_t>(v)] = static_cast<float>(v) * weight[i];
    const LineBlur blur{weight, table};
    const int w = Width(), h = Height();
    for (int y = 0; y < h && Escape() == 0; ++y) {
        m_info.progress = static_cast<int>(y * 33.3 / h);
        blur(RowPointer(y), blurred.RowPointer(y), w, channels, static_cast<std::size_t>(channels));
    }
    std::vector<std::uint8_t> column(static_cast<std::size_t>(h) * static_cast<std::size_t>(channels));
    std::vector<std::uint8_t> done(column.size());
    for (int x = 0; x < w && Escape() == 0; ++x) {
        m_info.progress = static_cast<int>(33.3 + x * 33.3 / w);
        for (int y = 0; y < h; ++y)
            for (int c = 0; c < channels; ++c)
                column[static_cast<std::size_t>(y * channels + c)] = blurred.RowPointer(y)[x * channels + c];
        blur(column.data(), done.data(), h, channels, static_cast<std::size_t>(channels));
        for (int y = 0; y < h; ++y)
            for (int c = 0; c < channels; ++c)
                blurred.RowPointer(y)[x * channels + c] = done[static_cast<std::size_t>(y * channels + c)];
    }
    for (int y = 0; y < h && Escape() == 0; ++y) {
        m_info.progress = static_cast<int>(66.6 + y * 33.3 / h);
        const std::uint8_t* s = RowPointer(y);
        std::uint8_t* t = blurred.RowPointer(y);
        for (int i = 0; i < w * channels; ++i) {
            int d = s[i] - t[i];
            if (std::abs(2 * d) < threshold)
                d = 0;
            const float v = s[i] + d * amount;
            t[i] = v <= 0 ? 0 : v >= 255 ? 255 : static_cast<std::uint8_t>(v);
        }
    }
    return HandOver(blurred, nullptr);
}
