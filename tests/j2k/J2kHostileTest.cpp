// test-labels: untrusted
// Small JPEG-2000 files that ask OpenJPEG for many precincts, code-blocks, layers, packet
// positions, coding passes, palette channels or tiles: each is refused when it is opened or
// decodes within a second and 256 MB (scaled under the sanitizers), in a process of its own.
#include "platform/j2k/J2kBudget.h"
#include "platform/j2k/J2kCodec.h"
#include "support/BoundedRun.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

void Put32(Bytes& b, std::uint32_t v)
{
    Put16(b, v >> 16);
    Put16(b, v & 0xFFFF);
}

void Append(Bytes& b, const Bytes& more)
{
    b.insert(b.end(), more.begin(), more.end());
}

Bytes Segment(std::uint32_t marker, const Bytes& payload)
{
    Bytes b;
    Put16(b, marker);
    Put16(b, static_cast<std::uint32_t>(payload.size() + 2));
    Append(b, payload);
    return b;
}

// The coding style of a COD marker.
struct Coding {
    int levels = 5;
    int codeBlock = 6;     // exponent: 6 is 64 x 64
    int precinct = -1;     // exponent of every resolution's precincts; -1 for none
    int layers = 1;
    int progression = 0;   // 0 LRCP .. 2 RPCL .. 4 CPRL
};

Bytes Cod(const Coding& c)
{
    Bytes p = {static_cast<std::uint8_t>(c.precinct >= 0 ? 1 : 0), static_cast<std::uint8_t>(c.progression)};
    Put16(p, static_cast<std::uint32_t>(c.layers));
    Append(p, {0, static_cast<std::uint8_t>(c.levels), static_cast<std::uint8_t>(c.codeBlock - 2),
               static_cast<std::uint8_t>(c.codeBlock - 2), 0, 1});
    for (int r = 0; c.precinct >= 0 && r <= c.levels; ++r)
        p.push_back(static_cast<std::uint8_t>(c.precinct << 4 | c.precinct));
    return Segment(0xFF52, p);
}

// One tile of size x size (or tiles of `tile`), `comps` 8-bit components, no quantisation with
// the given exponent (bit-planes = exponent + 1 with two guard bits). Every tile gets a tile-part
// whose header may carry a COD of its own, and `data` as its packets.
struct Stream {
    std::uint32_t width = 64, height = 64, tile = 0;
    int comps = 1;
    Coding coding;
    const Coding* tileCoding = nullptr;
    int exponent = 8;
    Bytes data = Bytes(8, 0);
};

Bytes Codestream(const Stream& s)
{
    const std::uint32_t tile = s.tile != 0 ? s.tile : std::max(s.width, s.height);
    Bytes b = {0xFF, 0x4F};
    Bytes siz;
    Put16(siz, 0);
    for (std::uint32_t v : {s.width, s.height, 0u, 0u, tile, tile, 0u, 0u})
        Put32(siz, v);
    Put16(siz, static_cast<std::uint32_t>(s.comps));
    for (int c = 0; c < s.comps; ++c)
        Append(siz, {7, 1, 1});
    Append(b, Segment(0xFF51, siz));
    Append(b, Cod(s.coding));
    const int levels = std::max(s.coding.levels, s.tileCoding != nullptr ? s.tileCoding->levels : 0);
    Bytes qcd = {0x40};
    for (int i = 0; i < 3 * levels + 1; ++i)
        qcd.push_back(static_cast<std::uint8_t>(s.exponent << 3));
    Append(b, Segment(0xFF5C, qcd));
    const std::uint32_t tiles = ((s.width + tile - 1) / tile) * ((s.height + tile - 1) / tile);
    for (std::uint32_t t = 0; t < tiles; ++t) {
        Bytes header = s.tileCoding != nullptr ? Cod(*s.tileCoding) : Bytes();
        Put16(b, 0xFF90);
        Put16(b, 10);
        Put16(b, t);
        Put32(b, static_cast<std::uint32_t>(12 + header.size() + 2 + s.data.size()));
        Append(b, {0, 1});
        Append(b, header);
        Append(b, {0xFF, 0x93});
        Append(b, s.data);
    }
    Append(b, {0xFF, 0xD9});
    return b;
}

Bytes Box(const char* type, const Bytes& payload)
{
    Bytes b;
    Put32(b, static_cast<std::uint32_t>(payload.size() + 8));
    b.insert(b.end(), type, type + 4);
    Append(b, payload);
    return b;
}

// The codestream in JP2 boxes; with `paletteChannels`, a palette that makes that many
// components of the first.
Bytes Jp2(const Bytes& codestream, std::uint32_t size, int paletteChannels = 0)
{
    Bytes ihdr;
    Put32(ihdr, size);
    Put32(ihdr, size);
    Put16(ihdr, 1);
    Append(ihdr, {7, 7, 0, 0});
    Bytes header = Box("ihdr", ihdr);
    Append(header, Box("colr", {1, 0, 0, 0, 0, 0, 16}));
    if (paletteChannels > 0) {
        Bytes pclr;
        Put16(pclr, 2);
        pclr.push_back(static_cast<std::uint8_t>(paletteChannels));
        for (int i = 0; i < 3 * paletteChannels; ++i)
            pclr.push_back(static_cast<std::uint8_t>(i < paletteChannels ? 7 : i));
        Append(header, Box("pclr", pclr));
        Bytes cmap;
        for (int i = 0; i < paletteChannels; ++i)
            Append(cmap, {0, 0, 1, static_cast<std::uint8_t>(i)});
        Append(header, Box("cmap", cmap));
    }
    Bytes b = Box("jP  ", {0x0D, 0x0A, 0x87, 0x0A});
    Append(b, Box("ftyp", {'j', 'p', '2', ' ', 0, 0, 0, 0, 'j', 'p', '2', ' '}));
    Append(b, Box("jp2h", header));
    Append(b, Box("jp2c", codestream));
    return b;
}

// Packet headers (with bit stuffing) that include the one code-block of every precinct with
// `passes` coding passes over one byte of data.
class Bits {
public:
    void Put(int bit)
    {
        m_cur = m_cur << 1 | bit;
        if (++m_n == m_limit)
            Flush();
    }
    void Put(std::uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i)
            Put(static_cast<int>(value >> i & 1));
    }
    Bytes Done()
    {
        Flush();
        if (!m_out.empty() && m_out.back() == 0xFF)
            m_out.push_back(0);
        return m_out;
    }

private:
    void Flush()
    {
        if (m_n == 0)
            return;
        const std::uint8_t b = static_cast<std::uint8_t>(m_cur << (m_limit - m_n));
        m_out.push_back(b);
        m_limit = b == 0xFF ? 7 : 8;
        m_cur = 0;
        m_n = 0;
    }
    Bytes m_out;
    std::uint32_t m_cur = 0;
    int m_n = 0, m_limit = 8;
};

Bytes PassPackets(int packets, int passes)
{
    Bytes out;
    for (int i = 0; i < packets; ++i) {
        Bits b;
        b.Put(1);   // not empty
        b.Put(1);   // included
        b.Put(1);   // no missing bit-plane
        b.Put(0x1FF, 9);
        b.Put(static_cast<std::uint32_t>(passes - 37), 7);
        b.Put(0);   // length bits stay 3
        int bits = 3;
        for (int p = passes; p > 1; p >>= 1)
            ++bits;
        b.Put(1, bits);
        Append(out, b.Done());
        out.push_back(0x55);
    }
    return out;
}

// The layer as the game and the fuzz target use it: open, ask the size, decode at half and at
// full size. 0: decoded; 1: refused as too large when opened; 2: anything else.
int OpenAndDecode(const Bytes& bytes)
{
    J2kImage* image = J2K_OpenMemory(bytes.data(), bytes.size());
    if (image == nullptr)
        return J2K_getLastError() == kJ2kErrTooLarge ? 1 : 2;
    int result = 0;
    for (const char* options : {"reduce=1", static_cast<const char*>(nullptr)}) {
        unsigned char* pixels = nullptr;
        int size = 0, pitch = 0;
        if (J2K_Decode(image, &pixels, &size, options, &pitch) != kJ2kOk || size <= 0)
            result = 2;
    }
    J2K_Close(image);
    return result;
}

struct Case {
    std::string what;
    Bytes bytes;
    bool decoded;   // else refused when opened
};

void ExpectBounded(const std::vector<Case>& cases)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what + " (" + std::to_string(c.bytes.size()) + " bytes)");
        ASSERT_LT(c.bytes.size(), 65536u);
        const RunCost cost = RunBounded([&c] { return OpenAndDecode(c.bytes); });
        ASSERT_TRUE(cost.exited) << "killed after " << cost.seconds << " s";
        EXPECT_EQ(cost.status, c.decoded ? 0 : 1);
        EXPECT_LT(cost.seconds, 1.0 * kTestTimeScale);
        EXPECT_LT(cost.peakMb, 256.0 * kTestMemoryScale);
    }
}

Stream Square(std::uint32_t size, const Coding& coding)
{
    Stream s;
    s.width = s.height = size;
    s.coding = coding;
    return s;
}

}  // namespace

TEST(J2kHostile, SmallCodeBlocksInSmallPrecinctsAreBounded)
{
    Coding c;
    c.codeBlock = 2;   // 4 x 4
    c.precinct = 1;    // 2 x 2
    std::vector<Case> cases;
    for (std::uint32_t size : {256u, 512u, 1024u, 4096u}) {
        const Bytes cs = Codestream(Square(size, c));
        cases.push_back({"codestream " + std::to_string(size), cs, size <= 512});
        cases.push_back({"JP2 " + std::to_string(size), Jp2(cs, size), size <= 512});
    }
    ExpectBounded(cases);
}

TEST(J2kHostile, SmallCodeBlocksAloneAreBounded)
{
    Coding c;
    c.codeBlock = 2;
    std::vector<Case> cases;
    for (std::uint32_t size : {512u, 1024u, 2048u, 4096u})
        cases.push_back({"codestream " + std::to_string(size), Codestream(Square(size, c)), size <= 1024});
    ExpectBounded(cases);
}

TEST(J2kHostile, ManyLayersAndPositionsAreBounded)
{
    Coding layers;
    layers.layers = 65535;
    Coding layersInPrecincts = layers;
    layersInPrecincts.precinct = 1;
    Coding positions;
    positions.codeBlock = 2;
    positions.precinct = 1;
    positions.progression = 2;   // RPCL walks every position of the smallest precinct
    Coding manyResolutions = layers;
    manyResolutions.levels = 19;
    Stream deep = Square(64, manyResolutions);
    deep.comps = 3;
    ExpectBounded({{"65535 layers, 512", Codestream(Square(512, layers)), true},
                   {"65535 layers of 20 resolutions and 3 components, 64", Codestream(deep), false},
                   {"65535 layers in 2 x 2 precincts, 256", Codestream(Square(256, layersInPrecincts)), false},
                   {"RPCL in 2 x 2 precincts, 256", Codestream(Square(256, positions)), true},
                   {"RPCL in 2 x 2 precincts, 1024", Codestream(Square(1024, positions)), false}});
}

TEST(J2kHostile, ATilePartHeaderCannotAskForMoreThanTheMainHeaderShows)
{
    Coding plain;
    Coding small;
    small.codeBlock = 2;
    small.precinct = 1;
    std::vector<Case> cases;
    for (std::uint32_t size : {256u, 2048u}) {
        Stream s = Square(size, plain);
        s.tileCoding = &small;
        cases.push_back({"tile-part COD, " + std::to_string(size), Codestream(s), size == 256});
    }
    ExpectBounded(cases);
}

TEST(J2kHostile, CodingPassesOnEveryCodeBlockAreBounded)
{
    // 30 bit-planes: 85 passes a code-block, each over its 64 x 64 samples.
    Coding c;
    c.levels = 0;
    c.precinct = 6;
    std::vector<Case> cases;
    for (std::uint32_t size : {256u, 512u, 2048u}) {
        Stream s = Square(size, c);
        s.exponent = 28;
        s.data = PassPackets(static_cast<int>((size / 64) * (size / 64)), 85);
        cases.push_back({"85 passes, " + std::to_string(size), Codestream(s), size <= 512});
    }
    ExpectBounded(cases);
}

TEST(J2kHostile, APaletteCannotMultiplyTheComponents)
{
    Coding c;
    ExpectBounded({{"3 palette channels, 64", Jp2(Codestream(Square(64, c)), 64, 3), true},
                   {"255 palette channels, 512", Jp2(Codestream(Square(512, c)), 512, 255), false},
                   {"255 palette channels, 1024", Jp2(Codestream(Square(1024, c)), 1024, 255), false}});
}

TEST(J2kHostile, EveryTileOfAFineGridIsDecodedWithinTheBounds)
{
    Stream s;
    s.width = s.height = 64;
    s.tile = 1;
    s.coding.levels = 0;
    s.data = {0};
    ExpectBounded({{"4096 tiles of one pixel, each with data", Codestream(s), true}});
}

TEST(J2kHostile, TheEstimateCountsWhatOpenJpegBuilds)
{
    Coding c;
    c.codeBlock = 2;
    c.precinct = 1;
    const Bytes cs = Codestream(Square(4096, c));
    const J2kBudget b = J2kEstimate(cs, false);
    ASSERT_TRUE(b.readable);
    EXPECT_EQ(b.tiles, 1u);
    EXPECT_EQ(b.samples, 4096u * 4096u);
    // Every code-block is one sample of a 1 x 1 precinct band at the finest resolutions.
    EXPECT_GT(b.codeBlocks, 16000000u);
    EXPECT_GT(b.memoryBytes, std::uint64_t{4} << 30);
    EXPECT_EQ(J2kEstimate(Jp2(cs, 4096), true).codeBlocks, b.codeBlocks);
    // A file whose headers cannot be followed is not readable; refused before OpenJPEG sees it.
    EXPECT_FALSE(J2kEstimate(Bytes(cs.begin(), cs.begin() + 30), false).readable);
    EXPECT_EQ(J2K_OpenMemory(cs.data(), 30), nullptr);
    EXPECT_EQ(J2K_getLastError(), kJ2kErrHeader);
    J2kImage* refused = J2K_OpenMemory(cs.data(), cs.size());
    EXPECT_EQ(refused, nullptr);
    EXPECT_NE(std::string(J2K_getLastErrorStr()).find("code-blocks"), std::string::npos) << J2K_getLastErrorStr();
}

TEST(J2kHostile, TheGamesEffectPicturesAreWellWithinTheBounds)
{
    // The effect pictures the build makes (64 x 64 colour, Pillow's defaults) and the test files.
    std::string dir = __FILE__;
    dir.erase(dir.find_last_of('/') + 1);
    for (const char* name : {"colour.jp2", "colour.j2k", "alpha.jp2"}) {
        SCOPED_TRACE(name);
        std::ifstream in(dir + "data/" + name, std::ios::binary);
        const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const J2kBudget b = J2kEstimate(bytes, bytes[4] == 'j');
        ASSERT_TRUE(b.readable);
        EXPECT_LT(b.memoryBytes, kJ2kMaxDecodeBytes / 64);
        EXPECT_LT(b.work, kJ2kMaxDecodeWork / 64);
    }
    Stream effect = Square(64, Coding());
    EXPECT_EQ(OpenAndDecode(Codestream(effect)), 0);
    EXPECT_EQ(OpenAndDecode(Jp2(Codestream(effect), 64)), 0);
}
