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
#include "screens/CProfileStore.h"
#include "table/CAutoFinisher.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CHelpDesk.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CMoveIndicator.h"
#include "table/CPlace.h"
#include "table/CRainEffect.h"
#include "table/CScoreKeeper.h"
#include "table/CTracker.h"
#include "table/CUndoHistory.h"
#include "table/GameDialogs.h"

namespace {

constexpr int kKeyF2 = 0x71;
constexpr int kKeyEscape = 27;
constexpr int kKeyD = 0x44;

}  // namespace

void CInterface::Update(float dt)
{
    PlayerRecord* player = Player();
    if (showSoundPending) {
        showSoundPending = false;
        PlaySound(sndInterfaceShow);
    }
    if (redealDialogOpen && panelState == 0) {
        if (game_dialogs::DialogAnswer() == 0)
            Restart();
        redealDialogOpen = false;
    }
    if (redealAsked && panelState == 0) {
        redealAsked = false;
        redealDialogOpen = true;
        game_dialogs::Attach(game_dialogs::MakeConfirmation("profile", "move_exit_dialog_wind", "bt_yes", "bt_no", 100));
    }
    if (startPending && panelState == 0) {
        StartLevel();
        startPending = false;
    }
    const bool tableView = player != nullptr && player->m_nTableBackground != 0;
    tablePicture->SetVisible(tableView);
    tableShadow->SetVisible(tableView);
    background->SetVisible(!tableView);

    lastKey = m_engine.Get() != nullptr ? m_engine.Get()->GetKey() : 0;
    helpDesk->Update(dt);
    if (replay.active) {
        tracker->Update(dt);
        if (tracker->IsOkHovered()) {
            // The click belongs to the learn window.
            table->m_nButtonEvent = 0;
            table->m_nRawButtonEvent = 0;
            lastKey = 0;
        }
    }
    backgroundLayer->Update(dt);
    panelLayer->Update(dt);
    shadowLayer->Update(dt);
    cursorLayer->Update(dt);
    UpdatePanel();
    if (panelState == 1 || panelState == 2 || panelState == 4) {
        // The bonus buttons ride with the sliding panel.
        for (int i = 0; i < kBonusSlots; ++i) {
            if (bonusPlaces[i] == nullptr)
                continue;
            float x = 0, y = 0, w = 0, h = 0;
            bonusPlaces[i]->GetBounds(&x, &y, &w, &h);
            if (bonusButtons[i] != nullptr)
                bonusButtons[i]->SetPosition(x, y);
            if (bonusFrames[i] != nullptr)
                bonusFrames[i]->SetPosition(x, y);
        }
    }
    if (panelState == 3)
        return;

    autohintLeft -= dt;
    if (autohintLeft < 0.0f && !table->IsHolding()) {
        if (player == nullptr || player->m_bMasterMode == 0) {
            autohintLeft = 0.0f;
            RunHint();  // shown as the automatic hint: it costs no mana
        }
        autohintLeft = autohintRepeat;
    }

    if ((table->m_nButtonEvent == 2 || lastKey != 0) && lastKey != kKeyF2) {
        if (table->m_nPrevButtonEvent != 3)
            ShowRulesText();
        table->StopCascade();
        if (!dealQueue.empty())
            dealStep = 0.0001f;
    }
    UpdateReplayCursor(dt);
    if (table->m_nRawButtonEvent == 1) {
        if (m_bWasReplaying && !replay.active)
            EnablePanelButtons();
        m_bWasReplaying = replay.active;
    }
    UpdateReplay(dt);
    UpdateEffects(dt);
    moveIndicator->Update(dt);
    controller->Update(dt);
    if (!hintButton->IsEnabled() && hintFlight->GetCount() <= kHintEffectLimit && !IsDealing())
        hintButton->SetEnabled(true);
    UpdateDeal(dt);
    if (!redealAsked && !startPending) {
        table->Update(dt);
        manaBar->Update(dt);
        table->GetScoreKeeper()->Update(dt);
        CheckWonLevel();
        WatchForFreedTable();
    }
    if (undo != nullptr)
        undo->Update();
    if (lastKey == kKeyEscape) {
        if (CSoundManager::Exists())
            PlaySound(CSoundManager::GetInstance()->m_menuChoose);
        MenuClicked(nullptr, 1);
    }
    if (lastKey == kKeyD)
        redealAsked = true;
    if (bonusChanged)
        UpdateBonusLooks();
    UpdateInfoWindows(dt);
}

void CInterface::CheckWonLevel()
{
    // The result screen follows the win cascade, once per win.
    if (!table->IsWon()) {
        m_nStatisticsShown = 0;
        return;
    }
    if (m_nStatisticsShown != 0 || table->GetRain()->IsRunning())
        return;
    m_nStatisticsShown = 1;
    if (CSoundManager::Exists())
        CSoundManager::GetInstance()->SetMusicMode(CSoundManager::kMenu, 2.0f);
    game_dialogs::Attach(game_dialogs::MakeStatistics(mode & 7));
}

void CInterface::UpdateBonusLooks()
{
    bonusChanged = false;
    bool anyDown = false;
    for (int i = 0; i < kBonusSlots; ++i) {
        CFButton* button = bonusButtons[i].get();
        if (button == nullptr)
            continue;
        if (button->IsDown() != m_prevLatched[i]) {
            button->PlayState("select", true, true);
            button->SetRepeatFrameEvents(false);
        }
        if (button->IsEnabled())
            m_prevLatched[i] = button->IsDown();
        anyDown = anyDown || button->IsDown();
    }
    for (int i = 0; i < kBonusSlots; ++i) {
        CFButton* button = bonusButtons[i].get();
        if (button == nullptr)
            continue;
        if (!anyDown) {
            button->ResetState();
            bonusDown[i] = -1;
            continue;
        }
        if (!button->IsDown())
            button->PlayState("shadow", true, true);
        bonusDown[i] = button->IsDown() ? 1 : 0;
    }
}

void CInterface::UpdatePanel()
{
    auto showBackground = [this] {
        tablePicture->SetVisible(false);
        tableShadow->SetVisible(false);
        background->SetVisible(true);
    };
    auto settle = [this] {
        panelState = 0;
        controller->EnableInput();
        if (CFMouse* mouse = CFMouse::GetInstance())
            mouse->SetVisible(true);
        helpDesk->Layout();
    };
    switch (panelState) {
    case 1:
        showBackground();
        lastKey = 0;
        table->m_nButtonEvent = 0;
        if (!panel->IsPlaying())
            settle();
        if (relaxMessage->IsVisible())
            relaxMessage->SetVisible(false);
        break;
    case 2:
        showBackground();
        if (!panel->IsPlaying()) {
            panelState = 3;
            lastKey = 0;
            table->m_nButtonEvent = 0;
            helpDesk->Layout();
            relaxMessage->SetVisible(true);
            relaxMessage->Play(false);
        }
        break;
    case 3: {
        showBackground();
        // The pause sees the mouse itself: the table is not updated while it lasts.
        const CFMouse* mouse = CFMouse::GetInstance();
        const bool pressed = mouse != nullptr && mouse->GetLeftEvent() == 2;
        if (pressed || table->m_nButtonEvent == 2 || lastKey != 0) {
            lastKey = 0;
            table->m_nButtonEvent = 0;
            panelState = 1;
            SetGameClockRunning(true);
            panel->Stop(false);
            panel->PlayCommandSection("show", false);
        }
        break;
    }
    case 4:
        lastKey = 0;
        table->m_nButtonEvent = 0;
        if (!panel->IsPlaying())
            settle();
        break;
    default:
        break;
    }
}

void CInterface::ShowInfoWindow(int kind)
{
    switch (kind) {
    case 1:
        game_dialogs::Attach(game_dialogs::MakeInformation("informative_wind", "move_informative_wind_2", "bt_ok2"));
        break;
    case 3:
        game_dialogs::Attach(game_dialogs::MakeInformation("Move_Indicator_wind", "move_move_indicator_wind1", "bt_ok2"));
        break;
    case 4:
        game_dialogs::Attach(game_dialogs::MakeInformation("Move_Indicator_wind", "move_move_indicator_wind2", "bt_ok2"));
        break;
    case 5:
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
    const bool rulesSeen = player == nullptr || levelSection < 0 || levelSection >= PlayerRecord::kLevelNumbers ||
                           player->m_introShown[static_cast<std::size_t>(levelSection)] != 0;
    switch (infoStep) {
    case 0:
        if (!rulesSeen && !IsDealing() && !startPending)
            RequestInfoWindow(2, 0.3f, 1);
        if (player != nullptr && player->m_bMasterMode != 0 && player->m_bMasterWindowShown == 0 && !IsClassic())
            RequestInfoWindow(5, 0.0f, 1);
        break;
    case 1:
        SetInfoStep(2, 0.0f);
        break;
    case 2:
        if (IsDealing() || redealAsked || startPending)
            break;
        switch (infoKind) {
        case 1:
            ShowInfoWindow(1);
            SetInfoStep(3, 0.0f);
            break;
        case 2:
            if (panelState != 0)
                break;
            if (helpDesk->GetView() == CHelpDesk::kSmall) {
                helpDesk->SetView(CHelpDesk::kBig, 0.0f);
                if (player != nullptr && levelSection >= 0 && levelSection < PlayerRecord::kLevelNumbers)
                    player->m_introShown[static_cast<std::size_t>(levelSection)] = 1;
                rulesShown = true;
            } else if (helpDesk->GetView() == CHelpDesk::kBig) {
                SetInfoStep(3, 0.0f);
            } else if (rulesSeen) {
                SetInfoStep(3, 0.0f);  // the view was changed meanwhile: the window is done
            }
            break;
        case 3:
        case 4:
            if (moveIndicator->IsLit(true)) {
                ShowInfoWindow(infoKind);
                SetInfoStep(3, 0.0f);
            }
            break;
        case 5:
            if (player != nullptr && player->m_bMasterMode != 0 && player->m_bMasterWindowShown == 0) {
                player->m_bMasterWindowShown = 1;
                ShowInfoWindow(5);
            }
            SetInfoStep(3, 0.0f);
            break;
        default:
            SetInfoStep(3, 0.0f);  // nothing to show for an unknown kind
            break;
        }
        break;
    case 3:
        SetInfoStep(4, 0.0f);
        break;
    case 4:
        SetInfoStep(0, 0.0f);
        break;
    default:
        SetInfoStep(0, 0.0f);
        break;
    }
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
    if (table->m_nRawButtonEvent == 2 || lastKey == kKeyEscape) {
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
        if (tracker->PendingCount() == 0)
            table->GetMoveFinder()->PlayMove(from, to, card, false);
        else
            tracker->StepBack();
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
    const bool helpOnTop = view == CHelpDesk::kBig || view == CHelpDesk::kOpeningSmall ||
                           view == CHelpDesk::kOpeningBig;
    auto drawPanel = [this](bool withIndicator) {
        panelLayer->Render();
        if (withIndicator && panelState == 0)
            moveIndicator->Render();
        if (panelState != 3) {
            if (panelState == 0)
                manaBar->Render();
            table->GetScoreKeeper()->Render();
        }
        controller->Render();
    };
    if (!helpOnTop)
        drawPanel(false);
    if (panelState != 3) {
        if (undo != nullptr)
            undo->Render();
        if (!helpOnTop && panelState == 0)
            moveIndicator->Render();
        if (panelState == 0) {
            table->Render();
            if (g_bCheatMode && font != nullptr && m_engine.Get() != nullptr)
                font->DrawTextFormat(640, 80, "FPS: %d  ", m_engine.Get()->GetFPS());
        }
        if (helpOnTop)
            drawPanel(true);
        helpDesk->Render();
        cursorLayer->Render();
        if (replay.active)
            tracker->Render();
    }
    shadowLayer->Render();
}
