// ResultFigures.h: what the result popups show of a won game, read once from the game screen.
//
// The game screen stands still under a result popup, so its figures cannot change while the
// popup counts them; reading them once keeps the popups' phases free of the table's types.
#pragma once

#include "table/GameMode.h"

#include <array>
#include <string>

class CInterface;

struct ResultFigures {
    std::string levelName;
    int level = 0;              // the game screen's level number (a location for bonus and hardcore)
    unsigned mode = 0;          // its mode word: the kind in bits 0-2, 8 for a hardcore table
    int baseScore = 0;          // the mode's total when the level started
    int score = 0;              // the mode's total now, the level's points included
    int hintsUsed = 0;
    int combos = 0;             // combos paid in the level
    int longestChain = 0;
    int maxComboValue = 0;      // the level's "score_max_combo"
    int bonusesCollected = 0;   // gauges that filled in the level
    std::array<int, 3> goals{-1, -1, -1};  // bonus levels: 1 met, 0 missed, -1 no such goal
    int time = -1;              // bonus levels graded by time: seconds; -1 graded by goals
    int grade = 0;              // bonus levels: 4 gold, 3 silver, 2 bronze, 0 none

    int LevelPoints() const;    // score - baseScore, held to 32 bits

    unsigned Kind() const { return ModeKind(mode); }
    bool IsHardcore() const { return IsHardcoreMode(mode); }

    static ResultFigures Read(const CInterface& game);
    // The current top-level screen's game, or null when it is not a game screen.
    static CInterface* CurrentGame();
};
