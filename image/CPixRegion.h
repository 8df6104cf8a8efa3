// CPixRegion.h: an area made of integer rectangles (what a selection exports).
#pragma once

#include "image/CPixImage.h"

#include <vector>

// Rectangles are right- and top-exclusive, in the coordinates their producer uses (a selection
// gives stored rows, counted from the bottom). Adding a rectangle that continues the previous
// one's row span merges them, so a filled area stays a short list.
class CPixRegion {
public:
    void CombineOr(const PixRect& rect);
    void Clear() { m_rects.clear(); }
    bool IsEmpty() const { return m_rects.empty(); }
    bool Contains(int x, int y) const;
    PixRect Bounds() const;                            // all zero when empty
    const std::vector<PixRect>& Rects() const { return m_rects; }

private:
    std::vector<PixRect> m_rects;
};
