// CPopupBase.cpp: the backdrop fade behind a popup.
#include "app/CPopupBase.h"

#include <algorithm>

CPopupBase::CPopupBase()
{
    const float corners[4][2] = {{0, 0}, {800, 0}, {800, 600}, {0, 600}};
    for (int i = 0; i < 4; ++i) {
        m_backdrop.v[i].x = corners[i][0];
        m_backdrop.v[i].y = corners[i][1];
        m_backdrop.v[i].z = 1.0f;
    }
    m_backdrop.tex = 0;
    m_backdrop.blend = kBlendDefault;
    SetBackdropColour();
}

CPopupBase::~CPopupBase() = default;

void CPopupBase::Release()
{
    delete this;
}

void CPopupBase::SetBackdropColour()
{
    const std::uint32_t colour = static_cast<std::uint32_t>(static_cast<int>(m_fAlpha)) << 24;
    for (EngineVertex& vertex : m_backdrop.v)
        vertex.col = colour;
}

void CPopupBase::Update(float dt)
{
    CScreenBase::Update(dt);
    if (!m_bFading)
        return;
    if (m_nDirection == 1) {
        m_fAlpha += kFadeSpeed * dt;
        if (m_fAlpha >= static_cast<float>(m_nTargetAlpha)) {
            m_fAlpha = static_cast<float>(m_nTargetAlpha);
            m_bFading = false;
        }
    } else {
        m_fAlpha -= kFadeSpeed * dt;
        if (m_fAlpha <= 0.0f) {
            m_fAlpha = 0.0f;
            m_bFading = false;
        }
    }
    SetBackdropColour();
}

void CPopupBase::RenderBackdrop()
{
    if (m_bBackdropShown && m_pEngine != nullptr)
        m_pEngine->RenderQuad(m_backdrop);
}

void CPopupBase::SetBackdropAlpha(int alpha)
{
    m_nTargetAlpha = std::clamp(alpha, 0, 255);
}
