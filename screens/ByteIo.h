// ByteIo.h: little-endian field readers and writers for the player stores' files.
//
// The reader never reads past its buffer: after one miss every later read fails, so a caller
// checks once at the end. The writer appends to a byte vector it does not own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class CByteReader {
public:
    CByteReader(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    bool Failed() const { return m_bFailed; }
    std::size_t Remaining() const { return m_bFailed ? 0 : m_nSize - m_nPos; }

    bool ReadU8(std::uint8_t& out)
    {
        if (!Need(1))
            return false;
        out = m_pData[m_nPos++];
        return true;
    }
    bool ReadU32(std::uint32_t& out)
    {
        if (!Need(4))
            return false;
        out = static_cast<std::uint32_t>(m_pData[m_nPos]) | static_cast<std::uint32_t>(m_pData[m_nPos + 1]) << 8 |
              static_cast<std::uint32_t>(m_pData[m_nPos + 2]) << 16 |
              static_cast<std::uint32_t>(m_pData[m_nPos + 3]) << 24;
        m_nPos += 4;
        return true;
    }
    bool ReadI32(std::int32_t& out)
    {
        std::uint32_t value = 0;
        if (!ReadU32(value))
            return false;
        out = static_cast<std::int32_t>(value);
        return true;
    }
    bool ReadBytes(void* out, std::size_t n)
    {
        if (!Need(n))
            return false;
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

class CByteWriter {
public:
    explicit CByteWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void WriteU8(std::uint8_t value) { m_out.push_back(value); }
    void WriteU32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            m_out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
    void WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }
    void WriteBytes(const void* data, std::size_t n)
    {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        m_out.insert(m_out.end(), bytes, bytes + n);
    }
    void WriteZeros(std::size_t n) { m_out.insert(m_out.end(), n, 0); }

private:
    std::vector<std::uint8_t>& m_out;
};
