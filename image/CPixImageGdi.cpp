// The drawing bridge of CPixImage: packed DIB blocks, bitmaps, icons and device contexts.
#include "image/CPixImage.h"
#include "image/CPixBitmap.h"
#include "image/CPixDeviceContext.h"
#include "image/CPixMemoryBlock.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

PixRect Intersect(const PixRect& a, const PixRect& b)
{
    PixRect r;
    r.left = a.left > b.left ? a.left : b.left;
    r.top = a.top > b.top ? a.top : b.top;
    r.right = a.right < b.right ? a.right : b.right;
    r.bottom = a.bottom < b.bottom ? a.bottom : b.bottom;
    return r;
}

bool IsEmpty(const PixRect& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

// Restores a context's clip box when a draw that narrowed it returns.
class ClipGuard {
public:
    ClipGuard(CPixDeviceContext& dc, const PixRect* clip) : m_dc(dc), m_saved(dc.ClipBox())
    {
        if (clip != nullptr)
            dc.SetClipBox(Intersect(m_saved, *clip));
    }
    ~ClipGuard() { m_dc.SetClipBox(m_saved); }
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;

private:
    CPixDeviceContext& m_dc;
    PixRect m_saved;
};

}  // namespace

// ---- Packed DIB blocks and bitmaps -------------------------------------------------------

CPixMemoryBlock* CPixImage::CopyToHandle()
{
    if (m_pDib == nullptr)
        return nullptr;
    auto* block = new (std::nothrow) CPixMemoryBlock(DibSize());
    if (block == nullptr || !block->IsValid()) {
        delete block;
        return nullptr;
    }
    WriteHeaderBytes();
    std::memcpy(block->Lock(), m_pDib, DibSize());
    block->Unlock();
    return block;
}

bool CPixImage::CreateFromHANDLE(CPixMemoryBlock* block)
{
    if (block == nullptr || !block->IsValid())
        return false;
    const std::uint8_t* data = block->Lock();
    const bool ok = DecodeFromMemory(data, block->Size(), kPixTypeBmp);  // a bare DIB to the BMP reader
    block->Unlock();
    return ok;
}

CPixBitmap* CPixImage::MakeBitmap(CPixDeviceContext* dc) const
{
    if (m_pDib == nullptr)
        return nullptr;
    // A device's own bitmap is 32-bit like the context; otherwise a DIB section of our depth.
    auto* bitmap = new (std::nothrow) CPixBitmap(Width(), Height(), dc != nullptr ? 32 : Bpp());
    if (bitmap == nullptr || !bitmap->IsValid()) {
        delete bitmap;
        return nullptr;
    }
    if (dc == nullptr) {
        if (PalettePointer() != nullptr)
            std::memcpy(bitmap->Palette(), PalettePointer(), PaletteBytes());
        for (int y = 0; y < Height(); ++y)
            std::memcpy(bitmap->Row(y), RowPointer(y), RowBytes());
        return bitmap;
    }
    for (int y = 0; y < Height(); ++y) {
        std::uint8_t* row = bitmap->Row(y);
        for (int x = 0; x < Width(); ++x) {
            const PixQuad c = PixelColorUnchecked(x, y);
            row[4 * x] = c.blue;
            row[4 * x + 1] = c.green;
            row[4 * x + 2] = c.red;
        }
    }
    return bitmap;
}

bool CPixImage::CreateFromHBITMAP(const CPixBitmap* bitmap, const PixQuad* palette)
{
    if (bitmap == nullptr || !bitmap->IsValid()) {
        SetLastError("GetDIBits failed");
        return false;
    }
    CPixImage read(kPixTypeUnknown);
    if (!read.DecodeFromMemory(bitmap->Dib().data(), bitmap->Dib().size(), kPixTypeBmp)) {
        SetLastError("GetDIBits failed");
        return false;
    }
    // A realised palette replaces the bitmap's own colours, as GetDIBits reports them.
    if (palette != nullptr && read.PalettePointer() != nullptr)
        read.SetPalette(palette, read.ColorCount());
    read.SetXDpi(XDpi());
    read.SetYDpi(YDpi());
    return TakeOver(read);
}

bool CPixImage::CreateFromHICON(const CPixIcon* icon)
{
    if (icon == nullptr || !icon->color || !CreateFromHBITMAP(icon->color.get(), nullptr))
        return false;
    if (!icon->mask)
        return true;
    CPixImage mask(kPixTypeUnknown);
    if (!mask.CreateFromHBITMAP(icon->mask.get(), nullptr) || !mask.ToGreyScale() || !mask.InvertColors())
        return true;
    (void)AlphaFromGreyImage(mask);  // a mask of another size leaves the icon opaque
    return true;
}

// ---- Drawing on a context ----------------------------------------------------------------

PixQuad CPixImage::DrawSample(int tx, int ty, const PixRect& target, bool smooth) const
{
    const long long w = static_cast<long long>(target.right) - target.left;
    const long long h = static_cast<long long>(target.bottom) - target.top;
    if (!smooth || (w == Width() && h == Height())) {
        const int ix = static_cast<int>((tx - target.left) * Width() / w);
        const int iy = Height() - 1 - static_cast<int>((ty - target.top) * Height() / h);
        return PixelColor(ix, iy, true);
    }
    const float fx = (static_cast<float>(tx - target.left) + 0.5f) * static_cast<float>(Width()) / static_cast<float>(w) - 0.5f;
    const float fy = static_cast<float>(Height()) - 0.5f -
                     (static_cast<float>(ty - target.top) + 0.5f) * static_cast<float>(Height()) / static_cast<float>(h);
    return SampleAt(fx, fy, kInterpBilinear, kOverflowRepeat);
}

int CPixImage::Draw(CPixDeviceContext* dc, int x, int y, int width, int height, const PixRect* clip, bool smooth)
{
    if (m_pDib == nullptr || dc == nullptr || !dc->IsValid() || !IsEnabled() || width == 0 || height == 0)
        return 0;
    const PixRect target{x, y, x + (width < 0 ? Width() : width), y + (height < 0 ? Height() : height)};
    ClipGuard guard(*dc, clip);
    const PixRect visible = Intersect(target, dc->ClipBox());
    if (IsEmpty(visible))
        return 0;
    const bool blend = HasAlpha() || IsTransparent() || AlphaInPalette() || HasSelection();
    const PixQuad key = TransparentColor();
    for (int ty = visible.top; ty < visible.bottom; ++ty) {
        for (int tx = visible.left; tx < visible.right; ++tx) {
            const PixQuad c = DrawSample(tx, ty, target, smooth);
            if (!blend) {
                dc->Put(tx, ty, c);
                continue;
            }
            const int ix = static_cast<int>((static_cast<long long>(tx) - target.left) * Width() / (target.right - target.left));
            const int iy = Height() - 1 - static_cast<int>((static_cast<long long>(ty) - target.top) * Height() / (target.bottom - target.top));
            if (!IsSelected(ix, iy) || (IsTransparent() && c.blue == key.blue && c.green == key.green && c.red == key.red))
                continue;
            int a = HasAlpha() ? AlphaAt(ix, iy) * (AlphaMax() + 1) / 256 : 255;
            if (AlphaInPalette() && IsIndexed())
                a = a * PaletteEntry(PixelIndex(ix, iy)).reserved / 255;
            if (a <= 0)
                continue;
            if (a >= 255) {
                dc->Put(tx, ty, c);
                continue;
            }
            const PixQuad b = dc->Pixel(tx, ty);
            PixQuad mixed;
            mixed.blue = static_cast<std::uint8_t>((c.blue * a + b.blue * (255 - a)) / 256);
            mixed.green = static_cast<std::uint8_t>((c.green * a + b.green * (255 - a)) / 256);
            mixed.red = static_cast<std::uint8_t>((c.red * a + b.red * (255 - a)) / 256);
            dc->Put(tx, ty, mixed);
        }
    }
    return 1;
}

int CPixImage::Draw(CPixDeviceContext* dc, const PixRect& target, const PixRect* clip, bool smooth)
{
    return Draw(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, clip, smooth);
}

int CPixImage::Stretch(CPixDeviceContext* dc, int x, int y, int width, int height, std::uint32_t rop)
{
    if (m_pDib == nullptr || dc == nullptr || !dc->IsValid())
        return 0;
    const int h = Height();
    dc->StretchFrom(PixRect{x, y, x + width, y + height}, Width(), h,
                    [this, h](int sx, int sy) { return PixelColor(sx, h - 1 - sy, false); }, rop);
    return 1;
}

int CPixImage::Stretch(CPixDeviceContext* dc, const PixRect& target, std::uint32_t rop)
{
    return Stretch(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, rop);
}

int CPixImage::DrawTransparent(CPixDeviceContext* dc, int x, int y, int width, int height)
{
    if (m_pDib == nullptr || dc == nullptr || !dc->IsValid())
        return 0;
    width = width < 0 ? Width() : width;
    height = height < 0 ? Height() : height;
    const PixRect target{x, y, x + width, y + height};
    if (!IsTransparent())
        return Stretch(dc, target, kRopSrcCopy);
    if (IsEmpty(Intersect(target, dc->ClipBox())))
        return 0;
    // The picture with its transparent pixels black, and a mask white where they are:
    // (destination xor picture) and mask, xor picture keeps the destination under the mask.
    const PixQuad key = TransparentColor();
    const int h = Height();
    auto isKey = [&](int sx, int sy) {
        const PixQuad c = PixelColor(sx, h - 1 - sy, false);
        return c.blue == key.blue && c.green == key.green && c.red == key.red;
    };
    auto picture = [&](int sx, int sy) { return isKey(sx, sy) ? PixQuad() : PixelColor(sx, h - 1 - sy, false); };
    auto mask = [&](int sx, int sy) { return isKey(sx, sy) ? PixQuad{255, 255, 255, 0} : PixQuad(); };
    dc->StretchFrom(target, Width(), h, picture, kRopSrcInvert);
    dc->StretchFrom(target, Width(), h, mask, kRopSrcAnd);
    dc->StretchFrom(target, Width(), h, picture, kRopSrcInvert);
    return 1;
}

int CPixImage::DrawTransparent(CPixDeviceContext* dc, const PixRect& target)
{
    return DrawTransparent(dc, target.left, target.top, target.right - target.left, target.bottom - target.top);
}

int CPixImage::Tile(CPixDeviceContext* dc, const PixRect& area)
{
    if (m_pDib == nullptr || dc == nullptr || !dc->IsValid() || IsEmpty(area))
        return 0;
    for (int y = area.top; y < area.bottom; y += Height())
        for (int x = area.left; x < area.right; x += Width())
            Draw(dc, x, y, -1, -1, &area, false);  // the last row and column are clipped to the area
    return 1;
}
