// BuildVersionFuzzer.cpp: one input is "data\build", the build text that cheat mode shows in the
// main menu (a file anyone can edit). The menu reads it into its "version" text.
#include "FuzzSupport.h"
#include "app/Globals.h"
#include "framework/CFResource.h"
#include "screens/CMenuScreen.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::PutDataFile("build", data, size);
    ScopedFakeEngine fake;
    CFResource resource(nullptr);
    resource.AddText("version", -1, -1, 0, 0, 0);  // as the resource script names it
    g_pResource = &resource;
    CMenuScreen::ReadBuildVersion();
    const wchar_t* version = resource.GetText("version");
    g_pResource = nullptr;
    if (version == nullptr || std::wstring(version).size() > 128)
        std::abort();  // one line, never longer than the menu shows
    return 0;
}
