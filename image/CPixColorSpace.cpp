#include "image/CPixColorSpace.h"

namespace {

std::uint8_t Clamp(float v)
{
    // trunc toward zero, then into the byte range
    const int i = static_cast<int>(v);
    return static_cast<std::uint8_t>(i < 0 ? 0 : i > 255 ? 255 : i);
}

PixQuad Record(std::uint8_t first, std::uint8_t second, std::uint8_t third)
{
    PixQuad q;
    q.red = first;
    q.green = second;
    q.blue = third;
    return q;
}

}  // namespace

PixQuad RgbToYuv(PixQuad c)
{
    const int y = Clamp(0.299f * c.red + 0.587f * c.green + 0.114f * c.blue);
    return Record(static_cast<std::uint8_t>(y), Clamp((c.blue - y) * 0.565f + 128), Clamp((c.red - y) * 0.713f + 128));
}

PixQuad YuvToRgb(PixQuad c)
{
    const float y = c.red, u = c.green - 128.0f, v = c.blue - 128.0f;
    return Record(Clamp(y + 1.403f * v), Clamp(y - 0.344f * u - 0.714f * v), Clamp(y + 1.77f * u));
}

PixQuad RgbToYiq(PixQuad c)
{
    const float r = c.red, g = c.green, b = c.blue;
    return Record(Clamp(0.2992f * r + 0.5868f * g + 0.114f * b), Clamp(0.596f * r - 0.2742f * g - 0.3219f * b + 128),
                  Clamp(0.2109f * r - 0.5229f * g + 0.312f * b + 128));
}

PixQuad YiqToRgb(PixQuad c)
{
    const float y = c.red, i = c.green - 128.0f, q = c.blue - 128.0f;
    return Record(Clamp(y + 0.956f * i + 0.621f * q), Clamp(y - 0.273f * i - 0.647f * q), Clamp(y - 1.104f * i + 1.701f * q));
}

PixQuad RgbToXyz(PixQuad c)
{
    const float r = c.red, g = c.green, b = c.blue;
    return Record(Clamp(0.412453f * r + 0.35758f * g + 0.180423f * b), Clamp(0.212671f * r + 0.71516f * g + 0.072169f * b),
                  Clamp((0.019334f * r + 0.119193f * g + 0.950227f * b) * 0.9184837f));
}

PixQuad XyzToRgb(PixQuad c)
{
    const float x = c.red, y = c.green, z = c.blue * 1.088751f;
    return Record(Clamp(3.240479f * x - 1.53715f * y - 0.498535f * z), Clamp(-0.969256f * x + 1.875992f * y + 0.041556f * z),
                  Clamp(0.055648f * x - 0.204043f * y + 1.057311f * z));
}

PixQuad RgbToHsl(PixQuad c)
{
    const int r = c.red, g = c.green, b = c.blue;
    const int max = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int min = r < g ? (r < b ? r : b) : (g < b ? g : b);
    const int l = ((max + min) * 255 + 255) / 510;
    if (max == min)
        return Record(170, 0, static_cast<std::uint8_t>(l));
    const int sum = max + min, d = max - min;
    const int s = l <= 127 ? (d * 255 + sum / 2) / sum : (d * 255 + (510 - sum) / 2) / (510 - sum);
    const int rd = ((max - r) * 42 + d / 2) / d;
    const int gd = ((max - g) * 42 + d / 2) / d;
    const int bd = ((max - b) * 42 + d / 2) / d;
    const int h = r == max ? bd - gd : g == max ? 85 + rd - bd : 170 + gd - rd;
    return Record(static_cast<std::uint8_t>(h & 255), static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(l));
}

float HueComponent(float m1, float m2, float h)
{
    if (h > 360)
        h -= 360;
    if (h < 0)
        h += 360;
    if (h < 60)
        return m1 + (m2 - m1) * h / 60;
    if (h < 180)
        return m2;
    if (h < 240)
        return m1 + (m2 - m1) * (240 - h) / 60;
    return m1;
}

PixQuad HslToRgb(PixQuad c)
{
    const float h = c.red * 360.0f / 255, s = c.green / 255.0f, l = c.blue / 255.0f;
    if (s == 0) {
        const std::uint8_t v = Clamp(l * 255);
        return Record(v, v, v);
    }
    const float m2 = l <= 0.5f ? l * (1 + s) : l + s - l * s;
    const float m1 = 2 * l - m2;
    return Record(Clamp(HueComponent(m1, m2, h + 120) * 255), Clamp(HueComponent(m1, m2, h) * 255),
                  Clamp(HueComponent(m1, m2, h - 120) * 255));
}

PixQuad HslRefToRgb(std::uint32_t colorRef)
{
    return HslToRgb(CPixImage::RgbToQuad(colorRef));
}

PixQuad SpaceToRgb(PixQuad value, std::int32_t space)
{
    switch (space) {
    case kSpaceHsl: return HslToRgb(value);
    case kSpaceYuv: return YuvToRgb(value);
    case kSpaceYiq: return YiqToRgb(value);
    case kSpaceXyz: return XyzToRgb(value);
    default: return value;
    }
}
