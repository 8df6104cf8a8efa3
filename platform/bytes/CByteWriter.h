// CByteWriter.h: little-endian field writes, the mirror of CByteReader.
//
// Appends to a byte vector it does not own, field by field, so no file ever holds a struct's
// memory layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

class CByteWriter {
public:
    explicit CByteWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void WriteU8(std::uint8_t value) { m_out.push_back(value); }
    void WriteU16(std::uint16_t value) { WriteLe(value, 2); }
    void WriteU32(std::uint32_t value) { WriteLe(value, 4); }
    void WriteU64(std::uint64_t value) { WriteLe(value, 8); }
    void WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }
    void WriteF32(float value)
    {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        WriteU32(bits);
    }
    void WriteBytes(const void* data, std::size_t n)
    {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        m_out.insert(m_out.end(), bytes, bytes + n);
    }
    void WriteZeros(std::size_t n) { m_out.insert(m_out.end(), n, 0); }

private:
    void WriteLe(std::uint64_t value, std::size_t bytes)
    {
        for (std::size_t k = 0; k < bytes; ++k)
            m_out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
    }

    std::vector<std::uint8_t>& m_out;
};
