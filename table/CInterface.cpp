#include "table/CInterface.h"

#include "app/CFlyingEffects.h"
#include "app/CIniFile.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/CParticleManager.h"
#include "framework/CSprite.h"
#include "framework/StringUtils.h"
#include "progress/CProfileStore.h"
#include "progress/ProgressRules.h"
#include "table/CBonusClock.h"
#include "table/CBonusLevelScript.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CDeck.h"
#include "table/CGamePanel.h"
#include "table/CHelpDesk.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CMoveIndicator.h"
#include "table/CSpecialActions.h"
#include "table/CTracker.h"
#include "table/CUndoHistory.h"
#include "table/GameDialogs.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr const char* kParticleTexture = "gfx/PARTICLES/particles.png";

std::string Printf(const char* format, int a)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a);
    return text;
}

}  // namespace

PlayerRecord* CInterface::Player()
{
    return g_pProfileStore != nullptr ? &g_pProfileStore->m_current : nullptr;
}

// ---- Construction and destruction ---------------------------------------------------------------

CInterface::CInterface(int level, int modeWord, int extraValue, bool withUndo)
    : levelNumber(level), mode(modeWord), extra(extraValue)
{
    PlayerRecord* player = Player();
    // A level that cannot be played leaves the player's record as it found it (below).
    const PlayerRecord recordBefore = player != nullptr ? *player : PlayerRecord();
    // A new game screen shows the next of the three card sets when the player asked for it.
    if (player != nullptr && player->m_bCardBackRotation != 0)
        player->m_nCardBack = player->m_nCardBack < 0 ? 0 : (player->m_nCardBack + 1) % 3;

    MakeLayers();
    MakePictures();

    levelSection = progress::SectionNumber(level, IsBonusLevel(), IsHardcoreMode(mode));

    helpDesk =
        std::make_unique<CHelpDesk>(this, m_pPanel->GetPicture(), levelSection, !IsBonusLevel(), !IsBonusLevel());
    helpDesk->SetView(CHelpDesk::kSmall, 0.0f);
    helpDesk->SetRulesIndex(levelSection);

    dealTimer = 0;
    tracker = std::make_unique<CTracker>();
    replay.active = false;
    replay.stepTimer = 1.0f;
    location = level / 5;
    controller = std::make_unique<CFObjectController>(CFMouse::GetInstance());

    BuildPanel();
    cardWidth = 80.0f;
    cardHeight = 107.0f;
    if (g_pLogicIni != nullptr) {
        cardWidth = g_pLogicIni->GetFloat("card_width");
        cardHeight = g_pLogicIni->GetFloat("card_height");
    }
    table = std::make_unique<CCardTable>(levelNumber, static_cast<unsigned>(mode), this, Player());

    const int cardSet = player != nullptr && player->m_nCardBack >= 0 ? player->m_nCardBack % 3 : 0;
    if (g_pResource != nullptr) {
        bonusFill = g_pResource->GetSprite("GFX/Interface/GENERAL/CARDS/bonus_fill.png");
        cardBack = g_pResource->GetSprite(Printf("GFX/Interface/GENERAL/CARDS/cards_back_%d.png", cardSet + 1).c_str());
        if (cardBack != nullptr)
            cardBack->SetHotSpot(cardBack->GetWidth() / 2, cardBack->GetHeight() / 2);
        shadowSmall = g_pResource->GetSprite("GFX/Interface/GENERAL/CARDS/shadow.png");
        shadowMid = g_pResource->GetSprite("GFX/Interface/GENERAL/CARDS/shadow_mid.png");
        shadowBig = g_pResource->GetSprite("GFX/Interface/GENERAL/CARDS/shadow_big.png");
        for (CSprite* shadow : {shadowSmall, shadowMid, shadowBig})
            if (shadow != nullptr)
                shadow->SetHotSpot(40, 53);
    }
    redealAsked = false;
    startPending = true;

    if (!table->LoadLevel() || !table->CheckPlayable()) {
        startPending = false;  // nothing to deal: the table logged why
        brokenStep = kBrokenTell;
    }
    hand = table->GetCursorHand();

    manaBar = std::make_unique<CManaBar>(
        table->Gauges().m_nBarBonusLength,
        g_pResource != nullptr ? g_pResource->GetSprite("GFX/Interface/GENERAL/BONUSES/bar.png") : nullptr, this);
    manaBar->SetUndoLength(table->Gauges().m_nBarUndoLength);
    BuildBonusBar();

    inputShield = std::make_unique<CFObject>();
    inputShield->SetRect(0, 0, 800, 600);
    inputShield->SetVisible(false);
    controller->Add(inputShield.get());

    if (g_pResource != nullptr)
        font = g_pResource->GetFont("DATA/FONTS/font1.fgchst11");
    MakeEffects();

    if (withUndo)
        undo = std::make_unique<CUndoHistory>(table.get(), manaBar.get());
    autohintFirst = 0;
    autohintRepeat = 0;
    if (g_pLogicIni != nullptr) {
        g_pLogicIni->SetSection("Interface");
        autohintFirst = g_pLogicIni->GetFloat("autohint");
        autohintRepeat = g_pLogicIni->GetFloat("autohint2");
    }
    autohintLeft = autohintFirst;

    if (IEngine* e = m_engine.Get()) {
        sndBonusActive = CEffectOwner(e, e->EffectLoad("sfx/sounds/game_bonus_active.ogg"));
        sndBonusSelect = CEffectOwner(e, e->EffectLoad("sfx/sounds/game_bonus_select.ogg"));
        sndBonusTake = CEffectOwner(e, e->EffectLoad("sfx/sounds/game_bonus_take.ogg"));
        sndInterfaceShow = CEffectOwner(e, e->EffectLoad("sfx/sounds/interface_show.ogg"));
    }
    if (IsClassic())
        EnableBonuses(player == nullptr || player->m_bUseBonuses != 0);
    else if (IsBonusLevel())
        EnableBonuses(false);
    table->GetBonusClock()->SetPhase(kPhaseNone, -1.0f);
    table->RunBonusScript(0.0f);
    if (brokenStep != kBrokenNone && player != nullptr)
        *player = recordBefore;
}

void CInterface::MakeLayers()
{
    backgroundLayer = std::make_unique<CFAnimationGroup>();
    shadowLayer = std::make_unique<CFAnimationGroup>();
    cursorLayer = std::make_unique<CFAnimationGroup>();
    panelLayer = std::make_unique<CFAnimationGroup>();
}

void CInterface::MakePictures()
{
    const PlayerRecord* player = Player();
    background = std::make_unique<CFAnimationInstance>(backgroundLayer.get(), CFAnimationInstance::kUnsetPosition,
                                                       CFAnimationInstance::kUnsetPosition);
    // A classic game shows the location picked on the selection screen; bonus and hardcore
    // levels are numbered by location already.
    int b = location;
    if (IsClassic())
        b = extra;
    else if (IsHardcoreMode(mode) || IsBonusLevel())
        b = levelNumber;
    else
        b = levelNumber / 5;
    backName = Printf("back_%d", b + 1);
    backLiteName = backName + "_lite";
    const bool highDetail = g_pProfileStore == nullptr || g_pProfileStore->m_bHighDetail != 0;
    if (g_pResource != nullptr) {
        // The table view and the armed-bonus sign are drawn from modules nothing else loads.
        for (const std::string& name : {backName, backLiteName, std::string("table"), std::string("bonus_cursor")})
            if (!g_pResource->FindModule(name.c_str()))
                g_pResource->LoadModule(name.c_str(), -1);
        background->LoadEffect(g_pResource, highDetail ? backName.c_str() : backLiteName.c_str(), "main");
    }
    background->SetVisible(true);
    background->Play(true);

    m_pPanel = std::make_unique<CGamePanel>(panelLayer.get());

    cursor = std::make_unique<CFAnimationInstance>(cursorLayer.get(), CFAnimationInstance::kUnsetPosition,
                                                   CFAnimationInstance::kUnsetPosition);
    SetCursorShape(0);
    cursor->SetVisible(false);

    const int total = player == nullptr ? 0 : (IsClassic() ? player->m_nClassicScore : player->m_nStoryScore);
    if (g_pResource != nullptr)
        g_pResource->SetTextW("scores_0", FormatNumberW(total, -1).c_str());

    m_pPanel->FindParts();
}

void CInterface::MakeEffects()
{
    particles = std::make_unique<CParticleManager>(50.0f);
    auto make = [this](const char* psi, float x, float y) {
        return std::make_unique<CFlyingEffects>(particles.get(), psi, kParticleTexture, x, y, 32.0f, 32.0f);
    };
    frameEffect = make("gfx/PARTICLES/bonus_enable.psi", 31, 63);
    hintFlight = make("gfx/PARTICLES/hint_fly.psi", 31, 31);
    bonusFromCard = make("gfx/PARTICLES/bonus_from_card.psi", 63, 0);
    bonusEnable = make("gfx/PARTICLES/bonus_enable.psi", 31, 63);
    bonusClick = make("gfx/PARTICLES/bonus_click.psi", 0, 31);
    for (auto& ready : bonusReady)
        ready = make("gfx/PARTICLES/enabled_bonus.psi", 0, 31);
    cardFix = make("gfx/PARTICLES/card_fix.psi", 31, 63);
    mouseMove = make("gfx/PARTICLES/mouse_move.psi", 63, 0);
    comboEffect = make("gfx/PARTICLES/combo.psi", 31, 63);
}

CInterface::~CInterface()
{
    dealSources.clear();
    tracker.reset();
    if (table != nullptr)
        table->ClearSavedPlaces();
    undo.reset();
    helpDesk.reset();  // its slide and text are parts of the panel, which goes below
    tablePicture.reset();
    tableShadow.reset();
    background.reset();
    cursor.reset();
    manaBar.reset();
    table.reset();
    DestroyPanel();
    controller.reset();
    for (auto* effects : {&frameEffect, &hintFlight, &bonusFromCard, &bonusEnable, &bonusClick, &cardFix,
                          &comboEffect, &mouseMove})
        effects->reset();
    for (auto& ready : bonusReady)
        ready.reset();
    if (particles != nullptr)
        particles->KillAll();
    particles.reset();
    backgroundLayer.reset();
    shadowLayer.reset();
    cursorLayer.reset();
    panelLayer.reset();
    dealQueue.clear();
}

// ---- Cards --------------------------------------------------------------------------------------

bool CInterface::MakeCard(int rank, int suit)
{
    CCard* card = dealDeck->AddCard(rank, suit);
    if (card == nullptr)
        return false;
    card->ShiftX = RandomInt(-1, 1);
    const PlayerRecord* player = Player();
    const int cardSet = player != nullptr && player->m_nCardBack >= 0 ? player->m_nCardBack % 3 : 0;
    if (g_pResource != nullptr) {
        char name[64];
        std::snprintf(name, sizeof name, "set_%d/%d_%d_%d.png", cardSet + 1, cardSet, suit, rank);
        card->SetUpSprite(g_pResource->GetSprite(name));
    }
    card->SetBackSprite(cardBack);
    return true;
}

void CInterface::MakeBonusLevelCards(int d)
{
    const LevelValues& lv = table->Level();
    auto madeInDeck = [this](int deck, int rank, int& suit) {
        // The cards of one deck start at index 12 * deck (one rank is left out per deck).
        for (std::size_t i = static_cast<std::size_t>(12 * deck); i < dealDeck->Size(); ++i) {
            const CCard* c = dealDeck->GetCard(i);
            if (c != nullptr && c->Rank == rank) {
                suit = c->Suit;
                return true;
            }
        }
        return false;
    };
    for (int s = 0; s < 4; ++s) {
        if ((lv.nSuits & (8 >> s)) == 0)
            continue;
        for (int r = 0; r < 13; ++r) {
            int suit = s;
            switch (levelNumber) {
            case kBonusFindTheCard:
                if (((s & 1) ^ r) != 1)
                    continue;
                break;
            case kBonusThreeCards:
                if (r != 0)
                    continue;
                break;
            case kBonusPairs:
            case kBonusSequence:
            case kBonusSlidingPuzzle: {
                if ((levelNumber == kBonusPairs && r == 1) || (levelNumber != kBonusPairs && r == 0))
                    continue;
                int found = 0;
                if (madeInDeck(d, r, found))
                    continue;  // a rank only once per deck
                suit = RandomInt(0, 3);
                int previous = 0;
                if (d > 0 && levelNumber != kBonusSlidingPuzzle) {
                    // The previous deck's card of this rank, within that deck's own cards.
                    for (int i = 12 * (d - 1); i < 12 * d && i < static_cast<int>(dealDeck->Size()); ++i) {
                        const CCard* c = dealDeck->GetCard(static_cast<std::size_t>(i));
                        if (c != nullptr && c->Rank == r) {
                            previous = c->Suit;
                            suit = levelNumber == kBonusPairs ? previous : ((previous ^ 2) & 2) | (suit & 1);
                            break;
                        }
                    }
                }
                break;
            }
            default:
                break;
            }
            MakeCard(r, suit);
        }
    }
}

void CInterface::MakeCards()
{
    if (dealDeck == nullptr || dealDeck->Size() > 0 || table == nullptr)
        return;
    const LevelValues& lv = table->Level();
    const int w = static_cast<int>(cardWidth * lv.fZoom);
    const int h = static_cast<int>(cardHeight * lv.fZoom);
    table->SetCardSize(w, h);
    for (int d = 0; d < lv.nDecksCount; ++d) {
        if (IsBonusLevel()) {
            MakeBonusLevelCards(d);
            continue;
        }
        for (int s = 0; s < 4; ++s)
            if ((lv.nSuits & (8 >> s)) != 0)
                for (int r = 0; r < 13; ++r)
                    MakeCard(r, s);
    }
}

// ---- Small services ------------------------------------------------------------------------------

void CInterface::SetCursorShape(int shape)
{
    if (shape == cursorShape)
        return;
    cursorShape = shape;
    if (cursor == nullptr || g_pResource == nullptr || (shape != 0 && shape != 1))
        return;
    cursor->LoadEffect(g_pResource, "cursor", shape == 0 ? "cursor_normal" : "cursor_drag");
}

void CInterface::SetInfoStep(int step, float delay)
{
    infoStep = step;
    infoDelay = delay;
}

bool CInterface::RequestInfoWindow(int kind, float delay, int step)
{
    if (infoStep != kInfoIdle)
        return false;
    infoKind = kind;
    SetInfoStep(step, delay);
    return true;
}

int CInterface::CountEffects() const
{
    int count = 0;
    for (const auto* effects : {&frameEffect, &hintFlight, &bonusFromCard, &bonusEnable, &bonusClick, &cardFix,
                                &comboEffect, &mouseMove})
        count += *effects != nullptr ? (*effects)->GetCount() : 0;
    for (const auto& ready : bonusReady)
        count += ready != nullptr ? ready->GetCount() : 0;
    return count;
}

float CInterface::RandomFloat(float lo, float hi) const
{
    if (lo == hi || m_engine.Get() == nullptr)
        return lo;
    return m_engine.Get()->RandomFloat(lo, hi);
}

void CInterface::PlaySound(HEffect sound) const
{
    if (sound != 0 && m_engine.Get() != nullptr)
        m_engine.Get()->EffectPlay(sound, GetEffectVolume(), 0, 1.0f, false);
}

std::string CInterface::GameKey() const
{
    std::string key = (IsClassic() ? "C" : "S") + std::to_string(levelNumber);
    if (IsHardcoreMode(mode))
        key += "H";
    if (IsBonusLevel())
        key += "B";
    return key;
}

const char* CInterface::MedalName() const
{
    const PlayerRecord* player = Player();
    if (player == nullptr || levelNumber < 0)
        return "";
    int state = 0;
    if (IsHardcoreMode(mode)) {
        if (levelNumber < PlayerRecord::kLocations)
            state = player->m_hardcoreLevels[static_cast<std::size_t>(levelNumber)];
    } else if (IsBonusLevel()) {
        if (levelNumber < PlayerRecord::kLocations)
            state = player->m_bonusLevels[static_cast<std::size_t>(levelNumber)];
    } else if (levelNumber < PlayerRecord::kStoryLevels) {
        state = player->m_storyLevels[static_cast<std::size_t>(levelNumber)];
    }
    static const char* const kNames[] = {"None", "Bronze", "Silver", "Gold"};
    return state >= 1 && state <= 4 ? kNames[state - 1] : "";
}

// ---- ITableHost ----------------------------------------------------------------------------------

bool CInterface::IsBusy() const
{
    return HasPendingItems() || dealTimer != 0.0f;
}

int CInterface::GetEffectVolume() const
{
    const PlayerRecord* player = Player();
    return player != nullptr ? player->m_nEffectVolume : 100;
}

bool CInterface::BonusesSwitchedOff() const
{
    const PlayerRecord* player = Player();
    return IsClassic() && player != nullptr && player->m_bUseBonuses == 0;
}

void CInterface::RecordMove(int from, int to, int card, int automatic, int flag)
{
    if (replay.active || tracker == nullptr)
        return;
    tracker->AddMove(static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to),
                     static_cast<std::uint8_t>(card < 0 ? 0xFF : card), automatic, flag);
}

void CInterface::RecordDeal(int rank, int suit)
{
    if (!replay.active && tracker != nullptr)
        tracker->AddDeal(static_cast<std::uint8_t>(rank), static_cast<std::uint8_t>(suit));
}

bool CInterface::NextDeal(int& rank, int& suit)
{
    return tracker != nullptr && tracker->NextDeal(rank, suit);
}

void CInterface::RequestUndoSnapshot()
{
    if (undo != nullptr && !replay.active)
        undo->Request();
}

int CInterface::AddMana(int amount)
{
    return manaBar != nullptr ? manaBar->AddMana(amount) : -1;
}

bool CInterface::IsUndoEnabled() const
{
    const CFButton* undoButton = m_pPanel->GetUndoButton();
    return undoButton != nullptr && undoButton->IsEnabled();
}

void CInterface::SetUndoEnabled(bool enabled)
{
    if (CFButton* undoButton = m_pPanel->GetUndoButton())
        undoButton->SetEnabled(enabled);
}

void CInterface::AddSharedEffect(float x, float y, float lifetime)
{
    if (cardFix != nullptr)
        cardFix->Add(x, y, lifetime, 0.0001f, 0);
}

void CInterface::PlayHelpHint(int kind, float seconds)
{
    GlowRulesButton(kind, seconds);
}

void CInterface::GlowRulesButton(int kind, float seconds)
{
    if (helpDesk != nullptr)
        helpDesk->GlowRulesButton(static_cast<std::uint8_t>(kind), seconds);
}

void CInterface::ShowComboMessage(int category, int chain)
{
    if (helpDesk != nullptr)
        helpDesk->ShowComboMessage(category, chain);
}

void CInterface::ShowRulesText()
{
    if (helpDesk != nullptr)
        helpDesk->ShowRulesText();
}

// A stuck table tells the player once; it asks again only after a move has become possible. The
// window waits for the lamp to show the stuck table: once it is open, the lamp stands still. It
// also waits for the big rules window to close and for the pause to end: one window at a time.
bool CInterface::NoMovesRequested() const
{
    return !m_bNoMovesTold && !moveIndicator->IsBusy() && m_pPanel->GetState() == CGamePanel::kSettled &&
           !helpDesk->IsBigWindowShown();
}

void CInterface::TellNoMoves(int kind)
{
    if (kind != game_dialogs::kNoMovesUntold) {
        game_dialogs::Attach(game_dialogs::MakeNoMoves(kind));
        SetDealHighlight(true);  // dealing again is the way out
    }
    m_bNoMovesTold = true;
}

// A bonus or a deal may free a stuck table: the deal button no longer glows as the way out.
void CInterface::WatchForFreedTable()
{
    if (m_bNoMovesTold && !table->IsFlying() && !table->GetMoveFinder()->NoMoreMoves()) {
        m_bNoMovesTold = false;
        SetDealHighlight(false);
    }
}

void CInterface::UpdateBonusQuestion()
{
    PlayerRecord* player = Player();
    if (m_pPanel->GetState() != CGamePanel::kSettled || player == nullptr)
        return;
    if (player->m_bUseBonusAdvice != 0 && !moveIndicator->IsBusy()) {  // the lamp shows the table under it
        player->m_bUseBonusAdvice = 0;  // asked once per player, whatever the answer
        game_dialogs::Attach(game_dialogs::MakeUseBonus());
    }
    if (game_dialogs::UseBonusAnswered()) {
        game_dialogs::UseBonusAnswered() = false;
        player->m_bUseBonuses = game_dialogs::UseBonusAnswer() == 0 ? 1 : 0;
        EnableBonuses(player->m_bUseBonuses != 0);
        game_dialogs::UseBonusAnswer() = -1;
    }
    if (m_bRefreshBonuses) {
        EnableBonuses(player->m_bUseBonuses != 0);
        m_bRefreshBonuses = false;
    }
}

bool CInterface::IsHelpWindowShown() const
{
    return helpDesk != nullptr && helpDesk->IsOverBigWindow();
}

void CInterface::StopHintEffects()
{
    if (hintFlight != nullptr)
        hintFlight->StopAll();
}

void CInterface::KillMouseMoveEffects()
{
    if (mouseMove != nullptr)
        mouseMove->KillAll();
}

void CInterface::MoveCardTrail(int tag, float dx, float dy, float dangle, float cx, float cy)
{
    if (mouseMove == nullptr)
        return;
    mouseMove->Shift(tag, dx, dy, 0.0f, true);
    if (dangle != 0.0f)
        mouseMove->Rotate(tag, dangle, cx, cy);
}

void CInterface::RenderParticles()
{
    if (particles != nullptr)
        particles->Render();
}

bool CInterface::IsHighDetail() const
{
    return g_pProfileStore == nullptr || g_pProfileStore->m_bHighDetail != 0;
}

CSprite* CInterface::GetShadowSprite(int size) const
{
    switch (size) {
    case 0:
        return shadowSmall;
    case 1:
        return shadowMid;
    case 2:
        return shadowBig;
    default:
        return nullptr;
    }
}

void CInterface::SpawnFrameSparkles(CFlyingEffects* sparkles, float x, float y, float hw, float hh, float angle,
                                    int secondKind)
{
    FrameEffects frame;
    frame.special = secondKind;
    frame.scaleSpecial = 1.5f;
    frame.life = {0.5f, 1.0f};
    frame.delay = frame.delaySpecial = {kAtOnce, 0.3f};
    frame.flight = frame.flightSpecial = {0.5f, 0.5f};
    frame.x1 = static_cast<int>(x - hw), frame.y1 = static_cast<int>(y - hh);
    frame.x2 = static_cast<int>(x + hw), frame.y2 = static_cast<int>(y + hh);
    frame.angle = angle;
    frame.cx = static_cast<int>(x), frame.cy = static_cast<int>(y);
    SpawnFrameEffects(sparkles != nullptr ? sparkles : frameEffect.get(), frame);
}

// The lifted cards' trails: they glow along the card edges until the cards are let go.
void CInterface::SpawnPickSparkles(int x1, int y1, int x2, int y2, float angle, int count, bool left, bool right,
                                   bool top, bool bottom, int tag)
{
    if (mouseMove == nullptr)
        return;
    mouseMove->StopAll();
    FrameEffects frame;
    frame.count = count;
    frame.life = {-1.0f, -1.0f};
    frame.delay = frame.delaySpecial = {kAtOnce, kAtOnce};
    frame.x1 = x1, frame.y1 = y1, frame.x2 = x2, frame.y2 = y2;
    frame.angle = angle;
    frame.left = left, frame.right = right, frame.top = top, frame.bottom = bottom;
    frame.tag = tag;
    SpawnFrameEffects(mouseMove.get(), frame);
}

// The take-cards bonus is spent once its cards land: it has a count of its own, apart from the
// bonuses used, and the ready sparkles over its full gauges go at once (the slots themselves are
// spent by the table).
void CInterface::OnTakenCardsDropped()
{
    if (PlayerRecord* player = Player())
        ++player->m_nTakenRunsDropped;
    DisarmBonuses();
    const std::vector<int>& codes = table->Level().vBonuses;
    for (std::size_t i = 0; i < codes.size() && i < static_cast<std::size_t>(kBonusSlots); ++i) {
        if (codes[i] == kActionTakeRun && bonusReady[i] != nullptr)
            bonusReady[i]->KillAll();
    }
}

void CInterface::CountBonusUse()
{
    if (PlayerRecord* player = Player())
        ++player->m_nBonusesUsed;
}

void CInterface::SpendBonusSlot(int slot)
{
    if (slot < 0 || slot >= kBonusSlots)
        return;
    if (CFButton* button = m_pPanel->GetBonusButton(slot))
        button->SetEnabled(false);
    if (manaBar != nullptr)
        manaBar->Clear(slot);
    if (bonusReady[slot] != nullptr)
        bonusReady[slot]->StopAll();
}

bool CInterface::LoadLearnFile(const std::string& path)
{
    return tracker != nullptr && tracker->Load(path, table != nullptr ? table->PlaceCount() : 0);
}

bool CInterface::BeginReplay(int& from, int& card)
{
    replay.active = true;
    replay.stepTimer = 1.0f;
    m_bReplayEndShown = false;
    StartLevel();
    if (inputShield != nullptr)
        inputShield->SetVisible(true);
    DisablePanelButtons();
    lastKey = 0;
    int to = 0;
    return tracker != nullptr && tracker->ReadStep(from, to, card, false) >= 0;
}

void CInterface::AimReplayHand(float x, float y, bool dragging)
{
    replay.x = replay.fromX = 400.0f;
    replay.y = replay.fromY = 580.0f;
    replay.toX = x;
    replay.toY = y;
    replay.moveLeft = replay.moveTime;
    replay.isDrag = dragging;
    if (cursor != nullptr) {
        cursor->SetVisible(true);
        cursor->SetPosition(replay.x, replay.y, true);
    }
}

void CInterface::EndReplay()
{
    replay = Replay();
    if (tracker != nullptr)
        tracker->CloseMessage();  // a lesson window left open by Escape or a click goes with the replay
    if (inputShield != nullptr)
        inputShield->SetVisible(false);
    if (cursor != nullptr)
        cursor->SetVisible(false);
}

// ---- IGameController ----------------------------------------------------------------------------

bool CInterface::IsPanelPlaying() const
{
    return m_pPanel->IsPlaying();
}

void CInterface::ShowHint()
{
    const float saved = autohintLeft;
    autohintLeft = 0;  // a free hint: shown as the automatic one
    RunHint();
    if (autohintLeft == 0)
        autohintLeft = saved;
}

void CInterface::StartLearn()
{
    if (table == nullptr || replay.active || IsDealing())
        return;
    table->StartLearn();
    // The big rules window is drawn over the table and the panel: the lesson's banner on the
    // bottom bar must not lie under it, whichever way the tutorial was started.
    if (replay.active && helpDesk->GetView() == CHelpDesk::kBig)
        helpDesk->SetView(CHelpDesk::kSmall, 0.0f);
}

float CInterface::ShowPlaceFire(int type)
{
    if (table == nullptr)
        return 0.0f;
    table->ShowPlaceFire(type);
    return table->GetPlaceEffectDuration();
}

void CInterface::ReloadBackground(bool highDetail)
{
    if (g_pResource != nullptr)
        background->LoadEffect(g_pResource, highDetail ? backName.c_str() : backLiteName.c_str(), "main");
    background->SetVisible(true);
    background->Play(true);
    backgroundLayer->Update(0.001f);
}
