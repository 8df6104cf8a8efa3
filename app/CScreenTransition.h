// CScreenTransition.h: the cover and uncover effect drawn over a screen switch.
//
// Two kinds: a fade through black, and 120 horizontal black bands whose edges sweep across the
// view in a wavy line. The screen manager uses the fade. Holds its own engine reference
// (drawing, and the random wave of the bands).
#pragma once

#include "platform/EngineRef.h"

#include <array>

class CScreenTransition {
public:
    enum Kind { kBands = 0, kFade = 1 };
    enum Direction { kUncover = 0, kCover = 1 };
    static constexpr int kBandCount = 120;
    static constexpr float kBandHeight = 5.0f;
    static constexpr float kFadeSpeed = 500.0f;   // alpha units per second
    static constexpr float kBandSpeed = 2000.0f;  // pixels per second

    CScreenTransition();
    ~CScreenTransition();
    CScreenTransition(const CScreenTransition&) = delete;
    CScreenTransition& operator=(const CScreenTransition&) = delete;

    void Start(int kind, int direction);
    void Update(float dt);
    void Render();
    bool IsActive() const { return m_bActive; }

    float GetAlpha() const { return m_fAlpha; }
    float GetBandLeft(int band) const { return m_bands[static_cast<std::size_t>(band)].left; }
    float GetBandRight(int band) const { return m_bands[static_cast<std::size_t>(band)].right; }

private:
    struct Band {
        float left = 0, right = 0;
    };

    void StartBands();
    void UpdateFade(float dt);
    void UpdateBands(float dt);
    void RenderFade();
    void RenderBands();

    int m_nKind = kFade;
    int m_nDirection = kUncover;
    bool m_bActive = false;
    std::array<Band, kBandCount> m_bands{};
    float m_fAlpha = 0.0f;
    EngineQuad m_quad;
    CEngineRef m_pEngine;
};
