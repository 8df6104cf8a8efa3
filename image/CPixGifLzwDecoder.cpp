// CPixGifLzwDecoder.cpp: the variable-length-code GIF decoder, writing into rows as it goes.
#include "image/CPixGifLzwDecoder.h"

#include "image/CPixImage.h"
#include "image/CPixStream.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kMaxCodeSize = 12;
constexpr int kBitsKept = 56;  // refills stop here, so one more byte always fits 64 bits

}  // namespace

// Codes, least significant bit first, from the data sub-blocks. The bits themselves live in the
// caller's locals (a Bits value), which keeps them in registers while indices are stored. A
// sub-block is read only when its bits are needed, so stopping early leaves the stream where
// the skip after it expects.
struct CPixGifLzwDecoder::Bits {
    std::uint64_t value = 0;
    int count = 0;
};

class CPixGifLzwDecoder::BitReader {
public:
    explicit BitReader(CPixStream& stream) : m_stream(stream) {}

    // At least `size` bits, unless the data ran out first. Eight bytes are loaded at once while
    // the sub-block holds them; the bytes loaded but not counted are loaded again, at the same
    // place, by the next refill, so the extra bits never disagree.
    Bits Refill(Bits bits, int size)
    {
        if (m_nLeft - m_nPos >= 8) {
            std::uint64_t word = 0;
            for (int i = 7; i >= 0; --i)
                word = word << 8 | m_block[m_nPos + i];
            bits.value |= word << bits.count;
            const int taken = (63 - bits.count) >> 3;
            m_nPos += taken;
            bits.count += taken * 8;
            return bits;
        }
        for (;;) {
            while (m_nPos < m_nLeft && bits.count <= kBitsKept) {
                bits.value |= static_cast<std::uint64_t>(m_block[m_nPos++]) << bits.count;
                bits.count += 8;
            }
            if (bits.count >= size || !ReadBlock())
                return bits;
        }
    }

    void SkipRest()
    {
        if (!m_bEnded)
            SkipSubBlocks(m_stream);
    }

private:
    bool ReadBlock()
    {
        if (m_bEnded)
            return false;
        const int size = m_stream.GetC();
        if (size <= 0) {
            m_bEnded = true;  // the 0 terminator (or the end) is consumed
            return false;
        }
        m_nLeft = static_cast<int>(m_stream.Read(m_block, 1, static_cast<std::size_t>(size)));
        m_nPos = 0;
        if (m_nLeft < size)
            m_bEnded = true;
        return m_nLeft > 0;
    }

    CPixStream& m_stream;
    std::uint8_t m_block[256] = {};
    int m_nLeft = 0;
    int m_nPos = 0;
    bool m_bEnded = false;
};

// Hands out rows, top line first, in plain or interlaced order. 8-bit rows are written in place;
// narrower depths go through a line that is packed once full. Lines past the last row land in a
// scratch line, and decoding stops once that is full too (as when the rows were all there).
struct CPixGifLzwDecoder::Room {
    std::uint8_t* out = nullptr;       // where the next index goes; null: decoding ends
    int left = 0;                      // room left in the row
};

class CPixGifLzwDecoder::RowWriter {
public:
    RowWriter(CPixImage& image, bool interlaced)
        : m_image(image), m_nWidth(image.Width()), m_nHeight(image.Height()), m_bInterlaced(interlaced),
          m_bInPlace(image.Bpp() == 8), m_line(static_cast<std::size_t>(image.Width()), 0)
    {
    }

    Room FirstRow() { return Aim(); }

    Room NextRow()
    {
        if (m_bDone)
            return Room();
        Pack();
        Advance();
        return Aim();
    }

    Room PutRun(Room room, const std::uint8_t* data, int count)
    {
        while (count > 0) {
            const int n = std::min(count, room.left);
            std::memcpy(room.out, data, static_cast<std::size_t>(n));
            room.out += n;
            room.left -= n;
            data += n;
            count -= n;
            if (room.left == 0 && (room = NextRow()).out == nullptr)
                return room;
        }
        return room;
    }

    void Finish(Room room)  // a partial last line keeps zeros after its indices
    {
        if (room.out != nullptr && room.left < m_nWidth && !m_bDone)
            Pack();
    }

private:
    Room Aim()
    {
        Room room;
        room.out = m_bInPlace && !m_bDone ? m_image.RowPointer(m_nHeight - 1 - m_nRow) : m_line.data();
        room.left = m_nWidth;
        return room;
    }

    void Pack()
    {
        if (m_bInPlace)
            return;
        const int stored = m_nHeight - 1 - m_nRow;
        for (int x = 0; x < m_nWidth; ++x)
            m_image.SetPixelIndex(x, stored, m_line[static_cast<std::size_t>(x)]);  // masks to the depth
        std::fill(m_line.begin(), m_line.end(), 0);
    }

    void Advance()
    {
        static const int kStart[4] = {0, 4, 2, 1};
        static const int kStep[4] = {8, 8, 4, 2};
        if (!m_bInterlaced) {
            m_bDone = ++m_nRow >= m_nHeight;
            return;
        }
        m_nRow += kStep[m_nPass];
        while (m_nRow >= m_nHeight) {
            if (++m_nPass > 3) {
                m_bDone = true;
                return;
            }
            m_nRow = kStart[m_nPass];
        }
    }

    CPixImage& m_image;
    int m_nWidth, m_nHeight;
    bool m_bInterlaced;
    bool m_bInPlace;
    std::vector<std::uint8_t> m_line;
    int m_nRow = 0;                    // top-down
    int m_nPass = 0;
    bool m_bDone = false;
};

CPixGifLzwDecoder::CPixGifLzwDecoder()
    : m_table(kMaxCodes), m_spill(kMaxCodes + 1, 0)
{
    for (int c = 0; c < 256; ++c)
        m_table[static_cast<std::size_t>(c)].first = static_cast<std::uint8_t>(c);
}

std::uint64_t CPixGifLzwDecoder::SkipSubBlocks(CPixStream& stream)
{
    std::uint64_t held = 0;
    for (;;) {
        const int size = stream.GetC();
        if (size <= 0 || !stream.Seek(size, 1))
            return held;
        held += static_cast<std::uint64_t>(size);
    }
}

bool CPixGifLzwDecoder::Decode(CPixStream& stream, CPixImage& image, bool interlaced)
{
    const int minCode = stream.GetC();
    if (minCode < 2 || minCode > 8) {  // wider codes would not fit the one-byte indices
        SkipSubBlocks(stream);
        return false;
    }
    BitReader bits(stream);
    RowWriter rows(image, interlaced);
    rows.Finish(Expand(minCode, bits, rows));
    bits.SkipRest();
    return true;
}

// The string of `code` when it runs past the end of its row: built in the spill buffer first.
CPixGifLzwDecoder::Room CPixGifLzwDecoder::EmitAcrossRows(int code, Room room, RowWriter& rows)
{
    const Entry* const table = m_table.data();
    const int length = table[code].length;
    std::uint8_t* const spill = m_spill.data();
    for (int i = length - 1; i > 0; --i) {
        spill[i] = table[code].suffix;
        code = table[code].prefix;
    }
    spill[0] = static_cast<std::uint8_t>(code);
    return rows.PutRun(room, spill, length);
}

// The classic decoder, with its state in locals: stores of indices could otherwise alias any
// member and force it to be read again for every code.
CPixGifLzwDecoder::Room CPixGifLzwDecoder::Expand(int minCode, BitReader& reader, RowWriter& rows)
{
    Entry* const table = m_table.data();
    const int clear = 1 << minCode;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    int codeSize = minCode + 1;
    int slot = firstFree;                   // the next code the table defines
    int top = 1 << codeSize;                // the slot at which codes grow one bit wider
    Bits bits;
    Room room = rows.FirstRow();
    int oldCode = -1;
    std::uint8_t prevFirst = 0;             // the previous string's first index and length
    int prevLength = 0;
    for (;;) {
        if (bits.count < codeSize && (bits = reader.Refill(bits, codeSize)).count < codeSize)
            return room;
        int code = static_cast<int>(bits.value & ((1u << codeSize) - 1));
        bits.value >>= codeSize;
        bits.count -= codeSize;
        if (code == end)
            return room;
        if (code == clear) {
            codeSize = minCode + 1;
            slot = firstFree;
            top = 1 << codeSize;
            oldCode = -1;
            continue;
        }
        if (oldCode < 0) {  // a string of its own, nothing to add to the table yet
            oldCode = code < slot ? code : 0;
            prevFirst = static_cast<std::uint8_t>(oldCode);
            prevLength = 1;
            *room.out++ = prevFirst;
            if (--room.left == 0 && (room = rows.NextRow()).out == nullptr)
                return room;
            continue;
        }
        // The next entry is the previous string plus the first index of this one. A code not yet
        // in the table (or a bad one, read the same way) is the entry being defined now. Once the
        // table is full no code of 12 bits lies past it.
        if (slot < kMaxCodes) {
            Entry& entry = table[slot];
            entry.suffix = code < slot ? table[code].first : prevFirst;
            entry.first = prevFirst;
            entry.length = static_cast<std::uint16_t>(prevLength + 1);
            entry.prefix = static_cast<std::uint16_t>(oldCode);
            if (code >= slot)
                code = slot;
            if (++slot >= top && codeSize < kMaxCodeSize) {
                top <<= 1;
                ++codeSize;
            }
        }
        oldCode = code;

        // Strings are stored last index first: write them backwards, straight into the row.
        const int length = table[code].length;
        prevLength = length;
        if (length > room.left) {
            prevFirst = table[code].first;
            if ((room = EmitAcrossRows(code, room, rows)).out == nullptr)
                return room;
            continue;
        }
        for (int i = length - 1; i > 0; --i) {
            room.out[i] = table[code].suffix;
            code = table[code].prefix;
        }
        prevFirst = static_cast<std::uint8_t>(code);
        room.out[0] = prevFirst;
        room.out += length;
        room.left -= length;
        if (room.left == 0 && (room = rows.NextRow()).out == nullptr)
            return room;
    }
}
