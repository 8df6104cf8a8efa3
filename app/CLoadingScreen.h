// CLoadingScreen.h: the first top-level screen. It plays a short intro, then loads the
// interface's graphics modules, in order, as many objects a frame as fit in a budget of the
// frame's time (at least one), while the bar shows the progress, and finally switches to the next
// screen (the main menu).
//
// A module that the resource script does not define counts as loaded with no objects (its
// absence is logged once), so loading always ends.
#pragma once

#include "app/CScreenBase.h"
#include "platform/Engine.h"
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
    // Loading takes about half of a 60 Hz frame, so the bar and the cursor keep their pace. At one
    // object a frame the ~1,150 objects took 20 s, while their work is ~0.1 s.
    static constexpr float kFrameBudgetSeconds = 0.008f;
    // Headless runs count each object as kHeadlessWorkStep, so they load this many a frame.
    static int HeadlessObjectsPerFrame() { return static_cast<int>(kFrameBudgetSeconds / kHeadlessWorkStep + 0.5f); }

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
    void LoadWithinBudget();
    bool LoadNextObject();  // false when the module failed (logged)
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
