// IGameController.h: what the rules panel and the move indicator ask of the in-game controller.
#pragma once

class CCardTable;

// The in-game controller owns the help desk and the move indicator and implements this; until it
// exists, and in tests, a host overrides what it needs. Every call has a do-nothing default, so a
// desk or an indicator over the default host shows itself but never reaches a table.
// The controller's information windows, queued one at a time.
enum EInfoWindow : int {
    kInfoGaugeFull = 1,        // the first full gauge explained
    kInfoRules = 2,            // the help desk's big rules view, once per level section
    kInfoIndicatorFirst = 3,   // the move indicator explained
    kInfoIndicatorSecond = 4,
    kInfoMasterMode = 5,
};
// Steps of that queue: idle; two steps while a window is due; two frames settling back to idle.
enum EInfoStep : int { kInfoIdle = 0, kInfoRequested = 1, kInfoDue = 2, kInfoSettling = 3, kInfoSettled = 4 };

class IGameController {
public:
    // ---- State ---------------------------------------------------------------------------
    virtual CCardTable* GetTable() const { return nullptr; }  // made after the desk: asked each time
    virtual unsigned GetMode() const { return 0; }            // the mode word: kind in bits 0-2
    virtual bool IsReplaying() const { return false; }        // a recorded game is being replayed
    virtual bool IsModal() const { return false; }            // an information window is due or open
    virtual bool IsPanelPlaying() const { return false; }     // the panel animation slides
    virtual bool IsLayingOut() const { return false; }        // a level waits to be dealt or is being dealt
    // The table's first rules window is open or still to come, or the level is won: a window
    // asked for now would stand over it or over the cards' cascade.
    virtual bool InfoWindowsWait() const { return false; }

    // ---- Information windows -------------------------------------------------------------
    // Queues the window of that kind; false when another one is still under way.
    virtual bool RequestInfoWindow(int /*kind*/, float /*delay*/, int /*step*/) { return false; }

    // ---- Hints ---------------------------------------------------------------------------
    // A hint held back while the first-play rules window was open.
    virtual bool IsHintDeferred() const { return false; }
    virtual void SetHintDeferred(bool /*deferred*/) {}
    virtual void SetAutoHintTimer(float /*seconds*/) {}
    virtual float GetAutoHintDelay() const { return 0.0f; }   // Logic.ini "autohint"
    virtual void ShowHint() {}

    // ---- Table actions the rules panel starts ---------------------------------------------
    virtual void StartLearn() {}                              // replay the level's tutorial
    // Lights the places of the type; returns how long the fire burns, in seconds.
    virtual float ShowPlaceFire(int /*type*/) { return 0.0f; }

protected:
    virtual ~IGameController() = default;
};
