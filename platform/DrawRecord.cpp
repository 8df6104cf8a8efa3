// DrawRecord.cpp: comparing two frames' commands and the boxes of what they touch.
#include "platform/DrawRecord.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
    as.region = shows;
    as.width = textureWidth;
    as.height = textureHeight;
    region = ChangedTexturePixels(first, as, bufferWidth, bufferHeight).Bounds();
    return true;
}

PixelRegion ChangedTexturePixels(const DrawCommand& command, const TextureChange& change, int bufferWidth,
                                 int bufferHeight)
{
    const PixelRect box = command.Box(bufferWidth, bufferHeight);
    if (change.region.Empty() || change.width <= 0 || change.height <= 0 || command.kind != DrawCommand::kQuad ||
        !AxisAligned(command.v))
        return box;
    const DrawVertex* v = command.v;
    const bool exact = OneTexelAPixel(command, change.width, change.height);
    PixelRegion pixels;
    for (const PixelRect& rect : change.region.Rects()) {
        int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        MapSpan(static_cast<float>(rect.x), static_cast<float>(rect.x + rect.w), change.width, v[0].x, v[1].x, v[0].u,
                v[1].u, exact, x0, x1);
        MapSpan(static_cast<float>(rect.y), static_cast<float>(rect.y + rect.h), change.height, v[0].y, v[3].y, v[0].v,
                v[3].v, exact, y0, y1);
        pixels.Add(box.Intersect({x0, y0, x1 - x0, y1 - y0}));
    }
    return pixels;
}

namespace {

// The commands of two frames that stand apart: before[fromA, toA) and after[fromB, toB), between
// matched ones.
struct Unmatched {
    std::size_t fromA, toA, fromB, toB;
};

// An edit script with at most kMaxEdits commands gone or come (Myers' greedy walk): the runs that
// are not matched, in order. False when the frames differ by more; their changes are then large.
constexpr int kMaxEdits = 256;

bool MatchInOrder(const std::vector<DrawCommand>& a, const std::vector<DrawCommand>& b, std::vector<Unmatched>& runs)
{
    const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
    const int most = std::min(n + m, kMaxEdits);
    // far[k] on diagonal k = x - y: the furthest x reached; kept per step for the walk back.
    std::vector<int> far(static_cast<std::size_t>(2 * most + 3), 0);
    std::vector<int> trace;
    std::vector<std::size_t> traceAt;
    const int offset = most + 1;
    auto equal = [&](int x, int y) { return a[static_cast<std::size_t>(x)] == b[static_cast<std::size_t>(y)]; };
    int steps = -1;
    for (int d = 0; d <= most && steps < 0; ++d) {
        traceAt.push_back(trace.size());
        trace.insert(trace.end(), far.begin() + (offset - d - 1), far.begin() + (offset + d + 2));
        for (int k = -d; k <= d; k += 2) {
            const bool down = k == -d || (k != d && far[static_cast<std::size_t>(offset + k - 1)] <
                                                         far[static_cast<std::size_t>(offset + k + 1)]);
            int x = down ? far[static_cast<std::size_t>(offset + k + 1)] : far[static_cast<std::size_t>(offset + k - 1)] + 1;
            int y = x - k;
            while (x < n && y < m && equal(x, y))
                ++x, ++y;
            far[static_cast<std::size_t>(offset + k)] = x;
            if (x >= n && y >= m) {
                steps = d;
                break;
            }
        }
    }
    if (steps < 0)
        return false;
    // Walk back: each step is one edit, preceded by a run of matched commands.
    runs.clear();
    int x = n, y = m;
    auto farAt = [&](int d, int k) { return trace[traceAt[static_cast<std::size_t>(d)] + static_cast<std::size_t>(k + d + 1)]; };
    for (int d = steps; d >= 0; --d) {
        const int k = x - y;
        const bool down = k == -d || (k != d && farAt(d, k - 1) < farAt(d, k + 1));
        const int prevK = down ? k + 1 : k - 1;
        const int prevX = d == 0 ? 0 : farAt(d, prevK), prevY = d == 0 ? 0 : prevX - prevK;
        while (x > prevX && y > prevY)
            --x, --y;
        if (d == 0)
            break;
        // One command gone (x moved) or come (y moved); join it to the run after it if they touch.
        const std::size_t fromA = static_cast<std::size_t>(prevX), toA = static_cast<std::size_t>(x);
        const std::size_t fromB = static_cast<std::size_t>(prevY), toB = static_cast<std::size_t>(y);
        if (!runs.empty() && runs.back().fromA == toA && runs.back().fromB == toB) {
            runs.back().fromA = fromA;
            runs.back().fromB = fromB;
        } else {
            runs.push_back({fromA, toA, fromB, toB});
        }
        x = prevX;
        y = prevY;
    }
    return true;
}

// Pairs that differ only in a texture's content changed since: that change alone.
void AddPairDamage(const DrawCommand& was, const DrawCommand& now, int width, int height,
                   const TextureChangeOf& changeOf, PixelRegion& damage)
{
    if (was == now)
        return;
    TextureChange change;
    if (now.SameButGeneration(was) && was.generation + 1 == now.generation && changeOf(now.texture, change) &&
        change.generation == now.generation) {
        damage.Add(ChangedTexturePixels(now, change, width, height));
        return;
    }
    damage.Add(was.Box(width, height));
    damage.Add(now.Box(width, height));
}

void AddRunDamage(const std::vector<DrawCommand>& before, const std::vector<DrawCommand>& after, const Unmatched& run,
                  int width, int height, const TextureChangeOf& changeOf, PixelRegion& damage)
{
    if (run.toA - run.fromA == run.toB - run.fromB) {
        // Changed in place, one for one.
        for (std::size_t i = 0; i < run.toA - run.fromA; ++i)
            AddPairDamage(before[run.fromA + i], after[run.fromB + i], width, height, changeOf, damage);
        return;
    }
    for (std::size_t i = run.fromA; i < run.toA; ++i)
        damage.Add(before[i].Box(width, height));
    for (std::size_t i = run.fromB; i < run.toB; ++i)
        damage.Add(after[i].Box(width, height));
}

}  // namespace

PixelRegion FrameDamage(const std::vector<DrawCommand>& before, const std::vector<DrawCommand>& after, int width,
                        int height, const TextureChangeOf& changeOf)
{
    PixelRegion damage;
    std::vector<Unmatched> runs;
    if (!MatchInOrder(before, after, runs)) {
        // Too many changes to match: pairwise, or all between the common start and end.
        const std::size_t common = std::min(before.size(), after.size());
        std::size_t prefix = 0, suffix = 0;
        while (prefix < common && before[prefix] == after[prefix])
            ++prefix;
        while (suffix < common - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
            ++suffix;
        runs = {{prefix, before.size() - suffix, prefix, after.size() - suffix}};
    }
    for (const Unmatched& run : runs)
        AddRunDamage(before, after, run, width, height, changeOf, damage);
    return damage;
}
