// EngineLog.h: the engine's log file: one flushed line per call, printf-formatted; a line
// longer than 400 bytes keeps those and tells its length instead of the rest.
// Setting the file starts it anew at once, so lines logged before the window opens are kept; a log
// that can't be written is said on stderr.
// SOL_LOG_STDERR=1 echoes every line to stderr; a hook (tests) sees every line too.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

class EngineLog {
public:
    EngineLog();
    ~EngineLog();
    EngineLog(const EngineLog&) = delete;
    EngineLog& operator=(const EngineLog&) = delete;

    void SetFile(const std::string& gamePath);
    void Write(const char* format, va_list args);
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Close();
    // The last error line logged, without its "[E] " and area ("Engine: "), on stderr too, for a
    // start that ends on it: whoever started the run sees why where they look.
    void TellLastErrorOnStderr() const;

private:
    std::FILE* m_pFile = nullptr;
    bool m_bEchoStderr = false;
    std::string m_lastError;
};
