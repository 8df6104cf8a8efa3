// CPopupBase.h: a screen drawn over its parent, with a black full-view backdrop that fades in.
//
// The backdrop's alpha rises at 500 per second from 0 to the target (default 100 of 255).
// Every popup's Render draws the backdrop first (whatever its visible flag), then itself.
// Holds its own engine reference.
#pragma once

#include "app/CScreenBase.h"
#include "platform/EngineRef.h"

class CPopupBase : public CScreenBase {
public:
    static constexpr float kFadeSpeed = 500.0f;  // alpha units per second

    CPopupBase();
    ~CPopupBase() override;

    void Update(float dt) override;
    void Release() override;

    void RenderBackdrop();
    void SetBackdropAlpha(int alpha);   // target of the fade-in, 0..255
    bool IsFading() const { return m_bFading; }
    float GetBackdropAlpha() const { return m_fAlpha; }

protected:
    bool m_bBackdropShown = true;
    bool m_bSavedBackdropShown = true;
    int m_nTargetAlpha = 100;
    int m_nDirection = 1;               // 1 fade in, 0 fade out
    bool m_bFading = true;
    float m_fAlpha = 0.0f;
    EngineQuad m_backdrop;

private:
    void SetBackdropColour();

    CEngineRef m_pEngine;
};
