#include "framework/CVector2.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
constexpr float kPi = 3.14159265358979f;
}

TEST(InvSqrt, KeepsItsSingleStepApproximation)
{
    // The bit trick guesses 0.48311 for 4; one step with the 0.4999 factor gives 0.49920, not 0.5.
    EXPECT_NEAR(InvSqrt(4.0f), 0.49920f, 2e-5f);
    for (float x : {0.01f, 0.5f, 1.0f, 2.0f, 100.0f, 12345.0f}) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(InvSqrt(x) * std::sqrt(x), 1.0f, 0.003f);
    }
}

TEST(CVector2, ArithmeticWorksComponentwise)
{
    CVector2 a(1, 2);
    const CVector2 b(3, -4);
    EXPECT_EQ((a + b).x, 4);
    EXPECT_EQ((a + b).y, -2);
    EXPECT_EQ((a - b).x, -2);
    EXPECT_EQ((a - b).y, 6);
    EXPECT_EQ((b * 2).y, -8);
    EXPECT_EQ(a.Dot(b), -5);
    a += b;
    a *= 0.5f;
    EXPECT_EQ(a.x, 2);
    EXPECT_EQ(a.y, -1);
    EXPECT_EQ(CVector2().x, 0);
    EXPECT_EQ(CVector2().y, 0);
}

TEST(CVector2, NormalizeGivesAboutUnitLengthAndLeavesZeroAlone)
{
    CVector2 v(3, 4);
    v.Normalize();
    EXPECT_NEAR(v.x, 0.6f, 0.002f);
    EXPECT_NEAR(v.y, 0.8f, 0.002f);
    CVector2 zero;
    zero.Normalize();
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.y, 0);
}

TEST(CVector2, AnglesAndRotation)
{
    EXPECT_FLOAT_EQ(CVector2(0, 1).Angle(), kPi / 2);
    EXPECT_FLOAT_EQ(CVector2(-1, 0).Angle(), kPi);
    const CVector2 right(5, 0), up(0, 2), left(-1, 0);
    // The approximate normalisation leaves up to about 0.1 of error near 0 and pi.
    EXPECT_NEAR(right.Angle(&up), kPi / 2, 1e-3f);
    EXPECT_NEAR(right.Angle(&left), kPi, 0.1f);
    EXPECT_FLOAT_EQ(up.Angle(nullptr), up.Angle());

    CVector2 v(1, 0);
    v.Rotate(kPi / 2);
    EXPECT_NEAR(v.x, 0, 1e-6f);
    EXPECT_NEAR(v.y, 1, 1e-6f);
}

TEST(CVector2, AngleBetweenParallelVectorsIsANumber)
{
    // For these the approximate normalisation overshoots: the product is just past +-1.
    for (float x : {1.5059f, 1.5060f, 1.5063f}) {
        SCOPED_TRACE(x);
        const CVector2 v(x, 1);
        const CVector2 same = v;
        const CVector2 opposite = v * -1;
        EXPECT_EQ(v.Angle(&same), 0.0f);
        EXPECT_FLOAT_EQ(v.Angle(&opposite), kPi);
    }
}
