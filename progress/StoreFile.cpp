// StoreFile.cpp: bounded reads, whole-file writes and keeping damaged files aside.
#include "progress/StoreFile.h"

#include "platform/FileSystem.h"
#include "progress/StoreNotices.h"

#include <algorithm>
#include <cstdlib>

namespace store_file {

namespace {

std::string FolderOf(const std::string& gamePath)
{
    const std::size_t slash = gamePath.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : gamePath.substr(0, slash + 1);
}

// Every save has a temporary file of its own, so one that a killed run left behind is never
// reused; the data folder's lock keeps other writers out, so any found now is such a leftover.
// Only this user's go: another user's (in a folder a group shares) are theirs to clear.
void RemoveLeftTemporaries(const std::string& gamePath)
{
    fs_layer::RemoveLeftovers(gamePath + ".tmp.*");
}

}  // namespace

// A link at the store's name is not read through: whoever put it there may have pointed it at a
// file of this user's that a save would copy into a folder they may read. Nor is a second name
// someone else may have given to a file of hers. Either may be hers (a backup kept as a hard
// link), so it is left as it is: the player is told, and this run saves nothing over it.
ReadResult Read(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize)
{
    out.clear();
    RemoveLeftTemporaries(gamePath);
    std::string why;
    switch (fs_layer::ReadWithoutLink(gamePath, out, maxSize, &why)) {
    case host_files::ERead::kRead:
        return ReadResult::Ok;
    case host_files::ERead::kLink:
        store_notices::NotRead(gamePath, why);
        return ReadResult::Missing;
    case host_files::ERead::kMissing:
    case host_files::ERead::kNotAFile:
        return ReadResult::Missing;
    case host_files::ERead::kUnreadable:
        break;
    }
    return ReadResult::Damaged;
}

bool Write(const std::string& gamePath, const std::vector<std::uint8_t>& bytes)
{
    if (store_notices::IsLeftAlone(gamePath))
        return false;  // the player was told at the start
    host_files::WriteOptions options;
    options.createFolders = true;
    bool replacedLink = false;
    options.replacedLink = &replacedLink;
    std::string why;
    if (fs_layer::WriteWholeFile(gamePath, bytes.data(), bytes.size(), options, &why)) {
        if (replacedLink)
            store_notices::Log("[W] A link stood at %s; it was replaced", gamePath.c_str());
        store_notices::SaveSucceeded(gamePath);
        return true;
    }
    store_notices::SaveFailed(gamePath, why);
    return false;
}

namespace {

const char* const kDataFolder = "data";
const char* const kBadSuffix = ".bad.";

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The numbers of the files kept aside from this one ("save.dat.bad.3" is 3), lowest first.
std::vector<long> KeptAsideNumbers(const std::string& gamePath)
{
    const std::string prefix = gamePath.substr(FolderOf(gamePath).size()) + kBadSuffix;
    std::vector<long> numbers;
    for (const std::string& name : fs_layer::FindFiles(gamePath + kBadSuffix + "*")) {
        const std::string digits = name.substr(std::min(prefix.size(), name.size()));
        if (digits.empty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), IsDigit))
            continue;
        numbers.push_back(std::strtol(digits.c_str(), nullptr, 10));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string KeptAsidePath(const std::string& gamePath, long number)
{
    return gamePath + kBadSuffix + std::to_string(number);
}

// Moves the file to the next free number and drops the oldest beyond the ten newest. Empty when
// the file cannot move (a read-only folder); it is still not used.
std::string MoveAside(const std::string& gamePath)
{
    std::vector<long> numbers = KeptAsideNumbers(gamePath);
    long next = numbers.empty() ? 1 : numbers.back() + 1;
    std::string kept;
    for (int attempt = 0; attempt < 10 && kept.empty(); ++attempt, ++next) {
        if (fs_layer::RenameFileNoReplace(gamePath, KeptAsidePath(gamePath, next)))
            kept = KeptAsidePath(gamePath, next);
    }
    if (kept.empty())
        return kept;
    numbers = KeptAsideNumbers(gamePath);
    for (std::size_t i = 0; i + kKeptAsideFiles < numbers.size(); ++i)
        (void)fs_layer::DeleteFile(KeptAsidePath(gamePath, numbers[i]));
    return kept;
}

}  // namespace

void KeepAside(const std::string& gamePath)
{
    const std::string kept = MoveAside(gamePath);
    if (kept.empty()) {
        store_notices::Log("[W] File %s is damaged and can't be moved aside; defaults used", gamePath.c_str());
        return;
    }
    store_notices::Log("[W] File %s is damaged, kept as %s; defaults used", gamePath.c_str(), kept.c_str());
}

void KeepAsideOtherVersion(const std::string& gamePath, std::uint32_t version)
{
    const std::string kept = MoveAside(gamePath);
    store_notices::Log("[W] File %s has version %u, kept as %s", gamePath.c_str(), version,
                       kept.empty() ? "it is (it can't be moved)" : kept.c_str());
}

std::string DataPath(const std::string& name)
{
    return std::string(kDataFolder) + "\\" + name;
}

namespace {

// The probe is a file of its own, made and removed at once; one that a run killed in between left
// behind is removed as the stores remove theirs (the data folder's lock keeps other runs out).
bool CanCreateFilesIn(const std::string& folder, std::string& why)
{
    const std::string prefix = folder.empty() ? std::string() : folder + "\\";
    fs_layer::RemoveLeftovers(prefix + host_files::kWriteTestName + ".tmp.*");
    return fs_layer::CanCreateFiles(folder, &why);
}

}  // namespace

bool CheckDataFolder()
{
    std::string why;  // of a folder that can't be made ("Not a directory": a file holds its name) or written
    if (fs_layer::CreateDirectory(kDataFolder, &why) && CanCreateFilesIn(kDataFolder, why))
        return true;
    store_notices::FolderUnwritable(kDataFolder, why);
    return false;
}

}  // namespace store_file
