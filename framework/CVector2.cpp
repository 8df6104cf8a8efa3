#include "framework/CVector2.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

float InvSqrt(float x)
{
    std::int32_t i = 0;
    std::memcpy(&i, &x, sizeof i);
    i = 0x5F3759DF - (i >> 1);
    float y = 0.0f;
    std::memcpy(&y, &i, sizeof y);
    // Particle paths depend on these exact results: keep 0.4999 (not 0.5) and the single step.
    return y * (1.5f - 0.4999f * x * y * y);
}

CVector2& CVector2::Normalize()
{
    const float scale = InvSqrt(Dot(*this));
    x *= scale;
    y *= scale;
    return *this;
}

float CVector2::Angle() const
{
    return std::atan2(y, x);
}

float CVector2::Angle(const CVector2* v) const
{
    if (v == nullptr)
        return Angle();
    CVector2 a = *this;
    CVector2 b = *v;
    // The approximate normalisation can leave the product a hair past +-1, where acos has no value.
    const float cosine = std::clamp(a.Normalize().Dot(b.Normalize()), -1.0f, 1.0f);
    return std::acos(cosine);
}

CVector2& CVector2::Rotate(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float rx = x * c - y * s;
    const float ry = x * s + y * c;
    x = rx;
    y = ry;
    return *this;
}
