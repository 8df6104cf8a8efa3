// CSpecialActions.h: the special card actions a bonus button arms, and what is left of one after it acted.
#pragma once
#include "table/CActionTargets.h"

#include <cstddef>

class CCardTable;
struct PlaceHit;

// Special action codes as the level file gives them to the bonus buttons (level_bonuses). The
// even codes up to 10 send the selected cards to a house, the odd ones up to 11 into the deck;
// the shape of the selection is named with them.
enum ESpecialAction : int {
    kActionNone = -1,
    kActionCardToHouse = 0,
    kActionCardToDeck = 1,
    kActionPairToHouse = 2,
    kActionPairToDeck = 3,
    kActionThreeToHouse = 4,
    kActionThreeToDeck = 5,
    kActionRowToHouse = 6,
    kActionRowToDeck = 7,
    kActionColumnToHouse = 8,
    kActionColumnToDeck = 9,
    kActionDiagonalToHouse = 10,
    kActionDiagonalToDeck = 11,
    kActionPeekCard = 12,
    kActionPeekRow = 13,
    kActionPeekPile = 14,
    kActionShuffleColumn = 15,
    kActionShuffleRow = 16,
    kActionShuffleAll = 17,
    kActionShuffleDiagonal = 18,
    kActionSwapWithRandom = 19,
    kActionTakeAnyCards = 20,
    kActionExchangePair = 21,
    kActionTakeRun = 22,       // spent only when the taken cards are dropped
    kActionTurnPileUp = 23,
    kActionExtraDeckPass = 24,  // needs no target: it acts as soon as it is armed
};

// Owned by its table. Holds the armed code (m_nBonusAction) and the code kept after an action
// that goes on in the hand (m_nChainAction); every frame in which a code is armed and the table
// is still, it lets the selection pass mark the cards and, on a press, carries the action out.
class CSpecialActions {
public:
    explicit CSpecialActions(CCardTable& table) : m_table(table), m_targets(table) {}
    CSpecialActions(const CSpecialActions&) = delete;
    CSpecialActions& operator=(const CSpecialActions&) = delete;

    int ArmedCode() const { return m_nBonusAction; }
    int ChainCode() const { return m_nChainAction; }
    bool IsArmed() const { return m_nBonusAction != kActionNone; }
    void Arm(int code);                        // the code armed before is kept as the chain code
    void Disarm() { m_nBonusAction = kActionNone; }
    void ClearChain() { m_nChainAction = kActionNone; }
    void RestoreArmed(int code) { m_nBonusAction = code; }  // an undo puts the armed code back
    void RearmTakenCards();                    // the taken cards went back: their action stays armed
    void SpendTakenCards();                    // the taken cards found a place: that bonus is spent

    // One frame while a code is armed: select, and act on a press (the deck pass at once).
    void Update(bool pressed);
    void SelectActionTargets() { m_targets.SelectActionTargets(m_nBonusAction); }
    bool ApplyBonusAction();                   // carries the armed action out; true when it acted
    bool ApplyDeckAction();                    // one more pass through the deck

private:
    static constexpr std::size_t kBonusSlots = 5;

    bool ActOnSelection(int code, const PlaceHit& hit);
    void FinishBonusAction(int code);
    void SpendSlotsOf(int code, bool trace);   // every bonus button that carries the code

    CCardTable& m_table;
    CActionTargets m_targets;
    int m_nBonusAction = kActionNone;
    int m_nChainAction = kActionNone;
};
