// CPixStdioStream.h: a stream over a buffered runtime file handle.
#pragma once

#include "image/CPixStream.h"

#include <cstdio>

// Built over a caller's handle it never closes it; built without one it owns whatever handle
// it is later given (the flag is the only difference).
class CPixStdioStream : public CPixStream {
public:
    explicit CPixStdioStream(std::FILE* file) : m_pFile(file), m_bCloseOnDestroy(file == nullptr) {}
    ~CPixStdioStream() override { Close(); }
    CPixStdioStream(const CPixStdioStream&) = delete;
    CPixStdioStream& operator=(const CPixStdioStream&) = delete;

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    bool PutC(std::uint8_t byte) override;
    int GetC() override;
    bool Identity(host_files::OpenFileIdentity& out) override;

private:
    std::FILE* m_pFile;
    bool m_bCloseOnDestroy;
};
