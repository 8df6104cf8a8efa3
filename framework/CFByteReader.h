// CFByteReader.h: little-endian reads from a byte buffer it does not own.
//
// Every reader of untrusted files in the framework goes through it. After one read misses,
// every later read fails too, so a parser can read a whole record and check once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class CFByteReader {
public:
    CFByteReader(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    std::size_t Remaining() const { return m_bFailed ? 0 : m_nSize - m_nPos; }
    std::size_t Position() const { return m_nPos; }
    bool Failed() const { return m_bFailed; }

    bool ReadU8(std::uint8_t& out)
    {
        if (!Need(1))
            return false;
        out = m_pData[m_nPos++];
        return true;
    }

    bool ReadI8(int& out)
    {
        std::uint8_t byte = 0;
        if (!ReadU8(byte))
            return false;
        out = static_cast<std::int8_t>(byte);
        return true;
    }

    bool ReadU16(std::uint16_t& out)
    {
        if (!Need(2))
            return false;
        out = static_cast<std::uint16_t>(m_pData[m_nPos] | m_pData[m_nPos + 1] << 8);
        m_nPos += 2;
        return true;
    }

    bool ReadU32(std::uint32_t& out)
    {
        if (!Need(4))
            return false;
        out = static_cast<std::uint32_t>(m_pData[m_nPos]) |
              static_cast<std::uint32_t>(m_pData[m_nPos + 1]) << 8 |
              static_cast<std::uint32_t>(m_pData[m_nPos + 2]) << 16 |
              static_cast<std::uint32_t>(m_pData[m_nPos + 3]) << 24;
        m_nPos += 4;
        return true;
    }

    bool ReadI32(int& out)
    {
        std::uint32_t bits = 0;
        if (!ReadU32(bits))
            return false;
        out = static_cast<std::int32_t>(bits);
        return true;
    }

    bool ReadF32(float& out)
    {
        std::uint32_t bits = 0;
        if (!ReadU32(bits))
            return false;
        std::memcpy(&out, &bits, sizeof out);
        return true;
    }

    bool ReadBytes(void* out, std::size_t n)
    {
        if (!Need(n))
            return false;
        if (n != 0)
            std::memcpy(out, m_pData + m_nPos, n);
        m_nPos += n;
        return true;
    }

    bool Skip(std::size_t n)
    {
        if (!Need(n))
            return false;
        m_nPos += n;
        return true;
    }

private:
    // Compare with what is left: m_nPos + n could wrap around for a huge n.
    bool Need(std::size_t n)
    {
        m_bFailed = m_bFailed || n > m_nSize - m_nPos;
        return !m_bFailed;
    }

    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
    bool m_bFailed = false;
};
