#include "image/CPixKernels.h"

#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;

float PositiveCube(float t)
{
    return t > 0 ? t * t * t : 0;
}

float Sinc(float x)
{
    const float a = kPi * x;
    return std::sin(a) / a;
}

// Horner's rule over coefficients listed from degree 0 up.
template <int N>
double Polynomial(const double (&c)[N], double x)
{
    double sum = c[N - 1];
    for (int i = N - 2; i >= 0; --i)
        sum = sum * x + c[i];
    return sum;
}

}  // namespace

float CubicBSplineWeight(float x)
{
    if (x > 2)
        return 0;
    return (PositiveCube(x + 2) - 4 * PositiveCube(x + 1) + 6 * PositiveCube(x) - 4 * PositiveCube(x - 1)) * 0.16666667f;
}

float CubicWeight(float x)
{
    const float t = std::fabs(x);
    if (t < 1)
        return 1 - 2 * t * t + t * t * t;
    if (t < 2)
        return 4 - 8 * t + 5 * t * t - t * t * t;
    return 0;
}

float GeneralCubicWeight(float x, float a)
{
    const float t = std::fabs(x);
    if (t < 1)
        return (a + 2) * t * t * t - (a + 3) * t * t + 1;
    if (t < 2)
        return a * t * t * t - 5 * a * t * t + 8 * a * t - 4 * a;
    return 0;
}

float LanczosWeight(float x, float radius)
{
    if (std::fabs(x) > radius)
        return 0;
    if (x == 0)
        return 1;
    return Sinc(x) * Sinc(x / radius);
}

float BoxWeight(float x)
{
    if (x < -0.5f)
        return 0;
    return x < 0.5f ? 1 : 0;
}

float HermiteWeight(float x)
{
    if (x < -1)
        return 0;
    if (x < 0)
        return (-2 * x - 3) * x * x + 1;
    if (x < 1)
        return (2 * x - 3) * x * x + 1;
    return 0;
}

float HammingWeight(float x)
{
    if (x < -1)
        return 0;
    if (x < 0)
        return 0.92f * (-2 * x - 3) * x * x + 1;
    if (x < 1)
        return 0.92f * (2 * x - 3) * x * x + 1;
    return 0;
}

float SincWeight(float x)
{
    return x == 0 ? 1 : Sinc(x);
}

float BlackmanWeight(float x)
{
    return 0.42f + 0.5f * std::cos(kPi * x) + 0.08f * std::cos(6.2831855f * x);
}

float BesselWeight(float x)
{
    if (x == 0)
        return 0.7853982f;
    return static_cast<float>(BesselFirstOrder(kPi * x) / (2 * x));
}

float GaussianWeight(float x)
{
    return std::exp(-2 * x * x) * 0.7978846f;
}

float QuadraticWeight(float x)
{
    if (x < -1.5f)
        return 0;
    if (x < -0.5f)
        return 0.5f * (x + 1.5f) * (x + 1.5f);
    if (x < 0.5f)
        return 0.75f - x * x;
    if (x < 1.5f)
        return 0.5f * (x - 1.5f) * (x - 1.5f);
    return 0;
}

float MitchellWeight(float x)
{
    if (x < -2)
        return 0;
    if (x < -1)
        return 1.7777778f - (-3.3333333f - (2 + 0.3888889f * x) * x) * x;
    if (x < 0)
        return x * x * (-2 - 1.1666666f * x) + 0.8888889f;
    if (x < 1)
        return x * x * (1.1666666f * x - 2) + 0.8888889f;
    if (x < 2)
        return ((-0.3888889f * x + 2) * x - 3.3333333f) * x + 1.7777778f;
    return 0;
}

float CatmullRomWeight(float x)
{
    if (x < -2)
        return 0;
    if (x < -1)
        return 0.5f * (((5 + x) * x + 8) * x + 4);
    if (x < 0)
        return 0.5f * (x * x * (-5 - 3 * x) + 2);
    if (x < 1)
        return 0.5f * (x * x * (3 * x - 5) + 2);
    if (x < 2)
        return 0.5f * (((5 - x) * x - 8) * x + 4);
    return 0;
}

float TriangleWeight(float x)
{
    if (x < -1)
        return 0;
    if (x < 0)
        return 1 + x;
    if (x < 1)
        return 1 - x;
    return 0;
}

// ---- Bessel J1 ---------------------------------------------------------------------------

double BesselJ1Ratio(double x)
{
    static const double p[] = {5.811993540016061e20, -6.672106568924916e19, 2.3164335806340024e18,
                               -3.588817569910106e16, 290879526383477.56,   -1322983480332.1265,
                               3413234182.3017006,    -4695753.530642996,   2701.1227108923235};
    static const double q[] = {1.1623987080032122e21, 1.185770712190321e19, 6.092061398917522e16,
                               208166122130760.75,    524371026216.76495,   1013863514.358674,
                               1501793.5949985855,    1606.9315734814877,   1};
    const double y = x * x;
    return Polynomial(p, y) / Polynomial(q, y);
}

double BesselP1Ratio(double x)
{
    static const double p[] = {35224.66491336798,  62758.84524716128, 31353.963110915956,
                               4985.4832060594335, 211.15291828539623, 1.2571716929145342};
    static const double q[] = {35224.66491336798, 62694.34695935605,  31240.406381904104,
                               4930.396490181089, 203.07751891347593, 1};
    const double u = 8 / x;
    return Polynomial(p, u * u) / Polynomial(q, u * u);
}

double BesselQ1Ratio(double x)
{
    static const double p[] = {351.17519143035526, 721.0391804904475, 425.98730116544425,
                               83.18989576738508,  4.568171629551227, 0.03532840052740124};
    static const double q[] = {7491.737417180912,  15414.177339265098, 9152.231701516992,
                               1811.1867005523513, 103.81875854621337, 1};
    const double u = 8 / x;
    return Polynomial(p, u * u) / Polynomial(q, u * u);
}

double BesselFirstOrder(double x)
{
    if (x == 0)
        return 0;
    const double p = x;
    x = std::fabs(x);
    if (x < 8)
        return p * BesselJ1Ratio(x);
    const double invSqrt2 = 1 / std::sqrt(2.0);
    const double u = 8 / x;
    const double q = std::sqrt(2 / (3.141592653589793 * x)) *
                     (BesselP1Ratio(x) * invSqrt2 * (std::sin(x) - std::cos(x)) -
                      u * BesselQ1Ratio(x) * (-invSqrt2) * (std::sin(x) + std::cos(x)));
    return p < 0 ? -q : q;
}
