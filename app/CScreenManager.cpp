// CScreenManager.cpp: the switch's phases and the popup chain walk.
#include "app/CScreenManager.h"

#include "app/CScreenBase.h"
#include "app/CScreenTransition.h"
#include "app/ShellServices.h"

CScreenManager::CScreenManager() : m_pTransition(std::make_unique<CScreenTransition>()) {}

CScreenManager::~CScreenManager()
{
    // The outgoing screen is still the current one until the swap; release it only once.
    if (m_pOutgoing == m_pCurrent)
        m_pOutgoing = nullptr;
    if (m_pNext == m_pCurrent)
        m_pNext = nullptr;  // a switch back to the current screen: it is released once, below
    ReleaseScreen(m_pReplaced);
    ReleaseScreen(m_pOutgoing);
    ReleaseScreen(m_pNext);
    ReleaseScreen(m_pCurrent);
}

void CScreenManager::ReleaseScreen(CScreenBase*& screen)
{
    if (screen != nullptr)
        screen->Release();
    screen = nullptr;
}

void CScreenManager::SwitchTo(CScreenBase* screen, bool active, bool visible)
{
    ShellResetCursorShape();
    if (m_pCurrent == nullptr) {
        m_pCurrent = screen;
        if (screen != nullptr) {
            screen->SetActive(active);
            screen->SetVisible(visible);
        }
        m_pTransition->Start(CScreenTransition::kFade, CScreenTransition::kUncover);
        m_nPhase = kFadingIn;
        return;
    }
    m_pTransition->Start(CScreenTransition::kFade, CScreenTransition::kCover);
    m_nPhase = kFadingOut;
    m_pOutgoing = m_pCurrent;
    if (m_pNext != nullptr && m_pNext != screen && m_pNext != m_pCurrent)
        m_pNext->Release();  // replaced before it was ever shown
    m_pNext = screen;
    m_bNextActive = active;
    m_bNextVisible = visible;
}

void CScreenManager::ShowPopup(CScreenBase* popup, bool active, bool visible)
{
    if (m_pCurrent == nullptr) {
        if (popup != nullptr)
            popup->Release();  // nothing to attach it to
        return;
    }
    CScreenBase* deepest = m_pCurrent;
    while (deepest->GetChild() != nullptr)
        deepest = deepest->GetChild();
    deepest->SetChild(popup, active, visible);
}

void CScreenManager::Update(float dt)
{
    m_pTransition->Update(dt);
    if (!m_pTransition->IsActive() && m_nPhase != kIdle) {
        if (m_nPhase == kFadingIn) {
            m_nPhase = kIdle;
        } else {
            m_pTransition->Start(CScreenTransition::kFade, CScreenTransition::kUncover);
            m_pReplaced = m_pOutgoing;
            m_pOutgoing = nullptr;
            m_pCurrent = m_pNext;
            m_pNext = nullptr;
            if (m_pCurrent != nullptr) {
                m_pCurrent->SetActive(m_bNextActive);
                m_pCurrent->SetVisible(m_bNextVisible);
            }
            m_bSwitched = true;
            m_nPhase = kFadingIn;
        }
    }
    if (!m_pTransition->IsActive() && m_pCurrent != nullptr)
        m_pCurrent->Update(dt);
    if (m_pReplaced != nullptr && m_pReplaced != m_pCurrent)
        m_pReplaced->Release();
    m_pReplaced = nullptr;
}

void CScreenManager::Render()
{
    if (m_pCurrent != nullptr)
        m_pCurrent->Render();
    m_pTransition->Render();
}
