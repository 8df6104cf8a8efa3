// CStoryScreen2.cpp: building the story map, its frame (journeys, the intro timer, the cheat key)
// and the announcements it opens as windows.
#include "screens/CStoryScreen2.h"

#include "app/CIniFile.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimatedObject.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "screens/CDialogInformation.h"
#include "screens/CDialogNewLocation.h"
#include "progress/CProfileStore.h"

#include <new>

namespace {

const char* const kModule = "Story_Map_3";
constexpr int kCheatKeyOpen = 79;  // "O"
constexpr int kFirstVisitFrom = 2;  // the first visit sails in from the far end of the chart

}  // namespace

CStoryScreen2* CStoryScreen2::Create()
{
    return new (std::nothrow) CStoryScreen2();
}

CStoryScreen2::CStoryScreen2()
{
    m_sName = "screenStory";
    TraceEvent(GetGameTime(), L"screenStory");
}

CStoryScreen2::~CStoryScreen2()
{
    if (m_selectingSound != 0)
        m_engine.FreeSound(m_selectingSound);
    if (m_previewShowSound != 0)
        m_engine.FreeSound(m_previewShowSound);
    // Widgets first: the slot buttons show parts of the map, and the controllers point at them.
    m_pPanelInput.reset();
    m_pNavigationInput.reset();
    for (auto& button : m_slotButtons)
        button.reset();
    for (auto& button : m_locationButtons)
        button.reset();
    m_pBorder.reset();
    m_pTrophyButton.reset();
    m_pPlayButton.reset();
    m_pBackButton.reset();
    for (auto& light : m_slotLights)
        light.reset();
    m_pMap.reset();
    m_pShadow.reset();
    m_pHelm.reset();
    m_pSelectHint.reset();
    m_pPlayLight.reset();
    m_pWindowShadow.reset();
    m_pWindowPreview.reset();
    m_pPreview.reset();
    m_pMasterMode.reset();
    m_pTopParticles.reset();
    m_pBackGroup.reset();
    m_pFrontGroup.reset();
}

void CStoryScreen2::Release()
{
    delete this;
}

CFAnimationInstance* CStoryScreen2::GetSlotLight(int slot) const
{
    return slot >= 0 && slot < progress::kSlots ? m_slotLights[static_cast<std::size_t>(slot)].get() : nullptr;
}

CFButton* CStoryScreen2::GetSlotButton(int slot) const
{
    return slot >= 0 && slot < progress::kSlots ? m_slotButtons[static_cast<std::size_t>(slot)].get() : nullptr;
}

CFButton* CStoryScreen2::GetLocationButton(int location) const
{
    if (location < 0 || location >= PlayerRecord::kLocations)
        return nullptr;
    return m_locationButtons[static_cast<std::size_t>(location)].get();
}

// ---- Building -------------------------------------------------------------------------------------

void CStoryScreen2::Init()
{
    m_engine.DiscardManagedResources();
    LoadModules();
    m_pParent = nullptr;
    m_pChild = nullptr;
    g_pProfileStore->Save();
    ReadLevelNames();
    if (CSoundManager* sound = CSoundManager::GetInstance())
        sound->SetMusicMode(CSoundManager::kMenu, 1.0f);
    m_selectingSound = m_engine.LoadSound("sfx/sounds/level_selecting.ogg");
    m_previewShowSound = m_engine.LoadSound("sfx/sounds/level_preview_show.ogg");
    m_pPanelInput = std::make_unique<CFObjectController>(CFMouse::GetInstance());
    m_pNavigationInput = std::make_unique<CFObjectController>(CFMouse::GetInstance());
    m_pBackGroup = std::make_unique<CFAnimationGroup>();
    m_pFrontGroup = std::make_unique<CFAnimationGroup>();

    m_pHelm = MakeInstance(m_pBackGroup.get(), kModule, "shturval", true);
    m_pHelm->PlayRange(0, 0, false);
    m_pSelectHint = MakeInstance(m_pFrontGroup.get(), kModule, "select_solitaire", false);
    m_pSelectHint->PlayRange(0, 0, false);

    PlayerRecord& record = g_pProfileStore->m_current;
    m_nLocation = g_pProfileStore->GetCurrentLocation();
    if (record.m_nPendingNewLocation == -1)
        record.m_nPendingNewLocation = g_pProfileStore->UpdateUnlocks();
    m_nOfferedLocation = -1;
    CreateMap(record);
    if (progress::GetSelection(record).IsNone())
        record.m_nSelectedStory = 0;
    if (g_pResource != nullptr)
        g_pResource->SetText("preview_name", "");
    CreatePreviewWindow(record);
    CreatePanel();
    CreateLocationButtons(record);
    CreateSlots();
    m_pPlayLight = MakeInstance(m_pFrontGroup.get(), kModule, "but_play_light", true);
    m_pPlayLight->Play(true);
}

void CStoryScreen2::LoadModules()
{
    if (g_pResource == nullptr)
        return;
    for (const char* module : {"#previews", kModule, "interface"}) {
        if (!g_pResource->FindModule(module))
            g_pResource->LoadModule(module, -1);
    }
}

void CStoryScreen2::ReadLevelNames()
{
    CIniFile levels("sol_max.ini");
    m_levelNames.clear();
    for (int number = 0; number < PlayerRecord::kLevelNumbers; ++number) {
        levels.SetSection(("Solitaire" + std::to_string(number)).c_str());
        m_levelNames.push_back(levels.GetString("level_name"));
    }
}

std::unique_ptr<CFAnimationInstance> CStoryScreen2::MakeInstance(CFAnimationGroup* group, const char* module,
                                                                 const std::string& effect, bool visible)
{
    auto instance = std::make_unique<CFAnimationInstance>(group, CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)instance->LoadEffect(g_pResource, module, effect.c_str());  // a missing effect is logged there
    instance->SetVisible(visible);
    return instance;
}

void CStoryScreen2::CreateMap(PlayerRecord& record)
{
    m_pMap = std::make_unique<CFAnimationInstance>(m_pBackGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    // The map keeps its parts still: each level part shows the section of its entry's state,
    // which a play of the whole map would otherwise run through.
    m_pMap->SetPlayParts(false);
    m_pWindowShadow =
        std::make_unique<CFAnimationInstance>(m_pFrontGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    // The first visit sails in to the first location. A record whose first visit is elsewhere
    // (no game ever opened another location first) arrives there directly, so its slots bind.
    if (record.m_bMapVisited == 0 && m_nLocation == 0) {
        m_pMap->SetStartOnLoad(false);
        m_nPreviousLocation = kFirstVisitFrom;
        (void)m_pMap->LoadEffect(g_pResource, kModule, progress::MapEffect(kFirstVisitFrom, m_nLocation).c_str());
        (void)m_pWindowShadow->LoadEffect(g_pResource, kModule, "window_1_shadow");
    } else {
        (void)m_pMap->LoadEffect(g_pResource, kModule, progress::MapEffect(-1, m_nLocation).c_str());
        (void)m_pWindowShadow->LoadEffect(g_pResource, kModule, "window_0_shadow");
    }
    m_pWindowShadow->SetVisible(true);
    m_pWindowShadow->Play(false);
    m_pMap->SetVisible(true);
    m_pMap->Play(false);
    m_pHelm->PlayCommandSection("left", true);
    m_pPanelInput->DisableInput();
    m_pNavigationInput->DisableInput();
    m_bTransitionRunning = true;

    m_pShadow = MakeInstance(m_pBackGroup.get(), kModule, "shadow", true);
    m_pShadow->Play(false);
    const bool master = record.m_bMasterMode != 0;
    m_pMasterMode = MakeInstance(m_pFrontGroup.get(), kModule, "master_mode", master);
    m_pTopParticles = MakeInstance(m_pBackGroup.get(), kModule, "particles_top", master);
    if (master) {
        m_pMasterMode->Play(false);
        m_pTopParticles->Play(true);
    }
}

void CStoryScreen2::CreatePreviewWindow(const PlayerRecord& record)
{
    m_pWindowPreview = MakeInstance(m_pFrontGroup.get(), kModule, "window_preview", true);
    m_pWindowPreview->Play(false);
    if (CFAnimationInstance* rank = m_pWindowPreview->FindPart(0, "Ranks_story.all"))
        rank->PlayRange(record.m_nRank, record.m_nRank, false);
    float x = 0, y = 0;
    {
        auto corner = MakeInstance(m_pFrontGroup.get(), kModule, "preview_pos", false);
        corner->GetPartPosition(&x, &y, 0, 0);
    }
    m_pPreview = std::make_unique<CFAnimationInstance>(m_pFrontGroup.get(), x, y);
    m_pPreview->SetVisible(true);
    m_selectionShown = progress::GetSelection(record);
    ShowPreview(m_selectionShown.Number(), "show");
}

std::unique_ptr<CFButton> CStoryScreen2::MakeButton(const char* effect, bool withSound)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    if (effect != nullptr)
        button->AddAnimation(kModule, effect);
    if (withSound)
        button->AddAnimation("interface", "snd_button");
    return button;
}

void CStoryScreen2::CreatePanel()
{
    m_pBorder = std::make_unique<CFAnimatedObject>();
    m_pBorder->SetResource(g_pResource);
    m_pBorder->AddAnimation(kModule, "border");
    m_pPlayButton = MakeButton("but_play", true);
    m_pPlayButton->OnClick += MakeDelegate(this, &CStoryScreen2::OnPlay);
    m_pPanelInput->Add(m_pBorder.get());
    m_pPanelInput->Add(m_pPlayButton.get());
    m_pTrophyButton = MakeButton("but_trophy", true);
    m_pTrophyButton->OnClick += MakeDelegate(this, &CStoryScreen2::OnTrophyRoom);
    m_pBackButton = MakeButton("but_back", true);
    m_pBackButton->OnClick += MakeDelegate(this, &CStoryScreen2::OnBack);
    m_pNavigationInput->Add(m_pTrophyButton.get());
    m_pNavigationInput->Add(m_pBackButton.get());
}

void CStoryScreen2::CreateLocationButtons(const PlayerRecord& record)
{
    for (int location = 0; location < PlayerRecord::kLocations; ++location) {
        const bool open = record.m_locationOpened[static_cast<std::size_t>(location)] != 0;
        const std::string effect = "but_" + std::to_string(location + 1) + (open ? "" : "_disabled");
        auto button = MakeButton(effect.c_str(), true);
        button->SetTag(location);
        button->OnClick += MakeDelegate(this, &CStoryScreen2::OnLocationClick);
        m_pNavigationInput->Add(button.get());
        m_locationButtons[static_cast<std::size_t>(location)] = std::move(button);
    }
}

void CStoryScreen2::CreateSlots()
{
    static const char* const kLights[3] = {"enter_level_2", "enter_bonus_2", "enter_hardcore_2"};
    for (int slot = 0; slot < progress::kSlots; ++slot) {
        auto button = MakeButton(nullptr, false);  // its look is a part of the map, bound later
        button->SetTag(progress::SlotTag(slot));
        button->OnMouseOver += MakeDelegate(this, &CStoryScreen2::OnLevelMouseOver);
        button->OnClick += MakeDelegate(this, &CStoryScreen2::OnLevelClick);
        button->OnDoubleClick += MakeDelegate(this, &CStoryScreen2::OnLevelDoubleClick);
        button->OnMouseEnter += MakeDelegate(this, &CStoryScreen2::OnLevelMouseEnter);
        button->OnMouseLeave += MakeDelegate(this, &CStoryScreen2::OnLevelMouseLeave);
        m_pPanelInput->Add(button.get());
        m_slotButtons[static_cast<std::size_t>(slot)] = std::move(button);
        const char* light = kLights[slot < progress::kBonusSlot ? 0 : slot - progress::kLevelsPerLocation + 1];
        auto instance = MakeInstance(m_pFrontGroup.get(), kModule, light, false);
        instance->PlayRange(0, 0, false);
        m_slotLights[static_cast<std::size_t>(slot)] = std::move(instance);
    }
}

// ---- Every frame ------------------------------------------------------------------------------------

void CStoryScreen2::Update(float dt)
{
    if (!m_bBuilt) {
        if (g_pScreenManager == nullptr || !g_pScreenManager->m_bSwitched || g_pProfileStore == nullptr)
            return;
        g_pScreenManager->m_bSwitched = false;
        Init();
        m_bBuilt = true;
    }
    PlayerRecord& record = g_pProfileStore->m_current;
    if (record.m_bMapVisited == 0)
        record.m_bMapVisited = 1;  // the first-visit journey was chosen by Init
    else if (m_bActive)
        UpdateBuilt(dt, record);
    m_bJourneyStartedNow = false;
    CScreenBase::Update(dt);
}

void CStoryScreen2::UpdateBuilt(float dt, PlayerRecord& record)
{
    m_pPanelInput->Update(dt);
    m_pNavigationInput->Update(dt);
    m_pBackGroup->Update(dt);
    m_pFrontGroup->Update(dt);
    if (m_bTransitionRunning) {
        if (!m_pMap->IsPlaying())
            EndTransition();
        else
            SpeedUpOnClick();
        return;
    }
    if (CheatOpensLocation(record))
        return;
    if (m_fIntroTimer > 0.0f)
        RunIntroTimer(dt, record);
    else
        RunAnnouncements(record);
}

void CStoryScreen2::EndTransition()
{
    m_bTransitionRunning = false;
    m_pHelm->Stop(false);
    m_pNavigationInput->EnableInput();
    BindLevelButtons(0);
    SelectDefaultLevel();
}

bool CStoryScreen2::CheatOpensLocation(PlayerRecord& record)
{
    if (!g_bCheatMode || m_engine.LastKey() != kCheatKeyOpen)
        return false;
    progress::OpenLocationCompletely(record, m_nLocation);
    if (CStoryScreen2* map = Create())
        g_pScreenManager->SwitchTo(map, true, true);
    return true;
}

// A click while the map still moves hurries it along, and the wait for the level panel with it.
void CStoryScreen2::SpeedUpOnClick()
{
    const CFMouse* mouse = CFMouse::GetInstance();
    if (m_bJourneyStartedNow || mouse == nullptr || mouse->GetActiveButton() == 0 || m_pMap->GetSpeed() != 1.0f)
        return;
    m_pMap->SetSpeed(kClickSpeed);
    m_fIntroTimer /= kClickSpeed;
}

void CStoryScreen2::RunIntroTimer(float dt, PlayerRecord& record)
{
    m_fIntroTimer -= dt;
    if (m_fIntroTimer > 0.0f) {
        SpeedUpOnClick();
        return;
    }
    m_fIntroTimer = 0.0f;
    m_pPanelInput->EnableInput();
    m_pMap->SetSpeed(1.0f);
    GetSlotState(progress::SlotTag(m_nRememberedSlot));
    if (m_nHoveredState > 0)
        ShowSlotLight(m_nRememberedSlot);
    const bool valid = m_nLocation >= 0 && m_nLocation < PlayerRecord::kLocations;
    if (valid && record.m_locationOpened[static_cast<std::size_t>(m_nLocation)] == 0) {
        const std::string move = "move_inf_wind_unlock" + std::to_string(m_nLocation);
        if (OpenInformation("informative_wind", move.c_str(), "bt_ok"))
            return;
    }
    AnnounceNewLevels(record);
}

// The windows of a new bonus and a new hardcore level, one a frame; what is not shown now stays
// queued for the next time the intro ends.
void CStoryScreen2::AnnounceNewLevels(PlayerRecord& record)
{
    if (record.m_nPendingNewBonus != -1 && OpenInformation("new_bonuslevel", "move_new_bonuslevel", "bt_ok")) {
        record.m_nPendingNewBonus = -1;
        return;
    }
    if (record.m_nPendingNewHardcore != -1 && OpenInformation("new_hardcorelevel", "move_new_hardcorelevel", "bt_ok"))
        record.m_nPendingNewHardcore = -1;
}

void CStoryScreen2::RunAnnouncements(PlayerRecord& record)
{
    if (!StoryStarted() && m_pSelectHint->GetCurrentFrame() == 0 && !m_pSelectHint->IsPlaying()) {
        m_pSelectHint->SetVisible(true);
        m_pSelectHint->Play(false);
    }
    if (m_nOfferedLocation != -1) {
        const int offered = m_nOfferedLocation;
        const bool yes = CDialogNewLocation::Answer() == 0;
        m_nOfferedLocation = -1;
        CDialogNewLocation::Answer() = -1;
        if (yes && offered >= 0 && offered < PlayerRecord::kLocations)
            OnLocationClick(m_locationButtons[static_cast<std::size_t>(offered)].get(), 1);
    }
    if (m_bNewLocationCheckPending) {
        m_bNewLocationCheckPending = false;
        if (record.m_nPendingNewLocation != -1) {
            const int pending = record.m_nPendingNewLocation;
            if (OpenWindow(CDialogNewLocation::Create())) {
                m_nOfferedLocation = pending;
                record.m_nPendingNewLocation = -1;
                return;
            }
        }
    }
    static const char* const kCongratulations[4] = {"move_congr_win1", "move_congr_win2", "move_congr_win3",
                                                    "move_congr_win4"};
    for (int i = 0; i < 4; ++i) {
        std::int32_t& pending = record.m_pendingCongrats[static_cast<std::size_t>(i)];
        // The window for every story level gold takes the place of the one for every level won.
        if (pending == -1 || (i == 0 && record.m_bAllStoryGold != 0))
            continue;
        if (OpenInformation("congratulatory_windows", kCongratulations[i], "bt_ok2"))
            pending = -1;
        return;
    }
}

bool CStoryScreen2::OpenWindow(CScreenBase* window)
{
    if (window == nullptr)
        return false;
    SetChild(window, false, true);
    return true;
}

bool CStoryScreen2::OpenInformation(const char* module, const char* move, const char* ok)
{
    return OpenWindow(CDialogInformation::Create(module, move, ok));
}

void CStoryScreen2::Render()
{
    if (m_bBuilt && m_bVisible) {
        m_pBackGroup->Render();
        m_pPanelInput->Render();
        m_pNavigationInput->Render();
        m_pFrontGroup->Render();
    }
    CScreenBase::Render();
}
