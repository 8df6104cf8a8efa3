// CFScreen.cpp: the framework screen's frame and saved states.
#include "framework/CFScreen.h"

#include "framework/CFMouse.h"

CFScreen::CFScreen() : m_pController(std::make_unique<CFObjectController>(CFMouse::GetInstance())) {}

CFScreen::~CFScreen() = default;

void CFScreen::Update(float dt)
{
    if (m_bPaused)
        return;
    m_pController->Update(dt);
    if (!OnUpdate.IsEmpty())
        OnUpdate.Fire(dt);
}

void CFScreen::Render()
{
    if (!m_bVisible)
        return;
    m_pController->Render();
    if (!OnRender.IsEmpty())
        OnRender.Fire();
}

void CFScreen::PushState()
{
    m_pController->PushInputState();
    m_savedStates.emplace_back(m_bPaused, m_bVisible);
}

void CFScreen::PopState()
{
    m_pController->PopInputState();
    if (m_savedStates.empty())
        return;
    m_bPaused = m_savedStates.back().first;
    m_bVisible = m_savedStates.back().second;
    m_savedStates.pop_back();
}
