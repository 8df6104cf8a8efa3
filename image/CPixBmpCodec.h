// CPixBmpCodec.h: reads and writes Windows bitmaps (BMP files and bare DIBs) for CPixImage.
#pragma once

#include "image/CPixImage.h"

// A short-lived codec object (one call). Since CPixImage keeps the same header, palette and
// bottom-up padded rows, writing dumps the buffer behind a file header. Reading takes core
// (12-byte), Windows (40) and OS/2 2.x (64) headers, longer ones only for plain RGB, 1 to 32
// bits, bit fields, RLE8 and RLE4. Data without "BM" is read as a bare DIB, so other formats
// must fail on the header checks. Every length comes from the image, never from the file.
class CPixBmpCodec : public CPixImage {
public:
    CPixBmpCodec() : CPixImage(kPixTypeBmp) {}

    bool Encode(CPixStream* stream);
    bool Decode(CPixStream* stream);
    // Fills header from the stream and leaves the stream at the end of the header; core
    // headers are widened to the Windows layout, isCore tells which one was read.
    static bool ReadInfoHeader(CPixStream* stream, PixBitmapHeader& header, bool* isCore = nullptr);

private:
    bool CheckHeader(const PixBitmapHeader& header);
    static bool HoldsWholeRows(CPixStream* stream, const PixBitmapHeader& header);
    void ReadPalette(CPixStream* stream, const PixBitmapHeader& header, bool isCore);
    // Both leave in `filled` how many stored rows, from the bottom, the file wrote to. forFill:
    // the rows were made by CreateForFill (only for rows read straight from the file).
    bool ReadPixels(CPixStream* stream, const PixBitmapHeader& header, const std::uint32_t masks[3], bool forFill, int& filled);
    void DecodeRle(CPixStream* stream, bool fourBits, int& filled);
    bool ReadAbsoluteRun(CPixStream* stream, int count, bool fourBits, int& x, int y);
    void FlipFilledRows(int filled);
};
