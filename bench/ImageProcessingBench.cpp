// bench-libs: image pkg:MagickWand
// The image library's codecs and processing beside ImageMagick (MagickWand, one thread) on the
// same pictures in the same run. Items are pixels of the source picture.
#include "MagickPicture.h"
#include "image/CPixImage.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// Smooth gradients with some noise, and an alpha plane when asked (a 32-bit picture).
CPixImage MakePicture(bool alpha)
{
    CPixImage image(kWidth, kHeight, 24, kPixTypeUnknown);
    if (alpha)
        image.MakeAlphaPlane();
    unsigned seed = 7;
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = image.RowPointer(y);
        for (int x = 0; x < kWidth; ++x) {
            seed = seed * 1103515245u + 12345u;
            row[3 * x] = static_cast<std::uint8_t>(x / 4 + ((seed >> 16) & 7));
            row[3 * x + 1] = static_cast<std::uint8_t>(y / 3);
            row[3 * x + 2] = static_cast<std::uint8_t>((x + y) / 7);
            image.SetAlphaAt(x, y, static_cast<std::uint8_t>(x ^ y));
        }
    }
    return image;
}

std::vector<std::uint8_t> Encoded(CPixImage& image, std::uint32_t type)
{
    std::uint8_t* buffer = nullptr;
    std::size_t size = 0;
    std::vector<std::uint8_t> out;
    if (image.EncodeToMemory(&buffer, &size, type))
        out.assign(buffer, buffer + size);
    CPixImage::FreeMemory(buffer);
    return out;
}

const std::vector<std::uint8_t>& BmpFile()
{
    static const std::vector<std::uint8_t> bytes = [] {
        CPixImage image = MakePicture(false);
        return Encoded(image, kPixTypeBmp);
    }();
    return bytes;
}

MagickWand* MagickPicture(bool alpha)
{
    return MagickCopyOf(MakePicture(alpha));
}

void Pixels(benchmark::State& state)
{
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

// Times operation(wand) on a fresh clone of ImageMagick's picture each iteration (the clone
// is not timed), since its operations change the picture in place.
template <typename Operation>
void TimeOnMagickClones(benchmark::State& state, bool alpha, Operation operation)
{
    MagickWand* source = MagickPicture(alpha);
    for (auto _ : state) {
        state.PauseTiming();
        MagickWand* wand = CloneMagickWand(source);
        state.ResumeTiming();
        MagickBooleanType ok = operation(wand);
        benchmark::DoNotOptimize(ok);
        state.PauseTiming();
        DestroyMagickWand(wand);
        state.ResumeTiming();
    }
    DestroyMagickWand(source);
    Pixels(state);
}

// Times operation(copy) on a fresh copy of our picture each iteration (the copy is not timed).
template <typename Operation>
void TimeOnCopies(benchmark::State& state, Operation operation)
{
    const CPixImage image = MakePicture(false);
    for (auto _ : state) {
        state.PauseTiming();
        CPixImage work(image);
        state.ResumeTiming();
        bool ok = operation(work);
        benchmark::DoNotOptimize(ok);
    }
    Pixels(state);
}

// ---- BMP decode of a 1024 x 768 24-bit file ----------------------------------------------

void BM_DecodeBmp24(benchmark::State& state)
{
    const std::vector<std::uint8_t>& file = BmpFile();
    for (auto _ : state) {
        CPixImage image(kPixTypeUnknown);
        bool ok = image.DecodeFromMemory(file.data(), file.size(), kPixTypeBmp);
        benchmark::DoNotOptimize(ok);
    }
    Pixels(state);
}
BENCHMARK(BM_DecodeBmp24);

void BM_MagickDecodeBmp24(benchmark::State& state)
{
    StartMagick();
    const std::vector<std::uint8_t>& file = BmpFile();
    for (auto _ : state) {
        MagickWand* wand = NewMagickWand();
        MagickBooleanType ok = MagickReadImageBlob(wand, file.data(), file.size());
        benchmark::DoNotOptimize(ok);
        DestroyMagickWand(wand);
    }
    Pixels(state);
}
BENCHMARK(BM_MagickDecodeBmp24);

// ---- Bilinear resize to half size ---------------------------------------------------------

void BM_ResizeHalfBilinear(benchmark::State& state)
{
    CPixImage image = MakePicture(true);
    for (auto _ : state) {
        CPixImage half(kPixTypeUnknown);
        bool ok = image.ResizeInterpolated(kWidth / 2, kHeight / 2, kInterpBilinear, kOverflowRepeat, &half, true);
        benchmark::DoNotOptimize(ok);
    }
    Pixels(state);
}
BENCHMARK(BM_ResizeHalfBilinear);

void BM_MagickResizeHalfBilinear(benchmark::State& state)
{
    StartMagick();
    MagickWand* source = MagickPicture(true);
    ExceptionInfo* exception = AcquireExceptionInfo();
    for (auto _ : state) {
        Image* half = InterpolativeResizeImage(GetImageFromMagickWand(source), kWidth / 2, kHeight / 2,
                                               BilinearInterpolatePixel, exception);
        benchmark::DoNotOptimize(half);
        DestroyImage(half);
    }
    DestroyExceptionInfo(exception);
    DestroyMagickWand(source);
    Pixels(state);
}
BENCHMARK(BM_MagickResizeHalfBilinear);

// The averaging shrink (every source pixel counts), for comparison with the point sampler.
void BM_ResizeHalfAreaMean(benchmark::State& state)
{
    CPixImage image = MakePicture(true);
    for (auto _ : state) {
        CPixImage half(kPixTypeUnknown);
        bool ok = CPixImage(image).Resize(kWidth / 2, kHeight / 2, 0, &half);
        benchmark::DoNotOptimize(ok);
    }
    Pixels(state);
}
BENCHMARK(BM_ResizeHalfAreaMean);

// ---- 90-degree turn of a 1024 x 768 32-bit picture --------------------------------------

void BM_TurnQuarter32(benchmark::State& state)
{
    CPixImage image = MakePicture(true);
    for (auto _ : state) {
        CPixImage turned(kPixTypeUnknown);
        bool ok = image.RotateQuarterRight(&turned);
        benchmark::DoNotOptimize(ok);
    }
    Pixels(state);
}
BENCHMARK(BM_TurnQuarter32);

void BM_MagickTurnQuarter32(benchmark::State& state)
{
    StartMagick();
    MagickWand* wand = MagickPicture(true);
    PixelWand* background = NewPixelWand();
    for (auto _ : state) {
        MagickBooleanType ok = MagickRotateImage(wand, background, 90);  // in place, the size swaps
        benchmark::DoNotOptimize(ok);
    }
    DestroyPixelWand(background);
    DestroyMagickWand(wand);
    Pixels(state);
}
BENCHMARK(BM_MagickTurnQuarter32);

// ---- 5 x 5 convolution and histogram equalisation of a 1024 x 768 picture -----------------

constexpr int kBlur5[25] = {1, 2, 3, 2, 1, 2, 4, 6, 4, 2, 3, 6, 9, 6, 3, 2, 4, 6, 4, 2, 1, 2, 3, 2, 1};

void BM_Convolve5x5(benchmark::State& state)
{
    TimeOnCopies(state, [](CPixImage& image) { return image.Convolve(kBlur5, 5, 81, 0); });
}
BENCHMARK(BM_Convolve5x5);

void BM_MagickConvolve5x5(benchmark::State& state)
{
    double kernel[25];
    for (int i = 0; i < 25; ++i)
        kernel[i] = kBlur5[i] / 81.0;
    TimeOnMagickClones(state, false, [&kernel](MagickWand* wand) { return MagickConvolveImage(wand, 5, kernel); });
}
BENCHMARK(BM_MagickConvolve5x5);

void BM_EqualizeLevels(benchmark::State& state)
{
    TimeOnCopies(state, [](CPixImage& image) { return image.EqualizeLevels(); });
}
BENCHMARK(BM_EqualizeLevels);

void BM_MagickEqualize(benchmark::State& state)
{
    TimeOnMagickClones(state, false, [](MagickWand* wand) { return MagickEqualizeImage(wand); });
}
BENCHMARK(BM_MagickEqualize);

}  // namespace

BENCHMARK_MAIN();
