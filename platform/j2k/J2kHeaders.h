// J2kHeaders.h: a JPEG-2000 file's headers read as OpenJPEG 2.5 reads them (j2k.c, jp2.c), for
// the decode estimate: the picture's geometry, every tile's coding style and where its packet
// data lies. Private to the decoder layer.
#pragma once

#include "platform/j2k/J2kPacketOrder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

constexpr int kJ2kMaxResolutions = 33;   // OPJ_J2K_MAXRLVLS

struct J2kBytes {
    const unsigned char* data;
    std::size_t size;

    bool Has(std::size_t at, std::size_t n) const { return at <= size && n <= size - at; }
    std::uint32_t U8(std::size_t at) const { return data[at]; }
    std::uint32_t U16(std::size_t at) const { return static_cast<std::uint32_t>(data[at] << 8 | data[at + 1]); }
    std::uint32_t U32(std::size_t at) const { return U16(at) << 16 | U16(at + 2); }
    std::uint64_t U64(std::size_t at) const { return static_cast<std::uint64_t>(U32(at)) << 32 | U32(at + 4); }
};

struct J2kComponentStyle {
    int resolutions = 1;
    int cbw = 6, cbh = 6;   // code-block size exponents
    std::uint32_t codeBlockStyle = 0;
    std::uint8_t prcw[kJ2kMaxResolutions];
    std::uint8_t prch[kJ2kMaxResolutions];
    J2kComponentStyle()
    {
        std::fill(prcw, prcw + kJ2kMaxResolutions, 15);
        std::fill(prch, prch + kJ2kMaxResolutions, 15);
    }
};

struct J2kTileStyle {
    std::uint64_t layers = 1;
    int progression = 0;
    std::vector<J2kProgression> pocs;             // progression changes, in order
    std::uint32_t codingStyle = 0;                // SOP and EPH bits
    bool packedHeaders = false;                   // packet headers in PPM or PPT markers
    std::vector<J2kComponentStyle> comps;
    std::vector<std::pair<std::size_t, std::size_t>> data;   // packet data of each tile-part, in order
};

struct J2kGeometry {
    std::uint64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;       // image area on the reference grid
    std::uint64_t tdx = 0, tdy = 0, tx0 = 0, ty0 = 0;   // tile size and origin
    std::uint64_t tw = 0, th = 0;                        // tiles across and down
    std::vector<std::uint64_t> dx, dy;                   // component sub-sampling
};

struct J2kScan {
    J2kGeometry g;
    J2kTileStyle defaults;
    std::map<std::uint32_t, J2kTileStyle> tiles;   // tiles with data, each with its own style
    int bitPlanes = 0;                              // largest exponent + guard bits - 1 seen
    int roiShift = 0;
    bool customTransform = false;
    bool uncounted = false;                         // too many components or tiles to count
    std::size_t mainHeaderEnd = 0;                  // the first SOT
    std::uint64_t codedBytes = 0;                   // packet data of the tile-parts read
};

// The main header from SOC at `start` to the first SOT. False where OpenJPEG would fail; a header
// asking for more components or tiles than are counted stops early with scan.uncounted.
bool J2kReadMainHeader(const J2kBytes& b, std::size_t start, J2kScan& scan);
// The tile-parts, by their lengths: each tile met is decoded once, with the style its tile-part
// headers give it. The walk stops where OpenJPEG's would stop with an error.
bool J2kReadTileParts(const J2kBytes& b, J2kScan& scan);
// In a JP2 file: where the codestream starts, and the most channels a palette box asks for.
bool J2kFindCodestream(const J2kBytes& b, std::size_t& start, int& paletteChannels);
