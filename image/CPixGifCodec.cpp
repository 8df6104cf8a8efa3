#include "image/CPixGifCodec.h"

#include "image/CPixStream.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kMaxCodes = 4096;
constexpr int kHashSize = 5003;
constexpr int kTileWidth = 17;
constexpr int kTileHeight = 15;

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

bool ReadBytes(CPixStream* stream, void* buffer, std::size_t size)
{
    return size == 0 || stream->Read(buffer, 1, size) == size;
}

int TableSize(int flags)
{
    return 1 << ((flags & 7) + 1);
}

int BppForTable(int size)
{
    return size < 3 ? 1 : size < 17 ? 4 : 8;
}

// Skips data sub-blocks up to and including the 0 terminator (or the end of the stream).
void SkipBlocks(CPixStream* stream)
{
    for (;;) {
        const int size = stream->GetC();
        if (size <= 0 || !stream->Seek(size, 1))
            return;
    }
}

}  // namespace

// Writes decoded lines into the codec's rows, top line first, in plain or interlaced order.
class CPixGifCodec::LineSink {
public:
    LineSink(CPixImage& image, bool interlaced)
        : m_image(image), m_nWidth(image.Width()), m_nHeight(image.Height()), m_bInterlaced(interlaced),
          m_line(static_cast<std::size_t>(image.Width()), 0)
    {
    }

    bool Put(std::uint8_t index)
    {
        m_line[static_cast<std::size_t>(m_nCount++)] = index;
        return m_nCount < m_nWidth || Flush();
    }

    void FlushPartial()
    {
        if (m_nCount > 0)
            Flush();
    }

private:
    bool Flush()
    {
        m_nCount = 0;
        if (m_bDone)
            return false;
        const int stored = m_nHeight - 1 - m_nRow;
        if (m_image.Bpp() == 8) {
            std::memcpy(m_image.RowPointer(stored), m_line.data(), m_line.size());
        } else {
            for (int x = 0; x < m_nWidth; ++x)
                m_image.SetPixelIndex(x, stored, m_line[static_cast<std::size_t>(x)]);  // masks to the depth
        }
        std::fill(m_line.begin(), m_line.end(), 0);
        Advance();
        return true;
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
    std::vector<std::uint8_t> m_line;
    int m_nCount = 0;
    int m_nRow = 0;       // top-down
    int m_nPass = 0;
    bool m_bDone = false;
};

CPixGifCodec::CPixGifCodec() : CPixImage(kPixTypeGif)
{
}

void CPixGifCodec::SetComment(const char* text)
{
    std::snprintf(m_comment, sizeof(m_comment), "%s", text == nullptr ? "" : text);
}

void CPixGifCodec::Comment(char* out) const
{
    if (out != nullptr)
        std::memcpy(out, m_comment, sizeof(m_comment));
}

// ---- Decoding ----------------------------------------------------------------------------

bool CPixGifCodec::Decode(CPixStream* stream)
{
    if (stream == nullptr)
        return false;
    std::uint8_t head[13];
    if (!ReadBytes(stream, head, sizeof(head)) || std::memcmp(head, "GIF8", 4) != 0)
        return false;
    Screen screen;
    screen.width = U16(head + 6);
    screen.height = U16(head + 8);
    screen.flags = head[10];
    if (Escape() == -1) {
        m_header.width = screen.width;
        m_header.height = screen.height;
        return true;
    }
    if ((screen.flags & 0x80) != 0) {
        screen.table.resize(3 * static_cast<std::size_t>(TableSize(screen.flags)));
        if (!ReadBytes(stream, screen.table.data(), screen.table.size()))
            return false;
    }
    const FrameScan scan = CountFrames(stream, screen);
    m_info.frameCount = scan.count;
    if (m_info.frame < 0 || m_info.frame >= scan.count)
        return false;
    const bool compositing = scan.count > 1 && screen.table.empty() && scan.firstWidth < screen.width &&
                             scan.firstHeight < screen.height;
    const int frameToRead = compositing ? scan.count - 1 : m_info.frame;

    std::vector<std::uint8_t> table = screen.table;
    CPixImage result(kPixTypeGif);
    int frameIndex = 0;
    int firstTrans = -1;
    int prevDisposal = 0;
    bool done = false;
    while (!done) {
        std::uint8_t desc[9];
        const Found found = NextImage(stream, desc, true);
        if (found == Found::Escaped)
            return false;
        if (found == Found::End)
            break;
        const int left = U16(desc), top = U16(desc + 2), width = U16(desc + 4), height = U16(desc + 6);
        const int flags = desc[8];
        if ((flags & 0x80) != 0) {
            table.assign(3 * static_cast<std::size_t>(TableSize(flags)), 0);
            if (!ReadBytes(stream, table.data(), table.size()))
                break;
        }
        if (width == 0 || height == 0 || left + width > screen.width || top + height > screen.height) {
            stream->GetC();  // the minimum code size of the image that is left out
            SkipBlocks(stream);
            continue;
        }
        const int tableSize = table.empty() ? 256 : static_cast<int>(table.size() / 3);
        const int bpp = BppForTable(tableSize);

        CPixImage canvas(kPixTypeGif);
        if (!compositing) {
            if (frameIndex == 0) {
                if (canvas.Create(screen.width, screen.height, bpp, kPixTypeGif) == nullptr) {
                    SetLastError(canvas.LastError());
                    return false;
                }
                canvas.FillBits(m_gcTransIndex);
            } else {
                canvas.CopyFrom(result, true, true, true);
                if (!canvas.HasPixels())
                    return false;
                if (prevDisposal == 2)
                    canvas.FillBits(static_cast<std::uint8_t>(firstTrans >= 0 ? firstTrans : 0));
            }
        }
        if (Create(width, height, bpp, kPixTypeGif) == nullptr)
            return false;
        for (int i = 0; i < static_cast<int>(table.size() / 3); ++i)
            SetPaletteEntry(static_cast<std::uint32_t>(i), table[3 * i], table[3 * i + 1], table[3 * i + 2], 0);
        if (IsTransparent()) {
            for (int i = static_cast<int>(table.size() / 3); i < 256; ++i)
                SetPaletteEntry(static_cast<std::uint32_t>(i), 255, 255, 255, 0);
        }
        DecodeImage(stream, width, height, (flags & 0x40) != 0);
        if (Escape() != 0)
            return false;

        if (!compositing) {
            const int trans = TransparentIndex();
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t index = PixelIndexUnchecked(x, height - 1 - y);
                    if (index != trans)
                        canvas.SetPixelIndex(left + x, screen.height - 1 - (top + y), index);
                }
            }
            if (frameIndex == 0)
                firstTrans = trans;
            canvas.SetTransparentIndex(firstTrans);
            canvas.SetPalette(PalettePointer(), ColorCount());
            result.TakeOver(canvas);
        } else {
            if (!result.HasPixels() && result.Create(screen.width, screen.height, 24, kPixTypeGif) == nullptr) {
                SetLastError(result.LastError());
                return false;
            }
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x)
                    result.SetPixelColor(left + x, screen.height - 1 - (top + y), PixelColor(x, height - 1 - y, false));
            }
        }
        prevDisposal = (m_gcFlags >> 2) & 7;
        done = frameIndex == frameToRead;
        ++frameIndex;
    }
    if (!result.HasPixels())
        return false;
    if (compositing && (m_gcFlags & 1) != 0) {
        result.SetTransparentColor(PaletteEntry(m_gcTransIndex));
        result.SetTransparentIndex(0);
    }
    // The picture comes from the canvas; the settings read from the file stay this codec's.
    PixInfo settings = m_info;
    const int trans = result.TransparentIndex();
    const PixQuad transColor = result.TransparentColor();
    if (!TakeOver(result))
        return false;
    settings.rowBytes = m_info.rowBytes;
    settings.type = kPixTypeGif;
    settings.transIndex = trans;
    if (compositing)
        settings.transColor = transColor;
    m_info = settings;
    return true;
}

CPixGifCodec::Found CPixGifCodec::NextImage(CPixStream* stream, std::uint8_t (&desc)[9], bool honourEscape)
{
    bool resync = false;
    for (;;) {
        const int introducer = stream->GetC();
        if (introducer < 0)
            return Found::End;
        if (honourEscape && Escape() > 0)
            return Found::Escaped;
        if (resync) {
            resync = introducer != 0;
            continue;
        }
        if (introducer == 0x21) {
            if (!ReadExtension(stream))
                return Found::End;
            continue;
        }
        if (introducer == 0x3B)
            return Found::End;
        if (introducer != 0x2C) {
            resync = introducer != 0;
            continue;
        }
        return ReadBytes(stream, desc, sizeof(desc)) ? Found::Image : Found::End;
    }
}

CPixGifCodec::FrameScan CPixGifCodec::CountFrames(CPixStream* stream, const Screen& screen)
{
    FrameScan scan;
    const long start = stream->Tell();
    std::uint8_t desc[9];
    while (NextImage(stream, desc, false) == Found::Image) {
        const int left = U16(desc), top = U16(desc + 2), width = U16(desc + 4), height = U16(desc + 6);
        if ((desc[8] & 0x80) != 0 && !stream->Seek(3 * TableSize(desc[8]), 1))
            break;
        if (width > 0 && height > 0 && left + width <= screen.width && top + height <= screen.height) {
            if (scan.count == 0) {
                scan.firstWidth = width;
                scan.firstHeight = height;
            }
            ++scan.count;
        }
        stream->GetC();
        SkipBlocks(stream);
    }
    stream->Seek(start, 0);
    return scan;
}

bool CPixGifCodec::ReadExtension(CPixStream* stream)
{
    const int label = stream->GetC();
    if (label < 0)
        return false;
    std::uint8_t block[256];
    if (label == 0xF9) {
        const int size = stream->GetC();
        if (size < 0)
            return false;
        // Blocks of other sizes are read whole (the fields come from the first 4 bytes only).
        const bool good = ReadBytes(stream, block, static_cast<std::size_t>(size)) && size >= 4;
        if (good) {
            m_gcFlags = block[0];
            m_gcDelay = U16(block + 1);
            m_gcTransIndex = block[3];
            if ((m_gcFlags & 1) != 0)
                SetTransparentIndex(m_gcTransIndex);
            SetFrameDelay(m_gcDelay);
            m_nDisposal = (m_gcFlags >> 2) & 7;
        }
    } else if (label == 0xFE) {
        const int size = stream->GetC();
        if (size > 0) {
            const std::size_t got = stream->Read(m_comment, 1, static_cast<std::size_t>(size));
            m_comment[got] = 0;
        }
    } else if (label == 0xFF) {
        const int size = stream->GetC();
        if (size == 11) {
            if (ReadBytes(stream, block, 11)) {
                const int dataSize = stream->GetC();
                if (dataSize > 0 && ReadBytes(stream, block, static_cast<std::size_t>(dataSize)) && dataSize > 2)
                    m_nLoopCount = U16(block + 1);
            }
        } else if (size > 0) {
            stream->Seek(size, 1);
        }
    }
    SkipBlocks(stream);
    return true;
}

int CPixGifCodec::NextCode(CPixStream* stream, int codeSize)
{
    while (m_nBitCount < codeSize) {
        if (m_nBlockPos >= m_nBlockLeft) {
            if (m_bDataEnded)
                return -1;
            const int size = stream->GetC();
            if (size <= 0) {
                m_bDataEnded = true;  // the 0 terminator (or the end) is consumed
                return -1;
            }
            m_nBlockLeft = static_cast<int>(stream->Read(m_block, 1, static_cast<std::size_t>(size)));
            m_nBlockPos = 0;
            if (m_nBlockLeft < size)
                m_bDataEnded = true;
            if (m_nBlockLeft == 0)
                return -1;
        }
        m_nBitBuffer |= static_cast<std::uint32_t>(m_block[m_nBlockPos++]) << m_nBitCount;
        m_nBitCount += 8;
    }
    const int code = static_cast<int>(m_nBitBuffer & ((1u << codeSize) - 1));
    m_nBitBuffer >>= codeSize;
    m_nBitCount -= codeSize;
    return code;
}

bool CPixGifCodec::DecodeImage(CPixStream* stream, int width, int height, bool interlaced)
{
    (void)width;
    (void)height;
    m_nBlockLeft = m_nBlockPos = 0;
    m_nBitBuffer = 0;
    m_nBitCount = 0;
    m_bDataEnded = false;
    const int minCode = stream->GetC();
    if (minCode < 2 || minCode > 8) {  // wider codes would not fit the one-byte indices
        SkipBlocks(stream);
        return false;
    }
    const int clear = 1 << minCode;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    int codeSize = minCode + 1;
    int slot = firstFree;
    int top = 1 << codeSize;
    std::vector<std::uint16_t> prefix(kMaxCodes, 0);
    std::vector<std::uint8_t> suffix(kMaxCodes, 0);
    std::vector<std::uint8_t> stack(kMaxCodes + 1, 0);
    LineSink sink(*this, interlaced);
    int oldCode = -1;
    std::uint8_t firstByte = 0;
    bool writing = true;
    while (writing) {
        int code = NextCode(stream, codeSize);
        if (code < 0 || code == end)
            break;
        if (code == clear) {
            codeSize = minCode + 1;
            slot = firstFree;
            top = 1 << codeSize;
            oldCode = -1;
            continue;
        }
        if (oldCode < 0) {
            if (code >= slot)
                code = 0;
            firstByte = static_cast<std::uint8_t>(code);
            oldCode = code;
            writing = sink.Put(firstByte);
            continue;
        }
        int sp = 0;
        int c = code;
        if (code >= slot) {  // the string being defined now (or a bad code, read the same way)
            code = slot < kMaxCodes ? slot : oldCode;
            c = oldCode;
            stack[sp++] = firstByte;
        }
        while (c >= firstFree && sp < kMaxCodes) {
            stack[sp++] = suffix[static_cast<std::size_t>(c)];
            c = prefix[static_cast<std::size_t>(c)];
        }
        if (c >= firstFree)
            break;  // a chain longer than the table: corrupt data
        stack[sp++] = static_cast<std::uint8_t>(c);
        firstByte = static_cast<std::uint8_t>(c);
        if (slot < top) {
            prefix[static_cast<std::size_t>(slot)] = static_cast<std::uint16_t>(oldCode);
            suffix[static_cast<std::size_t>(slot)] = firstByte;
            ++slot;
        }
        if (slot >= top && codeSize < 12) {
            top <<= 1;
            ++codeSize;
        }
        oldCode = code;
        while (sp > 0 && writing)
            writing = sink.Put(stack[static_cast<std::size_t>(--sp)]);
    }
    sink.FlushPartial();
    if (!m_bDataEnded)
        SkipBlocks(stream);
    return true;
}

// ---- Encoding ----------------------------------------------------------------------------

void CPixGifCodec::Emit(const void* data, std::size_t size)
{
    if (!m_bWriteFailed && size > 0 && m_pOut->Write(data, 1, size) != size)
        m_bWriteFailed = true;
}

void CPixGifCodec::EmitU16(int value)
{
    EmitByte(static_cast<std::uint8_t>(value));
    EmitByte(static_cast<std::uint8_t>(value >> 8));
}

bool CPixGifCodec::Encode(CPixStream* stream)
{
    if (CheckEncodeTarget(stream))
        return false;
    m_pOut = stream;
    m_bWriteFailed = false;
    if (Bpp() > 8) {
        WriteScreen(stream, *this, false);
        WriteComment(stream);
        WriteTiles(stream);
    } else {
        WriteScreen(stream, *this, true);
        WriteControl(stream, *this);
        WriteComment(stream);
        WriteImage(stream, *this, false);
    }
    EmitByte(0x3B);
    if (m_bWriteFailed || !stream->Flush() || stream->Error() > 0) {
        SetLastError("Write Error in GIF file");
        return false;
    }
    return true;
}

bool CPixGifCodec::EncodeFrames(CPixStream* stream, CPixImage** images, int count, bool localColorTables)
{
    if (stream == nullptr) {
        SetLastError("invalid file pointer");
        return false;
    }
    if (images == nullptr || count <= 0 || images[0] == nullptr) {
        SetLastError("multipage GIF, no images!");
        return false;
    }
    m_pOut = stream;
    m_bWriteFailed = false;
    WriteScreen(stream, *images[0], true);
    if (m_nLoopCount != 1) {
        const std::uint8_t app[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01};
        Emit(app, sizeof(app));
        EmitU16(m_nLoopCount - 1 > 0 ? m_nLoopCount - 1 : 0);
        EmitByte(0);
    }
    WriteControl(stream, *images[0]);
    WriteComment(stream);
    WriteImage(stream, *images[0], false);
    for (int i = 1; i < count; ++i) {
        if (images[i] == nullptr) {
            SetLastError("Bad image pointer");
            return false;
        }
        WriteControl(stream, *images[i]);
        WriteImage(stream, *images[i], localColorTables);
    }
    EmitByte(0x3B);
    if (m_bWriteFailed || !stream->Flush() || stream->Error() > 0) {
        SetLastError("Write Error in GIF file");
        return false;
    }
    return true;
}

bool CPixGifCodec::WriteScreen(CPixStream* stream, const CPixImage& image, bool withTable)
{
    (void)stream;
    Emit("GIF89a", 6);
    EmitU16(image.Width());
    EmitU16(image.Height());
    const int bpp = image.Bpp() > 8 ? 8 : image.Bpp();
    const bool table = withTable && image.IsIndexed();
    EmitByte(static_cast<std::uint8_t>(table ? 0x80 | ((bpp - 1) << 5) | (bpp - 1) : 0x11));
    EmitByte(0);
    EmitByte(0);
    for (std::uint32_t i = 0; table && i < image.ColorCount(); ++i) {
        const PixQuad q = image.PaletteEntry(i);
        const std::uint8_t rgb[3] = {q.red, q.green, q.blue};
        Emit(rgb, 3);
    }
    return !m_bWriteFailed;
}

bool CPixGifCodec::WriteControl(CPixStream* stream, const CPixImage& image)
{
    (void)stream;
    const std::uint8_t flags =
        static_cast<std::uint8_t>((image.TransparentIndex() != -1 ? 1 : 0) | ((m_nDisposal & 7) << 2));
    const std::uint8_t head[] = {0x21, 0xF9, 4, flags};
    Emit(head, sizeof(head));
    EmitU16(static_cast<int>(image.FrameDelay()));
    EmitByte(static_cast<std::uint8_t>(image.TransparentIndex()));
    EmitByte(0);
    return !m_bWriteFailed;
}

bool CPixGifCodec::WriteComment(CPixStream* stream)
{
    (void)stream;
    const std::size_t length = std::strlen(m_comment);
    if (length == 0)
        return true;
    const std::uint8_t head[] = {0x21, 0xFE, static_cast<std::uint8_t>(length > 255 ? 255 : length)};
    Emit(head, sizeof(head));
    Emit(m_comment, head[2]);
    EmitByte(0);
    return !m_bWriteFailed;
}

bool CPixGifCodec::WriteImage(CPixStream* stream, const CPixImage& image, bool localTable)
{
    (void)stream;
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
    for (std::uint32_t i = 0; table && i < image.ColorCount(); ++i) {
        const PixQuad q = image.PaletteEntry(i);
        const std::uint8_t rgb[3] = {q.red, q.green, q.blue};
        Emit(rgb, 3);
    }
    const int minCodeSize = bpp < 2 ? 2 : bpp;
    EmitByte(static_cast<std::uint8_t>(minCodeSize));
    switch (CodecOption(kPixTypeGif)) {
    case 1: CompressPlain(image, minCodeSize, 254); break;
    case 2: CompressRuns(image, minCodeSize); break;
    default: CompressLzw(image, minCodeSize); break;
    }
    EmitByte(0);
    return !m_bWriteFailed;
}

bool CPixGifCodec::WriteTiles(CPixStream* stream)
{
    const bool transparent = IsTransparent();
    for (int ty = 0; ty < Height(); ty += kTileHeight) {
        for (int tx = 0; tx < Width(); tx += kTileWidth) {
            const int w = Width() - tx < kTileWidth ? Width() - tx : kTileWidth;
            const int h = Height() - ty < kTileHeight ? Height() - ty : kTileHeight;
            CPixImage tile(w, h, 8, kPixTypeGif);
            if (!tile.HasPixels())
                return false;
            if (transparent) {
                tile.SetPaletteQuad(0, TransparentColor());
                tile.SetTransparentIndex(0);
            }
            for (int y = 0; y < h; ++y) {          // y counts down from the tile's top line
                for (int x = 0; x < w; ++x) {
                    const auto index = static_cast<std::uint8_t>(x + 1 + kTileWidth * y);
                    PixQuad c = PixelColor(tx + x, Height() - 1 - (ty + y), false);
                    c.reserved = 0;
                    tile.SetPaletteQuad(index, c);
                    tile.SetPixelIndex(x, h - 1 - y, index);
                }
            }
            tile.SetOffset(tx, ty);
            tile.SetFrameDelay(FrameDelay());
            WriteControl(stream, tile);
            WriteImage(stream, tile, true);
        }
    }
    return !m_bWriteFailed;
}

// Code output, least significant bit first, in data sub-blocks.

void CPixGifCodec::StartCodes(int minCodeSize)
{
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

void CPixGifCodec::PutCode(int code)
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

void CPixGifCodec::ClearTable()
{
    m_nFreeEnt = m_nClearCode + 2;
    m_bClearFlag = true;
    PutCode(m_nClearCode);
}

void CPixGifCodec::FlushBits()
{
    if (m_nAccumBits > 0)
        PutByte(static_cast<std::uint8_t>(m_nAccum));
    m_nAccum = 0;
    m_nAccumBits = 0;
    FlushPacket();
}

void CPixGifCodec::PutByte(std::uint8_t byte)
{
    m_packet.push_back(byte);
    if (static_cast<int>(m_packet.size()) >= m_nPacketLimit)
        FlushPacket();
}

void CPixGifCodec::FlushPacket()
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

void CPixGifCodec::CompressLzw(const CPixImage& image, int minCodeSize)
{
    m_nPacketLimit = 254;
    StartCodes(minCodeSize);
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

void CPixGifCodec::CompressPlain(const CPixImage& image, int minCodeSize, int packetLimit)
{
    m_nPacketLimit = packetLimit;
    StartCodes(minCodeSize);
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
void CPixGifCodec::CompressRuns(const CPixImage& image, int minCodeSize)
{
    m_nPacketLimit = 255;
    StartCodes(minCodeSize);
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
