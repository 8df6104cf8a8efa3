// J2kPacketPasses.cpp: packet headers read bit by bit, with OpenJPEG's tag trees, code-block
// geometry and coding segments, to count the coding passes they give.
#include "platform/j2k/J2kPacketPasses.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kNoValue = 999;         // a tag tree node not yet decoded
constexpr std::uint32_t kUnbuilt = 0xFFFFFFFF;  // a precinct no packet with data has reached yet
constexpr std::uint32_t kHighThroughput = 0x40 | 0x80;   // code-blocks whose headers read otherwise
constexpr std::uint32_t kBypass = 0x01;
constexpr std::uint32_t kTerminateEachPass = 0x04;

std::int64_t CeilDivPow2(std::int64_t a, int b)
{
    return (a + (static_cast<std::int64_t>(1) << b) - 1) >> b;
}

std::int64_t FloorDivPow2(std::int64_t a, int b)
{
    return a >> b;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b)
{
    return (a + b - 1) / b;
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

// Tag trees: each node is the smallest value of those below it, sent as the increments from its
// parent's; every level halves the one below, rounding up, to one root. The trees of a tile live
// in one array of nodes, a tree's levels one after the other from its leaves; a band's two trees
// have the same shape, whose levels' starts and widths live in a second array.
struct Node {
    std::uint32_t value = kNoValue;
    std::uint32_t low = 0;
};

struct Level {
    std::uint32_t start = 0;   // from the tree's first node
    std::uint32_t width = 0;
};

std::uint64_t TreeNodes(std::uint64_t w, std::uint64_t h)
{
    std::uint64_t n = w * h;
    while (w * h > 1) {
        w = (w + 1) / 2;
        h = (h + 1) / 2;
        n += w * h;
    }
    return n;
}

struct Block {
    std::uint32_t passes = 0;          // signalled so far
    std::uint16_t samples = 0;
    std::uint8_t segmentMax = 0;       // passes its last coding segment takes; 0: none yet
    std::uint8_t segmentPasses = 0;    // passes in that segment
    std::uint8_t lengthBits = 3;
    bool included = false;
};

// One band of one precinct: its code-blocks and its two tag trees.
struct Band {
    std::uint32_t cw = 0, ch = 0;
    std::uint32_t blocks = 0;          // first in the tile's code-blocks
    std::uint32_t inclusion = 0, zeroPlanes = 0;   // first node of each tree
    std::uint32_t levels = 0;          // first of the trees' levels
    std::uint32_t depth = 0;           // levels, leaves to root
    std::uint32_t included = 0;        // code-blocks in so far
};

struct Area {
    std::int64_t x0, y0, x1, y1;
    bool Empty() const { return x1 == x0 || y1 == y0; }
};

// One resolution of one component: where its precincts lie and which are built.
struct Resolution {
    std::uint32_t pw = 0, ph = 0;
    std::int64_t gx0 = 0, gy0 = 0;     // the precinct grid's start in band coordinates
    int gw = 0, gh = 0;                // its cell size exponents there
    int cbw = 0, cbh = 0;
    std::vector<Area> bands;           // the resolution's non-empty bands
    std::vector<std::uint32_t> precincts;   // each one's first band, or kUnbuilt
};

int FloorLog2(std::uint32_t n)
{
    int l = 0;
    while (n > 1) {
        n >>= 1;
        ++l;
    }
    return l;
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

// The passes a code-block's next coding segment takes: with bypass, ten, then two raw and one
// arithmetic in turn; with a termination on every pass, one; else all there can be.
std::uint8_t NextSegment(std::uint32_t style, std::uint8_t previous)
{
    if ((style & kTerminateEachPass) != 0)
        return 1;
    if ((style & kBypass) != 0)
        return previous == 0 ? 10 : previous == 1 || previous == 10 ? 2 : 1;
    return 109;
}

class TileWalk {
public:
    TileWalk(const J2kPassTile& tile, std::uint64_t& stepsLeft) : m_tile(tile), m_stepsLeft(stepsLeft) {}

    bool Run(int maxPasses, J2kPassCount& count)
    {
        J2kOrderTile order;
        if (!Cut(order))
            return false;
        const std::uint64_t slots = J2kPacketSlotCount(order);
        if (!Take(slots / 8))
            return false;
        std::vector<bool> sent(slots);
        for (const J2kProgression& run : m_tile.progressions) {
            const EPacketWalk walked = J2kForEachPacket(order, run, sent, m_stepsLeft,
                [this](std::uint32_t l, std::uint32_t r, std::uint32_t c, std::uint32_t p) { return Packet(l, r, c, p); });
            if (walked == EPacketWalk::kOverBudget || m_bFailed)
                return false;
            if (m_pos == m_tile.size)
                break;   // every later packet reads as empty
        }
        // Packets that end anywhere but at the end of the data were not read as their encoder wrote them.
        if (m_pos != m_tile.size)
            return false;
        for (const Block& b : m_blocks)
            m_count.samplePasses += static_cast<std::uint64_t>(b.samples) * std::min<std::uint32_t>(b.passes, static_cast<std::uint32_t>(maxPasses));
        count = m_count;
        return true;
    }

private:
    bool Take(std::uint64_t visits)
    {
        if (visits > m_stepsLeft)
            return false;
        m_stepsLeft -= visits;
        return true;
    }

    // Every component's resolutions: their precinct grids and bands, as OpenJPEG cuts them.
    bool Cut(J2kOrderTile& order)
    {
        order.x0 = m_tile.x0;
        order.y0 = m_tile.y0;
        order.x1 = m_tile.x1;
        order.y1 = m_tile.y1;
        order.layers = m_tile.layers;
        m_comps.resize(m_tile.comps.size());
        for (std::size_t c = 0; c < m_tile.comps.size(); ++c) {
            const J2kPassComponent& comp = m_tile.comps[c];
            if ((comp.codeBlockStyle & kHighThroughput) != 0)
                return false;
            const Area area = {CeilDiv(m_tile.x0, comp.dx), CeilDiv(m_tile.y0, comp.dy), CeilDiv(m_tile.x1, comp.dx),
                               CeilDiv(m_tile.y1, comp.dy)};
            order.comps.push_back({comp.dx, comp.dy, {}});
            m_comps[c].resize(static_cast<std::size_t>(comp.resolutions));
            for (int r = 0; r < comp.resolutions; ++r) {
                Resolution& res = m_comps[c][static_cast<std::size_t>(r)];
                if (!CutResolution(comp, area, r, res))
                    return false;
                order.comps.back().resolutions.push_back({res.pw, res.ph, comp.prcw[r], comp.prch[r]});
            }
        }
        return true;
    }

    bool CutResolution(const J2kPassComponent& comp, const Area& tc, int r, Resolution& res)
    {
        const int level = comp.resolutions - 1 - r;
        const Area area = {CeilDivPow2(tc.x0, level), CeilDivPow2(tc.y0, level), CeilDivPow2(tc.x1, level),
                           CeilDivPow2(tc.y1, level)};
        const int pdx = comp.prcw[r], pdy = comp.prch[r];
        const std::int64_t px0 = FloorDivPow2(area.x0, pdx) << pdx, py0 = FloorDivPow2(area.y0, pdy) << pdy;
        const std::int64_t px1 = CeilDivPow2(area.x1, pdx) << pdx, py1 = CeilDivPow2(area.y1, pdy) << pdy;
        res.pw = area.x0 == area.x1 ? 0 : static_cast<std::uint32_t>((px1 - px0) >> pdx);
        res.ph = area.y0 == area.y1 ? 0 : static_cast<std::uint32_t>((py1 - py0) >> pdy);
        const std::uint64_t precincts = static_cast<std::uint64_t>(res.pw) * res.ph;
        if (!Take(precincts))
            return false;
        res.gx0 = r == 0 ? px0 : CeilDivPow2(px0, 1);
        res.gy0 = r == 0 ? py0 : CeilDivPow2(py0, 1);
        res.gw = r == 0 ? pdx : pdx - 1;
        res.gh = r == 0 ? pdy : pdy - 1;
        res.cbw = std::min(comp.cbw, res.gw);
        res.cbh = std::min(comp.cbh, res.gh);
        if (r == 0) {
            res.bands.push_back(area);
        } else {
            for (int b = 1; b <= 3; ++b) {
                const std::int64_t ox = b & 1, oy = b >> 1;
                const Area band = {CeilDivPow2(tc.x0 - (ox << level), level + 1), CeilDivPow2(tc.y0 - (oy << level), level + 1),
                                   CeilDivPow2(tc.x1 - (ox << level), level + 1), CeilDivPow2(tc.y1 - (oy << level), level + 1)};
                if (!band.Empty())
                    res.bands.push_back(band);   // an empty band has no precincts and sends nothing
            }
        }
        res.precincts.assign(static_cast<std::size_t>(precincts), kUnbuilt);
        return true;
    }

    // The code-blocks and tag trees of one precinct's bands, the first time a packet of it has data.
    bool Build(Resolution& res, std::uint32_t p)
    {
        const std::int64_t cx = res.gx0 + (static_cast<std::int64_t>(p % res.pw) << res.gw);
        const std::int64_t cy = res.gy0 + (static_cast<std::int64_t>(p / res.pw) << res.gh);
        const Area grid = {cx, cy, cx + (std::int64_t{1} << res.gw), cy + (std::int64_t{1} << res.gh)};
        res.precincts[p] = static_cast<std::uint32_t>(m_bands.size());
        for (const Area& band : res.bands) {
            const Area prc = {std::max(grid.x0, band.x0), std::max(grid.y0, band.y0), std::min(grid.x1, band.x1),
                              std::min(grid.y1, band.y1)};
            if (prc.x1 < prc.x0 || prc.y1 < prc.y0)
                return false;
            const std::int64_t bx0 = FloorDivPow2(prc.x0, res.cbw) << res.cbw, by0 = FloorDivPow2(prc.y0, res.cbh) << res.cbh;
            const std::int64_t bx1 = CeilDivPow2(prc.x1, res.cbw) << res.cbw, by1 = CeilDivPow2(prc.y1, res.cbh) << res.cbh;
            Band out;
            out.cw = static_cast<std::uint32_t>((bx1 - bx0) >> res.cbw);
            out.ch = static_cast<std::uint32_t>((by1 - by0) >> res.cbh);
            const std::uint64_t blocks = static_cast<std::uint64_t>(out.cw) * out.ch;
            if (!Take(blocks + 2 * TreeNodes(out.cw, out.ch)))
                return false;
            out.blocks = static_cast<std::uint32_t>(m_blocks.size());
            m_blocks.resize(m_blocks.size() + static_cast<std::size_t>(blocks));
            for (std::uint32_t j = 0; j < out.ch; ++j) {
                for (std::uint32_t i = 0; i < out.cw; ++i) {
                    const std::int64_t x0 = std::max(bx0 + (static_cast<std::int64_t>(i) << res.cbw), prc.x0);
                    const std::int64_t y0 = std::max(by0 + (static_cast<std::int64_t>(j) << res.cbh), prc.y0);
                    const std::int64_t x1 = std::min(bx0 + (static_cast<std::int64_t>(i + 1) << res.cbw), prc.x1);
                    const std::int64_t y1 = std::min(by0 + (static_cast<std::int64_t>(j + 1) << res.cbh), prc.y1);
                    if (x1 > x0 && y1 > y0)
                        m_blocks[out.blocks + j * out.cw + i].samples = static_cast<std::uint16_t>((x1 - x0) * (y1 - y0));
                }
            }
            if (blocks > 0)
                AddTrees(out);
            m_bands.push_back(out);
        }
        return true;
    }

    // The band's two tag trees over its code-blocks, all values unknown.
    void AddTrees(Band& band)
    {
        band.levels = static_cast<std::uint32_t>(m_levels.size());
        std::uint32_t w = band.cw, h = band.ch, start = 0;
        for (;;) {
            m_levels.push_back({start, w});
            start += w * h;
            if (w * h == 1)
                break;
            w = (w + 1) / 2;
            h = (h + 1) / 2;
        }
        band.depth = static_cast<std::uint32_t>(m_levels.size()) - band.levels;
        band.inclusion = static_cast<std::uint32_t>(m_nodes.size());
        band.zeroPlanes = band.inclusion + start;
        m_nodes.resize(m_nodes.size() + 2 * static_cast<std::size_t>(start));
    }

    // True when the value of the code-block's leaf in one of the band's trees is below the
    // threshold; reads only the bits that decide it, from the root down. A node whose low bound
    // reaches the threshold decides for every leaf below it: the nodes below are left as they were,
    // their bound being the larger one a later read carries down to them.
    bool Decode(HeaderBits& bits, const Band& band, std::uint32_t tree, std::uint32_t index, std::uint32_t threshold)
    {
        const std::uint32_t x = index % band.cw, y = index / band.cw;
        std::uint32_t low = 0;
        Node* node = nullptr;
        for (std::uint32_t k = band.depth; k-- > 0;) {
            if (m_stepsLeft == 0) {
                m_bOverBudget = true;
                return false;
            }
            --m_stepsLeft;
            const Level& level = m_levels[band.levels + k];
            node = &m_nodes[tree + level.start + (y >> k) * level.width + (x >> k)];
            if (low > node->low)
                node->low = low;
            else
                low = node->low;
            if (low >= threshold)
                return false;
            while (low < threshold && low < node->value) {
                if (bits.Bit() != 0)
                    node->value = low;
                else
                    ++low;
            }
            node->low = low;
        }
        return node != nullptr && node->value < threshold;
    }

    // One band's code-blocks in a packet header. Once the inclusion tree's root rules out this
    // layer, only the code-blocks in before the packet read anything.
    bool ReadBand(HeaderBits& bits, Band& band, std::uint32_t layer, std::uint32_t style, std::uint64_t& body)
    {
        const std::uint32_t blocks = band.cw * band.ch;
        if (blocks == 0)
            return true;
        const Node& root = m_nodes[band.inclusion + m_levels[band.levels + band.depth - 1].start];
        std::uint32_t includedAhead = band.included;   // of those, from the next code-block on
        for (std::uint32_t i = 0; i < blocks; ++i) {
            if (!Take(1))
                return false;
            const bool included = m_blocks[band.blocks + i].included;
            if (!included && root.low >= layer + 1) {
                if (includedAhead == 0)
                    return true;
                continue;
            }
            if (!ReadBlock(bits, band, i, layer, style, body) || m_bOverBudget || bits.Overran())
                return false;
            includedAhead -= included ? 1 : 0;
        }
        return true;
    }

    // One code-block's part of a packet header; false where the header is one OpenJPEG refuses.
    bool ReadBlock(HeaderBits& bits, Band& band, std::uint32_t index, std::uint32_t layer, std::uint32_t style,
                   std::uint64_t& body)
    {
        Block& cb = m_blocks[band.blocks + index];
        const bool included = cb.included ? bits.Bit() != 0 : Decode(bits, band, band.inclusion, index, layer + 1);
        if (!included)
            return true;
        if (!cb.included) {
            std::uint32_t zero = 0;
            while (!Decode(bits, band, band.zeroPlanes, index, zero)) {
                if (++zero > 64 || bits.Overran())
                    return false;
            }
            cb.lengthBits = 3;
            cb.included = true;
            ++band.included;
        }
        const int passes = NumPasses(bits);
        while (bits.Bit() != 0) {
            if (++cb.lengthBits > 32 || bits.Overran())
                return false;
        }
        if (cb.segmentMax == 0 || cb.segmentPasses == cb.segmentMax) {
            cb.segmentMax = NextSegment(style, cb.segmentMax);
            cb.segmentPasses = 0;
        }
        for (int left = passes;;) {
            const int taken = std::min(cb.segmentMax - cb.segmentPasses, left);
            const int lengthBits = cb.lengthBits + FloorLog2(static_cast<std::uint32_t>(taken));
            if (lengthBits > 32)
                return false;
            body += bits.Bits(lengthBits);
            cb.segmentPasses = static_cast<std::uint8_t>(cb.segmentPasses + taken);
            left -= taken;
            if (left == 0)
                break;
            cb.segmentMax = NextSegment(style, cb.segmentMax);
            cb.segmentPasses = 0;
        }
        cb.passes = cb.passes > 0xFFFFFF00u ? cb.passes : cb.passes + static_cast<std::uint32_t>(passes);
        return true;
    }

    // One packet: its SOP, header, EPH and body. False stops the walk: at the end of the data, or
    // (m_bFailed) where it cannot be followed cleanly.
    bool Packet(std::uint32_t layer, std::uint32_t r, std::uint32_t c, std::uint32_t p)
    {
        const unsigned char* data = m_tile.data;
        const std::size_t end = m_tile.size;
        if (m_pos == end)
            return false;
        if (m_tile.sop && end - m_pos >= 6 && data[m_pos] == 0xFF && data[m_pos + 1] == 0x91)
            m_pos += 6;
        Resolution& res = m_comps[c][r];
        HeaderBits bits(data + m_pos, data + end);
        std::uint64_t body = 0;
        if (bits.Bit() != 0) {
            if (res.precincts[p] == kUnbuilt && !Build(res, p))
                return Fail();
            const std::uint32_t style = m_tile.comps[c].codeBlockStyle;
            for (std::size_t b = 0; b < res.bands.size(); ++b) {
                Band& band = m_bands[res.precincts[p] + b];
                const std::uint32_t blocks = band.cw * band.ch;
                m_count.headerReads += blocks;
                if (!ReadBand(bits, band, layer, style, body))
                    return Fail();
            }
        }
        bits.Align();
        if (bits.Overran())
            return Fail();
        m_pos += bits.Used();
        if (m_tile.eph && end - m_pos >= 2 && data[m_pos] == 0xFF && data[m_pos + 1] == 0x92)
            m_pos += 2;
        if (body > end - m_pos)
            return Fail();   // a packet cut short: OpenJPEG reads on from where it stops, so we do not follow
        m_pos += static_cast<std::size_t>(body);
        return true;
    }

    bool Fail()
    {
        m_bFailed = true;
        return false;
    }

    const J2kPassTile& m_tile;
    std::uint64_t& m_stepsLeft;
    bool m_bOverBudget = false;
    std::vector<std::vector<Resolution>> m_comps;
    std::vector<Band> m_bands;
    std::vector<Block> m_blocks;
    std::vector<Node> m_nodes;
    std::vector<Level> m_levels;
    J2kPassCount m_count;
    std::size_t m_pos = 0;
    bool m_bFailed = false;
};

}  // namespace

bool J2kSignalledSamplePasses(const J2kPassTile& tile, int maxPasses, std::uint64_t& stepsLeft, J2kPassCount& count)
{
    return TileWalk(tile, stepsLeft).Run(maxPasses, count);
}
