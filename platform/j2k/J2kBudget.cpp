// J2kBudget.cpp: the headers walked as OpenJPEG 2.5 walks them, and its decoder's structures
// counted as it builds them (tcd.c, pi.c, t1.c, jp2.c of that version).
#include "platform/j2k/J2kBudget.h"

#include "platform/j2k/J2kPacketPasses.h"

#include <algorithm>
#include <map>

namespace {

// ---- What OpenJPEG holds and does, per item (its structure sizes on a 64-bit build, plus the
// allocator's header of each block) -------------------------------------------------------------

// A precinct of one band: its record, the code-block array's block and two tag trees.
constexpr std::uint64_t kPrecinctBytes = 256;
// A code-block: its record, its ten segment records and its leaves in two tag trees.
constexpr std::uint64_t kCodeBlockBytes = 448;
constexpr std::uint64_t kResolutionBytes = 192;
constexpr std::uint64_t kSampleBytes = 4;              // every sample is held as 32 bits
constexpr std::uint64_t kStreamBufferBytes = 1u << 20; // OpenJPEG's read buffer
constexpr std::uint64_t kGridTileBytes = 8192;         // every tile's parameters and index, set up with the header
constexpr std::uint64_t kTileComponentBytes = 4096;    // and those of each of its components

// Work units (about a nanosecond each), measured on the optimised build with some margin.
constexpr std::uint64_t kWorkPerStructure = 400;        // a precinct or code-block: built, walked, freed
constexpr std::uint64_t kWorkPerPacket = 120;           // one packet iterator step (a bit reader is made for each)
constexpr std::uint64_t kWorkPerPosition = 30;          // one position a position-first order visits
constexpr std::uint64_t kWorkPerSample = 12;            // wavelet, level shift, copies, our conversion
constexpr std::uint64_t kWorkPerSamplePass = 5;         // one coding pass over one sample
constexpr std::uint64_t kWorkPerPaletteSample = 10;
constexpr std::uint64_t kWorkPerPixel = 20;             // our 32-bit pixels from the components
constexpr std::uint64_t kWorkPerGridTile = 4000;        // the header's set-up of every tile
constexpr std::uint64_t kWorkPerTileComponent = 2500;   // and of each of its components
constexpr std::uint64_t kWorkPerTile = 8000;            // a tile decoded: its set-up and copy-out

constexpr int kMaxResolutions = 33;   // OPJ_J2K_MAXRLVLS
// Headers that ask for more than these are not counted further: their estimate is the largest
// value, which every limit refuses, and the walk stays linear in the file's length.
constexpr std::size_t kCountedComponents = 64;
constexpr std::uint64_t kCountedTileComponents = 1u << 16;
constexpr std::uint64_t kSaturated = std::uint64_t{1} << 62;
constexpr int kMaxPasses = 88;        // 3 x 30 bit-planes - 2: more fails the code-block at once
constexpr int kMaxPocs = 32;          // J2K_MAX_POCS
// Tiles whose packet headers are followed to count the coding passes they give: the walk keeps a
// few dozen bytes per code-block.
constexpr std::uint64_t kFollowedCodeBlocks = 1u << 18;
constexpr std::uint64_t kFollowedPackets = 1u << 20;
// Code-block visits of all the header walks of one file: a packet visits every code-block of its
// precinct, so layers multiply the visits, and one byte of data can be a packet of 2^18. Real
// pictures take a few hundred thousand.
constexpr std::uint64_t kFollowedVisits = 1u << 22;

enum Marker : std::uint32_t {
    kSoc = 0xFF4F, kCap = 0xFF50, kSiz = 0xFF51, kCod = 0xFF52, kCoc = 0xFF53, kTlm = 0xFF55,
    kPlm = 0xFF57, kPlt = 0xFF58, kCpf = 0xFF59, kQcd = 0xFF5C, kQcc = 0xFF5D, kRgn = 0xFF5E,
    kPoc = 0xFF5F, kPpm = 0xFF60, kPpt = 0xFF61, kCrg = 0xFF63, kCom = 0xFF64, kMct = 0xFF74,
    kMcc = 0xFF75, kMco = 0xFF77, kCbd = 0xFF78, kSot = 0xFF90, kSop = 0xFF91, kSod = 0xFF93,
    kEoc = 0xFFD9,
};

// The markers OpenJPEG has a handler for, and where it takes them.
bool Known(std::uint32_t m)
{
    switch (m) {
    case kSot: case kCod: case kCoc: case kRgn: case kQcd: case kQcc: case kPoc: case kSiz: case kTlm:
    case kPlm: case kPlt: case kPpm: case kPpt: case kSop: case kCrg: case kCom: case kMct: case kCbd:
    case kCap: case kCpf: case kMcc: case kMco:
        return true;
    default:
        return false;
    }
}

bool AllowedInMainHeader(std::uint32_t m)
{
    return Known(m) && m != kSiz && m != kPlt && m != kPpt && m != kSop;
}

bool AllowedInTilePartHeader(std::uint32_t m)
{
    switch (m) {
    case kCod: case kCoc: case kRgn: case kQcd: case kQcc: case kPoc: case kPlt: case kPpt: case kCom:
    case kMct: case kMcc: case kMco:
        return true;
    default:
        return false;
    }
}

struct Bytes {
    const unsigned char* data;
    std::size_t size;

    bool Has(std::size_t at, std::size_t n) const { return at <= size && n <= size - at; }
    std::uint32_t U8(std::size_t at) const { return data[at]; }
    std::uint32_t U16(std::size_t at) const { return static_cast<std::uint32_t>(data[at] << 8 | data[at + 1]); }
    std::uint32_t U32(std::size_t at) const { return U16(at) << 16 | U16(at + 2); }
    std::uint64_t U64(std::size_t at) const { return static_cast<std::uint64_t>(U32(at)) << 32 | U32(at + 4); }
};

struct ComponentStyle {
    int resolutions = 1;
    int cbw = 6, cbh = 6;   // code-block size exponents
    std::uint32_t codeBlockStyle = 0;
    std::uint8_t prcw[kMaxResolutions];
    std::uint8_t prch[kMaxResolutions];
    ComponentStyle()
    {
        std::fill(prcw, prcw + kMaxResolutions, 15);
        std::fill(prch, prch + kMaxResolutions, 15);
    }
};

struct TileStyle {
    std::uint64_t layers = 1;
    int progression = 0;
    int pocs = 0;
    std::uint32_t codingStyle = 0;                // SOP and EPH bits
    bool packedHeaders = false;                   // packet headers in PPT markers
    std::vector<ComponentStyle> comps;
    std::vector<std::pair<std::size_t, std::size_t>> data;   // packet data of each tile-part, in order
};

struct Geometry {
    std::uint64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;       // image area on the reference grid
    std::uint64_t tdx = 0, tdy = 0, tx0 = 0, ty0 = 0;   // tile size and origin
    std::uint64_t tw = 0, th = 0;                        // tiles across and down
    std::vector<std::uint64_t> dx, dy;                   // component sub-sampling
};

struct Scan {
    Geometry g;
    TileStyle defaults;
    std::map<std::uint32_t, TileStyle> tiles;   // tiles with data, each with its own style
    int bitPlanes = 0;                           // largest exponent + guard bits - 1 seen
    int roiShift = 0;
    bool customTransform = false;
    bool uncounted = false;                      // too many components or tiles to count
    std::size_t mainHeaderEnd = 0;               // the first SOT
    std::uint64_t codedBytes = 0;                // packet data of the tile-parts read
};

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

std::int64_t CeilDivPow2(std::int64_t a, int b)
{
    return (a + (static_cast<std::int64_t>(1) << b) - 1) >> b;
}

std::int64_t FloorDivPow2(std::int64_t a, int b)
{
    return a >> b;
}

std::uint64_t Saturate(std::uint64_t a, std::uint64_t b)   // a * b, held below 2^62
{
    if (a == 0 || b == 0)
        return 0;
    return a > kSaturated / b ? kSaturated : a * b;
}

std::uint64_t Add(std::uint64_t a, std::uint64_t b)
{
    return a > kSaturated - std::min(b, kSaturated) ? kSaturated : a + b;
}

// ---- Marker segments ---------------------------------------------------------------------------

bool ReadSiz(const Bytes& b, std::size_t at, std::size_t length, Scan& scan)
{
    if (length < 39 || (length - 36) % 3 != 0)
        return false;
    Geometry& g = scan.g;
    g.x1 = b.U32(at + 2);
    g.y1 = b.U32(at + 6);
    g.x0 = b.U32(at + 10);
    g.y0 = b.U32(at + 14);
    g.tdx = b.U32(at + 18);
    g.tdy = b.U32(at + 22);
    g.tx0 = b.U32(at + 26);
    g.ty0 = b.U32(at + 30);
    const std::size_t comps = b.U16(at + 34);
    if (comps == 0 || comps != (length - 36) / 3)
        return false;
    if (comps > kCountedComponents)
        scan.uncounted = true;
    if (g.x1 <= g.x0 || g.y1 <= g.y0 || g.tdx == 0 || g.tdy == 0 || g.tx0 > g.x0 || g.ty0 > g.y0 ||
        g.tx0 + g.tdx <= g.x0 || g.ty0 + g.tdy <= g.y0)
        return false;
    g.tw = CeilDiv(g.x1 - g.tx0, g.tdx);
    g.th = CeilDiv(g.y1 - g.ty0, g.tdy);
    for (std::size_t c = 0; c < comps; ++c) {
        const std::uint64_t dx = b.U8(at + 37 + 3 * c), dy = b.U8(at + 38 + 3 * c);
        if (dx == 0 || dy == 0)
            return false;
        g.dx.push_back(dx);
        g.dy.push_back(dy);
    }
    scan.defaults.comps.assign(comps, ComponentStyle());
    return true;
}

// SPcod / SPcoc into one component's style; false where OpenJPEG refuses the segment.
bool ReadComponentStyle(const Bytes& b, std::size_t at, std::size_t length, bool precincts, ComponentStyle& s)
{
    if (length < 5)
        return false;
    s.resolutions = static_cast<int>(b.U8(at)) + 1;
    s.cbw = static_cast<int>(b.U8(at + 1)) + 2;
    s.cbh = static_cast<int>(b.U8(at + 2)) + 2;
    s.codeBlockStyle = b.U8(at + 3);
    if (s.resolutions > kMaxResolutions || s.cbw > 10 || s.cbh > 10 || s.cbw + s.cbh > 12 || b.U8(at + 4) > 1)
        return false;
    if (!precincts) {
        std::fill(s.prcw, s.prcw + kMaxResolutions, 15);
        std::fill(s.prch, s.prch + kMaxResolutions, 15);
        return length == 5;
    }
    if (length != 5 + static_cast<std::size_t>(s.resolutions))
        return false;
    for (int r = 0; r < s.resolutions; ++r) {
        const std::uint32_t v = b.U8(at + 5 + static_cast<std::size_t>(r));
        s.prcw[r] = static_cast<std::uint8_t>(v & 15);
        s.prch[r] = static_cast<std::uint8_t>(v >> 4);
        if (r > 0 && (s.prcw[r] == 0 || s.prch[r] == 0))
            return false;
    }
    return true;
}

// The largest bit-plane count a quantisation segment gives any band.
void ReadQuantisation(const Bytes& b, std::size_t at, std::size_t length, Scan& scan)
{
    if (length < 1)
        return;
    const int guard = static_cast<int>(b.U8(at) >> 5);
    const int style = static_cast<int>(b.U8(at) & 31);
    int exponent = 0;
    if (style == 0) {
        for (std::size_t i = 1; i < length; ++i)
            exponent = std::max(exponent, static_cast<int>(b.U8(at + i) >> 3));
    } else {
        for (std::size_t i = 1; i + 1 < length; i += 2)
            exponent = std::max(exponent, static_cast<int>(b.U16(at + i) >> 11));
    }
    scan.bitPlanes = std::max(scan.bitPlanes, exponent + guard - 1);
}

// One marker segment of a main or tile-part header (its payload at `at`, `length` bytes) into
// `style`. False where OpenJPEG refuses the segment.
bool ApplySegment(const Bytes& b, std::uint32_t marker, std::size_t at, std::size_t length, Scan& scan,
                  TileStyle& style)
{
    const std::size_t comps = scan.g.dx.size();
    const std::size_t compBytes = comps <= 256 ? 1 : 2;
    auto component = [&](std::size_t pos) { return compBytes == 1 ? b.U8(pos) : b.U16(pos); };
    switch (marker) {
    case kCod: {
        if (length < 5)
            return false;
        const std::uint32_t csty = b.U8(at);
        if ((csty & ~7u) != 0 || b.U16(at + 2) == 0 || b.U8(at + 4) > 1)
            return false;
        style.progression = static_cast<int>(b.U8(at + 1));
        style.layers = b.U16(at + 2);
        style.codingStyle = csty;
        ComponentStyle s;
        if (!ReadComponentStyle(b, at + 5, length - 5, (csty & 1) != 0, s))
            return false;
        std::fill(style.comps.begin(), style.comps.end(), s);
        return true;
    }
    case kCoc: {
        if (length < compBytes + 1)
            return false;
        const std::size_t c = component(at);
        if (c >= comps)
            return false;
        return ReadComponentStyle(b, at + compBytes + 1, length - compBytes - 1, (b.U8(at + compBytes) & 1) != 0,
                                  style.comps[c]);
    }
    case kQcd:
        ReadQuantisation(b, at, length, scan);
        return true;
    case kQcc:
        if (length > compBytes)
            ReadQuantisation(b, at + compBytes, length - compBytes, scan);
        return true;
    case kRgn:
        if (length >= compBytes + 2)
            scan.roiShift = std::max(scan.roiShift, static_cast<int>(b.U8(at + compBytes + 1)));
        return true;
    case kPoc:
        style.pocs = std::min(kMaxPocs, style.pocs + static_cast<int>(length / (compBytes == 1 ? 7 : 9)));
        return true;
    case kMct: case kMcc: case kMco:
        scan.customTransform = true;
        return true;
    case kPpm: case kPpt:
        style.packedHeaders = true;
        return true;
    default:
        return true;
    }
}

// ---- Walking the codestream as OpenJPEG does ---------------------------------------------------

// The main header from SOC to the first SOT. An unknown marker makes OpenJPEG look for the next
// known one two bytes at a time.
bool ReadMainHeader(const Bytes& b, std::size_t start, Scan& scan)
{
    if (!b.Has(start, 2) || b.U16(start) != kSoc)
        return false;
    std::size_t pos = start + 2;
    bool haveSiz = false, haveCod = false, haveQcd = false;
    for (;;) {
        if (!b.Has(pos, 2))
            return false;
        std::uint32_t m = b.U16(pos);
        if (m < 0xFF00)
            return false;
        if (!Known(m)) {
            for (pos += 2;; pos += 2) {
                if (!b.Has(pos, 2))
                    return false;
                m = b.U16(pos);
                if (m >= 0xFF00 && Known(m))
                    break;
            }
        }
        if (m == kSot) {
            if (!haveSiz || !haveCod || !haveQcd)
                return false;
            scan.mainHeaderEnd = pos;
            return true;
        }
        if (haveSiz ? !AllowedInMainHeader(m) : m != kSiz)
            return false;
        if (!b.Has(pos + 2, 2))
            return false;
        const std::size_t length = b.U16(pos + 2);
        if (length < 2 || !b.Has(pos + 4, length - 2))
            return false;
        if (m == kSiz) {
            if (!ReadSiz(b, pos + 4, length - 2, scan))
                return false;
            if (scan.uncounted || Saturate(Saturate(scan.g.tw, scan.g.th), scan.g.dx.size()) > kCountedTileComponents) {
                scan.uncounted = true;
                return true;
            }
            haveSiz = true;
        } else if (!ApplySegment(b, m, pos + 4, length - 2, scan, scan.defaults)) {
            return false;
        }
        haveCod = haveCod || m == kCod;
        haveQcd = haveQcd || m == kQcd;
        pos += 2 + length;
    }
}

// The tile-parts, by their lengths: each tile met is decoded once, with the style its tile-part
// headers give it. The walk stops where OpenJPEG's would stop with an error.
bool ReadTileParts(const Bytes& b, Scan& scan)
{
    const std::uint64_t tileCount = scan.g.tw * scan.g.th;
    std::size_t pos = scan.mainHeaderEnd;
    while (b.Has(pos, 12) && b.U16(pos) == kSot && b.U16(pos + 2) == 10) {
        const std::uint32_t tile = b.U16(pos + 4);
        const std::uint64_t length = b.U32(pos + 6);
        if (tile >= tileCount || (length != 0 && length < 14 && length != 12))
            break;
        TileStyle& style = scan.tiles.emplace(tile, scan.defaults).first->second;
        std::size_t at = pos + 12;
        bool headerRead = false;
        while (b.Has(at, 4)) {
            const std::uint32_t m = b.U16(at);
            if (m == kSod) {
                headerRead = true;
                break;
            }
            const std::size_t segment = b.U16(at + 2);
            if (!AllowedInTilePartHeader(m) || segment < 2 || !b.Has(at + 4, segment - 2))
                break;
            if (!ApplySegment(b, m, at + 4, segment - 2, scan, style))
                return false;
            at += 2 + segment;
        }
        if (!headerRead)
            break;
        // The packet data after SOD, as far as the file holds it (a length of 0 runs to the end).
        const std::size_t end = length == 0 || length > b.size - pos ? b.size : pos + static_cast<std::size_t>(length);
        scan.codedBytes += end > at + 2 ? end - (at + 2) : 0;
        style.data.emplace_back(std::min(at + 2, end), end);
        if (length == 0 || length > b.size - pos)
            break;
        pos += static_cast<std::size_t>(length);
    }
    return true;
}

// ---- JP2 boxes -----------------------------------------------------------------------------------

struct Box {
    std::uint64_t start = 0, payload = 0, end = 0;   // end: past the box
    std::uint32_t type = 0;
};

bool ReadBox(const Bytes& b, std::uint64_t at, std::uint64_t limit, Box& box)
{
    if (limit - at < 8)
        return false;
    box.start = at;
    std::uint64_t length = b.U32(at);
    box.type = b.U32(at + 4);
    box.payload = at + 8;
    if (length == 1) {
        if (limit - at < 16)
            return false;
        length = b.U64(at + 8);
        box.payload = at + 16;
    } else if (length == 0) {
        length = limit - at;
    }
    if (length < box.payload - at || length > limit - at)
        return false;
    box.end = at + length;
    return true;
}

constexpr std::uint32_t BoxType(const char (&name)[5])
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[3]));
}

// Where the codestream starts (the "jp2c" box's payload), and the most channels a palette box asks
// for (OpenJPEG reads "pclr" inside "jp2h" and, after it, at the top level too).
bool FindCodestream(const Bytes& b, std::size_t& start, int& paletteChannels)
{
    paletteChannels = 0;
    std::uint64_t at = 0;
    Box box;
    while (ReadBox(b, at, b.size, box)) {
        if (box.type == BoxType("jp2c")) {
            start = static_cast<std::size_t>(box.payload);
            return true;
        }
        if (box.type == BoxType("pclr") && box.end - box.payload >= 3)
            paletteChannels = std::max(paletteChannels, static_cast<int>(b.U8(box.payload + 2)));
        if (box.type == BoxType("jp2h")) {
            Box inner;
            for (std::uint64_t in = box.payload; ReadBox(b, in, box.end, inner); in = inner.end) {
                if (inner.type == BoxType("pclr") && inner.end - inner.payload >= 3)
                    paletteChannels = std::max(paletteChannels, static_cast<int>(b.U8(inner.payload + 2)));
            }
        }
        at = box.end;
    }
    return false;
}

// ---- Counting --------------------------------------------------------------------------------------

struct TileCost {
    std::uint64_t structureBytes = 0;
    std::uint64_t samples = 0;
    std::uint64_t precincts = 0;
    std::uint64_t codeBlocks = 0;
    std::uint64_t packets = 0;      // layers x precincts of every resolution and component
    std::uint64_t positions = 0;    // positions x resolutions x components of position-first orders
    std::uint64_t includeBytes = 0;
};

// The tile's area on the reference grid; empty when it lies outside the picture.
struct TileArea {
    std::uint64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool Empty() const { return x1 <= x0 || y1 <= y0; }
};

TileArea AreaOf(const Geometry& g, std::uint64_t tile)
{
    const std::uint64_t p = tile % g.tw, q = tile / g.tw;
    return {std::max(g.tx0 + p * g.tdx, g.x0), std::max(g.ty0 + q * g.tdy, g.y0),
            std::min(g.tx0 + (p + 1) * g.tdx, g.x1), std::min(g.ty0 + (q + 1) * g.tdy, g.y1)};
}

TileCost CountTile(const Geometry& g, std::uint64_t tile, const TileStyle& style)
{
    TileCost cost;
    const TileArea area = AreaOf(g, tile);
    if (area.Empty())
        return cost;
    const std::uint64_t tx0 = area.x0, tx1 = area.x1, ty0 = area.y0, ty1 = area.y1;
    std::uint64_t maxPrecincts = 0, minStepX = 0, minStepY = 0;
    int maxResolutions = 0;
    const std::size_t comps = style.comps.size();
    for (std::size_t c = 0; c < comps; ++c) {
        const ComponentStyle& s = style.comps[c];
        const std::int64_t cx0 = static_cast<std::int64_t>(CeilDiv(tx0, g.dx[c]));
        const std::int64_t cy0 = static_cast<std::int64_t>(CeilDiv(ty0, g.dy[c]));
        const std::int64_t cx1 = static_cast<std::int64_t>(CeilDiv(tx1, g.dx[c]));
        const std::int64_t cy1 = static_cast<std::int64_t>(CeilDiv(ty1, g.dy[c]));
        cost.samples = Add(cost.samples, Saturate(static_cast<std::uint64_t>(cx1 - cx0), static_cast<std::uint64_t>(cy1 - cy0)));
        maxResolutions = std::max(maxResolutions, s.resolutions);
        cost.structureBytes = Add(cost.structureBytes, kResolutionBytes * static_cast<std::uint64_t>(s.resolutions));
        for (int r = 0; r < s.resolutions; ++r) {
            const int level = s.resolutions - 1 - r;
            const std::int64_t rx0 = CeilDivPow2(cx0, level), ry0 = CeilDivPow2(cy0, level);
            const std::int64_t rx1 = CeilDivPow2(cx1, level), ry1 = CeilDivPow2(cy1, level);
            const int pdx = s.prcw[r], pdy = s.prch[r];
            const std::uint64_t pw = rx0 == rx1 ? 0 : static_cast<std::uint64_t>(CeilDivPow2(rx1, pdx) - FloorDivPow2(rx0, pdx));
            const std::uint64_t ph = ry0 == ry1 ? 0 : static_cast<std::uint64_t>(CeilDivPow2(ry1, pdy) - FloorDivPow2(ry0, pdy));
            const std::uint64_t precincts = Saturate(pw, ph);
            maxPrecincts = std::max(maxPrecincts, precincts);
            cost.packets = Add(cost.packets, Saturate(precincts, style.layers));
            const int bands = r == 0 ? 1 : 3;
            const int cbw = std::min(s.cbw, r == 0 ? pdx : pdx - 1);
            const int cbh = std::min(s.cbh, r == 0 ? pdy : pdy - 1);
            for (int band = 0; band < bands; ++band) {
                std::int64_t bx0 = rx0, by0 = ry0, bx1 = rx1, by1 = ry1;
                if (r > 0) {
                    const std::int64_t ox = (band + 1) & 1, oy = (band + 1) >> 1;
                    bx0 = CeilDivPow2(cx0 - (ox << level), level + 1);
                    by0 = CeilDivPow2(cy0 - (oy << level), level + 1);
                    bx1 = CeilDivPow2(cx1 - (ox << level), level + 1);
                    by1 = CeilDivPow2(cy1 - (oy << level), level + 1);
                }
                cost.precincts = Add(cost.precincts, precincts);
                if (bx1 > bx0 && by1 > by0) {
                    const std::uint64_t blocks =
                        Saturate(static_cast<std::uint64_t>(CeilDivPow2(bx1, cbw) - FloorDivPow2(bx0, cbw)),
                                 static_cast<std::uint64_t>(CeilDivPow2(by1, cbh) - FloorDivPow2(by0, cbh)));
                    cost.codeBlocks = Add(cost.codeBlocks, blocks);
                }
            }
            // The step of a position-first order: the smallest precinct on the reference grid.
            if (pdx + level < 32 && pdy + level < 32) {
                const std::uint64_t sx = g.dx[c] << (pdx + level), sy = g.dy[c] << (pdy + level);
                minStepX = minStepX == 0 ? sx : std::min(minStepX, sx);
                minStepY = minStepY == 0 ? sy : std::min(minStepY, sy);
            }
        }
    }
    cost.structureBytes = Add(cost.structureBytes, Saturate(cost.precincts, kPrecinctBytes));
    cost.structureBytes = Add(cost.structureBytes, Saturate(cost.codeBlocks, kCodeBlockBytes));
    // The packet iterator's table: one 16-bit flag per layer (plus one), resolution, component
    // and precinct of the largest resolution.
    cost.includeBytes = Saturate(Saturate(Saturate(style.layers + 1, static_cast<std::uint64_t>(maxResolutions)),
                                          Saturate(comps, maxPrecincts)), 2);
    const std::uint64_t runs = 1 + static_cast<std::uint64_t>(style.pocs);   // one iterator per progression
    cost.packets = Saturate(cost.packets, runs);
    const bool positionFirst = style.progression >= 2 || style.pocs > 0;
    if (positionFirst && minStepX != 0 && minStepY != 0) {
        const std::uint64_t positions = Saturate(CeilDiv(tx1 - tx0, minStepX) + 1, CeilDiv(ty1 - ty0, minStepY) + 1);
        cost.positions = Saturate(Saturate(positions, static_cast<std::uint64_t>(maxResolutions) * comps), runs);
    }
    return cost;
}

// Code-block samples times the passes the tile's packet headers give them, where the headers
// can be followed as OpenJPEG follows them (J2kPacketPasses.h); false leaves the worst case. So
// does a tile whose data holds less than a bit per code-block: no picture is made of that; and
// one whose walk would pass the visits left of the file's.
bool SignalledSamplePasses(const Bytes& b, const Geometry& g, std::uint64_t tile, const TileStyle& style,
                           const TileCost& cost, int maxPasses, std::uint64_t& visitsLeft, std::uint64_t& samplePasses)
{
    constexpr std::uint32_t kSegmentedStyles = 0x01 | 0x04 | 0x40;   // bypass, termination, high throughput
    std::uint64_t dataBytes = 0;
    for (const auto& [from, to] : style.data)
        dataBytes += to - from;
    if (style.packedHeaders || style.pocs > 0 || style.progression > 1 || cost.packets > kFollowedPackets ||
        cost.codeBlocks > kFollowedCodeBlocks || dataBytes * 8 < cost.codeBlocks)
        return false;
    const std::uint64_t visits = Add(Saturate(style.layers, cost.codeBlocks), cost.packets);
    if (visits > visitsLeft)
        return false;
    visitsLeft -= visits;
    J2kPassTile t;
    const TileArea area = AreaOf(g, tile);
    t.x0 = static_cast<std::int64_t>(area.x0);
    t.y0 = static_cast<std::int64_t>(area.y0);
    t.x1 = static_cast<std::int64_t>(area.x1);
    t.y1 = static_cast<std::int64_t>(area.y1);
    t.layers = style.layers;
    t.resolutionFirst = style.progression == 1;
    t.sop = (style.codingStyle & 2) != 0;
    t.eph = (style.codingStyle & 4) != 0;
    for (std::size_t c = 0; c < style.comps.size(); ++c) {
        const ComponentStyle& s = style.comps[c];
        if (g.dx[c] != 1 || g.dy[c] != 1 || (s.codeBlockStyle & kSegmentedStyles) != 0)
            return false;
        J2kPassComponent comp;
        comp.resolutions = s.resolutions;
        comp.cbw = s.cbw;
        comp.cbh = s.cbh;
        comp.prcw = s.prcw;
        comp.prch = s.prch;
        t.comps.push_back(comp);
    }
    // A packet may run on into the next tile-part: several are joined as OpenJPEG joins them.
    std::vector<unsigned char> joined;
    if (style.data.size() == 1) {
        t.data = b.data + style.data[0].first;
    } else {
        for (const auto& [from, to] : style.data)
            joined.insert(joined.end(), b.data + from, b.data + to);
        t.data = joined.data();
    }
    t.size = static_cast<std::size_t>(dataBytes);
    return J2kSignalledSamplePasses(t, maxPasses, kFollowedCodeBlocks, samplePasses);
}

}  // namespace

J2kBudget J2kEstimate(const std::vector<unsigned char>& file, bool jp2)
{
    J2kBudget budget;
    const Bytes b{file.data(), file.size()};
    std::size_t start = 0;
    int paletteChannels = 0;
    if (jp2 && !FindCodestream(b, start, paletteChannels))
        return budget;
    Scan scan;
    if (!ReadMainHeader(b, start, scan))
        return budget;
    budget.readable = true;
    budget.components = scan.g.dx.size();
    budget.gridTiles = Saturate(scan.g.tw, scan.g.th);
    if (scan.uncounted) {
        budget.memoryBytes = budget.work = kSaturated;
        return budget;
    }
    if (!ReadTileParts(b, scan)) {
        budget.readable = false;
        return budget;
    }

    const Geometry& g = scan.g;
    const std::size_t comps = g.dx.size();
    const int bitPlanes = std::min(30, scan.bitPlanes + scan.roiShift);
    budget.passes = bitPlanes <= 0 ? 0 : std::min(kMaxPasses, 3 * bitPlanes - 2);

    // The picture OpenJPEG hands over: every component at its own size.
    std::uint64_t imageSamples = 0, largestComponent = 0;
    for (std::size_t c = 0; c < comps; ++c) {
        const std::uint64_t n = Saturate(CeilDiv(g.x1, g.dx[c]) - CeilDiv(g.x0, g.dx[c]), CeilDiv(g.y1, g.dy[c]) - CeilDiv(g.y0, g.dy[c]));
        imageSamples = Add(imageSamples, n);
        largestComponent = std::max(largestComponent, n);
    }
    const std::uint64_t pixels = Saturate(g.x1 - g.x0, g.y1 - g.y0);

    // Tiles are decoded one after the other into one set of structures, which grows to the
    // largest; the work adds up.
    std::uint64_t tileBytes = 0, work = 0;
    const std::uint64_t perSample = Add(kWorkPerSample, Saturate(kWorkPerSamplePass, static_cast<std::uint64_t>(budget.passes)));
    std::uint64_t visitsLeft = kFollowedVisits;
    for (const auto& [tile, style] : scan.tiles) {
        const TileCost cost = CountTile(g, tile, style);
        std::uint64_t samplePasses = 0;
        const bool signalled = SignalledSamplePasses(b, g, tile, style, cost, budget.passes, visitsLeft, samplePasses);
        tileBytes = std::max(tileBytes, Add(Add(cost.structureBytes, cost.includeBytes), Saturate(cost.samples, kSampleBytes)));
        std::uint64_t tileWork = Add(kWorkPerTile, Saturate(Add(cost.precincts, cost.codeBlocks), kWorkPerStructure));
        tileWork = Add(tileWork, Saturate(cost.packets, kWorkPerPacket));
        tileWork = Add(tileWork, Saturate(cost.positions, kWorkPerPosition));
        // A custom multi-component transform mixes every component into every sample. The coding
        // passes are those the headers give where they can be followed, else the most there can be.
        const std::uint64_t sampleWork = signalled ? Add(Saturate(cost.samples, kWorkPerSample), Saturate(samplePasses, kWorkPerSamplePass))
                                                   : Saturate(cost.samples, perSample);
        tileWork = Add(tileWork, Saturate(sampleWork, scan.customTransform ? comps : 1));
        budget.passesFollowed = budget.passesFollowed && signalled;
        work = Add(work, tileWork);
        budget.precincts = Add(budget.precincts, cost.precincts);
        budget.codeBlocks = Add(budget.codeBlocks, cost.codeBlocks);
        budget.packets = Add(budget.packets, Add(cost.packets, cost.positions));
        budget.samples = Add(budget.samples, cost.samples);
    }
    budget.tiles = scan.tiles.size();
    budget.codedBytes = scan.codedBytes;

    // One tile that is the whole picture is handed over as it is; otherwise the picture is a
    // second copy. A palette makes new components of the largest one's size. Our 32-bit pixels
    // are built while the previous decode's are still held.
    const bool singleTile = g.tw == 1 && g.th == 1 && g.tx0 == 0 && g.ty0 == 0 && g.x0 == 0 && g.y0 == 0 &&
                            g.x1 == g.tdx && g.y1 == g.tdy;
    const std::uint64_t tileComponents = Saturate(budget.gridTiles, comps);
    std::uint64_t memory = Add(tileBytes, singleTile ? 0 : Saturate(imageSamples, kSampleBytes));
    memory = Add(memory, Add(Saturate(tileComponents, kTileComponentBytes), Saturate(budget.gridTiles, kGridTileBytes)));
    work = Add(work, Add(Saturate(tileComponents, kWorkPerTileComponent), Saturate(budget.gridTiles, kWorkPerGridTile)));
    memory = Add(memory, Saturate(Saturate(largestComponent, static_cast<std::uint64_t>(paletteChannels)), kSampleBytes));
    memory = Add(memory, Saturate(pixels, 2 * 4));
    memory = Add(memory, Add(Saturate(file.size(), 2), kStreamBufferBytes));
    work = Add(work, Saturate(Saturate(largestComponent, static_cast<std::uint64_t>(paletteChannels)), kWorkPerPaletteSample));
    work = Add(work, Saturate(pixels, kWorkPerPixel));
    budget.memoryBytes = memory;
    budget.work = work;
    return budget;
}
