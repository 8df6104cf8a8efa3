// CStandInScreen.h: stands for a top-level screen that is not built yet: a plain dark view
// that switches straight back to the main menu, so every menu entry leads somewhere.
#pragma once

#include "app/CScreenBase.h"
#include "screens/CScreenEngine.h"

class CStandInScreen : public CScreenBase {
public:
    static constexpr std::uint32_t kColour = 0xFF102030u;

    CStandInScreen();

    void Update(float dt) override;
    void Render() override;
    void Release() override;

private:
    CScreenEngine m_engine;
    bool m_bLeaving = false;
};
