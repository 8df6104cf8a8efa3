// CTracker.cpp: recording moves, the tutorial file, and the step-by-step replay with its windows.
#include "table/CTracker.h"

#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "platform/FileSystem.h"

namespace {
constexpr int kCentreX = 400, kCentreY = 300;
constexpr std::uint8_t kEmptyPlaceClick = 0xFF;
}  // namespace

CTracker::CTracker()
    : m_pWindows(std::make_unique<CFAnimationGroup>()),
      m_pInput(std::make_unique<CFObjectController>(CFMouse::GetInstance()))
{
    Reset();
}

CTracker::~CTracker()
{
    Reset();  // buttons leave the input and windows their group before either goes
}

void CTracker::AddDeal(std::uint8_t a, std::uint8_t b)
{
    if (m_record.dealCount >= TutorialRecord::kMaxDeals)
        return;
    m_record.dealA[m_record.dealCount] = a;
    m_record.dealB[m_record.dealCount] = b;
    ++m_record.dealCount;
}

void CTracker::AddMove(std::uint8_t from, std::uint8_t to, std::uint8_t card, int a, int b)
{
    if (m_record.moveCount >= TutorialRecord::kMaxMoves)
        return;
    const std::uint32_t i = m_record.moveCount++;
    m_record.moveFrom[i] = from;
    m_record.moveTo[i] = to;
    m_record.moveCard[i] = card;
    m_record.moveFlags[i] = static_cast<std::uint8_t>((b & 15) * 16 + (a & 15));
}

bool CTracker::Save(const std::string& fileName) const
{
    std::vector<std::uint8_t> bytes;
    tutorial_file::WriteRecord(m_record, bytes);
    fs_layer::RemoveLeftovers(fileName + ".tmp.*");  // of a run killed while it saved this file
    bool replacedLink = false;
    host_files::WriteOptions options;
    options.replacedLink = &replacedLink;
    if (!fs_layer::WriteWholeFile(fileName, bytes.data(), bytes.size(), options)) {
        m_engine.Log("[E] Error opening file %s for write", fileName.c_str());
        return false;
    }
    if (replacedLink)
        m_engine.Log("[W] A link stood at %s; it was replaced", fileName.c_str());
    return true;
}

bool CTracker::Load(const std::string& fileName, int placeCount)
{
    std::vector<std::uint8_t> bytes;
    // One byte more than a valid file may hold tells an oversized file from a full one.
    if (!fs_layer::ReadWholeFile(fileName, bytes, tutorial_file::kMaxFileSize + 1)) {
        m_engine.Log("[E] Error opening file %s for read", fileName.c_str());
        return false;
    }
    Reset();
    std::vector<TutorialMessageData> messages;
    TutorialDamage damage;
    std::string why;
    if (!tutorial_file::Read(bytes.data(), bytes.size(), placeCount, m_record, messages, damage, why)) {
        m_engine.Log("[E] Learn file %s refused: %s", fileName.c_str(), why.c_str());
        Reset();
        return false;
    }
    if (damage.deals.size() >= m_record.dealCount || damage.moves.size() >= m_record.moveCount) {
        m_engine.Log("[E] Learn file %s refused: no deal or no move", fileName.c_str());
        Reset();
        return false;
    }
    SkipDamage(fileName, damage);
    m_messages.resize(messages.size());
    for (std::size_t i = 0; i < messages.size(); ++i) {
        m_messages[i].data = std::move(messages[i]);
        MakeWindow(m_messages[i]);
    }
    return true;
}

void CTracker::SkipDamage(const std::string& fileName, const TutorialDamage& damage)
{
    m_skipDeal.assign(m_record.dealCount, false);
    m_skipMove.assign(m_record.moveCount, false);
    for (std::uint32_t i : damage.deals)
        m_skipDeal[i] = true;
    for (std::uint32_t i : damage.moves)
        m_skipMove[i] = true;
    // One line for each kind, however many entries are damaged.
    if (!damage.deals.empty())
        m_engine.Log("[W] Learn file %s: %zu deals are no card and are skipped (the first is deal %u)",
                     fileName.c_str(), damage.deals.size(), damage.deals.front());
    if (!damage.moves.empty())
        m_engine.Log("[W] Learn file %s: %zu moves name no place or card and are skipped (the first is move %u)",
                     fileName.c_str(), damage.moves.size(), damage.moves.front());
}

bool CTracker::IsSkipped(const std::vector<bool>& skip, std::uint32_t index)
{
    return index < skip.size() && skip[index];
}

void CTracker::MakeWindow(Message& message)
{
    if (message.data.effect.empty() || g_pResource == nullptr)
        return;
    auto window = std::make_unique<CFAnimationInstance>(m_pWindows.get(), static_cast<float>(message.data.x + kCentreX),
                                                        static_cast<float>(message.data.y + kCentreY));
    window->SetStartOnLoad(false);
    if (!window->LoadEffect(g_pResource, "learn", message.data.effect.c_str()))
        return;  // the instance logged it; the move has no window
    window->SetPosition(static_cast<float>(message.data.x + kCentreX), static_cast<float>(message.data.y + kCentreY), true);
    window->SetVisible(false);
    CFAnimationInstance* okPart = window->FindPart(0, "bt_ok.all");
    message.window = std::move(window);
    if (okPart != nullptr)
        MakeOkButton(message, okPart);
}

void CTracker::MakeOkButton(Message& message, CFAnimationInstance* part)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    // The look is the window's own part (drawn by the window); the button follows its place.
    button->AttachAnimation(part);
    button->SetBoundsAnimation(part);
    button->AddAnimation("interface", "snd_button");
    button->SetEnterKey(true);
    button->SetVisible(false);
    button->OnClick += MakeDelegate(this, &CTracker::OnOkClick);
    button->OnMouseEnter += MakeDelegate(this, &CTracker::OnOkEnter);
    button->OnMouseLeave += MakeDelegate(this, &CTracker::OnOkLeave);
    message.okButton = std::move(button);
}

bool CTracker::NextDeal(int& a, int& b)
{
    while (m_nDealCursor >= 0 && IsSkipped(m_skipDeal, static_cast<std::uint32_t>(m_nDealCursor)))
        ++m_nDealCursor;
    if (m_nDealCursor < 0 || static_cast<std::uint32_t>(m_nDealCursor) >= m_record.dealCount)
        return false;
    a = m_record.dealA[static_cast<std::size_t>(m_nDealCursor)];
    b = m_record.dealB[static_cast<std::size_t>(m_nDealCursor)];
    ++m_nDealCursor;
    return true;
}

int CTracker::FirstDealValue() const
{
    for (std::uint32_t i = 0; i < m_record.dealCount; ++i) {
        if (!IsSkipped(m_skipDeal, i))
            return m_record.dealA[i];
    }
    return 0;
}

int CTracker::ReadStep(int& from, int& to, int& card, bool collect)
{
    for (int i = std::max(m_nReplayCursor, 0); static_cast<std::uint32_t>(i) < m_record.moveCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        if (IsSkipped(m_skipMove, static_cast<std::uint32_t>(i)))
            continue;
        from = m_record.moveFrom[at];
        to = m_record.moveTo[at];
        card = m_record.moveCard[at] == kEmptyPlaceClick ? -1 : m_record.moveCard[at];
        const int flags = static_cast<std::int8_t>(m_record.moveFlags[at]);
        if (flags <= 0)
            return i + 1;
        if (collect && static_cast<std::uint32_t>(i + 1) < m_record.moveCount && HasWindow(i + 1))
            m_pending.push_back(i + 1);
    }
    return -1;
}

bool CTracker::NextStep(int& from, int& to, int& card)
{
    CloseMessage();
    const int next = ReadStep(from, to, card, true);
    if (next < 0) {
        m_nReplayCursor = static_cast<int>(m_record.moveCount);
        return false;
    }
    m_nReplayCursor = next;
    m_bMessageShown = m_bOkClicked = m_bOkHovered = false;
    return true;
}

void CTracker::StepBack()
{
    --m_nReplayCursor;
}

bool CTracker::IsReplayDone() const
{
    return m_nReplayCursor >= static_cast<int>(m_record.moveCount);
}

bool CTracker::HasWindow(int index) const
{
    return index >= 0 && index < MessageCount() && !m_messages[static_cast<std::size_t>(index)].data.effect.empty();
}

const TutorialMessageData* CTracker::GetMessage(int index) const
{
    if (index < 0 || index >= MessageCount())
        return nullptr;
    return &m_messages[static_cast<std::size_t>(index)].data;
}

bool CTracker::ShowMessage(int index)
{
    if (index == -1)
        index = m_nReplayCursor;
    else if (index == -2)
        index = MessageCount() - 1;
    CloseMessage();
    if (index < 0 || index >= MessageCount())
        return false;
    m_bMessageShown = true;
    m_nCurrent = index;
    Message& message = m_messages[static_cast<std::size_t>(index)];
    if (message.data.effect.empty() || message.window == nullptr)
        return false;
    if (CFButton* button = message.okButton.get()) {
        // A window shown again (the last one at the end) may still think the mouse is over its
        // button from last time; without a fresh enter the hover would never be reported.
        if (button->IsMouseOver())
            button->Leave();
        button->ClearPressed();
        button->SetVisible(true);
        m_pInput->Add(button);
    }
    m_bOkClicked = m_bOkHovered = false;
    message.window->SetVisible(true);
    message.window->PlayCommandSection(message.data.section, false);
    return true;
}

void CTracker::CloseMessage()
{
    if (m_nCurrent >= 0 && m_nCurrent < MessageCount()) {
        Message& message = m_messages[static_cast<std::size_t>(m_nCurrent)];
        if (message.window != nullptr) {
            message.window->Stop(true);
            message.window->SetVisible(false);
        }
        // Hover is kept: the release that clicked OK must not reach the table in the same frame.
        if (message.okButton != nullptr)
            m_pInput->Remove(message.okButton.get());
    }
    m_nCurrent = -1;
}

bool CTracker::IsMessageBusy() const
{
    if (m_nCurrent < 0 || m_nCurrent >= MessageCount())
        return false;
    const Message& message = m_messages[static_cast<std::size_t>(m_nCurrent)];
    if (message.window == nullptr)
        return false;
    if (message.okButton != nullptr)
        return !m_bOkClicked;
    return message.window->IsPlaying();
}

int CTracker::PopPending()
{
    if (m_pending.empty())
        return -1;
    const int index = m_pending.front();
    m_pending.pop_front();
    return index;
}

CFButton* CTracker::GetOkButton(int index) const
{
    if (index < 0 || index >= MessageCount())
        return nullptr;
    return m_messages[static_cast<std::size_t>(index)].okButton.get();
}

void CTracker::OnOkClick(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    m_bOkClicked = true;
    CloseMessage();
}

void CTracker::Reset()
{
    m_record.dealCount = 0;
    m_record.moveCount = 0;
    m_nReplayCursor = 0;
    m_nDealCursor = 0;
    m_bMessageShown = m_bOkClicked = m_bOkHovered = false;
    CloseMessage();
    m_record.moveFlags.fill(0);
    m_skipDeal.clear();
    m_skipMove.clear();
    m_messages.clear();
    m_pending.clear();
}

void CTracker::Update(float dt)
{
    m_pWindows->Update(dt);
    m_pInput->Update(dt);
}

void CTracker::Render()
{
    m_pWindows->Render();
    m_pInput->Render();
}
