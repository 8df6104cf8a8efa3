// CFHoverEffect.h: the animation an object shows after the mouse has rested on it.
//
// One instance in a group of its own, created by Show and deleted by Hide, so every Show starts
// the animation from its beginning at the stored position.
#pragma once

#include <memory>

class CFAnimationGroup;
class CFAnimationInstance;
class CFResource;

class CFHoverEffect {
public:
    CFHoverEffect();
    ~CFHoverEffect();
    CFHoverEffect(const CFHoverEffect&) = delete;
    CFHoverEffect& operator=(const CFHoverEffect&) = delete;

    void SetPosition(float x, float y);  // where the next Show creates the animation
    // Only while hidden: creates, loads (a failed load is not reported), shows and plays once.
    void Show(CFResource* resource, const char* module, const char* effect);
    void Hide();
    void Update(float dt);
    void Render();

    CFAnimationInstance* GetAnimation() const { return m_pAnimation.get(); }

private:
    std::unique_ptr<CFAnimationInstance> m_pAnimation;
    std::unique_ptr<CFAnimationGroup> m_pGroup;
    float m_fX, m_fY;
};
