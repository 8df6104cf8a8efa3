// CDialogInformation.h: a message window with one OK button (unlock hints, new levels,
// congratulations, the restart request of the options, the windows of the in-game interface),
// built from the caller's module, move effect and OK object.
//
// It has no dimmed backdrop of its own. OK, Enter and Escape close it (Escape at once), also when
// the OK object is missing from the module. When the shadow effect has a second part track, its
// first part keeps looping after the slide.
#pragma once

#include "screens/CSlideInPopup.h"

class CDialogInformation : public CSlideInPopup {
public:
    static CDialogInformation* Create(const char* module, const char* move, const char* ok);  // null: no memory

    void Release() override;

    CFButton* GetOkButton() const { return m_pOk; }

private:
    CDialogInformation(const char* module, const char* move, const char* ok);

    void OnOk(CFObject* sender, int state);
    void OnEscapeKey() override;
    void OnEnterKey() override;
    void OnSlideEnded() override;

    CFButton* m_pOk;  // owned by the base; null when the module has no such object
};
