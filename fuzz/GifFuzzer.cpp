// GifFuzzer.cpp: GIF decoder: one input read as a GIF, from memory and from a file.
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::DecodeBothWays(data, size, kPixTypeGif);
    return 0;
}
