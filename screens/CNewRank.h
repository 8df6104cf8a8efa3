// CNewRank.h: the popup that presents the rank the player has just risen to, with its emblem.
//
// Opened by the story level's result when its rank step raised the rank. OK (the left button),
// Enter or Escape leads on to the new-trophy popup when a trophy is due, else to the story map.
// The emblem is the part "Ranks.all" of the window's shadow effect, whose frame r shows rank r;
// a rank outside the thirteen shows none.
#pragma once

#include "screens/CSlideInPopup.h"

class CNewRank : public CSlideInPopup {
public:
    static CNewRank* Create();  // null when out of memory
    void Release() override;

    int GetEmblemFrame() const { return m_nEmblemFrame; }
    CFAnimationInstance* GetEmblem() const { return m_pEmblem; }
    CFButton* GetOkButton() const { return m_pOk; }

private:
    CNewRank();

    void OnSlideEnded() override;
    void OnEscapeKey() override { OnOk(nullptr, 1); }
    void OnEnterKey() override { OnOk(nullptr, 1); }
    void OnOk(CFObject* sender, int button);

    CFAnimationInstance* m_pEmblem = nullptr;  // a part of the shadow effect
    int m_nEmblemFrame = -1;
    CFButton* m_pOk = nullptr;                 // owned by the base
    bool m_bLeaving = false;
};
