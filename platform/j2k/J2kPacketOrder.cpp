// J2kPacketOrder.cpp: the five progression orders over a tile's layers, resolutions, components
// and precincts, in the iterator's unsigned 32-bit arithmetic.
#include "platform/j2k/J2kPacketOrder.h"

#include <algorithm>
#include <climits>

namespace {

using Visit = std::function<bool(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t)>;

std::uint32_t CeilDiv(std::uint32_t a, std::uint32_t b)
{
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(a) + b - 1) / b);
}

// The first packet slot of each component's resolutions within one layer, and a layer's slots.
struct Slots {
    std::vector<std::vector<std::uint64_t>> first;
    std::uint64_t perLayer = 0;

    explicit Slots(const J2kOrderTile& tile)
    {
        for (const J2kOrderComponent& comp : tile.comps) {
            first.emplace_back();
            for (const J2kOrderResolution& res : comp.resolutions) {
                first.back().push_back(perLayer);
                perLayer += static_cast<std::uint64_t>(res.pw) * res.ph;
            }
        }
    }
};

// One progression's walk: the packets it visits and the steps it takes.
class Walk {
public:
    Walk(const J2kOrderTile& tile, const J2kProgression& run, std::vector<bool>& sent, std::uint64_t& stepsLeft,
         const Visit& visit)
        : m_tile(tile), m_run(run), m_sent(sent), m_slots(tile), m_stepsLeft(stepsLeft), m_visit(visit)
    {
    }

    EPacketWalk Run()
    {
        switch (m_run.order) {
        case 0: Lrcp(); break;
        case 1: Rlcp(); break;
        case 2: Rpcl(); break;
        case 3: Pcrl(); break;
        case 4: Cprl(); break;
        default: break;   // an order the iterator does not know sends no packets
        }
        return m_result;
    }

private:
    bool Step()
    {
        if (m_stepsLeft == 0) {
            m_result = EPacketWalk::kOverBudget;
            return false;
        }
        --m_stepsLeft;
        return true;
    }

    // One packet, unless an earlier progression sent it. False: stop the walk.
    bool Packet(std::uint32_t layer, std::uint32_t r, std::uint32_t c, std::uint32_t p)
    {
        if (!Step())
            return false;
        const std::uint64_t slot = layer * m_slots.perLayer + m_slots.first[c][r] + p;
        if (m_sent[slot])
            return true;
        m_sent[slot] = true;
        if (!m_visit(layer, r, c, p)) {
            m_result = EPacketWalk::kStopped;
            return false;
        }
        return true;
    }

    std::uint32_t Layers() const { return std::min(m_run.layno1, m_tile.layers); }
    std::uint32_t Comps() const { return std::min<std::uint32_t>(m_run.compno1, static_cast<std::uint32_t>(m_tile.comps.size())); }

    bool Precincts(std::uint32_t layer, std::uint32_t r, std::uint32_t c)
    {
        const auto& resolutions = m_tile.comps[c].resolutions;
        if (r >= resolutions.size())
            return true;
        const std::uint64_t count = static_cast<std::uint64_t>(resolutions[r].pw) * resolutions[r].ph;
        for (std::uint32_t p = 0; p < count; ++p) {
            if (!Packet(layer, r, c, p))
                return false;
        }
        return true;
    }

    void Lrcp()
    {
        for (std::uint32_t l = 0; l < Layers(); ++l)
            for (std::uint32_t r = m_run.resno0; r < m_run.resno1; ++r)
                for (std::uint32_t c = m_run.compno0; c < Comps(); ++c)
                    if (!Precincts(l, r, c))
                        return;
    }

    void Rlcp()
    {
        for (std::uint32_t r = m_run.resno0; r < m_run.resno1; ++r)
            for (std::uint32_t l = 0; l < Layers(); ++l)
                for (std::uint32_t c = m_run.compno0; c < Comps(); ++c)
                    if (!Precincts(l, r, c))
                        return;
    }

    // The smallest precinct on the reference grid over the given components' resolutions: the
    // step of a position-first order. False when there is none.
    bool PositionStep(std::uint32_t c0, std::uint32_t c1)
    {
        m_dx = m_dy = 0;
        for (std::uint32_t c = c0; c < c1; ++c) {
            const J2kOrderComponent& comp = m_tile.comps[c];
            const std::uint32_t n = static_cast<std::uint32_t>(comp.resolutions.size());
            for (std::uint32_t r = 0; r < n; ++r) {
                const std::uint32_t ex = static_cast<std::uint32_t>(comp.resolutions[r].pdx) + n - 1 - r;
                const std::uint32_t ey = static_cast<std::uint32_t>(comp.resolutions[r].pdy) + n - 1 - r;
                if (ex < 32 && comp.dx <= UINT_MAX / (1u << ex))
                    m_dx = m_dx == 0 ? comp.dx * (1u << ex) : std::min(m_dx, comp.dx * (1u << ex));
                if (ey < 32 && comp.dy <= UINT_MAX / (1u << ey))
                    m_dy = m_dy == 0 ? comp.dy * (1u << ey) : std::min(m_dy, comp.dy * (1u << ey));
            }
        }
        return m_dx != 0 && m_dy != 0;
    }

    // The precinct of component c's resolution r whose top left corner is the position (x, y), if
    // there is one there. Positions off its precincts' corners find none.
    bool PrecinctAt(std::uint32_t x, std::uint32_t y, std::uint32_t c, std::uint32_t r, std::uint32_t& p) const
    {
        const J2kOrderComponent& comp = m_tile.comps[c];
        const J2kOrderResolution& res = comp.resolutions[r];
        const std::uint32_t level = static_cast<std::uint32_t>(comp.resolutions.size()) - 1 - r;
        if (level >= 32 || ((comp.dx << level) >> level) != comp.dx || ((comp.dy << level) >> level) != comp.dy)
            return false;
        const std::uint32_t rx0 = CeilDiv(m_tile.x0, comp.dx << level), ry0 = CeilDiv(m_tile.y0, comp.dy << level);
        const std::uint32_t rx1 = CeilDiv(m_tile.x1, comp.dx << level), ry1 = CeilDiv(m_tile.y1, comp.dy << level);
        const std::uint32_t rpx = static_cast<std::uint32_t>(res.pdx) + level, rpy = static_cast<std::uint32_t>(res.pdy) + level;
        if (rpx >= 31 || ((comp.dx << rpx) >> rpx) != comp.dx || rpy >= 31 || ((comp.dy << rpy) >> rpy) != comp.dy)
            return false;
        if (!(y % (comp.dy << rpy) == 0 || (y == m_tile.y0 && ((ry0 << level) % (1u << rpy)) != 0)))
            return false;
        if (!(x % (comp.dx << rpx) == 0 || (x == m_tile.x0 && ((rx0 << level) % (1u << rpx)) != 0)))
            return false;
        if (res.pw == 0 || res.ph == 0 || rx0 == rx1 || ry0 == ry1)
            return false;
        const std::uint32_t i = (CeilDiv(x, comp.dx << level) >> res.pdx) - (rx0 >> res.pdx);
        const std::uint32_t j = (CeilDiv(y, comp.dy << level) >> res.pdy) - (ry0 >> res.pdy);
        if (i >= res.pw || j >= res.ph)
            return false;
        p = i + j * res.pw;
        return true;
    }

    // Every layer of the precinct at (x, y), if any; false: stop the walk.
    bool Position(std::uint32_t x, std::uint32_t y, std::uint32_t c, std::uint32_t r)
    {
        if (!Step())
            return false;
        std::uint32_t p = 0;
        if (r >= m_tile.comps[c].resolutions.size() || !PrecinctAt(x, y, c, r, p))
            return true;
        for (std::uint32_t l = 0; l < Layers(); ++l) {
            if (!Packet(l, r, c, p))
                return false;
        }
        return true;
    }

    // The positions of the tile, in rows: each calls `at` (x, y); false stops.
    template <class At>
    bool Positions(At&& at)
    {
        for (std::uint32_t y = m_tile.y0; y < m_tile.y1; y += m_dy - y % m_dy)
            for (std::uint32_t x = m_tile.x0; x < m_tile.x1; x += m_dx - x % m_dx)
                if (!at(x, y))
                    return false;
        return true;
    }

    void Rpcl()
    {
        if (!PositionStep(0, static_cast<std::uint32_t>(m_tile.comps.size())))
            return;
        for (std::uint32_t r = m_run.resno0; r < m_run.resno1; ++r) {
            const bool go = Positions([&](std::uint32_t x, std::uint32_t y) {
                for (std::uint32_t c = m_run.compno0; c < Comps(); ++c)
                    if (!Position(x, y, c, r))
                        return false;
                return true;
            });
            if (!go)
                return;
        }
    }

    void Pcrl()
    {
        if (!PositionStep(0, static_cast<std::uint32_t>(m_tile.comps.size())))
            return;
        Positions([&](std::uint32_t x, std::uint32_t y) {
            for (std::uint32_t c = m_run.compno0; c < Comps(); ++c) {
                const std::uint32_t r1 = std::min<std::uint32_t>(m_run.resno1, static_cast<std::uint32_t>(m_tile.comps[c].resolutions.size()));
                for (std::uint32_t r = m_run.resno0; r < r1; ++r)
                    if (!Position(x, y, c, r))
                        return false;
            }
            return true;
        });
    }

    void Cprl()
    {
        for (std::uint32_t c = m_run.compno0; c < Comps(); ++c) {
            if (!PositionStep(c, c + 1))
                return;
            const std::uint32_t r1 = std::min<std::uint32_t>(m_run.resno1, static_cast<std::uint32_t>(m_tile.comps[c].resolutions.size()));
            const bool go = Positions([&](std::uint32_t x, std::uint32_t y) {
                for (std::uint32_t r = m_run.resno0; r < r1; ++r)
                    if (!Position(x, y, c, r))
                        return false;
                return true;
            });
            if (!go)
                return;
        }
    }

    const J2kOrderTile& m_tile;
    const J2kProgression& m_run;
    std::vector<bool>& m_sent;
    Slots m_slots;
    std::uint64_t& m_stepsLeft;
    const Visit& m_visit;
    std::uint32_t m_dx = 0, m_dy = 0;
    EPacketWalk m_result = EPacketWalk::kDone;
};

}  // namespace

EPacketWalk J2kForEachPacket(const J2kOrderTile& tile, const J2kProgression& run, std::vector<bool>& sent,
                             std::uint64_t& stepsLeft, const Visit& visit)
{
    return Walk(tile, run, sent, stepsLeft, visit).Run();
}

std::uint64_t J2kPacketSlotCount(const J2kOrderTile& tile)
{
    return Slots(tile).perLayer * tile.layers;
}
