// ImageOpsFuzzer.cpp: the image library's processing operations with argument values taken raw
// from the input (any int, any float bit pattern: NaN, infinities, the ends of the int range) on
// a small picture whose depth, alpha plane, selection and transparency the input also sets.
// Nothing may overflow, read outside a buffer or stop the process. A few arguments ask for work
// in proportion to their value (an output size, a count of passes, a window): where the library
// would do that work, a value beyond a small budget is skipped, so an input costs milliseconds;
// values it must refuse (negative, zero, past its limits) are always passed.
#include "image/CPixImage.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Reads values from the front of the input; an exhausted input gives zeros.
class Args {
public:
    Args(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}
    bool Empty() const { return m_nPos >= m_nSize; }
    std::uint8_t Byte() { return m_nPos < m_nSize ? m_pData[m_nPos++] : 0; }
    bool Bool() { return (Byte() & 1) != 0; }
    std::uint32_t U32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        return v;
    }
    int Int() { return static_cast<int>(U32()); }
    float Float()
    {
        const std::uint32_t bits = U32();
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    PixQuad Quad() { return PixQuad{Byte(), Byte(), Byte(), Byte()}; }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nPos = 0;
};

constexpr long long kPixelBudget = 1 << 12;  // pixels of an output the fuzzer lets be made

// An output of w x h that the library would make, but that costs more than the budget.
bool CostlyOutput(long long w, long long h)
{
    const long long most = static_cast<long long>(CPIX_MAX_MEMORY);
    return w > 0 && h > 0 && w <= most && h <= most && w * h > kPixelBudget && w * h <= most;
}

CPixImage Picture(Args& in)
{
    static const int kDepths[] = {1, 4, 8, 24};
    const int bpp = kDepths[in.Byte() & 3];
    const int w = 1 + in.Byte() % 20, h = 1 + in.Byte() % 20;
    CPixImage image(w, h, bpp, kPixTypeUnknown);
    for (std::uint32_t i = 0; i < image.ColorCount(); ++i)
        image.SetPaletteEntry(i, static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 11),
                              static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i & 3));
    const std::uint8_t options = in.Byte();
    if ((options & 1) != 0)
        image.MakeAlphaPlane();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.SetPixelColor(x, y, PixQuad{static_cast<std::uint8_t>(x * 13), static_cast<std::uint8_t>(y * 29),
                                              static_cast<std::uint8_t>(x * y), static_cast<std::uint8_t>(x + y)},
                                true);
        }
    }
    if ((options & 2) != 0) {
        const int x1 = in.Byte() % 24, y1 = in.Byte() % 24, x2 = in.Byte() % 24, y2 = in.Byte() % 24;
        image.SelectRect(x1, y1, x2, y2);
    }
    if ((options & 4) != 0)
        image.SetTransparentIndex(in.Int());
    if ((options & 8) != 0)
        image.SetTransparentColor(in.Quad());
    return image;
}

void Apply(CPixImage& image, const CPixImage& other, int op, Args& in)
{
    CPixImage out(kPixTypeUnknown);
    const PixQuad fill = in.Quad();
    switch (op) {
    case 0: {
        const int x = in.Int(), y = in.Int();
        image.SetXDpi(x);
        image.SetYDpi(y);
        break;
    }
    case 1: {
        const int b = in.Int(), c = in.Int();
        image.BrightnessContrast(b, c);
        break;
    }
    case 2: image.GammaCorrect(in.Float()); break;
    case 3: {
        const int r = in.Int(), g = in.Int(), b = in.Int();
        image.ShiftChannels(r, g, b);
        break;
    }
    case 4: image.AddNoise(in.Int()); break;
    case 5: {
        const int size = static_cast<int>(in.Byte() % 8) - 1;  // the caller's kernel holds size x size
        const int divisor = in.Int(), offset = in.Int();
        std::vector<int> kernel(64);
        for (int& k : kernel)
            k = in.Int();
        image.Convolve(kernel.data(), size, divisor, offset);
        break;
    }
    case 6: {
        const int size = in.Int();
        if (size > 5 && size <= 255)
            break;  // a window the library takes, of size x size samples per pixel
        const int which = in.Byte() % 4;
        if (which == 0)
            image.ErodeFilter(size);
        else if (which == 1)
            image.DilateFilter(size);
        else if (which == 2)
            image.EdgeFilter(size);
        else
            image.MiddleRankFilter(size);
        break;
    }
    case 7: image.JitterFilter(in.Int()); break;
    case 8: {
        const int dx = in.Int(), dy = in.Int();
        image.PasteOpaque(other, dx, dy);
        break;
    }
    case 9: {
        const int mixOp = in.Int(), dx = in.Int(), dy = in.Int();
        image.MixImage(other, mixOp, dx, dy, in.Bool());
        break;
    }
    case 10: {
        const float radius = in.Float(), amount = in.Float();
        image.UnsharpMask(radius, amount, in.Int());
        break;
    }
    case 11: {
        const float x = in.Float(), y = in.Float(), w = in.Float(), h = in.Float();
        const auto method = static_cast<InterpolationMode>(in.Int());
        const auto mode = static_cast<OverflowMode>(in.Int());
        (void)image.SampleArea(x, y, w, h, method, mode, in.Bool() ? &fill : nullptr);
        (void)image.SampleAt(x, y, method, mode, &fill);
        int ix = in.Int(), iy = in.Int();
        (void)image.PixelColorBeyond(ix, iy, mode, &fill);
        image.ApplyOverflow(ix, iy, mode);
        float fx = w, fy = h;
        image.ApplyOverflow(fx, fy, mode);
        break;
    }
    case 12: {
        const int x1 = in.Int(), y1 = in.Int(), x2 = in.Int(), y2 = in.Int();
        if (in.Bool())
            image.SelectEllipse(x1, y1, x2, y2);
        else
            image.SelectRect(x1, y1, x2, y2);
        image.SelectPixel(x2, y1);
        break;
    }
    case 13: {
        PixPoint points[6];
        const int count = in.Byte() % 7;
        for (int i = 0; i < count; ++i)
            points[i] = PixPoint{in.Int(), in.Int()};
        image.SelectPolygon(points, count);
        break;
    }
    case 14: {
        const int x1 = in.Int(), x2 = in.Int(), y1 = in.Int(), y2 = in.Int();
        image.DrawLine(x1, x2, y1, y2, in.U32());
        const float blend = in.Float();
        image.BlendPixelColor(x1, y1, fill, blend, in.Bool());
        break;
    }
    case 15: {
        const float degrees = in.Float();
        const auto method = static_cast<InterpolationMode>(in.Int());
        const auto mode = static_cast<OverflowMode>(in.Int());
        const bool keep = in.Bool();
        image.RotateInterpolated(degrees, &out, method, mode, &fill, in.Bool(), keep);
        image.RotateNearest(degrees, &out);
        break;
    }
    case 16: {
        const float xGain = in.Float(), yGain = in.Float();
        const int xPivot = in.Int(), yPivot = in.Int();
        image.Shear(xGain, yGain, xPivot, yPivot, in.Bool());
        break;
    }
    case 17: {
        const int kind = in.Int(), radius = in.Int();
        image.RadialDistort(kind, radius, in.Float());
        break;
    }
    case 18: {
        const int w = in.Int(), h = in.Int(), mode = in.Int();
        if (CostlyOutput(w, h))
            break;
        const int which = in.Byte() % 3;
        const auto overflow = static_cast<OverflowMode>(in.Int());
        if (which == 0)
            image.Resize(w, h, mode, &out);
        else if (which == 1)
            image.ResizeInterpolated(w, h, static_cast<InterpolationMode>(mode), overflow, &out, in.Bool());
        else
            image.QIShrink(w, h, &out);
        break;
    }
    case 19: {
        const int left = in.Int(), top = in.Int(), right = in.Int(), bottom = in.Int();
        const float radians = in.Float();
        image.CropRect(left, top, right, bottom, &out);
        image.CropRotated(left, top, right, bottom, radians, &out);
        break;
    }
    case 20: {
        const int left = in.Int(), top = in.Int(), right = in.Int(), bottom = in.Int();
        const long long w = static_cast<long long>(image.Width()) + left + right;
        const long long h = static_cast<long long>(image.Height()) + top + bottom;
        if (left >= 0 && top >= 0 && right >= 0 && bottom >= 0 && CostlyOutput(w, h))
            break;
        image.ExpandBorders(left, top, right, bottom, fill, &out);
        break;
    }
    case 21: {
        const int w = in.Int(), h = in.Int();
        if (CostlyOutput(w, h))
            break;
        if (in.Bool())
            image.ExpandTo(w, h, fill, &out);
        else
            image.FitThumbnail(w, h, fill, &out);
        break;
    }
    case 22: {
        const int bits = in.Int();
        const bool increase = in.Bool(), diffuse = in.Bool(), palette = in.Bool();
        if (increase)
            image.IncreaseBitDepth(bits);
        std::vector<PixQuad> colours(256, fill);  // the caller's palette holds 2^bits entries
        if (!increase)
            image.DecreaseBitDepth(bits, diffuse, palette ? colours.data() : nullptr, in.U32());
        image.DitherToMonochrome(in.Int());
        break;
    }
    case 23: {
        const std::uint8_t hue = in.Byte(), saturation = in.Byte();
        const float v = in.Float();
        image.Tint(hue, saturation, v);
        image.SetHuePalette(v);
        CPixImage channel(image.Width(), image.Height(), 8, kPixTypeUnknown);
        channel.SetGreyPalette();
        image.SmoothChannel(&channel, in.Float());
        break;
    }
    case 24: {
        const float radius = in.Float();
        const int iterations = in.Int();
        if (iterations > 2)
            break;  // passes over every channel, each as costly as SmoothChannel
        image.SmoothByCurvature(radius, iterations, in.Int());
        break;
    }
    case 25: {
        const std::uint32_t packed = in.U32();
        image.BlendPalette(packed, in.Int());
        image.SetImportantColors(in.U32());
        const std::uint8_t a = in.Byte(), b = in.Byte();
        image.SwapIndex(a, b);
        (void)image.NearestIndex(fill);
        break;
    }
    case 26: {
        std::int32_t red[256], green[256], blue[256], grey[256];
        (void)image.Histogram(red, green, blue, grey, in.Int());
        image.StretchLevels(in.Int());
        break;
    }
    case 27: {
        CPixImage a(kPixTypeUnknown), b(kPixTypeUnknown), c(kPixTypeUnknown), d(kPixTypeUnknown);
        image.SplitRgb(&a, &b, &c);
        const bool alpha = in.Bool();
        image.CombineChannels(&a, &b, &c, alpha ? &d : nullptr, in.Int());
        break;
    }
    case 28: {
        CPixImage re(image, true, false, false), im(kPixTypeUnknown);
        re.ToGreyScale();
        const int dir = in.Int();
        const bool force = in.Bool();
        CPixImage::FourierTransform(&re, nullptr, &re, &im, dir, force, in.Bool());
        break;
    }
    case 29: {
        const int position = in.Int();
        image.CreateLayer(position);
        (void)image.Layer(in.Int());
        image.DeleteLayer(in.Int());
        const std::uint32_t option = in.U32();
        image.SetCodecOption(option, in.U32());
        (void)image.CodecOption(in.U32());
        break;
    }
    case 30: {
        const int x = in.Int(), y = in.Int();
        image.SetPixelIndex(x, y, in.Byte());
        image.SetAlphaAt(x, y, in.Byte());
        (void)image.PixelIndex(x, y);
        (void)image.GreyLevelAt(x, y);
        (void)image.IsTransparentAt(x, y);
        (void)image.AlphaPointer(x, y);
        (void)image.PixelPointer(x, y);
        (void)image.RowPointer(x);
        break;
    }
    default: image.ToMonochrome(in.Byte()); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Args in(data, size);
    CPixImage image = Picture(in);
    const CPixImage other = Picture(in);
    for (int step = 0; step < 6 && !in.Empty(); ++step)
        Apply(image, other, in.Byte() % 32, in);
    return 0;
}
