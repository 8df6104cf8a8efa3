// bench-libs: image GIF pkg:MagickWand
// Decoding a 1024 x 768 photo-like GIF (ours beside giflib's, on the same bytes, in the same run)
// and encoding a 1024 x 1024 32-bit TGA (ours beside ImageMagick's, on the same picture). Items
// are pixels.
#include "MagickPicture.h"
#include "image/CPixImage.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int kSide = 1024;
constexpr int kPhotoWidth = 1024;
constexpr int kPhotoHeight = 768;

// Like a photo cut down to 256 colours: smooth shading under fine grain, so LZW meets mostly
// short strings, as it does on real pictures.
CPixImage MakePhotoLikePicture()
{
    CPixImage image(kPhotoWidth, kPhotoHeight, 8, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < 256; ++i)
        image.SetPaletteEntry(i, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(40 + i * 3 / 4), static_cast<std::uint8_t>(255 - i));
    unsigned seed = 1;
    for (int y = 0; y < kPhotoHeight; ++y) {
        std::uint8_t* row = image.RowPointer(y);
        for (int x = 0; x < kPhotoWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            const double shade = 128.0 + 70.0 * std::sin(x / 97.0) * std::cos(y / 71.0) + 40.0 * std::sin((x + 2 * y) / 37.0);
            const int grain = static_cast<int>((seed >> 16) % 7) - 3;
            row[x] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(shade) + grain, 0, 255));
        }
    }
    return image;
}

const std::vector<std::uint8_t>& GifFile()
{
    static const std::vector<std::uint8_t> bytes = [] {
        CPixImage image = MakePhotoLikePicture();
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

void BM_DecodeGifPhoto(benchmark::State& state)
{
    const std::vector<std::uint8_t>& file = GifFile();
    for (auto _ : state) {
        CPixImage image(kPixTypeUnknown);
        bool ok = image.DecodeFromMemory(file.data(), file.size(), kPixTypeGif);
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * kPhotoWidth * kPhotoHeight);
}
BENCHMARK(BM_DecodeGifPhoto);

void BM_GiflibDecodeGifPhoto(benchmark::State& state)
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
    state.SetItemsProcessed(state.iterations() * kPhotoWidth * kPhotoHeight);
}
BENCHMARK(BM_GiflibDecodeGifPhoto);

// Colour and alpha patterns that change from pixel to pixel, as the converted effect images do.
CPixImage MakeTgaPicture()
{
    CPixImage image(kSide, kSide, 24, kPixTypeUnknown);
    image.MakeAlphaPlane();
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            image.SetPixelColor(x, y, static_cast<std::uint32_t>(x * 3 + (y << 8)));
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(x ^ y));
        }
    return image;
}

void BM_EncodeTga32At1024(benchmark::State& state)
{
    CPixImage image = MakeTgaPicture();
    std::size_t size = 0;
    for (auto _ : state) {
        std::uint8_t* buffer = nullptr;
        bool ok = image.EncodeToMemory(&buffer, &size, kPixTypeTga);
        benchmark::DoNotOptimize(ok);
        CPixImage::FreeMemory(buffer);
    }
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    state.counters["file_bytes"] = static_cast<double>(size);  // the same work as ImageMagick's
}
BENCHMARK(BM_EncodeTga32At1024);

// ImageMagick writes the same picture as an uncompressed 32-bit TGA file in memory.
void BM_MagickEncodeTga32At1024(benchmark::State& state)
{
    MagickWand* wand = MagickCopyOf(MakeTgaPicture());
    MagickSetImageFormat(wand, "TGA");
    MagickSetImageCompression(wand, NoCompression);
    std::size_t size = 0;
    for (auto _ : state) {
        unsigned char* blob = MagickGetImageBlob(wand, &size);
        benchmark::DoNotOptimize(blob);
        MagickRelinquishMemory(blob);
    }
    DestroyMagickWand(wand);
    state.SetItemsProcessed(state.iterations() * kSide * kSide);
    state.counters["file_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_MagickEncodeTga32At1024);

}  // namespace

BENCHMARK_MAIN();
