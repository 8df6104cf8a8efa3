#include "framework/CFMemoryStream.h"

#include "platform/FileSystem.h"

#include <cstring>

int CFMemoryStream::Read(void* data, AngelScript::asUINT size)
{
    if (size == 0)
        return 0;
    if (data == nullptr)
        return -1;
    const std::size_t left = m_bytes.size() - m_nReadPos;
    const std::size_t n = size < left ? size : left;
    if (n != 0)
        std::memcpy(data, m_bytes.data() + m_nReadPos, n);
    m_nReadPos += n;
    if (n == size)
        return 0;
    std::memset(static_cast<std::uint8_t*>(data) + n, 0, size - n);
    return -1;
}

int CFMemoryStream::Write(const void* data, AngelScript::asUINT size)
{
    if (size == 0)
        return 0;
    if (data == nullptr)
        return -1;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    return 0;
}

bool CFMemoryStream::LoadFromFile(const char* path)
{
    std::vector<std::uint8_t> bytes;
    if (path == nullptr || !fs_layer::ReadWholeFile(path, bytes, kMaxFileSize))
        return false;
    m_bytes = std::move(bytes);
    m_nReadPos = 0;
    return true;
}

bool CFMemoryStream::SaveToFile(const char* path) const
{
    return path != nullptr && fs_layer::WriteWholeFile(path, m_bytes.data(), m_bytes.size());
}
