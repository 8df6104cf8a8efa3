// CScreenTransition.cpp: the fade and band transitions.
#include "app/CScreenTransition.h"

#include <algorithm>
#include <cmath>

CScreenTransition::CScreenTransition()
{
    m_quad.tex = 0;
    m_quad.blend = kBlendDefault;
}

CScreenTransition::~CScreenTransition() = default;

void CScreenTransition::Start(int kind, int direction)
{
    m_nKind = kind;
    m_nDirection = direction;
    if (kind == kFade)
        m_fAlpha = direction == kCover ? 0.0f : 255.0f;
    else
        StartBands();
    m_bActive = true;
}

void CScreenTransition::StartBands()
{
    float step1 = 0.03f, step2 = 0.07f, phase1 = 0.0f, phase2 = 0.0f;
    if (m_pEngine != nullptr) {
        step1 = m_pEngine->RandomFloat(0.026179939f, 0.052359878f);
        step2 = m_pEngine->RandomFloat(0.05235988f, 0.10471976f);
        phase1 = m_pEngine->RandomFloat(0.0f, 6.2831855f);
        phase2 = m_pEngine->RandomFloat(0.0f, 6.2831855f);
    }
    for (int i = 0; i < kBandCount; ++i) {
        const float wave1 = (std::sin(static_cast<float>(i) * step1 + phase1) + 1.0f) / 2.0f;
        const float wave2 = (std::sin(static_cast<float>(i) * step2 + phase2) + 1.0f) / 2.0f;
        const float edge = 799.0f + 150.0f * ((wave1 + wave2) / 2.0f);
        Band& band = m_bands[static_cast<std::size_t>(i)];
        if (m_nDirection == kUncover) {
            band.left = 0.0f;
            band.right = edge;
        } else {
            band.left = edge;
            band.right = 799.0f;
        }
    }
}

void CScreenTransition::Update(float dt)
{
    if (!m_bActive)
        return;
    if (m_nKind == kFade)
        UpdateFade(dt);
    else
        UpdateBands(dt);
}

void CScreenTransition::UpdateFade(float dt)
{
    if (m_nDirection == kCover) {
        m_fAlpha += kFadeSpeed * dt;
        if (m_fAlpha >= 255.0f) {
            m_fAlpha = 255.0f;
            m_bActive = false;
        }
        return;
    }
    m_fAlpha -= kFadeSpeed * dt;
    if (m_fAlpha <= 0.0f) {
        m_fAlpha = 0.0f;
        m_bActive = false;
    }
}

void CScreenTransition::UpdateBands(float dt)
{
    bool moving = false;
    for (Band& band : m_bands) {
        float& edge = m_nDirection == kUncover ? band.right : band.left;
        edge = std::max(0.0f, edge - kBandSpeed * dt);
        moving = moving || edge > 0.0f;
    }
    m_bActive = moving;
}

void CScreenTransition::Render()
{
    if (!m_bActive || m_pEngine == nullptr)
        return;
    if (m_nKind == kFade)
        RenderFade();
    else
        RenderBands();
}

void CScreenTransition::RenderFade()
{
    const std::uint32_t colour = static_cast<std::uint32_t>(static_cast<int>(m_fAlpha)) << 24;
    const float corners[4][2] = {{0, 0}, {800, 0}, {800, 600}, {0, 600}};
    for (int i = 0; i < 4; ++i) {
        m_quad.v[i].x = corners[i][0];
        m_quad.v[i].y = corners[i][1];
        m_quad.v[i].z = 1.0f;
        m_quad.v[i].col = colour;
    }
    m_pEngine->RenderQuad(m_quad);
}

void CScreenTransition::RenderBands()
{
    for (int i = 0; i < kBandCount; ++i) {
        const Band& band = m_bands[static_cast<std::size_t>(i)];
        const float top = kBandHeight * static_cast<float>(i);
        const float corners[4][2] = {{band.left, top}, {band.right, top}, {band.right, top + kBandHeight},
                                     {band.left, top + kBandHeight}};
        for (int v = 0; v < 4; ++v) {
            m_quad.v[v].x = corners[v][0];
            m_quad.v[v].y = corners[v][1];
            m_quad.v[v].z = 0.5f;
            m_quad.v[v].col = 0xFF000000u;
        }
        m_pEngine->RenderQuad(m_quad);
    }
}
