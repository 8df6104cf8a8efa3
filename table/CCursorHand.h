// CCursorHand.h: the cards held by the mouse, in a place of their own.
#pragma once
#include <memory>

class CCard;
class CCardTable;
class CPlace;

// Owned by its table (one hand per table, so it never outlives the table it points to). This is
// the holding side of drag and drop: the hand's place, where its cards came from and the hover
// state the fan layout reads. Pressing, dragging and dropping with the mouse build on it.
class CCursorHand {
public:
    explicit CCursorHand(CCardTable* table);
    ~CCursorHand();
    CCursorHand(const CCursorHand&) = delete;
    CCursorHand& operator=(const CCursorHand&) = delete;

    bool IsHolding() const;
    void Update(float dt);
    // Sends every held card back onto srcPlace, bottom first (no scoring, no sound choice here).
    void Release();

    std::unique_ptr<CPlace> place;
    CPlace* srcPlace = nullptr;
    bool flagLastFlight = false;
    CCard* hoverCard = nullptr;
    float hoverTimer = 0;
    float hoverPeriod = 0.1f;
    float pickLockout = 0;
    bool scoreOnReturn = false;
    CCardTable* table;
};
