// CScreenBase.cpp: the screen chain's ownership and its update and render order.
#include "app/CScreenBase.h"

#include "app/ShellServices.h"

CScreenBase::CScreenBase()
{
    ShellResetCursorShape();
}

CScreenBase::~CScreenBase()
{
    for (CScreenBase* pending : m_pendingChildren)
        delete pending;
    delete m_pChild;
}

void CScreenBase::ReleasePendingChildren()
{
    // Swap first: a released screen must not find itself still listed.
    std::vector<CScreenBase*> pending;
    pending.swap(m_pendingChildren);
    for (CScreenBase* screen : pending)
        screen->Release();
}

void CScreenBase::Update(float dt)
{
    ReleasePendingChildren();
    if (m_pChild != nullptr)
        m_pChild->Update(dt);
}

void CScreenBase::Render()
{
    if (m_pChild != nullptr)
        m_pChild->Render();
}

void CScreenBase::SetChild(CScreenBase* child, bool active, bool visible)
{
    ShellResetCursorShape();
    if (m_pChild != nullptr && m_pChild != child)
        m_pendingChildren.push_back(m_pChild);
    m_pChild = child;
    m_bActive = active;
    m_bVisible = visible;
    if (child != nullptr)
        child->m_pParent = this;
}

bool CScreenBase::Attach(CScreenBase* opener, CScreenBase* popup)
{
    if (popup == nullptr)
        return false;
    if (opener == nullptr) {
        popup->Release();
        return false;
    }
    opener->SetChild(popup, false, true);
    return true;
}
