// GifFuzzer.cpp: GIF decoder: one input read as a GIF, from memory and from a file, and its first
// frames read in order and one by one.
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::DecodeBothWays(data, size, kPixTypeGif);
    fuzz::FramesInOrderAgree(data, size);
    return 0;
}
