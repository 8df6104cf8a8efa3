// CTrophyRoom.cpp: the trophies, the rank emblems, the medal counts and the award pass.
#include "screens/CTrophyRoom.h"

#include "app/CScreenFactory.h"
#include "app/CScreenManager.h"
#include "app/Globals.h"
#include "framework/CFAnimatedObject.h"
#include "framework/CFButton.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "progress/CProfileStore.h"
#include "progress/ProgressRules.h"

#include <new>
#include <string>

namespace {

const char* const kModule = "Trophy";

// Where each trophy stands in the view (x, y, width, height); its hint area covers the same place.
struct Place {
    float x, y, w, h;
};
constexpr Place kPlaces[PlayerRecord::kTrophies] = {
    {79, 65, 137, 144},  {225, 83, 104, 129},  {352, 75, 97, 87},  {464, 89, 113, 118}, {584, 66, 135, 135},
    {227, 241, 104, 105}, {85, 240, 118, 110}, {469, 245, 106, 100}, {609, 250, 82, 86}, {341, 191, 123, 123},
};

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

std::string HintEffect(int index)
{
    return "hint_trophy_" + std::to_string(index + 1);
}

}  // namespace

CTrophyRoom* CTrophyRoom::Create(int returnTarget, int awardFlag)
{
    return new (std::nothrow) CTrophyRoom(returnTarget, awardFlag);
}

bool CTrophyRoom::OpenAfterUnlocks(int returnTarget)
{
    if (g_pProfileStore == nullptr || g_pProfileStore->UpdateUnlocks() == -1)
        return false;
    CTrophyRoom* room = Create(returnTarget, 0);
    if (room == nullptr || g_pScreenManager == nullptr) {
        if (room != nullptr)
            room->Release();
        return false;
    }
    g_pScreenManager->SwitchTo(room, true, true);
    return true;
}

CTrophyRoom::CTrophyRoom(int returnTarget, int awardFlag) : m_nReturnTarget(returnTarget)
{
    m_sName = "screenTrophyRoom";
    TraceEvent(GetGameTime(), L"screenTrophyRoom");
    m_engine.DiscardManagedResources();
    PlayerRecord& record = g_pProfileStore->m_current;
    m_pController = std::make_unique<CFObjectController>(CFMouse::GetInstance());
    m_pWindow = std::make_unique<CFFrameImage>();
    m_pWindow->SetResource(g_pResource);
    m_pWindow->AddAnimation(kModule, "Window");
    m_pOk = MakeButton("bt_ok");
    m_pOk->OnClick += MakeDelegate(this, &CTrophyRoom::OnBack);
    m_nShownRank = record.m_nRank;
    m_pLeft = MakeButton("bt_left");
    m_pLeft->OnClick += MakeDelegate(this, &CTrophyRoom::OnLeft);
    m_pLeft->SetVisible(m_nShownRank > 0);
    m_pRight = MakeButton("bt_right");
    m_pRight->OnClick += MakeDelegate(this, &CTrophyRoom::OnRight);
    m_pRight->SetVisible(false);
    m_pRankEmblem = std::make_unique<CFFrameImage>();
    m_pRankEmblem->SetResource(g_pResource);
    m_pRankEmblem->AddAnimation(kModule, "Ranks");
    m_pRankEmblem->SetFrame(m_nShownRank);
    m_pMedals = std::make_unique<CFFrameImage>();
    m_pMedals->SetResource(g_pResource);
    m_pMedals->AddAnimation(kModule, "medals");
    for (CFObject* object : std::initializer_list<CFObject*>{m_pWindow.get(), m_pLeft.get(), m_pRight.get(), m_pOk.get(),
                                                             m_pRankEmblem.get(), m_pMedals.get()})
        m_pController->Add(object);
    WriteMedalCounts(record);
    CreateTrophies();
    if (awardFlag == 1)
        AwardTrophies(record);
    ShowEarnedTrophies(record);
}

CTrophyRoom::~CTrophyRoom()
{
    m_pController.reset();
    m_pOk.reset();
    m_pLeft.reset();
    m_pRight.reset();
    m_pWindow.reset();
    m_pRankEmblem.reset();
    m_pMedals.reset();
    for (auto& trophy : m_trophies)
        trophy.reset();
    for (auto& area : m_hintAreas)
        area.reset();
    if (m_pChild != nullptr) {
        m_pChild->Release();
        m_pChild = nullptr;
    }
}

void CTrophyRoom::Release()
{
    delete this;
}

CFAnimatedObject* CTrophyRoom::GetTrophy(int index) const
{
    return index >= 0 && index < PlayerRecord::kTrophies ? m_trophies[At(index)].get() : nullptr;
}

CFObject* CTrophyRoom::GetHintArea(int index) const
{
    return index >= 0 && index < PlayerRecord::kTrophies ? m_hintAreas[At(index)].get() : nullptr;
}

std::unique_ptr<CFButton> CTrophyRoom::MakeButton(const char* effect)
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    button->AddAnimation(kModule, effect);
    button->AddAnimation("interface", "snd_button");
    return button;
}

void CTrophyRoom::WriteMedalCounts(const PlayerRecord& record)
{
    if (g_pResource == nullptr)
        return;
    const progress::MedalCounts counts = progress::CountMedals(record);
    g_pResource->SetText("golds_medals_count", std::to_string(counts.gold).c_str());
    g_pResource->SetText("silver_medals_count", std::to_string(counts.silver).c_str());
    g_pResource->SetText("bronze_medals_count", std::to_string(counts.bronze).c_str());
    g_pResource->SetText("game_complite_count", (std::to_string(progress::CompletionPercent(counts)) + "%").c_str());
}

void CTrophyRoom::CreateTrophies()
{
    for (int i = 0; i < PlayerRecord::kTrophies; ++i) {
        auto area = std::make_unique<CFObject>();
        area->SetResource(g_pResource);
        area->SetHoverEffect(kModule, HintEffect(i).c_str(), 0.0f);
        m_pController->Add(area.get());
        m_hintAreas[At(i)] = std::move(area);
    }
    for (int i = 0; i < PlayerRecord::kTrophies; ++i)
        m_hintAreas[At(i)]->SetRect(kPlaces[i].x, kPlaces[i].y, kPlaces[i].w, kPlaces[i].h);
    // Added after the hint areas, a shown trophy takes the mouse before its area.
    for (int i = 0; i < PlayerRecord::kTrophies; ++i) {
        auto trophy = std::make_unique<CFAnimatedObject>();
        trophy->SetResource(g_pResource);
        trophy->AddAnimation(kModule, ("Trophy_" + std::to_string(i + 1)).c_str());
        trophy->AddAnimation("interface", "snd_button");
        trophy->SetTag(i);
        trophy->SetVisible(false);
        trophy->PlayCommandSection("normal", false);
        trophy->OnClick += MakeDelegate(this, &CTrophyRoom::OnSelectTrophy);
        trophy->SetHoverEffect(kModule, HintEffect(i).c_str(), 0.0f);
        m_pController->Add(trophy.get());
        m_trophies[At(i)] = std::move(trophy);
    }
    for (int i = 0; i < PlayerRecord::kTrophies; ++i)
        m_trophies[At(i)]->SetRect(kPlaces[i].x, kPlaces[i].y, kPlaces[i].w, kPlaces[i].h);
}

void CTrophyRoom::AwardTrophies(PlayerRecord& record)
{
    const std::array<std::uint8_t, PlayerRecord::kTrophies> before = record.m_trophyEarned;
    m_nLastAwarded = progress::AwardTrophies(record);
    for (int i = 0; i < PlayerRecord::kTrophies; ++i) {
        if (before[At(i)] != 0 || record.m_trophyEarned[At(i)] == 0)
            continue;
        m_trophies[At(i)]->PlayCommandSection("down", false);
        m_trophies[At(i)]->SetVisible(true);
    }
    // Earned trophies are saved at once: leaving the game from here must not lose them.
    if (m_nLastAwarded != -1)
        g_pProfileStore->Save();
}

void CTrophyRoom::ShowEarnedTrophies(const PlayerRecord& record)
{
    for (int i = 0; i < PlayerRecord::kTrophies; ++i) {
        if (record.m_trophyEarned[At(i)] == 0 || i == m_nLastAwarded)
            continue;
        m_trophies[At(i)]->PlayCommandSection("normal", false);
        m_trophies[At(i)]->SetVisible(true);
    }
}

void CTrophyRoom::Update(float dt)
{
    if (m_bActive)
        m_pController->Update(dt);
    CScreenBase::Update(dt);
}

void CTrophyRoom::Render()
{
    if (m_bVisible) {
        m_engine.Clear(0);
        m_pController->Render();
    }
    CScreenBase::Render();
}

// ---- Handlers ---------------------------------------------------------------------------------------

void CTrophyRoom::OnBack(CFObject*, int)
{
    TraceEvent(GetGameTime(), L"back");
    if (m_nReturnTarget == kToStoryMap)
        CScreenFactory::SwitchTo(EScreenKind::StoryMap);
    else if (m_nReturnTarget == kToClassicSelection)
        CScreenFactory::SwitchTo(EScreenKind::ClassicSelection);
}

void CTrophyRoom::OnLeft(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft || m_nShownRank <= 0)
        return;
    TraceEvent(GetGameTime(), L"left");
    --m_nShownRank;
    m_pRankEmblem->SetFrame(m_nShownRank);
    m_pLeft->SetVisible(m_nShownRank > 0);
    m_pRight->SetVisible(true);
}

void CTrophyRoom::OnRight(CFObject*, int state)
{
    const int rank = g_pProfileStore->m_current.m_nRank;
    if (state != CFMouse::kButtonLeft || m_nShownRank >= rank)
        return;
    TraceEvent(GetGameTime(), L"right");
    ++m_nShownRank;
    m_pRankEmblem->SetFrame(m_nShownRank);
    m_pRight->SetVisible(m_nShownRank < rank);
    m_pLeft->SetVisible(true);
}

void CTrophyRoom::OnSelectTrophy(CFObject* sender, int state)
{
    if (sender == nullptr || state != CFMouse::kButtonLeft)
        return;
    const int tag = sender->GetTag();
    TraceEvent(GetGameTime(), L"selectTrophy", std::to_wstring(tag));
    if (m_nSelectedTrophy >= 0 && m_nSelectedTrophy < PlayerRecord::kTrophies)
        m_trophies[At(m_nSelectedTrophy)]->PlayCommandSection("down", false);
    if (tag == m_nSelectedTrophy) {
        m_nSelectedTrophy = -1;
        return;
    }
    m_nSelectedTrophy = tag;
    m_trophies[At(tag)]->PlayCommandSection("up", false);
}
