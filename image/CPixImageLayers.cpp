// Layers and the selection plane of CPixImage.
#include "image/CPixImage.h"
#include "image/CPixRegion.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

namespace {

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

int Clamp(int v, int low, int high)
{
    return v < low ? low : v > high ? high : v;
}

int ClampToSize(long long v, int size)
{
    return static_cast<int>(v < 0 ? 0 : v > size ? size : v);
}

int Min(int a, int b)
{
    return a < b ? a : b;
}

int Max(int a, int b)
{
    return a > b ? a : b;
}

}  // namespace

// ---- Layers ------------------------------------------------------------------------------

bool CPixImage::CreateLayer(int position)
{
    const int count = m_info.layerCount;
    if (position < 0 || position > count)
        position = count;
    auto** layers = static_cast<CPixImage**>(std::malloc(sizeof(CPixImage*) * static_cast<std::size_t>(count + 1)));
    if (layers == nullptr)
        return false;
    CPixImage* layer = new (std::nothrow) CPixImage(kPixTypeUnknown);
    if (layer == nullptr) {
        std::free(layers);
        return false;
    }
    layer->m_pParent = this;
    for (int i = 0, from = 0; i <= count; ++i)
        layers[i] = i == position ? layer : m_ppLayers[from++];
    std::free(m_ppLayers);
    m_ppLayers = layers;
    m_info.layerCount = count + 1;
    return true;
}

bool CPixImage::DeleteLayer(int position)
{
    const int count = m_info.layerCount;
    if (position < 0)
        position = count - 1;
    if (position < 0 || position >= count)
        return false;
    delete m_ppLayers[position];
    for (int i = position; i + 1 < count; ++i)
        m_ppLayers[i] = m_ppLayers[i + 1];
    m_info.layerCount = count - 1;
    if (m_info.layerCount == 0) {
        std::free(m_ppLayers);
        m_ppLayers = nullptr;
    }
    return true;
}

void CPixImage::DeleteAllLayers()
{
    if (m_ppLayers != nullptr) {
        for (int i = 0; i < m_info.layerCount; ++i)
            delete m_ppLayers[i];
        std::free(m_ppLayers);
    }
    m_ppLayers = nullptr;
    m_info.layerCount = 0;
}

CPixImage* CPixImage::Layer(int position) const
{
    if (position < 0)
        position = m_info.layerCount - 1;
    if (position < 0 || position >= m_info.layerCount || m_ppLayers == nullptr)
        return nullptr;
    return m_ppLayers[position];
}

// ---- Selection plane ---------------------------------------------------------------------

bool CPixImage::CreateSelection()
{
    DeleteSelection();
    if (m_pDib == nullptr)
        return false;
    m_pSelection = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height()), 1));
    return m_pSelection != nullptr;
}

void CPixImage::DeleteSelection()
{
    ResetSelection();
}

bool CPixImage::ClearSelection()
{
    if (m_pSelection == nullptr)
        return false;
    std::memset(m_pSelection, 0, static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height()));
    m_info.selLeft = Width();
    m_info.selTop = 0;
    m_info.selRight = 0;
    m_info.selBottom = Height();
    return true;
}

bool CPixImage::IsSelected(int x, int y) const
{
    if (!IsInside(x, y))
        return false;
    if (m_pSelection == nullptr)
        return true;
    return m_pSelection[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(x)] != 0;
}

void CPixImage::SelectionBox(PixRect& box) const
{
    box.left = m_info.selLeft;
    box.top = m_info.selTop;
    box.right = m_info.selRight;
    box.bottom = m_info.selBottom;
}

PixRect CPixImage::SelectionArea() const
{
    PixRect area;
    if (m_pSelection != nullptr) {
        SelectionBox(area);
    } else {
        area.right = Width();
        area.top = Height();
    }
    // The box is kept clamped, but a copied information block may come from another size.
    area.left = Clamp(area.left, 0, Width());
    area.right = Clamp(area.right, 0, Width());
    area.bottom = Clamp(area.bottom, 0, Height());
    area.top = Clamp(area.top, 0, Height());
    return area;
}

bool CPixImage::InvertSelection()
{
    if (m_pSelection == nullptr)
        return false;
    const std::size_t size = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
    for (std::size_t i = 0; i < size; ++i)
        m_pSelection[i] = static_cast<std::uint8_t>(255 - m_pSelection[i]);
    return true;
}

bool CPixImage::CopySelectionFrom(const CPixImage& other)
{
    if (other.m_pSelection == nullptr || other.Width() != Width() || other.Height() != Height())
        return false;
    if (m_pSelection == nullptr && !CreateSelection())
        return false;
    std::memcpy(m_pSelection, other.m_pSelection, static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height()));
    m_info.selLeft = other.m_info.selLeft;
    m_info.selTop = other.m_info.selTop;
    m_info.selRight = other.m_info.selRight;
    m_info.selBottom = other.m_info.selBottom;
    return true;
}

bool CPixImage::ExtendBox(int left, int top, int right, int bottom)
{
    if (m_pSelection == nullptr && !CreateSelection())
        return false;
    m_info.selLeft = Min(m_info.selLeft, Clamp(left, 0, Width()));
    m_info.selRight = Max(m_info.selRight, Clamp(right, 0, Width()));
    m_info.selBottom = Min(m_info.selBottom, Clamp(bottom, 0, Height()));
    m_info.selTop = Max(m_info.selTop, Clamp(top, 0, Height()));
    return true;
}

bool CPixImage::SelectRect(int x1, int y1, int x2, int y2)
{
    const int left = Clamp(Min(x1, x2), 0, Width());
    const int right = Clamp(Max(x1, x2), 0, Width());
    const int bottom = Clamp(Min(y1, y2), 0, Height());
    const int top = Clamp(Max(y1, y2), 0, Height());
    if (!ExtendBox(left, top, right, bottom))
        return false;
    for (int y = bottom; y < top; ++y)
        std::memset(m_pSelection + static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(left), 255,
                    static_cast<std::size_t>(right - left));
    return true;
}

// Corners anywhere in the int range: radii, centre and bounds are worked out in 64 bits.
bool CPixImage::SelectEllipse(int x1, int y1, int x2, int y2)
{
    const long long rx = std::llabs(static_cast<long long>(x2) - x1) / 2;
    const long long ry = std::llabs(static_cast<long long>(y2) - y1) / 2;
    if (rx == 0 || ry == 0)
        return false;
    const long long xc = (static_cast<long long>(x1) + x2) / 2;
    const long long yc = (static_cast<long long>(y1) + y2) / 2;
    const int left = ClampToSize(xc - rx, Width()), right = ClampToSize(xc + rx, Width());
    const int bottom = ClampToSize(yc - ry, Height()), top = ClampToSize(yc + ry, Height());
    if (!ExtendBox(left, top, right, bottom))
        return false;
    const float centreY = static_cast<float>(yc);
    for (int x = left; x < right; ++x) {
        const float u = static_cast<float>(x - xc) / static_cast<float>(rx);
        const float h = std::sqrt(1 - u * u) * static_cast<float>(ry);
        // trunc as the int conversion would, where its result may lie outside the int range.
        const float below = std::trunc(centreY - h), above = std::trunc(h + centreY);
        for (int y = bottom; y < top; ++y) {
            const bool inside = y < yc ? below < static_cast<float>(y) : above > static_cast<float>(y);
            if (inside)
                m_pSelection[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(x)] = 255;
        }
    }
    return true;
}

namespace {

constexpr std::uint8_t kEdge = 1;
constexpr std::uint8_t kOutside = 2;

// One coordinate of step s of an edge of `steps` steps that moves by d: start + d * s / steps,
// rounded half away from zero, in 128 bits (d and s can both pass 2^32).
long long EdgePoint(long long start, long long d, long long s, long long steps)
{
    if (steps == 0)
        return start;
    const __int128 scaled = static_cast<__int128>(d) * s + (d >= 0 ? steps / 2 : -(steps / 2));
    return start + static_cast<long long>(scaled / steps);
}

// Marks the closed polygon's edges, stepping one pixel along the longer axis. Along that axis a
// step moves exactly one pixel, so only the steps inside the image's extent on it are walked:
// an edge costs at most the image's width or height, however far its ends lie.
void DrawEdges(std::uint8_t* plane, int width, int height, const PixPoint* points, int count)
{
    for (int i = 0; i < count; ++i) {
        const PixPoint a = points[i];
        const PixPoint b = points[(i + 1) % count];
        const long long dx = static_cast<long long>(b.x) - a.x, dy = static_cast<long long>(b.y) - a.y;
        const bool alongX = std::llabs(dx) > std::llabs(dy);
        const long long steps = alongX ? std::llabs(dx) : std::llabs(dy);
        const long long start = alongX ? a.x : a.y, size = alongX ? width : height;
        const int direction = (alongX ? dx : dy) >= 0 ? 1 : -1;
        long long first = direction > 0 ? -start : start - (size - 1);
        long long last = direction > 0 ? size - 1 - start : start;
        first = first < 0 ? 0 : first;
        last = last > steps ? steps : last;
        for (long long s = first; s <= last; ++s) {
            const long long x = EdgePoint(a.x, dx, s, steps);
            const long long y = EdgePoint(a.y, dy, s, steps);
            if (x >= 0 && y >= 0 && x < width && y < height)
                plane[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = kEdge;
        }
    }
}

// Flags every pixel reachable from the border without crossing an edge (4-connected).
bool FloodOutside(std::uint8_t* plane, int width, int height)
{
    const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::unique_ptr<std::uint32_t, FreeDeleter> queue(static_cast<std::uint32_t*>(std::malloc(size * sizeof(std::uint32_t))));
    if (!queue)
        return false;
    std::size_t head = 0, tail = 0;
    auto push = [&](int x, int y) {
        const std::size_t at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
        if (plane[at] == 0) {
            plane[at] = kOutside;
            queue.get()[tail++] = static_cast<std::uint32_t>(at);
        }
    };
    for (int x = 0; x < width; ++x) {
        push(x, 0);
        push(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        push(0, y);
        push(width - 1, y);
    }
    while (head < tail) {
        const std::uint32_t at = queue.get()[head++];
        const int x = static_cast<int>(at % static_cast<std::uint32_t>(width));
        const int y = static_cast<int>(at / static_cast<std::uint32_t>(width));
        if (x > 0)
            push(x - 1, y);
        if (x + 1 < width)
            push(x + 1, y);
        if (y > 0)
            push(x, y - 1);
        if (y + 1 < height)
            push(x, y + 1);
    }
    return true;
}

}  // namespace

bool CPixImage::SelectPolygon(const PixPoint* points, int count)
{
    if (points == nullptr || count < 1 || m_pDib == nullptr)
        return false;
    const std::size_t size = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Height());
    std::unique_ptr<std::uint8_t, FreeDeleter> plane(static_cast<std::uint8_t*>(std::calloc(size, 1)));
    if (!plane)
        return false;
    DrawEdges(plane.get(), Width(), Height(), points, count);
    if (!FloodOutside(plane.get(), Width(), Height()))
        return false;
    PixRect box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (int i = 1; i < count; ++i) {
        box.left = Min(box.left, points[i].x);
        box.right = Max(box.right, points[i].x);
        box.bottom = Min(box.bottom, points[i].y);
        box.top = Max(box.top, points[i].y);
    }
    // The edges belong to the polygon, so its last column and row are inside.
    box.right = box.right < Width() ? box.right + 1 : Width();
    box.top = box.top < Height() ? box.top + 1 : Height();
    return SelectByMask(plane.get(), box);
}

bool CPixImage::SelectByMask(const std::uint8_t* plane, const PixRect& box)
{
    if (!ExtendBox(box.left, box.top, box.right, box.bottom))
        return false;
    const int left = Clamp(box.left, 0, Width()), right = Clamp(box.right, 0, Width());
    const int bottom = Clamp(box.bottom, 0, Height()), top = Clamp(box.top, 0, Height());
    for (int y = bottom; y < top; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(Width());
        for (int x = left; x < right; ++x) {
            if (plane[row + static_cast<std::size_t>(x)] != kOutside)
                m_pSelection[row + static_cast<std::size_t>(x)] = 255;
        }
    }
    return true;
}

bool CPixImage::SelectColor(PixQuad color)
{
    if (m_pDib == nullptr || (m_pSelection == nullptr && !CreateSelection()))
        return false;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            if (!(PixelColor(x, y, true) == color))
                continue;
            m_pSelection[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(x)] = 255;
            ExtendBox(x, y + 1, x + 1, y);
        }
    }
    return true;
}

bool CPixImage::SelectPixel(int x, int y)
{
    if (m_pSelection == nullptr && !CreateSelection())
        return false;
    if (IsInside(x, y))
        m_pSelection[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) + static_cast<std::size_t>(x)] = 255;
    return true;
}

bool CPixImage::SelectionToImage(CPixImage* target) const
{
    if (m_pSelection == nullptr || target == nullptr)
        return false;
    CPixImage grey(Width(), Height(), 8, kPixTypeUnknown);
    if (!grey.HasPixels())
        return false;
    for (int y = 0; y < Height(); ++y)
        std::memcpy(grey.RowPointer(y), m_pSelection + static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()),
                    static_cast<std::size_t>(Width()));
    grey.SetGreyPalette();
    return target->TakeOver(grey);
}

bool CPixImage::SelectionToRegion(CPixRegion* region) const
{
    if (m_pSelection == nullptr || region == nullptr)
        return false;
    for (int y = 0; y < Height(); ++y) {
        const std::uint8_t* row = m_pSelection + static_cast<std::size_t>(y) * static_cast<std::size_t>(Width());
        for (int x = 0; x < Width();) {
            if (row[x] != 255) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < Width() && row[x] == 255)
                ++x;
            region->CombineOr(PixRect{start, y + 1, x, y});
        }
    }
    return true;
}
