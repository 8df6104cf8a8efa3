// J2kPacketOrder.h: the order in which one tile's packets follow each other, as OpenJPEG 2.5's
// decoding packet iterator gives them (pi.c), for the packet header walk of the decode estimate.
//
// A tile's packets come in one progression, or in several when a POC marker changes it: layer-,
// resolution-, position- or component-first, each within the ranges of its progression. Position-
// first orders step over the tile's area on the reference grid by the smallest precinct of any
// component and resolution, and meet each precinct at its top left corner. A packet sent by an
// earlier progression of the tile is not sent again.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct J2kProgression {
    int order = 0;                      // 0 LRCP, 1 RLCP, 2 RPCL, 3 PCRL, 4 CPRL
    std::uint32_t resno0 = 0, compno0 = 0;
    std::uint32_t layno1 = 0, resno1 = 0, compno1 = 0;   // ends, not included
};

struct J2kOrderResolution {
    std::uint32_t pw = 0, ph = 0;       // precincts across and down
    int pdx = 15, pdy = 15;             // precinct size exponents
};

struct J2kOrderComponent {
    std::uint32_t dx = 1, dy = 1;       // sub-sampling
    std::vector<J2kOrderResolution> resolutions;
};

struct J2kOrderTile {
    std::uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;   // on the reference grid
    std::uint32_t layers = 1;
    std::vector<J2kOrderComponent> comps;
};

enum class EPacketWalk {
    kDone,        // every packet of the progression was visited
    kStopped,     // the visitor asked to stop
    kOverBudget,  // the steps passed what was left of the budget
};

// Visits each packet of one progression: (layer, resolution, component, precinct). `sent` marks
// the packets already visited, by the tile's earlier progressions or at another position of this
// one (J2kPacketSlotCount of them, layer by layer). Every iterator step (a packet, or a position a
// position-first order tries) takes one from stepsLeft.
EPacketWalk J2kForEachPacket(const J2kOrderTile& tile, const J2kProgression& run, std::vector<bool>& sent,
                             std::uint64_t& stepsLeft,
                             const std::function<bool(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t)>& visit);

// The packets of the tile: the size of `sent`.
std::uint64_t J2kPacketSlotCount(const J2kOrderTile& tile);
