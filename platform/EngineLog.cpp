// EngineLog.cpp: log file writing and the test hook.
#include "platform/EngineLog.h"

#include "platform/Engine.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <cstring>

namespace {
EngineLogHook g_logHook = nullptr;
void* g_pLogHookUser = nullptr;

// Lines quote what the game read (level values, script lines, names from the data), and any of
// those may be megabytes: a line keeps this much and says how long it was.
constexpr std::size_t kMaxLineBytes = 400;
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
    // One byte past the limit is kept, to tell whether the cut falls inside a UTF-8 character.
    char formatted[kMaxLineBytes + 2];
    const int length = std::vsnprintf(formatted, sizeof formatted, format, args);
    if (length < 0)
        return;
    std::string line(formatted);
    if (static_cast<std::size_t>(length) > kMaxLineBytes) {
        std::size_t cut = kMaxLineBytes;
        while (cut > 0 && (static_cast<unsigned char>(formatted[cut]) & 0xC0) == 0x80)
            --cut;
        line.resize(cut);
        line += "... (" + std::to_string(length) + " bytes)";
    }
    if (m_pFile != nullptr) {
        std::fprintf(m_pFile, "%s\n", line.c_str());
        std::fflush(m_pFile);  // the log must survive a crash
    }
    if (m_bEchoStderr)
        std::fprintf(stderr, "%s\n", line.c_str());
    if (g_logHook != nullptr)
        g_logHook(line.c_str(), g_pLogHookUser);
}
