// CTracker.h: the move recorder and tutorial replayer of the card table.
#pragma once
#include "platform/EngineRef.h"
#include "table/TutorialFile.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFObject;
class CFObjectController;

// Records a game (the dealt cards and every move) in one fixed record and plays such a record back
// step by step, opening the learn windows that the learn file attaches to moves. A step is the run
// of marker moves (flags byte above 0: not performed, each queues the window of the move after
// it) ended by one move to perform. The in-game controller owns one tracker; the windows and their
// animation group are the tracker's own. Windows are made only when a resource manager exists, so
// recording and replaying run headless. A window with a part "bt_ok" gets an OK button (click or
// Enter) that closes it; the button takes input only while its window is open. A move's card byte
// 0xFF (a click on an empty place) reads back as card -1.
class CTracker {
public:
    CTracker();
    ~CTracker();
    CTracker(const CTracker&) = delete;
    CTracker& operator=(const CTracker&) = delete;

    // ---- Recording -----------------------------------------------------------------------
    void AddDeal(std::uint8_t a, std::uint8_t b);        // ignored once 208 cards are stored
    void AddMove(std::uint8_t from, std::uint8_t to, std::uint8_t card, int a, int b);  // at most 4095
    [[nodiscard]] bool Save(const std::string& fileName) const;  // the bare record

    // ---- Replaying -----------------------------------------------------------------------
    // Refuses (false, one log line) a file it cannot open, a damaged one, and one without deals or
    // moves. Deals that are no card and moves that name no place below placeCount (the table's
    // place count) are logged and skipped by the replay.
    [[nodiscard]] bool Load(const std::string& fileName, int placeCount = 256);
    bool NextDeal(int& a, int& b);
    int FirstDealValue() const;
    bool NextStep(int& from, int& to, int& card);
    int ReadStep(int& from, int& to, int& card, bool collect);
    void StepBack();
    bool IsReplayDone() const;

    // ---- Learn windows -------------------------------------------------------------------
    bool ShowMessage(int index);                          // -1: the cursor's move, -2: the last entry
    void CloseMessage();
    bool IsMessageBusy() const;
    bool WasMessageShown() const { return m_bMessageShown; }
    bool IsOkHovered() const { return m_bOkHovered; }
    int PendingCount() const { return static_cast<int>(m_pending.size()); }
    int PopPending();
    // The OK button's handlers, bound to its click, mouse enter and mouse leave events.
    void OnOkClick(CFObject* sender, int state);
    void OnOkEnter(CFObject*, int) { m_bOkHovered = true; }
    void OnOkLeave(CFObject*, int) { m_bOkHovered = false; }

    void Reset();
    void Update(float dt);
    void Render();

    const TutorialRecord& Record() const { return m_record; }
    int MessageCount() const { return static_cast<int>(m_messages.size()); }
    const TutorialMessageData* GetMessage(int index) const;
    int GetReplayCursor() const { return m_nReplayCursor; }
    CFButton* GetOkButton(int index) const;               // null without a window or button
    const CFObjectController* GetInput() const { return m_pInput.get(); }

private:
    struct Message {
        TutorialMessageData data;
        std::unique_ptr<CFAnimationInstance> window;
        std::unique_ptr<CFButton> okButton;  // goes before the window: it shows one of its parts
    };
    void SkipDamage(const std::string& fileName, const TutorialDamage& damage);
    static bool IsSkipped(const std::vector<bool>& skip, std::uint32_t index);
    void MakeWindow(Message& message);
    void MakeOkButton(Message& message, CFAnimationInstance* part);
    bool HasWindow(int index) const;

    std::unique_ptr<CFAnimationGroup> m_pWindows;
    std::unique_ptr<CFObjectController> m_pInput;  // holds the open window's OK button only
    TutorialRecord m_record;
    std::vector<bool> m_skipDeal, m_skipMove;  // damaged entries of a loaded file: passed over
    std::vector<Message> m_messages;
    int m_nCurrent = -1;
    bool m_bMessageShown = false, m_bOkClicked = false, m_bOkHovered = false;
    std::deque<int> m_pending;
    int m_nReplayCursor = 0;
    int m_nDealCursor = 0;
    CEngineRef m_engine;
};
