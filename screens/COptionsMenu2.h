// COptionsMenu2.h: a smaller options screen (module "options") with the effect and music
// volumes and an OK button. Nothing in the game opens it; the options the player reaches are
// CGlobalOptions. It has no dimmed backdrop; Escape (after half a second), Enter and OK close it.
#pragma once

#include "screens/CSlideInPopup.h"

#include <memory>

class CFSlider;
class CSoundManager;

class COptionsMenu2 : public CSlideInPopup {
public:
    static COptionsMenu2* Create();  // null when memory runs out
    ~COptionsMenu2() override;

    void Release() override;
    void OnOk(CFObject* sender, int state);

    CFSlider* GetEffectSlider() const { return m_pEffect.get(); }
    CFSlider* GetMusicSlider() const { return m_pMusic.get(); }

private:
    COptionsMenu2();

    void OnEscapeKey() override { OnOk(nullptr, -1); }
    void OnEnterKey() override { OnOk(nullptr, 1); }
    void OnUpdateEnd(float dt) override;
    void OnSlideEnded() override;
    std::unique_ptr<CFSlider> MakeSlider(const char* object, int volume);

    CSoundManager* m_pSound;  // not owned
    std::unique_ptr<CFButton> m_pOk;
    std::unique_ptr<CFSlider> m_pEffect;
    std::unique_ptr<CFSlider> m_pMusic;
};
