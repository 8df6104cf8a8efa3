// CScreenFactory.h: makes screens by kind, for the shell and for screens that lead to each other.
//
// The shell opens the main menu and the exit question without knowing the screens that make
// them, and screens that lead to each other in cycles (menu -> story map -> game -> story map ->
// menu) reach one another only through here, so each can be built and tested alone: the screens
// area puts the game's makers in place at start-up, and a test puts a stand-in in place for a
// kind it does not want. A kind without a maker makes nothing (and says so in the log).
#pragma once

#include <functional>

class CScreenBase;

// SaveProblem: the window that says progress could not be saved or, with the argument
// kUnreadFileWindow, that a file of the player's was not read (its texts set by the shell).
enum class EScreenKind { MainMenu, StoryMap, ClassicSelection, TrophyRoom, ExitQuestion, SaveProblem, Count };
constexpr int kSaveProblemWindow = 0;
constexpr int kUnreadFileWindow = 1;

class CScreenFactory {
public:
    // The argument is the kind's own (the trophy room's award mode); most kinds ignore it.
    using Maker = std::function<CScreenBase*(int argument)>;

    // Null, and one log line, when the screen cannot be made.
    static CScreenBase* Create(EScreenKind kind, int argument = 0);
    // Makes the screen and switches to it through the screen manager (active, visible).
    static bool SwitchTo(EScreenKind kind, int argument = 0);
    static void SetMaker(EScreenKind kind, Maker maker);  // an empty maker: none
    static Maker GetMaker(EScreenKind kind);
    static const char* Name(EScreenKind kind);

    // Puts a maker in place for its own lifetime, then the one before it again (tests).
    class Override {
    public:
        Override(EScreenKind kind, Maker maker) : m_kind(kind), m_previous(GetMaker(kind))
        {
            SetMaker(kind, std::move(maker));
        }
        ~Override() { SetMaker(m_kind, std::move(m_previous)); }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        EScreenKind m_kind;
        Maker m_previous;
    };
};
