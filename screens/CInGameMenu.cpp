// CInGameMenu.cpp: the in-game menu's widgets, its questions and what each choice does to the game.
#include "screens/CInGameMenu.h"

#include "app/CIniFile.h"
#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFCheckBox.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/CSprite.h"
#include "framework/TraceEvent.h"
#include "screens/CDialogConfirmation.h"
#include "screens/CGlobalOptions.h"
#include "progress/CProfileStore.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CDeck.h"
#include "table/CGameProcess.h"
#include "table/CInterface.h"

#include <cstdio>
#include <new>
#include <string>

namespace {

constexpr int kSets = 3;
constexpr unsigned kKindMask = 7, kStoryKind = 0, kClassicKind = 1, kBonusKind = 2, kHardcoreFlag = 8;

// The buttons that show each set: the second and third buttons show the sets the other way round.
constexpr CInGameMenu::EButton kSetButtons[kSets] = {CInGameMenu::kCard1, CInGameMenu::kCard3, CInGameMenu::kCard2};

PlayerRecord* Player()
{
    return g_pProfileStore != nullptr ? &g_pProfileStore->m_current : nullptr;
}

std::string Printf(const char* format, int a, int b = 0, int c = 0, int d = 0)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c, d);
    return text;
}

CSprite* CardBackSprite(int set)
{
    if (g_pResource == nullptr)
        return nullptr;
    return g_pResource->GetSprite(Printf("GFX/Interface/GENERAL/CARDS/cards_back_%d.png", set + 1).c_str());
}

// "S3", "S1H", "S2B", "C7": the game in the menu's trace lines.
std::wstring LevelTag(const CGameProcess& game, bool classic)
{
    const unsigned mode = static_cast<unsigned>(game.GetMode());
    std::wstring tag = (classic ? L"C" : L"S") + std::to_wstring(game.GetLevel());
    if ((mode & kHardcoreFlag) != 0)
        tag += L"H";
    if (!classic && (mode & kKindMask) == kBonusKind)
        tag += L"B";
    return tag;
}

}  // namespace

const CInGameMenu::Variant CInGameMenu::kStory = {"in_game_menu", "move_in_game_menu", L"screenIngameMenuStory",
                                                  "bt_quit_to_map", false};

CInGameMenu* CInGameMenu::Create(CFAnimationGroup* owner)
{
    return new (std::nothrow) CInGameMenu(kStory, owner);
}

// The window's parts stand still while it slides: the slide does not restart them.
CInGameMenu::CInGameMenu(const Variant& variant, CFAnimationGroup* owner)
    : CSlideInPopup(variant.module, variant.move, false), m_variant(variant), m_pOwner(owner)
{
    TraceEvent(GetGameTime(), variant.screenTrace);
    m_pSound = CSoundManager::GetInstance();
    BuildWidgets();
}

CInGameMenu::~CInGameMenu()
{
    m_controller.Remove(m_pRoot.get());
    if (m_pPanel != nullptr)
        m_pPanel->RemoveAllChildren();  // children are taken off before they go
    if (m_pRoot != nullptr)
        m_pRoot->RemoveAllChildren();
}

void CInGameMenu::Release()
{
    delete this;
}

// ---- Building -----------------------------------------------------------------------------------------

void CInGameMenu::BuildWidgets()
{
    m_pRoot = std::make_unique<CFObject>();
    m_pRoot->SetRect(0, 0, 800, 600);
    m_pRoot->OnClick += MakeDelegate(this, &CInGameMenu::OnBack);
    // The panel has no picture (the window is the slide's): it only keeps clicks on the window
    // from reaching the root, which would close the menu.
    m_pPanel = std::make_unique<CFFrameImage>();
    m_pPanel->SetResource(g_pResource);
    m_pPanel->SetRect(kPanelX, kPanelY, kPanelWidth, kPanelHeight);

    AddButton(kLearn, "bt_learn", MakeDelegate(this, &CInGameMenu::OnLearn));
    AddButton(kOptions, "bt_options", MakeDelegate(this, &CInGameMenu::OnOptions));
    AddButton(kExitGame, "bt_exitgame", MakeDelegate(this, &CInGameMenu::OnQuitToMenu));
    AddButton(kBackToGame, "bt_back_to_game", MakeDelegate(this, &CInGameMenu::OnBack));
    AddButton(kQuit, m_variant.quitButton, MakeDelegate(this, &CInGameMenu::OnQuitToMap));
    AddButton(kDeal, "bt_deal", MakeDelegate(this, &CInGameMenu::OnDeal));
    AddButton(kCard1, "bt_card_1", MakeDelegate(this, &CInGameMenu::OnCardBack1));
    AddButton(kCard2, "bt_card_2", MakeDelegate(this, &CInGameMenu::OnCardBack3));
    AddButton(kCard3, "bt_card_3", MakeDelegate(this, &CInGameMenu::OnCardBack2));
    const CInterface* game = GameInterface();
    if (!m_variant.classic && game != nullptr && (game->GetMode() & kKindMask) == kBonusKind)
        m_buttons[kLearn]->SetEnabled(false);  // bonus levels have no tutorial

    m_pPlace = std::make_unique<CFFrameImage>();
    m_pPlace->SetResource(g_pResource);
    m_pPlace->AddAnimation(m_variant.module, "place");

    m_pRoot->AddChild(m_pPanel.get());
    m_pPanel->AddChild(m_pPlace.get());
    for (EButton which : {kLearn, kDeal, kBackToGame, kOptions, kExitGame, kQuit, kCard1, kCard2, kCard3})
        m_pPanel->AddChild(m_buttons[which].get());
    const PlayerRecord* player = Player();
    CFCheckBox* hint = AddBox(kHint, "cb_hint", MakeDelegate(this, &CInGameMenu::OnHint),
                              player == nullptr || player->m_bHints != 0);
    if (!m_variant.classic && player != nullptr && player->m_bMasterMode != 0)
        hint->SetEnabled(false);  // a master plays without hints
    AddBox(kPlayDesk, "cb_playdesk", MakeDelegate(this, &CInGameMenu::OnTableDesk),
           player != nullptr && player->m_nTableBackground != 0);
    m_controller.Add(m_pRoot.get());
    HighlightCardButton(player != nullptr ? player->m_nCardBack : 0);
}

void CInGameMenu::AddButton(EButton which, const char* object, ClickHandler* onClick)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    button->AddAnimation(m_variant.module, object);
    button->AddAnimation("interface", "snd_button");
    button->OnClick += onClick;
    m_buttons[which] = std::move(button);
}

CFCheckBox* CInGameMenu::AddBox(EBox which, const char* object, ClickHandler* onClick, bool checked)
{
    auto box = std::make_unique<CFCheckBox>();
    box->SetResource(g_pResource);
    box->AddAnimation(m_variant.module, object);
    box->OnClick += onClick;
    box->SetChecked(checked);
    m_pPanel->AddChild(box.get());
    m_boxes[which] = std::move(box);
    return m_boxes[which].get();
}

void CInGameMenu::HighlightCardButton(int set)
{
    if (set < 0 || set >= kSets)
        return;
    m_buttons[kSetButtons[set]]->PlayState("select", false, true);
}

// ---- Frame ----------------------------------------------------------------------------------------------

void CInGameMenu::OnSlideEnded()
{
    CSlideInPopup::OnSlideEnded();
    GetShadow()->SetVisible(false);
}

void CInGameMenu::OnUpdateStart(float)
{
    if (m_bQuitToMapPending || m_bQuitToMenuPending)
        LeaveWhenAnswered();
}

// A question closed and the menu is active again: yes leaves the game, anything else stays.
void CInGameMenu::LeaveWhenAnswered()
{
    const bool toMap = m_bQuitToMapPending;
    const bool toMenu = m_bQuitToMenuPending;
    m_bQuitToMapPending = m_bQuitToMenuPending = false;
    const CGameProcess* game = Game();
    if (CDialogConfirmation::Answer() != CDialogConfirmation::kYes || game == nullptr || m_bLeaving)
        return;
    const std::wstring tag = LevelTag(*game, m_variant.classic);
    const unsigned mode = game->GetInterface() != nullptr ? game->GetInterface()->GetMode() : 0;
    bool left = false;
    if (toMap && MayQuitToMap(mode)) {
        TraceEvent(GetGameTime(), m_variant.classic ? L"User request – Exit to Classic" : L"User request – Exit to Story",
                   tag);
        left = CScreenFactory::SwitchTo(m_variant.classic ? EScreenKind::ClassicSelection : EScreenKind::StoryMap);
    }
    if (toMenu) {
        TraceEvent(GetGameTime(), L"User request – Exit to Main Menu", tag);
        TraceEvent(GetGameTime(), m_variant.classic ? L"Classic" : L"Story", L"User request");
        left = CScreenFactory::SwitchTo(EScreenKind::MainMenu);
    }
    if (left) {
        // The game fades out under the menu: nothing may reach it any more.
        m_bLeaving = true;
        m_controller.DisableInput();
    }
}

bool CInGameMenu::MayQuitToMap(unsigned mode) const
{
    const unsigned kind = mode & kKindMask;
    return m_variant.classic ? kind == kClassicKind : kind == kStoryKind || kind == kBonusKind;
}

void CInGameMenu::OnEscapeKey()
{
    if (m_bLeaving)
        return;
    TraceEvent(GetGameTime(), L"esc");
    OnBack(nullptr, 1);
}

// ---- Handlers ---------------------------------------------------------------------------------------------

void CInGameMenu::OnBack(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || m_bLeaving)
        return;
    TraceEvent(GetGameTime(), L"back");
    m_pSound->SetMusicMode(CSoundManager::kLocation, 1.0f);
    Close();
    PlaceBonusTooltips();
}

// The cursor setting may have changed in the options: the bonus tooltips move with it.
void CInGameMenu::PlaceBonusTooltips() const
{
    CInterface* game = GameInterface();
    if (game == nullptr || g_pLogicIni == nullptr)
        return;
    g_pLogicIni->SetSection("Interface");
    const int y = g_pLogicIni->GetInt("bonus_screen_y");
    const bool customCursor = g_pProfileStore != nullptr && g_pProfileStore->m_bSoftwareCursor != 0;
    for (int i = 0; i < CInterface::kBonusSlots; ++i) {
        CFButton* bonus = game->GetBonusButton(i);
        if (bonus == nullptr)
            continue;
        const int x = g_pLogicIni->GetInt(Printf("bonus_screen_x%d", i + 1).c_str());
        bonus->SetHoverEffectPosition(static_cast<float>(x), static_cast<float>(y + (customCursor ? 48 : 30)));
    }
}

// A new deal of the level, as the panel's deal button gives it after its question; during a
// tutorial the player's own table comes back instead.
void CInGameMenu::OnDeal(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || m_bLeaving)
        return;
    TraceEvent(GetGameTime(), L"deal");
    if (CInterface* game = GameInterface())
        game->Restart();
    OnBack(nullptr, 1);
}

void CInGameMenu::OnLearn(CFObject* sender, int state)
{
    if (sender != nullptr && !sender->IsEnabled()) {
        TraceEvent(GetGameTime(), L"learn", L"disabled");
        return;
    }
    if (state != CFMouse::kButtonLeft || m_bLeaving)
        return;
    TraceEvent(GetGameTime(), L"learn");
    CInterface* game = GameInterface();
    const CCardTable* table = game != nullptr ? game->GetTable() : nullptr;
    // Cards on the move or in the hand would be lost from the table saved for after the tutorial.
    if (table != nullptr && !game->IsReplaying() && !table->IsFlying() && !table->IsHolding())
        game->StartLearn();
    OnBack(nullptr, 1);
}

void CInGameMenu::OnOptions(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || m_bLeaving)
        return;
    TraceEvent(GetGameTime(), L"options");
    Attach(this, CGlobalOptions::Create());
}

void CInGameMenu::OnQuitToMenu(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        AskToQuit(m_bQuitToMenuPending, L"quitToMenu");
}

void CInGameMenu::OnQuitToMap(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        AskToQuit(m_bQuitToMapPending, L"quitToMap");
}

void CInGameMenu::AskToQuit(bool& pending, const wchar_t* trace)
{
    if (m_bLeaving)
        return;
    TraceEvent(GetGameTime(), trace);
    pending = true;
    Attach(this, CDialogConfirmation::Create("profile", "move_exit_dialog_wind", "bt_yes", "bt_no", 100));
}

void CInGameMenu::OnCardBack1(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        ChooseCardBack(0);
}

void CInGameMenu::OnCardBack2(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        ChooseCardBack(1);
}

void CInGameMenu::OnCardBack3(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        ChooseCardBack(2);
}

void CInGameMenu::ChooseCardBack(int set)
{
    if (CInterface* game = GameInterface()) {
        CSprite* back = CardBackSprite(set);
        if (back != nullptr)
            back->SetHotSpot(back->GetWidth() / 2, back->GetHeight() / 2);
        game->SetCardBack(back);
    }
    ApplyCardSet(set);
    HighlightCardButton(set);
    for (int other = 0; other < kSets; ++other) {
        CFButton& button = *m_buttons[kSetButtons[other]];
        if (other == set || !button.IsStateLocked())
            continue;
        button.ResetState();
        button.PlayState("leave", false, false);
    }
    if (PlayerRecord* player = Player())
        player->m_nCardBack = set;
}

void CInGameMenu::ApplyCardSet(int set)
{
    TraceEvent(GetGameTime(), L"cardSet", std::to_wstring(set));
    if (PlayerRecord* player = Player())
        player->m_bCardBackRotation = 0;  // a chosen set stays
    const CInterface* game = GameInterface();
    const CDeck* deck = game != nullptr ? game->GetDeck() : nullptr;
    if (deck == nullptr || g_pResource == nullptr)
        return;
    // The deck owns every card of the game, wherever it lies: on a place, in flight or in the hand.
    for (std::size_t i = 0; i < deck->Size(); ++i) {
        CCard* card = deck->GetCard(i);
        card->SetBackSprite(game->GetCardBack());
        card->SetUpSprite(g_pResource->GetSprite(Printf("set_%d/%d_%d_%d.png", set + 1, set, card->Suit, card->Rank).c_str()));
    }
}

// The check boxes flip themselves before their handlers run, whichever button clicked them: the
// handlers follow the box, so box and setting never disagree.
void CInGameMenu::OnTableDesk(CFObject*, int)
{
    CFCheckBox& box = *m_boxes[kPlayDesk];
    if (g_pResource != nullptr && !g_pResource->FindModule("table"))
        (void)g_pResource->LoadModule("table", -1);  // logged there
    if (PlayerRecord* player = Player())
        player->m_nTableBackground = box.IsChecked() ? 1 : 0;
    if (CInterface* game = GameInterface())
        game->showSoundPending = !game->showSoundPending;
    TraceEvent(GetGameTime(), L"desk", static_cast<int>(box.IsChecked()));
}

void CInGameMenu::OnHint(CFObject*, int)
{
    CFCheckBox& box = *m_boxes[kHint];
    PlayerRecord* player = Player();
    if (!box.IsEnabled()) {  // a disabled box flipped its flag unseen: it keeps the setting
        box.SetChecked(player == nullptr || player->m_bHints != 0);
        return;
    }
    if (player != nullptr)
        player->m_bHints = box.IsChecked() ? 1 : 0;
    TraceEvent(GetGameTime(), L"hint", static_cast<int>(box.IsChecked()));
}

// ---- The game -------------------------------------------------------------------------------------------

CGameProcess* CInGameMenu::Game()
{
    return g_pScreenManager != nullptr ? dynamic_cast<CGameProcess*>(g_pScreenManager->GetCurrent()) : nullptr;
}

CInterface* CInGameMenu::GameInterface()
{
    CGameProcess* game = Game();
    return game != nullptr ? game->GetInterface() : nullptr;
}
