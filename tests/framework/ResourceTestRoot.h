// ResourceTestRoot.h: a fake engine over a temporary game folder, for the resource tests (and,
// as EngineTestRoot<FileIniEngine>, for readers of whole INI files such as the level loader).
#pragma once

#include "platform/FileSystem.h"
#include "solvers/FakeEngine.h"
#include "support/HeadlessEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

template <class Engine>
class EngineTestRoot : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = MakeTempRoot();
        ASSERT_FALSE(m_root.empty());
        fs_layer::SetRootFolder(m_root);
    }

    void TearDown() override
    {
        fs_layer::SetRootFolder(fs_layer::DefaultRootFolder());
        RemoveTree(m_root);
    }

    std::string HostPath(const std::string& rel) const { return m_root + "/" + rel; }

    void WriteFile(const std::string& rel, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(HostPath(rel)).parent_path());
        std::ofstream out(HostPath(rel), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    std::filesystem::file_time_type FileTime(const std::string& rel) const
    {
        return std::filesystem::last_write_time(HostPath(rel));
    }

    void SetFileTime(const std::string& rel, std::filesystem::file_time_type time)
    {
        std::filesystem::last_write_time(HostPath(rel), time);
    }

    bool Exists(const std::string& rel) const { return std::filesystem::exists(HostPath(rel)); }

    std::vector<std::string> LogLinesStartingWith(const std::string& prefix)
    {
        std::vector<std::string> lines;
        for (const std::string& line : m_fake->logLines)
            if (line.compare(0, prefix.size(), prefix) == 0)
                lines.push_back(line);
        return lines;
    }

    int CountLogLinesStartingWith(const std::string& prefix)
    {
        return static_cast<int>(LogLinesStartingWith(prefix).size());
    }

    ScopedEngine<Engine> m_fake;  // first: outlives every object under test
    std::string m_root;
};

using ResourceTestRoot = EngineTestRoot<FakeEngine>;
