// CScoreKeeper.h: the player's score at the card table, its rolling display, and the judge of moves.
#pragma once
#include "progress/PlayerRecord.h"

#include <memory>

// Combos paid, the current run of combo moves and the longest run of the level.
struct ComboCounts {
    int m_nCombos = 0, m_nComboRun = 0, m_nComboBest = 0;
};

class CCard;
class CCardTable;
class CFAnimationGroup;
class CPlace;

// Owned by its table and lives as long as it. The score is the player's running total of the
// game mode, kept in the current player record (the profile store's; a record of the keeper's
// own when the program has no profile store, as in tests). Every change goes straight into that
// record. ScoreMove judges one completed move: it records it, pays combos and base points,
// hands mana to the gauges and returns the move's landing code:
//   bits 0-7 gauge result, bits 8-15 0xFF, bits 16-23 combo points + mana (low byte),
//   bits 24-31 the tier of the last combo rule when any matched, else 0xFF;
//   -1 when the card had moved before.
// The four place pointers are the last two moves; they are not owned.
class CScoreKeeper {
public:
    explicit CScoreKeeper(CCardTable* table);
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
    int ScoreMove(CPlace* from, CPlace* to, CCard* card);
    int AwardCombo(int tier);

    int GetScore() const { return m_nScore; }
    int GetBase() const { return m_nBase; }
    int GetShown() const { return m_nShown; }
    int GetStep() const { return m_nStep; }
    long long GetLevelPoints() const { return static_cast<long long>(m_nScore) - m_nBase; }  // may pass 32 bits
    PlayerRecord& Player();                     // the record the totals live in
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
    PlayerRecord m_ownRecord;                   // used only when there is no profile store
};
