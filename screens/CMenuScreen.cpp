// CMenuScreen.cpp: the main menu's buttons, tooltips, credits and first start.
#include "screens/CMenuScreen.h"

#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimatedObject.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "platform/FileSystem.h"
#include "screens/CGlobalOptions.h"
#include "screens/CHiScore.h"
#include "screens/CNewPlayer.h"
#include "progress/CProfileStore.h"
#include "app/CScreenFactory.h"
#include "screens/CSelectPlayer2.h"
#include "screens/CSlideInPopup.h"

#include <new>

namespace {

constexpr const char* kModule = "main_menu";
constexpr std::size_t kMaxBuildFile = 64u << 10;
constexpr std::size_t kMaxVersionLength = 128;

// Set once the buttons of a first-start menu came back after its new-player popup; never cleared.
bool g_bFirstStartInputRestored = false;

struct ButtonLook {
    const char* effect;
    float x, y, w, h;  // w 0: the rectangle of its animation
};

// In the order of CMenuScreen::EButton.
const ButtonLook kLooks[CMenuScreen::kButtonCount] = {
    {"story_button", 0, 0, 0, 0}, {"classic", 0, 0, 0, 0},     {"Options", 516, 542, 119, 33},
    {"hiscores", 140, 542, 139, 33}, {"player", 292, 541, 212, 37}, {"Exit", 649, 542, 136, 33},
    {"bt_credits", 13, 542, 114, 33},
};

}  // namespace

CMenuScreen* CMenuScreen::Create()
{
    return new (std::nothrow) CMenuScreen();
}

CMenuScreen::CMenuScreen()
    : m_buttonController(CFMouse::GetInstance()), m_creditsController(CFMouse::GetInstance())
{
    m_sName = "MainMenu";
    TraceEvent(GetGameTime(), L"mainMenu");
    g_bMenuReached = true;
    m_engine.DiscardManagedResources();
    BuildBackground();
    BuildTooltips();
    if (g_pProfileStore != nullptr && g_pProfileStore->GetPlayerCount() > 0) {
        if (g_pResource != nullptr)
            g_pResource->SetText("profile_player", g_pProfileStore->m_current.GetName().c_str());
    } else {
        OpenFirstStartPopup();
    }
    m_pLight = std::make_unique<CFAnimationInstance>(&m_frontGroup, CFAnimationInstance::kUnsetPosition,
                                                     CFAnimationInstance::kUnsetPosition);
    (void)m_pLight->LoadEffect(g_pResource, kModule, "Wandrel_light");  // logged there
    m_pLight->SetVisible(m_bFirstStartLight);
    m_pLight->Play(true);
    BuildButtons();
    CSoundManager::GetInstance()->SetMusicMode(CSoundManager::kMenu, 1.0f);
    ReadBuildVersion();
}

CMenuScreen::~CMenuScreen() = default;

void CMenuScreen::Release()
{
    delete this;
}

// ---- Building ---------------------------------------------------------------------------------------

void CMenuScreen::BuildBackground()
{
    m_bHighDetail = g_pProfileStore == nullptr || g_pProfileStore->m_bHighDetail != 0;
    m_pBackground = std::make_unique<CFAnimationInstance>(&m_backGroup, CFAnimationInstance::kUnsetPosition,
                                                          CFAnimationInstance::kUnsetPosition);
    LoadBackground();
}

void CMenuScreen::LoadBackground()
{
    (void)m_pBackground->LoadEffect(g_pResource, kModule, m_bHighDetail ? "animations" : "animations_lite");
    m_pBackground->SetVisible(true);
    m_pBackground->PlayCommandSection("all", true);
}

void CMenuScreen::ReloadBackground(bool highDetail)
{
    m_bHighDetail = highDetail;
    LoadBackground();
    m_backGroup.Update(0.001f);
}

void CMenuScreen::BuildTooltips()
{
    for (auto* tip : {&m_pStoryTip, &m_pClassicTip}) {
        *tip = std::make_unique<CFAnimationInstance>(&m_frontGroup, CFAnimationInstance::kUnsetPosition,
                                                     CFAnimationInstance::kUnsetPosition);
        (*tip)->SetPlayParts(false);
    }
    (void)m_pStoryTip->LoadEffect(g_pResource, kModule, "tooltip_Wandrel");
    (void)m_pClassicTip->LoadEffect(g_pResource, kModule, "tooltip_classic");
    m_pStoryTip->SetVisible(true);
    m_pClassicTip->SetVisible(true);
}

void CMenuScreen::OpenFirstStartPopup()
{
    OpenPopup(CNewPlayer::Create());
    m_bNewPlayerOpened = true;
    m_buttonController.DisableInput();
    m_bFirstStartLight = true;
    m_pStoryTip->PlayCommandSection("show", false);
    m_fStoryTipTimer = kFirstStartTooltip;
    m_bStoryTipShown = true;
}

CFButton* CMenuScreen::MakeButton(EButton which, const char* effect, void (CMenuScreen::*onClick)(CFObject*, int))
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    button->AddAnimation(kModule, effect);
    button->AddAnimation("interface", "snd_button");
    const ButtonLook& look = kLooks[which];
    if (look.w > 0)
        button->SetRect(look.x, look.y, look.w, look.h);
    button->OnClick += MakeDelegate(this, onClick);
    m_buttons[which] = std::move(button);
    return m_buttons[which].get();
}

void CMenuScreen::BuildButtons()
{
    MakeButton(kStory, kLooks[kStory].effect, &CMenuScreen::OnStory)->OnMouseEnter +=
        MakeDelegate(this, &CMenuScreen::OnEnterStory);
    MakeButton(kClassic, kLooks[kClassic].effect, &CMenuScreen::OnClassic)->OnMouseEnter +=
        MakeDelegate(this, &CMenuScreen::OnEnterClassic);
    MakeButton(kCredits, kLooks[kCredits].effect, &CMenuScreen::OnCredits);
    MakeButton(kOptions, kLooks[kOptions].effect, &CMenuScreen::OnOptions);
    MakeButton(kHighScores, kLooks[kHighScores].effect, &CMenuScreen::OnHighScores);
    MakeButton(kPlayer, kLooks[kPlayer].effect, &CMenuScreen::OnPlayer);
    MakeButton(kExit, kLooks[kExit].effect, &CMenuScreen::OnExit);
    for (EButton resets : {kCredits, kOptions, kHighScores, kPlayer, kExit})
        m_buttons[resets]->OnClick += MakeDelegate(this, &CMenuScreen::OnResetClick);

    m_pCredits = std::make_unique<CFAnimatedObject>();
    m_pCredits->SetResource(g_pResource);
    m_pCredits->SetVisible(false);
    m_pCredits->OnClick += MakeDelegate(this, &CMenuScreen::OnCreditsClick);
    m_pCredits->OnClick += MakeDelegate(this, &CMenuScreen::OnResetClick);
    m_creditsController.Add(m_pCredits.get());
    for (EButton which : {kStory, kClassic, kOptions, kHighScores, kPlayer, kExit, kCredits})
        m_buttonController.Add(m_buttons[which].get());
}

void CMenuScreen::OpenPopup(CScreenBase* popup)
{
    (void)CSlideInPopup::Attach(this, popup);
}

// ---- Build version ------------------------------------------------------------------------------------

std::string CMenuScreen::BuildVersionLine(const std::vector<std::uint8_t>& bytes)
{
    std::string line;
    for (std::uint8_t byte : bytes) {
        if (byte == '\r' || byte == '\n' || line.size() == kMaxVersionLength)
            break;
        line.push_back(static_cast<char>(byte));
    }
    return line;
}

void CMenuScreen::ReadBuildVersion()
{
    std::vector<std::uint8_t> bytes;
    const bool read = fs_layer::FileExists("data/build") && fs_layer::ReadWholeFile("data/build", bytes, kMaxBuildFile);
    if (g_pResource != nullptr)
        g_pResource->SetText("version", read ? BuildVersionLine(bytes).c_str() : kDefaultVersion);
}

// ---- Frame ------------------------------------------------------------------------------------------

void CMenuScreen::Update(float dt)
{
    if (m_bActive) {
        if (m_bNewPlayerOpened && !CNewPlayer::IsOpen() && !m_buttonController.IsInputEnabled() &&
            !g_bFirstStartInputRestored) {
            g_bFirstStartInputRestored = true;
            m_buttonController.EnableInput();
        }
        UpdateTexts();
        m_backGroup.Update(dt);
        if (m_pChild == nullptr) {
            m_frontGroup.Update(dt);
            UpdateTooltips(dt);
        }
        m_buttonController.Update(dt);
        m_creditsController.Update(dt);
    }
    CScreenBase::Update(dt);
}

void CMenuScreen::UpdateTexts()
{
    if (g_pResource == nullptr)
        return;
    const wchar_t* version = g_pResource->GetText("version");
    const bool versionShown = version != nullptr && *version != L'\0';
    if (g_bCheatMode && !versionShown)
        ReadBuildVersion();
    else if (!g_bCheatMode && versionShown)
        g_pResource->SetText("version", "");
    if (g_pProfileStore != nullptr && g_pProfileStore->GetPlayerCount() > 0)
        g_pResource->SetText("profile_player", g_pProfileStore->m_current.GetName().c_str());
}

void CMenuScreen::UpdateTooltips(float dt)
{
    if (m_fStoryTipTimer > 0) {
        m_fStoryTipTimer -= dt;
        if (m_fStoryTipTimer <= 0) {
            m_fStoryTipTimer = 0;
            if (!m_bStoryTipShown || m_buttons[kStory]->IsMouseOver()) {
                m_fStoryTipTimer = kRearm;
            } else if (!m_bFirstStartLight) {
                m_pStoryTip->PlayCommandSection("hide", false);
                m_bStoryTipShown = false;
                m_pLight->SetVisible(false);
            } else {
                m_fStoryTipTimer = kRearm;
            }
        }
    }
    if (m_fClassicTipTimer > 0) {
        m_fClassicTipTimer -= dt;
        if (m_fClassicTipTimer <= 0) {
            m_fClassicTipTimer = 0;
            if (!m_bClassicTipShown || m_buttons[kClassic]->IsMouseOver()) {
                m_fClassicTipTimer = kRearm;
            } else {
                m_pClassicTip->PlayCommandSection("hide", false);
                m_bClassicTipShown = false;
            }
        }
    }
}

void CMenuScreen::Render()
{
    if (m_bVisible) {
        m_backGroup.Render();
        m_buttonController.Render();
        m_creditsController.Render();
        m_frontGroup.Render();
    }
    CScreenBase::Render();
}

// ---- Tooltips -----------------------------------------------------------------------------------------

void CMenuScreen::OnEnterStory(CFObject*, int)
{
    if (!m_bStoryTipShown) {
        m_pStoryTip->PlayCommandSection("show", false);
        m_fStoryTipTimer = kRearm;
        m_bStoryTipShown = true;
    }
    if (m_bClassicTipShown)
        m_fClassicTipTimer = kRearm;
}

void CMenuScreen::OnEnterClassic(CFObject*, int)
{
    if (!m_bClassicTipShown) {
        m_pClassicTip->PlayCommandSection("show", false);
        m_fClassicTipTimer = kRearm;
        m_bClassicTipShown = true;
    }
    if (m_bStoryTipShown && !m_bFirstStartLight)
        m_fStoryTipTimer = kRearm;
    if (m_bFirstStartLight && m_fStoryTipTimer < kRearm)
        m_bFirstStartLight = false;
}

void CMenuScreen::ResetTooltips()
{
    if (m_bStoryTipShown)
        m_fStoryTipTimer = kRearm;
    if (m_bClassicTipShown)
        m_fClassicTipTimer = kRearm;
    m_bFirstStartLight = false;
}

void CMenuScreen::OnResetClick(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        ResetTooltips();
}

// ---- Buttons ------------------------------------------------------------------------------------------

void CMenuScreen::OnStory(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"story");
    TraceEvent(GetGameTime(), L"Story");
    m_pLight->SetVisible(false);
    CScreenFactory::SwitchTo(EScreenKind::StoryMap);
}

void CMenuScreen::OnClassic(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"classic");
    TraceEvent(GetGameTime(), L"Classic");
    m_pLight->SetVisible(false);
    CScreenFactory::SwitchTo(EScreenKind::ClassicSelection);
}

void CMenuScreen::OnCredits(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"credits");
    m_pLight->SetVisible(false);
    ShowCredits();
}

void CMenuScreen::OnOptions(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"options");
    m_pLight->SetVisible(false);
    OpenPopup(CGlobalOptions::Create());
}

void CMenuScreen::OnHighScores(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"highScore");
    m_pLight->SetVisible(false);
    OpenPopup(CHiScore::Create());
}

void CMenuScreen::OnPlayer(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"selectPlayer");
    m_pLight->SetVisible(false);
    OpenPopup(CSelectPlayer2::Create());
}

void CMenuScreen::OnExit(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"exit");
    m_pLight->SetVisible(false);
    g_bExitRequested = true;  // the frame function asks the exit question, as for the close box
}

void CMenuScreen::OnSurvey(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    m_engine.MinimizeFocusWindow();
    m_pLight->SetVisible(false);
}

// ---- Credits ------------------------------------------------------------------------------------------

void CMenuScreen::SetBackgroundDecorVisible(bool visible)
{
    if (CFAnimationInstance* decor = m_pBackground->FindPart(m_bHighDetail ? 2 : 0, "bt_no.all"))
        decor->SetVisible(visible);
}

void CMenuScreen::ShowCredits()
{
    m_buttonController.DisableInput();
    m_creditsController.EnableInput();
    m_buttons[kStory]->SetVisible(false);
    m_buttons[kClassic]->SetVisible(false);
    SetBackgroundDecorVisible(false);
    m_pCredits->SetVisible(true);
    m_pCredits->ClearAnimations();
    const bool secret = m_engine.KeyHeld('F') && m_engine.KeyHeld('G');
    m_pCredits->AddAnimation(kModule, secret ? "scroll" : "text");
    m_pCredits->SetRect(0, 0, 800, 600);
    m_pCredits->PlayCommandSection("all", true);
}

void CMenuScreen::OnCreditsClick(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"exitCredits");
    m_buttonController.EnableInput();
    m_creditsController.DisableInput();
    m_buttons[kStory]->SetVisible(true);
    m_buttons[kClassic]->SetVisible(true);
    SetBackgroundDecorVisible(true);
    m_pCredits->SetVisible(false);
}
