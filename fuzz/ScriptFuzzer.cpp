// ScriptFuzzer.cpp: one input is the resource script "effects/effects.as". The resource manager
// compiles it, runs what compiles and caches it; a second manager then runs the cache. Whatever
// the text, both must come back, and the cache must declare what the script declared.
#include "FuzzSupport.h"
#include "framework/CFResource.h"

#include <cstdlib>
#include <cstring>

namespace {

int DeclaredModules(const char* scriptPath)
{
    ScopedFakeEngine fake;
    CFResource resource(scriptPath);
    return resource.GetModuleCount();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::QuietChildren();
    const std::string root = fuzz::UseAsRoot();
    std::filesystem::create_directories(root + "/effects");
    std::filesystem::remove(root + "/effects/effects.bc");
    fuzz::WriteFile(root + "/effects/effects.as", data, size);
    const int fromScript = DeclaredModules("effects\\effects.as");
    std::filesystem::remove(root + "/effects/effects.as");
    if (std::filesystem::exists(root + "/effects/effects.bc") && DeclaredModules("effects\\effects.as") != fromScript)
        std::abort();
    return 0;
}
