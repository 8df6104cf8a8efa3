// CClassicScreen2.h: the classic selection, the top-level screen on which a classic game is
// chosen: thirty entries on two pages of fifteen (the story tables, then the five hardcore
// tables, which open with their story locations' hardcore levels), five location pictures that
// choose the table's look, a preview of the entry under the mouse and a way back to the menu.
//
// Choosing an entry replaces this screen with the game screen. It owns every widget and
// animation it creates; the chosen look lives in the player record and is saved the next time
// the profile store saves (the screen saves it when it opens).
#pragma once

#include "app/CScreenBase.h"
#include "progress/ProgressRules.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFFrameImage;
class CFObject;
class CFObjectController;

class CClassicScreen2 : public CScreenBase {
public:
    static constexpr int kEntriesPerPage = 15;

    static CClassicScreen2* Create();  // null when out of memory
    ~CClassicScreen2() override;

    void Update(float dt) override;
    void Render() override;
    void Release() override;

    // ---- What tests look at ------------------------------------------------------------------
    int GetSelectedLocation() const { return m_nSelectedLocation; }
    int GetChosenEntry() const { return m_nChosenEntry; }
    CFButton* GetEntry(int tag) const;
    CFButton* GetLocationButton(int location) const;
    CFButton* GetPageUpButton() const { return m_pPageUp.get(); }
    CFButton* GetPageDownButton() const { return m_pPageDown.get(); }
    CFButton* GetMainMenuButton() const { return m_pMainMenu.get(); }
    CFAnimationInstance* GetPreview() const { return m_pPreview.get(); }
    const std::vector<std::string>& GetLevelNames() const { return m_levelNames; }

private:
    CClassicScreen2();

    void ReadLevelNames();
    void CreatePreview();
    void CreateWidgets();
    void CreateLocationButtons();
    void CreateEntries();
    std::unique_ptr<CFButton> MakeButton(const char* effect, int tag);
    void ShowPage(bool second);

    void OnMainMenu(CFObject* sender, int state);
    void OnPageUp(CFObject* sender, int state);
    void OnPageDown(CFObject* sender, int state);
    void OnLocationClick(CFObject* sender, int state);
    void OnLevelClick(CFObject* sender, int state);
    void OnLevelMouseDown(CFObject* sender, int state);
    void OnLevelMouseEnter(CFObject* sender, int state);

    std::vector<std::string> m_levelNames;
    std::unique_ptr<CFAnimationGroup> m_pBackGroup;   // the groups outlive every instance in them
    std::unique_ptr<CFAnimationGroup> m_pFrontGroup;
    std::unique_ptr<CFAnimationInstance> m_pBackground;
    std::unique_ptr<CFAnimationInstance> m_pPreview;
    std::unique_ptr<CFAnimationInstance> m_pClickSound;
    std::unique_ptr<CFObjectController> m_pController;
    std::unique_ptr<CFFrameImage> m_pMenuFrame;
    std::unique_ptr<CFFrameImage> m_pPreviewFrame;
    std::unique_ptr<CFButton> m_pPageUp;
    std::unique_ptr<CFButton> m_pPageDown;
    std::unique_ptr<CFButton> m_pMainMenu;
    std::array<std::unique_ptr<CFButton>, PlayerRecord::kLocations> m_locationButtons;
    std::array<std::unique_ptr<CFButton>, progress::kClassicEntries> m_entries;
    int m_nSelectedLocation = 0;
    int m_nChosenEntry = -1;
};
