#include "framework/CRect.h"

#include <cmath>

void CRect::Encapsulate(float x, float y)
{
    if (m_bClean) {
        x1 = x2 = x;
        y1 = y2 = y;
        m_bClean = false;
        return;
    }
    if (x < x1)
        x1 = x;
    if (x > x2)
        x2 = x;
    if (y < y1)
        y1 = y;
    if (y > y2)
        y2 = y;
}

bool CRect::TestPoint(float x, float y) const
{
    return x >= x1 && x < x2 && y >= y1 && y < y2;
}

bool CRect::Intersect(const CRect& r) const
{
    return std::fabs(x1 + x2 - r.x1 - r.x2) < (x2 - x1) + (r.x2 - r.x1) &&
           std::fabs(y1 + y2 - r.y1 - r.y2) < (y2 - y1) + (r.y2 - r.y1);
}
