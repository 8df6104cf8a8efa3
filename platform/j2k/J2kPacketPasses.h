// J2kPacketPasses.h: the coding passes that one tile's packet headers give its code-blocks, read
// as OpenJPEG 2.5 reads them (t2.c, tgt.c, bio.c), for the decode estimate.
//
// Most of a decode's work is the coding passes over each code-block's samples, and a header may
// give a code-block up to three passes per bit-plane. Real pictures signal far fewer, so the
// estimate counts what the headers say where it can follow them exactly: every progression order
// and progression change (J2kPacketOrder.h), sub-sampled components, headers inside the packets,
// and the coding segments of every code-block style but high throughput. The walk builds a
// precinct's code-blocks and tag trees only when a packet of it has data, skips a band whose tag
// tree root shows that none of its code-blocks can come in, and stops where the data ends (every
// later packet is empty). Its steps, code-blocks, tag tree nodes and the nodes its header reads
// pass all take from one budget, a few nanoseconds each: it costs a small part of what OpenJPEG's
// own reading of the same headers does.
#pragma once

#include "platform/j2k/J2kPacketOrder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct J2kPassComponent {
    int resolutions = 1;
    int cbw = 6, cbh = 6;                  // code-block size exponents
    std::uint32_t dx = 1, dy = 1;          // sub-sampling
    std::uint32_t codeBlockStyle = 0;      // bypass and per-pass termination cut the passes into segments
    const std::uint8_t* prcw = nullptr;    // precinct size exponents per resolution
    const std::uint8_t* prch = nullptr;
};

struct J2kPassTile {
    std::uint32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;   // the tile's area on the reference grid
    std::uint32_t layers = 1;
    std::vector<J2kProgression> progressions;      // the coding style's, or the POC marker's
    bool sop = false, eph = false;                 // packets may start with SOP, headers end with EPH
    std::vector<J2kPassComponent> comps;
    const unsigned char* data = nullptr;           // the tile-parts' packet data, one after the other
    std::size_t size = 0;
};

struct J2kPassCount {
    std::uint64_t samplePasses = 0;   // code-block samples times the passes given (at most maxPasses each)
    std::uint64_t headerReads = 0;    // code-blocks OpenJPEG's header reads visit: every one of a packet's precinct
};

// What the tile's packet headers give. False when the headers cannot be followed, when a packet
// runs past the data or the packets end before it does, or when the walk would pass what is left
// of the budget (stepsLeft, which the walk takes from).
bool J2kSignalledSamplePasses(const J2kPassTile& tile, int maxPasses, std::uint64_t& stepsLeft, J2kPassCount& count);
