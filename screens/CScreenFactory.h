// CScreenFactory.h: makes the top-level screens by kind.
//
// Screens that lead to each other in cycles (menu -> story map -> game -> story map -> menu)
// reach one another only through here, so each can be built and tested alone: a test puts a
// stand-in maker in place for the kinds it does not want. A kind whose screen does not exist
// yet makes a stand-in that goes straight back to the main menu.
#pragma once

#include <functional>

class CScreenBase;

enum class EScreenKind { MainMenu, StoryMap, ClassicSelection, TrophyRoom, Count };

class CScreenFactory {
public:
    // The argument is the kind's own (the trophy room's award mode); most kinds ignore it.
    using Maker = std::function<CScreenBase*(int argument)>;

    // Null, and one log line, when the screen cannot be made.
    static CScreenBase* Create(EScreenKind kind, int argument = 0);
    // Makes the screen and switches to it through the screen manager (active, visible).
    static bool SwitchTo(EScreenKind kind, int argument = 0);
    // An empty maker puts the built-in one back.
    static void SetMaker(EScreenKind kind, Maker maker);
    static const char* Name(EScreenKind kind);

    // Puts a maker in place for its own lifetime (tests).
    class Override {
    public:
        Override(EScreenKind kind, Maker maker) : m_kind(kind) { SetMaker(kind, std::move(maker)); }
        ~Override() { SetMaker(m_kind, {}); }
        Override(const Override&) = delete;
        Override& operator=(const Override&) = delete;

    private:
        EScreenKind m_kind;
    };
};
