// Cropping, borders and thumbnails of CPixImage.
#include "image/CPixImage.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

// An image of this one's bit count and type with its palette and transparency, but otherwise
// the defaults of a new image (the crops and borders do not take the information block).
bool BuildPlain(const CPixImage& source, CPixImage& out, int width, int height)
{
    if (out.Create(width, height, source.Bpp(), source.Type()) == nullptr)
        return false;
    if (source.PalettePointer() != nullptr)
        out.SetPalette(source.PalettePointer(), source.ColorCount());
    out.SetTransparentIndex(source.TransparentIndex());
    out.SetTransparentColor(source.TransparentColor());
    return true;
}

}  // namespace

bool CPixImage::CropRect(int left, int top, int right, int bottom, CPixImage* destination)
{
    if (m_pDib == nullptr)
        return false;
    int startX = Clamp(left, 0, Width()), endX = Clamp(right, 0, Width());
    int startY = Height() - Clamp(top, 0, Height()), endY = Height() - Clamp(bottom, 0, Height());
    if (startX == endX || startY == endY)
        return false;
    if (startX > endX)
        std::swap(startX, endX);
    if (startY > endY)
        std::swap(startY, endY);
    CPixImage out;
    if (!BuildPlain(*this, out, endX - startX, endY - startY))
        return false;
    const int bits = Bpp();
    for (int y = startY; y < endY; ++y) {
        ReportRow(y, endY);
        const int to = y - startY;
        if (bits == 8 || bits == 24) {
            std::memcpy(out.RowPointer(to), RowPointer(y) + static_cast<std::size_t>(bits) * static_cast<std::size_t>(startX) / 8,
                        static_cast<std::size_t>(out.Width()) * static_cast<std::size_t>(bits) / 8);
            continue;
        }
        for (int x = startX; x < endX; ++x)
            out.SetPixelIndex(x - startX, to, PixelIndexUnchecked(x, y));
    }
    if (HasAlpha()) {
        out.MakeAlphaPlane();
        if (!out.HasAlpha())
            return false;
        for (int y = startY; y < endY; ++y)
            std::memcpy(out.AlphaPointer(0, y - startY), AlphaPointer(startX, y), static_cast<std::size_t>(out.Width()));
    }
    return HandOver(out, destination);
}

bool CPixImage::CropRect(const PixRect& rect, CPixImage* destination)
{
    return CropRect(rect.left, rect.top, rect.right, rect.bottom, destination);
}

namespace {

// trunc(v) when it is an int, else nothing: a corner there cannot lie inside any picture.
bool TruncToInt(double v, long long& out)
{
    if (!(v > -2147483649.0 && v < 2147483648.0))
        return false;
    out = static_cast<long long>(v);
    return true;
}

int SaturatedSum(int a, int b)
{
    const long long sum = static_cast<long long>(a) + b;
    return sum > INT_MAX ? INT_MAX : sum < INT_MIN ? INT_MIN : static_cast<int>(sum);
}

}  // namespace

// The corners are worked out in 64 bits from doubles; an angle that is not finite, or corners
// beyond the int range, cannot give corners inside the picture and fail as such.
bool CPixImage::CropRotated(int left, int top, int width, int height, float radians, CPixImage* destination)
{
    if (m_pDib == nullptr || !std::isfinite(radians))
        return false;
    const double c = std::cos(radians), s = std::sin(radians);
    if (std::fabs(radians) < 0.0002f)
        return CropRect(left, top, SaturatedSum(left, width), SaturatedSum(top, height), destination);
    long long hs = 0, wc = 0, slope = 0;
    if (!TruncToInt(height * s, hs) || !TruncToInt(width * c, wc) || !TruncToInt(height * c + width * s, slope))
        return false;
    const long long startX = std::min<long long>(left, left - hs);
    const long long endX = left + wc;
    const long long endY = top + slope;
    auto inside = [this](long long x, long long y) {
        return x >= 0 && y >= 0 && x < Width() && y < Height();
    };
    if (!inside(startX, top) || !inside(endX, endY))
        return false;
    CPixImage copy(*this, true, false, true);
    if (!copy.HasPixels() || !copy.CropRect(static_cast<int>(startX), top, static_cast<int>(endX), static_cast<int>(endY)) ||
        !copy.RotateNearest(static_cast<float>(-radians * 57.29577951308232)))
        return false;
    const long long w = copy.Width(), h = copy.Height();
    // The centred rectangle: (w - width) / 2 .. (w + width) / 2 by (h - height) / 2 .. (h + height) / 2.
    auto half = [](long long v) { return static_cast<int>(std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, v / 2))); };
    if (!copy.CropRect(half(w - width), half(h + height), half(w + width), half(h - height)))
        return false;
    return HandOver(copy, destination);
}

bool CPixImage::ExpandBorders(int left, int top, int right, int bottom, PixQuad canvas, CPixImage* destination)
{
    if (m_pDib == nullptr || left < 0 || top < 0 || right < 0 || bottom < 0)
        return false;
    const long long newWidth = static_cast<long long>(Width()) + left + right;
    const long long newHeight = static_cast<long long>(Height()) + top + bottom;
    if (newWidth > INT_MAX || newHeight > INT_MAX)
        return false;
    CPixImage out;
    if (!BuildPlain(*this, out, static_cast<int>(newWidth), static_cast<int>(newHeight)))
        return false;
    const int bits = Bpp();
    if (bits < 8) {
        const std::uint8_t pick = out.NearestIndex(canvas);
        for (int y = 0; y < out.Height(); ++y) {
            ReportRow(y, out.Height());
            for (int x = 0; x < out.Width(); ++x) {
                const bool inside = x >= left && x < left + Width() && y >= bottom && y < bottom + Height();
                out.SetPixelIndex(x, y, inside ? PixelIndexUnchecked(x - left, y - bottom) : pick);
            }
        }
        return HandOver(out, destination);
    }
    if (bits == 8) {
        std::memset(out.RowPointer(0), out.NearestIndex(canvas), out.Header().imageSize);
    } else {
        for (int y = 0; y < out.Height(); ++y) {
            std::uint8_t* row = out.RowPointer(y);
            for (int x = 0; x < out.Width(); ++x) {
                row[3 * x] = canvas.blue;
                row[3 * x + 1] = canvas.green;
                row[3 * x + 2] = canvas.red;
            }
        }
    }
    const std::size_t pixelBytes = static_cast<std::size_t>(bits / 8);
    for (int y = 0; y < Height(); ++y) {
        ReportRow(y, Height());
        std::memcpy(out.RowPointer(y + bottom) + pixelBytes * static_cast<std::size_t>(left), RowPointer(y),
                    pixelBytes * static_cast<std::size_t>(Width()));
    }
    return HandOver(out, destination);
}

bool CPixImage::ExpandTo(int newWidth, int newHeight, PixQuad canvas, CPixImage* destination)
{
    if (m_pDib == nullptr || newWidth < Width() || newHeight < Height())
        return false;
    const int left = (newWidth - Width()) / 2;
    const int top = (newHeight - Height()) / 2;
    return ExpandBorders(left, top, newWidth - Width() - left, newHeight - Height() - top, canvas, destination);
}

bool CPixImage::FitThumbnail(int newWidth, int newHeight, PixQuad canvas, CPixImage* destination)
{
    if (m_pDib == nullptr || newWidth < 1 || newHeight <= 0)
        return false;
    CPixImage copy(*this, true, true, true);
    if (!copy.HasPixels())
        return false;
    if (Width() > newWidth || Height() > newHeight) {
        const float w = static_cast<float>(Width()), h = static_cast<float>(Height());
        const float scale = w < h * (static_cast<float>(newWidth) / static_cast<float>(newHeight))
                                ? static_cast<float>(newHeight) / h
                                : static_cast<float>(newWidth) / w;
        // A very long, thin picture must keep at least one pixel across.
        const int fitWidth = std::max(1, std::min(newWidth, static_cast<int>(w * scale)));
        const int fitHeight = std::max(1, std::min(newHeight, static_cast<int>(h * scale)));
        if (!copy.Resize(fitWidth, fitHeight, 0))
            return false;
    }
    if (!copy.ExpandTo(newWidth, newHeight, canvas))
        return false;
    return HandOver(copy, destination);
}
