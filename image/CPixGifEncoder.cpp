// CPixGifEncoder.cpp: GIF blocks and the three ways of compressing a picture's indices.
#include "image/CPixGifEncoder.h"

#include "image/CPixImage.h"
#include "image/CPixStream.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kHashSize = 5003;
constexpr int kTileWidth = 17;
constexpr int kTileHeight = 15;
constexpr std::uint8_t kTrailer = 0x3B;

}  // namespace

CPixGifEncoder::CPixGifEncoder(CPixStream& out, const PixGifWriteSettings& settings)
    : m_out(out), m_settings(settings)
{
    if (m_settings.comment == nullptr)
        m_settings.comment = "";
}

bool CPixGifEncoder::WritePicture(const CPixImage& image)
{
    if (image.Bpp() > 8) {
        WriteScreen(image, false);
        WriteComment();
        WriteTiles(image);
    } else {
        WriteScreen(image, true);
        WriteControl(image);
        WriteComment();
        WriteImage(image, false);
    }
    return Finish();
}

bool CPixGifEncoder::WriteFrames(CPixImage* const* images, int count, bool localTables)
{
    WriteScreen(*images[0], true);
    if (m_settings.loopCount != 1)
        WriteLoop();
    WriteControl(*images[0]);
    WriteComment();
    WriteImage(*images[0], false);
    for (int i = 1; i < count; ++i) {
        if (images[i] == nullptr) {
            m_pError = "Bad image pointer";
            return false;
        }
        WriteControl(*images[i]);
        WriteImage(*images[i], localTables);
    }
    return Finish();
}

bool CPixGifEncoder::Finish()
{
    EmitByte(kTrailer);
    if (m_bWriteFailed || !m_out.Flush() || m_out.Error() > 0) {
        m_pError = "Write Error in GIF file";
        return false;
    }
    return true;
}

void CPixGifEncoder::Emit(const void* data, std::size_t size)
{
    if (!m_bWriteFailed && size > 0 && m_out.Write(data, 1, size) != size)
        m_bWriteFailed = true;
}

void CPixGifEncoder::EmitU16(int value)
{
    EmitByte(static_cast<std::uint8_t>(value));
    EmitByte(static_cast<std::uint8_t>(value >> 8));
}

void CPixGifEncoder::WriteLoop()
{
    const std::uint8_t app[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01};
    Emit(app, sizeof(app));
    EmitU16(m_settings.loopCount - 1 > 0 ? m_settings.loopCount - 1 : 0);
    EmitByte(0);
}

void CPixGifEncoder::WriteTable(const CPixImage& image)
{
    for (std::uint32_t i = 0; i < image.ColorCount(); ++i) {
        const PixQuad q = image.PaletteEntry(i);
        const std::uint8_t rgb[3] = {q.red, q.green, q.blue};
        Emit(rgb, 3);
    }
}

void CPixGifEncoder::WriteScreen(const CPixImage& image, bool withTable)
{
    Emit("GIF89a", 6);
    EmitU16(image.Width());
    EmitU16(image.Height());
    const int bpp = image.Bpp() > 8 ? 8 : image.Bpp();
    const bool table = withTable && image.IsIndexed();
    EmitByte(static_cast<std::uint8_t>(table ? 0x80 | ((bpp - 1) << 5) | (bpp - 1) : 0x11));
    EmitByte(0);
    EmitByte(0);
    if (table)
        WriteTable(image);
}

void CPixGifEncoder::WriteControl(const CPixImage& image)
{
    const std::uint8_t flags =
        static_cast<std::uint8_t>((image.TransparentIndex() != -1 ? 1 : 0) | ((m_settings.disposal & 7) << 2));
    const std::uint8_t head[] = {0x21, 0xF9, 4, flags};
    Emit(head, sizeof(head));
    EmitU16(static_cast<int>(image.FrameDelay()));
    EmitByte(static_cast<std::uint8_t>(image.TransparentIndex()));
    EmitByte(0);
}

void CPixGifEncoder::WriteComment()
{
    const std::size_t length = std::strlen(m_settings.comment);
    if (length == 0)
        return;
    const std::uint8_t head[] = {0x21, 0xFE, static_cast<std::uint8_t>(length > 255 ? 255 : length)};
    Emit(head, sizeof(head));
    Emit(m_settings.comment, head[2]);
    EmitByte(0);
}

void CPixGifEncoder::WriteImage(const CPixImage& image, bool localTable)
{
    int x = 0, y = 0;
    image.Offset(&x, &y);
    const int bpp = image.Bpp() > 8 ? 8 : image.Bpp();
    const bool table = localTable && image.IsIndexed();
    EmitByte(0x2C);
    EmitU16(x);
    EmitU16(y);
    EmitU16(image.Width());
    EmitU16(image.Height());
    EmitByte(static_cast<std::uint8_t>(table ? (bpp - 1) | 0x80 : 0));
    if (table)
        WriteTable(image);
    const int minCodeSize = bpp < 2 ? 2 : bpp;
    EmitByte(static_cast<std::uint8_t>(minCodeSize));
    switch (m_settings.compression) {
    case 1: CompressPlain(image, minCodeSize); break;
    case 2: CompressRuns(image, minCodeSize); break;
    default: CompressLzw(image, minCodeSize); break;
    }
    EmitByte(0);
}

bool CPixGifEncoder::WriteTiles(const CPixImage& image)
{
    const bool transparent = image.IsTransparent();
    const int width = image.Width(), height = image.Height();
    for (int ty = 0; ty < height; ty += kTileHeight) {
        for (int tx = 0; tx < width; tx += kTileWidth) {
            const int w = width - tx < kTileWidth ? width - tx : kTileWidth;
            const int h = height - ty < kTileHeight ? height - ty : kTileHeight;
            CPixImage tile(w, h, 8, kPixTypeGif);
            if (!tile.HasPixels())
                return false;
            if (transparent) {
                tile.SetPaletteQuad(0, image.TransparentColor());
                tile.SetTransparentIndex(0);
            }
            for (int y = 0; y < h; ++y) {          // y counts down from the tile's top line
                for (int x = 0; x < w; ++x) {
                    const auto index = static_cast<std::uint8_t>(x + 1 + kTileWidth * y);
                    PixQuad c = image.PixelColor(tx + x, height - 1 - (ty + y), false);
                    c.reserved = 0;
                    tile.SetPaletteQuad(index, c);
                    tile.SetPixelIndex(x, h - 1 - y, index);
                }
            }
            tile.SetOffset(tx, ty);
            tile.SetFrameDelay(image.FrameDelay());
            WriteControl(tile);
            WriteImage(tile, true);
        }
    }
    return !m_bWriteFailed;
}

void CPixGifEncoder::StartCodes(int minCodeSize, int packetLimit)
{
    m_nPacketLimit = packetLimit;
    m_nInitBits = minCodeSize + 1;
    m_nCodeBits = m_nInitBits;
    m_nMaxCode = (1 << m_nCodeBits) - 1;
    m_nClearCode = 1 << minCodeSize;
    m_nFreeEnt = m_nClearCode + 2;
    m_bClearFlag = false;
    m_nAccum = 0;
    m_nAccumBits = 0;
    m_packet.clear();
}

void CPixGifEncoder::PutCode(int code)
{
    m_nAccum |= static_cast<std::uint32_t>(code) << m_nAccumBits;
    m_nAccumBits += m_nCodeBits;
    while (m_nAccumBits >= 8) {
        PutByte(static_cast<std::uint8_t>(m_nAccum));
        m_nAccum >>= 8;
        m_nAccumBits -= 8;
    }
    // The width follows the table exactly as a decoder grows it.
    if (m_bClearFlag) {
        m_nCodeBits = m_nInitBits;
        m_nMaxCode = (1 << m_nCodeBits) - 1;
        m_bClearFlag = false;
    } else if (m_nFreeEnt > m_nMaxCode && m_nCodeBits < 12) {
        ++m_nCodeBits;
        m_nMaxCode = m_nCodeBits == 12 ? kMaxCodes : (1 << m_nCodeBits) - 1;
    }
}

void CPixGifEncoder::ClearTable()
{
    m_nFreeEnt = m_nClearCode + 2;
    m_bClearFlag = true;
    PutCode(m_nClearCode);
}

void CPixGifEncoder::FlushBits()
{
    if (m_nAccumBits > 0)
        PutByte(static_cast<std::uint8_t>(m_nAccum));
    m_nAccum = 0;
    m_nAccumBits = 0;
    FlushPacket();
}

void CPixGifEncoder::PutByte(std::uint8_t byte)
{
    m_packet.push_back(byte);
    if (static_cast<int>(m_packet.size()) >= m_nPacketLimit)
        FlushPacket();
}

void CPixGifEncoder::FlushPacket()
{
    if (m_packet.empty())
        return;
    EmitByte(static_cast<std::uint8_t>(m_packet.size()));
    Emit(m_packet.data(), m_packet.size());
    m_packet.clear();
}

namespace {

// Walks the indices of an image from its top line, left to right.
class PixelWalk {
public:
    explicit PixelWalk(const CPixImage& image) : m_image(image), m_nY(image.Height() - 1) {}
    bool Next(int& index)
    {
        if (m_nY < 0)
            return false;
        index = m_image.PixelIndexUnchecked(m_nX, m_nY);
        if (++m_nX >= m_image.Width()) {
            m_nX = 0;
            --m_nY;
        }
        return true;
    }

private:
    const CPixImage& m_image;
    int m_nX = 0;
    int m_nY;
};

}  // namespace

void CPixGifEncoder::CompressLzw(const CPixImage& image, int minCodeSize)
{
    StartCodes(minCodeSize, 254);
    const int end = m_nClearCode + 1;
    std::vector<std::int32_t> hashes(kHashSize, -1);
    std::vector<std::uint16_t> codes(kHashSize, 0);
    PutCode(m_nClearCode);
    PixelWalk walk(image);
    int ent = 0;
    if (!walk.Next(ent)) {
        PutCode(end);
        FlushBits();
        return;
    }
    int c = 0;
    while (walk.Next(c)) {
        const std::int32_t key = (c << 12) + ent;
        int i = (c << 4) ^ ent;
        bool found = false;
        if (hashes[static_cast<std::size_t>(i)] == key) {
            found = true;
        } else if (hashes[static_cast<std::size_t>(i)] >= 0) {
            const int step = i == 0 ? 1 : kHashSize - i;
            do {
                i -= step;
                if (i < 0)
                    i += kHashSize;
                found = hashes[static_cast<std::size_t>(i)] == key;
            } while (!found && hashes[static_cast<std::size_t>(i)] >= 0);
        }
        if (found) {
            ent = codes[static_cast<std::size_t>(i)];
            continue;
        }
        PutCode(ent);
        ent = c;
        if (m_nFreeEnt < kMaxCodes) {
            codes[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(m_nFreeEnt++);
            hashes[static_cast<std::size_t>(i)] = key;
        } else {
            std::fill(hashes.begin(), hashes.end(), -1);
            ClearTable();
        }
    }
    PutCode(ent);
    PutCode(end);
    FlushBits();
}

void CPixGifEncoder::CompressPlain(const CPixImage& image, int minCodeSize)
{
    StartCodes(minCodeSize, 254);
    PutCode(m_nClearCode);
    PixelWalk walk(image);
    int c = 0;
    while (walk.Next(c)) {
        PutCode(c);
        if (m_nFreeEnt < kMaxCodes)
            ++m_nFreeEnt;
        else
            ClearTable();
    }
    PutCode(m_nClearCode + 1);
    FlushBits();
}

namespace {

// Largest k with k (k + 1) / 2 <= n: a run of n pixels sent as pieces 1, 2, ..., k (plus a rest
// shorter than k + 1) costs about the square root of 2n codes.
std::int64_t TriangleCount(std::int64_t n)
{
    auto k = static_cast<std::int64_t>((std::sqrt(8.0 * static_cast<double>(n) + 1.0) - 1.0) / 2.0);
    while (k > 0 && k * (k + 1) / 2 > n)
        --k;
    while ((k + 1) * (k + 2) / 2 <= n)
        ++k;
    return k;
}

std::int64_t Triangle(std::int64_t k)
{
    return k * (k + 1) / 2;
}

}  // namespace

// Run-length coding that any LZW decoder expands: after a code for a run of m pixels of one
// index, the code of the slot the decoder fills next stands for m + 1 of them (the decoder reads
// it as the previous string plus its own first pixel). A run therefore goes out as growing
// pieces 1, 2, 3, ... and a rest that the table already holds; a later run of the same index
// starts from the longest piece already in the table. The decoder's table is mirrored exactly,
// and a clear code resets it well before it could fill up, so no code names a missing slot.
void CPixGifEncoder::CompressRuns(const CPixImage& image, int minCodeSize)
{
    StartCodes(minCodeSize, 255);
    PutCode(m_nClearCode);
    const int budget = kMaxCodes - (m_nClearCode + 3);    // codes between two clear codes
    // Per index: slots of its runs of 2, 3, ... pixels (a run of 1 is the index's own code).
    std::vector<std::vector<int>> runSlots(static_cast<std::size_t>(m_nClearCode));
    int codesSinceClear = 0;
    int prevPixel = -1;                                  // the run the decoder produced last
    int prevLength = 0;

    auto clear = [&]() {
        ClearTable();
        codesSinceClear = 0;
        prevPixel = -1;
        for (std::vector<int>& slots : runSlots)
            slots.clear();
    };
    auto put = [&](int code, int pixel, int length) {
        std::vector<int>& slots = runSlots[static_cast<std::size_t>(pixel)];
        if (codesSinceClear > 0) {                       // the decoder adds one entry per code
            const int slot = m_nFreeEnt++;
            if (pixel == prevPixel && prevLength == static_cast<int>(slots.size()) + 1)
                slots.push_back(slot);                   // a run one longer than any so far
        }
        PutCode(code);
        ++codesSinceClear;
        prevPixel = pixel;
        prevLength = length;
    };
    auto sendRun = [&](int pixel, std::int64_t length) {
        const std::vector<int>& slots = runSlots[static_cast<std::size_t>(pixel)];
        while (length > 0 && !m_bWriteFailed) {
            if (codesSinceClear >= budget)
                clear();
            const std::int64_t known = static_cast<std::int64_t>(slots.size()) + 1;
            const int first = static_cast<int>(length < known ? length : known);
            put(first == 1 ? pixel : slots[static_cast<std::size_t>(first - 2)], pixel, first);
            const std::int64_t last = TriangleCount(length + Triangle(first - 1));  // longest piece
            length -= first;
            for (std::int64_t piece = first + 1; piece <= last && codesSinceClear < budget; ++piece) {
                put(m_nFreeEnt, pixel, static_cast<int>(piece));
                length -= piece;
            }
        }
    };

    PixelWalk walk(image);
    int runPixel = 0;
    std::int64_t runLength = 0;
    int c = 0;
    while (walk.Next(c)) {
        if (runLength > 0 && c != runPixel) {
            sendRun(runPixel, runLength);
            runLength = 0;
        }
        runPixel = c;
        ++runLength;
    }
    if (runLength > 0)
        sendRun(runPixel, runLength);
    PutCode(m_nClearCode + 1);
    FlushBits();
}
