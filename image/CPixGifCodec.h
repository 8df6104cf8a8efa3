// CPixGifCodec.h: reads and writes GIF (87a/89a) files for CPixImage.
#pragma once

#include "image/CPixImage.h"

#include <cstdint>
#include <vector>

// A short-lived codec object (one call). Decoding reads the frame the image's frame field names
// into a palette image of the logical screen's size, drawing the earlier frames under it.
// Encoding writes palette images (LZW, plain codes or runs), true-colour images as tiles of
// 17 x 15 pixels with their own tables, and several images as one animation.
// Every table, buffer and row write is bounded, so corrupt files only end decoding early.
class CPixGifCodec : public CPixImage {
public:
    CPixGifCodec();

    bool Decode(CPixStream* stream);
    bool Encode(CPixStream* stream);
    bool EncodeFrames(CPixStream* stream, CPixImage** images, int count, bool localColorTables);

    void SetDisposal(int method) { m_nDisposal = method; }
    int Disposal() const { return m_nDisposal; }
    void SetLoopCount(int count) { m_nLoopCount = count; }
    int LoopCount() const { return m_nLoopCount; }
    void SetComment(const char* text);
    void Comment(char* out) const;                 // copies up to 255 characters and a terminator

private:
    struct Screen {
        int width = 0, height = 0, flags = 0;
        std::vector<std::uint8_t> table;           // red, green, blue triples; empty without one
    };
    struct FrameScan {
        int count = 0;
        int firstWidth = 0, firstHeight = 0;
    };
    enum class Found { Image, End, Escaped };
    class LineSink;

    // Walks past extensions and stray bytes (after one, up to the next zero) to the next image
    // descriptor and reads its 9 bytes. Escaped only when honourEscape and the caller set one.
    Found NextImage(CPixStream* stream, std::uint8_t (&desc)[9], bool honourEscape);
    FrameScan CountFrames(CPixStream* stream, const Screen& screen);
    bool ReadExtension(CPixStream* stream);
    bool DecodeImage(CPixStream* stream, int width, int height, bool interlaced);
    void SkipSubBlocks(CPixStream* stream);
    int NextCode(CPixStream* stream, int codeSize);

    // Encoding helpers
    bool WriteScreen(CPixStream* stream, const CPixImage& image, bool withTable);
    bool WriteControl(CPixStream* stream, const CPixImage& image);
    bool WriteComment(CPixStream* stream);
    bool WriteImage(CPixStream* stream, const CPixImage& image, bool localTable);
    bool WriteTiles(CPixStream* stream);
    void CompressLzw(const CPixImage& image, int minCodeSize);
    void CompressPlain(const CPixImage& image, int minCodeSize, int packetLimit);
    void CompressRuns(const CPixImage& image, int minCodeSize);
    void StartCodes(int minCodeSize);
    void PutCode(int code);
    void ClearTable();                             // sends a clear code and resets the width
    void FlushBits();
    void PutByte(std::uint8_t byte);
    void FlushPacket();
    void Emit(const void* data, std::size_t size);
    void EmitByte(std::uint8_t byte) { Emit(&byte, 1); }
    void EmitU16(int value);

    // Graphic control record as in the file.
    std::uint8_t m_gcFlags = 0;
    std::uint16_t m_gcDelay = 0;
    std::uint8_t m_gcTransIndex = 0;

    // Decoder state: bit reader over the data sub-blocks.
    std::uint8_t m_block[256] = {};
    int m_nBlockLeft = 0;
    int m_nBlockPos = 0;
    std::uint32_t m_nBitBuffer = 0;
    int m_nBitCount = 0;
    bool m_bDataEnded = false;

    // Encoder state: bit accumulator, current code width and the packet of data bytes.
    CPixStream* m_pOut = nullptr;
    std::uint32_t m_nAccum = 0;
    int m_nAccumBits = 0;
    int m_nCodeBits = 0;
    int m_nInitBits = 0;
    int m_nMaxCode = 0;
    int m_nClearCode = 0;
    int m_nFreeEnt = 0;
    bool m_bClearFlag = false;
    bool m_bWriteFailed = false;
    int m_nPacketLimit = 254;
    std::vector<std::uint8_t> m_packet;

    char m_comment[256] = {};
    int m_nLoopCount = 0;
    int m_nDisposal = 0;
};
