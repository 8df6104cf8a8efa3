// FeedbackIniFuzzer.cpp: one input is the feedback client's plain configuration file.
#include "FeedbackConfigCheck.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = fuzz::Folder();
    fuzz::WriteFile(folder + "/NimbraClient.ini", data, size);
    fuzz::StartClient(folder);
    return 0;
}
