// Alpha plane, palette and pixel access of CPixImage.
#include "image/CPixImage.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

std::size_t PlaneIndex(int x, int y, int width)
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

}  // namespace

// ---- Alpha plane -------------------------------------------------------------------------

void CPixImage::MakeAlphaPlane()
{
    if (m_pAlpha != nullptr || Width() <= 0 || Height() <= 0)
        return;
    const std::size_t size = PlaneIndex(0, Height(), Width());
    m_pAlpha = static_cast<std::uint8_t*>(std::malloc(size));
    if (m_pAlpha != nullptr)
        std::memset(m_pAlpha, 255, size);
}

void CPixImage::DeleteAlphaPlane()
{
    std::free(m_pAlpha);
    m_pAlpha = nullptr;
}

void CPixImage::FillAlpha(std::uint8_t level)
{
    if (m_pAlpha != nullptr)
        std::memset(m_pAlpha, level, PlaneIndex(0, Height(), Width()));
}

void CPixImage::InvertAlpha()
{
    if (m_pAlpha == nullptr)
        return;
    const std::size_t size = PlaneIndex(0, Height(), Width());
    for (std::size_t i = 0; i < size; ++i)
        m_pAlpha[i] = static_cast<std::uint8_t>(255 - m_pAlpha[i]);
}

void CPixImage::SetAlphaAt(int x, int y, std::uint8_t level)
{
    if (m_pAlpha != nullptr && IsInside(x, y))
        m_pAlpha[PlaneIndex(x, y, Width())] = level;
}

std::uint8_t CPixImage::AlphaAt(int x, int y) const
{
    if (m_pAlpha == nullptr || !IsInside(x, y))
        return 0;
    return m_pAlpha[PlaneIndex(x, y, Width())];
}

std::uint8_t CPixImage::AlphaAtUnchecked(int x, int y) const
{
    return m_pAlpha[PlaneIndex(x, y, Width())];
}

std::uint8_t* CPixImage::AlphaPointer(int x, int y) const
{
    if (m_pAlpha == nullptr || !IsInside(x, y))
        return nullptr;
    return m_pAlpha + PlaneIndex(x, y, Width());
}

bool CPixImage::CopyAlphaFrom(const CPixImage& source)
{
    if (source.m_pAlpha == nullptr || source.Width() != Width() || source.Height() != Height())
        return false;
    MakeAlphaPlane();
    if (m_pAlpha == nullptr)
        return false;
    std::memcpy(m_pAlpha, source.m_pAlpha, PlaneIndex(0, Height(), Width()));
    m_info.alphaMax = source.m_info.alphaMax;
    return true;
}

bool CPixImage::AlphaFromGreyImage(const CPixImage& source)
{
    if (!source.IsGreyPalette() || source.Bpp() != 8 || source.Width() != Width() || source.Height() != Height())
        return false;
    MakeAlphaPlane();
    if (m_pAlpha == nullptr)
        return false;
    for (int y = 0; y < Height(); ++y)
        std::memcpy(m_pAlpha + PlaneIndex(0, y, Width()), source.RowPointer(y), static_cast<std::size_t>(Width()));
    return true;
}

bool CPixImage::FlipAlpha()
{
    if (m_pAlpha == nullptr)
        return false;
    const std::size_t w = static_cast<std::size_t>(Width());
    auto* row = static_cast<std::uint8_t*>(std::malloc(w));
    if (row == nullptr)
        return false;
    for (int top = Height() - 1, bottom = 0; bottom < top; --top, ++bottom) {
        std::memcpy(row, m_pAlpha + PlaneIndex(0, top, Width()), w);
        std::memcpy(m_pAlpha + PlaneIndex(0, top, Width()), m_pAlpha + PlaneIndex(0, bottom, Width()), w);
        std::memcpy(m_pAlpha + PlaneIndex(0, bottom, Width()), row, w);
    }
    std::free(row);
    return true;
}

bool CPixImage::MirrorAlpha()
{
    if (m_pAlpha == nullptr)
        return false;
    for (int y = 0; y < Height(); ++y) {
        std::uint8_t* row = m_pAlpha + PlaneIndex(0, y, Width());
        for (int l = 0, r = Width() - 1; l < r; ++l, --r) {
            const std::uint8_t t = row[l];
            row[l] = row[r];
            row[r] = t;
        }
    }
    return true;
}

bool CPixImage::AlphaToImage(CPixImage* target) const
{
    if (m_pAlpha == nullptr || target == nullptr)
        return false;
    CPixImage grey(Width(), Height(), 8, m_info.type);
    if (!grey.HasPixels())
        return false;
    for (int y = 0; y < Height(); ++y)
        std::memcpy(grey.RowPointer(y), m_pAlpha + PlaneIndex(0, y, Width()), static_cast<std::size_t>(Width()));
    grey.SetGreyPalette();
    return target->TakeOver(grey);
}

bool CPixImage::PaletteAlphaToImage(CPixImage* target) const
{
    if (target == nullptr || !PaletteHasAlpha())
        return false;
    CPixImage grey(Width(), Height(), 8, m_info.type);
    if (!grey.HasPixels())
        return false;
    const PixQuad* pal = PalettePointer();
    for (int y = 0; y < Height(); ++y) {
        std::uint8_t* row = grey.RowPointer(y);
        for (int x = 0; x < Width(); ++x) {
            const std::uint8_t index = PixelIndexUnchecked(x, y);
            row[x] = index < ColorCount() ? pal[index].reserved : 0;
        }
    }
    grey.SetGreyPalette();
    return target->TakeOver(grey);
}

bool CPixImage::FlattenAlpha()
{
    const bool paletteAlpha = PaletteHasAlpha();
    if (m_pDib == nullptr || (m_pAlpha == nullptr && !paletteAlpha))
        return false;
    const PixQuad back = TransparentColor();
    auto opacity = [&](int x, int y) {
        return m_pAlpha != nullptr ? m_pAlpha[PlaneIndex(x, y, Width())] * m_info.alphaMax / 255 : m_info.alphaMax;
    };
    auto blend = [](int channel, int backChannel, int a) {
        return static_cast<std::uint8_t>((channel * a + backChannel * (255 - a)) / 255);
    };
    if (Bpp() == 24) {
        for (int y = 0; y < Height(); ++y) {
            std::uint8_t* p = RowPointer(y);
            for (int x = 0; x < Width(); ++x, p += 3) {
                const int a = opacity(x, y);
                p[0] = blend(p[0], back.blue, a);
                p[1] = blend(p[1], back.green, a);
                p[2] = blend(p[2], back.red, a);
            }
        }
        DeleteAlphaPlane();
        return true;
    }
    // Indexed pictures cannot hold the blended colours: they become true colour.
    CPixImage flat(m_info.type);
    flat.CopyInfo(*this);
    if (flat.Create(Width(), Height(), 24, m_info.type) == nullptr)
        return false;
    flat.SetXDpi(XDpi());
    flat.SetYDpi(YDpi());
    flat.SetTransparentColor(back);
    for (int y = 0; y < Height(); ++y) {
        std::uint8_t* p = flat.RowPointer(y);
        for (int x = 0; x < Width(); ++x, p += 3) {
            const PixQuad c = PixelColorUnchecked(x, y);
            int a = opacity(x, y);
            if (paletteAlpha)
                a = a * c.reserved / 255;
            p[0] = blend(c.blue, back.blue, a);
            p[1] = blend(c.green, back.green, a);
            p[2] = blend(c.red, back.red, a);
        }
    }
    return TakeOver(flat);
}

void CPixImage::ClearPaletteAlpha()
{
    PixQuad* pal = PalettePointer();
    for (std::uint32_t i = 0; pal != nullptr && i < ColorCount(); ++i)
        pal[i].reserved = 0;
    m_info.lastColorValid = 0;
}

bool CPixImage::PaletteHasAlpha() const
{
    const PixQuad* pal = PalettePointer();
    for (std::uint32_t i = 0; pal != nullptr && i < ColorCount(); ++i) {
        if (pal[i].reserved != 0)
            return true;
    }
    return false;
}

// ---- Palette -----------------------------------------------------------------------------

PixQuad* CPixImage::PalettePointer() const
{
    if (m_pDib == nullptr || m_header.colorsUsed == 0)
        return nullptr;
    return reinterpret_cast<PixQuad*>(m_pDib + 40);
}

PixQuad CPixImage::PaletteEntry(std::uint32_t index) const
{
    const PixQuad* pal = PalettePointer();
    if (pal == nullptr || index >= ColorCount())
        return PixQuad();
    return pal[index];
}

bool CPixImage::PaletteEntryParts(std::uint32_t index, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) const
{
    if (PalettePointer() == nullptr)
        return false;
    const PixQuad q = PaletteEntry(index);
    if (red != nullptr)
        *red = q.red;
    if (green != nullptr)
        *green = q.green;
    if (blue != nullptr)
        *blue = q.blue;
    return true;
}

void CPixImage::SetPaletteEntry(std::uint32_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                std::uint8_t alpha)
{
    PixQuad q;
    q.red = red;
    q.green = green;
    q.blue = blue;
    q.reserved = alpha;
    SetPaletteQuad(index, q);
}

void CPixImage::SetPaletteQuad(std::uint32_t index, PixQuad quad)
{
    PixQuad* pal = PalettePointer();
    if (pal == nullptr || index >= ColorCount())
        return;
    pal[index] = quad;
    m_info.lastColorValid = 0;
}

void CPixImage::SetPaletteRgb(std::uint32_t index, std::uint32_t packed)
{
    SetPaletteQuad(index, RgbToQuad(packed));
}

void CPixImage::SetPaletteArrays(std::uint32_t count, const std::uint8_t* red, const std::uint8_t* green,
                                 const std::uint8_t* blue)
{
    if (red == nullptr)
        return;
    if (green == nullptr)
        green = red;
    if (blue == nullptr)
        blue = red;
    const std::uint32_t n = count < ColorCount() ? count : ColorCount();
    for (std::uint32_t i = 0; i < n; ++i)
        SetPaletteEntry(i, red[i], green[i], blue[i], 0);
}

void CPixImage::SetPaletteTriples(const std::uint8_t* triples, std::uint32_t count)
{
    if (triples == nullptr)
        return;
    const std::uint32_t n = count < ColorCount() ? count : ColorCount();
    for (std::uint32_t i = 0; i < n; ++i)
        SetPaletteEntry(i, triples[3 * i], triples[3 * i + 1], triples[3 * i + 2], 0);
}

void CPixImage::SetPalette(const PixQuad* quads, std::uint32_t count)
{
    PixQuad* pal = PalettePointer();
    if (pal == nullptr || quads == nullptr || quads == pal)
        return;
    const std::uint32_t n = count < ColorCount() ? count : ColorCount();
    std::memmove(pal, quads, 4u * n);
    m_info.lastColorValid = 0;
}

void CPixImage::SetGreyPalette()
{
    const std::uint32_t n = ColorCount();
    if (n < 2)
        return;
    for (std::uint32_t i = 0; i < n; ++i) {
        const auto level = static_cast<std::uint8_t>((255 / (n - 1)) * i);
        SetPaletteEntry(i, level, level, level, 0);
    }
}

namespace {

// The 16 colours of the classic VGA text palette, red, green, blue.
constexpr std::uint8_t kVgaColors[16][3] = {
    {0, 0, 0},       {0, 0, 170},     {0, 170, 0},     {0, 170, 170},
    {170, 0, 0},     {170, 0, 170},   {170, 85, 0},    {170, 170, 170},
    {85, 85, 85},    {85, 85, 255},   {85, 255, 85},   {85, 255, 255},
    {255, 85, 85},   {255, 85, 255},  {255, 255, 85},  {255, 255, 255},
};

}  // namespace

void CPixImage::SetStandardPalette()
{
    if (PalettePointer() == nullptr)
        return;
    if (Bpp() == 4) {
        for (std::uint32_t i = 0; i < 16; ++i)
            SetPaletteEntry(i, kVgaColors[i][0], kVgaColors[i][1], kVgaColors[i][2], 0);
    } else if (Bpp() == 8) {
        // A 6 x 6 x 6 colour cube (index red x 36 + green x 6 + blue), then 40 greys that fall
        // between the cube's own six.
        for (std::uint32_t i = 0; i < 216; ++i) {
            SetPaletteEntry(i, static_cast<std::uint8_t>(i / 36 * 51), static_cast<std::uint8_t>(i / 6 % 6 * 51),
                            static_cast<std::uint8_t>(i % 6 * 51), 0);
        }
        for (std::uint32_t i = 0; i < 40; ++i) {
            const auto level = static_cast<std::uint8_t>((i + 1) * 255 / 41);
            SetPaletteEntry(216 + i, level, level, level, 0);
        }
    }
}

void CPixImage::BlendPalette(std::uint32_t packed, int percent)
{
    PixQuad* pal = PalettePointer();
    if (pal == nullptr)
        return;
    const int p = percent > 100 ? 100 : percent < 0 ? 0 : percent;
    const PixQuad c = RgbToQuad(packed);
    for (std::uint32_t i = 0; i < ColorCount(); ++i) {
        pal[i].blue = static_cast<std::uint8_t>((pal[i].blue * (100 - p) + c.blue * p) / 100);
        pal[i].green = static_cast<std::uint8_t>((pal[i].green * (100 - p) + c.green * p) / 100);
        pal[i].red = static_cast<std::uint8_t>((pal[i].red * (100 - p) + c.red * p) / 100);
    }
    m_info.lastColorValid = 0;
}

bool CPixImage::IsGreyPalette() const
{
    const PixQuad* pal = PalettePointer();
    if (pal == nullptr)
        return false;
    for (std::uint32_t i = 0; i < ColorCount(); ++i) {
        if (pal[i].blue != i || pal[i].green != i || pal[i].red != i)
            return false;
    }
    return true;
}

bool CPixImage::IsSamePalette(const CPixImage& other, bool compareAlpha) const
{
    if (ColorCount() == 0 || ColorCount() != other.ColorCount() || PalettePointer() == nullptr ||
        other.PalettePointer() == nullptr)
        return false;
    for (std::uint32_t i = 0; i < ColorCount(); ++i) {
        const PixQuad a = PaletteEntry(i);
        const PixQuad b = other.PaletteEntry(i);
        if (a.blue != b.blue || a.green != b.green || a.red != b.red || (compareAlpha && a.reserved != b.reserved))
            return false;
    }
    return true;
}

void CPixImage::SwapIndex(std::uint8_t a, std::uint8_t b)
{
    PixQuad* pal = PalettePointer();
    if (pal == nullptr || a >= ColorCount() || b >= ColorCount() || a == b)
        return;
    const PixQuad t = pal[a];
    pal[a] = pal[b];
    pal[b] = t;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            const std::uint8_t i = PixelIndexUnchecked(x, y);
            if (i == a)
                SetPixelIndex(x, y, b);
            else if (i == b)
                SetPixelIndex(x, y, a);
        }
    }
    m_info.lastColorValid = 0;
}

void CPixImage::SetImportantColors(std::uint32_t count)
{
    if (count == 0 || count > 256) {
        m_header.colorsImportant = 0;
    } else if (Bpp() == 1) {
        m_header.colorsImportant = count < 2 ? count : 2;
    } else if (Bpp() == 4) {
        m_header.colorsImportant = count < 16 ? count : 16;
    } else if (Bpp() == 8) {
        m_header.colorsImportant = count;
    }
}

std::uint8_t CPixImage::NearestIndex(PixQuad color)
{
    const PixQuad* pal = PalettePointer();
    if (pal == nullptr)
        return 0;
    if (m_info.lastColorValid != 0 && m_info.lastColor.blue == color.blue && m_info.lastColor.green == color.green &&
        m_info.lastColor.red == color.red)
        return m_info.lastIndex;
    std::uint32_t n = m_header.colorsImportant != 0 ? m_header.colorsImportant : ColorCount();
    if (n > ColorCount())
        n = ColorCount();
    long best = 200000;
    std::uint32_t bestIndex = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        const long db = pal[i].blue - color.blue;
        const long dg = pal[i].green - color.green;
        const long dr = pal[i].red - color.red;
        const long d = db * db + dg * dg + dr * dr;
        if (d < best) {
            best = d;
            bestIndex = i;
        }
        if (d == 0)
            break;
    }
    m_info.lastColor = color;
    m_info.lastIndex = static_cast<std::uint8_t>(bestIndex);
    m_info.lastColorValid = 1;
    return m_info.lastIndex;
}

PixQuad CPixImage::RgbToQuad(std::uint32_t packed)
{
    PixQuad q;
    q.red = static_cast<std::uint8_t>(packed);
    q.green = static_cast<std::uint8_t>(packed >> 8);
    q.blue = static_cast<std::uint8_t>(packed >> 16);
    return q;
}

std::uint32_t CPixImage::QuadToRgb(PixQuad quad)
{
    return static_cast<std::uint32_t>(quad.red) | static_cast<std::uint32_t>(quad.green) << 8 |
           static_cast<std::uint32_t>(quad.blue) << 16;
}

// ---- Pixels ------------------------------------------------------------------------------

std::uint8_t CPixImage::PixelIndex(int x, int y) const
{
    if (PalettePointer() == nullptr)
        return 0;
    if (IsInside(x, y))
        return PixelIndexUnchecked(x, y);
    if (m_info.transIndex != -1)
        return static_cast<std::uint8_t>(m_info.transIndex);
    return m_pBits[0];
}

std::uint8_t CPixImage::PixelIndexUnchecked(int x, int y) const
{
    return IndexInRow(m_pBits + static_cast<std::size_t>(y) * m_info.rowBytes, x, Bpp());
}

PixQuad CPixImage::PixelColor(int x, int y, bool withAlpha) const
{
    if (m_pDib != nullptr && IsInside(x, y)) {
        PixQuad q;
        if (IsIndexed()) {
            q = PaletteEntry(PixelIndexUnchecked(x, y));
        } else {
            const std::uint8_t* p = m_pBits + static_cast<std::size_t>(y) * m_info.rowBytes + 3 * static_cast<std::size_t>(x);
            q.blue = p[0];
            q.green = p[1];
            q.red = p[2];
            q.reserved = m_info.transColor.reserved;
        }
        if (withAlpha && m_pAlpha != nullptr)
            q.reserved = AlphaAtUnchecked(x, y);
        return q;
    }
    if (m_info.transIndex != -1) {
        if (Bpp() >= 24)
            return m_info.transColor;
        return PaletteEntry(static_cast<std::uint32_t>(m_info.transIndex));
    }
    if (m_pDib != nullptr)
        return PixelColor(0, 0, true);
    return m_info.transColor;
}

PixQuad CPixImage::PixelColorUnchecked(int x, int y) const
{
    if (IsIndexed())
        return PaletteEntry(PixelIndexUnchecked(x, y));
    const std::uint8_t* p = m_pBits + static_cast<std::size_t>(y) * m_info.rowBytes + 3 * static_cast<std::size_t>(x);
    PixQuad q;
    q.blue = p[0];
    q.green = p[1];
    q.red = p[2];
    q.reserved = m_pAlpha != nullptr ? AlphaAtUnchecked(x, y) : 0;
    return q;
}

std::uint8_t CPixImage::GreyLevelAt(int x, int y) const
{
    return GreyLevel(PixelColor(x, y, true));
}

void CPixImage::SetPixelIndex(int x, int y, std::uint8_t index)
{
    if (m_pDib == nullptr || !IsIndexed() || !IsInside(x, y))
        return;
    SetIndexInRow(m_pBits + static_cast<std::size_t>(y) * m_info.rowBytes, x, Bpp(), index);
}

void CPixImage::SetPixelColor(int x, int y, PixQuad color, bool setAlpha)
{
    if (m_pDib == nullptr || !IsInside(x, y))
        return;
    if (IsIndexed()) {
        SetPixelIndex(x, y, NearestIndex(color));
        return;
    }
    std::uint8_t* p = PixelPointer(x, y);
    p[0] = color.blue;
    p[1] = color.green;
    p[2] = color.red;
    if (setAlpha)
        SetAlphaAt(x, y, color.reserved);
}

void CPixImage::SetPixelColor(int x, int y, std::uint32_t packed)
{
    SetPixelColor(x, y, RgbToQuad(packed), false);
}

void CPixImage::BlendPixelColor(int x, int y, PixQuad color, float blend, bool setAlpha)
{
    if (m_pDib == nullptr || !IsInside(x, y))
        return;
    // trunc(256 x blend), held where the channel sums cannot overflow; NaN blends nothing.
    constexpr float kLimit = 1 << 22;
    const float scaled = 256 * blend;
    const int a = scaled > -kLimit ? (scaled < kLimit ? static_cast<int>(scaled) : static_cast<int>(kLimit)) : std::isnan(scaled) ? 0 : -static_cast<int>(kLimit);
    const int b = 256 - a;
    const PixQuad c = PixelColorUnchecked(x, y);
    PixQuad mixed;
    mixed.blue = static_cast<std::uint8_t>((color.blue * a + c.blue * b) >> 8);
    mixed.green = static_cast<std::uint8_t>((color.green * a + c.green * b) >> 8);
    mixed.red = static_cast<std::uint8_t>((color.red * a + c.red * b) >> 8);
    mixed.reserved = color.reserved;
    SetPixelColor(x, y, mixed, setAlpha);
}

std::uint8_t* CPixImage::PixelPointer(int x, int y) const
{
    if (m_pDib == nullptr || IsIndexed() || !IsInside(x, y))
        return nullptr;
    return m_pBits + static_cast<std::size_t>(y) * m_info.rowBytes + 3 * static_cast<std::size_t>(x);
}

bool CPixImage::IsTransparentAt(int x, int y) const
{
    if (m_pDib == nullptr || !IsInside(x, y))
        return false;
    if (m_info.transIndex >= 0) {
        if (IsIndexed())
            return PixelIndexUnchecked(x, y) == m_info.transIndex;
        const PixQuad c = PixelColor(x, y, false);
        const PixQuad t = m_info.transColor;
        return c.blue == t.blue && c.green == t.green && c.red == t.red;
    }
    return m_pAlpha != nullptr && AlphaAtUnchecked(x, y) == 0;
}

namespace {

// The steps first..last (of 0..steps) at which a coordinate that starts at `start` and moves by
// `direction` (+1 or -1) each step lies in 0..size - 1; first > last when it never does.
void StepsInside(long long start, int direction, long long size, long long steps, long long& first, long long& last)
{
    first = direction > 0 ? -start : start - (size - 1);
    last = direction > 0 ? size - 1 - start : start;
    first = first < 0 ? 0 : first;
    last = last > steps ? steps : last;
}

}  // namespace

// Bresenham over 64-bit differences: a line between any two int points.
// Only the steps whose pixel lies inside along the longer axis are walked (every other write
// would be ignored); the running sum at the first of them follows from the step count.
void CPixImage::DrawLine(int x1, int x2, int y1, int y2, std::uint32_t packed)
{
    if (m_pDib == nullptr)
        return;
    const long long dx = std::llabs(static_cast<long long>(x2) - x1);
    const long long dy = std::llabs(static_cast<long long>(y2) - y1);
    const int sx = x2 >= x1 ? 1 : -1;
    const int sy = y2 >= y1 ? 1 : -1;
    const bool alongX = dx > dy;
    const long long longer = alongX ? dx : dy;
    const long long shorter = alongX ? dy : dx;
    const int majorStep = alongX ? sx : sy, minorStep = alongX ? sy : sx;
    long long first = 0, last = 0;
    StepsInside(alongX ? x1 : y1, majorStep, alongX ? Width() : Height(), longer, first, last);
    if (first > last)
        return;
    const __int128 reached = static_cast<__int128>(longer / 2) + static_cast<__int128>(first) * shorter;
    long long sum = longer > 0 ? static_cast<long long>(reached % longer) : longer / 2;
    long long minor = (alongX ? y1 : x1) + (longer > 0 ? static_cast<long long>(reached / longer) : 0) * minorStep;
    long long major = (alongX ? x1 : y1) + first * majorStep;
    for (long long i = first; i <= last; ++i) {
        // Both stay between the end points, so they fit an int.
        SetPixelColor(static_cast<int>(alongX ? major : minor), static_cast<int>(alongX ? minor : major), packed);
        sum += shorter;
        if (sum >= longer && longer > 0) {
            sum -= longer;
            minor += minorStep;
        }
        major += majorStep;
    }
}

void CPixImage::SwapRedBlue(std::uint8_t* buffer, std::size_t length) const
{
    if (buffer == nullptr || Bpp() != 24)
        return;
    const std::size_t n = length < m_info.rowBytes ? length : m_info.rowBytes;
    for (std::size_t i = 0; i + 2 < n; i += 3) {
        const std::uint8_t t = buffer[i];
        buffer[i] = buffer[i + 2];
        buffer[i + 2] = t;
    }
}

int CPixImage::CompareGreyLevels(PixQuad a, PixQuad b)
{
    return static_cast<int>(GreyLevel(a)) - static_cast<int>(GreyLevel(b));
}
