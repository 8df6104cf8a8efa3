// CPixColorSpace.h: single colours between RGB and the HSL, YUV, YIQ and XYZ spaces.
#pragma once

#include "image/CPixImage.h"

// A colour-space value travels in the colour record, one component a byte: the first in the
// red place, the second in green, the third in blue, reserved 0. HSL: hue 0..255 (255 = 360
// degrees), saturation, lightness; YUV and YIQ: Y, then U/I and V/Q offset by 128; XYZ: X, Y
// and Z scaled by 0.9184837 to fit a byte.
enum PixColorSpace : std::int32_t {
    kSpaceRgb = 0,  // and any value not listed
    kSpaceHsl = 1,
    kSpaceYuv = 2,
    kSpaceYiq = 3,
    kSpaceXyz = 4,
};

PixQuad RgbToHsl(PixQuad rgb);
PixQuad HslToRgb(PixQuad hsl);
PixQuad HslRefToRgb(std::uint32_t colorRef);  // red in the low byte
PixQuad RgbToYuv(PixQuad rgb);
PixQuad YuvToRgb(PixQuad yuv);
PixQuad RgbToYiq(PixQuad rgb);
PixQuad YiqToRgb(PixQuad yiq);
PixQuad RgbToXyz(PixQuad rgb);
PixQuad XyzToRgb(PixQuad xyz);
float HueComponent(float m1, float m2, float hueDegrees);

// The value of a colour-space record as RGB (kSpaceRgb and unknown spaces: unchanged).
PixQuad SpaceToRgb(PixQuad value, std::int32_t space);
