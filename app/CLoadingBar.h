// CLoadingBar.h: the loading screen's progress bar: three looping effects of module "loading"
// ("progress", "back", "loading") in a group of their own. The "progress" effect has nine
// frames: frame f shows f / 8 of the bar, so 100 % shows frame 8.
#pragma once

#include <memory>

class CFAnimationGroup;
class CFAnimationInstance;
class CFResource;

class CLoadingBar {
public:
    explicit CLoadingBar(CFResource* resource);
    ~CLoadingBar();
    CLoadingBar(const CLoadingBar&) = delete;
    CLoadingBar& operator=(const CLoadingBar&) = delete;

    void SetProgress(float percent);  // 0..100; steps the bar's effects a tiny bit
    void Update(float dt);            // a dt of exactly 0 reloads the three effects
    void Render();
    void Show(bool visible);
    void Hide();                      // hides "progress" and "loading" for good

    int GetProgressFrame() const;     // the frame the "progress" effect shows

private:
    void Load();

    float m_fShown = -1.0f;           // the last progress shown, in frames (0..8.9999)
    bool m_bHidden = false;
    CFResource* m_pResource;          // not owned
    std::unique_ptr<CFAnimationGroup> m_pGroup;
    std::unique_ptr<CFAnimationInstance> m_pProgress;
    std::unique_ptr<CFAnimationInstance> m_pBack;
    std::unique_ptr<CFAnimationInstance> m_pLoading;
};
