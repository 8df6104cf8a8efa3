// ByteCodeFuzzer.cpp: one input is the resource script's byte-code cache. The resource manager
// starts with it beside a script that is gone and in a data folder that holds no key: the cache
// was not written there, so it must be refused (the script library's loader would run it as it
// stands), and nothing may be declared.
#include "FuzzSupport.h"
#include "framework/CFResource.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string root = fuzz::UseAsRoot();
    std::filesystem::create_directories(root + "/effects");
    std::filesystem::remove(root + "/data/cache.key");
    fuzz::WriteFile(root + "/effects/effects.bc", data, size);
    ScopedFakeEngine fake;
    CFResource resource("effects\\effects.as");
    if (resource.GetModuleCount() != 0)
        std::abort();
    return 0;
}
