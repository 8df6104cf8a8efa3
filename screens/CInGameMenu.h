// CInGameMenu.h: the menu that the game's menu button (or Escape) opens over a story, bonus or
// hardcore level (module "in_game_menu"): back to the game, deal again, the level's tutorial, the
// options, leave to the story map or the main menu after a yes/no question, three card sets, and
// the hints and table-view switches. CInGameMenuClassic is its twin for classic games.
//
// Every choice acts on the running game at once and is kept in the current player's record, so
// later levels take it too. The game stands still under the menu (it is the game screen's child)
// and goes on when the menu closes: by "back", a click beside the panel, Escape after half a
// second, or deal and learn, which close it as well. The menu owns its widgets; the game, its
// table and cards are reached through the screen manager's current screen, never kept.
#pragma once

#include "screens/CSlideInPopup.h"

#include <memory>
#include <string>

class CFCheckBox;
class CFFrameImage;
class CGameProcess;
class CInterface;
class CSoundManager;

class CInGameMenu : public CSlideInPopup {
public:
    // Button order: the order in which they are made.
    enum EButton { kLearn, kOptions, kExitGame, kBackToGame, kQuit, kDeal, kCard1, kCard2, kCard3, kButtonCount };
    enum EBox { kHint, kPlayDesk, kUseBonuses, kBoxCount };
    static constexpr float kPanelX = 250, kPanelY = 90, kPanelWidth = 296, kPanelHeight = 446;

    // owner: what the game hands over (its cursor layer); kept, not used. Null when memory runs out.
    static CInGameMenu* Create(CFAnimationGroup* owner);
    ~CInGameMenu() override;

    void Release() override;

    // ---- Handlers (state 1: the left button) ---------------------------------------------------
    void OnBack(CFObject* sender, int state);
    void OnDeal(CFObject* sender, int state);
    void OnLearn(CFObject* sender, int state);
    void OnOptions(CFObject* sender, int state);
    void OnQuitToMenu(CFObject* sender, int state);
    void OnQuitToMap(CFObject* sender, int state);  // classic: to the classic selection
    void OnCardBack1(CFObject* sender, int state);
    void OnCardBack2(CFObject* sender, int state);
    void OnCardBack3(CFObject* sender, int state);
    void OnTableDesk(CFObject* sender, int state);
    void OnHint(CFObject* sender, int state);
    // Card set 0..2: the back and the faces of every card of the game, and the player's choice.
    void ApplyCardSet(int set);

    // ---- What tests look at ------------------------------------------------------------------
    CFButton* GetButton(EButton which) const { return m_buttons[which].get(); }
    CFCheckBox* GetBox(EBox which) const { return m_boxes[which].get(); }  // kUseBonuses: classic only
    CFFrameImage* GetPanel() const { return m_pPanel.get(); }
    CFAnimationGroup* GetOwner() const { return m_pOwner; }
    bool IsClassic() const { return m_variant.classic; }

protected:
    // What tells the twins apart.
    struct Variant {
        const char* module;
        const char* move;
        const wchar_t* screenTrace;
        const char* quitButton;
        bool classic;
    };
    static const Variant kStory;

    CInGameMenu(const Variant& variant, CFAnimationGroup* owner);

    static CGameProcess* Game();       // the current top-level screen, when it is the game
    static CInterface* GameInterface();

    // A check box of the module on the panel, after the widgets already there; owns the handler.
    CFCheckBox* AddBox(EBox which, const char* object, ClickHandler* onClick, bool checked);

private:
    void BuildWidgets();
    void AddButton(EButton which, const char* object, ClickHandler* onClick);
    void HighlightCardButton(int set);
    void ChooseCardBack(int set);
    void AskToQuit(bool& pending, const wchar_t* trace);
    void LeaveWhenAnswered();
    bool MayQuitToMap(unsigned mode) const;
    void PlaceBonusTooltips() const;

    void OnEscapeKey() override;
    void OnEnterKey() override {}      // the menu has no default button
    void OnSlideEnded() override;
    void OnUpdateStart(float dt) override;

    Variant m_variant;
    CFAnimationGroup* m_pOwner;        // not owned
    CSoundManager* m_pSound;           // not owned
    bool m_bQuitToMenuPending = false;
    bool m_bQuitToMapPending = false;
    bool m_bLeaving = false;           // a yes switched screens: nothing more is taken
    std::unique_ptr<CFObject> m_pRoot;
    std::unique_ptr<CFFrameImage> m_pPanel;
    std::unique_ptr<CFFrameImage> m_pPlace;
    std::unique_ptr<CFButton> m_buttons[kButtonCount];
    std::unique_ptr<CFCheckBox> m_boxes[kBoxCount];
};
