// CPixGifEncoder.h: writes GIF files (one picture, or several as an animation) for CPixGifCodec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CPixImage;
class CPixStream;

// What the codec hands the encoder besides the pictures.
struct PixGifWriteSettings {
    const char* comment = "";          // written when not empty, at most 255 characters
    int disposal = 0;                  // disposal method of every graphic control block
    int loopCount = 0;                 // animations: 1 plays once (no looping block)
    std::uint32_t compression = 0;     // 1 plain codes, 2 runs, anything else LZW
};

// Lives for one call. Palette pictures go out as they are; true-colour ones as tiles of 17 x 15
// pixels, each with its own table. Every write goes through one check, so the first failed write
// ends the file with "Write Error in GIF file" instead of a half-noticed error.
class CPixGifEncoder {
public:
    CPixGifEncoder(CPixStream& out, const PixGifWriteSettings& settings);

    bool WritePicture(const CPixImage& image);
    bool WriteFrames(CPixImage* const* images, int count, bool localTables);
    const char* Error() const { return m_pError; }

private:
    bool Finish();
    void WriteScreen(const CPixImage& image, bool withTable);
    void WriteLoop();
    void WriteControl(const CPixImage& image);
    void WriteComment();
    void WriteImage(const CPixImage& image, bool localTable);
    void WriteTable(const CPixImage& image);
    bool WriteTiles(const CPixImage& image);

    void CompressLzw(const CPixImage& image, int minCodeSize);
    void CompressPlain(const CPixImage& image, int minCodeSize);
    void CompressRuns(const CPixImage& image, int minCodeSize);

    // Code output, least significant bit first, in data sub-blocks.
    void StartCodes(int minCodeSize, int packetLimit);
    void PutCode(int code);
    void ClearTable();                 // sends a clear code and resets the width
    void FlushBits();
    void PutByte(std::uint8_t byte);
    void FlushPacket();
    void Emit(const void* data, std::size_t size);
    void EmitByte(std::uint8_t byte) { Emit(&byte, 1); }
    void EmitU16(int value);

    CPixStream& m_out;
    PixGifWriteSettings m_settings;
    const char* m_pError = nullptr;
    bool m_bWriteFailed = false;

    std::uint32_t m_nAccum = 0;
    int m_nAccumBits = 0;
    int m_nCodeBits = 0;
    int m_nInitBits = 0;
    int m_nMaxCode = 0;
    int m_nClearCode = 0;
    int m_nFreeEnt = 0;
    bool m_bClearFlag = false;
    int m_nPacketLimit = 254;
    std::vector<std::uint8_t> m_packet;
};
