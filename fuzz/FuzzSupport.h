// FuzzSupport.h: what the fuzz targets share: a private folder for readers that take file names,
// and the in-memory engine of tools/solvers/ for readers that go through the engine.
//
// Every target is a libFuzzer program: LLVMFuzzerTestOneInput gets one input and must leave no
// state behind that would make the next input behave differently.
#pragma once

#include "platform/FileSystem.h"
#include "solvers/FakeEngine.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <pthread.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/common_interface_defs.h>
#define SOL_FUZZ_SANITIZED 1
#endif
#endif

namespace fuzz {

// Children that the code under test forks to try what may stop it (the script library's compile
// and byte-code trials) end as they end, and the parent reads that: a fault in such a child is
// not a finding, so the fuzzer's crash report, which the child inherited, is taken from it.
inline void QuietChildren()
{
#ifdef SOL_FUZZ_SANITIZED
    static const bool once = [] {
        return pthread_atfork(nullptr, nullptr, [] { __sanitizer_set_death_callback(nullptr); }) == 0;
    }();
    (void)once;
#endif
}

// A folder of this process, made once and removed at exit; on tmpfs when there is one, because
// most targets write their input there before every run.
inline const std::string& Folder()
{
    struct Made {
        Made()
        {
            const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
            std::string pattern = std::string(base) + "/sol-fuzz-XXXXXX";
            if (mkdtemp(pattern.data()) == nullptr)
                std::abort();
            path = pattern;
        }
        ~Made()
        {
            std::error_code error;
            std::filesystem::remove_all(path, error);
        }
        std::string path;
    };
    static const Made made;
    return made.path;
}

// Makes the folder the game's root and returns the host path of `name` inside it.
inline std::string UseAsRoot(const std::string& name = "")
{
    fs_layer::SetRootFolder(Folder());
    return name.empty() ? Folder() : Folder() + "/" + name;
}

inline void WriteFile(const std::string& hostPath, const std::uint8_t* data, std::size_t size)
{
    std::FILE* file = std::fopen(hostPath.c_str(), "wb");
    if (file == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

// The game's "data" folder under the root, emptied, with `name` holding the input: where the
// player stores read their files.
inline void PutDataFile(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::string folder = UseAsRoot("data");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    WriteFile(folder + "/" + name, data, size);
}

// What a store left in the "data" folder, empty when nothing.
inline std::vector<std::uint8_t> DataFile(const std::string& name)
{
    std::vector<std::uint8_t> bytes;
    if (!fs_layer::ReadWholeFile("data/" + name, bytes))
        bytes.clear();
    return bytes;
}

inline void RemoveFile(const std::string& hostPath)
{
    std::remove(hostPath.c_str());
}

// Draws small numbers from the tail of an input, so one input fixes both a file and what is done
// with it; an exhausted source gives 0.
class ByteSource {
public:
    ByteSource(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}
    std::uint8_t Next() { return m_nSize == 0 ? 0 : m_pData[--m_nSize]; }
    int Below(int bound) { return bound <= 0 ? 0 : Next() % bound; }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
};

}  // namespace fuzz
