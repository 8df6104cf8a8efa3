// SharedLibrary: one loaded shared object (dlopen with RTLD_NOW | RTLD_LOCAL) and its symbol look-up, for
// host programs of the feedback client. Unloaded when the object goes away.
#pragma once
#include <string>

class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool Open(const std::string& path);  // false with the loader's reason in Error()
    void* Find(const char* symbol) const;
    const std::string& Error() const { return m_error; }

private:
    void* m_pHandle = nullptr;
    std::string m_error;
};
