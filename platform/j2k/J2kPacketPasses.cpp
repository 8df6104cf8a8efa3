// J2kPacketPasses.cpp: packet headers read bit by bit, with OpenJPEG's tag trees and its code-
// block geometry, to count the coding passes they give.
#include "platform/j2k/J2kPacketPasses.h"

#include <algorithm>

namespace {

constexpr int kPassesPerSegment = 109;   // one coding segment of a code-block without bypass or termination
constexpr std::uint32_t kNoValue = 999;  // a tag tree node not yet decoded

std::int64_t CeilDivPow2(std::int64_t a, int b)
{
    return (a + (static_cast<std::int64_t>(1) << b) - 1) >> b;
}

std::int64_t FloorDivPow2(std::int64_t a, int b)
{
    return a >> b;
}

// Bits of a packet header, most significant first; a byte after 0xFF holds seven. Past the end it
// reads zeros, as OpenJPEG does; `Overran` tells that a header needed more than the data.
class HeaderBits {
public:
    HeaderBits(const unsigned char* p, const unsigned char* end) : m_start(p), m_p(p), m_end(end) {}
    std::uint32_t Bit()
    {
        if (m_ct == 0)
            ByteIn();
        --m_ct;
        return (m_buf >> m_ct) & 1;
    }
    std::uint32_t Bits(int n)
    {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 1 | Bit();
        return v;
    }
    void Align()
    {
        if ((m_buf & 0xFF) == 0xFF)
            ByteIn();
        m_ct = 0;
    }
    std::size_t Used() const { return static_cast<std::size_t>(m_p - m_start); }
    bool Overran() const { return m_bOverran; }

private:
    void ByteIn()
    {
        m_buf = (m_buf << 8) & 0xFFFF;
        m_ct = m_buf == 0xFF00 ? 7 : 8;
        if (m_p < m_end)
            m_buf |= *m_p++;
        else
            m_bOverran = true;
    }
    const unsigned char* m_start;
    const unsigned char* m_p;
    const unsigned char* m_end;
    std::uint32_t m_buf = 0;
    int m_ct = 0;
    bool m_bOverran = false;
};

// A tag tree over w x h leaves: each node the smallest value below it, sent as the increments
// from its parent's.
class TagTree {
public:
    TagTree(std::uint32_t w, std::uint32_t h)
    {
        std::uint32_t levelStart = 0;
        for (;;) {
            const std::size_t count = static_cast<std::size_t>(w) * h;
            const std::uint32_t nextW = (w + 1) / 2, nextH = (h + 1) / 2;
            const std::uint32_t nextStart = levelStart + static_cast<std::uint32_t>(count);
            for (std::uint32_t y = 0; y < h; ++y)
                for (std::uint32_t x = 0; x < w; ++x)
                    m_parent.push_back(count == 1 ? kRoot : nextStart + (y / 2) * nextW + x / 2);
            if (count == 1)
                break;
            levelStart = nextStart;
            w = nextW;
            h = nextH;
        }
        m_value.assign(m_parent.size(), kNoValue);
        m_low.assign(m_parent.size(), 0);
    }

    // True when the leaf's value is below the threshold; reads only the bits that decide it.
    bool Decode(HeaderBits& bits, std::uint32_t leaf, std::uint32_t threshold)
    {
        std::uint32_t path[32];
        int depth = 0;
        for (std::uint32_t node = leaf; node != kRoot && depth < 32; node = m_parent[node])
            path[depth++] = node;
        std::uint32_t low = 0;
        while (depth > 0) {
            const std::uint32_t node = path[--depth];
            if (low > m_low[node])
                m_low[node] = low;
            else
                low = m_low[node];
            while (low < threshold && low < m_value[node]) {
                if (bits.Bit() != 0)
                    m_value[node] = low;
                else
                    ++low;
            }
            m_low[node] = low;
        }
        return m_value[leaf] < threshold;
    }

private:
    static constexpr std::uint32_t kRoot = 0xFFFFFFFF;
    std::vector<std::uint32_t> m_parent;
    std::vector<std::uint32_t> m_value;
    std::vector<std::uint32_t> m_low;
};

struct CodeBlock {
    std::uint64_t samples = 0;
    int passes = 0;           // signalled so far
    int segmentPasses = 0;    // in its last coding segment
    int lengthBits = 3;
    bool included = false;
    int newPasses = 0;        // of the packet being read
    std::uint64_t newBytes = 0;
};

// One band of one precinct.
struct PrecinctBand {
    std::uint32_t cw = 0, ch = 0;
    std::vector<CodeBlock> blocks;
    TagTree inclusion{1, 1}, zeroPlanes{1, 1};
};

struct Resolution {
    std::uint32_t pw = 0, ph = 0;
    std::vector<std::vector<PrecinctBand>> precincts;   // [precinct][band], empty bands left out
};

struct Area {
    std::int64_t x0, y0, x1, y1;
};

// Code-blocks of one band inside one precinct, as OpenJPEG cuts them.
bool CutPrecinct(const Area& band, const Area& grid, int cbw, int cbh, PrecinctBand& out, std::uint64_t& total,
                 std::uint64_t maxCodeBlocks)
{
    const Area prc = {std::max(grid.x0, band.x0), std::max(grid.y0, band.y0), std::min(grid.x1, band.x1),
                      std::min(grid.y1, band.y1)};
    if (prc.x1 < prc.x0 || prc.y1 < prc.y0)
        return false;
    const std::int64_t bx0 = FloorDivPow2(prc.x0, cbw) << cbw, by0 = FloorDivPow2(prc.y0, cbh) << cbh;
    const std::int64_t bx1 = CeilDivPow2(prc.x1, cbw) << cbw, by1 = CeilDivPow2(prc.y1, cbh) << cbh;
    out.cw = static_cast<std::uint32_t>((bx1 - bx0) >> cbw);
    out.ch = static_cast<std::uint32_t>((by1 - by0) >> cbh);
    total += static_cast<std::uint64_t>(out.cw) * out.ch;
    if (total > maxCodeBlocks)
        return false;
    out.blocks.resize(static_cast<std::size_t>(out.cw) * out.ch);
    for (std::uint32_t j = 0; j < out.ch; ++j) {
        for (std::uint32_t i = 0; i < out.cw; ++i) {
            const std::int64_t x0 = std::max(bx0 + (static_cast<std::int64_t>(i) << cbw), prc.x0);
            const std::int64_t y0 = std::max(by0 + (static_cast<std::int64_t>(j) << cbh), prc.y0);
            const std::int64_t x1 = std::min(bx0 + (static_cast<std::int64_t>(i + 1) << cbw), prc.x1);
            const std::int64_t y1 = std::min(by0 + (static_cast<std::int64_t>(j + 1) << cbh), prc.y1);
            if (x1 > x0 && y1 > y0)
                out.blocks[j * out.cw + i].samples = static_cast<std::uint64_t>((x1 - x0) * (y1 - y0));
        }
    }
    if (out.cw > 0 && out.ch > 0) {
        out.inclusion = TagTree(out.cw, out.ch);
        out.zeroPlanes = TagTree(out.cw, out.ch);
    }
    return true;
}

// The precincts and code-blocks of one resolution of one component (not sub-sampled).
bool CutResolution(const J2kPassTile& tile, const J2kPassComponent& comp, int r, Resolution& res, std::uint64_t& total,
                   std::uint64_t maxCodeBlocks)
{
    const int level = comp.resolutions - 1 - r;
    const Area area = {CeilDivPow2(tile.x0, level), CeilDivPow2(tile.y0, level), CeilDivPow2(tile.x1, level),
                       CeilDivPow2(tile.y1, level)};
    const int pdx = comp.prcw[r], pdy = comp.prch[r];
    const std::int64_t px0 = FloorDivPow2(area.x0, pdx) << pdx, py0 = FloorDivPow2(area.y0, pdy) << pdy;
    const std::int64_t px1 = CeilDivPow2(area.x1, pdx) << pdx, py1 = CeilDivPow2(area.y1, pdy) << pdy;
    res.pw = area.x0 == area.x1 ? 0 : static_cast<std::uint32_t>((px1 - px0) >> pdx);
    res.ph = area.y0 == area.y1 ? 0 : static_cast<std::uint32_t>((py1 - py0) >> pdy);
    if (static_cast<std::uint64_t>(res.pw) * res.ph > maxCodeBlocks)
        return false;
    const std::int64_t gx0 = r == 0 ? px0 : CeilDivPow2(px0, 1), gy0 = r == 0 ? py0 : CeilDivPow2(py0, 1);
    const int gw = r == 0 ? pdx : pdx - 1, gh = r == 0 ? pdy : pdy - 1;
    const int cbw = std::min(comp.cbw, gw), cbh = std::min(comp.cbh, gh);
    std::vector<Area> bands;
    if (r == 0) {
        bands.push_back(area);
    } else {
        for (int b = 1; b <= 3; ++b) {
            const std::int64_t ox = b & 1, oy = b >> 1;
            bands.push_back({CeilDivPow2(tile.x0 - (ox << level), level + 1), CeilDivPow2(tile.y0 - (oy << level), level + 1),
                             CeilDivPow2(tile.x1 - (ox << level), level + 1), CeilDivPow2(tile.y1 - (oy << level), level + 1)});
        }
    }
    res.precincts.resize(static_cast<std::size_t>(res.pw) * res.ph);
    for (std::uint32_t p = 0; p < res.pw * res.ph; ++p) {
        const std::int64_t cx = gx0 + (static_cast<std::int64_t>(p % res.pw) << gw);
        const std::int64_t cy = gy0 + (static_cast<std::int64_t>(p / res.pw) << gh);
        const Area grid = {cx, cy, cx + (std::int64_t{1} << gw), cy + (std::int64_t{1} << gh)};
        for (const Area& band : bands) {
            if (band.x1 == band.x0 || band.y1 == band.y0)
                continue;   // an empty band has no precincts and sends nothing
            res.precincts[p].emplace_back();
            if (!CutPrecinct(band, grid, cbw, cbh, res.precincts[p].back(), total, maxCodeBlocks))
                return false;
        }
    }
    return true;
}

int NumPasses(HeaderBits& bits)
{
    if (bits.Bit() == 0)
        return 1;
    if (bits.Bit() == 0)
        return 2;
    std::uint32_t n = bits.Bits(2);
    if (n != 3)
        return static_cast<int>(3 + n);
    n = bits.Bits(5);
    if (n != 31)
        return static_cast<int>(6 + n);
    return static_cast<int>(37 + bits.Bits(7));
}

int FloorLog2(int n)
{
    int l = 0;
    while (n > 1) {
        n >>= 1;
        ++l;
    }
    return l;
}

// One code-block's part of a packet header; false where the header is one OpenJPEG refuses.
bool ReadBlockHeader(HeaderBits& bits, PrecinctBand& band, std::uint32_t index, std::uint32_t layer)
{
    CodeBlock& cb = band.blocks[index];
    cb.newPasses = 0;
    cb.newBytes = 0;
    const bool included = cb.included ? bits.Bit() != 0 : band.inclusion.Decode(bits, index, layer + 1);
    if (!included)
        return true;
    if (!cb.included) {
        std::uint32_t zero = 0;
        while (!band.zeroPlanes.Decode(bits, index, zero)) {
            if (++zero > 64 || bits.Overran())
                return false;
        }
        cb.lengthBits = 3;
    }
    cb.newPasses = NumPasses(bits);
    while (bits.Bit() != 0) {
        if (++cb.lengthBits > 32 || bits.Overran())
            return false;
    }
    for (int left = cb.newPasses, segment = cb.segmentPasses; left > 0;) {
        if (segment == kPassesPerSegment)
            segment = 0;
        const int passes = std::min(kPassesPerSegment - segment, left);
        const int lengthBits = cb.lengthBits + FloorLog2(passes);
        if (lengthBits > 32)
            return false;
        cb.newBytes += bits.Bits(lengthBits);
        segment += passes;
        left -= passes;
    }
    return true;
}

// After a header: a code-block that was sent is in from now on, with its new passes.
void TakePackets(std::vector<PrecinctBand>& bands)
{
    for (PrecinctBand& band : bands) {
        for (CodeBlock& cb : band.blocks) {
            if (cb.newPasses == 0)
                continue;
            cb.included = true;
            cb.passes += cb.newPasses;
            cb.segmentPasses = (cb.segmentPasses == kPassesPerSegment ? 0 : cb.segmentPasses);
            cb.segmentPasses = (cb.segmentPasses + cb.newPasses - 1) % kPassesPerSegment + 1;
        }
    }
}

// One packet at `pos`: its SOP, header, EPH and body. False when it cannot be followed cleanly.
bool ReadPacket(const J2kPassTile& tile, std::vector<PrecinctBand>& bands, std::uint32_t layer, std::size_t& pos)
{
    const unsigned char* data = tile.data;
    const std::size_t end = tile.size;
    if (tile.sop && end - pos >= 6 && data[pos] == 0xFF && data[pos + 1] == 0x91)
        pos += 6;
    HeaderBits bits(data + pos, data + end);
    const bool present = bits.Bit() != 0;
    for (PrecinctBand& band : bands) {
        for (std::uint32_t i = 0; present && i < band.blocks.size(); ++i) {
            if (!ReadBlockHeader(bits, band, i, layer))
                return false;
        }
    }
    bits.Align();
    if (bits.Overran())
        return false;
    pos += bits.Used();
    if (tile.eph && end - pos >= 2 && data[pos] == 0xFF && data[pos + 1] == 0x92)
        pos += 2;
    std::uint64_t body = 0;
    for (const PrecinctBand& band : bands)
        for (const CodeBlock& cb : band.blocks)
            body += present ? cb.newBytes : 0;
    if (body > end - pos)
        return false;   // a packet cut short: OpenJPEG reads on from where it stops, so we do not follow
    pos += static_cast<std::size_t>(body);
    if (present)
        TakePackets(bands);
    return true;
}

}  // namespace

bool J2kSignalledSamplePasses(const J2kPassTile& tile, int maxPasses, std::uint64_t maxCodeBlocks,
                              std::uint64_t& samplePasses)
{
    std::vector<std::vector<Resolution>> comps(tile.comps.size());
    std::uint64_t total = 0;
    int maxResolutions = 0;
    for (std::size_t c = 0; c < tile.comps.size(); ++c) {
        const J2kPassComponent& comp = tile.comps[c];
        maxResolutions = std::max(maxResolutions, comp.resolutions);
        comps[c].resize(static_cast<std::size_t>(comp.resolutions));
        for (int r = 0; r < comp.resolutions; ++r) {
            if (!CutResolution(tile, comp, r, comps[c][static_cast<std::size_t>(r)], total, maxCodeBlocks))
                return false;
        }
    }
    std::size_t pos = 0;
    const std::uint64_t outer = tile.resolutionFirst ? static_cast<std::uint64_t>(maxResolutions) : tile.layers;
    const std::uint64_t inner = tile.resolutionFirst ? tile.layers : static_cast<std::uint64_t>(maxResolutions);
    for (std::uint64_t a = 0; a < outer; ++a) {
        for (std::uint64_t b = 0; b < inner; ++b) {
            const std::uint32_t layer = static_cast<std::uint32_t>(tile.resolutionFirst ? b : a);
            const std::size_t r = static_cast<std::size_t>(tile.resolutionFirst ? a : b);
            for (auto& resolutions : comps) {
                if (r >= resolutions.size())
                    continue;
                for (auto& precinct : resolutions[r].precincts) {
                    if (!ReadPacket(tile, precinct, layer, pos))
                        return false;
                }
            }
        }
    }
    // Packets that end anywhere but at the end of the data were not read as their encoder wrote them.
    if (pos != tile.size)
        return false;
    samplePasses = 0;
    for (const auto& resolutions : comps)
        for (const Resolution& res : resolutions)
            for (const auto& precinct : res.precincts)
                for (const PrecinctBand& band : precinct)
                    for (const CodeBlock& cb : band.blocks)
                        samplePasses += cb.samples * static_cast<std::uint64_t>(std::min(cb.passes, maxPasses));
    return true;
}
