// CTableEffects.h: the card table's own captions and banners: the combo caption, the tutorial
// banner and the completion jingle.
#pragma once
#include <memory>

class CFAnimationGroup;
class CFAnimationInstance;
class CFResource;

// Owned by the table; the three instances live in the table's front group (not owned), which
// advances and draws them. Without a resource manager (tests of the rules) or when an effect is
// missing from the data, that effect is simply not shown.
class CTableEffects {
public:
    CTableEffects(CFAnimationGroup* front, CFResource* resource);
    ~CTableEffects();
    CTableEffects(const CTableEffects&) = delete;
    CTableEffects& operator=(const CTableEffects&) = delete;

    // "combo x<multiplier>" shown once where the card landed.
    void ShowCombo(int multiplier, float x, float y);
    void PlayLevelComplete();                 // section "normal", once
    void ShowTutorial(bool show);             // shown: section "show" once; hidden: stopped too
    void KeepTutorialPlaying();               // once "show" is over, section "play" loops

    CFAnimationInstance* GetCombo() const { return m_pComboEffect.get(); }
    CFAnimationInstance* GetTutorial() const { return m_pTutorialEffect.get(); }
    CFAnimationInstance* GetComplete() const { return m_pCompleteEffect.get(); }

private:
    std::unique_ptr<CFAnimationInstance> m_pComboEffect;
    std::unique_ptr<CFAnimationInstance> m_pTutorialEffect;
    std::unique_ptr<CFAnimationInstance> m_pCompleteEffect;
};
