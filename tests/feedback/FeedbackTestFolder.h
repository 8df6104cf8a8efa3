// FeedbackTestFolder: a fresh temporary folder per test, removed with everything in it at the end.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

class FeedbackTestFolder {
public:
    FeedbackTestFolder()
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() /
                 ("nimbra-test-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    ~FeedbackTestFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    FeedbackTestFolder(const FeedbackTestFolder&) = delete;
    FeedbackTestFolder& operator=(const FeedbackTestFolder&) = delete;

    std::string File(const std::string& name) const { return (m_path / name).string(); }
    std::string Write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
        out << bytes;
        return File(name);
    }
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
    {
        return Write(name, std::string(bytes.begin(), bytes.end()));
    }

private:
    std::filesystem::path m_path;
};
