// IniFuzzer.cpp: the engine's INI reader and writer on one input file: reads as start-up and the
// level loader do, then writes a value and checks that it reads back.
#include "FuzzSupport.h"
#include "platform/IniStore.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fuzz::UseAsRoot("fuzz.ini");
    fuzz::WriteFile(path, data, size);
    IniStore store;  // a fresh one: its cache must not carry over from the last input
    store.SetFile("fuzz.ini");
    const char* const sections[] = {"System", "Solitaire0", "  spaced  ", ""};
    const char* const keys[] = {"cnv", "32bits", "level_zoom", "place0_x", ""};
    for (const char* section : sections) {
        for (const char* key : keys) {
            (void)store.GetInt(section, key, -1);
            (void)store.GetFloat(section, key, 0.5f);
            (void)store.GetString(section, key, "default");
        }
    }
    // Every key the section's lines hold is found (its first line is the one read).
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const std::string& key : IniStore::SectionKeys(text, "Solitaire0")) {
        if (store.GetString("Solitaire0", key, "\n") == "\n")
            std::abort();
    }
    if (!store.SetString("System", "cnv", "7") || store.GetInt("System", "cnv", 0) != 7)
        std::abort();  // start-up clears its first-run flag this way: it must stick
    if (!store.SetString("Added", "key", "two\r\nlines") || store.GetString("Added", "key", "") != "twolines")
        std::abort();
    return 0;
}
