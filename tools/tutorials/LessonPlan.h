// LessonPlan.h: which tutorial window explains which kind of move, level by level.
#pragma once
#include <array>
#include <map>
#include <string>

// The kinds of move a tutorial window can explain, in the order a move offers them: what follows
// the move by itself first, then what the move itself does.
enum class ELesson {
    Intro,    // the first move of the game
    Rule,     // a named rule moves cards by itself after the move (a full suit, a pair)
    Reveal,   // the move uncovers a face-down card, which turns over by itself
    Home,     // a card goes onto a foundation
    Cell,     // a card goes into a free cell
    Discard,  // a card goes onto a discard pile
    Waste,    // the waste's top card is played
    Empty,    // a card or run fills an empty column
    Run,      // several cards move together
    Column,   // a card is built onto a column
    Stock,    // a click on the stock deals
    Redeal,   // a click on the empty stock gathers the waste back
    End,      // the window after the last move
    Count
};

// The lessons of every level: for each level name, the window ("tip_N" of module "learn") that
// explains each kind of move. Read from lines "<level name> | <lesson> | <N>"; '#' starts a
// comment line.
class LessonPlan {
public:
    [[nodiscard]] bool Load(const std::string& hostPath, std::string& why);

    // The window number for this level and kind, 0 when the level has none.
    int Tip(const std::string& levelName, ELesson lesson) const;
    bool HasLevel(const std::string& levelName) const { return m_levels.count(levelName) != 0; }

    static const char* Name(ELesson lesson);

private:
    using Tips = std::array<int, static_cast<std::size_t>(ELesson::Count)>;
    std::map<std::string, Tips> m_levels;
};
