// COptionsMenu2.cpp: two volume sliders that act while they move.
#include "screens/COptionsMenu2.h"

#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFResource.h"
#include "framework/CFSlider.h"
#include "progress/CProfileStore.h"

#include <new>

namespace {

constexpr const char* kModule = "options";

int g_nLastMusic = -1;  // shared by every such screen of the process, apart from the big options'

// No loading step brings this module in, so the first screen that needs it loads it.
void LoadModule()
{
    if (g_pResource != nullptr && g_pResource->GetModuleObjectsLeft(kModule) > 0)
        (void)g_pResource->LoadModule(kModule, -1);
}

}  // namespace

COptionsMenu2* COptionsMenu2::Create()
{
    LoadModule();
    return new (std::nothrow) COptionsMenu2();
}

COptionsMenu2::COptionsMenu2() : CSlideInPopup(kModule, "move_options")
{
    HideBackdrop();
    m_pSound = CSoundManager::GetInstance();
    const PlayerRecord* record = g_pProfileStore != nullptr ? &g_pProfileStore->m_current : nullptr;
    m_pEffect = MakeSlider("sl_volume_select", record != nullptr ? record->m_nEffectVolume : 100);
    m_pMusic = MakeSlider("sl_ambient_music", record != nullptr ? record->m_nMusicVolume : 100);
    m_pOk = std::make_unique<CFButton>();
    m_pOk->SetResource(g_pResource);
    m_pOk->AddAnimation(kModule, "bt_ok");
    m_pOk->AddAnimation("interface", "snd_button");
    m_pOk->OnClick += MakeDelegate(this, &COptionsMenu2::OnOk);
    m_controller.Add(m_pOk.get());
    m_controller.Add(m_pEffect.get());
    m_controller.Add(m_pMusic.get());
}

COptionsMenu2::~COptionsMenu2() = default;

std::unique_ptr<CFSlider> COptionsMenu2::MakeSlider(const char* object, int volume)
{
    auto slider = std::make_unique<CFSlider>();
    slider->SetResource(g_pResource);
    slider->AddAnimation(kModule, object);
    slider->SetValue(static_cast<float>(volume) / 100.0f);
    return slider;
}

void COptionsMenu2::Release()
{
    delete this;
}

void COptionsMenu2::OnOk(CFObject*, int)
{
    Close();
}

void COptionsMenu2::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    GetShadow()->SetVisible(false);
}

void COptionsMenu2::OnUpdateEnd(float)
{
    if (g_pProfileStore == nullptr)
        return;
    PlayerRecord& record = g_pProfileStore->m_current;
    record.m_nEffectVolume = static_cast<int>(m_pEffect->GetValue() * 100.0f);
    record.m_nMusicVolume = static_cast<int>(m_pMusic->GetValue() * 100.0f);
    if (record.m_nMusicVolume != g_nLastMusic)
        m_pSound->SetMusicMode(CSoundManager::kKeepMode, 0.5f);
    g_nLastMusic = record.m_nMusicVolume;
    if (g_pResource != nullptr)
        g_pResource->SetSoundVolume(record.m_nEffectVolume);
}
