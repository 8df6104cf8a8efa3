// CPixBitmap.h: in-memory bitmaps and icons, where Windows programs pass GDI handles.
#pragma once

#include "image/CPixImage.h"

#include <memory>
#include <vector>

// A bitmap is a packed DIB (40-byte header, palette, bottom-up rows padded to 4 bytes), as a
// DIB section holds it: 1, 4, 8, 24 or 32 bits per pixel.
class CPixBitmap {
public:
    CPixBitmap(int width, int height, int bitCount);  // zero pixels, a grey palette below 24 bits

    bool IsValid() const { return !m_dib.empty(); }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int BitCount() const { return m_nBitCount; }
    std::size_t RowBytes() const;
    std::uint8_t* Row(int row);                       // row 0 is the bottom line; null outside
    const std::vector<std::uint8_t>& Dib() const { return m_dib; }
    PixQuad* Palette();                               // null at 24 and 32 bits

private:
    int m_nWidth, m_nHeight, m_nBitCount;
    std::vector<std::uint8_t> m_dib;
};

// An icon: a colour bitmap and a 1-bit AND mask of the same size (1 = transparent).
struct CPixIcon {
    std::unique_ptr<CPixBitmap> color;
    std::unique_ptr<CPixBitmap> mask;
};
