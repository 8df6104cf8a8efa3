// J2kPacketPasses.h: the coding passes that one tile's packet headers give its code-blocks, read
// as OpenJPEG 2.5 reads them (t2.c, tgt.c, bio.c), for the decode estimate.
//
// Most of a decode's work is the coding passes over each code-block's samples, and a header may
// give a code-block up to three passes per bit-plane. Real pictures signal far fewer, so the
// estimate counts what the headers say where it can follow them exactly: layer-first and
// resolution-first orders without progression changes, headers inside the packets, components
// that are not sub-sampled, and code-blocks of one coding segment per 109 passes. Anything else is
// left to the worst case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct J2kPassComponent {
    int resolutions = 1;
    int cbw = 6, cbh = 6;                  // code-block size exponents
    const std::uint8_t* prcw = nullptr;    // precinct size exponents per resolution
    const std::uint8_t* prch = nullptr;
};

struct J2kPassTile {
    std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;   // the tile's area on the reference grid
    std::uint64_t layers = 1;
    bool resolutionFirst = false;                  // RLCP, else LRCP
    bool sop = false, eph = false;                 // packets may start with SOP, headers end with EPH
    std::vector<J2kPassComponent> comps;
    const unsigned char* data = nullptr;           // the tile-parts' packet data, one after the other
    std::size_t size = 0;
};

// Code-block samples times the passes the headers give each code-block (at most maxPasses),
// summed over the tile. False when the headers cannot be followed, when the packets do not end
// exactly where the data does, or when the tile has more than maxCodeBlocks code-blocks.
bool J2kSignalledSamplePasses(const J2kPassTile& tile, int maxPasses, std::uint64_t maxCodeBlocks,
                              std::uint64_t& samplePasses);
