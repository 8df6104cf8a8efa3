#include "image/CPixRegion.h"

namespace {

bool IsEmptyRect(const PixRect& r)
{
    return r.right <= r.left || r.top <= r.bottom;
}

}  // namespace

void CPixRegion::CombineOr(const PixRect& rect)
{
    if (IsEmptyRect(rect))
        return;
    // Selections come row by row: a run directly above the same run of the last rectangle
    // only makes that rectangle taller.
    for (auto it = m_rects.rbegin(); it != m_rects.rend(); ++it) {
        if (it->top < rect.bottom)
            break;
        if (it->left == rect.left && it->right == rect.right && it->top == rect.bottom) {
            it->top = rect.top;
            return;
        }
    }
    m_rects.push_back(rect);
}

bool CPixRegion::Contains(int x, int y) const
{
    for (const PixRect& r : m_rects) {
        if (x >= r.left && x < r.right && y >= r.bottom && y < r.top)
            return true;
    }
    return false;
}

PixRect CPixRegion::Bounds() const
{
    if (m_rects.empty())
        return PixRect();
    PixRect b = m_rects.front();
    for (const PixRect& r : m_rects) {
        b.left = r.left < b.left ? r.left : b.left;
        b.bottom = r.bottom < b.bottom ? r.bottom : b.bottom;
        b.right = r.right > b.right ? r.right : b.right;
        b.top = r.top > b.top ? r.top : b.top;
    }
    return b;
}
