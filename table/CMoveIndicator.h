// CMoveIndicator.h: the light on the top panel that tells whether a move is still possible.
#pragma once

#include "table/IGameController.h"

#include <memory>

class CFAnimationGroup;
class CFAnimationInstance;
class CParticleManager;
class CPathEffects;
class IGameController;
struct PlayerRecord;

// Follows the move finder's verdict: plays "on" and "off" on the panel's light part and, while
// lit, sends two sparkles round it on an ellipse. The player's move-indicator setting switches it
// (the no-hints setting too, outside a classic game). While a level is laid out (its deal waits,
// runs or its cards still fly) the light holds: the table is not yet the one the player plays, so
// nothing the finder says then is shown or counted. The first times it lights it asks the
// controller for the two information windows that explain it, only while it shines and no other
// window of the table stands or is due. Two counters of the player record belong to it: level
// starts with the light and times the light came on. A window asked for and never shown (the
// table ended first, or its lamp never shone, as on a bonus level) comes at a later start.
class CMoveIndicator {
public:
    static constexpr int kWindowFirst = kInfoIndicatorFirst;
    static constexpr int kWindowSecond = kInfoIndicatorSecond;

    CMoveIndicator(IGameController* controller, CFAnimationInstance* light);
    ~CMoveIndicator();
    CMoveIndicator(const CMoveIndicator&) = delete;
    CMoveIndicator& operator=(const CMoveIndicator&) = delete;

    void TurnOn();
    void TurnOff();
    // asShown: while the light's on/off animation still plays, the state before the change.
    bool IsLit(bool asShown) const;
    // The light has yet to show the table as it stands: a verdict waits to be shown, the light
    // changes, or a dark light's sparkles still fade. A window that stops the game now would
    // freeze the light half way, so the game's own windows wait for it.
    bool IsBusy() const;
    void Update(float dt);
    void Render();

    bool IsWindowPending(int kind) const;
    // The controller found the light dark when the window came due: it is asked for again once
    // the light shines, and the controller's queue is free meanwhile.
    void AskAgain(int kind);
    // The text entry that window's words come from: the one that speaks of free cells only for
    // a table that has them (a place of the free-cell kind); null for another kind.
    static const char* WindowTextName(int kind, bool freeCells);
    // Puts those words into the window before it is made.
    static void PrepareWindowText(int kind, bool freeCells);
    bool IsOrbitRunning() const { return m_bOrbitRunning; }
    const CPathEffects* GetOrbit() const { return m_pOrbit.get(); }

private:
    // The setting as the last update saw it, for the whole program (-1 not taken yet): a change
    // made in a menu while no game was shown still makes the next game's table search again.
    static int s_nLastSetting;

    static PlayerRecord* Player();   // the current player's record, null without a profile store
    bool SettingOn() const;
    bool HintsBarred() const;        // no-hints is on outside a classic game
    bool LayingOut() const;
    void ShowDealtTable();
    void IntroduceAtSecondStart(PlayerRecord& player);
    void FollowMoveFinder();
    void AskForWindows();
    void UpdateOrbit();

    bool m_bLit = true;
    bool m_bPendingWindow3 = false;
    bool m_bPendingWindow4 = false;
    bool m_bLayingOut = true;        // at the last update; no table is dealt before the first
    IGameController* m_pController;
    CFAnimationInstance* m_pLight;   // the panel's part
    std::unique_ptr<CFAnimationGroup> m_pGroup;
    bool m_bOrbitRunning = false;
    std::unique_ptr<CParticleManager> m_pParticles;
    std::unique_ptr<CPathEffects> m_pOrbit;
};
