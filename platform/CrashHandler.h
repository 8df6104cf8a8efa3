// CrashHandler.h: writes a diagnostic file when the process crashes.
//
// Installs handlers for the fatal signals (segmentation fault, bus error, illegal instruction,
// floating-point error, abort) that run on a stack of their own, so a stack overflow is caught
// too. The handler cannot ask the user safely inside a signal, so it writes "dump/<name>.dmp"
// under the game's root folder without asking (the signal and a backtrace), prints where it went
// on stderr, and lets the signal end the process as it would have. Start-up does not install one.
#pragma once

#include <string>

class CCrashHandler {
public:
    explicit CCrashHandler(const char* name);  // null: "Application"
    ~CCrashHandler();                          // the handlers stay installed
    CCrashHandler(const CCrashHandler&) = delete;
    CCrashHandler& operator=(const CCrashHandler&) = delete;

    const std::string& GetName() const { return m_sName; }
    static std::string DumpPath(const char* name);  // host path of the dump file

private:
    std::string m_sName;
};
