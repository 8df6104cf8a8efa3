// CMoveFinder.h: the requirement checks and the list of every legal move (hints, no-more-moves).
#pragma once
#include <vector>

class CCardTable;
class CPlace;

enum EMoveKind : int { kMoveClick = 0, kMoveDrag = 1 };

struct MoveRecord {
    int kind = kMoveClick;
    int fromPlace = 0;
    int fromCard = 0;   // -1: a click on an empty place
    int toPlace = 0;
    int toCard = 0;     // top index of the destination, -1 when empty (a click: fromCard)
};

// Owned by its table (one finder per table, so it never points to a table that is gone). It knows
// no variant: a move is legal when CanPick, CanDrop and CanClick say so. The list is rebuilt only
// when the table's check-moves flag is set and no card is in flight; every query refreshes first.
// Trial moves use temporary places that share the card objects and are always put back.
class CMoveFinder {
public:
    explicit CMoveFinder(CCardTable* table);

    bool CanPick(int place, int cardIndex) const;
    bool CanDrop(int dstPlace, int dstCardIndex, CPlace* moving, CPlace* source) const;
    bool CanClick(int place, int cardIndex) const;
    bool CanDropAnywhere(CPlace* moving, CPlace* source, int excludeType, const CPlace* excludePlace) const;

    bool Refresh();
    void FindMoves();
    void StockCanHelp();
    void FreeCellMove();
    bool NextHint(MoveRecord& move);
    bool AnyMove();
    bool NoMoreMoves();
    void PlayMove(int from, int to, int fromCard, bool ghost);
    bool HasFreeCellMove() const { return freeCellMove; }
    bool HasUselessMoves() const { return uselessMoves != 0; }
    bool HasStockHelp() const { return stockCanHelp; }
    const std::vector<MoveRecord>& Moves() const { return moves; }
    int GetHintIndex() const { return hintIndex; }
    void SetHintIndex(int index) { hintIndex = index; }
    // Hints the player asked for in this deal (automatic ones are free); they decide the medal.
    int GetHintsUsed() const { return hintsUsed; }
    void CountHint() { ++hintsUsed; }
    void ResetHintsUsed() { hintsUsed = 0; }
    // Set each time Refresh searches anew; the move indicator reads and clears it, so it changes
    // the light only on a new verdict.
    bool HaveMovesChanged() const { return movesChanged; }
    void ClearMovesChanged() { movesChanged = false; }

private:
    CPlace* Place(int index) const;
    bool CheckPick(const CPlace& place, int cardIndex) const;
    bool CheckDropOnCard(const CPlace& dst, int dstCardIndex, const CPlace& moving, const CPlace* source) const;
    bool CheckDropOnEmpty(const CPlace& dst, const CPlace& moving, const CPlace* source) const;
    bool GrandfatherRefuses(const CPlace& dst, const CPlace& moving) const;
    bool ClickCardAllowed(int code, const CPlace& place) const;
    bool HasPlaceOfType(int type) const;
    void AddDragsFrom(int p, int i);
    void OrderMoves();
    bool IsRejectedHint(const MoveRecord& move) const;
    bool SimulateStock(CPlace& stock, CPlace& probe);

    std::vector<MoveRecord> moves;
    int hintIndex = 0;
    int hintsUsed = 0;
    bool stockCanHelp = false;
    bool freeCellMove = false;
    CCardTable* table;
    int uselessMoves = 0;
    bool movesChanged = false;
};
