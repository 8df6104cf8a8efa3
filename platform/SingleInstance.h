// SingleInstance.h: keeps a second copy of the game from running beside the first.
//
// The guard is an exclusive lock on the file "<name>.lock", in the user's runtime folder (one
// window per user) or in a given folder (one game per data folder). The lock goes with the
// process, so a crashed game never leaves a stale guard behind; a second start that finds the
// lock taken changes nothing (the file is neither truncated nor removed). A folder in which no
// lock file exists and none can be made (read-only) needs no guard: nothing can be written there.
#pragma once

#include <string>

class CSingleInstance {
public:
    explicit CSingleInstance(const std::string& name);           // in the user's runtime folder
    CSingleInstance(const std::string& name, const std::string& hostFolder);
    ~CSingleInstance();  // releases the lock when held
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    bool Acquire();      // false when another instance holds the lock (or it cannot be taken)
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    bool IsHeldElsewhere() const { return m_bHeldElsewhere; }  // the last Acquire found it taken
    const std::string& GetPath() const { return m_sPath; }

private:
    std::string m_sPath;
    int m_fd = -1;
    bool m_bHeldElsewhere = false;
};
