// RgbNear.h: colour comparison for pixels read back from the GPU.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Colour channels within `tolerance` (GPUs round differently); alpha is not compared.
inline ::testing::AssertionResult RgbNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 2)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof(text), "got %08X, want %08X", actual, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}
