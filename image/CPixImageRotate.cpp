// Turning CPixImage: quarter and half turns, rotation by any angle, shear, radial distortion.
#include "image/CPixImage.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kTile = 64;  // quarter turns go by bands of 64 destination rows
constexpr int kBlock = 8;  // and within a band by blocks of 8 x 8 pixels

double Radians(float degrees)
{
    return -static_cast<double>(degrees) * std::acos(0.0) / 90;
}

// Guards float-to-int conversions of computed coordinates.
int TruncToInt(double v)
{
    if (!(v > -1e9))
        return -1000000000;
    return v > 1e9 ? 1000000000 : static_cast<int>(v);
}

// A plane of pixels (colour rows or alpha) and the plane it turns into.
struct TurnedPlane {
    const std::uint8_t* from;
    std::size_t fromStride;
    std::uint8_t* to;
    std::size_t toStride;
};

std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

void Store64(std::uint8_t* p, std::uint64_t v)
{
    std::memcpy(p, &v, sizeof(v));
}

// Transposes 8 x 8 bytes held as 8 little-endian words: afterwards byte i of word j is what
// byte j of word i was. Three rounds swap single bytes, pairs and quads across the diagonal.
void Transpose8x8(std::uint64_t (&r)[8])
{
    for (int i = 0; i < 8; i += 2) {
        const std::uint64_t t = ((r[i] >> 8) ^ r[i + 1]) & 0x00FF00FF00FF00FFull;
        r[i + 1] ^= t;
        r[i] ^= t << 8;
    }
    for (int k = 0; k < 4; ++k) {
        const int i = k + (k & 2);  // 0, 1, 4, 5
        const std::uint64_t t = ((r[i] >> 16) ^ r[i + 2]) & 0x0000FFFF0000FFFFull;
        r[i + 2] ^= t;
        r[i] ^= t << 16;
    }
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t t = ((r[i] >> 32) ^ r[i + 4]) & 0x00000000FFFFFFFFull;
        r[i + 4] ^= t;
        r[i] ^= t << 32;
    }
}

constexpr bool kLittleEndian = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// One block of a quarter turn (see TurnBand): n source columns from sx0 into destination columns
// x0 .. xEnd - 1, in that order. Whole blocks of bytes (alpha, 8-bit indexes) are transposed in
// registers; other blocks go pixel by pixel, a source row read in order into a destination
// column. A 3-byte pixel moves as 4 bytes where that is safe: the fourth byte read is inside the
// source rows unless the row is the last one, and the fourth byte written is the first of the
// next destination column, which is written afterwards (unless this column is the last).
template <std::size_t N>
void TurnBlock(const TurnedPlane& plane, int sx0, int n, int x0, int xEnd, int width, int height, bool clockwise)
{
    std::uint8_t* const firstRow = plane.to + static_cast<std::size_t>(clockwise ? width - 1 - sx0 : sx0) * plane.toStride;
    const std::ptrdiff_t step = clockwise ? -static_cast<std::ptrdiff_t>(plane.toStride) : static_cast<std::ptrdiff_t>(plane.toStride);
    auto sourceRow = [&](int x) {
        return plane.from + static_cast<std::size_t>(clockwise ? x : height - 1 - x) * plane.fromStride + N * static_cast<std::size_t>(sx0);
    };
    if (N == 1 && kLittleEndian && n == kBlock && xEnd - x0 == kBlock) {
        std::uint64_t r[8];
        for (int i = 0; i < 8; ++i)
            r[i] = Load64(sourceRow(x0 + i));
        Transpose8x8(r);  // word j: source column sx0 + j, destination columns x0 up
        std::uint8_t* d = firstRow + static_cast<std::size_t>(x0);
        for (int j = 0; j < 8; ++j, d += step)
            Store64(d, r[j]);
        return;
    }
    for (int x = x0; x < xEnd; ++x) {
        const std::uint8_t* s = sourceRow(x);
        std::uint8_t* d = firstRow + N * static_cast<std::size_t>(x);
        const bool wide = N == 3 && x + 1 < height && (clockwise || x > 0);
        if (wide) {
            for (int i = 0; i < n; ++i, s += N, d += step)
                std::memcpy(d, s, 4);
        } else {
            for (int i = 0; i < n; ++i, s += N, d += step)
                std::memcpy(d, s, N);
        }
    }
}

// One band of a quarter turn of a `width` x `height` plane of N-byte pixels: destination rows
// band .. band + kTile - 1. Source (sx, sy) lands on (sy, width - 1 - sx) clockwise, on
// (height - 1 - sy, sx) counter-clockwise. The band goes in blocks of kBlock x kBlock pixels, so
// a block touches only kBlock lines of each plane, which stay in the first-level cache whatever
// the row lengths (tiles of 64 rows a side fought over the same cache sets at 1024 pixels).
template <std::size_t N>
void TurnBand(const TurnedPlane& plane, int band, int width, int height, bool clockwise)
{
    const int sxEnd = clockwise ? width - band : (band + kTile < width ? band + kTile : width);
    const int sxBegin = clockwise ? (sxEnd > kTile ? sxEnd - kTile : 0) : band;
    for (int x0 = 0; x0 < height; x0 += kBlock) {
        const int xEnd = x0 + kBlock < height ? x0 + kBlock : height;
        for (int sx0 = sxBegin; sx0 < sxEnd; sx0 += kBlock)
            TurnBlock<N>(plane, sx0, sx0 + kBlock < sxEnd ? kBlock : sxEnd - sx0, x0, xEnd, width, height, clockwise);
    }
}

// The same band of a picture of 1 or 4 bits, index by index.
void TurnPackedBand(const CPixImage& source, CPixImage& out, int band, bool clockwise)
{
    const int w = source.Width(), h = source.Height();
    const int yEnd = band + kTile < w ? band + kTile : w;
    for (int tx = 0; tx < h; tx += kTile) {
        const int xEnd = tx + kTile < h ? tx + kTile : h;
        for (int y = band; y < yEnd; ++y) {
            for (int x = tx; x < xEnd; ++x)
                out.SetPixelIndex(x, y, clockwise ? source.PixelIndexUnchecked(w - 1 - y, x) : source.PixelIndexUnchecked(y, h - 1 - x));
        }
    }
}

}  // namespace

bool CPixImage::RotateQuarterLeft(CPixImage* destination)
{
    return TurnQuarter(false, destination);
}

bool CPixImage::RotateQuarterRight(CPixImage* destination)
{
    return TurnQuarter(true, destination);
}

bool CPixImage::TurnQuarter(bool clockwise, CPixImage* destination)
{
    if (m_pDib == nullptr)
        return false;
    const int w = Width(), h = Height(), bpp = Bpp();
    CPixImage out;
    if (!BuildLike(out, h, w, bpp == 8 || bpp == 24))  // whole bytes: the turn writes each one
        return false;
    if (HasAlpha())
        out.MakeAlphaPlane();
    const TurnedPlane rows{m_pBits, RowBytes(), out.m_pBits, out.RowBytes()};
    const TurnedPlane alpha{m_pAlpha, static_cast<std::size_t>(w), out.m_pAlpha, static_cast<std::size_t>(h)};
    const bool turnAlpha = m_pAlpha != nullptr && out.m_pAlpha != nullptr;
    for (int band = 0; band < w; band += kTile) {
        ReportRow(band, w);  // the destination's rows
        if (bpp == 24)
            TurnBand<3>(rows, band, w, h, clockwise);
        else if (bpp == 8)
            TurnBand<1>(rows, band, w, h, clockwise);
        else
            TurnPackedBand(*this, out, band, clockwise);
        if (turnAlpha)
            TurnBand<1>(alpha, band, w, h, clockwise);
    }
    return HandOver(out, destination);
}

void CPixImage::CopyPixelTo(CPixImage& out, int x, int y, int sx, int sy) const
{
    if (IsIndexed())
        out.SetPixelIndex(x, y, PixelIndex(sx, sy));
    else
        out.SetPixelColor(x, y, PixelColor(sx, sy, true), false);
    out.SetAlphaAt(x, y, AlphaAt(sx, sy));
}

void CPixImage::StoreSample(int x, int y, PixQuad color, bool indexedAlpha)
{
    if (IsIndexed()) {
        SetPixelColor(x, y, color, indexedAlpha);
        return;
    }
    std::uint8_t* p = PixelPointer(x, y);
    if (p == nullptr)
        return;
    p[0] = color.blue;
    p[1] = color.green;
    p[2] = color.red;
    SetAlphaAt(x, y, color.reserved);
}

bool CPixImage::RotateHalfTurn(CPixImage* destination)
{
    if (m_pDib == nullptr)
        return false;
    CPixImage out;
    if (!BuildLike(out, Width(), Height()))
        return false;
    if (HasAlpha())
        out.MakeAlphaPlane();
    const int w = Width(), h = Height();
    for (int y = 0; y < h; ++y) {
        ReportRow(y, h);
        for (int x = 0; x < w; ++x)
            CopyPixelTo(out, w - 1 - x, h - 1 - y, x, y);
    }
    return HandOver(out, destination);
}

bool CPixImage::RotateNearest(float degrees, CPixImage* destination)
{
    if (m_pDib == nullptr)
        return false;
    const double ang = Radians(degrees);
    const double c = std::cos(ang), s = std::sin(ang);
    const double corners[4][2] = {{0, 0}, {static_cast<double>(Width()), 0}, {0, static_cast<double>(Height())},
                                  {static_cast<double>(Width() - 1), static_cast<double>(Height())}};
    int minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (const auto& p : corners) {
        const int x = TruncToInt(std::floor(p[0] * c - p[1] * s));
        const int y = TruncToInt(std::floor(p[0] * s + p[1] * c));
        minX = x < minX ? x : minX;
        maxX = x > maxX ? x : maxX;
        minY = y < minY ? y : minY;
        maxY = y > maxY ? y : maxY;
    }
    const int newWidth = maxX + 2 - minX, newHeight = maxY + 2 - minY;
    CPixImage out;
    if (!BuildLike(out, newWidth, newHeight))
        return false;
    if (HasAlpha()) {
        out.MakeAlphaPlane();
        out.ClearAlpha();
    }
    // The loops run one column and row past the picture; SetPixel* drop those writes.
    for (int y = minY, newY = 0; y <= maxY + 2 && Escape() == 0; ++y, ++newY) {
        ReportRow(newY, newHeight);
        for (int x = minX, newX = 0; x <= maxX + 2; ++x, ++newX) {
            CopyPixelTo(out, newX, newY, TruncToInt(x * c + y * s - 0.5), TruncToInt(y * c - x * s - 0.5));
        }
    }
    return HandOver(out, destination);
}

bool CPixImage::RotateInterpolated(float degrees, CPixImage* destination, InterpolationMode method, OverflowMode mode,
                                   const PixQuad* replacement, bool optimiseRightAngles, bool keepSize)
{
    if (m_pDib == nullptr)
        return false;
    const double ang = Radians(degrees);
    const float c = static_cast<float>(std::cos(ang)), s = static_cast<float>(std::sin(ang));
    const float w = static_cast<float>(Width()), h = static_cast<float>(Height());
    float px[4] = {-0.5f, w - 0.5f, -0.5f, w - 0.5f};
    float py[4] = {-0.5f, -0.5f, h - 0.5f, h - 0.5f};
    if (!keepSize) {
        for (int i = 0; i < 4; ++i) {
            const float x = px[i], y = py[i];
            px[i] = x * c - y * s;
            py[i] = x * s + y * c;
        }
    }
    if (!keepSize && optimiseRightAngles) {
        auto near = [&](float x, float y) { return std::hypot(px[3] - x, py[3] - y) < 0.25f; };
        if (near(h - 0.5f, 0.5f - w))
            return RotateQuarterRight(destination);
        if (near(0.5f - h, w - 0.5f))
            return RotateQuarterLeft(destination);
        if (near(0.5f - w, 0.5f - h))
            return RotateHalfTurn(destination);
        if (near(w - 0.5f, h - 0.5f)) {
            if (destination != nullptr && destination != this)
                destination->CopyFrom(*this, true, true, true);
            return true;
        }
    }
    float minx = px[0], maxx = px[0], miny = py[0], maxy = py[0];
    for (int i = 1; i < 4; ++i) {
        minx = px[i] < minx ? px[i] : minx;
        maxx = px[i] > maxx ? px[i] : maxx;
        miny = py[i] < miny ? py[i] : miny;
        maxy = py[i] > maxy ? py[i] : maxy;
    }
    const int newWidth = TruncToInt(std::floor(maxx - minx + 0.5f));
    const int newHeight = TruncToInt(std::floor(maxy - miny + 0.5f));
    float ssx = ((maxx + minx) - static_cast<float>(newWidth - 1)) / 2;
    float ssy = ((maxy + miny) - static_cast<float>(newHeight - 1)) / 2;
    // Keeping the size, the picture turns about the middle of its pixel centres, (w - 1) / 2:
    // w / 2 would shift every turn but the identity by half a pixel.
    if (keepSize) {
        ssx -= (w - 1) / 2;
        ssy -= (h - 1) / 2;
    }
    CPixImage out;
    if (!BuildLike(out, newWidth, newHeight))
        return false;
    if (HasAlpha())
        out.MakeAlphaPlane();
    PixQuad white;
    white.blue = white.green = white.red = 255;
    const PixQuad* fill = replacement != nullptr ? replacement : &white;
    const float shiftX = keepSize ? static_cast<float>(newWidth - 1) / 2 : 0;
    const float shiftY = keepSize ? static_cast<float>(newHeight - 1) / 2 : 0;
    float y = ssy;
    for (int row = 0; row < newHeight && Escape() == 0; ++row, y += 1) {
        ReportRow(row, newHeight);
        float x = ssx;
        for (int col = 0; col < newWidth; ++col, x += 1)
            out.StoreSample(col, row, SampleAt(c * x + s * y + shiftX, c * y - s * x + shiftY, method, mode, fill), HasAlpha());
    }
    return HandOver(out, destination);
}

bool CPixImage::Shear(float xGain, float yGain, int xPivot, int yPivot, bool interpolate)
{
    if (m_pDib == nullptr)
        return false;
    CPixImage out(*this, HasSelection(), true, true);
    if (!out.HasPixels())
        return false;
    const PixRect area = SelectionArea();
    for (int y = area.bottom; y < area.top && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = area.left; x < area.right; ++x) {
            if (!IsSelected(x, y))
                continue;
            // 64-bit differences: a pivot may be any int.
            const float nx = static_cast<float>(x) + xGain * static_cast<float>(static_cast<long long>(y) - yPivot);
            const float ny = static_cast<float>(y) + yGain * static_cast<float>(static_cast<long long>(x) - xPivot);
            if (interpolate) {
                out.SetPixelColor(x, y, SampleAt(nx, ny, kInterpBilinear, kOverflowBackground, nullptr), true);
                continue;
            }
            CopyPixelTo(out, x, y, TruncToInt(nx), TruncToInt(ny));
        }
    }
    return HandOver(out, nullptr);
}

bool CPixImage::RadialDistort(int kind, int radius, float factor)
{
    if (m_pDib == nullptr)
        return false;
    CPixImage out(*this, HasSelection(), true, true);
    if (!out.HasPixels())
        return false;
    const PixRect box = SelectionArea();
    const int xMid = Width() / 2, yMid = Height() / 2;
    if (radius == 0) {
        const double dx = xMid - box.left, dy = yMid - box.bottom;
        radius = TruncToInt(std::sqrt(dx * dx + dy * dy));
    }
    if (factor == 0)
        factor = 1;
    for (int y = box.bottom; y < box.top && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = box.left; x < box.right; ++x) {
            if (!IsSelected(x, y))
                continue;
            const double dx = xMid - x, dy = yMid - y;
            const double r = std::sqrt(dx * dx + dy * dy);
            int sx = -1, sy = -1;
            if (r < radius) {
                double angle = std::atan2(dy, dx);
                double reach = r;
                if (kind == 0) {
                    reach = r * r / radius;
                } else if (kind == 1) {
                    reach = std::sqrt(r * radius);
                } else if (kind == 2) {
                    angle += r / factor;
                }
                if (kind >= 0 && kind <= 2) {
                    sx = xMid + TruncToInt(reach * std::cos(angle));
                    sy = yMid - TruncToInt(reach * std::sin(angle));
                } else if (kind == 3) {
                    sx = TruncToInt(std::fabs(angle * box.right / 6.2831852));
                    sy = TruncToInt(std::fabs(r * box.top / radius));
                } else {
                    sx = x + (x % 32) - 16;
                    sy = y;
                }
            }
            CopyPixelTo(out, x, y, sx, sy);
        }
    }
    return HandOver(out, nullptr);
}
