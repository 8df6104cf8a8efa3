// FeedbackDataLibraryFuzzer.cpp: one input is the feedback client's companion data library, read
// both as the configuration source finds it beside the client and through its resource look-ups.
#include "FeedbackConfigCheck.h"
#include "FuzzSupport.h"
#include "feedback/DataLibrary.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    DataLibrary library;
    if (library.OpenBytes(std::vector<std::uint8_t>(data, data + size))) {
        const std::uint8_t* found = nullptr;
        std::size_t length = 0;
        for (const char* name : {"bin0.dat", "bin0.chk"})
            if (library.Find("DATA", name, found, length) && length > 0)
                (void)found[length - 1];
        (void)library.OriginalFilename();
    }
    const std::string folder = fuzz::Folder();
    fuzz::RemoveFile(folder + "/NimbraClient.ini");  // or the plain file would be chosen
    fuzz::WriteFile(folder + "/NimbraClientData-host.so", data, size);
    fuzz::StartClient(folder);
    return 0;
}
