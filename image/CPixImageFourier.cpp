// Two-dimensional Fourier transform of 8-bit grey images.
#include "image/CPixImage.h"

#include <cmath>
#include <complex>
#include <vector>

namespace {

using Complex = std::complex<double>;

bool IsPowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

int NextPowerOfTwo(int n)
{
    int p = 1;
    while (p < n && p < (1 << 30))
        p <<= 1;
    return p;
}

// Radix-2 decimation in time, twiddles by the half-angle recurrence; dir 1 also divides by n.
void Fft(Complex* line, int n, int dir)
{
    for (int i = 0, j = 0; i < n - 1; ++i) {
        if (i < j)
            std::swap(line[i], line[j]);
        int k = n >> 1;
        while (k <= j) {
            j -= k;
            k >>= 1;
        }
        j += k;
    }
    double c1 = -1, c2 = 0;
    for (int l2 = 1; l2 < n; l2 <<= 1) {
        const int l1 = l2 << 1;
        double u1 = 1, u2 = 0;
        for (int j = 0; j < l2; ++j) {
            for (int i = j; i < n; i += l1) {
                const Complex t(u1 * line[i + l2].real() - u2 * line[i + l2].imag(),
                                u1 * line[i + l2].imag() + u2 * line[i + l2].real());
                line[i + l2] = line[i] - t;
                line[i] += t;
            }
            const double z = u1 * c1 - u2 * c2;
            u2 = u1 * c2 + u2 * c1;
            u1 = z;
        }
        c2 = std::sqrt((1 - c1) / 2);
        if (dir == 1)
            c2 = -c2;
        c1 = std::sqrt((1 + c1) / 2);
    }
    if (dir == 1) {
        for (int i = 0; i < n; ++i)
            line[i] /= n;
    }
}

void Dft(Complex* line, int n, int dir)
{
    std::vector<Complex> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double arg = -static_cast<double>(dir) * 2 * 3.1415927410125732 * i / n;  // any int dir
        Complex sum = 0;
        for (int k = 0; k < n; ++k)
            sum += line[k] * Complex(std::cos(k * arg), std::sin(k * arg));
        out[static_cast<std::size_t>(i)] = dir == 1 ? sum / static_cast<double>(n) : sum;
    }
    std::copy(out.begin(), out.end(), line);
}

void Transform(Complex* line, int n, int dir)
{
    if (IsPowerOfTwo(n))
        Fft(line, n, dir);
    else
        Dft(line, n, dir);
}

std::uint8_t ClampTrunc(double v)
{
    if (!(v > 0))
        return 0;
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

// The image one side of the transform works on: the destination (a copy of the source when
// both are given), else the source, else a temporary grey image.
// A side without a source starts as a grey image of zeros (the destination when given).
CPixImage* WorkingImage(CPixImage* source, CPixImage* destination, CPixImage& temporary, int w, int h)
{
    if (source != nullptr && destination != nullptr) {
        if (source != destination)
            destination->CopyFrom(*source, true, false, false);
        return destination;
    }
    if (source != nullptr)
        return source;
    CPixImage* blank = destination != nullptr ? destination : &temporary;
    if (blank->Create(w, h, 8, kPixTypeUnknown) == nullptr)
        return nullptr;
    blank->SetGreyPalette();
    blank->FillBits(0);
    return blank;
}

bool Prepare(CPixImage* image, int w, int h)
{
    if (image == nullptr || !image->HasPixels())
        return false;
    if (!(image->Bpp() == 8 && image->IsGreyPalette()) && !image->ToGreyScale())
        return false;
    return image->Resize(w, h, 0) && image->HasPixels();
}

}  // namespace

bool CPixImage::FourierTransform(CPixImage* sourceRe, CPixImage* sourceIm, CPixImage* destRe, CPixImage* destIm, int dir,
                                 bool forcePowersOfTwo, bool magnitude)
{
    const CPixImage* sized = sourceRe != nullptr ? sourceRe : sourceIm;
    if (sized == nullptr || !sized->HasPixels())
        return false;
    int w = sized->Width(), h = sized->Height();
    if (forcePowersOfTwo && (!IsPowerOfTwo(w) || !IsPowerOfTwo(h))) {
        w = NextPowerOfTwo(w);
        h = NextPowerOfTwo(h);
    }
    CPixImage temporaryRe(kPixTypeUnknown), temporaryIm(kPixTypeUnknown);
    CPixImage* re = WorkingImage(sourceRe, destRe, temporaryRe, w, h);
    CPixImage* im = WorkingImage(sourceIm, destIm, temporaryIm, w, h);
    if (!Prepare(re, w, h) || !Prepare(im, w, h))
        return false;
    const std::size_t cells = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    if (cells * sizeof(Complex) > 4 * CPIX_MAX_MEMORY)
        return false;
    std::vector<Complex> grid(cells);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            grid[static_cast<std::size_t>(y) * w + x] = Complex(re->PixelIndex(x, y) - 128.0, im->PixelIndex(x, y) - 128.0);
    for (int y = 0; y < h; ++y)
        Transform(&grid[static_cast<std::size_t>(y) * w], w, dir);
    std::vector<Complex> column(static_cast<std::size_t>(h));
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            column[static_cast<std::size_t>(y)] = grid[static_cast<std::size_t>(y) * w + x];
        Transform(column.data(), h, dir);
        for (int y = 0; y < h; ++y)
            grid[static_cast<std::size_t>(y) * w + x] = column[static_cast<std::size_t>(y)];
    }
    double fac = std::pow(2.0, std::log(static_cast<double>(std::max(w, h))) / std::log(2.0) - 4);
    if (dir == -1)
        fac = 1 / fac;
    if (magnitude)
        fac *= 4;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Complex z = grid[static_cast<std::size_t>(y) * w + x];
            if (!magnitude) {
                re->SetPixelIndex(x, y, ClampTrunc(fac * z.real() + 128));
                im->SetPixelIndex(x, y, ClampTrunc(fac * z.imag() + 128));
                continue;
            }
            const double real = z.real() == 0 ? 1e-10 : z.real();
            re->SetPixelIndex(x, y, ClampTrunc((std::log(std::abs(z)) + 3) * fac));
            im->SetPixelIndex(x, y, ClampTrunc(std::atan(z.imag() / real) * fac + 128));
        }
    }
    return true;
}
