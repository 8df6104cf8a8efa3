#include "image/CPixStream.h"

bool CPixStream::PutC(std::uint8_t byte)
{
    return Write(&byte, 1, 1) == 1;
}

bool CPixStream::Identity(host_files::OpenFileIdentity& /*out*/)
{
    return false;
}
