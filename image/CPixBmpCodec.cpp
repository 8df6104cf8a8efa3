#include "image/CPixBmpCodec.h"

#include "image/CPixStream.h"
#include "image/PixBytes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr std::uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionRle4 = 2;
constexpr std::uint32_t kCompressionBitfields = 3;

struct FreeDeleter {
    void operator()(std::uint8_t* p) const { std::free(p); }
};
using ScratchBuffer = std::unique_ptr<std::uint8_t, FreeDeleter>;

bool IsSupportedBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint64_t PackedRowBytes(std::uint64_t bits, std::uint64_t width)
{
    return ((bits * width + 31) / 32) * 4;
}

std::uint64_t AbsHeight(std::int32_t height)
{
    return height < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(height)) : static_cast<std::uint64_t>(height);
}

void FillFromWindowsLayout(const std::uint8_t* raw, PixBitmapHeader& h)
{
    h.width = static_cast<std::int32_t>(PixGetU32(raw + 4));
    h.height = static_cast<std::int32_t>(PixGetU32(raw + 8));
    h.planes = PixGetU16(raw + 12);
    h.bitCount = PixGetU16(raw + 14);
    h.compression = PixGetU32(raw + 16);
    h.imageSize = PixGetU32(raw + 20);
    h.xPelsPerMeter = static_cast<std::int32_t>(PixGetU32(raw + 24));
    h.yPelsPerMeter = static_cast<std::int32_t>(PixGetU32(raw + 28));
    h.colorsUsed = PixGetU32(raw + 32);
    h.colorsImportant = PixGetU32(raw + 36);
}

void PutNibble(std::uint8_t* row, int x, int nibble)
{
    std::uint8_t& b = row[x >> 1];
    b = static_cast<std::uint8_t>((x & 1) != 0 ? (b & 0xF0) | nibble : (b & 0x0F) | nibble << 4);
}

int DpiFromPelsPerMeter(std::int32_t ppm)
{
    return static_cast<int>(std::floor(ppm * 254.0 / 10000.0 + 0.5));
}

}  // namespace

// ---- Encoding ----------------------------------------------------------------------------

bool CPixBmpCodec::Encode(CPixStream* stream)
{
    if (CheckEncodeTarget(stream))
        return false;
    const std::size_t dibSize = DibSize();
    std::uint8_t fileHeader[14] = {};
    PixPutU16(fileHeader, kBmpMagic);
    PixPutU32(fileHeader + 2, static_cast<std::uint32_t>(dibSize + 14));
    PixPutU32(fileHeader + 10, 40 + PaletteBytes() + 14);
    WriteHeaderBytes();  // the buffer's header must carry the current resolution
    const bool ok = stream->Write(fileHeader, sizeof(fileHeader), 1) == 1 && stream->Write(m_pDib, dibSize, 1) == 1;
    // A full disk must not pass for a written file.
    if (!ok || stream->Error() != 0) {
        SetLastError("Write Error in BMP file");
        return false;
    }
    return true;
}

// ---- Decoding ----------------------------------------------------------------------------

bool CPixBmpCodec::ReadInfoHeader(CPixStream* stream, PixBitmapHeader& h, bool* isCore)
{
    // The size comes first, so a core header (12 bytes) is read without running past it.
    std::uint8_t raw[40] = {};
    if (stream == nullptr || stream->Read(raw, 4, 1) != 1)
        return false;
    h = PixBitmapHeader();
    h.size = PixGetU32(raw);
    if (isCore != nullptr)
        *isCore = h.size == 12;
    if (h.size == 12) {
        if (stream->Read(raw + 4, 8, 1) != 1)
            return false;
        h.width = PixGetU16(raw + 4);
        h.height = PixGetU16(raw + 6);
        h.planes = PixGetU16(raw + 8);
        h.bitCount = PixGetU16(raw + 10);
    } else {
        if (h.size < 40 || stream->Read(raw + 4, 36, 1) != 1)
            return false;
        FillFromWindowsLayout(raw, h);
        if (h.size == 64) {
            if (!stream->Seek(24, 1))
                return false;
        } else if (h.size > 40) {
            // Newer headers carry colour spaces and masks we would ignore: only plain RGB passes.
            const std::uint64_t expected = PackedRowBytes(h.bitCount, static_cast<std::uint32_t>(h.width)) * AbsHeight(h.height);
            if (expected != h.imageSize || h.planes != 1 || h.compression != kCompressionNone || h.colorsUsed != 0)
                return false;
            // A header longer than a memory stream can hold ends past its last byte, as it ends
            // past a file's: both go on from there (and find the pixels at the data offset).
            if (!stream->Seek(static_cast<long>(h.size - 40), 1))
                stream->Seek(0, 2);
        }
    }
    if (h.imageSize == 0) {
        const std::uint64_t size = PackedRowBytes(h.bitCount, static_cast<std::uint32_t>(h.width)) * AbsHeight(h.height);
        h.imageSize = size > std::numeric_limits<std::uint32_t>::max() ? 0 : static_cast<std::uint32_t>(size);
    }
    if (h.colorsUsed == 0 && h.bitCount <= 8)
        h.colorsUsed = 1u << h.bitCount;
    return true;
}

bool CPixBmpCodec::CheckHeader(const PixBitmapHeader& h)
{
    // The image's own size decides every read; these values only have to describe a picture.
    if (h.width <= 0 || h.height == 0 || h.height == std::numeric_limits<std::int32_t>::min()) {
        SetLastError("Error reading BMP info");
        return false;
    }
    if (!IsSupportedBitCount(h.bitCount)) {
        SetLastError("unsupported bit count");
        return false;
    }
    return true;
}

bool CPixBmpCodec::Decode(CPixStream* stream)
{
    if (stream == nullptr)
        return false;
    const long start = stream->Tell();
    std::uint8_t fileHeader[14];
    if (stream->Read(fileHeader, sizeof(fileHeader), 1) != 1) {
        SetLastError("Not a BMP");
        return false;
    }
    std::uint32_t dataOffset = PixGetU32(fileHeader + 10);
    if (PixGetU16(fileHeader) != kBmpMagic) {
        dataOffset = 0;
        stream->Seek(start, 0);
    }
    PixBitmapHeader h;
    bool isCore = false;
    if (!ReadInfoHeader(stream, h, &isCore)) {
        SetLastError("Error reading BMP info");
        return false;
    }
    if (!CheckHeader(h))
        return false;
    const bool topDown = h.height < 0;
    if (topDown)
        h.height = -h.height;
    if (Escape() == -1) {
        m_header.width = h.width;
        m_header.height = h.height;
        SetLastError("output dimensions returned");
        return false;
    }
    const bool forFill = HoldsWholeRows(stream, h);
    if ((forFill ? CreateForFill(h.width, h.height, h.bitCount, kPixTypeBmp) : Create(h.width, h.height, h.bitCount, kPixTypeBmp)) == nullptr) {
        SetLastError("Can't allocate memory");
        return false;
    }
    m_header.xPelsPerMeter = h.xPelsPerMeter;
    m_header.yPelsPerMeter = h.yPelsPerMeter;
    m_info.xDpi = DpiFromPelsPerMeter(h.xPelsPerMeter);
    m_info.yDpi = DpiFromPelsPerMeter(h.yPelsPerMeter);
    WriteHeaderBytes();
    if (Escape() != 0) {
        SetLastError("Cancelled");
        return false;
    }

    // Colour masks sit right behind a Windows header, before any colour table and before the
    // data offset, so they are read here rather than at the pixels.
    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (h.compression == kCompressionBitfields && (h.bitCount == 16 || h.bitCount == 32) && !isCore) {
        std::uint8_t raw[12] = {};
        if (stream->Read(raw, sizeof(raw), 1) == 1) {
            masks[0] = PixGetU32(raw);
            masks[1] = PixGetU32(raw + 4);
            masks[2] = PixGetU32(raw + 8);
        }
    }
    ReadPalette(stream, h, isCore);
    if (Escape() != 0) {
        SetLastError("Cancelled");
        return false;
    }
    // An offset past anything a memory stream can hold leaves no pixel data, as it does in a file.
    if (dataOffset != 0 && !stream->Seek(start + static_cast<long>(dataOffset), 0))
        stream->Seek(0, 2);
    int filled = 0;
    if (!ReadPixels(stream, h, masks, forFill, filled))
        return false;
    if (topDown)
        FlipFilledRows(filled);
    return true;
}

// Rows of 1 to 24 bits without compression are read straight into the picture. When the stream
// still holds as many bytes as the rows take, they need not be zeroed first (ReadPixels zeroes
// what it did not read), which spares an ordinary file a second pass over its rows. A shorter
// file gets rows that are zeroed as they are allocated, which cost nothing until touched,
// however many it declares.
bool CPixBmpCodec::HoldsWholeRows(CPixStream* stream, const PixBitmapHeader& h)
{
    if (h.compression != kCompressionNone || h.bitCount == 16 || h.bitCount == 32)
        return false;
    const long size = stream->Size(), at = stream->Tell();
    const std::uint64_t rows = PackedRowBytes(h.bitCount, static_cast<std::uint32_t>(h.width)) * AbsHeight(h.height);
    return size >= 0 && at >= 0 && size > at && static_cast<std::uint64_t>(size - at) >= rows;
}

// FlipVertical of a top-down picture, in place and only where it changes something: the rows
// the file did not fill are zeros, and a short file may declare millions of them.
void CPixBmpCodec::FlipFilledRows(int filled)
{
    const int h = Height();
    const std::size_t bytes = m_info.rowBytes;
    std::vector<std::uint8_t> row(bytes);
    for (int i = 0; i < h / 2; ++i) {
        if (i >= filled && h - 1 - i >= filled)
            continue;
        std::uint8_t* low = RowPointer(i);
        std::uint8_t* high = RowPointer(h - 1 - i);
        std::memcpy(row.data(), low, bytes);
        std::memcpy(low, high, bytes);
        std::memcpy(high, row.data(), bytes);
    }
}

void CPixBmpCodec::ReadPalette(CPixStream* stream, const PixBitmapHeader& h, bool isCore)
{
    PixQuad* pal = PalettePointer();
    if (pal == nullptr) {
        // A true-colour bare DIB may still carry a colour table before its rows.
        const std::uint32_t skip = h.colorsUsed < 256 ? h.colorsUsed : 256;
        if (skip != 0)
            stream->Seek(static_cast<long>(4 * skip), 1);
        return;
    }
    // The table never holds more entries than the bit count gives; a short file leaves zeros.
    const std::uint32_t n = h.colorsUsed < ColorCount() ? h.colorsUsed : ColorCount();
    const std::size_t entryBytes = isCore ? 3 : 4;
    for (std::uint32_t i = 0; i < n; ++i) {
        std::uint8_t entry[4] = {};
        if (stream->Read(entry, entryBytes, 1) != 1)
            break;
        SetPaletteEntry(i, entry[2], entry[1], entry[0], 0);
    }
}

bool CPixBmpCodec::ReadPixels(CPixStream* stream, const PixBitmapHeader& h, const std::uint32_t masks[3], bool forFill, int& filled)
{
    const std::size_t width = static_cast<std::size_t>(Width());
    const std::size_t height = static_cast<std::size_t>(Height());
    auto rowsOf = [](std::size_t got, std::size_t row) { return static_cast<int>((got + row - 1) / row); };
    // Straight into the rows; rows that were not zeroed are zeroed past what the file held.
    auto readRows = [&] {
        const std::size_t size = m_header.imageSize;
        const std::size_t got = stream->Read(m_pBits, 1, size);
        if (forFill)
            std::memset(m_pBits + got, 0, size - got);
        return rowsOf(got, RowBytes());
    };
    filled = 0;
    switch (h.bitCount) {
    case 16: {
        // Unpacked in place: each 24-bit row is at least as long as the 16-bit row it comes from.
        // Only the rows the file filled: the others are zeros either way, and a short file may
        // declare a picture of hundreds of megabytes.
        const std::size_t row = ((width + 1) / 2) * 4;
        filled = rowsOf(stream->Read(m_pBits, 1, row * height), row);
        UnpackBitfields(m_pBits, masks[0], masks[1], masks[2], 16, filled);
        return true;
    }
    case 24:
        if (h.compression != kCompressionNone) {
            SetLastError("unknown compression");
            return false;
        }
        filled = readRows();
        return true;
    case 32: {
        if (h.compression != kCompressionNone && h.compression != kCompressionBitfields) {
            SetLastError("unknown compression");
            return false;
        }
        // A buffer for the rows the stream still holds, not for the rows the header declares.
        const std::uint64_t row = static_cast<std::uint64_t>(width) * 4;
        const long size = stream->Size(), at = stream->Tell();
        std::uint64_t rows = height;
        if (size >= 0 && at >= 0)
            rows = std::min<std::uint64_t>(rows, (static_cast<std::uint64_t>(size > at ? size - at : 0) + row - 1) / row);
        const std::uint64_t bytes = rows * row;
        ScratchBuffer buffer(bytes > CPIX_MAX_MEMORY ? nullptr : static_cast<std::uint8_t*>(std::calloc(bytes > 0 ? bytes : 1, 1)));
        if (!buffer) {
            SetLastError("can't allocate memory");
            return false;
        }
        filled = rowsOf(stream->Read(buffer.get(), 1, static_cast<std::size_t>(bytes)), static_cast<std::size_t>(row));
        UnpackBitfields(buffer.get(), 0, 0, 0, 32, filled);
        return true;
    }
    default:
        break;
    }
    switch (h.compression) {
    case kCompressionNone:
        filled = readRows();
        return true;
    case kCompressionRle8:
        DecodeRle(stream, false, filled);
        return true;
    case kCompressionRle4:
        DecodeRle(stream, true, filled);
        return true;
    default:
        SetLastError("compression type not supported");
        return false;
    }
}

// Runs start at the bottom row. x counts bytes (RLE8) or pixels (RLE4); every move is checked
// against the padded row and the last row, and a broken stream only ends decoding early.
void CPixBmpCodec::DecodeRle(CPixStream* stream, bool fourBits, int& filled)
{
    const int rowLimit = static_cast<int>(fourBits ? 2 * RowBytes() : RowBytes());
    const int height = Height();
    int x = 0, y = 0;
    for (;;) {
        const int count = stream->GetC();
        const int value = stream->GetC();
        if (count < 0 || value < 0)
            return;
        if (count > 0) {
            if (x + count > rowLimit)
                return;
            std::uint8_t* row = RowPointer(y);
            for (int i = 0; i < count; ++i, ++x) {
                if (!fourBits) {
                    row[x] = static_cast<std::uint8_t>(value);
                    continue;
                }
                PutNibble(row, x, (i & 1) != 0 ? value & 15 : value >> 4);
            }
            filled = y + 1;
            continue;
        }
        if (value == 0) {
            x = 0;
            if (++y >= height)
                return;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            const int dx = stream->GetC();
            const int dy = stream->GetC();
            x += dx;
            y += dy;
            if (dx < 0 || dy < 0 || x > rowLimit || y >= height)
                return;
        } else if (!ReadAbsoluteRun(stream, value, fourBits, x, y)) {
            return;
        } else {
            filled = y + 1;
        }
    }
}

bool CPixBmpCodec::ReadAbsoluteRun(CPixStream* stream, int count, bool fourBits, int& x, int y)
{
    const int rowLimit = static_cast<int>(fourBits ? 2 * RowBytes() : RowBytes());
    if (x + count > rowLimit)
        return false;
    const int bytes = fourBits ? (count + 1) / 2 : count;
    std::uint8_t data[256];
    if (stream->Read(data, 1, static_cast<std::size_t>(bytes)) != static_cast<std::size_t>(bytes))
        return false;
    if ((bytes & 1) != 0)
        stream->GetC();  // runs are padded to whole 16-bit words
    std::uint8_t* row = RowPointer(y);
    for (int i = 0; i < count; ++i, ++x) {
        if (!fourBits) {
            row[x] = data[i];
            continue;
        }
        PutNibble(row, x, (i & 1) != 0 ? data[i >> 1] & 15 : data[i >> 1] >> 4);
    }
    return true;
}
