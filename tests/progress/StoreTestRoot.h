// StoreTestRoot.h: a fresh game root folder per test, with the fake engine capturing the log.
#pragma once

#include "platform/FileSystem.h"
#include "progress/StoreNotices.h"
#include "solvers/FakeEngine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

class StoreTestRoot : public ::testing::Test {
protected:
    void SetUp() override
    {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // Other builds of these tests may run at the same time on the machine: a random part
        // keeps their folders apart.
        m_root = std::filesystem::temp_directory_path() /
                 ("palmora-store-" + std::string(info->name()) + "-" + std::to_string(std::random_device()()) + "-" +
                  std::to_string(counter++));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root / "data");
        fs_layer::SetRootFolder(m_root.string());
        store_notices::Clear();
    }

    void TearDown() override
    {
        std::error_code error;
        std::filesystem::remove_all(m_root, error);
    }

    std::filesystem::path HostPath(const std::string& relative) const { return m_root / relative; }

    bool Exists(const std::string& relative) const { return std::filesystem::exists(HostPath(relative)); }

    std::vector<std::uint8_t> ReadBytes(const std::string& relative) const
    {
        std::ifstream file(HostPath(relative), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    void WriteBytes(const std::string& relative, const std::vector<std::uint8_t>& bytes) const
    {
        std::ofstream file(HostPath(relative), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    ScopedFakeEngine m_fake;
    std::filesystem::path m_root;
};

// Little-endian helpers for building and inspecting file images.
inline void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline std::int32_t GetI32(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[at + static_cast<std::size_t>(i)]) << (8 * i);
    return static_cast<std::int32_t>(value);
}
