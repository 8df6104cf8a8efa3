// J2kFuzzer.cpp: the JPEG-2000 layer: one input opened as a file's bytes, asked for its sizes and
// decoded at full size and at a reduced one, as texture loading and the first-run conversion do.
#include "platform/j2k/J2kCodec.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Decode(J2kImage* image, const char* options)
{
    int width = 0, height = 0;
    (void)J2K_GetResolutionDimensionsByStr(image, options, &width, &height);
    unsigned char* pixels = nullptr;
    int size = 0, pitch = 0;
    if (J2K_Decode(image, &pixels, &size, options, &pitch) != kJ2kOk)
        return;
    if (pixels == nullptr || pitch <= 0 || size % pitch != 0)
        std::abort();
    unsigned sum = 0;
    for (int i = 0; i < size; ++i)
        sum += pixels[i];  // under ASan, a buffer shorter than it claims shows here
    (void)sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    J2kImage* image = J2K_OpenMemory(data, size);
    if (image == nullptr)
        return 0;
    J2kInfo info;
    if (J2K_GetInfoEx(image, &info) != kJ2kOk)
        std::abort();
    Decode(image, "reduce=1");
    Decode(image, nullptr);
    J2K_Close(image);
    return 0;
}
