#include "framework/CSprite.h"

#include "framework/CRect.h"

#include <cmath>
#include <utility>

CSprite::CSprite(HTexture texture, float x, float y, float w, float h)
    : m_fTexX(x), m_fTexY(y), m_fWidth(w), m_fHeight(h)
{
    ReadTextureSize(texture, m_fTexWidth, m_fTexHeight);
    m_quad.tex = texture;
    m_quad.blend = kBlendDefault;
    for (EngineVertex& v : m_quad.v) {
        v.z = 0.5f;
        v.col = 0xFFFFFFFFu;
    }
    SetTextureCoords();
}

CSprite::CSprite(const CSprite& other)
    : m_quad(other.m_quad), m_fTexX(other.m_fTexX), m_fTexY(other.m_fTexY), m_fWidth(other.m_fWidth),
      m_fHeight(other.m_fHeight), m_fTexWidth(other.m_fTexWidth), m_fTexHeight(other.m_fTexHeight),
      m_fHotX(other.m_fHotX), m_fHotY(other.m_fHotY), m_bXFlip(other.m_bXFlip), m_bYFlip(other.m_bYFlip)
{
}

// Copies the drawing state; each sprite keeps the engine reference it took itself.
CSprite& CSprite::operator=(const CSprite& other)
{
    m_quad = other.m_quad;
    m_fTexX = other.m_fTexX;
    m_fTexY = other.m_fTexY;
    m_fWidth = other.m_fWidth;
    m_fHeight = other.m_fHeight;
    m_fTexWidth = other.m_fTexWidth;
    m_fTexHeight = other.m_fTexHeight;
    m_fHotX = other.m_fHotX;
    m_fHotY = other.m_fHotY;
    m_bXFlip = other.m_bXFlip;
    m_bYFlip = other.m_bYFlip;
    return *this;
}

CSprite::~CSprite() = default;

// A texture the engine does not know reports size 0; dividing by it would fill the quad with
// infinities, so such a texture is measured like no texture at all.
void CSprite::ReadTextureSize(HTexture texture, float& width, float& height) const
{
    width = 1.0f;
    height = 1.0f;
    if (texture == 0 || m_pEngine == nullptr)
        return;
    const int w = m_pEngine->TextureGetWidth(texture);
    const int h = m_pEngine->TextureGetHeight(texture);
    if (w > 0 && h > 0) {
        width = static_cast<float>(w);
        height = static_cast<float>(h);
    }
}

void CSprite::SetTextureCoords()
{
    const float left = m_fTexX / m_fTexWidth;
    const float top = m_fTexY / m_fTexHeight;
    const float right = (m_fTexX + m_fWidth) / m_fTexWidth;
    const float bottom = (m_fTexY + m_fHeight) / m_fTexHeight;
    m_quad.v[0].tx = left;
    m_quad.v[0].ty = top;
    m_quad.v[1].tx = right;
    m_quad.v[1].ty = top;
    m_quad.v[2].tx = right;
    m_quad.v[2].ty = bottom;
    m_quad.v[3].tx = left;
    m_quad.v[3].ty = bottom;
}

void CSprite::Render(float x, float y)
{
    const float x1 = x - m_fHotX;
    const float y1 = y - m_fHotY;
    Render4V(x1, y1, x1 + m_fWidth, y1, x1 + m_fWidth, y1 + m_fHeight, x1, y1 + m_fHeight);
}

void CSprite::Corners(float x, float y, float rotation, float hscale, float vscale, float (&out)[4][2]) const
{
    const float tx1 = -m_fHotX * hscale;
    const float ty1 = -m_fHotY * vscale;
    const float tx2 = (m_fWidth - m_fHotX) * hscale;
    const float ty2 = (m_fHeight - m_fHotY) * vscale;
    const float offsets[4][2] = {{tx1, ty1}, {tx2, ty1}, {tx2, ty2}, {tx1, ty2}};
    if (rotation == 0.0f) {
        for (int i = 0; i < 4; ++i) {
            out[i][0] = offsets[i][0] + x;
            out[i][1] = offsets[i][1] + y;
        }
        return;
    }
    const float c = std::cos(rotation);
    const float s = std::sin(rotation);
    for (int i = 0; i < 4; ++i) {
        const float a = offsets[i][0];
        const float b = offsets[i][1];
        out[i][0] = a * c - b * s + x;
        out[i][1] = a * s + b * c + y;
    }
}

void CSprite::RenderEx(float x, float y, float rotation, float hscale, float vscale)
{
    if (vscale == 0.0f)
        vscale = hscale;
    float p[4][2];
    Corners(x, y, rotation, hscale, vscale, p);
    Render4V(p[0][0], p[0][1], p[1][0], p[1][1], p[2][0], p[2][1], p[3][0], p[3][1]);
}

void CSprite::RenderStretch(float x1, float y1, float x2, float y2)
{
    Render4V(x1, y1, x2, y1, x2, y2, x1, y2);
}

void CSprite::Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3)
{
    m_quad.v[0].x = x0;
    m_quad.v[0].y = y0;
    m_quad.v[1].x = x1;
    m_quad.v[1].y = y1;
    m_quad.v[2].x = x2;
    m_quad.v[2].y = y2;
    m_quad.v[3].x = x3;
    m_quad.v[3].y = y3;
    if (m_pEngine != nullptr)
        m_pEngine->RenderQuad(m_quad);
}

CRect& CSprite::GetBoundingBoxEx(float x, float y, float rotation, float hscale, float vscale, CRect& rect) const
{
    float p[4][2];
    Corners(x, y, rotation, hscale, vscale, p);
    rect.Clear();
    for (const auto& corner : p)
        rect.Encapsulate(corner[0], corner[1]);
    return rect;
}

void CSprite::SetTexture(HTexture texture)
{
    float width = 1.0f, height = 1.0f;
    ReadTextureSize(texture, width, height);
    m_quad.tex = texture;
    if (width == m_fTexWidth && height == m_fTexHeight)
        return;
    for (EngineVertex& v : m_quad.v) {
        v.tx *= m_fTexWidth / width;
        v.ty *= m_fTexHeight / height;
    }
    m_fTexWidth = width;
    m_fTexHeight = height;
}

void CSprite::SetTextureRect(float x, float y, float w, float h)
{
    m_fTexX = x;
    m_fTexY = y;
    m_fWidth = w;
    m_fHeight = h;
    SetTextureCoords();
    const bool xFlip = m_bXFlip, yFlip = m_bYFlip;
    m_bXFlip = false;
    m_bYFlip = false;
    SetFlip(xFlip, yFlip);
}

static void SwapCoords(EngineVertex& a, EngineVertex& b)
{
    std::swap(a.tx, b.tx);
    std::swap(a.ty, b.ty);
}

void CSprite::SetFlip(bool x, bool y)
{
    if (x != m_bXFlip) {
        SwapCoords(m_quad.v[0], m_quad.v[1]);
        SwapCoords(m_quad.v[3], m_quad.v[2]);
    }
    if (y != m_bYFlip) {
        SwapCoords(m_quad.v[0], m_quad.v[3]);
        SwapCoords(m_quad.v[1], m_quad.v[2]);
    }
    m_bXFlip = x;
    m_bYFlip = y;
}

void CSprite::SetColor(std::uint32_t color, int vertex)
{
    if (vertex == -1) {
        for (EngineVertex& v : m_quad.v)
            v.col = color;
        return;
    }
    if (vertex >= 0 && vertex < 4)
        m_quad.v[vertex].col = color;
}

void CSprite::SetZ(float z, int vertex)
{
    if (vertex == -1) {
        for (EngineVertex& v : m_quad.v)
            v.z = z;
        return;
    }
    if (vertex >= 0 && vertex < 4)
        m_quad.v[vertex].z = z;
}

std::uint32_t CSprite::GetColor(int vertex) const
{
    return vertex >= 0 && vertex < 4 ? m_quad.v[vertex].col : 0u;
}

void CSprite::SetHotSpot(float x, float y)
{
    m_fHotX = x;
    m_fHotY = y;
}

void CSprite::SetBlendMode(int blend)
{
    m_quad.blend = blend;
}

void CSprite::GetHotSpot(float& x, float& y) const
{
    x = m_fHotX;
    y = m_fHotY;
}

void CSprite::GetTextureRect(float& x, float& y, float& w, float& h) const
{
    x = m_fTexX;
    y = m_fTexY;
    w = m_fWidth;
    h = m_fHeight;
}

void CSprite::GetFlip(bool& x, bool& y) const
{
    x = m_bXFlip;
    y = m_bYFlip;
}
