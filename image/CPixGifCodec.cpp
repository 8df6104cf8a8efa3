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
        if (!ReadTable(stream, screen.flags, screen.table))
            return false;
        screen.background = request.header[11];
        request.header.insert(request.header.end(), screen.table.begin(), screen.table.end());
    }
    const long frames = stream->Tell();
    // The kept point leaves the slot: this decode keeps its own, or none.
    const std::unique_ptr<ResumePoint> point = std::move(ResumeSlot());
    FrameScan scan;
    long read = 0;
    if (CountOrResume(stream, screen, request, point.get(), scan)) {
        Composition resumed;
        resumed.base = frames;
        const Step step = DecodeFrames(stream, screen, scan, point.get(), resumed, request.start, read);
        if (step == Step::Failed)
            return false;
        if (step == Step::Done) {
            KeepResumePoint(stream, request, scan, resumed, read);
            return Finish(resumed);
        }
        // The bytes after the kept point are not those counted: as if nothing had been kept.
        if (!stream->Seek(frames, 0))
            return false;
        scan = CountFrames(stream, screen);
    }
    Composition comp;
    comp.base = frames;
    if (DecodeFrames(stream, screen, scan, nullptr, comp, request.start, read) != Step::Done)
        return false;
    KeepResumePoint(stream, request, scan, comp, read);
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

bool CPixGifCodec::ReadTable(CPixStream* stream, int flags, std::vector<std::uint8_t>& table)
{
    table.resize(3 * static_cast<std::size_t>(TableSize(flags)));
    return ReadBytes(stream, table.data(), table.size());
}

// The frame count, the kind of picture and the budget follow from the count; then the frames up
// to the one asked for. Next: going on from the kept point met bytes the count did not find there.
CPixGifCodec::Step CPixGifCodec::DecodeFrames(CPixStream* stream, const Screen& screen, const FrameScan& scan,
                                              ResumePoint* point, Composition& comp, long start, long& read)
{
    m_info.frameCount = scan.count;
    if (m_info.frame < 0 || m_info.frame >= scan.count)
        return Step::Failed;
    // Tiles with tables of their own and no global one (as a true-colour picture is written, the
    // first smaller than the screen) make one picture: every frame is read, whichever is asked
    // for. They and frames whose tables or transparency differ may turn the picture to colour.
    const bool tiles = scan.count > 1 && screen.table.empty() && scan.firstWidth < screen.width &&
                       scan.firstHeight < screen.height;
    comp.trueColour = tiles || !scan.indexed;
    comp.frameToRead = tiles ? scan.count - 1 : m_info.frame;
    comp.verify = point != nullptr;
    if (!WithinBudget(screen, scan, comp))
        return Step::Failed;
    if (point != nullptr && !GoOnFrom(*point, stream, comp))
        return Step::Next;
    TakeControl();
    read = stream->Tell() - start;
    if (!ReadFrames(stream, screen, scan, comp))
        return comp.mismatch ? Step::Next : Step::Failed;
    return Step::Done;
}

bool CPixGifCodec::ReadFrames(CPixStream* stream, const Screen& screen, const FrameScan& scan, Composition& comp)
{
    for (;;) {
        const Step step = ReadFrame(stream, screen, scan, comp);
        if (step != Step::Next)
            return step == Step::Done;
    }
}

// The frames the decode reads and the canvas they are drawn on, before any is read: a few bytes
// per frame can ask for a screen-sized frame each time. Each frame is created, decoded and drawn;
// the canvas is created and filled once (a palette canvas, or a 24-bit one); a frame disposed of
// costs its rectangle again (filled, or saved and put back).
bool CPixGifCodec::WithinBudget(const Screen& screen, const FrameScan& scan, const Composition& comp)
{
    const std::uint64_t screenArea = static_cast<std::uint64_t>(screen.width) * static_cast<std::uint64_t>(screen.height);
    std::uint64_t work = comp.trueColour ? 3 * screenArea : 2 * screenArea, allowed = kGifMaxDecodeWork;
    std::uint64_t largestFrame = 0;
    bool saves = false;
    const std::size_t frames = static_cast<std::size_t>(comp.frameToRead) + 1;
    for (std::size_t i = 0; i < frames && i < scan.frames.size(); ++i) {
        const FrameRecord& f = scan.frames[i];
        work += 3 * f.area;
        if (f.disposal == 2 || f.disposal == 3)
            work += 2 * std::min(f.area, screenArea);
        saves = saves || f.disposal == 3;
        allowed += std::min(f.dataBytes, screenArea) * kGifWorkPerDataByte;
        largestFrame = std::max(largestFrame, f.area);
    }
    // Held at once: the canvas (palette bytes, and while it turns to colour 24-bit and an alpha
    // plane too), the frame being decoded and a rectangle saved to be put back.
    const std::uint64_t canvasBytes = comp.trueColour ? (scan.anyTransparency ? 5 : 4) * screenArea : screenArea;
    const std::uint64_t savedBytes = saves ? std::min(largestFrame, screenArea) * (comp.trueColour ? 4 : 1) : 0;
    if (work > allowed || canvasBytes + largestFrame + savedBytes > CPIX_MAX_MEMORY) {
        SetLastError("GIF needs too much work to decode");
        return false;
    }
    return true;
}

// One image block: decoded, then drawn over what the earlier frames left.
CPixGifCodec::Step CPixGifCodec::ReadFrame(CPixStream* stream, const Screen& screen, const FrameScan& scan,
                                           Composition& comp)
{
    ImageBlock block;
    const Found found = NextImage(stream, block, true);
    if (found == Found::Escaped)
        return Step::Failed;
    const std::size_t index = static_cast<std::size_t>(comp.frameIndex);
    if (found == Found::End) {
        comp.mismatch = comp.verify;
        return comp.verify ? Step::Failed : Step::Done;
    }
    const long at = stream->Tell() - 10 - comp.base;
    const Control control = TakeControl();
    std::vector<std::uint8_t> local;
    if ((block.flags & 0x80) != 0 && !ReadTable(stream, block.flags, local))
        return Step::Done;
    if (block.width == 0 || block.height == 0) {
        stream->GetC();  // the minimum code size of the image that is left out
        CPixGifLzwDecoder::SkipSubBlocks(*stream);
        return Step::Next;
    }
    if (comp.verify && (index >= scan.frames.size() || scan.frames[index].at != at)) {
        comp.mismatch = true;
        return Step::Failed;
    }
    const std::vector<std::uint8_t>& table = (block.flags & 0x80) != 0 ? local : screen.table;
    const PixGifFrame frame{block.left, block.top, block.width, block.height, control.trans, control.disposal, &table};
    if (index == 0)
        comp.canvas.Begin(screen.width, screen.height, scan.anyTransparency, screen.background);
    if (!DecodeFrame(stream, block, table, control.trans) || Escape() != 0)
        return Step::Failed;
    if (comp.verify && stream->Tell() - comp.base != scan.frames[index].end) {
        comp.mismatch = true;
        return Step::Failed;
    }
    if (!comp.canvas.Draw(*this, frame)) {
        SetLastError(comp.canvas.Picture().LastError());
        return Step::Failed;
    }
    comp.last = control;
    return comp.frameIndex++ == comp.frameToRead ? Step::Done : Step::Next;
}

// This codec's own picture at the frame's size, its indices from the image data; what the data
// leaves out keeps the transparent index (or 0), as other readers leave it.
bool CPixGifCodec::DecodeFrame(CPixStream* stream, const ImageBlock& block, const std::vector<std::uint8_t>& table, int trans)
{
    const int bpp = BppForTable(table.empty() ? 256 : static_cast<int>(table.size() / 3));
    if (Create(block.width, block.height, bpp, kPixTypeGif) == nullptr)
        return false;
    if (trans > 0)
        FillBits(static_cast<std::uint8_t>(trans));
    CPixGifLzwDecoder().Decode(*stream, *this, (block.flags & 0x40) != 0);
    return true;
}

// The picture comes from the composition; the settings read from the file stay this codec's,
// with the transparency, delay and disposal of the frame read.
bool CPixGifCodec::Finish(Composition& comp)
{
    CPixImage& result = comp.canvas.Picture();
    if (!result.HasPixels())
        return false;
    PixInfo settings = m_info;
    const int trans = comp.canvas.Mode() == CPixGifCanvas::EMode::kIndexed ? comp.canvas.TransparentIndex() : -1;
    if (!TakeOver(result))
        return false;
    settings.rowBytes = m_info.rowBytes;
    settings.type = kPixTypeGif;
    settings.transIndex = trans;
    settings.frameDelay = comp.last.delay;
    m_info = settings;
    m_nDisposal = comp.last.disposal;
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

// Counting skips each image's data by its sub-block sizes: nothing is decoded twice. It notes
// where each frame lies, and whether the canvas would turn to colour: as the canvas draws them,
// each frame is held to the table and transparency of the first or the last that covered the
// screen.
CPixGifCodec::FrameScan CPixGifCodec::CountFrames(CPixStream* stream, const Screen& screen)
{
    FrameScan scan;
    const long start = stream->Tell();
    std::vector<std::uint8_t> shared, local;
    int sharedTrans = -1;
    ImageBlock block;
    TakeControl();
    while (NextImage(stream, block, false) == Found::Image) {
        FrameRecord f;
        f.at = stream->Tell() - 10 - start;
        const Control control = TakeControl();
        if ((block.flags & 0x80) != 0 && !ReadTable(stream, block.flags, local))
            break;
        const std::vector<std::uint8_t>& table = (block.flags & 0x80) != 0 ? local : screen.table;
        stream->GetC();
        f.dataBytes = CPixGifLzwDecoder::SkipSubBlocks(*stream);
        f.end = stream->Tell() - start;
        if (block.width == 0 || block.height == 0)
            continue;
        if (scan.count == 0) {
            scan.firstWidth = block.width;
            scan.firstHeight = block.height;
        }
        const PixGifFrame frame{block.left, block.top, block.width, block.height, control.trans, control.disposal, &table};
        if (scan.count == 0 || CPixGifCanvas::Covers(frame, screen.width, screen.height)) {
            shared = table;
            sharedTrans = control.trans;
        } else {
            scan.indexed = scan.indexed && CPixGifCanvas::Fits(frame, shared, sharedTrans);
        }
        scan.anyTransparency = scan.anyTransparency || control.trans >= 0;
        f.area = static_cast<std::uint64_t>(block.width) * static_cast<std::uint64_t>(block.height);
        f.disposal = control.disposal;
        scan.frames.push_back(f);
        ++scan.count;
    }
    TakeControl();
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

// The record is for the image after it; TakeControl hands it over there.
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
    m_bControlPending = true;
    return true;
}

CPixGifCodec::Control CPixGifCodec::TakeControl()
{
    Control control;
    if (m_bControlPending) {
        control.trans = (m_gcFlags & 1) != 0 ? m_gcTransIndex : -1;
        control.disposal = (m_gcFlags >> 2) & 7;
        control.delay = m_gcDelay;
    }
    m_bControlPending = false;
    return control;
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
