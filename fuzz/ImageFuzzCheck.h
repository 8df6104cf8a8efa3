// ImageFuzzCheck.h: decodes one input with one format type the ways the game can meet it (from
// memory and from an open file) and checks that both agree and that the picture is whole.
#pragma once

#include "FuzzSupport.h"
#include "image/CPixImage.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace fuzz {

// Pixels and alpha values read through the public accessors: a wrong size shows up under ASan,
// and the values let two decodes be compared. Large pictures are sampled on a grid that still
// touches the first and the last row and column, or one input could take minutes.
inline std::vector<std::uint8_t> Snapshot(const CPixImage& image)
{
    std::vector<std::uint8_t> out;
    if (!image.HasPixels())
        return out;
    const int w = image.Width(), h = image.Height();
    const int step = static_cast<long long>(w) * h > (1 << 16) ? 1 + std::max(w, h) / 256 : 1;
    auto visit = [&](int x, int y) {
        const PixQuad q = image.PixelColor(x, y, false);
        out.insert(out.end(), {q.blue, q.green, q.red, image.AlphaAt(x, y)});
    };
    for (int y = 0; y < h; y = (y + step < h || y == h - 1) ? y + step : h - 1)
        for (int x = 0; x < w; x = (x + step < w || x == w - 1) ? x + step : w - 1)
            visit(x, y);
    return out;
}

inline void DecodeBothWays(const std::uint8_t* data, std::size_t size, std::uint32_t type)
{
    CPixImage fromMemory(kPixTypeUnknown);
    const bool memoryOk = fromMemory.DecodeFromMemory(data, size, type);

    CPixImage fromFile(kPixTypeUnknown);
    // A real file: a stream over memory (fmemopen) refuses to seek past its end where a file does not.
    const std::string path = Folder() + "/image";
    WriteFile(path, data, size);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        std::abort();
    const bool fileOk = fromFile.DecodeFromHandle(file, type);
    std::fclose(file);
    if (memoryOk != fileOk)
        std::abort();  // a file and the same bytes in memory must decode alike
    if (!memoryOk)
        return;
    const std::vector<std::uint8_t> pixels = Snapshot(fromMemory);
    if (pixels != Snapshot(fromFile))
        std::abort();

    // What the first-run conversion does with a decoded mask: written back as TGA, read again
    // (for pictures of an effect's size: a huge one would only cost time).
    if (static_cast<long long>(fromMemory.Width()) * fromMemory.Height() > (1 << 16))
        return;
    std::uint8_t* encoded = nullptr;
    std::size_t encodedSize = 0;
    if (fromMemory.EncodeToMemory(&encoded, &encodedSize, kPixTypeTga)) {
        CPixImage again(kPixTypeUnknown);
        if (!again.DecodeFromMemory(encoded, encodedSize, kPixTypeTga))
            std::abort();  // our own output must read back
        CPixImage::FreeMemory(encoded);
    }
}

// A GIF's frames asked for in order (each request goes on from the frame before) and then from
// the last down (each starts again from the first frame) must be the same pictures with the same
// transparent index and delay. The first frames only: a long animation would only cost time.
inline void FramesInOrderAgree(const std::uint8_t* data, std::size_t size)
{
    struct Frame {
        bool ok = false;
        std::vector<std::uint8_t> pixels;
        int transIndex = 0;
        std::uint32_t delay = 0;
    };
    auto read = [&](CPixImage& image, int n) {
        image.SetFrame(n);
        Frame frame;
        frame.ok = image.DecodeFromMemory(data, size, kPixTypeGif);
        if (frame.ok) {
            frame.pixels = Snapshot(image);
            frame.transIndex = image.TransparentIndex();
            frame.delay = image.FrameDelay();
        }
        return frame;
    };
    CPixImage first(kPixTypeUnknown);
    const int frames = std::min(read(first, 0).ok ? first.FrameCount() : 0, 6);
    std::vector<Frame> inOrder;
    CPixImage viewer(kPixTypeUnknown);
    for (int n = 0; n < frames; ++n)
        inOrder.push_back(read(viewer, n));
    for (int n = frames - 1; n >= 0; --n) {
        CPixImage alone(kPixTypeUnknown);
        const Frame frame = read(alone, n);
        const Frame& before = inOrder[static_cast<std::size_t>(n)];
        if (frame.ok != before.ok || frame.pixels != before.pixels || frame.transIndex != before.transIndex ||
            frame.delay != before.delay)
            std::abort();
    }
}

}  // namespace fuzz
