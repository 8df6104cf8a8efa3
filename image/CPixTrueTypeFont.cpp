#include "image/CPixTrueTypeFont.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kMaxFontBytes = 64u << 20;
constexpr int kMaxCompositeDepth = 8;
constexpr int kSubRows = 4;  // vertical samples per pixel; across, spans are exact

std::int16_t Signed(std::uint16_t v)
{
    return static_cast<std::int16_t>(v);
}

}  // namespace

// ---- Loading -----------------------------------------------------------------------------

bool CPixTrueTypeFont::Load(const char* path)
{
    std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (file == nullptr)
        return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof(chunk), file)) > 0 && bytes.size() <= kMaxFontBytes;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes.size() <= kMaxFontBytes && LoadFromMemory(bytes.data(), bytes.size());
}

bool CPixTrueTypeFont::U16(std::size_t at, std::uint16_t& out) const
{
    if (at > m_data.size() || m_data.size() - at < 2)
        return false;
    out = static_cast<std::uint16_t>(m_data[at] << 8 | m_data[at + 1]);
    return true;
}

bool CPixTrueTypeFont::U32(std::size_t at, std::uint32_t& out) const
{
    std::uint16_t high = 0, low = 0;
    if (!U16(at, high) || !U16(at + 2, low))
        return false;
    out = static_cast<std::uint32_t>(high) << 16 | low;
    return true;
}

bool CPixTrueTypeFont::Table(const char* tag, std::size_t& offset, std::size_t& length) const
{
    std::uint16_t count = 0;
    if (!U16(4, count))
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t record = 12 + 16 * i;
        std::uint32_t at = 0, size = 0;
        if (record + 16 > m_data.size() || !U32(record + 8, at) || !U32(record + 12, size))
            return false;
        if (std::memcmp(m_data.data() + record, tag, 4) != 0)
            continue;
        if (at > m_data.size() || size > m_data.size() - at)
            return false;
        offset = at;
        length = size;
        return true;
    }
    return false;
}

bool CPixTrueTypeFont::LoadFromMemory(const std::uint8_t* data, std::size_t size)
{
    m_nUnitsPerEm = 0;
    if (data == nullptr)
        return false;
    m_data.assign(data, data + size);
    std::size_t head = 0, hhea = 0, maxp = 0, cmap = 0, loca = 0, glyf = 0, hmtx = 0, length = 0, glyfLength = 0;
    if (!Table("head", head, length) || length < 54 || !Table("hhea", hhea, length) || length < 36 ||
        !Table("maxp", maxp, length) || length < 6 || !Table("cmap", cmap, length) || !Table("loca", loca, length) ||
        !Table("glyf", glyf, glyfLength) || !Table("hmtx", hmtx, length))
        return false;
    std::uint16_t units = 0, locaFormat = 0, ascent = 0, descent = 0, gap = 0, metrics = 0, glyphs = 0;
    if (!U16(head + 18, units) || !U16(head + 50, locaFormat) || !U16(hhea + 4, ascent) || !U16(hhea + 6, descent) ||
        !U16(hhea + 8, gap) || !U16(hhea + 34, metrics) || !U16(maxp + 4, glyphs) || units == 0 || metrics == 0)
        return false;
    if (4u * metrics > length)
        return false;
    m_nAscent = Signed(ascent);
    m_nDescent = -Signed(descent);
    m_nLineGap = Signed(gap);
    m_nGlyphs = glyphs;
    m_nHMetrics = metrics;
    m_bLongLoca = locaFormat != 0;
    m_nCmap = cmap;
    m_nLoca = loca;
    m_nGlyf = glyf;
    m_nGlyfLength = glyfLength;
    m_nHmtx = hmtx;
    m_nUnitsPerEm = units;
    return true;
}

// ---- Character map and metrics -----------------------------------------------------------

int CPixTrueTypeFont::GlyphIndex(std::uint32_t codepoint) const
{
    std::uint16_t tables = 0;
    if (!IsLoaded() || codepoint > 0xFFFF || !U16(m_nCmap + 2, tables))
        return 0;
    for (std::size_t i = 0; i < tables; ++i) {
        std::uint16_t platform = 0, encoding = 0, format = 0, segX2 = 0;
        std::uint32_t offset = 0;
        const std::size_t record = m_nCmap + 4 + 8 * i;
        if (!U16(record, platform) || !U16(record + 2, encoding) || !U32(record + 4, offset))
            return 0;
        const std::size_t sub = m_nCmap + offset;
        if (!((platform == 3 && encoding == 1) || platform == 0) || !U16(sub, format) || format != 4 || !U16(sub + 6, segX2))
            continue;
        for (std::size_t s = 0; s < segX2 / 2u; ++s) {
            std::uint16_t end = 0, start = 0, delta = 0, rangeOffset = 0;
            const std::size_t endAt = sub + 14 + 2 * s, startAt = endAt + segX2 + 2;
            const std::size_t deltaAt = startAt + segX2, rangeAt = deltaAt + segX2;
            if (!U16(endAt, end) || !U16(startAt, start) || !U16(deltaAt, delta) || !U16(rangeAt, rangeOffset))
                return 0;
            if (codepoint > end)
                continue;
            if (codepoint < start)
                return 0;
            if (rangeOffset == 0)
                return static_cast<std::uint16_t>(codepoint + delta);
            std::uint16_t glyph = 0;
            if (!U16(rangeAt + rangeOffset + 2 * (codepoint - start), glyph) || glyph == 0)
                return 0;
            return static_cast<std::uint16_t>(glyph + delta);
        }
        return 0;
    }
    return 0;
}

int CPixTrueTypeFont::Advance(int glyph) const
{
    std::uint16_t advance = 0;
    const int entry = glyph < m_nHMetrics ? glyph : m_nHMetrics - 1;
    if (!IsLoaded() || glyph < 0 || !U16(m_nHmtx + 4 * static_cast<std::size_t>(entry), advance))
        return 0;
    return advance;
}

float CPixTrueTypeFont::LineWidth(const std::string& text, float scale) const
{
    float width = 0;
    for (unsigned char c : text)
        width += static_cast<float>(Advance(GlyphIndex(c))) * scale;
    return width;
}

// ---- Outlines ----------------------------------------------------------------------------

bool CPixTrueTypeFont::GlyphRange(int glyph, std::size_t& offset, std::size_t& length) const
{
    if (glyph < 0 || glyph >= m_nGlyphs)
        return false;
    std::uint32_t from = 0, to = 0;
    const std::size_t g = static_cast<std::size_t>(glyph);
    if (m_bLongLoca) {
        if (!U32(m_nLoca + 4 * g, from) || !U32(m_nLoca + 4 * g + 4, to))
            return false;
    } else {
        std::uint16_t a = 0, b = 0;
        if (!U16(m_nLoca + 2 * g, a) || !U16(m_nLoca + 2 * g + 2, b))
            return false;
        from = 2u * a;
        to = 2u * b;
    }
    if (to < from || to > m_nGlyfLength)
        return false;
    offset = m_nGlyf + from;
    length = to - from;
    return true;
}

bool CPixTrueTypeFont::Outline(int glyph, const float (&m)[6], int depth, std::vector<std::vector<Point>>& contours) const
{
    std::size_t at = 0, length = 0;
    if (depth > kMaxCompositeDepth || !GlyphRange(glyph, at, length))
        return false;
    if (length < 10)
        return true;  // an empty glyph, such as the space
    std::uint16_t count = 0;
    if (!U16(at, count))
        return false;
    if (Signed(count) >= 0)
        return SimpleOutline(at, at + length, count, m, contours);
    return CompositeOutline(at + 10, at + length, m, depth, contours);
}

bool CPixTrueTypeFont::SimpleOutline(std::size_t at, std::size_t end, int contourCount, const float (&m)[6],
                                     std::vector<std::vector<Point>>& contours) const
{
    std::vector<std::uint16_t> ends(static_cast<std::size_t>(contourCount));
    for (int i = 0; i < contourCount; ++i) {
        if (!U16(at + 10 + 2 * static_cast<std::size_t>(i), ends[static_cast<std::size_t>(i)]))
            return false;
    }
    const std::size_t points = contourCount == 0 ? 0 : static_cast<std::size_t>(ends.back()) + 1;
    std::uint16_t instructions = 0;
    std::size_t p = at + 10 + 2 * static_cast<std::size_t>(contourCount);
    if (!U16(p, instructions))
        return false;
    p += 2 + instructions;
    std::vector<std::uint8_t> flags;
    while (flags.size() < points) {
        if (p >= end)
            return false;
        const std::uint8_t flag = m_data[p++];
        flags.push_back(flag);
        if ((flag & 8) != 0) {
            if (p >= end)
                return false;
            for (int r = m_data[p++]; r > 0 && flags.size() < points; --r)
                flags.push_back(flag);
        }
    }
    std::vector<Point> raw(points);
    for (int axis = 0; axis < 2; ++axis) {
        const std::uint8_t shortBit = axis == 0 ? 2 : 4, sameBit = axis == 0 ? 16 : 32;
        int value = 0;
        for (std::size_t i = 0; i < points; ++i) {
            if ((flags[i] & shortBit) != 0) {
                if (p >= end)
                    return false;
                value += (flags[i] & sameBit) != 0 ? m_data[p] : -m_data[p];
                ++p;
            } else if ((flags[i] & sameBit) == 0) {
                std::uint16_t delta = 0;
                if (p + 2 > end || !U16(p, delta))
                    return false;
                value += Signed(delta);
                p += 2;
            }
            (axis == 0 ? raw[i].x : raw[i].y) = static_cast<float>(value);
            raw[i].onCurve = (flags[i] & 1) != 0;
        }
    }
    std::size_t first = 0;
    for (std::uint16_t last : ends) {
        if (last < first || last >= points)
            return false;
        std::vector<Point> contour;
        for (std::size_t i = first; i <= last; ++i)
            contour.push_back(Point{m[0] * raw[i].x + m[2] * raw[i].y + m[4], m[1] * raw[i].x + m[3] * raw[i].y + m[5], raw[i].onCurve});
        contours.push_back(contour);
        first = static_cast<std::size_t>(last) + 1;
    }
    return true;
}

bool CPixTrueTypeFont::CompositeOutline(std::size_t p, std::size_t end, const float (&m)[6], int depth,
                                        std::vector<std::vector<Point>>& contours) const
{
    for (;;) {
        std::uint16_t flags = 0, glyph = 0;
        if (p + 4 > end || !U16(p, flags) || !U16(p + 2, glyph))
            return false;
        p += 4;
        float dx = 0, dy = 0;
        if ((flags & 1) != 0) {
            std::uint16_t a = 0, b = 0;
            if (p + 4 > end || !U16(p, a) || !U16(p + 2, b))
                return false;
            dx = Signed(a);
            dy = Signed(b);
            p += 4;
        } else {
            if (p + 2 > end)
                return false;
            dx = static_cast<std::int8_t>(m_data[p]);
            dy = static_cast<std::int8_t>(m_data[p + 1]);
            p += 2;
        }
        float a = 1, b = 0, c = 0, d = 1;
        auto f2dot14 = [&](std::size_t at, float& out) {
            std::uint16_t v = 0;
            if (at + 2 > end || !U16(at, v))
                return false;
            out = static_cast<float>(Signed(v)) / 16384.0f;
            return true;
        };
        if ((flags & 8) != 0) {
            if (!f2dot14(p, a))
                return false;
            d = a;
            p += 2;
        } else if ((flags & 0x40) != 0) {
            if (!f2dot14(p, a) || !f2dot14(p + 2, d))
                return false;
            p += 4;
        } else if ((flags & 0x80) != 0) {
            if (!f2dot14(p, a) || !f2dot14(p + 2, b) || !f2dot14(p + 4, c) || !f2dot14(p + 6, d))
                return false;
            p += 8;
        }
        // Point-matched placement (arguments that are not offsets) is drawn unmoved.
        if ((flags & 2) == 0)
            dx = dy = 0;
        const float inner[6] = {m[0] * a + m[2] * b, m[1] * a + m[3] * b, m[0] * c + m[2] * d,
                                m[1] * c + m[3] * d, m[0] * dx + m[2] * dy + m[4], m[1] * dx + m[3] * dy + m[5]};
        if (!Outline(glyph, inner, depth + 1, contours))
            return false;
        if ((flags & 0x20) == 0)
            return true;
    }
}

// ---- Rasterising -------------------------------------------------------------------------

namespace {

// Splits the quadratic contour into straight edges (implied on-curve points between two
// off-curve ones, as TrueType defines).
template <typename Point, typename Edge>
void Flatten(const std::vector<Point>& contour, std::vector<Edge>& edges)
{
    const std::size_t n = contour.size();
    if (n < 2)
        return;
    std::size_t start = 0;
    while (start < n && !contour[start].onCurve)
        ++start;
    float sx, sy;
    if (start == n) {
        sx = (contour[0].x + contour[1].x) / 2;
        sy = (contour[0].y + contour[1].y) / 2;
        start = 0;
    } else {
        sx = contour[start].x;
        sy = contour[start].y;
    }
    float px = sx, py = sy;
    bool pendingControl = false;
    float cx = 0, cy = 0;
    auto line = [&](float x, float y) {
        edges.push_back(Edge{px, py, x, y});
        px = x;
        py = y;
    };
    auto curve = [&](float x, float y) {
        const int steps = 8;
        const float x0 = px, y0 = py;
        for (int s = 1; s <= steps; ++s) {
            const float t = static_cast<float>(s) / steps, u = 1 - t;
            line(u * u * x0 + 2 * u * t * cx + t * t * x, u * u * y0 + 2 * u * t * cy + t * t * y);
        }
    };
    for (std::size_t k = 1; k <= n; ++k) {
        const Point& q = contour[(start + k) % n];
        if (q.onCurve) {
            if (pendingControl)
                curve(q.x, q.y);
            else
                line(q.x, q.y);
            pendingControl = false;
        } else if (pendingControl) {
            curve((cx + q.x) / 2, (cy + q.y) / 2);
            cx = q.x;
            cy = q.y;
        } else {
            cx = q.x;
            cy = q.y;
            pendingControl = true;
        }
    }
    if (pendingControl)
        curve(sx, sy);
    else if (px != sx || py != sy)
        line(sx, sy);
}

}  // namespace

void CPixTrueTypeFont::RenderLine(const std::string& text, float x, float baseline, float scale, float slant,
                                  std::vector<float>& coverage, int width, int height) const
{
    if (!IsLoaded() || width <= 0 || height <= 0 || coverage.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return;
    std::vector<Edge> edges;
    float pen = x;
    for (unsigned char ch : text) {
        const int glyph = GlyphIndex(ch);
        // Font units to pixels: y up becomes y down, and the slant leans the top to the right.
        const float m[6] = {scale, 0, slant * scale, -scale, pen, baseline};
        std::vector<std::vector<Point>> contours;
        if (Outline(glyph, m, 0, contours)) {
            for (const auto& contour : contours)
                Flatten(contour, edges);
        }
        pen += static_cast<float>(Advance(glyph)) * scale;
    }
    std::vector<std::pair<float, int>> crossings;
    for (int row = 0; row < height; ++row) {
        for (int sub = 0; sub < kSubRows; ++sub) {
            const float y = static_cast<float>(row) + (static_cast<float>(sub) + 0.5f) / kSubRows;
            crossings.clear();
            for (const Edge& e : edges) {
                if ((e.y0 <= y) == (e.y1 <= y))
                    continue;
                const float t = (y - e.y0) / (e.y1 - e.y0);
                crossings.emplace_back(e.x0 + t * (e.x1 - e.x0), e.y1 > e.y0 ? 1 : -1);
            }
            std::sort(crossings.begin(), crossings.end());
            int winding = 0;
            for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
                winding += crossings[i].second;
                if (winding == 0)
                    continue;
                // Non-zero winding between two crossings: exact coverage across the span.
                const float a = std::max(crossings[i].first, 0.0f);
                const float b = std::min(crossings[i + 1].first, static_cast<float>(width));
                for (int px = static_cast<int>(a); px < width && static_cast<float>(px) < b; ++px) {
                    const float lo = std::max(a, static_cast<float>(px)), hi = std::min(b, static_cast<float>(px + 1));
                    if (hi > lo)
                        coverage[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(px)] +=
                            (hi - lo) / kSubRows;
                }
            }
        }
    }
}
