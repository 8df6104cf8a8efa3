// CBonusLevelScript.h: the scripted phases of the five bonus levels, played on the card table.
#pragma once
#include "table/CTableMouse.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class CBonusClock;
class CCard;
class CCardTable;
class CPlace;

// The bonus level of each location, by the level number its table is made with.
enum EBonusLevel : int {
    kBonusFindTheCard = 0,    // three attempts: find the card shown on the house
    kBonusThreeCards = 1,     // three attempts: follow the red card through the shuffle
    kBonusPairs = 2,          // against the clock: turn up pairs
    kBonusSequence = 3,       // against the clock: turn down a run of alternating colours
    kBonusSlidingPuzzle = 4,  // against the clock: sort a 3 x 3 grid by sliding cards
};

// Each location's bonus level is a small card game: the bonus clock keeps the phase and its
// timer, and this script moves the cards of the phase, reads the player's presses and drags and
// moves to the next phase. Each phase of each game is one step below, run while the phase waits
// or once it has elapsed. The script points to its table (which owns it) and keeps only the
// state of the game in play, reset whenever a bonus level starts (kPhaseNone). Places are named
// by index, never by pointer, because the table rebuilds its places on every deal.
class CBonusLevelScript {
public:
    static constexpr int kSetCount = 4;
    static constexpr int kMaxSetSize = 32;

    CBonusLevelScript(CCardTable& table, CBonusClock& clock) : m_table(table), m_clock(clock) {}
    CBonusLevelScript(const CBonusLevelScript&) = delete;
    CBonusLevelScript& operator=(const CBonusLevelScript&) = delete;

    void Run(float dt);                            // one frame of the current phase

    int Attempt() const { return m_nAttempt; }
    int TargetPlace() const { return m_nTarget; }
    const std::vector<int>& Set(int g) const { return m_Sets[g]; }
    int Shuffles() const { return m_nShuffles; }
    bool IsUntouched() const { return m_bUntouched; }
    const CCard* CardToFind() const { return m_pCardToFind; }

private:
    using Step = void (CBonusLevelScript::*)();
    // What a game does in one phase: one step while the phase waits, another once it has elapsed.
    struct PhaseStep {
        int phase;
        Step waiting;
        Step elapsed;
    };

    // ---- Shared steps ---------------------------------------------------------------------
    static bool SameCard(const CCard* a, const CCard* b);  // the same rank and suit
    void Start();                                  // kPhaseNone
    void RunSteps(const PhaseStep* steps, std::size_t count);  // the step of the phase in play
    void RecordAttempt(bool won);                  // an attempt game's result phase elapsed
    void RecordWon();
    void RecordLost();
    void FinishOnLevelTime();                      // a game against the clock is solved
    void WinAfterEnd();                            // the end phase elapsed
    void BuildSets();
    void BuildSetsAndShow();                       // set-up elapsed
    bool InSet1(int placeIndex) const;
    CPlace* SetPlace(int g, int k) const;          // null when the set has no k-th place
    int LastPlaceOfType(int type) const;
    std::optional<PlaceHit> PressedCard() const;   // a press on a card, hit from the first place
    // An index in 0..count-1 that fits, -1 when none does.
    int DrawFitting(int count, const std::function<bool(int)>& fits) const;
    void Turn(CPlace* place, int cardIndex, bool faceUp, float time, float delay, bool joinAtOnce);
    void EmptyOnto(CPlace* place, bool faceUp, float time);  // while it holds cards: index 0 on top
    void TurnSet1FaceDown();                       // the top card of every set-1 place
    void SendSetOnto(bool faceUpCards, int targetSet);  // the end of the sequence and the puzzle

    // ---- Find the card ---------------------------------------------------------------------
    void RunFindTheCard();
    void FindGatherAfterLast();                    // set-up, after the third attempt
    void FindShowColumns();                        // set-up elapsed
    void FindHideColumns();                        // show elapsed
    void FindPress();                              // play
    void FindCollectWon();                         // attempt won, waiting
    void FindShowTarget();                         // attempt lost, waiting

    // ---- Three cards -----------------------------------------------------------------------
    void RunThreeCards();
    void CupsGatherAfterLast();                    // set-up, after the third attempt (sets built first)
    void DealCups();                               // set-up elapsed
    void HideCups();                               // show elapsed
    void ShuffleCups();                            // shuffle elapsed
    void CupsPress();                              // play
    void CupsEmptyTargetWon();                     // attempt won, waiting
    void CupsEmptyTargetLost();                    // attempt lost, waiting

    // ---- Pairs -----------------------------------------------------------------------------
    void RunPairs();
    void HidePairs();                              // show elapsed
    void PlayPairs();                              // play

    // ---- Sequence --------------------------------------------------------------------------
    void RunSequence();
    void StartSequence();                          // set-up elapsed
    void StartPlay();                              // show elapsed
    void PlaySequence();                           // play
    void PutSequenceAway();                        // end elapsed
    void PressSequenceCard();
    void PutAwayDeadCards();
    void TurnSequenceUpAgain();

    // ---- Sliding puzzle --------------------------------------------------------------------
    void RunSlidingPuzzle();
    void StartScramble();                          // show elapsed
    void ScramblePuzzle();                         // shuffle, waiting
    void PlayAfterScramble();                      // shuffle elapsed
    void PlayPuzzle();                             // play
    void PutPuzzleAway();                          // end elapsed
    void PressPuzzle();
    void DropPuzzle();
    bool IsPuzzleSolved() const;
    int PositionOfPlace(int placeIndex) const;     // the cell of a set-1 place, -1 when none

    CCardTable& m_table;
    CBonusClock& m_clock;
    int m_nAttempt = 0;
    int m_nTarget = -1;                            // S: the place that holds the card to find
    int m_nPlaceP = -1;                            // P: the house of "find the card"
    std::vector<int> m_Sets[kSetCount];
    int m_nShuffles = 0;
    const CCard* m_pCardToFind = nullptr;          // three cards: the card shown on the first place of set 3
    const CCard* m_pPrevCard = nullptr;            // sequence
    bool m_bWrongCard = false;
    int m_nLastStep = -1;                          // puzzle: direction of the last scramble step
    bool m_bUntouched = true;
    int m_nGripCol = -1, m_nGripRow = -1;
};
