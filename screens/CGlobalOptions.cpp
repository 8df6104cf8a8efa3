// CGlobalOptions.cpp: volumes, display flags and the restart request of the options popup.
#include "screens/CGlobalOptions.h"

#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "app/Shell.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFCheckBox.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/CFSlider.h"
#include "framework/TraceEvent.h"
#include "screens/CDialogInformation.h"
#include "screens/CMenuScreen.h"
#include "progress/CProfileStore.h"
#include "table/CGameProcess.h"
#include "table/CInterface.h"

#include <new>
#include <string>

namespace {

constexpr const char* kModule = "options_full";

// Shared by every options popup of the process: the first Update after the start always fades.
int g_nLastMusic = -1;
int g_nLastAmbient = -1;

const char* const kSliderObjects[CGlobalOptions::kSliderCount] = {"sl_sound_volume", "sl_music_volume", "sl_ambience"};
const wchar_t* const kSliderTraces[CGlobalOptions::kSliderCount] = {L"effect", L"music", L"ambient"};

std::int32_t* RecordVolume(int slider)
{
    if (g_pProfileStore == nullptr)
        return nullptr;
    PlayerRecord& record = g_pProfileStore->m_current;
    switch (slider) {
    case CGlobalOptions::kEffects:
        return &record.m_nEffectVolume;
    case CGlobalOptions::kMusic:
        return &record.m_nMusicVolume;
    default:
        return &record.m_nAmbientVolume;
    }
}

}  // namespace

CGlobalOptions* CGlobalOptions::Create()
{
    return new (std::nothrow) CGlobalOptions();
}

// The window's parts stand still while it slides: the slide does not restart them.
CGlobalOptions::CGlobalOptions() : CSlideInPopup(kModule, "move_options_full", false)
{
    TraceEvent(GetGameTime(), L"screenGlobalOptions");
    m_pSound = CSoundManager::GetInstance();
    BuildWidgets();
}

CGlobalOptions::~CGlobalOptions() = default;

void CGlobalOptions::Release()
{
    delete this;
}

void CGlobalOptions::BuildWidgets()
{
    m_pWindowObject = std::make_unique<CFFrameImage>();
    m_pWindowObject->SetResource(g_pResource);
    m_pWindowObject->AddAnimation(kModule, "menu");
    m_pWindowObject->SetVisible(false);
    m_pRoot = std::make_unique<CFObject>();
    m_pRoot->SetRect(0, 0, 800, 600);

    for (int i = 0; i < kSliderCount; ++i) {
        auto slider = std::make_unique<CFSlider>();
        slider->SetResource(g_pResource);
        slider->AddAnimation(kModule, kSliderObjects[i]);
        const std::int32_t* volume = RecordVolume(i);
        slider->SetValue(volume != nullptr ? static_cast<float>(*volume) / 100.0f : 1.0f);
        slider->OnDragEnd += MakeDelegate(this, &CGlobalOptions::OnVolumeChanged);
        m_sliders[i] = std::move(slider);
    }
    m_pOk = std::make_unique<CFButton>();
    m_pOk->SetResource(g_pResource);
    m_pOk->AddAnimation(kModule, "bt_ok");
    m_pOk->AddAnimation("interface", "snd_button");
    m_pOk->OnClick += MakeDelegate(this, &CGlobalOptions::OnOk);

    struct Box {
        const char* object;
        void (CGlobalOptions::*handler)(CFObject*, int);
    };
    const Box boxes[kBoxCount] = {{"cb_fullscreen", &CGlobalOptions::OnFullScreen},
                                  {"cb_specialfx", &CGlobalOptions::OnHighDetail},
                                  {"cb_custcursor", &CGlobalOptions::OnCustomCursor},
                                  {"cb_lcd", &CGlobalOptions::OnFitToDesktop}};
    for (int i = 0; i < kBoxCount; ++i) {
        m_boxes[i] = std::make_unique<CFCheckBox>();
        m_boxes[i]->SetResource(g_pResource);
        m_boxes[i]->AddAnimation(kModule, boxes[i].object);
        m_boxes[i]->OnClick += MakeDelegate(this, boxes[i].handler);
    }
    if (const CProfileStore* store = g_pProfileStore) {
        m_boxes[kFullScreen]->SetChecked(store->m_bFullScreen != 0);
        m_boxes[kCustomCursor]->SetChecked(store->m_bSoftwareCursor != 0);
        m_boxes[kSpecialEffects]->SetChecked(store->m_bHighDetail != 0);
        m_boxes[kFitToDesktop]->SetEnabled(store->m_bFullScreen != 0);
        m_boxes[kFitToDesktop]->SetChecked(store->m_bFitToDesktop != 0);
    }

    // Children before the root joins the controller: the sliders capture the mouse through it.
    m_pRoot->AddChild(m_pWindowObject.get());
    m_pWindowObject->AddChild(m_pOk.get());
    for (auto& slider : m_sliders)
        m_pWindowObject->AddChild(slider.get());
    for (EBox box : {kFullScreen, kCustomCursor, kSpecialEffects, kFitToDesktop})
        m_pWindowObject->AddChild(m_boxes[box].get());
    m_controller.Add(m_pRoot.get());
}

// ---- Frame ------------------------------------------------------------------------------------------

void CGlobalOptions::OnUpdateStart(float)
{
    if (g_pProfileStore == nullptr)
        return;
    CFCheckBox& fit = *m_boxes[kFitToDesktop];
    const bool fullScreen = g_pProfileStore->m_bFullScreen != 0;
    if (fit.IsEnabled() != fullScreen) {
        fit.SetEnabled(fullScreen);
        fit.SetChecked(g_pProfileStore->m_bFitToDesktop != 0);
    }
    if (!g_bModeSwitchAllowed) {
        for (EBox box : {kFitToDesktop, kFullScreen})
            if (m_boxes[box]->IsEnabled())
                m_boxes[box]->SetEnabled(false);
    }
}

void CGlobalOptions::OnUpdateEnd(float)
{
    StoreVolumes();
}

void CGlobalOptions::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    GetShadow()->SetVisible(false);
    m_pWindowObject->SetVisible(true);
}

void CGlobalOptions::StoreVolumes()
{
    if (g_pProfileStore == nullptr)
        return;
    for (int i = 0; i < kSliderCount; ++i)
        *RecordVolume(i) = static_cast<int>(m_sliders[i]->GetValue() * 100.0f);
    const PlayerRecord& record = g_pProfileStore->m_current;
    if (record.m_nMusicVolume != g_nLastMusic || record.m_nAmbientVolume != g_nLastAmbient)
        m_pSound->SetMusicMode(CSoundManager::kKeepMode, 0.5f);
    g_nLastMusic = record.m_nMusicVolume;
    g_nLastAmbient = record.m_nAmbientVolume;
    if (g_pResource != nullptr)
        g_pResource->SetSoundVolume(record.m_nEffectVolume);
}

// ---- Handlers -----------------------------------------------------------------------------------------

void CGlobalOptions::OnOk(CFObject*, int)
{
    Close();
}

void CGlobalOptions::OnEscapeKey()
{
    TraceEvent(GetGameTime(), L"esc");
    OnOk(nullptr, -1);
}

void CGlobalOptions::OnEnterKey()
{
    OnOk(m_pOk.get(), 1);
}

void CGlobalOptions::OnVolumeChanged(CFObject*)
{
    for (int i = 0; i < kSliderCount; ++i) {
        if (m_sliders[i]->IsDragging())
            TraceEvent(GetGameTime(), kSliderTraces[i], std::to_wstring(*RecordVolume(i)));
    }
}

int CGlobalOptions::NextPendingChange(int pending, bool on)
{
    if (pending == 0)
        return on ? -1 : 1;
    return pending == -1 ? 1 : -1;
}

void CGlobalOptions::AskForRestart()
{
    Attach(this, CDialogInformation::Create("restart_request", "move_restart_request_wind", "bt_ok"));
}

void CGlobalOptions::OnFullScreen(CFObject*, int)
{
    if (g_pProfileStore == nullptr)
        return;
    CProfileStore& store = *g_pProfileStore;
    if (!m_boxes[kFullScreen]->IsEnabled()) {
        TraceEvent(GetGameTime(), L"fullscreen", L"disabled");
        return;
    }
    if (store.m_bFitToDesktop == 0) {
        store.m_bFullScreen = store.m_bFullScreen != 0 ? 0 : 1;
        ApplyWindowMode();
        TraceEvent(GetGameTime(), L"fullscreen", static_cast<int>(store.m_bFullScreen));
        return;
    }
    const bool first = store.m_nPendingFullScreen == 0;
    store.m_nPendingFullScreen = NextPendingChange(store.m_nPendingFullScreen, store.m_bFullScreen != 0);
    if (first)
        AskForRestart();
    TraceEvent(GetGameTime(), L"fullscreenWait", store.m_nPendingFullScreen);
}

void CGlobalOptions::OnFitToDesktop(CFObject*, int)
{
    if (g_pProfileStore == nullptr)
        return;
    CProfileStore& store = *g_pProfileStore;
    if (!m_boxes[kFitToDesktop]->IsEnabled()) {
        TraceEvent(GetGameTime(), L"lcd", L"disabled");
        return;
    }
    const bool first = store.m_nPendingFit == 0;
    store.m_nPendingFit = NextPendingChange(store.m_nPendingFit, store.m_bFitToDesktop != 0);
    if (first)
        AskForRestart();
    TraceEvent(GetGameTime(), L"lcdWait", store.m_nPendingFit);
}

void CGlobalOptions::OnCustomCursor(CFObject*, int)
{
    if (g_pProfileStore == nullptr)
        return;
    g_pProfileStore->m_bSoftwareCursor = g_pProfileStore->m_bSoftwareCursor != 0 ? 0 : 1;
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->SetSoftwareCursor(g_pProfileStore->m_bSoftwareCursor != 0);
    TraceEvent(GetGameTime(), L"cursor", static_cast<int>(g_pProfileStore->m_bSoftwareCursor));
}

void CGlobalOptions::OnHighDetail(CFObject*, int)
{
    if (g_pProfileStore == nullptr)
        return;
    g_pProfileStore->m_bHighDetail = g_pProfileStore->m_bHighDetail != 0 ? 0 : 1;
    const bool highDetail = g_pProfileStore->m_bHighDetail != 0;
    if (g_pResource != nullptr)
        g_pResource->SetHighDetail(highDetail);
    ReloadBackgrounds(highDetail);
    TraceEvent(GetGameTime(), L"hiDetail", static_cast<int>(highDetail));
}

// Only the game screen and the main menu have a background of each detail.
void CGlobalOptions::ReloadBackgrounds(bool highDetail)
{
    CScreenBase* top = g_pScreenManager != nullptr ? g_pScreenManager->GetCurrent() : nullptr;
    if (top == nullptr)
        return;
    if (top->GetName() == "GameProcess") {
        if (auto* game = dynamic_cast<CGameProcess*>(top); game != nullptr && game->GetInterface() != nullptr)
            game->GetInterface()->ReloadBackground(highDetail);
    } else if (top->GetName() == "MainMenu") {
        if (auto* menu = dynamic_cast<CMenuScreen*>(top))
            menu->ReloadBackground(highDetail);
    }
}
