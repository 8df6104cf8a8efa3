// CCursorHand.h: the cards held by the mouse, in a place of their own.
#pragma once
#include <memory>

class CCard;
class CCardTable;
class CFAnimationGroup;
class CFAnimationInstance;
class CPlace;

// Owned by its table (one hand per table, so it never outlives the table it points to). The hand
// keeps the place the held cards came from, the hover state the fan layout reads, the window in
// which a release over the source place counts as a double click, and the swing of the held
// cards. The bonus cursor is made only when the resource manager exists.
class CCursorHand {
public:
    static constexpr float kSystemDoubleClickTime = 0.5f;  // seconds; the platform offers no query
    static constexpr int kMaxSwingCards = 208;             // four decks

    explicit CCursorHand(CCardTable* table);
    ~CCursorHand();
    CCursorHand(const CCursorHand&) = delete;
    CCursorHand& operator=(const CCursorHand&) = delete;

    bool IsHolding() const;
    void Update(float dt);
    void Render();
    // Sends every held card back onto srcPlace, bottom first; a release over the source place
    // inside the double-click window asks the table for a double click in the next frame.
    void Release();
    void SetBonusCursorVisible(bool visible);

    std::unique_ptr<CPlace> place;
    CPlace* srcPlace = nullptr;
    bool flagLastFlight = false;
    CCard* hoverCard = nullptr;
    float hoverTimer = 0;
    float hoverPeriod = 0.1f;
    float pickLockout = 0;
    bool scoreOnReturn = false;
    CCardTable* table;
    std::unique_ptr<CFAnimationGroup> animations;
    std::unique_ptr<CFAnimationInstance> bonusCursor;  // null without the resource manager
    bool dblArmed = false;
    float dblTimer = 0;
    float dblTime = kSystemDoubleClickTime;

private:
    void PlayReturnSound();
    void Swing();

    bool m_bWasHolding = false;
    int m_nPrevX = 0, m_nPrevY = 0;
    float m_prevCardX[kMaxSwingCards] = {};
    float m_prevCardY[kMaxSwingCards] = {};
    float m_prevCardAngle[kMaxSwingCards] = {};
};
