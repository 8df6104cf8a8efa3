#include "image/CPixDeviceContext.h"

CPixDeviceContext::CPixDeviceContext(int width, int height) : m_nWidth(width), m_nHeight(height)
{
    const std::uint64_t size = static_cast<std::uint64_t>(width > 0 ? width : 0) * static_cast<std::uint64_t>(height > 0 ? height : 0);
    if (size == 0 || size * 4 > CPIX_MAX_MEMORY) {
        m_nWidth = m_nHeight = 0;
        return;
    }
    m_pixels.assign(static_cast<std::size_t>(size), PixQuad());
    m_clip = PixRect{0, 0, width, height};
}

PixQuad CPixDeviceContext::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return PixQuad();
    return m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth) + static_cast<std::size_t>(x)];
}

void CPixDeviceContext::Fill(PixQuad color)
{
    for (PixQuad& p : m_pixels)
        p = color;
}

void CPixDeviceContext::SetClipBox(const PixRect& clip)
{
    m_clip.left = clip.left < 0 ? 0 : clip.left;
    m_clip.top = clip.top < 0 ? 0 : clip.top;
    m_clip.right = clip.right > m_nWidth ? m_nWidth : clip.right;
    m_clip.bottom = clip.bottom > m_nHeight ? m_nHeight : clip.bottom;
    if (m_clip.right < m_clip.left)
        m_clip.right = m_clip.left;
    if (m_clip.bottom < m_clip.top)
        m_clip.bottom = m_clip.top;
}

bool CPixDeviceContext::IsVisible(int x, int y) const
{
    return x >= m_clip.left && x < m_clip.right && y >= m_clip.top && y < m_clip.bottom;
}

void CPixDeviceContext::Put(int x, int y, PixQuad s, std::uint32_t rop)
{
    if (!IsVisible(x, y))
        return;
    PixQuad& d = m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth) + static_cast<std::size_t>(x)];
    auto each = [&](auto f) {
        d.blue = static_cast<std::uint8_t>(f(d.blue, s.blue));
        d.green = static_cast<std::uint8_t>(f(d.green, s.green));
        d.red = static_cast<std::uint8_t>(f(d.red, s.red));
    };
    switch (rop) {
    case kRopSrcPaint: each([](int a, int b) { return a | b; }); break;
    case kRopSrcAnd: each([](int a, int b) { return a & b; }); break;
    case kRopSrcInvert: each([](int a, int b) { return a ^ b; }); break;
    case kRopNotSrcCopy: each([](int, int b) { return 255 - b; }); break;
    case kRopDstInvert: each([](int a, int) { return 255 - a; }); break;
    case kRopBlackness: each([](int, int) { return 0; }); break;
    case kRopWhiteness: each([](int, int) { return 255; }); break;
    default: each([](int, int b) { return b; }); break;  // SRCCOPY and operations not modelled
    }
}
