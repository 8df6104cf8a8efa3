// SingleInstance.h: keeps a second copy of the game from running beside the first.
//
// The guard is an exclusive lock on the file "<name>.lock", in the user's runtime folder (one
// window per user) or in a given folder (one game per data folder). The lock goes with the
// process, so a crashed game never leaves a stale guard behind, and a forked child closes it at
// once, so a child that outlives a killed game does not hold it either. A second start that finds
// the lock taken changes nothing (the file is neither truncated nor removed). The file is readable
// by all (the umask permitting): a user who may not write the folder can still take the lock on it.
// A folder that this user cannot write, and in which no lock file can be opened, needs no guard:
// nothing of this user's can be written there. The lock file is never made or opened through a
// link: one found at its name is removed and the file made in its place. The user's runtime
// folder is one only this user could have made (fs_layer::UserRuntimeFolder); where there is
// none, no lock is taken there and the result says so.
#pragma once

#include <string>

enum class ELockResult {
    kHeld,           // this process holds the lock
    kNotNeeded,      // no lock file can be opened and the folder can't be written: nothing to guard
    kNoLocking,      // the file system has no locks (NFS without a lock manager): run unguarded
    kHeldElsewhere,  // another copy holds it
    kFailed,         // it can't be taken: a missing folder, a lock file this user may not open
    kNoFolder,       // no runtime folder of this user's own to keep it in: run unguarded (GetReason says why)
};

class CSingleInstance {
public:
    explicit CSingleInstance(const std::string& name);           // in the user's runtime folder
    CSingleInstance(const std::string& name, const std::string& hostFolder);
    ~CSingleInstance();  // releases the lock when held
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    bool Acquire();      // true when the game may run: held, not needed, not possible here or nowhere to keep
    void Release();
    bool IsHeld() const { return m_fd >= 0; }
    bool IsHeldElsewhere() const { return m_result == ELockResult::kHeldElsewhere; }  // the last Acquire found it taken
    ELockResult GetResult() const { return m_result; }
    const std::string& GetReason() const { return m_sReason; }  // the system's words for kNoLocking, kFailed, kNoFolder
    const std::string& GetPath() const { return m_sPath; }
    bool ReplacedLink() const { return m_bReplacedLink; }  // the last Acquire removed a link at the lock's name

private:
    ELockResult Lock(int fd);
    ELockResult OpenAndLock();
    bool HoldsTheName() const;  // the held file still stands at the lock's name

    std::string m_sPath;
    std::string m_sReason;
    int m_fd = -1;
    int m_nOwner = 0;  // the process that took the lock; a forked child has closed its copy
    std::string m_sNoFolder;  // why there is no runtime folder, when the path is empty for want of one
    ELockResult m_result = ELockResult::kFailed;
    bool m_bReplacedLink = false;
};
