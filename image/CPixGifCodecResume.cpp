// CPixGifCodecResume.cpp: where a GIF decode stopped, kept for a later request of the same bytes
// to go on from, so that reading every frame in order decodes each frame once.
#include "image/CPixGifCodec.h"

#include "image/CPixStream.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

// A file changed less than this long ago may change again within one tick of its file system's
// clock without its times showing it: such a file is told by its bytes too. Times to the
// nanosecond come from the kernel's clock, whose tick is at most 10 ms; times with no part
// below a millisecond may be whole seconds (two on FAT).
constexpr std::int64_t kSettledNs = 2'000'000'000;
constexpr std::int64_t kFineSettledNs = 50'000'000;
constexpr std::size_t kHashChunk = std::size_t{1} << 16;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

// A multiply spreads every bit of the word over the high half, the shift folds it back down.
std::uint64_t Mix(std::uint64_t h, std::uint64_t word)
{
    h = (h ^ word) * kMultiplier;
    return h ^ (h >> 32);
}

// `length` bytes from `from` (every byte to the end for -1) folded into 64 bits, read in large
// chunks and taken as four lanes of eight bytes that do not wait for one another; the stream is
// left where it was. False when the stream holds fewer. Equal hashes mean equal bytes barring a
// collision, which could only give wrong pixels: the screen and table that size the canvas are
// compared byte for byte.
bool HashRange(CPixStream& stream, long from, long length, std::uint64_t& hash)
{
    const long at = stream.Tell();
    if (at < 0 || !stream.Seek(from, 0))
        return false;
    std::vector<std::uint8_t> chunk(kHashChunk);
    std::uint64_t a = 0x243F6A8885A308D3ull, b = 0x13198A2E03707344ull, c = 0xA4093822299F31D0ull, d = 0x082EFA98EC4E6C89ull;
    std::uint64_t total = 0;
    const std::uint64_t wanted = length < 0 ? UINT64_MAX : static_cast<std::uint64_t>(length);
    while (total < wanted) {
        const std::size_t ask = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), wanted - total));
        const std::size_t got = stream.Read(chunk.data(), 1, ask);
        const std::uint8_t* p = chunk.data();
        std::size_t left = got;
        std::uint64_t word[4];
        for (; left >= sizeof(word); p += sizeof(word), left -= sizeof(word)) {
            std::memcpy(word, p, sizeof(word));
            a = Mix(a, word[0]);
            b = Mix(b, word[1]);
            c = Mix(c, word[2]);
            d = Mix(d, word[3]);
        }
        for (; left > 0; ++p, --left)
            a = Mix(a, *p);
        total += got;
        if (got < ask)
            break;
    }
    hash = Mix(Mix(Mix(Mix(total, a), b), c), d);
    return stream.Seek(at, 0) && (length < 0 || total == wanted);
}

}  // namespace

std::unique_ptr<CPixGifCodec::ResumePoint>& CPixGifCodec::ResumeSlot()
{
    thread_local std::unique_ptr<ResumePoint> slot;
    return slot;
}

// A regular file is settled, or recent; anything else (memory) has no identity.
CPixGifCodec::Source CPixGifCodec::SourceOf(CPixStream* stream, host_files::OpenFileIdentity& identity)
{
    if (!stream->Identity(identity))
        return Source::Other;
    const std::int64_t latest = std::max(identity.modified, identity.changed);
    const std::int64_t settled = latest % 1'000'000 != 0 ? kFineSettledNs : kSettledNs;
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch());
    return now.count() - latest >= settled ? Source::SettledFile : Source::RecentFile;
}

// Bytes the kept point was read from need no count: the count then is the count now, as far as
// the frames the decode reads are found where it found them (ReadFrame checks that).
bool CPixGifCodec::CountOrResume(CPixStream* stream, const Screen& screen, Request& request, ResumePoint* point,
                                 FrameScan& scan)
{
    request.frame = m_info.frame;
    request.source = SourceOf(stream, request.identity);
    if (request.source == Source::Other)
        request.size = stream->Size() - request.start;
    if (CanGoOn(stream, point, request)) {
        scan = std::move(point->scan);
        return true;
    }
    scan = CountFrames(stream, screen);
    return false;
}

// A frame at or after the next one, and the same bytes from the same place: the same source,
// header and table, the bytes the kept point's decode read for its frames, and where a file was
// or is changed a moment ago, every byte (a point kept then goes on once the file has settled,
// after that one comparison).
bool CPixGifCodec::CanGoOn(CPixStream* stream, const ResumePoint* point, Request& request)
{
    if (point == nullptr)
        return false;
    const Request& kept = point->request;
    if (request.frame < point->comp.frameIndex)
        return false;
    const bool file = request.source != Source::Other;
    if (file != (kept.source != Source::Other) || kept.start != request.start || kept.header != request.header)
        return false;
    if (file ? !(kept.identity == request.identity) : kept.size != request.size)
        return false;
    if (kept.source == Source::RecentFile)
        return HashRequest(stream, request) && kept.hash == request.hash;
    if (request.source == Source::RecentFile)
        return false;
    std::uint64_t read = 0;
    return HashRange(*stream, kept.start + point->read, point->next - point->read, read) && read == point->readHash;
}

bool CPixGifCodec::HashRequest(CPixStream* stream, Request& request)
{
    if (!request.hashed)
        request.hashed = HashRange(*stream, request.start + static_cast<long>(request.header.size()), -1, request.hash);
    return request.hashed;
}

// The canvas and the settings read so far as the point left them, and the stream at the blocks
// after the point's frame: from here the decode goes as it would have gone on from that frame.
bool CPixGifCodec::GoOnFrom(ResumePoint& point, CPixStream* stream, Composition& comp)
{
    if (!stream->Seek(point.request.start + point.next, 0) || !comp.canvas.TakeFrom(point.comp.canvas))
        return false;
    comp.frameIndex = point.comp.frameIndex;
    comp.last = point.comp.last;
    RestoreSettings(point.settings);
    return true;
}

// Only a frame read as asked with frames after it. The canvas is copied: the caller gets its own.
void CPixGifCodec::KeepResumePoint(CPixStream* stream, Request& request, FrameScan& scan, const Composition& comp, long read)
{
    if (comp.frameIndex != comp.frameToRead + 1 || comp.frameIndex >= scan.count)
        return;
    // The copy and the count are held beside the canvas and the largest frame: together they
    // stay within what one decode may hold.
    std::uint64_t largest = 0;
    for (const FrameRecord& f : scan.frames)
        largest = std::max(largest, f.area);
    const std::uint64_t counted = scan.frames.size() * sizeof(FrameRecord);
    if (2 * comp.canvas.HeldBytes() + largest + counted > CPIX_MAX_MEMORY)
        return;
    const long next = stream->Tell() - request.start;
    std::uint64_t readHash = 0;
    if (request.source == Source::RecentFile ? !HashRequest(stream, request)
                                             : !HashRange(*stream, request.start + read, next - read, readHash))
        return;
    auto point = std::make_unique<ResumePoint>();
    if (!point->comp.canvas.CopyFrom(comp.canvas))
        return;
    point->comp.frameIndex = comp.frameIndex;
    point->comp.last = comp.last;
    point->read = read;
    point->next = next;
    point->readHash = readHash;
    point->settings = SaveSettings();
    point->request = std::move(request);
    point->scan = std::move(scan);
    ResumeSlot() = std::move(point);
}

CPixGifCodec::Settings CPixGifCodec::SaveSettings() const
{
    Settings settings;
    settings.loopCount = m_nLoopCount;
    std::memcpy(settings.comment, m_comment, sizeof(m_comment));
    return settings;
}

void CPixGifCodec::RestoreSettings(const Settings& settings)
{
    m_nLoopCount = settings.loopCount;
    std::memcpy(m_comment, settings.comment, sizeof(m_comment));
}
