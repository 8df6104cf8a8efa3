// CancelEvent: a manual-reset event: once set it stays set and wakes every waiter. Safe to set from any thread.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>

class CancelEvent {
public:
    void Set();
    bool IsSet() const;
    // True when the event is set, at once or within the time; false when the time ran out.
    bool WaitFor(std::uint32_t milliseconds) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_bSet = false;
};
