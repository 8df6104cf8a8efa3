// StoreNotices.h: what the player stores have to tell the player, kept until the shell shows it.
//
// The stores sit below every screen, so they report upward through this queue: a save that
// fails, a data folder that cannot be written, or a file of the player's that is not read (and
// so left as it is), becomes a notice that the shell takes to open a window. A failing file gives one notice (and one line on stderr) until a save of it succeeds
// again; the log gets every failure. Log lines wait here while the log is held: the profile store
// loads before the engine opens the log, and what it finds must still reach the log.
#pragma once

#include <string>

namespace store_notices {

enum class ENotice {
    kSaveFailed,        // a file can't be written; the next save tries again
    kFolderUnwritable,  // the whole data folder cannot be written
    kNotRead,           // a file was not read, and this run writes nothing over it
};

struct Notice {
    std::string gamePath;  // the file or folder as the game names it: "data\save.dat", "data"
    std::string reason;    // the system's words: "No space left on device", "a link stands at its name"
    ENotice kind = ENotice::kSaveFailed;
};

void HoldLog();     // keep log lines from now on
void ReleaseLog();  // write the kept lines to the engine's log, then log straight away again
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

void SaveFailed(const std::string& gamePath, const std::string& reason);
void SaveSucceeded(const std::string& gamePath);
void FolderUnwritable(const std::string& gamePath, const std::string& reason);
// A file of the player's (the configuration, a store) that is not taken as hers, for `reason`:
// logged ("[W] File data\save.dat: <reason>; it is not read, and this run writes nothing over
// it") and queued. It stays as it is: IsLeftAlone tells the writers for the rest of the run.
void NotRead(const std::string& gamePath, const std::string& reason);
bool IsLeftAlone(const std::string& gamePath);

bool TakeNotice(Notice& out);  // the oldest notice not yet taken
void Clear();                  // forgets notices, failing files and kept lines (a new run)

}  // namespace store_notices
