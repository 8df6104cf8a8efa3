// J2kBudget.cpp: the decoder's structures counted as OpenJPEG 2.5 builds them (tcd.c, pi.c, t1.c,
// jp2.c of that version), and the allowance they are held to.
#include "platform/j2k/J2kBudget.h"

#include "platform/j2k/J2kCodec.h"
#include "platform/j2k/J2kHeaders.h"
#include "platform/j2k/J2kPacketPasses.h"

#include <algorithm>

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
constexpr std::uint64_t kWorkPerHeaderRead = 40;        // a code-block's part of a packet header, tag trees included
constexpr std::uint64_t kWorkPerPaletteSample = 10;
constexpr std::uint64_t kWorkPerPixel = 20;             // our 32-bit pixels from the components
constexpr std::uint64_t kWorkPerGridTile = 4000;        // the header's set-up of every tile
constexpr std::uint64_t kWorkPerTileComponent = 2500;   // and of each of its components
constexpr std::uint64_t kWorkPerTile = 8000;            // a tile decoded: its set-up and copy-out

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 62;
constexpr int kMaxPasses = 88;        // 3 x 30 bit-planes - 2: more fails the code-block at once
// The packet header walks of one file: their steps, code-blocks and tag tree nodes built and
// passed, a few nanoseconds each (about 30 ms in all). Real pictures take a few hundred thousand.
constexpr std::uint64_t kFollowedSteps = 1u << 23;

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

// ---- Counting --------------------------------------------------------------------------------------

// The samples of component `c` as OpenJPEG hands it over: the image area at its sub-sampling.
std::uint64_t ComponentSamples(const J2kGeometry& g, std::size_t c)
{
    return Saturate(CeilDiv(g.x1, g.dx[c]) - CeilDiv(g.x0, g.dx[c]), CeilDiv(g.y1, g.dy[c]) - CeilDiv(g.y0, g.dy[c]));
}

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

TileArea AreaOf(const J2kGeometry& g, std::uint64_t tile)
{
    const std::uint64_t p = tile % g.tw, q = tile / g.tw;
    return {std::max(g.tx0 + p * g.tdx, g.x0), std::max(g.ty0 + q * g.tdy, g.y0),
            std::min(g.tx0 + (p + 1) * g.tdx, g.x1), std::min(g.ty0 + (q + 1) * g.tdy, g.y1)};
}

TileCost CountTile(const J2kGeometry& g, std::uint64_t tile, const J2kTileStyle& style)
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
        const J2kComponentStyle& s = style.comps[c];
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
    const std::uint64_t runs = std::max<std::uint64_t>(1, style.pocs.size());   // one iterator per progression
    cost.packets = Saturate(cost.packets, runs);
    const bool positionFirst = style.progression >= 2 || !style.pocs.empty();
    if (positionFirst && minStepX != 0 && minStepY != 0) {
        const std::uint64_t positions = Saturate(CeilDiv(tx1 - tx0, minStepX) + 1, CeilDiv(ty1 - ty0, minStepY) + 1);
        cost.positions = Saturate(Saturate(positions, static_cast<std::uint64_t>(maxResolutions) * comps), runs);
    }
    return cost;
}

// What the tile's packet headers give, where they can be followed as OpenJPEG follows them
// (J2kPacketPasses.h); false leaves the worst case. So does a walk that would pass the steps left
// of the file's.
bool SignalledPasses(const J2kBytes& b, const J2kGeometry& g, std::uint64_t tile, const J2kTileStyle& style,
                     int maxPasses, std::uint64_t& stepsLeft, J2kPassCount& count)
{
    const TileArea area = AreaOf(g, tile);
    if (area.Empty())
        return true;
    if (style.packedHeaders || style.progression > 4)
        return false;
    J2kPassTile t;
    t.x0 = static_cast<std::uint32_t>(area.x0);
    t.y0 = static_cast<std::uint32_t>(area.y0);
    t.x1 = static_cast<std::uint32_t>(area.x1);
    t.y1 = static_cast<std::uint32_t>(area.y1);
    t.layers = static_cast<std::uint32_t>(style.layers);
    t.sop = (style.codingStyle & 2) != 0;
    t.eph = (style.codingStyle & 4) != 0;
    std::uint32_t resolutions = 0;
    for (std::size_t c = 0; c < style.comps.size(); ++c) {
        const J2kComponentStyle& s = style.comps[c];
        J2kPassComponent comp;
        comp.resolutions = s.resolutions;
        comp.cbw = s.cbw;
        comp.cbh = s.cbh;
        comp.dx = static_cast<std::uint32_t>(g.dx[c]);
        comp.dy = static_cast<std::uint32_t>(g.dy[c]);
        comp.codeBlockStyle = s.codeBlockStyle;
        comp.prcw = s.prcw;
        comp.prch = s.prch;
        t.comps.push_back(comp);
        resolutions = std::max(resolutions, static_cast<std::uint32_t>(s.resolutions));
    }
    if (style.pocs.empty())
        t.progressions.push_back({style.progression, 0, 0, t.layers, resolutions, static_cast<std::uint32_t>(t.comps.size())});
    else
        t.progressions = style.pocs;
    // A packet may run on into the next tile-part: several are joined as OpenJPEG joins them.
    std::vector<unsigned char> joined;
    if (style.data.size() == 1) {
        t.data = b.data + style.data[0].first;
        t.size = style.data[0].second - style.data[0].first;
    } else {
        for (const auto& [from, to] : style.data)
            joined.insert(joined.end(), b.data + from, b.data + to);
        t.data = joined.data();
        t.size = joined.size();
    }
    return J2kSignalledSamplePasses(t, maxPasses, stepsLeft, count);
}

// What the decode may take: the picture's own samples in full, within a ceiling, and the rest a
// fixed share or more for each byte of packet data. A file that brings too little data to pay for
// more still gets no more work than about 0.9 s of one core, whatever its picture.
void Allow(J2kBudget& budget)
{
    const std::uint64_t scaledBytes = std::min<std::uint64_t>(kJ2kMaxScaledDecodeBytes, Saturate(budget.codedBytes, kJ2kDecodeBytesPerCodedByte));
    const std::uint64_t scaledWork = std::min<std::uint64_t>(kJ2kMaxScaledDecodeWork, Saturate(budget.codedBytes, kJ2kWorkPerCodedByte));
    budget.allowedBytes = std::max<std::uint64_t>(kJ2kMaxDecodeBytes, scaledBytes) + std::min<std::uint64_t>(budget.pictureBytes, kJ2kMaxPictureBytes);
    budget.allowedWork = std::min(std::max<std::uint64_t>(kJ2kMaxPictureWork, scaledWork),
                                  Add(std::max<std::uint64_t>(kJ2kMaxDecodeWork, scaledWork), budget.pictureWork));
}

// The packet headers' reading and the coding passes they give, tile by tile: as the walk finds
// them, else every code-block read in every packet and coded to its last bit-plane.
std::uint64_t PassWork(const J2kBytes& b, const J2kScan& scan, const std::vector<TileCost>& costs, J2kBudget& budget)
{
    const std::uint64_t transform = scan.customTransform ? scan.g.dx.size() : 1;
    std::uint64_t stepsLeft = kFollowedSteps, work = 0;
    budget.passesFollowed = true;
    std::size_t i = 0;
    for (const auto& [tile, style] : scan.tiles) {
        const TileCost& cost = costs[i++];
        J2kPassCount count;
        const bool followed = SignalledPasses(b, scan.g, tile, style, budget.passes, stepsLeft, count);
        if (!followed) {
            count.samplePasses = Saturate(cost.samples, static_cast<std::uint64_t>(budget.passes));
            count.headerReads = Saturate(Saturate(style.layers, cost.codeBlocks), std::max<std::uint64_t>(1, style.pocs.size()));
        }
        work = Add(work, Saturate(Saturate(count.samplePasses, kWorkPerSamplePass), transform));
        work = Add(work, Saturate(count.headerReads, kWorkPerHeaderRead));
        budget.passesFollowed = budget.passesFollowed && followed;
    }
    return work;
}

}  // namespace

J2kBudget J2kEstimate(const std::vector<unsigned char>& file, bool jp2)
{
    J2kBudget budget;
    const J2kBytes b{file.data(), file.size()};
    std::size_t start = 0;
    int paletteChannels = 0;
    if (jp2 && !J2kFindCodestream(b, start, paletteChannels))
        return budget;
    J2kScan scan;
    if (!J2kReadMainHeader(b, start, scan))
        return budget;
    budget.readable = true;
    budget.components = scan.g.dx.size();
    budget.gridTiles = Saturate(scan.g.tw, scan.g.th);
    // The picture handed over is the first component's samples, not the reference grid: a
    // sub-sampled component covers the grid with fewer. Before the components are read, the grid.
    budget.pixels = scan.g.dx.empty() ? Saturate(scan.g.x1 - scan.g.x0, scan.g.y1 - scan.g.y0) : ComponentSamples(scan.g, 0);
    budget.largestComponent = budget.pixels;
    if (scan.uncounted) {
        budget.memoryBytes = budget.work = kSaturated;
        return budget;
    }
    if (!J2kReadTileParts(b, scan)) {
        budget.readable = false;
        return budget;
    }

    const J2kGeometry& g = scan.g;
    const std::size_t comps = g.dx.size();
    const int bitPlanes = std::min(30, scan.bitPlanes + scan.roiShift);
    budget.passes = bitPlanes <= 0 ? 0 : std::min(kMaxPasses, 3 * bitPlanes - 2);
    const std::uint64_t transform = scan.customTransform ? comps : 1;   // a custom transform mixes every component into every sample

    // The picture OpenJPEG hands over: every component at its own size.
    std::uint64_t imageSamples = 0, largestComponent = 0;
    for (std::size_t c = 0; c < comps; ++c) {
        const std::uint64_t n = ComponentSamples(g, c);
        imageSamples = Add(imageSamples, n);
        largestComponent = std::max(largestComponent, n);
    }
    budget.largestComponent = largestComponent;

    // Tiles are decoded one after the other into one set of structures, which grows to the
    // largest; the work adds up. Everything but the coding passes first.
    std::uint64_t tileBytes = 0, tileSampleBytes = 0, work = 0;
    std::vector<TileCost> costs;
    for (const auto& [tile, style] : scan.tiles) {
        const TileCost cost = CountTile(g, tile, style);
        costs.push_back(cost);
        tileBytes = std::max(tileBytes, Add(Add(cost.structureBytes, cost.includeBytes), Saturate(cost.samples, kSampleBytes)));
        tileSampleBytes = std::max(tileSampleBytes, Saturate(cost.samples, kSampleBytes));
        work = Add(work, Add(kWorkPerTile, Saturate(Add(cost.precincts, cost.codeBlocks), kWorkPerStructure)));
        work = Add(work, Add(Saturate(cost.packets, kWorkPerPacket), Saturate(cost.positions, kWorkPerPosition)));
        budget.pictureWork = Add(budget.pictureWork, Saturate(Saturate(cost.samples, kWorkPerSample), transform));
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
    // Of a palette's channels, the picture has the four we hand over.
    const std::uint64_t paletteSamples = Saturate(largestComponent, static_cast<std::uint64_t>(paletteChannels));
    const std::uint64_t picturePalette = Saturate(largestComponent, static_cast<std::uint64_t>(std::min(paletteChannels, 4)));
    budget.pictureBytes = Add(Add(tileSampleBytes, singleTile ? 0 : Saturate(imageSamples, kSampleBytes)),
                              Add(Saturate(picturePalette, kSampleBytes), Saturate(budget.pixels, 2 * 4)));
    budget.pictureWork = Add(budget.pictureWork, Add(Saturate(picturePalette, kWorkPerPaletteSample), Saturate(budget.pixels, kWorkPerPixel)));
    const std::uint64_t tileComponents = Saturate(budget.gridTiles, comps);
    std::uint64_t memory = Add(tileBytes, singleTile ? 0 : Saturate(imageSamples, kSampleBytes));
    memory = Add(memory, Add(Saturate(tileComponents, kTileComponentBytes), Saturate(budget.gridTiles, kGridTileBytes)));
    memory = Add(memory, Add(Saturate(paletteSamples, kSampleBytes), Saturate(budget.pixels, 2 * 4)));
    budget.memoryBytes = Add(memory, Add(Saturate(file.size(), 2), kStreamBufferBytes));
    work = Add(work, Add(Saturate(tileComponents, kWorkPerTileComponent), Saturate(budget.gridTiles, kWorkPerGridTile)));
    work = Add(work, Add(budget.pictureWork, Saturate(paletteSamples - picturePalette, kWorkPerPaletteSample)));
    Allow(budget);

    // The coding passes: a file that costs too much without them is not walked.
    const std::uint64_t worstPasses = Saturate(Saturate(budget.samples, Saturate(kWorkPerSamplePass, static_cast<std::uint64_t>(budget.passes))), transform);
    const bool overWithoutPasses = budget.largestComponent > kJ2kMaxPixels || budget.memoryBytes > budget.allowedBytes ||
                                   work > budget.allowedWork || budget.packets > kJ2kMaxPacketSteps;
    if (overWithoutPasses) {
        budget.work = Add(work, worstPasses);
        return budget;
    }
    budget.work = Add(work, PassWork(b, scan, costs, budget));
    if (budget.work <= budget.allowedWork)
        budget.verdict = EJ2kVerdict::kDecode;
    else if (!budget.passesFollowed)
        budget.verdict = EJ2kVerdict::kDecodeBounded;
    return budget;
}
