// GamePath.cpp: the walk from the root to a game path's folder, and the refusals it tells.
#include "platform/GamePath.h"

#include "platform/AsciiCase.h"
#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <set>

namespace fs_layer {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

struct Notices {
    NoticeLog log = nullptr;
    std::set<std::string> told;  // a link's host path and its use
};

Notices& GetNotices()
{
    static Notices notices;
    return notices;
}

}  // namespace

// Once per link and use: a game reads or writes many files in one folder. Kept for later while no
// one takes the lines.
void TellOnce(const std::string& linkPath, host_files::EUse use, const std::string& line)
{
    Notices& notices = GetNotices();
    if (notices.log == nullptr || !notices.told.insert(linkPath + (use == host_files::EUse::kRead ? "\n" : "\t")).second)
        return;
    notices.log(line.c_str());
}

namespace {

// The entry of the folder whose name equals `name` without regard to case, or `name` itself when
// the exact name exists or nothing matches (a file about to be created keeps the case given).
std::string MatchEntry(int folder, const std::string& name)
{
    struct stat st;
    if (name == ".." || ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return name;
    for (const std::string& entry : host_files::ListNamesAt(folder))
        if (ascii_case::Equal(entry, name))
            return entry;
    return name;
}

}  // namespace

void SetNoticeLog(NoticeLog log)
{
    GetNotices().log = log;
}

char LowerAscii(char c)
{
    return ascii_case::Lower(c);
}

std::vector<std::string> SplitParts(const std::string& gamePath)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : gamePath) {
        if (c == '/' || c == '\\') {
            if (!part.empty() && part != ".")
                parts.push_back(part);
            part.clear();
            continue;
        }
        part += c;
    }
    if (!part.empty() && part != ".")
        parts.push_back(part);
    return parts;
}

CGamePath::CGamePath(const std::string& gamePath, host_files::EUse use, bool create, EWhole whole)
{
    std::vector<std::string> parts = SplitParts(gamePath);
    if (whole == EWhole::kFile && !parts.empty()) {
        m_name = parts.back();
        parts.pop_back();
    }
    if (gamePath.empty() || gamePath[0] != '/') {
        OpenFolders(parts, use, create);
        if (m_folder >= 0 && !m_name.empty())
            m_name = MatchEntry(m_folder, m_name);
        return;
    }
    for (const std::string& part : parts)
        m_folderPath += "/" + part;
    if (m_folderPath.empty())
        m_folderPath = "/";
    if (create)
        (void)host_files::CreateFolders(m_folderPath);
    m_folder = ::open(m_folderPath.c_str(), kFolderFlags);
    m_error = m_folder < 0 ? errno : 0;
}

CGamePath::~CGamePath()
{
    if (m_folder >= 0)
        ::close(m_folder);
}

std::string CGamePath::HostPath() const
{
    if (m_name.empty())
        return m_folderPath;
    return m_folderPath == "/" ? "/" + m_name : m_folderPath + "/" + m_name;
}

// Past a folder that is missing the parts keep the case given, so a path to be made is named.
void CGamePath::OpenFolders(const std::vector<std::string>& parts, host_files::EUse use, bool create)
{
    m_folderPath = GetRootFolder();
    m_folder = ::open(m_folderPath.c_str(), kFolderFlags);
    m_error = m_folder < 0 ? errno : 0;
    std::string under;  // the folders opened so far, as found: how the game names a link among them
    for (const std::string& part : parts) {
        const std::string found = m_folder >= 0 ? MatchEntry(m_folder, part) : part;
        m_folderPath += "/" + found;
        if (m_folder < 0)
            continue;
        under += (under.empty() ? "" : "/") + found;
        std::string distrust;
        const int next = host_files::OpenFolderAt(m_folder, found, use, create, &distrust);
        m_error = next < 0 ? errno : 0;
        ::close(m_folder);
        m_folder = next;
        if (distrust.empty())
            continue;
        m_why = "folder " + under + ": " + distrust;
        TellOnce(m_folderPath, use, "[W] Folder " + under + ": " + distrust +
                                    (use == host_files::EUse::kRead ? "; nothing is read through it"
                                                                    : "; nothing is written or removed through it"));
    }
}

}  // namespace fs_layer
