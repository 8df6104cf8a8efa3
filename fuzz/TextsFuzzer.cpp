// TextsFuzzer.cpp: one input is the game's UTF-16 text file, read into the resource manager's text
// store; named text entries then take their numbers from it, as the resource script's do.
#include "FuzzSupport.h"
#include "framework/CFResource.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::ByteSource choice(data, size);
    fuzz::WriteFile(fuzz::UseAsRoot("texts.txt"), data, size);
    ScopedFakeEngine fake;
    CFResource resourceObject(nullptr);
    CFResource* resource = &resourceObject;
    resource->AddTextFile("texts.txt");
    const std::size_t count = resource->GetTextStore().size();
    for (int i = 0; i < 8; ++i) {
        const std::string name = "text" + std::to_string(i);
        resource->AddText(name, -1, static_cast<int>(choice.Next()) - 1 + (i == 0 ? static_cast<int>(count) : 0), 0, 0, 0);
        const wchar_t* text = resource->GetText(name.c_str());
        (void)std::wstring(text != nullptr ? text : L"");
    }
    return 0;
}
