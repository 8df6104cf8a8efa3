// CSelectPlayer2.h: the player selection popup (module "profile"): up to ten players in rows,
// select one, make a new one or delete the selected one after a yes/no question.
//
// Delete is refused while only one player is left, and New while the list is full (ten rows):
// a click on New then explains that in a message window, so no player is made that the list
// could not show. Deleting also removes the player's rows from both high-score tables. The
// top-level screen beneath stays inactive while the popup exists.
#pragma once

#include "screens/CSlideInPopup.h"

#include <array>

class CSelectPlayer2 : public CSlideInPopup {
public:
    static constexpr int kRows = 10;

    static CSelectPlayer2* Create();  // null when memory runs out

    void Release() override;
    void Refresh();  // the rows, the buttons' states and "profile_player" from the store

    CFButton* GetRowButton(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    CFAnimationInstance* GetRowPart(int row) const { return m_rowParts[static_cast<std::size_t>(row)]; }
    CFButton* GetOkButton() const { return m_pOk; }
    CFButton* GetNewButton() const { return m_pNew; }
    CFButton* GetDeleteButton() const { return m_pDelete; }

private:
    CSelectPlayer2();

    void OnRow(CFObject* sender, int state);
    void OnOk(CFObject* sender, int state);
    void OnNew(CFObject* sender, int state);
    void OnDelete(CFObject* sender, int state);
    void OnEscapeKey() override;
    void OnEnterKey() override;
    void OnUpdateStart(float dt) override;
    void OnSlideEnded() override;
    void DeleteCurrentPlayer();

    bool m_bReturnedFromNew = false;
    bool m_bDeleteAsked = false;
    std::array<CFButton*, kRows> m_rows{};                // owned by the base
    std::array<CFAnimationInstance*, kRows> m_rowParts{};  // parts of the window
    CFButton* m_pOk;                                       // owned by the base; null when missing
    CFButton* m_pNew;
    CFButton* m_pDelete;
};
