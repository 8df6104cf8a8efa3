// CFScreenList.cpp: forwarding to every screen in order.
#include "framework/CFScreenList.h"

#include "framework/CFScreen.h"

CFScreenList::CFScreenList() = default;

CFScreenList::~CFScreenList() = default;

void CFScreenList::Add(CFScreen* screen)
{
    if (screen == nullptr)
        return;
    for (const auto& owned : m_screens)
        if (owned.get() == screen)
            return;  // owned once, deleted once
    m_screens.emplace_back(screen);
}

CFScreen* CFScreenList::Get(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_screens[static_cast<std::size_t>(index)].get();
}

void CFScreenList::Update(float dt)
{
    for (const auto& screen : m_screens)
        screen->Update(dt);
}

void CFScreenList::Render()
{
    for (const auto& screen : m_screens)
        screen->Render();
}

void CFScreenList::PushState()
{
    for (const auto& screen : m_screens)
        screen->PushState();
}

void CFScreenList::PopState()
{
    for (const auto& screen : m_screens)
        screen->PopState();
}
