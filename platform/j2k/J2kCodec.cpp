#include "platform/j2k/J2kCodec.h"

#include "platform/ChildRun.h"
#include "platform/SharedPages.h"
#include "platform/files/HostFiles.h"
#include "platform/j2k/J2kBudget.h"
#include "platform/j2k/J2kMemoryLedger.h"

#include <openjpeg.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

struct J2kImage {
    std::vector<unsigned char> file;
    OPJ_CODEC_FORMAT format = OPJ_CODEC_J2K;
    J2kInfo info;
    std::vector<unsigned char> pixels;
    bool bounded = false;            // decoded in a child process held to the allowance
    std::uint64_t workLeft = 0;      // of the allowance, for all the handle's decodes: about a nanosecond a unit
    std::uint64_t allowedBytes = 0;
    std::uint64_t bookedBytes = 0;   // what a decode books beside the others in flight
    int decodedReduce = -1;
    int decodedWidth = 0;
    int decodedHeight = 0;
};

namespace {

thread_local int t_lastError = kJ2kOk;
thread_local std::string t_lastErrorText;

const unsigned char kJp2Magic[12] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50, 0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
const unsigned char kCodestreamMagic[4] = {0xFF, 0x4F, 0xFF, 0x51};

int Fail(int code, const char* detail = nullptr)
{
    t_lastError = code;
    t_lastErrorText = J2K_getErrorStr(code);
    if (detail != nullptr && detail[0] != 0) {
        t_lastErrorText += ": ";
        t_lastErrorText += detail;
        while (!t_lastErrorText.empty() && (t_lastErrorText.back() == '\n' || t_lastErrorText.back() == ' '))
            t_lastErrorText.pop_back();
    }
    return code;
}

int Succeed()
{
    t_lastError = kJ2kOk;
    t_lastErrorText = J2K_getErrorStr(kJ2kOk);
    return kJ2kOk;
}

// ---- OpenJPEG over a block of memory ------------------------------------------------------

struct MemoryReader {
    const unsigned char* data;
    std::size_t size;
    std::size_t pos;
};

OPJ_SIZE_T ReadMemory(void* buffer, OPJ_SIZE_T count, void* user)
{
    auto* in = static_cast<MemoryReader*>(user);
    if (in->pos >= in->size)
        return static_cast<OPJ_SIZE_T>(-1);
    const std::size_t n = count < in->size - in->pos ? count : in->size - in->pos;
    std::memcpy(buffer, in->data + in->pos, n);
    in->pos += n;
    return n;
}

OPJ_OFF_T SkipMemory(OPJ_OFF_T count, void* user)
{
    auto* in = static_cast<MemoryReader*>(user);
    if (count < 0) {
        const std::size_t back = static_cast<std::size_t>(-count);
        if (back > in->pos)
            return -1;
        in->pos -= back;
        return count;
    }
    const std::size_t left = in->size - in->pos;
    const std::size_t n = static_cast<std::size_t>(count) < left ? static_cast<std::size_t>(count) : left;
    in->pos += n;
    return static_cast<OPJ_OFF_T>(n);
}

OPJ_BOOL SeekMemory(OPJ_OFF_T pos, void* user)
{
    auto* in = static_cast<MemoryReader*>(user);
    if (pos < 0 || static_cast<std::size_t>(pos) > in->size)
        return OPJ_FALSE;
    in->pos = static_cast<std::size_t>(pos);
    return OPJ_TRUE;
}

void KeepMessage(const char* message, void* user)
{
    auto* text = static_cast<std::string*>(user);
    if (text->empty() && message != nullptr)
        *text = message;
}

void IgnoreMessage(const char*, void*)
{
}

struct CodecDeleter {
    void operator()(opj_codec_t* c) const { opj_destroy_codec(c); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* s) const { opj_stream_destroy(s); }
};
struct ImageDeleter {
    void operator()(opj_image_t* i) const { opj_image_destroy(i); }
};

// One decoding session: codec, stream and header over the handle's bytes.
struct Session {
    MemoryReader reader{};
    std::unique_ptr<opj_codec_t, CodecDeleter> codec;
    std::unique_ptr<opj_stream_t, StreamDeleter> stream;
    std::unique_ptr<opj_image_t, ImageDeleter> image;
    std::string message;

    bool Start(const J2kImage& handle)
    {
        reader = MemoryReader{handle.file.data(), handle.file.size(), 0};
        codec.reset(opj_create_decompress(handle.format));
        stream.reset(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
        if (!codec || !stream)
            return false;
        opj_set_error_handler(codec.get(), KeepMessage, &message);
        opj_set_warning_handler(codec.get(), IgnoreMessage, nullptr);
        opj_set_info_handler(codec.get(), IgnoreMessage, nullptr);
        opj_stream_set_user_data(stream.get(), &reader, nullptr);
        opj_stream_set_user_data_length(stream.get(), handle.file.size());
        opj_stream_set_read_function(stream.get(), ReadMemory);
        opj_stream_set_skip_function(stream.get(), SkipMemory);
        opj_stream_set_seek_function(stream.get(), SeekMemory);
        opj_dparameters_t params;
        opj_set_default_decoder_parameters(&params);
        if (!opj_setup_decoder(codec.get(), &params))
            return false;
        opj_image_t* header = nullptr;
        if (!opj_read_header(stream.get(), codec.get(), &header))
            return false;
        image.reset(header);
        return true;
    }
};

bool ReadFileBounded(const char* path, std::vector<unsigned char>& out, int& code)
{
    std::FILE* file = host_files::OpenRegularForReading(path);
    if (file == nullptr) {
        code = kJ2kErrOpen;
        return false;
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    std::size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0) {
        if (bytes.size() + n > kJ2kMaxFileSize) {
            std::fclose(file);
            code = kJ2kErrTooLarge;
            return false;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        code = kJ2kErrOpen;
        return false;
    }
    out.swap(bytes);
    return true;
}

// ---- What a header asks for, read before OpenJPEG sees it ----------------------------------------

// Empty when the estimate lets the decode run, else what passes the limits. The tile and
// component counts come first: OpenJPEG sets up every tile and component while it reads the main
// header.
std::string OverLimits(const J2kBudget& b)
{
    if (b.components > kJ2kMaxComponents || b.gridTiles > kJ2kMaxTiles ||
        b.gridTiles * b.components > kJ2kMaxTileComponents)
        return std::to_string(b.gridTiles) + " tiles of " + std::to_string(b.components) + " components";
    if (b.largestComponent > kJ2kMaxPixels)
        return std::to_string(b.largestComponent) + " pixels";
    if (b.verdict != EJ2kVerdict::kTooCostly)
        return std::string();
    return "decoding would take about " + std::to_string(b.memoryBytes >> 20) + " MB and " +
           std::to_string(b.work / 1000000) + " ms (" + std::to_string(b.codeBlocks) + " code-blocks, " +
           std::to_string(b.precincts) + " precincts, " + std::to_string(b.packets) + " packet steps, " +
           std::to_string(b.samples) + " samples of up to " + std::to_string(b.passes) + " passes) for " +
           std::to_string(b.codedBytes) + " bytes of data, where " + std::to_string(b.allowedBytes >> 20) +
           " MB and " + std::to_string(b.allowedWork / 1000000) + " ms are allowed";
}

// "reduce=N" (N from 0 to 32); anything else is not understood.
bool ParseOptions(const char* options, int& reduce)
{
    reduce = 0;
    if (options == nullptr || options[0] == 0)
        return true;
    int value = 0;
    char tail = 0;
    if (std::sscanf(options, "reduce=%d%c", &value, &tail) == 1 && value >= 0 && value <= 32) {
        reduce = value;
        return true;
    }
    return false;
}

int ReducedSize(int size, int reduce)
{
    return static_cast<int>((static_cast<long long>(size) + (1LL << reduce) - 1) >> reduce);
}

unsigned char ToByte(const opj_image_comp_t& comp, long long v)
{
    if (comp.sgnd != 0 && comp.prec > 0)
        v += 1LL << (comp.prec - 1);
    if (comp.prec > 8)
        v >>= comp.prec - 8;
    else if (comp.prec > 0 && comp.prec < 8)
        v = v * 255 / ((1LL << comp.prec) - 1);
    return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// One component as bytes into byte `channel` of every 32-bit pixel of a width x height picture,
// a sub-sampled one stretched over it. The sample positions are worked out once per column and
// row: a division per sample would cost more than the rest of the conversion.
void FillChannel(const opj_image_comp_t& comp, int width, int height, unsigned char* pixels, int channel)
{
    unsigned char* out = pixels + channel;
    if (comp.prec == 8 && comp.sgnd == 0 && comp.w == static_cast<unsigned>(width) && comp.h == static_cast<unsigned>(height)) {
        // The usual component: full size, 8 bits, each sample only held to 0..255.
        const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        for (std::size_t i = 0; i < count; ++i, out += 4) {
            const OPJ_INT32 v = comp.data[i];
            *out = static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v);
        }
        return;
    }
    std::vector<std::size_t> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        columns[static_cast<std::size_t>(x)] = static_cast<std::size_t>(static_cast<long long>(x) * comp.w / static_cast<unsigned>(width));
    for (int y = 0; y < height; ++y) {
        const std::size_t cy = static_cast<std::size_t>(static_cast<long long>(y) * comp.h / static_cast<unsigned>(height));
        const OPJ_INT32* row = comp.data + cy * comp.w;
        for (int x = 0; x < width; ++x, out += 4)
            *out = ToByte(comp, row[columns[static_cast<std::size_t>(x)]]);
    }
}

// Luma and chroma (sYCC) that the picture hands over as red, green and blue: as the JP2 header
// says, or as three components with sub-sampled chroma show. Chroma at full size, at half width,
// or at half width and height; others are taken as they are.
bool IsLumaChroma(const opj_image_t& image)
{
    if (image.numcomps < 3)
        return false;
    const opj_image_comp_t* c = image.comps;
    const bool sycc = image.color_space == OPJ_CLRSPC_SYCC || (image.numcomps == 3 && c[0].dx == c[0].dy && c[1].dx != 1);
    const bool chroma = c[1].dx == c[2].dx && c[1].dy == c[2].dy && c[1].w == c[2].w && c[1].h == c[2].h &&
                        ((c[1].dx == 1 && c[1].dy == 1) || (c[1].dx == 2 && (c[1].dy == 1 || c[1].dy == 2)));
    return sycc && chroma && c[0].dx == 1 && c[0].dy == 1;
}

// Where each luma column (or row) finds its chroma sample: the one whose area holds it, or -1 for
// a luma sample before the chroma's first (an odd origin), which takes chroma 0.
std::vector<long long> ChromaIndex(unsigned lumaStart, unsigned count, unsigned step, unsigned chromaStart)
{
    std::vector<long long> index(count);
    for (unsigned i = 0; i < count; ++i)
        index[i] = static_cast<long long>((static_cast<unsigned long long>(lumaStart) + i) / step) - chromaStart;
    return index;
}

// The three luma and chroma components into red, green and blue bytes of w x h 32-bit pixels.
// At an odd left edge with chroma at half height, the first luma column lies before the first
// chroma column: the upper row of each pair of rows takes no chroma there, the lower the first
// chroma column, as the command-line tools show such pictures.
void FillFromLumaChroma(const opj_image_t& image, int w, int h, unsigned char* pixels)
{
    const opj_image_comp_t& y = image.comps[0];
    const opj_image_comp_t& cb = image.comps[1];
    const opj_image_comp_t& cr = image.comps[2];
    const long long offset = 1LL << (y.prec - 1), top = (1LL << y.prec) - 1;
    const std::vector<long long> columns = ChromaIndex(y.x0, static_cast<unsigned>(w), cb.dx, cb.x0);
    const std::vector<long long> rows = ChromaIndex(y.y0, static_cast<unsigned>(h), cb.dy, cb.y0);
    auto clamp = [top](long long v) { return v < 0 ? 0 : v > top ? top : v; };
    unsigned char* out = pixels;
    for (int j = 0; j < h; ++j) {
        const OPJ_INT32* luma = y.data + static_cast<std::size_t>(j) * y.w;
        const long long row = rows[static_cast<std::size_t>(j)];
        const bool lowerOfPair = cb.dy == 2 && j > 0 && ((static_cast<unsigned>(j) + (y.y0 & 1)) & 1) == 1;
        for (int i = 0; i < w; ++i, out += 4) {
            const long long column = i == 0 && lowerOfPair && columns[0] < 0 ? 0 : columns[static_cast<std::size_t>(i)];
            long long u = 0, v = 0;
            if (row >= 0 && column >= 0 && row < cb.h && column < cb.w) {
                const std::size_t at = static_cast<std::size_t>(row) * cb.w + static_cast<std::size_t>(column);
                u = cb.data[at];
                v = cr.data[at];
            }
            const float du = static_cast<float>(u - offset), dv = static_cast<float>(v - offset);
            const long long l = luma[i];
            out[2] = ToByte(y, clamp(l + static_cast<long long>(1.402 * dv)));
            out[1] = ToByte(y, clamp(l - static_cast<long long>(0.344 * du + 0.714 * dv)));
            out[0] = ToByte(y, clamp(l + static_cast<long long>(1.772 * du)));
        }
    }
}

bool UsableComponents(const opj_image_t& image)
{
    if (image.numcomps == 0 || image.comps == nullptr)
        return false;
    const int needed = image.numcomps >= 3 ? 3 : 1;
    for (int i = 0; i < needed + (image.numcomps == 2 || image.numcomps >= 4 ? 1 : 0); ++i) {
        const opj_image_comp_t& c = image.comps[i];
        if (c.data == nullptr || c.w == 0 || c.h == 0 || c.prec == 0 || c.prec > 31)
            return false;
    }
    return true;
}

}  // namespace

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kAllocatorReplaced = true;
#elif defined(__has_feature)
constexpr bool kAllocatorReplaced =
    __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer);
#else
constexpr bool kAllocatorReplaced = false;
#endif

static_assert(std::max(kJ2kMaxDecodeBytes, kJ2kMaxScaledDecodeBytes) + kJ2kMaxPictureBytes <= kJ2kMaxBytesInFlight,
              "every decode the estimate lets through fits beside no other");

// Whether decodes have run on more than one thread of this process (it stays so).
bool DecodesInManyThreads()
{
    static std::atomic<std::thread::id> first{};
    static std::atomic<bool> many{false};
    const std::thread::id self = std::this_thread::get_id();
    std::thread::id none{};
    if (!first.compare_exchange_strong(none, self) && none != self)
        many.store(true);
    return many.load();
}

// OpenJPEG frees millions of small blocks; the allocator keeps them in this thread's arena unless
// asked, where the next decode in another thread cannot use them. Asking can cost twice the decode
// (a file of tiny code-blocks), so a process that decodes on one thread only reuses them.
// Under a sanitizer the allocator is its own, and glibc's trim walks arenas that were never set up
// (it crashed there).
void ReturnFreedMemory()
{
    if (!kAllocatorReplaced && DecodesInManyThreads())
        malloc_trim(0);
}

// Takes the file's bytes: tells the two forms apart by their magic and reads the header.
J2kImage* OpenBytes(std::unique_ptr<J2kImage> handle, const char* name)
{
    const auto& f = handle->file;
    if (f.size() >= sizeof(kJp2Magic) && std::memcmp(f.data(), kJp2Magic, sizeof(kJp2Magic)) == 0) {
        handle->format = OPJ_CODEC_JP2;
    } else if (f.size() >= sizeof(kCodestreamMagic) && std::memcmp(f.data(), kCodestreamMagic, sizeof(kCodestreamMagic)) == 0) {
        handle->format = OPJ_CODEC_J2K;
        handle->info.isCodestream = 1;
    } else {
        Fail(kJ2kErrFormat, name);
        return nullptr;
    }
    // Nothing reaches OpenJPEG that its headers do not let us estimate.
    const J2kBudget budget = J2kEstimate(f, handle->format == OPJ_CODEC_JP2);
    if (!budget.readable) {
        Fail(kJ2kErrHeader, name);
        return nullptr;
    }
    const std::string over = OverLimits(budget);
    if (!over.empty()) {
        Fail(kJ2kErrTooLarge, (std::string(name) + ": " + over).c_str());
        return nullptr;
    }
    handle->bounded = budget.verdict == EJ2kVerdict::kDecodeBounded;
    handle->workLeft = budget.allowedWork;
    handle->allowedBytes = budget.allowedBytes;
    handle->bookedBytes = std::min(budget.memoryBytes, budget.allowedBytes);
    Session session;
    if (!session.Start(*handle)) {
        Fail(kJ2kErrHeader, session.message.c_str());
        return nullptr;
    }
    // The size handed over is the first component's, which a sub-sampled picture has at fewer
    // samples than the reference grid.
    const opj_image_t& img = *session.image;
    if (img.numcomps == 0 || img.comps == nullptr) {
        Fail(kJ2kErrHeader);
        return nullptr;
    }
    const long long width = img.comps[0].w;
    const long long height = img.comps[0].h;
    if (width <= 0 || height <= 0) {
        Fail(kJ2kErrHeader);
        return nullptr;
    }
    if (static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) > kJ2kMaxPixels) {
        Fail(kJ2kErrTooLarge);
        return nullptr;
    }
    handle->info.width = static_cast<int>(width);
    handle->info.height = static_cast<int>(height);
    handle->info.components = static_cast<int>(img.numcomps);
    handle->info.bitDepth = static_cast<int>(img.comps[0].prec);
    handle->info.resolutions = 1;
    if (opj_codestream_info_v2_t* cs = opj_get_cstr_info(session.codec.get())) {
        if (cs->m_default_tile_info.tccp_info != nullptr)
            handle->info.resolutions = static_cast<int>(cs->m_default_tile_info.tccp_info[0].numresolutions);
        opj_destroy_cstr_info(&cs);
    }
    Succeed();
    return handle.release();
}

// One decode at `reduce` into w x h 32-bit pixels; the code, failures kept as J2K_getLastError.
int DecodePixels(const J2kImage& image, int reduce, std::vector<unsigned char>& pixels, int& w, int& h)
{
    Session session;
    if (!session.Start(image))
        return Fail(kJ2kErrHeader, session.message.c_str());
    if (reduce > 0 && !opj_set_decoded_resolution_factor(session.codec.get(), static_cast<OPJ_UINT32>(reduce)))
        return Fail(kJ2kErrDecode, session.message.c_str());
    if (!opj_decode(session.codec.get(), session.stream.get(), session.image.get()) ||
        !opj_end_decompress(session.codec.get(), session.stream.get()))
        return Fail(kJ2kErrDecode, session.message.c_str());
    const opj_image_t& img = *session.image;
    if (!UsableComponents(img))
        return Fail(kJ2kErrComponents);
    w = static_cast<int>(img.comps[0].w);
    h = static_cast<int>(img.comps[0].h);
    if (static_cast<unsigned long long>(w) * static_cast<unsigned long long>(h) > kJ2kMaxPixels)
        return Fail(kJ2kErrTooLarge);
    pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    const bool colour = img.numcomps >= 3;
    const int alphaComp = colour ? (img.numcomps >= 4 ? 3 : -1) : (img.numcomps == 2 ? 1 : -1);
    if (IsLumaChroma(img)) {
        FillFromLumaChroma(img, w, h, pixels.data());
    } else {
        FillChannel(img.comps[0], w, h, pixels.data(), 2);
        FillChannel(img.comps[colour ? 1 : 0], w, h, pixels.data(), 1);
        FillChannel(img.comps[colour ? 2 : 0], w, h, pixels.data(), 0);
    }
    if (alphaComp >= 0) {
        FillChannel(img.comps[alphaComp], w, h, pixels.data(), 3);
    } else {
        for (std::size_t i = 3; i < pixels.size(); i += 4)
            pixels[i] = 255;
    }
    return kJ2kOk;
}

// What a child's decode hands back, ahead of its pixels.
struct ChildOutcome {
    int code;
    int width, height;
    char message[240];
};

// The decode in a child process held to what is left of the estimate's allowance, about a
// nanosecond of processor time a unit of work: all the handle's decodes together get no more than
// one. Its pixels come back through shared pages.
int DecodeBounded(J2kImage& image, int reduce, std::vector<unsigned char>& pixels, int& w, int& h)
{
    const std::chrono::milliseconds left(image.workLeft / 1000000);
    if (left.count() <= 0)
        return Fail(kJ2kErrTooLarge, "the decodes have taken all the time allowed");
    const std::size_t most = static_cast<std::size_t>(image.info.width) * static_cast<std::size_t>(image.info.height) * 4;
    SharedPages shared(sizeof(ChildOutcome) + most);
    if (shared.Data() == nullptr)
        return Fail(kJ2kErrMemory);
    auto* outcome = new (shared.Data()) ChildOutcome{kJ2kErrDecode, 0, 0, {}};
    ChildLimits limits;
    limits.cpu = left;
    limits.wall = limits.cpu * 10 + std::chrono::seconds(2);
    limits.memoryBytes = static_cast<std::size_t>(image.allowedBytes) + shared.Size() + (std::size_t{64} << 20);
    ChildEnding ending;
    const EChildRun run = RunInChild([&] {
        std::vector<unsigned char> decoded;
        int cw = 0, ch = 0;
        outcome->code = DecodePixels(image, reduce, decoded, cw, ch);
        std::snprintf(outcome->message, sizeof(outcome->message), "%s", J2K_getLastErrorStr());
        if (outcome->code != kJ2kOk || decoded.size() > most)
            return false;
        std::memcpy(shared.Data() + sizeof(ChildOutcome), decoded.data(), decoded.size());
        outcome->width = cw;
        outcome->height = ch;
        return true;
    }, limits, &ending);
    const std::uint64_t spent = static_cast<std::uint64_t>(ending.cpu.count()) * 1000;
    image.workLeft = run == EChildRun::kTimedOut || spent >= image.workLeft ? 0 : image.workLeft - spent;
    switch (run) {
    case EChildRun::kReturnedTrue:
        break;
    case EChildRun::kReturnedFalse:
        t_lastError = outcome->code;
        t_lastErrorText = outcome->message;
        return outcome->code;
    case EChildRun::kTimedOut:
        return Fail(kJ2kErrTooLarge, ("decoding took more than " + std::to_string(limits.cpu.count()) + " ms").c_str());
    case EChildRun::kStopped:
        return Fail(kJ2kErrDecode, "the decoder stopped");
    case EChildRun::kInterrupted:
        return Fail(kJ2kErrDecode, "the program is asked to end");
    case EChildRun::kUnavailable:
        return Fail(kJ2kErrMemory, "no process to decode in");
    case EChildRun::kNoProcess:
        return Fail(kJ2kErrNoProcess, "the system started no process to decode in");
    case EChildRun::kSanitizerReport:
        // A memory error in the decode is this program's: the sanitizers' build stops on it as it
        // would have without the child (the report is on stderr).
        std::abort();
    }
    w = outcome->width;
    h = outcome->height;
    if (w <= 0 || h <= 0 || static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4 > most)
        return Fail(kJ2kErrDecode, "the decoder's picture has no size");
    const unsigned char* from = shared.Data() + sizeof(ChildOutcome);
    pixels.assign(from, from + static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4);
    return kJ2kOk;
}

}  // namespace

J2kImage* J2K_OpenFile(const char* hostPath)
{
    if (hostPath == nullptr) {
        Fail(kJ2kErrArgument);
        return nullptr;
    }
    auto handle = std::make_unique<J2kImage>();
    int code = kJ2kOk;
    if (!ReadFileBounded(hostPath, handle->file, code)) {
        Fail(code, hostPath);
        return nullptr;
    }
    return OpenBytes(std::move(handle), hostPath);
}

J2kImage* J2K_OpenMemory(const unsigned char* data, std::size_t size)
{
    if (data == nullptr && size > 0) {
        Fail(kJ2kErrArgument);
        return nullptr;
    }
    if (size > kJ2kMaxFileSize) {
        Fail(kJ2kErrTooLarge);
        return nullptr;
    }
    auto handle = std::make_unique<J2kImage>();
    handle->file.assign(data, data + size);
    return OpenBytes(std::move(handle), "memory");
}

int J2K_GetInfoEx(J2kImage* image, J2kInfo* info)
{
    if (image == nullptr)
        return Fail(kJ2kErrHandle);
    if (info == nullptr)
        return Fail(kJ2kErrArgument);
    *info = image->info;
    return Succeed();
}

int J2K_GetResolutionDimensionsByStr(J2kImage* image, const char* options, int* width, int* height)
{
    if (image == nullptr)
        return Fail(kJ2kErrHandle);
    if (width == nullptr || height == nullptr)
        return Fail(kJ2kErrArgument);
    int reduce = 0;
    const bool understood = ParseOptions(options, reduce);
    if (reduce >= image->info.resolutions)
        reduce = image->info.resolutions - 1;
    *width = ReducedSize(image->info.width, reduce);
    *height = ReducedSize(image->info.height, reduce);
    if (!understood)
        return Fail(kJ2kWarnOptions, options);
    return Succeed();
}

int J2K_Decode(J2kImage* image, unsigned char** buffer, int* size, const char* options, int* pitch)
{
    if (image == nullptr)
        return Fail(kJ2kErrHandle);
    if (buffer == nullptr || size == nullptr || pitch == nullptr)
        return Fail(kJ2kErrArgument);
    int reduce = 0;
    ParseOptions(options, reduce);
    if (reduce >= image->info.resolutions)
        reduce = image->info.resolutions - 1;
    if (image->decodedReduce != reduce) {
        const CJ2kMemoryBooking booking(image->bookedBytes);
        if (booking.State() == CJ2kMemoryBooking::EState::kTooLarge)
            return Fail(kJ2kErrTooLarge, "more memory than all the decodes in flight may hold");
        if (booking.State() == CJ2kMemoryBooking::EState::kInterrupted)
            return Fail(kJ2kErrDecode, "the program is asked to end");
        std::vector<unsigned char> pixels;
        int w = 0, h = 0;
        const int code = image->bounded ? DecodeBounded(*image, reduce, pixels, w, h) : DecodePixels(*image, reduce, pixels, w, h);
        if (!image->bounded)
            ReturnFreedMemory();  // a child's decode freed its memory with the child
        if (code != kJ2kOk)
            return code;
        image->pixels.swap(pixels);
        image->decodedReduce = reduce;
        image->decodedWidth = w;
        image->decodedHeight = h;
    }
    *buffer = image->pixels.data();
    *size = static_cast<int>(image->pixels.size());
    *pitch = image->decodedWidth * 4;
    return Succeed();
}

void J2K_Close(J2kImage* image)
{
    delete image;
}

const char* J2K_getErrorStr(int code)
{
    switch (code) {
    case kJ2kOk: return "No error";
    case kJ2kErrOpen: return "Cannot read the file";
    case kJ2kErrTooLarge: return "The image is too large";
    case kJ2kErrFormat: return "Not a JPEG-2000 file";
    case kJ2kErrHeader: return "Invalid JPEG-2000 header";
    case kJ2kErrDecode: return "Invalid JPEG-2000 data";
    case kJ2kErrMemory: return "Not enough memory";
    case kJ2kErrHandle: return "Invalid image handle";
    case kJ2kErrArgument: return "Invalid argument";
    case kJ2kErrComponents: return "Unsupported colour components";
    case kJ2kWarnOptions: return "Options not understood";
    case kJ2kErrNoProcess: return "No process could be started";
    default: return "Unknown error";
    }
}

int J2K_getLastError()
{
    return t_lastError;
}

const char* J2K_getLastErrorStr()
{
    if (t_lastErrorText.empty())
        t_lastErrorText = J2K_getErrorStr(t_lastError);
    return t_lastErrorText.c_str();
}
