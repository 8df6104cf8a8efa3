// CPixDeviceContext.h: an in-memory drawing surface, where Windows programs pass a GDI DC.
#pragma once

#include "image/CPixImage.h"

#include <vector>

// Raster operations of the blits (the Windows codes, so callers pass the numbers they know).
constexpr std::uint32_t kRopSrcCopy = 0x00CC0020;
constexpr std::uint32_t kRopSrcPaint = 0x00EE0086;    // or
constexpr std::uint32_t kRopSrcAnd = 0x008800C6;
constexpr std::uint32_t kRopSrcInvert = 0x00660046;   // xor
constexpr std::uint32_t kRopNotSrcCopy = 0x00330008;
constexpr std::uint32_t kRopDstInvert = 0x00550009;
constexpr std::uint32_t kRopBlackness = 0x00000042;
constexpr std::uint32_t kRopWhiteness = 0x00FF0062;

// A 32-bit framebuffer (blue, green, red, reserved per pixel) with rows top-down as on a
// screen, x to the right and y down, and a clip rectangle (right and bottom exclusive; in a
// PixRect here top is the smaller y). Drawing outside the clip rectangle changes nothing.
class CPixDeviceContext {
public:
    CPixDeviceContext(int width, int height);

    bool IsValid() const { return !m_pixels.empty(); }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    PixQuad Pixel(int x, int y) const;                     // all zero outside
    void Fill(PixQuad color);                              // the whole surface, ignoring the clip
    PixRect ClipBox() const { return m_clip; }
    void SetClipBox(const PixRect& clip);                  // limited to the surface
    bool IsVisible(int x, int y) const;
    // Combines one source colour into (x, y) by a raster operation; outside the clip: nothing.
    void Put(int x, int y, PixQuad source, std::uint32_t rop = kRopSrcCopy);
    // Stretches a source of sourceWidth x sourceHeight pixels, read top-down by fetch(sx, sy),
    // onto the target rectangle by nearest pixel (the colour-on-colour stretch mode).
    template <typename Fetch>
    void StretchFrom(const PixRect& target, int sourceWidth, int sourceHeight, Fetch fetch, std::uint32_t rop);

private:
    int m_nWidth, m_nHeight;
    std::vector<PixQuad> m_pixels;
    PixRect m_clip;
};

template <typename Fetch>
void CPixDeviceContext::StretchFrom(const PixRect& target, int sourceWidth, int sourceHeight, Fetch fetch, std::uint32_t rop)
{
    const long long w = static_cast<long long>(target.right) - target.left;
    const long long h = static_cast<long long>(target.bottom) - target.top;
    if (w == 0 || h == 0 || sourceWidth <= 0 || sourceHeight <= 0)
        return;
    // Only the visible part is walked; a negative size mirrors, as StretchBlt does.
    const long long x0 = w > 0 ? target.left : target.right + 1, x1 = w > 0 ? target.right : target.left + 1;
    const long long y0 = h > 0 ? target.top : target.bottom + 1, y1 = h > 0 ? target.bottom : target.top + 1;
    for (long long y = y0 > m_clip.top ? y0 : m_clip.top; y < y1 && y < m_clip.bottom; ++y) {
        const long long sy = (y - target.top) * sourceHeight / h;
        for (long long x = x0 > m_clip.left ? x0 : m_clip.left; x < x1 && x < m_clip.right; ++x) {
            const long long sx = (x - target.left) * sourceWidth / w;
            Put(static_cast<int>(x), static_cast<int>(y), fetch(static_cast<int>(sx), static_cast<int>(sy)), rop);
        }
    }
}
