// CBonusLevelScript.h: the scripted phases of the five bonus levels, played on the card table.
#pragma once
#include "table/CTableMouse.h"

#include <optional>
#include <vector>

class CBonusClock;
class CCard;
class CCardTable;
class CPlace;

// Each location's bonus level is a small card game: the bonus clock keeps the phase and its
// timer, and this script moves the cards of the phase, reads the player's presses and drags and
// moves to the next phase. It points to its table (which owns it) and keeps only the state of
// the game in play, reset whenever a bonus level starts (phase -1). Places are named by index,
// never by pointer, because the table rebuilds its places on every deal.
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
    void Start();                                  // phase -1
    void RecordAttempt(bool won);                  // elapsed phase 4 or 5 of levels 0 and 1
    void FinishOnLevelTime();                      // levels 2 to 4 when solved
    void BuildSets();
    bool InSet1(int placeIndex) const;
    CPlace* SetPlace(int g, int k) const;          // null when the set has no k-th place
    int LastPlaceOfType(int type) const;
    std::optional<PlaceHit> PressedCard() const;  // a press on a card, hit from the first place
    void Turn(CPlace* place, int cardIndex, bool faceUp, float time, float delay, bool joinAtOnce);
    void EmptyOnto(CPlace* place, bool faceUp, float time);  // while it holds cards: index 0 on top
    void TurnSet1FaceDown();                       // the top card of every set-1 place

    void RunFindTheCard(float dt);                 // level 0
    void RunThreeCards(float dt);                  // level 1
    void DealCups();
    void ShuffleCups();
    void RunPairs(float dt);                       // level 2
    void PlayPairs();
    void RunSequence(float dt);                    // level 3
    void PlaySequence();
    void RunSlidingPuzzle(float dt);               // level 4
    void ScramblePuzzle();
    void PressPuzzle();
    void DropPuzzle();
    bool IsPuzzleSolved() const;
    int PositionOfPlace(int placeIndex) const;     // the cell of a set-1 place, -1 when none
    void SendSetOnto(bool faceUpCards, int targetSet);  // phase 6 of levels 3 and 4

    CCardTable& m_table;
    CBonusClock& m_clock;
    int m_nAttempt = 0;
    int m_nTarget = -1;                            // S: the place that holds the card to find
    int m_nPlaceP = -1;                            // P: level 0's house
    std::vector<int> m_Sets[kSetCount];
    int m_nShuffles = 0;
    const CCard* m_pCardToFind = nullptr;          // level 1: the card shown on the first place of set 3
    const CCard* m_pPrevCard = nullptr;            // level 3
    bool m_bWrongCard = false;
    int m_nLastStep = -1;                          // level 4: direction of the last scramble step
    bool m_bUntouched = true;
    int m_nGripCol = -1, m_nGripRow = -1;
};
