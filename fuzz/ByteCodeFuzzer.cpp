// ByteCodeFuzzer.cpp: one input is the resource script's byte-code cache. The resource manager
// starts with it beside a script that is gone and in a data folder that holds no key: the cache
// was not written there, so a whole cache of this build is loaded and run in a child process
// first (the script library's loader asserts on some made-up byte code), and anything else is
// refused without declaring anything. Nothing may stop this process.
//
// Made-up byte code that its trial lets through runs here as it stands, and may leave objects of
// the script library behind (wrong reference counts are not a crash); so for a whole cache only
// the leak check is off. Memory errors are still caught, and every other input is checked whole.
#include "FuzzSupport.h"
#include "framework/CFResource.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/lsan_interface.h>
#define SOL_LEAK_CHECK_SWITCH 1
#endif
#endif

// The trial's child inherits the fuzzer's limit on one allocation, and made-up byte code may ask
// for gigabytes there, and so end the child and be refused: the trial working, not a finding.
// The limit on this process's resident memory stays.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static char limit[] = "-malloc_limit_mb=1048576";
    static std::vector<char*> args;
    args.assign(*argv, *argv + *argc);
    args.insert(args.begin() + (args.empty() ? 0 : 1), limit);  // a limit given on the command line still wins
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::QuietChildren();
    const std::string root = fuzz::UseAsRoot();
    std::filesystem::create_directories(root + "/effects");
    std::filesystem::remove(root + "/data/cache.key");
    fuzz::WriteFile(root + "/effects/effects.bc", data, size);
    const bool cacheHeader = size >= 4 && std::memcmp(data, "SBC2", 4) == 0;
#ifdef SOL_LEAK_CHECK_SWITCH
    std::unique_ptr<__lsan::ScopedDisabler> noLeakCheck;
    if (cacheHeader)
        noLeakCheck = std::make_unique<__lsan::ScopedDisabler>();
#endif
    ScopedFakeEngine fake;
    CFResource resource("effects\\effects.as");
    if (!cacheHeader && resource.GetModuleCount() != 0)
        std::abort();
    return 0;
}
