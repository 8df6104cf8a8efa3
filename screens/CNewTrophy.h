// CNewTrophy.h: the popup that presents every trophy now due, one after the other.
//
// Each presented trophy is marked as shown, so it is not presented again; it becomes earned only
// in the trophy room, which OK opens in its award mode once no trophy is left to present. OK
// takes any mouse button, Enter and Escape as well. The window and its shadow slide in again for
// every trophy; the trophy itself appears once they stand.
#pragma once

#include "screens/CSlideInPopup.h"

#include <memory>

class CNewTrophy : public CSlideInPopup {
public:
    static CNewTrophy* Create();  // null when out of memory
    ~CNewTrophy() override;
    void Release() override;

    int GetPresented() const { return m_nPresented; }  // trophy 0..9, -1 none
    CFAnimationInstance* GetTrophy() const { return m_pTrophy.get(); }
    CFButton* GetOkButton() const { return m_pOk; }

private:
    CNewTrophy();

    void ShowNextTrophy();
    void OnSlideEnded() override;
    void OnEscapeKey() override { OnOk(nullptr, 1); }
    void OnEnterKey() override { OnOk(nullptr, 1); }
    void OnOk(CFObject* sender, int button);

    std::unique_ptr<CFAnimationInstance> m_pTrophy;
    CFButton* m_pOk = nullptr;  // owned by the base
    int m_nPresented = -1;
    bool m_bLeaving = false;
};
