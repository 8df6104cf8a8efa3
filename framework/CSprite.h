// CSprite.h: a rectangle of a texture drawn as one engine quad.
//
// The hot spot is the point of the rectangle that lands on the drawing position and about which
// the sprite turns and scales. Each corner has its own colour and depth. The sprite owns nothing:
// its texture belongs to whoever loaded it. Each sprite holds its own engine reference.
#pragma once

#include "platform/EngineRef.h"

#include <cstdint>

class CRect;

class CSprite {
public:
    CSprite(HTexture texture, float x, float y, float w, float h);
    CSprite(const CSprite& other);
    CSprite& operator=(const CSprite& other);
    ~CSprite();

    void Render(float x, float y);
    // A vscale of 0 means the same scale as hscale. Rotation in radians, about the hot spot.
    void RenderEx(float x, float y, float rotation, float hscale, float vscale = 0.0f);
    void RenderStretch(float x1, float y1, float x2, float y2);
    void Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
    // The box of the corners RenderEx would draw; here a vscale of 0 is a scale of 0.
    CRect& GetBoundingBoxEx(float x, float y, float rotation, float hscale, float vscale, CRect& rect) const;

    void SetTexture(HTexture texture);  // keeps the same pixels when the new size differs
    void SetTextureRect(float x, float y, float w, float h);
    void SetFlip(bool x, bool y);
    void SetColor(std::uint32_t color, int vertex = -1);  // -1: all four corners
    void SetZ(float z, int vertex = -1);
    void SetHotSpot(float x, float y);
    void SetBlendMode(int blend);

    std::uint32_t GetColor(int vertex) const;  // 0 for a vertex outside 0..3
    float GetWidth() const { return m_fWidth; }
    float GetHeight() const { return m_fHeight; }
    HTexture GetTexture() const { return m_quad.tex; }
    void GetHotSpot(float& x, float& y) const;
    void GetTextureRect(float& x, float& y, float& w, float& h) const;
    int GetBlendMode() const { return m_quad.blend; }
    void GetFlip(bool& x, bool& y) const;

private:
    void ReadTextureSize(HTexture texture, float& width, float& height) const;
    void SetTextureCoords();
    void Corners(float x, float y, float rotation, float hscale, float vscale, float (&out)[4][2]) const;

    EngineQuad m_quad;
    float m_fTexX = 0, m_fTexY = 0, m_fWidth = 0, m_fHeight = 0;
    float m_fTexWidth = 1, m_fTexHeight = 1;
    float m_fHotX = 0, m_fHotY = 0;
    bool m_bXFlip = false, m_bYFlip = false;
    CEngineRef m_pEngine;
};
