// CPixTgaCodec.h: reads and writes Truevision TGA files for CPixImage.
#pragma once

#include "image/CPixImage.h"

// A short-lived codec object (one call): it decodes into itself and the caller takes the
// picture over, or views the caller's picture (ShareBuffers) to encode it. Writes 8-bit
// colour-mapped, 24-bit and (with an alpha plane) 32-bit uncompressed files, bottom-up.
class CPixTgaCodec : public CPixImage {
public:
    CPixTgaCodec() : CPixImage(kPixTypeTga) {}

    bool Decode(CPixStream* stream);
    bool Encode(CPixStream* stream);

private:
    struct Header;
    bool WriteRows(CPixStream* stream);
    bool WriteRowsWithAlpha(CPixStream* stream);
    void InterleaveAlpha(int y, const std::uint8_t (&scaled)[256], std::uint8_t* out) const;
    bool ReadColorMap(CPixStream* stream, const Header& header);
    bool ReadRow(std::uint8_t* row, const Header& header, CPixStream* stream, int y);
    int ReadRleRow(std::uint8_t* row, const Header& header, CPixStream* stream, int y, int carried);
    void StorePixel(std::uint8_t* row, int x, int fileRow, const std::uint8_t* pixel, int depth);
};
