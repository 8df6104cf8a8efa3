// J2kBudget.h: what decoding a JPEG-2000 file would cost OpenJPEG, read from the file's headers
// before OpenJPEG sees them.
//
// OpenJPEG builds a structure for every precinct and code-block of a tile before it decodes it,
// walks every packet position of every layer, and runs up to three coding passes per bit-plane
// over every sample of a code-block that has data. A few header bytes can ask for billions of
// each, so the layer estimates them all from the fields that drive them (SIZ, COD, COC, QCD, QCC,
// RGN, POC and the multi-component transform markers of the main header and of every tile-part
// header, the tile-parts present, and a JP2 palette) and refuses a file whose estimate passes the
// limits. The coding passes are those the packet headers give, where they can be followed as
// OpenJPEG follows them (J2kPacketPasses.h), else the most the quantisation allows. The estimate
// is an upper bound for a decode at full size; a reduced decode costs less.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct J2kBudget {
    bool readable = false;            // false: the headers could not be followed as OpenJPEG does
    std::uint64_t memoryBytes = 0;    // held at once by one decode: structures, samples, our pixels
    std::uint64_t work = 0;           // about one unit a nanosecond of one decode on a current core
    std::uint64_t components = 0;     // of the size marker
    std::uint64_t gridTiles = 0;      // tiles the size marker cuts the picture into
    // The counts behind the two figures (whole decode), for tests and messages.
    std::uint64_t tiles = 0;          // tiles with data in the codestream: the ones decoded
    std::uint64_t precincts = 0;      // one per band
    std::uint64_t codeBlocks = 0;
    std::uint64_t packets = 0;        // packet iterator steps, layers included
    std::uint64_t samples = 0;        // tile samples decoded
    int passes = 0;                   // coding passes a code-block may ask for
    bool passesFollowed = true;       // every tile's passes are those its packet headers give
    std::uint64_t codedBytes = 0;     // packet data the tile-parts hold: what a real picture is made of
};

// `file` holds a raw codestream (jp2 false) or a JP2 file (jp2 true).
J2kBudget J2kEstimate(const std::vector<unsigned char>& file, bool jp2);
