// The panel buttons, the bonus bar, hints and the frame sparkles of the in-game controller.
#include "table/CInterface.h"

#include "app/CFlyingEffects.h"
#include "app/CIniFile.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFDelegate.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "screens/CProfileStore.h"
#include "table/CAutoFinisher.h"
#include "table/CCard.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CDeck.h"
#include "table/CHelpDesk.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CMoveIndicator.h"
#include "table/CPlace.h"
#include "table/CUndoHistory.h"
#include "table/GameDialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr float kPi = 3.14159265358979f;

std::string Numbered(const char* format, int n)
{
    char text[64];
    std::snprintf(text, sizeof text, format, n);
    return text;
}

}  // namespace

// ---- Building -------------------------------------------------------------------------------------

std::unique_ptr<CFButton> CInterface::MakePanelButton(const char* path)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    // The look is the panel's own part (drawn and slid by the panel); the button follows it.
    if (CFAnimationInstance* part = panel != nullptr ? panel->FindPart(0, path) : nullptr) {
        button->AttachAnimation(part);
        button->SetBoundsAnimation(part);
    }
    if (g_pResource != nullptr)
        button->AddAnimation("interface", "snd_button");
    return button;
}

void CInterface::BuildPanel()
{
    if (g_pLogicIni != nullptr)
        g_pLogicIni->SetSection("Interface");
    const PlayerRecord* player = Player();
    const bool tableView = player != nullptr && player->m_nTableBackground != 0;
    tablePicture = std::make_unique<CFAnimationInstance>(backgroundLayer.get(), CFAnimationInstance::kUnsetPosition,
                                                         CFAnimationInstance::kUnsetPosition);
    tableShadow = std::make_unique<CFAnimationInstance>(shadowLayer.get(), CFAnimationInstance::kUnsetPosition,
                                                        CFAnimationInstance::kUnsetPosition);
    if (g_pResource != nullptr) {
        tablePicture->LoadEffect(g_pResource, "table", "table");
        tableShadow->LoadEffect(g_pResource, "table", "table_shad");
    }
    for (CFAnimationInstance* picture : {tablePicture.get(), tableShadow.get()}) {
        picture->SetVisible(tableView);
        picture->Play(true);
    }

    hintButton = MakePanelButton("scroll_interface_top.#0.hint_rubin.all");
    hintButton->OnClick += MakeDelegate(this, &CInterface::HintClicked);
    menuButton = MakePanelButton("scroll_interface_bottom.#0.menu.all");
    menuButton->OnClick += MakeDelegate(this, &CInterface::MenuClicked);
    undoButton = MakePanelButton("scroll_interface_top.#0.undo.all");
    undoButton->OnClick += MakeDelegate(this, &CInterface::UndoClicked);
    undoButton->SetEnabled(false);
    dealButton = MakePanelButton("scroll_interface_top.#0.deal.all");
    dealButton->OnClick += MakeDelegate(this, &CInterface::DealClicked);
    SetDealHighlight(false);
    relaxButton = MakePanelButton("scroll_interface_top.#0.relax.all");
    relaxButton->OnClick += MakeDelegate(this, &CInterface::RelaxClicked);
    relaxButton->OnMouseEnter += MakeDelegate(this, &CInterface::RelaxEnter);
    relaxButton->OnMouseLeave += MakeDelegate(this, &CInterface::RelaxLeave);
    for (CFButton* button : {menuButton.get(), hintButton.get(), undoButton.get(), dealButton.get(), relaxButton.get()})
        controller->Add(button);

    dealDeck = std::make_unique<CDeck>();
    moveIndicator = std::make_unique<CMoveIndicator>(
        this, panel != nullptr ? panel->FindPart(0, "scroll_interface_top.#0.move_indicator_light.all") : nullptr);
}

void CInterface::BuildBonusBar()
{
    if (g_pLogicIni != nullptr) {
        g_pLogicIni->SetSection("Interface");
        for (int i = 0; i < kBonusSlots; ++i)
            bonusX[i] = g_pLogicIni->GetInt(Numbered("bonus_screen_x%d", i + 1).c_str());
        bonusY = g_pLogicIni->GetInt("bonus_screen_y");
    }
    manaBar->SetPositions(bonusX[0], bonusX[1], bonusX[2], bonusX[3], bonusX[4], bonusY);
    const bool customCursor = g_pProfileStore != nullptr && g_pProfileStore->m_bSoftwareCursor != 0;
    void (CInterface::*handlers[kBonusSlots])(CFObject*, int) = {
        &CInterface::BonusClicked1, &CInterface::BonusClicked2, &CInterface::BonusClicked3,
        &CInterface::BonusClicked4, &CInterface::BonusClicked5};
    const std::vector<int>& codes = table->m_Level.vBonuses;
    for (int i = 0; i < kBonusSlots; ++i) {
        int k = 0;
        if (!IsBonusLevel() && static_cast<std::size_t>(i) < codes.size())
            k = std::clamp(codes[static_cast<std::size_t>(i)], 0, 24);
        auto button = std::make_unique<CFButton>();
        button->SetResource(g_pResource);
        auto frame = std::make_unique<CFFrameImage>();
        frame->SetResource(g_pResource);
        if (g_pResource != nullptr) {
            button->AddAnimation("interface", Numbered("bonus%d", k + 1).c_str());
            button->AddAnimation("interface", "snd_bonus_select");
            button->SetHoverEffect("interface", Numbered("tooltip_bonus_%d", k + 1).c_str(), 0.0f);
            frame->AddAnimation("interface", "b_wood");
        }
        button->SetMode(CFButton::kModeToggle);
        button->SetEnabled(false);
        frame->SetVisible(false);
        controller->Add(button.get());
        controller->Add(frame.get());
        button->OnClick += MakeDelegate(this, handlers[i]);
        const float x = static_cast<float>(bonusX[i]), y = static_cast<float>(bonusY);
        button->SetPosition(x, y);
        frame->SetPosition(x, y);
        float bx = 0, by = 0, w = 0, h = 0;
        button->GetRect(&bx, &by, &w, &h);
        button->SetRect(static_cast<float>(bonusX[i] - static_cast<int>(w) / 2),
                        static_cast<float>(bonusY - static_cast<int>(h) / 2), w, h);
        button->SetHoverEffectPosition(x, y + (customCursor ? 48.0f : 30.0f));
        bonusButtons[i] = std::move(button);
        bonusFrames[i] = std::move(frame);
    }
    DisarmBonuses();
}

void CInterface::DestroyPanel()
{
    for (CFButton* button : {hintButton.get(), menuButton.get(), undoButton.get(), dealButton.get(),
                             relaxButton.get()})
        if (button != nullptr && controller != nullptr)
            controller->Remove(button);
    if (inputShield != nullptr && controller != nullptr)
        controller->Remove(inputShield.get());
    moveIndicator.reset();
    dealDeck.reset();
    undoButton.reset();
    menuButton.reset();
    hintButton.reset();
    dealButton.reset();
    relaxButton.reset();
    inputShield.reset();
}

void CInterface::DestroyBonusBar()
{
    for (int i = 0; i < kBonusSlots; ++i) {
        if (controller != nullptr) {
            if (bonusButtons[i] != nullptr)
                controller->Remove(bonusButtons[i].get());
            if (bonusFrames[i] != nullptr)
                controller->Remove(bonusFrames[i].get());
        }
        bonusButtons[i].reset();
        bonusFrames[i].reset();
    }
}

CFButton* CInterface::GetBonusButton(int i) const
{
    return i >= 0 && i < kBonusSlots ? bonusButtons[i].get() : nullptr;
}

CFFrameImage* CInterface::GetBonusFrame(int i) const
{
    return i >= 0 && i < kBonusSlots ? bonusFrames[i].get() : nullptr;
}

// ---- Panel buttons --------------------------------------------------------------------------------

void CInterface::EnablePanelButtons()
{
    if (menuButton != nullptr)
        menuButton->SetEnabled(true);
    if (hintButton != nullptr)
        hintButton->SetEnabled(true);
    if (undoButton != nullptr)
        undoButton->SetEnabled(undo != nullptr && undo->Count() > 1);
}

void CInterface::DisablePanelButtons()
{
    for (CFButton* button : {menuButton.get(), hintButton.get(), undoButton.get()})
        if (button != nullptr)
            button->SetEnabled(false);
}

void CInterface::SetDealHighlight(bool on)
{
    CFAnimationInstance* look = dealButton != nullptr ? dealButton->GetAttachedAnimation(0) : nullptr;
    CFAnimationInstance* highlight = look != nullptr ? look->GetPartInstance(0, 0) : nullptr;
    if (highlight == nullptr)
        return;
    bool show = on;
    if (on && manaBar != nullptr && !BonusesSwitchedOff()) {
        for (int i = 0; i < kBonusSlots; ++i)
            show = show && !manaBar->IsFull(i);
    }
    highlight->SetVisible(show);
}

void CInterface::HintClicked(CFObject*, int state)
{
    if (state == 1)
        RunHint();
}

void CInterface::MenuClicked(CFObject*, int state)
{
    if (state != 1 || IsDealing())
        return;
    TraceEvent(GetGameTime(), L"menu");
    game_dialogs::Attach(game_dialogs::MakeInGameMenu(IsClassic(), cursorLayer.get()));
}

void CInterface::UndoClicked(CFObject*, int state)
{
    if (state != 1 || IsBonusLevel() || table == nullptr || table->IsFlying())
        return;
    TraceEvent(GetGameTime(), L"undo");
    TraceEvent(GetGameTime(), L"undo");
    if (undo != nullptr)
        undo->Undo();
    DisarmBonuses();
    table->m_nChainAction = -1;
    SetDealHighlight(false);
}

void CInterface::DealClicked(CFObject*, int state)
{
    if (state != 1)
        return;
    TraceEvent(GetGameTime(), L"deal");
    TraceEvent(GetGameTime(), GameKey(), MedalName());
    redealAsked = true;
    if (helpDesk != nullptr)
        helpDesk->ShowRulesText();
    SetDealHighlight(false);
}

void CInterface::RelaxClicked(CFObject*, int state)
{
    if (state != 1)
        return;
    TraceEvent(GetGameTime(), L"relax");
    helpDesk->SetView(CHelpDesk::kSmall, 0.0f);
    panelState = 2;
    SetGameClockRunning(false);
    panel->PlayCommandSection("hide", false);
    helpDesk->StopSlide();
    helpDesk->SetView(CHelpDesk::kSmall, 0.0f);
    controller->DisableInput();
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->SetVisible(false);
}

void CInterface::RelaxEnter(CFObject*, int)
{
    relaxHover = true;
}

void CInterface::RelaxLeave(CFObject*, int)
{
    relaxHover = false;
}

// ---- Hints ------------------------------------------------------------------------------------------

void CInterface::RunHint()
{
    if (table == nullptr || table->GetAutoFinisher()->IsRunning() || IsBonusLevel() || replay.active ||
        !dealQueue.empty() || table->IsFlying() || table->IsHolding())
        return;
    TraceEvent(GetGameTime(), L"hint");
    MoveRecord move;
    if (!table->GetMoveFinder()->NextHint(move))
        return;
    TraceEvent(GetGameTime(), L"hint", L"manaLost");
    const bool automatic = autohintLeft == 0.0f;
    if (!automatic) {
        table->GetMoveFinder()->CountHint();
        manaBar->AddMana(table->m_nBarHintLength);
        autohintLeft = autohintFirst;
        table->PlayEffect(table->m_hSndHint);
    }
    CPlace* source = table->GetPlace(move.fromPlace);
    CPlace* target = table->GetPlace(move.toPlace);
    if (source == nullptr || target == nullptr)
        return;
    const int hw = table->m_nCardWidth / 2, hh = table->m_nCardHeight / 2;
    auto position = [this](const CPlace* place, int index, int& x, int& y) {
        if (index == -1) {
            x = place->x;
            y = place->y;
            return;
        }
        table->GetCardPosition(place, index, place->GetCard(index), x, y);
    };
    int sx = 0, sy = 0;
    position(source, move.fromCard, sx, sy);
    int x1 = sx - hw, y1 = sy - hh, x2 = sx + hw, y2 = sy + hh;
    if (move.fromCard != -1 && move.fromCard < source->TopIndex()) {
        int tx = 0, ty = 0;
        position(source, source->TopIndex(), tx, ty);
        x1 = std::min(x1, tx - hw);
        y1 = std::min(y1, ty - hh);
        x2 = std::max(x2, tx + hw);
        y2 = std::max(y2, ty + hh);
    }
    int dx = 0, dy = 0;
    position(target, move.toCard, dx, dy);
    hintFlight->StopAll();
    if (automatic) {
        source->StartSway(0.1745f, move.fromCard, 3.0f, 0.0001f);
    } else {
        const float life[2] = {5.0f, 5.0f}, delay[2] = {0.0001f, 0.0001f}, flight[2] = {1.0f, 1.0f},
                    hold[2] = {1.0f, 1.0f};
        SpawnFrameEffects(hintFlight.get(), 24, 0, 1.0f, 1.0f, life, delay, delay, flight, flight, hold, hold, x1,
                          y1, x2, y2, source->rotate, dx, dy, table->m_nCardWidth / 2, true, true, true, true, 0);
    }
    for (int p = 0; p < table->PlaceCount(); ++p)
        table->GetPlace(p)->StopGhosts();
    if (!automatic) {
        if (CCard* card = move.toCard != -1 ? target->GetCard(move.toCard) : nullptr)
            if (card->IsFaceUp())
                card->SetGhost(3.0f, 1.0f);
        if (move.fromCard != -1 && source->GetCard(move.fromCard) != nullptr &&
            source->GetCard(move.fromCard)->IsFaceUp()) {
            for (int i = move.fromCard; i <= source->TopIndex(); ++i)
                source->GetCard(i)->SetGhost(5.0f, 0.0001f);
        }
    }
    if (hintFlight->GetCount() > kHintEffectLimit && hintButton != nullptr)
        hintButton->SetEnabled(false);
}

float CInterface::SpawnFrameEffects(CFlyingEffects* effects, int count, int special, float scale, float scaleSpecial,
                                    const float life[2], const float delay[2], const float delaySpecial[2],
                                    const float flight[2], const float flightSpecial[2], const float hold[2],
                                    const float holdSpecial[2], int x1, int y1, int x2, int y2, float angle, int cx,
                                    int cy, int radius, bool left, bool right, bool top, bool bottom, int tag)
{
    if (effects == nullptr || count <= 0)
        return 0.0f;
    struct Slot {
        bool special = false;
        float factor = 1, life = 0, delay = 0, flight = 0, hold = 0;
    };
    // A frame of fewer than eight effects has sides of one point: no step along them.
    const int side = std::max(count / 4 - 1, 1);
    const float stepX = static_cast<float>(x2 - x1) / static_cast<float>(side);
    const float stepY = static_cast<float>(y2 - y1) / static_cast<float>(side);
    std::vector<Slot> slots(static_cast<std::size_t>(count));
    for (Slot& slot : slots) {
        slot.factor = scale;
        slot.life = RandomFloat(life[0], life[1]);
        slot.delay = RandomFloat(delay[0], delay[1]);
        slot.flight = RandomFloat(flight[0], flight[1]);
        slot.hold = RandomFloat(hold[0], hold[1]);
    }
    for (int k = 0; k < std::min(special, count); ++k) {
        int i = RandomInt(0, count - 1);
        while (slots[static_cast<std::size_t>(i)].special)
            i = (i + 1) % count;  // the next free slot: a bounded search
        Slot& slot = slots[static_cast<std::size_t>(i)];
        slot.special = true;
        slot.factor = scaleSpecial;
        slot.delay = RandomFloat(delaySpecial[0], delaySpecial[1]);
        slot.flight = RandomFloat(flightSpecial[0], flightSpecial[1]);
        slot.hold = RandomFloat(holdSpecial[0], holdSpecial[1]);
    }
    const float mx = static_cast<float>(x1 + x2) / 2.0f, my = static_cast<float>(y1 + y2) / 2.0f;
    const int q1 = count / 4, q2 = 2 * count / 4, q3 = 3 * count / 4;
    const float c = std::cos(angle), s = std::sin(angle);
    float longest = 0.0f;
    for (int i = 0; i < count; ++i) {
        const Slot& slot = slots[static_cast<std::size_t>(i)];
        float px = 0, py = 0;
        bool on = false;
        if (i < q1) {
            px = static_cast<float>(x1) + static_cast<float>(i) * stepX, py = static_cast<float>(y1), on = top;
        } else if (i < q2) {
            px = static_cast<float>(x2), py = static_cast<float>(y1) + static_cast<float>(i - q1) * stepY, on = right;
        } else if (i < q3) {
            px = static_cast<float>(x2) - static_cast<float>(i - q2) * stepX, py = static_cast<float>(y2), on = bottom;
        } else {
            px = static_cast<float>(x1), py = static_cast<float>(y2) - static_cast<float>(i - q3) * stepY, on = left;
        }
        if (!on)
            continue;
        const float ddx = px - mx, ddy = py - my;
        const float rx = mx + ddx * c - ddy * s, ry = my + ddy * c + ddx * s;
        if (slot.life * slot.factor == 0.0f)
            continue;
        if (!effects->Add(rx, ry, slot.life * slot.factor, slot.delay, tag))
            continue;
        if (radius >= 0) {
            const float a = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(count);
            effects->FlyLastTo(static_cast<float>(cx) + std::cos(a) * static_cast<float>(radius),
                               static_cast<float>(cy) + std::sin(a) * static_cast<float>(radius), slot.flight,
                               slot.hold);
            longest = std::max(longest, slot.delay + slot.hold + slot.flight);
        }
    }
    return longest;
}

// ---- Bonus bar ----------------------------------------------------------------------------------------

void CInterface::EnableBonuses(bool on)
{
    for (int i = 0; i < kBonusSlots; ++i) {
        if (bonusButtons[i] != nullptr)
            bonusButtons[i]->SetVisible(on);
        if (bonusFrames[i] != nullptr)
            bonusFrames[i]->SetVisible(!on);
        if (bonusReady[i] == nullptr)
            continue;
        bonusReady[i]->KillAll();
        int x = 0, y = 0;
        if (on && manaBar != nullptr && manaBar->IsFull(i) && manaBar->GetGaugePos(i, x, y))
            bonusReady[i]->Add(static_cast<float>(x), static_cast<float>(y), -1.0f, 0.0001f, 0);
    }
}

void CInterface::DisarmBonuses()
{
    for (auto& button : bonusButtons) {
        if (button == nullptr)
            continue;
        button->SetDown(false);
        button->SetMode(CFButton::kModePlain);
        if (CFAnimationInstance* look = button->GetAnimation(0)) {
            CFAnimationInstance* part = look->GetPartInstance(0, 0);
            CFAnimationInstance* target = part != nullptr ? part : look;
            target->Stop(false);
            target->PlayCommandSection("hide", false);
        }
    }
    if (table != nullptr)
        table->m_nBonusAction = -1;
    if (hand != nullptr)
        hand->SetBonusCursorVisible(false);
    bonusChanged = true;
}

void CInterface::ArmBonus(int i)
{
    const std::vector<int>& codes = table->m_Level.vBonuses;
    table->m_nChainAction = table->m_nBonusAction;
    table->m_nBonusAction = static_cast<std::size_t>(i) < codes.size() ? codes[static_cast<std::size_t>(i)] : -1;
    for (int j = 0; j < kBonusSlots; ++j) {
        if (bonusButtons[j] == nullptr)
            continue;
        if (j == i) {
            bonusButtons[j]->SetMode(CFButton::kModeToggle);
            bonusButtons[j]->SetDown(true);
        } else {
            bonusButtons[j]->SetMode(CFButton::kModePlain);
        }
    }
    if (hand != nullptr)
        hand->SetBonusCursorVisible(true);
    bonusChanged = true;
}

bool CInterface::IsBonusUsable(int i) const
{
    const std::vector<int>& codes = table->m_Level.vBonuses;
    if (i < 0 || static_cast<std::size_t>(i) >= codes.size())
        return false;
    if (codes[static_cast<std::size_t>(i)] != 24)
        return true;
    for (int p = 0; p < table->PlaceCount(); ++p) {
        const CPlace* place = table->GetPlace(p);
        if ((place->type == 1 || place->type == 2) && !place->pile.empty())
            return true;
    }
    return false;
}

void CInterface::BonusClicked(int i, int state)
{
    if (state != 1 || table == nullptr)
        return;
    if (table->GetAutoFinisher()->IsRunning()) {
        DisarmBonuses();
        return;
    }
    CFButton* button = bonusButtons[i].get();
    if (button == nullptr || !button->IsEnabled() || bonusDown[i] == 0)
        return;
    TraceEvent(GetGameTime(), L"bonus", std::to_wstring(i + 1));
    table->m_nChainAction = -1;
    const std::vector<int>& codes = table->m_Level.vBonuses;
    const int code = static_cast<std::size_t>(i) < codes.size() ? codes[static_cast<std::size_t>(i)] : -1;
    if (table->m_nBonusAction == code && code != -1) {
        DisarmBonuses();
        return;
    }
    DisarmBonuses();
    if (!IsBonusUsable(i))
        return;
    ArmBonus(i);
    PlaySound(sndBonusTake);
    int x = 0, y = 0;
    if (bonusClick != nullptr && manaBar->GetGaugePos(i, x, y))
        bonusClick->Add(static_cast<float>(x), static_cast<float>(y), 2.0f, 0.0001f, 0);
}

bool CInterface::IsBonusButtonEnabled(int gauge) const
{
    const CFButton* button = GetBonusButton(gauge);
    return button != nullptr && button->IsEnabled();
}

void CInterface::OnGaugeReady(int gauge)
{
    CFButton* button = GetBonusButton(gauge);
    if (button == nullptr || IsBonusLevel() || BonusesSwitchedOff())
        return;
    button->SetEnabled(true);
    PlaySound(sndBonusActive);
    int x = 0, y = 0;
    if (!manaBar->GetGaugePos(gauge, x, y))
        return;
    if (bonusEnable != nullptr)
        bonusEnable->Add(static_cast<float>(x), static_cast<float>(y), 1.0f, 0.0001f, 0);
    if (bonusReady[gauge] != nullptr) {
        bonusReady[gauge]->KillAll();
        bonusReady[gauge]->Add(static_cast<float>(x), static_cast<float>(y), -1.0f, 0.0001f, 0);
    }
    SetDealHighlight(false);
}

void CInterface::SetBonusButtonReady(int gauge, bool ready)
{
    CFButton* button = GetBonusButton(gauge);
    if (button == nullptr)
        return;
    button->SetEnabled(ready);
    if (bonusReady[gauge] == nullptr)
        return;
    bonusReady[gauge]->KillAll();
    int x = 0, y = 0;
    if (ready && manaBar->GetGaugePos(gauge, x, y))
        bonusReady[gauge]->Add(static_cast<float>(x), static_cast<float>(y), -1.0f, 0.0001f, 0);
}
