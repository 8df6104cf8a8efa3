// EngineLog.cpp: log file writing and the test hook.
#include "platform/EngineLog.h"

#include "platform/Engine.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
EngineLogHook g_logHook = nullptr;
void* g_pLogHookUser = nullptr;
}  // namespace

void EngineSetLogHook(EngineLogHook hook, void* user)
{
    g_logHook = hook;
    g_pLogHookUser = user;
}

EngineLog::EngineLog()
{
    const char* echo = std::getenv("SOL_LOG_STDERR");
    m_bEchoStderr = echo != nullptr && std::strcmp(echo, "1") == 0;
}

EngineLog::~EngineLog()
{
    Close();
}

void EngineLog::SetFile(const std::string& gamePath)
{
    Close();
    if (gamePath.empty())
        return;
    m_pFile = std::fopen(fs_layer::ResolvePath(gamePath).c_str(), "w");
}

void EngineLog::Close()
{
    if (m_pFile != nullptr)
        std::fclose(m_pFile);
    m_pFile = nullptr;
}

void EngineLog::Printf(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    Write(format, args);
    va_end(args);
}

void EngineLog::Write(const char* format, va_list args)
{
    if (format == nullptr)
        return;
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0)
        return;
    std::vector<char> line(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(line.data(), line.size(), format, args);
    if (m_pFile != nullptr) {
        std::fprintf(m_pFile, "%s\n", line.data());
        std::fflush(m_pFile);  // the log must survive a crash
    }
    if (m_bEchoStderr)
        std::fprintf(stderr, "%s\n", line.data());
    if (g_logHook != nullptr)
        g_logHook(line.data(), g_pLogHookUser);
}
