#include "image/CPixBitmap.h"

#include "image/PixBytes.h"

CPixBitmap::CPixBitmap(int width, int height, int bitCount) : m_nWidth(width), m_nHeight(height), m_nBitCount(bitCount)
{
    const bool known = bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
    if (!known || width <= 0 || height <= 0)
        return;
    const std::uint64_t rows = static_cast<std::uint64_t>(RowBytes()) * static_cast<std::uint64_t>(height);
    if (rows > CPIX_MAX_MEMORY)
        return;
    const std::uint32_t colours = bitCount <= 8 ? 1u << bitCount : 0;
    m_dib.assign(40 + 4 * colours + static_cast<std::size_t>(rows), 0);
    std::uint8_t* h = m_dib.data();
    PixPutU32(h, 40);
    PixPutU32(h + 4, static_cast<std::uint32_t>(width));
    PixPutU32(h + 8, static_cast<std::uint32_t>(height));
    PixPutU16(h + 12, 1);
    PixPutU16(h + 14, static_cast<std::uint32_t>(bitCount));
    PixPutU32(h + 20, static_cast<std::uint32_t>(rows));
    PixPutU32(h + 32, colours);
    for (std::uint32_t i = 0; i < colours; ++i) {
        const auto level = static_cast<std::uint8_t>(255 / (colours - 1) * i);
        h[40 + 4 * i] = h[41 + 4 * i] = h[42 + 4 * i] = level;
    }
}

std::size_t CPixBitmap::RowBytes() const
{
    return ((static_cast<std::size_t>(m_nBitCount) * static_cast<std::size_t>(m_nWidth) + 31) / 32) * 4;
}

std::uint8_t* CPixBitmap::Row(int row)
{
    if (m_dib.empty() || row < 0 || row >= m_nHeight)
        return nullptr;
    const std::size_t colours = m_nBitCount <= 8 ? std::size_t{1} << m_nBitCount : 0;
    return m_dib.data() + 40 + 4 * colours + static_cast<std::size_t>(row) * RowBytes();
}

PixQuad* CPixBitmap::Palette()
{
    if (m_dib.empty() || m_nBitCount > 8)
        return nullptr;
    return reinterpret_cast<PixQuad*>(m_dib.data() + 40);
}
