#include "framework/CColor.h"

#include <cmath>

namespace {

// llround keeps out-of-range and NaN channels defined, where a plain cast would not be.
std::uint32_t Channel(float value)
{
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::llround(value * 255.0f)));
}

}  // namespace

std::uint32_t CColor::ToARGB() const
{
    return (Channel(a) << 24) + (Channel(r) << 16) + (Channel(g) << 8) + Channel(b);
}
