// CPixPoint2.h: a point of float coordinates for the image library's geometry.
#pragma once

#include <cmath>

class CPixPoint2 {
public:
    CPixPoint2() = default;
    CPixPoint2(float px, float py) : x(px), y(py) {}

    float Distance(float px, float py) const { return std::sqrt((x - px) * (x - px) + (y - py) * (y - py)); }
    float Distance(const CPixPoint2& other) const { return Distance(other.x, other.y); }

    float x = 0;
    float y = 0;
};
