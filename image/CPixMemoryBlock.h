// CPixMemoryBlock.h: a movable block of bytes handed between an image and its caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// A block of bytes that an image hands out whole (a packed DIB, for example) and takes back.
// Zero-filled on creation; the creator of the object owns it.
class CPixMemoryBlock {
public:
    explicit CPixMemoryBlock(std::size_t size)
        : m_pData(static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1))), m_nSize(m_pData != nullptr ? size : 0)
    {
    }
    ~CPixMemoryBlock() { std::free(m_pData); }
    CPixMemoryBlock(const CPixMemoryBlock&) = delete;
    CPixMemoryBlock& operator=(const CPixMemoryBlock&) = delete;

    bool IsValid() const { return m_pData != nullptr; }
    std::size_t Size() const { return m_nSize; }
    // Each Lock is paired with an Unlock; the count tells how many readers still hold the bytes.
    std::uint8_t* Lock() { ++m_nLocks; return m_pData; }
    void Unlock() { m_nLocks -= m_nLocks > 0 ? 1 : 0; }
    int LockCount() const { return m_nLocks; }

private:
    std::uint8_t* m_pData;
    std::size_t m_nSize;
    int m_nLocks = 0;
};
