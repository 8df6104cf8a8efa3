// CTableMouse.h: the table's mouse: this frame's sample, what lies under it, and pick, drag, drop and clicks.
#pragma once
#include "platform/EngineRef.h"

#include <optional>
#include <vector>

class CCard;
class CCardTable;
class CPlace;

// A place and card under a point: card -1 is the place's own rectangle where it holds no card;
// (dx, dy) is the point's offset inside the card, the grip that held cards keep.
struct PlaceHit {
    int place = -1;
    int card = -1;
    int dx = 0, dy = 0;
};

// This frame's mouse as the table sees it, in the 800x600 view. Events are CFMouse codes.
struct MouseSample {
    float m_fMouseX = 0, m_fMouseY = 0;
    int m_nMouseEvent = 0;       // the event handed to the table: none during a replay or an open help window
    int m_nButtonEvent = 0;      // the same event, kept for the controller
    int m_nRawButtonEvent = 0;   // the mouse's event of its active button before that filter
    int m_nPrevButtonEvent = 0;  // the mouse's previous event of button 1
    int m_nLastMouseEvent = 0;   // the last event other than none that the mouse handling saw
    bool m_bRightRelease = false;  // the right button was released this frame
};

// Owned by its table. Samples the mouse once a frame and, while the player may act, turns its
// events into moves of the cursor hand: a press lifts cards, a release drops or returns them or
// clicks, a double click (or a right click) sends a top card home. The hit tests answer for the
// sampled position. The controller changes the sample only through the verbs below.
class CTableMouse {
public:
    explicit CTableMouse(CCardTable& table) : m_table(table) {}
    CTableMouse(const CTableMouse&) = delete;
    CTableMouse& operator=(const CTableMouse&) = delete;

    const MouseSample& Sample() const { return m_sample; }
    bool IsPressed() const;                    // the event handed to the table is a press
    bool IsReleased() const;
    void SampleMouse();                        // this frame's mouse; no button during a replay or help
    void HandleMouse();                        // one frame of pick, drag, drop, click and double click

    // ---- Verbs for the controller, the cursor hand, scripted input -----------------------
    void SwallowClick();                       // the controller took this click
    void SwallowRawClick();                    // ... and nothing of it is left, not even the raw event
    void PointAt(float x, float y);            // the sampled position
    void SetEvent(int event);                  // the event handed to the table this frame
    void RequestDoubleClick() { m_bDblRequest = true; }  // the next frame handles a double click
    bool IsDoubleClickRequested() const { return m_bDblRequest; }
    // A double click waits for the handling, the last event seen before it being lastEvent.
    void SetPendingDoubleClick(int lastEvent);
    bool IsDoubleClickPending() const { return m_bDblPending; }
    // Held cards fly back to their place, as from a refused drop: a popup about to open would
    // otherwise swallow the release and leave them stuck to the cursor.
    void ReturnHeldCards();

    // ---- Hit tests at the sampled position ------------------------------------------------
    // The place and card under the mouse. fromTop searches the last drawn place first; an
    // invisible place that holds no card is never hit.
    std::optional<PlaceHit> HitTest(bool fromTop) const;
    // The place whose top card (or empty rectangle) the held cards touch, optionally only one
    // that accepts them; nearest picks the touched place whose anchor is closest to the grip.
    std::optional<PlaceHit> FindDropPlace(bool checkRules, bool nearest) const;

private:
    void PressCard();
    CCard* HoverCard();
    bool DoubleClickCard(int& event);          // true when the card went home
    bool SendHome(CPlace* place, int placeIndex, int cardIndex);
    void ReleaseMouse();
    void DropHeldCards(CPlace* target);

    CCardTable& m_table;
    MouseSample m_sample;
    bool m_bDblRequest = false;                // a release over its own place asks for a double click
    bool m_bDblPending = false;                // a double click waits for the mouse handling
    CEngineRef m_engine;
};
