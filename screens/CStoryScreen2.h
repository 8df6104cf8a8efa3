// CStoryScreen2.h: the story map, the top-level screen from which story mode is played.
//
// It shows the location in view with its seven level slots (five story levels, the bonus and
// the hardcore level) in their states, a preview of the entry under the mouse or selected, the
// player's rank, and buttons to play, to go back to the menu, to the trophy room and to the five
// locations. Travelling between locations plays a journey over the chart; meanwhile input waits.
// Announcements that other screens queued in the player record (unlocks, new bonus and hardcore
// levels, congratulations, a new location) open one at a time as windows over the map.
//
// Built on its first update after the screen manager swapped it in (nothing loads before).
// It owns everything it creates; the slot buttons show parts of the map animation, which stay
// the map's. Handlers look at the player record of the profile store; the map saves the store
// only when it is built.
#pragma once

#include "app/CScreenBase.h"
#include "platform/Engine.h"
#include "screens/CScreenEngine.h"
#include "progress/ProgressRules.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CFAnimatedObject;
class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFObject;
class CFObjectController;

class CStoryScreen2 : public CScreenBase {
public:
    static constexpr float kIntroSeconds = 3.13f;
    static constexpr float kClickSpeed = 8.0f;

    static CStoryScreen2* Create();  // null when out of memory
    ~CStoryScreen2() override;

    void Update(float dt) override;
    void Render() override;
    void Release() override;

    // ---- What tests look at ------------------------------------------------------------------
    bool IsBuilt() const { return m_bBuilt; }
    int GetLocation() const { return m_nLocation; }
    int GetPreviousLocation() const { return m_nPreviousLocation; }
    bool IsTransitionRunning() const { return m_bTransitionRunning; }
    float GetIntroTimer() const { return m_fIntroTimer; }
    const progress::StoryEntry& GetPreviewShown() const { return m_previewShown; }
    const progress::StoryEntry& GetSelectionShown() const { return m_selectionShown; }
    int GetRememberedSlot() const { return m_nRememberedSlot; }
    CFAnimationInstance* GetMap() const { return m_pMap.get(); }
    CFAnimationInstance* GetHelm() const { return m_pHelm.get(); }
    CFAnimationInstance* GetSelectHint() const { return m_pSelectHint.get(); }
    CFAnimationInstance* GetPreview() const { return m_pPreview.get(); }
    CFAnimationInstance* GetSlotLight(int slot) const;
    CFButton* GetSlotButton(int slot) const;
    CFButton* GetLocationButton(int location) const;
    CFButton* GetPlayButton() const { return m_pPlayButton.get(); }
    CFButton* GetBackButton() const { return m_pBackButton.get(); }
    CFButton* GetTrophyButton() const { return m_pTrophyButton.get(); }
    const std::vector<std::string>& GetLevelNames() const { return m_levelNames; }

private:
    CStoryScreen2();

    // ---- Building (CStoryScreen2.cpp) ----------------------------------------------------------
    void Init();
    void LoadModules();
    void ReadLevelNames();
    void CreateMap(PlayerRecord& record);
    void CreatePreviewWindow(const PlayerRecord& record);
    void CreatePanel();
    void CreateLocationButtons(const PlayerRecord& record);
    void CreateSlots();
    std::unique_ptr<CFAnimationInstance> MakeInstance(CFAnimationGroup* group, const char* module,
                                                      const std::string& effect, bool visible);
    std::unique_ptr<CFButton> MakeButton(const char* effect, bool withSound);

    // ---- Every frame (CStoryScreen2.cpp) --------------------------------------------------------
    void UpdateBuilt(float dt, PlayerRecord& record);
    void EndTransition();
    bool CheatOpensLocation(PlayerRecord& record);
    void SpeedUpOnClick();
    void RunIntroTimer(float dt, PlayerRecord& record);
    void AnnounceNewLevels(PlayerRecord& record);
    void RunAnnouncements(PlayerRecord& record);
    bool OpenWindow(CScreenBase* window);
    bool OpenInformation(const char* module, const char* move, const char* ok);

    // ---- Slots, selection and travel (CStoryScreen2Slots.cpp) -----------------------------------
    void BindLevelButtons(int which);
    void BindSlot(int slot, int keyLocation, const PlayerRecord& record);
    void SelectDefaultLevel();
    void GetSlotState(int tag);
    void ResetSlots();
    void ShowPreview(int number, const char* section);
    void ShowSlotLight(int slot);
    void TravelTo(int target);
    bool StoryStarted() const;

    // ---- Handlers (CStoryScreen2Slots.cpp); none of them looks at the integer ---------------------
    void OnPlay(CFObject* sender, int state);
    void OnBack(CFObject* sender, int state);
    void OnTrophyRoom(CFObject* sender, int state);
    void OnLocationClick(CFObject* sender, int state);
    void OnLevelMouseOver(CFObject* sender, int state);
    void OnLevelClick(CFObject* sender, int state);
    void OnLevelDoubleClick(CFObject* sender, int state);
    void OnLevelMouseEnter(CFObject* sender, int state);
    void OnLevelMouseLeave(CFObject* sender, int state);

    bool m_bBuilt = false;
    CScreenEngine m_engine;
    std::vector<std::string> m_levelNames;
    progress::StoryEntry m_previewShown;
    progress::StoryEntry m_selectionShown;
    int m_nHoveredState = -1;
    int m_nPreviousLocation = -1;
    int m_nLocation = 0;
    int m_nOfferedLocation = -1;
    bool m_bTransitionRunning = false;
    bool m_bJourneyStartedNow = false;  // a click that starts a journey does not also speed it
    std::unique_ptr<CFAnimationGroup> m_pBackGroup;   // the groups outlive every instance in them
    std::unique_ptr<CFAnimationGroup> m_pFrontGroup;
    std::unique_ptr<CFAnimationInstance> m_pMap;
    std::unique_ptr<CFAnimationInstance> m_pShadow;
    std::unique_ptr<CFAnimationInstance> m_pHelm;
    std::unique_ptr<CFAnimationInstance> m_pSelectHint;
    std::unique_ptr<CFAnimationInstance> m_pPlayLight;
    std::unique_ptr<CFObjectController> m_pPanelInput;
    std::unique_ptr<CFObjectController> m_pNavigationInput;
    std::unique_ptr<CFAnimatedObject> m_pBorder;
    std::unique_ptr<CFButton> m_pTrophyButton;
    std::unique_ptr<CFButton> m_pPlayButton;
    std::unique_ptr<CFButton> m_pBackButton;
    std::array<std::unique_ptr<CFButton>, PlayerRecord::kLocations> m_locationButtons;
    std::array<std::unique_ptr<CFButton>, progress::kSlots> m_slotButtons;
    std::array<std::unique_ptr<CFAnimationInstance>, progress::kSlots> m_slotLights;
    HEffect m_selectingSound = 0;
    HEffect m_previewShowSound = 0;
    std::unique_ptr<CFAnimationInstance> m_pWindowShadow;
    std::unique_ptr<CFAnimationInstance> m_pWindowPreview;
    std::unique_ptr<CFAnimationInstance> m_pPreview;
    std::unique_ptr<CFAnimationInstance> m_pMasterMode;
    std::unique_ptr<CFAnimationInstance> m_pTopParticles;
    float m_fIntroTimer = kIntroSeconds;
    bool m_bNewLocationCheckPending = true;
    int m_nRememberedSlot = 0;
};
