// PixelRegion.cpp: boxes of changed pixels, kept few and apart.
#include "platform/PixelRegion.h"

#include <algorithm>
#include <limits>

PixelRect PixelRect::Union(const PixelRect& other) const
{
    if (other.Empty())
        return *this;
    if (Empty())
        return other;
    const int left = std::min(x, other.x), top = std::min(y, other.y);
    const int right = std::max(x + w, other.x + other.w), bottom = std::max(y + h, other.y + other.h);
    return {left, top, right - left, bottom - top};
}

PixelRect PixelRect::Intersect(const PixelRect& other) const
{
    const int left = std::max(x, other.x), top = std::max(y, other.y);
    const int right = std::min(x + w, other.x + other.w), bottom = std::min(y + h, other.y + other.h);
    if (right <= left || bottom <= top)
        return {};
    return {left, top, right - left, bottom - top};
}

void PixelRegion::Add(const PixelRect& rect)
{
    if (rect.Empty())
        return;
    PixelRect grown = rect;
    // A rectangle swallows those it overlaps or lies close to; grown, it may reach more.
    for (std::size_t i = 0; i < m_rects.size();) {
        const PixelRect& other = m_rects[i];
        if (grown.Intersect(other).Empty() && grown.Union(other).Area() - grown.Area() - other.Area() > kMergeSlack) {
            ++i;
            continue;
        }
        grown = grown.Union(m_rects[i]);
        m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(i));
        i = 0;
    }
    m_rects.push_back(grown);
    if (m_rects.size() <= kMaxRects)
        return;
    std::size_t a = 0, b = 1;
    long long least = std::numeric_limits<long long>::max();
    for (std::size_t i = 0; i < m_rects.size(); ++i)
        for (std::size_t j = i + 1; j < m_rects.size(); ++j) {
            const long long added = m_rects[i].Union(m_rects[j]).Area() - m_rects[i].Area() - m_rects[j].Area();
            if (added < least) {
                least = added;
                a = i;
                b = j;
            }
        }
    const PixelRect merged = m_rects[a].Union(m_rects[b]);
    m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(b));
    m_rects.erase(m_rects.begin() + static_cast<std::ptrdiff_t>(a));
    Add(merged);
}

void PixelRegion::Add(const PixelRegion& other)
{
    for (const PixelRect& rect : other.m_rects)
        Add(rect);
}

PixelRect PixelRegion::Bounds() const
{
    PixelRect bounds;
    for (const PixelRect& rect : m_rects)
        bounds = bounds.Union(rect);
    return bounds;
}

long long PixelRegion::Area() const
{
    long long area = 0;
    for (const PixelRect& rect : m_rects)
        area += rect.Area();
    return area;
}

PixelRegion PixelRegion::Intersect(const PixelRect& rect) const
{
    PixelRegion inside;
    for (const PixelRect& own : m_rects)
        inside.Add(own.Intersect(rect));
    return inside;
}
