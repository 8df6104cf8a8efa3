// CPixStream.h: the byte stream every codec of the image library reads and writes through.
#pragma once

#include "platform/files/HostFiles.h"

#include <cstddef>
#include <cstdint>

// One codec serves a disk file and a block of memory alike. Operations on a stream without
// file or buffer return a neutral value (0, false, -1) and never fail loudly.
class CPixStream {
public:
    virtual ~CPixStream() = default;
    virtual bool Close() = 0;                                              // release what is owned
    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;   // elements read
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    virtual bool Seek(long offset, int origin) = 0;                        // origin 0 start, 1 current, 2 end
    virtual long Tell() = 0;
    virtual long Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual long Error() = 0;                                              // non-zero after an error
    virtual bool PutC(std::uint8_t byte);                                  // Write of one byte
    virtual int GetC() = 0;                                                // 0..255, or -1 at the end
    // What tells these bytes from any others without reading them: only a regular file has that.
    virtual bool Identity(host_files::OpenFileIdentity& out);
};
