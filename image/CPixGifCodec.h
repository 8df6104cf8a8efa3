// CPixGifCodec.h: reads and writes GIF (87a/89a) files for CPixImage.
#pragma once

#include "image/CPixGifCanvas.h"
#include "image/CPixImage.h"
#include "platform/files/HostFiles.h"

#include <cstdint>
#include <memory>
#include <vector>

struct PixGifWriteSettings;

// Pixels a whole GIF decode may create, fill, decode and draw, over all its frames, whatever
// data the file holds; and the further pixels each byte of the frames' image data pays for. A
// file that declares large frames with little data (the attack) stays within the first; real
// pictures bring their data, and no byte of LZW codes yields more than about 2,700 pixels (a
// flat 4096 x 4096 picture is about 14 KB).
constexpr std::uint64_t kGifMaxDecodeWork = std::uint64_t{1} << 26;
constexpr std::uint64_t kGifWorkPerDataByte = 4096;

// A short-lived codec object (one call). Decoding reads the frame the image's frame field names,
// drawn over what the frames before it leave on the logical screen, as the file's disposal methods
// say (CPixGifCanvas): a palette image of the screen's size while the frames drawn use one colour
// table and transparent index, else a 24-bit one (with an alpha plane where a frame is
// transparent). A frame reaching past the screen is drawn where it overlaps it, and counted.
// What one decode composed is kept (one picture per thread, while later frames remain), and a
// later request of the same bytes for a later frame goes on from it instead of from the first
// frame: reading every frame in order costs each frame once, from a file or from memory. "The same
// bytes": the same source (a file's identity, a block's size), header and global table, the same
// bytes where the last decode read its frames, and the next frames where the count found them; a
// request that finds anything else there (the end of the file, another block) is answered as if
// nothing had been kept. A change that keeps all of these (bytes of earlier frames changed in
// place in a block of memory, or in a file through a shared writable map, which the system need
// not stamp on the file's times) is not seen by a request for a later frame; a request for the
// first frame, or any frame not after the last one read, sees it.
// Encoding writes palette images (LZW, plain codes or runs), true-colour images as tiles of
// 17 x 15 pixels with their own tables, and several images as one animation.
// Every table, buffer and row write is bounded, so corrupt files only end decoding early, and the
// whole decode is bounded before it starts: the frames it would read and the one canvas they are
// drawn on may not add up to more than kGifMaxDecodeWork pixels plus kGifWorkPerDataByte for
// each byte of their data, nor hold more than CPIX_MAX_MEMORY bytes at once. The LZW data goes
// to CPixGifLzwDecoder, the writing to CPixGifEncoder.
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
        int background = 0;                        // index; 0 without a global table
        std::vector<std::uint8_t> table;           // red, green, blue triples; empty without one
    };
    // What counting found of each frame: where it lies in the file and what it costs.
    struct FrameRecord {
        long at = 0;                               // its image descriptor, from the start
        long end = 0;                              // just past its data
        std::uint64_t area = 0;                    // pixels of the frame
        std::uint64_t dataBytes = 0;               // and the bytes of its image data
        int disposal = 0;
    };
    struct FrameScan {
        int count = 0;
        int firstWidth = 0, firstHeight = 0;
        std::vector<FrameRecord> frames;
        bool indexed = true;                       // the canvas stays a palette picture (CPixGifCanvas::Fits)
        bool anyTransparency = false;
    };
    struct ImageBlock {                            // an image descriptor
        int left = 0, top = 0, width = 0, height = 0, flags = 0;
    };
    // What a graphic control record said for the image after it.
    struct Control {
        int trans = -1;
        int disposal = 0;
        std::uint16_t delay = 0;
    };
    // What the frames read so far leave for the next one.
    struct Composition {
        bool trueColour = false;                   // the frames may turn the picture to colour
        bool verify = false;                       // going on from a kept point: each frame is checked against the count
        bool mismatch = false;                     // and one was not where the count found it
        int frameToRead = 0;
        int frameIndex = 0;
        long base = 0;                             // where the frames begin in the stream
        Control last;                              // of the last frame read
        CPixGifCanvas canvas;                      // every frame is drawn on it
    };
    // Where a decode's bytes come from, and what tells them from others: a file whose times
    // show any later change by its identity; a file changed a moment ago, whose times may not, by
    // its identity and a hash of every byte after the global table (made when it is needed);
    // a block of memory, or any other stream, by its size.
    enum class Source { SettledFile, RecentFile, Other };
    // One decode's input: where its bytes come from, its header and global table, the frame asked for.
    struct Request {
        long start = 0;
        Source source = Source::Other;
        host_files::OpenFileIdentity identity;
        long size = 0;                             // of an Other stream
        bool hashed = false;
        std::uint64_t hash = 0;
        std::vector<std::uint8_t> header;
        int frame = 0;
    };
    // What the codec has read from the file's extensions so far.
    struct Settings {
        int loopCount = 0;
        char comment[256] = {};
    };
    // Where a decode stopped, for a later request of the same bytes to go on from. Beside what
    // tells its source, the bytes that decode read for its frames must be the same again: the
    // check costs what the reading did, so that walking the frames in order costs each once.
    struct ResumePoint {
        Request request;
        FrameScan scan;
        Composition comp;                          // the canvas after the frame read, and its state
        long read = 0;                             // where that decode's frames began, from the start
        long next = 0;                             // where the next blocks begin, from the start
        std::uint64_t readHash = 0;                // of the bytes from read to next
        Settings settings;
    };
    enum class Found { Image, End, Escaped };
    enum class Step { Next, Done, Failed };

    // Walks past extensions and stray bytes (after one, up to the next zero) to the next image
    // descriptor and reads it. Escaped only when honourEscape and the caller set one.
    Found NextImage(CPixStream* stream, ImageBlock& block, bool honourEscape);
    FrameScan CountFrames(CPixStream* stream, const Screen& screen);
    // Counts the frames, unless the kept point is of the same bytes; true when this request can
    // go on from the kept point.
    bool CountOrResume(CPixStream* stream, const Screen& screen, Request& request, ResumePoint* point, FrameScan& scan);
    static Source SourceOf(CPixStream* stream, host_files::OpenFileIdentity& identity);
    static bool CanGoOn(CPixStream* stream, const ResumePoint* point, Request& request);
    static bool HashRequest(CPixStream* stream, Request& request);  // false when it cannot be made
    // Reads up to the frame asked for, from the first frame or from the kept point.
    Step DecodeFrames(CPixStream* stream, const Screen& screen, const FrameScan& scan, ResumePoint* point,
                      Composition& comp, long start, long& read);
    bool GoOnFrom(ResumePoint& point, CPixStream* stream, Composition& comp);
    void KeepResumePoint(CPixStream* stream, Request& request, FrameScan& scan, const Composition& comp, long read);
    Settings SaveSettings() const;
    void RestoreSettings(const Settings& settings);
    static std::unique_ptr<ResumePoint>& ResumeSlot();  // this thread's
    bool WithinBudget(const Screen& screen, const FrameScan& scan, const Composition& comp);
    bool ReadExtension(CPixStream* stream);
    bool ReadGraphicControl(CPixStream* stream);
    void ReadComment(CPixStream* stream);
    void ReadApplication(CPixStream* stream);
    Control TakeControl();                         // the record for the image just found, if one came before it
    bool ReadTable(CPixStream* stream, int flags, std::vector<std::uint8_t>& table);
    bool ReadScreen(CPixStream* stream, Request& request, Screen& screen);
    bool ReadFrames(CPixStream* stream, const Screen& screen, const FrameScan& scan, Composition& comp);
    Step ReadFrame(CPixStream* stream, const Screen& screen, const FrameScan& scan, Composition& comp);
    bool DecodeFrame(CPixStream* stream, const ImageBlock& block, const std::vector<std::uint8_t>& table, int trans);
    bool Finish(Composition& comp);
    PixGifWriteSettings WriteSettings() const;

    // Graphic control record as in the file, and whether one came since the last image.
    std::uint8_t m_gcFlags = 0;
    std::uint16_t m_gcDelay = 0;
    std::uint8_t m_gcTransIndex = 0;
    bool m_bControlPending = false;

    char m_comment[256] = {};
    int m_nLoopCount = 0;
    int m_nDisposal = 0;
};
