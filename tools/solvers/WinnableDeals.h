// WinnableDeals.h: for every story and hardcore section of the bundled level file, a seed whose
// deal the solvers of this folder win. The solved-levels test checks them; the tutorial recorder plays them.
#pragma once
#include <cstdint>

namespace levels {

struct WinnableDeal {
    int section;
    std::uint32_t seed;  // the fake engine's seed of the deal the solver wins
};

// Found by the seed search of SolvedLevelsTest (run it with --gtest_also_run_disabled_tests to
// redo them). The spider levels (2, 8, 18, 24, 33) are searched by SpiderSolver, the others by
// LevelSolver. The bonus levels (25..29) are played by their scripts, not won under card rules.
// Where the solver won several seeds quickly, the one with the shortest game stands here: the
// tutorials replay these games move by move.
constexpr WinnableDeal kWinnableDeals[] = {
    {0, 3},   {1, 2},   {2, 1},   {3, 18},  {4, 1},   {5, 1},   {6, 1},   {7, 1},   {8, 9},
    {9, 12},  {10, 13}, {11, 20}, {12, 1},  {13, 22}, {14, 1},  {15, 1},  {16, 1},  {17, 1},
    {18, 11}, {19, 9},  {20, 1},  {21, 39}, {22, 24}, {23, 10}, {24, 2},  {30, 38}, {31, 2},
    {32, 14}, {33, 1},  {34, 35},
};

constexpr bool IsBonusSection(int section)
{
    return section >= 25 && section < 30;
}

}  // namespace levels
