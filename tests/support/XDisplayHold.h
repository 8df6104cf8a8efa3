// XDisplayHold.h: one connection to the X display, held for as long as a test uses the display.
//
// An X server started without -noreset (xvfb-run starts Xvfb so) starts over when its last client
// leaves, and drops the connections that come meanwhile: an engine shut down and initiated again,
// or a game started just after the previous test's program ended, finds no display. Held from
// before the first window to after the last, this connection keeps the server up; Open waits out
// a start-over already under way. Xlib is opened at run time, as in XPointer.h.
#pragma once

#include <chrono>
#include <thread>

#include <dlfcn.h>

class XDisplayHold {
public:
    XDisplayHold() = default;
    ~XDisplayHold()
    {
        if (m_pDisplay != nullptr)
            m_closeDisplay(m_pDisplay);
        if (m_pX11 != nullptr)
            ::dlclose(m_pX11);
    }
    XDisplayHold(const XDisplayHold&) = delete;
    XDisplayHold& operator=(const XDisplayHold&) = delete;

    // Connects to $DISPLAY, trying again until `patience` is spent; false: no display took it.
    bool Open(std::chrono::milliseconds patience = std::chrono::seconds(20))
    {
        m_pX11 = ::dlopen("libX11.so.6", RTLD_NOW);
        if (m_pX11 == nullptr)
            return false;
        m_openDisplay = reinterpret_cast<OpenDisplay>(::dlsym(m_pX11, "XOpenDisplay"));
        m_closeDisplay = reinterpret_cast<CloseDisplay>(::dlsym(m_pX11, "XCloseDisplay"));
        if (m_openDisplay == nullptr || m_closeDisplay == nullptr)
            return false;
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        for (;;) {
            m_pDisplay = m_openDisplay(nullptr);
            if (m_pDisplay != nullptr)
                return true;
            if (std::chrono::steady_clock::now() >= giveUp)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

private:
    using OpenDisplay = void* (*)(const char*);
    using CloseDisplay = int (*)(void*);

    void* m_pX11 = nullptr;
    void* m_pDisplay = nullptr;
    OpenDisplay m_openDisplay = nullptr;
    CloseDisplay m_closeDisplay = nullptr;
};
