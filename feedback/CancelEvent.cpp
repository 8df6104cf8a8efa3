#include "feedback/CancelEvent.h"

#include <chrono>

void CancelEvent::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bSet = true;
    }
    m_changed.notify_all();
}

bool CancelEvent::IsSet() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bSet;
}

bool CancelEvent::WaitFor(std::uint32_t milliseconds) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return m_bSet; });
}
