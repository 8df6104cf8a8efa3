// CClassicScreen2.cpp: the classic selection's pages, location pictures, preview and game start.
#include "screens/CClassicScreen2.h"

#include "app/CIniFile.h"
#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "progress/CProfileStore.h"
#include "table/CGameProcess.h"

#include <new>

namespace {

const char* const kModule = "classic";

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

bool ValidLocation(int location)
{
    return location >= 0 && location < PlayerRecord::kLocations;
}

}  // namespace

CClassicScreen2* CClassicScreen2::Create()
{
    return new (std::nothrow) CClassicScreen2();
}

CClassicScreen2::CClassicScreen2()
{
    m_sName = "screenClassic";
    TraceEvent(GetGameTime(), L"screenClassic");
    for (const char* module : {"#previews", "interface"}) {
        if (g_pResource != nullptr && !g_pResource->FindModule(module))
            g_pResource->LoadModule(module, -1);
    }
    g_pProfileStore->Save();
    // A damaged record could hold any number here; a game start checks it again.
    m_nSelectedLocation = g_pProfileStore->m_current.m_nClassicLocation;
    ReadLevelNames();
    if (g_pResource != nullptr)
        g_pResource->SetText("preview_name", "");
    m_pBackGroup = std::make_unique<CFAnimationGroup>();
    m_pFrontGroup = std::make_unique<CFAnimationGroup>();
    CreatePreview();
    m_pBackground = std::make_unique<CFAnimationInstance>(m_pBackGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)m_pBackground->LoadEffect(g_pResource, kModule, "classic");  // a missing effect is logged there
    m_pBackground->SetVisible(true);
    m_pBackground->Play(true);
    CreateWidgets();
    CreateLocationButtons();
    CreateEntries();
    m_pController->Add(m_pPageUp.get());
    m_pController->Add(m_pPageDown.get());
    if (CSoundManager* sound = CSoundManager::GetInstance())
        sound->SetMusicMode(CSoundManager::kMenu, 1.0f);
}

CClassicScreen2::~CClassicScreen2()
{
    m_pPreview.reset();
    m_pClickSound.reset();
    m_pController.reset();
    for (auto& entry : m_entries)
        entry.reset();
    for (auto& button : m_locationButtons)
        button.reset();
    m_pMenuFrame.reset();
    m_pPreviewFrame.reset();
    m_pMainMenu.reset();
    m_pPageUp.reset();
    m_pPageDown.reset();
    m_pBackground.reset();
    m_pBackGroup.reset();
    m_pFrontGroup.reset();
    if (m_pChild != nullptr) {
        m_pChild->Release();
        m_pChild = nullptr;
    }
}

void CClassicScreen2::Release()
{
    delete this;
}

CFButton* CClassicScreen2::GetEntry(int tag) const
{
    return tag >= 0 && tag < progress::kClassicEntries ? m_entries[At(tag)].get() : nullptr;
}

CFButton* CClassicScreen2::GetLocationButton(int location) const
{
    return ValidLocation(location) ? m_locationButtons[At(location)].get() : nullptr;
}

void CClassicScreen2::ReadLevelNames()
{
    CIniFile levels("sol_max.ini");
    for (int number = 0; number < PlayerRecord::kLevelNumbers; ++number) {
        levels.SetSection(("Solitaire" + std::to_string(number)).c_str());
        m_levelNames.push_back(levels.GetString("level_name"));
    }
}

void CClassicScreen2::CreatePreview()
{
    float x = 0, y = 0;
    {
        CFAnimationInstance corner(m_pFrontGroup.get(), CFAnimationInstance::kUnsetPosition,
                                   CFAnimationInstance::kUnsetPosition);
        (void)corner.LoadEffect(g_pResource, kModule, "preview_pos");
        corner.SetVisible(true);
        corner.Play(false);
        corner.GetPartPosition(&x, &y, 0, 0);
    }
    m_pClickSound = std::make_unique<CFAnimationInstance>(m_pBackGroup.get(), CFAnimationInstance::kUnsetPosition,
                                                          CFAnimationInstance::kUnsetPosition);
    (void)m_pClickSound->LoadEffect(g_pResource, "interface", "snd_button");
    m_pClickSound->SetVisible(true);
    m_pClickSound->Play(false);
    m_pClickSound->Stop(false);
    m_pPreview = std::make_unique<CFAnimationInstance>(m_pFrontGroup.get(), x, y);
}

std::unique_ptr<CFButton> CClassicScreen2::MakeButton(const char* effect, int tag)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    button->AddAnimation(kModule, effect);
    button->AddAnimation("interface", "snd_button");
    button->SetTag(tag);
    return button;
}

void CClassicScreen2::CreateWidgets()
{
    m_pController = std::make_unique<CFObjectController>(CFMouse::GetInstance());
    m_pMainMenu = MakeButton("bt_mainmenu", 0);
    m_pMainMenu->OnClick += MakeDelegate(this, &CClassicScreen2::OnMainMenu);
    m_pMenuFrame = std::make_unique<CFFrameImage>();
    m_pMenuFrame->SetResource(g_pResource);
    m_pMenuFrame->AddAnimation(kModule, "menu");
    m_pPreviewFrame = std::make_unique<CFFrameImage>();
    m_pPreviewFrame->SetResource(g_pResource);
    m_pPreviewFrame->AddAnimation(kModule, "window_preview");
    m_pPageUp = MakeButton("bt_arrow_up", 0);
    m_pPageUp->OnClick += MakeDelegate(this, &CClassicScreen2::OnPageUp);
    m_pPageUp->SetVisible(false);
    m_pPageDown = MakeButton("bt_arrow_down", 0);
    m_pPageDown->OnClick += MakeDelegate(this, &CClassicScreen2::OnPageDown);
    m_pController->Add(m_pMenuFrame.get());
    m_pController->Add(m_pPreviewFrame.get());
    m_pController->Add(m_pMainMenu.get());
}

void CClassicScreen2::CreateLocationButtons()
{
    const PlayerRecord& record = g_pProfileStore->m_current;
    for (int location = 0; location < PlayerRecord::kLocations; ++location) {
        auto button = MakeButton(("foto_" + std::to_string(location + 1)).c_str(), location);
        button->OnClick += MakeDelegate(this, &CClassicScreen2::OnLocationClick);
        if (record.m_locationOpened[At(location)] == 0) {
            button->PlayState("closed", true, true);
            button->SetEnabled(false);
        }
        if (location == m_nSelectedLocation)
            button->PlayState("select", false, true);
        m_pController->Add(button.get());
        m_locationButtons[At(location)] = std::move(button);
    }
}

void CClassicScreen2::CreateEntries()
{
    for (int tag = 0; tag < progress::kClassicEntries; ++tag) {
        auto entry = MakeButton(("l_" + std::to_string(tag + 1)).c_str(), tag);
        entry->OnClick += MakeDelegate(this, &CClassicScreen2::OnLevelClick);
        entry->OnMouseDown += MakeDelegate(this, &CClassicScreen2::OnLevelMouseDown);
        entry->OnMouseEnter += MakeDelegate(this, &CClassicScreen2::OnLevelMouseEnter);
        if (tag >= kEntriesPerPage)
            entry->SetVisible(false);
        m_pController->Add(entry.get());
        m_entries[At(tag)] = std::move(entry);
    }
}

void CClassicScreen2::Update(float dt)
{
    if (m_bActive) {
        m_pBackGroup->Update(dt);
        m_pController->Update(dt);
        m_pFrontGroup->Update(dt);
    }
    CScreenBase::Update(dt);
}

void CClassicScreen2::Render()
{
    if (m_bVisible) {
        m_pBackGroup->Render();
        m_pController->Render();
        m_pFrontGroup->Render();
    }
    CScreenBase::Render();
}

// ---- Handlers ---------------------------------------------------------------------------------------

void CClassicScreen2::ShowPage(bool second)
{
    for (int tag = 0; tag < progress::kClassicEntries; ++tag)
        m_entries[At(tag)]->SetVisible((tag >= kEntriesPerPage) == second);
    m_pPageDown->SetVisible(!second);
    m_pPageUp->SetVisible(second);
}

void CClassicScreen2::OnPageUp(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"up");
    ShowPage(false);
}

void CClassicScreen2::OnPageDown(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"down");
    ShowPage(true);
    // The hardcore tables open with their locations' hardcore levels, looked up anew each time.
    const PlayerRecord& record = g_pProfileStore->m_current;
    for (int tag = progress::kClassicHardcoreFirst; tag < progress::kClassicEntries; ++tag) {
        const int location = tag - progress::kClassicHardcoreFirst;
        m_entries[At(tag)]->SetEnabled(record.m_hardcoreLevels[At(location)] > kLevelClosed);
    }
}

void CClassicScreen2::OnLocationClick(CFObject* sender, int state)
{
    auto* button = static_cast<CFButton*>(sender);
    if (button == nullptr)
        return;
    const int tag = button->GetTag();
    if (tag == m_nSelectedLocation) {
        TraceEvent(GetGameTime(), L"selectWorld", L"sameWorld");
        return;
    }
    if (!button->IsEnabled()) {
        TraceEvent(GetGameTime(), L"selectWorld", L"disabled");
        return;
    }
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"selectWorld", std::to_wstring(tag));
    if (ValidLocation(m_nSelectedLocation))
        m_locationButtons[At(m_nSelectedLocation)]->PlayState("leave", false, false);
    m_nSelectedLocation = tag;
    g_pProfileStore->m_current.m_nClassicLocation = tag;
    button->PlayState("select", false, true);
}

void CClassicScreen2::OnLevelMouseEnter(CFObject* sender, int)
{
    auto* entry = static_cast<CFButton*>(sender);
    if (entry == nullptr || !entry->IsEnabled())
        return;
    const int number = progress::ClassicEntryNumber(entry->GetTag());
    if (number < 0)
        return;
    if (g_pResource != nullptr)
        g_pResource->SetText("preview_name", progress::EntryName(m_levelNames, number).c_str());
    (void)m_pPreview->LoadEffect(g_pResource, "#previews", ("level_" + std::to_string(number)).c_str());
    m_pPreview->SetVisible(true);
    m_pPreview->PlayCommandSection("show", false);
    for (auto& other : m_entries)
        other->ResetState();
    // Locked on "enter", the entry's own sounds stay silent: the mouse press makes the click.
    entry->PlayState("enter", false, true);
}

void CClassicScreen2::OnLevelMouseDown(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        m_pClickSound->PlayCommandSection("down", false);
}

void CClassicScreen2::OnLevelClick(CFObject* sender, int state)
{
    auto* entry = static_cast<CFButton*>(sender);
    if (entry == nullptr || !entry->IsEnabled() || state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"selectWorld");
    const int tag = entry->GetTag();
    progress::GameStart start;
    if (!progress::ClassicGameStart(tag, m_nSelectedLocation, start))
        return;
    m_nChosenEntry = tag < progress::kClassicHardcoreFirst ? tag : tag - progress::kClassicHardcoreFirst;
    if (CGameProcess* game = CGameProcess::Create(start.level, start.mode, start.extra))
        g_pScreenManager->SwitchTo(game, true, true);
}

void CClassicScreen2::OnMainMenu(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"mainMenu");
    TraceEvent(GetGameTime(), L"Classic", static_cast<double>(g_pProfileStore->m_current.m_nClassicScore),
               L"User request");
    CScreenFactory::SwitchTo(EScreenKind::MainMenu);
}
