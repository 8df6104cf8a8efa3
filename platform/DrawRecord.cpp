// DrawRecord.cpp: comparing two frames' commands and the boxes of what they touch.
#include "platform/DrawRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

bool DrawCommand::operator==(const DrawCommand& other) const
{
    return std::memcmp(this, &other, sizeof(DrawCommand)) == 0;
}

bool DrawCommand::SameButGeneration(const DrawCommand& other) const
{
    DrawCommand copy = other;
    copy.generation = generation;
    return copy == *this;
}

PixelRect DrawCommand::Box(int bufferWidth, int bufferHeight) const
{
    PixelRect box{0, 0, bufferWidth, bufferHeight};
    if (clip[2] < 0)
        return {};
    if (clip[2] != 0 || clip[3] != 0)
        box = box.Intersect({clip[0], clip[1], clip[2], clip[3]});
    if (kind == kClear)
        return box;
    float left = v[0].x, right = v[0].x, top = v[0].y, bottom = v[0].y;
    for (const DrawVertex& vertex : v) {
        left = std::min(left, vertex.x);
        right = std::max(right, vertex.x);
        top = std::min(top, vertex.y);
        bottom = std::max(bottom, vertex.y);
    }
    if (!(left == left && right == right && top == top && bottom == bottom))
        return box;  // NaN: whatever the rasteriser makes of it stays inside the buffer
    // Clamp before converting: a quad far outside the buffer must not overflow an int.
    const float limit = 1.0e6f;
    const int x0 = static_cast<int>(std::floor(std::clamp(left, -limit, limit)));
    const int y0 = static_cast<int>(std::floor(std::clamp(top, -limit, limit)));
    const int x1 = static_cast<int>(std::ceil(std::clamp(right, -limit, limit)));
    const int y1 = static_cast<int>(std::ceil(std::clamp(bottom, -limit, limit)));
    return box.Intersect({x0, y0, x1 - x0, y1 - y0});
}

namespace {

bool AxisAligned(const DrawVertex* v)
{
    return v[0].y == v[1].y && v[2].y == v[3].y && v[0].x == v[3].x && v[1].x == v[2].x && v[0].v == v[1].v &&
           v[2].v == v[3].v && v[0].u == v[3].u && v[1].u == v[2].u && v[0].u != v[1].u && v[0].v != v[3].v &&
           v[0].x != v[1].x && v[0].y != v[3].y;
}

// Each pixel's centre lands on a texel's centre: filtering then reads that texel alone.
bool OneTexelAPixel(const DrawCommand& command, int textureWidth, int textureHeight)
{
    const DrawVertex* v = command.v;
    const float w = static_cast<float>(textureWidth), h = static_cast<float>(textureHeight);
    const float left = v[0].x - v[0].u * w, top = v[0].y - v[0].v * h;
    return v[1].x - v[0].x == (v[1].u - v[0].u) * w && v[3].y - v[0].y == (v[3].v - v[0].v) * h &&
           left == std::floor(left) && top == std::floor(top);
}

// Texture pixels [from, to) along one axis, in buffer pixels, widened by the texels that
// filtering blends in: one texel each side, however many pixels a texel spans.
void MapSpan(float from, float to, int size, float p0, float p1, float t0, float t1, bool exact, int& outFrom,
             int& outTo)
{
    const float perTexel = std::fabs((p1 - p0) / ((t1 - t0) * static_cast<float>(size)));
    const float a = p0 + (from / static_cast<float>(size) - t0) / (t1 - t0) * (p1 - p0);
    const float b = p0 + (to / static_cast<float>(size) - t0) / (t1 - t0) * (p1 - p0);
    const float margin = exact ? 0.0f : perTexel + 1.0f;
    outFrom = static_cast<int>(std::floor(std::min(a, b) - margin));
    outTo = static_cast<int>(std::ceil(std::max(a, b) + margin));
}

}  // namespace

void SeeThrough::FromPixels(const std::uint32_t* argb, int width, int height)
{
    m_width = width;
    m_height = height;
    m_spans.assign(static_cast<std::size_t>(height) * 2u, 0);
    for (int y = 0; y < height; ++y) {
        int first = width, last = 0;
        if (argb == nullptr) {
            first = 0;
            last = width;
        }
        for (int x = 0; argb != nullptr && x < width; ++x) {
            if (argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] >> 24 ==
                0xFF)
                continue;
            first = std::min(first, x);
            last = x + 1;
        }
        m_spans[static_cast<std::size_t>(y) * 2u] = first < last ? first : 0;
        m_spans[static_cast<std::size_t>(y) * 2u + 1] = first < last ? last : 0;
    }
}

void SeeThrough::FromRect(const PixelRect& rect, int width, int height)
{
    m_width = width;
    m_height = height;
    m_spans.assign(static_cast<std::size_t>(height) * 2u, 0);
    const PixelRect inside = rect.Intersect({0, 0, width, height});
    for (int y = inside.y; y < inside.y + inside.h; ++y) {
        m_spans[static_cast<std::size_t>(y) * 2u] = inside.x;
        m_spans[static_cast<std::size_t>(y) * 2u + 1] = inside.x + inside.w;
    }
}

PixelRect SeeThrough::Within(const PixelRect& texels) const
{
    const PixelRect inside = texels.Intersect({0, 0, m_width, m_height});
    PixelRect found;
    for (int y = inside.y; y < inside.y + inside.h; ++y) {
        const int first = std::max(m_spans[static_cast<std::size_t>(y) * 2u], inside.x);
        const int last = std::min(m_spans[static_cast<std::size_t>(y) * 2u + 1], inside.x + inside.w);
        if (first < last)
            found = found.Union({first, y, last - first, 1});
    }
    return found;
}

bool HistoryRegion(const DrawCommand& first, const SeeThrough* texture, int textureWidth, int textureHeight,
                   int bufferWidth, int bufferHeight, PixelRect& region)
{
    region = {};
    if (first.kind == DrawCommand::kClear)
        return true;
    const DrawVertex* v = first.v;
    const bool covers = AxisAligned(v) && std::min(v[0].x, v[1].x) <= 0.0f &&
                        std::max(v[0].x, v[1].x) >= static_cast<float>(bufferWidth) && std::min(v[0].y, v[3].y) <= 0.0f &&
                        std::max(v[0].y, v[3].y) >= static_cast<float>(bufferHeight);
    const bool solid = std::all_of(v, v + 4, [](const DrawVertex& vertex) { return vertex.a == 0xFF; });
    const bool unclipped = first.clip[0] == 0 && first.clip[1] == 0 && first.clip[2] == 0 && first.clip[3] == 0;
    if (!covers || !solid || !unclipped || (first.blend & 2) == 0)
        return false;
    if (first.texture == 0)
        return true;  // plain colour
    if (texture == nullptr || textureWidth <= 0 || textureHeight <= 0)
        return false;
    // The texels the quad samples, one more each side for filtering; past the edges it repeats.
    const float u0 = std::min(v[0].u, v[1].u), u1 = std::max(v[0].u, v[1].u);
    const float t0 = std::min(v[0].v, v[3].v), t1 = std::max(v[0].v, v[3].v);
    if (u0 < 0.0f || t0 < 0.0f || u1 > 1.0f || t1 > 1.0f)
        return false;
    const int margin = OneTexelAPixel(first, textureWidth, textureHeight) ? 0 : 1;
    const int x0 = static_cast<int>(std::floor(u0 * static_cast<float>(textureWidth))) - margin;
    const int x1 = static_cast<int>(std::ceil(u1 * static_cast<float>(textureWidth))) + margin;
    const int y0 = static_cast<int>(std::floor(t0 * static_cast<float>(textureHeight))) - margin;
    const int y1 = static_cast<int>(std::ceil(t1 * static_cast<float>(textureHeight))) + margin;
    const PixelRect shows = texture->Within({x0, y0, x1 - x0, y1 - y0});
    if (shows.Empty())
        return true;
    TextureChange as;
    as.rect = shows;
    as.width = textureWidth;
    as.height = textureHeight;
    region = ChangedTexturePixels(first, as, bufferWidth, bufferHeight);
    return true;
}

PixelRect ChangedTexturePixels(const DrawCommand& command, const TextureChange& change, int bufferWidth,
                               int bufferHeight)
{
    const PixelRect box = command.Box(bufferWidth, bufferHeight);
    if (change.rect.Empty() || change.width <= 0 || change.height <= 0 || command.kind != DrawCommand::kQuad ||
        !AxisAligned(command.v))
        return box;
    const DrawVertex* v = command.v;
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    const bool exact = OneTexelAPixel(command, change.width, change.height);
    MapSpan(static_cast<float>(change.rect.x), static_cast<float>(change.rect.x + change.rect.w), change.width, v[0].x,
            v[1].x, v[0].u, v[1].u, exact, x0, x1);
    MapSpan(static_cast<float>(change.rect.y), static_cast<float>(change.rect.y + change.rect.h), change.height,
            v[0].y, v[3].y, v[0].v, v[3].v, exact, y0, y1);
    return box.Intersect({x0, y0, x1 - x0, y1 - y0});
}

PixelRect FrameDamage(const std::vector<DrawCommand>& before, const std::vector<DrawCommand>& after, int width,
                      int height, const TextureChangeOf& changeOf)
{
    PixelRect damage;
    if (before.size() == after.size()) {
        // Pairwise: a pixel that no differing pair touches sees the same commands in the same order.
        for (std::size_t i = 0; i < after.size(); ++i) {
            const DrawCommand& was = before[i];
            const DrawCommand& now = after[i];
            if (was == now)
                continue;
            TextureChange change;
            if (now.SameButGeneration(was) && was.generation + 1 == now.generation && changeOf(now.texture, change) &&
                change.generation == now.generation) {
                damage = damage.Union(ChangedTexturePixels(now, change, width, height));
                continue;
            }
            damage = damage.Union(was.Box(width, height)).Union(now.Box(width, height));
        }
        return damage;
    }
    // Commands came or went: what lies between the common start and the common end.
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    for (std::size_t i = prefix; i < before.size() - suffix; ++i)
        damage = damage.Union(before[i].Box(width, height));
    for (std::size_t i = prefix; i < after.size() - suffix; ++i)
        damage = damage.Union(after[i].Box(width, height));
    return damage;
}
