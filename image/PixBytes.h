// PixBytes.h: little-endian reads and writes of the image library's file headers.
#pragma once

#include <cstdint>

inline std::uint16_t PixGetU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t PixGetU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

inline void PixPutU16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PixPutU32(std::uint8_t* p, std::uint32_t v)
{
    PixPutU16(p, v);
    PixPutU16(p + 2, v >> 16);
}
