// CCardFlight.h: one card travelling from a place to its slot in another place.
#pragma once
#include "table/LandingScore.h"

class CCard;
class CCardTable;
class CPlace;

constexpr float kAtOnce = 0.0001f;  // a flight time or start delay that ends in the next frame

// How one card moves from its place (CPlace::MoveCard): the face it shows on landing, its flight
// and its slot. Read as a sentence: CardMove::Up(0.5f).After(kAtOnce).Into(3).Scored(score).
struct CardMove {
    bool faceUp = true;
    float time = 0.0f;         // seconds of flight; below 0: that many seconds per 800 pixels of way
    float delay = 0.0f;        // seconds before it starts
    int dstIndex = -1;         // its slot in the destination, -1 on top
    LandingScore landing;      // the score keeper's verdict on the move; unscored by default
    bool joinsAtOnce = false;  // put into the destination pile before the flight, not on landing
    bool visible = true;

    static CardMove Face(bool up, float seconds)
    {
        CardMove move;
        move.faceUp = up;
        move.time = seconds;
        return move;
    }
    static CardMove Up(float seconds) { return Face(true, seconds); }
    static CardMove Down(float seconds) { return Face(false, seconds); }
    CardMove& After(float seconds) { delay = seconds; return *this; }
    CardMove& Into(int index) { dstIndex = index; return *this; }
    CardMove& Scored(const LandingScore& score) { landing = score; return *this; }
    CardMove& JoiningAtOnce(bool early = true) { joinsAtOnce = early; return *this; }
    CardMove& Hidden() { visible = false; return *this; }
};

// A flight waits out its delay, eases the card to its slot, lands (puts the card into the target
// pile unless it was put there before the flight) and then plays its arrival. It points to the card,
// the places and the table; the table owns the flight and drops it once it has landed and arrived.
// Every flight lands, whatever its time and delay.
class CCardFlight {
public:
    CCardFlight(CCardTable* table, CPlace* source, CCard* card, CPlace* target, const CardMove& move);
    CCardFlight(const CCardFlight&) = delete;
    CCardFlight& operator=(const CCardFlight&) = delete;

    void Update(float dt);
    void Land();
    void PlayArrival();
    bool NeedsRecheck() const;
    void DrawCard();
    void PlaceCardAndShadow();
    // Sparkles around a card lifted into the hand at `position`; wasTop / wasSecond: its place in the source.
    void SpawnPickSparkles(int position, bool wasTop, bool wasSecond);
    bool HasLanded() const { return m_bLanded && !m_bArrivalPending; }
    bool IsLandingDone() const { return m_bLanded; }
    int SlotIndex() const;

    int fromX = 0, fromY = 0;
    float fromAngle = 0;
    int fromHeight = 0;
    float fromFace = -1.0f;
    int toX = 0, toY = 0;
    float toAngle = 0;
    int toHeight = 0;
    float toFace = -1.0f;
    bool mostlyHorizontal = true;
    LandingScore landing;
    float timeLeft = 0;
    bool insertedEarly = false;
    CCard* card;
    CPlace* target;
    CPlace* source;
    bool visible = true;
    float curX = 0, curY = 0, curAngle = 0, curFace = 0;
    int curHeight = 0;
    int index = -1;
    bool faceUp = false;
    float delay = 0;
    float duration = 0;
    float progress = 0;
    bool forceCheck = false;
    CCardTable* table;

private:
    void ComputeSlot();
    void Step(float dt);
    void WritePose();                          // the flight pose into the card, at once
    void Finish();

    bool m_bLanded = false;
    bool m_bArrivalPending = false;
};
