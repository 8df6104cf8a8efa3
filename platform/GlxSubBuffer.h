// GlxSubBuffer.h: shows part of a GLX window's back buffer without swapping (GLX_MESA_copy_sub_buffer).
//
// A swap hands the whole window to the X server; with a software renderer that costs a copy and
// a scaled blit of every pixel, though a sparkle changed only a small box. Copying the box alone
// leaves the back buffer as it was, so it keeps the last frame for the next box. The functions are
// looked up in the GL library SDL loaded; without a current GLX context (EGL, Wayland, headless)
// or the extension, Attach fails and the caller swaps as always. Nothing here waits for the
// display's refresh.
#pragma once

class GlxSubBuffer {
public:
    // Binds to the context current on this thread; false: copying part of the buffer is not possible.
    bool Attach();
    void Detach() { m_pCopy = nullptr; }
    bool IsAttached() const { return m_pCopy != nullptr; }
    // Shows these pixels of the back buffer, counted in GL's way: x, y of the bottom-left corner.
    void Copy(int x, int y, int width, int height);

private:
    using CopyFunction = void (*)(void* display, unsigned long drawable, int x, int y, int width, int height);

    CopyFunction m_pCopy = nullptr;
    void* m_pDisplay = nullptr;
    unsigned long m_drawable = 0;
};
