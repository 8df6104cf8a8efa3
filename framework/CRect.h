// CRect.h: an axis-aligned float rectangle that grows to hold the points given to it
// (bounding boxes of sprites and particle systems). While clean it holds no point.
#pragma once

class CRect {
public:
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
    bool m_bClean = true;  // no point yet: the coordinates mean nothing

    CRect() = default;

    void Clear() { m_bClean = true; }
    void Encapsulate(float x, float y);
    bool TestPoint(float x, float y) const;     // left and top edges inside, right and bottom outside
    bool Intersect(const CRect& r) const;       // overlapping area; touching edges do not count
};
