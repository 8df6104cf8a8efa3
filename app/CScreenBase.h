// CScreenBase.h: base of every screen, popup and dialog: a chain of screens, each owning its child.
//
// A top-level screen is held by the screen manager; below it hangs at most one child (a popup
// drawn over its parent), which may have a child of its own. A screen owns its child and every
// child it replaced but has not released yet; those are released at the start of its next
// Update, so a popup that closes itself from its own handler may finish that handler.
// Concrete screens delete themselves in Release.
#pragma once

#include <string>
#include <vector>

class CScreenBase {
public:
    CScreenBase();  // active and visible; resets the cursor to its normal shape
    virtual ~CScreenBase();
    CScreenBase(const CScreenBase&) = delete;
    CScreenBase& operator=(const CScreenBase&) = delete;

    // Concrete screens do their own work first (only while active / visible), then call these.
    virtual void Update(float dt);  // releases replaced children, then updates the child
    virtual void Render();          // draws the child on top
    // Replaces the child (null allowed) and sets THIS screen's active and visible flags. Openers
    // pass (popup, false, true); a popup closes itself with its parent's (nullptr, true, true).
    void SetChild(CScreenBase* child, bool active, bool visible);
    // Shows a popup as the opener's child with (popup, false, true). A popup without an opener is
    // released at once; false when either is missing.
    static bool Attach(CScreenBase* opener, CScreenBase* popup);
    virtual void Release() = 0;     // deletes the screen

    CScreenBase* GetParent() const { return m_pParent; }
    CScreenBase* GetChild() const { return m_pChild; }
    bool IsActive() const { return m_bActive; }
    bool IsVisible() const { return m_bVisible; }
    void SetActive(bool active) { m_bActive = active; }
    void SetVisible(bool visible) { m_bVisible = visible; }
    const std::string& GetName() const { return m_sName; }

protected:
    CScreenBase* m_pParent = nullptr;   // not owned
    CScreenBase* m_pChild = nullptr;    // owned
    // Children replaced since the last Update (owned). A list, so that a popup closed and
    // another opened in the same frame are both released.
    std::vector<CScreenBase*> m_pendingChildren;
    bool m_bActive = true;
    bool m_bVisible = true;
    std::string m_sName;

private:
    void ReleasePendingChildren();
};
