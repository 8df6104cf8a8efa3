// J2kMemoryLedger.h: one bound on what the JPEG-2000 decodes in flight in a process hold together.
//
// Each decode's estimate (J2kBudget.h) may take up to 2 GiB; a host that decodes a page of
// pictures in a thread pool would otherwise hold the sum of them all. Before it starts, a decode
// books what its estimate says it holds, and gives it back when it ends; one that does not fit
// beside those in flight waits, in the order they came, for them to end. The bound is what the
// largest single decode may take, so a picture that decodes alone also decodes beside others: it
// only waits. A stop signal (StopSignals.h) ends the wait.
#pragma once

#include <cstdint>

constexpr std::uint64_t kJ2kMaxBytesInFlight = std::uint64_t{2} << 30;

class CJ2kMemoryBooking {
public:
    enum class EState { kHeld, kTooLarge, kInterrupted };

    explicit CJ2kMemoryBooking(std::uint64_t bytes);   // waits its turn
    ~CJ2kMemoryBooking();                               // gives it back
    CJ2kMemoryBooking(const CJ2kMemoryBooking&) = delete;
    CJ2kMemoryBooking& operator=(const CJ2kMemoryBooking&) = delete;

    EState State() const { return m_state; }
    static std::uint64_t BytesInFlight();              // booked now, by every thread

private:
    std::uint64_t m_nBytes;
    EState m_state;
};
