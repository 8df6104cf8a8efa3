// GameMode.h: the mode word a game is started with: its kind in the low three bits, then the hardcore flag.
#pragma once

// The menus build the word (a story level 0, its hardcore level 8, a classic game 1 or 9, a
// location's bonus level 2) and the table, the controller and the game screen read it.
enum EModeKind : unsigned {
    kModeStory = 0,
    kModeClassic = 1,
    kModeBonusLevel = 2,  // one per location, played by a script instead of the rules
};

constexpr unsigned kModeKindBits = 7u;
constexpr unsigned kModeHardcore = 8u;  // the level's section is its number + 30

constexpr unsigned ModeKind(unsigned mode)
{
    return mode & kModeKindBits;
}

constexpr bool IsClassicMode(unsigned mode)
{
    return ModeKind(mode) == kModeClassic;
}

constexpr bool IsBonusLevelMode(unsigned mode)
{
    return ModeKind(mode) == kModeBonusLevel;
}

constexpr bool IsHardcoreMode(unsigned mode)
{
    return (mode & kModeHardcore) != 0;
}
