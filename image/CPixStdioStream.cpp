#include "image/CPixStdioStream.h"

bool CPixStdioStream::Close()
{
    if (m_pFile == nullptr || !m_bCloseOnDestroy)
        return true;
    const bool ok = std::fclose(m_pFile) == 0;
    m_pFile = nullptr;
    return ok;
}

std::size_t CPixStdioStream::Read(void* buffer, std::size_t size, std::size_t count)
{
    if (m_pFile == nullptr || buffer == nullptr)
        return 0;
    return std::fread(buffer, size, count, m_pFile);
}

std::size_t CPixStdioStream::Write(const void* buffer, std::size_t size, std::size_t count)
{
    if (m_pFile == nullptr || buffer == nullptr)
        return 0;
    return std::fwrite(buffer, size, count, m_pFile);
}

bool CPixStdioStream::Seek(long offset, int origin)
{
    if (m_pFile == nullptr)
        return false;
    return std::fseek(m_pFile, offset, origin) == 0;
}

long CPixStdioStream::Tell()
{
    return m_pFile == nullptr ? 0 : std::ftell(m_pFile);
}

long CPixStdioStream::Size()
{
    if (m_pFile == nullptr)
        return -1;
    const long pos = std::ftell(m_pFile);
    std::fseek(m_pFile, 0, SEEK_END);
    const long size = std::ftell(m_pFile);
    std::fseek(m_pFile, pos, SEEK_SET);
    return size;
}

bool CPixStdioStream::Flush()
{
    return m_pFile != nullptr && std::fflush(m_pFile) == 0;
}

bool CPixStdioStream::Eof()
{
    return m_pFile == nullptr || std::feof(m_pFile) != 0;
}

long CPixStdioStream::Error()
{
    return m_pFile == nullptr ? -1 : std::ferror(m_pFile);
}

bool CPixStdioStream::PutC(std::uint8_t byte)
{
    return m_pFile != nullptr && std::fputc(byte, m_pFile) == byte;
}

int CPixStdioStream::GetC()
{
    return m_pFile == nullptr ? -1 : std::getc(m_pFile);
}

bool CPixStdioStream::Identity(host_files::OpenFileIdentity& out)
{
    return host_files::IdentityOf(m_pFile, out);
}
