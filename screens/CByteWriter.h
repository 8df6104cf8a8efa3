// CByteWriter.h: little-endian field writer for the player stores' files.
//
// It appends to a byte vector it does not own and mirrors CFByteReader field by field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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
