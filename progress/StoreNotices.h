// StoreNotices.h: what the player stores have to tell the player, kept until the shell shows it.
//
// The stores sit below every screen, so they report upward through this queue: a save that
// fails, or a data folder that cannot be written, becomes a notice that the shell takes to open
// a window. A failing file gives one notice (and one line on stderr) until a save of it succeeds
// again; the log gets every failure. Log lines wait here while the log is held: the profile store
// loads before the engine opens the log, and what it finds must still reach the log.
#pragma once

#include <string>

namespace store_notices {

struct Notice {
    std::string gamePath;  // the file or folder as the game names it: "data\save.dat", "data"
    std::string reason;    // the system's words: "No space left on device"
    bool folder = false;   // the whole data folder cannot be written
};

void HoldLog();     // keep log lines from now on
void ReleaseLog();  // write the kept lines to the engine's log, then log straight away again
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

void SaveFailed(const std::string& gamePath, const std::string& reason);
void SaveSucceeded(const std::string& gamePath);
void FolderUnwritable(const std::string& gamePath, const std::string& reason);

bool TakeNotice(Notice& out);  // the oldest notice not yet taken
void Clear();                  // forgets notices, failing files and kept lines (a new run)

}  // namespace store_notices
