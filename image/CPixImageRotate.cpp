// Turning CPixImage: quarter and half turns, rotation by any angle, shear, radial distortion.
#include "image/CPixImage.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kTile = 64;  // square tiles keep both the read and the write side in cache

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

}  // namespace

// Copies every pixel (and alpha) of `out` from `source` at sourceOf(x, y), tile by tile.
template <typename SourceOf>
static void CopyByTiles(CPixImage& source, CPixImage& out, SourceOf sourceOf)
{
    const int w = out.Width(), h = out.Height();
    const int bpp = source.Bpp();
    const std::size_t sourceRow = source.RowBytes();
    const std::uint8_t* sourceBits = source.RowPointer(0);
    const std::uint8_t* sourceAlpha = source.AlphaPointer(0, 0);
    std::uint8_t* outAlpha = out.AlphaPointer(0, 0);
    const std::size_t sourceWidth = static_cast<std::size_t>(source.Width());
    for (int ty = 0; ty < h; ty += kTile) {
        source.SetProgress(ty * 100 / h);
        const int yEnd = ty + kTile < h ? ty + kTile : h;
        for (int tx = 0; tx < w; tx += kTile) {
            const int xEnd = tx + kTile < w ? tx + kTile : w;
            for (int y = ty; y < yEnd; ++y) {
                std::uint8_t* row = out.RowPointer(y);
                for (int x = tx; x < xEnd; ++x) {
                    int sx = 0, sy = 0;
                    sourceOf(x, y, sx, sy);
                    const std::uint8_t* from = sourceBits + static_cast<std::size_t>(sy) * sourceRow;
                    if (bpp == 24) {
                        row[3 * x] = from[3 * sx];
                        row[3 * x + 1] = from[3 * sx + 1];
                        row[3 * x + 2] = from[3 * sx + 2];
                    } else if (bpp == 8) {
                        row[x] = from[sx];
                    } else {
                        out.SetPixelIndex(x, y, source.PixelIndexUnchecked(sx, sy));
                    }
                    if (outAlpha != nullptr && sourceAlpha != nullptr)
                        outAlpha[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] =
                            sourceAlpha[static_cast<std::size_t>(sy) * sourceWidth + static_cast<std::size_t>(sx)];
                }
            }
        }
    }
}

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
    CPixImage out;
    if (!BuildLike(out, Height(), Width()))
        return false;
    if (HasAlpha())
        out.MakeAlphaPlane();
    const int newWidth = Height(), newHeight = Width();
    if (clockwise) {
        CopyByTiles(*this, out, [newHeight](int x, int y, int& sx, int& sy) {
            sx = newHeight - 1 - y;
            sy = x;
        });
    } else {
        CopyByTiles(*this, out, [newWidth](int x, int y, int& sx, int& sy) {
            sx = y;
            sy = newWidth - 1 - x;
        });
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
