// CDialogTutorial.cpp: the tutorial window and the three ways to close it.
#include "screens/CDialogTutorial.h"

#include "app/Globals.h"
#include "framework/CFAnimationGroup.h"
#include "framework/CFAnimationInstance.h"
#include "framework/CFButton.h"
#include "framework/CFMouse.h"
#include "framework/CFObjectController.h"
#include "framework/TraceEvent.h"

#include <new>

namespace {
const char* const kModule = "Tutorial";
}

CDialogTutorial* CDialogTutorial::Create()
{
    return new (std::nothrow) CDialogTutorial();
}

CDialogTutorial::CDialogTutorial()
{
    m_sName = "dialogTutorial";
    TraceEvent(GetGameTime(), L"dialogTutorial");
    m_pController = std::make_unique<CFObjectController>(CFMouse::GetInstance());
    m_pGroup = std::make_unique<CFAnimationGroup>();
    m_pWindow = std::make_unique<CFAnimationInstance>(m_pGroup.get(), CFAnimationInstance::kUnsetPosition, 0.0f);
    (void)m_pWindow->LoadEffect(g_pResource, kModule, "main");  // a missing one is logged there
    m_pWindow->SetVisible(true);
    m_pWindow->Play(true);
    m_pClickArea = std::make_unique<CFObject>();
    m_pClickArea->SetRect(0.0f, 0.0f, 800.0f, 600.0f);
    m_pClickArea->SetVisible(true);
    m_pClickArea->OnClick += MakeDelegate(this, &CDialogTutorial::OnOk);
    m_pOk = std::make_unique<CFButton>();
    m_pOk->SetResource(g_pResource);
    m_pOk->AddAnimation(kModule, "bt_ok");
    m_pOk->AddAnimation("interface", "snd_button");
    m_pOk->OnClick += MakeDelegate(this, &CDialogTutorial::OnOk);
    m_pController->Add(m_pClickArea.get());
    m_pController->Add(m_pOk.get());  // added last: in front of the click area
}

CDialogTutorial::~CDialogTutorial()
{
    m_pController.reset();
    m_pOk.reset();
    m_pClickArea.reset();
    m_pWindow.reset();
    m_pGroup.reset();
}

void CDialogTutorial::Update(float dt)
{
    if (m_bActive) {
        if (m_engine.LastKey() == kVkEscape) {
            TraceEvent(GetGameTime(), L"esc");
            Close();
        }
        m_pController->Update(dt);
        m_pGroup->Update(dt);
    }
    CScreenBase::Update(dt);
}

void CDialogTutorial::Render()
{
    if (m_bVisible) {
        m_pGroup->Render();
        m_pController->Render();
    }
    CScreenBase::Render();
}

void CDialogTutorial::Release()
{
    delete this;
}

void CDialogTutorial::OnOk(CFObject*, int button)
{
    if (button != 1)
        return;
    TraceEvent(GetGameTime(), L"ok");
    Close();
}

void CDialogTutorial::Close()
{
    if (m_pParent != nullptr)
        m_pParent->SetChild(nullptr, true, true);
}
