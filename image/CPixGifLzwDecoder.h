// CPixGifLzwDecoder.h: expands one GIF image's LZW data into the rows of a palette image.
#pragma once

#include <cstdint>
#include <vector>

class CPixImage;
class CPixStream;

// Reads the minimum code size and the data sub-blocks that follow it, and writes the indices
// straight into the picture's rows (8 bits), or packs each finished line into them (1 and 4
// bits), top line first, in plain or interlaced order. Corrupt data only ends decoding early:
// every table index and row write is bounded. Afterwards the stream stands just past the data's
// 0 terminator (or at its end).
class CPixGifLzwDecoder {
public:
    CPixGifLzwDecoder();

    // False only for a minimum code size outside 2..8 (no pixel is written then).
    bool Decode(CPixStream& stream, CPixImage& image, bool interlaced);

    // Skips data sub-blocks up to and including the 0 terminator (or the end of the stream);
    // returns the data bytes they held.
    static std::uint64_t SkipSubBlocks(CPixStream& stream);

private:
    struct Bits;
    struct Room;
    class BitReader;
    class RowWriter;

    // A code's string: its prefix code's string plus one index.
    struct Entry {
        std::uint16_t prefix = 0;
        std::uint16_t length = 1;       // in indices
        std::uint8_t suffix = 0;
        std::uint8_t first = 0;         // the string's first index
    };

    Room Expand(int minCode, BitReader& reader, RowWriter& rows);
    Room EmitAcrossRows(int code, Room room, RowWriter& rows);

    std::vector<Entry> m_table;
    std::vector<std::uint8_t> m_spill;  // a string that runs past the end of its row
};
