// ExportGuard: the one-call-at-a-time rule every export runs under. It does not wait or serialise: a call
// that finds another one running, or a failure caught inside a call, puts the library out of service for
// the rest of the process (no recovery), and from then on no export does any work.
#pragma once
#include <atomic>
#include <cstdint>

class ExportGuard {
public:
    // Runs work() when this is the only export running and the library is in service.
    template <typename Work>
    static void Run(Work&& work)
    {
        if (s_entries.fetch_add(1) + 1 != 1) {
            s_faults.fetch_add(1);
        } else if (InService()) {
            // Nothing may leave the library through the host's stack frames: any failure ends service.
            try {
                work();
            } catch (...) {
                s_faults.fetch_add(1);
            }
        }
        if (s_entries.fetch_sub(1) - 1 != 0)
            s_faults.fetch_add(1);
    }

    static bool InService() { return s_faults.load() == 0; }

private:
    static std::atomic<std::int32_t> s_entries;
    static std::atomic<std::int32_t> s_faults;
};
