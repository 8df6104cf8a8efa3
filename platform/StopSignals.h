// StopSignals.h: SIGTERM, SIGINT and SIGHUP ask the program to end as its own exit does.
//
// While a CStopSignals lives, those signals only raise a flag (a handler may do nothing else
// safely); the frame loop reads it and ends the program through its normal teardown, which saves
// what the exit saves and releases the locks. The handlers that were in place come back when the
// object goes, and the flag goes with the outermost one, so a process that runs the game twice
// (tests) starts each run with a clear flag and sees no stop once no handler is in place.
#pragma once

#include <memory>

class CStopSignals {
public:
    CStopSignals();
    ~CStopSignals();
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

    static bool Received();  // one of the signals came while handlers are in place

private:
    struct Previous;
    std::unique_ptr<Previous> m_pPrevious;
};
