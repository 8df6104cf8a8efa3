#include "image/CPixTgaCodec.h"

#include "image/CPixStream.h"

#include <cstring>
#include <vector>

struct CPixTgaCodec::Header {
    std::uint8_t idLength = 0;
    std::uint8_t colorMapType = 0;
    std::uint8_t imageType = 0;
    std::uint16_t mapFirst = 0;
    std::uint16_t mapLength = 0;
    std::uint8_t mapEntrySize = 0;
    std::uint16_t xOrigin = 0;
    std::uint16_t yOrigin = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t depth = 0;
    std::uint8_t descriptor = 0;
};

namespace {

constexpr int kNoCarry = 255;
constexpr int kRowCut = -1;  // a run-length row that the data ended inside
// An entry size is one byte of bits, so no colour map entry is wider than this.
constexpr std::size_t kMaxEntryBytes = (255 + 7) / 8;

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void PutU16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

int BytesPerPixel(int depth)
{
    return (depth + 7) / 8;
}

PixQuad QuadFrom16(std::uint16_t w)
{
    PixQuad q;
    q.blue = static_cast<std::uint8_t>((w & 31) << 3);
    q.green = static_cast<std::uint8_t>((w >> 2) & 0xF8);
    q.red = static_cast<std::uint8_t>((w >> 7) & 0xF8);
    return q;
}

}  // namespace

// ---- Encoding ----------------------------------------------------------------------------

bool CPixTgaCodec::Encode(CPixStream* stream)
{
    if (CheckEncodeTarget(stream))
        return false;
    if (Bpp() < 8) {
        SetLastError("Bit depth must be 8 or 24");
        return false;
    }
    const bool indexed = Bpp() == 8;
    const bool withAlpha = !indexed && HasAlpha();
    std::uint8_t head[18] = {};
    head[1] = IsIndexed() ? 1 : 0;
    head[2] = indexed ? 1 : 2;
    PutU16(head + 5, indexed ? 256 : 0);
    head[7] = indexed ? 24 : 0;
    PutU16(head + 12, static_cast<std::uint32_t>(Width()));
    PutU16(head + 14, static_cast<std::uint32_t>(Height()));
    head[16] = static_cast<std::uint8_t>(withAlpha ? 32 : Bpp());
    bool ok = stream->Write(head, 18, 1) == 1;
    if (indexed) {
        std::uint8_t map[256 * 3] = {};
        for (std::uint32_t i = 0; i < 256; ++i) {
            const PixQuad q = PaletteEntry(i);
            map[3 * i] = q.blue;
            map[3 * i + 1] = q.green;
            map[3 * i + 2] = q.red;
        }
        ok = ok && stream->Write(map, sizeof(map), 1) == 1;
    }
    ok = ok && (withAlpha ? WriteRowsWithAlpha(stream) : WriteRows(stream));
    // A full disk must not pass for a written file: its caller may delete the sources.
    if (!ok || stream->Error() != 0) {
        SetLastError("Write Error in TGA file");
        return false;
    }
    return true;
}

bool CPixTgaCodec::WriteRows(CPixStream* stream)
{
    const std::size_t bytes = static_cast<std::size_t>(Width()) * static_cast<std::size_t>(Bpp() / 8);
    for (int y = 0; y < Height(); ++y) {
        if (stream->Write(RowPointer(y), bytes, 1) != 1)
            return false;
    }
    return true;
}

void CPixTgaCodec::InterleaveAlpha(int y, const std::uint8_t (&scaled)[256], std::uint8_t* out) const
{
    const std::uint8_t* row = RowPointer(y);
    const std::uint8_t* alpha = AlphaPointer(0, y);
    const int last = Width() - 1;
    // Four bytes at a time, the fourth (the next pixel's blue) then overwritten by the alpha:
    // byte by byte, this loop was most of the encode. The last pixel must not read past its row.
    for (int x = 0; x < last; ++x, row += 3, out += 4) {
        std::memcpy(out, row, 4);
        out[3] = scaled[alpha[x]];
    }
    out[0] = row[0];
    out[1] = row[1];
    out[2] = row[2];
    out[3] = scaled[alpha[last]];
}

bool CPixTgaCodec::WriteRowsWithAlpha(CPixStream* stream)
{
    // The alpha scale is one division per level, not per pixel; with the default maximum it is
    // the identity.
    std::uint8_t scaled[256];
    for (int a = 0; a < 256; ++a)
        scaled[a] = static_cast<std::uint8_t>(a * AlphaMax() / 255);
    std::vector<std::uint8_t> line(4 * static_cast<std::size_t>(Width()));
    for (int y = 0; y < Height(); ++y) {
        InterleaveAlpha(y, scaled, line.data());
        if (stream->Write(line.data(), line.size(), 1) != 1)
            return false;
    }
    return true;
}

// ---- Decoding ----------------------------------------------------------------------------

bool CPixTgaCodec::Decode(CPixStream* stream)
{
    if (stream == nullptr)
        return false;
    std::uint8_t raw[18];
    if (stream->Read(raw, 18, 1) != 1) {
        SetLastError("Not a TGA");
        return false;
    }
    Header h;
    h.idLength = raw[0];
    h.colorMapType = raw[1];
    h.imageType = raw[2];
    h.mapFirst = U16(raw + 3);
    h.mapLength = U16(raw + 5);
    h.mapEntrySize = raw[7];
    h.xOrigin = U16(raw + 8);
    h.yOrigin = U16(raw + 10);
    h.width = U16(raw + 12);
    h.height = U16(raw + 14);
    h.depth = raw[16];
    h.descriptor = raw[17];

    const bool rle = h.imageType >= 9 && h.imageType <= 11;
    if (!rle && (h.imageType < 1 || h.imageType > 3)) {
        SetLastError("Unknown TGA image type");
        return false;
    }
    const bool depthOk = h.depth == 8 || h.depth == 15 || h.depth == 16 || h.depth == 24 || h.depth == 32;
    if (h.width == 0 || h.height == 0 || h.depth == 0 || h.mapLength >= 257 || !depthOk) {
        SetLastError("bad TGA header");
        return false;
    }
    stream->Seek(h.idLength, 1);
    if (Create(h.width, h.height, h.depth, kPixTypeTga) == nullptr) {
        SetLastError("TGA Create failed");
        return false;
    }
    if (h.depth == 32)
        MakeAlphaPlane();
    if (Escape() != 0) {
        SetLastError("Cancelled");
        return false;
    }
    if (h.colorMapType != 0 && !ReadColorMap(stream, h)) {
        SetLastError("corrupted TGA");
        return false;
    }
    if (h.imageType == 3 || h.imageType == 11)
        SetGreyPalette();

    int carried = kNoCarry;
    for (int y = 0; y < h.height; ++y) {
        if (Escape() != 0) {
            SetLastError("Cancelled");
            return false;
        }
        const int target = (h.descriptor & 0x20) != 0 ? h.height - 1 - y : y;
        std::uint8_t* row = RowPointer(target);
        // Data that stops early is damage wherever it stops; a file only notices its end after a
        // read that failed, so the row's own reads decide, not the stream's end flag.
        if (stream->Eof() || (rle && (carried = ReadRleRow(row, h, stream, y, carried)) == kRowCut) ||
            (!rle && !ReadRow(row, h, stream, y))) {
            SetLastError("corrupted TGA");
            return false;
        }
    }
    if ((h.descriptor & 0x10) != 0)
        MirrorHorizontal();
    if ((h.descriptor & 0x20) != 0 && h.depth == 32)
        FlipAlpha();
    return true;
}

bool CPixTgaCodec::ReadColorMap(CPixStream* stream, const Header& h)
{
    // Entries are read at their real size and land at their real index; entries past the
    // palette (or any entry of a true-colour picture) are read and dropped. Bytes beyond the
    // first three of a wide entry are not colour.
    const int entryBytes = BytesPerPixel(h.mapEntrySize);
    std::uint8_t entry[kMaxEntryBytes] = {};
    for (int i = 0; i < h.mapLength; ++i) {
        if (entryBytes > 0 && stream->Read(entry, static_cast<std::size_t>(entryBytes), 1) != 1)
            return false;
        const std::uint32_t index = static_cast<std::uint32_t>(h.mapFirst) + static_cast<std::uint32_t>(i);
        if (entryBytes == 2) {
            SetPaletteQuad(index, QuadFrom16(U16(entry)));
        } else if (entryBytes >= 3) {
            SetPaletteEntry(index, entry[2], entry[1], entry[0], 0);
        }
    }
    return true;
}

void CPixTgaCodec::StorePixel(std::uint8_t* row, int x, int fileRow, const std::uint8_t* pixel, int depth)
{
    switch (depth) {
    case 8:
        row[x] = pixel[0];
        break;
    case 15:
    case 16: {
        const PixQuad q = QuadFrom16(U16(pixel));
        row[3 * x] = q.blue;
        row[3 * x + 1] = q.green;
        row[3 * x + 2] = q.red;
        break;
    }
    default:
        row[3 * x] = pixel[0];
        row[3 * x + 1] = pixel[1];
        row[3 * x + 2] = pixel[2];
        if (depth == 32)
            SetAlphaAt(x, fileRow, pixel[3]);
        break;
    }
}

bool CPixTgaCodec::ReadRow(std::uint8_t* row, const Header& h, CPixStream* stream, int y)
{
    const std::size_t bpp = static_cast<std::size_t>(BytesPerPixel(h.depth));
    std::vector<std::uint8_t> bytes(bpp * h.width, 0);
    const std::size_t got = stream->Read(bytes.data(), 1, bytes.size());
    const std::size_t pixels = got / bpp;
    for (std::size_t x = 0; x < pixels; ++x)
        StorePixel(row, static_cast<int>(x), y, bytes.data() + bpp * x, h.depth);
    return got == bytes.size();
}

int CPixTgaCodec::ReadRleRow(std::uint8_t* row, const Header& h, CPixStream* stream, int y, int carried)
{
    const int bpp = BytesPerPixel(h.depth);
    std::uint8_t pixel[4] = {};
    int x = 0;
    while (x < h.width) {
        int head = carried;
        carried = kNoCarry;
        if (head == kNoCarry) {
            head = stream->GetC();
            if (head < 0)
                return kRowCut;
        }
        if ((head & 0x80) != 0) {
            const int count = head - 127;
            if (stream->Read(pixel, static_cast<std::size_t>(bpp), 1) != 1)
                return kRowCut;
            const int fit = count < h.width - x ? count : h.width - x;
            for (int i = 0; i < fit; ++i)
                StorePixel(row, x + i, y, pixel, h.depth);
            x += fit;
            if (count > fit) {
                // The rest of the run belongs to the next row, which reads the value again.
                carried = count - fit + 127;
                stream->Seek(-bpp, 1);
            }
            continue;
        }
        const int count = head + 1;
        const int fit = count < h.width - x ? count : h.width - x;
        for (int i = 0; i < fit; ++i) {
            if (stream->Read(pixel, static_cast<std::size_t>(bpp), 1) != 1)
                return kRowCut;
            StorePixel(row, x + i, y, pixel, h.depth);
        }
        x += fit;
        if (count > fit)
            carried = count - fit - 1;
    }
    return carried;
}
