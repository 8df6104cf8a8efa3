// FeedbackSystem: the system facts the feedback client needs, behind plain types: where its own file and the
// host program lie, and whether a debugger watches the process. Each answer is empty or false when unknown.
#pragma once
#include <string>

class FeedbackSystem {
public:
    static std::string OwnModulePath();    // the shared library (or program) this code was linked into
    static std::string HostProgramPath();  // the running program's file
    static bool DebuggerAttached();
    static std::string UserName();         // the login name of the process's user
};
