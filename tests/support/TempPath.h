// TempPath.h: file names in the test temporary folder that no other test process shares.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include <unistd.h>

// Several build trees (and ctest -j) run the same tests at once: a fixed name in the shared
// temporary folder would be rewritten by one run while another reads it. Each test process keeps
// its files in a folder of its own, which goes when the process ends, so that runs leave nothing
// behind.
class CTestTempFolder {
public:
    CTestTempFolder() : m_owner(::getpid()), m_path(::testing::TempDir() + "sol-test-" + std::to_string(m_owner) + "/")
    {
        std::error_code ignored;
        std::filesystem::create_directories(m_path, ignored);
    }
    ~CTestTempFolder()
    {
        // A forked child that exits normally must not take the parent's files with it.
        if (::getpid() != m_owner)
            return;
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CTestTempFolder(const CTestTempFolder&) = delete;
    CTestTempFolder& operator=(const CTestTempFolder&) = delete;
    const std::string& Path() const { return m_path; }

private:
    pid_t m_owner;
    std::string m_path;
};

inline std::string UniqueTempPath(const std::string& name)
{
    static const CTestTempFolder folder;
    return folder.Path() + name;
}
