// ByteCodeFuzzer.cpp: one input is the resource script's byte-code cache. The resource manager
// starts with it beside a script that is gone and in a data folder that holds no key: the cache
// was not written there, so a whole cache of this build is loaded and run in a child process
// first (the script library's loader asserts on some made-up byte code), and anything else is
// refused without declaring anything. Nothing may stop this process.
#include "FuzzSupport.h"
#include "framework/CFResource.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string root = fuzz::UseAsRoot();
    std::filesystem::create_directories(root + "/effects");
    std::filesystem::remove(root + "/data/cache.key");
    fuzz::WriteFile(root + "/effects/effects.bc", data, size);
    ScopedFakeEngine fake;
    CFResource resource("effects\\effects.as");
    const bool cacheHeader = size >= 4 && std::memcmp(data, "SBC2", 4) == 0;
    if (!cacheHeader && resource.GetModuleCount() != 0)
        std::abort();
    return 0;
}
