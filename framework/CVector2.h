// CVector2.h: a 2D float vector for particles and motion, and the fast inverse square root
// that its normalisation uses (an approximation: particles tolerate it, exact tests do not).
#pragma once

// About 1 / sqrt(x) (0.2% low at most), from a bit trick and one refinement step.
float InvSqrt(float x);

class CVector2 {
public:
    float x = 0.0f;
    float y = 0.0f;

    CVector2() = default;
    CVector2(float vx, float vy) : x(vx), y(vy) {}

    CVector2 operator+(const CVector2& v) const { return CVector2(x + v.x, y + v.y); }
    CVector2 operator-(const CVector2& v) const { return CVector2(x - v.x, y - v.y); }
    CVector2 operator*(float scale) const { return CVector2(x * scale, y * scale); }
    CVector2& operator+=(const CVector2& v)
    {
        x += v.x;
        y += v.y;
        return *this;
    }
    CVector2& operator*=(float scale)
    {
        x *= scale;
        y *= scale;
        return *this;
    }

    float Dot(const CVector2& v) const { return x * v.x + y * v.y; }
    CVector2& Normalize();                  // to about unit length (InvSqrt)
    float Angle() const;                    // atan2(y, x), radians
    float Angle(const CVector2* v) const;   // angle between both directions, 0..pi; null: Angle()
    CVector2& Rotate(float angle);          // counter-clockwise in a y-up frame, radians
};
