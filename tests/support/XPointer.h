// XPointer.h: mouse clicks on the X display as the X server's test extension makes them, so a
// real-window test can play where no input script reaches. Xlib and libXtst are opened at run
// time (only their shared libraries are installed); without them or the extension, Open is false.
#pragma once

#include <chrono>
#include <thread>

#include <dlfcn.h>

class XPointer {
public:
    XPointer() = default;
    ~XPointer()
    {
        if (m_pDisplay != nullptr)
            m_closeDisplay(m_pDisplay);
        for (void* library : {m_pTest, m_pX11}) {
            if (library != nullptr)
                ::dlclose(library);
        }
    }
    XPointer(const XPointer&) = delete;
    XPointer& operator=(const XPointer&) = delete;

    bool Open()
    {
        m_pX11 = ::dlopen("libX11.so.6", RTLD_NOW);
        m_pTest = ::dlopen("libXtst.so.6", RTLD_NOW);
        if (m_pX11 == nullptr || m_pTest == nullptr)
            return false;
        m_openDisplay = reinterpret_cast<OpenDisplay>(::dlsym(m_pX11, "XOpenDisplay"));
        m_closeDisplay = reinterpret_cast<CloseDisplay>(::dlsym(m_pX11, "XCloseDisplay"));
        m_flush = reinterpret_cast<Flush>(::dlsym(m_pX11, "XFlush"));
        m_motion = reinterpret_cast<Motion>(::dlsym(m_pTest, "XTestFakeMotionEvent"));
        m_button = reinterpret_cast<Button>(::dlsym(m_pTest, "XTestFakeButtonEvent"));
        if (!m_openDisplay || !m_closeDisplay || !m_flush || !m_motion || !m_button)
            return false;
        m_pDisplay = m_openDisplay(nullptr);
        return m_pDisplay != nullptr;
    }

    // A left click at the screen pixel, with a pause after each step as a hand would make.
    void Click(int x, int y)
    {
        m_motion(m_pDisplay, -1, x, y, 0);
        Step();
        m_button(m_pDisplay, 1, 1, 0);
        Step();
        m_button(m_pDisplay, 1, 0, 0);
        Step();
    }

private:
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);
    using Flush = int (*)(void*);
    using Motion = int (*)(void*, int, int, int, unsigned long);
    using Button = int (*)(void*, unsigned, int, unsigned long);

    void Step()
    {
        m_flush(m_pDisplay);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    void* m_pX11 = nullptr;
    void* m_pTest = nullptr;
    void* m_pDisplay = nullptr;
    OpenDisplay m_openDisplay = nullptr;
    CloseDisplay m_closeDisplay = nullptr;
    Flush m_flush = nullptr;
    Motion m_motion = nullptr;
    Button m_button = nullptr;
};
