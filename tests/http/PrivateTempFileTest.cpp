#include "platform/http/PrivateTempFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using http_layer::PrivateTempFile;
namespace fs = std::filesystem;

TEST(PrivateTempFile, FileIsNewEmptyPrivateAndRemovedAfterUse)
{
    std::string path;
    {
        PrivateTempFile a, b;
        ASSERT_TRUE(a.Create("private-test-"));
        ASSERT_TRUE(b.Create("private-test-"));
        path = a.Path();
        EXPECT_NE(a.Path(), b.Path());
        EXPECT_EQ(fs::file_size(path), 0u);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(PrivateTempFile, ReadAllIsBoundedAndReportsWhatWentWrong)
{
    PrivateTempFile file;
    ASSERT_TRUE(file.Create("private-test-"));
    std::ofstream(file.Path(), std::ios::binary) << "0123456789";
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(file.ReadAll(bytes, 10), PrivateTempFile::ReadResult::Ok);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "0123456789");
    EXPECT_EQ(file.ReadAll(bytes, 9), PrivateTempFile::ReadResult::TooLarge);
    EXPECT_TRUE(bytes.empty());
    fs::remove(file.Path());
    EXPECT_EQ(file.ReadAll(bytes, 10), PrivateTempFile::ReadResult::OpenFailed);
    PrivateTempFile none;
    EXPECT_EQ(none.ReadAll(bytes, 10), PrivateTempFile::ReadResult::OpenFailed);
}
