// GlxSubBuffer.cpp: GLX_MESA_copy_sub_buffer, found at run time.
#include "platform/GlxSubBuffer.h"

#include <dlfcn.h>

#include <cstring>

namespace {

using GetContextFunction = void* (*)();
using GetDisplayFunction = void* (*)();
using GetDrawableFunction = unsigned long (*)();
using QueryExtensionsFunction = const char* (*)(void* display, int screen);
using GetProcFunction = void* (*)(const unsigned char* name);
using DefaultScreenFunction = int (*)(void* display);

constexpr const char* kExtension = "GLX_MESA_copy_sub_buffer";

template <typename T>
T Symbol(void* library, const char* name)
{
    return reinterpret_cast<T>(dlsym(library, name));
}

// A whole name of a space-separated list: "GLX_MESA_copy_sub_buffer_2" does not count.
bool ListsExtension(const char* list, const char* name)
{
    const std::size_t length = std::strlen(name);
    for (const char* at = list; at != nullptr && (at = std::strstr(at, name)) != nullptr; at += length) {
        const bool starts = at == list || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0'))
            return true;
    }
    return false;
}

// The libraries stay loaded while SDL's context lives; these handles only look into them.
class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* name) : m_pHandle(dlopen(name, RTLD_LAZY | RTLD_NOLOAD)) {}
    ~LoadedLibrary()
    {
        if (m_pHandle != nullptr)
            dlclose(m_pHandle);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;
    void* Get() const { return m_pHandle; }

private:
    void* m_pHandle;
};

}  // namespace

bool GlxSubBuffer::Attach()
{
    m_pCopy = nullptr;
    const LoadedLibrary gl("libGL.so.1"), x11("libX11.so.6");
    if (gl.Get() == nullptr || x11.Get() == nullptr)
        return false;
    const auto getContext = Symbol<GetContextFunction>(gl.Get(), "glXGetCurrentContext");
    const auto getDisplay = Symbol<GetDisplayFunction>(gl.Get(), "glXGetCurrentDisplay");
    const auto getDrawable = Symbol<GetDrawableFunction>(gl.Get(), "glXGetCurrentDrawable");
    const auto queryExtensions = Symbol<QueryExtensionsFunction>(gl.Get(), "glXQueryExtensionsString");
    const auto getProc = Symbol<GetProcFunction>(gl.Get(), "glXGetProcAddressARB");
    const auto defaultScreen = Symbol<DefaultScreenFunction>(x11.Get(), "XDefaultScreen");
    if (getContext == nullptr || getDisplay == nullptr || getDrawable == nullptr || queryExtensions == nullptr ||
        getProc == nullptr || defaultScreen == nullptr || getContext() == nullptr)
        return false;  // SDL's context is not a GLX one
    void* display = getDisplay();
    const unsigned long drawable = getDrawable();
    if (display == nullptr || drawable == 0 || !ListsExtension(queryExtensions(display, defaultScreen(display)), kExtension))
        return false;
    m_pCopy = reinterpret_cast<CopyFunction>(getProc(reinterpret_cast<const unsigned char*>("glXCopySubBufferMESA")));
    m_pDisplay = display;
    m_drawable = drawable;
    return m_pCopy != nullptr;
}

void GlxSubBuffer::Copy(int x, int y, int width, int height)
{
    if (m_pCopy != nullptr && width > 0 && height > 0)
        m_pCopy(m_pDisplay, m_drawable, x, y, width, height);
}
