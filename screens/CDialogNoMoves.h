// CDialogNoMoves.h: the window that tells the player no move is left on the table.
//
// Variant 1 suggests a bonus or dealing again, variant 2 (a classic game played without bonuses)
// only dealing again; each is the module's "no_more_moves<variant>" window. It has no dimmed
// backdrop. OK (left button) and Enter close it once it stands; Escape closes it at once, even
// while it slides in. The game screen under it stands still until it closes.
#pragma once

#include "screens/CSlideInPopup.h"

class CDialogNoMoves : public CSlideInPopup {
public:
    static CDialogNoMoves* Create(int variant);  // null when out of memory
    void Release() override;

    int GetVariant() const { return m_nVariant; }
    CFButton* GetOkButton() const { return m_pOk; }

private:
    explicit CDialogNoMoves(int variant);

    void OnEscapeKey() override;
    void OnSlideEnded() override;
    void OnOk(CFObject* sender, int button);

    int m_nVariant;
    CFButton* m_pOk = nullptr;  // owned by the base
};
