// CFScreenList.h: several framework screens that are updated, drawn and saved together, in
// the order they were added. The list owns them.
#pragma once

#include <memory>
#include <vector>

class CFScreen;

class CFScreenList {
public:
    CFScreenList();
    ~CFScreenList();
    CFScreenList(const CFScreenList&) = delete;
    CFScreenList& operator=(const CFScreenList&) = delete;

    void Add(CFScreen* screen);  // takes ownership; null and repeats are ignored
    int GetCount() const { return static_cast<int>(m_screens.size()); }
    CFScreen* Get(int index) const;  // null out of range

    void Update(float dt);
    void Render();
    void PushState();
    void PopState();

private:
    std::vector<std::unique_ptr<CFScreen>> m_screens;
};
