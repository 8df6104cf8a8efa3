// CStoryScreen2Slots.cpp: the story map's level slots (binding them to the map, their states and
// the selection), travelling between locations, and the button handlers.
#include "screens/CStoryScreen2.h"

#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "screens/CDialogInformation.h"
#include "progress/CProfileStore.h"
#include "table/CGameProcess.h"

namespace {

constexpr float kSlotWidth = 33.0f;
constexpr float kSlotHeight = 32.0f;

PlayerRecord& Record()
{
    return g_pProfileStore->m_current;
}

}  // namespace

bool CStoryScreen2::StoryStarted() const
{
    return Record().m_bStoryLevelPlayed != 0;
}

// ---- Binding the slots to the map ----------------------------------------------------------------

// which 1: a journey starts (the slots show the location left); 0: the map has come to rest.
void CStoryScreen2::BindLevelButtons(int which)
{
    m_pPreview->SetVisible(true);
    for (auto& button : m_slotButtons)
        button->ClearAnimations();
    const int keyLocation = which == 0 ? m_nLocation : m_nPreviousLocation;
    const PlayerRecord& record = Record();
    for (int slot = 0; slot < progress::kSlots; ++slot)
        BindSlot(slot, keyLocation, record);
}

void CStoryScreen2::BindSlot(int slot, int keyLocation, const PlayerRecord& record)
{
    CFButton& button = *m_slotButtons[static_cast<std::size_t>(slot)];
    const progress::SlotPaths paths = progress::MapSlotPaths(slot, keyLocation, m_nPreviousLocation, m_nLocation);
    CFAnimationInstance* look = m_pMap->FindPart(0, paths.button.c_str());
    if (look == nullptr)
        return;  // a location out of range, or a map without this slot: the slot stays empty
    look->SetPlayParts(false);
    button.AttachAnimation(look);
    if (slot >= progress::kBonusSlot)
        button.SetEnabled(true);  // before its state plays: enabling plays "normal"
    button.SetSize(kSlotWidth, kSlotHeight);
    button.Move(-kSlotWidth / 2, -kSlotHeight / 2);
    m_slotLights[static_cast<std::size_t>(slot)]->SetPosition(button.GetX() + kSlotWidth / 2,
                                                              button.GetY() + kSlotHeight / 2, true);
    const progress::StoryEntry entry = progress::EntryOfTag(keyLocation, progress::SlotTag(slot));
    if (entry == progress::GetSelection(record))
        button.PlayState("select", true, true);
    if (CFAnimationInstance* state = m_pMap->FindPart(0, paths.level.c_str())) {
        const int entryState = progress::GetEntryState(record, entry);
        state->PlayCommandSection(record.m_bMasterMode != 0 ? "master" : progress::LevelStateSection(entryState), false);
        // Before the first Play only the first level of the game looks open.
        if (entry.Number() > 0 && !StoryStarted())
            state->PlayCommandSection("closed", false);
    }
    if (slot == progress::kHardcoreSlot) {
        const bool open = progress::GetEntryState(record, progress::StoryEntry::Hardcore(m_nLocation)) > kLevelClosed;
        button.SetVisible(open);
    }
}

// ---- Selection ------------------------------------------------------------------------------------

void CStoryScreen2::SelectDefaultLevel()
{
    PlayerRecord& record = Record();
    const progress::StoryEntry entry = progress::SelectDefaultLevel(record, m_nLocation);
    if (entry.IsNone())
        return;  // a closed location: nothing is selected there
    progress::SetSelection(record, entry);
    if (g_pResource != nullptr)
        g_pResource->SetText("preview_name", progress::EntryName(m_levelNames, entry.Number()).c_str());
    ResetSlots();
    m_selectionShown = entry;
    ShowPreview(entry.Number(), "show");
    const int slot = progress::SlotOfEntry(entry);
    m_slotButtons[static_cast<std::size_t>(slot)]->PlayState("select", true, true);
    m_nRememberedSlot = slot;
}

void CStoryScreen2::GetSlotState(int tag)
{
    m_nHoveredState = progress::GetSlotState(Record(), m_nLocation, tag);
}

void CStoryScreen2::ResetSlots()
{
    for (auto& button : m_slotButtons)
        button->ResetState();
    for (auto& light : m_slotLights) {
        light->SetVisible(false);
        light->Stop(true);
    }
}

void CStoryScreen2::ShowPreview(int number, const char* section)
{
    if (number < 0 || g_pResource == nullptr)
        return;  // no entry selected (after a journey to a closed location): keep what is shown
    (void)m_pPreview->LoadEffect(g_pResource, "#previews", ("level_" + std::to_string(number)).c_str());
    m_pPreview->PlayCommandSection(section, false);
}

void CStoryScreen2::ShowSlotLight(int slot)
{
    if (slot < 0 || slot >= progress::kSlots)
        return;
    CFAnimationInstance& light = *m_slotLights[static_cast<std::size_t>(slot)];
    light.SetVisible(true);
    light.Play(true);
}

// ---- Travelling ---------------------------------------------------------------------------------------

void CStoryScreen2::TravelTo(int target)
{
    for (auto& button : m_slotButtons)
        button->ClearAnimations();  // their looks are parts of the map effect about to be replaced
    m_pMap->SetSpeed(1.0f);
    (void)m_pMap->LoadEffect(g_pResource, "Story_Map_3", progress::MapEffect(m_nLocation, target).c_str());
    m_pMap->SetVisible(true);
    m_pMap->Play(false);
    (void)m_pWindowShadow->LoadEffect(g_pResource, "Story_Map_3", "window_1_shadow");
    m_pWindowShadow->SetVisible(true);
    m_pWindowShadow->Play(false);
    m_pHelm->PlayCommandSection(progress::HelmSection(m_nLocation, target), true);
    m_pPanelInput->DisableInput();
    m_pNavigationInput->DisableInput();
    m_bTransitionRunning = true;
    m_bJourneyStartedNow = true;
    m_nPreviousLocation = m_nLocation;
    m_nLocation = target;
    BindLevelButtons(1);
    m_fIntroTimer = kIntroSeconds;
    for (auto& light : m_slotLights) {
        light->SetVisible(false);
        light->Stop(true);
    }
    progress::SetSelection(Record(), progress::StoryEntry());
}

// ---- Handlers -----------------------------------------------------------------------------------------

void CStoryScreen2::OnPlay(CFObject*, int)
{
    PlayerRecord& record = Record();
    record.m_bStoryLevelPlayed = 1;
    progress::GameStart start;
    if (!progress::StoryGameStart(progress::GetSelection(record), start))
        return;  // nothing selected, or a selection out of range
    if (CGameProcess* game = CGameProcess::Create(start.level, start.mode, start.extra))
        g_pScreenManager->SwitchTo(game, true, true);
}

void CStoryScreen2::OnBack(CFObject*, int)
{
    CScreenFactory::SwitchTo(EScreenKind::MainMenu);
}

void CStoryScreen2::OnTrophyRoom(CFObject*, int)
{
    CScreenFactory::SwitchTo(EScreenKind::TrophyRoom, -1);
}

void CStoryScreen2::OnLocationClick(CFObject* sender, int)
{
    const int target = sender != nullptr ? sender->GetTag() : -1;
    if (target == m_nLocation || target < 0 || target >= PlayerRecord::kLocations || !StoryStarted())
        return;  // locations cannot be changed before the first Play
    TravelTo(target);
}

void CStoryScreen2::OnLevelMouseOver(CFObject* sender, int)
{
    if (sender == nullptr || !sender->IsEnabled())
        return;
    GetSlotState(sender->GetTag());
    const progress::StoryEntry entry = progress::EntryOfTag(m_nLocation, sender->GetTag());
    if (m_nHoveredState <= 0 || progress::GetEntryState(Record(), entry) == kLevelClosed || entry == m_previewShown)
        return;
    m_previewShown = entry;
    ShowPreview(entry.Number(), "show");
    if (m_previewShowSound != 0)
        m_engine.PlaySound(m_previewShowSound, false);
    if (g_pResource != nullptr)
        g_pResource->SetText("preview_name", progress::EntryName(m_levelNames, entry.Number()).c_str());
}

void CStoryScreen2::OnLevelMouseEnter(CFObject* sender, int)
{
    if (sender == nullptr || !sender->IsEnabled())
        return;
    GetSlotState(sender->GetTag());
    const progress::StoryEntry entry = progress::EntryOfTag(m_nLocation, sender->GetTag());
    PlayerRecord& record = Record();
    if (m_nHoveredState <= 0 || entry == progress::GetSelection(record))
        return;
    ResetSlots();
    progress::SetSelection(record, entry);
    m_selectionShown = entry;
    // The entry entered is the one hovered: its preview shows, whichever handler runs first.
    m_previewShown = entry;
    ShowPreview(entry.Number(), "show");
    const int slot = progress::SlotOfEntry(entry);
    m_slotButtons[static_cast<std::size_t>(slot)]->PlayState("select", true, true);
    ShowSlotLight(slot);
    if (m_selectingSound != 0)
        m_engine.PlaySound(m_selectingSound, false);
    m_nRememberedSlot = slot;
}

void CStoryScreen2::OnLevelMouseLeave(CFObject* sender, int)
{
    if (sender == nullptr || !sender->IsEnabled())
        return;
    const progress::StoryEntry selection = progress::GetSelection(Record());
    if (g_pResource != nullptr)
        g_pResource->SetText("preview_name", progress::EntryName(m_levelNames, selection.Number()).c_str());
    if (m_previewShown == m_selectionShown)
        return;
    m_previewShown = m_selectionShown;
    ShowPreview(m_selectionShown.Number(), "idle");
}

void CStoryScreen2::OnLevelClick(CFObject* sender, int)
{
    if (sender == nullptr || !sender->IsEnabled())
        return;
    const int tag = sender->GetTag();
    if (!StoryStarted() && tag != 0)
        return;
    const progress::StoryEntry entry = progress::EntryOfTag(m_nLocation, tag);
    if (entry.IsNone())
        return;
    const bool closed = progress::GetEntryState(Record(), entry) == kLevelClosed;
    if (tag == progress::kBonusSlot && closed) {
        if (CScreenBase* window = CDialogInformation::Create("informative_wind", "move_informative_wind_1", "bt_ok"))
            SetChild(window, false, true);
        return;
    }
    if (closed)
        return;
    if (CSoundManager::Exists() && CSoundManager::GetInstance()->m_menuChoose != 0)
        m_engine.PlaySound(CSoundManager::GetInstance()->m_menuChoose, false);
    OnPlay(sender, 1);
}

void CStoryScreen2::OnLevelDoubleClick(CFObject*, int)
{
}
