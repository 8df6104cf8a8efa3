// CDialogNewLocation.h: the window that tells the player a new location of the story map is open
// and asks whether to sail there now.
//
// Only the story map opens it, as its child, and reads the answer once it has closed. It shows
// the highest opened location (location 0 never), with its name and photo; the answer goes to
// Answer() (0 yes, 1 no), which the story map resets to -1 after reading it. The buttons take
// clicks from the first frame and are drawn once the window has come to rest.
#pragma once

#include "app/CScreenBase.h"

#include <memory>

class CFAnimationGroup;
class CFAnimationInstance;
class CFButton;
class CFObject;
class CFObjectController;

class CDialogNewLocation : public CScreenBase {
public:
    static CDialogNewLocation* Create();  // null when out of memory
    static int& Answer();                  // -1 none, 0 yes, 1 no

    ~CDialogNewLocation() override;
    void Update(float dt) override;
    void Render() override;
    void Release() override;

    int GetShownLocation() const { return m_nShownLocation; }
    CFButton* GetYesButton() const { return m_pYes.get(); }
    CFButton* GetNoButton() const { return m_pNo.get(); }
    bool IsMovingIn() const;
    CFAnimationInstance* GetPhoto() const { return m_pPhoto; }

private:
    CDialogNewLocation();

    std::unique_ptr<CFButton> MakeButton(const char* effect, void (CDialogNewLocation::*handler)(CFObject*, int));
    void FindShownLocation();
    void OnYes(CFObject* sender, int state);
    void OnNo(CFObject* sender, int state);
    void Close(int answer);

    int m_nShownLocation = -1;
    std::unique_ptr<CFAnimationGroup> m_pGroup;     // declared first: the instances leave it first
    std::unique_ptr<CFObjectController> m_pInput;
    std::unique_ptr<CFButton> m_pYes;
    std::unique_ptr<CFButton> m_pNo;
    std::unique_ptr<CFAnimationInstance> m_pMoveIn;
    std::unique_ptr<CFAnimationInstance> m_pMoveInPart2;
    CFAnimationInstance* m_pPhoto = nullptr;        // a part of m_pMoveInPart2
    bool m_bWasMoving = true;                       // the window moved in the last update
};
