// CDialogUseBonus.h: the question, in a player's first classic game, whether to play with bonuses.
//
// Yes or no leaves the answer where the game reads it (game_dialogs::UseBonusAnswer, 0 yes, 1 no)
// and raises UseBonusAnswered, which the game clears when it takes the answer; a new dialog
// starts with no answer. Escape is ignored: the player answers. The window and its two buttons come from the module "classic"; the buttons
// are children of the window, the window alone is the controller's.
#pragma once

#include "app/CScreenBase.h"

#include <memory>

class CFButton;
class CFFrameImage;
class CFObject;
class CFObjectController;

class CDialogUseBonus : public CScreenBase {
public:
    static CDialogUseBonus* Create();  // null when out of memory

    ~CDialogUseBonus() override;
    void Update(float dt) override;
    void Render() override;
    void Release() override;

    CFButton* GetYesButton() const { return m_pYes.get(); }
    CFButton* GetNoButton() const { return m_pNo.get(); }

private:
    CDialogUseBonus();

    std::unique_ptr<CFButton> MakeButton(const char* effect, void (CDialogUseBonus::*handler)(CFObject*, int));
    void OnYes(CFObject* sender, int button);
    void OnNo(CFObject* sender, int button);
    void GiveAnswer(int answer);

    std::unique_ptr<CFObjectController> m_pController;
    std::unique_ptr<CFFrameImage> m_pWindow;
    std::unique_ptr<CFButton> m_pYes;
    std::unique_ptr<CFButton> m_pNo;
};
