// StopSignals.cpp: the flag-raising handlers and the ones they stand in for.
#include "platform/StopSignals.h"

#include <csignal>

#include <signal.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile std::sig_atomic_t g_nReceived = 0;
// Handlers in place: a stop that came belongs to them, and is gone with the outermost of them.
int g_nDepth = 0;

extern "C" void OnStopSignal(int)
{
    g_nReceived = 1;
}

}  // namespace

struct CStopSignals::Previous {
    struct sigaction actions[sizeof kSignals / sizeof kSignals[0]];
};

CStopSignals::CStopSignals() : m_pPrevious(std::make_unique<Previous>())
{
    if (g_nDepth++ == 0)
        g_nReceived = 0;  // an inner one keeps the stop the outer one already took
    struct sigaction action = {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;  // file writes and waits go on; the loop looks at the flag
    for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        ::sigaction(kSignals[i], &action, &m_pPrevious->actions[i]);
}

CStopSignals::~CStopSignals()
{
    for (std::size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        ::sigaction(kSignals[i], &m_pPrevious->actions[i], nullptr);
    if (--g_nDepth == 0)
        g_nReceived = 0;
}

bool CStopSignals::Received()
{
    return g_nDepth > 0 && g_nReceived != 0;
}
