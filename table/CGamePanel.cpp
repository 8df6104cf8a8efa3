// CGamePanel.cpp: building the panel and its buttons, and their looks as the game goes.
#include "table/CGamePanel.h"

#include "app/CIniFile.h"
#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFDelegate.h"
#include "framework/CFFrameImage.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"

#include <cstdio>
#include <string>

namespace {
std::string Numbered(const char* format, int n)
{
    char text[96];
    std::snprintf(text, sizeof text, format, n);
    return text;
}
}  // namespace

CGamePanel::CGamePanel(CFAnimationGroup* layer)
{
    panel = std::make_unique<CFAnimationInstance>(layer, CFAnimationInstance::kUnsetPosition,
                                                  CFAnimationInstance::kUnsetPosition);
    if (g_pResource != nullptr)
        panel->LoadEffect(g_pResource, "interface", "panel");
    panel->SetVisible(true);
    panel->PlayCommandSection("show", false);
    panelState = kFirstShow;

    relaxMessage = std::make_unique<CFAnimationInstance>(layer, CFAnimationInstance::kUnsetPosition,
                                                         CFAnimationInstance::kUnsetPosition);
    if (g_pResource != nullptr)
        relaxMessage->LoadEffect(g_pResource, "interface", "relax_msg");
    relaxMessage->SetVisible(false);
    relaxMessage->PlayRange(0, 0, false);
}

void CGamePanel::FindParts()
{
    for (const char* path : {"scroll_interface_top.all", "scroll_interface_bottom.all"})
        if (CFAnimationInstance* part = FindPart(path))
            part->SetPlayParts(false);
    for (int i = 0; i < kBonusSlots; ++i)
        bonusPlaces[i] = FindPart(Numbered("scroll_interface_top.#0.bonus_place_%d.all", i + 1).c_str());
}

CGamePanel::~CGamePanel()
{
    if (m_pController != nullptr) {
        for (int i = 0; i < kBonusSlots; ++i) {
            if (bonusButtons[i] != nullptr)
                m_pController->Remove(bonusButtons[i].get());
            if (bonusFrames[i] != nullptr)
                m_pController->Remove(bonusFrames[i].get());
        }
        for (CFButton* button : {hintButton.get(), menuButton.get(), undoButton.get(), dealButton.get(),
                                 relaxButton.get()})
            if (button != nullptr)
                m_pController->Remove(button);
    }
}

CFAnimationInstance* CGamePanel::FindPart(const char* path) const
{
    return panel != nullptr ? panel->FindPart(0, path) : nullptr;
}

bool CGamePanel::IsPlaying() const
{
    return panel != nullptr && panel->IsPlaying();
}

// ---- Building --------------------------------------------------------------------------------------

std::unique_ptr<CFButton> CGamePanel::MakeButton(const char* path)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    // The look is the panel's own part (drawn and slid by the panel); the button follows it.
    if (CFAnimationInstance* part = FindPart(path)) {
        button->AttachAnimation(part);
        button->SetBoundsAnimation(part);
    }
    if (g_pResource != nullptr)
        button->AddAnimation("interface", "snd_button");
    return button;
}

void CGamePanel::BuildButtons(CFObjectController* controller)
{
    m_pController = controller;
    hintButton = MakeButton("scroll_interface_top.#0.hint_rubin.all");
    menuButton = MakeButton("scroll_interface_bottom.#0.menu.all");
    undoButton = MakeButton("scroll_interface_top.#0.undo.all");
    undoButton->SetEnabled(false);
    dealButton = MakeButton("scroll_interface_top.#0.deal.all");
    relaxButton = MakeButton("scroll_interface_top.#0.relax.all");
    relaxButton->OnMouseEnter += MakeDelegate(this, &CGamePanel::RelaxEnter);
    relaxButton->OnMouseLeave += MakeDelegate(this, &CGamePanel::RelaxLeave);
    for (CFButton* button : {menuButton.get(), hintButton.get(), undoButton.get(), dealButton.get(), relaxButton.get()})
        m_pController->Add(button);
}

void CGamePanel::BuildBonusBar(const int (&kinds)[kBonusSlots], bool customCursor)
{
    if (g_pLogicIni != nullptr) {
        g_pLogicIni->SetSection("Interface");
        for (int i = 0; i < kBonusSlots; ++i)
            bonusX[i] = g_pLogicIni->GetInt(Numbered("bonus_screen_x%d", i + 1).c_str());
        bonusY = g_pLogicIni->GetInt("bonus_screen_y");
    }
    for (int i = 0; i < kBonusSlots; ++i) {
        auto button = std::make_unique<CFButton>();
        button->SetResource(g_pResource);
        auto frame = std::make_unique<CFFrameImage>();
        frame->SetResource(g_pResource);
        if (g_pResource != nullptr) {
            button->AddAnimation("interface", Numbered("bonus%d", kinds[i] + 1).c_str());
            button->AddAnimation("interface", "snd_bonus_select");
            button->SetHoverEffect("interface", Numbered("tooltip_bonus_%d", kinds[i] + 1).c_str(), 0.0f);
            button->SetHoverEffectApart(true);
            frame->AddAnimation("interface", "b_wood");
        }
        button->SetMode(CFButton::kModeToggle);
        button->SetEnabled(false);
        frame->SetVisible(false);
        m_pController->Add(button.get());
        m_pController->Add(frame.get());
        const float x = static_cast<float>(bonusX[i]), y = static_cast<float>(bonusY);
        button->SetHoverEffectPosition(x, y + (customCursor ? 48.0f : 30.0f));
        bonusButtons[i] = std::move(button);
        bonusFrames[i] = std::move(frame);
        PlaceBonus(i, x, y);
    }
}

// The button's look is drawn around (x, y), so its rectangle, which takes the mouse, is centred
// there too: a rectangle moved with its corner at (x, y) would leave the look's upper left unclickable.
void CGamePanel::PlaceBonus(int i, float x, float y)
{
    if (bonusButtons[i] != nullptr) {
        CFButton& button = *bonusButtons[i];
        button.SetPosition(x, y);
        float bx = 0, by = 0, w = 0, h = 0;
        button.GetRect(&bx, &by, &w, &h);
        button.SetRect(static_cast<float>(static_cast<int>(x) - static_cast<int>(w) / 2),
                       static_cast<float>(static_cast<int>(y) - static_cast<int>(h) / 2), w, h);
    }
    if (bonusFrames[i] != nullptr)
        bonusFrames[i]->SetPosition(x, y);
}

// ---- Buttons -----------------------------------------------------------------------------------------

void CGamePanel::EnableButtons(bool undo)
{
    if (menuButton != nullptr)
        menuButton->SetEnabled(true);
    if (hintButton != nullptr)
        hintButton->SetEnabled(true);
    if (undoButton != nullptr)
        undoButton->SetEnabled(undo);
}

void CGamePanel::DisableButtons()
{
    for (CFButton* button : {menuButton.get(), hintButton.get(), undoButton.get()})
        if (button != nullptr)
            button->SetEnabled(false);
}

void CGamePanel::ShowDealHighlight(bool show)
{
    CFAnimationInstance* look = dealButton != nullptr ? dealButton->GetAttachedAnimation(0) : nullptr;
    if (CFAnimationInstance* highlight = look != nullptr ? look->GetPartInstance(0, 0) : nullptr)
        highlight->SetVisible(show);
}

void CGamePanel::RelaxEnter(CFObject*, int)
{
    relaxHover = true;
}

void CGamePanel::RelaxLeave(CFObject*, int)
{
    relaxHover = false;
}

// ---- Bonus bar -----------------------------------------------------------------------------------------

CFButton* CGamePanel::GetBonusButton(int i) const
{
    return i >= 0 && i < kBonusSlots ? bonusButtons[i].get() : nullptr;
}

CFFrameImage* CGamePanel::GetBonusFrame(int i) const
{
    return i >= 0 && i < kBonusSlots ? bonusFrames[i].get() : nullptr;
}

void CGamePanel::RideWithSlide()
{
    for (int i = 0; i < kBonusSlots; ++i) {
        if (bonusPlaces[i] == nullptr)
            continue;
        float x = 0, y = 0, w = 0, h = 0;
        bonusPlaces[i]->GetBounds(&x, &y, &w, &h);
        PlaceBonus(i, x, y);
    }
}

void CGamePanel::ShowBonusBar(bool on)
{
    for (int i = 0; i < kBonusSlots; ++i) {
        if (bonusButtons[i] != nullptr)
            bonusButtons[i]->SetVisible(on);
        if (bonusFrames[i] != nullptr)
            bonusFrames[i]->SetVisible(!on);
    }
}

void CGamePanel::DisarmBonusButtons()
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
    bonusChanged = true;
}

void CGamePanel::ArmBonusButton(int i)
{
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
    bonusChanged = true;
}

void CGamePanel::UpdateBonusLooks()
{
    if (!bonusChanged)
        return;
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

void CGamePanel::RenderBonusTips()
{
    for (auto& button : bonusButtons) {
        if (button != nullptr)
            button->RenderHoverEffect();
    }
}
