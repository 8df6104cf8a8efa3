// XPointer.h: mouse clicks on the X display as the X server's test extension makes them, so a
// real-window test can play where no input script reaches. It clicks through a held connection
// (XDisplayHold.h); libXtst is opened at run time, and without it Open is false.
#pragma once

#include <chrono>
#include <thread>

#include <dlfcn.h>

#include "support/XDisplayHold.h"

class XPointer {
public:
    explicit XPointer(const XDisplayHold& display) : m_display(display) {}

    bool Open()
    {
        // Never closed: the display's close calls back into the extension's library.
        void* test = ::dlopen("libXtst.so.6", RTLD_NOW);
        if (test == nullptr || m_display.Display() == nullptr)
            return false;
        m_flush = m_display.Function<Flush>("XFlush");
        m_motion = reinterpret_cast<Motion>(::dlsym(test, "XTestFakeMotionEvent"));
        m_button = reinterpret_cast<Button>(::dlsym(test, "XTestFakeButtonEvent"));
        return m_flush != nullptr && m_motion != nullptr && m_button != nullptr;
    }

    // A left click at the screen pixel, with a pause after each step as a hand would make.
    void Click(int x, int y)
    {
        m_motion(m_display.Display(), -1, x, y, 0);
        Step();
        m_button(m_display.Display(), 1, 1, 0);
        Step();
        m_button(m_display.Display(), 1, 0, 0);
        Step();
    }

private:
    using Flush = int (*)(void*);
    using Motion = int (*)(void*, int, int, int, unsigned long);
    using Button = int (*)(void*, unsigned, int, unsigned long);

    void Step()
    {
        m_flush(m_display.Display());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }

    const XDisplayHold& m_display;
    Flush m_flush = nullptr;
    Motion m_motion = nullptr;
    Button m_button = nullptr;
};
