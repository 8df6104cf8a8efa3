#include "platform/j2k/J2kMemoryLedger.h"

#include "platform/StopSignals.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>

namespace {

// Tickets keep the order: a large decode is not passed by small ones for ever.
struct Ledger {
    std::mutex lock;
    std::condition_variable changed;
    std::uint64_t inFlight = 0;
    std::uint64_t nextTicket = 0;
    std::uint64_t serving = 0;
    std::set<std::uint64_t> givenUp;         // tickets whose holders stopped waiting before their turn

    void PassTurn()
    {
        ++serving;
        while (givenUp.erase(serving) != 0)
            ++serving;
    }
};

Ledger& TheLedger()
{
    static Ledger ledger;
    return ledger;
}

// The stop signals raise a flag only: the waits look at it this often.
constexpr std::chrono::milliseconds kStopLook{50};

}  // namespace

CJ2kMemoryBooking::CJ2kMemoryBooking(std::uint64_t bytes) : m_nBytes(bytes), m_state(EState::kTooLarge)
{
    if (bytes > kJ2kMaxBytesInFlight)
        return;
    Ledger& ledger = TheLedger();
    std::unique_lock<std::mutex> hold(ledger.lock);
    const std::uint64_t ticket = ledger.nextTicket++;
    while (ledger.serving != ticket || ledger.inFlight + bytes > kJ2kMaxBytesInFlight) {
        if (CStopSignals::Received()) {
            m_state = EState::kInterrupted;
            if (ledger.serving != ticket) {
                ledger.givenUp.insert(ticket);
                return;
            }
            break;
        }
        ledger.changed.wait_for(hold, kStopLook);
    }
    ledger.PassTurn();
    if (m_state != EState::kInterrupted) {
        ledger.inFlight += bytes;
        m_state = EState::kHeld;
    }
    ledger.changed.notify_all();
}

CJ2kMemoryBooking::~CJ2kMemoryBooking()
{
    if (m_state != EState::kHeld)
        return;
    Ledger& ledger = TheLedger();
    {
        const std::lock_guard<std::mutex> hold(ledger.lock);
        ledger.inFlight -= m_nBytes;
    }
    ledger.changed.notify_all();
}

std::uint64_t CJ2kMemoryBooking::BytesInFlight()
{
    Ledger& ledger = TheLedger();
    const std::lock_guard<std::mutex> hold(ledger.lock);
    return ledger.inFlight;
}
