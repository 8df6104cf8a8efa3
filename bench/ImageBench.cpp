// bench-libs: image GIF
// Decoding a 1024 x 1024 GIF (ours beside giflib's, on the same bytes) and encoding a
// 1024 x 1024 32-bit TGA. Items are pixels.
#include "image/CPixImage.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <vector>

namespace {

constexpr int kSide = 1024;

// A picture with smooth areas and noise, so LZW sees both long and short strings.
CPixImage MakePalettePicture()
{
    CPixImage image(kSide, kSide, 8, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < 256; ++i)
        image.SetPaletteEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7));
    unsigned seed = 1;
    for (int y = 0; y < kSide; ++y) {
        std::uint8_t* row = image.RowPointer(y);
        for (int x = 0; x < kSide; ++x) {
            seed = seed * 1103515245u + 12345u;
            row[x] = static_cast<std::uint8_t>(((x / 16 + y / 16) * 9 + ((seed >> 16) & 3)) & 255);
        }
    }
    return image;
}

const std::vector<std::uint8_t>& GifFile()
{
    static const std::vector<std::uint8_t> bytes = [] {
        CPixImage image = MakePalettePicture();
        std::uint8_t* buffer = nullptr;
        std::size_t size = 0;
        std::vector<std::uint8_t> out;
        if (image.EncodeToMemory(&buffer, &size, kPixTypeGif))
            out.assign(buffer, buffer + size);
        CPixImage::FreeMemory(buffer);
        return out;
    }();
    return bytes;
}

struct GifReader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t pos;
};

int ReadGifBytes(GifFileType* gif, GifByteType* out, int count)
{
    auto* in = static_cast<GifReader*>(gif->UserData);
    const std::size_t left = in->bytes->size() - in->pos;
    const std::size_t n = static_cast<std::size_t>(count) < left ? static_cast<std::size_t>(count) : left;
    std::memcpy(out, in->bytes->data() + in->pos, n);
    in->pos += n;
    return static_cast<int>(n);
}

void BM_DecodeGif1024(benchmark::State& state)
{
    const std::vector<std::uint8_t>& file = GifFile();
    for (auto _ : state) {
        CPixImage image(kPixTypeUnknown);
        bool ok = image.DecodeFromMemory(file.data(), file.size(), kPixTypeGif);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_DecodeGif1024);

void BM_GiflibDecodeGif1024(benchmark::State& state)
{
    const std::vector<std::uint8_t>& file = GifFile();
    for (auto _ : state) {
        GifReader reader{&file, 0};
        int error = 0;
        GifFileType* gif = DGifOpen(&reader, ReadGifBytes, &error);
        int ok = gif != nullptr ? DGifSlurp(gif) : GIF_ERROR;
        benchmark::DoNotOptimize(ok);
        if (gif != nullptr)
            DGifCloseFile(gif, &error);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_GiflibDecodeGif1024);

void BM_EncodeTga32At1024(benchmark::State& state)
{
    CPixImage image(kSide, kSide, 24, kPixTypeUnknown);
    image.MakeAlphaPlane();
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            image.SetPixelColor(x, y, static_cast<std::uint32_t>(x * 3 + (y << 8)));
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(x ^ y));
        }
    for (auto _ : state) {
        std::uint8_t* buffer = nullptr;
        std::size_t size = 0;
        bool ok = image.EncodeToMemory(&buffer, &size, kPixTypeTga);
        benchmark::DoNotOptimize(ok);
        CPixImage::FreeMemory(buffer);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
}
BENCHMARK(BM_EncodeTga32At1024);

}  // namespace

BENCHMARK_MAIN();
