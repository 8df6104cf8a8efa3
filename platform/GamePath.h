// GamePath.h: a game path opened folder by folder from the game's root, for the file layer.
//
// Each folder below the root is opened within the one before it, and the file layer then reads,
// writes, renames or removes the last part within the last folder it holds open: whatever anyone
// renames meanwhile, what is used is what was checked. A folder on the way that is a link is
// followed as host_files::OpenFolderAt says (when this user or root made it, or it leads to its
// maker's own folder, or for reading to root's that everyone may read); otherwise the path is
// refused, and the refusal is told once per link and use (see fs_layer::SetNoticeLog). The root
// is the user's choice and is opened as it is named; so is an absolute host path.
//
//     const CGamePath path("DATA\\save.dat", host_files::EUse::kWrite);
//     if (path.Folder() >= 0) ::unlinkat(path.Folder(), path.Name().c_str(), 0);
#pragma once

#include "platform/files/HostFiles.h"

#include <string>
#include <vector>

namespace fs_layer {

// The parts of a game path: "\" or "/" between them, empty parts and "." left out.
std::vector<std::string> SplitParts(const std::string& gamePath);
// Tells the line through the notice log (fs_layer::SetNoticeLog) once per link path and use;
// nothing while no log is set.
void TellOnce(const std::string& linkPath, host_files::EUse use, const std::string& line);
char LowerAscii(char c);  // game paths compare without case, in ASCII only

class CGamePath {
public:
    enum class EWhole {
        kFile,    // the last part is a name in the folder held open
        kFolder,  // every part is a folder; the last is the one held open
    };
    // `create` makes the missing folders on the way (shared with the group as the folder above).
    CGamePath(const std::string& gamePath, host_files::EUse use, bool create = false, EWhole whole = EWhole::kFile);
    ~CGamePath();
    CGamePath(const CGamePath&) = delete;
    CGamePath& operator=(const CGamePath&) = delete;

    int Folder() const { return m_folder; }  // -1: missing, unreadable or refused (Error(), Why())
    const std::string& Name() const { return m_name; }  // the last part as found (in any case)
    const std::string& FolderPath() const { return m_folderPath; }  // host path of the folder
    std::string HostPath() const;                        // of the whole path, for messages
    int Error() const { return m_error; }                // errno of the failed folder, EACCES when refused
    bool Refused() const { return !m_why.empty(); }      // a link on the way is not followed
    const std::string& Why() const { return m_why; }     // "folder data: a link of user 1002 leads to ..."

private:
    void OpenFolders(const std::vector<std::string>& parts, host_files::EUse use, bool create);

    int m_folder = -1;
    int m_error = 0;
    std::string m_folderPath;
    std::string m_name;
    std::string m_why;
};

}  // namespace fs_layer
