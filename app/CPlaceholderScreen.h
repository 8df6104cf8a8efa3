// CPlaceholderScreen.h: a plain dark screen that stands where the loading screen will be.
#pragma once

#include "app/CScreenBase.h"
#include "platform/EngineRef.h"

class CPlaceholderScreen : public CScreenBase {
public:
    static constexpr std::uint32_t kColour = 0xFF102030u;

    CPlaceholderScreen();
    ~CPlaceholderScreen() override;

    void Update(float dt) override;
    void Render() override;
    void Release() override;

    int GetUpdateCount() const { return m_nUpdates; }

private:
    int m_nUpdates = 0;
    CEngineRef m_pEngine;
};
