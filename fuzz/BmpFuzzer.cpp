// BmpFuzzer.cpp: BMP decoder: one input read as a BMP, from memory and from a file.
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::DecodeBothWays(data, size, kPixTypeBmp);
    return 0;
}
