// TraceEvent.h: the event-trace hook that screens and game logic call at notable moments.
//
// Callers pass the game clock, then usually an event name and its details. This build records
// nothing, so the hook compiles away; it stays so that every traced moment is marked in the code.
#pragma once

template <typename... Args>
inline void TraceEvent(const Args&...)
{
}
