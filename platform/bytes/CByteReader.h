// CByteReader.h: bounded little-endian reads from a byte buffer it does not own.
//
// Every reader of untrusted bytes goes through it (fonts, stores, tutorial files, caches, the
// feedback client's files). Each read is checked against what is left; after one miss every
// later read fails too, so a parser can read a whole record and check once. Header-only and
// free of the engine, so that any library can use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class CByteReader {
public:
    CByteReader(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    std::size_t Remaining() const { return m_bFailed ? 0 : m_nSize - m_nPos; }
    std::size_t Position() const { return m_nPos; }
    bool Failed() const { return m_bFailed; }

    bool ReadU8(std::uint8_t& out) { return ReadLe(out, 1); }
    bool ReadU16(std::uint16_t& out) { return ReadLe(out, 2); }
    bool ReadU32(std::uint32_t& out) { return ReadLe(out, 4); }
    bool ReadU64(std::uint64_t& out) { return ReadLe(out, 8); }

    bool ReadI8(int& out) { return ReadSigned<std::int8_t, std::uint8_t>(out); }
    bool ReadI32(int& out) { return ReadSigned<std::int32_t, std::uint32_t>(out); }

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

    // Points at the next n bytes without copying them.
    bool View(std::uint64_t n, const std::uint8_t*& out)
    {
        if (!Need(n))
            return false;
        out = m_pData + m_nPos;
        m_nPos += static_cast<std::size_t>(n);
        return true;
    }

    bool Skip(std::uint64_t n)
    {
        if (!Need(n))
            return false;
        m_nPos += static_cast<std::size_t>(n);
        return true;
    }

    bool Seek(std::uint64_t pos)
    {
        m_bFailed = m_bFailed || pos > m_nSize;
        if (!m_bFailed)
            m_nPos = static_cast<std::size_t>(pos);
        return !m_bFailed;
    }

private:
    // Compare with what is left: m_nPos + n could wrap around for a huge n.
    bool Need(std::uint64_t n)
    {
        m_bFailed = m_bFailed || n > m_nSize - m_nPos;
        return !m_bFailed;
    }

    template <typename T>
    bool ReadLe(T& out, std::size_t bytes)
    {
        if (!Need(bytes))
            return false;
        std::uint64_t value = 0;
        for (std::size_t k = 0; k < bytes; ++k)
            value |= static_cast<std::uint64_t>(m_pData[m_nPos + k]) << (8 * k);
        out = static_cast<T>(value);
        m_nPos += bytes;
        return true;
    }

    template <typename Signed, typename Unsigned>
    bool ReadSigned(int& out)
    {
        Unsigned bits = 0;
        if (!ReadLe(bits, sizeof bits))
            return false;
        out = static_cast<Signed>(bits);
        return true;
    }

    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
    bool m_bFailed = false;
};
