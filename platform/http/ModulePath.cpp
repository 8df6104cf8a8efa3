#include "platform/http/ModulePath.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

namespace http_layer {

std::string HostProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(n));
}

std::string ThisModulePath()
{
    Dl_info info {};
    // Any address inside this library names the file it was loaded from.
    if (dladdr(reinterpret_cast<const void*>(&ThisModulePath), &info) == 0 || !info.dli_fname) return {};
    const std::string name = info.dli_fname;
    if (name.find('/') == std::string::npos) return HostProgramPath();  // the main program
    char resolved[PATH_MAX];
    return realpath(name.c_str(), resolved) ? std::string(resolved) : name;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace http_layer
