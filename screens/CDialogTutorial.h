// CDialogTutorial.h: a tutorial window with one OK button, closed by OK, by a click anywhere in
// the view or by Escape. It has no dimmed backdrop; its window is the module "Tutorial"'s
// "main", which loops.
#pragma once

#include "app/CScreenBase.h"
#include "screens/CScreenEngine.h"

#include <memory>

class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFObject;
class CFObjectController;

class CDialogTutorial : public CScreenBase {
public:
    static CDialogTutorial* Create();  // null when out of memory

    ~CDialogTutorial() override;
    void Update(float dt) override;
    void Render() override;
    void Release() override;

    CFButton* GetOkButton() const { return m_pOk.get(); }
    CFObject* GetClickArea() const { return m_pClickArea.get(); }

private:
    CDialogTutorial();

    void OnOk(CFObject* sender, int button);
    void Close();

    CScreenEngine m_engine;
    std::unique_ptr<CFAnimationGroup> m_pGroup;  // before the window: the window leaves it first
    std::unique_ptr<CFAnimationInstance> m_pWindow;
    std::unique_ptr<CFObjectController> m_pController;
    std::unique_ptr<CFButton> m_pOk;
    std::unique_ptr<CFObject> m_pClickArea;
};
