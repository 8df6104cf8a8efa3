// CUndoHistory.h: snapshots of the table after every move, and the undo that flies back to one.
#pragma once
#include "table/CCardTable.h"
#include "table/CManaBar.h"
#include "table/CPlace.h"
#include "table/CScoreKeeper.h"

#include <memory>
#include <vector>


// The last entry is the state now; Undo restores the one before it: every card flies back to
// where it lay, and the gauges, level values, score and combo counters return. The in-game
// controller owns one; the table and the mana bar are not owned and must outlive it. Nothing is
// recorded, undone or cleared on a bonus level. Entries are not limited in number.
class CUndoHistory {
public:
    CUndoHistory(CCardTable* table, CManaBar* bar);
    ~CUndoHistory();
    CUndoHistory(const CUndoHistory&) = delete;
    CUndoHistory& operator=(const CUndoHistory&) = delete;

    void Request();
    void Update();                  // takes a requested snapshot once the table is still
    void Capture();
    void Commit();
    bool Undo();
    void Clear();
    int Count() const { return static_cast<int>(m_entries.size()); }
    void Drop(int index);           // -1: the last entry
    void Render() {}
    int GetUndoCount() const { return m_nUndoCount; }
    bool IsRequested() const { return m_nRequested == 1; }

private:
    struct Entry {
        std::vector<std::unique_ptr<CPlace>> places;
        std::unique_ptr<CManaBar> bar;
        bool gaugeFull[CManaBar::kGauges] = {false, false, false, false, false};
        TableValues values;
        int bonusAction = -1;
        CPlace* prevFrom = nullptr;
        CPlace* prevTo = nullptr;
        CPlace* lastFrom = nullptr;
        CPlace* lastTo = nullptr;
        int score = 0;
        ComboCounts combos;
    };
    struct Relocation {
        CCard* card;
        int fromPlace, toPlace, toIndex;
        bool faceUp;
        int cardState;
        bool moved;
    };
    bool IsBonusLevel() const;
    std::vector<CPlace*> LivePlaces() const;
    void RestoreValues(const Entry& entry);
    CPlace* Known(CPlace* place) const;        // null unless it is still a place of the table

    int m_nUndoCount = 0;
    std::unique_ptr<Entry> m_pPending;
    int m_nRequested = -1;
    CCardTable* m_pTable;
    CManaBar* m_pBar;
    std::vector<std::unique_ptr<Entry>> m_entries;
};
