// J2kBudget.h: what decoding a JPEG-2000 file would cost OpenJPEG, read from the file's headers
// before OpenJPEG sees them, and whether the decode may run.
//
// OpenJPEG builds a structure for every precinct and code-block of a tile before it decodes it,
// walks every packet position of every layer, and runs up to three coding passes per bit-plane
// over every sample of a code-block that has data. A few header bytes can ask for billions of
// each, so the layer estimates them all from the fields that drive them (SIZ, COD, COC, QCD, QCC,
// RGN, POC and the multi-component transform markers of the main header and of every tile-part
// header, the tile-parts present, and a JP2 palette). The coding passes are those the packet
// headers give, where they can be followed as OpenJPEG follows them (J2kPacketPasses.h), else the
// most the quantisation allows. The estimate is an upper bound for a decode at full size; a
// reduced decode costs less.
//
// What a decode may take has two parts. The picture's own samples (OpenJPEG's tile and picture
// buffers, the wavelet, our pixels) are allowed in full for any picture within the size limits
// (J2kCodec.h). The rest (structures, packets, coding passes) gets a fixed share, or more for each
// byte of packet data the file holds: a small file that asks for a huge decode is refused before
// OpenJPEG sees it, a large file with real data is a picture. A file whose passes cannot be
// followed and whose worst case passes the allowance is decoded in a child process held to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class EJ2kVerdict {
    kDecode,          // within the allowance: decode here
    kDecodeBounded,   // within it but for passes that could not be followed: decode in a child held to it
    kTooCostly,       // refuse
};

struct J2kBudget {
    bool readable = false;            // false: the headers could not be followed as OpenJPEG does
    EJ2kVerdict verdict = EJ2kVerdict::kTooCostly;
    std::uint64_t memoryBytes = 0;    // held at once by one decode: structures, samples, our pixels
    std::uint64_t work = 0;           // about one unit a nanosecond of one decode on a current core
    std::uint64_t pictureBytes = 0;   // the parts of the two that the picture's declared size makes
    std::uint64_t pictureWork = 0;
    std::uint64_t allowedBytes = 0;   // what the decode may take
    std::uint64_t allowedWork = 0;
    std::uint64_t pixels = 0;         // of the picture handed over: the first component's samples
    std::uint64_t largestComponent = 0;   // samples of the largest component: none may pass kJ2kMaxPixels
    std::uint64_t components = 0;     // of the size marker
    std::uint64_t gridTiles = 0;      // tiles the size marker cuts the picture into
    // The counts behind the figures (whole decode), for tests and messages.
    std::uint64_t tiles = 0;          // tiles with data in the codestream: the ones decoded
    std::uint64_t precincts = 0;      // one per band
    std::uint64_t codeBlocks = 0;
    std::uint64_t packets = 0;        // packet iterator steps, layers included
    std::uint64_t samples = 0;        // tile samples decoded
    int passes = 0;                   // coding passes a code-block may ask for
    bool passesFollowed = false;      // every tile's passes are those its packet headers give
    std::uint64_t codedBytes = 0;     // packet data the tile-parts hold: what a real picture is made of
};

// `file` holds a raw codestream (jp2 false) or a JP2 file (jp2 true).
J2kBudget J2kEstimate(const std::vector<unsigned char>& file, bool jp2);
