// CFDeferredQueue.h: actions queued during a frame and run once, in arrival order, at the start
// of the next frame of the framework's application shell.
//
// Items are plain 32-bit values; a subclass says what each one means in Execute. Items pushed
// by Execute itself run in the same Run, after the others.
#pragma once

#include <cstdint>
#include <deque>

class CFDeferredQueue {
public:
    virtual ~CFDeferredQueue() = default;
    virtual void Execute(std::uint32_t item) = 0;

    void Push(std::uint32_t item) { m_items.push_back(item); }
    void Run();
    bool IsEmpty() const { return m_items.empty(); }
    std::uint32_t GetLastItem() const { return m_nLastItem; }  // the one executed last

private:
    std::deque<std::uint32_t> m_items;
    std::uint32_t m_nLastItem = 0;
};
