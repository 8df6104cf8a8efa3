// CFApplication.cpp: engine set-up and the frame function of the framework's shell.
#include "framework/CFApplication.h"

#include "framework/CFDeferredQueue.h"
#include "framework/CFMouse.h"
#include "framework/CFResource.h"
#include "framework/CFScreen.h"
#include "platform/Engine.h"

namespace {

CFApplication* s_pInstance = nullptr;

bool NothingToDo()
{
    return false;
}

}  // namespace

CFApplication* CFApplication::GetInstance()
{
    if (s_pInstance == nullptr)
        s_pInstance = new CFApplication();
    return s_pInstance;
}

CFApplication::CFApplication()
{
    int bpp = 0;
    if (m_pEngine != nullptr)
        m_pEngine->GetDesktopSize(m_nDesktopWidth, m_nDesktopHeight, bpp);
    m_nDesktopDepth = bpp == 32 ? 32 : 16;
}

CFApplication::~CFApplication()
{
    if (s_pInstance == this)
        s_pInstance = nullptr;
    delete m_pMouse;
    delete m_pScreen;
    delete m_pQueue;
    if (m_pResource != nullptr)
        m_pResource->Release();
    if (m_pEngine != nullptr && m_bInitiated)
        m_pEngine->Shutdown();
}

bool CFApplication::Init()
{
    if (m_pEngine == nullptr)
        return false;
    IEngine& e = *m_pEngine;
    e.SetState(EState::LogFile, m_settings.logFile.c_str());
    e.SetState(EState::FrameFunc, &CFApplication::FrameFunc);
    e.SetState(EState::ExitFunc, &CFApplication::ExitFunc);
    e.SetState(EState::RestoreFunc, &NothingToDo);
    e.SetState(EState::FocusLostFunc, &NothingToDo);
    e.SetState(EState::Title, m_settings.title.c_str());
    e.SetState(EState::IniFile, m_settings.iniFile.c_str());
    e.SetState(EState::Loading, m_settings.loading);
    e.SetState(EState::ScreenWidth, m_settings.screenWidth);
    e.SetState(EState::ScreenHeight, m_settings.screenHeight);
    e.SetState(EState::Windowed, m_settings.windowed);
    e.SetState(EState::ScreenBpp, m_settings.colorDepth);
    e.SetState(EState::HideMouse, m_settings.hideSystemCursor);
    e.SetState(EState::ShowSplash, m_settings.showSplash);
    if (!e.Initiate())
        return false;
    m_bInitiated = true;
    if (m_pMouse == nullptr)
        m_pMouse = new CFMouse();
    m_pMouse->UpdateScreenSize();
    return true;
}

void CFApplication::CreateResource(const char* script)
{
    if (m_pResource != nullptr || script == nullptr)
        return;
    m_pResource = new CFResource(script);
    if (m_pMouse == nullptr)
        return;
    m_pMouse->SetResource(m_pResource);
    m_pMouse->SetSoftwareCursor(false);
    m_pMouse->SetVisible(true);
}

void CFApplication::SetScreen(CFScreen* screen)
{
    if (screen == m_pScreen)
        return;
    delete m_pScreen;
    m_pScreen = screen;
}

void CFApplication::SetDeferredQueue(CFDeferredQueue* queue)
{
    if (queue == m_pQueue)
        return;
    delete m_pQueue;
    m_pQueue = queue;
}

bool CFApplication::Run()
{
    return m_pEngine != nullptr && m_pEngine->RunMainLoop();
}

void CFApplication::GetDesktop(int& width, int& height, int& depth) const
{
    width = m_nDesktopWidth;
    height = m_nDesktopHeight;
    depth = m_nDesktopDepth;
}

bool CFApplication::FrameFunc()
{
    return s_pInstance == nullptr || s_pInstance->Frame();
}

bool CFApplication::Frame()
{
    const float dt = m_pEngine->GetDelta();
    if (m_pScreen == nullptr)
        return m_bExitRequested;
    if (m_pQueue != nullptr)
        m_pQueue->Run();
    if (m_pMouse != nullptr)
        m_pMouse->Update(dt);
    m_pScreen->Update(dt);
    // A handler may have cleared the screen with SetScreen(nullptr): nothing to draw then.
    if (m_pScreen != nullptr && m_pEngine->BeginScene(0)) {
        m_pScreen->Render();
        if (m_pMouse != nullptr)
            m_pMouse->Render();
        m_pEngine->EndScene();
    }
    return m_bExitRequested;
}

bool CFApplication::ExitFunc()
{
    if (s_pInstance == nullptr)
        return true;
    s_pInstance->m_pEngine->RestoreWindow();
    s_pInstance->m_bExitRequested = true;
    return false;
}
