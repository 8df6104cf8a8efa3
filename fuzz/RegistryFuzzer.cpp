// RegistryFuzzer.cpp: one input is the client's settings file. The store reads the keys the session
// reads, then writes and deletes values; every value written must read back as it was written.
#include "FuzzSupport.h"
#include "feedback/RegistryStore.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::Folder() + "/registry.txt";
    fuzz::WriteFile(path, data, size);
    RegistryStore store(path);
    const std::u16string key = u"Software\\Quenlo Games\\Feedback Services\\1.0";
    const std::u16string game = key + u"\\Games\\0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";
    (void)store.KeyExists(key);
    (void)store.ReadQword(key, u"First Run");
    (void)store.ReadDword(game, u"Enabled");
    (void)store.ReadBinary(game, u"User", 16);
    (void)store.Read(game, u"Name");
    if (!store.Write(game, u"Enabled", RegistryStore::Dword(0x12345678)))
        return 0;  // a file too large to be rewritten safely is left alone
    if (store.ReadDword(game, u"Enabled") != 0x12345678u)
        std::abort();
    const std::u16string text = u"a \"quoted\" \\ value\nwith a line break";
    if (!store.Write(game, u"Name", RegistryStore::String(text)))
        std::abort();
    const auto back = store.Read(game, u"Name");
    if (!back || back->Type != RegistryStore::kString)
        std::abort();
    if (!store.Delete(game, u"Enabled") || store.ReadDword(game, u"Enabled"))
        std::abort();
    return 0;
}
