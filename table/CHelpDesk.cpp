// CHelpDesk.cpp: views of the rules panel, its text, links, glow and learn button.
#include "table/CHelpDesk.h"

#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFDelegate.h"
#include "framework/CFFont.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "platform/EngineRef.h"
#include "table/CCardTable.h"
#include "table/CMoveFinder.h"
#include "table/GameMode.h"
#include "table/IGameController.h"
#include "table/PlaceDef.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kModule = "rules";
const char* const kSlidePath = "scroll_interface_bottom.#1.move_rules_window_1.all";
const char* const kTextPath = "scroll_interface_bottom.#1.text_rules.all";
const char* const kRulesButtonPath = "window_rul.#0.window_rules.#0.bt_rules.all";
const char* const kLinkPartPrefix = "link_";  // a text part "link_NN" carries link number NN

constexpr int kFirstBonusSection = 25;
constexpr int kLastBonusSection = 29;
constexpr int kComboCategories = 4;
constexpr int kComboChains = 6;

// The big window's input area: x, width, and its top below the slide's top.
constexpr float kBigAreaX = 286.0f, kBigAreaWidth = 228.0f, kBigAreaTop = 212.0f;

std::string Format(const char* pattern, int value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), pattern, value);
    return buffer;
}

// The NN of a part named "link_NN", or 0.
int LinkNumberOf(const CFAnimationInstance& part)
{
    const std::string& name = part.GetName();
    const std::size_t prefix = std::strlen(kLinkPartPrefix);
    if (name.size() <= prefix || name.compare(0, prefix, kLinkPartPrefix) != 0)
        return 0;
    return std::atoi(name.c_str() + prefix);
}

std::unique_ptr<CFButton> MakeFollowingButton(CFAnimationInstance* part)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    // The look is the panel's own part (drawn by the panel); the button keeps its place.
    button->AttachAnimation(part);
    button->SetBoundsAnimation(part);
    return button;
}

}  // namespace

std::string CHelpDesk::SlideEffectName(int level)
{
    // The bonus levels share the first slide.
    if (level >= kFirstBonusSection && level <= kLastBonusSection)
        return "move_rules_window_1";
    return Format("move_rules_window_%d", level + 1);
}

std::string CHelpDesk::RulesEffectName(int rulesIndex, bool big)
{
    return Format(big ? "rules_%d_long" : "rules_%d_short", rulesIndex + 1);
}

std::string CHelpDesk::ComboEffectName(int category, int chain)
{
    // Chains of 6 and more share the last message; the score keeper reports chains from 1.
    const int c = std::clamp(category, 0, kComboCategories - 1);
    const int n = std::clamp(chain, 1, kComboChains);
    return Format("text_mess_%d", c * kComboChains + n);
}

CHelpDesk::CHelpDesk(IGameController* controller, CFAnimationInstance* panel, int level, bool withLearnButton,
                     bool rulesButtonVisible)
    : m_pController(controller),
      m_pPanel(panel),
      m_pInput(std::make_unique<CFObjectController>(CFMouse::GetInstance())),
      m_pGroup(std::make_unique<CFAnimationGroup>())
{
    if (m_pPanel != nullptr) {
        m_pSlide = m_pPanel->FindPart(0, kSlidePath);
        m_pText = m_pPanel->FindPart(0, kTextPath);
    }
    if (m_pSlide != nullptr && g_pResource != nullptr && m_pSlide->LoadEffect(g_pResource, kModule, SlideEffectName(level).c_str())) {
        // A part that was playing goes on playing its new effect to the end, the big window: the
        // slide rests in the small view until a view is chosen.
        m_pSlide->PlayCommandSection("show_small", false);
    }
    // The group only lists them: the panel's group advances and draws its parts.
    m_pGroup->Add(m_pSlide);
    m_pGroup->Add(m_pText);

    MakeRulesButton(rulesButtonVisible);
    if (withLearnButton)
        MakeLearnButton();

    m_pCatcher = std::make_unique<CFObject>();
    m_pArea = std::make_unique<CFObject>();
    m_pCatcher->AddChild(m_pArea.get());
    m_pArea->AddChild(m_pRulesButton.get());
    if (m_pLearnButton != nullptr)
        m_pArea->AddChild(m_pLearnButton.get());
    m_pArea->OnMouseOver += MakeDelegate(this, &CHelpDesk::OnAreaOver);
    m_pCatcher->OnMouseEnter += MakeDelegate(this, &CHelpDesk::OnCatcherEnter);
    m_pInput->Add(m_pCatcher.get());
}

CHelpDesk::~CHelpDesk()
{
    DropLinks();
    m_pInput->Remove(m_pCatcher.get());
    m_pArea->RemoveAllChildren();
    m_pCatcher->RemoveAllChildren();
    m_pLearnButton.reset();
    m_pRulesButton.reset();
    // The slide and the text belong to the panel: the group must not make them forget its group.
    m_pGroup->Remove(m_pSlide);
    m_pGroup->Remove(m_pText);
}

void CHelpDesk::MakeRulesButton(bool visible)
{
    CFAnimationInstance* part = m_pSlide != nullptr ? m_pSlide->FindPart(0, kRulesButtonPath) : nullptr;
    m_pRulesButton = part != nullptr ? MakeFollowingButton(part) : std::make_unique<CFButton>();
    m_pRulesButton->SetResource(g_pResource);
    m_pRulesButton->AddAnimation("interface", "snd_button");
    m_pRulesButton->SetVisible(visible);
    m_pRulesButton->OnClick += MakeDelegate(this, &CHelpDesk::OnRulesClick);
}

void CHelpDesk::MakeLearnButton()
{
    m_pLearnButton = std::make_unique<CFButton>();
    m_pLearnButton->SetResource(g_pResource);
    CFAnimationInstance* look = m_pLearnButton->AddAnimation(kModule, "bt_learn");
    for (int track = 0; track < look->GetTrackCount(); ++track) {
        if (CFAnimationInstance* light = look->FindPart(track, "but_light.all")) {
            light->Play(true);
            break;
        }
    }
    m_pLearnButton->AddAnimation("interface", "snd_button");
    m_pLearnButton->SetVisible(false);
    m_pLearnButton->OnClick += MakeDelegate(this, &CHelpDesk::OnLearnClick);
}

CFButton* CHelpDesk::GetMarkButton(int i) const
{
    return i >= 0 && i < GetMarkButtonCount() ? m_markButtons[static_cast<std::size_t>(i)].get() : nullptr;
}

CFObject* CHelpDesk::GetLinkArea(int i) const
{
    return i >= 0 && i < GetLinkAreaCount() ? m_linkAreas[static_cast<std::size_t>(i)].get() : nullptr;
}

void CHelpDesk::SetRulesIndex(int index)
{
    if (m_pText != nullptr)
        m_pText->PlayCommandSection("hide", false);
    m_nTextMode = kRulesText;
    m_nRulesIndex = index;
}

void CHelpDesk::ShowComboMessage(int category, int chain)
{
    if (m_pText != nullptr)
        m_pText->PlayCommandSection("hide", false);
    m_nTextMode = kComboMessage;
    m_nComboCategory = category;
    m_nComboChain = chain;
    RefreshText();
}

void CHelpDesk::ShowRulesText()
{
    if (m_nTextMode == kRulesText)
        return;
    m_nTextMode = kRulesText;
    RefreshText();
}

void CHelpDesk::CloseBigView()
{
    if (IsBigView())
        SetView(kSmall, 0.0f);
    m_fViewTimer = 0.0f;  // a link's look at the table does not bring the big window back
}

bool CHelpDesk::IsBigWindowShown() const
{
    const bool returning = m_fViewTimer != 0.0f && (m_nPreviousView == kBig || m_nPreviousView == kOpeningBig);
    return IsBigView() || (m_nView == kOpeningSmall && m_nPreviousView != kHidden) || returning;
}

void CHelpDesk::SetCursorShape(int shape)
{
    if (CFMouse* mouse = CFMouse::GetInstance())
        mouse->SetShape(shape);
}

void CHelpDesk::SetView(int view, float seconds)
{
    m_fViewTimer = seconds;
    m_nPreviousView = m_nView;
    if (view == m_nView)
        return;
    SetCursorShape(0);
    switch (view) {
    case kSmall:
        m_nView = kOpeningSmall;
        if (m_pSlide != nullptr) {
            ShowSlide();
            if (m_nPreviousView != kHidden)
                m_pSlide->PlayCommandSection("show_small", false);
        }
        if (m_pText != nullptr)
            m_pText->SetVisible(false);
        if (m_pLearnButton != nullptr)
            m_pLearnButton->SetVisible(false);
        break;
    case kBig:
        // A bonus level's rules have no big view.
        if (m_pController != nullptr && IsBonusLevelMode(m_pController->GetMode()))
            break;
        m_nView = kOpeningBig;
        if (m_pSlide != nullptr) {
            ShowSlide();
            m_pSlide->PlayCommandSection("show_big", false);
        }
        if (m_pText != nullptr)
            m_pText->SetVisible(false);
        break;
    case kHidden:
        m_nView = kHidden;
        if (m_pSlide != nullptr)
            m_pSlide->SetVisible(false);
        if (m_pText != nullptr)
            m_pText->SetVisible(false);
        if (m_pLearnButton != nullptr)
            m_pLearnButton->SetVisible(false);
        break;
    default:
        break;
    }
}

void CHelpDesk::ShowSlide()
{
    m_pSlide->SetVisible(true);
    // The panel draws the rules button's look with the slide: a hidden button must not show it.
    if (CFAnimationInstance* look = m_pRulesButton->GetAttachedAnimation(0))
        look->SetVisible(m_pRulesButton->IsVisible());
}

void CHelpDesk::StopSlide()
{
    if (m_pSlide != nullptr)
        m_pSlide->Stop(true);
}

void CHelpDesk::GlowRulesButton(std::uint8_t kind, float seconds)
{
    int& count = m_glowCount[kind];
    if (count >= kMaxGlows)
        return;
    ++count;
    m_pRulesButton->PlayState("animation", false, true);
    m_fButtonTimer = seconds;
}

bool CHelpDesk::IsBusy() const
{
    return (m_pSlide != nullptr && m_pSlide->IsPlaying()) || (m_pText != nullptr && m_pText->IsPlaying());
}

void CHelpDesk::Layout()
{
    if (IsBigView()) {
        m_pCatcher->SetRect(0, 0, 800, 600);
        float x = 0, y = 0, w = 0, h = 0;
        if (BigWindowBounds(x, y, w, h)) {
            m_pArea->SetRect(x, y, w, h);
            return;
        }
        // A slide that draws no window: the place the first data set gave it.
        float top = 0;
        if (m_pSlide != nullptr)
            m_pSlide->GetBounds(&x, &top, &w, &h);
        y = top + kBigAreaTop;
        m_pArea->SetRect(kBigAreaX, y, kBigAreaWidth, 800.0f - y);
        return;
    }
    float x = 0, y = 0, w = 0, h = 0;
    m_pRulesButton->GetRect(&x, &y, &w, &h);
    m_pCatcher->SetRect(x, y, w, h);
    m_pArea->SetRect(x, y, w, h);
}

bool CHelpDesk::BigWindowBounds(float& x, float& y, float& w, float& h) const
{
    // What the slide itself draws in its big frame is the window (the rules button on it is a
    // part): each section's data gives it a place and size of its own, clear of the cards as dealt.
    return m_nView == kBig && m_pSlide != nullptr && m_pSlide->GetDrawnBounds(&x, &y, &w, &h);
}

void CHelpDesk::FitTextToWindow()
{
    float x = 0, y = 0, w = 0, h = 0;
    if (m_pText == nullptr || !BigWindowBounds(x, y, w, h))
        return;  // no window drawn: the text stays as written
    m_pText->Advance(0.0f, 2, false);
    const CFTrackState* state = m_pText->GetTrackState(0);
    if (state == nullptr)
        return;
    float textX = 0, textY = 0;
    m_pText->GetPosition(textX, textY);
    // The text keeps the same margin on the right as on the left.
    const float margin = state->x + textX - x;
    m_pText->RewrapFrameText(0, m_pText->GetCurrentFrame(), static_cast<int>(w - 2.0f * margin));
}

void CHelpDesk::FinishOpening(bool big)
{
    m_nView = big ? kBig : kSmall;
    const bool shown = RefreshText();
    // A combo message has no big form: the big view then keeps the text hidden.
    if (m_pText != nullptr && (shown || m_nTextMode == kRulesText || !big)) {
        m_pText->SetVisible(true);
        m_pText->PlayCommandSection("show", false);
    }
    RebuildLinks();
    Layout();
    if (big && m_pLearnButton != nullptr) {
        m_pLearnButton->SetVisible(true);
        m_pLearnButton->PlayCommandSection("show", false);
        m_fLearnTimer = 0.5f;
    }
}

void CHelpDesk::Update(float dt)
{
    if (m_nView != kBig)
        m_bOverBigWindow = false;
    const bool slidePlaying = m_pSlide != nullptr && m_pSlide->IsPlaying();
    if (m_nView == kOpeningSmall && !slidePlaying)
        FinishOpening(false);
    else if (m_nView == kOpeningBig && !slidePlaying)
        FinishOpening(true);

    if (m_fButtonTimer != 0.0f) {
        m_fButtonTimer -= dt;
        if (m_fButtonTimer <= 0.0f) {
            m_fButtonTimer = 0.0f;
            m_pRulesButton->ResetState();
        }
    }
    m_fLearnTimer = std::max(m_fLearnTimer - dt, 0.0f);
    if (m_fViewTimer != 0.0f) {
        m_fViewTimer -= dt;
        if (m_fViewTimer < 0.0f) {
            m_fViewTimer = 0.0f;
            SetView(m_nPreviousView, 0.0f);
        }
    }
    m_pInput->Update(dt);
    m_pGroup->Update(dt);
}

void CHelpDesk::Render()
{
    m_pInput->Render();
}

bool CHelpDesk::RefreshText()
{
    if (m_pText == nullptr)
        return false;
    const bool big = IsBigView();
    std::string name;
    if (m_nTextMode == kRulesText) {
        name = RulesEffectName(m_nRulesIndex, big);
    } else if (!big) {
        name = ComboEffectName(m_nComboCategory, m_nComboChain);
    } else {
        m_pText->SetVisible(false);
        return false;
    }
    if (g_pResource == nullptr || !m_pText->LoadEffect(g_pResource, kModule, name.c_str()))
        return false;
    m_textEffect = name;
    if (big)
        FitTextToWindow();
    // An open view shows the new text at once (a combo message in the big view had hidden it);
    // an opening view shows it when the slide has arrived.
    if (m_nView == kSmall || m_nView == kBig)
        m_pText->SetVisible(true);
    // Loading replaced the text's parts: buttons on the old ones must go at once.
    RebuildLinks();
    return true;
}

void CHelpDesk::DropLinks()
{
    // A new text can arrive between a press and its release: let go of the capture first, so the
    // input never points to a deleted link.
    for (auto& button : m_markButtons) {
        if (button->IsCaptured())
            button->SetCapture(false);
        m_pInput->Remove(button.get());
    }
    for (auto& area : m_linkAreas) {
        if (area->IsCaptured())
            area->SetCapture(false);
        m_pInput->Remove(area.get());
    }
    m_markButtons.clear();
    m_linkAreas.clear();
}

void CHelpDesk::WatchLink(CFObject* link)
{
    link->OnClick += MakeDelegate(this, &CHelpDesk::OnLinkClick);
    link->OnMouseEnter += MakeDelegate(this, &CHelpDesk::OnLinkEnter);
    link->OnMouseLeave += MakeDelegate(this, &CHelpDesk::OnLinkLeave);
    m_pInput->Add(link);
}

void CHelpDesk::AddMarkButtons(CFAnimationInstance* owner)
{
    for (int track = 0; track < owner->GetTrackCount(); ++track) {
        for (int n = 0;; ++n) {
            CFAnimationInstance* part = owner->GetPartInstance(track, n);
            if (part == nullptr)
                break;
            const int link = LinkNumberOf(*part);
            CFAnimationInstance* mark = link != 0 ? part->FindPart(0, "question_mark.all") : nullptr;
            if (mark == nullptr)
                continue;
            std::unique_ptr<CFButton> button = MakeFollowingButton(mark);
            button->SetVisible(true);
            button->SetTag(link);
            WatchLink(button.get());
            m_markButtons.push_back(std::move(button));
        }
    }
}

void CHelpDesk::RebuildLinks()
{
    DropLinks();
    if (m_pText == nullptr)
        return;
    AddMarkButtons(m_pText);
    // Track states are computed when the panel advances; work them out now for the new text.
    m_pText->Advance(0.0f, 2, false);
    std::vector<CFTextLink> links;
    for (int track = 0; track < m_pText->GetTrackCount(); ++track) {
        m_pText->GetTextLinks(links, track, m_pText->GetCurrentFrame());
        for (const CFTextLink& link : links) {
            auto area = std::make_unique<CFObject>();
            area->SetRect(link.x, link.y, static_cast<float>(link.width), static_cast<float>(link.height));
            area->SetEnabled(true);
            area->SetTag(link.link);
            WatchLink(area.get());
            m_linkAreas.push_back(std::move(area));
        }
    }
}

void CHelpDesk::OnRulesClick(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || (m_pController != nullptr && m_pController->IsModal()))
        return;
    if (m_nView == kSmall)
        SetView(kBig, 0.0f);
    else if (m_nView == kBig)
        SetView(kSmall, 0.0f);
    if (m_pController == nullptr || !m_pController->IsHintDeferred())
        return;
    // Closing the first-play rules window gives the hint that waited for it, at once.
    m_pController->SetHintDeferred(false);
    m_pController->SetAutoHintTimer(0.0f);
    CCardTable* table = m_pController->GetTable();
    if (CMoveFinder* finder = table != nullptr ? table->GetMoveFinder() : nullptr)
        finder->SetHintIndex(finder->GetHintIndex() - 1);
    m_pController->ShowHint();
    m_pController->SetAutoHintTimer(m_pController->GetAutoHintDelay());
}

void CHelpDesk::OnLearnClick(CFObject*, int state)
{
    if (m_pLearnButton == nullptr || !m_pLearnButton->IsEnabled() || state != CFMouse::kButtonLeft || m_pController == nullptr)
        return;
    if (m_pController->IsReplaying())
        return;
    const CCardTable* table = m_pController->GetTable();
    if (table != nullptr && (table->IsFlying() || table->IsHolding()))
        return;
    m_pController->StartLearn();
    SetView(kSmall, 0.0f);
}

void CHelpDesk::OnLinkClick(CFObject* sender, int state)
{
    if (state != CFMouse::kButtonLeft || sender == nullptr)
        return;
    const int link = sender->GetTag();
    TraceEvent(GetGameTime(), "rulesLink", link);
    // The rules text numbers its links by place type + 1; a number of no type lights nothing.
    if (link < 1 || link - 1 > kPlaceSideColumn) {
        CEngineRef().Log("[W] Rules link %d names no place type: skipped", link);
        return;
    }
    const float burn = m_pController != nullptr ? m_pController->ShowPlaceFire(link - 1) : 0.0f;
    SetView(kSmall, burn - 1.0f);
}

void CHelpDesk::OnLinkEnter(CFObject*, int)
{
    SetCursorShape(1);
}

void CHelpDesk::OnLinkLeave(CFObject*, int)
{
    SetCursorShape(0);
}

void CHelpDesk::OnAreaOver(CFObject*, int)
{
    m_bOverBigWindow = m_nView == kBig;
}

void CHelpDesk::OnCatcherEnter(CFObject*, int)
{
    m_bOverBigWindow = false;
}
