// The frame update and the drawing of the in-game controller.
#include "table/CInterface.h"

#include "app/CFlyingEffects.h"
#include "app/CSoundManager.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFFont.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CParticleManager.h"
#include "progress/CProfileStore.h"
#include "table/CAutoFinisher.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CHelpDesk.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CMoveIndicator.h"
#include "table/CPlace.h"
#include "table/CRainEffect.h"
#include "table/CScoreKeeper.h"
#include "table/CTableMouse.h"
#include "table/CTracker.h"
#include "table/CUndoHistory.h"
#include "table/GameDialogs.h"

namespace {

constexpr int kKeyF2 = 0x71;
constexpr int kKeyEscape = 27;
constexpr int kKeyD = 0x44;
constexpr float kGaugeWindowDelay = 2.0f;  // seconds after a gauge fills for the first time

}  // namespace

void CInterface::Update(float dt)
{
    if (brokenStep != kBrokenNone) {
        UpdateLayers(dt);
        UpdateBrokenLevel();
        return;
    }
    HandleRequests();
    ShowTableView();
    ReadKeys(dt);
    UpdateLayers(dt);
    if (m_pPanel->GetState() == CGamePanel::kPaused)
        return;  // nothing of the game moves
    UpdateAutoHint(dt);
    StopShowsOnInput();
    UpdateReplayCursor(dt);
    UpdateReplayEnd();
    UpdateReplay(dt);
    UpdateEffects(dt);
    moveIndicator->Update(dt);
    controller->Update(dt);
    CFButton* hintButton = m_pPanel->GetHintButton();
    if (!hintButton->IsEnabled() && hintFlight->GetCount() <= kHintEffectLimit && !IsDealing())
        hintButton->SetEnabled(true);
    UpdateDeal(dt);
    UpdateGame(dt);
    if (undo != nullptr)
        undo->Update();
    HandleKeys();
    m_pPanel->UpdateBonusLooks();
    UpdateInfoWindows(dt);
}

// A sound, the redeal dialog and a new deal wait until the panel has settled.
void CInterface::HandleRequests()
{
    const bool settled = m_pPanel->GetState() == CGamePanel::kSettled;
    if (showSoundPending) {
        showSoundPending = false;
        PlaySound(sndInterfaceShow);
    }
    if (redealDialogOpen && settled) {
        if (game_dialogs::DialogAnswer() == 0)
            Restart();
        redealDialogOpen = false;
    }
    if (redealAsked && settled) {
        redealAsked = false;
        redealDialogOpen = true;
        table->GetMouse()->ReturnHeldCards();
        game_dialogs::Attach(game_dialogs::MakeConfirmation("profile", "move_exit_dialog_wind", "bt_yes", "bt_no", 100));
    }
    if (startPending && settled) {
        StartLevel();
        startPending = false;
    }
}

void CInterface::ShowTableView()
{
    const PlayerRecord* player = Player();
    const bool tableView = player != nullptr && player->m_nTableBackground != 0;
    tablePicture->SetVisible(tableView);
    tableShadow->SetVisible(tableView);
    background->SetVisible(!tableView);
}

void CInterface::ReadKeys(float dt)
{
    lastKey = m_engine.Get() != nullptr ? m_engine.Get()->GetKey() : 0;
    helpDesk->Update(dt);
    if (!replay.active)
        return;
    tracker->Update(dt);
    if (tracker->IsOkHovered()) {
        // The click belongs to the learn window; Escape still stops the replay, as its banner says.
        table->GetMouse()->SwallowRawClick();
        if (lastKey != kKeyEscape)
            lastKey = 0;
    }
}

void CInterface::UpdateLayers(float dt)
{
    backgroundLayer->Update(dt);
    panelLayer->Update(dt);
    shadowLayer->Update(dt);
    cursorLayer->Update(dt);
    UpdatePanel();
    if (m_pPanel->IsSliding())
        m_pPanel->RideWithSlide();
}

void CInterface::UpdateAutoHint(float dt)
{
    autohintLeft -= dt;
    if (autohintLeft >= 0.0f || table->IsHolding())
        return;
    const PlayerRecord* player = Player();
    if (player == nullptr || player->m_bMasterMode == 0) {
        autohintLeft = 0.0f;
        RunHint();  // shown as the automatic hint: it costs no mana
    }
    autohintLeft = autohintRepeat;
}

// A press or a key (but F2) ends the rules text, the win cascade and the slow deal.
void CInterface::StopShowsOnInput()
{
    const MouseSample& mouse = table->GetMouse()->Sample();
    if ((mouse.m_nButtonEvent != CFMouse::kEventPressed && lastKey == 0) || lastKey == kKeyF2)
        return;
    if (mouse.m_nPrevButtonEvent != CFMouse::kEventDoubleClick)
        ShowRulesText();
    table->StopCascade();
    if (!dealQueue.empty())
        dealStep = kAtOnce;
}

// The panel buttons come back with the first release after a replay ended.
void CInterface::UpdateReplayEnd()
{
    if (table->GetMouse()->Sample().m_nRawButtonEvent != CFMouse::kEventReleased)
        return;
    if (m_bWasReplaying && !replay.active)
        EnablePanelButtons();
    m_bWasReplaying = replay.active;
}

void CInterface::UpdateGame(float dt)
{
    if (redealAsked || startPending)
        return;
    table->Update(dt);
    manaBar->Update(dt);
    table->GetScoreKeeper()->Update(dt);
    CheckWonLevel();
    WatchForFreedTable();
}

void CInterface::HandleKeys()
{
    if (lastKey == kKeyEscape) {
        if (CSoundManager::Exists())
            PlaySound(CSoundManager::GetInstance()->m_menuChoose);
        m_bMenuAfterReturn = m_bMenuAfterReturn || table->IsHolding();  // a second Escape waits as well
        if (!m_bMenuAfterReturn)
            MenuClicked(nullptr, 1);
    }
    if (m_bMenuAfterReturn) {
        // The menu stops the game: held cards fly back first, as from a refused drop, so that
        // none hangs in the air under it or stays stuck to the cursor after it.
        table->GetMouse()->ReturnHeldCards();
        if (!table->IsFlying()) {
            m_bMenuAfterReturn = false;
            MenuClicked(nullptr, 1);
        }
    }
    if (lastKey == kKeyD)
        redealAsked = true;
}

void CInterface::CheckWonLevel()
{
    // The result screen follows the win cascade, once per win.
    if (!table->IsWon()) {
        m_nStatisticsShown = 0;
        return;
    }
    // The cards fly over a clear table: the big rules window closes and stays closed.
    helpDesk->CloseBigView();
    if (m_nStatisticsShown != 0 || table->GetRain()->IsRunning())
        return;
    m_nStatisticsShown = 1;
    if (CSoundManager::Exists())
        CSoundManager::GetInstance()->SetMusicMode(CSoundManager::kMenu, 2.0f);
    game_dialogs::Attach(game_dialogs::MakeStatistics(static_cast<int>(ModeKind(mode))));
}

void CInterface::UpdatePanel()
{
    CGamePanel& panel = *m_pPanel;
    CFAnimationInstance* relaxMessage = panel.GetRelaxMessage();
    auto showBackground = [this] {
        tablePicture->SetVisible(false);
        tableShadow->SetVisible(false);
        background->SetVisible(true);
    };
    auto settle = [this, &panel] {
        panel.SetState(CGamePanel::kSettled);
        controller->EnableInput();
        if (CFMouse* mouse = CFMouse::GetInstance())
            mouse->SetVisible(true);
        helpDesk->Layout();
    };
    switch (panel.GetState()) {
    case CGamePanel::kShowing:
        showBackground();
        lastKey = 0;
        table->GetMouse()->SwallowClick();
        if (!panel.IsPlaying())
            settle();
        if (relaxMessage->IsVisible())
            relaxMessage->SetVisible(false);
        break;
    case CGamePanel::kHiding:
        showBackground();
        if (!panel.IsPlaying()) {
            panel.SetState(CGamePanel::kPaused);
            lastKey = 0;
            table->GetMouse()->SwallowClick();
            helpDesk->Layout();
            relaxMessage->SetVisible(true);
            relaxMessage->Play(false);
        }
        break;
    case CGamePanel::kPaused: {
        showBackground();
        // The pause sees the mouse itself: the table is not updated while it lasts.
        const CFMouse* mouse = CFMouse::GetInstance();
        const bool pressed = mouse != nullptr && mouse->GetLeftEvent() == CFMouse::kEventPressed;
        if (pressed || table->GetMouse()->Sample().m_nButtonEvent == CFMouse::kEventPressed || lastKey != 0) {
            lastKey = 0;
            table->GetMouse()->SwallowClick();
            panel.SetState(CGamePanel::kShowing);
            SetGameClockRunning(true);
            panel.GetPicture()->Stop(false);
            panel.GetPicture()->PlayCommandSection("show", false);
        }
        break;
    }
    case CGamePanel::kFirstShow:
        lastKey = 0;
        table->GetMouse()->SwallowClick();
        if (!panel.IsPlaying())
            settle();
        break;
    default:
        break;
    }
}

void CInterface::ShowInfoWindow(int kind)
{
    switch (kind) {
    case kInfoGaugeFull:
        game_dialogs::Attach(game_dialogs::MakeInformation("informative_wind", "move_informative_wind_2", "bt_ok2"));
        break;
    case kInfoIndicatorFirst:
        CMoveIndicator::PrepareWindowText(kind, table->FindPlaceOfType(kPlaceFreeCell) >= 0);
        game_dialogs::Attach(game_dialogs::MakeInformation("Move_Indicator_wind", "move_move_indicator_wind1", "bt_ok2"));
        break;
    case kInfoIndicatorSecond:
        CMoveIndicator::PrepareWindowText(kind, table->FindPlaceOfType(kPlaceFreeCell) >= 0);
        game_dialogs::Attach(game_dialogs::MakeInformation("Move_Indicator_wind", "move_move_indicator_wind2", "bt_ok2"));
        break;
    case kInfoMasterMode:
        game_dialogs::Attach(game_dialogs::MakeInformation("master_mode_window", "move_rules_window", "bt_ok"));
        break;
    default:
        break;
    }
}

void CInterface::UpdateInfoWindows(float dt)
{
    if (infoDelay != 0.0f) {
        infoDelay -= dt;
        if (infoDelay < 0.0f)
            infoDelay = 0.0f;
    }
    if (infoDelay != 0.0f || table->IsHolding() || table->IsFlying())
        return;
    PlayerRecord* player = Player();
    const bool rulesSeen = RulesSeen();
    switch (infoStep) {
    case kInfoIdle:
        RequestInfoWindows(rulesSeen);
        break;
    case kInfoRequested:
        SetInfoStep(kInfoDue, 0.0f);
        break;
    case kInfoDue:
        // Won meanwhile, or the player opened the rules: the window waits for another time.
        if (table->IsWon() || (infoKind != kInfoRules && helpDesk->IsBigWindowShown())) {
            GiveBackInfoWindow();
            SetInfoStep(kInfoSettling, 0.0f);
            break;
        }
        // A window stops the game: the lamp shows the table as it stands first. None comes over
        // the pause or its slides: the window waits until play goes on.
        if (IsDealing() || redealAsked || startPending || moveIndicator->IsBusy() ||
            m_pPanel->GetState() != CGamePanel::kSettled)
            break;
        switch (infoKind) {
        case kInfoGaugeFull:
            // Spent, or cleared by a deal again, while the window waited: no bonus is left to
            // explain, and the flag stays clear for the next full gauge.
            if (AnyBonusReady()) {
                if (player != nullptr)
                    player->m_bTableFlag = 1;
                ShowInfoWindow(kInfoGaugeFull);
            }
            SetInfoStep(kInfoSettling, 0.0f);
            break;
        case kInfoRules: {
            auto markSeen = [&] {
                if (player != nullptr && levelSection >= 0 && levelSection < PlayerRecord::kLevelNumbers)
                    player->m_introShown[static_cast<std::size_t>(levelSection)] = 1;
            };
            if (helpDesk->GetView() == CHelpDesk::kSmall) {
                helpDesk->SetView(CHelpDesk::kBig, 0.0f);
                markSeen();
                // A bonus level's desk has no big view: nothing opened, so no hint waits for
                // it, and the queue moves on rather than asking again every frame.
                if (helpDesk->GetView() == CHelpDesk::kSmall)
                    SetInfoStep(kInfoSettling, 0.0f);
                else
                    rulesShown = true;
            } else if (helpDesk->GetView() == CHelpDesk::kBig) {
                // Open already, here or by the player's own click: the rules are seen. Unmarked,
                // the request would come back at once and, modal, refuse the click that closes it.
                markSeen();
                SetInfoStep(kInfoSettling, 0.0f);
            } else if (rulesSeen) {
                SetInfoStep(kInfoSettling, 0.0f);  // the view was changed meanwhile: the window is done
            }
            break;
        }
        case kInfoIndicatorFirst:
        case kInfoIndicatorSecond:
            // A light gone dark since the request (no move left, or switched off in the menu)
            // takes its window back: waiting here would refuse every other window meanwhile.
            if (moveIndicator->IsLit(true))
                ShowInfoWindow(infoKind);
            else
                moveIndicator->AskAgain(infoKind);
            SetInfoStep(kInfoSettling, 0.0f);
            break;
        case kInfoMasterMode:
            if (player != nullptr && player->m_bMasterMode != 0 && player->m_bMasterWindowShown == 0) {
                player->m_bMasterWindowShown = 1;
                ShowInfoWindow(kInfoMasterMode);
            }
            SetInfoStep(kInfoSettling, 0.0f);
            break;
        default:
            SetInfoStep(kInfoSettling, 0.0f);  // nothing to show for an unknown kind
            break;
        }
        break;
    case kInfoSettling:
        SetInfoStep(kInfoSettled, 0.0f);
        break;
    case kInfoSettled:
        SetInfoStep(kInfoIdle, 0.0f);
        break;
    default:
        SetInfoStep(kInfoIdle, 0.0f);
        break;
    }
}

bool CInterface::RulesSeen() const
{
    const PlayerRecord* player = Player();
    return player == nullptr || levelSection < 0 || levelSection >= PlayerRecord::kLevelNumbers ||
           player->m_introShown[static_cast<std::size_t>(levelSection)] != 0;
}

// One window of the table at a time: the first rules window comes first, the others wait until
// it has gone, and none comes once the level is won.
bool CInterface::InfoWindowsWait() const
{
    return table == nullptr || table->IsWon() || helpDesk->IsBigWindowShown() || !RulesSeen();
}

void CInterface::RequestInfoWindows(bool rulesSeen)
{
    if (table->IsWon())
        return;
    if (!rulesSeen && !IsDealing() && !startPending)
        RequestInfoWindow(kInfoRules, 0.3f, kInfoRequested);
    if (helpDesk->IsBigWindowShown())
        return;
    const PlayerRecord* player = Player();
    if (player != nullptr && player->m_bMasterMode != 0 && player->m_bMasterWindowShown == 0 && !IsClassic())
        RequestInfoWindow(kInfoMasterMode, 0.0f, kInfoRequested);
    // After the gauge's own sound and sparkles; a busy queue only puts it off.
    if (m_bGaugeWindowPending && RequestInfoWindow(kInfoGaugeFull, kGaugeWindowDelay, kInfoRequested))
        m_bGaugeWindowPending = false;
}

// The rules and master-mode windows are asked for while their flags are clear; the others ask again.
void CInterface::GiveBackInfoWindow()
{
    if (infoKind == kInfoGaugeFull)
        m_bGaugeWindowPending = true;
    else if (infoKind == kInfoIndicatorFirst || infoKind == kInfoIndicatorSecond)
        moveIndicator->AskAgain(infoKind);
}

void CInterface::UpdateReplayCursor(float dt)
{
    if (!replay.active)
        return;
    if (replay.moveLeft != 0.0f) {
        replay.moveLeft -= dt;
        if (replay.moveLeft > 0.0f) {
            const float f = replay.moveTime > 0.0f ? 1.0f - replay.moveLeft / replay.moveTime : 1.0f;
            replay.x = replay.fromX + (replay.toX - replay.fromX) * f;
            replay.y = replay.fromY + (replay.toY - replay.fromY) * f;
        } else {
            replay.moveLeft = 0.0f;
            replay.x = replay.fromX = replay.toX;
            replay.y = replay.fromY = replay.toY;
        }
        cursor->SetPosition(replay.x, replay.y, true);
    }
    if (table->GetMouse()->Sample().m_nRawButtonEvent == CFMouse::kEventPressed || lastKey == kKeyEscape) {
        if (!dealQueue.empty() && lastKey >= 8)
            EnablePanelButtons();
        lastKey = 0;
        StopReplay();
    }
    lastKey = 0;
}

void CInterface::StopReplay()
{
    table->StopLearn();
    if (!table->IsWon())
        BuildDealAnimation();
}

void CInterface::UpdateReplay(float dt)
{
    if (!replay.active || table->IsFlying() || table->IsHolding())
        return;
    replay.stepTimer -= dt;
    if (replay.stepTimer >= 0.0f || tracker->IsMessageBusy())
        return;
    CAutoFinisher* finisher = table->GetAutoFinisher();
    if (tracker->IsReplayDone() || finisher->IsRunning()) {
        finisher->Stop();
        if (!m_bReplayEndShown) {
            tracker->ShowMessage(-2);
            m_bReplayEndShown = true;
            return;
        }
        StopReplay();
        return;
    }
    m_bReplayEndShown = false;
    if (!tracker->WasMessageShown() || tracker->PendingCount() != 0) {
        if (tracker->ShowMessage(tracker->PendingCount() != 0 ? tracker->PopPending() : -1))
            return;
    }
    int from = 0, to = 0, card = 0;
    if (tracker->NextStep(from, to, card)) {
        if (tracker->PendingCount() != 0)
            tracker->StepBack();
        else if (ReplayMoveFits(from, to, card))
            table->GetMoveFinder()->PlayMove(from, to, card, false);
        else
            m_engine.Log("[W] Learn move of card %d from place %d to place %d does not fit the table: skipped",
                         card, from, to);
    }
    replay.stepTimer = 1.0f;
    replay.wasDrag = replay.isDrag;
    if (tracker->ReadStep(from, to, card, false) < 0)
        return;
    const CPlace* source = table->GetPlace(from);
    if (source == nullptr)
        return;
    int x = 0, y = 0;
    const CCard* moving = card >= 0 ? source->GetCard(card) : nullptr;
    table->GetCardPosition(source, card >= 0 ? card : source->Size(), moving, x, y);
    if (card >= 0 && card < source->TopIndex()) {
        const float angle = moving != nullptr ? moving->RenderAngle : source->rotate;
        table->RotateOffset(x, y, angle, x, y, 4);
        replay.isDrag = true;
    } else {
        replay.isDrag = false;
    }
    replay.fromX = replay.x;
    replay.fromY = replay.y;
    replay.toX = static_cast<float>(x);
    replay.toY = static_cast<float>(y);
    replay.moveLeft = replay.moveTime;
    SetCursorShape(0);
}

// A recording names places and cards by number: the move must find them on this table.
bool CInterface::ReplayMoveFits(int from, int to, int card) const
{
    const CPlace* source = table->GetPlace(from);
    if (source == nullptr || table->GetPlace(to) == nullptr)
        return false;
    if (from == to)
        return card < source->Size();  // a click: on a card or (-1) on the place
    return card >= 0 && card < source->Size();
}

void CInterface::UpdateEffects(float dt)
{
    particles->Update(dt);
    for (CFlyingEffects* effects : {frameEffect.get(), hintFlight.get(), bonusClick.get(), bonusEnable.get(),
                                    bonusFromCard.get(), cardFix.get(), comboEffect.get()})
        effects->Update(dt);
    for (auto& ready : bonusReady)
        ready->Update(dt);
    mouseMove->Update(dt);
}

void CInterface::Render()
{
    backgroundLayer->Render();
    const int view = helpDesk->GetView();
    const bool settled = m_pPanel->GetState() == CGamePanel::kSettled;
    const bool paused = m_pPanel->GetState() == CGamePanel::kPaused;
    const bool helpOnTop = view == CHelpDesk::kBig || view == CHelpDesk::kOpeningSmall ||
                           view == CHelpDesk::kOpeningBig;
    auto drawPanel = [this, settled, paused](bool withIndicator) {
        panelLayer->Render();
        if (withIndicator && settled)
            moveIndicator->Render();
        if (!paused) {
            if (settled)
                manaBar->Render();
            table->GetScoreKeeper()->Render();
        }
        controller->Render();
    };
    if (!helpOnTop)
        drawPanel(false);
    if (!paused) {
        if (undo != nullptr)
            undo->Render();
        if (!helpOnTop && settled)
            moveIndicator->Render();
        if (settled) {
            table->Render();
            if (g_bCheatMode && font != nullptr && m_engine.Get() != nullptr)
                font->DrawTextFormat(640, 80, "FPS: %d  ", m_engine.Get()->GetFPS());
        }
        if (helpOnTop)
            drawPanel(true);
        m_pPanel->RenderBonusTips();
        helpDesk->Render();
        cursorLayer->Render();
        if (replay.active)
            tracker->Render();
    }
    shadowLayer->Render();
}
