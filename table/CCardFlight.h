// CCardFlight.h: one card travelling from a place to its slot in another place.
#pragma once

class CCard;
class CCardTable;
class CPlace;

// A flight waits out its delay, eases the card to its slot, lands (puts the card into the target
// pile unless it was put there before the flight) and then plays its arrival. It points to the card,
// the places and the table; the table owns the flight and drops it once it has landed and arrived.
// Every flight lands, whatever its time and delay.
class CCardFlight {
public:
    static constexpr float kAtOnce = 0.0001f;  // a flight time or delay that ends in the next frame

    CCardFlight(int landingCode, bool faceUp, CPlace* source, CCard* card, CPlace* target, int index,
                CCardTable* table, float time, float delay, bool insertedEarly, bool visible);
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
    int landingCode = -1;
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
