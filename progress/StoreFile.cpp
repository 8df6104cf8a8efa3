// StoreFile.cpp: bounded reads, whole-file writes and keeping damaged files aside.
#include "progress/StoreFile.h"

#include "platform/EngineRef.h"
#include "platform/FileSystem.h"

namespace store_file {

ReadResult Read(const std::string& gamePath, std::vector<std::uint8_t>& out, std::size_t maxSize)
{
    out.clear();
    if (!fs_layer::FileExists(gamePath))
        return ReadResult::Missing;
    if (!fs_layer::ReadWholeFile(gamePath, out, maxSize) || out.size() > maxSize)
        return ReadResult::Damaged;
    return ReadResult::Ok;
}

bool Write(const std::string& gamePath, const std::vector<std::uint8_t>& bytes)
{
    host_files::WriteOptions options;
    options.createFolders = true;
    if (fs_layer::WriteWholeFile(gamePath, bytes.data(), bytes.size(), options))
        return true;
    CEngineRef().Log("[E] Can't save file %s", gamePath.c_str());
    return false;
}

namespace {

std::string MoveToBad(const std::string& gamePath)
{
    const std::string badPath = gamePath + ".bad";
    (void)fs_layer::RenameFile(gamePath, badPath);  // a file that cannot move is still not used
    return badPath;
}

}  // namespace

void KeepAside(const std::string& gamePath)
{
    const std::string badPath = MoveToBad(gamePath);
    CEngineRef().Log("[W] File %s is damaged, kept as %s; defaults used", gamePath.c_str(), badPath.c_str());
}

void KeepAsideOtherVersion(const std::string& gamePath, std::uint32_t version)
{
    const std::string badPath = MoveToBad(gamePath);
    CEngineRef().Log("[W] File %s has version %u, kept as %s", gamePath.c_str(), version, badPath.c_str());
}

std::string DataPath(const std::string& name)
{
    return "data\\" + name;
}

}  // namespace store_file
