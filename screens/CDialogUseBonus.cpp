// CDialogUseBonus.cpp: the use-bonus question and its answer for the game.
#include "screens/CDialogUseBonus.h"

#include "app/Globals.h"
#include "framework/CFButton.h"
#include "framework/CFFrameImage.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/TraceEvent.h"
#include "table/GameDialogs.h"

#include <new>

namespace {
const char* const kModule = "classic";
}

CDialogUseBonus* CDialogUseBonus::Create()
{
    return new (std::nothrow) CDialogUseBonus();
}

CDialogUseBonus::CDialogUseBonus()
{
    m_sName = "dialogUseBonuses";
    TraceEvent(GetGameTime(), L"dialogUseBonuses");
    game_dialogs::UseBonusAnswer() = -1;
    game_dialogs::UseBonusAnswered() = false;
    m_pController = std::make_unique<CFObjectController>(CFMouse::GetInstance());
    m_pWindow = std::make_unique<CFFrameImage>();
    m_pWindow->SetResource(g_pResource);
    m_pWindow->AddAnimation(kModule, "use_bonuses_wind");
    m_pController->Add(m_pWindow.get());
    m_pYes = MakeButton("bt_yes", &CDialogUseBonus::OnYes);
    m_pNo = MakeButton("bt_no", &CDialogUseBonus::OnNo);
}

CDialogUseBonus::~CDialogUseBonus()
{
    m_pController.reset();
    m_pWindow->RemoveAllChildren();  // the buttons go first: a child is taken off before it is deleted
    m_pYes.reset();
    m_pNo.reset();
    m_pWindow.reset();
}

std::unique_ptr<CFButton> CDialogUseBonus::MakeButton(const char* effect,
                                                      void (CDialogUseBonus::*handler)(CFObject*, int))
{
    auto button = std::make_unique<CFButton>();
    button->SetResource(g_pResource);
    button->AddAnimation(kModule, effect);
    button->AddAnimation("interface", "snd_button");
    button->OnClick += MakeDelegate(this, handler);
    m_pWindow->AddChild(button.get());
    return button;
}

void CDialogUseBonus::Update(float dt)
{
    if (m_bActive)
        m_pController->Update(dt);
    CScreenBase::Update(dt);
}

void CDialogUseBonus::Render()
{
    if (m_bVisible)
        m_pController->Render();
    CScreenBase::Render();
}

void CDialogUseBonus::Release()
{
    delete this;
}

void CDialogUseBonus::OnYes(CFObject*, int button)
{
    if (button != 1)
        return;
    TraceEvent(GetGameTime(), L"yes");
    GiveAnswer(0);
}

void CDialogUseBonus::OnNo(CFObject*, int button)
{
    if (button != 1)
        return;
    TraceEvent(GetGameTime(), L"no");
    GiveAnswer(1);
}

void CDialogUseBonus::GiveAnswer(int answer)
{
    game_dialogs::UseBonusAnswer() = answer;
    game_dialogs::UseBonusAnswered() = true;
    if (m_pParent != nullptr)
        m_pParent->SetChild(nullptr, true, true);
}
