// J2kHeaders.cpp: the marker segments and JP2 boxes OpenJPEG reads, walked as it walks them.
#include "platform/j2k/J2kHeaders.h"

namespace {

constexpr std::size_t kCountedComponents = 64;
constexpr std::uint64_t kCountedTileComponents = 1u << 16;
constexpr std::size_t kMaxPocs = 32;   // J2K_MAX_POCS

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

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b)
{
    return a / b + (a % b != 0 ? 1 : 0);
}

bool ProductOver(std::uint64_t a, std::uint64_t b, std::uint64_t limit)
{
    return b != 0 && a > limit / b;
}

// ---- Marker segments ---------------------------------------------------------------------------

bool ReadSiz(const J2kBytes& b, std::size_t at, std::size_t length, J2kScan& scan)
{
    if (length < 39 || (length - 36) % 3 != 0)
        return false;
    J2kGeometry& g = scan.g;
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
    scan.defaults.comps.assign(comps, J2kComponentStyle());
    return true;
}

// SPcod / SPcoc into one component's style; false where OpenJPEG refuses the segment.
bool ReadComponentStyle(const J2kBytes& b, std::size_t at, std::size_t length, bool precincts, J2kComponentStyle& s)
{
    if (length < 5)
        return false;
    s.resolutions = static_cast<int>(b.U8(at)) + 1;
    s.cbw = static_cast<int>(b.U8(at + 1)) + 2;
    s.cbh = static_cast<int>(b.U8(at + 2)) + 2;
    s.codeBlockStyle = b.U8(at + 3);
    if (s.resolutions > kJ2kMaxResolutions || s.cbw > 10 || s.cbh > 10 || s.cbw + s.cbh > 12 || b.U8(at + 4) > 1)
        return false;
    if (!precincts) {
        std::fill(s.prcw, s.prcw + kJ2kMaxResolutions, 15);
        std::fill(s.prch, s.prch + kJ2kMaxResolutions, 15);
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
void ReadQuantisation(const J2kBytes& b, std::size_t at, std::size_t length, J2kScan& scan)
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

// A POC marker's progressions, after those the style has. OpenJPEG takes at most 31 in all.
bool ReadProgressions(const J2kBytes& b, std::size_t at, std::size_t length, std::size_t comps, J2kTileStyle& style)
{
    const std::size_t compBytes = comps <= 256 ? 1 : 2;
    const std::size_t entry = 5 + 2 * compBytes;
    if (length == 0 || length % entry != 0 || style.pocs.size() + length / entry >= kMaxPocs)
        return false;
    auto component = [&](std::size_t pos) { return compBytes == 1 ? b.U8(pos) : b.U16(pos); };
    for (std::size_t pos = at; pos < at + length; pos += entry) {
        J2kProgression p;
        p.resno0 = b.U8(pos);
        p.compno0 = component(pos + 1);
        p.layno1 = b.U16(pos + 1 + compBytes);
        p.resno1 = b.U8(pos + 3 + compBytes);
        p.compno1 = std::min<std::uint32_t>(component(pos + 4 + compBytes), static_cast<std::uint32_t>(comps));
        p.order = static_cast<int>(b.U8(pos + 4 + 2 * compBytes));
        style.pocs.push_back(p);
    }
    return true;
}

// One marker segment of a main or tile-part header (its payload at `at`, `length` bytes) into
// `style`. False where OpenJPEG refuses the segment.
bool ApplySegment(const J2kBytes& b, std::uint32_t marker, std::size_t at, std::size_t length, J2kScan& scan,
                  J2kTileStyle& style)
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
        J2kComponentStyle s;
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
        return ReadProgressions(b, at, length, comps, style);
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
bool ReadMainHeader(const J2kBytes& b, std::size_t start, J2kScan& scan)
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
            if (scan.uncounted || ProductOver(scan.g.tw, scan.g.th, kCountedTileComponents) ||
                ProductOver(scan.g.tw * scan.g.th, scan.g.dx.size(), kCountedTileComponents)) {
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

bool ReadTileParts(const J2kBytes& b, J2kScan& scan)
{
    const std::uint64_t tileCount = scan.g.tw * scan.g.th;
    std::size_t pos = scan.mainHeaderEnd;
    while (b.Has(pos, 12) && b.U16(pos) == kSot && b.U16(pos + 2) == 10) {
        const std::uint32_t tile = b.U16(pos + 4);
        const std::uint64_t length = b.U32(pos + 6);
        if (tile >= tileCount || (length != 0 && length < 14 && length != 12))
            break;
        J2kTileStyle& style = scan.tiles.emplace(tile, scan.defaults).first->second;
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

bool ReadBox(const J2kBytes& b, std::uint64_t at, std::uint64_t limit, Box& box)
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
bool FindCodestream(const J2kBytes& b, std::size_t& start, int& paletteChannels)
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

}  // namespace

bool J2kReadMainHeader(const J2kBytes& b, std::size_t start, J2kScan& scan)
{
    return ReadMainHeader(b, start, scan);
}

bool J2kReadTileParts(const J2kBytes& b, J2kScan& scan)
{
    return ReadTileParts(b, scan);
}

bool J2kFindCodestream(const J2kBytes& b, std::size_t& start, int& paletteChannels)
{
    return FindCodestream(b, start, paletteChannels);
}
