// CDialogNewLocation.cpp: the new-location window: its slide, its photo and name, its answer.
#include "screens/CDialogNewLocation.h"

#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/CFResource.h"
#include "framework/TraceEvent.h"
#include "progress/CProfileStore.h"

#include <new>
#include <string>

namespace {
const char* const kModule = "new_location";
}

CDialogNewLocation* CDialogNewLocation::Create()
{
    return new (std::nothrow) CDialogNewLocation();
}

int& CDialogNewLocation::Answer()
{
    static int answer = -1;
    return answer;
}

CDialogNewLocation::CDialogNewLocation()
{
    m_sName = "dialogNewLocation";
    TraceEvent(GetGameTime(), L"dialogNewLocation");
    m_pParent = nullptr;
    m_pChild = nullptr;
    m_pInput = std::make_unique<CFObjectController>(CFMouse::GetInstance());
    m_pGroup = std::make_unique<CFAnimationGroup>();

    m_pMoveIn = std::make_unique<CFAnimationInstance>(m_pGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)m_pMoveIn->LoadEffect(g_pResource, kModule, "move_new_location");  // a missing one is logged there
    m_pMoveIn->SetVisible(true);
    m_pMoveIn->Play(false);
    m_pMoveInPart2 = std::make_unique<CFAnimationInstance>(m_pGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)m_pMoveInPart2->LoadEffect(g_pResource, kModule, "move_new_location_p2");
    m_pMoveInPart2->SetPlayParts(false);
    m_pMoveInPart2->SetVisible(true);
    m_pMoveInPart2->Play(false);

    m_pYes = MakeButton("bt_nloc_yes", &CDialogNewLocation::OnYes);
    m_pNo = MakeButton("bt_nloc_no", &CDialogNewLocation::OnNo);
    m_pInput->Add(m_pYes.get());
    m_pInput->Add(m_pNo.get());

    FindShownLocation();
    m_pPhoto = m_pMoveInPart2->FindPart(0, "foto.all");
    if (m_pPhoto != nullptr && m_nShownLocation != -1)
        m_pPhoto->PlayCommandSection("foto_" + std::to_string(m_nShownLocation + 1), false);
}

CDialogNewLocation::~CDialogNewLocation()
{
    m_pYes.reset();
    m_pNo.reset();
    m_pInput.reset();
    m_pPhoto = nullptr;
    m_pMoveIn.reset();
    m_pMoveInPart2.reset();
    m_pGroup.reset();
}

std::unique_ptr<CFButton> CDialogNewLocation::MakeButton(const char* effect,
                                                         void (CDialogNewLocation::*handler)(CFObject*, int))
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    button->AddAnimation(kModule, effect);
    button->AddAnimation("interface", "snd_button");
    button->OnClick += MakeDelegate(this, handler);
    return button;
}

// The highest opened location is the one the unlocking rules opened last; location 0 is the start.
void CDialogNewLocation::FindShownLocation()
{
    m_nShownLocation = -1;
    if (g_pProfileStore == nullptr)
        return;
    const PlayerRecord& record = g_pProfileStore->m_current;
    for (int location = PlayerRecord::kLocations - 1; location >= 1; --location) {
        if (record.m_locationOpened[static_cast<std::size_t>(location)] == 0)
            continue;
        m_nShownLocation = location;
        const std::string key = "location_name_" + std::to_string(location + 1);
        const wchar_t* name = g_pResource != nullptr ? g_pResource->GetText(key.c_str()) : nullptr;
        if (name != nullptr)
            g_pResource->SetTextW("New location_name", name);
        return;
    }
}

bool CDialogNewLocation::IsMovingIn() const
{
    return m_pMoveIn->IsPlaying();
}

void CDialogNewLocation::Update(float dt)
{
    if (m_bActive) {
        m_pInput->Update(dt);
        m_pGroup->Update(dt);
        const bool moving = IsMovingIn();
        if (!moving && m_bWasMoving) {
            m_pMoveIn->Stop(true);
            m_pMoveInPart2->Stop(true);
        }
        m_bWasMoving = moving;
    }
    CScreenBase::Update(dt);
}

void CDialogNewLocation::Render()
{
    if (m_bVisible) {
        m_pGroup->Render();
        if (!IsMovingIn())
            m_pInput->Render();
    }
    CScreenBase::Render();
}

void CDialogNewLocation::Release()
{
    delete this;
}

void CDialogNewLocation::OnYes(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"yes");
    Close(0);
}

void CDialogNewLocation::OnNo(CFObject*, int state)
{
    if (state != CFMouse::kButtonLeft)
        return;
    TraceEvent(GetGameTime(), L"no");
    Close(1);
}

void CDialogNewLocation::Close(int answer)
{
    Answer() = answer;
    if (m_pParent != nullptr)
        m_pParent->SetChild(nullptr, true, true);
}
