// CPixGifCodec.cpp: GIF decoding step by step (screen, frames, extensions, canvas), and the
// entry points of encoding.
#include "image/CPixGifCodec.h"

#include "image/CPixGifEncoder.h"
#include "image/CPixGifLzwDecoder.h"
#include "image/CPixStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kImageIntroducer = 0x2C;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr int kGraphicControlLabel = 0xF9;
constexpr int kCommentLabel = 0xFE;
constexpr int kApplicationLabel = 0xFF;
constexpr int kDisposeToBackground = 2;

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

bool FitsScreen(int left, int top, int width, int height, int screenWidth, int screenHeight)
{
    return width > 0 && height > 0 && left + width <= screenWidth && top + height <= screenHeight;
}

}  // namespace

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
    Request request;
    Screen screen;
    if (!ReadScreen(stream, request, screen))
        return false;
    if (Escape() == -1) {
        m_header.width = screen.width;
        m_header.height = screen.height;
        return true;
    }
    if ((screen.flags & 0x80) != 0) {
        screen.table.resize(3 * static_cast<std::size_t>(TableSize(screen.flags)));
        if (!ReadBytes(stream, screen.table.data(), screen.table.size()))
            return false;
        request.header.insert(request.header.end(), screen.table.begin(), screen.table.end());
    }
    // The kept point leaves the slot: this decode keeps its own, or none.
    const std::unique_ptr<ResumePoint> point = std::move(ResumeSlot());
    FrameScan scan;
    const bool resume = CountOrResume(stream, screen, request, point.get(), scan);
    m_info.frameCount = scan.count;
    if (m_info.frame < 0 || m_info.frame >= scan.count)
        return false;
    Composition comp;
    comp.compositing = scan.count > 1 && screen.table.empty() && scan.firstWidth < screen.width &&
                       scan.firstHeight < screen.height;
    comp.frameToRead = comp.compositing ? scan.count - 1 : m_info.frame;
    if (!WithinBudget(screen, scan, comp))
        return false;
    std::vector<std::uint8_t> table = screen.table;
    if (resume && !GoOnFrom(*point, stream, comp, table))
        return false;
    const long read = stream->Tell() - request.start;
    if (!ReadFrames(stream, screen, table, comp))
        return false;
    KeepResumePoint(stream, request, scan, comp, table, read);
    return Finish(comp);
}

// The 13 bytes of the header: signature and version, screen width and height, flags, background
// index and aspect ratio.
bool CPixGifCodec::ReadScreen(CPixStream* stream, Request& request, Screen& screen)
{
    request.start = stream->Tell();
    std::uint8_t head[13];
    if (!ReadBytes(stream, head, sizeof(head)) || std::memcmp(head, "GIF8", 4) != 0)
        return false;
    screen.width = U16(head + 6);
    screen.height = U16(head + 8);
    screen.flags = head[10];
    request.header.assign(head, head + sizeof(head));
    return true;
}

bool CPixGifCodec::ReadFrames(CPixStream* stream, const Screen& screen, std::vector<std::uint8_t>& table, Composition& comp)
{
    for (;;) {
        const Step step = ReadFrame(stream, screen, table, comp);
        if (step != Step::Next)
            return step == Step::Done;
    }
}

// The frames the decode reads and the canvas they are drawn on, before any is read: a few bytes
// per frame can ask for a screen-sized frame each time. Each frame is created, decoded and drawn;
// the canvas is created and filled once (a palette canvas, or the 24-bit one of compositing), and
// filled again after every frame that asks to be disposed of.
bool CPixGifCodec::WithinBudget(const Screen& screen, const FrameScan& scan, const Composition& comp)
{
    const std::uint64_t screenArea = static_cast<std::uint64_t>(screen.width) * static_cast<std::uint64_t>(screen.height);
    std::uint64_t work = comp.compositing ? 3 * screenArea : 2 * screenArea, allowed = kGifMaxDecodeWork;
    std::uint64_t largestFrame = 0;
    const std::size_t frames = static_cast<std::size_t>(comp.frameToRead) + 1;
    for (std::size_t i = 0; i < frames && i < scan.areas.size(); ++i) {
        work += 3 * scan.areas[i];
        if (!comp.compositing && scan.clearsAfter[i] && i + 1 < frames)
            work += screenArea;
        allowed += std::min(scan.dataBytes[i], screenArea) * kGifWorkPerDataByte;
        largestFrame = std::max(largestFrame, scan.areas[i]);
    }
    // Held at once: the canvas (palette bytes, or 24-bit when compositing) and the frame being decoded.
    const std::uint64_t canvasBytes = comp.compositing ? 3 * screenArea : screenArea;
    if (work > allowed || canvasBytes + largestFrame > CPIX_MAX_MEMORY) {
        SetLastError("GIF needs too much work to decode");
        return false;
    }
    return true;
}

// One image block: decoded, then drawn over what the earlier frames left.
CPixGifCodec::Step CPixGifCodec::ReadFrame(CPixStream* stream, const Screen& screen, std::vector<std::uint8_t>& table,
                                           Composition& comp)
{
    ImageBlock block;
    const Found found = NextImage(stream, block, true);
    if (found == Found::Escaped)
        return Step::Failed;
    if (found == Found::End)
        return Step::Done;
    if ((block.flags & 0x80) != 0) {
        table.assign(3 * static_cast<std::size_t>(TableSize(block.flags)), 0);
        if (!ReadBytes(stream, table.data(), table.size()))
            return Step::Done;
    }
    if (!FitsScreen(block.left, block.top, block.width, block.height, screen.width, screen.height)) {
        stream->GetC();  // the minimum code size of the image that is left out
        CPixGifLzwDecoder::SkipSubBlocks(*stream);
        return Step::Next;
    }
    const int bpp = BppForTable(table.empty() ? 256 : static_cast<int>(table.size() / 3));
    if (!comp.compositing && !PrepareCanvas(screen, bpp, comp))
        return Step::Failed;
    if (!CreateFrame(block, bpp, table))
        return Step::Failed;
    CPixGifLzwDecoder().Decode(*stream, *this, (block.flags & 0x40) != 0);
    if (Escape() != 0)
        return Step::Failed;
    if (comp.compositing) {
        if (!DrawColours(comp.result, block, screen))
            return Step::Failed;
    } else {
        DrawIndices(comp.result, block, screen.height);
        if (comp.frameIndex == 0)
            comp.firstTrans = TransparentIndex();
        comp.result.SetTransparentIndex(comp.firstTrans);
        comp.result.SetPalette(PalettePointer(), ColorCount());
    }
    comp.prevDisposal = (m_gcFlags >> 2) & 7;
    return comp.frameIndex++ == comp.frameToRead ? Step::Done : Step::Next;
}

// The screen-sized palette picture every frame is drawn into, kept from frame to frame: blank for
// the first frame, cleared again when the previous one asked to be disposed of. Its depth is the
// first frame's.
bool CPixGifCodec::PrepareCanvas(const Screen& screen, int bpp, Composition& comp)
{
    CPixImage& canvas = comp.result;
    if (comp.frameIndex == 0) {
        if (canvas.Create(screen.width, screen.height, bpp, kPixTypeGif) == nullptr) {
            SetLastError(canvas.LastError());
            return false;
        }
        canvas.FillBits(m_gcTransIndex);
        return true;
    }
    if (!canvas.HasPixels())
        return false;
    if (comp.prevDisposal == kDisposeToBackground)
        canvas.FillBits(static_cast<std::uint8_t>(comp.firstTrans >= 0 ? comp.firstTrans : 0));
    return true;
}

// This codec's own picture at the frame's size, with the frame's colours; a transparent frame
// gets white for the entries its table lacks.
bool CPixGifCodec::CreateFrame(const ImageBlock& block, int bpp, const std::vector<std::uint8_t>& table)
{
    if (Create(block.width, block.height, bpp, kPixTypeGif) == nullptr)
        return false;
    const int colours = static_cast<int>(table.size() / 3);
    for (int i = 0; i < colours; ++i)
        SetPaletteEntry(static_cast<std::uint32_t>(i), table[3 * i], table[3 * i + 1], table[3 * i + 2], 0);
    if (IsTransparent()) {
        for (int i = colours; i < 256; ++i)
            SetPaletteEntry(static_cast<std::uint32_t>(i), 255, 255, 255, 0);
    }
    return true;
}

namespace {

std::uint8_t IndexIn(const std::uint8_t* row, int x, int bpp)
{
    switch (bpp) {
    case 8: return row[x];
    case 4: return static_cast<std::uint8_t>((row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 15);
    default: return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

void PutIndex(std::uint8_t* row, int x, int bpp, std::uint8_t index)
{
    switch (bpp) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        const int shift = (x & 1) != 0 ? 0 : 4;
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
        break;
    }
    default: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
        break;
    }
    }
}

}  // namespace

// Every index but the transparent one lands on the canvas. Rows of the same depth are copied
// whole, or byte by byte past the transparent index; other depths go index by index, straight
// in the rows (the frame fits the screen, so every write lies inside the canvas).
void CPixGifCodec::DrawIndices(CPixImage& canvas, const ImageBlock& block, int screenHeight) const
{
    const int trans = TransparentIndex();
    const int fromBpp = Bpp(), toBpp = canvas.Bpp();
    const bool bytes = fromBpp == 8 && toBpp == 8;
    const bool opaque = trans < 0 || trans > 255;
    for (int y = 0; y < block.height; ++y) {
        const int canvasRow = screenHeight - 1 - (block.top + y);
        const std::uint8_t* from = RowPointer(block.height - 1 - y);
        std::uint8_t* to = canvas.RowPointer(canvasRow);
        if (!bytes) {
            for (int x = 0; x < block.width; ++x) {
                const std::uint8_t index = IndexIn(from, x, fromBpp);
                if (index != trans)
                    PutIndex(to, block.left + x, toBpp, index);
            }
            continue;
        }
        to += block.left;
        if (opaque) {
            std::memcpy(to, from, static_cast<std::size_t>(block.width));
            continue;
        }
        for (int x = 0; x < block.width; ++x) {
            if (from[x] != trans)
                to[x] = from[x];
        }
    }
}

// Row by row through the frame's palette: every pixel takes the colour PixelColor gives it.
bool CPixGifCodec::DrawColours(CPixImage& result, const ImageBlock& block, const Screen& screen)
{
    if (!result.HasPixels() && result.Create(screen.width, screen.height, 24, kPixTypeGif) == nullptr) {
        SetLastError(result.LastError());
        return false;
    }
    PixQuad colours[256];
    for (std::uint32_t i = 0; i < 256; ++i)
        colours[i] = PaletteEntry(i);
    const int bpp = Bpp();
    for (int y = 0; y < block.height; ++y) {
        const std::uint8_t* from = RowPointer(block.height - 1 - y);
        std::uint8_t* to = result.RowPointer(screen.height - 1 - (block.top + y)) + 3 * static_cast<std::size_t>(block.left);
        for (int x = 0; x < block.width; ++x, to += 3) {
            const PixQuad& c = colours[IndexIn(from, x, bpp)];
            to[0] = c.blue;
            to[1] = c.green;
            to[2] = c.red;
        }
    }
    return true;
}

// The picture comes from the composition; the settings read from the file stay this codec's.
bool CPixGifCodec::Finish(Composition& comp)
{
    CPixImage& result = comp.result;
    if (!result.HasPixels())
        return false;
    if (comp.compositing && (m_gcFlags & 1) != 0) {
        result.SetTransparentColor(PaletteEntry(m_gcTransIndex));
        result.SetTransparentIndex(0);
    }
    PixInfo settings = m_info;
    const int trans = result.TransparentIndex();
    const PixQuad transColor = result.TransparentColor();
    if (!TakeOver(result))
        return false;
    settings.rowBytes = m_info.rowBytes;
    settings.type = kPixTypeGif;
    settings.transIndex = trans;
    if (comp.compositing)
        settings.transColor = transColor;
    m_info = settings;
    return true;
}

CPixGifCodec::Found CPixGifCodec::NextImage(CPixStream* stream, ImageBlock& block, bool honourEscape)
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
        if (introducer == kExtensionIntroducer) {
            if (!ReadExtension(stream))
                return Found::End;
            continue;
        }
        if (introducer == kTrailer)
            return Found::End;
        if (introducer != kImageIntroducer) {
            resync = introducer != 0;
            continue;
        }
        std::uint8_t desc[9];
        if (!ReadBytes(stream, desc, sizeof(desc)))
            return Found::End;
        block.left = U16(desc);
        block.top = U16(desc + 2);
        block.width = U16(desc + 4);
        block.height = U16(desc + 6);
        block.flags = desc[8];
        return Found::Image;
    }
}

// Counting skips each image's data by its sub-block sizes: nothing is decoded twice.
CPixGifCodec::FrameScan CPixGifCodec::CountFrames(CPixStream* stream, const Screen& screen)
{
    FrameScan scan;
    const long start = stream->Tell();
    const int controls = m_nControlRecords, transparencies = m_nTransparencyRecords;
    ImageBlock block;
    while (NextImage(stream, block, false) == Found::Image) {
        if ((block.flags & 0x80) != 0 && !stream->Seek(3 * TableSize(block.flags), 1))
            break;
        if (FitsScreen(block.left, block.top, block.width, block.height, screen.width, screen.height)) {
            if (scan.count == 0) {
                scan.firstWidth = block.width;
                scan.firstHeight = block.height;
            }
            ++scan.count;
            scan.areas.push_back(static_cast<std::uint64_t>(block.width) * static_cast<std::uint64_t>(block.height));
            scan.clearsAfter.push_back(((m_gcFlags >> 2) & 7) == kDisposeToBackground);
        }
        stream->GetC();
        const std::uint64_t held = CPixGifLzwDecoder::SkipSubBlocks(*stream);
        if (scan.dataBytes.size() < scan.areas.size())
            scan.dataBytes.push_back(held);
    }
    scan.setsDelay = m_nControlRecords != controls;
    scan.setsTransparency = m_nTransparencyRecords != transparencies;
    stream->Seek(start, 0);
    return scan;
}

bool CPixGifCodec::ReadExtension(CPixStream* stream)
{
    const int label = stream->GetC();
    if (label < 0)
        return false;
    if (label == kGraphicControlLabel && !ReadGraphicControl(stream))
        return false;
    if (label == kCommentLabel)
        ReadComment(stream);
    if (label == kApplicationLabel)
        ReadApplication(stream);
    CPixGifLzwDecoder::SkipSubBlocks(*stream);
    return true;
}

bool CPixGifCodec::ReadGraphicControl(CPixStream* stream)
{
    const int size = stream->GetC();
    if (size < 0)
        return false;
    // Blocks of other sizes are read whole (the fields come from the first 4 bytes only).
    std::uint8_t block[256];
    if (!ReadBytes(stream, block, static_cast<std::size_t>(size)) || size < 4)
        return true;
    m_gcFlags = block[0];
    m_gcDelay = U16(block + 1);
    m_gcTransIndex = block[3];
    ++m_nControlRecords;
    if ((m_gcFlags & 1) != 0) {
        SetTransparentIndex(m_gcTransIndex);
        ++m_nTransparencyRecords;
    }
    SetFrameDelay(m_gcDelay);
    m_nDisposal = (m_gcFlags >> 2) & 7;
    return true;
}

void CPixGifCodec::ReadComment(CPixStream* stream)
{
    const int size = stream->GetC();
    if (size <= 0)
        return;
    const std::size_t got = stream->Read(m_comment, 1, static_cast<std::size_t>(size));
    m_comment[got] = 0;
}

// Only an 11-byte identifier is taken, whatever its name; its first sub-block of more than two
// bytes holds the loop count.
void CPixGifCodec::ReadApplication(CPixStream* stream)
{
    const int size = stream->GetC();
    if (size != 11) {
        if (size > 0)
            stream->Seek(size, 1);
        return;
    }
    std::uint8_t block[256];
    if (!ReadBytes(stream, block, 11))
        return;
    const int dataSize = stream->GetC();
    if (dataSize > 0 && ReadBytes(stream, block, static_cast<std::size_t>(dataSize)) && dataSize > 2)
        m_nLoopCount = U16(block + 1);
}

// ---- Encoding ----------------------------------------------------------------------------

PixGifWriteSettings CPixGifCodec::WriteSettings() const
{
    PixGifWriteSettings settings;
    settings.comment = m_comment;
    settings.disposal = m_nDisposal;
    settings.loopCount = m_nLoopCount;
    settings.compression = CodecOption(kPixTypeGif);
    return settings;
}

bool CPixGifCodec::Encode(CPixStream* stream)
{
    if (CheckEncodeTarget(stream))
        return false;
    CPixGifEncoder encoder(*stream, WriteSettings());
    if (encoder.WritePicture(*this))
        return true;
    SetLastError(encoder.Error());
    return false;
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
    CPixGifEncoder encoder(*stream, WriteSettings());
    if (encoder.WriteFrames(images, count, localColorTables))
        return true;
    SetLastError(encoder.Error());
    return false;
}
