// Bit-depth conversion and dithering of CPixImage.
#include "image/CPixImage.h"

#include <cstring>

namespace {

std::uint8_t ClampByte(int v)
{
    return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

void SetBlackAndWhite(CPixImage& image)
{
    image.SetPaletteEntry(0, 0, 0, 0, 0);
    image.SetPaletteEntry(1, 255, 255, 255, 0);
}

// One error-diffusion neighbour: offset from the pixel and its weight.
struct Spread {
    int dx, dy, weight;
};

struct DiffusionMethod {
    int divisor;
    const Spread* spreads;
    int count;
};

constexpr Spread kFloyd[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr Spread kBurkes[] = {{1, 0, 8}, {2, 0, 4}, {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4}, {2, 1, 2}};
constexpr Spread kStucki[] = {{1, 0, 8},  {2, 0, 4},  {-2, 1, 2}, {-1, 1, 4}, {0, 1, 8}, {1, 1, 4},
                              {2, 1, 2},  {-2, 2, 1}, {-1, 2, 2}, {0, 2, 4},  {1, 2, 2}, {2, 2, 1}};
constexpr Spread kJarvis[] = {{1, 0, 7},  {2, 0, 5},  {-2, 1, 3}, {-1, 1, 5}, {0, 1, 7}, {1, 1, 5},
                              {2, 1, 3},  {-2, 2, 1}, {-1, 2, 3}, {0, 2, 5},  {1, 2, 3}, {2, 2, 1}};
constexpr Spread kSierra[] = {{1, 0, 5},  {2, 0, 3},  {-2, 1, 2}, {-1, 1, 4}, {0, 1, 5},
                              {1, 1, 4},  {2, 1, 2},  {-1, 2, 2}, {0, 2, 3},  {1, 2, 2}};
constexpr Spread kStevensonArce[] = {{2, 0, 32},  {-3, 1, 12}, {-1, 1, 26}, {1, 1, 30}, {3, 1, 16}, {-2, 2, 12},
                                     {0, 2, 26},  {2, 2, 12},  {-3, 3, 5},  {-1, 3, 12}, {1, 3, 12}, {3, 3, 5}};

template <std::size_t N>
constexpr DiffusionMethod Method(int divisor, const Spread (&spreads)[N])
{
    return DiffusionMethod{divisor, spreads, static_cast<int>(N)};
}

DiffusionMethod DiffusionOf(int method)
{
    switch (method) {
    case 2: return Method(32, kBurkes);
    case 3: return Method(42, kStucki);
    case 4: return Method(48, kJarvis);
    case 5: return Method(32, kSierra);
    case 6: return Method(200, kStevensonArce);
    default: return Method(16, kFloyd);
    }
}

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The order-4 ordered-dither table, built by interleaving the bits of row and column.
void BuildOrderedTable(std::uint8_t (&table)[256])
{
    for (int i = 0; i < 256; ++i) {
        int a = i / 4, b = i % 4, d = 0;
        for (int k = 0; k < 4; ++k) {
            d = (((d << 1) | ((a ^ b) & 1)) << 1) | (b & 1);
            a >>= 1;
            b >>= 1;
        }
        table[i] = static_cast<std::uint8_t>(d);
    }
}

}  // namespace

bool CPixImage::ToGreyScale()
{
    if (m_pDib == nullptr)
        return false;
    if (Bpp() > 8) {
        CPixImage out;
        if (!BuildLikeAtDepth(out, 8))
            return false;
        out.SetGreyPalette();
        for (int y = 0; y < Height(); ++y) {
            const std::uint8_t* src = RowPointer(y);
            std::uint8_t* dst = out.RowPointer(y);
            for (int x = 0; x < Width(); ++x, src += 3)
                dst[x] = static_cast<std::uint8_t>((src[0] * 117 + src[1] * 601 + src[2] * 306) >> 10);
        }
        return HandOver(out, nullptr);
    }
    // The palette's blue bytes become the grey levels, and the pixels their indexes.
    PixQuad* pal = PalettePointer();
    for (std::uint32_t i = 0; pal != nullptr && i < ColorCount(); ++i)
        pal[i].blue = GreyLevel(pal[i]);
    m_info.lastColorValid = 0;
    if (m_info.transIndex != -1)
        m_info.transIndex = PaletteEntry(static_cast<std::uint32_t>(m_info.transIndex)).blue;
    if (Bpp() == 8) {
        for (std::uint32_t i = 0; i < m_header.imageSize; ++i)
            m_pBits[i] = pal[m_pBits[i]].blue;
        SetGreyPalette();
        return true;
    }
    CPixImage out;
    if (!BuildLikeAtDepth(out, 8))
        return false;
    out.SetGreyPalette();
    for (int y = 0; y < Height(); ++y) {
        std::uint8_t* dst = out.RowPointer(y);
        for (int x = 0; x < Width(); ++x)
            dst[x] = pal[PixelIndexUnchecked(x, y)].blue;
    }
    return HandOver(out, nullptr);
}

bool CPixImage::BuildLikeAtDepth(CPixImage& out, int bits) const
{
    out.CopyInfo(*this);
    if (out.Create(Width(), Height(), bits, m_info.type) == nullptr)
        return false;
    if (m_pSelection != nullptr)
        out.CopySelectionFrom(*this);
    if (m_pAlpha != nullptr)
        out.CopyAlphaFrom(*this);
    return true;
}

bool CPixImage::IncreaseBitDepth(int bits)
{
    if (m_pDib == nullptr || (bits != 4 && bits != 8 && bits != 24))
        return false;
    if (Bpp() == bits)
        return true;
    if (Bpp() > bits)
        return false;
    CPixImage out;
    if (bits < 24) {
        if (!BuildLikeAtDepth(out, bits))
            return false;
        out.SetPalette(PalettePointer(), ColorCount());
        for (int y = 0; y < Height() && Escape() == 0; ++y)
            for (int x = 0; x < Width(); ++x)
                out.SetPixelIndex(x, y, PixelIndexUnchecked(x, y));
        return HandOver(out, nullptr);
    }
    if (!BuildLikeAtDepth(out, 24))
        return false;
    if (m_info.transIndex >= 0)
        out.SetTransparentColor(PaletteEntry(static_cast<std::uint32_t>(m_info.transIndex)));
    // Reserved bytes of the palette become the alpha plane.
    if (PaletteHasAlpha() && m_pAlpha == nullptr)
        out.MakeAlphaPlane();
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = 0; x < Width(); ++x)
            out.SetPixelColor(x, y, PixelColor(x, y, true), true);
    }
    return HandOver(out, nullptr);
}

bool CPixImage::DecreaseBitDepth(int bits, bool errorDiffusion, const PixQuad* palette, std::uint32_t importantColors)
{
    if (m_pDib == nullptr || Bpp() < bits)
        return false;
    if (Bpp() == bits &&
        (importantColors == 0 || (m_header.colorsImportant != 0 && m_header.colorsImportant < importantColors)))
        return true;
    const int bitsBefore = Bpp();
    CPixImage out;
    if (!BuildLikeAtDepth(out, bits))
        return false;
    if (importantColors != 0)
        out.SetImportantColors(importantColors);
    switch (out.Bpp()) {
    case 1:
        if (palette != nullptr)
            out.SetPalette(palette, 2);
        else
            SetBlackAndWhite(out);
        break;
    case 4:
    case 8:
        if (palette != nullptr)
            out.SetPalette(palette, out.ColorCount());
        else
            out.SetStandardPalette();
        break;
    default:
        return false;
    }
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = 0; x < Width(); ++x) {
            const PixQuad c = PixelColor(x, y, true);
            out.SetPixelColor(x, y, c, false);
            if (errorDiffusion)
                DiffuseColorError(x, y, c, out.PixelColor(x, y, false));
        }
    }
    if (bitsBefore == 1)
        SetBlackAndWhite(out);
    return HandOver(out, nullptr);
}

// Spreads 14/16 of the error (7, 2, 4, 1) over the source's unvisited neighbours.
void CPixImage::DiffuseColorError(int x, int y, PixQuad wanted, PixQuad stored)
{
    const int er = wanted.red - stored.red, eg = wanted.green - stored.green, eb = wanted.blue - stored.blue;
    static constexpr Spread kSpreads[] = {{1, 0, 7}, {-1, 1, 2}, {0, 1, 4}, {1, 1, 1}};
    for (const Spread& s : kSpreads) {
        if (!IsInside(x + s.dx, y + s.dy))
            continue;
        PixQuad n = PixelColor(x + s.dx, y + s.dy, false);
        n.red = ClampByte(n.red + er * s.weight / 16);
        n.green = ClampByte(n.green + eg * s.weight / 16);
        n.blue = ClampByte(n.blue + eb * s.weight / 16);
        SetPixelColor(x + s.dx, y + s.dy, n, false);
    }
}

bool CPixImage::DitherToMonochrome(int method)
{
    if (m_pDib == nullptr)
        return false;
    if (Bpp() == 1)
        return true;
    (void)ToGreyScale();
    CPixImage out;
    if (!BuildLikeAtDepth(out, 1))
        return false;
    std::uint8_t ordered[256];
    BuildOrderedTable(ordered);
    const DiffusionMethod diffusion = DiffusionOf(method);
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = 0; x < Width(); ++x) {
            const int level = PixelIndex(x, y);
            if (method == 1) {
                const int q = level * 16 / 255;
                out.SetPixelIndex(x, y, level == 255 || kBayer4[y & 3][x & 3] < q % 16 ? 1 : 0);
                continue;
            }
            if (method == 7) {
                out.SetPixelIndex(x, y, level > ordered[(x % 4) + 4 * (y % 4)] ? 1 : 0);
                continue;
            }
            const bool white = level >= 129;
            out.SetPixelIndex(x, y, white ? 1 : 0);
            const int error = white ? level - 255 : level;
            for (int i = 0; i < diffusion.count; ++i) {
                const Spread& s = diffusion.spreads[i];
                if (!IsInside(x + s.dx, y + s.dy))
                    continue;
                SetPixelIndex(x + s.dx, y + s.dy, ClampByte(PixelIndex(x + s.dx, y + s.dy) + error * s.weight / diffusion.divisor));
            }
        }
    }
    SetBlackAndWhite(out);
    return HandOver(out, nullptr);
}

bool CPixImage::ToMonochrome(std::uint8_t level)
{
    if (m_pDib == nullptr)
        return false;
    if (Bpp() == 1)
        return true;
    (void)ToGreyScale();
    // A fresh image: the information block, alpha and selection are not carried over.
    CPixImage out(Width(), Height(), 1, kPixTypeUnknown);
    if (!out.HasPixels())
        return false;
    for (int y = 0; y < Height() && Escape() == 0; ++y) {
        ReportRow(y, Height());
        for (int x = 0; x < Width(); ++x)
            out.SetPixelIndex(x, y, GreyLevelAt(x, y) > level ? 1 : 0);
    }
    SetBlackAndWhite(out);
    return HandOver(out, nullptr);
}
