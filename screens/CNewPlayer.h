// CNewPlayer.h: the popup that asks for a new player's name (module "profile"). It opens from
// the player selection and, at the very first start, by itself over the main menu.
//
// The name is typed into the text "profile_new_name" (capitals, digits and spaces, at most 12
// characters) and confirmed with OK or Enter; Enter is taken from the moment the window opens, as
// the letters are. A name that is already stored selects that player, any other creates one; both
// are saved at once. While the popup exists the frame function traces only Escape and Enter, so
// the typed name is not traced. Escape closes it without a new player, except at the first start,
// when there is nobody to go back to.
#pragma once

#include "screens/CSlideInPopup.h"

#include <memory>
#include <string>

class CFEdit;

class CNewPlayer : public CSlideInPopup {
public:
    static constexpr int kMaxName = 12;
    static constexpr float kNameCentreX = 404.0f;  // where the window shows the typed name
    static constexpr float kCursorY = 283.0f;

    static CNewPlayer* Create();  // null when memory runs out
    static bool IsOpen();          // while a new-player popup exists

    ~CNewPlayer() override;
    void Release() override;

    CFButton* GetOkButton() const { return m_pOk; }
    CFAnimationInstance* GetCursor() const { return m_pCursor.get(); }
    std::string GetName() const;   // as typed

private:
    CNewPlayer();

    void OnOk(CFObject* sender, int state);
    void OnEscapeKey() override;
    void OnEnterKey() override;
    void OnUpdateStart(float dt) override;
    void CheckName();
    void PlaceCursor();

    std::unique_ptr<CFAnimationInstance> m_pCursor;
    std::unique_ptr<CFEdit> m_pName;
    CFButton* m_pOk;  // owned by the base; null when the module has no such object
};
