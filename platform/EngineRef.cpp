// EngineRef.cpp: the log forwarding of CEngineRef.
#include "platform/EngineRef.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

void CEngineRef::Log(const char* format, ...) const
{
    if (m_pEngine == nullptr || format == nullptr)
        return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length >= 0) {
        // Formatted here and passed as one argument: the engine's Log takes no va_list.
        std::vector<char> line(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(line.data(), line.size(), format, args);
        m_pEngine->Log("%s", line.data());
    }
    va_end(args);
}
