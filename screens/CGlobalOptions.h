// CGlobalOptions.h: the options popup (module "options_full"): three volume sliders (effects,
// music, ambient sounds) and four check boxes (full screen, special effects, the game's own
// cursor, fit to desktop).
//
// Volumes go to the current player's record and take effect while a slider moves; cursor and
// detail take effect at once; full screen at once unless the view is fitted to the desktop.
// Fitting, and full screen while fitted, change only at the next start: the first such click
// opens the restart-request window. Display settings live in the profile store and reach
// "save.dat" with its next save. Escape (after half a second), Enter and OK close the popup.
#pragma once

#include "screens/CSlideInPopup.h"

#include <memory>

class CFCheckBox;
class CFFrameImage;
class CFSlider;
class CSoundManager;

class CGlobalOptions : public CSlideInPopup {
public:
    enum ESlider { kEffects, kMusic, kAmbient, kSliderCount };
    enum EBox { kFullScreen, kSpecialEffects, kCustomCursor, kFitToDesktop, kBoxCount };

    static CGlobalOptions* Create();  // null when memory runs out
    ~CGlobalOptions() override;

    void Release() override;

    void OnOk(CFObject* sender, int state);
    void OnVolumeChanged(CFObject* slider);
    void OnFullScreen(CFObject* sender, int state);
    void OnCustomCursor(CFObject* sender, int state);
    void OnHighDetail(CFObject* sender, int state);
    void OnFitToDesktop(CFObject* sender, int state);
    void StoreVolumes();

    CFSlider* GetSlider(ESlider which) const { return m_sliders[which].get(); }
    CFCheckBox* GetBox(EBox which) const { return m_boxes[which].get(); }
    CFButton* GetOkButton() const { return m_pOk.get(); }
    CFFrameImage* GetWindowObject() const { return m_pWindowObject.get(); }

private:
    CGlobalOptions();

    void BuildWidgets();
    void OnEscapeKey() override;
    void OnEnterKey() override;
    void OnUpdateStart(float dt) override;
    void OnUpdateEnd(float dt) override;
    void OnSlideEnded() override;
    static int NextPendingChange(int pending, bool on);
    void AskForRestart();
    void ReloadBackgrounds(bool highDetail);

    CSoundManager* m_pSound;  // not owned
    std::unique_ptr<CFObject> m_pRoot;
    std::unique_ptr<CFFrameImage> m_pWindowObject;
    std::unique_ptr<CFButton> m_pOk;
    std::unique_ptr<CFSlider> m_sliders[kSliderCount];
    std::unique_ptr<CFCheckBox> m_boxes[kBoxCount];
};
