// StoreNotices.cpp: the notice queue, the failing files and the held log lines.
#include "progress/StoreNotices.h"

#include "platform/EngineRef.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <deque>
#include <vector>

namespace store_notices {
namespace {

constexpr std::size_t kMaxHeldLines = 200;  // a start-up logs a handful; more is a runaway loop
constexpr std::size_t kMaxNotices = 20;

struct State {
    bool holding = false;
    std::vector<std::string> heldLines;
    std::vector<std::string> failing;  // game paths whose last save failed
    std::vector<std::string> leftAlone;  // game paths not read in this run, so not written either
    std::deque<Notice> notices;
};

State& Get()
{
    static State state;
    return state;
}

void WriteLine(const std::string& line)
{
    State& state = Get();
    if (!state.holding) {
        CEngineRef().Log("%s", line.c_str());
        return;
    }
    if (state.heldLines.size() < kMaxHeldLines)
        state.heldLines.push_back(line);
}

bool IsInside(const std::string& gamePath, const std::string& folder)
{
    return gamePath.size() > folder.size() && gamePath.compare(0, folder.size(), folder) == 0 &&
           (gamePath[folder.size()] == '\\' || gamePath[folder.size()] == '/');
}

// Known to fail: the file itself, or its folder, which the player was told of at start.
bool IsKnownFailing(const std::string& gamePath)
{
    const std::vector<std::string>& failing = Get().failing;
    return std::any_of(failing.begin(), failing.end(), [&gamePath](const std::string& known) {
        return known == gamePath || IsInside(gamePath, known);
    });
}

void Push(Notice notice)
{
    std::deque<Notice>& notices = Get().notices;
    if (notices.size() < kMaxNotices)
        notices.push_back(std::move(notice));
}

}  // namespace

void HoldLog()
{
    Get().holding = true;
}

void ReleaseLog()
{
    State& state = Get();
    state.holding = false;
    if (state.heldLines.empty())
        return;  // no engine reference: after teardown one would start an engine of its own
    std::vector<std::string> lines;
    lines.swap(state.heldLines);
    CEngineRef engine;
    for (const std::string& line : lines)
        engine.Log("%s", line.c_str());
}

void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    char line[1024];
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    WriteLine(line);
}

void SaveFailed(const std::string& gamePath, const std::string& reason)
{
    const std::string line = "[E] Can't save file " + gamePath + " (" + reason + ")";
    WriteLine(line);
    if (IsKnownFailing(gamePath))
        return;  // the player knows already; the game keeps trying at every save
    Get().failing.push_back(gamePath);
    std::fprintf(stderr, "%s\n", line.c_str());
    Push({gamePath, reason, ENotice::kSaveFailed});
}

void SaveSucceeded(const std::string& gamePath)
{
    if (!IsKnownFailing(gamePath))
        return;
    std::vector<std::string>& failing = Get().failing;
    failing.erase(std::remove_if(failing.begin(), failing.end(),
                                 [&gamePath](const std::string& known) {
                                     return known == gamePath || IsInside(gamePath, known);
                                 }),
                  failing.end());
    WriteLine("[I] File " + gamePath + " saved again");
}

void FolderUnwritable(const std::string& gamePath, const std::string& reason)
{
    const std::string line = "[E] Folder " + gamePath + " can't be written (" + reason + "); progress will not be kept";
    WriteLine(line);
    std::fprintf(stderr, "%s\n", line.c_str());
    Get().failing.push_back(gamePath);
    Push({gamePath, reason, ENotice::kFolderUnwritable});
}

void NotRead(const std::string& gamePath, const std::string& reason)
{
    if (IsLeftAlone(gamePath))
        return;
    WriteLine("[W] File " + gamePath + ": " + reason + "; it is not read, and this run writes nothing over it");
    Get().leftAlone.push_back(gamePath);
    Push({gamePath, reason, ENotice::kNotRead});
}

bool IsLeftAlone(const std::string& gamePath)
{
    const std::vector<std::string>& leftAlone = Get().leftAlone;
    return std::find(leftAlone.begin(), leftAlone.end(), gamePath) != leftAlone.end();
}

bool TakeNotice(Notice& out)
{
    std::deque<Notice>& notices = Get().notices;
    if (notices.empty())
        return false;
    out = std::move(notices.front());
    notices.pop_front();
    return true;
}

void Clear()
{
    State& state = Get();
    state = State();
}

}  // namespace store_notices
