// EventFilter: how the session treats the events of one (name, sub-key): dropped, counted, buffered, or leveled.
#pragma once
#include <cstdint>

#include "feedback/EventKey.h"

struct EventFilter {
    EventKey Key;
    std::uint32_t Flags = 0;            // FilterFlags bits
    std::int32_t FeedbackLevel = -1;    // -1: none
    double MinIntervalSeconds = 0.0;    // 0: no rollup
};
