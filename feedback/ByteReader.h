// ByteReader: little-endian reads from a byte block it does not own. Every read is checked against what is left;
// after one miss every later read fails too, so a parser can check once at the end of a group of reads.
#pragma once
#include <cstddef>
#include <cstdint>

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    std::size_t Remaining() const { return m_bFailed ? 0 : m_nSize - m_nPos; }
    std::size_t Position() const { return m_nPos; }
    bool Failed() const { return m_bFailed; }

    bool Seek(std::uint64_t pos)
    {
        m_bFailed = m_bFailed || pos > m_nSize;
        if (!m_bFailed)
            m_nPos = static_cast<std::size_t>(pos);
        return !m_bFailed;
    }
    bool Skip(std::uint64_t count) { return Need(count) && Advance(count); }
    bool ReadU8(std::uint8_t& out) { return Read(out, 1); }
    bool ReadU16(std::uint16_t& out) { return Read(out, 2); }
    bool ReadU32(std::uint32_t& out) { return Read(out, 4); }
    bool ReadU64(std::uint64_t& out) { return Read(out, 8); }
    // Points at the next count bytes without copying them.
    bool View(std::uint64_t count, const std::uint8_t*& out)
    {
        if (!Need(count))
            return false;
        out = m_pData + m_nPos;
        return Advance(count);
    }

private:
    // Compare with what is left: m_nPos + n could wrap around for a huge n.
    bool Need(std::uint64_t n)
    {
        m_bFailed = m_bFailed || n > m_nSize - m_nPos;
        return !m_bFailed;
    }
    bool Advance(std::uint64_t n)
    {
        m_nPos += static_cast<std::size_t>(n);
        return true;
    }
    template <typename T>
    bool Read(T& out, std::size_t bytes)
    {
        if (!Need(bytes))
            return false;
        std::uint64_t value = 0;
        for (std::size_t k = 0; k < bytes; ++k)
            value |= static_cast<std::uint64_t>(m_pData[m_nPos + k]) << (8 * k);
        out = static_cast<T>(value);
        return Advance(bytes);
    }

    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
    bool m_bFailed = false;
};
