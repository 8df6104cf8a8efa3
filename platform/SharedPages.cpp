#include "platform/SharedPages.h"

#include <sys/mman.h>

SharedPages::SharedPages(std::size_t size)
{
    if (size == 0)
        return;
    void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return;
    m_pData = static_cast<unsigned char*>(p);
    m_nSize = size;
}

SharedPages::~SharedPages()
{
    if (m_pData != nullptr)
        munmap(m_pData, m_nSize);
}
