// ImageFuzzer.cpp: Image dispatch: one input of unknown format, tried by every decoder in turn.
#include "ImageFuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::DecodeBothWays(data, size, kPixTypeUnknown);
    return 0;
}
