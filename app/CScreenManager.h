// CScreenManager.h: holds the top-level screen, switches screens through black, opens popups.
//
// A switch fades the current screen out to black, swaps in the next one and fades it in; while
// a fade runs no screen is updated, so nothing can be clicked mid-switch. Popups attach to the
// deepest screen of the chain. The manager owns the current screen and every screen still
// waiting in a switch, and releases them all when it is deleted.
#pragma once

#include <memory>

class CScreenBase;
class CScreenTransition;

class CScreenManager {
public:
    enum Phase { kIdle = -1, kFadingIn = 0, kFadingOut = 1 };

    CScreenManager();
    ~CScreenManager();
    CScreenManager(const CScreenManager&) = delete;
    CScreenManager& operator=(const CScreenManager&) = delete;

    // With no current screen it becomes current at once and fades in from black; otherwise the
    // current one fades out first. A second call before the swap replaces (and releases) the
    // waiting screen.
    void SwitchTo(CScreenBase* screen, bool active, bool visible);
    // Attaches the popup to the deepest screen; active and visible are that screen's flags.
    void ShowPopup(CScreenBase* popup, bool active, bool visible);
    void Update(float dt);
    void Render();

    CScreenBase* GetCurrent() const { return m_pCurrent; }
    CScreenBase* GetNext() const { return m_pNext; }
    int GetPhase() const { return m_nPhase; }
    const CScreenTransition& GetTransition() const { return *m_pTransition; }

    // Raised when a switch installs the next screen; a screen that acts once its switch is
    // complete reads and clears it. Not raised for the very first screen.
    bool m_bSwitched = false;

private:
    static void ReleaseScreen(CScreenBase*& screen);

    CScreenBase* m_pCurrent = nullptr;
    CScreenBase* m_pReplaced = nullptr;
    std::unique_ptr<CScreenTransition> m_pTransition;
    int m_nPhase = kIdle;
    CScreenBase* m_pNext = nullptr;
    CScreenBase* m_pOutgoing = nullptr;
    bool m_bNextActive = true;
    bool m_bNextVisible = true;
};
