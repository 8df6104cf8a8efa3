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
#include "progress/CProfileStore.h"
#include "table/CAutoFinisher.h"
#include "table/CCard.h"
#include "table/CCardFlight.h"
#include "table/CCardTable.h"
#include "table/CCursorHand.h"
#include "table/CDeck.h"
#include "table/CHelpDesk.h"
#include "table/CManaBar.h"
#include "table/CMoveFinder.h"
#include "table/CMoveIndicator.h"
#include "table/CPlace.h"
#include "table/CSpecialActions.h"
#include "table/CUndoHistory.h"
#include "table/GameDialogs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr float kPi = 3.14159265358979f;

}  // namespace

// ---- Building -------------------------------------------------------------------------------------

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

    m_pPanel->BuildButtons(controller.get());
    m_pPanel->GetHintButton()->OnClick += MakeDelegate(this, &CInterface::HintClicked);
    m_pPanel->GetMenuButton()->OnClick += MakeDelegate(this, &CInterface::MenuClicked);
    m_pPanel->GetUndoButton()->OnClick += MakeDelegate(this, &CInterface::UndoClicked);
    m_pPanel->GetDealButton()->OnClick += MakeDelegate(this, &CInterface::DealClicked);
    m_pPanel->GetRelaxButton()->OnClick += MakeDelegate(this, &CInterface::RelaxClicked);
    SetDealHighlight(false);

    dealDeck = std::make_unique<CDeck>();
    moveIndicator =
        std::make_unique<CMoveIndicator>(this, m_pPanel->FindPart("scroll_interface_top.#0.move_indicator_light.all"));
}

void CInterface::BuildBonusBar()
{
    // A bonus level shows the first picture on every slot; a level's codes are clamped to the pictures.
    const std::vector<int>& codes = table->Level().vBonuses;
    int kinds[kBonusSlots] = {0, 0, 0, 0, 0};
    for (int i = 0; i < kBonusSlots; ++i) {
        if (!IsBonusLevel() && static_cast<std::size_t>(i) < codes.size())
            kinds[i] = std::clamp(codes[static_cast<std::size_t>(i)], static_cast<int>(kActionCardToHouse),
                                  static_cast<int>(kActionExtraDeckPass));
    }
    const bool customCursor = g_pProfileStore != nullptr && g_pProfileStore->m_bSoftwareCursor != 0;
    m_pPanel->BuildBonusBar(kinds, customCursor);
    manaBar->SetPositions(m_pPanel->GetBonusX(0), m_pPanel->GetBonusX(1), m_pPanel->GetBonusX(2),
                          m_pPanel->GetBonusX(3), m_pPanel->GetBonusX(4), m_pPanel->GetBonusY());
    void (CInterface::*handlers[kBonusSlots])(CFObject*, int) = {
        &CInterface::BonusClicked1, &CInterface::BonusClicked2, &CInterface::BonusClicked3,
        &CInterface::BonusClicked4, &CInterface::BonusClicked5};
    for (int i = 0; i < kBonusSlots; ++i)
        m_pPanel->GetBonusButton(i)->OnClick += MakeDelegate(this, handlers[i]);
    DisarmBonuses();
}

void CInterface::DestroyPanel()
{
    if (inputShield != nullptr && controller != nullptr)
        controller->Remove(inputShield.get());
    moveIndicator.reset();
    dealDeck.reset();
    m_pPanel.reset();
    inputShield.reset();
}

// ---- Panel buttons --------------------------------------------------------------------------------

void CInterface::EnablePanelButtons()
{
    m_pPanel->EnableButtons(undo != nullptr && undo->Count() > 1);
}

void CInterface::DisablePanelButtons()
{
    m_pPanel->DisableButtons();
}

// The deal button lights up only while no gauge is full: then a bonus is the better help.
void CInterface::SetDealHighlight(bool on)
{
    bool show = on;
    if (on && manaBar != nullptr && !BonusesSwitchedOff()) {
        for (int i = 0; i < kBonusSlots; ++i)
            show = show && !manaBar->IsFull(i);
    }
    m_pPanel->ShowDealHighlight(show);
}

void CInterface::HintClicked(CFObject*, int state)
{
    if (state == CFMouse::kButtonLeft)
        RunHint();
}

void CInterface::MenuClicked(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || IsDealing())
        return;
    TraceEvent(GetGameTime(), L"menu");
    game_dialogs::Attach(game_dialogs::MakeInGameMenu(IsClassic(), cursorLayer.get()));
}

void CInterface::UndoClicked(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || IsBonusLevel() || table == nullptr || table->IsFlying())
        return;
    TraceEvent(GetGameTime(), L"undo");
    TraceEvent(GetGameTime(), L"undo");
    if (undo != nullptr)
        undo->Undo();
    DisarmBonuses();
    table->GetSpecialActions()->ClearChain();
    SetDealHighlight(false);
}

void CInterface::DealClicked(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
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
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"relax");
    helpDesk->SetView(CHelpDesk::kSmall, 0.0f);
    m_pPanel->SetState(CGamePanel::kHiding);
    SetGameClockRunning(false);
    m_pPanel->GetPicture()->PlayCommandSection("hide", false);
    helpDesk->StopSlide();
    helpDesk->SetView(CHelpDesk::kSmall, 0.0f);
    controller->DisableInput();
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->SetVisible(false);
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
        manaBar->AddMana(table->Gauges().m_nBarHintLength);
        autohintLeft = autohintFirst;
        table->PlayEffect(table->Sounds().m_hSndHint);
    }
    CPlace* source = table->GetPlace(move.fromPlace);
    CPlace* target = table->GetPlace(move.toPlace);
    if (source == nullptr || target == nullptr)
        return;
    hintFlight->StopAll();
    if (automatic)
        source->StartSway(0.1745f, move.fromCard, 3.0f, kAtOnce);
    else
        FlyHintFrame(move, *source, *target);
    for (int p = 0; p < table->PlaceCount(); ++p)
        table->GetPlace(p)->StopGhosts();
    if (!automatic)
        GhostHintCards(move, *source, *target);
    if (hintFlight->GetCount() > kHintEffectLimit && m_pPanel->GetHintButton() != nullptr)
        m_pPanel->GetHintButton()->SetEnabled(false);
}

// The anchor of an empty place, else where the card at index lies.
void CInterface::HintPosition(const CPlace& place, int index, int& x, int& y) const
{
    if (index == -1) {
        x = place.x;
        y = place.y;
        return;
    }
    table->GetCardPosition(&place, index, place.GetCard(index), x, y);
}

// A frame around the cards to move, from the hinted card to the top, flies on to the destination.
void CInterface::FlyHintFrame(const MoveRecord& move, const CPlace& source, const CPlace& target)
{
    const int hw = table->GetCardSize().m_nCardWidth / 2, hh = table->GetCardSize().m_nCardHeight / 2;
    int sx = 0, sy = 0;
    HintPosition(source, move.fromCard, sx, sy);
    FrameEffects frame;
    frame.x1 = sx - hw, frame.y1 = sy - hh, frame.x2 = sx + hw, frame.y2 = sy + hh;
    if (move.fromCard != -1 && move.fromCard < source.TopIndex()) {
        int tx = 0, ty = 0;
        HintPosition(source, source.TopIndex(), tx, ty);
        frame.x1 = std::min(frame.x1, tx - hw);
        frame.y1 = std::min(frame.y1, ty - hh);
        frame.x2 = std::max(frame.x2, tx + hw);
        frame.y2 = std::max(frame.y2, ty + hh);
    }
    HintPosition(target, move.toCard, frame.cx, frame.cy);
    frame.count = 24;
    frame.life = {5.0f, 5.0f};
    frame.delay = frame.delaySpecial = {kAtOnce, kAtOnce};
    frame.flight = frame.flightSpecial = {1.0f, 1.0f};
    frame.hold = frame.holdSpecial = {1.0f, 1.0f};
    frame.angle = source.rotate;
    frame.radius = hw;
    SpawnFrameEffects(hintFlight.get(), frame);
}

// The face-up cards of the hint light up: the one to land on, and the ones to move.
void CInterface::GhostHintCards(const MoveRecord& move, CPlace& source, CPlace& target)
{
    if (CCard* card = move.toCard != -1 ? target.GetCard(move.toCard) : nullptr)
        if (card->IsFaceUp())
            card->SetGhost(3.0f, 1.0f);
    const CCard* first = move.fromCard != -1 ? source.GetCard(move.fromCard) : nullptr;
    if (first == nullptr || !first->IsFaceUp())
        return;
    for (int i = move.fromCard; i <= source.TopIndex(); ++i)
        source.GetCard(i)->SetGhost(5.0f, kAtOnce);
}

float CInterface::SpawnFrameEffects(CFlyingEffects* effects, const FrameEffects& frame)
{
    const int count = frame.count;
    if (effects == nullptr || count <= 0)
        return 0.0f;
    struct Slot {
        bool special = false;
        float factor = 1, life = 0, delay = 0, flight = 0, hold = 0;
    };
    // A frame of fewer than eight effects has sides of one point: no step along them.
    const int side = std::max(count / 4 - 1, 1);
    const float stepX = static_cast<float>(frame.x2 - frame.x1) / static_cast<float>(side);
    const float stepY = static_cast<float>(frame.y2 - frame.y1) / static_cast<float>(side);
    std::vector<Slot> slots(static_cast<std::size_t>(count));
    for (Slot& slot : slots) {
        slot.factor = frame.scale;
        slot.life = RandomFloat(frame.life.lo, frame.life.hi);
        slot.delay = RandomFloat(frame.delay.lo, frame.delay.hi);
        slot.flight = RandomFloat(frame.flight.lo, frame.flight.hi);
        slot.hold = RandomFloat(frame.hold.lo, frame.hold.hi);
    }
    for (int k = 0; k < std::min(frame.special, count); ++k) {
        int i = RandomInt(0, count - 1);
        while (slots[static_cast<std::size_t>(i)].special)
            i = (i + 1) % count;  // the next free slot: a bounded search
        Slot& slot = slots[static_cast<std::size_t>(i)];
        slot.special = true;
        slot.factor = frame.scaleSpecial;
        slot.delay = RandomFloat(frame.delaySpecial.lo, frame.delaySpecial.hi);
        slot.flight = RandomFloat(frame.flightSpecial.lo, frame.flightSpecial.hi);
        slot.hold = RandomFloat(frame.holdSpecial.lo, frame.holdSpecial.hi);
    }
    const float x1 = static_cast<float>(frame.x1), y1 = static_cast<float>(frame.y1);
    const float x2 = static_cast<float>(frame.x2), y2 = static_cast<float>(frame.y2);
    const float mx = (x1 + x2) / 2.0f, my = (y1 + y2) / 2.0f;
    const int q1 = count / 4, q2 = 2 * count / 4, q3 = 3 * count / 4;
    const float c = std::cos(frame.angle), s = std::sin(frame.angle);
    float longest = 0.0f;
    for (int i = 0; i < count; ++i) {
        const Slot& slot = slots[static_cast<std::size_t>(i)];
        // Clockwise from the top left corner: top, right, bottom, left side.
        float px = 0, py = 0;
        bool on = false;
        if (i < q1) {
            px = x1 + static_cast<float>(i) * stepX, py = y1, on = frame.top;
        } else if (i < q2) {
            px = x2, py = y1 + static_cast<float>(i - q1) * stepY, on = frame.right;
        } else if (i < q3) {
            px = x2 - static_cast<float>(i - q2) * stepX, py = y2, on = frame.bottom;
        } else {
            px = x1, py = y2 - static_cast<float>(i - q3) * stepY, on = frame.left;
        }
        if (!on)
            continue;
        const float ddx = px - mx, ddy = py - my;
        const float rx = mx + ddx * c - ddy * s, ry = my + ddy * c + ddx * s;
        if (slot.life * slot.factor == 0.0f)
            continue;
        if (!effects->Add(rx, ry, slot.life * slot.factor, slot.delay, frame.tag))
            continue;
        if (frame.radius >= 0) {
            const float a = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(count);
            const float r = static_cast<float>(frame.radius);
            effects->FlyLastTo(static_cast<float>(frame.cx) + std::cos(a) * r,
                               static_cast<float>(frame.cy) + std::sin(a) * r, slot.flight, slot.hold);
            longest = std::max(longest, slot.delay + slot.hold + slot.flight);
        }
    }
    return longest;
}

// ---- Bonus bar ----------------------------------------------------------------------------------------

void CInterface::EnableBonuses(bool on)
{
    m_pPanel->ShowBonusBar(on);
    for (int i = 0; i < kBonusSlots; ++i) {
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
    m_pPanel->DisarmBonusButtons();
    if (table != nullptr)
        table->GetSpecialActions()->Disarm();
    if (hand != nullptr)
        hand->SetBonusCursorVisible(false);
}

void CInterface::ArmBonus(int i)
{
    const std::vector<int>& codes = table->Level().vBonuses;
    table->GetSpecialActions()->Arm(static_cast<std::size_t>(i) < codes.size() ? codes[static_cast<std::size_t>(i)]
                                                                            : kActionNone);
    m_pPanel->ArmBonusButton(i);
    if (hand != nullptr)
        hand->SetBonusCursorVisible(true);
}

bool CInterface::IsBonusUsable(int i) const
{
    const std::vector<int>& codes = table->Level().vBonuses;
    if (i < 0 || static_cast<std::size_t>(i) >= codes.size())
        return false;
    if (codes[static_cast<std::size_t>(i)] != kActionExtraDeckPass)
        return true;
    for (int p = 0; p < table->PlaceCount(); ++p) {
        const CPlace* place = table->GetPlace(p);
        if ((place->type == kPlaceDeck || place->type == kPlacePop) && !place->pile.empty())
            return true;
    }
    return false;
}

void CInterface::BonusClicked(int i, int state)
{
    if (state != CFMouse::kButtonLeft || table == nullptr)
        return;
    if (table->GetAutoFinisher()->IsRunning()) {
        DisarmBonuses();
        return;
    }
    CFButton* button = m_pPanel->GetBonusButton(i);
    if (button == nullptr || !button->IsEnabled() || m_pPanel->GetBonusDown(i) == 0)
        return;
    TraceEvent(GetGameTime(), L"bonus", std::to_wstring(i + 1));
    CSpecialActions& actions = *table->GetSpecialActions();
    actions.ClearChain();
    const std::vector<int>& codes = table->Level().vBonuses;
    const int code = static_cast<std::size_t>(i) < codes.size() ? codes[static_cast<std::size_t>(i)] : kActionNone;
    if (actions.ArmedCode() == code && code != kActionNone) {
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

bool CInterface::AnyBonusReady() const
{
    for (int i = 0; i < kBonusSlots; ++i) {
        if (IsBonusButtonEnabled(i))
            return true;
    }
    return false;
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
    const PlayerRecord* player = Player();
    if (player != nullptr && player->m_bTableFlag == 0)
        m_bGaugeWindowPending = true;  // the player's first usable bonus is explained once
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
