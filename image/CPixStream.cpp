#include "image/CPixStream.h"

bool CPixStream::PutC(std::uint8_t byte)
{
    return Write(&byte, 1, 1) == 1;
}
