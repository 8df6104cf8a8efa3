// CStandInScreen.cpp: one dark frame, then back to the main menu.
#include "screens/CStandInScreen.h"

#include "app/CScreenFactory.h"

CStandInScreen::CStandInScreen()
{
    m_sName = "StandIn";
}

void CStandInScreen::Update(float dt)
{
    if (m_bActive && !m_bLeaving)
        m_bLeaving = CScreenFactory::SwitchTo(EScreenKind::MainMenu);
    CScreenBase::Update(dt);
}

void CStandInScreen::Render()
{
    if (m_bVisible)
        m_engine.Clear(kColour);
    CScreenBase::Render();
}

void CStandInScreen::Release()
{
    delete this;
}
