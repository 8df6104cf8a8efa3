// CLoadingScreen.h: the first top-level screen. It plays a short intro, then loads the
// interface's graphics modules one object per frame while the bar shows the progress, and
// finally switches to the next screen (the main menu).
//
// A module that the resource script does not define counts as loaded with no objects (its
// absence is logged once), so loading always ends.
#pragma once

#include "app/CScreenBase.h"
#include "platform/EngineRef.h"

#include <memory>
#include <string>
#include <vector>

class CFAnimationGroup;
class CFAnimationInstance;
class CFResource;
class CLoadingBar;

class CLoadingScreen : public CScreenBase {
public:
    enum ELoadState { kIdle = 0, kLoading = 1, kIntro = 2, kDone = 3 };

    static CLoadingScreen* Create(CFResource* resource);  // null when it cannot be made
    ~CLoadingScreen() override;

    void Update(float dt) override;
    void Render() override;
    void Release() override;

    int GetState() const { return m_nState; }
    int GetTotalObjects() const { return m_nTotal; }
    int GetLoadedObjects() const { return m_nLoaded; }
    const CLoadingBar& GetBar() const { return *m_pBar; }
    static const std::vector<std::string>& GetModuleNames();

private:
    explicit CLoadingScreen(CFResource* resource);
    void LoadNextObject();
    void SkipFinishedModules();
    void SwitchToNextScreen();

    std::vector<std::string> m_modules;
    std::unique_ptr<CLoadingBar> m_pBar;
    int m_nTotal = 0;
    int m_nLoaded = 0;
    int m_nState = kIntro;
    std::size_t m_nModule = 0;
    std::unique_ptr<CFAnimationGroup> m_pIntroGroup;
    std::unique_ptr<CFAnimationInstance> m_pIntro;
    CEngineRef m_pEngine;
    CFResource* m_pResource;  // not owned
};
