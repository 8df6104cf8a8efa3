#include "platform/feedback_sys/SharedLibrary.h"

#include <dlfcn.h>

SharedLibrary::~SharedLibrary()
{
    if (m_pHandle != nullptr)
        dlclose(m_pHandle);
}

bool SharedLibrary::Open(const std::string& path)
{
    if (m_pHandle != nullptr)
        return false;
    m_pHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_pHandle == nullptr) {
        const char* error = dlerror();
        m_error = error != nullptr ? error : "dlopen failed";
        return false;
    }
    return true;
}

void* SharedLibrary::Find(const char* symbol) const
{
    return m_pHandle != nullptr ? dlsym(m_pHandle, symbol) : nullptr;
}
