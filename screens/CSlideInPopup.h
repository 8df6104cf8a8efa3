// CSlideInPopup.h: base of every popup and dialog that is built from one graphics module.
//
// The window slides in with a move effect and its shadow with the effect of the same name plus
// "_p2", both played once at the view's default place. Buttons whose look is a part of the
// window ("<object>.all") are hidden, and the controller takes no input, while the window
// slides; they show whenever the window stands still, so a move effect that failed to load never
// leaves a popup without its buttons. The end of the slide is seen by each popup for itself
// (playing now, playing in the last update) and handed to OnSlideEnded.
//
// Keys, while the popup is active: Escape once the escape delay (0.5 s unless a popup sets
// another) has run out calls OnEscapeKey; Enter once the slide has ended (or at once, for a popup
// that takes typing while it slides) calls OnEnterKey. Both close the popup unless the popup
// overrides them.
//
// An opener shows a popup with Attach (CScreenBase's: the opener stops updating and keeps
// drawing); the popup closes itself with Close and is released by its parent's next Update. The base owns the window, the shadow, their group, the controller
// and the buttons it made; a popup owns whatever else it adds to the group or the controller.
#pragma once

#include "app/CPopupBase.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFDelegate.h"
#include "framework/CFObjectController.h"
#include "screens/CScreenEngine.h"

#include <memory>
#include <string>
#include <vector>

class CFAnimationInstance;
class CFButton;
class CFObject;

class CSlideInPopup : public CPopupBase {
public:
    using ClickHandler = IDelegate2<void, CFObject*, int>;
    static constexpr float kEscapeDelay = 0.5f;

    ~CSlideInPopup() override;

    void Update(float dt) override;
    void Render() override;

    bool IsSliding() const;
    CFAnimationInstance* GetWindow() const { return m_pWindow.get(); }
    CFAnimationInstance* GetShadow() const { return m_pShadow.get(); }
    CFObjectController& GetController() { return m_controller; }
    const std::string& GetModule() const { return m_sModule; }

protected:
    // playParts false: the slide does not restart the window's parts (they keep their own play).
    CSlideInPopup(const char* module, const char* move, bool playParts = true);

    // ---- Building ----------------------------------------------------------------------------
    // A button whose look is the window's part "<object>.all" on track 0, with the button sound
    // and the handler (owned from here on). Null, and one log line, when the window has no such
    // part; the popup then works without it. onShadow: a part of the shadow effect instead.
    CFButton* AddPartButton(const char* object, ClickHandler* onClick, bool onShadow = false);
    // A button with its own look, the module's effect of that name. Drawn after the slide.
    CFButton* AddEffectButton(const char* effect, ClickHandler* onClick);
    void SetEscapeDelay(float seconds) { m_fEscapeDelay = seconds; }
    void SetEnterWhileSliding(bool enter) { m_bEnterWhileSliding = enter; }
    // The text variables that the popup's module shows (nothing without a resource manager).
    static void SetText(const std::string& name, const std::string& text);
    static std::string Numbered(const char* prefix, int n);  // ("HS_SCORE", 3): "HS_SCORE3"
    void HideBackdrop() { m_bBackdropShown = false; }
    // The top-level screen stops updating while this popup exists (a popup over a popup would
    // otherwise let it run again when the inner one closes).
    void HoldTopScreen();

    // ---- Behaviour -----------------------------------------------------------------------------
    void Close();                             // the parent becomes active and visible again
    virtual void OnEscapeKey() { Close(); }
    virtual void OnEnterKey() { Close(); }
    virtual void OnSlideEnded();              // stops the window and the shadow with their parts
    virtual void OnUpdateStart(float /*dt*/) {}  // while active, after the keys, before the widgets
    virtual void OnUpdateEnd(float /*dt*/) {}    // while active, after the widgets and the slide

    CScreenEngine m_engine;
    CFObjectController m_controller;
    CFAnimationGroup m_group;

private:
    std::unique_ptr<CFAnimationInstance> LoadSlide(const std::string& effect, bool playParts);
    void HandleKeys();
    void WatchSlide();
    void Stand();  // shows the part buttons and lets input in, once
    std::unique_ptr<CFButton> MakeButton(ClickHandler* onClick);

    std::string m_sModule;
    std::string m_sMove;
    std::unique_ptr<CFAnimationInstance> m_pWindow;
    std::unique_ptr<CFAnimationInstance> m_pShadow;
    std::vector<std::unique_ptr<CFButton>> m_buttons;
    std::vector<CFButton*> m_partButtons;     // hidden while the window slides
    bool m_bWasSliding = true;
    bool m_bStanding = false;                // buttons shown and input on since the window stood
    float m_fEscapeDelay = kEscapeDelay;
    bool m_bEnterWhileSliding = false;
    CScreenBase* m_pHeldTop = nullptr;        // not owned
};
