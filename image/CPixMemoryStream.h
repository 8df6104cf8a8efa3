// CPixMemoryStream.h: a growable stream over a block of memory.
#pragma once

#include "image/CPixStream.h"

// Over a caller's block it reads (and writes in place) without owning it; once it has to grow
// it copies into a block of its own. Sizes stay below 2 GiB. A failed growth keeps the old
// block and makes the write return 0.
class CPixMemoryStream : public CPixStream {
public:
    CPixMemoryStream(std::uint8_t* buffer = nullptr, std::size_t size = 0);
    ~CPixMemoryStream() override { Close(); }
    CPixMemoryStream(const CPixMemoryStream&) = delete;
    CPixMemoryStream& operator=(const CPixMemoryStream&) = delete;

    bool Open();                                 // an empty owned block, only when none is there
    std::uint8_t* Detach(bool release);          // with release the caller frees it (CPixImage::FreeMemory)
    long Capacity() const { return m_nCapacity; }

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

private:
    bool Reserve(long required);                 // grows to hold `required` bytes
    void ZeroGapBeforeWrite();                   // bytes skipped by a seek read back as 0

    std::uint8_t* m_pBuffer;
    long m_nSize;
    bool m_bOwned;
    long m_nPos = 0;
    long m_nCapacity;
};
