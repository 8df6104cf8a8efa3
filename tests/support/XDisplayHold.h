// XDisplayHold.h: one connection to the X display, held for as long as a test uses the display.
//
// Xvfb as xvfb-run starts it resets when its last client leaves and drops the connections that come
// meanwhile: an engine started again, or the next test's game, would find no display. Open waits
// out a reset already under way. Xlib is opened at run time (only its shared library is installed).
#pragma once

#include <chrono>
#include <thread>

#include <dlfcn.h>

class XDisplayHold {
public:
    XDisplayHold() = default;
    XDisplayHold(const XDisplayHold&) = delete;
    XDisplayHold& operator=(const XDisplayHold&) = delete;
    ~XDisplayHold()
    {
        if (m_pDisplay != nullptr)
            Function<int (*)(void*)>("XCloseDisplay")(m_pDisplay);
        if (m_pX11 != nullptr)
            ::dlclose(m_pX11);
    }

    // Connects to $DISPLAY, trying again until `patience` is spent; false: no display took it.
    bool Open(std::chrono::milliseconds patience = std::chrono::seconds(20))
    {
        m_pX11 = ::dlopen("libX11.so.6", RTLD_NOW);
        const auto open = Function<void* (*)(const char*)>("XOpenDisplay");
        const auto giveUp = std::chrono::steady_clock::now() + patience;
        while (open != nullptr && (m_pDisplay = open(nullptr)) == nullptr && std::chrono::steady_clock::now() < giveUp)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return m_pDisplay != nullptr;
    }

    void* Display() const { return m_pDisplay; }  // Xlib's Display*, null until Open
    // An Xlib function by name; null without Xlib or the function.
    template <typename F>
    F Function(const char* name) const
    {
        return m_pX11 == nullptr ? nullptr : reinterpret_cast<F>(::dlsym(m_pX11, name));
    }

private:
    void* m_pX11 = nullptr;
    void* m_pDisplay = nullptr;
};
