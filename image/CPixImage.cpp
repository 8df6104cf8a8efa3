#include "image/CPixImage.h"

#include "image/PixBytes.h"

#include <cstdlib>
#include <cstring>

namespace {

int NormaliseBpp(int bpp)
{
    if (bpp <= 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    return 24;
}

// The largest resolution whose pixels per metre fit the bitmap header's signed 32 bits.
constexpr int kMaxDpi = 54546084;

std::int32_t PelsPerMetre(int dpi)
{
    return static_cast<std::int32_t>(dpi * 10000.0 / 254 + 0.5);
}

// Fills image from source rows that rowAt(row) returns (a null row stays zero). 32-bit rows
// become colour rows plus the alpha plane; lower depths get a grey palette.
template <typename RowAt>
bool CopyRows(CPixImage& image, int width, int height, int bpp, std::uint32_t rowBytes, bool flip,
              RowAt rowAt)
{
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return false;
    if (image.Create(width, height, bpp, kPixTypeUnknown) == nullptr)
        return false;
    if (bpp == 32)
        image.MakeAlphaPlane();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = rowAt(flip ? height - 1 - y : y);
        if (src == nullptr)
            continue;
        std::uint8_t* dst = image.RowPointer(y);
        if (bpp != 32) {
            std::memcpy(dst, src, rowBytes < image.RowBytes() ? rowBytes : image.RowBytes());
            continue;
        }
        for (int x = 0; x < width; ++x) {
            std::memcpy(dst + 3 * x, src + 4 * x, 3);
            image.SetAlphaAt(x, y, src[4 * x + 3]);
        }
    }
    if (bpp < 24)
        image.SetGreyPalette();
    return true;
}

}  // namespace

// ---- Construction ------------------------------------------------------------------------

CPixImage::CPixImage(std::uint32_t type)
{
    m_info.type = type;
    SetXDpi(96);
    SetYDpi(96);
}

CPixImage::CPixImage(int width, int height, int bpp, std::uint32_t type) : CPixImage(type)
{
    Create(width, height, bpp, type);
}

CPixImage::CPixImage(const CPixImage& source, bool copyPixels, bool copySelection, bool copyAlpha)
    : CPixImage(source.m_info.type)
{
    CopyFrom(source, copyPixels, copySelection, copyAlpha);
}

CPixImage::CPixImage(const CPixImage& source) : CPixImage(source, true, true, true)
{
}

CPixImage::CPixImage(const char* fileName, std::uint32_t type) : CPixImage(type)
{
    (void)ReadFromFile(fileName, type);
}

CPixImage::CPixImage(std::FILE* file, std::uint32_t type) : CPixImage(type)
{
    (void)DecodeFromHandle(file, type);
}

CPixImage::CPixImage(CPixStream* stream, std::uint32_t type) : CPixImage(type)
{
    (void)DecodeFromStream(stream, type);
}

CPixImage::CPixImage(const std::uint8_t* data, std::size_t size, std::uint32_t type) : CPixImage(type)
{
    (void)DecodeFromMemory(data, size, type);
}

CPixImage& CPixImage::operator=(const CPixImage& source)
{
    if (this != &source)
        CopyFrom(source, true, true, true);
    return *this;
}

CPixImage::~CPixImage()
{
    FreeBuffers();
}

bool CPixImage::FreeBuffers()
{
    if (m_pGhostSource != nullptr)
        return false;
    DeleteAllLayers();
    std::free(m_pSelection);
    std::free(m_pAlpha);
    std::free(m_pDib);
    m_pSelection = m_pAlpha = m_pDib = m_pBits = nullptr;
    return true;
}

void CPixImage::ResetSelection()
{
    // A plane of the old size would be too small for the new picture, so it goes entirely.
    std::free(m_pSelection);
    m_pSelection = nullptr;
    m_info.selLeft = m_header.width;
    m_info.selTop = 0;
    m_info.selRight = 0;
    m_info.selBottom = m_header.height;
}

// ---- Creation ----------------------------------------------------------------------------

std::uint8_t* CPixImage::Create(int width, int height, int bpp, std::uint32_t type)
{
    return Allocate(width, height, bpp, type, true);
}

std::uint8_t* CPixImage::CreateForFill(int width, int height, int bpp, std::uint32_t type)
{
    return Allocate(width, height, bpp, type, false);
}

std::uint8_t* CPixImage::Allocate(int width, int height, int bpp, std::uint32_t type, bool zeroRows)
{
    if (!FreeBuffers())
        return nullptr;
    if (width <= 0 || height <= 0) {
        SetLastError("CPixImage::Create : width and height must be greater than zero");
        return nullptr;
    }
    const int bitCount = NormaliseBpp(bpp);
    const std::uint64_t rowBytes = ((static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width) + 31) >> 5) << 2;
    const std::uint64_t imageSize = rowBytes * static_cast<std::uint64_t>(height);
    const std::uint64_t planeSize = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (imageSize > CPIX_MAX_MEMORY || planeSize > CPIX_MAX_MEMORY) {
        SetLastError("CPIX_MAX_MEMORY exceeded");
        return nullptr;
    }
    const std::uint32_t colors = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;

    // Zeroed, so a picture that a truncated file leaves half-filled never shows old memory; a
    // caller that fills every pixel byte itself gets the header, palette and row padding zeroed.
    const std::size_t head = 40 + 4 * static_cast<std::size_t>(colors);
    const std::size_t total = head + static_cast<std::size_t>(imageSize);
    auto* dib = static_cast<std::uint8_t*>(zeroRows ? std::calloc(total, 1) : std::malloc(total));
    if (dib == nullptr) {
        SetLastError("CPixImage::Create can't allocate memory");
        return nullptr;
    }
    m_info.rowBytes = static_cast<std::uint32_t>(rowBytes);
    m_header.size = 40;
    m_header.width = width;
    m_header.height = height;
    m_header.planes = 1;
    m_header.bitCount = static_cast<std::uint16_t>(bitCount);
    m_header.compression = 0;
    m_header.imageSize = static_cast<std::uint32_t>(imageSize);
    m_header.colorsUsed = colors;
    m_header.colorsImportant = 0;
    m_pDib = dib;
    m_pBits = dib + head;
    if (!zeroRows) {
        std::memset(dib, 0, head);
        const std::size_t used = (static_cast<std::size_t>(bitCount) * static_cast<std::size_t>(width) + 7) / 8;
        for (int y = 0; y < height && used < rowBytes; ++y)
            std::memset(m_pBits + static_cast<std::size_t>(y) * rowBytes + used, 0, static_cast<std::size_t>(rowBytes) - used);
    }
    m_info.lastColorValid = 0;
    ResetSelection();
    WriteHeaderBytes();
    m_info.type = type;
    return m_pDib;
}

void CPixImage::WriteHeaderBytes()
{
    std::uint8_t* p = m_pDib;
    PixPutU32(p + 0, m_header.size);
    PixPutU32(p + 4, static_cast<std::uint32_t>(m_header.width));
    PixPutU32(p + 8, static_cast<std::uint32_t>(m_header.height));
    PixPutU16(p + 12, m_header.planes);
    PixPutU16(p + 14, m_header.bitCount);
    PixPutU32(p + 16, m_header.compression);
    PixPutU32(p + 20, m_header.imageSize);
    PixPutU32(p + 24, static_cast<std::uint32_t>(m_header.xPelsPerMeter));
    PixPutU32(p + 28, static_cast<std::uint32_t>(m_header.yPelsPerMeter));
    PixPutU32(p + 32, m_header.colorsUsed);
    PixPutU32(p + 36, m_header.colorsImportant);
}

bool CPixImage::CopyFromPixelArray(const std::uint8_t* pixels, int width, int height, int bpp,
                                   std::uint32_t rowBytes, bool flip)
{
    if (pixels == nullptr)
        return false;
    return CopyRows(*this, width, height, bpp, rowBytes, flip,
                    [&](int row) { return pixels + static_cast<std::size_t>(row) * rowBytes; });
}

bool CPixImage::CopyFromRowPointers(const std::uint8_t* const* rows, int width, int height, int bpp,
                                    std::uint32_t rowBytes, bool flip)
{
    if (rows == nullptr)
        return false;
    return CopyRows(*this, width, height, bpp, rowBytes, flip, [&](int row) { return rows[row]; });
}

namespace {

int MaskWidth(std::uint32_t mask)
{
    int bits = 0;
    for (; mask != 0; mask &= mask - 1)
        ++bits;
    return bits;
}

// Moves a masked channel so that its top bit lands on bit 7; masks wider than 8 bits or not
// starting at the expected bit shift the other way instead of by a negative count.
std::uint8_t ChannelByte(std::uint32_t value, int leftShift)
{
    if (leftShift >= 32 || leftShift <= -32)
        return 0;
    return static_cast<std::uint8_t>(leftShift >= 0 ? value << leftShift : value >> -leftShift);
}

}  // namespace

void CPixImage::UnpackBitfields(const std::uint8_t* source, std::uint32_t redMask, std::uint32_t greenMask,
                                std::uint32_t blueMask, int sourceBpp, int rows)
{
    if (source == nullptr || m_pBits == nullptr || Bpp() != 24)
        return;
    const std::size_t width = static_cast<std::size_t>(Width());
    const int last = (rows >= 0 && rows < Height() ? rows : Height()) - 1;
    if (sourceBpp == 16) {
        const int blueBits = MaskWidth(blueMask);
        const int greenBits = MaskWidth(greenMask);
        const int redBits = MaskWidth(redMask);
        const std::size_t sourceRow = ((width + 1) / 2) * 4;
        for (int y = last; y >= 0; --y) {
            const std::uint8_t* in = source + static_cast<std::size_t>(y) * sourceRow;
            std::uint8_t* out = RowPointer(y);
            for (std::size_t x = width; x-- > 0;) {
                const std::uint32_t w = static_cast<std::uint32_t>(in[2 * x] | in[2 * x + 1] << 8);
                out[3 * x] = ChannelByte(w & blueMask, 8 - blueBits);
                out[3 * x + 1] = ChannelByte(w & greenMask, -(blueBits + greenBits - 8));
                out[3 * x + 2] = ChannelByte(w & redMask, -(blueBits + greenBits + redBits - 8));
            }
        }
    } else if (sourceBpp == 32) {
        for (int y = last; y >= 0; --y) {
            const std::uint8_t* in = source + static_cast<std::size_t>(y) * width * 4;
            std::uint8_t* out = RowPointer(y);
            for (std::size_t x = width; x-- > 0;) {
                out[3 * x] = in[4 * x];
                out[3 * x + 1] = in[4 * x + 1];
                out[3 * x + 2] = in[4 * x + 2];
            }
        }
    }
}

// ---- Copying -----------------------------------------------------------------------------

void CPixImage::CopyFrom(const CPixImage& source, bool copyPixels, bool copySelection, bool copyAlpha)
{
    if (this == &source)
        return;
    const std::int32_t ownLayers = m_info.layerCount;  // FreeBuffers must free this image's layers
    m_info = source.m_info;
    m_info.layerCount = ownLayers;
    if (Create(source.Width(), source.Height(), source.Bpp(), source.m_info.type) == nullptr)
        return;
    if (copyPixels && source.m_pDib != nullptr && source.DibSize() == DibSize())
        std::memcpy(m_pDib, source.m_pDib, DibSize());
    else if (source.PalettePointer() != nullptr)
        SetPalette(source.PalettePointer(), source.ColorCount());
    const std::size_t plane = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
    if (copySelection && source.m_pSelection != nullptr) {
        m_pSelection = static_cast<std::uint8_t*>(std::malloc(plane));
        if (m_pSelection != nullptr)
            std::memcpy(m_pSelection, source.m_pSelection, plane);
        m_info.selLeft = source.m_info.selLeft;
        m_info.selTop = source.m_info.selTop;
        m_info.selRight = source.m_info.selRight;
        m_info.selBottom = source.m_info.selBottom;
    }
    if (copyAlpha && source.m_pAlpha != nullptr) {
        m_pAlpha = static_cast<std::uint8_t*>(std::malloc(plane));
        if (m_pAlpha != nullptr)
            std::memcpy(m_pAlpha, source.m_pAlpha, plane);
    }
}

void CPixImage::CopyInfo(const CPixImage& source)
{
    if (m_pDib == nullptr) {
        const std::int32_t layers = m_info.layerCount;
        m_info = source.m_info;
        m_info.layerCount = layers;
    }
}

bool CPixImage::TakeOver(CPixImage& source)
{
    // A ghost's buffers belong to another image: taking them would free them twice.
    if (&source == this || source.m_pGhostSource != nullptr || !FreeBuffers())
        return false;
    m_header = source.m_header;
    m_info = source.m_info;
    m_pDib = source.m_pDib;
    m_pBits = source.m_pBits;
    m_pSelection = source.m_pSelection;
    m_pAlpha = source.m_pAlpha;
    m_ppLayers = source.m_ppLayers;
    for (int i = 0; i < m_info.layerCount && m_ppLayers != nullptr; ++i)
        m_ppLayers[i]->m_pParent = this;
    source.m_header = PixBitmapHeader();
    source.m_header.size = 0;
    source.m_header.planes = 0;
    std::memset(static_cast<void*>(&source.m_info), 0, sizeof(source.m_info));
    source.m_pDib = source.m_pBits = source.m_pSelection = source.m_pAlpha = nullptr;
    source.m_ppLayers = nullptr;
    return true;
}

bool CPixImage::BuildLike(CPixImage& out, int width, int height, bool forFill) const
{
    out.CopyInfo(*this);
    if ((forFill ? out.CreateForFill(width, height, Bpp(), m_info.type) : out.Create(width, height, Bpp(), m_info.type)) == nullptr)
        return false;
    if (PalettePointer() != nullptr)
        out.SetPalette(PalettePointer(), ColorCount());
    return true;
}

bool CPixImage::HandOver(CPixImage& built, CPixImage* destination)
{
    if (destination != nullptr && destination != this)
        return destination->TakeOver(built);
    // Processing replaces the picture, not the image: its layers stay.
    CPixImage** layers = m_ppLayers;
    const std::int32_t count = m_info.layerCount;
    m_ppLayers = nullptr;
    m_info.layerCount = 0;
    const bool ok = TakeOver(built);
    DeleteAllLayers();
    m_ppLayers = layers;
    m_info.layerCount = count;
    return ok;
}

void CPixImage::ShareBuffers(const CPixImage& source)
{
    FreeBuffers();
    m_header = source.m_header;
    m_info = source.m_info;
    m_pDib = source.m_pDib;
    m_pBits = source.m_pBits;
    m_pSelection = source.m_pSelection;
    m_pAlpha = source.m_pAlpha;
    m_ppLayers = source.m_ppLayers;
    m_pGhostSource = &source;
}

// ---- Accessors ---------------------------------------------------------------------------

std::size_t CPixImage::DibSize() const
{
    return 40 + static_cast<std::size_t>(PaletteBytes()) + m_header.imageSize;
}

std::uint8_t* CPixImage::RowPointer(int row) const
{
    if (m_pDib == nullptr)
        return nullptr;
    if (row == 0)
        return m_pBits;
    if (row < 0 || row >= m_header.height)
        return nullptr;
    return m_pBits + static_cast<std::size_t>(row) * m_info.rowBytes;
}

bool CPixImage::IsInside(int x, int y) const
{
    return x >= 0 && y >= 0 && x < m_header.width && y < m_header.height;
}

int CPixImage::ColorKind() const
{
    if (m_pAlpha != nullptr)
        return 4;
    return m_header.bitCount <= 8 ? 1 : 2;
}

void CPixImage::SetLastError(const char* text)
{
    std::snprintf(m_info.lastError, sizeof(m_info.lastError), "%s", text == nullptr ? "" : text);
}

void CPixImage::SetTransparentColor(PixQuad color)
{
    color.reserved = 0;
    m_info.transColor = color;
}

PixQuad CPixImage::TransparentColor() const
{
    if (m_header.bitCount < 24 && m_info.transIndex != -1)
        return PaletteEntry(static_cast<std::uint32_t>(m_info.transIndex));
    return m_info.transColor;
}

void CPixImage::SetXDpi(int dpi)
{
    if (dpi < 1)
        dpi = 96;
    m_info.xDpi = dpi < kMaxDpi ? dpi : kMaxDpi;
    m_header.xPelsPerMeter = PelsPerMetre(m_info.xDpi);
}

void CPixImage::SetYDpi(int dpi)
{
    if (dpi < 1)
        dpi = 96;
    m_info.yDpi = dpi < kMaxDpi ? dpi : kMaxDpi;
    m_header.yPelsPerMeter = PelsPerMetre(m_info.yDpi);
}

void CPixImage::Offset(int* x, int* y) const
{
    if (x != nullptr)
        *x = m_info.xOffset;
    if (y != nullptr)
        *y = m_info.yOffset;
}

std::uint32_t CPixImage::CodecOption(std::uint32_t type) const
{
    if (type == 0)
        type = m_info.type;
    return type >= 4 ? 0 : m_info.codecOptions[type];
}

bool CPixImage::SetCodecOption(std::uint32_t value, std::uint32_t type)
{
    if (type == 0)
        type = m_info.type;
    if (type >= 4)
        return false;
    m_info.codecOptions[type] = value;
    return true;
}

void CPixImage::SetFlags(std::uint32_t flags, bool lowOnly)
{
    m_info.flags = lowOnly ? (m_info.flags & 0xFFFF0000u) | (flags & 0xFFFFu) : flags;
}

void CPixImage::FillBits(std::uint8_t value)
{
    if (m_pDib == nullptr)
        return;
    if (m_header.bitCount == 1 && value != 0)
        value = 255;
    else if (m_header.bitCount == 4)
        value = static_cast<std::uint8_t>((value & 15) * 17);
    std::memset(m_pBits, value, m_header.imageSize);
}

void CPixImage::FreeMemory(void* block)
{
    std::free(block);
}

// ---- Flip and mirror ---------------------------------------------------------------------

bool CPixImage::FlipVertical()
{
    if (m_pDib == nullptr)
        return false;
    CPixImage copy(*this, false, false, true);
    if (!copy.HasPixels())
        return false;
    const int h = Height();
    for (int i = 0; i < h; ++i)
        std::memcpy(copy.RowPointer(i), RowPointer(h - 1 - i), m_info.rowBytes);
    copy.FlipAlpha();
    return TakeOver(copy);
}

bool CPixImage::MirrorHorizontal()
{
    if (m_pDib == nullptr)
        return false;
    CPixImage copy(*this, false, false, true);
    if (!copy.HasPixels())
        return false;
    const int w = Width();
    const int h = Height();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = RowPointer(y);
        std::uint8_t* dst = copy.RowPointer(y);
        for (int x = 0; x < w; ++x) {
            const int from = w - 1 - x;
            if (Bpp() == 8)
                dst[x] = src[from];
            else if (Bpp() == 24)
                std::memcpy(dst + 3 * x, src + 3 * from, 3);
            else
                copy.SetPixelIndex(x, y, PixelIndex(from, y));
        }
    }
    copy.MirrorAlpha();
    return TakeOver(copy);
}
