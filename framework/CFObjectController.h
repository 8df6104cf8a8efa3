// CFObjectController.h: drives a set of root object trees once per frame.
//
// Routes the mouse to the front-most root that takes it (later roots are in front), honours an
// object that has captured the mouse, then updates every tree; renders them on request. Owns
// nothing: roots are removed by their owners before they are deleted, and a capturing object
// releases capture before it is deleted.
#pragma once

#include "framework/CFObject.h"
#include "platform/EngineRef.h"

#include <vector>

class CFMouse;

class CFObjectController {
public:
    explicit CFObjectController(CFMouse* mouse);
    ~CFObjectController();
    CFObjectController(const CFObjectController&) = delete;
    CFObjectController& operator=(const CFObjectController&) = delete;

    // Once only. Subscribes to the capture changes of the object and of every descendant it has
    // now; children added later cannot capture through this controller.
    void Add(CFObject* object);
    void Remove(CFObject* object);  // the subscriptions stay; the capture target is kept
    bool HasRoot(const CFObject* object) const;
    int GetRootCount() const { return static_cast<int>(m_roots.size()); }

    void Update(float dt);  // input pass, then every root's update
    void Render();

    void EnableInput() { m_bInputEnabled = true; }
    void DisableInput() { m_bInputEnabled = false; }
    bool IsInputEnabled() const { return m_bInputEnabled; }
    void PushInputState() { m_savedInput.push_back(m_bInputEnabled); }
    void PopInputState();  // an empty stack changes nothing

    void GetMouseButtonState(int& button, int& code) const;
    CFObject* GetCaptureTarget() const { return m_pCapture; }

    void OnCaptureChanged(CFObject* object, bool capture);

private:
    void Subscribe(CFObject* object);
    void InputPass();

    std::vector<CFObject*> m_roots;
    CEngineRef m_pEngine;
    bool m_bInputEnabled = true;
    std::vector<bool> m_savedInput;
    CFMouse* m_pMouse;
    CFObject* m_pCapture = nullptr;
};
