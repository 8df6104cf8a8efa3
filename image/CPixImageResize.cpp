// Resizing, cropping and canvas operations of CPixImage.
#include "image/CPixImage.h"
#include "image/CPixKernels.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

template <typename T>
std::unique_ptr<T, FreeDeleter> AllocZeroed(std::size_t count)
{
    return std::unique_ptr<T, FreeDeleter>(static_cast<T*>(std::calloc(count, sizeof(T))));
}

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

PixQuad Stored(const CPixImage& image, int x, int y)
{
    return image.IsIndexed() ? image.PaletteEntry(image.PixelIndexUnchecked(x, y)) : image.PixelColorUnchecked(x, y);
}

}  // namespace

// ---- Resize ------------------------------------------------------------------------------

bool CPixImage::CopiedAtSameSize(int newWidth, int newHeight, CPixImage* destination) const
{
    if (newWidth != Width() || newHeight != Height())
        return false;
    if (destination != nullptr && destination != this)
        destination->CopyFrom(*this, true, true, true);
    return true;
}

bool CPixImage::Resize(int newWidth, int newHeight, int mode, CPixImage* destination)
{
    if (m_pDib == nullptr || newWidth <= 0 || newHeight <= 0)
        return false;
    if (CopiedAtSameSize(newWidth, newHeight, destination))
        return true;
    const float xScale = static_cast<float>(Width()) / static_cast<float>(newWidth);
    const float yScale = static_cast<float>(Height()) / static_cast<float>(newHeight);
    CPixImage out;
    if (!BuildLike(out, newWidth, newHeight))
        return false;
    if (mode == 1) {
        for (int y = 0; y < newHeight && Escape() == 0; ++y) {
            ReportRow(y, newHeight);
            for (int x = 0; x < newWidth; ++x)
                out.SetPixelColor(x, y, PixelColor(static_cast<int>(x * xScale), static_cast<int>(y * yScale), true), false);
        }
    } else if (mode == 2) {
        ResizeBSpline(out, xScale, yScale);
    } else if (Bpp() == 24 && newWidth < Width() && newHeight < Height()) {
        if (!ShrinkByArea(out, xScale, yScale))
            return false;
    } else {
        ResizeBilinear(out, xScale, yScale);
    }
    if (HasAlpha()) {
        out.MakeAlphaPlane();
        for (int y = 0; y < newHeight; ++y)
            for (int x = 0; x < newWidth; ++x)
                out.SetAlphaAt(x, y, AlphaAt(static_cast<int>(x * xScale), static_cast<int>(y * yScale)));
    }
    return HandOver(out, destination);
}

void CPixImage::ResizeBSpline(CPixImage& out, float xScale, float yScale)
{
    const int w = Width(), h = Height();
    for (int y = 0; y < out.Height() && Escape() == 0; ++y) {
        ReportRow(y, out.Height());
        const float fy = static_cast<float>(y) * yScale - 0.5f;
        const int iy = static_cast<int>(std::floor(fy));
        const float a = fy - static_cast<float>(iy);
        std::uint8_t* row = out.RowPointer(y);
        for (int x = 0; x < out.Width(); ++x) {
            const float fx = static_cast<float>(x) * xScale - 0.5f;
            const int ix = static_cast<int>(std::floor(fx));
            const float b = fx - static_cast<float>(ix);
            float red = 0, green = 0, blue = 0;
            for (int m = -1; m <= 2; ++m) {
                const float wy = CubicBSplineWeight(static_cast<float>(m) - a);
                for (int n = -1; n <= 2; ++n) {
                    const float weight = wy * CubicBSplineWeight(b - static_cast<float>(n));
                    const PixQuad c = Stored(*this, Clamp(ix + n, 0, w - 1), Clamp(iy + m, 0, h - 1));
                    red += c.red * weight;
                    green += c.green * weight;
                    blue += c.blue * weight;
                }
            }
            // The weights are positive and sum to one: no clamping needed.
            PixQuad q;
            q.red = static_cast<std::uint8_t>(static_cast<int>(red));
            q.green = static_cast<std::uint8_t>(static_cast<int>(green));
            q.blue = static_cast<std::uint8_t>(static_cast<int>(blue));
            if (out.IsIndexed()) {
                out.SetPixelColor(x, y, q, false);
                continue;
            }
            row[3 * x] = q.blue;
            row[3 * x + 1] = q.green;
            row[3 * x + 2] = q.red;
        }
    }
}

void CPixImage::ResizeBilinear(CPixImage& out, float xScale, float yScale)
{
    for (int y = 0; y < out.Height() && Escape() == 0; ++y) {
        ReportRow(y, out.Height());
        const float fy = static_cast<float>(y) * yScale;
        const int iy = static_cast<int>(fy);
        const int iy1 = iy + 1 < Height() ? iy + 1 : Height() - 1;
        const float dy = fy - static_cast<float>(iy);
        for (int x = 0; x < out.Width(); ++x) {
            const float fx = static_cast<float>(x) * xScale;
            const int ix = static_cast<int>(fx);
            const int ix1 = ix + 1 < Width() ? ix + 1 : Width() - 1;
            const float dx = fx - static_cast<float>(ix);
            const PixQuad c11 = Stored(*this, ix, iy), c21 = Stored(*this, ix1, iy);
            const PixQuad c12 = Stored(*this, ix, iy1), c22 = Stored(*this, ix1, iy1);
            auto mix = [&](std::uint8_t PixQuad::*ch) {
                return static_cast<std::uint8_t>(static_cast<int>((1 - dx) * ((1 - dy) * c11.*ch + dy * c12.*ch) +
                                                                   dx * ((1 - dy) * c21.*ch + dy * c22.*ch)));
            };
            PixQuad q;
            q.red = mix(&PixQuad::red);
            q.green = mix(&PixQuad::green);
            q.blue = mix(&PixQuad::blue);
            out.SetPixelColor(x, y, q, false);
        }
    }
}

// Area-mean shrink of a 24-bit picture in fixed point (1000 = one pixel). Source pixels that
// straddle a destination edge are split between both sides, by column and by row. Float steps
// can drift by a rounding, so the destination column and row are clamped to the picture.
bool CPixImage::ShrinkByArea(CPixImage& out, float xScale, float yScale)
{
    const int newWidth = out.Width(), newHeight = out.Height();
    const std::size_t slots = 3 * static_cast<std::size_t>(newWidth) + 3;
    auto first = AllocZeroed<std::int64_t>(slots);
    auto second = AllocZeroed<std::int64_t>(slots);
    if (!first || !second)
        return false;
    std::int64_t* acc = first.get();
    std::int64_t* carry = second.get();
    const std::int64_t scale = static_cast<std::int64_t>(1000 * xScale * yScale);
    const std::size_t lastColumn = 3 * static_cast<std::size_t>(newWidth - 1);
    float endY = yScale - 1;
    int v = 0;
    std::uint8_t* dst = out.RowPointer(0);
    auto put = [&](std::size_t i, std::int64_t value) { dst[i] = static_cast<std::uint8_t>(value / scale); };
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportRow(y, Height());
        const std::uint8_t* src = RowPointer(y);
        std::size_t i = 0;
        int u = 0;
        float endX = xScale - 1;
        const bool wholeRow = static_cast<float>(y) < endY;
        const std::int64_t wy = wholeRow ? 0 : static_cast<std::int64_t>((static_cast<float>(y) - endY) * 1000);
        for (int x = 0; x < Width(); ++x) {
            const std::uint8_t* p = src + 3 * x;
            if (static_cast<float>(x) < endX) {
                for (std::size_t j = 0; j < 3; ++j) {
                    acc[i + j] += (1000 - wy) * p[j];
                    carry[i + j] += wy * p[j];
                }
                continue;
            }
            const std::int64_t wx = static_cast<std::int64_t>((static_cast<float>(x) - endX) * 1000);
            for (std::size_t j = 0; j < 3; ++j, ++i) {
                if (wholeRow) {
                    acc[i] += (1000 - wx) * p[j];
                    acc[i + 3] += wx * p[j];
                    continue;
                }
                acc[i] += (1000 - wy) * (1000 - wx) * p[j] / 1000;
                put(i, acc[i]);
                carry[i] += wy * (1000 - wx) * p[j] / 1000;
                acc[i + 3] += (1000 - wy) * wx * p[j] / 1000;
                carry[i + 3] = wy * wx * p[j] / 1000;
            }
            if (i > lastColumn)
                i = lastColumn;
            endX += xScale;
            ++u;
        }
        if (wholeRow)
            continue;
        if (u < newWidth) {
            for (std::size_t j = 0; j < 3; ++j)
                put(i + j, acc[i + j]);
        }
        std::swap(acc, carry);
        std::memset(carry, 0, slots * sizeof(std::int64_t));
        if (++v < newHeight)
            dst = out.RowPointer(v);
        endY += yScale;
    }
    if (v < newHeight) {
        for (std::size_t k = 0; k < 3 * static_cast<std::size_t>(newWidth); ++k)
            put(k, acc[k]);
    }
    return true;
}

bool CPixImage::ResizeInterpolated(int newWidth, int newHeight, InterpolationMode method, OverflowMode mode,
                                   CPixImage* destination, bool noAveraging)
{
    if (m_pDib == nullptr || newWidth < 1 || newHeight < 1)
        return false;
    if (CopiedAtSameSize(newWidth, newHeight, destination))
        return true;
    const float xScale = static_cast<float>(Width()) / static_cast<float>(newWidth);
    const float yScale = static_cast<float>(Height()) / static_cast<float>(newHeight);
    CPixImage out;
    if (!BuildLike(out, newWidth, newHeight))
        return false;
    if (HasAlpha())
        out.MakeAlphaPlane();
    const bool point = (xScale <= 1 && yScale <= 1) || noAveraging;
    for (int y = 0; y < newHeight && Escape() == 0; ++y) {
        ReportRow(y, newHeight);
        const float sy = (static_cast<float>(y) + 0.5f) * yScale - 0.5f;
        for (int x = 0; x < newWidth; ++x) {
            const float sx = (static_cast<float>(x) + 0.5f) * xScale - 0.5f;
            if (!point) {
                out.SetPixelColor(x, y, SampleArea(sx, sy, xScale, yScale, method, mode, nullptr), true);
                continue;
            }
            out.StoreSample(x, y, SampleAt(sx, sy, method, mode, nullptr), true);
        }
    }
    return HandOver(out, destination);
}

// Sums each destination pixel's source pixels exactly once: a column moves on before the
// pixel that would carry it past the source width, a row after the source rows that fill it.
bool CPixImage::QIShrink(int newWidth, int newHeight, CPixImage* destination)
{
    if (m_pDib == nullptr)
        return false;
    if (newWidth > Width() || newHeight > Height()) {
        SetLastError("QIShrink can't enlarge image");
        return false;
    }
    if (newWidth < 1 || newHeight < 1)
        return false;
    if (CopiedAtSameSize(newWidth, newHeight, destination))
        return true;
    CPixImage out;
    if (!BuildLike(out, newWidth, newHeight))
        return false;
    if (HasAlpha())
        out.MakeAlphaPlane();
    struct Cell {
        std::uint64_t blue, green, red, alpha, count;
    };
    auto cells = AllocZeroed<Cell>(static_cast<std::size_t>(newWidth));
    if (!cells)
        return false;
    long long dy = 0;
    int v = 0;
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportRow(y, Height());
        dy += newHeight;
        long long dx = 0;
        int u = 0;
        for (int x = 0; x < Width(); ++x) {
            dx += newWidth;
            if (dx > Width() && u + 1 < newWidth) {
                ++u;
                dx -= Width();
            }
            const PixQuad c = IsIndexed() ? PixelColor(x, y, true) : PixelColorUnchecked(x, y);
            Cell& cell = cells.get()[u];
            cell.blue += c.blue;
            cell.green += c.green;
            cell.red += c.red;
            cell.alpha += AlphaAt(x, y);
            ++cell.count;
        }
        if (dy < Height())
            continue;
        dy -= Height();
        for (int x = 0; x < newWidth && v < newHeight; ++x) {
            const Cell& cell = cells.get()[x];
            const std::uint64_t n = cell.count != 0 ? cell.count : 1;
            PixQuad q;
            q.blue = static_cast<std::uint8_t>(cell.blue / n);
            q.green = static_cast<std::uint8_t>(cell.green / n);
            q.red = static_cast<std::uint8_t>(cell.red / n);
            q.reserved = static_cast<std::uint8_t>(cell.alpha / n);
            out.SetPixelColor(x, v, q, HasAlpha());
        }
        std::memset(cells.get(), 0, sizeof(Cell) * static_cast<std::size_t>(newWidth));
        ++v;
    }
    return HandOver(out, destination);
}
