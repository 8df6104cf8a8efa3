// CFScreen.h: a screen of the framework's own application shell: an object controller with
// update and render events, which can be paused (no update) and hidden (no drawing).
//
// Its controller reads the mouse singleton, so a screen is created after the application's
// Init. The game itself builds its screens on CScreenBase instead.
#pragma once

#include "framework/CFEvent.h"
#include "framework/CFObjectController.h"

#include <memory>
#include <utility>
#include <vector>

class CFScreen {
public:
    CFScreen();
    virtual ~CFScreen();
    CFScreen(const CFScreen&) = delete;
    CFScreen& operator=(const CFScreen&) = delete;

    CFEvent0 OnRender;         // after the controller's roots
    CFEvent1<float> OnUpdate;  // after the controller's update

    void Update(float dt);     // nothing while paused
    void Render();             // nothing while hidden

    void EnableInput() { m_pController->EnableInput(); }
    void DisableInput() { m_pController->DisableInput(); }
    void SetPaused(bool paused) { m_bPaused = paused; }
    bool IsPaused() const { return m_bPaused; }
    void SetVisible(bool visible) { m_bVisible = visible; }
    bool IsVisible() const { return m_bVisible; }
    void PushState();  // input, paused and visible
    void PopState();   // an empty stack changes nothing

    CFObjectController* GetController() const { return m_pController.get(); }

private:
    std::unique_ptr<CFObjectController> m_pController;
    bool m_bPaused = false;
    bool m_bVisible = true;
    std::vector<std::pair<bool, bool>> m_savedStates;  // (paused, visible)
};
