// SharedPages.h: a block of memory that a child process (ChildRun.h) made after it can write and
// this process then reads: anonymous pages shared across fork, given memory only where touched.
#pragma once

#include <cstddef>

class SharedPages {
public:
    explicit SharedPages(std::size_t size);   // Data() is null when the pages could not be had
    ~SharedPages();
    SharedPages(const SharedPages&) = delete;
    SharedPages& operator=(const SharedPages&) = delete;

    unsigned char* Data() const { return m_pData; }
    std::size_t Size() const { return m_nSize; }

private:
    unsigned char* m_pData = nullptr;
    std::size_t m_nSize = 0;
};
