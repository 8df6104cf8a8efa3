// CFApplication.h: the framework's own ready-made application shell.
//
// One instance, created by GetInstance on first use. Init sets the engine up from the settings
// block and installs a frame function that runs the deferred queue, the mouse and one
// CFScreen, and draws the screen and the cursor. The game itself starts through its own shell
// and never creates this class. The application owns its mouse, screen, queue and resource
// manager; deleting it clears the instance and shuts the engine down.
#pragma once

#include "platform/EngineRef.h"

#include <string>

class CFDeferredQueue;
class CFMouse;
class CFResource;
class CFScreen;

struct CFAppSettings {
    std::string logFile = "engine.log";
    std::string title = "Game";
    std::string iniFile = "config.ini";
    bool loading = false;     // engine state 24
    int screenWidth = 800;
    int screenHeight = 600;
    bool windowed = true;
    int colorDepth = 16;
    bool hideSystemCursor = false;
    bool showSplash = true;   // engine state 18
};

class CFApplication {
public:
    static CFApplication* GetInstance();
    ~CFApplication();
    CFApplication(const CFApplication&) = delete;
    CFApplication& operator=(const CFApplication&) = delete;

    // Sets the engine's states from the settings, initiates it and creates the mouse.
    [[nodiscard]] bool Init();
    // Once only: the resource manager over that script, given to the mouse with the system cursor.
    void CreateResource(const char* script);
    void SetScreen(CFScreen* screen);            // deletes the previous one
    void SetDeferredQueue(CFDeferredQueue* queue);  // deletes the previous one
    bool Run();                                  // the engine's message loop

    IEngine* GetEngine() const { return m_pEngine.Get(); }
    CFMouse* GetMouse() const { return m_pMouse; }
    CFScreen* GetScreen() const { return m_pScreen; }
    CFDeferredQueue* GetDeferredQueue() const { return m_pQueue; }
    CFResource* GetResource() const { return m_pResource; }
    CFAppSettings& GetSettings() { return m_settings; }
    void GetDesktop(int& width, int& height, int& depth) const;
    bool IsExitRequested() const { return m_bExitRequested; }

    // The engine's callbacks.
    static bool FrameFunc();
    static bool ExitFunc();

private:
    CFApplication();
    bool Frame();

    CEngineRef m_pEngine;
    CFMouse* m_pMouse = nullptr;
    CFScreen* m_pScreen = nullptr;
    CFDeferredQueue* m_pQueue = nullptr;
    CFResource* m_pResource = nullptr;
    CFAppSettings m_settings;
    int m_nDesktopWidth = 0, m_nDesktopHeight = 0, m_nDesktopDepth = 16;
    bool m_bExitRequested = false;
    bool m_bInitiated = false;
};
