// Channels of CPixImage: splits into grey images per colour-space component and back,
// smoothing by curvature, the hue palette, tinting and inverting.
#include "image/CPixImage.h"
#include "image/CPixColorSpace.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

namespace {

using Converter = PixQuad (*)(PixQuad);

PixQuad Unchanged(PixQuad c)
{
    return c;
}

Converter SplitterOf(std::int32_t space)
{
    switch (space) {
    case kSpaceHsl: return RgbToHsl;
    case kSpaceYuv: return RgbToYuv;
    case kSpaceYiq: return RgbToYiq;
    case kSpaceXyz: return RgbToXyz;
    default: return Unchanged;
    }
}

}  // namespace

// Fills one 8-bit grey image for every output given, from component(colour, k).
template <typename Component>
static bool SplitInto(const CPixImage& source, CPixImage* const* outputs, int count, Component component)
{
    bool any = false;
    for (int k = 0; k < count; ++k)
        any = any || outputs[k] != nullptr;
    if (!source.HasPixels() || !any)
        return false;
    for (int k = 0; k < count; ++k) {
        if (outputs[k] == nullptr)
            continue;
        CPixImage channel(source.Width(), source.Height(), 8, kPixTypeUnknown);
        if (!channel.HasPixels())
            return false;
        for (int y = 0; y < source.Height(); ++y) {
            std::uint8_t* row = channel.RowPointer(y);
            for (int x = 0; x < source.Width(); ++x)
                row[x] = component(source.PixelColor(x, y, true), k);
        }
        channel.SetGreyPalette();
        outputs[k]->TakeOver(channel);
    }
    return true;
}

bool CPixImage::SplitInSpace(CPixImage* first, CPixImage* second, CPixImage* third, std::int32_t space) const
{
    CPixImage* outputs[3] = {first, second, third};
    const Converter convert = SplitterOf(space);
    return SplitInto(*this, outputs, 3, [convert](PixQuad c, int k) {
        const PixQuad v = convert(c);
        return k == 0 ? v.red : k == 1 ? v.green : v.blue;
    });
}

bool CPixImage::SplitRgb(CPixImage* red, CPixImage* green, CPixImage* blue) const
{
    return SplitInSpace(red, green, blue, kSpaceRgb);
}

bool CPixImage::SplitYuv(CPixImage* y, CPixImage* u, CPixImage* v) const
{
    return SplitInSpace(y, u, v, kSpaceYuv);
}

bool CPixImage::SplitYiq(CPixImage* y, CPixImage* i, CPixImage* q) const
{
    return SplitInSpace(y, i, q, kSpaceYiq);
}

bool CPixImage::SplitXyz(CPixImage* x, CPixImage* y, CPixImage* z) const
{
    return SplitInSpace(x, y, z, kSpaceXyz);
}

bool CPixImage::SplitHsl(CPixImage* h, CPixImage* s, CPixImage* l) const
{
    return SplitInSpace(h, s, l, kSpaceHsl);
}

bool CPixImage::SplitCmyk(CPixImage* cyan, CPixImage* magenta, CPixImage* yellow, CPixImage* black) const
{
    CPixImage* outputs[4] = {cyan, magenta, yellow, black};
    return SplitInto(*this, outputs, 4, [](PixQuad c, int k) {
        switch (k) {
        case 0: return static_cast<std::uint8_t>(255 - c.red);
        case 1: return static_cast<std::uint8_t>(255 - c.green);
        case 2: return static_cast<std::uint8_t>(255 - c.blue);
        default: return GreyLevel(c);
        }
    });
}

bool CPixImage::CombineChannels(CPixImage* first, CPixImage* second, CPixImage* third, CPixImage* alpha, std::int32_t space)
{
    // This image is rebuilt, so it cannot also be one of the channels.
    if (first == nullptr || second == nullptr || third == nullptr || first == this || second == this || third == this ||
        alpha == this || !first->HasPixels())
        return false;
    const int w = first->Width(), h = first->Height();
    if (Create(w, h, 24, kPixTypeUnknown) == nullptr)
        return false;
    for (CPixImage* channel : {second, third, alpha}) {
        if (channel != nullptr && channel->HasPixels())
            (void)channel->Resize(w, h, 1);
    }
    if (alpha != nullptr)
        MakeAlphaPlane();
    for (int y = 0; y < h; ++y) {
        ReportRow(y, h);
        for (int x = 0; x < w; ++x) {
            PixQuad v;
            v.red = first->PixelIndex(x, y);
            v.green = second->PixelIndex(x, y);
            v.blue = third->PixelIndex(x, y);
            SetPixelColor(x, y, SpaceToRgb(v, space), false);
            if (alpha != nullptr)
                SetAlphaAt(x, y, alpha->PixelIndex(x, y));
        }
    }
    return true;
}

bool CPixImage::SmoothByCurvature(float radius, int iterations, std::int32_t space)
{
    if (m_pDib == nullptr)
        return false;
    const int known = space >= kSpaceHsl && space <= kSpaceXyz ? space : kSpaceRgb;
    CPixImage channels[3] = {CPixImage(kPixTypeUnknown), CPixImage(kPixTypeUnknown), CPixImage(kPixTypeUnknown)};
    if (!SplitInSpace(&channels[0], &channels[1], &channels[2], known))
        return false;
    for (int i = 0; i < iterations; ++i) {
        for (CPixImage& channel : channels)
            (void)SmoothChannel(&channel, radius);
    }
    CPixImage alpha(kPixTypeUnknown);
    const bool withAlpha = HasAlpha() && AlphaToImage(&alpha);
    return CombineChannels(&channels[0], &channels[1], &channels[2], withAlpha ? &alpha : nullptr, known);
}

bool CPixImage::SmoothChannel(CPixImage* channel, float radius)
{
    if (channel == nullptr || !channel->HasPixels())
        return false;
    CPixImage copy(*channel, true, true, true);
    if (!copy.HasPixels())
        return false;
    const int w = channel->Width() - 1, h = channel->Height() - 1;
    auto p = [channel](int x, int y) { return static_cast<double>(channel->PixelIndex(x, y)); };
    for (int x = 1; x < w; ++x) {
        for (int y = 1; y < h; ++y) {
            const double ix = (p(x + 1, y) - p(x - 1, y)) / 2, iy = (p(x, y + 1) - p(x, y - 1)) / 2;
            const double ixx = p(x + 1, y) - 2 * p(x, y) + p(x - 1, y);
            const double iyy = p(x, y + 1) - 2 * p(x, y) + p(x, y - 1);
            const double ixy = (p(x + 1, y + 1) + p(x - 1, y - 1) - p(x - 1, y + 1) - p(x + 1, y - 1)) / 4;
            const double correction = ((1 + iy * iy) * ixx - ix * iy * ixy + (1 + ix * ix) * iyy) / (1 + ix * ix + iy * iy);
            double v = p(x, y) + radius * correction;
            // A radius of NaN or one that meets a zero correction at infinity changes nothing.
            v = std::isnan(v) ? p(x, y) : v < 0 ? 0 : v > 255 ? 255 : v;
            copy.SetPixelIndex(x, y, static_cast<std::uint8_t>(v));
        }
    }
    return channel->TakeOver(copy);
}

void CPixImage::SetHuePalette(float correction)
{
    const std::uint32_t n = ColorCount();
    if (PalettePointer() == nullptr || n < 2)
        return;
    for (std::uint32_t j = 0; j < n; ++j) {
        // The low 8 bits of the truncated product, taken without an int conversion that a large
        // correction would overflow; NaN and infinities give hue 0.
        const float product = static_cast<float>(j) * correction * static_cast<float>(255 / (n - 1));
        const int hue = std::isfinite(product) ? static_cast<int>(std::fmod(std::trunc(product), 256.0f)) : 0;
        PixQuad hsl;
        hsl.red = static_cast<std::uint8_t>(hue & 255);
        hsl.green = 240;
        hsl.blue = 120;
        SetPaletteQuad(j, HslToRgb(hsl));
    }
}

bool CPixImage::Tint(std::uint8_t hue, std::uint8_t saturation, float blend)
{
    if (m_pDib == nullptr)
        return false;
    blend = blend > 0 ? (blend < 1 ? blend : 1) : 0;   // NaN as 0: nothing changes
    const bool full = blend > 0.999f;
    const int a = static_cast<int>(256 * blend), a1 = 256 - a;
    auto tinted = [&](PixQuad old) {
        PixQuad hsl = RgbToHsl(old);
        hsl.red = hue;
        hsl.green = saturation;
        return HslToRgb(hsl);
    };
    if (IsIndexed()) {
        for (std::uint32_t i = 0; i < ColorCount(); ++i) {
            const PixQuad old = PaletteEntry(i);
            PixQuad c = tinted(old);
            if (!full) {
                c.red = static_cast<std::uint8_t>(c.red * blend + old.red * (1 - blend));
                c.green = static_cast<std::uint8_t>(c.green * blend + old.green * (1 - blend));
                c.blue = static_cast<std::uint8_t>(c.blue * blend + old.blue * (1 - blend));
                c.reserved = old.reserved;
            }
            SetPaletteQuad(i, c);
        }
        return true;
    }
    ForEachSelected([&](int x, int y) {
        const PixQuad old = PixelColor(x, y, false);
        PixQuad c = tinted(old);
        if (!full) {
            c.red = static_cast<std::uint8_t>((c.red * a + old.red * a1) >> 8);
            c.green = static_cast<std::uint8_t>((c.green * a + old.green * a1) >> 8);
            c.blue = static_cast<std::uint8_t>((c.blue * a + old.blue * a1) >> 8);
        }
        SetPixelColor(x, y, c, false);
    });
    return true;
}

bool CPixImage::InvertColors()
{
    if (m_pDib == nullptr)
        return false;
    if (Bpp() > 8) {
        if (m_pSelection != nullptr) {
            ForEachSelected([this](int x, int y) {
                std::uint8_t* p = PixelPointer(x, y);
                p[0] = static_cast<std::uint8_t>(255 - p[0]);
                p[1] = static_cast<std::uint8_t>(255 - p[1]);
                p[2] = static_cast<std::uint8_t>(255 - p[2]);
            });
        } else {
            for (std::uint32_t i = 0; i < m_header.imageSize; ++i)
                m_pBits[i] = static_cast<std::uint8_t>(~m_pBits[i]);
        }
        m_info.transColor.blue = static_cast<std::uint8_t>(255 - m_info.transColor.blue);
        m_info.transColor.green = static_cast<std::uint8_t>(255 - m_info.transColor.green);
        m_info.transColor.red = static_cast<std::uint8_t>(255 - m_info.transColor.red);
        return true;
    }
    if (!IsGreyPalette()) {
        PixQuad* pal = PalettePointer();
        for (std::uint32_t i = 0; i < ColorCount(); ++i) {
            pal[i].blue = static_cast<std::uint8_t>(255 - pal[i].blue);
            pal[i].green = static_cast<std::uint8_t>(255 - pal[i].green);
            pal[i].red = static_cast<std::uint8_t>(255 - pal[i].red);
        }
        m_info.lastColorValid = 0;
        return true;
    }
    ForEachSelected([this](int x, int y) { SetPixelIndex(x, y, static_cast<std::uint8_t>(255 - PixelIndexUnchecked(x, y))); });
    return true;
}
