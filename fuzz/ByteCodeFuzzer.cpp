// ByteCodeFuzzer.cpp: one input is the resource script's byte-code cache. The resource manager
// starts with it beside a script that is gone, so it must either load the cache and run it, or
// refuse it; either way the declarations it made must hold together.
#include "FuzzSupport.h"
#include "framework/CFResource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string root = fuzz::UseAsRoot();
    std::filesystem::create_directories(root + "/effects");
    fuzz::WriteFile(root + "/effects/effects.bc", data, size);
    ScopedFakeEngine fake;
    CFResource resource("effects\\effects.as");
    for (int i = 0; i < resource.GetModuleCount(); ++i)
        (void)resource.LoadModule(resource.GetModuleName(i), -1);
    return 0;
}
