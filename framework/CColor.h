// CColor.h: a floating-point RGBA colour, the particle system's colour and colour delta.
#pragma once

#include <cstdint>

class CColor {
public:
    float r = 0, g = 0, b = 0, a = 0;

    CColor() = default;
    CColor(float red, float green, float blue, float alpha) : r(red), g(green), b(blue), a(alpha) {}

    CColor operator+(const CColor& c) const { return {r + c.r, g + c.g, b + c.b, a + c.a}; }
    CColor operator*(float f) const { return {r * f, g * f, b * f, a * f}; }
    CColor& operator+=(const CColor& c) { return *this = *this + c; }

    // Channels are rounded to 0..255 but not clamped: a channel beyond 1.0 spills into the next.
    std::uint32_t ToARGB() const;
};
