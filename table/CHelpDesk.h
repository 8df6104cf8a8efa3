// CHelpDesk.h: the rules panel at the bottom of the game screen.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFObject;
class CFObjectController;
class IGameController;

// Shows the level's rules in a slide of the bottom panel, small or big (the rules button toggles
// them), or for a while the combo message of the last move. Links in the text (@bNN markers, and
// parts named "link_NN" with a "question_mark" part) light the places of type NN - 1. A level with
// a tutorial gets a learn button in the big view. Graphics: module "rules"; the slide and the text
// are parts of the controller's panel, which outlives the desk.
class CHelpDesk {
public:
    enum EView { kHidden = 0, kSmall = 1, kBig = 2, kOpeningSmall = 3, kOpeningBig = 4 };
    enum ETextMode { kRulesText = 1, kComboMessage = 2 };
    static constexpr int kMaxGlows = 3;  // per kind of request

    CHelpDesk(IGameController* controller, CFAnimationInstance* panel, int level, bool withLearnButton,
              bool rulesButtonVisible);
    ~CHelpDesk();
    CHelpDesk(const CHelpDesk&) = delete;
    CHelpDesk& operator=(const CHelpDesk&) = delete;

    void SetRulesIndex(int index);                 // shown from the next opening of the panel
    void ShowComboMessage(int category, int chain);
    void ShowRulesText();
    void SetView(int view, float seconds);         // seconds > 0: go back to the last view after them
    void CloseBigView();                           // to the small view, for good: none comes back
    int GetView() const { return m_nView; }
    bool IsBigWindowShown() const;                 // the big window stands, opens, closes or comes back
    bool IsOverBigWindow() const { return m_bOverBigWindow; }
    void SetOverBigWindow(bool over) { m_bOverBigWindow = over; }
    void StopSlide();
    void GlowRulesButton(std::uint8_t kind, float seconds);
    bool IsBusy() const;                           // the slide or the text plays

    void Layout();
    void Update(float dt);
    void Render();

    // ---- Handlers (bound to the widgets' events) --------------------------------------------
    void OnRulesClick(CFObject* sender, int state);
    void OnLearnClick(CFObject* sender, int state);
    void OnLinkClick(CFObject* sender, int state);
    void OnLinkEnter(CFObject* sender, int state);
    void OnLinkLeave(CFObject* sender, int state);
    void OnAreaOver(CFObject* sender, int state);
    void OnCatcherEnter(CFObject* sender, int state);

    // ---- Queries for the controller and tests -------------------------------------------------
    int GetTextMode() const { return m_nTextMode; }
    int GetPreviousView() const { return m_nPreviousView; }
    float GetViewTimer() const { return m_fViewTimer; }
    const std::string& GetTextEffect() const { return m_textEffect; }  // last loaded into the text
    CFAnimationInstance* GetSlide() const { return m_pSlide; }
    CFAnimationInstance* GetText() const { return m_pText; }
    CFButton* GetRulesButton() const { return m_pRulesButton.get(); }
    CFButton* GetLearnButton() const { return m_pLearnButton.get(); }
    CFObject* GetArea() const { return m_pArea.get(); }
    CFObject* GetCatcher() const { return m_pCatcher.get(); }
    const CFObjectController* GetInput() const { return m_pInput.get(); }
    int GetMarkButtonCount() const { return static_cast<int>(m_markButtons.size()); }
    CFButton* GetMarkButton(int i) const;          // null out of range
    int GetLinkAreaCount() const { return static_cast<int>(m_linkAreas.size()); }
    CFObject* GetLinkArea(int i) const;            // null out of range

    // The effect names, for a level section and for a combo message.
    static std::string SlideEffectName(int level);
    static std::string RulesEffectName(int rulesIndex, bool big);
    static std::string ComboEffectName(int category, int chain);

private:
    void ShowSlide();
    bool IsBigView() const { return m_nView == kBig || m_nView == kOpeningBig; }
    void FinishOpening(bool big);
    bool RefreshText();                            // true when a new text effect was loaded
    bool BigWindowBounds(float& x, float& y, float& w, float& h) const;
    void FitTextToWindow();                        // the long rules wrapped to the window's width
    void DropLinks();
    void RebuildLinks();
    void AddMarkButtons(CFAnimationInstance* owner);
    void WatchLink(CFObject* link);
    void SetCursorShape(int shape);
    void MakeRulesButton(bool visible);
    void MakeLearnButton();

    IGameController* m_pController;
    int m_nView = kHidden;
    int m_nPreviousView = kHidden;
    int m_nTextMode = kRulesText;
    int m_nRulesIndex = 0;
    int m_nComboCategory = 0, m_nComboChain = 0;
    bool m_bOverBigWindow = false;
    // One count per kind: a u8 kind can be 255, so the table has 256 entries.
    std::array<int, 256> m_glowCount{};
    float m_fButtonTimer = 0, m_fLearnTimer = 0, m_fViewTimer = 0;
    CFAnimationInstance* m_pPanel;
    CFAnimationInstance* m_pSlide = nullptr;  // parts of the panel
    CFAnimationInstance* m_pText = nullptr;
    std::unique_ptr<CFObjectController> m_pInput;
    std::unique_ptr<CFAnimationGroup> m_pGroup;
    std::unique_ptr<CFButton> m_pRulesButton;
    std::unique_ptr<CFButton> m_pLearnButton;
    std::unique_ptr<CFObject> m_pArea;
    std::unique_ptr<CFObject> m_pCatcher;
    std::vector<std::unique_ptr<CFButton>> m_markButtons;
    std::vector<std::unique_ptr<CFObject>> m_linkAreas;
    std::string m_textEffect;
};
