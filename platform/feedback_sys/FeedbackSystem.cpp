#include "platform/feedback_sys/FeedbackSystem.h"

#include <dlfcn.h>
#include <limits.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

static void Anchor() {}  // an address inside this module, for dladdr

std::string FeedbackSystem::OwnModulePath()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Anchor), &info) == 0 || info.dli_fname == nullptr)
        return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved) == nullptr)
        return info.dli_fname;
    return resolved;
}

std::string FeedbackSystem::HostProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

bool FeedbackSystem::DebuggerAttached()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 10, "TracerPid:") == 0)
            return std::strtol(line.c_str() + 10, nullptr, 10) != 0;
    }
    return false;
}

std::string FeedbackSystem::UserName()
{
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr ||
        found->pw_name == nullptr)
        return {};
    return found->pw_name;
}
