// CFDeferredQueue.cpp: running the queued items.
#include "framework/CFDeferredQueue.h"

void CFDeferredQueue::Run()
{
    while (!m_items.empty()) {
        // Taken off first, so an Execute that pushes or runs the queue again sees it consistent.
        const std::uint32_t item = m_items.front();
        m_items.pop_front();
        Execute(item);
        m_nLastItem = item;
    }
}
