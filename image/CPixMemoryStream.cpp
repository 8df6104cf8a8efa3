#include "image/CPixMemoryStream.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {
constexpr long kMaxStreamSize = std::numeric_limits<std::int32_t>::max() - 8192;
}

CPixMemoryStream::CPixMemoryStream(std::uint8_t* buffer, std::size_t size)
    : m_pBuffer(buffer),
      m_nSize(buffer != nullptr && size <= static_cast<std::size_t>(kMaxStreamSize) ? static_cast<long>(size) : 0),
      m_bOwned(buffer == nullptr),
      m_nCapacity(m_nSize)
{
}

bool CPixMemoryStream::Open()
{
    if (m_pBuffer != nullptr)
        return false;
    m_nSize = m_nPos = m_nCapacity = 0;
    m_pBuffer = static_cast<std::uint8_t*>(std::malloc(1));
    m_bOwned = true;
    return m_pBuffer != nullptr;
}

std::uint8_t* CPixMemoryStream::Detach(bool release)
{
    if (release)
        m_bOwned = false;
    return m_pBuffer;
}

bool CPixMemoryStream::Close()
{
    if (m_bOwned)
        std::free(m_pBuffer);
    m_pBuffer = nullptr;
    m_nSize = 0;
    return true;
}

bool CPixMemoryStream::Reserve(long required)
{
    if (required <= m_nCapacity)
        return true;
    if (required > kMaxStreamSize)
        return false;
    const long capacity = ((required >> 12) + 1) << 12;
    std::uint8_t* block = nullptr;
    if (m_bOwned) {
        block = static_cast<std::uint8_t*>(std::realloc(m_pBuffer, static_cast<std::size_t>(capacity)));
    } else {
        // The caller's block may not come from malloc: never realloc it, copy it instead.
        block = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(capacity)));
        if (block != nullptr && m_nSize > 0)
            std::memcpy(block, m_pBuffer, static_cast<std::size_t>(m_nSize));
    }
    if (block == nullptr)
        return false;
    m_pBuffer = block;
    m_bOwned = true;
    m_nCapacity = capacity;
    return true;
}

void CPixMemoryStream::ZeroGapBeforeWrite()
{
    if (m_nPos > m_nSize)
        std::memset(m_pBuffer + m_nSize, 0, static_cast<std::size_t>(m_nPos - m_nSize));
}

std::size_t CPixMemoryStream::Read(void* buffer, std::size_t size, std::size_t count)
{
    if (buffer == nullptr || m_pBuffer == nullptr || m_nPos >= m_nSize || size == 0 || count == 0)
        return 0;
    const std::size_t left = static_cast<std::size_t>(m_nSize - m_nPos);
    const std::size_t wanted = count > left / size + 1 ? left + size : size * count;  // no overflow
    const std::size_t n = wanted < left ? wanted : left;
    std::memcpy(buffer, m_pBuffer + m_nPos, n);
    m_nPos += static_cast<long>(n);
    return n / size;
}

std::size_t CPixMemoryStream::Write(const void* buffer, std::size_t size, std::size_t count)
{
    if (m_pBuffer == nullptr || buffer == nullptr || size == 0 || count == 0)
        return 0;
    if (count > static_cast<std::size_t>(kMaxStreamSize) / size)
        return 0;
    const long n = static_cast<long>(size * count);
    if (n > kMaxStreamSize - m_nPos || !Reserve(m_nPos + n))
        return 0;
    ZeroGapBeforeWrite();
    std::memcpy(m_pBuffer + m_nPos, buffer, static_cast<std::size_t>(n));
    m_nPos += n;
    if (m_nPos > m_nSize)
        m_nSize = m_nPos;
    return count;
}

bool CPixMemoryStream::Seek(long offset, int origin)
{
    if (m_pBuffer == nullptr)
        return false;
    long base = 0;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = m_nPos; break;
    case 2: base = m_nSize; break;
    default: return false;
    }
    if (offset > kMaxStreamSize - base)
        return false;
    const long pos = base + offset;
    m_nPos = pos < 0 ? 0 : pos;
    return true;
}

long CPixMemoryStream::Tell()
{
    return m_pBuffer == nullptr ? -1 : m_nPos;
}

long CPixMemoryStream::Size()
{
    return m_pBuffer == nullptr ? -1 : m_nSize;
}

bool CPixMemoryStream::Flush()
{
    return m_pBuffer != nullptr;
}

bool CPixMemoryStream::Eof()
{
    return m_pBuffer == nullptr || m_nPos >= m_nSize;
}

long CPixMemoryStream::Error()
{
    if (m_pBuffer == nullptr)
        return -1;
    return m_nPos > m_nSize ? 1 : 0;
}

bool CPixMemoryStream::PutC(std::uint8_t byte)
{
    if (m_pBuffer == nullptr || m_nPos >= kMaxStreamSize || !Reserve(m_nPos + 1))
        return false;
    ZeroGapBeforeWrite();
    m_pBuffer[m_nPos++] = byte;
    if (m_nPos > m_nSize)
        m_nSize = m_nPos;
    return true;
}

int CPixMemoryStream::GetC()
{
    if (Eof())
        return -1;
    return m_pBuffer[m_nPos++];
}
