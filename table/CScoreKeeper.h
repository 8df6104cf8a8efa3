// CScoreKeeper.h: the player's score at the card table, its rolling display, and the judge of moves.
#pragma once
#include "progress/PlayerRecord.h"
#include "table/LandingScore.h"

#include <memory>

// The combo kinds of a level's "level_combos" list: how a move relates to the move before it.
// "Same" compares the places of the two moves; the other words name the places' types.
enum EComboKind : int {
    kComboSameColumns = 0,          // both between the same two columns
    kComboColumnsToSameColumn = 1,  // to the same column, the last one from a column
    kComboSameColumnToHouse = 2,    // both from the same column to the same house
    kComboSameColumnToHouses = 3,   // both from the same column to houses
    kComboColumnsToSameHouse = 4,   // from columns to the same house
    kComboColumnsToHouses = 5,      // from columns to houses
    kComboColumnsToFirstHouses = 6, // from columns to houses of the first kind
    kComboColumnsToSecondHouses = 7,
    kComboPopsToHouses = 8,         // from pops to houses
    kComboPopsToSameColumn = 9,     // from pops to the same column
};
// The combo message a matched kind shows (its texts are numbered in this order).
enum EComboCategory : int {
    kComboInColumns = 0,
    kComboToHouses = 1,
    kComboFromPopsToHouses = 2,
    kComboFromPopsToColumn = 3,
};

// Combos paid, the current run of combo moves and the longest run of the level.
struct ComboCounts {
    int m_nCombos = 0, m_nComboRun = 0, m_nComboBest = 0;
};

class CCard;
class CCardTable;
class CFAnimationGroup;
class CPlace;

// Owned by its table and lives as long as it. The score is the player's running total of the
// game mode, kept in the player record it was given (not owned; a record of the keeper's own
// when given none, as for tests and solvers). Every change goes straight into that record. ScoreMove judges one completed move: it records it, pays combos and base points,
// hands mana to the gauges and returns what the landing card shows (unscored when the card had
// moved before).
// The four place pointers are the last two moves; they are not owned.
class CScoreKeeper {
public:
    CScoreKeeper(CCardTable* table, PlayerRecord* record);
    ~CScoreKeeper();
    CScoreKeeper(const CScoreKeeper&) = delete;
    CScoreKeeper& operator=(const CScoreKeeper&) = delete;

    void Reset();                               // forgets the last moves; the level's base is now
    void SetScore(int value, bool animate);     // without animation the shown score jumps
    void AddScore(int delta, CCard* card);      // a card pays such points once
    void SetDelay(float seconds) { m_fDelay = seconds; }  // the shown score waits this long
    float GetDelay() const { return m_fDelay; }
    void SyncWithProfile();
    void ForgetLastMove();
    void Update(float dt);
    void Render();
    void ShowRulesText();
    LandingScore ScoreMove(CPlace* from, CPlace* to, CCard* card);
    int AwardCombo(int tier);

    int GetScore() const { return m_nScore; }
    int GetBase() const { return m_nBase; }
    int GetShown() const { return m_nShown; }
    int GetStep() const { return m_nStep; }
    long long GetLevelPoints() const { return static_cast<long long>(m_nScore) - m_nBase; }  // may pass 32 bits
    PlayerRecord& Player() { return *m_pRecord; }  // the record the totals live in
    const ComboCounts& Combos() const { return m_Combos; }
    void RestoreCombos(const ComboCounts& combos) { m_Combos = combos; }  // an undo or a restart

    CPlace* prevFrom = nullptr;
    CPlace* prevTo = nullptr;
    CPlace* lastFrom = nullptr;
    CPlace* lastTo = nullptr;

private:
    int& ModeTotal();
    bool MatchesCombo(int kind, int& category) const;

    int m_nScore = 0;
    int m_nBase = 0;
    CCardTable* m_pTable;
    std::unique_ptr<CFAnimationGroup> m_pAnimations;
    int m_nShown = 0;
    float m_fTick = 0.02f;
    float m_fDelay = 0;
    int m_nStep = 1;
    ComboCounts m_Combos;
    PlayerRecord m_ownRecord;                   // used only when given no record
    PlayerRecord* m_pRecord;                    // the given record or m_ownRecord
};
