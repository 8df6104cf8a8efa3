// EngineLog.cpp: log file writing and the test hook.
#include "platform/EngineLog.h"

#include "platform/Engine.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

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

// Each run's log starts anew in a file of its own, made under a temporary name and renamed over
// whatever held the name: a link someone put there is replaced, never written through, and a log
// another user left is replaced as well (in a folder both may write). Where no file can be made
// there, this user's own old log is emptied and written; failing that, stderr says so once, as
// nothing else would.
void EngineLog::SetFile(const std::string& gamePath)
{
    Close();
    if (gamePath.empty())
        return;
    const std::string hostPath = fs_layer::ResolvePath(gamePath);
    fs_layer::RemoveLeftovers(gamePath + ".tmp.*");
    std::string why;
    bool replacedLink = false;
    int fd = host_files::ReplaceWithNewFile(hostPath, 0666, &why, &replacedLink);
    if (fd < 0)
        fd = host_files::OpenOwnFile(hostPath, O_WRONLY | O_TRUNC);
    if (fd >= 0)
        m_pFile = ::fdopen(fd, "w");
    if (m_pFile != nullptr) {
        if (replacedLink)
            Printf("[W] A link stood at %s; it was replaced", gamePath.c_str());
        return;
    }
    if (fd >= 0) {
        why = std::strerror(errno);
        ::close(fd);
    }
    std::fprintf(stderr, "[E] Log %s can't be written (%s); this run keeps none\n", gamePath.c_str(), why.c_str());
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
    if (line.rfind("[E] ", 0) == 0)
        m_lastError = line;
    if (m_pFile != nullptr) {
        std::fprintf(m_pFile, "%s\n", line.c_str());
        std::fflush(m_pFile);  // the log must survive a crash
    }
    if (m_bEchoStderr)
        std::fprintf(stderr, "%s\n", line.c_str());
    if (g_logHook != nullptr)
        g_logHook(line.c_str(), g_pLogHookUser);
}

void EngineLog::TellLastErrorOnStderr() const
{
    if (m_bEchoStderr || m_lastError.empty())
        return;  // said there already, or nothing to say
    std::string said = m_lastError.substr(4);
    const std::size_t area = said.find(": ");
    if (area != std::string::npos && said.find(' ') > area)
        said.erase(0, area + 2);
    std::fprintf(stderr, "%s\n", said.c_str());
}
