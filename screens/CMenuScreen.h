// CMenuScreen.h: the main menu, the top-level screen the game returns to (module "main_menu").
//
// It shows the animated background, seven buttons (story, classic, credits, options, high
// scores, player, exit), two tooltips, the credits and, at the very first start, the new-player
// popup over disabled buttons. Story and classic switch screens through the screen factory; the
// options, the high scores and the player selection open as popups; exit raises the close
// request, so that the frame function asks the exit question. It keeps the text variables
// "profile_player" (the current player's name) and "version" (the build, in cheat mode only)
// current. A new menu is built on every return to it.
#pragma once

#include "app/CScreenBase.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFObjectController.h"
#include "screens/CScreenEngine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFAnimatedObject;
class CFAnimationInstance;
class CFButton;
class CFObject;

class CMenuScreen : public CScreenBase {
public:
    static constexpr float kFirstStartTooltip = 5.0f;  // seconds the story tooltip stays at first
    static constexpr float kRearm = 0.001f;
    static constexpr const char* kDefaultVersion = "Jun 20 2006";

    static CMenuScreen* Create();  // null when memory runs out
    ~CMenuScreen() override;

    void Update(float dt) override;
    void Render() override;
    void Release() override;

    // Sets "version" from the first line of "data/build", or to the default when it cannot be read.
    static void ReadBuildVersion();
    // The first line of a build file's bytes (at most 128 characters).
    static std::string BuildVersionLine(const std::vector<std::uint8_t>& bytes);

    // The options changed the detail: the background of that detail, playing.
    void ReloadBackground(bool highDetail);

    // Handler that no button is bound to: minimises the window (no survey page exists to open).
    void OnSurvey(CFObject* sender, int state);

    // ---- For tests -------------------------------------------------------------------------------
    enum EButton { kStory, kClassic, kOptions, kHighScores, kPlayer, kExit, kCredits, kButtonCount };
    CFButton* GetButton(EButton button) const { return m_buttons[button].get(); }
    CFAnimatedObject* GetCredits() const { return m_pCredits.get(); }
    CFAnimationInstance* GetBackground() const { return m_pBackground.get(); }
    CFAnimationInstance* GetStoryTooltip() const { return m_pStoryTip.get(); }
    CFAnimationInstance* GetLight() const { return m_pLight.get(); }
    const CFObjectController& GetButtons() const { return m_buttonController; }
    bool IsStoryTooltipShown() const { return m_bStoryTipShown; }
    bool IsClassicTooltipShown() const { return m_bClassicTipShown; }

private:
    CMenuScreen();

    void BuildBackground();
    void LoadBackground();
    void BuildTooltips();
    void OpenFirstStartPopup();
    void BuildButtons();
    CFButton* MakeButton(EButton which, const char* effect, void (CMenuScreen::*onClick)(CFObject*, int));
    void UpdateTexts();
    void UpdateTooltips(float dt);
    void ResetTooltips();
    void ShowCredits();
    void SetBackgroundDecorVisible(bool visible);
    void OpenPopup(CScreenBase* popup);

    void OnStory(CFObject* sender, int state);
    void OnClassic(CFObject* sender, int state);
    void OnCredits(CFObject* sender, int state);
    void OnOptions(CFObject* sender, int state);
    void OnHighScores(CFObject* sender, int state);
    void OnPlayer(CFObject* sender, int state);
    void OnExit(CFObject* sender, int state);
    void OnCreditsClick(CFObject* sender, int state);
    void OnResetClick(CFObject* sender, int state);
    void OnEnterStory(CFObject* sender, int state);
    void OnEnterClassic(CFObject* sender, int state);

    CScreenEngine m_engine;
    CFAnimationGroup m_backGroup;     // the background
    CFAnimationGroup m_frontGroup;    // the tooltips and the light
    CFObjectController m_buttonController;
    CFObjectController m_creditsController;
    std::unique_ptr<CFAnimationInstance> m_pBackground;
    std::unique_ptr<CFAnimationInstance> m_pStoryTip;
    std::unique_ptr<CFAnimationInstance> m_pClassicTip;
    std::unique_ptr<CFAnimationInstance> m_pLight;
    std::unique_ptr<CFButton> m_buttons[kButtonCount];
    std::unique_ptr<CFAnimatedObject> m_pCredits;
    bool m_bHighDetail = true;        // which background was loaded
    bool m_bNewPlayerOpened = false;
    float m_fStoryTipTimer = 0;
    float m_fClassicTipTimer = 0;
    bool m_bStoryTipShown = false;
    bool m_bClassicTipShown = false;
    bool m_bFirstStartLight = false;
};
