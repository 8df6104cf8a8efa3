// ITableHost.h: what the card table asks of the in-game controller that owns it.
#pragma once
#include <string>

#include "table/LandingScore.h"

class CCard;
class CFlyingEffects;
class CPlace;
class CSprite;

// The table runs its rules with or without a host: every call has a do-nothing default, and a
// table made with a null host behaves as if it had this default host (no replay, never busy, no
// score, no tracker, no undo, no dialogs). The in-game controller, score keeper, tracker, undo
// history and help desk plug in here once they exist; tests plug in a recording host.
class ITableHost {
public:
    // ---- State the table reads every frame ------------------------------------------------
    virtual bool IsReplaying() const { return false; }       // a recorded game is being replayed
    virtual bool IsBusy() const { return false; }            // pending items or the controller's own timer
    virtual bool HasPendingItems() const { return false; }
    virtual bool IsRestartPending() const { return false; }  // a redeal was asked or a start is pending
    virtual int GetLastKey() const { return 0; }             // key code of this frame
    virtual int GetEffectVolume() const { return 100; }
    virtual bool BonusesSwitchedOff() const { return false; }  // classic game with bonuses switched off

    // ---- Move recorder, undo, score ------------------------------------------------------
    virtual void RecordMove(int /*from*/, int /*to*/, int /*card*/, int /*automatic*/, int /*flag*/) {}
    virtual void RecordDeal(int /*rank*/, int /*suit*/) {}
    virtual bool NextDeal(int& /*rank*/, int& /*suit*/) { return false; }  // replay: the recorded deal
    virtual void RequestUndoSnapshot() {}
    // The table's score keeper judges moves and keeps the score; the host hears each change it
    // took (after it took it), with the card that earned it or null.
    virtual void AddScore(int /*delta*/, CCard* /*card*/) {}
    virtual void RestartAutoHint() {}

    // ---- Mana gauges, bonus buttons, undo button (the controller owns them) -----------------
    virtual int AddMana(int /*amount*/) { return -1; }            // the gauge result, -1: none took it
    virtual bool IsBonusButtonEnabled(int /*gauge*/) const { return false; }
    virtual void OnGaugeReady(int /*gauge*/) {}                   // enable the button, sound, effects
    virtual void SetBonusButtonReady(int /*gauge*/, bool /*ready*/) {}  // an undo puts a state back
    virtual bool IsUndoEnabled() const { return false; }
    virtual void SetUndoEnabled(bool /*enabled*/) {}
    virtual void AddSharedEffect(float /*x*/, float /*y*/, float /*lifetime*/) {}

    // ---- Presentation --------------------------------------------------------------------
    virtual void PlayHelpHint(int /*kind*/, float /*seconds*/) {}  // help desk hint animation
    virtual void ShowComboMessage(int /*category*/, int /*chain*/) {}
    virtual void ShowRulesText() {}
    virtual bool NoMovesRequested() const { return true; }         // move indicator idle and asking
    // The table is stuck: show the dialog of that ENoMovesKind and ask no more until a move is possible.
    virtual void TellNoMoves(int /*kind*/) {}
    virtual void OnLevelWon() {}                                   // cascade, music, completion effect
    virtual void OnCardArrived(CCard* /*card*/, CPlace* /*target*/, const LandingScore& /*landing*/) {}
    virtual void GlowRulesButton(int /*kind*/, float /*seconds*/) {}  // help desk: at most 3 times a kind
    virtual void SetCursorShape(int /*shape*/) {}
    virtual void ClearLastKey() {}                                 // the key of this frame is used up

    // ---- Drag and drop, drawing ------------------------------------------------------------
    virtual bool IsHelpWindowShown() const { return false; }     // an open help window owns the mouse
    virtual void StopHintEffects() {}                            // hint-flight sparkles stop emitting
    virtual void KillMouseMoveEffects() {}                       // the held cards' trails vanish
    // The trail of held card `tag` follows its card: moved by (dx, dy), turned by dangle about (cx, cy).
    virtual void MoveCardTrail(int /*tag*/, float /*dx*/, float /*dy*/, float /*dangle*/, float /*cx*/, float /*cy*/) {}
    virtual void OnTakenCardsDropped() {}                        // the take-cards bonus is spent: count it, end it
    virtual void RenderParticles() {}                            // the controller's particles, below the flights
    virtual bool IsHighDetail() const { return false; }          // the player's high-detail setting
    virtual CSprite* GetShadowSprite(int /*size*/) const { return nullptr; }  // 0 small, 1 middle, 2 big
    // Sparkles running along the rectangle (x ± hw, y ± hh) turned by angle; secondKind of them of the second kind.
    virtual void SpawnFrameSparkles(CFlyingEffects* /*sparkles*/, float /*x*/, float /*y*/, float /*hw*/, float /*hh*/,
                                    float /*angle*/, int /*secondKind*/) {}
    // A card lifted into the hand: the pick sparkles stop and new ones run along the rectangle
    // (x1, y1)-(x2, y2) turned by angle, on the sides flagged; tag is the card's place in the hand.
    virtual void SpawnPickSparkles(int /*x1*/, int /*y1*/, int /*x2*/, int /*y2*/, float /*angle*/, int /*count*/,
                                   bool /*left*/, bool /*right*/, bool /*top*/, bool /*bottom*/, int /*tag*/) {}
    // How the won level is celebrated: an ECascadeChoice. The indexes name the story level, bonus
    // location and hardcore location just won (-1 none): they count as gold in the all-gold test.
    enum ECascadeChoice : int {
        kCascadeShower = 0,
        kCascadeCelebration = 1,  // the player's celebration: shower or bursts at random
        kCascadeBursts = 2,       // every gold medal just won
    };
    virtual int ChooseCascade(int /*story*/, int /*bonus*/, int /*hardcore*/) { return kCascadeShower; }

    // ---- Special actions and bonus levels -----------------------------------------------------
    virtual void CountBonusUse() {}          // the profile's count of bonuses used in this level
    virtual void ReleaseBonusButtons() {}    // all five: not pressed, not latched, animation hidden
    virtual void SpendBonusSlot(int /*slot*/) {}  // disable the button, empty its gauge, stop its effects
    virtual void SetStartPending() {}        // deal the bonus level anew for its next attempt
    // Classic games, once the controller is idle: ask whether to play with bonuses, take the
    // answer and bring the bonus buttons in line with the player's choice.
    virtual void UpdateBonusQuestion() {}

    // ---- Tutorial replay ---------------------------------------------------------------------
    virtual bool LoadLearnFile(const std::string& /*path*/) { return false; }  // the tracker reads it
    // Replay on, cards made and the level dealt from the recording, input shield shown, key := 0;
    // false when the recording has no first move, else its source place and card.
    virtual bool BeginReplay(int& /*from*/, int& /*card*/) { return false; }
    virtual void AimReplayHand(float /*x*/, float /*y*/, bool /*dragging*/) {}  // starts at (400, 580)
    virtual void EndReplay() {}              // replay off, its state reset, shield and hand hidden
    virtual void ReapplyPlaceSetup() {}      // the places' frame setup after they were rebuilt
    virtual void ShowTutorialEffect(bool /*show*/) {}
    virtual bool IsReplayDrag() const { return false; }  // the replayed move drags cards out of a run
    virtual void RideReplayHand(float /*x*/, float /*y*/) {}  // the replay hand rides on a flying card
    // The tracker's record of this game, written as a tutorial recording (cheat key F2).
    virtual bool SaveRecording(const std::string& /*path*/) { return false; }

protected:
    virtual ~ITableHost() = default;
};
