// PixelRegion.h: rectangles of buffer pixels, and a few disjoint ones that stand for what changed.
//
// A frame that changes a wiggling card in the middle of the view and a sparkle on the top bar
// changes two small boxes; their bounding box would take the whole table between them. A region
// keeps such boxes apart, up to a handful: each is drawn and shown on its own. The rectangles
// never overlap, so drawing a frame box by box touches every pixel once, as drawing it whole does.
#pragma once

#include <cstddef>
#include <vector>

// A rectangle of buffer pixels, rows from the top; empty when w or h is not above 0.
struct PixelRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool Empty() const { return w <= 0 || h <= 0; }
    long long Area() const { return Empty() ? 0 : static_cast<long long>(w) * h; }
    PixelRect Union(const PixelRect& other) const;
    PixelRect Intersect(const PixelRect& other) const;
};

class PixelRegion {
public:
    static constexpr std::size_t kMaxRects = 8;
    // Each box costs a pass of its own (a draw, a copy, a request to the display): two boxes
    // whose bounding box adds no more pixels than this are one.
    static constexpr long long kMergeSlack = 4096;

    PixelRegion() = default;
    PixelRegion(const PixelRect& rect) { Add(rect); }  // NOLINT: a rectangle is a region

    // Overlapping rectangles, and those close enough (kMergeSlack), become their bounding box;
    // past kMaxRects, the two whose bounding box adds the fewest pixels become one.
    void Add(const PixelRect& rect);
    void Add(const PixelRegion& other);
    void Clear() { m_rects.clear(); }
    bool Empty() const { return m_rects.empty(); }
    const std::vector<PixelRect>& Rects() const { return m_rects; }
    PixelRect Bounds() const;
    long long Area() const;
    PixelRegion Intersect(const PixelRect& rect) const;

private:
    std::vector<PixelRect> m_rects;
};
