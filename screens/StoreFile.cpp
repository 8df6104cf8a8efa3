// StoreFile.cpp: bounded reads, replace-by-rename writes and keeping damaged files aside.
#include "screens/StoreFile.h"

#include "platform/Engine.h"
#include "platform/FileSystem.h"

#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

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
    const std::string hostPath = fs_layer::ResolvePath(gamePath);
    const std::string tempPath = hostPath + ".tmp";
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path(), error);
    {
        std::ofstream file(tempPath, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file.good()) {
            file.close();
            std::filesystem::remove(tempPath, error);
            Log("[E] Can't save file %s", gamePath.c_str());
            return false;
        }
    }
    std::filesystem::rename(tempPath, hostPath, error);
    if (error) {
        std::filesystem::remove(tempPath, error);
        Log("[E] Can't save file %s", gamePath.c_str());
        return false;
    }
    return true;
}

namespace {

std::string MoveToBad(const std::string& gamePath)
{
    const std::string badPath = gamePath + ".bad";
    std::error_code error;
    std::filesystem::rename(fs_layer::ResolvePath(gamePath), fs_layer::ResolvePath(badPath), error);
    return badPath;
}

}  // namespace

void KeepAside(const std::string& gamePath)
{
    const std::string badPath = MoveToBad(gamePath);
    Log("[W] File %s is damaged, kept as %s; defaults used", gamePath.c_str(), badPath.c_str());
}

void KeepAsideOtherVersion(const std::string& gamePath, std::uint32_t version)
{
    const std::string badPath = MoveToBad(gamePath);
    Log("[W] File %s has version %u, kept as %s", gamePath.c_str(), version, badPath.c_str());
}

std::string DataPath(const std::string& name)
{
    return "data\\" + name;
}

void Log(const char* format, ...)
{
    IEngine* engine = engine2dCreate(kEngineVersion);
    if (engine == nullptr)
        return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    engine->Log("%s", line);
    engine->Release();
}

}  // namespace store_file
