// CHiScore.h: the high-score popup (module "high_scores"). It shows one of the two best-of-ten
// tables at a time, story or classic, through the texts "HS_MODE", "HS_PLAYER<n>", "HS_SCORE<n>"
// and "highscores_n<n>" (rows 1 to 10), and always opens on the story table. The top-level
// screen beneath stays inactive while it exists.
#pragma once

#include "screens/CSlideInPopup.h"

#include <memory>

class CHiScore : public CSlideInPopup {
public:
    enum ETable { kStory = 0, kClassic = 1 };

    static CHiScore* Create();  // null when memory runs out

    void Release() override;
    void ShowTable();           // the row texts of the shown table
    int GetShownTable() const { return m_nShown; }
    CFAnimationInstance* GetBorder() const { return m_pBorder.get(); }
    CFButton* GetButton(int tag) const { return tag == kStory ? m_pStory : m_pClassic; }

private:
    CHiScore();

    void OnOk(CFObject* sender, int state);
    void OnSwitch(CFObject* sender, int state);
    void Show(int table);
    void OnEscapeKey() override;
    void OnEnterKey() override;
    void OnSlideEnded() override;

    int m_nShown = kClassic;
    std::unique_ptr<CFAnimationInstance> m_pBorder;
    CFButton* m_pStory;    // owned by the base; null when missing
    CFButton* m_pClassic;
};
