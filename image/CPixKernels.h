// CPixKernels.h: weight functions of the image sampler's interpolation kernels.
#pragma once

// x is the signed distance from the sample point, in pixels.
float CubicBSplineWeight(float x);
float CubicWeight(float x);                     // cubic convolution, a = -1
float GeneralCubicWeight(float x, float a);
float LanczosWeight(float x, float radius);
float BoxWeight(float x);
float HermiteWeight(float x);
float HammingWeight(float x);
float SincWeight(float x);
float BlackmanWeight(float x);
float BesselWeight(float x);
float GaussianWeight(float x);
float QuadraticWeight(float x);
float MitchellWeight(float x);                  // B = C = 1/3
float CatmullRomWeight(float x);
float TriangleWeight(float x);

// Bessel function of the first kind, order 1, by rational approximations (|x| < 8 and above).
double BesselFirstOrder(double x);
double BesselJ1Ratio(double x);
double BesselP1Ratio(double x);
double BesselQ1Ratio(double x);
