// Sampling CPixImage at real-valued points: overflow rules, interpolation kernels, area means.
#include "image/CPixImage.h"
#include "image/CPixKernels.h"
#include "image/CPixRect2.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using Kernel = float (*)(float);

// Far enough outside any picture, near enough that int arithmetic on it cannot overflow.
constexpr float kFarAway = 1e9f;

// NaN (a weight of a NaN or infinite coordinate) counts as 0.
float Clamp255(float v)
{
    return v > 0 ? (v < 255 ? v : 255) : 0;
}

// trunc toward zero, for coordinates that may come in as any float.
int TruncToInt(float v)
{
    if (!(v > -kFarAway))
        return -static_cast<int>(kFarAway);
    if (v > kFarAway)
        return static_cast<int>(kFarAway);
    return static_cast<int>(v);
}

// The neighbourhood's base: trunc(x), one lower for negative x.
int BaseIndex(float x)
{
    const int i = TruncToInt(x);
    return x < 0 ? i - 1 : i;
}

PixQuad WhiteTransparent()
{
    PixQuad q;
    q.blue = q.green = q.red = 255;
    q.reserved = 0;
    return q;
}

float HalfCubicWeight(float x)
{
    return GeneralCubicWeight(x, -0.5f);
}

float Lanczos6Weight(float x)
{
    return LanczosWeight(x, 6);
}

Kernel KernelOf(InterpolationMode method)
{
    switch (method) {
    case kInterpBSpline: return CubicBSplineWeight;
    case kInterpBicubic: return CubicWeight;
    case kInterpBicubicHalf: return HalfCubicWeight;
    case kInterpLanczos: return Lanczos6Weight;
    case kInterpBox: return BoxWeight;
    case kInterpHermite: return HermiteWeight;
    case kInterpHamming: return HammingWeight;
    case kInterpSinc: return SincWeight;
    case kInterpBlackman: return BlackmanWeight;
    case kInterpBessel: return BesselWeight;
    case kInterpGaussian: return GaussianWeight;
    case kInterpQuadratic: return QuadraticWeight;
    case kInterpMitchell: return MitchellWeight;
    case kInterpCatmullRom: return CatmullRomWeight;
    default: return nullptr;
    }
}

struct Sums {
    float red = 0, green = 0, blue = 0, alpha = 0;

    PixQuad ToQuad(bool withAlpha) const
    {
        PixQuad q;
        q.red = static_cast<std::uint8_t>(Clamp255(red));
        q.green = static_cast<std::uint8_t>(Clamp255(green));
        q.blue = static_cast<std::uint8_t>(Clamp255(blue));
        q.reserved = withAlpha ? static_cast<std::uint8_t>(Clamp255(alpha)) : 0;
        return q;
    }
};

}  // namespace

// ---- Overflow ----------------------------------------------------------------------------

void CPixImage::ApplyOverflow(int& x, int& y, OverflowMode mode) const
{
    const long long w = Width(), h = Height();
    if (w <= 0 || h <= 0 || IsInside(x, y))
        return;
    auto fold = [mode](long long v, long long size) -> long long {
        switch (mode) {
        case kOverflowWrap:
            v %= size;
            return v < 0 ? v + size : v;
        case kOverflowRepeat:
            return v < 0 ? 0 : v >= size ? size - 1 : v;
        case kOverflowMirror:
            if (v >= size)
                return size - (v % size + 1);
            return v < 0 ? (-v) % size : v;
        default:
            return v;
        }
    };
    x = static_cast<int>(fold(x, w));
    y = static_cast<int>(fold(y, h));
}

void CPixImage::ApplyOverflow(float& x, float& y, OverflowMode mode) const
{
    const float w = static_cast<float>(Width()), h = static_cast<float>(Height());
    if (w <= 0 || h <= 0 || (x >= 0 && x < w && y >= 0 && y < h))
        return;
    auto fold = [mode](float v, float size) -> float {
        switch (mode) {
        case kOverflowWrap:
            v = std::fmod(v, size);
            return v < 0 ? v + size : v;
        case kOverflowRepeat:
            return v < 0 ? 0 : v > size - 1 ? size - 1 : v;
        case kOverflowMirror:
            if (v < 0)
                return std::fmod(-v, size);
            return v >= size ? size - (std::fmod(v, size) + 1) : v;
        default:
            return v;
        }
    };
    x = fold(x, w);
    y = fold(y, h);
}

PixQuad CPixImage::PixelColorBeyond(int x, int y, OverflowMode mode, const PixQuad* replacement) const
{
    if (m_pDib != nullptr && IsInside(x, y))
        return PixelColorUnchecked(x, y);
    PixQuad color = replacement != nullptr ? *replacement : WhiteTransparent();
    if (m_pDib == nullptr)
        return color;
    switch (mode) {
    case kOverflowBackground:
        if (m_info.transIndex == -1)
            return color;
        return Bpp() < 24 ? PaletteEntry(static_cast<std::uint32_t>(m_info.transIndex)) : m_info.transColor;
    case kOverflowTransparent:
        if (m_pAlpha != nullptr) {
            color.reserved = 0;
            return color;
        }
        return m_info.transIndex >= 0 ? TransparentColor() : color;
    case kOverflowWrap:
    case kOverflowRepeat:
    case kOverflowMirror:
        ApplyOverflow(x, y, mode);
        return IsInside(x, y) ? PixelColorUnchecked(x, y) : color;
    default:
        return color;
    }
}

// ---- Point sampling ----------------------------------------------------------------------

namespace {

// Samples a (2 * reach) x (2 * reach) neighbourhood with a separable kernel; reach 2 covers
// xi - 1 .. xi + 2, reach 6 covers xi - 5 .. xi + 6.
template <int Reach>
PixQuad SampleKernel(const CPixImage& image, float x, float y, Kernel kernel, OverflowMode mode, const PixQuad* replacement)
{
    constexpr int kTaps = 2 * Reach;
    const int w = image.Width(), h = image.Height();
    int xi = BaseIndex(x), yi = BaseIndex(y);
    if (xi + Reach < 0 || xi - (Reach - 1) >= w || yi + Reach < 0 || yi - (Reach - 1) >= h) {
        if (mode >= 1 && mode <= 3)
            return image.PixelColorBeyond(-999, -999, mode, replacement);
        image.ApplyOverflow(x, y, mode);
        xi = BaseIndex(x);
        yi = BaseIndex(y);
    }
    float wx[kTaps], wy[kTaps];
    for (int i = 0; i < kTaps; ++i) {
        wx[i] = kernel(static_cast<float>(xi + i - (Reach - 1)) - x);
        wy[i] = kernel(static_cast<float>(yi + i - (Reach - 1)) - y);
    }
    const bool direct = xi >= Reach - 1 && xi + Reach < w && yi >= Reach - 1 && yi + Reach < h && !image.IsIndexed();
    Sums sums;
    for (int j = 0; j < kTaps; ++j) {
        const int py = yi + j - (Reach - 1);
        for (int i = 0; i < kTaps; ++i) {
            const int px = xi + i - (Reach - 1);
            const float weight = wx[i] * wy[j];
            if (direct) {
                const std::uint8_t* p = image.RowPointer(py) + 3 * px;
                sums.blue += p[0] * weight;
                sums.green += p[1] * weight;
                sums.red += p[2] * weight;
                if (image.HasAlpha())
                    sums.alpha += image.AlphaAtUnchecked(px, py) * weight;
                continue;
            }
            CPixImage::AddWeightedColor(image.PixelColorBeyond(px, py, mode, replacement), weight, sums.red, sums.green,
                                        sums.blue, sums.alpha);
        }
    }
    return sums.ToQuad(image.HasAlpha());
}

}  // namespace

PixQuad CPixImage::SampleAt(float x, float y, InterpolationMode method, OverflowMode mode, const PixQuad* replacement) const
{
    if (method == kInterpNearest)
        return PixelColorBeyond(TruncToInt(x + 0.5f), TruncToInt(y + 0.5f), mode, replacement);
    if (method == kInterpLanczos)
        return SampleKernel<6>(*this, x, y, KernelOf(method), mode, replacement);
    if (const Kernel kernel = KernelOf(method))
        return SampleKernel<2>(*this, x, y, kernel, mode, replacement);

    const int w = Width(), h = Height();
    int xi = BaseIndex(x), yi = BaseIndex(y);
    if (xi < -1 || xi >= w || yi < -1 || yi >= h) {
        if (mode >= 1 && mode <= 3)
            return PixelColorBeyond(-999, -999, mode, replacement);
        ApplyOverflow(x, y, mode);
        xi = BaseIndex(x);
        yi = BaseIndex(y);
    }
    if (xi >= 0 && xi + 1 < w && yi >= 0 && yi + 1 < h && !IsIndexed()) {
        // Fixed point with 8 fraction bits, straight from the rows.
        const int t1 = static_cast<int>((x - static_cast<float>(xi)) * 256);
        const int t2 = static_cast<int>((y - static_cast<float>(yi)) * 256);
        const int d = t1 * t2 >> 8, b = t1 - d, c = t2 - d, a = 256 - t1 - c;
        const std::uint8_t* p0 = RowPointer(yi) + 3 * xi;
        const std::uint8_t* p1 = RowPointer(yi + 1) + 3 * xi;
        PixQuad q;
        q.blue = static_cast<std::uint8_t>((a * p0[0] + b * p0[3] + c * p1[0] + d * p1[3]) >> 8);
        q.green = static_cast<std::uint8_t>((a * p0[1] + b * p0[4] + c * p1[1] + d * p1[4]) >> 8);
        q.red = static_cast<std::uint8_t>((a * p0[2] + b * p0[5] + c * p1[2] + d * p1[5]) >> 8);
        if (m_pAlpha != nullptr) {
            q.reserved = static_cast<std::uint8_t>((a * AlphaAtUnchecked(xi, yi) + b * AlphaAtUnchecked(xi + 1, yi) +
                                                    c * AlphaAtUnchecked(xi, yi + 1) + d * AlphaAtUnchecked(xi + 1, yi + 1)) >> 8);
        }
        return q;
    }
    const float t1 = x - static_cast<float>(xi), t2 = y - static_cast<float>(yi);
    const float d = t1 * t2, b = t1 - d, c = t2 - d, a = 1 - t1 - c;
    const PixQuad s11 = PixelColorBeyond(xi, yi, mode, replacement);
    const PixQuad s21 = PixelColorBeyond(xi + 1, yi, mode, replacement);
    const PixQuad s12 = PixelColorBeyond(xi, yi + 1, mode, replacement);
    const PixQuad s22 = PixelColorBeyond(xi + 1, yi + 1, mode, replacement);
    auto mix = [&](std::uint8_t PixQuad::*channel) {
        return static_cast<std::uint8_t>(Clamp255(a * s11.*channel + b * s21.*channel + c * s12.*channel + d * s22.*channel));
    };
    PixQuad q;
    q.blue = mix(&PixQuad::blue);
    q.green = mix(&PixQuad::green);
    q.red = mix(&PixQuad::red);
    q.reserved = m_pAlpha != nullptr ? mix(&PixQuad::reserved) : 0;
    return q;
}

void CPixImage::AddWeightedColor(PixQuad color, float weight, float& red, float& green, float& blue, float& alpha)
{
    red += color.red * weight;
    green += color.green * weight;
    blue += color.blue * weight;
    alpha += color.reserved * weight;
}

// ---- Area sampling -----------------------------------------------------------------------

namespace {

// An area's centre and half sides are held within this: whatever lies beyond is outside every
// picture, and the area's index arithmetic stays inside TruncToInt's range.
constexpr float kAreaFar = 4e8f;

// A thin area is sampled pixel by pixel up to this far beyond the picture: further out every
// sample's neighbourhood (at most 12 wide) lies wholly outside it.
constexpr int kSampleReach = 7;

// NaN is far away, as for a sampled point.
float HeldCoordinate(float v)
{
    return v > -kAreaFar ? (v < kAreaFar ? v : kAreaFar) : -kAreaFar;
}

// NaN is no side at all, as the clamp of the sums takes NaN.
float HeldSide(float v)
{
    if (std::isnan(v))
        return 0;
    return v > -2 * kAreaFar ? (v < 2 * kAreaFar ? v : 2 * kAreaFar) : -2 * kAreaFar;
}

// One pixel index of an area's axis: where it is sampled and what it weighs.
struct AxisEntry {
    int index;
    float centre;
    float weight;
};

// One axis of an area: the pixel indices first..last that its sums run over, of which
// nearFirst..nearLast (within a margin of the picture) are summed one by one as ever. Beyond
// them a pixel's colour (or a thin area's sample) repeats with the overflow mode's period, so the
// far indices are summed once per class of that period, weighted by the number they stand for:
// an area costs what its part near the picture holds, however large it is.
struct AreaAxis {
    float lo = 0, hi = 0;      // the area's extent
    int first = 0, last = 0;   // pixel indices
    bool thin = false;         // weights are the cut of each pixel's square (else the corner weights)
    float firstWeight = 0, lastWeight = 0;
    int nearFirst = 0, nearLast = -1;
    int period = 1;

    AreaAxis(float low, float high, int size, bool thinArea, bool folds)
        : lo(low), hi(high), first(TruncToInt(low + 0.5f)), last(TruncToInt(high + 0.5f)), thin(thinArea)
    {
        const int margin = thin ? kSampleReach : 0;
        nearFirst = first > -margin ? first : -margin;
        nearLast = last < size - 1 + margin ? last : size - 1 + margin;
        period = folds && size > 0 ? size : 1;
    }

    AxisEntry At(int i) const
    {
        const float centre = static_cast<float>(i);
        if (thin) {
            const float l = lo > centre - 0.5f ? lo : centre - 0.5f;
            const float r = hi < centre + 0.5f ? hi : centre + 0.5f;
            return l <= r ? AxisEntry{i, (l + r) / 2, r - l} : AxisEntry{i, centre, 0};
        }
        const float inner = first < i && i < last ? 1.0f : 0.0f;
        return AxisEntry{i, centre, (i == first ? firstWeight : 0) + (i == last ? lastWeight : 0) + inner};
    }

    // The near indices one by one, then the far ones by class.
    template <class F>
    void ForEach(F f) const
    {
        ForEachNear(f);
        ForEachFar(f);
    }

    template <class F>
    void ForEachNear(F f) const
    {
        for (int i = nearFirst; i <= nearLast; ++i)
            f(At(i));
    }

    template <class F>
    void ForEachFar(F f) const
    {
        ForEachFarIn(first, std::min(nearFirst, last + 1) - 1, f);
        ForEachFarIn(std::max(nearLast, first - 1) + 1, last, f);
    }

private:
    // A pixel that weighs 1: an inner one of a wide area, one whose square a thin area covers.
    bool Whole(long long i) const
    {
        if (!thin)
            return first < i && i < last;
        return lo <= static_cast<double>(i) - 0.5 && static_cast<double>(i) + 0.5 <= hi;
    }

    // The ends one by one (at most a few pixels weigh less than 1), the run of whole ones by class.
    template <class F>
    void ForEachFarIn(long long a, long long b, F f) const
    {
        for (; a <= b && !Whole(a); ++a)
            f(At(static_cast<int>(a)));
        for (; a <= b && !Whole(b); --b)
            f(At(static_cast<int>(b)));
        // Each class stands at its member nearest the picture, where a float holds the index.
        const long long count = b - a + 1;
        const bool fromA = std::llabs(a) <= std::llabs(b);
        for (long long r = 0; r < count && r < period; ++r) {
            const int i = static_cast<int>(fromA ? a + r : b - r);
            f(AxisEntry{i, static_cast<float>(i), static_cast<float>((count - 1 - r) / period + 1)});
        }
    }
};

CPixRect2 PixelSquare(int i, int j)
{
    return CPixRect2(static_cast<float>(i) - 0.5f, static_cast<float>(j) - 0.5f, static_cast<float>(i) + 0.5f,
                     static_cast<float>(j) + 0.5f);
}

// Every pair of an index of each axis, weighed by the product of their weights: a thin area
// samples each pixel it cuts at the middle of the cut, a wide one takes each pixel's colour.
void SumArea(const CPixImage& image, const AreaAxis& ax, const AreaAxis& ay, InterpolationMode method,
             OverflowMode mode, const PixQuad* replacement, Sums& s)
{
    ay.ForEach([&](const AxisEntry& ey) {
        ax.ForEach([&](const AxisEntry& ex) {
            const float weight = ex.weight * ey.weight;
            if (weight == 0)
                return;
            const PixQuad c = ax.thin ? image.SampleAt(ex.centre, ey.centre, method, mode, replacement)
                                      : image.PixelColorBeyond(ex.index, ey.index, mode, replacement);
            CPixImage::AddWeightedColor(c, weight, s.red, s.green, s.blue, s.alpha);
        });
    });
}

}  // namespace

PixQuad CPixImage::SampleArea(float x, float y, float width, float height, InterpolationMode method, OverflowMode mode,
                              const PixQuad* replacement) const
{
    if (!(width > 1) && !(height > 1))
        return SampleAt(x, y, method, mode, replacement);
    x = HeldCoordinate(x);
    y = HeldCoordinate(y);
    width = HeldSide(width);
    height = HeldSide(height);
    // Stored as (left, low y) to (right, high y), so Surface is positive.
    const CPixRect2 area(x - width / 2, y - height / 2, x + width / 2, y + height / 2);
    const bool thin = width <= 1 || height <= 1;
    const bool folds = mode == kOverflowWrap || mode == kOverflowRepeat || mode == kOverflowMirror;
    AreaAxis ax(area.topLeft.x, area.bottomRight.x, Width(), thin, folds);
    AreaAxis ay(area.topLeft.y, area.bottomRight.y, Height(), thin, folds);
    if (!thin) {
        // The corner pixels weigh what the area covers of them, the edge pixels their covered
        // width or height, the inner ones 1.
        const CPixRect2 low = area.CrossSection(PixelSquare(ax.first, ay.first));
        const CPixRect2 high = area.CrossSection(PixelSquare(ax.last, ay.last));
        ax.firstWeight = low.Width();
        ax.lastWeight = high.Width();
        ay.firstWeight = low.Height();
        ay.lastWeight = high.Height();
    }
    Sums s;
    SumArea(*this, ax, ay, method, mode, replacement, s);
    const float surface = area.Surface();
    s.red /= surface;
    s.green /= surface;
    s.blue /= surface;
    s.alpha /= surface;
    return s.ToQuad(m_pAlpha != nullptr);
}
