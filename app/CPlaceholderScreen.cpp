// CPlaceholderScreen.cpp: fills the view with one colour.
#include "app/CPlaceholderScreen.h"

CPlaceholderScreen::CPlaceholderScreen()
{
    m_sName = "Placeholder";
}

CPlaceholderScreen::~CPlaceholderScreen() = default;

void CPlaceholderScreen::Update(float dt)
{
    if (m_bActive)
        ++m_nUpdates;
    CScreenBase::Update(dt);
}

void CPlaceholderScreen::Render()
{
    if (m_bVisible && m_pEngine != nullptr) {
        EngineQuad quad;
        const float corners[4][2] = {{0, 0}, {800, 0}, {800, 600}, {0, 600}};
        for (int i = 0; i < 4; ++i) {
            quad.v[i].x = corners[i][0];
            quad.v[i].y = corners[i][1];
            quad.v[i].col = kColour;
        }
        m_pEngine->RenderQuad(quad);
    }
    CScreenBase::Render();
}

void CPlaceholderScreen::Release()
{
    delete this;
}
