// CGamePanel.h: the in-game panel: its picture and slide, its five buttons and the bonus bar.
#pragma once
#include <memory>
#include <vector>

class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFFrameImage;
class CFObject;
class CFObjectController;

// Owned by the in-game controller, which wires the buttons' handlers and decides what they do;
// the panel keeps the widgets and their looks: where the bonus buttons sit (they ride with the
// sliding panel), which one is latched, and the pause message. The panel picture lives in the
// controller's panel layer and the buttons in its object controller; both must outlive it.
class CGamePanel {
public:
    static constexpr int kBonusSlots = 5;
    // panelState: the slide of the panel.
    enum EState : int { kSettled = 0, kShowing = 1, kHiding = 2, kPaused = 3, kFirstShow = 4 };

    explicit CGamePanel(CFAnimationGroup* layer);  // the panel starts sliding in
    ~CGamePanel();                             // takes its buttons out of the object controller
    void FindParts();                          // the places of the bonus buttons on the panel
    CGamePanel(const CGamePanel&) = delete;
    CGamePanel& operator=(const CGamePanel&) = delete;

    void BuildButtons(CFObjectController* controller);
    // One bonus button and wooden frame per slot, showing picture kinds[i] + 1, at the places
    // the logic file gives; disabled and disarmed.
    void BuildBonusBar(const int (&kinds)[kBonusSlots], bool customCursor);

    // ---- State ------------------------------------------------------------------------------
    int GetState() const { return panelState; }
    void SetState(int state) { panelState = state; }
    bool IsSliding() const { return panelState == kShowing || panelState == kHiding || panelState == kFirstShow; }
    bool IsPlaying() const;
    bool IsRelaxHovered() const { return relaxHover; }
    CFAnimationInstance* GetPicture() const { return panel.get(); }
    CFAnimationInstance* GetRelaxMessage() const { return relaxMessage.get(); }
    CFAnimationInstance* FindPart(const char* path) const;  // null when the panel has no such part

    // ---- Buttons -----------------------------------------------------------------------------
    CFButton* GetHintButton() const { return hintButton.get(); }
    CFButton* GetMenuButton() const { return menuButton.get(); }
    CFButton* GetUndoButton() const { return undoButton.get(); }
    CFButton* GetDealButton() const { return dealButton.get(); }
    CFButton* GetRelaxButton() const { return relaxButton.get(); }
    void EnableButtons(bool undo);             // menu and hint; undo as asked
    void DisableButtons();                     // menu, hint and undo
    void ShowDealHighlight(bool show);

    // ---- Bonus bar ---------------------------------------------------------------------------
    CFButton* GetBonusButton(int i) const;
    CFFrameImage* GetBonusFrame(int i) const;
    int GetBonusDown(int i) const { return i >= 0 && i < kBonusSlots ? bonusDown[i] : -1; }
    void ClearBonusDown(int i) { bonusDown[i] = -1; }
    int GetBonusX(int i) const { return bonusX[i]; }
    int GetBonusY() const { return bonusY; }
    void RideWithSlide();                      // the bonus buttons follow the sliding panel
    void ShowBonusBar(bool on);                // the buttons, or the wooden frames in their place
    void DisarmBonusButtons();                 // none pressed, none latched, their animations hidden
    void ArmBonusButton(int i);                // latched down; the others plain
    void UpdateBonusLooks();                   // after a change: the latched one selected, the rest shadowed
    // The tooltip of a hovered bonus button. The buttons draw without it: it hangs over the table,
    // so the controller draws it after the table.
    void RenderBonusTips();

private:
    std::unique_ptr<CFButton> MakeButton(const char* path);
    void PlaceBonus(int i, float x, float y);  // button and frame at the slot centred on (x, y)
    void RelaxEnter(CFObject* sender, int state);
    void RelaxLeave(CFObject* sender, int state);

    CFObjectController* m_pController = nullptr;
    std::unique_ptr<CFAnimationInstance> panel, relaxMessage;
    int panelState = kFirstShow;
    bool relaxHover = false;
    std::unique_ptr<CFButton> hintButton, menuButton, undoButton, dealButton, relaxButton;
    std::unique_ptr<CFButton> bonusButtons[kBonusSlots];
    std::unique_ptr<CFFrameImage> bonusFrames[kBonusSlots];
    CFAnimationInstance* bonusPlaces[kBonusSlots] = {nullptr, nullptr, nullptr, nullptr, nullptr};
    int bonusDown[kBonusSlots] = {-1, -1, -1, -1, -1};
    int bonusX[kBonusSlots] = {0, 0, 0, 0, 0};
    int bonusY = 0;
    bool bonusChanged = false;
    bool m_prevLatched[kBonusSlots] = {false, false, false, false, false};  // the latched looks of the last refresh
};
