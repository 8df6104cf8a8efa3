// TgaFuzzer.cpp: TGA decoder: one input read as a TGA, from memory and from a file.
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::DecodeBothWays(data, size, kPixTypeTga);
    return 0;
}
