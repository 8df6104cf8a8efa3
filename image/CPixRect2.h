// CPixRect2.h: a rectangle of float coordinates (the area sampler cuts pixels with it).
#pragma once

#include "image/CPixPoint2.h"

// Edges are kept as given: Width and Height may be negative, and nothing is normalised.
class CPixRect2 {
public:
    CPixRect2() = default;
    CPixRect2(float left, float top, float right, float bottom) : topLeft(left, top), bottomRight(right, bottom) {}

    float Width() const { return bottomRight.x - topLeft.x; }
    float Height() const { return bottomRight.y - topLeft.y; }
    float Surface() const { return Width() * Height(); }
    CPixPoint2 Center() const { return CPixPoint2((topLeft.x + bottomRight.x) / 2, (topLeft.y + bottomRight.y) / 2); }

    // The overlap of both rectangles; rectangles that only touch give a zero-width (or
    // zero-height) overlap, disjoint ones the all-zero rectangle.
    CPixRect2 CrossSection(const CPixRect2& other) const
    {
        const float left = topLeft.x > other.topLeft.x ? topLeft.x : other.topLeft.x;
        const float top = topLeft.y > other.topLeft.y ? topLeft.y : other.topLeft.y;
        const float right = bottomRight.x < other.bottomRight.x ? bottomRight.x : other.bottomRight.x;
        const float bottom = bottomRight.y < other.bottomRight.y ? bottomRight.y : other.bottomRight.y;
        if (left <= right && top <= bottom)
            return CPixRect2(left, top, right, bottom);
        return CPixRect2();
    }

    CPixPoint2 topLeft;
    CPixPoint2 bottomRight;
};
