// J2kCodec.h: the JPEG-2000 decoder calls the game uses, as a small C-style layer.
//
// A file (JP2 boxes or a raw codestream, told apart by their magic bytes) is opened into a
// handle; its size can be asked, then it is decoded once into 32-bit pixels (blue, green, red,
// alpha bytes; top row first) that the handle owns until J2K_Close. Every call returns a code,
// 0 on success; J2K_getErrorStr names a code and the last failure is kept per thread.
// Files above kJ2kMaxFileSize and pictures (components) above kJ2kMaxPixels are refused, and so is a header that
// asks for more tiles or components than the limits below, or whose decode would take more memory
// or time than they allow (J2kBudget.h: estimated from every header field that drives OpenJPEG's
// structures and work, before OpenJPEG sees the file). The picture's own samples may take what
// they need; beyond them and a fixed share that any file gets, what a decode may take grows with
// the packet data the file really holds: a small file that declares a huge decode is refused, a
// large file with real data is a picture. The estimate counts the coding passes the packet
// headers give where it can follow them; a file whose passes it cannot follow, and whose worst
// case would pass the limits, is decoded in a child process held to them. Colour pictures coded
// as luma and sub-sampled chroma (sYCC, as JP2 says or as 4:2:0 and 4:2:2 components show) are
// handed over as RGB. The decodes in flight in a process together hold no more than
// kJ2kMaxBytesInFlight (J2kMemoryLedger.h): a decode that does not fit beside the others waits.
#pragma once

#include <cstddef>

struct J2kImage;  // opaque

constexpr int kJ2kOk = 0;
constexpr int kJ2kErrOpen = 1;             // the file cannot be read
constexpr int kJ2kErrTooLarge = 2;         // file or picture above the limits
constexpr int kJ2kErrFormat = 3;           // neither a JP2 file nor a codestream
constexpr int kJ2kErrHeader = 4;           // the header cannot be read
constexpr int kJ2kErrDecode = 5;           // the picture data cannot be decoded
constexpr int kJ2kErrMemory = 6;
constexpr int kJ2kErrHandle = 7;           // null or closed handle
constexpr int kJ2kErrArgument = 8;         // null output pointer
constexpr int kJ2kErrComponents = 9;       // no usable colour components
constexpr int kJ2kWarnOptions = 10;        // options not understood: full size used
constexpr int kJ2kErrNoProcess = 11;       // a file decoded in a child: the system started no process

constexpr std::size_t kJ2kMaxFileSize = 64u << 20;
constexpr std::size_t kJ2kMaxPixels = 16u << 20;
constexpr std::size_t kJ2kMaxTiles = 4096;
constexpr std::size_t kJ2kMaxComponents = 16;
constexpr std::size_t kJ2kMaxTileComponents = 16384;      // tiles x components
constexpr std::size_t kJ2kMaxDecodeBytes = 192u << 20;    // what one decode holds at once, whatever the data
constexpr std::size_t kJ2kMaxDecodeWork = 500000000;      // one decode: about half a second of one core
// Per byte of packet data, up to the ceilings: a 50:1 picture whose passes are not counted is
// estimated at up to 10 us and 850 bytes per byte of its data. The smallest code-blocks (4 x 4)
// take about 28 bytes of structures a sample, which a photograph at 200:1 pays for with about
// 5.6 KB per byte of its data. A 64 KiB file thus gets no more than 0.8 s of estimated work and
// 512 MB of structures.
constexpr std::size_t kJ2kWorkPerCodedByte = 12000;
constexpr std::size_t kJ2kDecodeBytesPerCodedByte = 8192;
constexpr std::size_t kJ2kMaxScaledDecodeBytes = std::size_t{1} << 30;
constexpr std::size_t kJ2kMaxScaledDecodeWork = 10000000000u;
// The picture's own samples (OpenJPEG's tile and picture buffers, our pixels) come on top, up to
// this; a 5000 x 3000 colour picture needs about 250 MB.
constexpr std::size_t kJ2kMaxPictureBytes = std::size_t{1} << 30;
// The work of a file whose data pays for less: about 0.9 s of one core, whatever its picture.
constexpr std::size_t kJ2kMaxPictureWork = 900000000;
// Packet iterator steps of one decode: each makes and frees a bit reader, about 0.1 us here and
// ten times that under the sanitizers; real files take a few thousand.
constexpr std::size_t kJ2kMaxPacketSteps = 1u << 20;

// What J2K_GetInfoEx reports.
struct J2kInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    int bitDepth = 0;          // of the first component
    int resolutions = 0;       // levels that "reduce=N" may drop, plus one
    int isCodestream = 0;      // 1 for a raw codestream, 0 for a JP2 file
};

J2kImage* J2K_OpenFile(const char* hostPath);                 // null on failure (see J2K_getLastError)
J2kImage* J2K_OpenMemory(const unsigned char* data, std::size_t size);  // a copy of the bytes, as a file's
int J2K_GetInfoEx(J2kImage* image, J2kInfo* info);
// Options: null or "" for full size, "reduce=N" to drop N resolution levels.
int J2K_GetResolutionDimensionsByStr(J2kImage* image, const char* options, int* width, int* height);
// Decodes once; *buffer stays owned by the handle. pitch = width * 4.
int J2K_Decode(J2kImage* image, unsigned char** buffer, int* size, const char* options, int* pitch);
void J2K_Close(J2kImage* image);
const char* J2K_getErrorStr(int code);
int J2K_getLastError();
const char* J2K_getLastErrorStr();
